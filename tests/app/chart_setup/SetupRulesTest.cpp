// The chart set-up rules without windows: tick formats, style codes, the
// data range, what the axis boxes show at load, their checks, and what an
// apply writes into the chart.
#include "SetupRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kx;
using namespace kx::chart_setup;

namespace {

// The input of an axis as the dialog shows it at load.
AxisInput InputOf(const AxisTexts& texts, int digits) {
    return AxisInput{texts.Show, texts.Mode, texts.Maximum, texts.Minimum, texts.Major, texts.Minor, digits};
}

// Subsets of (x, y) points, all of the same length.
class Curves : public platform::ChartDataSource {
public:
    explicit Curves(std::vector<std::vector<std::pair<double, double>>> subsets) : subsets_(std::move(subsets)) {}
    int Subsets() const override { return static_cast<int>(subsets_.size()); }
    int Points() const override { return subsets_.empty() ? 0 : static_cast<int>(subsets_[0].size()); }
    double XDataII(int s, int p) const override { return subsets_[s][p].first; }
    double YDataII(int s, int p) const override { return subsets_[s][p].second; }

private:
    std::vector<std::vector<std::pair<double, double>>> subsets_;
};

constexpr double kMissing = kMissingValue;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

AxisInput linear(std::string max, std::string min, std::string major = "5", std::string minor = "2") {
    return AxisInput{true, kModeLinear, std::move(max), std::move(min), std::move(major), std::move(minor), 3};
}

AxisInput logAxis(std::string max, std::string min) {
    return AxisInput{true, kModeLog, std::move(max), std::move(min), "", "", 3};
}

}  // namespace

TEST(OutputFormat, HasOneZeroPerSignificantDigitAfterTheFirst) {
    EXPECT_EQ(OutputFormat(1), "0.E+00");
    EXPECT_EQ(OutputFormat(3), "0.00E+00");
    EXPECT_EQ(OutputFormat(7), "0.000000E+00");
    EXPECT_EQ(OutputFormat(0), "0.E+00");
    EXPECT_EQ(OutputFormat(-4), "0.E+00");
}

TEST(StyleCodes, CodesDrawnLikeAnotherAreShownByItsSample) {
    const std::vector<std::pair<int, int>> points{{72, 0}, {0, 0}, {11, 11}, {73, 73}, {40, 40}};
    for (auto [code, shown] : points) EXPECT_EQ(RemapPointType(code), shown) << code;
    // The medium dash and dash-dot have samples of their own.
    const std::vector<std::pair<int, int>> lines{{7, 7}, {8, 8}, {9, 0}, {10, 6}, {0, 0}, {6, 6}, {11, 11}, {12, 12}};
    for (auto [code, shown] : lines) EXPECT_EQ(RemapLineType(code), shown) << code;
}

TEST(DataRange, AnAxisOfNegativeValuesShowsItsOwnRange) {
    // log10 mole fractions: every Y below zero.
    Curves data({{{1e-6, -12.5}, {1e-5, -3.25}, {1e-4, -7}}});
    const auto r = ScanDataRange(data);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->MinY, -12.5);
    EXPECT_EQ(r->MaxY, -3.25);
    EXPECT_EQ(r->MinX, 1e-6);
    EXPECT_EQ(r->MaxX, 1e-4);
}

TEST(DataRange, CoversEverySubsetAndSkipsPointsMissingEitherValue) {
    Curves data({{{0, 1}, {kMissing, 100}, {3, 2}},
                 {{-5, kNaN}, {2, -4}, {50, kMissing}}});
    const auto r = ScanDataRange(data);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->MinX, 0);
    EXPECT_EQ(r->MaxX, 3);
    EXPECT_EQ(r->MinY, -4);
    EXPECT_EQ(r->MaxY, 2);
}

TEST(DataRange, ZerosAloneAndNoValidPoint) {
    const auto zeros = ScanDataRange(Curves({{{0, 0}, {0, 0}}}));
    ASSERT_TRUE(zeros);
    EXPECT_EQ(zeros->MaxY, 0);
    EXPECT_EQ(zeros->MinY, 0);
    EXPECT_FALSE(ScanDataRange(Curves({{{kMissing, 1}, {1, kMissing}}})));
    EXPECT_FALSE(ScanDataRange(Curves({})));
}

