// Test support: work done in a child process of the test, for what a test
// must not do to itself: run as another user (tests run as the superuser,
// who may write any file), or under a file-size limit.
#pragma once

#include <functional>
#include <string>

#include <csignal>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kx::test {

// Makes the calling process the user `uid` with the group `gid` and no
// other groups, for good. False when the system refuses.
inline bool BecomeUser(uid_t uid, gid_t gid) {
    return ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 && ::setresuid(uid, uid, uid) == 0;
}

// How a child process ended: its exit status, or the signal that ended it.
struct ChildEnd {
    int status = -1;  // -1 when a signal ended it (or it could not be started)
    int signal = 0;
};

// Runs `body` in a child process, which ends with the status it returns
// (nothing of the test's own, such as a failed check, goes on there). What
// the child has to tell goes through files.
inline ChildEnd InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 127;
        try {
            status = body();
        } catch (...) {
            status = 126;
        }
        ::_exit(status);
    }
    ChildEnd end;
    int raw = 0;
    if (pid < 0 || ::waitpid(pid, &raw, 0) != pid) return end;
    if (WIFEXITED(raw)) end.status = WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) end.signal = WTERMSIG(raw);
    return end;
}

}  // namespace kx::test
