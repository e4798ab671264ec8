#pragma once

// Running brenvik-gallery from its test and its benchmarks: the program of
// this build, a child process with a changed environment and a deadline, and
// an X server of their own. Header-only, for test and benchmark programs.

#include <TestSandbox.h>
#include <WaitUntil.h>
#include <XvfbServer.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace brenvik::gallery::test {

using brenvik::test::FindProgram;
using brenvik::test::MakeTempFolder;
using brenvik::test::WaitUntil;

constexpr auto kDeadline = std::chrono::seconds(60);

inline bool FileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

inline std::string GalleryPath()
{
    return std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-gallery";
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Waits for a child with a deadline; kills it when the deadline passes.
inline std::optional<int> WaitForExit(pid_t pid, std::chrono::steady_clock::duration timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0 && errno != EINTR)
            return std::nullopt;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

struct RunResult {
    std::optional<int> status;
    std::string output;
};

// Runs a program with changes to this process's environment (an empty
// value removes the variable); standard output and error are gathered
// (unless `keepOutput` is false: then they go to /dev/null).
inline RunResult RunProgram(const std::vector<std::string>& arguments,
    const std::map<std::string, std::string>& changes, bool keepOutput = true)
{
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; entry++) {
        std::string text = *entry;
        size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : changes) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> environment;
    for (const auto& [name, value] : variables)
        environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    std::string outputPath = keepOutput ? MakeTempFolder("run") + "/output" : "/dev/null";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    RunResult result;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0)
        result.status = WaitForExit(pid, kDeadline);
    posix_spawn_file_actions_destroy(&actions);
    if (keepOutput)
        result.output = ReadText(outputPath);
    return result;
}

using brenvik::test::XvfbServer;

} // namespace brenvik::gallery::test
