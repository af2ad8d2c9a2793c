#include "GeneralPage.h"

#include <climits>
#include <cmath>
#include <optional>

#include "Format.h"
#include "TextHelpers.h"

namespace kx {
namespace {

GeneralPageCheck Refuse(GeneralPageCheck c, GeneralBox box, std::string message) {
    c.Box = box;
    c.Message = std::move(message);
    return c;
}

}  // namespace

std::optional<int> PointStepOf(std::string_view text) {
    const std::optional<double> step = ParseNumber(text);
    if (!step) return std::nullopt;
    const double whole = std::floor(*step);
    if (!(whole >= 1) || whole > INT_MAX) return std::nullopt;
    return static_cast<int>(whole);
}

GeneralPageCheck CheckGeneralPage(const GeneralPageInput& in) {
    GeneralPageCheck c;
    const std::optional<double> start = ParseNumber(in.IntervalStart);
    const std::optional<double> end = ParseNumber(in.IntervalEnd);
    const char* const numberMessage = "Time interval, please enter a number.";
    if (!start) return Refuse(c, GeneralBox::IntervalStart, numberMessage);
    if (!end) return Refuse(c, GeneralBox::IntervalEnd, numberMessage);

    // The bounds named with every digit they have: a bound typed as named
    // is taken.
    const std::string a = in.SMin == 0 ? "0" : FormatFaithfully(in.SMin, "0.0#####E+00");
    const std::string b = FormatFaithfully(in.Smax, "0.0#####E+00");
    const std::string bounds = "Time boundaries you want to set are incorrect; please enter numbers on the interval [" +
                               a + " - " + b + "].";
    if (*start < in.SMin || *start >= in.Smax) return Refuse(c, GeneralBox::IntervalStart, bounds);
    if (*end <= in.SMin || *end > in.Smax) return Refuse(c, GeneralBox::IntervalEnd, bounds);
    if (*start >= *end)
        return Refuse(c, GeneralBox::IntervalEnd,
                      "Time interval, maximum X-value is less than or equal to minimal valoe. Enter correct values.");

    const std::optional<double> step = ParseNumber(in.PointStep);
    const char* const stepMessage = "Point presentation, please enter a positive integer.";
    if (!step) return Refuse(c, GeneralBox::PointStep, stepMessage);
    // A step beyond any whole number the window counts in is said to be so,
    // the box keeping what was typed: never taken as another step.
    if (std::floor(*step) > INT_MAX)
        return Refuse(c, GeneralBox::PointStep,
                      "Point presentation, the number " + std::string(Trim(in.PointStep)) +
                          " is too large; please enter a positive integer up to " + std::to_string(INT_MAX) + ".");
    c.PointStepText = Format(std::floor(*step), "0");
    const std::optional<int> pointStep = PointStepOf(in.PointStep);
    if (!pointStep) return Refuse(c, GeneralBox::PointStep, stepMessage);

    const std::string scaleMessage = in.LogTimeAxis
                                         ? "X-axis scaling, for logarithmic scale please enter a positive number."
                                         : "X-axis scaling, please enter a nonzero number.";
    const std::optional<double> scale = ParseNumber(in.TimeScale);
    if (!scale || *scale == 0) return Refuse(c, GeneralBox::TimeScale, scaleMessage);
    if (*scale < 0 && in.LogTimeAxis) return Refuse(c, GeneralBox::TimeScale, scaleMessage);

    c.PointStep = *pointStep;
    c.Start = *start;
    c.End = *end;
    return c;
}

GeneralPageCheck CheckSnappedInterval(double start, double end) {
    GeneralPageCheck c;
    c.Start = start;
    c.End = end;
    if (start >= end)
        return Refuse(c, GeneralBox::IntervalStart,
                      "Time interval under consideration, maximum X-value is less than or equal to minimal valoe. "
                      "Enter correct values.");
    return c;
}

GeneralPageCheck CheckIntervalTaken(bool taken, int pointStep, bool stepChanged) {
    GeneralPageCheck c;
    if (taken) return c;
    return Refuse(c, stepChanged ? GeneralBox::PointStep : GeneralBox::IntervalStart,
                  "Time interval, the interval holds too few points to show one out of every " +
                      std::to_string(pointStep) + " points; the interval in use is kept.");
}

}  // namespace kx
