// The removal's putting back of what the installation moved aside: items
// displaced into "Saved Files", beside themselves or into the trash, and an
// earlier installation folder from the trash; never over what has taken
// their place since, unless the user says so.

#include "InstallNames.h"
#include "InstallRemoval.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Errors.h>
#include <HeldFolder.h>
#include <Path.h>

#include <LibFileOperations.h>
#include <LibTreeCopy.h>

#include "InstallRecord.h"
#include "RemovalSupport.h"

using namespace removal;
using Step = InstallRecordReader::Step;

// Whether `path` is, or lies in, a place that holds again what the
// installation moved out of it (before step `before`), with nothing left
// where that went: a removal run before took away what the installation put
// there and put the old one back. Nothing is left to do for that step.
bool InstallRemoval::HoldsWhatWasMovedAside(const std::string& path, int32 before) const
{
    for (const Step& step : fRecord.Steps()) {
        if (step.number >= before)
            break;
        bool displaced = step.kind == InstallRecord::kKindDisplaced;
        if ((!displaced && step.kind != InstallRecord::kKindOldInstall)
            || step.state != InstallRecordReader::kStepDone)
            continue;
        // The place itself, or anything in it (what the installation made
        // in an installation folder that an earlier one holds again).
        std::string place = step.begun.GetString(InstallRecord::kFieldPath, "");
        if (path != place && !IsInside(path, place))
            continue;
        BMessage folder;
        folder.AddString(InstallRecord::kFieldType, InstallRecord::kTypeFolder);
        std::string to = step.result.GetString(InstallRecord::kFieldTo, "");
        if (IsPlainPath(to) && IsBackAlready(place, to, displaced ? step.begun : folder))
            return true;
    }
    return false;
}

