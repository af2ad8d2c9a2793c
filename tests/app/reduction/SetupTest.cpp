// The rules of the reduction set-up: the targets table, the checks of the
// entries, the settings they give, and the checks of the reduced file's path.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "Files.h"
#include "ReductionSetup.h"
#include "TempDir.h"

using kx::RedEntry;
using kx::RedTargetRow;
using kx::test::TempDir;

namespace {

std::vector<RedTargetRow> Targets(const std::vector<std::string>& parameters) {
    std::vector<RedTargetRow> rows(1);
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        std::string name = "S";
        name += std::to_string(k + 1);
        rows.push_back({name, false, parameters[k]});
    }
    return rows;
}

TEST(ReductionSetup, SpeciesWithANonzeroInitialFractionStartAsTargets) {
    const std::vector<RedTargetRow> rows =
        kx::RedDefaultTargets({"", "H2", "O2", "N2", "OH"}, {false, true, true, false, false});
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].Name, "H2");
    EXPECT_EQ(rows[1].Parameter, "0.1");
    EXPECT_TRUE(rows[2].InitialNonzero);
    EXPECT_EQ(rows[3].Parameter, "");
    EXPECT_FALSE(rows[4].InitialNonzero);
}

TEST(ReductionSetup, SpeciesParametersMustBeBlankOrFromZeroToOne) {
    struct Case {
        std::vector<std::string> parameters;
        int refusedRow;
    };
    const std::vector<Case> cases{
        {{"0", "1", " 0.5 ", "", "   "}, 0},  // both ends, blanks around, blank and blanks only
        {{"0.1", "1.0001", "x"}, 2},          // the first wrong row is named
        {{"-0.1"}, 1},
        {{"0,5"}, 1},
        {{"1e-3", ".5"}, 0},
    };
    for (const Case& c : cases) {
        const kx::RedRefusal r = kx::RedCheckSpeciesParameters(Targets(c.parameters));
        EXPECT_EQ(r.Row, c.refusedRow) << c.parameters[0];
        EXPECT_EQ(r.Refused(), c.refusedRow != 0);
    }
    const kx::RedRefusal r = kx::RedCheckSpeciesParameters(Targets({"", "2"}));
    EXPECT_EQ(r.Entry, RedEntry::Species);
    EXPECT_EQ(r.Message,
              "The 'S2' parameter is incorrect. If you want to use this species as target, then enter a number on the "
              "interval (0, 1). If his species is not a target, enter blank space.");
}

TEST(ReductionSetup, ParameterBoxesAreCheckedOthersBlankFirstThenTemperatureThenOthers) {
    const std::string others = "Non target parameter, please enter a number on the interval (0, 1).";
    const std::string temperature =
        "Temperature parameter is incorrect. If temperature is a target, enter a number on the interval (0, 1). "
        "If temperature is not a target, enter blank space.";
    struct Case {
        const char* temperature;
        const char* others;
        RedEntry refused;
    };
    const std::vector<Case> cases{
        {"0.1", "0.3", RedEntry::None},   {"", "0", RedEntry::None},           {" 1 ", "1", RedEntry::None},
        {"abc", "  ", RedEntry::Others},  {"abc", "2", RedEntry::Temperature}, {"0.1", "1.5", RedEntry::Others},
        {"-1", "0.3", RedEntry::Temperature},
    };
    for (const Case& c : cases) {
        const kx::RedRefusal r = kx::RedCheckParameterBoxes(c.temperature, c.others);
        EXPECT_EQ(r.Entry, c.refused) << c.temperature << " | " << c.others;
        if (r.Entry == RedEntry::Others) {
            EXPECT_EQ(r.Message, others);
        } else if (r.Entry == RedEntry::Temperature) {
            EXPECT_EQ(r.Message, temperature);
        }
    }
}

TEST(ReductionSetup, TheTemperatureOrOneSpeciesMakesATarget) {
    EXPECT_FALSE(kx::RedCheckTargetCount("0.1", Targets({"", ""})).Refused());
    EXPECT_FALSE(kx::RedCheckTargetCount("", Targets({"", "0"})).Refused());
    const kx::RedRefusal r = kx::RedCheckTargetCount("  ", Targets({"  ", ""}));
    EXPECT_EQ(r.Entry, RedEntry::Targets);
    EXPECT_EQ(r.Message,
              "The number of targets is zero. For targets (temperature and/or species), enter parameters on the "
              "interval (0,1).");
}

