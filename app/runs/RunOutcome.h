// What a solver run looks like to the user and how its outcome is judged:
// the lines the solver's console window shows first, the path file read
// back after the run, the scan of the solver file behind its mechanism, and
// the message that reports it.
#pragma once

#include <string>
#include <vector>

namespace kx::runs {

inline constexpr const char* kSolverProgramName = "KINOVEX_SOLVER";
inline constexpr const char* kSolverPathFileName = "SolverFilePath.txt";

// The lines the console shows before the solver's own output.
std::vector<std::string> SolverConsoleBanner();

// The first line of "SolverFilePath.txt" in the folder the solver runs in,
// whole. Throws kx::Error when the file cannot be read or is empty.
std::string ReadSolverPathFile(const std::string& folder);

// What the solver left behind the mechanism's END line (nothing before it
// counts): completed on a line "!$END" (trimmed, any letter case), error on
// a line whose first five characters (trimmed, upper-cased) are "ERROR",
// whichever comes first; results when a line before that begins
// "!$RESULTS". errorText holds the lines after the error line, each
// followed by CR LF, as UTF-8.
struct RunOutcome {
    bool completed = false;
    bool error = false;
    bool results = false;
    std::string errorText;
};

// Scans the solver file behind its end line, where the solver finds it
// (ReadSolverInput). A file whose mechanism the solver does not read holds
// nothing of a run. Throws kx::Error when the file cannot be read.
RunOutcome ScanRunOutcome(const std::string& path);

// The solver's exit status when it refused its input, could not write the
// solver file, or found it changed by another program during the run: it
// wrote nothing into the solver file and said why on its error output.
inline constexpr int kSolverInputErrorStatus = 1;

// Gives an outcome without an error report of its own the solver's reason
// for refusing its input: the lines of its error output (UTF-8), each
// followed by CR LF, when it ended with kSolverInputErrorStatus. A closing
// line or results in the file are then not this run's (another program
// wrote them during the run): the outcome is no completion and has none.
void TakeSolverInputError(RunOutcome& outcome, int exitStatus, const std::string& errorOutput);

// The message box that reports the outcome: its text (UTF-8) and style
// (64 information or 48 exclamation, plus 4 for "Show results?" with Yes
// and No when results are present).
struct OutcomeMessage {
    std::string text;
    int style = 0;
};
OutcomeMessage OutcomeMessageFor(const RunOutcome& outcome);

}  // namespace kx::runs