TEST(AxisFields, EnabledByScaleMode) {
    struct Case {
        int mode;
        bool limits, ticks;
    };
    for (Case c : {Case{kModeAuto, false, false}, Case{kModeLinear, true, true}, Case{kModeLog, true, false},
                   Case{7, false, false}}) {
        EXPECT_EQ(EnablingFor(c.mode).Limits, c.limits) << c.mode;
        EXPECT_EQ(EnablingFor(c.mode).Ticks, c.ticks) << c.mode;
    }
}

TEST(AnnotationColour, FirstPlacedSlotWithTextElseTheXAxisColour) {
    std::vector<AnnotationSlot> slots(kAnnotationSlots + 5);
    const Colour axis = 0x123456;
    EXPECT_EQ(AnnotationColour(slots, axis), axis);
    slots[2] = {kMissing, std::string("free"), 1};     // not placed
    slots[3] = {1.0, std::string("   "), 2};          // blank
    slots[4] = {1.0, std::nullopt, 3};                 // Null
    slots[kAnnotationSlots + 1] = {1.0, std::string("beyond"), 4};
    EXPECT_EQ(AnnotationColour(slots, axis), axis);
    slots[7] = {0.0, std::string("ignition"), 0x00AA00};
    slots[9] = {1.0, std::string("later"), 5};
    EXPECT_EQ(AnnotationColour(slots, axis), 0x00AA00);
}

TEST(LoadAxis, ShowsTheScaleAndRangeTheChartDraws) {
    struct Case {
        const char* what;
        AxisProperties axis;
        AxisSight drawn;
        int mode;
        std::string maximum, minimum;
    };
    AxisProperties auto_;
    auto_.ManualMax = 99;
    // A relative error: Linear without a manual range, drawn over its points.
    const AxisProperties linearUnset{kAxisShown, kModeLinear, kManualScaleOff, 0, 1, false, 0, 0};
    const AxisProperties logUnset{kAxisShown, kModeLog, kManualScaleOff, 0, 1, false, 0, 0};
    const AxisProperties autoWithRange{kAxisShown, kModeAuto, kManualScaleMinMax, -0.001, 0.001, false, 0, 0};
    const std::vector<Case> cases{
        {"auto", auto_, {false, false, -12.5, -3.25}, kModeAuto, "-3.25E+00", "-1.25E+01"},
        {"auto, wide", auto_, {false, false, 0, 1234.5678912}, kModeAuto, "1.234568E+03", "0.E+00"},
        {"linear, no manual range", linearUnset, {false, false, -1.1, 0.3}, kModeLinear, "3.E-01", "-1.1E+00"},
        {"log, no manual range", logUnset, {true, false, 2e-9, 0.05}, kModeLog, "5.E-02", "2.E-09"},
        {"auto drawn over a manual range", autoWithRange, {false, true, -0.001, 0.001}, kModeLinear, "1.E-03",
         "-1.E-03"},
        // Ends that seven digits would show as one number get the digits
        // that tell them apart.
        {"auto, narrow", auto_, {false, false, 1.0000000000997, 1.0000000002003}, kModeAuto, "1.0000000002E+00",
         "1.0000000001E+00"},
        {"auto, narrowest", auto_, {false, false, 1000, 1000.0000000001}, kModeAuto, "1.0000000000001E+03",
         "1.E+03"},
    };
    for (const Case& c : cases) {
        const AxisTexts t = LoadAxis(c.axis, c.drawn);
        EXPECT_TRUE(t.Show) << c.what;
        EXPECT_EQ(t.Mode, c.mode) << c.what;
        EXPECT_EQ(t.Maximum, c.maximum) << c.what;
        EXPECT_EQ(t.Minimum, c.minimum) << c.what;
        EXPECT_EQ(t.Major, "5") << c.what;
        EXPECT_EQ(t.Minor, "2") << c.what;
    }
}

TEST(LoadAxis, LinearShowsItsTickCountsRoundedHalfToEven) {
    AxisProperties a{kAxisShown, kModeLinear, kManualScaleMinMax, 0, 17.5, true, 5, 2};
    AxisTexts t = LoadAxis(a, AxisSight{false, true, 0, 17.5});
    EXPECT_EQ(t.Maximum, "1.75E+01");
    EXPECT_EQ(t.Minimum, "0.E+00");
    EXPECT_EQ(t.Major, "4");  // 3.5
    EXPECT_EQ(t.Minor, "2");  // 2.5

    a.ShowAxis = kAxisHidden;
    a.ScaleControl = kModeLog;
    a.ManualMin = 0.01;
    t = LoadAxis(a, AxisSight{true, true, 0.01, 17.5});
    EXPECT_FALSE(t.Show);
    EXPECT_EQ(t.Mode, kModeLog);
    EXPECT_EQ(t.Minimum, "1.E-02");
    EXPECT_EQ(t.Major, "5");
    EXPECT_EQ(t.Minor, "2");
}

