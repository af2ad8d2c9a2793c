#include "ChartRanges.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace kx::chart {
namespace {

// The drawing library draws an axis over no range narrower than
// kNarrowestSpan, none as wide as kWidestSpan or reaching that far from 0,
// and no logarithmic one whose ends differ by a factor beyond a double; it
// leaves the axis where it was instead.
constexpr double kNarrowestSpan = 1e-280;
constexpr double kWidestSpan = 1e250;

bool drawable(const AxisSpan& s) {
    const double width = s.upper - s.lower;
    if (!(s.lower > -kWidestSpan && s.upper < kWidestSpan && width > kNarrowestSpan && width < kWidestSpan))
        return false;
    return !s.logarithmic || (s.lower > 0 && std::isfinite(s.upper / s.lower));
}

// The span as near to the one asked for as the library draws: too narrow a
// span widened about its middle (on a logarithmic axis upwards), too wide or
// too far-out a span brought within reach.
AxisSpan drawableSpan(AxisSpan s) {
    if (drawable(s)) return s;
    constexpr double reach = kWidestSpan / 4;
    constexpr double highest = std::numeric_limits<double>::max();
    if (s.logarithmic) {
        s.upper = std::clamp(s.upper, 1e-300, reach);
        s.lower = std::clamp(s.lower, s.upper * 1e-300, s.upper / 10);
        if (s.upper - s.lower <= kNarrowestSpan) s.upper = s.lower + 2 * kNarrowestSpan;
        return s;
    }
    const double lower = std::clamp(s.lower, -highest, highest), upper = std::clamp(s.upper, -highest, highest);
    const double middle = std::clamp(lower / 2 + upper / 2, -reach, reach);
    const double half = std::clamp(upper / 2 - lower / 2, kNarrowestSpan, reach);
    s.lower = middle - half;
    s.upper = middle + half;
    return s;
}

}  // namespace

void ValueBounds::add(double v) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    if (v > 0) {
        posLo = std::min(posLo, v);
        posHi = std::max(posHi, v);
    }
}

PointBounds BoundsOf(const ChartModel& model) {
    PointBounds b;
    for (const Subset& s : model.AllSubsets())
        for (std::size_t p = 0; p < s.x.size() && p < s.y.size(); ++p)
            if (s.x[p] != kMissing && s.y[p] != kMissing) {
                b.x.add(s.x[p]);
                b.y.add(s.y[p]);
            }
    return b;
}

bool LogarithmicAxis(const ChartModel& model, char axis) {
    return model.Number(axis == 'X' ? "XAxisScaleControl" : "YAxisScaleControl") == 2;
}

namespace {

// The span asked for: the manual range when one is set and usable, else the
// points with a margin.
AxisSpan requestedSpan(const ChartModel& model, char axis, const ValueBounds& b) {
    const std::string a(1, axis);
    AxisSpan span;
    span.logarithmic = LogarithmicAxis(model, axis);
    const double lo = model.Number("ManualMin" + a), hi = model.Number("ManualMax" + a);
    if (model.Number("ManualScaleControl" + a) == 3 && lo < hi && (!span.logarithmic || lo > 0)) {
        span.manual = true;
        span.lower = lo;
        span.upper = hi;
        return span;
    }
    if (span.logarithmic) {
        if (!(b.posHi > 0)) {
            span.lower = 0.1;
            span.upper = 10;
            return span;
        }
        const double pad = b.posHi > b.posLo ? std::pow(b.posHi / b.posLo, 0.03) : 2.0;
        span.lower = b.posLo / pad;
        span.upper = b.posHi * pad;
        return span;
    }
    if (!(b.hi >= b.lo)) return span;  // no point: 0 to 1
    const double extent = b.hi - b.lo;
    const double pad = extent > 0 ? extent * 0.03 : std::max(std::abs(b.hi) / 1000, 0.001);
    span.lower = b.lo - pad;
    span.upper = b.hi + pad;
    return span;
}

}  // namespace

AxisSpan FullSpan(const ChartModel& model, char axis, const ValueBounds& b) {
    return drawableSpan(requestedSpan(model, axis, b));
}

}  // namespace kx::chart
