// The solver-file checks: readable, signature and refusals, results present
// and complete.
#include "SolverFileChecks.h"

#include "SolverFileText.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kx::test::Results;
using kx::test::RevReaction;
using kx::test::SolverFileText;

namespace {

struct Shown {
    std::string text;
    int style;
    std::string title;
};

class RecordingNotifier : public kx::Notifier {
public:
    std::vector<Shown> messages;
    std::vector<std::string> errors;
    void Message(const std::string& text, int style, const std::string& title) override {
        messages.push_back({text, style, title});
    }
    void ReportError(std::string_view tag, std::string_view description) override {
        errors.push_back(std::string(tag) + std::string(description));
    }
};

class SolverFileChecks : public ::testing::Test {
protected:
    std::string write(const SolverFileText& file, const std::string& name = "run.sol") {
        return dir.write(name, file.bytes());
    }
    kx::test::TempDir dir;
    RecordingNotifier notifier;
};

TEST_F(SolverFileChecks, ReadableNeedsAFirstLine) {
    bool failed = false;
    kx::runs::CheckFileReadable(dir.write("one.txt", "x"), failed);
    EXPECT_FALSE(failed);
    kx::runs::CheckFileReadable(dir.write("blank.txt", "\r\n"), failed);
    EXPECT_FALSE(failed);
    kx::runs::CheckFileReadable(dir.write("empty.txt", ""), failed);
    EXPECT_TRUE(failed);
    kx::runs::CheckFileReadable(dir.file("missing.txt"), failed);
    EXPECT_TRUE(failed);
    // And why not, naming the file.
    EXPECT_EQ(kx::runs::WhyNoFirstLine(dir.file("empty.txt")), "The file is empty: " + dir.file("empty.txt") + ".");
    EXPECT_EQ(kx::runs::WhyNoFirstLine(dir.file("missing.txt")), "File not found: " + dir.file("missing.txt") + ".");
    EXPECT_EQ(kx::runs::WhyNoFirstLine(dir.path()), "It is a folder: " + dir.path() + ".");
    EXPECT_EQ(kx::runs::WhyNoFirstLine(dir.file("blank.txt")), "");
    EXPECT_EQ(kx::runs::WhyNoSolverFile(dir.file("one.txt")), "Its first line does not begin with \"!$KINOVEX SOLVER\".");
    EXPECT_EQ(kx::runs::WhyNoSolverFile(dir.write("sol.txt", "  !$Kinovex Solver x\r\n")), "");
}

TEST_F(SolverFileChecks, SignatureIsTheFirstSixteenCharactersAfterTrimmingInAnyCase) {
    struct Case {
        const char* line;
        bool signature;
    } cases[] = {
        {"!$KINOVEX SOLVER", true},
        {"   !$kinovex solver, reduced copy", true},
        {" !$Kinovex Solver,  Dec 9 2026", true},
        {"!$KINOVEX SOLVE", false},
        {"# !$KINOVEX SOLVER", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SolverFileText file;
        file.signature = c.line;
        bool accepted = true;
        EXPECT_EQ(kx::runs::CheckSolverFileHeader(write(file), accepted, notifier), c.signature) << c.line;
        EXPECT_EQ(accepted, c.signature) << c.line;
    }
    bool accepted = true;
    EXPECT_FALSE(kx::runs::CheckSolverFileHeader(dir.write("empty.sol", ""), accepted, notifier));
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(notifier.errors.empty());
}

TEST_F(SolverFileChecks, ConstantVolumeModesAreRefusedWithThePath) {
    struct Case {
        const char* line15;
        bool accepted;
    } cases[] = {
        {"0 !Constant Temperature", true}, {" 1 !Temperature Equation", true}, {"2 !Constant volume", false},
        {"3", false},                      {"4 !unknown", true},
        // The mode's item as the solver reads it: up to a blank, a comma or "!".
        {" 1!Temperature Equation", true}, {" 0,1", true},                    {" 2!Constant volume", false},
    };
    for (const Case& c : cases) {
        notifier.messages.clear();
        SolverFileText file;
        file.temperatureMode = c.line15;
        const std::string path = write(file);
        bool accepted = !c.accepted;
        EXPECT_TRUE(kx::runs::CheckSolverFileHeader(path, accepted, notifier));
        EXPECT_EQ(accepted, c.accepted) << c.line15;
        if (c.accepted) {
            EXPECT_TRUE(notifier.messages.empty()) << c.line15;
            continue;
        }
        ASSERT_EQ(notifier.messages.size(), 1u) << c.line15;
        EXPECT_EQ(notifier.messages[0].text,
                  "Kinovex-II is intended for simulating constant pressure processes only. The solver file you are "
                  "attempting to open contains input data for a constant volume process; the file cannot be "
                  "opened.\r\n\r\n" + path);
        EXPECT_EQ(notifier.messages[0].style, 48);
        EXPECT_EQ(notifier.messages[0].title, "KINOVEX");
    }
}

TEST_F(SolverFileChecks, RevReactionsAreRefusedWithTheirEquations) {
    SolverFileText file;
    file.reactions = RevReaction(1);
    const std::vector<std::string> plain = {" 2    H+O2<=>OH+O", "      1   2", "       0.1E+01"};
    file.reactions.insert(file.reactions.end(), plain.begin(), plain.end());
    for (const std::string& line : RevReaction(3)) file.reactions.push_back(line);
    const std::string path = write(file);
    bool accepted = true;
    EXPECT_TRUE(kx::runs::CheckSolverFileHeader(path, accepted, notifier));
    EXPECT_FALSE(accepted);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text,
              "The reaction mechanism contains reactions where the reverse rate constants are specified explicitly "
              "(the REV type).  \r\n 1    A1+B<=>C1\r\n 3    A3+B<=>C3\r\nKinovex-II does not support this reaction "
              "type; the file cannot be opened.\r\n\r\n" + path);
    EXPECT_EQ(notifier.messages[0].style, 48);
}

TEST_F(SolverFileChecks, ConstantVolumeWithRevReactionsShowsOnlyTheConstantVolumeMessage) {
    SolverFileText file;
    file.temperatureMode = "2 !Constant volume";
    file.reactions = RevReaction(1);
    bool accepted = true;
    kx::runs::CheckSolverFileHeader(write(file), accepted, notifier);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text.rfind("Kinovex-II is intended", 0), 0u);
}

