#pragma once

// Running part of a test as an ordinary user, whom file permissions bind:
// root writes into read-only files and folders, so a test run by root (as in
// CI) would never meet what a user meets. Header-only; GoogleTest programs
// only.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSandbox.h"

namespace brenvik::test {

// The user and group a test run by root drops to: ids no account has, so
// that nothing of the machine's is theirs.
constexpr uid_t kOrdinaryUid = 64123;
constexpr gid_t kOrdinaryGid = 64123;

namespace detail {

inline void GiveSandboxTo(uid_t uid, gid_t gid)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const std::string& root = SandboxRoot();
    lchown(root.c_str(), uid, gid);
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error))
        lchown(it->path().c_str(), uid, gid);
}

// A child's exit status that says the sandbox is out of an ordinary user's
// reach (a TMPDIR inside a folder private to root).
constexpr int kUnreachable = 77;

} // namespace detail

// Runs `body` in a child process as an ordinary user and returns whether it
// could: as root, the child hands the sandbox to kOrdinaryUid and drops to it
// (with that, every capability goes); as anybody else, it runs `body` as it
// is. Expectations that fail in the body fail the test: their messages
// appear in the child's output, and its exit status says so. When the
// sandbox is out of an ordinary user's reach, nothing runs and the result is
// false (the caller skips). Afterwards the sandbox is root's again.
inline bool RunAsOrdinaryUser(const std::function<void()>& body)
{
    bool root = geteuid() == 0;
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = fork();
    if (child < 0) {
        ADD_FAILURE() << "cannot start a child process: " << std::strerror(errno);
        return true;
    }
    if (child == 0) {
        if (root) {
            detail::GiveSandboxTo(kOrdinaryUid, kOrdinaryGid);
            if (setgroups(0, nullptr) != 0
                || setresgid(kOrdinaryGid, kOrdinaryGid, kOrdinaryGid) != 0
                || setresuid(kOrdinaryUid, kOrdinaryUid, kOrdinaryUid) != 0)
                _exit(2);
            if (access(SandboxRoot().c_str(), R_OK | W_OK | X_OK) != 0)
                _exit(detail::kUnreachable);
        }
        body();
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (root)
        detail::GiveSandboxTo(0, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == detail::kUnreachable)
        return false;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the part run as an ordinary user failed (see its output above)";
    return true;
}

} // namespace brenvik::test
