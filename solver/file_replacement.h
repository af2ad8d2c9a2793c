// How a user's file gets new content: the one rule for the console solver
// and the desktop program alike.
//
// The new content goes into a helper file in the file's own folder, marked
// as the writing process's own (owned_file.h). Once it is complete and on
// disk it takes the file's place:
// - A file with one name is replaced by renaming the helper over it. The
//   helper first takes the file's permission bits and, where the system
//   lets it, its group (and its owner, for a process of the superuser).
// - A file with more than one name (hard links) keeps all of them: its
//   content is rewritten in place. A copy of its old content is put on
//   disk beside it first; when writing in place fails, the old content is
//   written back from that copy. The copy goes once the file holds one of
//   the two contents whole.
// - A new file gets the permission bits the process's umask allows (0666
//   less the umask), as any program's new file does.
// Helper names stay within the longest name the folder takes: where a
// helper's additions would make a name too long, the file's name is cut in
// the helper's name, and a digest of the whole name keeps it that file's
// own.
//
// Standard library and POSIX only.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "owned_file.h"

namespace kx {

// The folder of a path's file: the path before its last slash ("." for a
// name without one, "/" for a file in the root).
std::string FolderOf(const std::string& path);

// The longest file name the folder takes; 255 where the system does not say.
std::size_t FolderNameMax(const std::string& folder);

// The characters that follow a helper's name prefix: lower-case
// hexadecimal digits.
inline constexpr std::size_t kHelperSuffixDigits = 8;

// The start of the names of helper files of one kind (`tag`, a word with a
// letter that is no hexadecimal digit) beside the file named `fileName`, in
// a folder whose names are at most `nameMax` bytes long: "." fileName "."
// tag ".". Where that and the digits would be too long, the file's name is
// cut (never inside a UTF-8 character) and the tag is followed by "~" and
// the 16 hexadecimal digits of the whole name's digest, then ".". So the
// helpers of two files never share a prefix.
std::string HelperNamePrefix(std::string_view fileName, std::string_view tag, std::size_t nameMax);

// True when `name` is the prefix followed by kHelperSuffixDigits digits.
bool IsHelperName(std::string_view name, std::string_view prefix);

// The steps of a replacement at which a test makes the system refuse.
enum class ReplaceStep {
  MakeTemporary,  // making a helper file (the new content's, or the copy of the old)
  WriteBytes,     // writing the new content into its helper (checked by the writer)
  Replace,        // the rename; or, for a file with more names, writing in place
                  // after a first part of the new content went in
};

// For tests: while one lives, the step fails as if the system had given
// the reason `err` there; what was simulated before comes back when it ends.
class SimulatedReplaceFailure {
 public:
  explicit SimulatedReplaceFailure(int err, ReplaceStep step = ReplaceStep::WriteBytes);
  ~SimulatedReplaceFailure();
  SimulatedReplaceFailure(const SimulatedReplaceFailure&) = delete;
  SimulatedReplaceFailure& operator=(const SimulatedReplaceFailure&) = delete;

 private:
  int previousErr_;
  ReplaceStep previousStep_;
};
// True, with errno set, when a test makes this step fail.
bool ReplaceFailureSimulated(ReplaceStep step);

class FileReplacement {
 public:
  FileReplacement() = default;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  ~FileReplacement() { Abandon(); }

  // Makes the helper that will hold the new content of `target` (a path
  // that is no symbolic link; the file need not exist yet): named
  // HelperNamePrefix(its name, tag, its folder's limit) and random digits,
  // readable by its owner only while the target exists (it has the target's
  // permissions only once complete). Returns it open for writing; nullptr
  // with the system's reason in `err`. The caller writes it and closes the
  // stream.
  std::FILE* Begin(const std::string& target, std::string_view tag, int& err);

  // Once the caller has closed the stream without error: puts the helper's
  // content on disk and gives it the target's permissions, group and owner
  // (as the header says). False with the system's reason in `err`.
  bool Settle(int& err);

  // Puts the settled content in the target's place (as the header says).
  // False with the system's reason in `err`: the target is as it was,
  // unless KeptCopy() names the file that holds its old content because it
  // could not be written back.
  bool Place(int& err);

  // Settle, then Place.
  bool Commit(int& err) { return Settle(err) && Place(err); }

  // Removes the helper unless it has taken the target's place.
  void Abandon();

  bool Begun() const { return !helper_.empty(); }
  const std::string& Target() const { return target_; }
  const std::string& KeptCopy() const { return keptCopy_; }

 private:
  bool rewriteInPlace(int& err);

  std::string target_;
  std::string helper_;
  std::string keptCopy_;
  int fd_ = -1;  // the helper, for putting it on disk and setting its owner and mode
  OwnedFile owned_;
};

}  // namespace kx
