// A file that one process makes and writes, marked as that process's own
// for as long as it holds it: an exclusive lock (flock) on the file, which
// the system drops however the process ends, killed at once included. So
// another process tells an abandoned file from one that a live writer still
// writes, and removes only the first.
//
// Shared by the console solver and the desktop program: the one place where
// they call the system for this (open, flock, fstat, stat, dup, unlink).
#pragma once

#include <cstdio>
#include <string>

namespace kx {

class OwnedFile {
 public:
  OwnedFile() = default;
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  ~OwnedFile() { Release(); }

  // Makes the file `path`, which must not exist yet, with the permission
  // bits `mode` (less the umask), and returns it open for writing, marked
  // as this process's own. nullptr when it cannot be
  // made, with the system's reason in `err` (EEXIST: the name is taken; try
  // another). Closing the returned stream keeps the mark: it lasts until
  // Release, so the file can still be renamed or removed as one's own.
  std::FILE* Create(const std::string& path, int& err, unsigned mode = 0666);
  // The same, returning a descriptor open for reading and writing (the
  // caller closes it; the mark stays until Release); -1 when the file cannot
  // be made.
  int CreateDescriptor(const std::string& path, int& err, unsigned mode = 0666);
  // Drops the mark.
  void Release();
  bool Held() const { return lock_ >= 0; }

 private:
  int lock_ = -1;
};

// Opens the regular file `path` and marks it as the caller's own while no
// live process holds it as its own (OwnedFile): a descriptor open for
// reading, whose closing drops the mark; -1 where another process holds
// it, it is no regular file, is gone or no longer under that name, or lies
// where the file system keeps no locks.
int TakeIfAbandoned(const std::string& path);

// Removes the regular file `path` when no live process holds it as its own
// (OwnedFile); true when it was removed. A file that is held, is no regular
// file, is gone, or lies where the file system keeps no locks (so that
// whether it is held cannot be told) is left alone.
bool RemoveIfAbandoned(const std::string& path);

}  // namespace kx
