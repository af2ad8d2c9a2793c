#include <gtest/gtest.h>

#include "ResultsReader.h"
#include "SolverFileFixture.h"
#include "TempDir.h"

using kx::ReaderOwner;
using kx::ResultsReader;
using kx::TaggedError;
using kx::test::TempDir;
using kxtest::RecordingSink;
using kxtest::SolverFileFixture;

namespace {

// Ten records at 0, 1e-4, ..., 9e-4 s (rows 1 to 10).
class UsedRowsTest : public ::testing::Test {
protected:
    void SetUp() override { Load(ReaderOwner::ResultsWindow); }
    void Load(ReaderOwner owner) {
        SolverFileFixture f = SolverFileFixture::WithSpecies(3);
        f.species[0].initialFraction = 0.5;
        f.species[2].initialFraction = 0.25;
        f.pressure = 3.0;
        std::vector<double> times;
        for (int i = 0; i < 10; ++i) times.push_back(1e-4 * i);
        f.AddRecords(times);
        f.Write(folder.file("run.txt"));
        reader = std::make_unique<ResultsReader>(sink, kxtest::kGasConstantCm3Atm, owner);
        ASSERT_TRUE(reader->OPEN_Rich(folder.file("run.txt")));
    }
    const kx::UsedRowsState& U() const { return reader->Used(); }
    std::vector<int> UsedRowNumbers() const {
        return std::vector<int>(U().UsedRows.begin() + 1, U().UsedRows.begin() + U().UsedCount);
    }

