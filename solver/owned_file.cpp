#include "owned_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx {

namespace {

int closeKeepingErrno(int fd) {
  const int err = errno;
  ::close(fd);
  return err;
}

}  // namespace

std::FILE* OwnedFile::Create(const std::string& path, int& err, unsigned mode) {
  const int fd = CreateDescriptor(path, err, mode);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    err = closeKeepingErrno(fd);
    ::unlink(path.c_str());
    Release();
  }
  return f;
}

int OwnedFile::CreateDescriptor(const std::string& path, int& err, unsigned mode) {
  Release();
  err = 0;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
  if (fd < 0) {
    err = errno;
    return -1;
  }
  // A file system that keeps no locks makes the file unmarked: no other
  // process can take the lock there either, so none removes it.
  bool locked = true;
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    locked = false;
    break;
  }
  // A process that cleans up abandoned files may have taken the lock in the
  // moment between making the file and locking it, and removed the file:
  // then the name is made anew.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_nlink == 0) {
    ::close(fd);
    err = EEXIST;
    return -1;
  }
  // The mark belongs to the open file, not to a descriptor: a second
  // descriptor of it keeps the mark after the caller's is closed.
  if (locked) {
    lock_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (lock_ < 0) {
      err = closeKeepingErrno(fd);
      ::unlink(path.c_str());
      return -1;
    }
  }
  return fd;
}

void OwnedFile::Release() {
  if (lock_ < 0) return;
  ::close(lock_);
  lock_ = -1;
}

int TakeIfAbandoned(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat held {}, named {};
  // Still the file of that name (not renamed into its place since)?
  if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      ::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
    return fd;
  ::close(fd);
  return -1;
}

bool RemoveIfAbandoned(const std::string& path) {
  const int fd = TakeIfAbandoned(path);
  if (fd < 0) return false;
  const bool removed = ::unlink(path.c_str()) == 0;
  ::close(fd);
  return removed;
}

}  // namespace kx
