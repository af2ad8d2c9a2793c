// Derived quantities, their legends and curves, the text tables, the checks
// of the "General" page: on a small run whose values are worked out here.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "CurvePoints.h"
#include "Errors.h"
#include "GeneralPage.h"
#include "Quantities.h"
#include "ResultsReader.h"
#include "SharedState.h"
#include "SolverFileFixture.h"
#include "TempDir.h"
#include "TextTables.h"

using kx::MeanParameter;
using kx::QuantityUnits;
using kx::ResultsReader;
using kx::SpeciesQuantity;
using kx::test::TempDir;
using kxtest::RecordingSink;
using kxtest::SolverFileFixture;

namespace {

constexpr double kAvogadro = kxtest::kAvogadro;
constexpr double kGasJ = kxtest::kGasConstantJ;
constexpr double kGasCal = kxtest::kGasConstantCal;
constexpr double kRPrime = kxtest::kGasConstantCm3Atm;

// Three species of molar masses 2, 16, 32 with simple polynomials (the same
// in both ranges): Cp/R = a1 + a2 T, H/RT = a1 + a2 T / 2 + a6 / T.
const double kW[3] = {2, 16, 32};
const double kA1[3] = {3.5, 2.5, 4.0}, kA2[3] = {0, 1e-3, 0}, kA6[3] = {-1000, 200, 500};
const double kTimes[5] = {0, 1e-3, 2e-3, 3e-3, 4e-3};
const double kT[5] = {1000, 1200, 1500, 1800, 2000};
const double kY[5][3] = {{0.5, 0.25, 0.25}, {0.25, 0.5, 0.25}, {0.125, 0.375, 0.5}, {0, 0.5, 0.5},
                         {0.0625, 0.4375, 0.5}};

SolverFileFixture SmallRun() {
    SolverFileFixture f = SolverFileFixture::WithSpecies(3);
    f.mode = 1;  // the temperatures of the records differ
    f.species[2].name = "ABCDEFGHIJKLMNOP";
    for (int k = 0; k < 3; ++k) {
        f.species[k].molarMass = kW[k];
        f.species[k].coefficients = {kA1[k], kA2[k], 0, 0, 0, kA6[k], 1, kA1[k], kA2[k], 0, 0, 0, kA6[k], 1};
    }
    for (int i = 0; i < 5; ++i) f.records.push_back({kTimes[i], kT[i], {kY[i][0], kY[i][1], kY[i][2]}});
    return f;
}

QuantityUnits Units(int concUnit = 0, bool joule = true) { return kxtest::TestUnits(concUnit, joule); }

// The hand values at record i.
double S(int i) { return kY[i][0] / kW[0] + kY[i][1] / kW[1] + kY[i][2] / kW[2]; }
double Ctot(int i) { return 1.0 / (kRPrime * kT[i]); }  // P = 1 atm
double Rho(int i) { return Ctot(i) / S(i); }

class QuantitiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SmallRun().Write(folder.file("run.txt"));
        reader = std::make_unique<ResultsReader>(sink, kRPrime);
        ASSERT_TRUE(reader->OPEN_Rich(folder.file("run.txt")));
        ASSERT_EQ(reader->Used().UsedCount, 6);
    }
    TempDir folder;
    RecordingSink sink;
    std::unique_ptr<ResultsReader> reader;
};

TEST_F(QuantitiesTest, SpeciesValuesInEveryUnit) {
    struct Case {
        SpeciesQuantity quantity;
        int concUnit;
    };
    const Case cases[] = {{SpeciesQuantity::MoleFraction, 0}, {SpeciesQuantity::MassFraction, 0},
                          {SpeciesQuantity::Concentration, 0}, {SpeciesQuantity::Concentration, 1},
                          {SpeciesQuantity::MolesPerGram, 0},  {SpeciesQuantity::MoleFraction, 1}};
    for (const Case& c : cases) {
        for (int k = 0; k < 3; ++k) {
            const std::vector<double> rounded = kx::SpeciesValues(*reader, c.quantity, k + 3, Units(c.concUnit));
            const std::vector<double> full =
                kx::SpeciesValues(*reader, c.quantity, k + 3, Units(c.concUnit), {.FullPrecision = true});
            ASSERT_EQ(rounded.size(), 6U);
            for (int i = 0; i < 5; ++i) {
                const double y = kY[i][k];
                double expected = 0;
                switch (c.quantity) {
                    case SpeciesQuantity::MoleFraction: expected = (y / kW[k]) / S(i); break;
                    case SpeciesQuantity::MassFraction: expected = y; break;
                    case SpeciesQuantity::Concentration:
                        expected = (c.concUnit == 1 ? kAvogadro : 1.0) * y * Rho(i) / kW[k];
                        break;
                    case SpeciesQuantity::MolesPerGram: expected = y / kW[k]; break;
                    default: break;
                }
                const int q = static_cast<int>(c.quantity);
                EXPECT_NEAR(full[i + 1], expected, 1e-13 * std::fabs(expected)) << q << " species " << k + 1 << " point " << i + 1;
                // Curves carry nine significant digits.
                EXPECT_NEAR(rounded[i + 1], expected, 6e-9 * std::fabs(expected)) << q << " species " << k + 1;
            }
        }
    }
    const std::vector<double> temperature = kx::SpeciesValues(*reader, SpeciesQuantity::Temperature, 0, Units());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(temperature[i + 1], kT[i]);
}