TEST(LoadAxis, ALinearAxisWithoutUsableSpacingShowsDefaultTicks) {
    for (auto [line, tick] : {std::pair{0.0, 1.0}, {1.0, 0.0}, {-1.0, 0.5}, {kNaN, 1.0}, {1e-320, 1e-321}}) {
        const AxisProperties a{kAxisShown, kModeLinear, kManualScaleMinMax, -1e308, 1e308, true, line, tick};
        const AxisTexts t = LoadAxis(a, AxisSight{false, true, -1e308, 1e308});
        EXPECT_EQ(t.Major, "5") << line;
        EXPECT_EQ(t.Minor, "2") << line;
    }
    // Spacings the chart does not draw with (manual ticks off) are not shown.
    const AxisProperties off{kAxisShown, kModeLinear, kManualScaleMinMax, 0, 10, false, 1, 0.5};
    EXPECT_EQ(LoadAxis(off, AxisSight{false, true, 0, 10}).Major, "5");
}

TEST(CheckAxis, RefusesInTheOrderOfTheChecks) {
    struct Case {
        AxisInput input;
        std::optional<AxisField> field;
        std::string message;
        bool selectAll;
    };
    const std::string notNumberMax = "Maximum X-axis value, please enter a number.";
    const std::string notNumberMin = "Minimum X-axis value, please enter a number.";
    const std::string order =
        "The maximum X-axis value is less than the minimum X-axis value. Enter correct values.";
    const std::string equal = "The maximum X-axis value equals the minimum X-axis value. Enter correct values.";
    const std::string major = "The major tick number of the X-axis, please enter an integer on the interval [1, 20].";
    const std::string minor = "The minor tick number of the X-axis, please enter an integer on the interval [1, 10].";
    const std::string log = "X-axis contains negative values or 0, the logarithmic scale cannot be created.";
    const std::vector<Case> cases{
        {AxisInput{false, kModeLinear, "x", "y", "z", "w", 3}, {}, "", false},
        {AxisInput{true, kModeAuto, "x", "y", "z", "w", 3}, {}, "", false},
        {linear("abc", "0"), AxisField::Maximum, notNumberMax, true},
        {linear("1,5", "x"), AxisField::Maximum, notNumberMax, true},
        {linear("10", ""), AxisField::Minimum, notNumberMin, true},
        {linear("1", "2", "x", "x"), AxisField::Maximum, order, false},
        {linear("2", "2"), AxisField::Maximum, equal, false},
        {logAxis("1E-03", "0.001"), AxisField::Maximum, equal, false},
        {linear("10", "0", "0.4"), AxisField::Major, major, true},
        {linear("10", "0", "21"), AxisField::Major, major, true},
        {linear("10", "0", "1E10"), AxisField::Major, major, true},
        {linear("10", "0", "five"), AxisField::Major, major, true},
        {linear("10", "0", "20", "11"), AxisField::Minor, minor, true},
        {linear("10", "0", "20", "0"), AxisField::Minor, minor, true},
        {linear("10", "0", "20", "10"), {}, "", false},
        {linear("1E308", "-1E308"), AxisField::Maximum,
         "The X-axis range cannot be divided into tick marks, please enter other values.", true},
        {logAxis("100", "0"), AxisField::Minimum, log, true},
        {logAxis("5", "-1"), AxisField::Minimum, log, true},
        {logAxis("100", "0.01"), {}, "", false},
        {logAxis("100", "1000"), AxisField::Maximum, order, false},
    };
    for (const Case& c : cases) {
        const AxisCheck check = CheckAxis(c.input, 'X');
        SCOPED_TRACE(c.input.Maximum + " " + c.input.Minimum + " " + c.input.Major + " " + c.input.Minor);
        ASSERT_EQ(check.Refusal.has_value(), c.field.has_value());
        if (!c.field) continue;
        EXPECT_EQ(check.Refusal->Field, *c.field);
        EXPECT_EQ(check.Refusal->Message, c.message);
        EXPECT_EQ(check.Refusal->SelectAll, c.selectAll);
    }
}

