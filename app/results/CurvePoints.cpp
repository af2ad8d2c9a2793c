#include "CurvePoints.h"

#include <cmath>

#include "Errors.h"
#include "SharedState.h"

namespace kx {

bool CurvePoints::Drawable() const {
    for (std::size_t p = 0; p < X.size(); ++p)
        if (X[p] != kMissingValue && Y[p] != kMissingValue) return true;
    return false;
}

CurvePoints PrepareCurve(const CurveSource& s) {
    const std::size_t n = s.Times.size();
    if (s.Values.size() != n || (!s.Passes.empty() && s.Passes.size() != n))
        throw Error(ErrorKind::InvalidArgument, "curve lengths differ");
    CurvePoints c;
    c.X.assign(n, kMissingValue);
    c.Y.assign(n, kMissingValue);
    for (std::size_t p = 0; p < n; ++p) {
        const double t = s.Times[p];
        const bool passes = s.Passes.empty() || s.Passes[p] != 0;
        const bool timeUsable = !std::isnan(t) && (!s.PositiveTimesOnly || t > 0);
        if (!passes || !timeUsable) continue;
        const double v = s.Values[p];
        if (std::isnan(v) || v == 0.0 || v == kMissingValue) continue;
        c.X[p] = t * s.TimeScale;
        c.Y[p] = v * s.ValueScale;
    }
    // A logarithm of a coordinate that is not positive drops the point.
    auto toLog = [&](std::vector<double>& axis) {
        for (std::size_t p = 0; p < n; ++p) {
            if (axis[p] > 0) {
                axis[p] = std::log10(axis[p]);
            } else {
                c.X[p] = kMissingValue;
                c.Y[p] = kMissingValue;
            }
        }
    };
    if (s.LogTime) toLog(c.X);
    if (s.LogValue) toLog(c.Y);
    return c;
}

std::string UndrawableCurveMessage(std::string_view legend, bool logValue) {
    const std::string head = "You are attempting to plot the function '" + std::string(legend) + "' where all values are ";
    if (logValue) return head + "zero or logarithm of negative numbers . The function cannot be plotted.";
    return head + "zero. The function cannot be plotted.";
}

}  // namespace kx
