// The hidden file beside a solver file into which the solver writes the
// file's new version before it takes the file's place: "." and the file's
// name, ".kxrun.", then eight lower-case hexadecimal digits. A solver ended
// before it could remove it leaves it behind; the desktop's console knows it
// by this name. Standard library only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kx {

inline constexpr std::size_t kRewriteSuffixDigits = 8;

// The name of such a file without its digits, for the file named fileName.
std::string RewriteNamePrefix(std::string_view fileName);

// True when name is such a file's name for the file named fileName.
bool IsRewriteName(std::string_view name, std::string_view fileName);

}  // namespace kx