TEST(ReductionSetup, AveragedStepsAreRoundedHalvesToEvenWithinTheRun) {
    struct Case {
        const char* text;
        int steps;  // 0: refused
    };
    // A run of 6 usable time points: 1 to 5 steps can be averaged.
    const std::vector<Case> cases{{"1", 1},   {" 5 ", 5}, {"2.5", 2}, {"3.5", 4}, {"4.5", 4},
                                  {"0.4", 0}, {"5.1", 0}, {"", 0},    {"two", 0}, {"-1", 0}};
    for (const Case& c : cases) {
        int steps = -7;
        const kx::RedRefusal r = kx::RedCheckAveragedSteps(c.text, 6, steps);
        EXPECT_EQ(r.Refused(), c.steps == 0) << c.text;
        if (r.Refused()) {
            EXPECT_EQ(r.Message, "The number of averaged steps, please enter a positive number on the interval [1,5].");
        } else {
            EXPECT_EQ(steps, c.steps) << c.text;
        }
    }
}

TEST(ReductionSetup, SettingsTakeTheTrimmedEntriesInRowOrder) {
    const kx::RedSettings s = kx::RedSettingsFrom(" 0 ", "0.3", Targets({"", " 0.2", "  ", "1"}));
    EXPECT_EQ(s.TemperatureParameter, 0);
    EXPECT_EQ(s.OthersParameter, 0.3);
    ASSERT_EQ(s.Targets.size(), 2u);
    EXPECT_EQ(s.Targets[0].Species, 2);
    EXPECT_EQ(s.Targets[0].Parameter, 0.2);
    EXPECT_EQ(s.Targets[1].Species, 4);
    EXPECT_EQ(s.Targets[1].Parameter, 1);
    EXPECT_EQ(kx::RedSettingsFrom("", "1", Targets({"0.1"})).TemperatureParameter, -1);
}

TEST(ReductionSetup, AnotherSpellingOfTheSourceIsTheSameFile) {
    TempDir dir;
    const std::string source = dir.write("run/gri.txt", "source");
    std::filesystem::create_directories(dir.file("other"));
    std::filesystem::create_symlink(source, dir.file("other/link.txt"));
    std::filesystem::create_hard_link(source, dir.file("other/hard.txt"));
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.file("run"));

    const std::vector<std::string> same{
        source,
        dir.file("run/./gri.txt"),
        dir.file("other/../run/gri.txt"),
        dir.file("other/link.txt"),
        dir.file("other/hard.txt"),
        "gri.txt",                       // relative to the working folder
        "  " + source + " ",             // blanks around
        dir.file("run/GRI.txt"),         // letter case
    };
    for (const std::string& reduced : same) EXPECT_TRUE(kx::RedSameFile(source, reduced)) << reduced;
    for (const std::string& reduced : {dir.file("run/gri2.txt"), dir.file("other/gri.txt"), std::string("  ")})
        EXPECT_FALSE(kx::RedSameFile(source, reduced)) << reduced;

    std::filesystem::current_path(cwd);
    EXPECT_EQ(kx::test::ReadBytes(source), "source");
}

TEST(ReductionSetup, ExtensionsOfProgramFilesAreRefused) {
    for (const char* path : {"/a/b.exe", "/a/b.PG", "/a/b.Pdf", "b.dll", "b.pdb"}) EXPECT_FALSE(kx::RedExtensionAllowed(path)) << path;
    for (const char* path : {"/a/b.txt", "/a/b", "/a/b.pgx", "/a.pg/b.sol"}) EXPECT_TRUE(kx::RedExtensionAllowed(path)) << path;
}

TEST(ReductionSetup, TheWriteTestLeavesExistingFilesAndRemovesWhatItMade) {
    TempDir dir;
    const std::string existing = dir.write("reduced.txt", "keep me\r\n");
    EXPECT_TRUE(kx::RedCanWriteFile(existing));
    EXPECT_EQ(kx::test::ReadBytes(existing), "keep me\r\n");

    const std::string fresh = dir.file("new.txt");
    EXPECT_TRUE(kx::RedCanWriteFile(" " + fresh + " "));
    EXPECT_FALSE(std::filesystem::exists(fresh));
    // Nothing is left behind in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);

    kx::files::SetReadOnly(existing, true);
    EXPECT_FALSE(kx::RedCanWriteFile(existing));
    kx::files::SetReadOnly(existing, false);
    EXPECT_EQ(kx::test::ReadBytes(existing), "keep me\r\n");

    for (const std::string& bad : {std::string(), dir.path(), dir.file("missing/reduced.txt"), dir.path() + "/"})
        EXPECT_FALSE(kx::RedCanWriteFile(bad)) << bad;
}

