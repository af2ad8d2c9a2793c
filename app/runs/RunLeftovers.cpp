#include "RunLeftovers.h"

#include <filesystem>
#include <string_view>

namespace kx::runs {
namespace {

constexpr std::size_t kSuffixDigits = 8;

bool hexDigits(std::string_view text) {
    if (text.size() != kSuffixDigits) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace

RunLeftovers::RunLeftovers(const std::string& solverFile) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target = fs::canonical(fs::path(solverFile), ec);
    if (ec) return;
    folder_ = target.parent_path().string();
    prefix_ = std::string(".").append(target.filename().string()).append(".kxrun.");
    before_ = present();
}

std::set<std::string> RunLeftovers::present() const {
    namespace fs = std::filesystem;
    std::set<std::string> names;
    if (folder_.empty()) return names;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix_.size() && name.compare(0, prefix_.size(), prefix_) == 0 &&
            hexDigits(std::string_view(name).substr(prefix_.size())))
            names.insert(name);
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
