// ProcessRunner: starting programs that outlive us, and their environment.

#include "ProcessRunner.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <PathHelpers.h>

extern char** environ;

namespace BPrivate {

namespace {

// What the launched side reports through the status pipe.
struct LaunchReport {
    int32 kind; // kReportPid or kReportError
    int32 value;
};

constexpr int32 kReportPid = 1;
constexpr int32 kReportError = 2;

void Report(int fd, int32 kind, int32 value)
{
    LaunchReport report = { kind, value };
    [[maybe_unused]] ssize_t written = write(fd, &report, sizeof(report));
}

// Runs in the grandchild, after fork: only async-signal-safe calls.
[[noreturn]] void ExecLaunched(
    int reportFd, const char* path, char* const* argv, char* const* envp, const char* workingFolder)
{
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaults = {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; signal++) {
        if (signal != SIGKILL && signal != SIGSTOP)
            sigaction(signal, &defaults, nullptr);
    }
    int null = open("/dev/null", O_RDONLY);
    if (null >= 0 && null != 0) {
        dup2(null, 0);
        close(null);
    }
    if (workingFolder != nullptr && chdir(workingFolder) != 0) {
        Report(reportFd, kReportError, errno);
        _exit(127);
    }
    execve(path, argv, envp);
    Report(reportFd, kReportError, errno);
    _exit(127);
}

std::vector<char*> CStrings(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (const std::string& text : strings)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Reads the reports until every writer has gone (exec closed the pipe).
status_t ReadReports(int fd, pid_t* pid)
{
    status_t status = B_OK;
    LaunchReport report;
    for (;;) {
        ssize_t length = read(fd, &report, sizeof(report));
        if (length < 0 && errno == EINTR)
            continue;
        if (length != ssize_t(sizeof(report)))
            break;
        if (report.kind == kReportPid && pid != nullptr)
            *pid = report.value;
        else if (report.kind == kReportError)
            status = StatusFromErrno(report.value);
    }
    return status;
}

} // namespace

status_t ProcessRunner::FindProgram(const std::string& name, std::string* path)
{
    if (name.empty())
        return B_BAD_VALUE;
    if (name.find('/') != std::string::npos) {
        *path = name;
        return access(name.c_str(), X_OK) == 0 ? B_OK : StatusFromErrno(errno);
    }
    const char* variable = std::getenv("PATH");
    std::string list = variable != nullptr ? variable : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= list.size()) {
        size_t colon = list.find(':', start);
        if (colon == std::string::npos)
            colon = list.size();
        std::string folder = list.substr(start, colon - start);
        std::string candidate = JoinPath(folder.empty() ? std::string(".") : folder, name);
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)
            && access(candidate.c_str(), X_OK) == 0) {
            *path = candidate;
            return B_OK;
        }
        start = colon + 1;
    }
    return B_ENTRY_NOT_FOUND;
}

status_t ProcessRunner::Launch(const std::vector<std::string>& argv, const char* workingFolder,
    const std::vector<std::string>* environment, pid_t* pid)
{
    if (argv.empty())
        return B_BAD_VALUE;
    std::string program;
    status_t status = FindProgram(argv[0], &program);
    if (status != B_OK)
        return status;
    // Everything the children need is prepared before fork: after it, in a
    // threaded program, only async-signal-safe calls are allowed.
    std::vector<char*> arguments = CStrings(argv);
    std::vector<std::string> environmentCopy
        = environment != nullptr ? *environment : EnvironmentWithout("");
    std::vector<char*> envp = CStrings(environmentCopy);
    int reports[2];
    if (pipe2(reports, O_CLOEXEC) != 0)
        return StatusFromErrno(errno);

    pid_t middle = fork();
    if (middle < 0) {
        status = StatusFromErrno(errno);
        close(reports[0]);
        close(reports[1]);
        return status;
    }
    if (middle == 0) {
        // The middle process gives the program a session of its own and
        // ends at once, so init adopts the program and reaps it later.
        close(reports[0]);
        setsid();
        pid_t launched = fork();
        if (launched == 0)
            ExecLaunched(reports[1], program.c_str(), arguments.data(), envp.data(), workingFolder);
        Report(reports[1], launched < 0 ? kReportError : kReportPid,
            launched < 0 ? errno : int32(launched));
        _exit(0);
    }
    close(reports[1]);
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) { }
    status = ReadReports(reports[0], pid);
    close(reports[0]);
    return status;
}

std::vector<std::string> ProcessRunner::EnvironmentWithout(const char* prefix)
{
    std::vector<std::string> result;
    size_t length = prefix != nullptr ? std::strlen(prefix) : 0;
    for (char** variable = environ; variable != nullptr && *variable != nullptr; variable++) {
        if (length == 0 || std::strncmp(*variable, prefix, length) != 0)
            result.push_back(*variable);
    }
    return result;
}

} // namespace BPrivate
