#pragma once

// Running brenvik-gallery from its test and its benchmarks: the program of
// this build, a child process with a changed environment and a deadline, and
// an X server of their own. Header-only, for test and benchmark programs.

#include <TestSandbox.h>
#include <WaitUntil.h>

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

using brenvik::test::MakeTempFolder;
using brenvik::test::WaitUntil;

constexpr auto kDeadline = std::chrono::seconds(60);

inline bool FileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

inline std::string FindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return std::string();
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

// An X server of the test's own, on a display number nobody uses.
class XvfbServer {
public:
    ~XvfbServer() { Stop(); }

    bool Start(const std::string& program)
    {
        for (int number = 170; number < 260; number++) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (FileExists(socket) || FileExists(lock))
                continue;
            std::vector<std::string> arguments = { program, ":" + std::to_string(number), "-screen",
                "0", "1024x768x24", "-nolisten", "tcp", "-noreset" };
            std::vector<char*> argv;
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            int spawned = posix_spawn(&fPid, argv[0], &actions, nullptr, argv.data(), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (spawned != 0)
                return false;
            bool exited = false;
            bool ready = WaitUntil([&] {
                int status;
                if (waitpid(fPid, &status, WNOHANG) == fPid) {
                    exited = true;
                    return true;
                }
                return FileExists(socket);
            });
            if (ready && !exited) {
                fDisplay = ":" + std::to_string(number);
                return true;
            }
            if (exited)
                fPid = -1;
            else
                Stop();
        }
        return false;
    }

    void Stop()
    {
        if (fPid <= 0)
            return;
        kill(fPid, SIGTERM);
        int status;
        while (waitpid(fPid, &status, 0) < 0 && errno == EINTR) { }
        fPid = -1;
    }

    const std::string& Display() const { return fDisplay; }

private:
    pid_t fPid = -1;
    std::string fDisplay;
};

} // namespace brenvik::gallery::test
