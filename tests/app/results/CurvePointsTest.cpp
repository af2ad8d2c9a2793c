#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "CurvePoints.h"
#include "Errors.h"
#include "SharedState.h"

using kx::CurvePoints;
using kx::CurveSource;
using kx::kMissingValue;

namespace {

constexpr double M = kMissingValue;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct Case {
    const char* what;
    std::vector<double> times, values;
    std::vector<char> passes;
    double timeScale, valueScale;
    bool logTime, logValue, positiveTimes;
    std::vector<double> x, y;
};

TEST(PrepareCurve, PointByPointRules) {
    const Case cases[] = {
        {"scales both axes", {0, 1, 2}, {1, 2, 4}, {}, 10, 0.5, false, false, false, {0, 10, 20}, {0.5, 1, 2}},
        {"a value of 0 or not a number drops the point", {1, 2, 3}, {0, NaN, 5}, {}, 1, 1, false, false, false,
         {M, M, 3}, {M, M, 5}},
        {"the missing value is missing", {1, 2}, {M, 3}, {}, 1, 1, false, false, false, {M, 2}, {M, 3}},
        {"a time that is not a number drops the point", {NaN, 2}, {1, 3}, {}, 1, 1, false, false, false, {M, 2},
         {M, 3}},
        {"the filter drops points", {1, 2, 3}, {1, 2, 3}, {1, 0, 1}, 1, 1, false, false, false, {1, M, 3}, {1, M, 3}},
        {"log time drops time 0 and keeps the rest", {0, 10, 100}, {1, 2, 3}, {}, 1, 1, true, false, false,
         {M, 1, 2}, {M, 2, 3}},
        {"log values drop values not above 0", {1, 2, 3}, {-1, 100, 0.01}, {}, 1, 1, false, true, false, {M, 2, 3},
         {M, 2, -2}},
        {"log of scaled values", {1}, {10}, {}, 1, 10, false, true, false, {1}, {2}},
        {"a negative time scale on a linear axis", {1, 2}, {1, 1}, {}, -1, 1, false, false, false, {-1, -2},
         {1, 1}},
        {"positive times only", {0, -1, 2}, {1, 1, 1}, {}, 1, 1, false, false, true, {M, M, 2}, {M, M, 1}},
    };
    for (const Case& c : cases) {
        CurveSource s;
        s.Times = c.times;
        s.Values = c.values;
        s.Passes = c.passes;
        s.TimeScale = c.timeScale;
        s.ValueScale = c.valueScale;
        s.LogTime = c.logTime;
        s.LogValue = c.logValue;
        s.PositiveTimesOnly = c.positiveTimes;
        const CurvePoints p = kx::PrepareCurve(s);
        ASSERT_EQ(p.Count(), static_cast<int>(c.x.size())) << c.what;
        for (std::size_t i = 0; i < c.x.size(); ++i) {
            EXPECT_NEAR(p.X[i], c.x[i], 1e-12) << c.what << ", point " << i;
            EXPECT_NEAR(p.Y[i], c.y[i], 1e-12) << c.what << ", point " << i;
        }
        EXPECT_TRUE(p.Drawable()) << c.what;
    }
}

TEST(PrepareCurve, NothingToDrawAndTheMessages) {
    const std::vector<double> times{1, 2}, zeros{0, 0}, negative{-1, -2};
    CurveSource s;
    s.Times = times;
    s.Values = zeros;
    EXPECT_FALSE(kx::PrepareCurve(s).Drawable());
    s.Values = negative;
    EXPECT_TRUE(kx::PrepareCurve(s).Drawable());
    s.LogValue = true;
    EXPECT_FALSE(kx::PrepareCurve(s).Drawable());

    EXPECT_EQ(kx::UndrawableCurveMessage("OH, Mole Fraction", false),
              "You are attempting to plot the function 'OH, Mole Fraction' where all values are zero. The function "
              "cannot be plotted.");
    EXPECT_EQ(kx::UndrawableCurveMessage("Relative Error", true),
              "You are attempting to plot the function 'Relative Error' where all values are zero or logarithm of "
              "negative numbers . The function cannot be plotted.");
}

TEST(PrepareCurve, ListsOfDifferentLengthsAreRefused) {
    const std::vector<double> times{1, 2}, values{1};
    CurveSource s;
    s.Times = times;
    s.Values = values;
    EXPECT_THROW(kx::PrepareCurve(s), kx::Error);
}

}  // namespace
