// Arithmetic on two time curves of the same quantity, one from each solver
// file of a comparison: trimming to the span of positive values, four-point
// interpolation at any time, and the curve of relative differences.
//
// Nothing here shows a message. Points that cannot be compared carry the
// missing value; an arithmetic overflow throws kx::Error for the caller's trap.
#pragma once

#include <vector>

#include "MissingValue.h"

namespace kx {

// Points 1..Count() (entry 0 unused); times increase with the index.
struct CmpCurve {
    std::vector<double> Time{0.0};
    std::vector<double> Value{0.0};
    int Count() const { return static_cast<int>(Time.size()) - 1; }
    void Add(double time, double value) {
        Time.push_back(time);
        Value.push_back(value);
    }
};

// Points from the first positive value to the last value that is not
// negative: leading zeros are dropped; a curve without a positive value
// becomes empty.
CmpCurve CmpTrimCurve(const CmpCurve& curve);

// The curve's value at time t: exact at its last time and at a stored time
// from its second point on; else the cubic through the two points on either
// side, for t from the second point up to (not including) the third-to-last
// one. kMissingValue elsewhere and where two of the four times are equal.
double CmpInterpolate(double t, const CmpCurve& curve);

// At each time of curve 1 (trimmed), |y1 - y2| / (b |y1| + (1 - b) |y2|)
// with y2 interpolated on curve 2 (trimmed); kMissingValue where either value
// is missing or 0, where the denominator is 0, and where the error is below
// 1e-5. b in [0, 1] moves the reference from file 2's value to file 1's.
CmpCurve CmpRelativeErrorCurve(const CmpCurve& curve1, const CmpCurve& curve2, double b);

}  // namespace kx
