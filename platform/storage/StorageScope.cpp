#include "StorageScope.h"

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <vector>

#include <Environment.h>

#include "PathHelpers.h"

namespace BPrivate {

namespace {

bool IsAbsolute(const char* value)
{
    return value != nullptr && value[0] == '/';
}

} // namespace

install_scope StorageScope::Current()
{
    const char* forced = Environment::Get("BRENVIK_SCOPE");
    if (forced != nullptr && std::strcmp(forced, "user") == 0)
        return B_USER_SCOPE;
    if (forced != nullptr && std::strcmp(forced, "system") == 0)
        return B_SYSTEM_SCOPE;
    return geteuid() == 0 ? B_SYSTEM_SCOPE : B_USER_SCOPE;
}

std::string StorageScope::ShownPath(const std::string& path)
{
    if (Current() != B_USER_SCOPE)
        return path;
    std::string home = Home();
    if (home == "/" || home.empty())
        return path;
    if (path == home)
        return "~";
    if (path.size() > home.size() && path.compare(0, home.size(), home) == 0
        && path[home.size()] == '/')
        return "~" + path.substr(home.size());
    return path;
}

std::string StorageScope::Home()
{
    const char* home = Environment::Get("HOME");
    if (IsAbsolute(home))
        return CleanPath(home);
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(size > 0 ? size : 16384));
    struct passwd entry;
    struct passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr
        && IsAbsolute(found->pw_dir))
        return CleanPath(found->pw_dir);
    return "/";
}

std::string StorageScope::XdgFolder(const char* variable, const char* fallback)
{
    const char* value = Environment::Get(variable);
    if (IsAbsolute(value))
        return CleanPath(value);
    return JoinPath(Home(), fallback);
}

std::string StorageScope::SystemRoot()
{
    const char* root = Environment::Get("BRENVIK_ROOT");
    if (!IsAbsolute(root))
        return "";
    std::string clean = CleanPath(root);
    return clean == "/" ? std::string() : clean;
}

std::string StorageScope::BootFolder()
{
    if (Current() == B_USER_SCOPE)
        return Home();
    std::string root = SystemRoot();
    return root.empty() ? std::string("/") : root;
}

std::string StorageScope::StateFolder()
{
    if (Current() == B_USER_SCOPE)
        return JoinPath(XdgFolder("XDG_DATA_HOME", ".local/share"), "brenvik");
    return SystemRoot() + "/var/lib/brenvik";
}

} // namespace BPrivate
