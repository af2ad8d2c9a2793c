// Why the system refused to read or write a file, in the words a user reads:
// the reason it gives (an errno value) as a short phrase, such as "the
// medium is read-only" or "the disk is full". One wording for the console
// solver and the desktop program alike. Standard library and POSIX only.
#pragma once

#include <string>

namespace kx {

// The reason as a phrase that starts in a small letter, to follow a colon
// ("cannot write the solver file x.txt: the disk is full"). A reason
// without words of our own reads as the system's own text.
std::string FileFailureCause(int err);

// The same phrase starting with a capital letter, to stand on its own.
std::string FileFailureCauseSentence(int err);

// A phrase of these as a sentence: its first letter a capital one.
std::string AsSentence(std::string phrase);

// Why no file can be written in `folder` when the system refuses to make
// one there (EACCES or EPERM): "the folder <folder> takes no new files".
// A file in it is written through a new file beside it.
std::string FolderTakesNoNewFiles(const std::string& folder);

// Whether the system's reason `err` is a refused access (EACCES, EPERM):
// when making a new file, the folder's refusal of FolderTakesNoNewFiles.
bool AccessRefused(int err);

}  // namespace kx
