// The reduction's results holder: interval values and averages on runs whose
// answers are known, its refusals, and a run of the engine that it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "Files.h"
#include "Format.h"
#include "ReductionSetup.h"
#include "ReductionTestSupport.h"
#include "ResultsHolder.h"
#include "SolverFileFixture.h"
#include "SolverRunFixture.h"
#include "TempDir.h"

using kx::MessageIcon;
using kx::SOL_RESX;
using kx::TaggedError;
using kx::test::TempDir;
using kxtest::RecordingSink;
using kxtest::RecordingView;
using kxtest::SolverFileFixture;

namespace {

// The known run with y2 = 0.3 + 0.01 t (linear), so its average over an
// interval is its value at the middle.
constexpr double kY2Slope = 0.01;
double Y2(double t) { return 0.3 + kY2Slope * t; }
using kxtest::CubicRunY1Integral;
const std::vector<double>& kTimes = kxtest::kCubicRunTimes;

SolverFileFixture KnownRun() { return kxtest::CubicTwoReactionRun(kY2Slope); }

class HolderTest : public ::testing::Test {
protected:
    void Load(const SolverFileFixture& f) {
        f.Write(path());
        holder = std::make_unique<SOL_RESX>(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4);
        ASSERT_TRUE(holder->OPEN_Rich(path().string()));
        holder->ReacToRed(module);
    }
    std::filesystem::path path() const { return folder.file("run.txt"); }

