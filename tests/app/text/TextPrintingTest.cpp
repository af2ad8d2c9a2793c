// The rules of text printing: the page set-up checks and what they store,
// the fit of the margins in both orientations, the page layouts and the
// places of the header labels, the page-number texts and the paper note.
#include "TextPrinting.h"

#include "PaperSizes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kx;
using namespace kx::text;

namespace {

PageSetupEntries entries(std::array<std::string, 4> margins = {"0.5", "0.5", "1", "1"}, std::string first = "1") {
    PageSetupEntries e;
    e.margins = std::move(margins);
    e.firstPage = std::move(first);
    e.heading = "Heading";
    return e;
}

std::array<float, 6> setup(float left, float right, float paper, float orientation, float top = 1,
                           float bottom = 1) {
    return {left, right, top, bottom, paper, orientation};
}

}  // namespace

TEST(PageSetupCheck, MarginsAreRoundedToTwoDecimalsAndClampedBeforeTheyAreStored) {
    struct Case {
        const char* entered;
        float stored;
    } cases[] = {{"0.3", 0.3F},  {"0.333", 0.33F}, {"12", 10.0F},    {"0.1", 0.25F},
                 {"0.335", 0.34F}, {" 2 ", 2.0F},  {"1E300", 10.0F}, {"1e-300", 0.25F}};
    for (const Case& c : cases) {
        PageSetupEntries e = entries();
        e.margins[0] = c.entered;
        const PageSetupOutcome out = CheckPageSetup(e);
        ASSERT_TRUE(out.storePage) << c.entered;
        EXPECT_FLOAT_EQ(out.margins[0], c.stored) << c.entered;
    }
}

TEST(PageSetupCheck, AMarginThatIsNoPositiveNumberIsRefusedOnItsBox) {
    struct Case {
        int box;
        const char* entered;
        const char* message;
    } cases[] = {{0, "0", "Left margin, please enter a positive number."},
                 {1, "-1", "Right margin, please enter a positive number."},
                 {2, "abc", "Top margin, please enter a positive number."},
                 {3, "", "Bottom margin, please enter a positive number."},
                 {3, "1E400", "Bottom margin, please enter a positive number."},  // beyond a double
                 {0, "1,5", "Left margin, please enter a positive number."}};
    for (const Case& c : cases) {
        PageSetupEntries e = entries();
        e.margins[static_cast<size_t>(c.box)] = c.entered;
        const PageSetupOutcome out = CheckPageSetup(e);
        EXPECT_EQ(out.refusal, PageSetupRefusal::Margin) << c.entered;
        EXPECT_EQ(out.message, c.message) << c.entered;
        EXPECT_EQ(out.box, c.box) << c.entered;
        EXPECT_FALSE(out.storePage) << c.entered;
    }
}

TEST(PageSetupCheck, EveryMarginIsCheckedForANumberBeforeAnyIsCheckedForItsSign) {
    const PageSetupOutcome out = CheckPageSetup(entries({"-1", "x", "1", "1"}));
    EXPECT_EQ(out.box, 1);
    EXPECT_EQ(out.message, "Right margin, please enter a positive number.");
}

TEST(PageSetupCheck, TheFirstPageNumberIsAWholeNumberALongHolds) {
    struct Case {
        const char* entered;
        bool accepted;
        std::int32_t first;
    } cases[] = {{"", true, 1},          {"2.6", true, 3},           {"2.5", true, 2},
                 {"-3", true, -3},       {"2147483647", true, 2147483647}, {"text", false, 0},
                 {"1E10", false, 0},     {"2147483647.6", false, 0}, {"-2147483649", false, 0}};
    for (const Case& c : cases) {
        const PageSetupOutcome out = CheckPageSetup(entries({"0.5", "0.5", "1", "1"}, c.entered));
        if (c.accepted) {
            EXPECT_EQ(out.refusal, PageSetupRefusal::None) << c.entered;
            EXPECT_EQ(out.firstPage, c.first) << c.entered;
        } else {
            EXPECT_EQ(out.refusal, PageSetupRefusal::FirstPage) << c.entered;
            EXPECT_EQ(out.message, "First page number, please enter an integer.") << c.entered;
            EXPECT_EQ(out.box, kFirstPageBox) << c.entered;
            EXPECT_FALSE(out.storePage) << c.entered;
        }
    }
    EXPECT_TRUE(CheckPageSetup(entries({"0.5", "0.5", "1", "1"}, "")).firstPageFilled);
    EXPECT_FALSE(CheckPageSetup(entries({"0.5", "0.5", "1", "1"}, "3")).firstPageFilled);
}

