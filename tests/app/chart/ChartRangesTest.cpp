// The ranges the axes are drawn over at full view: the manual range when it
// can be drawn, else the points with a margin.
#include "ChartRanges.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kx::chart;

namespace {

ChartModel curve(const std::vector<double>& xs, const std::vector<double>& ys) {
    ChartModel m;
    Subset s;
    s.x = xs;
    s.y = ys;
    m.Resize(0, static_cast<int>(xs.size()));
    m.AppendSubset(s);
    return m;
}

}  // namespace

TEST(FullSpan, TheManualRangeWhenItCanBeDrawnElseThePointsWithAMargin) {
    struct Case {
        const char* what;
        double scale, manualControl, min, max;
        AxisSpan expected;
    };
    // Y values -1.1 to 0.3 (and a missing point); the positive ones 0.3 alone.
    const std::vector<Case> cases{
        {"auto", 0, 0, 0, 1, {false, false, -1.1 - 0.042, 0.3 + 0.042}},
        {"linear without a manual range", 1, 0, 0, 1, {false, false, -1.1 - 0.042, 0.3 + 0.042}},
        {"manual", 1, 3, -2, 2, {false, true, -2, 2}},
        {"manual, empty", 1, 3, 2, 2, {false, false, -1.1 - 0.042, 0.3 + 0.042}},
        {"log", 2, 0, 0, 1, {true, false, 0.15, 0.6}},
        {"log, manual below zero", 2, 3, -1, 1, {true, false, 0.15, 0.6}},
        {"log, manual", 2, 3, 1e-3, 1, {true, true, 1e-3, 1}},
    };
    for (const Case& c : cases) {
        ChartModel m = curve({1, 2, 3, 4}, {-1.1, 0.3, -0.5, kMissing});
        m.Set("YAxisScaleControl", c.scale);
        m.Set("ManualScaleControlY", c.manualControl);
        m.Set("ManualMinY", c.min);
        m.Set("ManualMaxY", c.max);
        const AxisSpan span = FullSpan(m, 'Y', BoundsOf(m).y);
        EXPECT_EQ(span.logarithmic, c.expected.logarithmic) << c.what;
        EXPECT_EQ(span.manual, c.expected.manual) << c.what;
        EXPECT_NEAR(span.lower, c.expected.lower, 1e-12) << c.what;
        EXPECT_NEAR(span.upper, c.expected.upper, 1e-12) << c.what;
    }
}

TEST(FullSpan, EqualValuesAndNoPoints) {
    ChartModel flat = curve({1, 2}, {5, 5});
    AxisSpan span = FullSpan(flat, 'Y', BoundsOf(flat).y);
    EXPECT_NEAR(span.lower, 4.995, 1e-12);
    EXPECT_NEAR(span.upper, 5.005, 1e-12);
    ChartModel none = curve({1, 2}, {kMissing, kMissing});
    span = FullSpan(none, 'X', BoundsOf(none).x);
    EXPECT_EQ(span.lower, 0);
    EXPECT_EQ(span.upper, 1);
    none.Set("XAxisScaleControl", 2.0);
    span = FullSpan(none, 'X', BoundsOf(none).x);
    EXPECT_EQ(span.lower, 0.1);
    EXPECT_EQ(span.upper, 10);
}
