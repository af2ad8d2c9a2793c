#include "file_failure.h"

#include <cerrno>
#include <system_error>

namespace kx {

std::string FileFailureCause(int err) {
  switch (err) {
    case EROFS: return "the medium is read-only";
    case ENOSPC: return "the disk is full";
#ifdef EDQUOT
    case EDQUOT: return "the disk quota is used up";
#endif
    case EFBIG: return "the file would be larger than the system allows";
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

std::string FileFailureCauseSentence(int err) {
  std::string text = FileFailureCause(err);
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

}  // namespace kx
