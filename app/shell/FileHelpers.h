// Small file helpers every window uses: splitting a path, deleting a file
// without raising, and the read-only test of a file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace kx {

// Splits the path with its surrounding blanks removed: name is everything
// after the last "/" (the whole path when there is none), extension
// everything after the last "." of the whole path (the whole path when there
// is none), position the length of name plus one.
void SplitFileName(const std::string& path, std::string& name, std::string& extension, std::int32_t& position);

// Deletes the file. failed is false on success, true when the path is empty
// or the file cannot be deleted (missing, read-only, a folder). Never throws.
void DeleteFileIfPresent(const std::string& path, bool& failed);

// A file the program writes for itself to hand on at once (a table for a
// text window to read): deleted (DeleteFileIfPresent) when the guard goes,
// whatever happened in between.
class ScratchFile {
public:
    explicit ScratchFile(std::string path) : path_(std::move(path)) {}
    ~ScratchFile() {
        bool failed = false;
        DeleteFileIfPresent(path_, failed);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Why the file cannot be opened for reading, as a sentence that names the
// file ("File not found: /data/run.txt.", "It is a folder: /data."), for a
// refusal to give on a line of its own after its own words; "" when it can
// be opened. An empty path is "No file name is given.". Shows nothing.
std::string WhyUnreadable(const std::string& path);

// Why a file cannot be written at the path, in the same form ("The medium is
// read-only: /mnt/r.txt.", "Path not found: /no/such/r.txt."); "" when it can
// (files::CheckWritable, which leaves everything as it was).
std::string WhyUnwritable(const std::string& path);

// States returned by CheckReadOnly.
inline constexpr std::int32_t kNoPathGiven = 9999;
inline constexpr std::int32_t kNotReadOnly = 0;
inline constexpr std::int32_t kReadOnly = 1;
inline constexpr std::int32_t kReadOnlyCleared = 32;

// Reports whether the file is read-only (its owner-write bit absent) and,
// with clear, makes it writable. state is kNoPathGiven for an empty path,
// kNotReadOnly for a writable or unreadable file, kReadOnly (with the
// message) for a read-only file not cleared, kReadOnlyCleared when it was
// read-only and has been made writable. Never throws, never shows anything.
void CheckReadOnly(const std::string& path, std::int32_t& state, std::string& message, bool clear);

}  // namespace kx
