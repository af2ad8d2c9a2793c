#include "Files.h"

#include "Errors.h"
#include "file_failure.h"
#include "file_replacement.h"
#include "link_target.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx::files {
namespace {

enum class Access { Read, Write };

constexpr std::string_view kNoOrdinaryFile = "It is no ordinary file but a device, a pipe or a socket";

// The error for the system's reason `err`: a missing file or folder and a
// denied access by their own kinds, any other reason in its own words
// (a read-only medium, a full disk, ...), shared with the console solver.
[[noreturn]] void throwForErrno(int err, const std::string& path, Access access = Access::Write) {
    switch (err) {
        case ENOENT: throw Error(FolderExists(FolderOf(path)) ? ErrorKind::FileNotFound : ErrorKind::PathNotFound, path);
        case ENOTDIR: throw Error(ErrorKind::PathNotFound, path);
        case EACCES:
        case EPERM: throw Error(ErrorKind::PermissionDenied, path);
        case EISDIR: throw Error(ErrorKind::PermissionDenied, FileFailureCauseSentence(EISDIR), path);
        default:
            throw Error(access == Access::Write ? ErrorKind::FileWriteFailed : ErrorKind::FileReadFailed,
                        FileFailureCauseSentence(err), path);
    }
}

bool statFile(const std::string& path, struct stat& st) {
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

namespace {

// Reads at most `limit` bytes from the start of an ordinary file; a folder,
// a device, a pipe or a socket is refused without reading from it.
std::string readBytes(const std::string& path, std::size_t limit) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) throwForErrno(EISDIR, path, Access::Read);
    // Not held up by a pipe that nobody writes into.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throwForErrno(errno, path, Access::Read);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw Error(ErrorKind::FileReadFailed, kNoOrdinaryFile, path);
    }
    std::string bytes;
    // One allocation for what is read when the file's size is known.
    if (st.st_size > 0) bytes.reserve(std::min(limit, static_cast<std::size_t>(st.st_size)));
    char buf[65536];
    while (bytes.size() < limit) {
        ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - bytes.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            throwForErrno(err, path, Access::Read);
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

}  // namespace

std::string ReadAll(const std::string& path) { return readBytes(path, std::string().max_size()); }

std::string ReadHead(const std::string& path, std::size_t count) { return readBytes(path, count); }

std::vector<std::string_view> SplitLineViews(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    const std::vector<std::string_view> views = SplitLineViews(bytes);
    return std::vector<std::string>(views.begin(), views.end());
}

std::vector<std::string> ReadLines(const std::string& path, LineSplit split) {
    const std::string bytes = ReadAll(path);
    const std::vector<std::string_view> views = split(bytes);
    return std::vector<std::string>(views.begin(), views.end());
}

std::string WriteTarget(const std::string& path) {
    std::error_code linkError;
    std::string target = LinkTarget(path, linkError);
    if (linkError) throwForErrno(linkError.value(), path);
    return target;
}

namespace {

// The file a write at the path replaces or makes, after the refusals that
// come before anything is written: a folder, a device or a pipe of that
// name, a read-only file, a missing folder.
std::string placeOfWrite(const std::string& givenPath) {
    // Through a symbolic link the file it names is replaced, beside itself.
    const std::string path = WriteTarget(givenPath);
    struct stat st {};
    const bool existed = ::stat(path.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode)) throwForErrno(EISDIR, path);
    // A device or a pipe is never replaced by a file of the same name.
    if (existed && !S_ISREG(st.st_mode)) throw Error(ErrorKind::FileWriteFailed, kNoOrdinaryFile, path);
    if (existed && !(st.st_mode & S_IWUSR)) throw Error(ErrorKind::PermissionDenied, path);
    if (!FolderExists(FolderOf(path))) throw Error(ErrorKind::PathNotFound, path);
    // A file this process may not write (another user's) is not replaced
    // by one of its own either.
    if (existed && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && AccessRefused(errno))
        throw Error(ErrorKind::PermissionDenied, path);
    return path;
}

// Makes the helper beside the file and writes the bytes into it, closed;
// on failure nothing is left and the system's reason is thrown. A file
// whose earlier save was cut short is not written: the error names the
// copy that holds its whole earlier content.
void writeHelper(FileReplacement& replacement, const std::string& path, std::string_view bytes) {
    int err = 0;
    std::FILE* f = replacement.Begin(path, kNewContentTag, err);
    if (!f && !replacement.KeptCopy().empty())
        throw Error(ErrorKind::FileWriteFailed, "An earlier save of the file was cut short",
                    path + "; " + InterruptedSaveNote(replacement.KeptCopy()));
    // The file, if it is there, may well be writable: the folder refuses.
    if (!f && AccessRefused(err))
        throw Error(ErrorKind::PermissionDenied, AsSentence(FolderTakesNoNewFiles(FolderOf(path))), path);
    if (!f) throwForErrno(err, path);
    bool written = !ReplaceFailureSimulated(ReplaceStep::WriteBytes) &&
                   std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
    err = errno;
    if (std::fclose(f) != 0 && written) {
        written = false;
        err = errno;
    }
    if (!written) {
        replacement.Abandon();
        throwForErrno(err, path);
    }
}

}  // namespace

