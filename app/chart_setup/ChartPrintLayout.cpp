#include "ChartPrintLayout.h"

#include "Format.h"

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
    ChartPrintPlan plan;
    plan.paper = PaperOf(paperValue);
    plan.orientation = OrientationOf(orientationValue);
    plan.page = PageSize(plan.paper, plan.orientation);
    if (plan.orientation == kPortrait) {
        plan.layout = ChartLayout::Portrait;
        plan.pictureWidth = plan.page.width - 2800;
        plan.pictureHeight = plan.page.height - 5800;
    } else if (plan.paper == kPaperA4) {
        plan.layout = ChartLayout::A4Landscape;
        plan.pictureWidth = plan.page.width - 4100;
        plan.pictureHeight = plan.page.height - 3200;
    } else {
        plan.layout = ChartLayout::LetterLandscape;
        plan.pictureWidth = plan.page.width - 4100;
        plan.pictureHeight = plan.page.height - 3500;
    }
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