TEST(PageSetupCheck, MarginsMustFitThePageInTheChosenOrientation) {
    struct Case {
        const char* what;
        int paperIndex;
        bool portrait;
        std::array<std::string, 4> margins;
        bool fits;
    } cases[] = {
        // Letter portrait across: 7.2 in + 1 in = 11808 twips, within 0.97 x 12240 = 11872.8.
        {"Letter portrait, 7.2 in across", 0, true, {"3.6", "3.6", "1", "1"}, true},
        {"Letter portrait, 7.25 in across", 0, true, {"3.6", "3.65", "1", "1"}, false},
        // Landscape: 9 in across fit 0.97 x 15840, but 7.25 in down do not fit 0.97 x 12240.
        {"Letter landscape, 9 in across", 0, false, {"4.5", "4.5", "1", "1"}, true},
        {"Letter portrait, 9 in across", 0, true, {"4.5", "4.5", "1", "1"}, false},
        {"Letter landscape, 7.2 in down", 0, false, {"0.5", "0.5", "3.6", "3.6"}, true},
        {"Letter landscape, 7.25 in down", 0, false, {"0.5", "0.5", "3.6", "3.65"}, false},
        {"Letter portrait, 7.25 in down", 0, true, {"0.5", "0.5", "3.6", "3.65"}, true},
        // A4 portrait across: 0.97 x 11907 = 11549.79 twips.
        {"A4 portrait, 7 in across", 1, true, {"3.5", "3.5", "1", "1"}, true},
        {"A4 portrait, 7.05 in across", 1, true, {"3.5", "3.55", "1", "1"}, false},
        {"A4 landscape, 10 in across", 1, false, {"5", "5", "1", "1"}, true},
        {"A4 landscape, 7.05 in down", 1, false, {"1", "1", "3.5", "3.55"}, false},
        {"clamped to 10 in", 0, true, {"12", "0.5", "1", "1"}, false},
    };
    for (const Case& c : cases) {
        PageSetupEntries e = entries(c.margins);
        e.paperIndex = c.paperIndex;
        e.portrait = c.portrait;
        const PageSetupOutcome out = CheckPageSetup(e);
        EXPECT_EQ(out.refusal, c.fits ? PageSetupRefusal::None : PageSetupRefusal::Fit) << c.what;
        EXPECT_TRUE(out.storePage) << c.what;
        if (!c.fits) {
            EXPECT_EQ(out.message, "Print setup, reduce please the page margins.") << c.what;
            EXPECT_EQ(out.box, kNoBox) << c.what;
            EXPECT_EQ(out.heading, "") << c.what;  // nothing of the window's values
        }
    }
}

TEST(PageSetupCheck, AnAcceptedSettingStoresPaperOrientationAndTheWindowValues) {
    PageSetupEntries e = entries({"0.75", "0.5", "1.25", "1"}, "7");
    e.paperIndex = 1;
    e.portrait = false;
    e.pageNumbers = false;
    e.alignIndex = 0;
    const PageSetupOutcome out = CheckPageSetup(e);
    ASSERT_EQ(out.refusal, PageSetupRefusal::None);
    EXPECT_EQ(out.paper, kPaperA4);
    EXPECT_EQ(out.orientation, kLandscape);
    EXPECT_EQ(out.margins, (std::array<float, 4>{0.75F, 0.5F, 1.25F, 1.0F}));
    EXPECT_EQ(out.heading, "Heading");
    EXPECT_EQ(out.pageNumbers, 0);
    EXPECT_EQ(out.firstPage, 7);
    EXPECT_EQ(out.numberAlign, 0);
}

