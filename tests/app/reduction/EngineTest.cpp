// The reduction engine on a small mechanism whose interval values are chosen
// by the test, so that each ranking, cut and closure step is known.
#include <gtest/gtest.h>

#include "ReductionTestSupport.h"
#include "ResultsHolder.h"
#include "SolverFileFixture.h"
#include "TempDir.h"

using kx::MessageIcon;
using kx::RedSettings;
using kx::TaggedError;
using kx::test::TempDir;
using kxtest::FixtureReaction;
using kxtest::RecordingSink;
using kxtest::RecordingView;
using kxtest::SolverFileFixture;

namespace {

// Seven species S1..S7:
//   R1 S1 => S2
//   R2 S1 + S3 => S2 + S3        (S3 a catalyst)
//   R3 S2 => S4
//   R4 S4 + M => S5 + M          (efficiencies: S6 5, S7 0.1)
//   R5 S3 => S5
//   R6 S5 (+S6) => S4            (S6 the single named partner)
// The run starts from S1 alone.
SolverFileFixture Mechanism() {
    SolverFileFixture f = SolverFileFixture::WithSpecies(7);
    f.reactions = {FixtureReaction::Of("S1=>S2", {1}, {2}),
                   FixtureReaction::Of("S1+S3=>S2+S3", {1, 3}, {2, 3}),
                   FixtureReaction::Of("S2=>S4", {2}, {4}),
                   FixtureReaction::Of("S4+M=>S5+M", {4}, {5}),
                   FixtureReaction::Of("S3=>S5", {3}, {5}),
                   FixtureReaction::Of("S5(+S6)=>S4", {5}, {4})};
    f.reactions[3].thirdBody = 2;
    f.reactions[3].partners = {6, 7};
    f.reactions[3].efficiencies = {5, 0.1};
    f.reactions[5].partners = {6};
    f.reactions[5].efficiencies = {1};
    f.species[0].initialFraction = 1;  // the run starts from S1 alone
    f.AddRecords({0, 1e-4, 2e-4, 3e-4});
    return f;
}

// The holder's mechanism comes from a real solver file; the interval values
// are the test's. Interval k runs from time k - 1 to k.
class ScriptedHolder : public kx::RedResultsSource {
public:
    struct Interval {
        std::vector<double> rates;     // reactions 1.. (missing ones 0)
        std::vector<double> heat;
        std::vector<double> averages;  // species 1.. (missing ones 1e-12)
    };

    explicit ScriptedHolder(const std::string& path)
        : real_(sink_, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4) {
        if (!real_.OPEN_Rich(path)) throw std::runtime_error("cannot read " + path);
    }

    void ReacToRed(kx::RedHandOffTables& tables) override {
        calls.push_back("ReacToRed");
        real_.ReacToRed(tables);
    }
    kx::InitialCondition red_InitialCond() const override { return real_.red_InitialCond(); }
    kx::IntervalPoints RED_ToMainParam(double usMin, double usMax) override {
        calls.push_back("RED_ToMainParam");
        current_ = static_cast<std::size_t>(usMin);
        kx::IntervalPoints p;
        p.Count = 2;
        p.Times = {0, usMin, usMax};
        return p;
    }
    void ShowReac(int num, kx::RedHandOffTables& tables) override {
        calls.push_back("ShowReac " + std::to_string(num));
        const Interval& v = intervals.at(current_);
        if (num == -2) tables.RedSetReactionRates(OneBased(v.rates, tables.RedReactionCount, 0.0));
        if (num == -3) tables.RedSetTemperatureRates(OneBased(v.heat, tables.RedReactionCount, 0.0));
    }
    void MoleFractRed(int specNum, kx::RedKinModule& module) override {
        if (failAt && *failAt == current_) throw TaggedError("Sol#123. ", "Type mismatch");
        const std::vector<double> averages = OneBased(intervals.at(current_).averages, module.RedSpeciesCount, 1e-12);
        const double a = averages.at(static_cast<std::size_t>(specNum) - 2);
        module.RedAverageSpeciesProfile(std::vector<double>{0, a, a});
    }

