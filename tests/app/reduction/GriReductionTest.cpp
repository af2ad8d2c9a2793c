// The GRI-Mech sample reduced for methane, oxygen, carbon dioxide and the
// temperature at the default parameters, the reduced file run by the console
// solver and compared with the full mechanism.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "ComparisonFiles.h"
#include "ReductionTestSupport.h"
#include "ResultsHolder.h"
#include "SolverRunFixture.h"

using kx::test::TempDir;
using kxtest::RecordingSink;
using kxtest::RecordingView;

namespace {

// Runs the built solver on the file in its own folder; true when the run
// ended normally ("!$End" after the records).
bool RunSolver(const std::filesystem::path& file) {
    if (!kxtest::RunSolver(file)) return false;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(" !$End")) return true;
    return false;
}

// The stored time at which the temperature rises fastest, from the kinetics
// at each stored state.
double IgnitionDelay(const std::string& path) {
    RecordingSink sink;
    kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
    if (!reader.OPEN_Rich(path)) return NAN;
    const kx::ResultsTables& t = reader.Tables();
    const std::vector<bool> all(static_cast<std::size_t>(t.NumReactions) + 1, true);
    kx::ReactionRates rates;
    double fastest = -1, when = NAN;
    for (int row = 1; row < t.ResultRowCount; ++row) {
        reader.RatesAtRow(row, all, false, false, rates);
        const double dTdt = rates.SpeciesProduction(t.NumSpecies + 1, 0);
        if (dTdt > fastest) fastest = dTdt, when = reader.Value(row, 0);
    }
    return when;
}

TEST(GriReduction, ReducedMechanismRunsAndKeepsTheIgnitionDelay) {
    TempDir fullFolder, reducedFolder;
    const std::filesystem::path full = kxtest::RunSample(fullFolder, "gri30_ch4_1400K.txt");
    ASSERT_FALSE(full.empty());

    RecordingSink sink;
    kx::RedKinModule module;
    const std::filesystem::path reduced = reducedFolder.file("reduced.txt");
    const kx::RedOutcome outcome = kxtest::ReduceForMethane(full.string(), reduced.string(), sink, module);
    ASSERT_TRUE(outcome.Written);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "Reduced reaction mechanism has been created  successfully. \r\n"
                                  "The mechanism consists of\r\n" +
                                      std::to_string(outcome.SpeciesCount) + " species, \r\n" +
                                      std::to_string(outcome.ReactionCount) + " reactions.\r\nReduced solver file: " +
                                      reduced.string());
    EXPECT_LT(outcome.ReactionCount, 325);
    EXPECT_LT(outcome.SpeciesCount, 53);
    ::testing::Test::RecordProperty("species", outcome.SpeciesCount);
    ::testing::Test::RecordProperty("reactions", outcome.ReactionCount);

    ASSERT_TRUE(RunSolver(reduced));
    const double fullDelay = IgnitionDelay(full.string());
    const double reducedDelay = IgnitionDelay(reduced.string());
    EXPECT_NEAR(reducedDelay, fullDelay, 0.05 * fullDelay);
    ::testing::Test::RecordProperty("delay_change_per_mille",
                                    static_cast<int>(std::lround(1000 * (reducedDelay / fullDelay - 1))));

    // The comparison reads both runs and finds the targets in the reduced one.
    kx::ComparisonFiles files(sink);
    ASSERT_FALSE(files.OpenFiles(full.string(), reduced.string()).Failed);
    files.SpeciesAARR();
    files.ConvertToMoleFractions();
    EXPECT_EQ(files.MergedSpeciesLast(), 53);
    EXPECT_EQ(files.File(2).SpeciesCount, outcome.SpeciesCount);
    std::vector<std::string> targets;
    for (const kx::CmpMergedRow& row : files.MergedSpecies())
        if (row.Flag2 == "v") targets.push_back(row.Name);
    EXPECT_EQ(targets, (std::vector<std::string>{"Temperature", "O2", "CH4", "CO2"}));
    EXPECT_GT(files.File(2).PointCount, 100);
}

}  // namespace
