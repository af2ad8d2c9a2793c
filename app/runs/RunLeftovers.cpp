#include "RunLeftovers.h"

#include "link_target.h"
#include "file_replacement.h"

namespace kx::runs {

RunLeftovers::RunLeftovers(const std::string& solverFile) {
    std::error_code ec;
    // The solver writes beside the file its path leads to, by the same rule.
    std::string target = LinkTarget(solverFile, ec);
    if (!ec) target_ = std::move(target);
}

int RunLeftovers::RemoveAbandoned() const { return target_.empty() ? 0 : RemoveAbandonedHelpers(target_); }

}  // namespace kx::runs
