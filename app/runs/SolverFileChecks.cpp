#include "SolverFileChecks.h"

#include "Errors.h"
#include "FileHelpers.h"
#include "Files.h"
#include "ResultsBlock.h"
#include "RevReactions.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"
#include "solver_file.h"

#include <exception>
#include <vector>

namespace kx::runs {

using namespace solverfile;

bool IsSolverSignatureLine(std::string_view line) { return TrimmedStartsUpper(line, kSolverSignature); }

namespace {

// The first line of the file; `why` says why there is none.
std::string FirstLine(const std::string& path, std::string& why) {
    why = WhyUnreadable(path);
    if (!why.empty()) return {};
    try {
        files::TextReader reader(path, SplitSolverLines);
        if (!reader.AtEnd()) return reader.ReadLine();
        why = "The file is empty: " + path + ".";
    } catch (const std::exception& e) {
        why = std::string(e.what()) + ".";
    }
    return {};
}

}  // namespace

void CheckFileReadable(const std::string& path, bool& failed) { failed = !WhyNoFirstLine(path).empty(); }

std::string WhyNoFirstLine(const std::string& path) {
    std::string why;
    FirstLine(path, why);
    return why;
}

std::string WhyNoSolverFile(const std::string& path) {
    std::string why;
    const std::string first = FirstLine(path, why);
    if (why.empty() && !IsSolverSignatureLine(first))
        why = std::string("Its first line does not begin with \"") + kSolverSignature + "\".";
    return why;
}

bool CheckSolverFileHeader(const std::string& path, bool& accepted, Notifier& notifier) {
    accepted = false;
    std::string bytes;
    try {
        bytes = files::ReadAll(path);
    } catch (const std::exception&) {
        return false;  // unreadable: no solver file, and nothing is shown
    }
    const std::vector<std::string_view> lines = SplitSolverLines(bytes);
    if (lines.empty() || !IsSolverSignatureLine(lines.front())) return false;
    // From here on the signature is there, whether the file is accepted or
    // not. The file is read as the solver reads it, and refused where the
    // solver would refuse it for anything but the run settings, which the
    // run-settings window sets: first the counts and the temperature mode.
    const auto refuse = [&](const SolverInputError& error) {
        notifier.ReportError("401#001.11 ", std::string(InputErrorOf(error).what()) + "\r\n\r\n" + path);
    };
    int species = 0, reactions = 0, mode = 0;
    if (SolverInputError error; !SolverReadCounts(SolverLineViews(lines), species, reactions, mode, error)) {
        refuse(error);
        return true;
    }
    if (mode == 2 || mode == 3) {
        notifier.Message(
            "Kinovex-II is intended for simulating constant pressure processes only. The solver file you are "
            "attempting to open contains input data for a constant volume process; the file cannot be opened.\r\n" +
                LineLabel(kTemperatureModeLine) + ": the temperature mode " + std::to_string(mode) +
                " denotes a constant volume process (0 and 1 are the constant pressure modes).\r\n\r\n" + path,
            kStyleExclamation, kMessageTitle);
        return true;
    }
    SolverInput input;
    if (SolverInputError error; !ReadSolverInput(lines, SolverSettings::Open, input, error)) {
        // Reverse-rate lines, which no record has a place for, are named as
        // such; anything else in the solver's words.
        const RevReactions rev = FindRevReactions(lines, input, error);
        if (rev.FirstLine == 0) {
            refuse(error);
            return true;
        }
        notifier.Message(
            "The reaction mechanism contains reactions where the reverse rate constants are specified explicitly "
            "(the REV type).  \r\n" + rev.List +
                "\r\nKinovex-II does not support this reaction type; the file cannot be opened.\r\nThe first "
                "reverse-rate line is " + LineLabel(rev.FirstLine) + ".\r\n\r\n" + path,
            kStyleExclamation, kMessageTitle);
        return true;
    }
    accepted = true;
    return true;
}

bool SolverFileLacksResults(const std::string& path, bool showMessage, Notifier& notifier) {
    std::string bytes;
    try {
        bytes = files::ReadAll(path);
    } catch (const std::exception&) {
        return true;
    }
    const std::vector<std::string_view> lines = SplitSolverLines(bytes);
    // Where the results stand, as every reader of results takes them. A
    // file whose input part does not read is not judged here: the full
    // check (CheckResultsComplete) says why it does not read.
    SolverInput input;
    if (SolverInputError error; !ReadSolverInput(lines, SolverSettings::Open, input, error)) return false;
    if (HoldsResults(lines, input.EndLine(), input.SpeciesCount())) return false;
    if (showMessage)
        notifier.Message(InTheFileText(path) + "\r\nresults are not found.", kStyleExclamation, kMessageTitle);
    return true;
}

void CheckResultsComplete(const std::string& path, bool& failed, std::string& message) {
    failed = true;
    const std::string notFound = InTheFileText(path) + "results are not found.";
    std::string bytes;
    try {
        bytes = files::ReadAll(path);
    } catch (const std::exception& e) {
        message = FileRefusalText(path, e.what());
        return;
    }
    const std::vector<std::string_view> lines = SplitSolverLines(bytes);
    // Why the file does not read, named by its line.
    auto refuse = [&](const std::string& reason) { message = FileRefusalText(path, reason); };
    // The input part as the solver read it for the run, as every reader of
    // results takes it: the species count that sizes the records, and the
    // end line after which the results stand.
    SolverInput input;
    SolverInputError inputError;
    if (!ReadSolverInput(lines, SolverSettings::Run, input, inputError)) {
        refuse(InputErrorOf(inputError).what());
        return;
    }
    const int species = input.SpeciesCount();
    const int title = ResultsTitleLine(lines, input.EndLine());
    if (title == 0) {
        message = notFound;
        return;
    }
    // The records as every reader of results joins them.
    ResultsRecords results;
    try {
        results = JoinResultsRecords(lines, title, species);
    } catch (const Error& e) {
        refuse(e.what());
        return;
    }
    if (!results.Found()) {
        message = notFound;
        return;
    }
    if (results.Records.size() < kLeastResultsRecords) {
        message = InTheFileText(path) + (results.Closed ? FewRecordsText(results.Records.size()) : "results are incomplete") + ".";
        return;
    }
    failed = false;
    message.clear();
}

}  // namespace kx::runs
