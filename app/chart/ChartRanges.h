// The ranges a chart shows its axes over at full view (without zoom): the
// manual range when one is set and usable, otherwise the range of the
// present points with a small margin, kept within what the drawing library
// can draw. The chart view draws these ranges and
// the set-up dialog shows them, so both agree on what is drawn.
#pragma once

#include "ChartModel.h"

#include <limits>

namespace kx::chart {

// The values of one coordinate over the present points.
struct ValueBounds {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    double posLo = std::numeric_limits<double>::infinity();  // of the positive values
    double posHi = 0;
    void add(double v);
};

// The bounds of X and Y over every point whose coordinates are both present.
struct PointBounds {
    ValueBounds x, y;
};
PointBounds BoundsOf(const ChartModel& model);

// An axis as drawn at full view.
struct AxisSpan {
    bool logarithmic = false;
    bool manual = false;  // the manual range is the one drawn
    double lower = 0, upper = 1;
};

// True when the axis ('X' or 'Y') is drawn on a logarithmic scale.
bool LogarithmicAxis(const ChartModel& model, char axis);

// The axis ('X' or 'Y') at full view, from the bounds of its coordinate.
// Always a range the view can draw: one too narrow, too wide or too far out
// for the drawing library is widened or brought within its reach.
AxisSpan FullSpan(const ChartModel& model, char axis, const ValueBounds& bounds);

}  // namespace kx::chart
