// Why the system refused to read or write a file, in the words a user reads:
// the reason it gives (an errno value) as a short phrase, such as "the
// medium is read-only" or "the disk is full". One wording for the console
// solver and the desktop program alike. Standard library only.
#pragma once

#include <string>

namespace kx {

// The reason as a phrase that starts in a small letter, to follow a colon
// ("cannot write the solver file x.txt: the disk is full"). A reason
// without words of our own reads as the system's own text.
std::string FileFailureCause(int err);

// The same phrase starting with a capital letter, to stand on its own.
std::string FileFailureCauseSentence(int err);

}  // namespace kx
