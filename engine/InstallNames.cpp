#include "InstallNames.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

#include <StorageScope.h>

#include <LibConvert.h>
#include <LibString.h>

namespace {

constexpr size_t kMaxComponent = 255;

} // namespace

bool IsSafeComponent(const std::string& name)
{
    if (name.empty() || name.size() > kMaxComponent || name == "." || name == "..")
        return false;
    for (unsigned char c : name) {
        if (c == '/' || c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

bool IsSafeRelativePath(const std::string& path)
{
    if (path.empty() || path.front() == '/')
        return false;
    bool any = false;
    size_t start = 0;
    while (true) {
        size_t slash = path.find('/', start);
        std::string component
            = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        // "a//b" and a trailing "/" are harmless; "." and ".." are not.
        if (!component.empty()) {
            if (!IsSafeComponent(component))
                return false;
            any = true;
        }
        if (slash == std::string::npos)
            return any;
        start = slash + 1;
    }
}

std::string Printable(const std::string& text)
{
    std::string printable;
    for (unsigned char c : text) {
        if (c == '\n') {
            printable += "\\n";
        } else if (c == '\t') {
            printable += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\x%02x", c);
            printable += escape;
        } else {
            printable += char(c);
        }
    }
    return printable;
}

bool DesktopExecArgument(const std::string& path, std::string* argument)
{
    static const char kReserved[] = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = false;
    std::string body;
    for (unsigned char c : path) {
        if (c < 0x20 || c == 0x7F)
            return false;
        if (std::strchr(kReserved, c) != nullptr)
            quote = true;
        if (c == '%') {
            body += "%%";
            continue;
        }
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            body += '\\';
        body += char(c);
    }
    std::string quoted = quote ? "\"" + body + "\"" : body;
    // The key's value is a string: its own escapes come on top.
    argument->clear();
    for (char c : quoted) {
        if (c == '\\')
            *argument += "\\\\";
        else
            *argument += c;
    }
    return true;
}

bool DesktopStringValue(const std::string& text, std::string* value)
{
    value->clear();
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return false;
        if (c == '\\')
            *value += "\\\\";
        else
            *value += char(c);
    }
    // A leading blank would be lost to the reader's trimming.
    if (!value->empty() && (*value)[0] == ' ')
        value->replace(0, 1, "\\s");
    return true;
}

std::string BytesText(uint64 bytes)
{
    // The window's formatter, so that the log and the window say the same.
    LibString text;
    LibBytesToString(bytes, text, 1);
    return static_cast<const char*>(text);
}

const char* StatusText(status_t status)
{
    switch (status) {
    case B_PERMISSION_DENIED:
    case B_NOT_ALLOWED:
        return "permission denied";
    case B_READ_ONLY_DEVICE:
        return "the file system is read-only";
    case B_DEVICE_FULL:
        return "no space left";
    case B_ENTRY_NOT_FOUND:
        return "a folder on its way is missing";
    case B_NOT_A_DIRECTORY:
        return "a folder on its way is a file";
    case B_IS_A_DIRECTORY:
    case B_BAD_VALUE:
        return "it is not a plain file";
    case B_BAD_DATA:
        return "it holds a damaged block of this tag, or is too large; it was left as it is";
    case B_TIMED_OUT:
        return "another installer kept it locked";
    default:
        return "input/output error";
    }
}

mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8)) & 0777;
    }
    mode_t mask = umask(022);
    umask(mask);
    return mask & 0777;
}

mode_t CreationMode(mode_t mode)
{
    return BPrivate::StorageScope::IsSystem() ? mode : mode & ~CurrentUmask();
}
