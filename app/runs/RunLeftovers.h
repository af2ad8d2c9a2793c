// What a stopped solver may leave beside the solver file. While it runs, the
// solver writes the new version of the file into a hidden file in the same
// folder (named as rewrite_name.h says), which takes the file's place when
// the run ends. A solver stopped before it could remove that file (ended at
// once, or crashed) leaves it behind.
#pragma once

#include <set>
#include <string>

namespace kx::runs {

class RunLeftovers {
public:
    RunLeftovers() = default;
    // Notes such files already beside the solver file (the file a link
    // names): they belong to another run and are never removed here.
    explicit RunLeftovers(const std::string& solverFile);

    // Removes those that have appeared since; returns how many it removed.
    int RemoveNew();

private:
    std::set<std::string> present() const;

    std::string folder_;
    std::string fileName_;  // of the file the solver writes
    std::set<std::string> before_;
};

}  // namespace kx::runs