// A path the reduced file cannot be written at is refused with why, in
// the words of the file layer; a program's extension with the one typed.
TEST(ReductionSetup, RefusedPathsSayWhy) {
    TempDir dir;
    const std::string readOnly = dir.write("read-only.txt", "keep me");
    kx::files::SetReadOnly(readOnly, true);
    const std::vector<std::pair<std::string, std::string>> cases{
        {"  ", "No file name is given."},
        {" " + dir.file("missing/r.txt") + " ", "Path not found: " + dir.file("missing/r.txt") + "."},
        {dir.path(), "It is a folder: " + dir.path() + "."},
        {readOnly, "Permission denied: " + readOnly + "."},
        {dir.file("fine.txt"), ""},
    };
    for (const auto& [path, reason] : cases) EXPECT_EQ(kx::RedWriteRefusal(path), reason) << path;
    kx::files::SetReadOnly(readOnly, false);

    EXPECT_EQ(kx::RedExtensionRefusal(" /a/b.Pdf "), "A solver file is not written with the extension '.Pdf': the "
                                                     "extensions exe, pdb, dll, pdf and pg are kept for other files.");
    EXPECT_EQ(kx::RedExtensionRefusal("/a.pg/b.sol"), "");
}

TEST(ReductionSetup, OnlyAnExistingFileThatIsNoSolverFileIsAskedAbout) {
    TempDir dir;
    struct Case {
        std::string name;
        std::string bytes;
        bool asked;
    };
    const std::vector<Case> cases{
        {"report.txt", "Results of the methane runs\r\n !$Kinovex Solver\r\n", true},
        {"empty.txt", "", true},
        {"one-line.txt", "no line end", true},
        {"signature-late.txt", "x !$KINOVEX SOLVER\r\n", true},
        {"reduced.txt", " !$Kinovex Solver,  Dec 11 2026, 02:00:00\r\n \r\n", false},
        {"full.txt", "!$KINOVEX SOLVER\r\n Hydrogen\r\n", false},
        {"lf.txt", "  !$kinovex solver\n", false},
    };
    for (const Case& c : cases) {
        const std::string path = dir.write(c.name, c.bytes);
        EXPECT_EQ(kx::RedReplacesOtherFile(path), c.asked) << c.name;
        EXPECT_EQ(kx::RedReplacesOtherFile("  " + path + " "), c.asked) << c.name << " with blanks around";
        EXPECT_EQ(kx::test::ReadBytes(path), c.bytes) << c.name;
    }
    // A link counts as the file it names.
    std::filesystem::create_symlink(dir.file("report.txt"), dir.file("to-report.txt"));
    std::filesystem::create_symlink(dir.file("reduced.txt"), dir.file("to-reduced.txt"));
    EXPECT_TRUE(kx::RedReplacesOtherFile(dir.file("to-report.txt")));
    EXPECT_FALSE(kx::RedReplacesOtherFile(dir.file("to-reduced.txt")));
    // Nothing there, or no file to replace: nothing to ask.
    for (const std::string& none : {dir.file("new.txt"), dir.path(), std::string(), dir.file("missing/r.txt")})
        EXPECT_FALSE(kx::RedReplacesOtherFile(none)) << none;
}

TEST(ReductionSetup, TheWriteTestFollowsLinksAsTheWriterDoes) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directories(dir.file("links"));
    fs::create_directories(dir.file("data"));
    // A link to a file not made yet: the writer makes it, so the test passes
    // and leaves the link as it was.
    fs::create_symlink("../data/reduced.txt", dir.file("links/new.txt"));
    EXPECT_TRUE(kx::RedCanWriteFile(dir.file("links/new.txt")));
    EXPECT_TRUE(fs::is_symlink(dir.file("links/new.txt")));
    EXPECT_FALSE(fs::exists(dir.file("data/reduced.txt")));
    // The file a link names decides, not the link's folder.
    const std::string target = dir.write("data/old.txt", "keep me");
    fs::create_symlink(target, dir.file("links/old.txt"));
    EXPECT_TRUE(kx::RedCanWriteFile(dir.file("links/old.txt")));
    kx::files::SetReadOnly(target, true);
    EXPECT_FALSE(kx::RedCanWriteFile(dir.file("links/old.txt")));
    kx::files::SetReadOnly(target, false);
    EXPECT_EQ(kx::test::ReadBytes(target), "keep me");
    fs::create_symlink("loop.txt", dir.file("links/loop.txt"));
    EXPECT_FALSE(kx::RedCanWriteFile(dir.file("links/loop.txt")));
}

}  // namespace
