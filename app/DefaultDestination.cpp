#include "DefaultDestination.h"

#include <FindDirectory.h>
#include <Path.h>

#include <InstallConfig.h>
#include <InstallerFormat.h>
#include <LibEntry.h>
#include <LibStdDirName.h>

std::string DefaultDestination(const InstallConfig& config)
{
    const char* name = nullptr;
    if (config.FindString(InstallerFormat::Field::kDefaultFolder, &name) != B_OK)
        return std::string();
    BPath folder;
    if (IsKeyword(name, InstallerFormat::kCurrentFolder)) {
        if (!LibGetWorkingDirectory(folder))
            return std::string();
    } else {
        directory_which which;
        if (!LibGetStdDirName(name, which) || find_directory(which, &folder, false) != B_OK)
            return std::string();
    }
    return folder.Path();
}
