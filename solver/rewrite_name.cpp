#include "rewrite_name.h"

#include <filesystem>

#include "owned_file.h"

namespace kx {

std::string RewriteNamePrefix(std::string_view fileName) {
  return std::string(".").append(fileName).append(".kxrun.");
}

bool IsRewriteName(std::string_view name, std::string_view fileName) {
  const std::string prefix = RewriteNamePrefix(fileName);
  if (name.size() != prefix.size() + kRewriteSuffixDigits || !name.starts_with(prefix)) return false;
  for (const char c : name.substr(prefix.size()))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

int RemoveAbandonedRewrites(const std::string& target) {
  namespace fs = std::filesystem;
  const fs::path file(target);
  const std::string fileName = file.filename().string();
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsRewriteName(it->path().filename().string(), fileName)) continue;
    if (RemoveIfAbandoned(it->path().string())) ++removed;
  }
  return removed;
}

}  // namespace kx
