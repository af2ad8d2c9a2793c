#include "RunLeftovers.h"

#include "link_target.h"
#include "rewrite_name.h"

#include <filesystem>

namespace kx::runs {

RunLeftovers::RunLeftovers(const std::string& solverFile) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // The solver writes beside the file its path leads to, by the same rule.
    const fs::path target = LinkTarget(solverFile, ec);
    if (ec || target.empty()) return;
    folder_ = target.parent_path().string();
    if (folder_.empty()) folder_ = ".";
    fileName_ = target.filename().string();
    before_ = present();
}

std::set<std::string> RunLeftovers::present() const {
    namespace fs = std::filesystem;
    std::set<std::string> names;
    if (folder_.empty()) return names;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (IsRewriteName(name, fileName_)) names.insert(std::move(name));
    }
    return names;
}

int RunLeftovers::RemoveNew() {
    int removed = 0;
    for (const std::string& name : present()) {
        if (before_.count(name)) continue;
        std::error_code ec;
        if (std::filesystem::remove(std::filesystem::path(folder_) / name, ec)) ++removed;
    }
    return removed;
}

}  // namespace kx::runs
