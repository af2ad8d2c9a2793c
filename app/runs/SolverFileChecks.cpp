#include "SolverFileChecks.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "RevReactions.h"
#include "SolverFileLayout.h"
#include "SolverFileParts.h"
#include "TextHelpers.h"

#include <exception>
#include <optional>

namespace kx::runs {

using namespace solverfile;

namespace {

constexpr int kRecordsNeeded = 4;

// The 16-bit whole number that a text reads as, halves to the even
// neighbour; a text that is no number is a type mismatch.
int wholeNumber(std::string_view text) {
    std::optional<double> value = ParseNumber(text);
    if (!value) throw Error(ErrorKind::TypeMismatch, std::string(text));
    const double whole = RoundHalfEven(*value);
    if (whole < -32768.0 || whole > 32767.0) throw Error(ErrorKind::Overflow, std::string(text));
    return static_cast<int>(whole);
}

std::string inTheFile(const std::string& path) { return "In the file '" + path + "', "; }

}  // namespace

bool IsSolverSignatureLine(std::string_view line) { return TrimmedStartsUpper(line, kSolverSignature); }

void CheckFileReadable(const std::string& path, bool& failed) {
    failed = false;
    try {
        files::TextReader reader(path);
        reader.ReadLine();
    } catch (const std::exception&) {
        failed = true;
    }
}

bool CheckSolverFileHeader(const std::string& path, bool& accepted, Notifier& notifier) {
    accepted = false;
    std::optional<files::TextReader> reader;
    std::string first;
    try {
        reader.emplace(path);
        first = reader->ReadLine();
    } catch (const std::exception&) {
        return false;  // unreadable or empty: no solver file, and nothing is shown
    }
    if (!IsSolverSignatureLine(first)) return false;
    try {
        std::string line;
        for (int n = 2; n <= kTemperatureModeLine; ++n) line = reader->ReadLine();
        const int mode = wholeNumber(Left(TrimBlanks(line), 2));
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
        files::TextReader reader(path);
        while (!reader.AtEnd())
            if (Left(TrimBlanks(reader.ReadLine()), 9) == "!$Results") return false;
    } catch (const std::exception&) {
        return true;
    }
    if (showMessage)
        notifier.Message(inTheFile(path) + "\r\nresults are not found.", kStyleExclamation, kMessageTitle);
    return true;
}

void CheckResultsComplete(const std::string& path, bool& failed, std::string& message) {
    failed = true;
    const std::string notFound = inTheFile(path) + "results are not found.";
    try {
        files::TextReader reader(path);
        std::string line;
        for (int n = 1; n <= kSpeciesCountLine; ++n) line = reader.ReadLine();
        const int linesPerRecord = ResultsRecordLines(wholeNumber(HeaderText(line, kSpeciesCountLine)));

        bool heading = false;
        while (!heading && !reader.AtEnd()) heading = IsResultsTitle(reader.ReadLine());
        if (!heading) {
            message = notFound;
            return;
        }
        for (int n = 0; n < linesPerRecord; ++n) {
            line = reader.ReadLine();
            if (EndsResults(line)) {
                message = notFound;
                return;
            }
        }
        int count = 0;
        while (!reader.AtEnd()) {
            line = reader.ReadLine();
            if (TrimBlanks(line).empty()) continue;
            if (EndsResults(line)) break;
            ++count;
        }
        if (RoundHalfEven(static_cast<double>(count) / linesPerRecord) < kRecordsNeeded) {
            message = inTheFile(path) + "results are incomplete.";
            return;
        }
        failed = false;
        message.clear();
    } catch (const std::exception&) {
        message = inTheFile(path) + "unexpected error.";
    }
}

}  // namespace kx::runs