void CheckWritable(const std::string& givenPath) {
    const std::string path = placeOfWrite(givenPath);
    FileReplacement replacement;
    writeHelper(replacement, path, "Test\r\n");
}

void WriteAll(const std::string& givenPath, std::string_view bytes) {
    const std::string path = placeOfWrite(givenPath);
    FileReplacement replacement;
    writeHelper(replacement, path, bytes);
    int err = 0;
    if (replacement.Commit(err)) return;
    const std::string kept = replacement.KeptCopy();
    replacement.Abandon();
    if (kept.empty()) throwForErrno(err, path);
    throw Error(ErrorKind::FileWriteFailed, FileFailureCauseSentence(err),
                path + "; its earlier content is kept in " + kept);
}

void WriteLines(const std::string& path, const std::vector<std::string>& lines, LineEnd end) {
    const char* eol = end == LineEnd::CrLf ? "\r\n" : end == LineEnd::Lf ? "\n" : "\r";
    std::string bytes;
    size_t total = 0;
    for (const auto& l : lines) total += l.size() + 2;
    bytes.reserve(total);
    for (const auto& l : lines) {
        bytes += l;
        bytes += eol;
    }
    WriteAll(path, bytes);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return statFile(path, st);
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnly(const std::string& path) {
    struct stat st {};
    return statFile(path, st) && !(st.st_mode & S_IWUSR);
}

void SetReadOnly(const std::string& path, bool readOnly) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throwForErrno(errno, path);
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~static_cast<mode_t>(S_IWUSR)) : (mode | S_IWUSR);
    if (::chmod(path.c_str(), mode) != 0) throwForErrno(errno, path);
}

void Remove(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) throwForErrno(errno, path);
    if (S_ISDIR(st.st_mode)) throwForErrno(EISDIR, path);
    if (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)) throw Error(ErrorKind::PermissionDenied, path);
    if (::unlink(path.c_str()) != 0) throwForErrno(errno, path);
}

namespace {

std::uint64_t digestOf(std::string_view bytes) { return std::hash<std::string_view>{}(bytes); }

std::int64_t modifiedNs(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

FileStamp StampOf(const std::string& path, std::string_view bytes) {
    FileStamp stamp;
    struct stat st {};
    stamp.exists = statFile(path, st);
    stamp.size = bytes.size();
    stamp.digest = digestOf(bytes);
    if (stamp.exists) stamp.modified = modifiedNs(st);
    return stamp;
}

DiskState CompareWithDisk(const FileStamp& known, const std::string& path) {
    struct stat st {};
    const bool there = ::stat(path.c_str(), &st) == 0;
    if (!there) return known.exists ? DiskState::Gone : DiskState::Unchanged;
    if (!known.exists || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) != known.size)
        return DiskState::Changed;
    if (digestOf(ReadAll(path)) != known.digest) return DiskState::Changed;
    return modifiedNs(st) == known.modified ? DiskState::Unchanged : DiskState::Rewritten;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    struct stat sa {}, sb {};
    const bool aThere = ::stat(a.c_str(), &sa) == 0;
    const bool bThere = ::stat(b.c_str(), &sb) == 0;
    if (aThere && bThere) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (aThere != bThere) return false;
    // Neither is there: the places where each would be made.
    const auto place = [](const std::string& path) {
        std::error_code error;
        std::string target = LinkTarget(path, error);
        if (error) target = path;
        std::filesystem::path full = std::filesystem::absolute(target, error);
        if (error) full = target;
        const std::filesystem::path normal = std::filesystem::weakly_canonical(full, error);
        return (error ? full.lexically_normal() : normal).string();
    };
    return place(a) == place(b);
}

TextReader::TextReader(const std::string& path, LineSplit split) : path_(path), lines_(ReadLines(path, split)) {}

std::string TextReader::ReadLine() {
    if (AtEnd())
        throw Error(ErrorKind::InputPastEndOfFile,
                    path_ + (lines_.empty() ? " is empty" : " ends after line " + std::to_string(lines_.size())));
    return lines_[next_++];
}

}  // namespace kx::files