    std::vector<Interval> intervals;
    std::vector<std::string> calls;
    std::optional<std::size_t> failAt;  // interval index whose averages fail

private:
    static std::vector<double> OneBased(const std::vector<double>& v, int n, double fill) {
        std::vector<double> out(static_cast<std::size_t>(n) + 1, fill);
        out[0] = 0;
        for (std::size_t i = 0; i < v.size() && i < static_cast<std::size_t>(n); ++i) out[i + 1] = v[i];
        return out;
    }

    RecordingSink sink_;
    kx::SOL_RESX real_;
    std::size_t current_ = 0;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        Mechanism().Write(source());
        holder = std::make_unique<ScriptedHolder>(source());
    }
    std::string source() const { return folder.file("source.txt"); }
    std::string target() const { return folder.file("reduced.txt"); }

    kx::RedOutcome Run(const RedSettings& settings) {
        std::vector<kx::RedInterval> intervals;
        for (std::size_t k = 0; k < holder->intervals.size(); ++k)
            intervals.push_back({static_cast<double>(k), static_cast<double>(k + 1)});
        return kx::GenerateReducedMechanism(module, *holder, target(), intervals, settings, view, sink);
    }
    static std::vector<int> Kept(const std::vector<bool>& flags) {
        std::vector<int> kept;
        for (std::size_t i = 1; i < flags.size(); ++i)
            if (flags[i]) kept.push_back(static_cast<int>(i));
        return kept;
    }
    std::vector<int> KeptSpecies() const { return Kept(module.RedSpeciesKept); }
    std::vector<int> KeptReactions() const { return Kept(module.RedReactionKept); }

    TempDir folder;
    std::unique_ptr<ScriptedHolder> holder;
    kx::RedKinModule module;
    RecordingSink sink;
    RecordingView view;
};

RedSettings Targets(std::vector<kx::RedTarget> targets, double others, double temperature = -1) {
    RedSettings s;
    s.Targets = std::move(targets);
    s.OthersParameter = others;
    s.TemperatureParameter = temperature;
    return s;
}

