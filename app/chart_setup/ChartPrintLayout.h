// Chart printing without windows: the page layout for the shared page
// set-up (paper and orientation), the size of the chart picture on it, the
// picture's place, the preview window's place, and the note when the
// printer did not take the paper of a landscape layout.
//
// Lengths are twips (1440 per inch, 567 per centimetre) in single
// precision, as the page sizes are.
#pragma once

#include "PaperSizes.h"

#include <string>

namespace kx::chart_setup {

// The three page layouts of chart printing.
enum class ChartLayout {
    Portrait,         // Letter or A4 portrait: PLOT_REPORT
    A4Landscape,      // PLOT_REPORT_Land
    LetterLandscape,  // PLOT_REPORT_Land_Lett
};

struct ChartPrintPlan {
    ChartLayout layout = ChartLayout::Portrait;
    int paper = kPaperLetter;     // the paper given to the printer
    int orientation = kPortrait;  // 1 portrait, 2 landscape
    PageTwips page;               // the page in that orientation
    float pictureWidth = 0;
    float pictureHeight = 0;
};

// The layout for the shared page set-up values (paper, element 4, and
// orientation, element 5): portrait unless the orientation is 2, then A4
// landscape for paper 9, else Letter landscape. The picture is the page
// less 2800 across and 5800 down in portrait, less 4100 across and 3200
// (A4) or 3500 (Letter) down in landscape.
ChartPrintPlan PlanChartPrint(float paperValue, float orientationValue);

// The layout's report name ("PLOT_REPORT", "PLOT_REPORT_Land",
// "PLOT_REPORT_Land_Lett") and its error tag ("PlotRep#001. " ...).
const char* ChartLayoutName(ChartLayout layout);
const char* ChartLayoutErrorTag(ChartLayout layout);

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The picture's place on the page: its size rounded to whole twips, in the
// middle of the page.
TwipsRect PicturePlace(const ChartPrintPlan& plan);

// The plan on the page the chart is printed on (twips, width across), which
// may not be the page of the set-up (the printer kept its paper, or the
// user turned the page or changed its paper): the rules above for its
// orientation, a paper other than A4 taken as Letter, and the picture at
// least half the page across and down.
ChartPrintPlan PlanChartPrintOn(const PageTwips& page, int paper);

// The picture's place within margins the user gave the page: all the room
// they leave; by the plan on the page (PlanChartPrintOn) when they leave
// less than an inch across or down.
TwipsRect PicturePlaceWithin(const PageTwips& page, int paper, const PageMargins& margins);

struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The preview window for a main window of that size (any unit): two
// thirds of its height, a tenth of its height from its top and a tenth of
// its width from its left, and as wide as 2.3/3 of its height in portrait
// or 3/2 of it in landscape.
WindowPlace ChartPreviewPlace(ChartLayout layout, int mainLeft, int mainTop, int mainWidth, int mainHeight);

// The note when the printer took another paper than a landscape layout
// asked for; "" when it took that paper, and always for portrait.
std::string ChartPaperWarning(ChartLayout layout, int paperTaken);

}  // namespace kx::chart_setup
