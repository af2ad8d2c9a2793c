#include "CurveArithmetic.h"

#include <cmath>

#include "Errors.h"
#include "Index.h"

namespace kx {
namespace {

double Checked(double v) {
    if (!std::isfinite(v)) throw Error(ErrorKind::Overflow);
    return v;
}

}  // namespace

CmpCurve CmpTrimCurve(const CmpCurve& curve) {
    const int n = curve.Count();
    int first = n + 1, last = 0;
    for (int i = 1; i <= n; ++i)
        if (curve.Value[At(i)] > 0) {
            first = i;
            break;
        }
    for (int j = n; j >= 1; --j)
        if (curve.Value[At(j)] >= 0) {
            last = j;
            break;
        }
    CmpCurve trimmed;
    for (int i = first; i <= last; ++i) trimmed.Add(curve.Time[At(i)], curve.Value[At(i)]);
    return trimmed;
}

double CmpInterpolate(double t, const CmpCurve& curve) {
    const int n = curve.Count();
    if (n < 1) return kMissingValue;
    const std::vector<double>& X = curve.Time;
    const std::vector<double>& Y = curve.Value;
    if (t == X[At(n)]) return Y[At(n)];
    int i = 0;
    for (int k = 2; k <= n - 1; ++k)
        if (X[At(k)] <= t && t < X[At(k + 1)]) {
            i = k;
            break;
        }
    if (i == 0 || i > n - 3) return kMissingValue;
    if (t == X[At(i)]) return Y[At(i)];
    const double x[4] = {X[At(i - 1)], X[At(i)], X[At(i + 1)], X[At(i + 2)]};
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            if (x[a] - x[b] == 0) return kMissingValue;
    double y = 0;
    for (int k = 0; k < 4; ++k) {
        double term = Y[At(i - 1 + k)];
        for (int l = 0; l < 4; ++l)
            if (l != k) term *= (t - x[l]) / (x[k] - x[l]);
        y += term;
    }
    return Checked(y);
}

CmpCurve CmpRelativeErrorCurve(const CmpCurve& curve1, const CmpCurve& curve2, double b) {
    const CmpCurve c1 = CmpTrimCurve(curve1);
    const CmpCurve c2 = CmpTrimCurve(curve2);
    CmpCurve result;
    for (int k = 1; k <= c1.Count(); ++k) {
        const double t = c1.Time[At(k)];
        const double y1 = c1.Value[At(k)];
        const double y2 = CmpInterpolate(t, c2);
        const double d = Checked(b * std::fabs(y1) + (1 - b) * std::fabs(y2));
        double e = kMissingValue;
        if (y1 != kMissingValue && y2 != kMissingValue && d != 0 && y1 != 0 && y2 != 0) {
            e = Checked(std::fabs(y1 - y2) / d);
            if (e < 0.00001) e = kMissingValue;
        }
        result.Add(t, e);
    }
    return result;
}

}  // namespace kx
