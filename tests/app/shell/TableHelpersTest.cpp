#include "TableHelpers.h"

#include "Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Rows 1..n holding (number, text, value); row 0 spare.
kx::RowTable table(const std::vector<double>& values) {
    kx::RowTable t(values.size() + 1);
    for (size_t i = 0; i < values.size(); ++i) {
        std::string name = std::to_string(i + 1);
        t[i + 1] = {static_cast<double>(i + 1), name.insert(0, 1, 'R'), values[i]};
    }
    return t;
}

std::vector<double> valuesOf(const kx::RowTable& t) {
    std::vector<double> v;
    for (size_t i = 1; i < t.size(); ++i) v.push_back(kx::NumberOf(t[i][2]));
    return v;
}

TEST(ChooseSortKey, ClicksAlternateOnOtherColumnsAndTheKeyColumnResets) {
    // Repeated clicks on column 3: its order as the grid reports it after each.
    int order = 0;
    std::vector<int> seen;
    for (int click = 0; click < 3; ++click) {
        kx::SortKeyChoice c = kx::ChooseSortKey(3, order, 1);
        EXPECT_EQ(c.column, 3);
        EXPECT_TRUE(c.refresh);
        EXPECT_FALSE(c.firstRowCurrent);
        order = c.order;
        seen.push_back(order);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, -1, 1}));
    kx::SortKeyChoice key = kx::ChooseSortKey(1, -1, 1);
    EXPECT_EQ(key.order, 1);
    EXPECT_TRUE(key.firstRowCurrent);
    EXPECT_FALSE(key.refresh);
}

TEST(SortRowsByAbsColumn, LargestMagnitudeFirstAndTiesKeepTheirOrder) {
    kx::RowTable t = table({3, -5, 0, 5});
    kx::SortRowsByAbsColumn(4, t, 2);
    EXPECT_EQ(valuesOf(t), (std::vector<double>{-5, 5, 3, 0}));
    EXPECT_EQ(kx::TextOf(t[1][1]), "R2");  // the whole row moved
    EXPECT_EQ(kx::NumberOf(t[1][0]), 2);
    EXPECT_EQ(kx::TextOf(t[2][1]), "R4");
}

TEST(SortRowsByAbsColumn, SortsOnlyRowsUpToN) {
    kx::RowTable t = table({1, 2, 9});
    kx::SortRowsByAbsColumn(2, t, 2);
    EXPECT_EQ(valuesOf(t), (std::vector<double>{2, 1, 9}));
    kx::RowTable one = table({1, 7});
    kx::SortRowsByAbsColumn(1, one, 2);
    EXPECT_EQ(valuesOf(one), (std::vector<double>{1, 7}));
}

TEST(SortRowsByAbsColumn, NumericTextsSortAndOtherFaultsRaise) {
    kx::RowTable t = table({1, 2});
    t[1][2] = std::string("-7.5");
    kx::SortRowsByAbsColumn(2, t, 2);
    EXPECT_EQ(kx::TextOf(t[1][2]), "-7.5");
    try {
        kx::SortRowsByAbsColumn(5, t, 2);
        ADD_FAILURE() << "too few rows accepted";
    } catch (const kx::Error& e) {
        EXPECT_EQ(e.kind(), kx::ErrorKind::SubscriptOutOfRange);
    }
    t[2][2] = std::string("abc");
    EXPECT_THROW(kx::SortRowsByAbsColumn(2, t, 2), kx::Error);
}

struct SelectCase {
    std::vector<double> values;
    double share;
    int count;
};

class SelectByContribution : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SelectByContribution, CountsTheImportantRows) {
    const SelectCase& c = GetParam();
    kx::RowTable t = table(c.values);
    std::int32_t count = -1;
    kx::SelectByContribution(static_cast<std::int32_t>(c.values.size()), t, 2, c.share, count);
    EXPECT_EQ(count, c.count);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectByContribution,
    ::testing::Values(SelectCase{{10, 5, 1, 1}, 0.1, 4},    // 0.3 rule brings row 4 back
                      SelectCase{{10, -5, 1, 1}, 0.0, 0},   // nothing may be dropped: 0
                      SelectCase{{0, 0, 0}, 0.5, 0},        // nothing to keep
                      SelectCase{{100, 10, 1, 1}, 0.05, 2}, // 1/5.6 < 0.3: rows 3, 4 dropped
                      SelectCase{{10, 5, 1, 1}, 1.0, 1},    // the whole total: only row 1 kept
                      SelectCase{{10, 1}, 0.9, 1}));

struct FakeChart : kx::platform::ChartDataSource {
    std::vector<std::vector<double>> x, y;
    int Subsets() const override { return static_cast<int>(x.size()); }
    int Points() const override { return x.empty() ? 0 : static_cast<int>(x[0].size()); }
    double XDataII(int s, int p) const override { return x[s][p]; }
    double YDataII(int s, int p) const override { return y[s][p]; }
};

TEST(GraphHasData, NeedsOnePointWithBothValuesReal) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    FakeChart chart;
    chart.x = {{-99999, 1, 2}, {1, nan, 3}};
    chart.y = {{5, -99999, -99999}, {nan, 1, -99999}};
    EXPECT_FALSE(kx::GraphHasData(chart));
    chart.y[1][2] = 0.5;
    EXPECT_TRUE(kx::GraphHasData(chart));
    FakeChart empty;
    EXPECT_FALSE(kx::GraphHasData(empty));
}

}  // namespace
