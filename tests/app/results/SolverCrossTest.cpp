// The kinetics formulas and the contributions on results written by the
// console solver, checked against the solver's own right-hand side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

#include "Files.h"
#include "ResultsReader.h"
#include "SolverRunFixture.h"
#include "solver.h"

using kx::ResultsReader;
using kx::test::TempDir;
using kxtest::RecordingSink;

namespace {

// A run of a sample as it stands, or with the rate line of one reaction
// blank (its A, n and E 0), which the solver runs.
struct SampleRun {
    SampleRun(const char* file) : sample(file) {}
    SampleRun(const char* file, const char* equation) : sample(file), withoutRateOf(equation) {}
    std::string sample;
    std::string withoutRateOf;  // the reaction's equation line; empty: the sample as it stands
};

std::string RunName(const SampleRun& run) {
    std::string name = run.sample.substr(0, run.sample.find('.'));
    if (!run.withoutRateOf.empty()) name += "_with_a_reaction_without_its_rate";
    return name;
}

class SolverRun : public ::testing::TestWithParam<SampleRun> {
protected:
    void SetUp() override {
        const SampleRun& run = GetParam();
        if (run.withoutRateOf.empty()) {
            path = kxtest::RunSample(folder, run.sample);
        } else {
            std::vector<std::string> lines =
                kx::files::SplitLines(kx::test::ReadBytes(std::string(KX_SAMPLES_DIR) + "/" + run.sample));
            const auto equation = std::find(lines.begin(), lines.end(), run.withoutRateOf);
            ASSERT_NE(equation, lines.end()) << run.withoutRateOf;
            *(equation + 2) = "";
            path = folder.write(run.sample, kxtest::JoinLines(lines));
            if (!kxtest::RunSolver(path)) path.clear();
        }
        ASSERT_FALSE(path.empty()) << "the solver did not complete " << RunName(run);
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

// The hydrogen run with the fall-off reaction H + O2 (+M) without its
// high-pressure rate: the solver runs it, the reaction adding nothing.
const SampleRun kWithoutFallOffRate{"h2_air_1000K.txt", " 13   H+O2(+M)<=>HO2(+M)"};

INSTANTIATE_TEST_SUITE_P(Samples, SolverRun,
                         ::testing::Values(SampleRun("gri30_ch4_1400K.txt"), SampleRun("h2_air_1000K.txt"),
                                           SampleRun("h2_o2_ar_isothermal.txt"), kWithoutFallOffRate),
                         [](const auto& info) { return RunName(info.param); });

class RunWithoutARate : public SolverRun {};

// The reaction without its rate contributes 0 to the integrals the
// reduction ranks reactions by, and to the changes the results window
// lists; the others integrate as before.
TEST_P(RunWithoutARate, ContributesNothingToTheIntegrals) {
    const kx::ResultsTables& t = reader->Tables();
    ASSERT_EQ(t.ReactionReals(13, 1), 0.0);
    ASSERT_EQ(t.ReactionInts(13, 14), 1);  // a fall-off reaction
    std::vector<int> all;
    for (int r = 1; r <= t.NumReactions; ++r) all.push_back(r);
    for (bool heat : {false, true}) {
        const std::vector<double> integrals = reader->IntervalIntegrals(all, heat);
        EXPECT_EQ(integrals[12], 0.0) << "heat " << heat;
        int nonzero = 0;
        for (double v : integrals) nonzero += v != 0.0;
        EXPECT_GT(nonzero, t.NumReactions / 2) << "heat " << heat;
    }
    int ho2 = 0;
    for (int k = 1; k <= t.NumSpecies; ++k)
        if (t.ColumnNames[static_cast<std::size_t>(k) + 2] == "HO2") ho2 = k;
    ASSERT_GT(ho2, 0);
    kx::ContributionTable table;
    reader->ShowReacDeRe(ho2, true, [&](const kx::ContributionTable& got) { table = got; });
    const auto listed = std::find(table.Numbers.begin(), table.Numbers.end(), 13);
    ASSERT_NE(listed, table.Numbers.end());
    EXPECT_EQ(table.Contributions[static_cast<std::size_t>(listed - table.Numbers.begin())], 0.0);
}

INSTANTIATE_TEST_SUITE_P(Sample, RunWithoutARate, ::testing::Values(kWithoutFallOffRate),
                         [](const auto& info) { return RunName(info.param); });

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

INSTANTIATE_TEST_SUITE_P(Sample, GriRun, ::testing::Values(SampleRun("gri30_ch4_1400K.txt")),
                         [](const auto&) { return std::string("gri30"); });

}  // namespace
