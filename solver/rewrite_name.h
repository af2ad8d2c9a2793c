// The hidden file beside a solver file into which the solver writes the
// file's new version before it takes the file's place: "." and the file's
// name, ".kxrun.", then eight lower-case hexadecimal digits. The run holds it
// as its own while it writes it (owned_file.h). A solver ended before it
// could remove it (killed at once, or its machine stopped) leaves it behind;
// the next run, of the solver or of the desktop's console, removes it.
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

// Removes such files beside the file `target` (the file itself, not a link
// to it) that no live run holds as its own; returns how many it removed.
int RemoveAbandonedRewrites(const std::string& target);

}  // namespace kx
