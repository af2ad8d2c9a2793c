#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "Errors.h"
#include "ResultsReader.h"
#include "SolverFileFixture.h"
#include "TempDir.h"

using kx::ContributionTable;
using kx::MessageIcon;
using kx::ResultsReader;
using kx::TaggedError;
using kx::test::TempDir;
using kxtest::RecordingSink;
using kxtest::SolverFileFixture;

namespace {

// The known run with y2 constant: the rate of the first reaction per gram is
// 0.2 y1, a cubic of time.
using kxtest::CubicRunY1Integral;
const std::vector<double>& kTimes = kxtest::kCubicRunTimes;

SolverFileFixture CubicRun() { return kxtest::CubicTwoReactionRun(0.0); }

class ContributionsTest : public ::testing::Test {
protected:
    void Load(const SolverFileFixture& f) {
        f.Write(folder.file("run.txt"));
        reader = std::make_unique<ResultsReader>(sink, kxtest::kGasConstantCm3Atm);
        ASSERT_TRUE(reader->OPEN_Rich(folder.file("run.txt")));
    }
    // ShowReacDeRe; nothing when it handed nothing over.
    std::optional<ContributionTable> Show(int species, bool derFlag = true) {
        std::optional<ContributionTable> got;
        reader->ShowReacDeRe(species, derFlag, [&](const ContributionTable& t) { got = t; });
        return got;
    }
    double Density() const { return reader->Tables().RowDensity[1]; }

    TempDir folder;
    RecordingSink sink;
    std::unique_ptr<ResultsReader> reader;
};

TEST_F(ContributionsTest, InsideTheRunTheContributionsOfCubicRatesAreExact) {
    Load(CubicRun());
    reader->RED_ToMainParam(kTimes[2], kTimes[6]);  // rows 3..7
    ASSERT_EQ(reader->Used().FirstUsedRow, 3);
    ASSERT_EQ(reader->Used().LastUsedRow, 7);
    const double integral = CubicRunY1Integral(kTimes[2], kTimes[6]);

    const auto s1 = Show(1);
    ASSERT_TRUE(s1);
    EXPECT_EQ(s1->Numbers, (std::vector<int>{1, 2}));
    EXPECT_EQ(s1->Texts, (std::vector<std::string>{"S1=>S2", "S1+S4=>S3+S4"}));
    EXPECT_TRUE(s1->DerFlag);
    EXPECT_NEAR(s1->Contributions[0], -0.2 * integral, 1e-12 * integral);
    // c1 c4 / rho = y1 y4 rho / (W1 W4)
    const double second = -0.05 * Density() / 100 * integral;
    EXPECT_NEAR(s1->Contributions[1], second, 1e-12 * std::fabs(second));
    EXPECT_DOUBLE_EQ(s1->ActualChange, (kxtest::CubicRunY1(kTimes[6]) - kxtest::CubicRunY1(kTimes[2])) / 10);

    const auto s2 = Show(2);
    ASSERT_TRUE(s2);
    EXPECT_EQ(s2->Numbers, (std::vector<int>{1}));
    EXPECT_NEAR(s2->Contributions[0], 0.2 * integral, 1e-12 * integral);
    EXPECT_EQ(s2->ActualChange, 0.0);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ContributionsTest, OverTheWholeRunTheEndsUseParabolas) {
    Load(CubicRun());
    const auto s2 = Show(2);
    ASSERT_TRUE(s2);
    // Inner sub-intervals exact; the first and last by the parabola through
    // their three nearest points (Simpson's rule is exact for it).
    auto parabola = [](double x0, double x1, double x2, double a, double b) {
        auto p = [&](double x) {
            const double d1 = (kxtest::CubicRunY1(x1) - kxtest::CubicRunY1(x0)) / (x1 - x0);
            const double d2 = ((kxtest::CubicRunY1(x2) - kxtest::CubicRunY1(x1)) / (x2 - x1) - d1) / (x2 - x0);
            return kxtest::CubicRunY1(x0) + d1 * (x - x0) + d2 * (x - x0) * (x - x1);
        };
        return (b - a) / 6 * (p(a) + 4 * p((a + b) / 2) + p(b));
    };
    const auto& t = kTimes;
    const double expected = 0.2 * (parabola(t[0], t[1], t[2], t[0], t[1]) + CubicRunY1Integral(t[1], t[7]) +
                                   parabola(t[6], t[7], t[8], t[7], t[8]));
    EXPECT_NEAR(s2->Contributions[0], expected, 1e-12 * expected);
    EXPECT_NE(s2->Contributions[0], 0.2 * CubicRunY1Integral(t[0], t[8]));
}

TEST_F(ContributionsTest, ListWithoutIntegrationAndCatalystWithoutReactions) {
    Load(CubicRun());
    const auto listed = Show(1, false);
    ASSERT_TRUE(listed);
    EXPECT_FALSE(listed->DerFlag);
    EXPECT_EQ(listed->Numbers, (std::vector<int>{1, 2}));
    EXPECT_EQ(listed->Contributions, (std::vector<double>{0, 0}));
    EXPECT_DOUBLE_EQ(listed->ActualChange, (kxtest::CubicRunY1(kTimes[8]) - kxtest::CubicRunY1(kTimes[0])) / 10);

    const auto catalyst = Show(4);
    ASSERT_TRUE(catalyst);
    EXPECT_EQ(catalyst->Count(), 0);
    EXPECT_EQ(catalyst->ActualChange, 0.0);
}

TEST_F(ContributionsTest, SmallFractionsCountInTheChangeButNotInTheRates) {
    SolverFileFixture f = CubicRun();
    f.absTolerance = 1e-3;  // rates ignore y <= 1e-5, the change ignores y < 1e-6
    f.reactions[0].reactants = {2};  // S2 => S2 would be a catalyst: make it S2 => S3
    f.reactions[0].products = {3};
    for (auto& r : f.records) r.y[1] = 5e-6;
    f.records[0].y[1] = 0;
    f.records.back().y[1] = 5e-7;
    f.records[7].y[1] = 5e-6;
    Load(f);
    reader->RED_ToMainParam(kTimes[0], kTimes[7]);  // rows 1..8
    const auto s2 = Show(2);
    ASSERT_TRUE(s2);
    EXPECT_EQ(s2->Contributions, (std::vector<double>{0.0}));
    EXPECT_DOUBLE_EQ(s2->ActualChange, 5e-6 / 10);
    reader->RED_ToMainParam(kTimes[0], kTimes[8]);
    EXPECT_EQ(Show(2)->ActualChange, 0.0);
}

TEST_F(ContributionsTest, EqualStoredTimesStopTheAnalysisWithAMessage) {
    // A file with equal times is refused when it is read; the check of the
    // working range still stands on its own.
    Load(CubicRun());
    const std::vector<double> distinct{0, 1, 2, 3, 4};
    EXPECT_FALSE(reader->Resolution(1, 4, distinct));
    EXPECT_TRUE(sink.shown.empty());
    const std::vector<double> equal{0, 1, 2, 2, 3};
    EXPECT_FALSE(reader->Resolution(0, 2, equal));  // rows 0..2 only
    EXPECT_TRUE(reader->Resolution(1, 4, equal));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text,
              "Features of the 'Reaction' and 'Temperature' windows don't operate because numeric data cannot be "
              "resolved. We recommend to restart the problem with a greater number of step of data output.");
    EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_THROW(reader->Resolution(1, 5, equal), std::exception);
}

