#include "ProcessRunner.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <BlockingPoint.h>
#include <Descriptor.h>
#include <Environment.h>

extern char** environ;

namespace BPrivate {

namespace {

// Owns a started child until it has been reaped. When the owner leaves
// without reaping it (the waiting thread was killed and is unwinding, or
// the deadline passed), the child's process group is asked to stop, then
// forced to, and the child is reaped, so nothing outlives the wait.
class ChildGuard {
public:
    ChildGuard(pid_t pid, bigtime_t gracePeriod)
        : fPid(pid)
        , fGracePeriod(gracePeriod)
        , fPidFd(int(syscall(SYS_pidfd_open, pid, 0)))
    {
    }
    ~ChildGuard()
    {
        if (!fReaped)
            Stop();
    }
    ChildGuard(const ChildGuard&) = delete;
    ChildGuard& operator=(const ChildGuard&) = delete;

    int PidFd() const { return fPidFd.Get(); }

    // Reaps the child if it has ended; true when it has.
    bool TryReap(int* status)
    {
        pid_t result = waitpid(fPid, status, WNOHANG);
        if (result == fPid || (result < 0 && errno == ECHILD))
            fReaped = true;
        return fReaped;
    }

private:
    // Whether the child has ended, without reaping it: while it is an
    // unreaped zombie its pid, and so its process group id, cannot be reused.
    bool HasEnded()
    {
        siginfo_t info = {};
        return waitid(P_PID, id_t(fPid), &info, WEXITED | WNOHANG | WNOWAIT) != 0
            || info.si_pid == fPid;
    }

    void Stop()
    {
        kill(-fPid, SIGTERM);
        // A plain poll: this runs while the thread unwinds after a kill,
        // when the thread layer's waits return at once.
        bigtime_t deadline = system_time() + fGracePeriod;
        while (!HasEnded() && system_time() < deadline) {
            if (fPidFd.Get() >= 0) {
                pollfd fd = { fPidFd.Get(), POLLIN, 0 };
                poll(&fd, 1, int(std::max<bigtime_t>(1, (deadline - system_time()) / 1000)));
            } else {
                usleep(10000);
            }
        }
        // Whatever is left of the group (the child, or programs it started)
        // is forced to end before the child is reaped.
        kill(-fPid, SIGKILL);
        int status;
        while (waitpid(fPid, &status, 0) < 0 && errno == EINTR) { }
        fReaped = true;
    }

