// The curves of the comparison: a file's curve in its unit with the scales
// and logarithmic axes, the relative error, the gaps, the legends and the
// messages when nothing can be drawn.
#include <gtest/gtest.h>

#include <cmath>

#include "ComparisonPlot.h"
#include "SolverFileFixture.h"
#include "TempDir.h"

using kx::CmpFunction;
using kx::CmpPlotCurve;
using kx::CmpPlotSettings;
using kx::kMissingValue;
using kx::test::TempDir;
using kxtest::RecordingSink;
using kxtest::SolverFileFixture;

namespace {

constexpr int kMissingRow = -99999;

class ComparisonPlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        // File 1: A, B, Z (0 throughout), D; file 2: B, A, C. B differs by a
        // tenth of its value from the third record on; A is the same in both.
        SolverFileFixture one = SolverFileFixture::WithSpecies(4);
        SolverFileFixture two = SolverFileFixture::WithSpecies(3);
        one.species[0].name = "A", one.species[1].name = "B", one.species[2].name = "Z", one.species[3].name = "D";
        two.species[0].name = "B", two.species[1].name = "A", two.species[2].name = "C";
        for (SolverFileFixture* f : {&one, &two})
            for (auto& s : f->species) s.molarMass = 10;
        one.pressure = two.pressure = 2;
        one.mode = two.mode = 1;  // the temperatures of the records differ
        // Every molar mass is 10 and both files hold the same mass in B and the
        // last species, so A has the same mole fraction in both.
        for (int j = 0; j < 7; ++j) {
            const double t = j * 1e-4;
            const double b1 = j >= 2 ? 0.25 : 0.5, b2 = j >= 2 ? 0.275 : 0.5;
            one.records.push_back({t, 1000.0 + 100 * j, {0.5, b1, 0.0, 0.05}});
            two.records.push_back({t, 1000.0 + 100 * j, {b2, 0.5, b1 + 0.05 - b2}});
        }
        ASSERT_FALSE(files.OpenFiles(folder.write("one.txt", one.Text()), folder.write("two.txt", two.Text())).Failed);
        files.SpeciesAARR();
        files.ConvertToMoleFractions();
        ASSERT_TRUE(sink.shown.empty());
        ASSERT_EQ(files.MergedSpeciesLast(), 5);  // Temperature, A, B, Z, D, C
    }

    CmpPlotCurve Curve(CmpFunction f, int rowInd, const CmpPlotSettings& s) {
        const kx::CmpMergedRow& row = files.MergedSpecies()[static_cast<std::size_t>(rowInd)];
        return kx::CmpBuildCurve(files, f, rowInd, kx::CmpValueRow(row.Index1), kx::CmpValueRow(row.Index2), s);
    }

    TempDir folder;
    RecordingSink sink;
    kx::ComparisonFiles files{sink};
};

TEST_F(ComparisonPlotTest, AFilesCurveIsInTheChosenUnitAndScale) {
    CmpPlotSettings s;
    s.LogX = false;
    s.UnitDivisor = 82.0573661;
    s.ScaleX = 1000;
    s.ScaleY = 2;
    const CmpPlotCurve a = Curve(CmpFunction::File1, 1, s);
    ASSERT_EQ(a.Result, CmpPlotCurve::Outcome::Drawable);
    ASSERT_EQ(a.X.size(), 7u);
    for (std::size_t k = 0; k < 7; ++k) {
        EXPECT_DOUBLE_EQ(a.X[k], 1000 * k * 1e-4);  // time 0 is a point on a linear axis
        EXPECT_DOUBLE_EQ(a.Y[k], 2 * files.File(1).Values(2, static_cast<int>(k) + 1) / 82.0573661);
    }
    // x_A P / T by hand at the first record: P = 2 atm, T = 1000 K.
    EXPECT_NEAR(a.Y[0], 2 * (0.5 / 1.05) * 2 / 1000 / 82.0573661, 1e-18);
    EXPECT_EQ(a.Legend, " F1, A (mol/cm^3) x 2.00E+00");

    // The temperature is not divided by the unit.
    s.UnitIndex = 1;
    s.ScaleY = 1;
    const CmpPlotCurve t = Curve(CmpFunction::File2, 0, s);
    ASSERT_EQ(t.Result, CmpPlotCurve::Outcome::Drawable);
    EXPECT_DOUBLE_EQ(t.Y[6], 1600);
    EXPECT_EQ(t.Legend, " F2, Temperature (K)");
}

TEST_F(ComparisonPlotTest, LogarithmicAxesLeaveGapsWhereValuesAreNotPositive) {
    CmpPlotSettings s;  // log X, linear Y
    s.LogY = true;
    const CmpPlotCurve t = Curve(CmpFunction::File1, 0, s);
    ASSERT_EQ(t.Result, CmpPlotCurve::Outcome::Drawable);
    EXPECT_EQ(t.X[0], kMissingValue);  // log of time 0
    EXPECT_EQ(t.Y[0], kMissingValue);
    EXPECT_DOUBLE_EQ(t.X[1], -4);
    EXPECT_DOUBLE_EQ(t.Y[1], std::log10(1100.0));
    EXPECT_EQ(t.Legend, " F1, Log10 Temperature (K)");
    EXPECT_EQ(Curve(CmpFunction::File2, 2, s).Legend, " F2, B Log10 (mol/cm^3)");
}

