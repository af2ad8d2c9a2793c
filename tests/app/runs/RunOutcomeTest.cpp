// Judging a run from what the solver left behind the mechanism, and the
// message that reports it.
#include "RunOutcome.h"

#include "Errors.h"

#include "RunFileText.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace kx;
using namespace kx::runs;
using kx::test::ResultsLine;
using kx::test::RunFileText;

namespace {

const std::vector<std::string> kResults = {" ", " !$Results  Mass Fractions", " StepN Time T H2 O2 N2",
                                           ResultsLine(true, 1, 0.0, 1000.0, {0.5, 0.5, 0.0})};
const std::vector<std::string> kStatistics = {" ", " STATISTICS", "       NUMBER OF RECORDS =       1"};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

RunOutcome scan(const std::vector<std::string>& after, const std::string& headerLine2 = " Test mechanism") {
    test::TempDir dir;
    RunFileText file;
    file.after = after;
    file.header[1] = headerLine2;
    return ScanRunOutcome(dir.write("run.txt", file.bytes()));
}

}  // namespace

TEST(RunOutcome, JudgesEachKindOfEndingFromTheLinesAfterTheMechanism) {
    struct Case {
        const char* what;
        std::vector<std::string> after;
        bool completed, error, results;
        std::string errorText;
    };
    const Case cases[] = {
        {"completed", joined({kResults, {" !$End"}, kStatistics}), true, false, true, ""},
        {"error after results", joined({kResults, {" ", " Error", "   Step size too small", "   T = 0.1E-3"}, kStatistics}),
         false, true, true, "   Step size too small\r\n   T = 0.1E-3\r\n \r\n STATISTICS\r\n       NUMBER OF RECORDS =       1\r\n"},
        {"error only", {" ", " Error", " Too many species: 301"}, false, true, false, " Too many species: 301\r\n"},
        {"nothing written", {}, false, false, false, ""},
        {"crashed after the heading", {" ", " !$Results  Mass Fractions", " StepN Ti"}, false, false, true, ""},
        {"an error line before the closing line wins", joined({kResults, {" ERROR 12", " !$End"}}), false, true, true,
         " !$End\r\n"},
        {"closing line in any letter case", {"  !$end  "}, true, false, false, ""},
        {"the closing line must be whole", joined({kResults, {" !$End of run"}}), false, false, true, ""},
        {"an error line by its first five letters", {"errorneous"}, false, true, false, ""},
    };
    for (const Case& c : cases) {
        const RunOutcome o = scan(c.after);
        EXPECT_EQ(o.completed, c.completed) << c.what;
        EXPECT_EQ(o.error, c.error) << c.what;
        EXPECT_EQ(o.results, c.results) << c.what;
        EXPECT_EQ(o.errorText, c.errorText) << c.what;
    }
}

TEST(RunOutcome, FreeTextInTheHeaderNeverDecidesTheOutcome) {
    for (const std::string& header : {std::string(" !$End"), std::string(" Error margins discussed below"),
                                      std::string(" !$RESULTS of 2004")}) {
        const RunOutcome nothing = scan({}, header);
        EXPECT_FALSE(nothing.completed || nothing.error || nothing.results) << header;
        const RunOutcome done = scan(joined({kResults, {" !$End"}}), header);
        EXPECT_TRUE(done.completed && done.results && !done.error) << header;
    }
}

TEST(RunOutcome, ErrorLinesComeAsUtf8) {
    const RunOutcome o = scan({" Error", " Temperature 20\xB0 too low"});
    EXPECT_EQ(o.errorText, " Temperature 20\xC2\xB0 too low\r\n");
}

// A file that cannot be read cannot be judged; one whose mechanism the
// solver refuses holds nothing of a run, whatever follows it: the solver
// wrote nothing (its input error says why).
TEST(RunOutcome, AFileWhoseMechanismTheSolverRefusesHoldsNoRun) {
    test::TempDir dir;
    EXPECT_THROW(ScanRunOutcome(dir.file("missing.txt")), Error);
    RunFileText file;
    file.after = joined({kResults, {" !$End"}});
    std::vector<std::string> lines = file.Lines();
    lines[static_cast<std::size_t>(file.EndLine()) - 1] = " STOP";
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    const RunOutcome o = ScanRunOutcome(dir.write("noend.txt", bytes));
    EXPECT_FALSE(o.completed || o.error || o.results);
}

