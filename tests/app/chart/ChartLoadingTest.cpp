#include "ChartLoading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kx::chart {
namespace {

constexpr double M = kMissing;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Shared plot data of the given subsets (X row, Y row each).
SharedState handOff(std::vector<std::vector<double>> rows, std::vector<std::string> labels) {
    SharedState s;
    s.PlotSubsetCount = static_cast<std::int16_t>(rows.size() / 2);
    s.PlotPointCount = rows.empty() ? 0 : static_cast<std::int16_t>(rows[0].size());
    s.PlotData = std::move(rows);
    s.PlotSubsetLabels = std::move(labels);
    return s;
}

TEST(LoadPlotData, ShiftsLeadingGapsAndLoadsNonNumbersAsMissing) {
    SharedState s = handOff({{M, 1, 2, 3, 4},
                             {M, M, 7, 8, 9},
                             {0, 1, kNaN, 3, 4},
                             {0, 1, 2, std::numeric_limits<double>::infinity(), 4}},
                            {"first", "second"});
    ChartModel m;
    RandomSource r;
    LoadPlotData(m, s, true, false, r);
    ASSERT_EQ(m.Subsets(), 2);
    ASSERT_EQ(m.Points(), 5);
    // Subset 0: X present from point 1, Y from point 2: starts at point 2.
    EXPECT_EQ(m.At(0).x, (std::vector<double>{2, 3, 4, M, M}));
    EXPECT_EQ(m.At(0).y, (std::vector<double>{7, 8, 9, M, M}));
    // Subset 1 starts complete; its non-numbers become gaps in place.
    EXPECT_EQ(m.At(1).x, (std::vector<double>{0, 1, M, 3, 4}));
    EXPECT_EQ(m.At(1).y, (std::vector<double>{0, 1, 2, M, 4}));
    EXPECT_EQ(m.At(1).label, "second");
}

TEST(LoadPlotData, NewChartDefaults) {
    SharedState s = handOff({{0, 1}, {1, 2}, {0, 1}, {3, 4}}, {"a", "b"});
    s.PlotTitles[0] = "Main";
    s.PlotTitles[2] = "Time (sec)";
    s.PlotTitles[3] = "ignored";
    s.PlotSubtitle = "          ";
    ChartModel m;
    m.Slot(3).x = 1;
    m.Slot(3).text = "old note";
    m.histogram = true;
    RandomSource r;  // the default start: draws 0.7055475, 0.533424, 0.5795186, 0.2895625
    LoadPlotData(m, s, true, false, r);
    EXPECT_EQ(m.mainTitle, "Main");
    EXPECT_EQ(m.subTitle, "          ");  // an empty subtitle takes the shared one
    EXPECT_EQ(m.xAxisLabel, "Time (sec)");
    EXPECT_EQ(m.yAxisLabel, "Y-Axis");
    EXPECT_TRUE(m.Slot(3).Free());
    EXPECT_EQ(m.Slot(3).text, "Empty");
    EXPECT_FALSE(m.histogram);
    EXPECT_TRUE(m.colourStyle);
    // Int(0.7055 * 8) = 5, CInt(5.334) = 5; Int(0.5795 * 8) = 4, CInt(2.896) = 3.
    EXPECT_EQ(m.At(0).colour, QBColor(5));
    EXPECT_EQ(m.At(0).lineType, 5);
    EXPECT_EQ(m.At(1).colour, QBColor(4));
    EXPECT_EQ(m.At(1).lineType, 3);
    EXPECT_EQ(m.Number("XAxisScaleControl"), 0);
    EXPECT_EQ(m.Number("ManualScaleControlX"), 0);  // the data vary: automatic
}

TEST(LoadPlotData, ReloadKeepsTitlesSlotsAndStyles) {
    ChartModel m;
    RandomSource r;
    LoadPlotData(m, handOff({{0, 1}, {1, 2}}, {"a"}), true, false, r);
    m.mainTitle = "Kept";
    m.Slot(0) = Annotation{0.5, 1.5, "note", 255, 0, 0};
    m.At(0).colour = 123;
    m.At(0).pointType = 6;
    m.At(0).longLabel1 = "long";
    m.Set("YAxisScaleControl", 2.0);
    LoadPlotData(m, handOff({{0, 1, 2}, {5, 6, 7}, {0, 1, 2}, {1, 1, 1}}, {"a2", "b2"}), false, false, r);
    EXPECT_EQ(m.mainTitle, "Kept");
    EXPECT_EQ(m.Slot(0).text, "note");
    EXPECT_EQ(m.At(0).colour, 123);
    EXPECT_EQ(m.At(0).pointType, 6);
    EXPECT_EQ(m.At(0).longLabel1, "long");
    EXPECT_EQ(m.At(0).label, "a2");
    EXPECT_EQ(m.At(0).y, (std::vector<double>{5, 6, 7}));
    EXPECT_EQ(m.At(1).longLabel1, "");
    EXPECT_EQ(m.Number("YAxisScaleControl"), 0);  // every load starts on automatic axes
}

TEST(LoadPlotData, NoSubsetsLeavesTheChartEmpty) {
    ChartModel m;
    m.mainTitle = "before";
    RandomSource r;
    LoadPlotData(m, SharedState{}, true, false, r);
    EXPECT_EQ(m.Subsets(), 0);
    EXPECT_EQ(m.mainTitle, "before");
}

TEST(LoadPlotData, HistogramKeepsAutomaticAxesAndShowsTheLegend) {
    ChartModel m;
    m.Set("ShowLegend", 0.0);
    RandomSource r;
    // Bars of equal length: the axis check would fix a manual range.
    LoadPlotData(m, handOff({{2, 0}, {1, 1}, {2, 0}, {2, 2}}, {"Derivative", "R1"}), true, true, r);
    EXPECT_TRUE(m.histogram);
    EXPECT_EQ(m.Number("ManualScaleControlX"), 0);
    EXPECT_EQ(m.Number("ManualScaleControlY"), 0);
    EXPECT_TRUE(m.Flag("ShowLegend"));
}

TEST(CheckDiv, CollapsedAxesGetAWidenedManualRange) {
    struct Case {
        std::vector<double> xs, ys;
        double control, minX, maxX, controlY, minY, maxY;
    } cases[] = {
        // Constant Y: widened by a thousandth of its size.
        {{0, 1, 2}, {5, 5, 5}, 0, 0, 1, 3, 4.995, 5.005},
        // All zero: 0.001 either side.
        {{0, 0, 0}, {0, 0, 0}, 3, -0.001, 0.001, 3, -0.001, 0.001},
        // Tiny but varying values keep the automatic range.
        {{1e-6, 2e-6, 3e-6}, {1e-9, 2e-9, 1.5e-9}, 0, 0, 1, 0, 0, 1},
        // A negative constant.
        {{-2, -2, M}, {1, 2, 3}, 3, -2.002, -1.998, 0, 0, 1},
    };
    for (const Case& c : cases) {
        ChartModel m;
        m.Resize(1, 3);
        m.At(0).x = c.xs;
        m.At(0).y = c.ys;
        CheckDiv(m);
        EXPECT_EQ(m.Number("ManualScaleControlX"), c.control);
        EXPECT_EQ(m.Number("ManualScaleControlY"), c.controlY);
        if (c.control == 3) {
            EXPECT_DOUBLE_EQ(m.Number("ManualMinX"), c.minX);
            EXPECT_DOUBLE_EQ(m.Number("ManualMaxX"), c.maxX);
        }
        if (c.controlY == 3) {
            EXPECT_DOUBLE_EQ(m.Number("ManualMinY"), c.minY);
            EXPECT_DOUBLE_EQ(m.Number("ManualMaxY"), c.maxY);
        }
    }
}

TEST(AppendPlotData, MergesUnequalLengthsAndColoursTheNewSubsets) {
    ChartModel m;
    RandomSource r;
    LoadPlotData(m, handOff({{0, 1}, {1, 2}}, {"old"}), true, false, r);
    const Colour oldColour = m.At(0).colour;
    SharedState add;
    add.AddSubsetCount = 2;
    add.AddSubsetPointCount = 3;
    add.AddSubsetData = {{M, 1, 2}, {9, 8, 7}, {0, 1, 2}, {3, 4, 5}};
    add.AddSubsetLabels = {"new1", "new2"};
    RandomSource expected(77), r2(77);
    const int first = AppendPlotData(m, add, {{"R12 text", "Empty"}}, true, r2);
    EXPECT_EQ(first, 1);
    ASSERT_EQ(m.Subsets(), 3);
    ASSERT_EQ(m.Points(), 3);
    EXPECT_EQ(m.At(0).x, (std::vector<double>{0, 1, M}));  // the old curve padded
    EXPECT_EQ(m.At(0).colour, oldColour);
    EXPECT_EQ(m.At(1).x, (std::vector<double>{1, 2, M}));  // shifted to its first complete point
    EXPECT_EQ(m.At(1).y, (std::vector<double>{8, 7, M}));
    EXPECT_EQ(m.At(1).label, "new1");
    EXPECT_EQ(m.At(1).longLabel1, "R12 text");
    EXPECT_EQ(m.At(2).longLabel1, "");
    // Line type first, then the colour, for each new subset.
    EXPECT_EQ(m.At(1).lineType, RandomLineType(expected));
    EXPECT_EQ(m.At(1).colour, RandomCurveColour(expected));
    EXPECT_EQ(m.At(2).lineType, RandomLineType(expected));
    EXPECT_EQ(m.At(2).colour, RandomCurveColour(expected));

    // In monochrome style new curves are black.
    add.AddSubsetCount = 1;
    AppendPlotData(m, add, {}, false, r2);
    EXPECT_EQ(m.At(3).colour, QBColor(0));
}

TEST(SplitLongLabel, FortyEightCharactersStayWhole) {
    const std::string t48(48, 'a');
    EXPECT_EQ(SplitLongLabel(t48), std::make_pair(t48, std::string("Empty")));
    EXPECT_EQ(SplitLongLabel(t48 + "b"), std::make_pair(t48, std::string("b")));
    EXPECT_EQ(SplitLongLabel(""), std::make_pair(std::string(), std::string("Empty")));
    // Characters, not bytes: a multi-byte character is never cut.
    const std::string mu = "\xC2\xB5";
    const auto [first, rest] = SplitLongLabel(std::string(47, 'a') + mu + mu);
    EXPECT_EQ(first, std::string(47, 'a') + mu);
    EXPECT_EQ(rest, mu);
}

TEST(TimeAxisLabel, ScaleAndLogarithm) {
    EXPECT_EQ(TimeAxisLabel(false, 1), "Time (sec)");
    EXPECT_EQ(TimeAxisLabel(true, 1), "Log10 Time (sec)");
    EXPECT_EQ(TimeAxisLabel(false, 1000), "Time (sec) x 1.0E+03");
    EXPECT_EQ(TimeAxisLabel(true, 0.00125), "Log10 Time x 1.25E-03 (sec)");
}

TEST(SubsetToolTip, ReactionLabelsOnly) {
    struct Case {
        const char* label;
        const char* part1;
        const char* part2;
        const char* tip;
    } cases[] = {
        {"R12, 1.00E-03 (mol/g)", "H+O2<=>O+OH", "Empty", "H+O2<=>O+OH, 1.00E-03 (mol/g)"},
        {"R1234,x", "first ", "second", "first second,x"},
        {"R12345,x", "a", "b", ""},  // comma past character 6
        {"R,x", "a", "b", ""},       // no number
        {"Rx1,y", "a", "b", ""},
        {"Derivative, 1.0E-03", "a", "b", ""},
        {"r12,x", "a", "b", ""},
        {"R7,x", "", "", ",x"},
    };
    for (const Case& c : cases) {
        Subset s;
        s.label = c.label;
        s.longLabel1 = c.part1;
        s.longLabel2 = c.part2;
        EXPECT_EQ(SubsetToolTip(s), c.tip) << c.label;
    }
}

TEST(Readout, FormatsAndOverflow) {
    EXPECT_EQ(XReadout(2), (std::array<std::string, 2>{"X = 2.00E+00", "10^X = 1.000E+02"}));
    EXPECT_EQ(XReadout(400), (std::array<std::string, 2>{"X = 4.00E+02", "10^X = Overflow"}));
    EXPECT_EQ(XReadout(-1.2345678), (std::array<std::string, 2>{"X = -1.234568E+00", "10^X = 5.82683E-02"}));
    EXPECT_EQ(YReadout(0.5), (std::array<std::string, 2>{"Y = 5.000E-01", "10^Y = 3.162E+00"}));
    EXPECT_EQ(YReadout(1e300), (std::array<std::string, 2>{"Y = 1.000E+300", "10^Y = Overflow"}));
}

}  // namespace
}  // namespace kx::chart

namespace kx::chart {
namespace {

TEST(TickLabels, AllTicksOfAnAxisAlike) {
    using L = std::vector<std::string>;
    EXPECT_EQ(TickLabels({0, 0.1, 0.2, 0.30000000000000004}, false), (L{"0", "0.1", "0.2", "0.3"}));
    EXPECT_EQ(TickLabels({0, 0.25, 0.5}, false), (L{"0", "0.25", "0.50"}));
    EXPECT_EQ(TickLabels({-10, 0, 10}, false), (L{"-10", "0", "10"}));
    // Small values: every label with its exponent, not 5e-05 beside 0.0001.
    EXPECT_EQ(TickLabels({0, 5e-5, 1e-4, 1.5e-4}, false), (L{"0", "5.0e-05", "1.0e-04", "1.5e-04"}));
    EXPECT_EQ(TickLabels({2e5, 4e5}, false), (L{"2e+05", "4e+05"}));
    EXPECT_EQ(TickLabels({1e-6, 1e-5, 1e-4}, true), (L{"1e-06", "1e-05", "1e-04"}));
    EXPECT_TRUE(TickLabels({}, false).empty());
}

}  // namespace
}  // namespace kx::chart
