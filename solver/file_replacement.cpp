#include "file_replacement.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <random>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace kx {

namespace {

constexpr std::size_t kDefaultNameMax = 255;
constexpr std::size_t kDigestDigits = 16;
constexpr int kNameAttempts = 16;

// What a test makes fail (SimulatedReplaceFailure): the system's reason, 0
// for nothing, and the step.
struct {
  int err = 0;
  ReplaceStep step = ReplaceStep::WriteBytes;
} simulated;

// Where a test stops the writer (SimulatedInterruption): the moment, and
// what stops it there (nullptr: nowhere).
struct {
  ReplaceMoment moment = ReplaceMoment::CopyHalfWritten;
  void (*stop)() = nullptr;
} interruption;

bool interruptedAt(ReplaceMoment moment) { return interruption.stop && interruption.moment == moment; }

std::string_view nameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

// A 64-bit digest of a file's name (FNV-1a): the same in every program and
// run, so that the solver and the desktop program name a file's helpers
// alike.
std::uint64_t nameDigest(std::string_view name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

void appendHex(std::string& text, std::uint64_t value, std::size_t digits) {
  for (std::size_t i = digits; i-- > 0;) text.push_back("0123456789abcdef"[(value >> (4 * i)) & 0xF]);
}

// The helper's path: the prefix beside the target and fresh random digits.
std::string helperPath(const std::string& target, std::string_view tag, std::random_device& entropy) {
  const std::string folder = FolderOf(target);
  std::string path = target.substr(0, target.size() - nameOf(target).size());
  path += HelperNamePrefix(nameOf(target), tag, FolderNameMax(folder));
  appendHex(path, entropy(), kHelperSuffixDigits);
  return path;
}

// Copies the bytes of `from` into `to`, both from their start, `limit`
// bytes at most; false with errno set on a failure.
bool copyBytes(int from, int to, off_t limit = -1) {
  char buffer[1 << 16];
  off_t at = 0;
  while (limit < 0 || at < limit) {
    std::size_t want = sizeof buffer;
    if (limit >= 0 && static_cast<off_t>(want) > limit - at) want = static_cast<std::size_t>(limit - at);
    const ssize_t got = ::pread(from, buffer, want, at);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::pwrite(to, buffer + done, static_cast<std::size_t>(got - done), at + done);
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += put;
    }
    at += got;
  }
  return true;
}

// Makes the file the bytes of `to` become: `size` bytes long and on disk.
bool endAndSync(int fd, off_t size) { return ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0; }

// Reads a list or a value of extended attributes whose size `call` gives
// when asked with no room (as listxattr and getxattr do) into `out`. The
// size may grow between the two calls (ERANGE): then it is asked again.
// False with errno set when the system refuses.
template <class Call>
bool readSized(Call call, std::vector<char>& out) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const ssize_t size = call(nullptr, 0);
    if (size < 0) return false;
    out.resize(static_cast<std::size_t>(size));
    if (size == 0) return true;
    const ssize_t got = call(out.data(), out.size());
    if (got >= 0) {
      out.resize(static_cast<std::size_t>(got));
      return true;
    }
    if (errno != ERANGE) return false;
  }
  return false;
}

// The names in a list of extended attributes (each ended by a NUL).
std::vector<std::string_view> attributeNames(const std::vector<char>& list) {
  std::vector<std::string_view> names;
  for (std::size_t at = 0; at < list.size();) {
    const std::string_view name(list.data() + at);
    if (!name.empty()) names.push_back(name);
    at += name.size() + 1;
  }
  return names;
}