TEST(RunOutcome, TheReportForEachOutcome) {
    const std::string solved = "The chemical kinetic problem has been successfully solved.";
    const std::string abnormal = " Solver has been terminated abnormally.\r\n";
    auto report = [](bool completed, bool error, bool results, const std::string& errorText) {
        RunOutcome o;
        o.completed = completed;
        o.error = error;
        o.results = results;
        o.errorText = errorText;
        return OutcomeMessageFor(o);
    };
    OutcomeMessage m = report(true, false, true, "");
    EXPECT_EQ(m.text, solved + "\r\n\r\nShow results?");
    EXPECT_EQ(m.style, 68);
    m = report(true, false, false, "");
    EXPECT_EQ(m.text, solved);
    EXPECT_EQ(m.style, 64);
    m = report(false, true, true, " Step size too small\r\n");
    EXPECT_EQ(m.text, abnormal + " Step size too small\r\n\r\n\r\nShow results?");
    EXPECT_EQ(m.style, 52);
    m = report(false, true, false, " Too many species\r\n");
    EXPECT_EQ(m.text, abnormal + " Too many species\r\n");
    EXPECT_EQ(m.style, 48);
    m = report(false, false, false, "");
    EXPECT_EQ(m.text, abnormal);
    EXPECT_EQ(m.style, 48);
}

// A solver that refused its input left the file as it was and said why on
// its error output: the report shows that reason, and only then.
TEST(RunOutcome, ARefusedInputIsReportedWithTheSolversReason) {
    const std::string said = " Input error in line 17 of /data/run.txt: the minimal allowable temperature must be "
                             "above zero, not 0.000000E+00\n";
    struct Case {
        const char* what;
        int status;
        std::vector<std::string> after;
        std::string errorOutput;
        std::string errorText;
    };
    const Case cases[] = {
        {"refused input", 1, {}, said, said.substr(0, said.size() - 1) + "\r\n"},
        {"lines of any ending, blank ones dropped", 1, {}, " first\r\n\n second", " first\r\n second\r\n"},
        {"silent refusal", 1, {}, "", ""},
        {"completed", 0, joined({kResults, {" !$End"}}), said, ""},
        {"a model error reported in the file", 2, {" ", " Error", " Overflow"}, said, " Overflow\r\n"},
        {"an error report wins over the error output", 1, {" ", " Error", " Overflow"}, said, " Overflow\r\n"},
    };
    for (const Case& c : cases) {
        RunOutcome o = scan(c.after);
        TakeSolverInputError(o, c.status, c.errorOutput);
        EXPECT_EQ(o.errorText, c.errorText) << c.what;
    }
    RunOutcome refused = scan({});
    TakeSolverInputError(refused, kSolverInputErrorStatus, said);
    const OutcomeMessage m = OutcomeMessageFor(refused);
    EXPECT_EQ(m.text, " Solver has been terminated abnormally.\r\n" + said.substr(0, said.size() - 1) + "\r\n");
    EXPECT_EQ(m.style, 48);

    // Results and a closing line that another program put into the file
    // while the solver ran are not this run's, which wrote nothing.
    const std::string changed = " Output error: the solver file /data/run.txt was changed by another program during "
                                "the run; it is left as it was and the results of this run are not written\n";
    RunOutcome foreign = scan(joined({kResults, {" !$End"}}));
    TakeSolverInputError(foreign, kSolverInputErrorStatus, changed);
    const OutcomeMessage f = OutcomeMessageFor(foreign);
    EXPECT_EQ(f.text, " Solver has been terminated abnormally.\r\n" + changed.substr(0, changed.size() - 1) + "\r\n");
    EXPECT_EQ(f.style, 48);
}

TEST(RunOutcome, ThePathFileIsReadBackWhole) {
    test::TempDir dir;
    dir.write("SolverFilePath.txt", "  /data/h2, air.txt\r\nsecond line\r\n");
    EXPECT_EQ(ReadSolverPathFile(dir.path()), "  /data/h2, air.txt");
    test::TempDir empty;
    EXPECT_THROW(ReadSolverPathFile(empty.path()), Error);
}
