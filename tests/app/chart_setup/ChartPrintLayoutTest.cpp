// The page layouts of chart printing: the picture size on each paper and
// orientation, the picture in the middle of the page, the preview's place
// and the note on a printer that kept another paper.
#include "ChartPrintLayout.h"

#include <gtest/gtest.h>

using namespace kx;
using namespace kx::chart_setup;

TEST(ChartPrintPlan, ThePictureSizeFollowsThePageInTheChosenOrientation) {
    struct Case {
        const char* what;
        float paper, orientation;
        ChartLayout layout;
        int printerPaper;
        float pageWidth, pageHeight, pictureWidth, pictureHeight;
    } cases[] = {
        {"Letter portrait", 1, 1, ChartLayout::Portrait, 1, 12240, 15840, 9440, 10040},
        {"A4 portrait", 9, 1, ChartLayout::Portrait, 9, 11907, 16839.9F, 9107, 11039.9F},
        {"A4 landscape", 9, 2, ChartLayout::A4Landscape, 9, 16839.9F, 11907, 12739.9F, 8707},
        {"Letter landscape", 1, 2, ChartLayout::LetterLandscape, 1, 15840, 12240, 11740, 8740},
        {"any other paper is Letter", 5, 2, ChartLayout::LetterLandscape, 1, 15840, 12240, 11740, 8740},
        {"any other orientation is portrait", 9, 0, ChartLayout::Portrait, 9, 11907, 16839.9F, 9107, 11039.9F},
    };
    for (const Case& c : cases) {
        const ChartPrintPlan plan = PlanChartPrint(c.paper, c.orientation);
        EXPECT_EQ(plan.layout, c.layout) << c.what;
        EXPECT_EQ(plan.paper, c.printerPaper) << c.what;
        EXPECT_FLOAT_EQ(plan.page.width, c.pageWidth) << c.what;
        EXPECT_FLOAT_EQ(plan.page.height, c.pageHeight) << c.what;
        EXPECT_FLOAT_EQ(plan.pictureWidth, c.pictureWidth) << c.what;
        EXPECT_FLOAT_EQ(plan.pictureHeight, c.pictureHeight) << c.what;
    }
    EXPECT_EQ(PlanChartPrint(1, 2).orientation, kLandscape);
    EXPECT_EQ(PlanChartPrint(9, 1).orientation, kPortrait);
}

TEST(ChartPrintPlan, EachLayoutHasItsReportAndTag) {
    EXPECT_STREQ(ChartLayoutName(ChartLayout::Portrait), "PLOT_REPORT");
    EXPECT_STREQ(ChartLayoutName(ChartLayout::A4Landscape), "PLOT_REPORT_Land");
    EXPECT_STREQ(ChartLayoutName(ChartLayout::LetterLandscape), "PLOT_REPORT_Land_Lett");
    EXPECT_STREQ(ChartLayoutErrorTag(ChartLayout::Portrait), "PlotRep#001. ");
    EXPECT_STREQ(ChartLayoutErrorTag(ChartLayout::A4Landscape), "PlotRep#002. ");
    EXPECT_STREQ(ChartLayoutErrorTag(ChartLayout::LetterLandscape), "PlotRep#003. ");
}

TEST(ChartPrintPlan, ThePictureStandsInTheMiddleOfThePage) {
    TwipsRect place = PicturePlace(PlanChartPrint(1, 1));
    EXPECT_EQ(place.left, 1400);
    EXPECT_EQ(place.top, 2900);
    EXPECT_EQ(place.width, 9440);
    EXPECT_EQ(place.height, 10040);
    place = PicturePlace(PlanChartPrint(9, 2));
    EXPECT_EQ(place.width, 12740);
    EXPECT_EQ(place.height, 8707);
    EXPECT_EQ(place.left, 2050);
    EXPECT_EQ(place.top, 1600);
}

// On the page it is printed on: the rules of its orientation, a paper other
// than A4 as Letter; within the user's margins all the room they leave,
// unless that is less than an inch.
TEST(ChartPrintPlan, OnThePagePrintedOn) {
    const PageTwips legalLandscape{20160, 12240};
    const ChartPrintPlan legal = PlanChartPrintOn(legalLandscape, kPaperLegal);
    EXPECT_EQ(legal.layout, ChartLayout::LetterLandscape);
    EXPECT_FLOAT_EQ(legal.pictureWidth, 16060);
    EXPECT_FLOAT_EQ(legal.pictureHeight, 8740);
    EXPECT_FLOAT_EQ(PlanChartPrintOn(PageSize(9, 2), kPaperA4).pictureHeight, 8707);
    // A small page: the picture takes at least half of it.
    const ChartPrintPlan small = PlanChartPrintOn({4000, 5000}, 0);
    EXPECT_FLOAT_EQ(small.pictureWidth, 2000);
    EXPECT_FLOAT_EQ(small.pictureHeight, 2500);

    TwipsRect place = PicturePlaceWithin(PageSize(1, 1), kPaperLetter, {1440, 720, 2880, 1440});
    EXPECT_EQ(place.left, 1440);
    EXPECT_EQ(place.top, 720);
    EXPECT_EQ(place.width, 12240 - 1440 - 2880);
    EXPECT_EQ(place.height, 15840 - 720 - 1440);
    place = PicturePlaceWithin(PageSize(1, 1), kPaperLetter, {6000, 720, 6000, 1440});
    EXPECT_EQ(place.width, 9440);  // by the rules
    EXPECT_EQ(place.left, 1400);
    EXPECT_EQ(MarginsAround(PageSize(1, 1), place.left, place.top, place.width, place.height),
              (PageMargins{1400, 2900, 1400, 2900}));
}

TEST(ChartPreview, TwoThirdsOfTheMainWindowHighWithThePagesProportion) {
    WindowPlace w = ChartPreviewPlace(ChartLayout::Portrait, 0, 0, 1400, 900);
    EXPECT_EQ(w.height, 600);
    EXPECT_EQ(w.top, 90);
    EXPECT_EQ(w.left, 140);
    EXPECT_EQ(w.width, 460);  // 600 x 2.3 / 3
    w = ChartPreviewPlace(ChartLayout::LetterLandscape, 10, 20, 1400, 900);
    EXPECT_EQ(w.width, 900);
    EXPECT_EQ(w.left, 150);
    EXPECT_EQ(w.top, 110);
}

TEST(ChartPaperNote, OnlyLandscapeLayoutsNameThePaperThePrinterDidNotTake) {
    const std::string start = "Parts of the document can be not entirely within your printer image\r\n\r\n";
    const std::string end = " paper size; the same value must be set on the printer property.";
    EXPECT_EQ(ChartPaperWarning(ChartLayout::A4Landscape, 1), start + "You have specified the A4" + end);
    EXPECT_EQ(ChartPaperWarning(ChartLayout::LetterLandscape, 9), start + "You have specified the 'Letter'" + end);
    EXPECT_EQ(ChartPaperWarning(ChartLayout::A4Landscape, 9), "");
    EXPECT_EQ(ChartPaperWarning(ChartLayout::LetterLandscape, 1), "");
    EXPECT_EQ(ChartPaperWarning(ChartLayout::Portrait, 5), "");
}
