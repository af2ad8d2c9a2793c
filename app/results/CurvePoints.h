// A time curve on its way to the chart: one value per output point, paired
// with the point's time, filtered, scaled, optionally turned into base-10
// logarithms, and checked for something to draw.
//
// The results window draws every quantity through this (species, mean
// parameters, derivatives, rates), and the comparison draws the curves of
// its two files and their relative error through it. Qt-free.
//
// The rules, point by point:
//  - X is time x TimeScale when the point passes the filter and its time is
//    a number (and, with PositiveTimesOnly, above 0); otherwise missing.
//  - When the value is not a number, is 0 or is the missing value, or X is
//    missing, both X and Y are missing; otherwise Y is value x ValueScale.
//  - LogTime: X > 0 becomes log10 X, any other X makes the point missing.
//    Then LogValue: the same for Y.
//  - The curve can be drawn when at least one point has both X and Y.
// A missing coordinate holds kMissingValue (-99999), as the chart expects.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

struct CurveSource {
    // One entry per point, in point order; NaN stands for a text that is not
    // a number.
    std::span<const double> Times;
    std::span<const double> Values;
    // When not empty: 0 drops the point (the results window drops a
    // species' points where its stored mass fraction is not above the zero
    // threshold). Same length as Times.
    std::span<const char> Passes;
    double TimeScale = 1.0;
    double ValueScale = 1.0;
    bool LogTime = false;
    bool LogValue = false;
    // A time of 0 or below is missing (the comparison's relative error).
    bool PositiveTimesOnly = false;
};

struct CurvePoints {
    std::vector<double> X;  // kMissingValue where the point is not drawn
    std::vector<double> Y;
    int Count() const { return static_cast<int>(X.size()); }
    // True when some point has both coordinates.
    bool Drawable() const;
};

// Builds the points; Times and Values must have the same length (else an
// invalid-argument kx::Error).
CurvePoints PrepareCurve(const CurveSource& source);

// What the user is told when a curve has nothing to draw; legend names the
// curve, logValue tells whether values were turned into logarithms.
std::string UndrawableCurveMessage(std::string_view legend, bool logValue);

}  // namespace kx
