#pragma once

// Running part of a test in a child process: one with mounts of its own, or
// one run as an ordinary user, whom file permissions bind (root writes into
// read-only files and folders, so a test run by root, as in CI, would never
// meet what a user meets). Header-only; GoogleTest programs only.

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

// Runs `body` of a test in a child process, after `prepare` (which returns 0,
// or the child's exit status when the body cannot run there). Expectations
// that fail in the body fail the child: their messages appear in its output,
// and it exits 1. Returns the child's exit status (128 + the signal when one
// ended it, 1 when it could not start).
inline int RunTestInChild(const std::function<int()>& prepare, const std::function<void()>& body)
{
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        int status = prepare();
        if (status != 0)
            _exit(status);
        body();
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return 1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs `body` in a child process as an ordinary user and returns whether it
// could: as root, the child hands the sandbox to kOrdinaryUid and drops to it
// (with that, every capability goes); as anybody else, it runs `body` as it
// is. Expectations that fail in the body fail the test. When the sandbox is
// out of an ordinary user's reach, nothing runs and the result is false (the
// caller skips). Afterwards the sandbox is root's again.
inline bool RunAsOrdinaryUser(const std::function<void()>& body)
{
    bool root = geteuid() == 0;
    auto drop = [root] {
        if (!root)
            return 0;
        detail::GiveSandboxTo(kOrdinaryUid, kOrdinaryGid);
        if (setgroups(0, nullptr) != 0 || setresgid(kOrdinaryGid, kOrdinaryGid, kOrdinaryGid) != 0
            || setresuid(kOrdinaryUid, kOrdinaryUid, kOrdinaryUid) != 0)
            return 2;
        if (access(SandboxRoot().c_str(), R_OK | W_OK | X_OK) != 0)
            return detail::kUnreachable;
        return 0;
    };
    int status = RunTestInChild(drop, body);
    if (root)
        detail::GiveSandboxTo(0, 0);
    if (status == detail::kUnreachable)
        return false;
    EXPECT_EQ(status, 0) << "the part run as an ordinary user failed (see its output above)";
    return true;
}

} // namespace brenvik::test
