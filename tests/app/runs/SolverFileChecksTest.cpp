// The solver-file checks: readable, signature and refusals, results present
// and complete.
#include "SolverFileChecks.h"

#include "SolverFileText.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using kx::test::PlainReaction;
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
        int mode;  // the mode that a refusal names
    } cases[] = {
        {"0 !Constant Temperature", true, 0}, {" 1 !Temperature Equation", true, 1}, {"2 !Constant volume", false, 2},
        {"3", false, 3},                      {"4 !unknown", true, 4},
        // The mode's item as the solver reads it: up to a blank, a comma or "!".
        {" 1!Temperature Equation", true, 1}, {" 0,1", true, 0},                    {" 2!Constant volume", false, 2},
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
                  "opened.\r\nline 15: the temperature mode " + std::to_string(c.mode) +
                      " denotes a constant volume process (0 and 1 are the constant pressure modes).\r\n\r\n" + path);
        EXPECT_EQ(notifier.messages[0].style, 48);
        EXPECT_EQ(notifier.messages[0].title, "KINOVEX");
    }
}

TEST_F(SolverFileChecks, RevReactionsAreRefusedWithTheirEquations) {
    // Records on lines 50, 54 and 57; REV lines 53 and 60.
    SolverFileText file;
    file.reactions = RevReaction(1);
    for (const std::string& line : PlainReaction(2)) file.reactions.push_back(line);
    for (const std::string& line : RevReaction(3)) file.reactions.push_back(line);
    file.reactionCount = 3;
    const std::string path = write(file);
    bool accepted = true;
    EXPECT_TRUE(kx::runs::CheckSolverFileHeader(path, accepted, notifier));
    EXPECT_FALSE(accepted);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text,
              "The reaction mechanism contains reactions where the reverse rate constants are specified explicitly "
              "(the REV type).  \r\n 1    A1+B<=>C1\r\n 3    A3+B<=>C3\r\nKinovex-II does not support this reaction "
              "type; the file cannot be opened.\r\nThe first reverse-rate line is line 53.\r\n\r\n" + path);
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

