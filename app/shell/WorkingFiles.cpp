#include "WorkingFiles.h"

#include "Errors.h"
#include "SharedState.h"
#include "file_failure.h"
#include "owned_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>

namespace kx {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = ".kxcopy.";
constexpr std::string_view kLockSuffix = ".lock";

// ".kxcopy." digits "." eight hexadecimal digits: the name of a working
// folder.
bool isFolderName(std::string_view name) {
    if (name.substr(0, kPrefix.size()) != kPrefix) return false;
    name.remove_prefix(kPrefix.size());
    const std::size_t dot = name.find('.');
    if (dot == 0 || dot == std::string_view::npos || name.size() - dot - 1 != 8) return false;
    for (std::size_t k = 0; k < name.size(); ++k) {
        const char c = name[k];
        const bool digit = c >= '0' && c <= '9';
        if (k < dot ? !digit : k > dot && !(digit || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void removeAll(const std::string& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

// The working folder of this process.
struct Own {
    pid_t process = 0;   // the process that made it
    std::string assist;  // the AssistFolder it was made in
    std::string folder;  // with a trailing "/"
    OwnedFile lock;
};

// This process's working folder; a process started by fork() from one that
// had one has none of its own yet (the folder stays its parent's).
Own& own() {
    static Own o;
    if (!o.folder.empty() && o.process != ::getpid()) {
        o.lock.Release();
        o.folder.clear();
        o.assist.clear();
    }
    return o;
}

std::string randomSuffix() {
    static std::mt19937 random(std::random_device{}());
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(random()));
    return hex;
}

// Makes a new working folder in `assist`: the mark first, then the folder,
// so that a folder without its mark is never that of a copy that runs.
void makeFolder(Own& o, const std::string& assist) {
    for (int attempt = 0;; ++attempt) {
        const std::string name = std::string(kPrefix) + std::to_string(::getpid()) + "." + randomSuffix();
        const std::string path = assist + name;
        int err = 0;
        if (std::FILE* mark = o.lock.Create(path + std::string(kLockSuffix), err, 0666)) {
            std::fclose(mark);
            if (::mkdir(path.c_str(), 0777) == 0) {
                o.process = ::getpid();
                o.assist = assist;
                o.folder = path + "/";
                return;
            }
            err = errno;
            o.lock.Release();
            ::unlink((path + std::string(kLockSuffix)).c_str());
        }
        // A name taken (by another copy, or by a folder left behind) is
        // tried anew.
        if (err != EEXIST || attempt >= 100)
            throw Error(ErrorKind::FileWriteFailed, FileFailureCauseSentence(err),
                        "cannot make the folder of this program's working files in " + assist);
    }
}

}  // namespace

std::string WorkingFolder() {
    Own& o = own();
    const std::string& assist = Shared().AssistFolder;
    if (o.lock.Held() && o.assist == assist && isFolder(o.folder)) return o.folder;
    RemoveWorkingFolder();
    RemoveAbandonedWorkingFolders(assist);
    makeFolder(o, assist);
    return o.folder;
}

std::string WorkingFile(const std::string& name) { return WorkingFolder() + name; }

void RemoveWorkingFolder() {
    Own& o = own();
    if (o.folder.empty()) return;
    std::string folder = o.folder;
    folder.pop_back();
    removeAll(folder);
    ::unlink((folder + std::string(kLockSuffix)).c_str());
    o.lock.Release();
    o.folder.clear();
    o.assist.clear();
}

int RemoveAbandonedWorkingFolders(const std::string& assistFolder) {
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(assistFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string path = it->path().string();
        if (name.size() > kLockSuffix.size() && name.ends_with(kLockSuffix)) {
            const std::string folder = path.substr(0, path.size() - kLockSuffix.size());
            if (!isFolderName(name.substr(0, name.size() - kLockSuffix.size())) || !RemoveIfAbandoned(path)) continue;
            removeAll(folder);
            ++removed;
        } else if (isFolderName(name) && isFolder(path) && ::access((path + std::string(kLockSuffix)).c_str(), F_OK) != 0 &&
                   errno == ENOENT) {
            // Its mark is gone (removed by a start that stopped before the
            // folder): no copy runs with it.
            removeAll(path);
            ++removed;
        }
    }
    return removed;
}

}  // namespace kx
