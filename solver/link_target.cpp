#include "link_target.h"

#include <filesystem>

namespace kx {

namespace {
// As many links in a row as the system itself follows before it gives up.
constexpr int kMostLinksFollowed = 40;
}  // namespace

std::string LinkTarget(const std::string& path, std::error_code& error) {
  namespace fs = std::filesystem;
  error.clear();
  fs::path p = path;
  for (int followed = 0; followed <= kMostLinksFollowed; ++followed) {
    const fs::file_status status = fs::symlink_status(p, error);
    if (status.type() == fs::file_type::not_found) {
      // Nothing there (yet): this is where the file is made.
      error.clear();
      return p.string();
    }
    if (error) return {};
    if (!fs::is_symlink(status)) return p.string();
    const fs::path next = fs::read_symlink(p, error);
    if (error) return {};
    // Not made normal by text: "folder/../x" must go where the system
    // takes it when "folder" is itself a link.
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return {};
}

}  // namespace kx