TEST_F(QuantitiesTest, TextTablesSetValuesBelowTheZeroThresholdToZero) {
    // The fixture's tolerance is 1e-12: a fraction of 1e-15 is below 0.01 of it.
    SolverFileFixture f = SmallRun();
    f.records[1].y[0] = 1e-15;
    f.Write(folder.file("tiny.txt"));
    ASSERT_TRUE(reader->OPEN_Rich(folder.file("tiny.txt")));
    const auto curve = kx::SpeciesValues(*reader, SpeciesQuantity::MassFraction, 3, Units());
    const auto table = kx::SpeciesValues(*reader, SpeciesQuantity::MassFraction, 3, Units(), {.AbsentAsZero = true});
    EXPECT_EQ(curve[2], 1e-15);
    EXPECT_EQ(table[2], 0.0);
    EXPECT_EQ(table[1], 0.5);
}

// A text table and a curve take the same values as absent: a mass
// fraction at the zero threshold (0.01 of the tolerance 1e-12) is 0 in the
// table and no point of the curve; one just above it is both.
TEST_F(QuantitiesTest, TablesAndCurvesTakeAFractionAtTheZeroThresholdAsAbsent) {
    SolverFileFixture f = SmallRun();
    ASSERT_EQ(f.absTolerance, 1e-12);
    f.records[1].y[0] = 1e-14;
    f.records[2].y[0] = 1.0000001e-14;
    f.Write(folder.file("threshold.txt"));
    ASSERT_TRUE(reader->OPEN_Rich(folder.file("threshold.txt")));
    const auto table = kx::SpeciesValues(*reader, SpeciesQuantity::MassFraction, 3, Units(), {.AbsentAsZero = true});
    EXPECT_EQ(table[2], 0.0);
    EXPECT_EQ(table[3], 1.0000001e-14);
    const auto values = kx::SpeciesValues(*reader, SpeciesQuantity::MassFraction, 3, Units());
    const kx::CurvePoints c = kx::PrepareResultsCurve(*reader, values, 3, 1.0, false);
    ASSERT_EQ(c.Count(), 5);
    EXPECT_EQ(c.Y[1], kx::kMissingValue);
    EXPECT_EQ(c.Y[2], 1.0000001e-14);
}