TEST(CheckAxis, TickBoxesAreRoundedHalfToEvenBeforeTheirRangeIsTested) {
    struct Case {
        std::string major, minor;
        std::optional<std::string> majorText, minorText;
        bool refused;
    };
    const std::vector<Case> cases{
        {"2.6", "3", "3", "3", false},   {"2.5", "3.5", "2", "4", false}, {"0.4", "2", "0", {}, true},
        {"1E10", "2", "10000000000", {}, true}, {"x", "2", {}, {}, true}, {"4", "10.6", "4", "11", true},
    };
    for (const Case& c : cases) {
        const AxisCheck check = CheckAxis(linear("10", "0", c.major, c.minor), 'X');
        EXPECT_EQ(check.MajorText, c.majorText) << c.major;
        EXPECT_EQ(check.MinorText, c.minorText) << c.minor;
        EXPECT_EQ(check.Refusal.has_value(), c.refused) << c.major;
    }
}

TEST(CheckAxis, TheYAxisMessagesNameTheYAxis) {
    EXPECT_EQ(CheckAxis(linear("", "0"), 'Y').Refusal->Message, "Maximum Y-axis value, please enter a number.");
    EXPECT_EQ(CheckAxis(linear("1", "5"), 'Y').Refusal->Message,
              "The maximum Y-axis value is less than the minimum Y-axis value. Enter correct values.");
    EXPECT_EQ(CheckAxis(logAxis("1", "-5"), 'Y').Refusal->Message,
              "Y-axis contains negative values or 0, the logarithmic scale cannot be created.");
}

TEST(ApplySetup, AHiddenAxisChangesOnlyItsShowFlag) {
    ChartProperties chart;
    chart.X = {kAxisShown, kModeLinear, kManualScaleMinMax, 1, 9, true, 2, 1};
    const AxisProperties before = chart.X;
    SetupInput shown;
    shown.X = linear("9", "1", "4", "2");
    SetupInput input = shown;
    input.X = AxisInput{false, kModeLog, "junk", "", "", "", 3};
    EXPECT_TRUE(ApplySetup(chart, input, shown));
    AxisProperties expected = before;
    expected.ShowAxis = kAxisHidden;
    EXPECT_EQ(chart.X, expected);
}

TEST(ApplySetup, EachScaleModeWritesItsProperties) {
    const AxisProperties start{kAxisHidden, kModeLinear, kManualScaleMinMax, -3, 3, true, 1.5, 0.5};
    struct Case {
        AxisInput input;
        AxisProperties expected;
    };
    AxisInput oneDigit = linear("10", "0", "3", "2");
    oneDigit.Digits = 1;
    const std::vector<Case> cases{
        {AxisInput{true, kModeAuto, "", "", "", "", 3},
         {kAxisShown, kModeAuto, kManualScaleOff, -3, 3, false, 1.5, 0.5}},
        {linear("10", "0", "3", "2"), {kAxisShown, kModeLinear, kManualScaleMinMax, 0, 10, true, 3.33, 3.33 / 2}},
        {oneDigit, {kAxisShown, kModeLinear, kManualScaleMinMax, 0, 10, true, 3, 1.5}},
        {linear("-0.5", "-12.5", "4", "5"), {kAxisShown, kModeLinear, kManualScaleMinMax, -12.5, -0.5, true, 3, 0.6}},
        {logAxis("1E+02", "1E-03"), {kAxisShown, kModeLog, kManualScaleMinMax, 1e-3, 100, true, 1.5, 0.5}},
    };
    for (const Case& c : cases) {
        ChartProperties chart;
        chart.Y = start;
        SetupInput shown;
        shown.X = AxisInput{false, kModeAuto, "", "", "", "", 3};
        shown.Y = AxisInput{false, kModeLinear, "3", "-3", "4", "3", 3};
        SetupInput input = shown;
        input.Y = c.input;
        ASSERT_FALSE(CheckAxis(c.input, 'Y').Refusal) << c.input.Maximum;
        EXPECT_TRUE(ApplySetup(chart, input, shown));
        EXPECT_EQ(chart.Y, c.expected) << c.input.Mode << " " << c.input.Maximum;
    }
}