TEST_F(SolverFileChecks, AHeaderThatDoesNotReadIsReportedAndNotAccepted) {
    struct Case {
        SolverFileText file;
        std::string error;
    };
    SolverFileText letters;
    letters.temperatureMode = "ab !mode";
    SolverFileText empty15;
    empty15.temperatureMode = "";
    SolverFileText shortHeader;
    shortHeader.headerLines = 12;
    const Case cases[] = {
        {letters, "401#001.11 Type mismatch: line 15: no readable integer for the temperature mode"},
        {empty15, "401#001.11 Type mismatch: line 15: no readable integer for the temperature mode"},
        {shortHeader, "401#001.11 Input past end of file: " + dir.file("run.sol") + " ends after line 12"},
    };
    for (const Case& c : cases) {
        notifier.errors.clear();
        bool accepted = true;
        EXPECT_TRUE(kx::runs::CheckSolverFileHeader(write(c.file), accepted, notifier));
        EXPECT_FALSE(accepted);
        ASSERT_EQ(notifier.errors.size(), 1u);
        EXPECT_EQ(notifier.errors[0], c.error);
    }
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(SolverFileChecks, TheBundledSamplesAreAcceptedSolverFiles) {
    for (const char* name : {"gri30_ch4_1400K.txt", "h2_air_1000K.txt", "h2_o2_ar_isothermal.txt"}) {
        bool accepted = false;
        EXPECT_TRUE(kx::runs::CheckSolverFileHeader(std::string(KX_SAMPLES_DIR) + "/" + name, accepted, notifier));
        EXPECT_TRUE(accepted) << name;
    }
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(notifier.errors.empty());
}

TEST_F(SolverFileChecks, ResultsHeadingIsFoundOnlyInItsOwnLetterCase) {
    SolverFileText withResults;
    withResults.after = Results(3, 5);
    EXPECT_FALSE(kx::runs::SolverFileLacksResults(write(withResults), true, notifier));

    SolverFileText capitals;
    capitals.after = Results(3, 5, " !$RESULTS  Mass Fractions");
    const std::string path = write(capitals, "caps.sol");
    EXPECT_TRUE(kx::runs::SolverFileLacksResults(path, false, notifier));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(kx::runs::SolverFileLacksResults(path, true, notifier));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "In the file '" + path + "', \r\nresults are not found.");
    EXPECT_EQ(notifier.messages[0].style, 48);

    EXPECT_TRUE(kx::runs::SolverFileLacksResults(dir.file("missing.sol"), true, notifier));
    EXPECT_EQ(notifier.messages.size(), 1u);  // an unreadable file says nothing
}

