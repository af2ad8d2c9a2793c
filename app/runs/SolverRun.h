// Running the solver for the run-settings window and reporting its outcome.
#pragma once

#include "SolverConsole.h"

#include <optional>
#include <string>

namespace kx::runs {

// The launch of a run: the solver program in the program folder, run in
// the working folder (where it finds "SolverFilePath.txt"), the console's
// title (the program and the name of the solver file, when one is given)
// and the banner lines the command would echo; keepOpen from
// KeepConsoleOpen.
SolverLaunch SolverLaunchFor(const std::string& programFolder, const std::string& workingFolder, bool keepOpen,
                             const std::string& solverFile = "");

// Runs the solver and waits for its end with the busy pointer; returns its
// exit code, or nothing when it could not be started (reported with
// "401#002. "). ended, when given, receives how it ended.
std::optional<int> ExecuteAndWait(const SolverLaunch& launch, SolverEnd* ended = nullptr);

// Runs the solver in this running copy's working folder (WorkingFiles.h)
// on the file named in its "SolverFilePath.txt", so that copies that run
// at once never take each other's file; then judges
// the outcome from that file (and, when the solver refused its input and
// so left the file as it was, from what it said why): path receives the
// path read back,
// message and style the report shown, error whether an error report was
// found. The text window that showed callerPath (the document path of the
// window that asked for the run) is closed; when results exist and the
// user answers Yes to "Show results?", the file opens again in a text window
// and its results window opens. Failures are reported with "401#001. ".
void RunSolver(std::string& path, std::string& message, int& style, bool& error, const std::string& callerPath);

}  // namespace kx::runs
