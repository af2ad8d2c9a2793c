// The solver-file checks on the desktop: their messages go to message
// boxes, the user chooses a file in the Open dialog, and a solver file with
// complete results opens in the results window.
#pragma once

#include "SolverFileChecks.h"

#include <string>

namespace kx::runs {

// As in SolverFileChecks.h, showing the messages in message boxes.
bool CheckSolverFileHeader(const std::string& path, bool& accepted);
bool SolverFileLacksResults(const std::string& path, bool showMessage);

// Checks a solver file before it is opened; an empty path first lets the
// user choose one in the Open dialog (path receives it). failed is true
// when the user cancelled or the file was refused, each refusal shown:
// read-only, the extensions pg, mdb, pdf and exe, no signature, and the
// header's own refusals. Errors reach the caller.
void CheckSolverFileToOpen(std::string& path, bool& failed);

// Closes the results windows open on the solver file, each restored to its
// normal size first.
void CloseResultsWindowsOf(const std::string& path);

// Opens the results window on a solver file with complete results: the
// reason is shown when they are missing or incomplete; a results window
// already open on the same path is closed first; a window whose load
// failed (MenuFormLoadFailed) is unloaded again. Errors reach the caller.
void OpenResultsWindow(const std::string& path);

}  // namespace kx::runs
