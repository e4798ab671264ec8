#include "DestinationCheck.h"

#include <Message.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "DestinationResolver.h"
#include "InstallConfig.h"
#include "InstallerFormat.h"

namespace DestinationCheck {

std::string Problem(const std::string& folder, std::string* blocking)
{
    std::string path = folder;
    while (!path.empty()) {
        struct stat info;
        if (stat(path.c_str(), &info) == 0) {
            if (blocking != nullptr)
                *blocking = path;
            if (!S_ISDIR(info.st_mode))
                return std::strerror(ENOTDIR);
            // The kernel's answer for this user, read-only mounts included.
            if (access(path.c_str(), W_OK | X_OK) != 0)
                return std::strerror(errno);
            return "";
        }
        // A file above it on the way is found as the walk goes up.
        if (errno != ENOENT && errno != ENOTDIR) {
            if (blocking != nullptr)
                *blocking = path;
            return std::strerror(errno);
        }
        size_t slash = path.find_last_of('/');
        if (slash == std::string::npos)
            break;
        path = slash == 0 ? std::string("/") : path.substr(0, slash);
        if (path == "/" && stat("/", &info) != 0)
            break;
    }
    if (blocking != nullptr)
        *blocking = folder;
    return std::strerror(ENOENT);
}

std::vector<std::string> OtherFolders(
    const BMessage& configuration, const std::vector<bool>& ticked)
{
    namespace Field = InstallerFormat::Field;
    BMessage instructions;
    BMessage customFolders;
    configuration.FindMessage(Field::kInstallInstructions, &instructions);
    configuration.FindMessage(Field::kCustomFolder, &customFolders);
    std::vector<std::string> folders;
    auto add = [&](const char* name) {
        std::string path;
        if (name == nullptr || name[0] == '\0' || IsKeyword(name, InstallerFormat::kUserSelected)
            || IsKeyword(name, InstallerFormat::kNone))
            return;
        DestinationResolver::result_kind kind
            = DestinationResolver::Resolve(name, customFolders, &path, nullptr);
        if (kind > DestinationResolver::B_STANDARD_FOLDER || path.empty())
            return;
        if (std::find(folders.begin(), folders.end(), path) == folders.end())
            folders.push_back(path);
    };
    BMessage item;
    for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        if (size_t(i) >= ticked.size() || !ticked[size_t(i)])
            continue;
        BMessage meta;
        item.FindMessage(Field::kInstallMeta, &meta);
        add(meta.GetString(Field::kDestination, ""));
        add(meta.GetString(Field::kLink, ""));
    }
    return folders;
}

} // namespace DestinationCheck
