#include "rewrite_name.h"

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

}  // namespace kx