// Records are joined as every reader of results joins them: the check
// passes what the readers read, says "incomplete" only of results without
// their closing line, and names the line of a record that does not read.
TEST_F(SolverFileChecks, ResultsAreCompleteFromThreeRecordsJoinedAsTheReadersJoinThem) {
    const std::vector<std::string> errorReport = {"", " Error", " Kinovex error 11", " Step size too small"};
    auto withEnd = [](std::vector<std::string> lines, std::vector<std::string> end) {
        lines.insert(lines.end(), end.begin(), end.end());
        return lines;
    };
    // Record 2 of 51 species (lines 252-253, after 204 lines of thermodynamic
    // records) without its second line.
    std::vector<std::string> lineMissing = withEnd(Results(51, 3), {" !$End"});
    lineMissing.erase(lineMissing.begin() + 7);
    std::vector<std::string> shortened = withEnd(Results(3, 4), {" !$End"});
    shortened[4].pop_back();  // line 58, record 2
    struct Case {
        const char* what;
        int species;
        std::vector<std::string> after;
        std::string outcome;  // "" complete, else the end of the message
    } cases[] = {
        {"50 species, 7 one-line records", 50, withEnd(Results(50, 7), {" !$End", " stats 1"}), ""},
        {"51 species, 3 two-line records", 51, withEnd(Results(51, 3), {" !$End"}), ""},
        {"101 species, 2 three-line records", 101, withEnd(Results(101, 2), {" !$End"}),
         "the results hold only 2 records; at least 3 are needed."},
        {"a closing line after the heading", 3, withEnd(Results(3, 0), {" !$End", " ", " STATISTICS"}),
         "the results hold no records."},
        {"100 species, 3 records without a closing line", 100, Results(100, 3), ""},
        {"100 species, 2 records without a closing line", 100, Results(100, 2), "results are incomplete."},
        {"error after 3 records", 3, withEnd(Results(3, 3), errorReport), ""},
        {"error right after the heading record", 3, withEnd(Results(3, 0), errorReport), "results are incomplete."},
        {"blank lines between records are passed over", 3,
         withEnd(Results(3, 3), {" ", "", " !$End"}), ""},
        {"end line inside the heading record", 60, withEnd(Results(3, 0), {" !$End"}), "results are not found."},
        {"error inside the heading record", 3,
         {" ", " !$Results  Mass Fractions", " ERROR 12"}, "results are not found."},
        {"heading in capitals", 3, Results(3, 4, " !$RESULTS"), ""},
        {"no results", 3, {}, "results are not found."},
        {"heading as the last line", 3, {" ", " !$Results"}, "results are incomplete."},
        {"a continuation line missing", 51, lineMissing,
         "unexpected error.\r\nInvalid procedure call or argument: line 253, line 2 of 2 of record 2 of the results, "
         "is 890 characters long where the solver writes 57."},
        {"a record line shortened", 3, shortened,
         "unexpected error.\r\nInvalid procedure call or argument: line 58, line 1 of 1 of record 2 of the results, "
         "is 90 characters long where the solver writes 91."},
    };
    for (const Case& c : cases) {
        SolverFileText file;
        file.species = c.species;
        file.after = c.after;
        const std::string path = write(file);
        bool failed = false;
        std::string message = "left over";
        kx::runs::CheckResultsComplete(path, failed, message);
        if (c.outcome.empty()) {
            EXPECT_FALSE(failed) << c.what << ": " << message;
            EXPECT_EQ(message, "") << c.what;
        } else {
            EXPECT_TRUE(failed) << c.what;
            EXPECT_EQ(message, "In the file '" + path + "', " + c.outcome) << c.what;
        }
    }
}

// A file that does not read says why, naming the line.
TEST_F(SolverFileChecks, ResultsOfAFileThatDoesNotReadSayWhy) {
    bool failed = false;
    std::string message;
    const std::string missing = dir.file("missing.sol");
    kx::runs::CheckResultsComplete(missing, failed, message);
    EXPECT_TRUE(failed);
    EXPECT_EQ(message, "In the file '" + missing + "', unexpected error.\r\nFile not found: " + missing + ".");

    const std::string good = SolverFileText{}.bytes();
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    auto doubledCarriageReturns = [&good] {
        std::string text;
        for (char c : good) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return text;  // every CR LF now CR CR LF
    };
    struct Case {
        const char* what;
        std::string text;
        const char* reason;
    } cases[] = {
        {"a count that is no number", replaced(" 3 !Species", " many !Species"),
         "Type mismatch: line 10: no readable integer for the species count."},
        {"a count beyond any file", replaced(" 3 !Species", " 1000000000 !Species"),
         "Subscript out of range: line 10: the species count 1000000000 is above the limit of 300 species."},
        {"no species", replaced(" 3 !Species", " 0 !Species"),
         "Subscript out of range: line 10: the species count must be at least 1."},
        {"a file cut in its header", good.substr(0, good.find(" 3 !Species")),
         "Input past end of file: line 10: the file ends before this line (species count expected)."},
        // Line 35, the first thermo record, ends in the mole fraction's field.
        {"lines ending in CR CR LF", doubledCarriageReturns(),
         "Type mismatch: line 35: columns 75-84 (initial mole fraction) do not read as a number (the line holds a "
         "carriage return, CR, that ends no line: a line ends in LF or CR LF)."},
    };
    for (const Case& c : cases) {
        const std::string path = dir.write("bad.sol", c.text);
        kx::runs::CheckResultsComplete(path, failed, message);
        EXPECT_TRUE(failed) << c.what;
        EXPECT_EQ(message, "In the file '" + path + "', unexpected error.\r\n" + c.reason) << c.what;
    }
    // The count is read as the solver reads it: its line's first item.
    SolverFileText counted;
    counted.after = Results(3, 4);
    std::string text = counted.bytes();
    text.replace(text.find(" 3 !Species"), 11, " 3 Species");
    kx::runs::CheckResultsComplete(dir.write("counted.sol", text), failed, message);
    EXPECT_FALSE(failed) << message;
}

}  // namespace