    pid_t fPid;
    bigtime_t fGracePeriod;
    Descriptor fPidFd;
    bool fReaped = false;
};

struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

// The child starts with default signal handling and no blocked signals,
// whatever this process has set up, in a process group of its own (so that
// stopping it reaches the programs it starts in turn).
void PrepareAttributes(posix_spawnattr_t* attributes)
{
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigmask(attributes, &none);
    posix_spawnattr_setsigdefault(attributes, &all);
    posix_spawnattr_setpgroup(attributes, 0);
    posix_spawnattr_setflags(
        attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
}

std::vector<char*> ArgumentPointers(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (const std::string& text : strings)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Reads what is there without blocking; false at the end of the stream.
bool Drain(int fd, std::string* into)
{
    char buffer[65536];
    for (;;) {
        ssize_t length = read(fd, buffer, sizeof(buffer));
        if (length > 0) {
            size_t room
                = ProcessRunner::kMaxCapture - std::min(into->size(), ProcessRunner::kMaxCapture);
            into->append(buffer, std::min(size_t(length), room));
            continue;
        }
        if (length < 0 && errno == EINTR)
            continue;
        return length < 0 && errno == EAGAIN;
    }
}

void RecordExit(int status, ProcessResult* result)
{
    if (WIFEXITED(status))
        result->exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result->signal = WTERMSIG(status);
}

struct Pipes {
    Descriptor outRead, outWrite, errRead, errWrite;

    status_t Open()
    {
        int out[2];
        int err[2];
        if (pipe2(out, O_CLOEXEC | O_NONBLOCK) != 0)
            return StatusFromErrno(errno);
        outRead.Reset(out[0]);
        outWrite.Reset(out[1]);
        if (pipe2(err, O_CLOEXEC | O_NONBLOCK) != 0)
            return StatusFromErrno(errno);
        errRead.Reset(err[0]);
        errWrite.Reset(err[1]);
        // The child's ends block, as programs expect of their output.
        fcntl(outWrite.Get(), F_SETFL, 0);
        fcntl(errWrite.Get(), F_SETFL, 0);
        return B_OK;
    }
};

// Waits for the child, reading its output meanwhile. B_OK once reaped.
status_t WaitForChild(
    ChildGuard& child, Pipes* pipes, const ProcessOptions& options, ProcessResult* result)
{
    Descriptor poller(epoll_create1(EPOLL_CLOEXEC));
    if (poller.Get() < 0)
        return StatusFromErrno(errno);
    bool outOpen = pipes != nullptr;
    bool errOpen = pipes != nullptr;
    for (int fd : { child.PidFd(), outOpen ? pipes->outRead.Get() : -1,
             errOpen ? pipes->errRead.Get() : -1 }) {
        epoll_event event = {};
        event.events = EPOLLIN;
        event.data.fd = fd;
        if (fd >= 0)
            epoll_ctl(poller.Get(), EPOLL_CTL_ADD, fd, &event);
    }
    int status = 0;
    while (!child.TryReap(&status)) {
        // Without a pidfd (very old kernels) the child is polled for.
        bigtime_t deadline = child.PidFd() >= 0 ? options.deadline
                                                : std::min(options.deadline, system_time() + 10000);
        status_t waited = WaitForDescriptor(poller.Get(), POLLIN, deadline);
        if (waited == B_TIMED_OUT && options.deadline != B_INFINITE_TIMEOUT
            && system_time() >= options.deadline)
            return B_TIMED_OUT;
        if (waited != B_OK && waited != B_TIMED_OUT)
            return waited;
        if (outOpen && !Drain(pipes->outRead.Get(), &result->output)) {
            epoll_ctl(poller.Get(), EPOLL_CTL_DEL, pipes->outRead.Get(), nullptr);
            outOpen = false;
        }
        if (errOpen && !Drain(pipes->errRead.Get(), &result->errors)) {
            epoll_ctl(poller.Get(), EPOLL_CTL_DEL, pipes->errRead.Get(), nullptr);
            errOpen = false;
        }
    }
    // What the child wrote before it ended is still in the pipes. (A
    // program it left running may hold them open; that is not waited for.)
    if (outOpen)
        Drain(pipes->outRead.Get(), &result->output);
    if (errOpen)
        Drain(pipes->errRead.Get(), &result->errors);
    RecordExit(status, result);
    return B_OK;
}

} // namespace

status_t ProcessRunner::Run(
    const std::vector<std::string>& argv, const ProcessOptions& options, ProcessResult* result)
{
    if (argv.empty() || argv[0].empty() || result == nullptr)
        return B_BAD_VALUE;
    *result = ProcessResult();
    SpawnSetup setup;
    PrepareAttributes(&setup.attributes);
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    Pipes pipes;
    if (options.captureOutput) {
        status_t status = pipes.Open();
        if (status != B_OK)
            return status;
        posix_spawn_file_actions_adddup2(&setup.actions, pipes.outWrite.Get(), 1);
        posix_spawn_file_actions_adddup2(&setup.actions, pipes.errWrite.Get(), 2);
    }
    if (options.workingFolder != nullptr)
        posix_spawn_file_actions_addchdir_np(&setup.actions, options.workingFolder);

    std::vector<std::string> program = argv;
    std::vector<std::string> ownEnvironment;
    const std::vector<std::string>* given = options.environment;
    if (Environment::IsSecure(Environment::Current())) {
        // A set-id run does not believe PATH: the program is looked for in
        // the system's folders, and is given those to search in turn.
        if (argv[0].find('/') == std::string::npos && FindProgram(argv[0], &program[0]) != B_OK)
            return B_ENTRY_NOT_FOUND;
        if (given == nullptr) {
            ownEnvironment = EnvironmentWithout("");
            given = &ownEnvironment;
        }
    }
    std::vector<char*> arguments = ArgumentPointers(program);
    std::vector<char*> environment;
    if (given != nullptr)
        environment = ArgumentPointers(*given);
    char** envp = given != nullptr ? environment.data() : environ;
    pid_t pid;
    int error = program[0].find('/') == std::string::npos
        ? posix_spawnp(
            &pid, arguments[0], &setup.actions, &setup.attributes, arguments.data(), envp)
        : posix_spawn(
            &pid, arguments[0], &setup.actions, &setup.attributes, arguments.data(), envp);
    if (error != 0)
        return StatusFromErrno(error);
    result->pid = pid;
    pipes.outWrite.Reset();
    pipes.errWrite.Reset();

    ChildGuard child(pid, options.killGracePeriod);
    status_t status
        = WaitForChild(child, options.captureOutput ? &pipes : nullptr, options, result);
    if (status != B_OK)
        return status;
    return result->exitCode == 0 ? B_OK : B_ERROR;
}

} // namespace BPrivate
