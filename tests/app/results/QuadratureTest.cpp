#include <gtest/gtest.h>

#include <cmath>

#include "Errors.h"
#include "Quadrature.h"

using kx::IntervalQuadrature;

namespace {

double Cubic(double t) { return 1 + 2 * t - 3 * t * t + 0.5 * t * t * t; }
double CubicIntegral(double a, double b) {
    auto F = [](double t) { return t + t * t - t * t * t + 0.125 * t * t * t * t; };
    return F(b) - F(a);
}
double Quadratic(double t) { return 2 - t + 4 * t * t; }
double QuadraticIntegral(double a, double b) {
    auto F = [](double t) { return 2 * t - 0.5 * t * t + 4.0 / 3.0 * t * t * t; };
    return F(b) - F(a);
}

// The integral over [a, b] of the parabola through three points of f
// (Simpson's rule is exact for it).
template <class F>
double ParabolaIntegral(F f, double x0, double x1, double x2, double a, double b) {
    auto p = [&](double x) {
        const double d1 = (f(x1) - f(x0)) / (x1 - x0);
        const double d2 = ((f(x2) - f(x1)) / (x2 - x1) - d1) / (x2 - x0);
        return f(x0) + d1 * (x - x0) + d2 * (x - x0) * (x - x1);
    };
    return (b - a) / 6 * (p(a) + 4 * p((a + b) / 2) + p(b));
}

// Rows 1..9 at uneven times (entry 0 is not a row).
const std::vector<double> kTimes{-1, 0.0, 0.3, 0.5, 1.1, 1.6, 2.0, 2.9, 3.3, 4.0};
constexpr int kFinal = 9;

struct Integrals {
    double cubic, quadratic;
};

Integrals Integrate(const std::vector<double>& times, int first, int last, int finalRow) {
    IntervalQuadrature q(times, first, last, finalRow, 2);
    for (int i = q.StartRow(); i <= q.EndRow(); ++i) {
        const double t = times[static_cast<std::size_t>(i)];
        q.AddRow(std::vector<double>{Cubic(t), Quadratic(t)});
    }
    return {q.Integral(0), q.Integral(1)};
}

class Interval : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(Interval, QuadraticsAreExactEverywhere) {
    const auto [first, last] = GetParam();
    const Integrals r = Integrate(kTimes, first, last, kFinal);
    const double exact = QuadraticIntegral(kTimes[first], kTimes[last]);
    EXPECT_NEAR(r.quadratic, exact, 1e-13 * (1 + std::fabs(exact)));
}

// Cubics are exact where every sub-interval has a stored point on either
// side; the first and last sub-intervals of the run take the parabola
// through their three nearest points.
TEST_P(Interval, CubicsAreExactInsideAndUseParabolasAtTheEndsOfTheRun) {
    const auto [first, last] = GetParam();
    const Integrals r = Integrate(kTimes, first, last, kFinal);
    const auto& t = kTimes;
    double expected = 0;
    int from = first, to = last;
    if (first == 1 && last > 1) {
        expected += ParabolaIntegral(Cubic, t[1], t[2], t[3], t[1], t[2]);
        from = 2;
    }
    if (last == kFinal && first < kFinal) {
        expected += ParabolaIntegral(Cubic, t[7], t[8], t[9], t[8], t[9]);
        to = 8;
    }
    if (to > from) expected += CubicIntegral(t[from], t[to]);
    EXPECT_NEAR(r.cubic, expected, 1e-13 * (1 + std::fabs(expected)));
    if (first > 1 && last < kFinal) {
        EXPECT_NEAR(r.cubic, CubicIntegral(t[first], t[last]), 1e-13);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Interval,
                         ::testing::Values(std::pair{3, 7}, std::pair{2, 8}, std::pair{2, 3}, std::pair{1, 9},
                                           std::pair{1, 5}, std::pair{4, 9}, std::pair{1, 2}, std::pair{8, 9},
                                           std::pair{1, 3}, std::pair{7, 9}));

TEST(Quadrature, EvenStepsIntegrateCubicsExactly) {
    std::vector<double> times{0};
    for (int i = 0; i < 12; ++i) times.push_back(0.25 * i);
    const Integrals r = Integrate(times, 3, 10, 12);
    EXPECT_NEAR(r.cubic, CubicIntegral(times[3], times[10]), 1e-13);
}

TEST(Quadrature, IntervalOfOneRowIntegratesToZero) {
    for (int row : {1, 5, kFinal}) {
        const Integrals r = Integrate(kTimes, row, row, kFinal);
        EXPECT_EQ(r.cubic, 0.0) << row;
        EXPECT_EQ(r.quadratic, 0.0) << row;
    }
}

TEST(Quadrature, RunOfTwoRowsFallsBackToTheTrapezoid) {
    const std::vector<double> times{0, 1.0, 3.0};
    const Integrals r = Integrate(times, 1, 2, 2);
    EXPECT_DOUBLE_EQ(r.quadratic, (Quadratic(1.0) + Quadratic(3.0)));
}

TEST(Quadrature, EqualConsecutiveTimesAreRefusedBeforeAnyDivision) {
    std::vector<double> times = kTimes;
    times[6] = times[5];
    EXPECT_THROW(IntervalQuadrature(times, 2, 5, kFinal, 1), kx::Error);  // rows 1..6
    EXPECT_NO_THROW(IntervalQuadrature(times, 2, 4, kFinal, 1));          // rows 1..5
    EXPECT_THROW(IntervalQuadrature(times, 6, 8, kFinal, 1), kx::Error);  // rows 5..9
    EXPECT_NO_THROW(IntervalQuadrature(times, 7, 8, kFinal, 1));          // rows 6..9
}

TEST(Quadrature, RowsBeyondTheWorkingRangeAndEarlyResultsFail) {
    IntervalQuadrature q(kTimes, 3, 4, kFinal, 1);
    EXPECT_EQ(q.StartRow(), 2);
    EXPECT_EQ(q.EndRow(), 5);
    EXPECT_THROW(q.Integral(0), kx::Error);
    for (int i = 2; i <= 5; ++i) q.AddRow(std::vector<double>{1.0});
    EXPECT_NEAR(q.Integral(0), kTimes[4] - kTimes[3], 1e-15);
    EXPECT_THROW(q.AddRow(std::vector<double>{1.0}), kx::Error);
    EXPECT_THROW(IntervalQuadrature(kTimes, 4, 3, kFinal, 1), kx::Error);
    EXPECT_THROW(IntervalQuadrature(kTimes, 3, 10, kFinal, 1), kx::Error);
}

}  // namespace