TEST(PageSetupCheck, NoAcceptedSettingLeavesThePageWithoutRoomForText) {
    const char* values[] = {"0.25", "1", "2.5", "3.6", "4.5", "5", "6", "7.3", "10"};
    for (int paperIndex : {0, 1})
        for (bool portrait : {true, false})
            for (const char* across : values)
                for (const char* down : values) {
                    PageSetupEntries e = entries({across, across, down, down});
                    e.paperIndex = paperIndex;
                    e.portrait = portrait;
                    const PageSetupOutcome out = CheckPageSetup(e);
                    if (out.refusal != PageSetupRefusal::None) continue;
                    const std::array<float, 6> v{out.margins[0], out.margins[1], out.margins[2], out.margins[3],
                                                 static_cast<float>(out.paper), static_cast<float>(out.orientation)};
                    const TextPageLayout page = LayOutTextPage(ChooseTextLayout(v), v, "H", 1);
                    const PageTwips size = PageSize(out.paper, out.orientation);
                    EXPECT_GT(page.fieldWidth, 1000) << across << " " << down;
                    EXPECT_GT(size.height - page.marginTop - page.marginBottom - page.headerHeight, 500)
                        << across << " " << down;
                    EXPECT_LE(page.fieldLeft + page.fieldWidth, size.width) << across << " " << down;
                }
}

TEST(TextLayoutChoice, OrientationThenPaperChooseTheLayout) {
    EXPECT_EQ(ChooseTextLayout(setup(0.5F, 0.5F, 1, 1)), TextLayout::Portrait);
    EXPECT_EQ(ChooseTextLayout(setup(0.5F, 0.5F, 9, 1)), TextLayout::Portrait);
    EXPECT_EQ(ChooseTextLayout(setup(0.5F, 0.5F, 9, 2)), TextLayout::A4Landscape);
    EXPECT_EQ(ChooseTextLayout(setup(0.5F, 0.5F, 1, 2)), TextLayout::LetterLandscape);
    EXPECT_STREQ(TextLayoutName(TextLayout::Portrait), "PRINT_PREVIEW");
    EXPECT_STREQ(TextLayoutName(TextLayout::A4Landscape), "PRINT_PREVIEW_Land");
    EXPECT_STREQ(TextLayoutName(TextLayout::LetterLandscape), "PRINT_PREVIEW_Lett_Land");
    EXPECT_STREQ(TextLayoutErrorTag(TextLayout::LetterLandscape), "TxtRep#003. ");
}

TEST(TextPageLayout, TheFieldTakesThreePercentLessThanThePageLessTheMargins) {
    struct Case {
        const char* what;
        std::array<float, 6> values;
        int paper, orientation, fieldWidth;
    } cases[] = {
        {"Letter portrait", setup(0.5F, 0.5F, 1, 1), 1, 1, 10433},         // 11872.8 - 1440
        {"A4 portrait", setup(0.5F, 0.5F, 9, 1), 9, 1, 10110},             // 11549.79 - 1440
        {"A4 landscape", setup(1, 0.5F, 9, 2), 9, 2, 14175},               // 16334.703 - 2160
        {"Letter landscape", setup(0.5F, 0.5F, 1, 2), 1, 2, 13925},        // 15364.8 - 1440
    };
    for (const Case& c : cases) {
        const TextPageLayout page = LayOutTextPage(ChooseTextLayout(c.values), c.values, "Heading", 1);
        EXPECT_EQ(page.paper, c.paper) << c.what;
        EXPECT_EQ(page.orientation, c.orientation) << c.what;
        EXPECT_EQ(page.fieldWidth, c.fieldWidth) << c.what;
        EXPECT_EQ(page.fieldLeft, static_cast<int>(c.values[0] * 1440)) << c.what;
        EXPECT_EQ(page.marginLeft, 10) << c.what;
        EXPECT_EQ(page.marginTop, 1440) << c.what;
        EXPECT_EQ(page.headerHeight, 460) << c.what;
        EXPECT_EQ(page.rightNumber.left + page.rightNumber.width, page.fieldLeft + page.fieldWidth) << c.what;
        EXPECT_EQ(page.heading.left, page.fieldLeft + kNumberLabelWidth) << c.what;
        EXPECT_EQ(page.heading.width, page.fieldWidth - 2 * kNumberLabelWidth - 300) << c.what;
    }
}

