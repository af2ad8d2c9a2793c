// What a stopped solver may leave beside the solver file. While it runs, the
// solver writes the new version of the file into a hidden helper file in
// the same folder (file_replacement.h) that it holds as its own
// (owned_file.h), and which takes the file's place when the run ends. A
// solver ended before it could remove that file (killed at once, crashed,
// its machine stopped) leaves it behind, no longer held by anyone.
#pragma once

#include <string>

namespace kx::runs {

class RunLeftovers {
public:
    RunLeftovers() = default;
    // The files beside the solver file (the file a link names).
    explicit RunLeftovers(const std::string& solverFile);

    // Removes those that no live run holds: what runs that were ended left
    // (with whatever other writers of the file left, as every write of it
    // does: RemoveAbandonedHelpers); never the file that a running solver
    // still writes. Returns how many it removed.
    int RemoveAbandoned() const;

private:
    std::string target_;  // the file the solver writes
};

}  // namespace kx::runs
