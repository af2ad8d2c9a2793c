// The checks of the results window's "General" page: the time interval, the
// point presentation and the time-axis scaling, in the order the user is
// told about them. The first refusal names the box to correct.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kx {

enum class GeneralBox {
    None,
    IntervalStart,  // Text2
    IntervalEnd,    // Text3
    PointStep,      // Text5 ("Show one out of every")
    TimeScale,      // Text1 (X-axis scaling)
};

struct GeneralPageInput {
    std::string IntervalStart, IntervalEnd, PointStep, TimeScale;
    bool LogTimeAxis = false;  // "Log10(X)" chosen
    double SMin = 0, Smax = 0;  // the first and last stored times
};

struct GeneralPageCheck {
    GeneralBox Box = GeneralBox::None;  // the box refused, None when all pass
    std::string Message;
    // The point step as the box is to show it (its integer part) once the
    // step's check was reached; empty before.
    std::string PointStepText;
    int PointStep = 0;          // the step asked for, when all pass
    double Start = 0, End = 0;  // the interval, when all pass
};

// The step a point-presentation text asks for: its integer part; nothing
// when the text is no number or the step is below 1 or above the largest
// int (no step is taken for another).
std::optional<int> PointStepOf(std::string_view text);

// Checks 1 to 8; the interval itself is applied by the caller.
GeneralPageCheck CheckGeneralPage(const GeneralPageInput& in);

// Check 9, on the interval as the stored rows snapped it: refused when the
// start is not below the end.
GeneralPageCheck CheckSnappedInterval(double start, double end);

// The interval and step asked for were not taken (the interval holds fewer
// than two points at that step): refused, the interval and the step in use
// stay. The step's box is the one to correct when the step was changed,
// else the interval's.
GeneralPageCheck CheckIntervalTaken(bool taken, int pointStep, bool stepChanged);

}  // namespace kx
