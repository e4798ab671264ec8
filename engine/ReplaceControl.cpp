// Existing items (InstallConfig::ReplaceControl): the collision rules, and
// moving what the user had out of the way without losing it.
//
// The rules are the configuration's: "Prompt" asks (or uses the answer that
// was made to apply to all collisions of its kind), kRename keeps the old
// item beside the new one under a " copy" name, anything else replaces it.
// Replacing never destroys: the old item goes into "Saved Files" (under a
// name of its own, so that two items of the same name from different folders
// both survive) or, without saving, to the trash. Every move is in the
// install record before it happens; one that fails means the new item is
// not placed. A link at the target is moved as the link: nothing is ever
// followed.

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <HeldFolder.h>

#include <Entry.h>
#include <Path.h>
#include <Sha256.h>

#include <LibFileOperations.h>
#include <LibFileType.h>
#include <LibTreeCopy.h>

#include "InstallConfig.h"
#include "InstallNames.h"
#include "InstallPass.h"
#include "InstallerFormat.h"

using namespace InstallerFormat;

namespace {

constexpr int kMaxNames = 100000;

std::string LeafOfPath(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

std::string FolderOfPath(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool ExistsIn(int folder, const std::string& leaf)
{
    struct stat info;
    return fstatat(folder, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// Whether `name` in the folder held by `parent` is still the folder held by
// `held`, and not a link or another folder put at its name.
bool StillAt(int parent, const char* name, int held)
{
    struct stat atName;
    struct stat heldInfo;
    return fstatat(parent, name, &atName, AT_SYMLINK_NOFOLLOW) == 0 && fstat(held, &heldInfo) == 0
        && S_ISDIR(atName.st_mode) && atName.st_dev == heldInfo.st_dev
        && atName.st_ino == heldInfo.st_ino;
}

// The next free name of "<leaf> copy", "<leaf> copy 1", ... in the folder
// held by `folder`.
std::string FreeCopyName(int folder, const std::string& leaf)
{
    for (int n = 1; n < kMaxNames; n++) {
        std::string candidate
            = leaf + (n == 1 ? std::string(" copy") : " copy " + std::to_string(n - 1));
        if (candidate.size() > NAME_MAX)
            break;
        if (!ExistsIn(folder, candidate))
            return candidate;
    }
    return std::string();
}

} // namespace

bool InstallConfig::ReplaceControl(const char* folder, const BPath& item, const char* rule,
    bool& ask, bool& remembered, const BPath& saved)
{
    if (folder == nullptr || item.InitCheck() != B_OK || fPass == nullptr)
        return false;
    fPass->SetDeclined(false);
    // Looked at through the folder the item is placed in, as held: a link
    // swapped in for it meanwhile leads nowhere.
    BPrivate::Descriptor opened;
    int held = fPass->HeldFolderFor(folder, &opened);
    if (held < 0)
        return false;
    if (!ExistsIn(held, item.Leaf()))
        return true;
    std::string target = std::string(folder) + "/" + item.Leaf();
    bool saving = saved.InitCheck() == B_OK && saved.Path()[0] != '\0';
    InstallPass::displace_action action
        = saving ? InstallPass::kDisplaceSave : InstallPass::kDisplaceTrash;
    if (IsKeyword(rule, kPrompt)) {
        if (ask) {
            ReplaceAnswer answer = fDialogs->AskReplace(item.Path(), fPass->ItemOrigin(), target,
                true, static_cast<const char*>(fPass->Texts().Language()));
            remembered = answer.replace;
            ask = !answer.applyToAll;
        }
        if (!remembered) {
            fPass->SetDeclined(true);
            return false;
        }
    } else if (IsKeyword(rule, kRename)) {
        action = InstallPass::kDisplaceRename;
    }
    return fPass->DisplaceAt(held, folder, item.Leaf(), action);
}

int InstallPass::HeldFolderFor(const std::string& folder, BPrivate::Descriptor* opened)
{
    if (fItemFolder >= 0 && folder == fItemFolderPath)
        return fItemFolder;
    status_t status = OpenDestination(folder, opened);
    if (status != B_OK) {
        fConfig.Log("\t\t\tNothing can be moved in %s: %s\n", folder.c_str(),
            status == B_NOT_ALLOWED ? "a symbolic link is on its way" : StatusText(status));
        return -1;
    }
    return opened->Get();
}

bool InstallPass::UniqueSavedPlace(
    const std::string& leaf, int* folder, BPrivate::Descriptor* numbered, std::string* to)
{
    // "Saved Files" is written through its handle only while its name still
    // leads to it: a record naming it must name where the item really went.
    if (!fFolder.IsValid() || !MakeSavedFolder())
        return false;
    if (!fSaved.IsValid()
        || !StillAt(fFolder.Get(), LeafOfPath(fSavedFolder).c_str(), fSaved.Get())) {
        fConfig.Log(
            "\t\t\t%s is no longer the folder this installation made.\n", fSavedFolder.c_str());
        AddFailure(fSavedFolder + " was replaced; nothing was saved in it");
        return false;
    }
    if (!ExistsIn(fSaved.Get(), leaf)) {
        *folder = fSaved.Get();
        *to = fSavedFolder + "/" + leaf;
        return true;
    }
    for (int n = 2; n < kMaxNames; n++) {
        std::string name = std::to_string(n);
        std::string path = fSavedFolder + "/" + name;
        bool made = false;
        if (ExistsIn(fSaved.Get(), name)) {
            // Only a folder of ours; a link or a file at a number is passed by.
            struct stat info;
            if (BPrivate::OpenFolderBeneath(fSaved.Get(), name, numbered) != B_OK
                || fstat(numbered->Get(), &info) != 0 || info.st_uid != geteuid())
                continue;
        } else if (!MakeRecordedFolder(fSaved.Get(), path, name, numbered, &made)) {
            return false;
        }
        if (!ExistsIn(numbered->Get(), leaf)) {
            *folder = numbered->Get();
            *to = path + "/" + leaf;
            return true;
        }
    }
    fConfig.Log("\t\t\tThe existing item could not be moved aside: no free name.\n");
    return false;
}

bool InstallPass::Displace(const std::string& path, displace_action action)
{
    BPrivate::Descriptor opened;
    int folder = HeldFolderFor(FolderOfPath(path), &opened);
    if (folder < 0) {
        fConfig.Log("\t\t\tThe existing item could not be moved aside.\n");
        return false;
    }
    return DisplaceAt(folder, FolderOfPath(path), LeafOfPath(path), action);
}

bool InstallPass::DisplaceAt(
    int folder, const std::string& folderPath, const std::string& leaf, displace_action action)
{
    struct stat info;
    if (fstatat(folder, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return true;
    std::string path = (folderPath == "/" ? std::string() : folderPath) + "/" + leaf;
    // The record names the item by its path: the move is made only while
    // that path is where it happens.
    if (!BPrivate::PathLeadsTo(folderPath, folder)) {
        fConfig.Log("\t\t\tThe existing item was left in place: %s is no longer the folder it "
                    "was found in.\n",
            folderPath.c_str());
        AddFailure(folderPath + " was replaced; nothing was moved from it");
        return false;
    }
    std::string through = BPrivate::HeldPath(folder, leaf);
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, path.c_str());
    fields.AddString(InstallRecord::kFieldType, InstallRecord::TypeOf(info.st_mode));
    // The removal puts the item back only into this same folder.
    struct stat held;
    if (fstat(folder, &held) == 0) {
        fields.AddInt64(InstallRecord::kFieldFolderDevice, int64(held.st_dev));
        fields.AddInt64(InstallRecord::kFieldFolderInode, int64(held.st_ino));
    }
    std::string digest;
    if (S_ISREG(info.st_mode) && BPrivate::Sha256::HashFile(through.c_str(), &digest) == B_OK)
        fields.AddData(InstallRecord::kFieldSha256, B_RAW_TYPE, digest.data(), digest.size());
    std::string to;
    int toFolder = folder;
    std::string toLeaf;
    BPrivate::Descriptor numbered;
    const char* actionName = InstallRecord::kActionTrashed;
    if (action == kDisplaceSave) {
        actionName = InstallRecord::kActionSaved;
        if (!UniqueSavedPlace(leaf, &toFolder, &numbered, &to)) {
            fConfig.Log("\t\t\tThe existing item was left in place.\n");
            return false;
        }
        toLeaf = leaf;
    } else if (action == kDisplaceRename) {
        actionName = InstallRecord::kActionRenamed;
        toLeaf = FreeCopyName(folder, leaf);
        if (toLeaf.empty()) {
            fConfig.Log("\t\t\tThe existing item could not be moved aside: no free name.\n");
            return false;
        }
        to = (folderPath == "/" ? std::string() : folderPath) + "/" + toLeaf;
    }
    fields.AddString(InstallRecord::kFieldAction, actionName);
    if (!to.empty())
        fields.AddString(InstallRecord::kFieldTo, to.c_str());
    // What happens to the user's item must be on the disk before it moves.
    int32 step = fRecord.Begin(InstallRecord::kKindDisplaced, fields, InstallRecord::kRecordSync);
    if (step < 0) {
        fConfig.Log("\t\t\tThe existing item was left in place: the install record cannot be "
                    "written.\n");
        return false;
    }
    std::string type;
    if (action == kDisplaceRename && S_ISREG(info.st_mode))
        type = TypeOf(through);
    status_t status = action == kDisplaceTrash ? MoveToTrash(folder, path, &to)
                                               : MoveAt(folder, leaf, toFolder, toLeaf);
    if (status != B_OK) {
        fRecord.Failed(step, status, StatusText(status));
        fConfig.Log("\t\t\tThe existing item could not be moved aside.\n");
        return false;
    }
    if (!type.empty())
        LibSetMimeType(BPrivate::HeldPath(toFolder, toLeaf).c_str(), type.c_str());
    BMessage result;
    result.AddString(InstallRecord::kFieldTo, to.c_str());
    fRecord.Done(step, &result);
    // Swapped while the item moved: the move went where the handles lead,
    // but the new item is not put into a folder its path no longer names.
    if (!BPrivate::PathLeadsTo(folderPath, folder)) {
        fConfig.Log(
            "\t\t\t%s was replaced while the existing item was moved aside.\n", folderPath.c_str());
        AddFailure(folderPath + " was replaced; nothing new was put in it");
        return false;
    }
    if (action == kDisplaceSave)
        fConfig.Log("\t\t\tExisting file saved.\n");
    else if (action == kDisplaceRename)
        fConfig.Log("\t\t\tExisting file renamed\n");
    else
        fConfig.Log("\t\t\tExisting file moved to the trash.\n");
    return true;
}

status_t InstallPass::MoveToTrash(int folder, const std::string& path, std::string* to)
{
    // The trash keeps where an item came from by its path, so the move is
    // made by path; but only while the path's folder is still the one held
    // (a link swapped in for it would lead the move elsewhere).
    if (!BPrivate::PathLeadsTo(FolderOfPath(path), folder)) {
        fConfig.Log("\t\t\t%s is no longer the folder the item was found in.\n",
            FolderOfPath(path).c_str());
        AddFailure(FolderOfPath(path) + " was replaced; nothing was moved from it");
        return B_NOT_ALLOWED;
    }
    BPath trashed;
    if (!TrashIsTrusted(path))
        return B_NOT_ALLOWED;
    if (!LibTrash(BPath(path.c_str()), false, &trashed))
        return B_ERROR;
    *to = trashed.Path();
    return B_OK;
}

status_t InstallPass::MoveAt(
    int from, const std::string& fromLeaf, int to, const std::string& toLeaf)
{
    if (renameat2(from, fromLeaf.c_str(), to, toLeaf.c_str(), RENAME_NOREPLACE) == 0)
        return B_OK;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS)
        return StatusFromErrno(errno);
    // Another file system, or one that cannot rename without replacing: a
    // whole copy first, the original removed only once the copy is
    // complete, through the handles.
    return MoveExactly(BPrivate::HeldPath(from, fromLeaf), BPrivate::HeldPath(to, toLeaf));
}

status_t InstallPass::MoveExactly(const std::string& from, const std::string& to)
{
    return LibTreeCopy::MoveWithoutReplacing(from, to);
}

// The type of a file as its name and contents show it, so that a file
// renamed aside ("notes.txt copy"), whose name no longer shows it, keeps it in
// its attributes. Empty for a file of no particular type.
std::string InstallPass::TypeOf(const std::string& path)
{
    entry_ref ref;
    char type[B_MIME_TYPE_LENGTH];
    if (get_ref_for_path(path.c_str(), &ref) != B_OK || !LibGetMimeType(ref, type, false)
        || std::strcmp(type, "application/octet-stream") == 0)
        return std::string();
    return type;
}