namespace {

// The input of a chart as the dialog shows it at load.
SetupInput shownFor(const ChartProperties& chart, const AxisSight& x, const AxisSight& y) {
    SetupInput shown;
    shown.X = InputOf(LoadAxis(chart.X, x), 3);
    shown.Y = InputOf(LoadAxis(chart.Y, y), 3);
    // A size the options do not offer leaves them at Medium.
    shown.FontSize = chart.FONTSIZE >= 0 && chart.FONTSIZE <= 2 ? chart.FONTSIZE : 1;
    shown.PointSize = chart.PointSize >= 0 && chart.PointSize <= 2 ? chart.PointSize : 1;
    shown.Fonts = chart.Fonts;
    shown.Styles = chart.Subsets;
    return shown;
}

}  // namespace

TEST(ApplySetup, WhatTheUserLeftAsShownStaysAsTheChartHasIt) {
    struct Case {
        const char* what;
        ChartProperties chart;
        AxisSight x, y;
    };
    ChartProperties relativeError;  // Linear Y without a manual range: drawn over its points
    relativeError.Y = {kAxisShown, kModeLinear, kManualScaleOff, 0, 1, false, 0, 0};
    relativeError.Subsets = {{"Relative Error", 0, 8, 0x0000FF}};
    ChartProperties curves;  // the results window's curves: medium dash-dot, a point code 72
    curves.Subsets = {{"OH", 72, 8, 1}, {"H2O", 0, 7, 2}, {"T", 0, 10, 3}};
    curves.FONTSIZE = 7;
    curves.PointSize = -2;
    ChartProperties logAxes;  // Log X without a range, a hidden Y
    logAxes.X = {kAxisShown, kModeLog, kManualScaleOff, 0, 1, true, 0.5, 0.1};
    logAxes.Y = {kAxisHidden, kModeLinear, kManualScaleMinMax, 2, 8, true, 3, 1};
    ChartProperties manual;  // a chart file: Auto scale with a manual range, manual ticks
    manual.X = {kAxisShown, kModeAuto, kManualScaleMinMax, -1, 1, true, 0.3, 0.1};
    manual.Y = {kAxisShown, kModeLinear, kManualScaleMinMax, 0, 100, true, 7, 0.35};
    const std::vector<Case> cases{
        {"relative error", relativeError, {false, false, 1e-6, 0.1}, {false, false, -1.1, 0.3}},
        {"curves", curves, {false, false, 0, 2.5}, {false, false, -12, -1}},
        {"log axes", logAxes, {true, false, 1e-7, 1e-2}, {false, true, 2, 8}},
        {"manual ranges", manual, {false, true, -1, 1}, {false, true, 0, 100}},
    };
    for (const Case& c : cases) {
        ChartProperties chart = c.chart;
        const SetupInput shown = shownFor(chart, c.x, c.y);
        EXPECT_FALSE(ApplySetup(chart, shown, shown)) << c.what;
        EXPECT_EQ(chart, c.chart) << c.what;
    }
}

TEST(ApplySetup, WritesOnlyWhatTheUserChanged) {
    ChartProperties chart;
    chart.Fonts = {FontProperties{"Arial", true, false}, {"Arial", false, false}, {"Arial", false, false}};
    chart.Subsets = {{"OH", 72, 8, 1}, {"H2O", 0, 7, 2}};
    const ChartProperties before = chart;
    const SetupInput shown = shownFor(chart, {}, {});
    SetupInput input = shown;
    input.FontSize = 2;
    input.Fonts[1] = FontProperties{"Serif", true, false};
    input.Styles[0].Color = 0xFF0000;     // a colour alone: the dash-dot and code 72 stay
    input.Styles[1] = {"water", 9, 3, 2};  // every field of the other
    EXPECT_TRUE(ApplySetup(chart, input, shown));
    ChartProperties expected = before;
    expected.FONTSIZE = 2;
    expected.Fonts[1] = input.Fonts[1];
    expected.Subsets = {{"OH", 72, 8, 0xFF0000}, {"water", 9, 3, 2}};
    EXPECT_EQ(chart, expected);

    // A second apply without a further change writes nothing.
    ChartProperties after = chart;
    EXPECT_FALSE(ApplySetup(after, input, input));
    EXPECT_EQ(after, chart);
}
