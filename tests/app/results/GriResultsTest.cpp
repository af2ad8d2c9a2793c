// The GRI sample run by the console solver: the mean properties of its final
// record against an ideal-gas mixture worked out here from the file's own
// records and polynomials, and the rate curves of a reversible reaction.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "LongRun.h"
#include "Quantities.h"
#include "RateCurves.h"
#include "ResultsReader.h"
#include "SolverRunFixture.h"

namespace {

constexpr double kGasJ = kxtest::kGasConstantJ;
constexpr double kGasCal = kxtest::kGasConstantCal;
constexpr double kRPrime = kxtest::kGasConstantCm3Atm;

kx::QuantityUnits Units(bool joule = true) { return kxtest::TestUnits(0, joule); }

std::vector<std::string> FileLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

double Number(const std::string& line, std::size_t from, std::size_t width) {
    return std::stod(line.substr(from, width));
}

// One species as the file gives it.
struct Species {
    double W = 0, Tmid = 0;
    double a[14] = {};
};

class GriResults : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new kx::test::TempDir;
        path = kxtest::RunSample(*folder, "gri30_ch4_1400K.txt");
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override {
        ASSERT_FALSE(path.empty()) << "the solver did not complete the GRI sample";
        reader = std::make_unique<kx::ResultsReader>(sink, kRPrime);
        ASSERT_TRUE(reader->OPEN_Rich(path.string()));
    }

    static inline kx::test::TempDir* folder = nullptr;
    static inline std::filesystem::path path;
    kxtest::RecordingSink sink;
    std::unique_ptr<kx::ResultsReader> reader;
};

TEST_F(GriResults, FinalRecordIsAnIdealGasMixtureOfItsSpecies) {
    const std::vector<std::string> lines = FileLines(path);
    const int ns = std::stoi(lines[9]);
    const double pressure = std::stod(lines[13]);
    ASSERT_EQ(ns, 53);

    // Thermo records follow the " THERMO" line, four lines a species:
    // coefficients in 15-character fields, the molar mass last.
    std::size_t thermo = 0;
    while (lines[thermo].find("THERMO") == std::string::npos) ++thermo;
    std::vector<Species> species(static_cast<std::size_t>(ns));
    for (int k = 0; k < ns; ++k) {
        const std::size_t first = thermo + 1 + 4 * static_cast<std::size_t>(k);
        Species& s = species[static_cast<std::size_t>(k)];
        s.Tmid = Number(lines[first], 65, 8);
        for (int c = 0; c < 15; ++c) {
            const double v = Number(lines[first + 1 + static_cast<std::size_t>(c / 5)], 15 * static_cast<std::size_t>(c % 5), 15);
            if (c < 14) s.a[c] = v; else s.W = v;
        }
    }

    // The final record: the two lines before " !$End"; 17-character fields.
    std::size_t end = 0;
    while (lines[end].find("!$End") == std::string::npos) ++end;
    const std::string& first = lines[end - 2];
    const std::string& second = lines[end - 1];
    const double T = Number(first, 24, 16);
    std::vector<double> y;
    for (int k = 0; k < ns; ++k)
        y.push_back(k < 50 ? Number(first, 41 + 17 * static_cast<std::size_t>(k), 16)
                           : Number(second, 41 + 17 * static_cast<std::size_t>(k - 50), 16));

    double S = 0;
    for (int k = 0; k < ns; ++k) S += y[static_cast<std::size_t>(k)] / species[static_cast<std::size_t>(k)].W;
    const double M = 1 / S;
    const double rho = pressure * M / (kRPrime * T);
    double hrt = 0, cpr = 0;
    for (int k = 0; k < ns; ++k) {
        const Species& s = species[static_cast<std::size_t>(k)];
        const double* b = T >= s.Tmid ? s.a : s.a + 7;
        const double x = y[static_cast<std::size_t>(k)] / s.W * M;
        cpr += x * (b[0] + T * (b[1] + T * (b[2] + T * (b[3] + T * b[4]))));
        hrt += x * (b[0] + T * (b[1] / 2 + T * (b[2] / 3 + T * (b[3] / 4 + T * b[4] / 5))) + b[5] / T);
    }

    const int last = reader->Used().UsedCount - 1;
    ASSERT_EQ(reader->Used().UsedRows[last], reader->Tables().ResultRowCount - 1);
    auto mean = [&](kx::MeanParameter m, bool joule = true) { return kx::MeanValueAt(*reader, last, m, Units(joule)); };
    EXPECT_NEAR(mean(kx::MeanParameter::Temperature), T, 1e-9 * T);
    EXPECT_NEAR(mean(kx::MeanParameter::MolarMass), M, 1e-6 * M);
    EXPECT_NEAR(mean(kx::MeanParameter::Density), rho, 1e-6 * rho);
    EXPECT_NEAR(mean(kx::MeanParameter::Enthalpy), hrt * T * kGasJ / 1000, 1e-6 * std::fabs(hrt * T * kGasJ / 1000));
    EXPECT_NEAR(mean(kx::MeanParameter::Enthalpy, false), hrt * T * kGasCal / 1000,
                1e-6 * std::fabs(hrt * T * kGasCal / 1000));
    EXPECT_NEAR(mean(kx::MeanParameter::HeatCapacity), cpr * kGasJ, 1e-6 * cpr * kGasJ);
    EXPECT_NEAR(mean(kx::MeanParameter::Concentration), pressure / (kRPrime * T), 1e-9 * pressure / (kRPrime * T));
}

