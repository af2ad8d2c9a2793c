#include "RunOutcome.h"

#include "Errors.h"
#include "Files.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"

namespace kx::runs {
namespace {

constexpr int kStyleInformation = 64;
constexpr int kStyleExclamation = 48;
constexpr int kStyleYesNo = 4;

}  // namespace

std::vector<std::string> SolverConsoleBanner() {
    return {"To end the task, click the button CLOSE (X) in this window.", std::string(63, '-')};
}

std::string ReadSolverPathFile(const std::string& folder) {
    files::TextReader reader(folder + "/" + kSolverPathFileName);
    return reader.ReadLine();
}

RunOutcome ScanRunOutcome(const std::string& path) {
    const std::string bytes = files::ReadAll(path);
    const std::vector<std::string_view> lines = SplitSolverLines(bytes);
    RunOutcome outcome;
    // The solver writes behind the end line as its reading finds it; a file
    // that it does not read holds nothing of a run (the solver's input
    // error tells why).
    int endLine = 0;
    try {
        endLine = solverfile::ReadSolverInput(lines, SolverSettings::Open).EndLine();
    } catch (const Error&) {
        return outcome;
    }
    std::size_t i = static_cast<std::size_t>(endLine);  // index of the line after the END line
    for (; i < lines.size(); ++i) {
        const std::string upper = UpperAscii(TrimBlanks(lines[i]));
        if (upper == "!$END") {
            outcome.completed = true;
            break;
        }
        if (Left(upper, 5) == "ERROR") {
            outcome.error = true;
            break;
        }
        if (!outcome.results) outcome.results = solverfile::IsResultsTitle(lines[i]);
    }
    if (outcome.error)
        for (++i; i < lines.size(); ++i) outcome.errorText += Latin1ToUtf8(lines[i]) + "\r\n";
    return outcome;
}

void TakeSolverInputError(RunOutcome& outcome, int exitStatus, const std::string& errorOutput) {
    if (exitStatus != kSolverInputErrorStatus || outcome.error) return;
    outcome.completed = false;
    outcome.results = false;
    std::string text;
    std::size_t start = 0;
    while (start < errorOutput.size()) {
        std::size_t end = errorOutput.find('\n', start);
        if (end == std::string::npos) end = errorOutput.size();
        std::string line = errorOutput.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!TrimBlanks(line).empty()) text += line + "\r\n";
        start = end + 1;
    }
    outcome.errorText = text;
}

OutcomeMessage OutcomeMessageFor(const RunOutcome& outcome) {
    OutcomeMessage m;
    if (!outcome.error && outcome.completed) {
        m.text = "The chemical kinetic problem has been successfully solved.";
        m.style = kStyleInformation;
    } else {
        m.text = " Solver has been terminated abnormally.\r\n" + outcome.errorText;
        m.style = kStyleExclamation;
    }
    if (outcome.results) {
        m.style += kStyleYesNo;
        m.text += "\r\n\r\nShow results?";
    }
    return m;
}

}  // namespace kx::runs
