#include "ChartArrangement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kx::chart {
namespace {

// A chart of the given size with the view's measures of a 9-point legend.
LegendMetrics chart(double width, double height, std::vector<double> texts) {
    LegendMetrics m;
    m.chartWidth = width;
    m.chartHeight = height;
    m.bodyHeight = height - 52;
    m.plotMinWidth = 110;
    m.plotMinHeight = 110;
    m.entryHeight = 17;
    m.rowSpacing = 1;
    m.columnSpacing = 10;
    m.entryExtra = 37;
    m.frame = {16, 11};
    m.beside = {14, 8};
    m.below = {20, 11};
    m.minTextWidth = 30;
    m.textWidths = std::move(texts);
    return m;
}

// The width and height the planned legend takes with its margins.
double legendWidth(const LegendMetrics& m, const LegendPlan& p) {
    const LegendMetrics::Margins& place = p.place == LegendPlace::Right ? m.beside : m.below;
    return p.columns * (p.textWidth + m.entryExtra) + (p.columns - 1) * m.columnSpacing + m.frame.across + place.across;
}
double legendHeight(const LegendMetrics& m, const LegendPlan& p) {
    const LegendMetrics::Margins& place = p.place == LegendPlace::Right ? m.beside : m.below;
    return p.rows * m.entryHeight + (p.rows - 1) * m.rowSpacing + m.frame.down + place.down;
}

void expectPlan(const LegendPlan& p, LegendPlace place, int columns, int rows, double textWidth, bool shortened) {
    EXPECT_EQ(p.place, place);
    EXPECT_EQ(p.columns, columns);
    EXPECT_EQ(p.rows, rows);
    EXPECT_NEAR(p.textWidth, textWidth, 1e-9);
    EXPECT_EQ(p.shortened, shortened);
}

TEST(PlanLegend, ShortLabelsStandBesideThePlotAtFullLength) {
    expectPlan(PlanLegend(chart(600, 600, {25, 60, 40})), LegendPlace::Right, 1, 3, 60, false);
}

TEST(PlanLegend, LongLabelsGoBelowThePlotWhereTheyFitWhole) {
    // Four reaction rates of about 280 pixels: beside the plot they would
    // take half of a 600-pixel chart.
    expectPlan(PlanLegend(chart(600, 600, {279, 274, 274, 280})), LegendPlace::Below, 1, 4, 280, false);
    // Labels that fit side by side below the plot share its rows.
    expectPlan(PlanLegend(chart(1000, 600, {279, 274, 274, 280})), LegendPlace::Below, 2, 2, 280, false);
    // A chart wide enough has room for them beside the plot.
    EXPECT_EQ(PlanLegend(chart(1200, 600, {279, 274, 274, 280})).place, LegendPlace::Right);
}

TEST(PlanLegend, LabelsThatFitNowhereAreShortenedWhereTheyKeepMost) {
    // Twenty labels of 280 pixels in a chart of 900 by 600: beside the plot
    // a label would keep 203 pixels; below, in three columns, 244.
    expectPlan(PlanLegend(chart(900, 600, std::vector<double>(20, 280))), LegendPlace::Below, 3, 7,
               (900.0 - 20 - 16 - 2 * 10) / 3 - 37, true);
    // Ten labels of 500 pixels in a wide, low chart keep more beside it.
    expectPlan(PlanLegend(chart(1600, 300, std::vector<double>(10, 500))), LegendPlace::Right, 1, 10,
               1600 * kLegendWidthShare - 14 - 16 - 37, true);
}

TEST(PlanLegend, NoEntriesOrNoRoomHidesTheLegend) {
    EXPECT_EQ(PlanLegend(chart(600, 600, {})).place, LegendPlace::Hidden);
    // Fifty-three labels on a chart of 200 by 150 pixels leave no label
    // room for five characters.
    EXPECT_EQ(PlanLegend(chart(200, 150, std::vector<double>(53, 70))).place, LegendPlace::Hidden);
    // A chart too short for a single row below or beside.
    EXPECT_EQ(PlanLegend(chart(600, 60, {40})).place, LegendPlace::Hidden);
    // A long label in a low chart: below it would leave the plot less than
    // it needs; beside it, it keeps the readable minimum.
    const LegendPlan low = PlanLegend(chart(600, 190, {280}));
    EXPECT_EQ(low.place, LegendPlace::Right);
    EXPECT_TRUE(low.shortened);
}

// Whatever the labels and the size, the legend keeps to its share of the
// chart, so the plot keeps the rest.
TEST(PlanLegend, NeverTakesMoreThanItsShareOfTheChart) {
    const std::vector<std::vector<double>> labelSets = {
        {20}, {120, 110, 130}, {279, 274, 274, 280}, std::vector<double>(53, 70), std::vector<double>(20, 400),
        std::vector<double>(120, 45)};
    for (double width : {180.0, 260.0, 400.0, 600.0, 900.0, 1600.0})
        for (double height : {150.0, 300.0, 600.0, 1000.0})
            for (const auto& texts : labelSets) {
                const LegendMetrics m = chart(width, height, texts);
                const LegendPlan p = PlanLegend(m);
                SCOPED_TRACE(testing::Message() << width << "x" << height << ", " << texts.size() << " labels");
                if (p.place == LegendPlace::Hidden) continue;
                EXPECT_GE(p.columns * p.rows, static_cast<int>(texts.size()));
                EXPECT_LT((p.columns - 1) * p.rows, static_cast<int>(texts.size()));  // no empty column
                // A label keeps its length or at least the readable minimum.
                EXPECT_GE(p.textWidth, std::min(m.minTextWidth, texts.front()));
                if (p.place == LegendPlace::Right) {
                    EXPECT_LE(legendWidth(m, p), width * kLegendWidthShare + 1e-9);
                    EXPECT_LE(legendWidth(m, p), width - m.plotMinWidth + 1e-9);
                    EXPECT_LE(legendHeight(m, p), m.bodyHeight + 1e-9);
                } else {
                    EXPECT_LE(legendWidth(m, p), width + 1e-9);
                    EXPECT_LE(legendHeight(m, p), height * kLegendHeightShare + 1e-9);
                    EXPECT_LE(legendHeight(m, p), m.bodyHeight - m.plotMinHeight + 1e-9);
                }
            }
}

// Bars of equal length, all in sight, with the label heights of the 9- to
// 7-point texts.
BarLabelMetrics bars(int count, double pitch) {
    BarLabelMetrics m;
    m.lengths.assign(static_cast<std::size_t>(count), 1.0);
    m.first = 1;
    m.last = count;
    m.barPitch = pitch;
    m.labelHeights = {15, 14, 13};
    return m;
}

TEST(PlanBarLabels, ShrinksTheTextThenNamesBarsFartherApart) {
    struct Case {
        double pitch;
        int sizeIndex;
        int step;
    };
    for (const Case& c : {Case{20, 0, 1}, Case{16, 0, 1}, Case{15.5, 1, 1}, Case{14, 2, 1}, Case{13.9, 2, 2},
                          Case{7, 2, 2}, Case{4.6, 2, 4}, Case{2, 2, 7}}) {
        SCOPED_TRACE(c.pitch);
        const BarLabelPlan p = PlanBarLabels(bars(103, c.pitch));
        EXPECT_TRUE(p.shown);
        EXPECT_EQ(p.sizeIndex, c.sizeIndex);
        EXPECT_EQ(p.step, c.step);
        // Two named bars are at least a label's height and the gap apart;
        // bars of equal length are named from the first, every step-th.
        EXPECT_GE(p.step * c.pitch, bars(103, c.pitch).labelHeights[static_cast<std::size_t>(p.sizeIndex)] + 1);
        ASSERT_EQ(p.bars.size(), static_cast<std::size_t>((103 - 1) / c.step + 1));
        for (std::size_t i = 0; i < p.bars.size(); ++i) EXPECT_EQ(p.bars[i], 1 + static_cast<int>(i) * c.step);
    }
}

TEST(PlanBarLabels, TheLongestBarsAreNamedFirst) {
    // Contributions as a reaction list gives them: the largest first, of
    // either sign; labels need three bars' room.
    BarLabelMetrics m = bars(12, 5);
    m.lengths = {6.5e-4, 3.9e-3, 1.3e-3, 1.2e-3, 1.0e-3, -6.7e-4, 5.6e-4, -1.9e-3, 1e-4, -2e-5, 3e-6, 0};
    const BarLabelPlan p = PlanBarLabels(m);
    EXPECT_EQ(p.step, 3);
    // 3.9e-3 (bar 2) first, then -1.9e-3 (bar 8), 1.0e-3 (bar 5), 1e-4 (bar 11).
    EXPECT_EQ(p.bars, (std::vector<int>{2, 5, 8, 11}));
}

TEST(PlanBarLabels, TheSelectedBarIsNamedBeforeTheLongest) {
    // The species' own total (bar 1, selected) next to the largest
    // contribution (bar 2): the total keeps its name, bar 2 gives way.
    BarLabelMetrics m = bars(12, 5);
    m.lengths = {6.5e-4, 3.9e-3, 1.3e-3, 1.2e-3, 1.0e-3, -6.7e-4, 5.6e-4, -1.9e-3, 1e-4, -2e-5, 3e-6, 0};
    m.selected = 1;
    const BarLabelPlan p = PlanBarLabels(m);
    EXPECT_EQ(p.bars, (std::vector<int>{1, 4, 8, 11}));
}

TEST(PlanBarLabels, OnlyBarsInSightAreNamed) {
    // Zoomed into bars 40 to 52 of 103 at 30 pixels a bar: each is named.
    BarLabelMetrics m = bars(103, 30);
    m.first = 40;
    m.last = 52;
    const BarLabelPlan p = PlanBarLabels(m);
    EXPECT_EQ(p.step, 1);
    EXPECT_EQ(p.bars.size(), 13u);
    EXPECT_EQ(p.bars.front(), 40);
    EXPECT_EQ(p.bars.back(), 52);
}

TEST(PlanBarLabels, BarsTooThinToTellApartOrOutOfSightGetNoLabels) {
    EXPECT_FALSE(PlanBarLabels(bars(103, 1.9)).shown);
    EXPECT_FALSE(PlanBarLabels(bars(103, std::nan(""))).shown);
    EXPECT_FALSE(PlanBarLabels(bars(0, 20)).shown);
    BarLabelMetrics beyond = bars(10, 20);
    beyond.first = 11;
    beyond.last = 14;
    EXPECT_FALSE(PlanBarLabels(beyond).shown);
}

}  // namespace
}  // namespace kx::chart
