// Rate curves on a run whose rates are known: S1 => S2 (k = 2) and
// S1 + S4 => S3 + S4 (k = 1) at 1000 K, all molar masses 10, fractions
// summing to 1, so the density is 10 / (R' 1000) in every record.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "Errors.h"
#include "RateCurves.h"
#include "ResultsReader.h"
#include "SolverFileFixture.h"
#include "TempDir.h"

using kx::ReactionQuantity;
using kx::test::TempDir;

namespace {

constexpr double kAvogadro = kxtest::kAvogadro;

kx::QuantityUnits Units(int concUnit = 0) { return kxtest::TestUnits(concUnit); }

class RateCurvesTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxtest::CubicTwoReactionRun(0.0).Write(folder.file("run.txt"));
        reader = std::make_unique<kx::ResultsReader>(sink, kxtest::kGasConstantCm3Atm);
        ASSERT_TRUE(reader->OPEN_Rich(folder.file("run.txt")));
        ASSERT_EQ(reader->Used().UsedCount, 10);
    }
    static double Rho() { return 10.0 / (kxtest::kGasConstantCm3Atm * 1000.0); }
    static double C(double y) { return y * Rho() / 10.0; }
    static double Y1(int point) { return kxtest::CubicRunY1(kxtest::kCubicRunTimes[point - 1]); }

    TempDir folder;
    kxtest::RecordingSink sink;
    std::unique_ptr<kx::ResultsReader> reader;
};

TEST_F(RateCurvesTest, ForwardReverseAndNetOfAReaction) {
    for (int unit : {0, 1}) {
        const double f = unit == 1 ? kAvogadro : 1.0;
        const auto forward = kx::ReactionValues(*reader, ReactionQuantity::Forward, 2, 0, Units(unit));
        const auto reverse = kx::ReactionValues(*reader, ReactionQuantity::Reverse, 2, 0, Units(unit));
        const auto net = kx::ReactionValues(*reader, ReactionQuantity::Net, 2, 0, Units(unit));
        for (int p = 1; p <= 9; ++p) {
            const double expected = f * 1.0 * C(Y1(p)) * C(0.05);
            EXPECT_NEAR(forward[p], expected, 1e-8 * expected) << p;
            EXPECT_EQ(reverse[p], 0.0) << "an irreversible reaction has no reverse rate";
            EXPECT_EQ(forward[p] + reverse[p], net[p]);
        }
    }
}

TEST_F(RateCurvesTest, ContributionsToASpeciesDerivative) {
    // Reaction 1 makes S2 and uses S1: 0.2 y1 mol/(g s) with opposite signs.
    const auto toS2 = kx::ReactionValues(*reader, ReactionQuantity::SpeciesDerivative, 1, 2, Units(1));
    const auto toS1 = kx::ReactionValues(*reader, ReactionQuantity::SpeciesDerivative, 1, 1, Units());
    const auto toS4 = kx::ReactionValues(*reader, ReactionQuantity::SpeciesDerivative, 2, 4, Units());
    const auto dS1 = kx::SpeciesDerivativeValues(*reader, 1);
    for (int p = 1; p <= 9; ++p) {
        EXPECT_NEAR(toS2[p], 0.2 * Y1(p), 1e-8 * Y1(p)) << "per gram, whatever the unit";
        EXPECT_NEAR(toS1[p], -0.2 * Y1(p), 1e-8 * Y1(p));
        EXPECT_EQ(toS4[p], 0.0) << "a catalyst";
        const double both = -(2 * C(Y1(p)) + C(Y1(p)) * C(0.05)) / Rho();
        EXPECT_NEAR(dS1[p], both, 1e-8 * std::fabs(both));
    }
    EXPECT_THROW(kx::ReactionValues(*reader, ReactionQuantity::TemperatureDerivative, 1, 0, Units()), kx::Error)
        << "the run has no energy equation";
    EXPECT_THROW(kx::ReactionValues(*reader, ReactionQuantity::Net, 3, 0, Units()), kx::Error);
}

TEST(RateCurves, Legends) {
    struct Case {
        ReactionQuantity q;
        double scale;
        bool log;
        int unit;
        const char* legend;
    };
    const Case cases[] = {
        {ReactionQuantity::Net, 1, true, 0, "R12, Log10 Net (mol/cm^3 sec)"},
        {ReactionQuantity::Net, 1, false, 0, "R12,  Net (mol/cm^3 sec)"},
        {ReactionQuantity::Forward, 1000, false, 1, "R12,  Forward x 1.00E+03 (1/cm^3 sec)"},
        {ReactionQuantity::Reverse, 1, true, 1, "R12, Log10 Reverse (1/cm^3 sec)"},
        {ReactionQuantity::HeatJoules, 1, false, 0, "R12,  Heat  (kJ/cm^3 sec)"},
        {ReactionQuantity::HeatCalories, 1, true, 0, "R12, Log10 Heat  (kcal/cm^3 sec)"},
        {ReactionQuantity::TemperatureDerivative, 1, true, 0, "R12, Log10(to T Deriv) (K/sec)"},
        {ReactionQuantity::TemperatureDerivative, 2, false, 0, "R12,  to T Deriv x 2.00E+00 (K/sec)"},
        {ReactionQuantity::SpeciesDerivative, 1, true, 0, "R12, Log10(to {OH} Deriv) (mol/g sec)"},
        {ReactionQuantity::SpeciesDerivative, 1, false, 1, "R12,  to {OH} Deriv (mol/g sec)"},
    };
    for (const Case& c : cases) EXPECT_EQ(kx::ReactionLegend(c.q, 12, "OH", c.scale, c.log, c.unit), c.legend);
    EXPECT_EQ(kx::SpeciesDerivativeLegend("OH", 1, false), "d{OH}/dt (mol/g sec)");
    EXPECT_EQ(kx::SpeciesDerivativeLegend("OH", 0.1, true), "Log10 d{OH}/dt x 1.00E-01 (mol/g sec)");
    EXPECT_EQ(kx::ReactionCurveScale(ReactionQuantity::SpeciesDerivative, -2), 2);
    EXPECT_EQ(kx::ReactionCurveScale(ReactionQuantity::Net, -2), -2);
}

}  // namespace
