#include "file_failure.h"

#include <cerrno>
#include <system_error>

#include <sys/resource.h>

namespace kx {

namespace {

// Whether the process may write files only up to a size (RLIMIT_FSIZE, a
// shell's "ulimit -f"): then that is what a file too large ran into.
bool fileSizeLimited() {
  rlimit limit{};
  return ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

}  // namespace

std::string FileFailureCause(int err) {
  switch (err) {
    case EROFS: return "the medium is read-only";
    case ENOSPC: return "the disk is full";
#ifdef EDQUOT
    case EDQUOT: return "the disk quota is used up";
#endif
    case EFBIG:
      return fileSizeLimited() ? "the file is larger than this process may write"
                               : "the file would be larger than the file system allows";
    case EACCES:
    case EPERM: return "permission denied";
    case ENOENT: return "no such file or folder";
    case ENOTDIR: return "a part of the path is not a folder";
    case EISDIR: return "it is a folder";
    case ENAMETOOLONG: return "the name is too long";
    case ELOOP: return "too many symbolic links in a row";
    case EIO: return "the medium failed to read or write (input/output error)";
    case ETXTBSY: return "the file is a program that is running";
    case EBUSY: return "the file is in use by the system";
    case EMFILE:
    case ENFILE: return "too many files are open";
    case ENOMEM: return "not enough memory";
    case EEXIST: return "a file of that name exists";
#ifdef ESTALE
    case ESTALE: return "the file on the network is no longer there";
#endif
    default: break;
  }
  std::string text = std::generic_category().message(err);
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && (text.size() < 2 || !(text[1] >= 'A' && text[1] <= 'Z')))
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

std::string FolderTakesNoNewFiles(const std::string& folder) {
  return "the folder " + folder + " takes no new files";
}

bool AccessRefused(int err) { return err == EACCES || err == EPERM; }

std::string AsSentence(std::string phrase) {
  if (!phrase.empty() && phrase[0] >= 'a' && phrase[0] <= 'z') phrase[0] = static_cast<char>(phrase[0] - 'a' + 'A');
  return phrase;
}

std::string FileFailureCauseSentence(int err) { return AsSentence(FileFailureCause(err)); }

}  // namespace kx
