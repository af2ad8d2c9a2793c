// The hidden file beside a solver file into which the solver writes the
// file's new version before it takes the file's place: a helper of the
// kind "kxrun" (file_replacement.h), "." and the file's name, ".kxrun.",
// then eight lower-case hexadecimal digits; for a name too long for that,
// the name cut and a digest of the whole name. The run holds it as its own
// while it writes it (owned_file.h). A solver ended before it could remove
// it (killed at once, or its machine stopped) leaves it behind; the next
// run, of the solver or of the desktop's console, removes it.
#pragma once

#include <string>

namespace kx {

inline constexpr char kRewriteTag[] = "kxrun";

// Removes such files beside the file `target` (the file itself, not a link
// to it) that no live run holds as its own; returns how many it removed.
int RemoveAbandonedRewrites(const std::string& target);

}  // namespace kx
