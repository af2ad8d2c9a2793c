// Files as the desktop program sees them: text is bytes (Latin-1, so a column
// is a byte and any byte read comes back unchanged when written), lines end
// in CR LF, LF or CR (a solver file's lines as the solver splits them),
// "read-only" is the owner-write bit being absent, and a
// file gets new content as the console solver's files do
// (solver/file_replacement.h): written whole beside it first, so that a
// failed write never leaves a half-written file, then put in its place
// keeping its permissions, owner, group, access list and other extended
// attributes and every name it has (hard links); a new file gets the
// permissions the umask allows. Through a symbolic link, the file the link
// names is the one written.
//
// Paths are std::string holding the file system's own bytes (UTF-8 text on
// this system). Failures throw kx::Error with FileNotFound, PathNotFound,
// PermissionDenied, FileWriteFailed, FileReadFailed or InputPastEndOfFile;
// any other reason the system gives is described in its own words, shared
// with the console solver (solver/file_failure.h): "The medium is
// read-only: <path>", "The disk is full: <path>", "The file is larger than
// this process may write: <path>" (a file-size limit), "The folder <folder>
// takes no new files: <path>" (PermissionDenied: no file can be made
// beside the file, which every write needs).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "file_replacement.h"

namespace kx::files {

enum class LineEnd { CrLf, Lf, Cr };

// The bytes of a file, read whole. A folder, a device, a pipe or a socket is
// refused (FileReadFailed) without reading from it.
std::string ReadAll(const std::string& path);
// The first `count` bytes of a file (all of a shorter one), refused as ReadAll.
std::string ReadHead(const std::string& path, std::size_t count);

// Splits bytes into lines at CR LF, LF or a lone CR. A line end at the very
// end adds no empty line; empty bytes give no line.
std::vector<std::string> SplitLines(std::string_view bytes);
// The same lines as views into the bytes, which must outlive them.
std::vector<std::string_view> SplitLineViews(std::string_view bytes);

// How bytes are split into lines: SplitLineViews for text, or the
// solver's own rule for a solver file (SplitSolverLines, solver_file.h).
using LineSplit = std::vector<std::string_view> (*)(std::string_view bytes);

// The lines of a file (ReadAll, then split).
std::vector<std::string> ReadLines(const std::string& path, LineSplit split = SplitLineViews);

// Replaces the file's content with the bytes (or creates the file). The
// bytes go to a hidden helper file beside it (named within the folder's
// limit however long the file's name is), which then takes its place: it
// is renamed over a file with one name, which keeps its permission bits,
// owner, group and extended attributes (its access list among them); a
// file with more names (hard links), or one whose owner, group, bits or
// attributes the helper cannot be given (solver/file_replacement.h), is
// written in place, its old content kept on disk beside it until the new
// content is, and written back when writing in place fails. A read-only
// target, and one this process may not write (another user's), is refused
// with PermissionDenied and left as it was. What writers that stopped on
// the way left beside the file goes first; a file whose earlier save was
// cut short (kx::InterruptedSaves) is not written: FileWriteFailed, "An
// earlier save of the file was cut short: <path>; its whole earlier
// content is kept in <copy>, ...".
// A symbolic link stays a link: the file it names (through further links,
// relative targets counting from each link's folder) is the target, written
// in its own folder; a link to a file that does not exist makes that file.
// A loop of links is FileWriteFailed, and so is a device, pipe or socket of
// that name, which stays as it was.
void WriteAll(const std::string& path, std::string_view bytes);

// Throws what WriteAll(path, ...) would be refused with before it replaces
// anything, and leaves everything as it was: a temporary file beside the
// file is made, written with a line and removed again (SimulatedWriteFailure
// refuses it at its first two steps as it does WriteAll).
void CheckWritable(const std::string& path);

// The file that WriteAll(path, ...) replaces or makes: the path itself, or
// the file its symbolic links lead to. A loop of links is FileWriteFailed.
std::string WriteTarget(const std::string& path);

// Writes each line followed by the line end, through WriteAll.
void WriteLines(const std::string& path, const std::vector<std::string>& lines, LineEnd end = LineEnd::CrLf);

// What a window knows of the file it read or last wrote, to tell later
// whether another program has changed the file since: whether it was there,
// the size and digest of its bytes, and its modification time. The digest
// is for comparisons within one run of the program only.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
    std::uint64_t digest = 0;
};

// The stamp of bytes just read from or written to the file at the path:
// their size and digest, and the file's modification time now. Through
// symbolic links, the file they lead to.
FileStamp StampOf(const std::string& path, std::string_view bytes);

// How the file at the path stands against a stamp taken earlier.
enum class DiskState {
    Unchanged,  // the same bytes and modification time (or still no file)
    Rewritten,  // written again with the same bytes: only the time differs
    Changed,    // other bytes, or a file where there was none
    Gone,       // there was a file, and there is none now
};
// Judges the file the path names through its symbolic links, by its bytes:
// a modification time that stayed does not prove the bytes did (clocks are
// coarse), and bytes that stayed lose nothing when overwritten whatever the
// time says. A file that is there but cannot be read throws.
DiskState CompareWithDisk(const FileStamp& known, const std::string& path);

// Whether two paths name one file: the same file on disk when both are
// there (symbolic and hard links included); otherwise the same place once
// links, ".", "..", repeated slashes and the working folder are resolved.
// An empty path names no file.
bool SameFile(const std::string& a, const std::string& b);

bool Exists(const std::string& path);        // a regular file (or a link to one)
bool FolderExists(const std::string& path);

// True when the file exists and its owner-write bit is absent.
bool IsReadOnly(const std::string& path);
// Removes (true) or adds (false) the owner-write bit. Throws when the file
// is missing.
void SetReadOnly(const std::string& path, bool readOnly);

// Deletes a regular file. A missing file is FileNotFound; a read-only one is
// refused with PermissionDenied.
void Remove(const std::string& path);

// For tests: refusals of the system that a test cannot bring about (a
// read-only medium, a full disk, a used-up quota). While one lives, every
// WriteAll fails at its step as if the system had given the reason `err`
// there, and the file written stays as it was: MakeTemporary, making the
// helper (or the copy of a hard-linked file's old content); WriteBytes,
// writing the helper; Replace, renaming it over the file, or, for a file
// with more names, after the first half of the new content went into it
// (which the old content then replaces again). The steps and the
// simulation are those of solver/file_replacement.h, under these names.
using WriteStep = ReplaceStep;
using SimulatedWriteFailure = SimulatedReplaceFailure;

// Reads a file line by line, as the program's sequential readers do: reading
// past the last line throws InputPastEndOfFile, naming the file and its last
// line ("Input past end of file: /data/run.txt ends after line 14"). The
// file is read whole on construction, split into lines by `split`, and
// closed at once.
class TextReader {
public:
    explicit TextReader(const std::string& path, LineSplit split = SplitLineViews);
    bool AtEnd() const { return next_ >= lines_.size(); }
    std::string ReadLine();
    // Number of the line that the next ReadLine returns (1 for the first).
    std::size_t NextLineNumber() const { return next_ + 1; }

private:
    std::string path_;
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

}  // namespace kx::files