TEST_F(GriResults, ForwardMinusReverseIsNetForAReversibleReaction) {
    // Reaction 38 of GRI-Mech 3.0: H + O2 <=> O + OH.
    ASSERT_NE(reader->Tables().ReactionEquations[38].find("H+O2<=>O+OH"), std::string::npos);
    const auto forward = kx::ReactionValues(*reader, kx::ReactionQuantity::Forward, 38, 0, Units());
    const auto reverse = kx::ReactionValues(*reader, kx::ReactionQuantity::Reverse, 38, 0, Units());
    const auto net = kx::ReactionValues(*reader, kx::ReactionQuantity::Net, 38, 0, Units());
    const auto heat = kx::ReactionValues(*reader, kx::ReactionQuantity::HeatJoules, 38, 0, Units());
    const auto dT = kx::ReactionValues(*reader, kx::ReactionQuantity::TemperatureDerivative, 38, 0, Units());
    int reversing = 0;
    for (std::size_t p = 1; p < forward.size(); ++p) {
        EXPECT_GE(forward[p], 0.0);
        EXPECT_LE(reverse[p], 0.0) << "the reverse rate is drawn negative";
        if (net[p] != 0.0) {
            EXPECT_NEAR(forward[p] + reverse[p], net[p], 1e-9 * forward[p]) << p;
        }
        reversing += reverse[p] < -1e-3 * forward[p];
        // The branching step takes up heat: its heat release and its part of
        // dT/dt have the opposite sign of its net rate.
        if (net[p] > 0) {
            EXPECT_LT(heat[p], 0.0) << p;
            EXPECT_LT(dT[p], 0.0) << p;
        }
    }
    EXPECT_GT(reversing, 10) << "the reaction runs backwards in part near equilibrium";
}

TEST(LongGriRun, HoldsTheRecordsAskedForOverTheWholeRun) {
    kx::test::TempDir folder;
    const std::filesystem::path path = kxtest::LongGriRun(folder, 2000);
    kxtest::RecordingSink sink;
    kx::ResultsReader reader(sink, kRPrime);
    ASSERT_TRUE(reader.OPEN_Rich(path.string()));
    const kx::ResultsTables& t = reader.Tables();
    ASSERT_EQ(t.ResultRowCount - 1, 2000);
    EXPECT_EQ(t.FirstTime, 0.0);
    EXPECT_DOUBLE_EQ(t.LastTime, 1e-2);
    // Interpolated states stay physical: the final temperature of the run.
    EXPECT_NEAR(t.ResultValues(2000, 1), 2698.4, 2.0);
}

}  // namespace
