// Filling a chart model from the shared plot data: a new chart or a reload
// (Intit), curves appended after the chart's own (SubSetAdd), the axis
// check that keeps a range from collapsing (CheckDiv), and the small text
// rules of the curves' labels.
#pragma once

#include "ChartModel.h"
#include "ChartRandom.h"
#include "SharedState.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kx::chart {

// Loads PlotData, PlotSubsetLabels (and for a new chart PlotTitles) of the
// shared state into the model. newChart (mode 0) sets the titles, frees the
// annotation slots, forgets the long labels and gives every subset a random
// colour and line type; a reload keeps titles, slots and the styles of the
// subsets it had. A subset whose first points lack X or Y is moved to start
// at the later of its first present X and its first present Y; values that
// are not finite load as kMissing. Unless histogram, the axis check follows. With fewer than one
// subset the chart is left empty.
void LoadPlotData(ChartModel& model, const SharedState& shared, bool newChart, bool histogram, RandomSource& random);

// Appends the shared append hand-off (AddSubsetCount curves of
// AddSubsetPointCount points in AddSubsetData, labels in AddSubsetLabels)
// after the chart's own subsets; a shorter chart or curve is padded with
// kMissing. Each new subset gets a random line type and, with
// randomColours, a random colour (else black), and longLabels[k] as the long
// label of the k-th new one. Returns the index of the first new subset.
int AppendPlotData(ChartModel& model, const SharedState& shared,
                   const std::vector<std::pair<std::string, std::string>>& longLabels, bool randomColours,
                   RandomSource& random);

// Removes a subset; a histogram's bar labels and selected bar move with
// the later subsets.
void DeleteSubset(ChartModel& model, int subset);
// Adds a subset after the chart's own (a pasted one), with its style and
// long label; the chart's point count grows to hold it. Returns its index.
int AddSubset(ChartModel& model, Subset subset);

// The settings every load puts back: automatic axes, no manual ranges or
// tick spacing, the kept presentation values.
void ResetLoadSettings(ChartModel& model);

// Gives each axis a range that holds every present point: where all values
// of an axis are equal, a manual range widened by a thousandth of their
// size (0.001 for zeros); otherwise the automatic range.
void CheckDiv(ChartModel& model);

// The range of the present points of a chart (both coordinates present);
// nothing when there is none.
struct DataRange {
    double minX, maxX, minY, maxY;
};
std::optional<DataRange> PresentRange(const ChartModel& model);

// A curve's long label as its two parts: up to 48 characters, and the rest
// or "Empty" when there is none.
std::pair<std::string, std::string> SplitLongLabel(const std::string& text);

// The time axis label of the Temporary Chart: "Time (sec)" or "Log10 Time"
// ... " (sec)", with " x " and the scale (0.0##E+00) when it is not 1.
std::string TimeAxisLabel(bool logTimeAxis, double timeScale);

// The tool tip of a subset: for a label "R<number>,..." the long label's
// parts (each unless "Empty" or empty) followed by the label from its comma
// on; "" for any other label.
std::string SubsetToolTip(const Subset& subset);

// The two lines of the X and Y read-outs of a value: "X = " (0.00####E+00)
// and "10^X = " (0.000##E+00, or "Overflow"); "Y = " and "10^Y = " with
// 0.000E+00. The value is taken in single precision first.
std::array<std::string, 2> XReadout(double x);
std::array<std::string, 2> YReadout(double y);

// The labels of an axis's ticks, all written alike: plain decimals with as
// many decimals as the ticks need, or, on a logarithmic axis and for
// values below 0.001 or from 100000 on, a mantissa and an exponent
// ("1.5e-04"), the mantissas with as many decimals as they need.
std::vector<std::string> TickLabels(const std::vector<double>& ticks, bool logarithmic);

}  // namespace kx::chart