TEST_F(ContributionsTest, FailuresCarryTheTagAndHandNothingOver) {
    Load(CubicRun());
    reader->RED_ToMainParam(kTimes[1], kTimes[4]);  // rows 2..5, working range 1..6
    EXPECT_TRUE(Show(1));
    for (int species : {0, 5}) {
        reader->RED_ToMainParam(kTimes[1], kTimes[8]);
        bool called = false;
        try {
            reader->ShowReacDeRe(species, true, [&](const ContributionTable&) { called = true; });
            ADD_FAILURE() << species;
        } catch (const TaggedError& e) {
            EXPECT_EQ(e.Tag(), "Sol#131. ");
            EXPECT_TRUE(e.Description().starts_with("Subscript out of range")) << e.what();
        }
        EXPECT_FALSE(called);
    }
}

// A last record far beyond the others (a damaged time that still
// increases) gives no number for the integrals: the analysis says so and
// lists nothing.
TEST_F(ContributionsTest, IntegralsThatOverflowAreReportedNotListed) {
    SolverFileFixture f = CubicRun();
    f.records.back().time = 1e300;
    Load(f);
    const std::vector<int> both{1, 2};
    EXPECT_THROW(reader->IntervalIntegrals(both, false), kx::Error);
    bool called = false;
    try {
        reader->ShowReacDeRe(1, true, [&](const ContributionTable&) { called = true; });
        ADD_FAILURE() << "the list was handed over";
    } catch (const TaggedError& e) {
        EXPECT_EQ(std::string(e.what()), "Sol#131. Overflow: integral of reaction 1");
    }
    EXPECT_FALSE(called);
    // Inside the run the integrals stay numbers.
    reader->RED_ToMainParam(kTimes[2], kTimes[6]);
    EXPECT_TRUE(Show(1));
}

}  // namespace