    TempDir folder;
    RecordingSink sink;
    std::unique_ptr<SOL_RESX> holder;
    kx::RedKinModule module;
};

TEST_F(HolderTest, ReactionValuesAreTheIntervalIntegralsOfTheRatesPerGram) {
    Load(KnownRun());
    const kx::IntervalPoints p = holder->RED_ToMainParam(1.25, 3.5);
    ASSERT_EQ(p.Count, 4);
    const double rho = holder->Tables().RowDensity[4];
    holder->ShowReac(-2, module);
    const double integral = CubicRunY1Integral(1.25, 3.5);
    EXPECT_NEAR(module.RedReactionRates[1].Value, 0.2 * integral, 1e-12);
    EXPECT_NEAR(module.RedReactionRates[2].Value, 0.05 * rho / 100 * integral, 1e-9 * rho * integral);
    EXPECT_EQ(module.RedReactionRates[2].Number, 2);
}

TEST_F(HolderTest, SpeciesAverageIsTheMeanConcentrationOverTheInterval) {
    Load(KnownRun());
    const kx::IntervalPoints p = holder->RED_ToMainParam(1.25, 3.5);
    module.RedSetIntervalTimes(p.Count, p.Times);
    module.RedSpeciesAverages.assign(5, 0.0);
    module.RedSpeciesIndex = 2;
    holder->MoleFractRed(4, module);
    const double rho = holder->Tables().RowDensity[4];
    EXPECT_NEAR(module.RedSpeciesAverages[2], Y2((1.25 + 3.5) / 2) * rho / 10, 1e-12 * rho);
    EXPECT_EQ(module.RedSpeciesAverages[1], 0.0);
}

// A source the reduction cannot work on is refused when it is opened: no
// holder stays and the set-up window is not shown. A record that does not
// read and a time earlier than the one before it are named by the reader,
// with the file and their lines; two records at the same time (a step shorter than the
// printed digits, which a run may write) leave no width to integrate the
// rates over, and the records and their lines are named.
TEST_F(HolderTest, ASourceTheReductionCannotWorkOnIsRefusedWhenItIsOpened) {
    const std::string file = path().string();
    struct Case {
        const char* what;
        std::function<void(SolverFileFixture&)> change;                     // of the run, or
        std::function<void(std::vector<std::string>&, std::size_t)> edit;  // of its lines (record 1's index)
        std::string message;
        MessageIcon icon;
    };
    // Record i stands on line 63 + i.
    const std::vector<Case> cases = {
        {"a mass fraction that is not a number",
         {}, [](auto& lines, std::size_t r) { lines[r + 3].replace(7 + 17 * 3, 16, "     not a value"); },
         "In the file '" + file + "', unexpected error.\r\nType mismatch: the mass fraction of species 2 of record 4 "
         "on line 67, \"not a value\", is no number.",
         MessageIcon::Critical},
        {"the time of the record before it", [](auto& f) { f.records[4].time = kTimes[3]; }, {},
         "In the file '" + file + "', records 4 and 5 (lines 67 and 68) have the same time, " +
             kx::Format(kTimes[3], "0.00000000E+000") +
             " s: the reduction cannot integrate the reaction rates over the run. We recommend to restart the problem "
             "with a greater number of step of data output.",
         MessageIcon::Exclamation},
        {"a time earlier than the one before it", [](auto& f) { f.records[4].time = kTimes[3] / 2; }, {},
         "In the file '" + file + "', unexpected error.\r\nInvalid procedure call or argument: the time of record 5 "
         "on line 68, " + kx::Format(kTimes[3] / 2, "0.00000000E+000") +
             " s, is earlier than that of record 4 before it, " + kx::Format(kTimes[3], "0.00000000E+000") + " s.",
         MessageIcon::Critical},
    };
    for (const Case& c : cases) {
        SolverFileFixture f = KnownRun();
        if (c.change) c.change(f);
        std::vector<std::string> lines = f.Lines();
        const std::size_t first = lines.size() - f.tail.size() - f.records.size();
        ASSERT_EQ(first + 1, 64u);
        if (c.edit) c.edit(lines, first);
        folder.write("run.txt", kxtest::JoinLines(lines));
        sink.shown.clear();
        RecordingView view;
        std::unique_ptr<SOL_RESX> opened;
        EXPECT_TRUE(kx::RedOpenSourceFile(file, opened, sink, view, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7,
                                          kxtest::kUnitFactorE4))
            << c.what;
        EXPECT_FALSE(opened) << c.what;
        EXPECT_EQ(view.shown, 0) << c.what;
        ASSERT_EQ(sink.shown.size(), 1u) << c.what;
        EXPECT_EQ(sink.shown[0].text, c.message) << c.what;
        EXPECT_EQ(sink.shown[0].icon, c.icon) << c.what;
    }
}

// A source whose results stop short of the run's final time is reduced over
// the time its results cover: the set-up window is shown with one note that
// says where they end, and the whole run it is offered is what is there.
TEST_F(HolderTest, ResultsThatStopShortAreOfferedAsFarAsTheyGoWithANote) {
    struct Case {
        const char* what;
        int droppedLines;          // record lines left out at the end
        int cutCharacters;         // characters cut off the last line left
        std::vector<std::string> tail;
        int records;               // records read
        bool closed;
    };
    const std::vector<Case> cases{{"closing line", 0, 0, {" !$End"}, 9, true},
                                  {"no closing line", 0, 0, {}, 9, false},
                                  {"cut between records", 3, 0, {}, 6, false},
                                  {"cut within a record", 2, 40, {}, 6, false},
                                  {"error report", 1, 0, {" Error"}, 8, false}};
    for (const Case& c : cases) {
        SolverFileFixture f = KnownRun();
        std::vector<std::string> lines = f.Lines();
        lines[19] = " 1.000000E+01 !Final Time";
        lines.resize(lines.size() - f.tail.size() - static_cast<std::size_t>(c.droppedLines));
        lines.back().resize(lines.back().size() - static_cast<std::size_t>(c.cutCharacters));
        lines.insert(lines.end(), c.tail.begin(), c.tail.end());
        folder.write("run.txt", kxtest::JoinLines(lines));
        sink.shown.clear();
        RecordingView view;
        EXPECT_FALSE(kx::RedOpenSourceFile(path().string(), holder, sink, view, kxtest::kAvogadroNumber,
                                           kxtest::kUnitFactorE7, kxtest::kUnitFactorE4))
            << c.what;
        ASSERT_TRUE(holder) << c.what;
        EXPECT_EQ(view.shown, 1) << c.what;
        const double last = kTimes[static_cast<std::size_t>(c.records) - 1];
        if (c.closed) {
            EXPECT_TRUE(sink.shown.empty()) << c.what;
        } else {
            ASSERT_EQ(sink.shown.size(), 1u) << c.what;
            EXPECT_EQ(sink.shown[0].text, "In the file '" + path().string() + "', results are incomplete: they end at " +
                                              kx::Format(last, "0.000000E+00") +
                                              " s of the run's final time 1.000000E+01 s. The reduction works only "
                                              "over the time they cover, 0.000000E+00 to " +
                                              kx::Format(last, "0.000000E+00") + " s.")
                << c.what;
            EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
        }
        // The run as the set-up window takes it: the times that are there.
        const kx::MainParameters p = holder->FromMain_Param();
        EXPECT_EQ(p.SMin, 0) << c.what;
        EXPECT_EQ(p.Smax, last) << c.what;
        const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
        ASSERT_EQ(all.Count - 1, c.records) << c.what;
        for (int i = 0; i < c.records; ++i)
            EXPECT_EQ(all.Times[static_cast<std::size_t>(i)], kTimes[static_cast<std::size_t>(i)]) << c.what;
        // Up to the run's final time is up to the last time there.
        const kx::IntervalPoints tail = holder->RED_ToMainParam(kTimes[2], 10);
        EXPECT_EQ(tail.UsMax, last) << c.what;
        EXPECT_EQ(tail.Times[static_cast<std::size_t>(tail.Count)], last) << c.what;
    }
}

// A holder that holds no results hands over nothing: each call fails with
// its tag instead of working on an empty selection.
TEST_F(HolderTest, AnEmptyHolderFailsEveryCall) {
    SOL_RESX empty(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4);
    EXPECT_THROW(empty.RED_ToMainParam(0, 1), TaggedError);
    EXPECT_THROW(empty.ToMainParam(0, 1), TaggedError);
    EXPECT_THROW(empty.MoleFractRed(3, module), TaggedError);
    EXPECT_THROW(empty.ShowReac(-2, module), TaggedError);
    EXPECT_TRUE(sink.shown.empty());
}

// On a run of the console solver: over an interval of the ignition, the
// reactions' values add up to the change of a species and of the
// temperature. (Close to equilibrium the kinetics leave out reactions whose
// net rate is a tiny rest of their forward rate, so the sums are compared
// while the mixture burns.)
TEST(HolderOnSolverRun, ValuesAddUpToTheChangesOverEachInterval) {
    TempDir folder;
    const std::filesystem::path run = kxtest::RunSample(folder, "h2_air_1000K.txt");
    ASSERT_FALSE(run.empty());
    RecordingSink sink;
    SOL_RESX holder(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4);
    ASSERT_TRUE(holder.OPEN_Rich(run.string()));
    kx::RedKinModule m;
    holder.ReacToRed(m);
    const kx::ResultsTables& t = holder.Tables();
    int h2o = 0;
    for (int k = 1; k <= t.NumSpecies; ++k)
        if (t.ColumnNames[static_cast<std::size_t>(k) + 2] == "H2O") h2o = k;
    ASSERT_GT(h2o, 0);

    const int rows = t.ResultRowCount - 1;
    for (int first : {rows / 4, rows / 2, 3 * rows / 4}) {
        const int last = first + 4;
        holder.RED_ToMainParam(t.ResultValues(first, 0), t.ResultValues(last, 0));
        ASSERT_EQ(holder.Tables().ResultRowCount - 1, rows);
        holder.ShowReac(-2, m);
        holder.ShowReac(-3, m);
        double species = 0, heat = 0;
        for (int r = 1; r <= m.RedReactionCount; ++r) {
            species += m.RedStoich(r, h2o) * m.RedReactionRates[static_cast<std::size_t>(r)].Value;
            heat += m.RedReactionHeat[static_cast<std::size_t>(r)].Value;
        }
        const double W = t.ThermoTable(h2o, 15);
        const double dy = (t.ResultValues(last, h2o + 2) - t.ResultValues(first, h2o + 2)) / W;
        const double dT = t.ResultValues(last, 1) - t.ResultValues(first, 1);
        ASSERT_GT(dT, 0.01) << "rows " << first << " to " << last;
        EXPECT_NEAR(species, dy, 1e-3 * std::fabs(dy)) << "rows " << first << " to " << last;
        EXPECT_NEAR(heat, dT, 1e-3 * dT) << "rows " << first << " to " << last;
    }
}

// A run whose fall-off reaction H + O2 (+M) has no high-pressure rate (its
// rate line blank), which the solver runs: the reduction ranks that
// reaction by a value of 0 and writes the reduced mechanism.
TEST(HolderOnSolverRun, AFallOffReactionWithoutItsRateIsReduced) {
    TempDir folder;
    std::vector<std::string> lines =
        kx::files::SplitLines(kx::test::ReadBytes(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt"));
    const auto equation = std::find(lines.begin(), lines.end(), " 13   H+O2(+M)<=>HO2(+M)");
    ASSERT_NE(equation, lines.end());
    *(equation + 2) = "";
    const std::string run = folder.write("h2.txt", kxtest::JoinLines(lines));
    ASSERT_TRUE(kxtest::RunSolver(run));

    RecordingSink sink;
    RecordingView view;
    std::unique_ptr<SOL_RESX> holder;
    ASSERT_FALSE(kx::RedOpenSourceFile(run, holder, sink, view, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7,
                                       kxtest::kUnitFactorE4))
        << sink.shown.at(0).text;
    const kx::MainParameters p = holder->FromMain_Param();
    std::vector<std::string> names = p.SpecArrD;
    names.resize(static_cast<std::size_t>(p.RowCntD - 3) + 1);
    const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
    const std::vector<kx::RedInterval> intervals = kx::RedSplitIntervals(all.Times, all.Count - 2, 10);
    const kx::RedSettings settings =
        kx::RedSettingsFrom("0.1", "0.3", kx::RedDefaultTargets(names, holder->red_InitialCond().InitFractBB));
    kx::RedKinModule module;
    const kx::RedOutcome out =
        kx::GenerateReducedMechanism(module, *holder, folder.file("reduced.txt"), intervals, settings, view, sink);
    for (const RecordingSink::Shown& shown : sink.shown) EXPECT_FALSE(shown.errorRoutine) << shown.text;
    EXPECT_TRUE(out.Written);
    EXPECT_TRUE(std::filesystem::exists(folder.file("reduced.txt")));
    // The values of the last interval: reaction 13's is 0.
    for (const auto* rows : {&module.RedReactionRates, &module.RedReactionHeat})
        for (const kx::RedValueRow& row : *rows) {
            if (row.Number != 13) continue;
            EXPECT_EQ(row.Value, 0.0);
        }
}

TEST(Holder, GasConstantThatCannotBeFormedFails) {
    RecordingSink sink;
    try {
        SOL_RESX holder(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, 0.0);
        FAIL() << "no failure";
    } catch (const TaggedError& e) {
        EXPECT_EQ(e.Tag(), "Sol#104. ");
    }
}

TEST(Holder, ElementCountsOfACompositionText) {
    RecordingSink sink;
    const SOL_RESX holder(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4);
    EXPECT_EQ(holder.ElemContents("C 1 H 4 O 2 ", "H"), 4);
    EXPECT_EQ(holder.ElemContents("C 1 H 4 O 2 ", "O"), 2);
    EXPECT_EQ(holder.ElemContents("C 1 H 4 ", "N"), 0);
    try {
        (void)holder.ElemContents("C 1 H 4", "H");
        FAIL() << "no failure";
    } catch (const TaggedError& e) {
        EXPECT_EQ(e.Tag(), "Sol#132. ");
    }
}

TEST(SourceAccess, PathThatCannotBeReadIsNamedInTheMessage) {
    TempDir folder;
    RecordingSink sink;
    const std::string missing = folder.file("missing.txt");
    EXPECT_TRUE(kx::RedTestPathAccess(missing, 0, sink));
    EXPECT_TRUE(kx::RedTestPathAccess(folder.path(), 0, sink));
    EXPECT_TRUE(kx::RedTestPathAccess(missing, 2, sink));
    ASSERT_EQ(sink.shown.size(), 3u);
    EXPECT_EQ(sink.shown[0].text, "The specified Path/File name '" + missing +
                                      "' cannot be accessed or is invalid.\r\nFile not found: " + missing + ".");
    EXPECT_EQ(sink.shown[1].text, "The specified Path/File name '" + folder.path() +
                                      "' cannot be accessed or is invalid.\r\nIt is a folder: " + folder.path() + ".");
    EXPECT_EQ(sink.shown[2].text,
              "File 2, the specified Path/File name cannot be accessed or is invalid.\r\nFile not found: " + missing + ".");
    EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);

    folder.write("there.txt", "text\n");
    sink.shown.clear();
    EXPECT_FALSE(kx::RedTestPathAccess(folder.file("there.txt"), 0, sink));
    EXPECT_TRUE(sink.shown.empty());
}

TEST(SourceAccess, SourceWithoutResultsLeavesNoHolderAndNoWindow) {
    TempDir folder;
    SolverFileFixture f = KnownRun();
    f.Write(folder.file("run.txt"));
    f.records.clear();
    f.resultsTitle = " ";
    f.tail.clear();
    f.Write(folder.file("input.txt"));

    RecordingSink sink;
    RecordingView view;
    std::unique_ptr<SOL_RESX> holder;
    EXPECT_FALSE(kx::RedOpenSourceFile(folder.file("run.txt"), holder, sink, view, kxtest::kAvogadroNumber,
                                       kxtest::kUnitFactorE7, kxtest::kUnitFactorE4));
    ASSERT_TRUE(holder);
    EXPECT_EQ(holder->Caption(), "Solver run.txt");
    EXPECT_EQ(view.shown, 1);

    EXPECT_TRUE(kx::RedOpenSourceFile(folder.file("input.txt"), holder, sink, view, kxtest::kAvogadroNumber,
                                      kxtest::kUnitFactorE7, kxtest::kUnitFactorE4));
    EXPECT_FALSE(holder);
    EXPECT_EQ(view.shown, 1);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_NE(sink.shown[0].text.find("results are not found"), std::string::npos);
}

}  // namespace