TEST(TextPageLayout, TheHeadingGivesWayWhenTheNumbersLeaveItNoRoom) {
    // Letter portrait with 3.6 inch margins: 1505 twips of text, less than
    // two number labels.
    const TextPageLayout page = LayOutTextPage(TextLayout::Portrait, setup(3.6F, 3.6F, 1, 1), "Heading", 1);
    EXPECT_EQ(page.fieldWidth, 1505);
    EXPECT_EQ(page.heading.width, 0);
    EXPECT_FALSE(page.heading.visible);
    EXPECT_TRUE(page.leftNumber.visible && page.rightNumber.visible);
}

// On the page it is printed on: a layout's own page gives the layout's
// field; another page its own width; margins that leave less than an inch
// there are narrowed to leave one; the user's margins are kept, and the
// margins a page keeps lay the same page out again.
TEST(TextPageLayout, OnThePagePrintedOn) {
    const auto landscape = setup(0.5F, 0.5F, 1, 2);
    const TextPageLayout own = LayOutTextPage(TextLayout::LetterLandscape, landscape, "Heading", 1);
    const TextPageLayout same = LayOutTextPageOn(PageSize(1, 2), landscape, "Heading", 1);
    EXPECT_EQ(same.fieldLeft, own.fieldLeft);
    EXPECT_EQ(same.fieldWidth, own.fieldWidth);
    EXPECT_EQ(same.rightNumber.left, own.rightNumber.left);

    const TextPageLayout turned = LayOutTextPageOn(PageSize(1, 1), landscape, "Heading", 1);
    EXPECT_EQ(turned.fieldWidth, 10433);  // as a portrait set-up has it
    EXPECT_EQ(turned.orientation, kPortrait);

    // 9 and 0.25 inches fit across a landscape Letter page, not a portrait one.
    const TextPageLayout narrowed = LayOutTextPageOn(PageSize(1, 1), setup(9, 0.25F, 1, 2), "Heading", 1);
    EXPECT_EQ(narrowed.fieldWidth, 1440);
    EXPECT_NEAR(narrowed.fieldLeft, (0.97 * 12240 - 1440) * 9 / 9.25, 1);
    EXPECT_LE(narrowed.fieldLeft + narrowed.fieldWidth, 12240);
    const TextPageLayout low = LayOutTextPageOn(PageSize(1, 2), setup(0.5F, 0.5F, 1, 1, 6, 4), "", 0);
    EXPECT_NEAR(low.marginTop + low.marginBottom, 0.97 * 12240 - 1440, 1);

    const TextPageLayout within = LayOutTextPageWithin(PageSize(1, 1), {1440, 720, 2880, 1080}, "Heading", 1);
    EXPECT_EQ(within.fieldLeft, 1440);
    EXPECT_EQ(within.fieldWidth, 12240 - 1440 - 2880);
    EXPECT_EQ(within.marginTop, 720);
    EXPECT_EQ(within.marginBottom, 1080);
    EXPECT_EQ(within.rightNumber.left + within.rightNumber.width, 12240 - 2880);
    EXPECT_EQ(LayOutTextPageWithin(PageSize(1, 1), {8000, 0, 8000, 0}, "", 0).fieldWidth, 1440);

    const PageMargins kept = MarginsOf(turned, PageSize(1, 1));
    EXPECT_EQ(kept, (PageMargins{720, 1440, 12240 - 720 - 10433, 1440}));
    const TextPageLayout again = LayOutTextPageWithin(PageSize(1, 1), kept, "Heading", 1);
    EXPECT_EQ(again.fieldLeft, turned.fieldLeft);
    EXPECT_EQ(again.fieldWidth, turned.fieldWidth);
}

