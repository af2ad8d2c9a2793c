// Where the results window meets the chart window: the one place that
// draws its curves and histograms on the "Temporary Chart ", and the
// arrangement of the open windows around a new curve.
#pragma once

#include <functional>
#include <string>

#include "CurvePoints.h"
#include "ReactionLists.h"

namespace kx::platform {
class Form;
}

namespace kx::results {

// True when a window captioned "Temporary Chart " is open.
bool IsTemporaryChartOpen();

// Draws one curve: added to the open chart when chartOpen and add are both
// true, otherwise the chart is built anew with this curve alone.
void ShowTemporaryChart(const CurvePoints& points, const std::string& tip, const std::string& legend, bool chartOpen,
                        bool add, double timeScale);

// Loads the histogram into the Temporary Chart (made when there is none):
// its bars, labels, titles and the reactions' texts.
void LoadHistogram(const Histogram& histogram);
// Then draws it as signed horizontal bars; bar `selected` stands out.
// Errors reach the caller.
void DrawHistogramBars(const Histogram& histogram, bool itemLabels, int selected);

// Before a curve: a window captioned exactly "Temporary Chart" is unloaded
// (NewChartPending set first), maximised windows other than the main window
// are restored, a minimised "Temporary Chart " is restored. Returns whether
// the "Temporary Chart " was open.
bool PrepareWindowsForCurve();

// After a curve: the chart is shown (at 400, 400 twips when it is new);
// every other window that `keep` does not spare, and not the main window, is
// sent to the back when the chart was open before, minimised when it is new.
void ArrangeWindowsAfterCurve(bool chartExisted, const std::function<bool(platform::Form*)>& keep);

}  // namespace kx::results