    TempDir folder;
    RecordingSink sink;
    std::unique_ptr<ResultsReader> reader;
};

TEST_F(UsedRowsTest, WholeRunGivesEveryRecordAfterLoading) {
    const kx::IntervalPoints p = reader->ToMainParam(reader->Tables().FirstTime, reader->Tables().LastTime);
    EXPECT_EQ(p.Count, 11);
    ASSERT_EQ(p.Times.size(), 11u);
    EXPECT_EQ(p.Times[0], 0.0);
    for (int i = 1; i <= 10; ++i) EXPECT_DOUBLE_EQ(p.Times[i], 1e-4 * (i - 1));
    EXPECT_EQ(p.UsMin, 0.0);
    EXPECT_EQ(p.UsMax, 9e-4);
    EXPECT_EQ(UsedRowNumbers(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(U().UsedDensity[4], reader->Tables().RowDensity[4]);
    EXPECT_EQ(U().PointCount, 10);
}

struct IntervalCase {
    double start, end;
    int firstRow, lastRow;
};

class IntervalSnap : public UsedRowsTest, public ::testing::WithParamInterface<IntervalCase> {};

// The interval begins at the last stored point at or before its start and
// ends at the first at or after its end; a point within a ten-thousandth of
// a step counts as on the boundary.
TEST_P(IntervalSnap, EndsOnStoredPoints) {
    const IntervalCase& c = GetParam();
    const kx::IntervalPoints p = reader->RED_ToMainParam(c.start, c.end);
    EXPECT_EQ(U().FirstUsedRow, c.firstRow);
    EXPECT_EQ(U().LastUsedRow, c.lastRow);
    EXPECT_EQ(U().PointCount, c.lastRow - c.firstRow + 1);
    EXPECT_TRUE(p.Rebuilt);
    EXPECT_EQ(p.Count, c.lastRow - c.firstRow + 1);
    EXPECT_DOUBLE_EQ(p.UsMin, 1e-4 * (c.firstRow - 1));
    EXPECT_DOUBLE_EQ(p.UsMax, 1e-4 * (c.lastRow - 1));
    EXPECT_DOUBLE_EQ(p.Times[1], p.UsMin);
    EXPECT_DOUBLE_EQ(p.Times[static_cast<std::size_t>(p.Count)], p.UsMax);
}

INSTANTIATE_TEST_SUITE_P(Cases, IntervalSnap,
                         ::testing::Values(IntervalCase{2.5e-4, 6.5e-4, 3, 8}, IntervalCase{2e-4, 7e-4, 3, 8},
                                           IntervalCase{3e-4 - 1e-9, 7e-4 + 1e-9, 4, 8},
                                           IntervalCase{3e-4 + 1e-9, 7e-4 - 1e-9, 4, 8},
                                           IntervalCase{0.0, 9e-4, 1, 10}, IntervalCase{-1.0, 1.0, 1, 10},
                                           IntervalCase{0.0, 1e-4, 1, 2}));

TEST_F(UsedRowsTest, IntervalTextsShowTheSnappedTimes) {
    reader->RED_ToMainParam(2.5e-4, 6.5e-4);
    EXPECT_EQ(reader->IntervalStartText(), "2.000000E-04");
    EXPECT_EQ(reader->IntervalEndText(), "7.000000E-04");
}

// Records that share a printed time (steps shorter than its digits) stand
// together at an interval's boundary: an interval that starts or ends at
// their time, or between them and the next stored time, holds them all.
TEST_F(UsedRowsTest, RecordsThatShareTheTimeOfABoundaryAreAllInTheInterval) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(3);
    f.AddRecords({0, 1e-4, 2e-4, 2e-4, 2e-4, 3e-4, 4e-4, 4e-4, 5e-4});  // rows 3-5 and 7-8 share their times
    f.Write(folder.file("equal.txt"));
    ASSERT_TRUE(reader->OPEN_Rich(folder.file("equal.txt")));
    EXPECT_EQ(UsedRowNumbers(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    const struct {
        double start, end;
        int firstRow, lastRow;
    } cases[] = {{2e-4, 4e-4, 3, 8}, {2.5e-4, 3.5e-4, 3, 8}, {0, 2e-4, 1, 5}, {4e-4, 5e-4, 7, 9}};
    for (const auto& c : cases) {
        reader->RED_ToMainParam(c.start, c.end);
        EXPECT_EQ(U().FirstUsedRow, c.firstRow) << c.start << " - " << c.end;
        EXPECT_EQ(U().LastUsedRow, c.lastRow) << c.start << " - " << c.end;
    }
}

struct StepCase {
    const char* text;
    std::vector<int> rows;
};

class PointStep : public UsedRowsTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(PointStep, ThinsTheIntervalAndEndsOnItsLastRow) {
    reader->ToMain_Param(false, 1.0, GetParam().text, "1", false);
    EXPECT_EQ(UsedRowNumbers(), GetParam().rows);
    for (int j = 1; j < U().UsedCount; ++j) {
        const int row = U().UsedRows[j];
        EXPECT_DOUBLE_EQ(U().UsedTimes[j], 1e-4 * (row - 1));
        EXPECT_EQ(U().UsedDensity[j], reader->Tables().RowDensity[row]);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PointStep,
                         ::testing::Values(StepCase{"1", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                                           StepCase{"2", {1, 3, 5, 7, 9, 10}}, StepCase{"3", {1, 4, 7, 10}},
                                           StepCase{"4", {1, 5, 10}}, StepCase{"2.5", {1, 3, 5, 7, 9, 10}},
                                           StepCase{"3.5", {1, 5, 10}}, StepCase{"5", {1, 6, 10}}));

// An interval or a step that leaves too few points is not taken: the
// selection in use stays whole, so the interval, the count and the rows that
// the analyses read are those of the rows that the curves read.
TEST_F(UsedRowsTest, TooFewPointsForTheStepKeepTheWholeSelectionInUse) {
    reader->ToMain_Param(false, 1.0, "4", "1", false);
    const std::vector<int> before = UsedRowNumbers();
    ASSERT_EQ(before, (std::vector<int>{1, 5, 10}));
    auto expectWholeRunInUse = [&] {
        EXPECT_EQ(UsedRowNumbers(), before);
        EXPECT_EQ(U().PointCount, 10);
        EXPECT_EQ(U().FirstUsedRow, 1);
        EXPECT_EQ(U().LastUsedRow, 10);
        EXPECT_EQ(U().PointStep, 4);
        EXPECT_EQ(reader->IntervalStartText(), "0.000000E+00");
        EXPECT_EQ(reader->IntervalEndText(), "9.000000E-04");
    };
    const kx::IntervalPoints p = reader->ToMainParam(2e-4, 7e-4);  // rows 3..8: 6 / 4 < 2
    EXPECT_FALSE(p.Rebuilt);
    EXPECT_EQ(p.UsMin, 0.0);
    EXPECT_EQ(p.UsMax, 9e-4);
    EXPECT_EQ(p.Count, 4);
    expectWholeRunInUse();

    // The reduction never takes the rows of another interval for its own.
    try {
        reader->RED_ToMainParam(2e-4, 7e-4);
        ADD_FAILURE();
    } catch (const TaggedError& e) {
        EXPECT_EQ(e.what(), std::string("Sol#112-2 Subscript out of range: the interval 2.000000E-04 - "
                                        "7.000000E-04 holds fewer than two stored points"));
    }
    expectWholeRunInUse();

    // A step too large for the interval keeps the step in use.
    reader->ToMain_Param(false, 1.0, "6", "1", false);  // 10 / 6 < 2
    expectWholeRunInUse();
    EXPECT_TRUE(reader->UsedData());
    expectWholeRunInUse();
}

// The General page's interval and step are taken together or not at all,
// and the plot settings tell whether the step asked for is the one in use.
TEST_F(UsedRowsTest, IntervalAndStepAreTakenTogetherOrNotAtAll) {
    kx::IntervalPoints p = reader->ToMainParam(2e-4, 7e-4, 3);  // rows 3..8: 6 / 3 = 2
    EXPECT_TRUE(p.Rebuilt);
    EXPECT_EQ(U().PointStep, 3);
    EXPECT_EQ(UsedRowNumbers(), (std::vector<int>{3, 6, 8}));

    p = reader->ToMainParam(0.0, 9e-4, 6);  // 10 / 6 < 2
    EXPECT_FALSE(p.Rebuilt);
    EXPECT_EQ(U().PointStep, 3);
    EXPECT_EQ(reader->IntervalStartText(), "2.000000E-04");
    EXPECT_EQ(UsedRowNumbers(), (std::vector<int>{3, 6, 8}));

    EXPECT_FALSE(reader->ToMain_Param(false, 1.0, "4", "1", false));
    EXPECT_EQ(U().PointStep, 3);
    EXPECT_TRUE(reader->ToMain_Param(false, 1.0, "2", "1", false));
    EXPECT_EQ(U().PointStep, 2);
}

TEST_F(UsedRowsTest, IntervalWithoutAStepBeforeItFailsAndKeepsTheUsedRows) {
    reader->RED_ToMainParam(2e-4, 7e-4);
    const std::vector<int> before = UsedRowNumbers();
    for (auto [start, end] : {std::pair{-1.0, -0.5}, std::pair{1.0, 2.0}, std::pair{5e-4, 2e-4}}) {
        try {
            reader->ToMainParam(start, end);
            ADD_FAILURE() << start << " " << end;
        } catch (const TaggedError& e) {
            EXPECT_EQ(e.Tag(), "Sol#117. ");
            EXPECT_TRUE(e.Description().starts_with("Type mismatch")) << e.what();
        }
        // The selection in use stays whole.
        EXPECT_EQ(U().FirstUsedRow, 3);
        EXPECT_EQ(U().LastUsedRow, 8);
        EXPECT_EQ(reader->IntervalStartText(), "2.000000E-04");
        EXPECT_EQ(reader->IntervalEndText(), "7.000000E-04");
        EXPECT_EQ(UsedRowNumbers(), before);
    }
}

TEST_F(UsedRowsTest, ReductionHolderTagsItsSelectionFailureAndListsTimesFromZero) {
    Load(ReaderOwner::ReductionHolder);
    try {
        reader->RED_ToMainParam(-1.0, -0.5);
        ADD_FAILURE();
    } catch (const TaggedError& e) {
        EXPECT_EQ(e.Tag(), "Sol#117-1 ");
    }
    const kx::IntervalPoints holder = reader->ToMainParam(2e-4, 5e-4);
    EXPECT_EQ(holder.Count, 5);
    EXPECT_EQ(holder.Times, (std::vector<double>{2e-4, 3e-4, 4e-4, 5e-4, 0.0}));

    Load(ReaderOwner::ResultsWindow);
    const kx::IntervalPoints window = reader->ToMainParam(2e-4, 5e-4);
    EXPECT_EQ(window.Count, 5);
    EXPECT_EQ(window.Times, (std::vector<double>{0.0, 2e-4, 3e-4, 4e-4, 5e-4}));
    const kx::IntervalPoints red = reader->RED_ToMainParam(2e-4, 5e-4);
    EXPECT_EQ(red.Count, 4);
    EXPECT_EQ(red.Times, window.Times);
}

TEST_F(UsedRowsTest, SettingsTextThatIsNotANumberFailsAfterTheValuesBeforeIt) {
    try {
        reader->ToMain_Param(true, 2.0, "x", "1", true);
        ADD_FAILURE();
    } catch (const TaggedError& e) {
        EXPECT_EQ(e.Tag(), "Sol#122. ");
    }
    EXPECT_TRUE(U().AddToChart);
    EXPECT_EQ(U().PointStep, 1);
    EXPECT_FALSE(U().LogTimeAxis);

    try {
        reader->ToMain_Param(false, 2.0, "3", "1e", true);
        ADD_FAILURE();
    } catch (const TaggedError& e) {
        EXPECT_EQ(e.Tag(), "Sol#122. ");
    }
    EXPECT_EQ(U().PointStep, 3);
    EXPECT_TRUE(U().LogTimeAxis);
    EXPECT_EQ(U().TimeScale, 1.0);
    EXPECT_EQ(U().YScale, 1.0);
    EXPECT_EQ(U().UsedCount, 11);  // not rebuilt

    reader->ToMain_Param(false, 2.0, "3", "1e3", false);
    EXPECT_EQ(U().TimeScale, 1e3);
    EXPECT_EQ(U().YScale, 2.0);
    EXPECT_EQ(U().UsedCount, 5);

    try {
        reader->ToMain_Param(false, 1.0, "0", "1", false);
        ADD_FAILURE();
    } catch (const TaggedError& e) {
        EXPECT_EQ(e.what(), std::string("Sol#117. Division by zero: point step"));
    }
}

TEST_F(UsedRowsTest, HandOverGivesNamesFractionsAndRunSettings) {
    const kx::MainParameters p = reader->FromMain_Param();
    EXPECT_EQ(p.SMin, 0.0);
    EXPECT_EQ(p.Smax, 9e-4);
    EXPECT_EQ(p.RowCntD, 6);
    EXPECT_EQ(p.SpecArrD, (std::vector<std::string>{"", "S1", "S2", "S3", "", ""}));
    EXPECT_EQ(p.InitFract, (std::vector<double>{0, 0.5, 0, 0.25, 0, 0}));
    EXPECT_EQ(p.SolverFile, folder.file("run.txt"));
    EXPECT_EQ(p.Pressur, 3.0);
    EXPECT_EQ(p.NTemper, 0);

    const kx::InitialCondition c = reader->red_InitialCond();
    EXPECT_EQ(c.SolPass, p.SolverFile);
    EXPECT_EQ(c.InitFractBB, (std::vector<bool>{false, true, false, true, false, false}));
}

}  // namespace
