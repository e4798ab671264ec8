// Folders of the install pass: destination names resolved to folders
// (InstallConfig::GetNewPath), folders made and recorded, and the scratch
// folders in which each new item is prepared beside its place.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <FindDirectory.h>
#include <HeldFolder.h>
#include <Path.h>
#include <ProcessRunner.h>
#include <StorageScope.h>

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
                    fPass->SaveReplaced() ? InstallPass::kDisplaceSave
                                          : InstallPass::kDisplaceTrash))
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
    // Each folder is made in its parent's handle and opened without
    // following a link: in a folder others may write in (a sticky one, as
    // /tmp), a user may have made the name first, or put a link there
    // between the mkdir and the open.
    BPrivate::Descriptor parent;
    std::string leaf;
    status_t status = BPrivate::OpenParentOf(path, &parent, &leaf);
    if (status != B_OK) {
        fConfig.Log("\t\t\tThe folder %s cannot be made: %s\n", path.c_str(), StatusText(status));
        return false;
    }
    BPrivate::Descriptor folder;
    bool made = false;
    return MakeRecordedFolder(parent.Get(), path, leaf, &folder, &made);
}

bool InstallPass::MakeRecordedFolder(int parent, const std::string& path, const std::string& leaf,
    BPrivate::Descriptor* folder, bool* made)
{
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, path.c_str());
    fields.AddBool(InstallRecord::kFieldExisted, false);
    int32 step = fRecord.Begin(InstallRecord::kKindFolder, fields);
    if (step < 0)
        return false;
    auto observer = [&] {
        if (fConfig.fFolderMadeObserver)
            fConfig.fFolderMadeObserver(path);
    };
    struct stat info;
    status_t status = BPrivate::MakeFolderAt(parent, leaf, 0775, folder, made, observer);
    if (status == B_OK && (fstat(folder->Get(), &info) != 0 || info.st_uid != geteuid()))
        status = B_NOT_ALLOWED;
    if (status != B_OK) {
        const char* why = status == B_NOT_ALLOWED
            ? "it was replaced by a link or another user's folder"
            : StatusText(status);
        fRecord.Failed(step, status, why);
        fConfig.Log("\t\t\tThe folder %s cannot be made: %s\n", path.c_str(), why);
        return false;
    }
    if (!*made) {
        // Made meanwhile by this user: used, but not ours to remove.
        fRecord.Failed(step, B_FILE_EXISTS, "it was there already");
        return true;
    }
    // The removal takes away only this folder, known by these.
    BMessage result;
    result.AddInt64(InstallRecord::kFieldDevice, int64(info.st_dev));
    result.AddInt64(InstallRecord::kFieldInode, int64(info.st_ino));
    fRecord.Done(step, &result);
    return true;
}

status_t InstallPass::OpenDestination(const std::string& folder, BPrivate::Descriptor* held)
{
    if (folder == fInstallFolder)
        return BPrivate::OpenFolderBeneath(fFolder.Get(), "", held);
    if (fFolder.IsValid() && folder.rfind(fInstallFolder + "/", 0) == 0)
        return BPrivate::OpenFolderBeneath(
            fFolder.Get(), folder.substr(fInstallFolder.size() + 1), held);
    return BPrivate::OpenFolderPath(folder, held);
}

status_t InstallPass::MoveBetween(int from, int to, const std::string& leaf)
{
    return MoveAt(from, leaf, to, leaf);
}

bool InstallPass::MakeScratch(int folder, const std::string& path, std::string* scratch,
    BPrivate::Descriptor* held, int32* step)
{
    static constexpr char kLetters[]
        = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; attempt++) {
        unsigned char random[6];
        if (getrandom(random, sizeof(random), 0) != ssize_t(sizeof(random))) {
            error = errno;
            break;
        }
        name = ".brenvik-";
        for (unsigned char byte : random)
            name += kLetters[byte % (sizeof(kLetters) - 1)];
        error = mkdirat(folder, name.c_str(), 0700) == 0 ? 0 : errno;
    }
    if (error == 0) {
        held->Reset(openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!held->IsValid()) {
            error = errno;
            unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        }
    }
    if (error != 0) {
        fConfig.Log("\t\t\tNothing can be written in %s: %s\n", path.c_str(), std::strerror(error));
        return false;
    }
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, (path + "/" + name).c_str());
    *step = fRecord.Begin(InstallRecord::kKindScratch, fields);
    if (*step < 0) {
        held->Reset();
        unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        return false;
    }
    *scratch = path + "/" + name;
    return true;
}