// Both ends are reached through their folders' handles (below the
// installation folder without following any link): a link swapped in for a
// folder on either way keeps the item where it is.
bool InstallRemoval::PutBack(const std::string& from, const std::string& to, const BMessage& fields)
{
    BPrivate::Descriptor fromFolder;
    status_t status = OpenFolderOf(from, &fromFolder);
    std::string fromLeaf = LeafOf(from);
    struct stat info;
    if (status == B_ENTRY_NOT_FOUND
        || (status == B_OK
            && fstatat(fromFolder.Get(), fromLeaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)) {
        Note(kOutcomeKept, to, "what was here before is no longer at " + from);
        return false;
    }
    if (status != B_OK) {
        Note(kOutcomeKept, from,
            "a link or something other than a folder is on its way, so it stays", kWhyChanged);
        return false;
    }
    std::string type = fields.GetString(InstallRecord::kFieldType, "");
    if (!type.empty() && type != InstallRecord::TypeOf(info.st_mode)) {
        Note(kOutcomeProblem, from,
            "the record says a " + type + " was moved here, but this is a "
                + InstallRecord::TypeOf(info.st_mode) + "; it stays");
        return false;
    }
    std::string digest = Digest(fields);
    if (S_ISREG(info.st_mode) && !digest.empty()
        && !MatchesDigestAt(fromFolder.Get(), fromLeaf, digest)) {
        Note(kOutcomeKept, from, "it changed after it was moved aside, so it stays here",
            kWhyChanged);
        return false;
    }
    BPrivate::Descriptor toFolder;
    status = OpenFolderOf(to, &toFolder);
    if (status == B_ENTRY_NOT_FOUND) {
        Note(kOutcomeFailed, from, "cannot be put back to " + to + ": its folder is gone");
        return false;
    }
    if (status != B_OK) {
        Note(kOutcomeKept, from,
            "a link or something other than a folder is on the way to " + to + ", so it stays",
            kWhyChanged);
        return false;
    }
    std::string toLeaf = LeafOf(to);
    struct stat taken;
    if (fstatat(toFolder.Get(), toLeaf.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        BPath trashed;
        if (!fTaken || !fTaken(to, from)) {
            Note(kOutcomeKept, from,
                "its old place " + to + " is taken again, so it stays where it is", kWhyTaken);
            return false;
        }
        // The trash keeps where things came from by their paths: moved by
        // path, while that path still leads to the folder held.
        if (!BPrivate::PathLeadsTo(ParentOf(to), toFolder.Get())) {
            Note(kOutcomeKept, from, "the folder of " + to + " was replaced meanwhile, so it stays",
                kWhyChanged);
            return false;
        }
        if (!LibTrash(BPath(to.c_str()), false, &trashed)) {
            Note(kOutcomeFailed, from,
                "what took its old place " + to + " cannot be moved to the trash");
            return false;
        }
        Note(kOutcomeLeft, trashed.Path(),
            "it had taken the place of " + to + "; it is in the trash");
    }
    if (renameat2(
            fromFolder.Get(), fromLeaf.c_str(), toFolder.Get(), toLeaf.c_str(), RENAME_NOREPLACE)
        == 0) {
        status = B_OK;
    } else if (errno == EXDEV || errno == EINVAL || errno == ENOSYS) {
        // Another file system (the trash of another volume), or one that
        // cannot rename without replacing: copied whole, through the
        // handles, the original removed once the copy is complete.
        status = LibTreeCopy::MoveWithoutReplacing(BPrivate::HeldPath(fromFolder.Get(), fromLeaf),
            BPrivate::HeldPath(toFolder.Get(), toLeaf));
    } else {
        status = StatusFromErrno(errno);
    }
    if (status != B_OK) {
        Note(kOutcomeFailed, from, "cannot be put back to " + to + ": " + StatusText(status));
        return false;
    }
    Note(kOutcomeRestored, to);
    return true;
}

// Whether "Saved Files" is the folder the installation made there (its
// device and inode, where the record has them).
bool InstallRemoval::IsSavedFolderItMade() const
{
    if (!fFolder.IsValid() || ParentOf(fSavedFolder) != fInstallFolder)
        return false;
    BPrivate::Descriptor saved;
    struct stat info;
    if (BPrivate::OpenFolderBeneath(fFolder.Get(), LeafOf(fSavedFolder), &saved) != B_OK
        || fstat(saved.Get(), &info) != 0 || info.st_uid != geteuid())
        return false;
    for (const Step& step : fRecord.Steps()) {
        if (step.kind == InstallRecord::kKindFolder
            && step.begun.GetString(InstallRecord::kFieldPath, "") == fSavedFolder
            && step.result.HasInt64(InstallRecord::kFieldInode))
            return step.result.GetInt64(InstallRecord::kFieldDevice, -1) == int64(info.st_dev)
                && step.result.GetInt64(InstallRecord::kFieldInode, -1) == int64(info.st_ino);
    }
    return true;
}

// A removal that is run again (after it was stopped, or after something in it
// failed) finds what it put back already in its place and nothing where it had
// gone: that step is done. A file counts only while it is the one moved aside.
bool InstallRemoval::IsBackAlready(
    const std::string& path, const std::string& movedTo, const BMessage& displaced) const
{
    // Both looked at through their folders' handles, as PutBack moves: a
    // link on either way makes it count as not back.
    BPrivate::Descriptor movedFolder;
    struct stat info;
    status_t moved = OpenFolderOf(movedTo, &movedFolder);
    if (moved != B_ENTRY_NOT_FOUND
        && (moved != B_OK
            || fstatat(movedFolder.Get(), LeafOf(movedTo).c_str(), &info, AT_SYMLINK_NOFOLLOW)
                == 0))
        return false;
    BPrivate::Descriptor placeFolder;
    if (OpenFolderOf(path, &placeFolder) != B_OK
        || fstatat(placeFolder.Get(), LeafOf(path).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    std::string type = displaced.GetString(InstallRecord::kFieldType, "");
    if (!type.empty() && type != InstallRecord::TypeOf(info.st_mode))
        return false;
    std::string digest = Digest(displaced);
    return !S_ISREG(info.st_mode) || digest.empty()
        || MatchesDigestAt(placeFolder.Get(), LeafOf(path), digest);
}

// Whether the folder of a displaced item's old place is the one it was
// moved out of (its device and inode, where the record has them): one
// replaced since, by a link or another folder, gets nothing back.
bool InstallRemoval::IsFolderItWasMovedFrom(const Step& step) const
{
    if (!step.begun.HasInt64(InstallRecord::kFieldFolderInode))
        return true;
    BPrivate::Descriptor folder;
    struct stat info;
    return OpenFolderOf(step.begun.GetString(InstallRecord::kFieldPath, ""), &folder) == B_OK
        && fstat(folder.Get(), &info) == 0
        && step.begun.GetInt64(InstallRecord::kFieldFolderDevice, -1) == int64(info.st_dev)
        && step.begun.GetInt64(InstallRecord::kFieldFolderInode, -1) == int64(info.st_ino);
}

void InstallRemoval::UndoDisplaced(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    std::string action = step.begun.GetString(InstallRecord::kFieldAction, "");
    std::string to = step.state == InstallRecordReader::kStepDone
        ? step.result.GetString(InstallRecord::kFieldTo, "")
        : step.begun.GetString(InstallRecord::kFieldTo, "");
    if (step.state == InstallRecordReader::kStepBegun) {
        // Interrupted: the move happened only if the item left its place.
        if (Lexists(path))
            return;
        if (action == InstallRecord::kActionTrashed && IsPlainPath(to))
            to = LibFindInTrash(to, path);
    }
    if (!IsPlainPath(to)) {
        Note(kOutcomeProblem, path, "the record does not say where it was moved");
        return;
    }
    if (IsBackAlready(path, to, step.begun))
        return;
    bool allowed = false;
    if (action == InstallRecord::kActionSaved) {
        // The pass makes "Saved Files" in the installation folder, nowhere
        // else.
        allowed = !fSavedFolder.empty() && IsInside(to, fSavedFolder)
            && ParentOf(fSavedFolder) == fInstallFolder;
        if (allowed && !IsSavedFolderItMade()) {
            Note(kOutcomeKept, to,
                fSavedFolder + " is not the folder this installation made, so it stays",
                kWhyChanged);
            return;
        }
    } else if (action == InstallRecord::kActionRenamed)
        allowed = ParentOf(to) == ParentOf(path) && LeafOf(to).find(" copy") != std::string::npos;
    else if (action == InstallRecord::kActionTrashed)
        allowed = LibTrashedFrom(LibTrashRecordOf(to)) == path;
    if (!allowed) {
        Note(kOutcomeProblem, path,
            "the record says it went to " + to + ", where such items never go; nothing was moved");
        return;
    }
    if (!IsFolderItWasMovedFrom(step)) {
        Note(kOutcomeKept, to,
            "the folder of " + path + " is not the one it was moved out of, so it stays",
            kWhyChanged);
        return;
    }
    if (!PutBack(to, path, step.begun))
        return;
    if (action == InstallRecord::kActionTrashed) {
        unlink(LibTrashRecordOf(to).c_str());
    } else if (action == InstallRecord::kActionSaved) {
        // Numbered folders made in "Saved Files" for names that were taken.
        for (std::string folder = ParentOf(to); IsInside(folder, fSavedFolder);
             folder = ParentOf(folder)) {
            BPrivate::Descriptor parent;
            if (OpenFolderOf(folder, &parent) != B_OK
                || unlinkat(parent.Get(), LeafOf(folder).c_str(), AT_REMOVEDIR) != 0)
                break;
        }
    }
}

void InstallRemoval::UndoOldInstall(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    std::string to = step.result.GetString(InstallRecord::kFieldTo, "");
    if (step.state == InstallRecordReader::kStepBegun) {
        // Where the trash is was not recorded: look in the one the item's
        // folder uses.
        if (Lexists(path))
            return;
        Note(kOutcomeKept, path,
            "an earlier installation was being moved to the trash; look for it there");
        return;
    }
    BMessage fields;
    fields.AddString(InstallRecord::kFieldType, InstallRecord::kTypeFolder);
    if (IsPlainPath(to) && IsBackAlready(path, to, fields))
        return;
    if (!IsPlainPath(to) || LibTrashedFrom(LibTrashRecordOf(to)) != path) {
        Note(kOutcomeProblem, path,
            "the record's trash place of the earlier installation does not match the trash");
        return;
    }
    if (!fPutBackEarlier) {
        Note(kOutcomeLeft, to, "the earlier installation stays in the trash", kWhyEarlierInTrash);
        return;
    }
    if (PutBack(to, path, fields))
        unlink(LibTrashRecordOf(to).c_str());
}
