#include "ChartRanges.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kx::chart {

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

AxisSpan FullSpan(const ChartModel& model, char axis, const ValueBounds& b) {
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

}  // namespace kx::chart
