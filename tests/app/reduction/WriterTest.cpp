// The reduced solver file: renumbered species and reactions, rebuilt
// third-body lines, the header with its targets line, and a file that the
// console solver reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <memory>
#include <tuple>

#include "Errors.h"
#include "ReducedFileWriter.h"
#include "ReductionTestSupport.h"
#include "ResultsHolder.h"
#include "SolverFileFixture.h"
#include "SolverRunFixture.h"
#include "TempDir.h"
#include "solver.h"

using kx::MessageIcon;
using kx::test::TempDir;
using kxtest::FixtureReaction;
using kxtest::RecordingSink;
using kxtest::SolverFileFixture;

namespace {

// Species A..E; D is dropped, and so is reaction 2.
//   1 A + B => C
//   2 D => E
//   3 C + M => A + M        efficiencies B 1, D 2, E 0.333, C 1.5
//   4 A + M => B + M        efficiency D 3 only
//   5 B => C                fall-off line (Troe, 4 parameters) without low-pressure line
//   6 C (+M) => E (+M)      plain third body with a low-pressure line
//   7 E (+B) => A           B the single named partner
SolverFileFixture Source() {
    SolverFileFixture f = SolverFileFixture::WithSpecies(5);
    const char* names[] = {"A", "B", "C", "D", "E"};
    for (int k = 0; k < 5; ++k) f.species[static_cast<std::size_t>(k)].name = names[k];
    f.species[0].initialFraction = 0.5;
    f.reactions = {FixtureReaction::Of("A+B=>C", {1, 2}, {3}),
                   FixtureReaction::Of("D=>E", {4}, {5}),
                   FixtureReaction::Of("C+M=>A+M", {3}, {1}),
                   FixtureReaction::Of("A+M=>B+M", {1}, {2}),
                   FixtureReaction::Of("B=>C", {2}, {3}),
                   FixtureReaction::Of("C(+M)=>E(+M)", {3}, {5}),
                   FixtureReaction::Of("E(+B)=>A", {5}, {1})};
    for (FixtureReaction& r : f.reactions) r.rate = {1e13, 0.5, 1000};
    f.reactions[2].thirdBody = 2;
    f.reactions[2].partners = {2, 4, 5, 3};
    f.reactions[2].efficiencies = {1, 2, 0.333, 1.5};
    f.reactions[3].thirdBody = 2;
    f.reactions[3].partners = {4};
    f.reactions[3].efficiencies = {3};
    f.reactions[4].falloffKind = 1;
    f.reactions[4].falloff = {0.5, 100, 2000, 5000};
    f.reactions[5].thirdBody = 1;
    f.reactions[5].lowPressure = 1;
    f.reactions[5].low = {1e16, -1, 500};
    f.reactions[6].partners = {2};
    f.reactions[6].efficiencies = {1};
    f.AddRecords({0, 1e-4, 2e-4, 3e-4});
    return f;
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "line without CR LF: " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class WriterTest : public ::testing::Test {
protected:
    // The source's mechanism in the module, with the kept flags and targets
    // of a run: species A, B, C, E and reactions 1, 3-7; targets the
    // temperature (0.1), C (0.1) and E (0.2).
    void Prepare(const SolverFileFixture& f) {
        f.Write(source());
        kx::SOL_RESX holder(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4);
        ASSERT_TRUE(holder.OPEN_Rich(source()));
        holder.ReacToRed(module);
        module.RedSpeciesKept = {false, true, true, true, false, true};
        module.RedReactionKept = {false, true, false, true, true, true, true, true};
        module.RedKeptSpeciesCount = 4;
        module.RedKeptReactionCount = 6;
        module.RedTempTarget = true;
        module.RedTargetCount = 2;
        module.RedTargetSpecies = {0, 3, 5};
        module.RedSourceFile = source();
        module.RedTargetFile = target();
        settings.TemperatureParameter = 0.1;
        settings.Targets = {{3, 0.1}, {5, 0.2}};
        settings.OthersParameter = 0.3;
    }
    std::string source() const { return folder.file("source.txt"); }
    std::string target() const { return folder.file("reduced.txt"); }

    TempDir folder;
    RecordingSink sink;
    kx::RedKinModule module;
    kx::RedSettings settings;
};

TEST_F(WriterTest, HeaderNamesTheSourceTheCountsAndTheTargets) {
    Prepare(Source());
    ASSERT_TRUE(kx::WriteReducedSolverFile(module, settings, sink));
    EXPECT_TRUE(sink.shown.empty());
    const std::vector<std::string> in = Source().Lines();
    const std::vector<std::string> out = ReadLines(target());
    ASSERT_GT(out.size(), 34u);
    EXPECT_TRUE(out[0].starts_with(" !$Kinovex Solver,  ")) << out[0];
    EXPECT_GT(out[0].size(), 30u);
    EXPECT_EQ(out[1], " ");
    EXPECT_EQ(out[3], " ");
    EXPECT_EQ(out[4], " Source solver file: " + source());
    EXPECT_EQ(out[9], " 4 !Species");
    EXPECT_EQ(out[10], " 6 !Reactions");
    EXPECT_EQ(out[11], " 3 -1 3 4 !Targets T 1.000E-01, C 1.000E-01, E 2.000E-01, Others 3.000E-01");
    for (int n : {6, 7, 8, 9, 13, 14, 24, 31, 32, 34}) EXPECT_EQ(out[n - 1], in[n - 1]) << "line " << n;
    EXPECT_EQ(out.back(), " End");
}

// The header is copied up to the THERMO line where the solver finds it:
// on line 33, or on 34 after a comment line 33 beginning "thermo".
TEST_F(WriterTest, TheHeaderEndsAtTheThermoLineWhereTheSolverFindsIt) {
    for (const bool onLine33 : {true, false}) {
        Prepare(Source());
        std::vector<std::string> lines = Source().Lines();
        if (onLine33) lines.erase(lines.begin() + 32);
        else lines[32] = "thermo data of the species";
        folder.write("source.txt", kxtest::JoinLines(lines));
        ASSERT_TRUE(kx::WriteReducedSolverFile(module, settings, sink)) << (sink.shown.empty() ? "" : sink.shown[0].text);
        const std::vector<std::string> out = ReadLines(target());
        const std::size_t thermo = onLine33 ? 32 : 33;
        EXPECT_EQ(out[thermo], " THERMO") << onLine33;
        EXPECT_TRUE(out[thermo + 1].starts_with(" 1    A ")) << out[thermo + 1];
        if (!onLine33) EXPECT_EQ(out[32], "thermo data of the species");
        auto model = std::make_unique<kx::SolverModel>();
        kx::SolverInputError error;
        EXPECT_EQ(kx::SolverLoadModel(target(), *model, error), kx::SolverLoad::Loaded)
            << onLine33 << ": line " << error.line << ", " << error.problem;
        EXPECT_EQ(model->NSPEC, 4);
        EXPECT_EQ(model->NREAC, 6);
    }
}

TEST_F(WriterTest, KeptSpeciesAreRenumberedWithTheirBlocks) {
    Prepare(Source());
    ASSERT_TRUE(kx::WriteReducedSolverFile(module, settings, sink));
    const std::vector<std::string> in = Source().Lines();
    const std::vector<std::string> out = ReadLines(target());
    // E (source species 5, lines 51-54) becomes species 4 (lines 47-50).
    EXPECT_EQ(out[46], " 4    " + in[50].substr(6));
    EXPECT_TRUE(out[46].starts_with(" 4    E ")) << out[46];
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(out[46 + static_cast<std::size_t>(j)], in[50 + static_cast<std::size_t>(j)]);
    EXPECT_TRUE(out[42].starts_with(" 3    C ")) << out[42];
    // The three lines between species and reactions follow the last block.
    for (int j = 0; j < 3; ++j) EXPECT_EQ(out[50 + static_cast<std::size_t>(j)], in[54 + static_cast<std::size_t>(j)]);
}

TEST_F(WriterTest, ReactionsAreRenumberedAndTheirCollidersRebuilt) {
    Prepare(Source());
    ASSERT_TRUE(kx::WriteReducedSolverFile(module, settings, sink));
    const std::vector<std::string> in = Source().Lines();
    const std::vector<std::string> out = ReadLines(target());
    // The source line `offset` lines after the equation line of reaction r.
    auto source = [&](int r, int offset) {
        const std::string head = " " + std::to_string(r) + "    ";
        for (std::size_t n = 57; n < in.size(); ++n)
            if (in[n].starts_with(head)) return in[n + static_cast<std::size_t>(offset)];
        return std::string("reaction not found");
    };
    const std::string b6 = "      ";
    const std::vector<std::string> expected{
        " 1    A+B=>C",
        b6 + "1   2   0   3   0   0   0   0   0   2   1   0   0   0   0   1   ",
        source(1, 2),
        " 2    C+M=>A+M",
        b6 + "3   0   0   1   0   0   0   0   0   1   1   2   3   0   0   1   ",
        source(3, 2),
        b6 + "B       E       C       ",
        b6 + "2       4       3       0       0       0       0       0       0       0       ",
        b6 + "1.      0.333   1.5     0.      0.      0.      0.      0.      0.      0.      ",
        " 3    A+M=>B+M",
        b6 + "1   0   0   2   0   0   0   0   0   1   1   1   0   0   0   1   ",
        source(4, 2),
        " 4    B=>C",
        b6 + "2   0   0   3   0   0   0   0   0   1   1   0   0   0   1   1   ",
        source(5, 2),
        source(5, 3),
        " 5    C(+M)=>E(+M)",
        b6 + "3   0   0   4   0   0   0   0   0   1   1   1   0   1   0   1   ",
        source(6, 2),
        source(6, 3),
        " 6    E(+B)=>A",
        b6 + "4   0   0   1   0   0   0   0   0   1   1   0   1   0   0   1   ",
        source(7, 2),
        b6 + "B       ",
        b6 + "2       0       0       0       0       0       0       0       0       0       ",
        b6 + "1.      0.      0.      0.      0.      0.      0.      0.      0.      0.      ",
        " End",
    };
    EXPECT_EQ(std::vector<std::string>(out.begin() + 53, out.end()), expected);
    EXPECT_NE(source(5, 3).find("5.00000000E-01"), std::string::npos);  // the fall-off line of 4
    EXPECT_NE(source(6, 3).find("1.00000000E+16"), std::string::npos);  // the low-pressure line of 5
}

TEST_F(WriterTest, ReducedFileIsReadByTheSolver) {
    Prepare(Source());
    ASSERT_TRUE(kx::WriteReducedSolverFile(module, settings, sink));
    auto model = std::make_unique<kx::SolverModel>();
    kx::SolverInputError error;
    ASSERT_EQ(kx::SolverLoadModel(target(), *model, error), kx::SolverLoad::Loaded)
        << "line " << error.line << ": " << error.problem;
    EXPECT_EQ(model->NSPEC, 4);
    EXPECT_EQ(model->NREAC, 6);
    EXPECT_EQ(std::string(model->SPNAME[3], 1), "E");
    // Reaction 2 (source 3): colliders B, E, C with their efficiencies.
    EXPECT_EQ(kx::IreacAt(model->IREAC, 13, 2), 3);
    EXPECT_EQ(kx::IreacAt(model->IREAC, 17, 2), 2);
    EXPECT_EQ(kx::IreacAt(model->IREAC, 18, 2), 4);
    EXPECT_EQ(kx::IreacAt(model->IREAC, 19, 2), 3);
    EXPECT_DOUBLE_EQ(kx::RreacAt(model->RREAC, 12, 2), 1.0);
    EXPECT_EQ(kx::RreacAt(model->RREAC, 13, 2), 0.333);
    EXPECT_DOUBLE_EQ(kx::RreacAt(model->RREAC, 14, 2), 1.5);
    // Reaction 4 (source 5): the fall-off parameters, without a low-pressure line.
    EXPECT_DOUBLE_EQ(kx::RreacAt(model->RREAC, 7, 4), 0.5);
    EXPECT_DOUBLE_EQ(kx::RreacAt(model->RREAC, 10, 4), 5000);
    // Reaction 5 (source 6): the low-pressure parameters.
    EXPECT_DOUBLE_EQ(kx::RreacAt(model->RREAC, 4, 5), 1e16);
    EXPECT_DOUBLE_EQ(kx::RreacAt(model->RREAC, 3, 6), 1000);
}

// The source is read as the solver reads it: its lines split where the
// solver splits them (a lone CR stays within its line, and is copied so),
// the end line in any case and blanks, the results after it, whatever free
// text of the header looks like; a source without its end line is refused
// with the solver's line and words.
TEST_F(WriterTest, TheSourceIsReadAsTheSolverReadsIt) {
    SolverFileFixture f = Source();
    std::vector<std::string> lines = f.Lines();
    const std::size_t end = lines.size() - f.tail.size() - f.records.size() - 4;
    ASSERT_EQ(lines[end], " END");
    lines[end] = "   end  ";
    lines[2] = " !$Results of the first try";
    lines[6] = " first\rsecond";
    Prepare(f);
    folder.write("source.txt", kxtest::JoinLines(lines));
    EXPECT_TRUE(kx::WriteReducedSolverFile(module, settings, sink));
    EXPECT_TRUE(sink.shown.empty());
    const std::string written = kx::test::ReadBytes(target());
    std::size_t line7 = 0;
    for (int n = 1; n < 7; ++n) line7 = written.find("\r\n", line7) + 2;
    EXPECT_EQ(written.substr(line7, 15), " first\rsecond\r\n");

    lines[end] = " STOP";
    folder.write("source.txt", kxtest::JoinLines(lines));
    std::filesystem::remove(target());
    try {
        kx::WriteReducedSolverFile(module, settings, sink);
        ADD_FAILURE() << "a source without its end line was taken";
    } catch (const kx::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid procedure call or argument: line " + std::to_string(end + 1) +
                                             ": the end line \"END\" must follow the 7 reaction records of the count "
                                             "on line 11 here");
    }
    EXPECT_FALSE(std::filesystem::exists(target()));
}

// A kept reaction that would not read back in the solver stops the writer
// before anything is written: a low-pressure reaction whose only third body
// was a dropped listed partner (which the solver refuses).
TEST_F(WriterTest, ReactionTheSolverWouldMisreadIsRefused) {
    struct Case {
        const char* what;
        void (*change)(SolverFileFixture&);
        std::string message;
    };
    const std::vector<Case> cases{
        {"a low-pressure reaction losing its third body",
         [](SolverFileFixture& f) {
             f.reactions[3].thirdBody = -1;
             f.reactions[3].lowPressure = 1;
             f.reactions[3].low = {1e16, -1, 500};
         },
         "Reaction 4 of the source solver file (A+M=>B+M) cannot be written so that the solver reads it: it has a "
         "low-pressure limit but keeps no third body. The reduced solver file cannot be created."},
    };
    for (const Case& c : cases) {
        SolverFileFixture f = Source();
        c.change(f);
        Prepare(f);
        folder.write("reduced.txt", "earlier");
        sink.shown.clear();
        EXPECT_FALSE(kx::WriteReducedSolverFile(module, settings, sink)) << c.what;
        EXPECT_EQ(kx::test::ReadBytes(target()), "earlier") << c.what;
        ASSERT_EQ(sink.shown.size(), 1u) << c.what;
        EXPECT_EQ(sink.shown[0].text, c.message);
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
    }

    // The solver's own rule: a low-pressure reaction needs a third body.
    SolverFileFixture f = Source();
    cases[0].change(f);
    f.reactions[3].partners.clear();
    f.reactions[3].efficiencies.clear();
    f.Write(folder.file("no-third-body.txt"));
    auto model = std::make_unique<kx::SolverModel>();
    kx::SolverInputError error;
    EXPECT_NE(kx::SolverLoadModel(folder.file("no-third-body.txt"), *model, error), kx::SolverLoad::Loaded);
    EXPECT_NE(error.problem.find("third body"), std::string::npos) << error.problem;
}

// Run settings copied from the source that the solver refuses (its reading,
// or the start of a run) stop the writer before anything is written, the
// source's line and its text named.
TEST_F(WriterTest, RunSettingsTheSolverRefusesAreNotWritten) {
    const struct {
        int line;
        const char* text;
        const char* problem;
    } cases[] = {
        {20, " -1.0E-01 !Final Time", "the final time -0.100000E+00 must be above the initial time 0.000000E+00"},
        {16, " 1.0E+05 !Initial Temperature",
         "the initial temperature 0.100000E+06 is outside the allowable temperatures 0.250000E+03 - 0.500000E+04"},
        {17, " 0 !Minimal Allowable Temperature", "the minimal allowable temperature must be above zero, not 0.000000E+00"},
        {22, " 0 !Maximum Number of Steps", "the maximum number of steps must be at least 1, not 0"},
        {23, " 1.0E-16 !Relative Tolerance", "the relative tolerance must be above 0.100000E-14, not 0.100000E-15"},
        {24, " 0 !Absolute Tolerance", "the absolute tolerance must be above zero, not 0.000000E+00"},
        {27, " many !R!Maximum Number of lines in output", "no readable integer for the maximum number of output lines"},
        {28, " 1.5 !Delta N", "no readable integer for the output step (Delta N)"},
        {32, " -82.06 !R in units of pressure and concentration", "the gas constant must be above zero, not -0.820600E+02"},
    };
    for (const auto& c : cases) {
        SolverFileFixture f = Source();
        Prepare(f);
        std::vector<std::string> lines = f.Lines();
        lines[static_cast<std::size_t>(c.line) - 1] = c.text;
        folder.write("source.txt", kxtest::JoinLines(lines));
        folder.write("reduced.txt", "earlier");
        sink.shown.clear();
        EXPECT_FALSE(kx::WriteReducedSolverFile(module, settings, sink)) << c.text;
        EXPECT_EQ(kx::test::ReadBytes(target()), "earlier") << c.text;
        ASSERT_EQ(sink.shown.size(), 1u) << c.text;
        EXPECT_EQ(sink.shown[0].text, "The run settings of the source solver file cannot be used: the solver refuses "
                                      "line " + std::to_string(c.line) + " of the source solver file, \"" +
                                          std::string(c.text).substr(1) + "\": " + c.problem +
                                          ". The reduced solver file has not been created.");
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
    }
}

TEST_F(WriterTest, MissingSourceIsAFailureOfTheCaller) {
    Prepare(Source());
    module.RedSourceFile = folder.file("gone.txt");
    EXPECT_THROW(kx::WriteReducedSolverFile(module, settings, sink), kx::Error);
    EXPECT_FALSE(std::filesystem::exists(target()));
}

// The hydrogen sample, its collision efficiencies given with more digits
// than two decimals and in the other forms the solver reads, run by the
// solver and reduced keeping everything: the solver reads the same
// mechanism from both files, value for value.
TEST(ReducedHydrogen, KeepingEverythingGivesTheSolverTheSameMechanism) {
    TempDir folder;
    std::vector<std::string> lines;
    {
        std::ifstream in(std::filesystem::path(KX_SAMPLES_DIR) / "h2_air_1000K.txt", std::ios::binary);
        for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
    }
    // The efficiency lines of reactions 5 (H2+M), 13 (H+O2(+M)) and 20
    // (H2O2(+M)): decimals beyond two, a value below 0.005, an exponent, a
    // field without a point (two implied decimals: 0.64), blanks inside.
    const std::vector<std::pair<std::string, std::string>> efficiencies{
        {"      2.5     12.     0.75    0.75    ", "      2.375   12.125  0.375   0.625   "},
        {"      2.      0.78    11.     ", "      2.0E0   0.004   1.1D+1  "},
        {"      2.5     12.     0.64    0.64    ", "      2.49999912.0000164      0. 6 4  "},
    };
    std::size_t from = 0;
    for (const auto& [was, now] : efficiencies) {
        const auto at = std::find_if(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(),
                                     [&](const std::string& l) { return l.starts_with(was); });
        ASSERT_NE(at, lines.end()) << was;
        at->replace(0, now.size(), now);
        from = static_cast<std::size_t>(at - lines.begin()) + 1;
    }
    const std::filesystem::path source = folder.file("h2.txt");
    folder.write("h2.txt", kxtest::JoinLines(lines));
    ASSERT_TRUE(kxtest::RunSolver(source)) << kx::test::ReadBytes(folder.file("solver.log"));

    // Every species a target that keeps every reaction it takes part in.
    RecordingSink sink;
    kxtest::RecordingView view;
    std::unique_ptr<kx::SOL_RESX> holder;
    ASSERT_FALSE(kx::RedOpenSourceFile(source.string(), holder, sink, view, kxtest::kAvogadroNumber,
                                       kxtest::kUnitFactorE7, kxtest::kUnitFactorE4));
    const kx::MainParameters p = holder->FromMain_Param();
    const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
    const std::vector<kx::RedInterval> intervals = kx::RedSplitIntervals(all.Times, all.Count - 2, 1);
    kx::RedSettings settings;
    settings.TemperatureParameter = 0;
    settings.OthersParameter = 0;
    for (int k = 1; k <= p.RowCntD - 3; ++k) settings.Targets.push_back({k, 0.0});
    kx::RedKinModule module;
    const std::string reduced = folder.file("reduced.txt");
    const kx::RedOutcome outcome =
        kx::GenerateReducedMechanism(module, *holder, reduced, intervals, settings, view, sink);
    ASSERT_TRUE(outcome.Written);
    ASSERT_EQ(outcome.SpeciesCount, 11);
    ASSERT_EQ(outcome.ReactionCount, 25);

    auto full = std::make_unique<kx::SolverModel>(), cut = std::make_unique<kx::SolverModel>();
    kx::SolverInputError error;
    ASSERT_EQ(kx::SolverLoadModel(source.string(), *full, error), kx::SolverLoad::Loaded) << error.problem;
    ASSERT_EQ(kx::SolverLoadModel(reduced, *cut, error), kx::SolverLoad::Loaded) << error.problem;
    ASSERT_EQ(cut->NSPEC, full->NSPEC);
    ASSERT_EQ(cut->NREAC, full->NREAC);
    // The values as the solver holds them, named where they differ.
    const auto text = [](double v) {
        char b[32];
        return std::string(b, std::to_chars(b, b + sizeof b, v).ptr);
    };
    std::string differences;
    for (int r = 1; r <= full->NREAC; ++r) {
        for (int slot = 1; slot <= kx::kRreacSlots; ++slot)
            if (const double a = kx::RreacAt(full->RREAC, slot, r), b = kx::RreacAt(cut->RREAC, slot, r); a != b)
                differences += "reaction " + std::to_string(r) + " RREAC " + std::to_string(slot) + ": " + text(a) +
                               " became " + text(b) + "\n";
        for (int slot = 1; slot <= kx::kIreacSlots; ++slot)
            if (const int a = kx::IreacAt(full->IREAC, slot, r), b = kx::IreacAt(cut->IREAC, slot, r); a != b)
                differences += "reaction " + std::to_string(r) + " IREAC " + std::to_string(slot) + ": " +
                               std::to_string(a) + " became " + std::to_string(b) + "\n";
    }
    EXPECT_EQ(differences, "");
    EXPECT_EQ(kx::RreacAt(full->RREAC, 12, 5), 2.375);   // as typed, not 2.38
    EXPECT_EQ(kx::RreacAt(full->RREAC, 13, 13), 0.004);  // not 0
    EXPECT_EQ(kx::RreacAt(full->RREAC, 14, 20), 0.64);   // "64": two implied decimals
    // The species' records and the run settings come along unchanged.
    const auto count = static_cast<std::size_t>(full->NSPEC);
    EXPECT_EQ(std::memcmp(full->TH, cut->TH, sizeof(double) * kx::kThSlots * count), 0);
    EXPECT_EQ(std::memcmp(full->SPNAME, cut->SPNAME, sizeof(full->SPNAME[0]) * count), 0);
    EXPECT_EQ(std::memcmp(full->Y, cut->Y, sizeof(full->Y)), 0);
    EXPECT_EQ(std::tie(full->P, full->T0, full->TMIN, full->TMAX, full->X0, full->XEND, full->H0, full->RTOL, full->ATOL,
                       full->RE, full->RC, full->MODE, full->NMAX, full->NOUT),
              std::tie(cut->P, cut->T0, cut->TMIN, cut->TMAX, cut->X0, cut->XEND, cut->H0, cut->RTOL, cut->ATOL, cut->RE,
                       cut->RC, cut->MODE, cut->NMAX, cut->NOUT));
}

TEST(ReducedFileTexts, TargetsLineListsNumbersThenNamesAndParameters) {
    EXPECT_EQ(kx::TargetsLine({{-1, "T", 0.1}, {2, "H2", 0.1}, {7, "O2", 0.1}}, 0.3),
              " 3 -1 2 7 !Targets T 1.000E-01, H2 1.000E-01, O2 1.000E-01, Others 3.000E-01");
    EXPECT_EQ(kx::TargetsLine({{4, "CH4", 1}}, 0), " 1 4 !Targets CH4 1.000E+00, Others 0.000E+00");
    // The parameters the reduction used, not rounded to others.
    EXPECT_EQ(kx::TargetsLine({{4, "CH4", 0.12345}}, 0.05125), " 1 4 !Targets CH4 1.2345E-01, Others 5.125E-02");
}

}  // namespace