// Gives the file open as `to` the extended attributes of the file at
// `from` (its access list among them), and none that `from` lacks (a
// default access list of the folder gives a new file one): true when it
// has exactly those, with the same values, afterwards. A file system
// without extended attributes has none to give.
bool copyAttributes(const std::string& from, int to) {
  std::vector<char> list, ownList;
  if (!readSized([&](char* b, std::size_t n) { return ::listxattr(from.c_str(), b, n); }, list)) {
    if (errno != ENOTSUP) return false;
    list.clear();
  }
  if (!readSized([&](char* b, std::size_t n) { return ::flistxattr(to, b, n); }, ownList)) {
    if (errno != ENOTSUP) return false;
    ownList.clear();
  }
  const std::vector<std::string_view> names = attributeNames(list);
  for (const std::string_view own : attributeNames(ownList)) {
    bool wanted = false;
    for (const std::string_view name : names) wanted = wanted || name == own;
    if (!wanted && ::fremovexattr(to, own.data()) != 0 && errno != ENODATA) return false;
  }
  std::vector<char> value, present;
  for (const std::string_view name : names) {
    if (!readSized([&](char* b, std::size_t n) { return ::getxattr(from.c_str(), name.data(), b, n); }, value)) {
      if (errno == ENODATA) continue;  // removed meanwhile
      return false;
    }
    // One the new file has already (a label the system gave it) stays.
    if (readSized([&](char* b, std::size_t n) { return ::fgetxattr(to, name.data(), b, n); }, present) &&
        present == value)
      continue;
    if (::fsetxattr(to, name.data(), value.data(), value.size(), 0) != 0) return false;
  }
  return true;
}

// Puts the names in the folder of `path` on disk (where the system can):
// a name made or removed there survives a stop of the machine.
void syncFolder(const std::string& path) {
  const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  (void)::fsync(folder);
  ::close(folder);
}

// True when the two open files hold the same bytes.
bool sameBytes(int a, int b) {
  struct stat sa {}, sb {};
  if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0 || sa.st_size != sb.st_size) return false;
  char bufferA[1 << 15], bufferB[1 << 15];
  for (off_t at = 0; at < sa.st_size;) {
    const ssize_t got = ::pread(a, bufferA, sizeof bufferA, at);
    if (got <= 0) return got == 0 && at == sa.st_size;
    for (ssize_t done = 0; done < got;) {
      const ssize_t other = ::pread(b, bufferB + done, static_cast<std::size_t>(got - done), at + done);
      if (other <= 0) return false;
      done += other;
    }
    if (!std::equal(bufferA, bufferA + got, bufferB)) return false;
    at += got;
  }
  return true;
}

// True when a writer that stopped left a copy of new content among
// `helpers` that holds the bytes of the open file `file`.
bool holdsStoppedWritersContent(int file, const std::vector<std::string>& helpers) {
  for (const std::string& path : helpers) {
    const int helper = TakeIfAbandoned(path);
    if (helper < 0) continue;
    const bool same = sameBytes(helper, file);
    ::close(helper);
    if (same) return true;
  }
  return false;
}

// What lies beside a file after writers that stopped on the way: their
// abandoned helpers are removed (when `remove`), and the interrupted saves
// gathered, oldest first. A copy of old content is none where the file
// holds one of the two contents whole: the old one (the copy's bytes), or
// the new one that its writer had finished writing in place when it
// stopped (the bytes of a helper it left).
int scanHelpers(const std::string& target, bool remove, std::vector<std::string>* interrupted) {
  const std::string folder = FolderOf(target);
  const std::string_view name = nameOf(target);
  const std::size_t nameMax = FolderNameMax(folder);
  const std::string newContent = HelperNamePrefix(name, kNewContentTag, nameMax);
  const std::string rewrite = HelperNamePrefix(name, kRewriteTag, nameMax);
  const std::string oldContent = HelperNamePrefix(name, kOldContentTag, nameMax);
  const std::string start = target.substr(0, target.size() - name.size());
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  std::vector<std::string> helpers, oldCopies;
  while (const struct dirent* entry = ::readdir(dir)) {
    const std::string_view entryName = entry->d_name;
    if (entryName.empty() || entryName[0] != '.') continue;
    if (IsHelperName(entryName, newContent) || IsHelperName(entryName, rewrite))
      helpers.push_back(start + std::string(entryName));
    else if (IsHelperName(entryName, oldContent))
      oldCopies.push_back(start + std::string(entryName));
  }
  ::closedir(dir);
  int removed = 0;
  std::vector<std::pair<struct timespec, std::string>> copies;
  for (const std::string& path : oldCopies) {
    const int copy = TakeIfAbandoned(path);
    if (copy < 0) continue;  // its writer goes on
    const int file = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file >= 0 && (sameBytes(copy, file) || holdsStoppedWritersContent(file, helpers))) {
      if (remove && ::unlink(path.c_str()) == 0) ++removed;
    } else if (interrupted) {
      struct stat st {};
      (void)::fstat(copy, &st);
      copies.emplace_back(st.st_mtim, path);
    }
    if (file >= 0) ::close(file);
    ::close(copy);
  }
  if (remove)
    for (const std::string& path : helpers)
      if (RemoveIfAbandoned(path)) ++removed;
  if (removed > 0) syncFolder(target);
  if (interrupted) {
    std::sort(copies.begin(), copies.end(), [](const auto& a, const auto& b) {
      return std::tie(a.first.tv_sec, a.first.tv_nsec, a.second) < std::tie(b.first.tv_sec, b.first.tv_nsec, b.second);
    });
    for (auto& copy : copies) interrupted->push_back(std::move(copy.second));
  }
  return removed;
}

}  // namespace

void FailWritesPastFileSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::size_t FolderNameMax(const std::string& folder) {
  const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return max > 0 ? static_cast<std::size_t>(max) : kDefaultNameMax;
}

std::string HelperNamePrefix(std::string_view fileName, std::string_view tag, std::size_t nameMax) {
  // "." name "." tag "." digits
  const std::size_t whole = fileName.size() + tag.size() + 3 + kHelperSuffixDigits;
  if (whole <= nameMax) return std::string(".").append(fileName).append(".").append(tag).append(".");
  // "." cut "." tag "~" digest "." digits
  const std::size_t added = tag.size() + 4 + kDigestDigits + kHelperSuffixDigits;
  std::size_t cut = nameMax > added ? nameMax - added : 0;
  if (cut > fileName.size()) cut = fileName.size();
  // Not inside a character: a UTF-8 continuation byte does not start one.
  while (cut > 0 && (static_cast<unsigned char>(fileName[cut]) & 0xC0) == 0x80) --cut;
  std::string prefix = std::string(".").append(fileName.substr(0, cut)).append(".").append(tag).append("~");
  appendHex(prefix, nameDigest(fileName), kDigestDigits);
  return prefix.append(".");
}

bool IsHelperName(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + kHelperSuffixDigits || !name.starts_with(prefix)) return false;
  for (const char c : name.substr(prefix.size()))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

int RemoveAbandonedHelpers(const std::string& target) { return scanHelpers(target, true, nullptr); }

std::vector<std::string> InterruptedSaves(const std::string& target) {
  std::vector<std::string> copies;
  scanHelpers(target, false, &copies);
  return copies;
}

bool RestoreInterruptedSave(const std::string& target, const std::string& copyPath, int& err) {
  err = 0;
  // Held as this process's own while it is written back: no other process
  // takes it for abandoned meanwhile.
  const int copy = TakeIfAbandoned(copyPath);
  if (copy < 0) {
    err = ::access(copyPath.c_str(), F_OK) == 0 ? EBUSY : ENOENT;
    return false;
  }
  struct stat st {};
  bool restored = false;
  const int file = ::fstat(copy, &st) == 0 ? ::open(target.c_str(), O_RDWR | O_CLOEXEC) : -1;
  if (file >= 0) {
    restored = copyBytes(copy, file) && endAndSync(file, st.st_size) && ::unlink(copyPath.c_str()) == 0;
    if (!restored) err = errno;
    ::close(file);
  } else if (errno == ENOENT) {
    // The file is gone: the copy, which has its owner and mode, is it again.
    restored = ::link(copyPath.c_str(), target.c_str()) == 0 && ::unlink(copyPath.c_str()) == 0;
    if (!restored) err = errno;
  } else {
    err = errno;
  }
  ::close(copy);
  // As after any write of the file, what stopped writers left goes.
  if (restored) scanHelpers(target, true, nullptr);
  if (restored) syncFolder(target);
  return restored;
}

std::string InterruptedSaveNote(const std::string& copy) {
  return "its whole earlier content is kept in " + copy +
         ", and the file is not written until that content is put back or the copy is removed";
}

SimulatedReplaceFailure::SimulatedReplaceFailure(int err, ReplaceStep step)
    : previousErr_(simulated.err), previousStep_(simulated.step) {
  simulated = {err, step};
}

SimulatedReplaceFailure::~SimulatedReplaceFailure() { simulated = {previousErr_, previousStep_}; }

SimulatedInterruption::SimulatedInterruption(ReplaceMoment moment, void (*stop)())
    : previousMoment_(interruption.moment), previousStop_(interruption.stop) {
  interruption = {moment, stop};
}

SimulatedInterruption::~SimulatedInterruption() { interruption = {previousMoment_, previousStop_}; }

