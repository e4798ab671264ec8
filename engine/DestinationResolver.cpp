#include "DestinationResolver.h"

#include <cstring>

#include <FindDirectory.h>
#include <Path.h>

#include <LibStdDirName.h>

#include "InstallNames.h"
#include "InstallerFormat.h"

using namespace InstallerFormat;

DestinationResolver::result_kind DestinationResolver::Resolve(
    const char* name, const BMessage& customFolders, std::string* path, int32* index)
{
    if (name == nullptr)
        return B_UNKNOWN_NAME;
    BMessage entry;
    for (int32 i = 0; customFolders.FindMessage(Field::kCustomFolder, i, &entry) == B_OK; i++) {
        const char* entryName = nullptr;
        if (entry.FindString(Field::kCustomFolderName, &entryName) != B_OK
            || std::strcmp(entryName, name) != 0)
            continue;
        if (index != nullptr)
            *index = i;
        int32 root = 0;
        const char* sub = nullptr;
        BPath parent;
        if (entry.FindInt32(Field::kCustomRootDir, &root) != B_OK
            || entry.FindString(Field::kCustomSubDir, &sub) != B_OK || !IsSafeRelativePath(sub)
            || find_directory(directory_which(root), &parent, false, nullptr) != B_OK)
            return B_UNSAFE_FOLDER;
        std::string joined = std::string(parent.Path()) + "/" + sub;
        while (joined.size() > 1 && joined.back() == '/')
            joined.pop_back();
        *path = joined;
        return B_CUSTOM_FOLDER;
    }
    directory_which which;
    BPath folder;
    if (!LibGetStdDirName(name, which) || find_directory(which, &folder, false, nullptr) != B_OK)
        return B_UNKNOWN_NAME;
    *path = folder.Path();
    return B_STANDARD_FOLDER;
}
