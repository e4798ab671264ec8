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
#include <cstring>
#include <sys/stat.h>

#include <Entry.h>
#include <Path.h>
#include <Sha256.h>

#include <LibFileOperations.h>
#include <LibFileType.h>
#include <LibTreeCopy.h>

#include "InstallConfig.h"
#include "InstallPass.h"
#include "InstallerFormat.h"

using namespace InstallerFormat;

namespace {

constexpr int kMaxNames = 100000;

std::string LeafOfPath(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

bool Lexists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The next free name of "<leaf> copy", "<leaf> copy 1", ... beside path.
std::string FreeCopyName(const std::string& path)
{
    for (int n = 1; n < kMaxNames; n++) {
        std::string candidate
            = path + (n == 1 ? std::string(" copy") : " copy " + std::to_string(n - 1));
        if (!Lexists(candidate))
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
    std::string target = std::string(folder) + "/" + item.Leaf();
    if (!Lexists(target))
        return true;
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
        if (!remembered)
            return false;
    } else if (IsKeyword(rule, kRename)) {
        action = InstallPass::kDisplaceRename;
    }
    return fPass->Displace(target, action);
}

std::string InstallPass::UniqueSavedPath(const std::string& leaf)
{
    std::string path = fSavedFolder + "/" + leaf;
    for (int n = 2; Lexists(path) && n < kMaxNames; n++) {
        std::string folder = fSavedFolder + "/" + std::to_string(n);
        path = folder + "/" + leaf;
        if (!Lexists(folder) && !MakeFolders(folder))
            return std::string();
    }
    return Lexists(path) ? std::string() : path;
}

bool InstallPass::Displace(const std::string& path, displace_action action)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return true;
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, path.c_str());
    fields.AddString(InstallRecord::kFieldType, InstallRecord::TypeOf(info.st_mode));
    std::string digest;
    if (S_ISREG(info.st_mode) && BPrivate::Sha256::HashFile(path.c_str(), &digest) == B_OK)
        fields.AddData(InstallRecord::kFieldSha256, B_RAW_TYPE, digest.data(), digest.size());
    std::string to;
    const char* actionName = InstallRecord::kActionTrashed;
    if (action == kDisplaceSave) {
        actionName = InstallRecord::kActionSaved;
        to = UniqueSavedPath(LeafOfPath(path));
    } else if (action == kDisplaceRename) {
        actionName = InstallRecord::kActionRenamed;
        to = FreeCopyName(path);
    }
    if (action != kDisplaceTrash && to.empty()) {
        fConfig.Log("\t\t\tThe existing item could not be moved aside: no free name.\n");
        return false;
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
        type = TypeOf(path);
    status_t status = action == kDisplaceTrash ? MoveToTrash(path, &to) : MoveExactly(path, to);
    if (status != B_OK) {
        fRecord.Failed(step, status, std::strerror(errno));
        fConfig.Log("\t\t\tThe existing item could not be moved aside.\n");
        return false;
    }
    if (!type.empty())
        LibSetMimeType(to.c_str(), type.c_str());
    BMessage result;
    result.AddString(InstallRecord::kFieldTo, to.c_str());
    fRecord.Done(step, &result);
    if (action == kDisplaceSave)
        fConfig.Log("\t\t\tExisting file saved.\n");
    else if (action == kDisplaceRename)
        fConfig.Log("\t\t\tExisting file renamed\n");
    else
        fConfig.Log("\t\t\tExisting file moved to the trash.\n");
    return true;
}

status_t InstallPass::MoveToTrash(const std::string& path, std::string* to)
{
    BPath trashed;
    if (!TrashIsTrusted(path))
        return B_NOT_ALLOWED;
    if (!LibTrash(BPath(path.c_str()), false, &trashed))
        return B_ERROR;
    *to = trashed.Path();
    return B_OK;
}

status_t InstallPass::MoveExactly(const std::string& from, const std::string& to)
{
    // Another file system: a whole copy first, the original removed only
    // once the copy is complete.
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