bool ReplaceFailureSimulated(ReplaceStep step) {
  if (simulated.err == 0 || simulated.step != step) return false;
  errno = simulated.err;
  return true;
}

std::FILE* FileReplacement::Begin(const std::string& target, std::string_view tag, int& err) {
  Abandon();
  err = 0;
  keptCopy_.clear();
  // What writers that stopped on the way left beside the file goes; a save
  // that was cut short keeps the file from being written, so that the only
  // whole copy of its earlier content is never passed over in silence.
  std::vector<std::string> interrupted;
  scanHelpers(target, true, &interrupted);
  if (!interrupted.empty()) {
    keptCopy_ = interrupted.front();
    err = EBUSY;
    return nullptr;
  }
  struct stat st {};
  // Beside an existing file, readable by its owner alone until it has the
  // file's permissions (it shows no one what the file would not); a new
  // file's at once with the bits the umask allows.
  const mode_t mode = ::stat(target.c_str(), &st) == 0 ? 0600 : 0666;
  std::random_device entropy;
  std::FILE* f = nullptr;
  err = EEXIST;  // a name taken: another one is tried
  for (int attempt = 0; attempt < kNameAttempts && !f && err == EEXIST; ++attempt) {
    helper_ = helperPath(target, tag, entropy);
    if (ReplaceFailureSimulated(ReplaceStep::MakeTemporary))
      err = errno;
    else
      f = owned_.Create(helper_, err, mode);
  }
  if (f) fd_ = ::fcntl(::fileno(f), F_DUPFD_CLOEXEC, 0);
  if (!f || fd_ < 0) {
    if (f) {
      err = errno;
      std::fclose(f);
      ::unlink(helper_.c_str());
    }
    helper_.clear();
    owned_.Release();
    return nullptr;
  }
  target_ = target;
  return f;
}

bool FileReplacement::Settle(int& err) {
  err = fd_ < 0 ? EBADF : 0;
  if (err != 0) return false;
  struct stat st {};
  const bool existing = ::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  standsIn_ = true;
  if (existing) {
    // The owner where the system lets this process give it, and the group;
    // the mode after them, as changing the owner may clear some of its bits;
    // the attributes last, as setting the access list sets the group bits.
    struct stat own {};
    if (::geteuid() == 0)
      (void)::fchown(fd_, st.st_uid, st.st_gid);
    else if (::fstat(fd_, &own) == 0 && own.st_gid != st.st_gid)
      (void)::fchown(fd_, static_cast<uid_t>(-1), st.st_gid);
    if (::fchmod(fd_, st.st_mode & 07777) != 0) {
      err = errno;
      return false;
    }
    standsIn_ = copyAttributes(target_, fd_) && ::fstat(fd_, &own) == 0 && own.st_uid == st.st_uid &&
                own.st_gid == st.st_gid && (own.st_mode & 07777) == (st.st_mode & 07777);
    // Written in place instead: until then the helper shows no one what
    // the file would not.
    if (!standsIn_) (void)::fchmod(fd_, 0600);
  }
  if (::fsync(fd_) != 0) {
    err = errno;
    return false;
  }
  return true;
}

bool FileReplacement::Place(int& err) {
  err = fd_ < 0 ? EBADF : 0;
  if (err != 0) return false;
  struct stat st {};
  const bool there = ::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (there && (st.st_nlink > 1 || !standsIn_)) {
    if (!rewriteInPlace(err)) return false;
    Abandon();
    return true;
  }
  // Renamed while still held as this process's own, so that no other
  // process takes it for abandoned on the way.
  if (ReplaceFailureSimulated(ReplaceStep::Replace) || ::rename(helper_.c_str(), target_.c_str()) != 0) {
    err = errno;
    return false;
  }
  helper_.clear();
  Abandon();
  return true;
}

