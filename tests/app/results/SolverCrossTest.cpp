// The kinetics formulas and the contributions on results written by the
// console solver, checked against the solver's own right-hand side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

#include "ResultsReader.h"
#include "SolverRunFixture.h"
#include "solver.h"

using kx::ResultsReader;
using kx::test::TempDir;
using kxtest::RecordingSink;

namespace {

class SolverRun : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        path = kxtest::RunSample(folder, GetParam());
        ASSERT_FALSE(path.empty()) << "the solver did not complete " << GetParam();
        reader = std::make_unique<ResultsReader>(sink, kxtest::kGasConstantCm3Atm);
        ASSERT_TRUE(reader->OPEN_Rich(path.string())) << sink.shown.at(0).text;
    }

    TempDir folder;
    std::filesystem::path path;
    RecordingSink sink;
    std::unique_ptr<ResultsReader> reader;
};

// At every stored state where no reaction is near its equilibrium (there the
// results window cuts the net rate to 0 and the solver does not), species
// production and dT/dt agree with the solver's right-hand side. The two
// compute the rate constants in different ways, so they agree to rounding of
// the gross fluxes: a species' net production may be the small difference
// of large forward and reverse rates.
TEST_P(SolverRun, ProductionAndTemperatureDerivativeAgreeWithTheSolver) {
    auto model = std::make_unique<kx::SolverModel>();
    kx::SolverInputError error;
    ASSERT_EQ(kx::SolverLoadModel(path.string(), *model, error), kx::SolverLoad::Loaded) << error.problem;
    kx::SolverUseModel(*model);
    if (model->MODE == 0)
        kx::SolverRateConstants(model->T0, model->RREAC, model->IREAC, model->NSPEC, model->NREAC, model->TH);

    const kx::ResultsTables& t = reader->Tables();
    const int ns = t.NumSpecies, nr = t.NumReactions;
    ASSERT_EQ(ns, model->NSPEC);
    const std::vector<bool> all(static_cast<std::size_t>(nr) + 1, true);
    kx::ReactionRates rates;
    int compared = 0;
    for (int row = 1; row < t.ResultRowCount; ++row) {
        std::vector<double> y(static_cast<std::size_t>(ns) + 1), f(static_cast<std::size_t>(ns) + 1);
        for (int k = 1; k <= ns; ++k) y[static_cast<std::size_t>(k) - 1] = reader->Value(row, k + 2);
        if (t.TemperatureMode == 1) y[static_cast<std::size_t>(ns)] = reader->Value(row, 1);
        int n = ns + t.TemperatureMode;
        double x = reader->Value(row, 0);
        kx::SolverRhs(n, x, y.data(), f.data(), model->RREAC, model->IREAC, model->NSPEC, model->NREAC, model->TH);

        // The same state: the solver's concentrations (and temperature). The
        // solver turns production into mass-fraction derivatives with its
        // molar masses (read in single precision): undo that with them.
        std::vector<double> state(static_cast<std::size_t>(ns) + 2, 0.0);
        std::vector<double> molarMass(static_cast<std::size_t>(ns) + 1, 0.0);
        double rho = 0;
        for (int k = 1; k <= ns; ++k) {
            state[static_cast<std::size_t>(k)] = kx::SolverCommon.concentration[k - 1];
            molarMass[static_cast<std::size_t>(k)] = kx::ThAt(model->TH, 15, k);
            rho += state[static_cast<std::size_t>(k)] * molarMass[static_cast<std::size_t>(k)];
        }
        if (t.TemperatureMode == 1) state[static_cast<std::size_t>(ns) + 1] = y[static_cast<std::size_t>(ns)];
        kx::ComputeReactionRates(state, reader->Model(), all, false, false, rates);

        bool cut = false;
        for (int i = 1; i <= nr; ++i) cut |= rates.ReactionRateTable(i, 0) == 0.0 && rates.ReactionRateTable(i, 1) != 0.0;
        if (cut) continue;
        ++compared;
        // Per species, the forward and reverse rates of the reactions that
        // list it, each counted as often as it is listed.
        const kx::KineticModel km = reader->Model();
        std::vector<double> flux(static_cast<std::size_t>(ns) + 1, 0.0);
        for (int i = 1; i <= nr; ++i) {
            const double forward = rates.ReactionRateTable(i, 1);
            const double gross = std::fabs(forward) + std::fabs(forward - rates.ReactionRateTable(i, 0));
            const int nReactants = (*km.ReactionInts)(i, 10), nProducts = (*km.ReactionInts)(i, 11);
            for (int j = 1; j <= nReactants; ++j) flux[static_cast<std::size_t>((*km.ReactionInts)(i, j))] += gross;
            for (int j = 4; j <= 3 + nProducts; ++j) flux[static_cast<std::size_t>((*km.ReactionInts)(i, j))] += gross;
        }
        double heat = 0, heatFlux = 0;
        for (int k = 1; k <= ns; ++k) {
            const std::size_t kk = static_cast<std::size_t>(k);
            const double mine = rates.SpeciesProduction(k, 0) * molarMass[kk] / rho;
            const double theirs = f[kk - 1];
            ASSERT_NEAR(mine, theirs, 1e-12 * flux[kk] * molarMass[kk] / rho) << "row " << row << " species " << t.ColumnNames[k + 2];
            heat += rates.SpeciesProduction(k, 0) * rates.Thermo.HRT[kk];
            heatFlux += flux[kk] * std::fabs(rates.Thermo.HRT[kk]);
        }
        if (t.TemperatureMode == 1) {
            // dT/dt = -T sum(production H/RT) / (c_tot mean Cp/R): the same
            // quotient of the gross heat flux is its rounding scale.
            const double theirs = f[static_cast<std::size_t>(ns)];
            const double mine = rates.SpeciesProduction(ns + 1, 0);
            const double scale = heat != 0.0 ? std::fabs(mine) * heatFlux / std::fabs(heat) : std::fabs(theirs);
            ASSERT_NEAR(mine, theirs, 1e-12 * scale) << "row " << row;
        }
    }
    EXPECT_GE(compared, 10) << "too few stored states without balanced reactions";
}