TEST_F(EngineTest, KeptReactionBringsItsSpeciesAndNothingMoreWhenOthersAreNotFollowed) {
    // S2's change: R1 10, R2 1, R3 -0.01; a share of 0.5 keeps R1 alone.
    holder->intervals = {{{10, 1, 0.01}, {}, {}}};
    const kx::RedOutcome outcome = Run(Targets({{2, 0.5}}, 1.0));
    EXPECT_EQ(KeptReactions(), (std::vector<int>{1}));
    EXPECT_EQ(KeptSpecies(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(outcome.Written);
    EXPECT_EQ(outcome.SpeciesCount, 2);
    EXPECT_EQ(outcome.ReactionCount, 1);
}

TEST_F(EngineTest, ClosureFollowsSpeciesOfKeptReactionsWithTheOthersParameter) {
    // As above, but S1 is followed: its reactions R1 (-10) and R2 (-1) at
    // share 0.05 keep both, and R2 brings its catalyst S3.
    holder->intervals = {{{10, 1, 0.01}, {}, {}}};
    Run(Targets({{2, 0.5}}, 0.05));
    EXPECT_EQ(KeptReactions(), (std::vector<int>{1, 2}));
    EXPECT_EQ(KeptSpecies(), (std::vector<int>{1, 2, 3}));
}

TEST_F(EngineTest, CatalystIsNeverRankedForItself) {
    // With parameter 0, S3 keeps every reaction in which its amount changes:
    // R5, not the much faster R2 in which it is a catalyst.
    holder->intervals = {{{0, 100, 0, 0, 1}, {}, {}}};
    Run(Targets({{3, 0.0}}, 1.0));
    EXPECT_EQ(KeptReactions(), (std::vector<int>{5}));
    EXPECT_EQ(KeptSpecies(), (std::vector<int>{3, 5}));
}

TEST_F(EngineTest, CollidersOfAnEfficiencyListAreRankedByEfficiencyTimesAverage) {
    // Only R4 runs. S6 (efficiency 5) and S3 (not listed, efficiency 1) carry
    // the third body; S7 has the same average as S3 but efficiency 0.1.
    holder->intervals = {{{0, 0, 0, 1}, {}, {1e-12, 1e-12, 1e-6, 1e-12, 1e-12, 1e-6, 1e-6}}};
    Run(Targets({{5, 0.1}}, 0.3));
    EXPECT_EQ(KeptReactions(), (std::vector<int>{4}));
    EXPECT_EQ(KeptSpecies(), (std::vector<int>{3, 4, 5, 6}));
}

TEST_F(EngineTest, SingleNamedPartnerIsKeptWithItsReaction) {
    // A third-body flag below 0 is, as for the solver, no third body of all
    // species: the listed partner alone collides.
    for (const int flag : {0, -1}) {
        SolverFileFixture f = Mechanism();
        f.reactions[5].thirdBody = flag;
        f.Write(source());
        holder = std::make_unique<ScriptedHolder>(source());
        holder->intervals = {{{0, 0, 0, 0, 0, 1}, {}, {}}};
        Run(Targets({{4, 0.1}}, 1.0));
        EXPECT_EQ(KeptReactions(), (std::vector<int>{6})) << "flag " << flag;
        EXPECT_EQ(KeptSpecies(), (std::vector<int>{4, 5, 6})) << "flag " << flag;
    }
}

TEST_F(EngineTest, TemperatureParameterZeroKeepsEveryReactionEvenWithoutValue) {
    holder->intervals = {{{}, {0, 0, 3}, {}}};
    Run(Targets({}, 1.0, 0.0));
    EXPECT_EQ(KeptReactions(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    // Every species of a reaction slot, and S6 as R6's named partner; S7 is
    // only listed as a collider, which others at 1 do not rank.
    EXPECT_EQ(KeptSpecies(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(EngineTest, TemperatureTargetKeepsTheReactionsThatHeat) {
    holder->intervals = {{{}, {0.5, 0, -20, 0, 0, 0.01}, {}}};
    Run(Targets({}, 1.0, 0.1));
    EXPECT_EQ(KeptReactions(), (std::vector<int>{3}));
    EXPECT_EQ(KeptSpecies(), (std::vector<int>{2, 4}));
}

TEST_F(EngineTest, TargetWithoutRankingKeepsOnlyTheSpecies) {
    for (double parameter : {1.0, 1.5, -1.0}) {
        holder->intervals = {{{10, 1, 0.01}, {}, {}}};
        const kx::RedOutcome outcome = Run(Targets({{2, parameter}}, 0.3));
        EXPECT_EQ(KeptReactions(), std::vector<int>{}) << parameter;
        EXPECT_EQ(KeptSpecies(), (std::vector<int>{2})) << parameter;
        EXPECT_EQ(outcome.SpeciesCount, 1);
        EXPECT_EQ(outcome.ReactionCount, 0);
    }
}

// A mechanism the solver would refuse is not written: without reactions, or
// without a species present at the start (initial mole fractions summing to
// zero). A file already at the path stays as it was.
TEST_F(EngineTest, UnrunnableMechanismIsRefusedAndNothingIsWritten) {
    const std::string noReactions =
        "- it has no reactions: none of the target species' reactions is kept at the parameters given";
    const std::string nothingPresent =
        "- none of its species has a nonzero initial concentration (none is highlighted in the list of targets)";
    struct Case {
        const char* what;
        std::vector<double> rates;
        kx::RedTarget target;
        std::string counts;
        std::string faults;
    };
    const std::vector<Case> cases{
        {"an absent species without reactions", {10, 1, 0.01}, {2, 1.0}, "1 species, \r\n0 reactions.",
         noReactions + ";\r\n" + nothingPresent + "."},
        {"the starting species without reactions", {10, 1, 0.01}, {1, 1.0}, "1 species, \r\n0 reactions.",
         noReactions + "."},
        {"reactions among absent species", {0, 0, 1}, {2, 0.5}, "2 species, \r\n1 reactions.", nothingPresent + "."},
    };
    for (const Case& c : cases) {
        folder.write("reduced.txt", "an earlier file");
        sink.shown.clear();
        holder->intervals = {{c.rates, {}, {}}};
        const kx::RedOutcome outcome = Run(Targets({c.target}, 1.0));
        EXPECT_FALSE(outcome.Written) << c.what;
        EXPECT_EQ(kx::test::ReadBytes(target()), "an earlier file") << c.what;
        ASSERT_EQ(sink.shown.size(), 1u) << c.what;
        EXPECT_EQ(sink.shown[0].text, "The reduced reaction mechanism consists of \r\n" + c.counts +
                                          " \r\nThe solver cannot run it:\r\n" + c.faults +
                                          "\r\nThe file has not been created.")
            << c.what;
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation) << c.what;
        EXPECT_FALSE(view.barVisible);
        EXPECT_TRUE(view.buttonsEnabled);
        EXPECT_FALSE(view.busy);
    }
    // Reactions and the starting species: written.
    holder->intervals = {{{10, 1, 0.01}, {}, {}}};
    const kx::RedOutcome outcome = Run(Targets({{2, 0.5}}, 1.0));
    EXPECT_TRUE(outcome.Written);
    EXPECT_TRUE(kx::test::ReadBytes(target()).starts_with(" !$Kinovex Solver,  "));
}

TEST_F(EngineTest, TargetWhoseReactionsHaveNoValueKeepsNone) {
    holder->intervals = {{{}, {}, {}}};
    Run(Targets({{2, 0.1}}, 0.3));
    EXPECT_EQ(KeptReactions(), std::vector<int>{});
    EXPECT_EQ(KeptSpecies(), (std::vector<int>{2}));
}

TEST_F(EngineTest, UnionOverIntervalsKeepsWhatAnyIntervalNeeds) {
    // R1 carries S2's change in the first interval, R3 in the second.
    holder->intervals = {{{10, 0, 0.01}, {}, {}}, {{0.01, 0, 10}, {}, {}}};
    Run(Targets({{2, 0.5}}, 1.0));
    EXPECT_EQ(KeptReactions(), (std::vector<int>{1, 3}));
    EXPECT_EQ(KeptSpecies(), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(view.progress, (std::vector<float>{5, 10}));
    EXPECT_TRUE(view.barEverVisible);
    EXPECT_FALSE(view.barVisible);
    EXPECT_TRUE(view.buttonsEnabled);
    EXPECT_FALSE(view.busy);
    // Without the temperature as a target its values are never asked for.
    EXPECT_EQ(std::count(holder->calls.begin(), holder->calls.end(), "ShowReac -3"), 0);
    EXPECT_EQ(std::count(holder->calls.begin(), holder->calls.end(), "ShowReac -2"), 2);
}

TEST_F(EngineTest, NoIntervalKeepsNothingAndWritesNoFile) {
    const kx::RedOutcome outcome = Run(Targets({{2, 0.1}}, 0.3, 0.1));
    EXPECT_FALSE(outcome.Written);
    EXPECT_EQ(outcome.SpeciesCount, 0);
    EXPECT_FALSE(std::filesystem::exists(target()));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text,
              "The reaction mechanism consists of \r\n0 species, \r\n0 reactions. \r\nThe file has not been created.");
    EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
}

TEST_F(EngineTest, HolderFailureEndsTheRunWithoutFileOrSuccessMessage) {
    folder.write("reduced.txt", "earlier file");
    holder->intervals = {{{10, 1, 0.01}, {}, {}}, {{10, 1, 0.01}, {}, {}}};
    holder->failAt = 1;
    try {
        Run(Targets({{2, 0.5}}, 0.3));
        FAIL() << "the failure did not reach the caller";
    } catch (const TaggedError& e) {
        EXPECT_EQ(e.Tag(), "Sol#123. ");
    }
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(kx::test::ReadBytes(target()), "earlier file");
    EXPECT_FALSE(view.barVisible);
    EXPECT_TRUE(view.buttonsEnabled);
    EXPECT_FALSE(view.busy);
}

}  // namespace
