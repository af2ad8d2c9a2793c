// The reactions of a solver file whose reverse-rate parameters are given
// explicitly ("REV" lines), which the desktop program does not support.
#pragma once

#include "Notifier.h"

#include <string>

namespace kx {

// Scans the reaction records (after the first line that begins "reactions",
// trimmed and in any letter case, after the " THERMO" line where the solver
// finds it, up to the end line as the solver takes it: "END" alone, blanks
// around it and any letter case; lines as the solver numbers them) for
// lines that begin "rev". found is true when there is one; list holds the
// line read three lines before each of the first three (the equation line
// of a record whose REV line follows its flags and rate parameters), joined
// by CR LF, with "..." right after the third when there are more. A file
// that cannot be read, or has no such "reactions" line, is reported with
// the tag "Mod1#016.1 " and gives found false.
void ListRevReactions(const std::string& path, bool& found, std::string& list, Notifier& notifier);

}  // namespace kx
