// The folders a system installation writes into, checked before anything is
// written (TrustedFolders.h): the destination, every custom and standard
// folder an item or its link goes to, the start-up folder and the folders of
// the scripts the pass edits; and, when an existing item is moved aside, the
// trash it goes to.

#include <set>
#include <string>
#include <vector>

#include <Entry.h>
#include <FindDirectory.h>
#include <Path.h>
#include <PathHelpers.h>
#include <StorageScope.h>
#include <Volume.h>

#include "DestinationResolver.h"
#include "InstallConfig.h"
#include "InstallNames.h"
#include "InstallPass.h"
#include "InstallerFormat.h"
#include "ScriptTargets.h"
#include "TrustedFolders.h"

using namespace InstallerFormat;
using BPrivate::FolderOf;

std::vector<std::string> InstallPass::FoldersWrittenInto()
{
    std::vector<std::string> folders { fDestination };
    std::set<std::string> seen { fDestination };
    auto add = [&](const std::string& folder) {
        if (!folder.empty() && seen.insert(folder).second)
            folders.push_back(folder);
    };
    BMessage customFolders;
    fConfig.FindMessage(Field::kCustomFolder, &customFolders);
    // A destination or link name as the pass will resolve it (GetNewPath);
    // a name it cannot resolve puts the item into the installation folder.
    auto addNamed = [&](const char* name) {
        std::string folder;
        DestinationResolver::result_kind kind
            = DestinationResolver::Resolve(name, customFolders, &folder, nullptr);
        if (kind == DestinationResolver::B_CUSTOM_FOLDER
            || kind == DestinationResolver::B_STANDARD_FOLDER)
            add(folder);
    };
    BMessage instructions;
    fConfig.FindMessage(Field::kInstallInstructions, &instructions);
    BMessage item;
    for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        if (!item.GetBool(Field::kInstallToSystem))
            continue;
        BMessage meta;
        item.FindMessage(Field::kInstallMeta, &meta);
        const char* destination = meta.GetString(Field::kDestination, "");
        if (!IsKeyword(destination, kUserSelected))
            addNamed(destination);
        const char* link = meta.GetString(Field::kLink, kNone);
        if (!IsKeyword(link, kNone) && !IsKeyword(link, kUserSelected))
            addNamed(link);
    }
    bool bootScript = fConfig.GetBool(Field::kCreateStartup);
    if (bootScript)
        addNamed("StartUp");
    struct Script {
        bool on;
        directory_which folder;
        const char* name;
        const char* tagField;
    };
    const Script scripts[] = {
        { bootScript, B_USER_BOOT_DIRECTORY, ScriptTargets::kBootScript, nullptr },
        { fConfig.GetBool(Field::kEditBootscript), B_USER_BOOT_DIRECTORY,
            ScriptTargets::kBootScript, Field::kEditBootscriptTag },
        { fConfig.GetBool(Field::kEditSetupEnv), B_USER_BOOT_DIRECTORY,
            ScriptTargets::kSetupEnvironment, Field::kEditSetupEnvTag },
        { fConfig.GetBool(Field::kEditProfile), B_USER_DIRECTORY, ScriptTargets::kProfile,
            Field::kEditProfileTag },
    };
    for (const Script& script : scripts) {
        if (!script.on)
            continue;
        std::string tag = script.tagField != nullptr ? fConfig.GetString(script.tagField, "")
                                                     : ScriptTargets::kStartUpFolderTag;
        add(FolderOf(ScriptTargets::ScriptPath(script.folder, script.name, tag)));
        if (script.folder == B_USER_BOOT_DIRECTORY)
            add(FolderOf(ScriptTargets::AutostartPath()));
    }
    return folders;
}

status_t InstallPass::CheckSystemFolders(std::string* error)
{
    if (!BPrivate::StorageScope::IsSystem())
        return B_OK;
    for (const std::string& folder : FoldersWrittenInto()) {
        std::string component;
        std::string reason;
        if (TrustedFolders::Check(folder, &component, &reason) != B_OK) {
            *error = Format(TextId::kCannotCreateFolder,
                         Printable(fConfig.GetString(Field::kCreatedFolder, "")).c_str())
                + "\n\n(" + folder + ": " + component + ": " + reason
                + "; a system installation writes nowhere another user could change)";
            return B_NOT_ALLOWED;
        }
    }
    return B_OK;
}

bool InstallPass::TrashIsTrusted(const std::string& path)
{
    if (!BPrivate::StorageScope::IsSystem())
        return true;
    BEntry entry(path.c_str());
    BVolume volume;
    BPath trash;
    if (entry.GetVolume(&volume) != B_OK
        || find_directory(B_TRASH_DIRECTORY, &trash, false, &volume) != B_OK) {
        fConfig.Log("\t\t\tThe trash of %s cannot be found.\n", path.c_str());
        return false;
    }
    std::string component;
    std::string reason;
    if (TrustedFolders::Check(trash.Path(), &component, &reason) == B_OK)
        return true;
    fConfig.Log("\t\t\tThe trash %s is not used: %s: %s\n", trash.Path(), component.c_str(),
        reason.c_str());
    return false;
}
