#include "SetupRules.h"

#include "Format.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

namespace kx::chart_setup {
namespace {

constexpr int kDefaultMajor = 5;
constexpr int kDefaultMinor = 2;
constexpr const char* kRangeFormat = "0.######E+00";
constexpr int kMostDigits = 15;  // as many as Format writes

bool isValidPoint(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && x != kMissingValue && y != kMissingValue;
}

bool isBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

std::string axisText(std::string message, char axis) {
    for (std::size_t at = message.find("?-axis"); at != std::string::npos; at = message.find("?-axis", at))
        message[at] = axis;
    return message;
}

// The major spacing of a Linear axis as the chart gets it: the range divided
// by the number of major intervals, cut to the significant digits.
double majorSpacing(double maximum, double minimum, double major, int digits) {
    const std::string text = Format((maximum - minimum) / major, OutputFormat(digits));
    return ParseNumber(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

bool usableSpacing(double spacing) { return std::isfinite(spacing) && spacing > 0; }

// The ends of a range as the boxes show them: seven significant digits, or
// as many more as it takes to keep two different ends apart.
std::pair<std::string, std::string> rangeTexts(double minimum, double maximum) {
    std::pair<std::string, std::string> t{Format(minimum, kRangeFormat), Format(maximum, kRangeFormat)};
    for (int digits = 8; t.first == t.second && minimum != maximum && digits <= kMostDigits; ++digits) {
        const std::string format = "0." + std::string(static_cast<std::size_t>(digits - 1), '#') + "E+00";
        t = {Format(minimum, format), Format(maximum, format)};
    }
    return t;
}

// A tick box of a Linear axis: rounds a numeric text to its whole number
// (the box shows that number) and tests it against [1, upper].
bool checkTicks(const std::string& text, double upper, std::optional<std::string>& newText) {
    const std::optional<double> value = ParseNumber(text);
    if (!value) return false;
    const double whole = RoundHalfEven(*value);
    newText = NumberToText(whole);
    return whole >= 1 && whole <= upper;
}

double wholeAtLeastOne(const std::string& text) {
    return std::max(1.0, RoundHalfEven(ParseNumber(text).value_or(1)));
}

void applyAxis(AxisProperties& axis, const AxisInput& input) {
    if (!input.Show) {
        axis.ShowAxis = kAxisHidden;
        return;
    }
    axis.ShowAxis = kAxisShown;
    axis.ScaleControl = input.Mode;
    if (input.Mode == kModeAuto) {
        axis.ManualTicknLine = false;
        axis.ManualScaleControl = kManualScaleOff;
        return;
    }
    axis.ManualTicknLine = true;
    axis.ManualScaleControl = kManualScaleMinMax;
    axis.ManualMax = ParseNumber(input.Maximum).value_or(axis.ManualMax);
    axis.ManualMin = ParseNumber(input.Minimum).value_or(axis.ManualMin);
    if (input.Mode != kModeLinear) return;
    const double line = majorSpacing(axis.ManualMax, axis.ManualMin, wholeAtLeastOne(input.Major), input.Digits);
    const double tick = line / wholeAtLeastOne(input.Minor);
    // A spacing the chart cannot draw with is never written; CheckAxis
    // refuses the range that would give one.
    if (usableSpacing(line) && usableSpacing(tick)) {
        axis.ManualLine = line;
        axis.ManualTick = tick;
    }
}

}  // namespace

std::string OutputFormat(int NumDigits) {
    return "0." + std::string(static_cast<std::size_t>(std::max(NumDigits - 1, 0)), '0') + "E+00";
}

int RemapPointType(int code) { return code == 72 ? 0 : code; }

int RemapLineType(int code) {
    switch (code) {
        case 9: return 0;
        case 10: return 6;
        default: return code;
    }
}

std::optional<DataRange> ScanDataRange(const platform::ChartDataSource& data) {
    constexpr double highest = std::numeric_limits<double>::max();
    DataRange r{highest, -highest, highest, -highest};
    bool any = false;
    const int subsets = data.Subsets();
    const int points = data.Points();
    for (int s = 0; s < subsets; ++s) {
        for (int p = 0; p < points; ++p) {
            const double x = data.XDataII(s, p);
            const double y = data.YDataII(s, p);
            if (!isValidPoint(x, y)) continue;
            any = true;
            r.MinX = std::min(r.MinX, x);
            r.MaxX = std::max(r.MaxX, x);
            r.MinY = std::min(r.MinY, y);
            r.MaxY = std::max(r.MaxY, y);
        }
    }
    if (!any) return std::nullopt;
    return r;
}

AxisEnabling EnablingFor(int mode) {
    return {mode == kModeLinear || mode == kModeLog, mode == kModeLinear};
}

Colour AnnotationColour(const std::vector<AnnotationSlot>& slots, Colour xAxisColor) {
    const std::size_t n = std::min<std::size_t>(slots.size(), kAnnotationSlots);
    for (std::size_t i = 0; i < n; ++i) {
        const AnnotationSlot& slot = slots[i];
        if (slot.X != kMissingValue && slot.Text && !isBlank(*slot.Text)) return slot.Color;
    }
    return xAxisColor;
}

AxisTexts LoadAxis(const AxisProperties& axis, const AxisSight& drawn) {
    AxisTexts t;
    t.Show = axis.ShowAxis == kAxisShown;
    t.Mode = drawn.Logarithmic                                  ? kModeLog
             : axis.ScaleControl == kModeLinear || drawn.Manual ? kModeLinear
                                                                : kModeAuto;
    const double maximum = drawn.Upper, minimum = drawn.Lower;
    double major = kDefaultMajor, minor = kDefaultMinor;
    if (t.Mode == kModeLinear && axis.ManualTicknLine && usableSpacing(axis.ManualLine) &&
        usableSpacing(axis.ManualTick)) {
        const double m = RoundHalfEven((maximum - minimum) / axis.ManualLine);
        const double n = RoundHalfEven(axis.ManualLine / axis.ManualTick);
        if (std::isfinite(m) && std::isfinite(n)) {
            major = m;
            minor = n;
        }
    }
    std::tie(t.Minimum, t.Maximum) = rangeTexts(minimum, maximum);
    t.Major = NumberToText(major);
    t.Minor = NumberToText(minor);
    return t;
}

AxisCheck CheckAxis(const AxisInput& input, char axis) {
    AxisCheck check;
    if (!input.Show || input.Mode == kModeAuto) return check;
    auto refuse = [&](AxisField field, const char* message, bool selectAll) {
        check.Refusal = AxisRefusal{field, axisText(message, axis), selectAll};
        return check;
    };
    const std::optional<double> maximum = ParseNumber(input.Maximum);
    if (!maximum) return refuse(AxisField::Maximum, "Maximum ?-axis value, please enter a number.", true);
    const std::optional<double> minimum = ParseNumber(input.Minimum);
    if (!minimum) return refuse(AxisField::Minimum, "Minimum ?-axis value, please enter a number.", true);
    if (*minimum > *maximum)
        return refuse(AxisField::Maximum,
                      "The maximum ?-axis value is less than the minimum ?-axis value. Enter correct values.", false);
    // An axis needs a range to draw over.
    if (*minimum == *maximum)
        return refuse(AxisField::Maximum,
                      "The maximum ?-axis value equals the minimum ?-axis value. Enter correct values.", false);
    if (input.Mode == kModeLinear) {
        if (!checkTicks(input.Major, 20, check.MajorText))
            return refuse(AxisField::Major,
                          "The major tick number of the ?-axis, please enter an integer on the interval [1, 20].",
                          true);
        if (!checkTicks(input.Minor, 10, check.MinorText))
            return refuse(AxisField::Minor,
                          "The minor tick number of the ?-axis, please enter an integer on the interval [1, 10].",
                          true);
        const double line = majorSpacing(*maximum, *minimum, RoundHalfEven(*ParseNumber(input.Major)), input.Digits);
        const double tick = line / RoundHalfEven(*ParseNumber(input.Minor));
        if (!usableSpacing(line) || !usableSpacing(tick))
            return refuse(AxisField::Maximum,
                          "The ?-axis range cannot be divided into tick marks, please enter other values.", true);
    }
    if (input.Mode == kModeLog && *minimum <= 0)
        return refuse(AxisField::Minimum,
                      "?-axis contains negative values or 0, the logarithmic scale cannot be created.", true);
    return check;
}

bool ApplySetup(ChartProperties& chart, const SetupInput& input, const SetupInput& shown) {
    bool written = false;
    auto change = [&written](auto& property, const auto& value, const auto& shownValue) {
        if (value == shownValue) return;
        property = value;
        written = true;
    };
    change(chart.FONTSIZE, input.FontSize, shown.FontSize);
    change(chart.PointSize, input.PointSize, shown.PointSize);
    if (!(input.X == shown.X)) {
        applyAxis(chart.X, input.X);
        written = true;
    }
    if (!(input.Y == shown.Y)) {
        applyAxis(chart.Y, input.Y);
        written = true;
    }
    for (std::size_t g = 0; g < chart.Fonts.size(); ++g) change(chart.Fonts[g], input.Fonts[g], shown.Fonts[g]);
    const std::size_t n = std::min({chart.Subsets.size(), input.Styles.size(), shown.Styles.size()});
    for (std::size_t s = 0; s < n; ++s) {
        SubsetStyle& style = chart.Subsets[s];
        const SubsetStyle &now = input.Styles[s], &before = shown.Styles[s];
        change(style.Label, now.Label, before.Label);
        change(style.PointType, now.PointType, before.PointType);
        change(style.LineType, now.LineType, before.LineType);
        change(style.Color, now.Color, before.Color);
    }
    return written;
}

}  // namespace kx::chart_setup