namespace {

// A copy of the bytes of `from` (the file at `target`, as `st` says it is)
// on disk beside it, held as this process's own by `mark`: its descriptor,
// -1 with the system's reason in `err`. It is written under a name of the
// new-content kind and takes its name of old content only once it is whole
// and on disk, with that name put on disk too: a copy of that name is
// always the whole old content. It belongs to the file's owner and has its
// mode, since it may have to stay.
int copyOnDisk(const std::string& target, int from, const struct stat& st, std::string& path, int& err,
               OwnedFile& mark) {
  std::random_device entropy;
  std::string partial;
  int copy = -1;
  err = EEXIST;
  for (int attempt = 0; attempt < kNameAttempts && copy < 0 && err == EEXIST; ++attempt) {
    partial = helperPath(target, kNewContentTag, entropy);
    if (ReplaceFailureSimulated(ReplaceStep::MakeTemporary))
      err = errno;
    else
      copy = mark.CreateDescriptor(partial, err, 0600);
  }
  if (copy < 0) return -1;
  if (::geteuid() == 0) (void)::fchown(copy, st.st_uid, st.st_gid);
  if (interruptedAt(ReplaceMoment::CopyHalfWritten)) {
    copyBytes(from, copy, st.st_size / 2);
    interruption.stop();
  }
  const bool accessGiven = ::fchmod(copy, st.st_mode & 0777) == 0;
  // Its access list and other attributes too, where the system lets it have them.
  if (accessGiven) (void)copyAttributes(target, copy);
  bool whole = accessGiven && copyBytes(from, copy) && ::fsync(copy) == 0;
  // The name of old content, never one another copy has: a link made under
  // a name taken fails. Where the file system makes no links, the copy is
  // renamed to a name not taken a moment before.
  err = EEXIST;
  for (int attempt = 0; whole && attempt < kNameAttempts && err == EEXIST; ++attempt) {
    path = helperPath(target, kOldContentTag, entropy);
    if (::link(partial.c_str(), path.c_str()) == 0) {
      err = 0;
      ::unlink(partial.c_str());
    } else if (errno == EEXIST) {
      continue;
    } else {
      struct stat taken {};
      err = ::lstat(path.c_str(), &taken) == 0 ? EEXIST : ::rename(partial.c_str(), path.c_str()) == 0 ? 0 : errno;
    }
  }
  if (whole && err == 0) {
    syncFolder(target);
    return copy;
  }
  if (!whole) err = errno;
  path.clear();
  ::close(copy);
  ::unlink(partial.c_str());
  mark.Release();
  return -1;
}

}  // namespace

bool FileReplacement::rewriteInPlace(int& err) {
  const int from = ::open(helper_.c_str(), O_RDONLY | O_CLOEXEC);
  const int to = from < 0 ? -1 : ::open(target_.c_str(), O_RDWR | O_CLOEXEC);
  struct stat oldSt {}, newSt {};
  std::string copyPath;
  // The copy is this process's own until this write has ended.
  OwnedFile copyMark;
  err = 0;
  const int copy = to < 0 || ::fstat(to, &oldSt) != 0 || ::fstat(from, &newSt) != 0
                       ? -1
                       : copyOnDisk(target_, to, oldSt, copyPath, err, copyMark);
  if (copy < 0) {
    if (err == 0) err = errno;
    if (to >= 0) ::close(to);
    if (from >= 0) ::close(from);
    return false;
  }
  if (interruptedAt(ReplaceMoment::InPlaceHalfWritten)) {
    copyBytes(from, to, newSt.st_size / 2);
    interruption.stop();
  }
  // The new content in place. A failure a test brings about comes after
  // the first half of it, as a disk that fills up on the way would.
  const bool simulatedFailure = simulated.err != 0 && simulated.step == ReplaceStep::Replace;
  const bool written = simulatedFailure ? copyBytes(from, to, newSt.st_size / 2) &&
                                              !ReplaceFailureSimulated(ReplaceStep::Replace)
                                        : copyBytes(from, to) && endAndSync(to, newSt.st_size);
  if (!written) {
    err = errno;
    // The old content back; the copy stays where that fails too, and is an
    // interrupted save once this write has ended.
    if (copyBytes(copy, to) && endAndSync(to, oldSt.st_size))
      ::unlink(copyPath.c_str());
    else
      keptCopy_ = copyPath;
  } else {
    if (interruptedAt(ReplaceMoment::InPlaceWritten)) interruption.stop();
    ::unlink(copyPath.c_str());
  }
  // The copy's name gone for good before it is let go.
  syncFolder(target_);
  ::close(copy);
  ::close(to);
  ::close(from);
  return written;
}

void FileReplacement::Abandon() {
  if (!helper_.empty()) {
    ::unlink(helper_.c_str());
    helper_.clear();
  }
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  owned_.Release();
}

}  // namespace kx
