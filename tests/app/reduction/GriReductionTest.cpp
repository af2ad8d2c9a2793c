// The GRI-Mech sample reduced for methane, oxygen, carbon dioxide and the
// temperature, the reduced file run by the console solver and compared with
// the full mechanism.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "ComparisonFiles.h"
#include "ReducedFileWriter.h"
#include "ReductionTestSupport.h"
#include "ResultsHolder.h"
#include "SolverRunFixture.h"

using kxtest::RecordingSink;
using kxtest::RecordingView;
using kxtest::TempFolder;

namespace {

// Runs the built solver on the file in its own folder; false when it failed.
bool RunSolver(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    std::ofstream(folder / "SolverFilePath.txt", std::ios::binary) << file.string() << "\r\n";
    const std::string command =
        "cd '" + folder.string() + "' && '" + std::string(KX_SOLVER_EXE) + "' > solver.log 2>&1";
    return std::system(command.c_str()) == 0;
}

// The stored time at which the temperature rises fastest, from the kinetics
// at each stored state.
double IgnitionDelay(const std::string& path) {
    RecordingSink sink;
    kx::SOL_RESX holder(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4);
    if (!holder.OPEN_Rich(path)) return NAN;
    const kx::ResultsTables& t = holder.Tables();
    kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm, kx::ReaderOwner::ReductionHolder);
    reader.OPEN_Rich(path);
    const std::vector<bool> all(static_cast<std::size_t>(t.NumReactions) + 1, true);
    kx::ReactionRates rates;
    double best = -1, when = NAN;
    for (int row = 1; row < t.ResultRowCount; ++row) {
        reader.RatesAtRow(row, all, false, false, rates);
        const double dTdt = rates.SpeciesProduction(t.NumSpecies + 1, 0);
        if (dTdt > best) best = dTdt, when = reader.Value(row, 0);
    }
    return when;
}

int SpeciesNumber(const kx::MainParameters& p, const std::string& name) {
    for (int k = 1; k < static_cast<int>(p.SpecArrD.size()); ++k)
        if (p.SpecArrD[static_cast<std::size_t>(k)] == name) return k;
    return 0;
}

TEST(GriReduction, ReducedMechanismRunsAndKeepsTheIgnitionDelay) {
    TempFolder fullFolder, reducedFolder;
    const std::filesystem::path full = kxtest::RunSample(fullFolder, "gri30_ch4_1400K.txt");
    ASSERT_FALSE(full.empty());

    RecordingSink sink;
    RecordingView view;
    std::unique_ptr<kx::SOL_RESX> holder;
    ASSERT_FALSE(kx::RedOpenSourceFile(full.string(), holder, sink, view, kxtest::kAvogadroNumber,
                                       kxtest::kUnitFactorE7, kxtest::kUnitFactorE4));
    const kx::MainParameters p = holder->FromMain_Param();
    const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
    const int pointCount = all.Count - 1;
    const std::vector<kx::RedInterval> intervals = kx::RedSplitIntervals(all.Times, pointCount - 1, 1);

    kx::RedSettings settings;
    settings.TemperatureParameter = 0.1;
    settings.OthersParameter = 0.3;
    for (const char* name : {"CH4", "O2", "CO2"}) settings.Targets.push_back({SpeciesNumber(p, name), 0.1});

    kx::RedKinModule module;
    const std::filesystem::path reduced = reducedFolder.File("reduced.txt");
    const kx::RedOutcome outcome =
        kx::GenerateReducedMechanism(module, *holder, reduced.string(), intervals, settings, view, sink);
    ASSERT_TRUE(outcome.Written);
    std::printf("intervals %zu species %d reactions %d\n", intervals.size(), outcome.SpeciesCount, outcome.ReactionCount);
    EXPECT_LT(outcome.ReactionCount, 325);

    ASSERT_TRUE(RunSolver(reduced));
    const double fullDelay = IgnitionDelay(full.string());
    const double reducedDelay = IgnitionDelay(reduced.string());
    std::printf("delay full %g reduced %g diff %g %%\n", fullDelay, reducedDelay, 100 * (reducedDelay / fullDelay - 1));
    EXPECT_NEAR(reducedDelay, fullDelay, 0.05 * fullDelay);
}

}  // namespace