TEST_F(ComparisonPlotTest, AQuantityAFileLacksIsSkippedSilently) {
    CmpPlotSettings s;
    EXPECT_EQ(Curve(CmpFunction::File1, 5, s).Result, CmpPlotCurve::Outcome::Skipped);  // C is only in file 2
    EXPECT_EQ(Curve(CmpFunction::File2, 5, s).Result, CmpPlotCurve::Outcome::Drawable);
    EXPECT_EQ(Curve(CmpFunction::File2, 3, s).Result, CmpPlotCurve::Outcome::Skipped);  // Z only in file 1
}

TEST_F(ComparisonPlotTest, ACurveOfZerosIsRefusedWithItsName) {
    CmpPlotSettings s;
    const CmpPlotCurve z = Curve(CmpFunction::File1, 3, s);
    EXPECT_EQ(z.Result, CmpPlotCurve::Outcome::Refused);
    EXPECT_EQ(z.Message,
              "You are attempting to plot the function 'F1, Z (mol/cm^3)' where all values are zero. The function "
              "cannot be plotted.");
    s.LogY = true;
    EXPECT_EQ(Curve(CmpFunction::File1, 3, s).Message,
              "You are attempting to plot the function 'F1, Z Log10 (mol/cm^3)' where all values are zero or "
              "logarithm of negative numbers . The function cannot be plotted.");
}

TEST_F(ComparisonPlotTest, TheRelativeErrorIsUnitFreeWithGapsAndItsOwnLegend) {
    CmpPlotSettings s;
    s.LogX = false;
    s.UnitDivisor = 1e6;  // not applied to the relative error
    s.WeightB = 1;        // relative to file 1
    const CmpPlotCurve b = Curve(CmpFunction::RelativeError, 2, s);
    ASSERT_EQ(b.Result, CmpPlotCurve::Outcome::Drawable);
    EXPECT_EQ(b.Legend, "B, Relative Error");
    ASSERT_EQ(b.X.size(), 7u);
    // Time 0 has no point; where the files agree the error is below 1e-5 and
    // missing; file 2 is interpolated only from its second to its
    // third-to-last time.
    EXPECT_EQ(b.X[0], kMissingValue);
    EXPECT_EQ(b.Y[1], kMissingValue);
    EXPECT_DOUBLE_EQ(b.X[2], 2e-4);
    const double x1 = files.File(1).Values(3, 3), x2 = files.File(2).Values(2, 3);
    EXPECT_NEAR(b.Y[2], std::fabs(x1 - x2) / x1, 1e-12);
    EXPECT_GT(b.Y[2], 0.05);
    EXPECT_EQ(b.Y[4], kMissingValue);
    EXPECT_EQ(b.Y[5], kMissingValue);
    // At file 2's last time its own value is used.
    EXPECT_NEAR(b.Y[6], std::fabs(files.File(1).Values(3, 7) - files.File(2).Values(2, 7)) / files.File(1).Values(3, 7),
                1e-12);

    s.LogY = true;
    s.ScaleY = 1000;
    EXPECT_EQ(Curve(CmpFunction::RelativeError, 0, s).Legend, "Temperature, Log10 Relative Error x 1.00E+03");
}

TEST_F(ComparisonPlotTest, TheRelativeErrorNeedsBothFilesAndADifference) {
    CmpPlotSettings s;
    const CmpPlotCurve onlyTwo = Curve(CmpFunction::RelativeError, 5, s);
    EXPECT_EQ(onlyTwo.Result, CmpPlotCurve::Outcome::Refused);
    EXPECT_EQ(onlyTwo.Message, "File 1, data for 'C' are not available; the comparison cannot be performed.");
    EXPECT_EQ(kx::CmpBuildCurve(files, CmpFunction::RelativeError, 5, kMissingRow, kMissingRow, s).Message,
              "File 2, data for 'C' are not available; the comparison cannot be performed.");
    const CmpPlotCurve same = Curve(CmpFunction::RelativeError, 1, s);  // A agrees everywhere
    EXPECT_EQ(same.Result, CmpPlotCurve::Outcome::Refused);
    EXPECT_EQ(same.Message,
              "You are attempting to plot the function 'Relative Error' where all values are zero. The function "
              "cannot be plotted.");
}

// Two runs over times that do not meet have no relative error: the message
// says so, with the times of each, rather than that every value is zero.
TEST(ComparisonPlotSpans, RunsThatShareNoTimeAreSaidToShareNone) {
    TempDir folder;
    RecordingSink sink;
    kx::ComparisonFiles files{sink};
    SolverFileFixture early = SolverFileFixture::WithSpecies(2), late = SolverFileFixture::WithSpecies(2);
    for (int j = 0; j < 5; ++j) {
        early.records.push_back({j * 1e-4, 1000.0, {0.5, 0.5}});
        late.records.push_back({1.0 + j * 1e-4, 1000.0, {0.5, 0.5}});
    }
    ASSERT_FALSE(files.OpenFiles(folder.write("early.txt", early.Text()), folder.write("late.txt", late.Text())).Failed);
    files.SpeciesAARR();
    files.ConvertToMoleFractions();
    ASSERT_TRUE(sink.shown.empty()) << sink.shown[0].text;
    const CmpPlotCurve error = kx::CmpBuildCurve(files, CmpFunction::RelativeError, 1, 2, 2, CmpPlotSettings{});
    EXPECT_EQ(error.Result, CmpPlotCurve::Outcome::Refused);
    EXPECT_EQ(error.Message,
              "The two runs share no time for 'S1': file 1 holds it from 0.000000E+00 to 4.000000E-04 s, file 2 "
              "from 1.000000E+00 to 1.000400E+00 s. The relative error cannot be computed.");
}

}  // namespace
