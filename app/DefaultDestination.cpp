#include "DefaultDestination.h"

#include <FindDirectory.h>
#include <Path.h>

#include <InstallAnswers.h>
#include <InstallConfig.h>
#include <InstallerFormat.h>
#include <LibEntry.h>
#include <LibStdDirName.h>

#include <sys/stat.h>
#include <unistd.h>

std::string DefaultDestination(const InstallConfig& config)
{
    const char* name = nullptr;
    if (config.FindString(InstallerFormat::Field::kDefaultFolder, &name) != B_OK)
        return std::string();
    if (IsKeyword(name, InstallerFormat::kCurrentFolder)) {
        BPath folder;
        if (!LibGetWorkingDirectory(folder))
            return std::string();
        return folder.Path();
    }
    directory_which which;
    std::string folder;
    if (!LibGetStdDirName(name, which) || BPrivate::FindDirectoryPath(which, &folder) != B_OK)
        return std::string();
    // On a fresh account the folder, and the folders above it (~/.local),
    // may not be there yet: it is still the place to offer, when the user
    // may make it. The pass makes it, and records it for the removal.
    struct stat info;
    if (stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? folder : std::string();
    std::string nearest = InstallAnswersCheck::NearestExisting(folder);
    if (nearest.empty() || stat(nearest.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)
        || access(nearest.c_str(), W_OK | X_OK) != 0)
        return std::string();
    return folder;
}
