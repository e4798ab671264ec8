#pragma once

// Running other programs from tests and benchmarks: the stock tools (zip,
// unzip, xdotool), X servers. Always without a shell, with an argument
// vector, so that no file name is ever interpreted. Header-only, so that
// test programs and benchmark programs can both use it.

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace brenvik::test {

// Starts a program (arguments[0] is its path), in `folder` when one is
// given, with its standard output discarded, and its standard error too when
// `quiet`. Returns its process id, or -1 when it cannot be started.
inline pid_t Spawn(
    const std::vector<std::string>& arguments, const std::string& folder = "", bool quiet = false)
{
    if (arguments.empty())
        return -1;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for a started program; its exit status, or -1 when it did not exit
// normally.
inline int WaitForExitStatus(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a program to its end (see Spawn); its exit status, -1 when it could
// not be started or did not exit normally.
inline int RunTool(const std::vector<std::string>& arguments, const std::string& folder = "")
{
    pid_t pid = Spawn(arguments, folder);
    return pid < 0 ? -1 : WaitForExitStatus(pid);
}

} // namespace brenvik::test
