// The cut rule, the ordering of ranking tables and the averaging intervals.
#include <gtest/gtest.h>

#include "Errors.h"
#include "ReductionEngine.h"

using kx::RedValueRow;

namespace {

std::vector<RedValueRow> Rows(const std::vector<double>& values) {
    std::vector<RedValueRow> rows;
    for (std::size_t i = 0; i < values.size(); ++i) rows.push_back({static_cast<int>(i) + 1, values[i]});
    return rows;
}

struct CutCase {
    std::vector<double> sorted;
    double share;
    int kept;
};

TEST(CutRule, KeepsTheLeadingRowsThatLeaveAtMostTheShare) {
    const std::vector<CutCase> cases{
        {{10, 5, 1}, 0.2, 3},           // the first dropped row alone carries 1/3.2 > 0.3 of the allowance
        {{10, 5, 0.5}, 0.2, 2},         // 0.5/3.1 is below 0.3
        {{10, 5, 1, 1}, 0.1, 4},        // the look-ahead row was cut at 3
        {{10, -2, 2, -2, 2}, 0.5, 1},   // signs do not matter: limit 9, the tail carries 8
        {{10, 5, 1}, 0.0, 3},           // 0 keeps all
        {{10, 5, 1}, -0.5, 3},
        {{10, 5, 1}, 1.0, 0},           // 1 keeps none
        {{10, 5, 1}, 2.0, 0},
        {{0, 0, 0}, 0.1, 0},            // nothing to carry
        {{0, 0, 0}, 0.0, 3},            // ... but 0 still keeps all
        {{}, 0.1, 0},
        {{7}, 0.99, 1},
    };
    for (const CutCase& c : cases)
        EXPECT_EQ(kx::RedSelectByContribution(Rows(c.sorted), c.share), c.kept)
            << "share " << c.share << ", " << c.sorted.size() << " rows";
}

TEST(CutRule, SortPutsLargestMagnitudeFirstAndKeepsTiesInOrder) {
    std::vector<RedValueRow> rows = Rows({1, -3, 2, 3, -2, 0});
    kx::RedSortByMagnitude(rows);
    std::vector<int> order;
    for (const RedValueRow& r : rows) order.push_back(r.Number);
    EXPECT_EQ(order, (std::vector<int>{2, 4, 3, 5, 1, 6}));
    EXPECT_EQ(rows[0].Value, -3);
}

TEST(CutRule, EqualMagnitudesAtTheBoundaryKeepTheLowerNumber) {
    std::vector<RedValueRow> rows = Rows({0.5, 0.5, 1, 0.5, -1, 0.5, 0.5});
    kx::RedSortByMagnitude(rows);
    // Total 4.5, share 0.8: the 0.5s and one of the two 1s may go (3.5 of
    // the allowed 3.6), and 1/3.6 is too little to bring it back.
    ASSERT_EQ(kx::RedSelectByContribution(rows, 0.8), 1);
    EXPECT_EQ(rows[0].Number, 3);
    EXPECT_EQ(rows[1].Number, 5);
}

struct SplitCase {
    int steps, perInterval;
    std::vector<std::pair<double, double>> intervals;
};

TEST(AveragingIntervals, CutTheStepsIntoRunsAndLeaveTheRestToTheLast) {
    std::vector<double> points;
    for (int i = 0; i <= 10; ++i) points.push_back(100.0 + i);
    const std::vector<SplitCase> cases{
        {10, 3, {{100, 103}, {103, 106}, {106, 109}, {109, 110}}},
        {10, 10, {{100, 110}}},
        {4, 4, {{100, 104}}},
        {4, 3, {{100, 103}, {103, 104}}},
        {3, 1, {{100, 101}, {101, 102}, {102, 103}}},
    };
    for (const SplitCase& c : cases) {
        std::vector<std::pair<double, double>> got;
        for (const kx::RedInterval& i : kx::RedSplitIntervals(points, c.steps, c.perInterval)) got.emplace_back(i.Start, i.End);
        EXPECT_EQ(got, c.intervals) << c.steps << " steps by " << c.perInterval;
    }
    EXPECT_THROW(kx::RedSplitIntervals(points, 10, 0), kx::Error);
    EXPECT_THROW(kx::RedSplitIntervals(points, 11, 1), kx::Error);
}

TEST(IntervalAverage, IsTheTrapezoidalMeanOverTheStoredTimes) {
    kx::RedKinModule m;
    m.RedSpeciesAverages.assign(3, 0.0);
    m.RedSetIntervalTimes(4, std::vector<double>{0, 1, 2, 4, 5});
    m.RedSpeciesIndex = 2;
    // Trapezoids: (1+3)/2 + (3+2)/2 x 2 + (2+6)/2 = 11 over 4 s.
    m.RedAverageSpeciesProfile(std::vector<double>{0, 1, 3, 2, 6});
    EXPECT_DOUBLE_EQ(m.RedSpeciesAverages[2], 11.0 / 4);
    EXPECT_EQ(m.RedSpeciesAverages[1], 0.0);

    m.RedSetIntervalTimes(2, std::vector<double>{0, 3, 3});
    EXPECT_THROW(m.RedAverageSpeciesProfile(std::vector<double>{0, 1, 1}), kx::Error);
    EXPECT_THROW(m.RedSetIntervalTimes(1, std::vector<double>{0, 3}), kx::Error);
}

}  // namespace