TEST(TextPageLayout, LabelsShowWhatThereIsToShow) {
    const auto v = setup(0.5F, 0.5F, 1, 1);
    TextPageLayout page = LayOutTextPage(TextLayout::Portrait, v, "", 1);
    EXPECT_FALSE(page.heading.visible);
    EXPECT_TRUE(page.leftNumber.visible);
    page = LayOutTextPage(TextLayout::Portrait, v, "Heading", 0);
    EXPECT_TRUE(page.heading.visible);
    EXPECT_FALSE(page.leftNumber.visible || page.rightNumber.visible);
}

TEST(PageHeader, NumbersCountFromTheFirstPageNumberOnTheChosenSide) {
    PageHeaderTexts h = FormatPageHeader(1, 5, 0, "Heading", 1);
    EXPECT_EQ(h.leftNumber, "5   ");
    EXPECT_EQ(h.rightNumber, "");
    EXPECT_EQ(h.height, 460);
    h = FormatPageHeader(2, 5, 0, "Heading", 1);
    EXPECT_EQ(h.leftNumber, "6   ");
    h = FormatPageHeader(3, 1, 1, "", 1);
    EXPECT_EQ(h.leftNumber, "");
    EXPECT_EQ(h.rightNumber, "   3");
    h = FormatPageHeader(2, 2147483647, 1, "H", 1);  // no overflow past the largest Long
    EXPECT_EQ(h.rightNumber, "   2147483648");
}

TEST(PageHeader, NoHeadingAndNoNumbersLeaveNoHeader) { EXPECT_EQ(FormatPageHeader(1, 1, 1, "", 0).height, 0); }

TEST(PaperNote, ThePrinterThatTookAnotherPaperIsToldWhichPaperToSet) {
    const std::string start = "Parts of the document can be not entirely within your printer image\r\n\r\n";
    const std::string end = " paper size; the same value must be set on the printer property.";
    EXPECT_EQ(PaperMismatchMessage(TextLayout::Portrait, setup(0.5F, 0.5F, 9, 1), 1),
              start + "You have specified the A4" + end);
    EXPECT_EQ(PaperMismatchMessage(TextLayout::Portrait, setup(0.5F, 0.5F, 1, 1), 9),
              start + "You have specified the Letter" + end);
    EXPECT_EQ(PaperMismatchMessage(TextLayout::A4Landscape, setup(0.5F, 0.5F, 9, 2), 5),
              start + "You have specified the A4" + end);
    EXPECT_EQ(PaperMismatchMessage(TextLayout::LetterLandscape, setup(0.5F, 0.5F, 1, 2), 9),
              start + "You have specified the 'Letter'" + end);
    EXPECT_EQ(PaperMismatchMessage(TextLayout::Portrait, setup(0.5F, 0.5F, 9, 1), 9), "");
    EXPECT_EQ(PaperMismatchMessage(TextLayout::LetterLandscape, setup(0.5F, 0.5F, 1, 2), 1), "");
}

TEST(PaperSizes, PagesInTwipsInBothOrientations) {
    EXPECT_FLOAT_EQ(PageSize(kPaperLetter, kPortrait).width, 12240);
    EXPECT_FLOAT_EQ(PageSize(kPaperLetter, kLandscape).width, 15840);
    EXPECT_FLOAT_EQ(PageSize(kPaperA4, kPortrait).height, 16839.9F);
    EXPECT_FLOAT_EQ(PageSize(kPaperA4, kLandscape).width, 16839.9F);
    EXPECT_FLOAT_EQ(PageSize(kPaperA4, kLandscape).height, 11907);
    EXPECT_FLOAT_EQ(PageSize(kPaperLegal, kPortrait).height, 15840);  // anything not A4 is Letter
}
