#pragma once
// For tests that need a private mount or a lower privilege: the body runs in a forked child.

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

inline constexpr int kChildSkipped = 77;  // the system cannot run the test

// The body's result as the child's exit code; 126 when it threw.
inline int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int rc = 126;
        try {
            rc = body();
        } catch (...) {
        }
        std::_Exit(rc);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// In a child: a tmpfs over `folder` that this process alone sees; false where mounting is
// not allowed.
inline bool MountPrivateTmpfs(const std::string& folder, const char* options) {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options) == 0;
}

// In a child: gives up root, so that permission bits hold.
inline bool DropRoot() {
    return ::geteuid() != 0 ||
           (::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
            ::setresuid(65534, 65534, 65534) == 0);
}
