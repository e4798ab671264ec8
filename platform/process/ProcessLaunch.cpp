// ProcessRunner: starting programs that outlive us, and their environment.

#include "ProcessRunner.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <Environment.h>
#include <PathHelpers.h>

extern char** environ;

namespace BPrivate {

namespace {

std::vector<char*> CStrings(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (const std::string& text : strings)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// The launched program is our child until it ends; a thread of its own
// waits for it, so that no zombie is left while we run. Once we have ended,
// init adopts it.
void Reap(pid_t child)
{
    std::thread([child] {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
    }).detach();
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
    // A set-id run looks only in the system's folders (Environment.h).
    std::string list = Environment::SearchPath();
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
    std::vector<char*> arguments = CStrings(argv);
    std::vector<std::string> environmentCopy
        = environment != nullptr ? *environment : EnvironmentWithout("");
    std::vector<char*> envp = CStrings(environmentCopy);

    // posix_spawn reports a failed chdir, open or exec itself, and does not
    // copy our address space the way fork would.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (workingFolder != nullptr)
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    // A session of its own: the program neither gets our terminal's signals
    // nor ends with our process group.
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    int error = posix_spawn(
        &child, program.c_str(), &actions, &attributes, arguments.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return StatusFromErrno(error);
    Reap(child);
    if (pid != nullptr)
        *pid = child;
    return B_OK;
}

std::vector<std::string> ProcessRunner::EnvironmentWithout(const char* prefix)
{
    std::vector<std::string> result;
    size_t length = prefix != nullptr ? std::strlen(prefix) : 0;
    // What a set-id run starts searches the folders it searched itself.
    bool searchFixed
        = Environment::Get("PATH") == nullptr && Environment::IsSecure(Environment::Current());
    for (char** variable = environ; variable != nullptr && *variable != nullptr; variable++) {
        if (searchFixed && std::strncmp(*variable, "PATH=", 5) == 0)
            continue;
        if (length == 0 || std::strncmp(*variable, prefix, length) != 0)
            result.push_back(*variable);
    }
    if (searchFixed)
        result.push_back(std::string("PATH=") + Environment::kSystemSearchPath);
    return result;
}

} // namespace BPrivate
