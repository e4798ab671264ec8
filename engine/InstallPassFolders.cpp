// Folders of the install pass: destination names resolved to folders
// (InstallConfig::GetNewPath), folders made and recorded, and the scratch
// folders in which each new item is prepared beside its place.

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <LibFileOperations.h>
#include <LibString.h>

#include "DestinationResolver.h"
#include "InstallConfig.h"
#include "InstallNames.h"
#include "InstallPass.h"
#include "InstallerFormat.h"

using namespace InstallerFormat;

bool InstallConfig::GetNewPath(const char* name, BMessage& customFolders, BVolume& volume,
    const char* savedPath, LibString& path)
{
    // Custom folders follow the scope's standard folders, whatever the
    // volume the user chose.
    (void)volume;
    (void)savedPath;
    if (fPass == nullptr || name == nullptr)
        return false;
    std::string folder;
    int32 index = -1;
    switch (DestinationResolver::Resolve(name, customFolders, &folder, &index)) {
    case DestinationResolver::B_UNKNOWN_NAME:
        Log("\t\t\tThere is no folder named %s.\n", Printable(name).c_str());
        return false;
    case DestinationResolver::B_UNSAFE_FOLDER:
        Log("\t\t\tThe folder %s does not lead to a safe place.\n", Printable(name).c_str());
        return false;
    case DestinationResolver::B_STANDARD_FOLDER:
        break;
    case DestinationResolver::B_CUSTOM_FOLDER: {
        BMessage entry;
        customFolders.FindMessage(Field::kCustomFolder, index, &entry);
        if (entry.GetBool(Field::kCustomReplaceExisting)) {
            // Replaced once per pass: later items join the first in the
            // fresh folder.
            struct stat info;
            if (lstat(folder.c_str(), &info) == 0
                && !fPass->Displace(folder,
                    fPass->SaveReplaced() ? InstallPass::B_DISPLACE_SAVE
                                          : InstallPass::B_DISPLACE_TRASH))
                Log("\t\t\tThe existing folder %s is used as it is.\n", folder.c_str());
            entry.ReplaceBool(Field::kCustomReplaceExisting, false);
            customFolders.ReplaceMessage(Field::kCustomFolder, index, &entry);
        }
        break;
    }
    }
    // Standard folders of Linux may be missing (a fresh home has no
    // ~/.local/share/sounds); they are made as custom folders are.
    if (!fPass->MakeFolders(folder))
        return false;
    path = folder.c_str();
    return true;
}

bool InstallPass::MakeFolders(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return true;
        fConfig.Log("\t\t\t%s is not a folder.\n", path.c_str());
        return false;
    }
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || (slash > 0 && !MakeFolders(path.substr(0, slash))))
        return false;
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, path.c_str());
    fields.AddBool(InstallRecord::kFieldExisted, false);
    int32 step = fRecord.Begin(InstallRecord::kKindFolder, fields);
    if (step < 0)
        return false;
    if (mkdir(path.c_str(), 0775) != 0 && errno != EEXIST) {
        int error = errno;
        fRecord.Failed(step, StatusFromErrno(error), std::strerror(error));
        fConfig.Log("\t\t\tThe folder %s cannot be made: %s\n", path.c_str(), std::strerror(error));
        return false;
    }
    fRecord.Done(step);
    return true;
}

bool InstallPass::MakeScratch(const std::string& folder, std::string* scratch, int32* step)
{
    std::string name = folder + "/.brenvik-XXXXXX";
    if (mkdtemp(name.data()) == nullptr) {
        int error = errno;
        fConfig.Log(
            "\t\t\tNothing can be written in %s: %s\n", folder.c_str(), std::strerror(error));
        return false;
    }
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, name.c_str());
    *step = fRecord.Begin(InstallRecord::kKindScratch, fields);
    if (*step < 0) {
        rmdir(name.c_str());
        return false;
    }
    *scratch = name;
    return true;
}

void InstallPass::RemoveScratch(const std::string& scratch, int32 step)
{
    if (scratch.empty())
        return;
    if (LibUnlink(scratch.c_str()))
        fRecord.Done(step);
    else
        fRecord.Failed(step, B_ERROR, "the scratch folder could not be removed");
}
