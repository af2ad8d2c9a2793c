// When a stored mass fraction counts as zero.
//
// The solver holds each mass fraction to the run's absolute tolerance
// (header line 24); below a hundredth of it a stored value is noise. Every
// analysis of a run's results takes a mass fraction not above that
// threshold as absent: the results window and the reduction's holder where
// they evaluate rates, concentrations, curves and tables, and the
// comparison where it turns the records into mole fractions.
#pragma once

namespace kx {

// The share of the absolute tolerance below which a mass fraction is noise.
inline constexpr double kZeroThresholdShare = 0.01;

// The zero threshold of a run with this absolute tolerance.
constexpr double ZeroThresholdOf(double absTolerance) { return kZeroThresholdShare * absTolerance; }

// True when the mass fraction is absent: not above the zero threshold (a
// value at the threshold, 0 and negative values among them).
constexpr bool CountsAsZero(double massFraction, double zeroThreshold) { return !(massFraction > zeroThreshold); }

}  // namespace kx