TEST_F(QuantitiesTest, SpeciesLegends) {
    struct Case {
        SpeciesQuantity q;
        int concUnit;
        double scale;
        bool log, tabBl;
        const char* legend;
    };
    const Case cases[] = {
        {SpeciesQuantity::MoleFraction, 0, 1, false, false, "OH, Mole Fraction"},
        {SpeciesQuantity::MoleFraction, 0, 1000, true, false, "OH, Log10 Mole Fraction x 1.00E+03"},
        {SpeciesQuantity::MassFraction, 0, 1, true, false, "OH, Log10 Mass Fraction"},
        {SpeciesQuantity::Concentration, 0, 1, false, false, "[OH] (mol/cm^3)"},
        {SpeciesQuantity::Concentration, 1, 0.5, true, false, "Log10 [OH] x 5.00E-01 (1/cm^3)"},
        {SpeciesQuantity::MolesPerGram, 0, 1, false, false, "{OH} (mol/g)"},
        {SpeciesQuantity::MolesPerGram, 0, 2, true, true, "{OH} (mol/g)"},
        {SpeciesQuantity::Temperature, 0, 1, false, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kx::SpeciesLegend(c.q, "OH", c.concUnit, c.scale, c.log, c.tabBl), c.legend);
    EXPECT_EQ(kx::QuantityListItems(1)[2], "Concentration (1/cm^3)");
    EXPECT_EQ(kx::QuantityListItems(0)[3], "Concentration (mol/g)");
}

TEST_F(QuantitiesTest, MeanParametersAgainstTheMixtureRules) {
    for (bool joule : {true, false}) {
        for (int concUnit : {0, 1}) {
            const QuantityUnits u = Units(concUnit, joule);
            const double R = joule ? kGasJ : kGasCal;
            for (int i = 0; i < 5; ++i) {
                const double T = kT[i];
                double H = 0, Cp = 0;
                for (int k = 0; k < 3; ++k) {
                    const double x = kY[i][k] / kW[k] / S(i);
                    H += x * (kA1[k] + kA2[k] * T / 2 + kA6[k] / T);
                    Cp += x * (kA1[k] + kA2[k] * T);
                }
                auto at = [&](MeanParameter m) { return kx::MeanValueAt(*reader, i + 1, m, u); };
                EXPECT_EQ(at(MeanParameter::Temperature), T);
                EXPECT_NEAR(at(MeanParameter::Concentration), (concUnit ? kAvogadro : 1) * Ctot(i), 1e-13 * Ctot(i) * (concUnit ? kAvogadro : 1));
                EXPECT_NEAR(at(MeanParameter::Density), Rho(i), 1e-12 * Rho(i));
                EXPECT_NEAR(at(MeanParameter::MolarMass), 1 / S(i), 1e-13 / S(i));
                EXPECT_NEAR(at(MeanParameter::Enthalpy), H * T * R * 0.001, 1e-12 * std::fabs(H * T * R));
                EXPECT_NEAR(at(MeanParameter::HeatCapacity), Cp * R, 1e-12 * Cp * R);
            }
        }
    }
    const std::vector<double> all = kx::MeanValues(*reader, MeanParameter::MolarMass, Units());
    ASSERT_EQ(all.size(), 6U);
    EXPECT_NEAR(all[4], 1 / S(3), 1e-12);
    EXPECT_THROW(kx::MeanValueAt(*reader, 1, static_cast<MeanParameter>(7), Units()), kx::Error);
}

TEST_F(QuantitiesTest, MeanParameterRowsLegendsAndUnits) {
    const auto rows = kx::MeanParameterRows(1, false);
    EXPECT_EQ(rows[1].Name, "Temperature");
    EXPECT_EQ(rows[2].Unit, "1/cm^3");
    EXPECT_EQ(rows[3].Name, "Density ");
    EXPECT_EQ(rows[5].Unit, "kcal/mol");
    EXPECT_EQ(rows[6].Unit, "cal/K mol");
    EXPECT_EQ(kx::HabdCpUnits(true).Enthalpy, "kJ/mol");
    EXPECT_EQ(kx::HabdCpUnits(true).HeatCapacity, "J/K mol");
    EXPECT_EQ(kx::MeanLegend("Enthalpy", "kJ/mol", 1, false), "Enthalpy  (kJ/mol)");
    EXPECT_EQ(kx::MeanLegend("Density ", "g/cm^3", 1000, true), "Log10 Density  x 1.00E+03 (g/cm^3)");
}

TEST_F(QuantitiesTest, TheMeanParameterTable) {
    const int all[] = {1, 2, 3, 4, 5, 6};
    const std::vector<std::string> lines =
        kx::MeanParameterTable(*reader, all, Units(), kx::TableStamp("Mar 7 2024", "09:05:01"));
    const std::vector<std::string> expected{
        "  Kinovex,  Mar 7 2024,  09:05:01",
        "  Solver file:  " + folder.file("run.txt"),
        " ",
        "    No        Time (sec)          T (K)   C (mol/cm^3)    Ro (g/cm^3)      M (g/mol)     H (kJ/mol)   Cp (J/K mol)",
        "     1    0.00000000E+00        1000.00       1.22E-05       4.46E-05           3.66         21.594         29.219",
        "     2    1.00000000E-03        1200.00       1.02E-05       6.19E-05           6.10         28.578         29.615",
        "     3    2.00000000E-03        1500.00       8.12E-06       8.00E-05           9.85         39.797         30.700",
        "     4    3.00000000E-03        1800.00       6.77E-06       1.44E-04          21.33         56.372         34.921",
        "     5    4.00000000E-03        2000.00       6.09E-06       8.21E-05          13.47         57.939         33.039",
    };
    EXPECT_EQ(lines, expected);

    const int some[] = {6, 1};
    const auto calories = kx::MeanParameterTable(*reader, some, Units(1, false), "x");
    EXPECT_EQ(calories[3], "    No        Time (sec) Cp (cal/K mol)          T (K)");
    const int bad[] = {1, 9};
    EXPECT_THROW(kx::MeanParameterTable(*reader, bad, Units(), "x"), kx::Error);
}

TEST_F(QuantitiesTest, TheSpeciesTable) {
    const int species[] = {1, 3};
    const std::vector<std::string> lines = kx::SpeciesTable(*reader, SpeciesQuantity::MoleFraction, species, 12,
                                                            Units(), kx::TableStamp("Mar 7 2024", "09:05:01"));
    const std::vector<std::string> expected{
        "  Kinovex,  Mar 7 2024,  09:05:01",
        "  Solver file:  " + folder.file("run.txt"),
        " ",
        "  Mole Fraction",
        "    No        Time (sec)              S1    ABCDEFGHIJKL",
        "     1    0.00000000E+00  9.14285714E-01  2.85714286E-02",
        "     2    1.00000000E-03  7.61904762E-01  4.76190476E-02",
        "     3    2.00000000E-03  6.15384615E-01  1.53846154E-01",
        "     4    3.00000000E-03  0.00000000E+00  3.33333333E-01",
        "     5    4.00000000E-03  4.21052632E-01  2.10526316E-01",
    };
    EXPECT_EQ(lines, expected);
    const auto wide = kx::SpeciesTable(*reader, SpeciesQuantity::MassFraction, species, 16, Units(), "x");
    EXPECT_EQ(wide[4], "    No        Time (sec)                  S1    ABCDEFGHIJKLMNOP");
    const int eleven[] = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2};
    EXPECT_THROW(kx::SpeciesTable(*reader, SpeciesQuantity::MassFraction, eleven, 12, Units(), "x"), kx::Error);
}