void InstallPass::RemoveScratch(int folder, const std::string& scratch, int32 step)
{
    if (scratch.empty())
        return;
    if (BPrivate::RemoveTreeAt(folder, scratch.substr(scratch.find_last_of('/') + 1)) == B_OK)
        fRecord.Done(step);
    else
        fRecord.Failed(step, B_ERROR, "the scratch folder could not be removed");
}

namespace {

bool IsInsideFolder(const std::string& path, const std::string& folder)
{
    return path.rfind(folder + "/", 0) == 0;
}

// Whether a desktop entry says which types of documents it opens.
bool NamesDocumentTypes(const std::string& path)
{
    std::ifstream entry(path);
    std::string line;
    while (std::getline(entry, line)) {
        if (line.rfind("MimeType=", 0) == 0)
            return true;
    }
    return false;
}

void AddOnce(std::vector<std::string>& list, const std::string& value)
{
    if (std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(value);
}

} // namespace

// Libraries placed in the system's library folder are found by programs only
// once the loader's cache knows them; desktop entries that name document
// types only once the desktop's database does. Both are recorded, so that
// the de-installer runs them again after removing the items.
void InstallPass::NoteFollowUps(const std::string& path)
{
    BPath libraries;
    if (BPrivate::StorageScope::Current() == BPrivate::B_SYSTEM_SCOPE
        && find_directory(B_COMMON_LIB_DIRECTORY, &libraries, false, nullptr) == B_OK
        && IsInsideFolder(path, libraries.Path()))
        AddOnce(fLibraryFolders, libraries.Path());
    BPath applications;
    if (path.size() > 8 && path.compare(path.size() - 8, 8, ".desktop") == 0
        && find_directory(B_USER_DESKBAR_DIRECTORY, &applications, false, nullptr) == B_OK
        && IsInsideFolder(path, applications.Path()) && NamesDocumentTypes(path))
        AddOnce(fDesktopFolders, applications.Path());
}

void InstallPass::RunFollowUps()
{
    for (const std::string& folder : fLibraryFolders) {
        BMessage fields;
        fields.AddString(InstallRecord::kFieldAction, "ldconfig");
        fields.AddString(InstallRecord::kFieldPath, folder.c_str());
        int32 step = fRecord.Begin(InstallRecord::kKindFollowUp, fields);
        // Below another root (a test, an image being prepared) the system's
        // own cache is none of ours.
        if (step < 0 || !BPrivate::StorageScope::SystemRoot().empty())
            continue;
        BPrivate::ProcessOptions options;
        options.captureOutput = true;
        BPrivate::ProcessResult result;
        status_t status = BPrivate::ProcessRunner::Run({ "/sbin/ldconfig" }, options, &result);
        if (status == B_OK) {
            fRecord.Done(step);
        } else {
            fRecord.Failed(step, status, result.errors.c_str());
            fConfig.Log("\tThe loader's cache could not be updated: %s\n", result.errors.c_str());
        }
    }
    for (const std::string& folder : fDesktopFolders) {
        BMessage fields;
        fields.AddString(InstallRecord::kFieldAction, "update-desktop-database");
        fields.AddString(InstallRecord::kFieldPath, folder.c_str());
        int32 step = fRecord.Begin(InstallRecord::kKindFollowUp, fields);
        std::string program;
        if (step < 0
            || BPrivate::ProcessRunner::FindProgram("update-desktop-database", &program) != B_OK)
            continue;
        BPrivate::ProcessOptions options;
        options.captureOutput = true;
        BPrivate::ProcessResult result;
        status_t status = BPrivate::ProcessRunner::Run({ program, "--", folder }, options, &result);
        if (status == B_OK)
            fRecord.Done(step);
        else
            fRecord.Failed(step, status, result.errors.c_str());
    }
}
