// The working files of one running copy of the desktop program: the chart
// set-up's backup, the copied subset, made tables, the scratch file of a
// mechanism text, and the file through which the solver is given its path
// (the solver runs in this folder). Each copy keeps them in a folder of its
// own inside AssistFiles, so that one copy's start, work or exit never
// touches another's:
//
//   AssistFiles/.kxcopy.<process id>.<8 hexadecimal digits>/
//   AssistFiles/.kxcopy.<process id>.<8 hexadecimal digits>.lock
//
// The folder is made when first needed (at start) and removed with all it
// holds at exit. The copy holds the hidden file beside it as its own
// (owned_file.h) for as long as it runs; a copy that no longer runs (killed,
// crashed, its machine stopped) leaves both behind, and the next copy that
// makes its folder removes them, never those of a copy that still runs.
// What all copies share stays in AssistFiles itself: OPTIONS.txt,
// SolverData.txt, the help files.
#pragma once

#include <string>

namespace kx {

// This copy's working folder in the shared state's AssistFolder, with a
// trailing "/". Made when first asked for (or for another AssistFolder),
// after the folders of copies that no longer run are removed, and made
// again should it be gone. Throws kx::Error when it cannot be made.
std::string WorkingFolder();

// The path of this copy's working file `name` (WorkingFolder() + name).
std::string WorkingFile(const std::string& name);

// At exit: removes this copy's working folder with all it holds, and drops
// the mark that it runs.
void RemoveWorkingFolder();

// Removes from `assistFolder` the working folders of copies that no longer
// run, with what they hold; returns how many.
int RemoveAbandonedWorkingFolders(const std::string& assistFolder);

}  // namespace kx
