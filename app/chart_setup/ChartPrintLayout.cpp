#include "ChartPrintLayout.h"

#include "Format.h"

#include <algorithm>

namespace kx::chart_setup {
namespace {

struct LayoutReport {
    const char* name;
    const char* errorTag;
};
// In the order of ChartLayout.
constexpr LayoutReport kLayouts[] = {{"PLOT_REPORT", "PlotRep#001. "},
                                     {"PLOT_REPORT_Land", "PlotRep#002. "},
                                     {"PLOT_REPORT_Land_Lett", "PlotRep#003. "}};

int whole(float twips) { return static_cast<int>(RoundHalfEven(twips)); }

}  // namespace

ChartPrintPlan PlanChartPrint(float paperValue, float orientationValue) {
    const int paper = PaperOf(paperValue);
    return PlanChartPrintOn(PageSize(paper, OrientationOf(orientationValue)), paper);
}

ChartPrintPlan PlanChartPrintOn(const PageTwips& page, int paper) {
    ChartPrintPlan plan;
    plan.paper = paper;
    plan.orientation = page.width > page.height ? kLandscape : kPortrait;
    plan.page = page;
    float across = 0;
    float down = 0;
    if (plan.orientation == kPortrait) {
        plan.layout = ChartLayout::Portrait;
        across = 2800;
        down = 5800;
    } else if (paper == kPaperA4) {
        plan.layout = ChartLayout::A4Landscape;
        across = 4100;
        down = 3200;
    } else {
        plan.layout = ChartLayout::LetterLandscape;
        across = 4100;
        down = 3500;
    }
    plan.pictureWidth = std::max(page.width - across, page.width / 2);
    plan.pictureHeight = std::max(page.height - down, page.height / 2);
    return plan;
}

const char* ChartLayoutName(ChartLayout layout) { return kLayouts[static_cast<size_t>(layout)].name; }

const char* ChartLayoutErrorTag(ChartLayout layout) { return kLayouts[static_cast<size_t>(layout)].errorTag; }

TwipsRect PicturePlace(const ChartPrintPlan& plan) {
    TwipsRect place;
    place.width = whole(plan.pictureWidth);
    place.height = whole(plan.pictureHeight);
    place.left = whole((plan.page.width - plan.pictureWidth) / 2);
    place.top = whole((plan.page.height - plan.pictureHeight) / 2);
    return place;
}

TwipsRect PicturePlaceWithin(const PageTwips& page, int paper, const PageMargins& margins) {
    const int width = whole(page.width) - margins.left - margins.right;
    const int height = whole(page.height) - margins.top - margins.bottom;
    if (width < kTwipsPerInch || height < kTwipsPerInch || margins.left < 0 || margins.top < 0)
        return PicturePlace(PlanChartPrintOn(page, paper));
    return {margins.left, margins.top, width, height};
}

WindowPlace ChartPreviewPlace(ChartLayout layout, int mainLeft, int mainTop, int mainWidth, int mainHeight) {
    WindowPlace place;
    place.height = 2 * mainHeight / 3;
    place.top = mainTop + mainHeight / 10;
    place.left = mainLeft + mainWidth / 10;
    place.width = layout == ChartLayout::Portrait ? place.height * 23 / 30 : place.height * 3 / 2;
    return place;
}

std::string ChartPaperWarning(ChartLayout layout, int paperTaken) {
    switch (layout) {
        case ChartLayout::A4Landscape:
            return paperTaken == kPaperA4 ? std::string() : PrinterPaperWarning("A4");
        case ChartLayout::LetterLandscape:
            return paperTaken == kPaperLetter ? std::string() : PrinterPaperWarning("'Letter'");
        case ChartLayout::Portrait: break;
    }
    return {};
}

}  // namespace kx::chart_setup
