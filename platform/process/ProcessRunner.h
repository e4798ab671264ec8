#pragma once

// Runs other programs without a shell. Every program gets an argument
// vector, never a command line, so no file name (quotes, '$', backticks,
// newlines) can turn into a command; an argument that starts with '-' is
// still an option to most tools, so callers put "--" before file operands
// (or pass absolute paths, which never start with '-').
//
// Run waits, and its wait is a blocking point of the thread layer: when the
// waiting thread is killed (kill_thread), the child's whole process group
// gets SIGTERM, then SIGKILL after a grace period, is reaped, and only then
// does the thread unwind. Launch starts a program that outlives us.

#include <string>
#include <vector>

#include <OS.h>
#include <SupportDefs.h>

namespace BPrivate {

struct ProcessOptions {
    // The child's working folder. The parent's own never changes.
    const char* workingFolder = nullptr;
    // Collect the child's standard output and error in the result (each up
    // to kMaxCapture bytes; the rest is read and dropped). Otherwise they go
    // where ours go. Standard input is always /dev/null.
    bool captureOutput = false;
    // The child's environment ("NAME=value"); nullptr: ours.
    const std::vector<std::string>* environment = nullptr;
    // How long a child that is being stopped gets between SIGTERM and
    // SIGKILL.
    bigtime_t killGracePeriod = 2000000;
    // When to stop waiting (a system_time() value): the child is then
    // stopped as above and Run answers B_TIMED_OUT.
    bigtime_t deadline = B_INFINITE_TIMEOUT;
};

struct ProcessResult {
    pid_t pid = -1;
    int exitCode = -1; // set when the child exited normally
    int signal = 0; // set when a signal ended it
    std::string output;
    std::string errors;
};

class ProcessRunner {
public:
    static constexpr size_t kMaxCapture = 16 * 1024 * 1024;

    // Runs argv[0] (looked up along PATH when it has no '/') and waits for
    // it. B_OK when it exited with 0; B_ERROR when it exited otherwise or was
    // ended by a signal (the result says which); an error such as
    // B_ENTRY_NOT_FOUND or B_PERMISSION_DENIED when it could not be started
    // (missing program or working folder).
    [[nodiscard]] static status_t Run(
        const std::vector<std::string>& argv, const ProcessOptions& options, ProcessResult* result);

    // Starts argv[0] (posix_spawn) in a session of its own, with standard
    // input from /dev/null, and returns once it has been executed or has
    // failed to be (a missing program or working folder, a file Linux cannot
    // run). A thread of ours waits for the program's end, so that no zombie
    // remains; after our own end, init adopts it.
    [[nodiscard]] static status_t Launch(const std::vector<std::string>& argv,
        const char* workingFolder, const std::vector<std::string>* environment,
        pid_t* pid = nullptr);

    // Our environment without the variables whose names start with
    // `prefix` (programs we start should not inherit our own controls).
    static std::vector<std::string> EnvironmentWithout(const char* prefix);

    // The full path of a program name as execvp would find it along PATH.
    [[nodiscard]] static status_t FindProgram(const std::string& name, std::string* path);
};

} // namespace BPrivate
