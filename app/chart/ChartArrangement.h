// Where the chart puts its legend and how many bar labels a histogram
// shows, decided from sizes alone (pixels of a 96-dpi picture). The view
// measures its texts and asks here on every layout, on the screen, for
// export and for printing alike, so the chart looks the same everywhere.
//
// The legend never takes the plot's room: beside the plot it may take at
// most kLegendWidthShare of the chart's width, below it at most
// kLegendHeightShare of its height, and never what the plot and its axes
// need at least. Labels that do not fit are shortened
// (the view adds an ellipsis); the labels themselves stay as they are.
#pragma once

#include <vector>

namespace kx::chart {

inline constexpr double kLegendWidthShare = 0.3;
inline constexpr double kLegendHeightShare = 0.3;

enum class LegendPlace { Right, Below, Hidden };

struct LegendMetrics {
    double chartWidth = 0;
    double chartHeight = 0;
    double bodyHeight = 0;     // the chart's height below its titles
    double plotMinWidth = 0;   // the least the plot with its axes needs,
    double plotMinHeight = 0;  // across and down
    double entryHeight = 0;    // one entry, its icon or its text, whichever is taller
    double rowSpacing = 0;
    double columnSpacing = 0;
    double entryExtra = 0;     // an entry's width beside its text: the icon and the gap after it
    // Margins around the entries, across and down: the legend's own frame,
    // and the room its place keeps free beside and below the plot.
    struct Margins {
        double across = 0;
        double down = 0;
    } frame, beside, below;
    double minTextWidth = 0;   // a shorter room for a label leaves it unreadable
    std::vector<double> textWidths;  // each entry's label at full length
};

struct LegendPlan {
    LegendPlace place = LegendPlace::Hidden;
    int columns = 0;
    int rows = 0;
    double textWidth = 0;  // the room for a label; longer labels are shortened to it
    bool shortened = false;
};

// Beside the plot when every label fits there at full length; else below
// the plot when they fit there; else where the labels keep more of their
// length. Hidden when there is no entry or no place leaves a label
// minTextWidth.
LegendPlan PlanLegend(const LegendMetrics& m);

struct BarLabelMetrics {
    std::vector<double> lengths;  // bar k (from 1) at lengths[k - 1]; bar k stands at height k
    int first = 1;                // the bars in sight
    int last = 0;
    double barPitch = 0;          // pixels from one bar to the next
    std::vector<double> labelHeights;  // a label's height at each usable text size, largest first
    double gap = 1;               // pixels kept free between two labels
    int selected = 0;             // a bar named before all others (0: none)
};

struct BarLabelPlan {
    bool shown = false;
    int sizeIndex = 0;       // into labelHeights
    int step = 1;            // named bars are at least this many bars apart
    std::vector<int> bars;   // the bars named, from the lowest
};

// Every bar in sight keeps its label at the largest text size at which
// they fit. When even the smallest size is too tall, the labels at that
// size go to the selected bar (the species' own total in a histogram of
// contributions) and then to the longest bars (by magnitude) that are at
// least step bars from a named one, so that the main contributions are
// always named. Bars closer than kMinLabelledBarPitch
// pixels are too thin to tell which one a label names: then no bar is
// named.
inline constexpr double kMinLabelledBarPitch = 2;
BarLabelPlan PlanBarLabels(const BarLabelMetrics& m);

}  // namespace kx::chart
