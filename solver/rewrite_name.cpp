#include "rewrite_name.h"

#include <filesystem>

#include "file_replacement.h"
#include "owned_file.h"

namespace kx {

int RemoveAbandonedRewrites(const std::string& target) {
  namespace fs = std::filesystem;
  const fs::path file(target);
  const std::string fileName = file.filename().string();
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  const std::string prefix = HelperNamePrefix(fileName, kRewriteTag, FolderNameMax(folder.string()));
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsHelperName(it->path().filename().string(), prefix)) continue;
    if (RemoveIfAbandoned(it->path().string())) ++removed;
  }
  return removed;
}

}  // namespace kx
