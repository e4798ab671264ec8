#include "Actions.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ProcessRunner.h"
#include <PathHelpers.h>

namespace BPrivate {

namespace {

// How long the desktop's helpers (systemctl, dbus-send) may take to answer.
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

// A file:// URI with every byte but the unreserved ones and '/' escaped, so
// that it is also safe inside dbus-send's comma-separated arrays.
std::string FileUri(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += char(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

// Asks the desktop's file manager over the session bus.
status_t AskFileManager(const char* method, const std::string& path)
{
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr)
        return B_UNSUPPORTED;
    const char* token = std::getenv("XDG_ACTIVATION_TOKEN");
    if (token == nullptr)
        token = std::getenv("DESKTOP_STARTUP_ID");
    return RunQuietly({ "dbus-send", "--session", "--print-reply", "--reply-timeout=5000",
        "--dest=org.freedesktop.FileManager1", "--type=method_call",
        "/org/freedesktop/FileManager1", std::string("org.freedesktop.FileManager1.") + method,
        "array:string:" + FileUri(path),
        std::string("string:") + (token != nullptr ? token : "") });
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

std::string FolderOf(const std::string& path)
{
    std::string folder;
    std::string leaf;
    SplitPath(CleanPath(path), &folder, &leaf);
    return folder.empty() ? std::string("/") : folder;
}

} // namespace

bool Actions::IsLogging()
{
    // Set but empty still counts: a harness that clears the value by
    // mistake must not reboot the machine it runs on.
    return std::getenv(kLogVariable) != nullptr;
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
    const char* logPath = std::getenv(kLogVariable);
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

status_t Actions::Restart()
{
    if (IsLogging())
        return Log({ "restart" });
    return RunQuietly({ "systemctl", "reboot" });
}

status_t Actions::PowerOff()
{
    if (IsLogging())
        return Log({ "power-off" });
    return RunQuietly({ "systemctl", "poweroff" });
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
