// How a user's file gets new content: the one rule for the console solver
// and the desktop program alike.
//
// The new content goes into a helper file in the file's own folder, marked
// as the writing process's own (owned_file.h). Once it is complete and on
// disk it takes the file's place:
// - A file with one name is replaced by renaming the helper over it. The
//   helper first takes the file's owner (for a process of the superuser)
//   and group, its permission bits, then its extended attributes (its
//   access list, system.posix_acl_access, among them: set after the bits,
//   it sets the group bits to its mask as the file has them).
// - A file the helper cannot stand in for whole is rewritten in place
//   instead, so that it keeps all it has: one with more than one name (hard
//   links), and one whose owner, group, permission bits or any extended
//   attribute the helper cannot be given (another user's file in a folder
//   the process may write, a group the process is no member of, an
//   attribute only the superuser may set). A copy of its old content is
//   put on disk beside it first, whole, under a name of its own kind,
//   marked as the writer's own; when writing in place fails, the old
//   content is written back from that copy. The copy goes once the file
//   holds one of the two contents whole.
// - A new file gets the permission bits the process's umask allows (0666
//   less the umask), as any program's new file does.
// Helper names stay within the longest name the folder takes: where a
// helper's additions would make a name too long, the file's name is cut in
// the helper's name, and a digest of the whole name keeps it that file's
// own.
//
// A write past the process's file-size limit fails with EFBIG as any
// other write does once FailWritesPastFileSizeLimit has run.
//
// A writer that stops on the way (killed at once, its machine stopped)
// leaves its helpers behind, no longer marked. The next write of the file
// removes them, except a copy of old content where the file holds neither
// content whole (neither the copy's bytes nor those of a new content the
// writer left): that is an interrupted save, the only whole copy of what
// the file held, and no write of the file goes on until it has been put
// back (RestoreInterruptedSave) or removed by the user.
//
// Standard library, POSIX and the C library's extended-attribute calls
// (<sys/xattr.h>) only.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "owned_file.h"

namespace kx {

// The folder of a path's file: the path before its last slash ("." for a
// name without one, "/" for a file in the root).
std::string FolderOf(const std::string& path);

// The longest file name the folder takes; 255 where the system does not say.
std::size_t FolderNameMax(const std::string& folder);

// The kinds of helper files, by the tag in their names:
// - the new content of a file while the desktop program writes it, and a
//   copy of a file's old content until that copy is whole;
inline constexpr char kNewContentTag[] = "kxtmp";
// - the new version of a solver file while a run of the solver writes it;
inline constexpr char kRewriteTag[] = "kxrun";
// - the whole old content of a file with more names while it is written in
//   place.
inline constexpr char kOldContentTag[] = "kxold";

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

// Makes a write beyond the process's file-size limit (RLIMIT_FSIZE, a
// shell's "ulimit -f") fail with EFBIG, as a write onto a full disk fails
// with ENOSPC, instead of ending the process by SIGXFSZ. Each program calls
// it first thing at its start.
void FailWritesPastFileSizeLimit();

// Removes the helpers beside the file `target` (the file itself, not a link
// to it) that no live process holds as its own, of every kind: what writers
// that stopped on the way left. A copy of old content goes only where the
// file holds those very bytes, or those of a new content a stopped writer
// left (it had written them whole in place); any other is an interrupted
// save and stays.
// Returns how many it removed. Every FileReplacement::Begin does this.
int RemoveAbandonedHelpers(const std::string& target);

// The interrupted saves of the file `target`: the copies of old content
// beside it that no live process holds, where the file holds neither their
// bytes nor those of a new content a stopped writer left. Each is the whole content the file had before a write in place that
// did not end (its writer was stopped, or could not write the old content
// back), while the file may hold part of the new content and part of the
// old. Oldest first: the first is the content from before the first save
// that was cut short.
std::vector<std::string> InterruptedSaves(const std::string& target);

// Writes the content of `copy`, an interrupted save of `target`, back into
// the file in place, so that every name of it reads that content, puts it
// on disk and removes the copy, with what stopped writers left beside it
// (RemoveAbandonedHelpers); a file no longer there is made again from the
// copy. False with the system's reason in `err` (EBUSY: a live process
// holds the copy), the copy then kept.
bool RestoreInterruptedSave(const std::string& target, const std::string& copy, int& err);

// What a write refused for an interrupted save says after the file's name:
// where the whole earlier content is kept and what the write waits for.
std::string InterruptedSaveNote(const std::string& copy);

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

// The moments of a write in place at which a test stops the writer, as a
// kill or a power cut would.
enum class ReplaceMoment {
  CopyHalfWritten,     // half of the copy of the old content is written
  InPlaceHalfWritten,  // the copy is whole; half of the new content is in the file
  InPlaceWritten,      // the new content is whole in the file; the copy is not yet removed
};

// For tests: while one lives, `stop` is called at that moment of every
// write in place (a test's child process ends itself there with SIGKILL).
class SimulatedInterruption {
 public:
  SimulatedInterruption(ReplaceMoment moment, void (*stop)());
  ~SimulatedInterruption();
  SimulatedInterruption(const SimulatedInterruption&) = delete;
  SimulatedInterruption& operator=(const SimulatedInterruption&) = delete;

 private:
  ReplaceMoment previousMoment_;
  void (*previousStop_)();
};

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
  // stream. The abandoned helpers beside the target go first
  // (RemoveAbandonedHelpers); where the target has an interrupted save, it
  // is not written: nullptr with EBUSY, and KeptCopy() names the copy.
  std::FILE* Begin(const std::string& target, std::string_view tag, int& err);

  // Once the caller has closed the stream without error: puts the helper's
  // content on disk and gives it the target's owner, group, permissions and
  // extended attributes (as the header says). False with the system's
  // reason in `err`. What the helper cannot be given makes Place write in
  // place; that is no failure.
  bool Settle(int& err);

  // Puts the settled content in the target's place (as the header says).
  // False with the system's reason in `err`: the target is as it was,
  // unless KeptCopy() names the file that holds its old content because it
  // could not be written back (an interrupted save from then on).
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
  // Settled with all that the target has: the rename may put it in its place.
  bool standsIn_ = false;
  std::string helper_;
  std::string keptCopy_;
  int fd_ = -1;  // the helper, for putting it on disk and setting its owner and mode
  OwnedFile owned_;
};

}  // namespace kx
