// The chart services of the other windows: the one Temporary Chart that
// the results and the comparison draw their curves on, the histogram's
// signed bars, and the chart reload of the chart set-up's Cancel.
#pragma once

#include "PLOT.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kx::chart {

// True when a window captioned "Temporary Chart " (with the blank) is open.
bool IsTemporaryChartOpen();
// That window; nullptr when there is none.
PLOT* TemporaryChart();
// The main window's active document window when it is a chart; nullptr
// otherwise.
PLOT* ActiveChart();

// Draws one curve on the Temporary Chart, making the window when there is
// none. count is the number of points plus one; values[0] holds the X and
// values[1] the Y values of points 0 to count - 2 (kMissing for an absent
// coordinate); the column is not read. With addA and addB both true the
// curve is appended to the open chart, otherwise the chart is built anew
// with this curve alone. A legend text beginning with "R" keeps tipText as
// the curve's long label. The X axis is labelled from LogTimeAxis and
// timeScale, the Y axis "Y-Axis". addB comes back false; failed comes back
// true when an error stopped the drawing (reported as "Sol#107. ").
void ShowTemporaryChart(std::int32_t count, const std::vector<std::vector<double>>& values, std::int32_t column,
                        bool& failed, const std::string& tipText, const std::string& legendText, bool addA, bool& addB,
                        double timeScale);

// Draws the histogram that Intit(0, true) loaded into the Temporary Chart
// as signed horizontal bars: itemLabels[k] names bar k (subset k, from 1)
// on the bar axis when itemLabelFlag is set; the bar `selected` stands out.
// subsetCount is the number of subsets handed over. ChartRebuilding is set
// while it works. Errors reach the caller.
void PlotSignedBarChart(int subsetCount, bool itemLabelFlag, const std::vector<std::string>& itemLabels,
                        int selected);

// Deletes a subset of the active chart.
void SubsetDel(int SubsetNM);

// Reloads the active chart's content from a chart file and deletes the
// file; the window keeps its file name, caption and flags. A failure is
// reported ("Mod2#0010 ") and the file is kept. Returns true when the
// content was reloaded.
bool RestorePlotFromFile(const std::string& path);

}  // namespace kx::chart