TEST_F(QuantitiesTest, ResultsCurvesDropPointsAtOrBelowTheZeroThreshold) {
    // Species 1 is 0 at the fourth record; the log time axis drops time 0.
    reader->ToMain_Param(false, 1.0, "1", "1000", true);
    const std::vector<double> values = kx::SpeciesValues(*reader, SpeciesQuantity::MassFraction, 3, Units());
    const kx::CurvePoints c = kx::PrepareResultsCurve(*reader, values, 3, 2.0, false);
    ASSERT_EQ(c.Count(), 5);
    const double M = kx::kMissingValue;
    EXPECT_EQ(c.X[0], M);
    EXPECT_EQ(c.Y[0], M);
    EXPECT_DOUBLE_EQ(c.X[1], 0.0);  // log10(1e-3 x 1000)
    EXPECT_DOUBLE_EQ(c.Y[1], 0.5);
    EXPECT_EQ(c.X[3], M);
    EXPECT_DOUBLE_EQ(c.X[4], std::log10(4.0));
    EXPECT_DOUBLE_EQ(c.Y[4], 0.125);

    // Every value nonzero, but the filter column is 0 everywhere: nothing to draw.
    SolverFileFixture f = SmallRun();
    for (auto& r : f.records) r.y[0] = 0;
    f.records[0].y[1] = 0.75;
    f.records[1].y[1] = 0.75;
    f.records[2].y[1] = 0.5;
    f.records[3].y[1] = 0.5;
    f.records[4].y[1] = 0.5;
    f.Write(folder.file("absent.txt"));
    ASSERT_TRUE(reader->OPEN_Rich(folder.file("absent.txt")));
    const std::vector<double> ones(6, 1.0);
    EXPECT_FALSE(kx::PrepareResultsCurve(*reader, ones, 3, 1.0, false).Drawable());
    EXPECT_TRUE(kx::PrepareResultsCurve(*reader, ones, -1, 1.0, false).Drawable());
}

TEST_F(QuantitiesTest, PresentationTimes) {
    const kx::PresentationTimes p = kx::AuxVal(*reader);
    EXPECT_EQ(p.Tm, 6);
    ASSERT_EQ(p.TimeArr.size(), 7U);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(p.TimeArr[i + 1], kTimes[i]);
    EXPECT_EQ(p.TimeArr[6], 0.0);
}

// ---- The "General" page ------------------------------------------------------

