// The missing value: an absent point in plot data, tables, curves and
// comparisons.
#pragma once

namespace kx {

inline constexpr double kMissingValue = -99999;

}  // namespace kx