INSTANTIATE_TEST_SUITE_P(Samples, SolverRun,
                         ::testing::Values("gri30_ch4_1400K.txt", "h2_air_1000K.txt", "h2_o2_ar_isothermal.txt"),
                         [](const auto& info) { return info.param.substr(0, info.param.find('.')); });

class GriRun : public SolverRun {};

// Over the whole run the contributions of all reactions to a species add up
// to its actual change (species whose change is not dwarfed by the flux
// through them: the major ones, and OH and NO).
TEST_P(GriRun, ContributionsOfAllReactionsAddUpToTheChange) {
    const kx::ResultsTables& t = reader->Tables();
    EXPECT_GT(t.ResultRowCount, 100);
    for (const char* name : {"CH4", "O2", "H2O", "CO2", "CO", "H2", "N2", "OH", "NO"}) {
        int species = 0;
        for (int k = 1; k <= t.NumSpecies; ++k)
            if (t.ColumnNames[static_cast<std::size_t>(k) + 2] == name) species = k;
        ASSERT_GT(species, 0) << name;
        kx::ContributionTable table;
        reader->ShowReacDeRe(species, true, [&](const kx::ContributionTable& got) { table = got; });
        ASSERT_GT(table.Count(), 0) << name;
        const double sum = std::accumulate(table.Contributions.begin(), table.Contributions.end(), 0.0);
        EXPECT_NEAR(sum, table.ActualChange, 0.01 * std::fabs(table.ActualChange)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Sample, GriRun, ::testing::Values("gri30_ch4_1400K.txt"),
                         [](const auto&) { return std::string("gri30"); });

}  // namespace