TEST(GeneralPage, ChecksInOrder) {
    struct Case {
        const char* start;
        const char* end;
        const char* step;
        const char* scale;
        bool log;
        kx::GeneralBox box;
        const char* message;
    };
    using B = kx::GeneralBox;
    const char* number = "Time interval, please enter a number.";
    const char* bounds =
        "Time boundaries you want to set are incorrect; please enter numbers on the interval [0 - 1.0E-02].";
    const char* order = "Time interval, maximum X-value is less than or equal to minimal valoe. Enter correct values.";
    const char* positive = "Point presentation, please enter a positive integer.";
    const char* nonzero = "X-axis scaling, please enter a nonzero number.";
    const char* logScale = "X-axis scaling, for logarithmic scale please enter a positive number.";
    const Case cases[] = {
        {"", "", "x", "0", true, B::IntervalStart, number},      // the first failure wins
        {"1e-3", "abc", "x", "0", true, B::IntervalEnd, number},
        {"-1e-3", "1e-3", "1", "1", true, B::IntervalStart, bounds},
        {"1e-2", "1e-2", "1", "1", true, B::IntervalStart, bounds},  // a start at the last time
        {"0", "0", "1", "1", true, B::IntervalEnd, bounds},
        {"0", "2e-2", "1", "1", true, B::IntervalEnd, bounds},
        {"5e-3", "4e-3", "1", "1", true, B::IntervalEnd, order},
        {"0", "1e-2", "", "1", true, B::PointStep, positive},
        {"0", "1e-2", "0.5", "1", true, B::PointStep, positive},
        // Named as typed, never taken as the largest step there is.
        {"0", "1e-2", " 1e12", "1", true, B::PointStep,
         "Point presentation, the number 1e12 is too large; please enter a positive integer up to 2147483647."},
        {"0", "1e-2", "2147483648", "1", true, B::PointStep,
         "Point presentation, the number 2147483648 is too large; please enter a positive integer up to 2147483647."},
        {"0", "1e-2", "2147483647.9", "1", true, B::None, ""},
        {"0", "1e-2", "2", "", false, B::TimeScale, nonzero},
        {"0", "1e-2", "2", "0", true, B::TimeScale, logScale},
        {"0", "1e-2", "2", "-1", true, B::TimeScale, logScale},
        {"0", "1e-2", "2.7", "-1", false, B::None, ""},
        {"2e-3", "3e-3", "1", "1E-3", true, B::None, ""},
    };
    for (const Case& c : cases) {
        kx::GeneralPageInput in{c.start, c.end, c.step, c.scale, c.log, 0.0, 1e-2};
        const kx::GeneralPageCheck r = kx::CheckGeneralPage(in);
        EXPECT_EQ(r.Box, c.box) << c.start << " " << c.end << " " << c.step << " " << c.scale;
        EXPECT_EQ(r.Message, c.message) << c.start << " " << c.end << " " << c.step << " " << c.scale;
    }
    kx::GeneralPageInput in{"0", "1e-2", "2.7", "1", true, 0.0, 1e-2};
    EXPECT_EQ(kx::CheckGeneralPage(in).PointStepText, "2");
    in.PointStep = "0.5";
    EXPECT_EQ(kx::CheckGeneralPage(in).PointStepText, "0");
    in.PointStep = "2147483647.9";
    EXPECT_EQ(kx::CheckGeneralPage(in).PointStep, 2147483647);
    in.PointStep = "1e12";  // the box keeps what was typed
    EXPECT_EQ(kx::CheckGeneralPage(in).PointStepText, "");

    // A first time other than 0 is shown in the bounds.
    kx::GeneralPageInput late{"1e-9", "1", "1", "1", false, 1.5e-4, 3.25e-2};
    EXPECT_EQ(kx::CheckGeneralPage(late).Message,
              "Time boundaries you want to set are incorrect; please enter numbers on the interval [1.5E-04 - 3.25E-02].");
    // Bounds with all eight printed digits are named with them, and taken
    // when typed as named.
    kx::GeneralPageInput fine{"1e-9", "1", "1", "1", false, 1.2345671e-4, 9.8765437e-2};
    EXPECT_EQ(kx::CheckGeneralPage(fine).Message,
              "Time boundaries you want to set are incorrect; please enter numbers on the interval [1.2345671E-04 - "
              "9.8765437E-02].");
    fine.IntervalStart = "1.2345671E-04";
    fine.IntervalEnd = "9.8765437E-02";
    EXPECT_EQ(kx::CheckGeneralPage(fine).Box, kx::GeneralBox::None);

    EXPECT_EQ(kx::CheckSnappedInterval(1, 1).Box, kx::GeneralBox::IntervalStart);
    EXPECT_EQ(kx::CheckSnappedInterval(1, 1).Message,
              "Time interval under consideration, maximum X-value is less than or equal to minimal valoe. Enter "
              "correct values.");
    EXPECT_EQ(kx::CheckSnappedInterval(1, 2).Box, kx::GeneralBox::None);
}

}  // namespace
