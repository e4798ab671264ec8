#include "Actions.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DesktopBus.h"
#include "ProcessRunner.h"
#include <Environment.h>
#include <PathHelpers.h>

namespace BPrivate {

namespace {

// How long the desktop's helpers (systemctl) may take to answer.
constexpr bigtime_t kHelperTimeout = 10000000;

status_t RunQuietly(const std::vector<std::string>& argv)
{
    ProcessOptions options;
    options.captureOutput = true;
    options.deadline = system_time() + kHelperTimeout;
    options.killGracePeriod = 500000;
    ProcessResult result;
    return ProcessRunner::Run(argv, options, &result);
}

std::vector<std::string> ChildEnvironment()
{
    return ProcessRunner::EnvironmentWithout("BRENVIK_");
}

status_t LaunchQuietly(const std::vector<std::string>& argv, const char* workingFolder)
{
    std::vector<std::string> environment = ChildEnvironment();
    return ProcessRunner::Launch(argv, workingFolder, &environment);
}

// Asks the desktop's file manager over the session bus.
status_t AskFileManager(const char* method, const std::string& path)
{
    DesktopBus bus;
    status_t status = bus.Connect(DesktopBus::B_SESSION_BUS);
    if (status != B_OK)
        return status;
    if (std::strcmp(method, "ShowItemProperties") == 0)
        return bus.ShowItemProperties({ path });
    if (std::strcmp(method, "ShowItems") == 0)
        return bus.ShowItems({ path });
    return bus.ShowFolders({ path });
}

// Restarts or powers off through logind on the system bus; where there is no
// system bus to ask (some containers), through systemctl.
status_t ShutDown(bool restart)
{
    DesktopBus bus;
    if (bus.Connect(DesktopBus::B_SYSTEM_BUS) == B_OK)
        return restart ? bus.RestartIfAllowed() : bus.PowerOffIfAllowed();
    return RunQuietly({ "systemctl", restart ? "reboot" : "poweroff" });
}

// The desktop's default application for a path: xdg-open, else gio.
status_t OpenWithDesktop(const std::string& path)
{
    status_t status = LaunchQuietly({ "xdg-open", path }, nullptr);
    if (status == B_OK)
        return B_OK;
    return LaunchQuietly({ "gio", "open", path }, nullptr);
}

bool RunningAsRoot()
{
    return geteuid() == 0;
}

} // namespace

bool Actions::IsLogging()
{
    // Set but empty still counts: a harness that clears the value by
    // mistake must not reboot the machine it runs on.
    return Environment::Get(kLogVariable) != nullptr;
}

std::string Actions::EscapeLogField(const std::string& field)
{
    static const char kHex[] = "0123456789abcdef";
    std::string escaped;
    for (unsigned char c : field) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                escaped += "\\x";
                escaped += kHex[c >> 4];
                escaped += kHex[c & 15];
            } else {
                escaped += char(c);
            }
        }
    }
    return escaped;
}

status_t Actions::Log(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); i++) {
        if (i > 0)
            line += '\t';
        line += i == 0 ? fields[i] : EscapeLogField(fields[i]);
    }
    line += '\n';
    const char* logPath = Environment::Get(kLogVariable);
    if (logPath == nullptr || logPath[0] == '\0')
        return B_BAD_VALUE;
    int fd = open(logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return StatusFromErrno(errno);
    ssize_t written = write(fd, line.data(), line.size());
    status_t status = written == ssize_t(line.size()) ? B_OK
        : written < 0                                 ? StatusFromErrno(errno)
                                                      : B_IO_ERROR;
    close(fd);
    return status;
}

bool Actions::CanRestart()
{
    // A logging harness always may: the restart is only written down.
    if (IsLogging())
        return true;
    DesktopBus bus;
    std::string answer;
    if (bus.Connect(DesktopBus::B_SYSTEM_BUS) != B_OK || bus.CanReboot(&answer) != B_OK)
        return false;
    return answer == "yes" || answer == "challenge";
}

status_t Actions::Restart()
{
    if (IsLogging())
        return Log({ "restart" });
    return ShutDown(true);
}

status_t Actions::PowerOff()
{
    if (IsLogging())
        return Log({ "power-off" });
    return ShutDown(false);
}

status_t Actions::Launch(
    const char* path, const std::vector<std::string>& arguments, const char* workingFolder)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    std::vector<std::string> argv;
    argv.reserve(arguments.size() + 2);
    if (IsLogging())
        argv.emplace_back("launch");
    argv.emplace_back(path);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (IsLogging())
        return Log(argv);
    if (RunningAsRoot())
        return B_NOT_ALLOWED;
    std::string folder = workingFolder != nullptr ? std::string(workingFolder) : FolderOf(path);
    return LaunchQuietly(argv, folder.c_str());
}

status_t Actions::RunScript(const char* path, int* exitStatus)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    if (exitStatus != nullptr)
        *exitStatus = -1;
    if (IsLogging())
        return Log({ "run-script", path });
    // A script whose first line names its interpreter, and that may be run,
    // is run by that interpreter (the kernel reads the line); any other by
    // the shell, as the platform always did.
    char start[2] = { 0, 0 };
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return StatusFromErrno(errno);
    bool interpreterLine = read(fd, start, 2) == 2 && start[0] == '#' && start[1] == '!';
    close(fd);
    std::vector<std::string> argv;
    if (!interpreterLine || access(path, X_OK) != 0)
        argv.emplace_back("/bin/sh");
    argv.emplace_back(path);
    std::vector<std::string> environment = ChildEnvironment();
    std::string folder = FolderOf(path);
    ProcessOptions options;
    options.workingFolder = folder.c_str();
    options.environment = &environment;
    ProcessResult result;
    status_t status = ProcessRunner::Run(argv, options, &result);
    if (status != B_OK && status != B_ERROR)
        return status;
    if (exitStatus != nullptr)
        *exitStatus = result.signal != 0 ? 128 + result.signal : result.exitCode;
    return B_OK;
}

status_t Actions::Open(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    if (IsLogging())
        return Log({ "open", path });
    if (RunningAsRoot())
        return B_NOT_ALLOWED;
    return OpenWithDesktop(path);
}

status_t Actions::OpenFolder(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    if (IsLogging())
        return Log({ "open-folder", path });
    if (RunningAsRoot())
        return B_NOT_ALLOWED;
    if (AskFileManager("ShowFolders", path) == B_OK)
        return B_OK;
    return OpenWithDesktop(path);
}

status_t Actions::ShowInfo(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    if (IsLogging())
        return Log({ "show-info", path });
    if (RunningAsRoot())
        return B_NOT_ALLOWED;
    if (AskFileManager("ShowItemProperties", path) == B_OK)
        return B_OK;
    // Without a file manager that shows properties, showing the item in its
    // folder is the nearest thing.
    if (AskFileManager("ShowItems", path) == B_OK)
        return B_OK;
    return OpenWithDesktop(FolderOf(path));
}

} // namespace BPrivate
