// Trimming, interpolation and relative differences of time curves.
#include <gtest/gtest.h>

#include "CurveArithmetic.h"

using kx::CmpCurve;
using kx::kMissingValue;

namespace {

CmpCurve Curve(const std::vector<double>& times, const std::vector<double>& values) {
    CmpCurve c;
    for (std::size_t i = 0; i < times.size(); ++i) c.Add(times[i], values[i]);
    return c;
}

CmpCurve Cubes() {
    CmpCurve c;
    for (int t = 1; t <= 6; ++t) c.Add(t, t * t * t);
    return c;
}

TEST(Interpolation, ReproducesACubicInsideItsRangeOnly) {
    const std::vector<std::pair<double, double>> cases{
        {2.5, 15.625},          // nodes 1..4
        {3.5, 42.875},          // nodes 2..5
        {3, 27},                // a stored time
        {2, 8},
        {6, 216},               // the last time
        {4.5, kMissingValue},   // at or after the third-to-last time
        {4, kMissingValue},
        {1.5, kMissingValue},   // before the second time
        {1, kMissingValue},
        {7, kMissingValue},
    };
    for (const auto& [t, y] : cases) EXPECT_NEAR(kx::CmpInterpolate(t, Cubes()), y, 1e-12) << "t = " << t;
}

TEST(Interpolation, ShortCurveHasOnlyItsLastValue) {
    const CmpCurve c = Curve({1, 2, 3, 4}, {1, 2, 3, 4});
    for (double t : {1.0, 2.0, 2.5, 3.0}) EXPECT_EQ(kx::CmpInterpolate(t, c), kMissingValue) << t;
    EXPECT_EQ(kx::CmpInterpolate(4, c), 4);
    EXPECT_EQ(kx::CmpInterpolate(1, CmpCurve{}), kMissingValue);
}

TEST(Interpolation, EqualTimesAmongTheNodesGiveNoValue) {
    const CmpCurve c = Curve({1, 2, 3, 3, 5, 6, 7, 8, 9}, {1, 2, 3, 3, 5, 6, 7, 8, 9});
    EXPECT_EQ(kx::CmpInterpolate(2.5, c), kMissingValue);  // nodes 1, 2, 3, 3
    EXPECT_EQ(kx::CmpInterpolate(4, c), kMissingValue);    // nodes 3, 3, 5, 6
    EXPECT_NEAR(kx::CmpInterpolate(5.5, c), 5.5, 1e-12);   // nodes 3, 5, 6, 7
}

TEST(Trimming, DropsLeadingZerosAndKeepsTheRest) {
    const CmpCurve t = kx::CmpTrimCurve(Curve({1, 2, 3, 4, 5}, {0, 0, 1, 2, 0}));
    EXPECT_EQ(t.Time, (std::vector<double>{0, 3, 4, 5}));
    EXPECT_EQ(t.Value, (std::vector<double>{0, 1, 2, 0}));
    EXPECT_EQ(kx::CmpTrimCurve(Curve({1, 2}, {0, 0})).Count(), 0);
}

TEST(RelativeError, WeightMovesTheReferenceBetweenTheFiles) {
    // File 2 is 3 everywhere; file 1 is 1 at times where file 2 interpolates.
    const CmpCurve two = Curve({1, 2, 3, 4, 5, 6, 7, 8}, {3, 3, 3, 3, 3, 3, 3, 3});
    const CmpCurve one = Curve({1, 2.5, 4, 5.5, 8}, {1, 1, 1, 1, 1});
    const std::vector<std::pair<double, double>> weights{{0.5, 1.0}, {1.0, 2.0}, {0.0, 2.0 / 3}};
    for (const auto& [b, e] : weights) {
        const CmpCurve r = kx::CmpRelativeErrorCurve(one, two, b);
        EXPECT_EQ(r.Time, one.Time) << b;
        EXPECT_EQ(r.Value[1], kMissingValue) << b;  // before file 2's second time
        for (int k = 2; k <= 4; ++k) EXPECT_NEAR(r.Value[static_cast<std::size_t>(k)], e, 1e-12) << b << " point " << k;
        EXPECT_NEAR(r.Value[5], e, 1e-12) << b;     // file 2's last time
    }
}

TEST(RelativeError, SameCurvesZerosAndLeadingZerosGiveNoValue) {
    const CmpCurve c = Cubes();
    for (std::size_t k = 1; k < 7; ++k) EXPECT_EQ(kx::CmpRelativeErrorCurve(c, c, 0.5).Value[k], kMissingValue) << k;

    // A zero in file 1 inside the range; file 1 starting with zeros.
    const CmpCurve one = Curve({1, 2, 3, 3.5, 4}, {0, 0, 2, 0, 8});
    const CmpCurve r = kx::CmpRelativeErrorCurve(one, Cubes(), 0.5);
    EXPECT_EQ(r.Time, (std::vector<double>{0, 3, 3.5, 4}));
    EXPECT_NEAR(r.Value[1], 25.0 / 14.5, 1e-12);  // |2 - 27| / ((2 + 27) / 2)
    EXPECT_EQ(r.Value[2], kMissingValue);
    EXPECT_EQ(r.Value[3], kMissingValue);         // 4 is past file 2's interpolation range

    EXPECT_EQ(kx::CmpRelativeErrorCurve(Curve({1, 2}, {0, 0}), Cubes(), 0.5).Count(), 0);
}

}  // namespace
