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
#include <optional>
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
    std::optional<files::TextReader> reader;
    std::string first;
    try {
        reader.emplace(path, SplitSolverLines);
        first = reader->ReadLine();
    } catch (const std::exception&) {
        return false;  // unreadable or empty: no solver file, and nothing is shown
    }
    if (!IsSolverSignatureLine(first)) return false;
    try {
        std::string line;
        for (int n = 2; n <= kTemperatureModeLine; ++n) line = reader->ReadLine();
        // The mode as the solver reads it.
        int mode = 0;
        if (SolverInputError error; !SolverReadHeaderInt(line, kTemperatureModeLine, "temperature mode", mode, error))
            throw InputErrorOf(error);
        if (mode == 2 || mode == 3) {
            notifier.Message(
                "Kinovex-II is intended for simulating constant pressure processes only. The solver file you are "
                "attempting to open contains input data for a constant volume process; the file cannot be opened.\r\n"
                "\r\n" + path,
                kStyleExclamation, kMessageTitle);
        } else {
            bool found = false;
            std::string list;
            ListRevReactions(path, found, list, notifier);
            if (found)
                notifier.Message(
                    "The reaction mechanism contains reactions where the reverse rate constants are specified "
                    "explicitly (the REV type).  \r\n" + list +
                        "\r\nKinovex-II does not support this reaction type; the file cannot be opened.\r\n\r\n" +
                        path,
                    kStyleExclamation, kMessageTitle);
            accepted = !found;
        }
    } catch (const std::exception& e) {
        accepted = false;
        notifier.ReportError("401#001.11 ", e.what());
    }
    return true;  // the signature is there, whether the file is accepted or not
}

bool SolverFileLacksResults(const std::string& path, bool showMessage, Notifier& notifier) {
    try {
        files::TextReader reader(path, SplitSolverLines);
        while (!reader.AtEnd())
            if (Left(TrimBlanks(reader.ReadLine()), 9) == "!$Results") return false;
    } catch (const std::exception&) {
        return true;
    }
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