// The file's lines with line n (from 1) replaced by `with`, or left out
// when there is nothing to put in its place, or repeated.
std::string Edited(const SolverFileText& file, int n, std::optional<std::string> with, bool repeat = false) {
    std::vector<std::string> lines = file.Lines();
    const auto at = lines.begin() + (n - 1);
    if (repeat) lines.insert(at, *at);
    else if (with) *at = *with;
    else lines.erase(at);
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

// The header is read in the solver's order: lines 1 to 14 before the
// counts of lines 10 and 11, then the mode of line 15. A refusal names the
// solver's line and words, and the file.
TEST_F(SolverFileChecks, AHeaderThatDoesNotReadIsReportedAndNotAccepted) {
    const SolverFileText file;
    SolverFileText shortHeader;
    shortHeader.headerLines = 12;
    struct Case {
        const char* what;
        std::string text;
        std::string error;
    } cases[] = {
        {"letters for the mode", Edited(file, 15, "ab !mode"),
         "Type mismatch: line 15: no readable integer for the temperature mode"},
        {"a blank mode", Edited(file, 15, ""), "Type mismatch: line 15: no readable integer for the temperature mode"},
        {"a header of 12 lines", shortHeader.bytes(),
         "Input past end of file: line 13: the file ends before this line (the header expected)"},
        {"line 5 left out", Edited(file, 5, std::nullopt),
         "Type mismatch: line 11: no readable integer for the reaction count"},
        {"line 3 repeated", Edited(file, 3, std::nullopt, true),
         "Type mismatch: line 10: no readable integer for the species count"},
    };
    for (const Case& c : cases) {
        notifier.errors.clear();
        const std::string path = dir.write("run.sol", c.text);
        bool accepted = true;
        EXPECT_TRUE(kx::runs::CheckSolverFileHeader(path, accepted, notifier)) << c.what;
        EXPECT_FALSE(accepted) << c.what;
        ASSERT_EQ(notifier.errors.size(), 1u) << c.what;
        EXPECT_EQ(notifier.errors[0], "401#001.11 " + c.error + "\r\n\r\n" + path) << c.what;
    }
    EXPECT_TRUE(notifier.messages.empty());
}

// Past the header the file is read as the solver reads it, but for the run
// settings (which the run-settings window sets): what the solver runs
// opens, whatever the separator lines say and whatever a line that the
// solver reads past begins with; what it refuses is refused in its words.
// The default file: THERMO on line 34, the separators 47-49 (the REACTIONS
// line last), the reaction 50-52, the end line 53.
TEST_F(SolverFileChecks, TheInputPartIsRefusedAsTheSolverRefusesIt) {
    const SolverFileText file;
    SolverFileText labelled;
    labelled.reactions = {" 1    S1+S2+M<=>S3+M", "      1   2   0   3   0   0   0   0   0   2   1   1   1   0   0   1",
                          "       0.10000000E+14 0.00000000E+00 0.10000000E+05", " rev. third bodies",
                          "             1", "          2.50"};
    const std::string noThermo = "the file has no \" THERMO\" line from line 33 on";
    struct Case {
        const char* what;
        std::string text;
        std::string error;  // "" accepted
    } cases[] = {
        {"a blank REACTIONS line", Edited(file, 49, " "), ""},
        {"other words for the REACTIONS line", Edited(file, 49, " MECHANISM  MOLES  KJOULES/MOLE"), ""},
        {"a third-body label beginning \"rev\"", labelled.bytes(), ""},
        {"a pressure of 0", Edited(file, 14, " 0 !Pressure, atm"), ""},
        {"a mole fraction that is text", Edited(file, 35, file.Lines()[34].substr(0, 74) + "abc"), ""},
        {"the THERMO line left out", Edited(file, 34, std::nullopt), "Input past end of file: line 53: " + noThermo},
        {"the THERMO line indented", Edited(file, 34, "  THERMO"), "Input past end of file: line 54: " + noThermo},
        {"the THERMO line in small letters", Edited(file, 34, " thermo"),
         "Input past end of file: line 54: " + noThermo},
        {"the THERMO line after a tab", Edited(file, 34, "\tTHERMO"), "Input past end of file: line 54: " + noThermo},
        {"reaction flags that are text", Edited(file, 51, "      x"),
         "Type mismatch: line 51: columns 7-10 (reaction flags) do not read as an integer"},
    };
    for (const Case& c : cases) {
        notifier.errors.clear();
        const std::string path = dir.write("run.sol", c.text);
        bool accepted = c.error.empty();
        EXPECT_TRUE(kx::runs::CheckSolverFileHeader(path, accepted, notifier)) << c.what;
        EXPECT_EQ(accepted, c.error.empty()) << c.what;
        if (c.error.empty()) {
            EXPECT_TRUE(notifier.errors.empty()) << c.what << ": " << notifier.errors.front();
            continue;
        }
        ASSERT_EQ(notifier.errors.size(), 1u) << c.what;
        EXPECT_EQ(notifier.errors[0], "401#001.11 " + c.error + "\r\n\r\n" + path) << c.what;
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

// Whether a file holds results is one rule for every reader: a results
// title, in any letter case, after the mechanism's end line, with its
// heading. The quick look says so exactly where the full check does; of a
// file whose input part does not read it says nothing (the full check
// says why).
TEST_F(SolverFileChecks, ResultsAreFoundByTheRuleOfEveryReader) {
    auto withResults = [](const std::vector<std::string>& after) {
        SolverFileText file;
        file.after = after;
        return file;
    };
    struct Case {
        const char* what;
        std::string text;
        bool lacks;
    } cases[] = {
        {"the solver's title", withResults(Results(3, 5)).bytes(), false},
        {"the title in capitals", withResults(Results(3, 5, " !$RESULTS  Mass Fractions")).bytes(), false},
        {"the title in small letters", withResults(Results(3, 5, " !$results")).bytes(), false},
        {"no results", SolverFileText{}.bytes(), true},
        {"a title only in the header's free text", Edited(SolverFileText{}, 2, " !$Results follow the run"), true},
        {"an error report within the heading",
         withResults({" ", " !$Results  Mass Fractions", " Error", " Kinovex error 13"}).bytes(), true},
        {"an input part that does not read", Edited(withResults(Results(3, 5)), 34, std::nullopt), false},
    };
    for (const Case& c : cases) {
        notifier.messages.clear();
        const std::string path = dir.write("run.sol", c.text);
        EXPECT_EQ(kx::runs::SolverFileLacksResults(path, false, notifier), c.lacks) << c.what;
        EXPECT_TRUE(notifier.messages.empty()) << c.what;
        EXPECT_EQ(kx::runs::SolverFileLacksResults(path, true, notifier), c.lacks) << c.what;
        bool failed = false;
        std::string message;
        kx::runs::CheckResultsComplete(path, failed, message);
        EXPECT_EQ(message.ends_with("results are not found."), c.lacks) << c.what << ": " << message;
        if (!c.lacks) {
            EXPECT_TRUE(notifier.messages.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(notifier.messages.size(), 1u) << c.what;
        EXPECT_EQ(notifier.messages[0].text, "In the file '" + path + "', \r\nresults are not found.");
        EXPECT_EQ(notifier.messages[0].style, 48);
    }
    notifier.messages.clear();
    EXPECT_TRUE(kx::runs::SolverFileLacksResults(dir.file("missing.sol"), true, notifier));
    EXPECT_TRUE(notifier.messages.empty());  // an unreadable file says nothing
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
        // Lines 57-60 the records, 61 the statistics' blank line.
        {"the closing line left out before the statistics", 3,
         withEnd(Results(3, 4), {" ", " STATISTICS", "       COMPUTATIONAL TIME =     0 SEC"}),
         "unexpected error.\r\nInvalid procedure call or argument: line 61: the closing line \" !$End\" of the results "
         "is missing here, after record 4 and before the run statistics on line 62."},
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
