// The payload items of the install pass: each is extracted straight into a
// scratch folder beside its place (so it lands on its own file system, with
// no shared temporary folder) and tagged there, the collision rule clears its
// exact place, and it is renamed into that place whole. Its dates and its
// record (every file with its digest) follow; then its link.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include <HeldFolder.h>
#include <NodeAttributes.h>
#include <Path.h>
#include <Sha256.h>
#include <StorageScope.h>
#include <Volume.h>

#include <LibString.h>
#include <LibTreeCopy.h>

#include "InstallConfig.h"
#include "InstallNames.h"
#include "InstallPass.h"
#include "InstallerFormat.h"

using namespace InstallerFormat;

namespace {

// An item's size as its record gives it (a negative one as nothing).
uint64 ItemSize(const BMessage& item)
{
    return RecordedFileSize(item);
}

// How many bytes of an item's extraction make a progress report.
constexpr uint64 kItemProgressStep = 32 * 1024 * 1024;

// How many of an item's entries make one part frame of its record (a few
// hundred kilobytes).
constexpr int32 kEntriesPerPart = 1024;

int64 Nanoseconds(const timespec& time)
{
    return int64(time.tv_sec) * 1000000000 + int64(time.tv_nsec);
}

// The digest the extraction took as it wrote a file, while the file is still
// the one it wrote (same file system, inode, size and modification time);
// otherwise the file's bytes, read again. `below` is the file's path below
// its item.
status_t DigestOf(const std::string& path, const std::string& below, const struct stat& info,
    const BPrivate::ZipWrittenFiles& written, std::string* digest)
{
    auto found = written.find(below);
    if (found != written.end()) {
        const BPrivate::ZipWrittenFile& file = found->second;
        if (!file.sha256.empty() && file.device == uint64(info.st_dev)
            && file.inode == uint64(info.st_ino) && file.size == uint64(info.st_size)
            && file.modifiedNs == Nanoseconds(info.st_mtim)) {
            *digest = file.sha256;
            return B_OK;
        }
    }
    return BPrivate::Sha256::HashFile(path.c_str(), digest);
}

bool ExistsAt(int folder, const std::string& leaf)
{
    struct stat info;
    return fstatat(folder, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool WriteTag(const std::string& path, const char* value)
{
    return BPrivate::NodeAttributes::Write({ -1, path.c_str() }, kDeinstallTagAttribute,
               B_STRING_TYPE, value, std::strlen(value))
        == B_OK;
}

// The same for a file its archive made read-only: its owner may set
// attributes only on what it may write, so the file is writable for the
// moment of the write and then gets its own mode back.
bool WriteTagOpeningUp(const std::string& path, const struct stat& info, const char* value)
{
    if (WriteTag(path, value))
        return true;
    if ((info.st_mode & S_IWUSR) != 0 || info.st_uid != geteuid()
        || chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) != 0)
        return false;
    bool written = WriteTag(path, value);
    chmod(path.c_str(), info.st_mode & 07777);
    return written;
}

// Calls visit(path, status) for the item and, below a folder, for everything
// in it, each folder before its contents; links are not followed.
template <typename Visit> void WalkTree(const std::string& path, Visit& visit)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return;
    visit(path, info);
    if (!S_ISDIR(info.st_mode))
        return;
    DIR* folder = opendir(path.c_str());
    if (folder == nullptr)
        return;
    std::vector<std::string> names;
    while (dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(folder);
    for (const std::string& name : names)
        WalkTree(path + "/" + name, visit);
}

} // namespace

void InstallConfig::AddDeinstallTag(const char* path, const char* value)
{
    if (path == nullptr || value == nullptr)
        return;
    auto tag = [value](const std::string& entry, const struct stat& info) {
        // Linux keeps no user attributes on links.
        if (!S_ISLNK(info.st_mode))
            WriteTag(entry, value);
    };
    WalkTree(path, tag);
}

// Tags every entry of an item while it is still in its scratch folder, before
// it is renamed into place: whatever a crash leaves at the item's place then
// carries the tag. The entries tagged are kept (by their path below the item)
// for the item's record.
void InstallPass::TagStaged(const std::string& staged, std::set<std::string>* tagged)
{
    auto tag = [&](const std::string& entry, const struct stat& info) {
        // Linux keeps no user attributes on links.
        if (!S_ISLNK(info.st_mode) && WriteTagOpeningUp(entry, info, fTag.c_str()))
            tagged->insert(entry.substr(staged.size()));
    };
    WalkTree(staged, tag);
}

std::function<void(const BPrivate::ZipExtractProgress&)> InstallPass::ItemProgress(uint64 itemSize)
{
    if (fProgress == nullptr || !fConfig.fProgressObserver)
        return {};
    InstallProgress before = *fProgress;
    uint64 reported = 0;
    return
        [this, before, itemSize, reported](const BPrivate::ZipExtractProgress& extracted) mutable {
            uint64 done = std::min(extracted.bytesDone, itemSize);
            if (done < reported + kItemProgressStep)
                return;
            reported = done;
            InstallProgress progress = before;
            progress.bytesDone += done;
            fConfig.fProgressObserver(progress);
        };
}

void InstallPass::InstallItems()
{
    fInstructions.MakeEmpty();
    fConfig.FindMessage(Field::kInstallInstructions, &fInstructions);
    fTotal = fConfig.CountSelectedFiles();
    fDone = 0;
    fItemAsk = fItemRemembered = fLinkAsk = fLinkRemembered = true;
    InstallProgress progress;
    progress.total = fTotal;
    fProgress = &progress;
    BMessage item;
    for (int32 i = 0; fInstructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        if (item.GetBool(Field::kInstallToSystem))
            progress.bytesTotal += ItemSize(item);
    }
    for (int32 i = 0; fInstructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        if (!item.GetBool(Field::kInstallToSystem))
            continue;
        if (fConfig.StopRequested())
            break;
        progress.item = fDone + 1;
        progress.name = LeafOf(item.GetString(Field::kFileName, ""));
        progress.itemDone = false;
        if (fConfig.fProgressObserver)
            fConfig.fProgressObserver(progress);
        InstallItem(i, item);
        fInstructions.ReplaceMessage(Field::kInstallFile, i, &item);
        progress.bytesDone += ItemSize(item);
        progress.itemDone = true;
        if (fConfig.fProgressObserver)
            fConfig.fProgressObserver(progress);
    }
    fProgress = nullptr;
    RunFollowUps();
}

void InstallPass::InstallItem(int32 index, BMessage& item)
{
    // Only what this pass places may be launched when it completes.
    item.RemoveName(Field::kPlacedByPass);
    std::string fileName = item.GetString(Field::kFileName, "");
    std::string leaf = fileName.substr(fileName.find_last_of('/') + 1);
    // Every selected item counts towards "n of total", placed or not.
    fDone++;
    if (!IsSafeComponent(leaf)) {
        fConfig.Log(
            "\t\tNot installed: \"%s\" cannot be a file name\n", Printable(fileName).c_str());
        AddFailure("\"" + Printable(fileName) + "\" cannot be a file name");
        return;
    }
    fConfig.Log("\t\tInstalling : %s\n", leaf.c_str());
    fConfig.UpdateStatus(
        Format(TextId::kInstallingItem, int(fDone), int(fTotal), leaf.c_str()).c_str());
    if (fConfig.StopRequested())
        return;

    BMessage meta;
    item.FindMessage(Field::kInstallMeta, &meta);
    std::string folder = fInstallFolder;
    const char* destination = meta.GetString(Field::kDestination, "");
    bool elsewhere = false;
    if (!IsKeyword(destination, kUserSelected)) {
        LibString path;
        BVolume volume;
        elsewhere
            = fConfig.GetNewPath(destination, fCustomFolders, volume, fSavedFolder.c_str(), path);
        if (elsewhere)
            folder = static_cast<const char*>(path);
        else
            fConfig.Log("\t\t\tThe item stays in %s.\n", fInstallFolder.c_str());
    }
    // An installer names each item by its path in the author's project
    // ("payload/Notes.app"), which is no folder of this machine: the item
    // comes from the installer. Older installers stored the author's absolute
    // path, whose folder the replace dialog shows as before.
    size_t slash = fileName.find_last_of('/');
    fItemOrigin = fileName.empty() || fileName[0] != '/' ? fConfig.fInstallerPath
        : slash > 0                                      ? fileName.substr(0, slash)
                                                         : std::string("/");
    std::string placed;
    if (!ExtractAndPlace(index, leaf, folder, meta, elsewhere, &placed))
        return;
    item.RemoveName(Field::kFileName);
    item.AddString(Field::kFileName, placed.c_str());
    item.AddBool(Field::kPlacedByPass, true);
    bool deinstallable = IsKeyword(meta.GetString(Field::kDeinstallable, ""), kTrue);
    if (!deinstallable)
        fConfig.Log("\t\t\tThis file will not be removed by the de-installer\n");
    // A link comes from the item it leads to.
    fItemOrigin = placed.substr(0, placed.find_last_of('/'));
    PlaceLink(meta, placed, leaf, deinstallable);
}

bool InstallPass::ExtractAndPlace(int32 index, const std::string& leaf, const std::string& folder,
    const BMessage& meta, bool elsewhere, std::string* placed)
{
    // The folder is held from here on: a name on its way changed meanwhile
    // never turns what follows elsewhere.
    BPrivate::Descriptor destination;
    status_t opened = OpenDestination(folder, &destination);
    if (opened != B_OK) {
        fConfig.Log("\t\t\tNothing can be written in %s: %s\n", folder.c_str(),
            opened == B_NOT_ALLOWED ? "a symbolic link is on its way" : StatusText(opened));
        AddFailure(leaf + ": nothing can be written in " + folder);
        return false;
    }
    ItemFolderScope heldForCollisions(*this, destination.Get(), folder);
    std::string scratch;
    BPrivate::Descriptor scratchFolder;
    int32 scratchStep = 0;
    if (!MakeScratch(destination.Get(), folder, &scratch, &scratchFolder, &scratchStep)) {
        AddFailure(leaf + ": nothing can be written in " + folder);
        return false;
    }
    std::string staged = scratch + "/" + leaf;
    // The entry may unpack to no more than its record says the item holds
    // (with a margin for its folders), whatever its archive claims.
    BMessage record;
    uint64 recorded = fInstructions.FindMessage(Field::kInstallFile, index, &record) == B_OK
        ? RecordedFileSize(record)
        : 0;
    BPrivate::ZipExtractOptions options;
    options.existing = BPrivate::ZipExisting::kMerge;
    options.maxItemSize = recorded + BPrivate::kItemSizeMargin;
    options.progress = ItemProgress(recorded);
    // A stop takes effect between the item's entries: a large item is not
    // written to its end first. What was written of it is taken away.
    options.shouldStop = [this] { return fConfig.StopRequested(); };
    // The user's umask applies to what is installed for the user alone;
    // what root installs, no other user may change, unless the product asks
    // for it.
    options.removedModeBits = CreationMode(0777) ^ 0777;
    // The record's digests are taken as the files are written.
    options.digestFiles = true;
    if (BPrivate::StorageScope::IsSystem() && !fConfig.GetBool(Field::kKeepSharedWrite))
        options.removedModeBits |= S_IWGRP | S_IWOTH;
    // Extracted through the scratch folder's handle.
    if (!fEntries->ExtractEntry(
            PayloadId(index), BPrivate::HeldPath(scratchFolder.Get(), leaf).c_str(), options)) {
        RemoveScratch(destination.Get(), scratch, scratchStep);
        if (fConfig.StopRequested())
            return false;
        fConfig.Log("\t\t\tThe item could not be extracted: %s\n",
            Printable(fEntries->EntryErrorText()).c_str());
        AddFailure(leaf + ": " + fEntries->EntryErrorText());
        return false;
    }
    for (const std::string& warning : fEntries->EntryWarnings())
        fConfig.Log("\t\t\t%s\n", Printable(warning).c_str());
    bool deinstallable = IsKeyword(meta.GetString(Field::kDeinstallable, ""), kTrue);
    std::string target = folder + "/" + leaf;
    // The new item carries its own dates before anyone compares it with an
    // item already at its place.
    SetDates(scratchFolder.Get(), leaf, index);
    bool place = fConfig.ReplaceControl(folder.c_str(), BPath(staged.c_str()),
        meta.GetString(Field::kDestinationExists, ""), fItemAsk, fItemRemembered,
        BPath(fSavedFolder.c_str()));
    if (place && ExistsAt(destination.Get(), leaf))
        place = false;
    if (place) {
        if (PlaceItem(scratchFolder.Get(), destination.Get(), target, index, leaf, deinstallable)
            != B_OK) {
            RemoveScratch(destination.Get(), scratch, scratchStep);
            return false;
        }
        if (elsewhere)
            fConfig.Log("\t\t\tPlaced in %s\n", folder.c_str());
    } else if (fDeclined) {
        // The user keeps what is there: the new item goes nowhere, not even
        // beside the installation, where it would be a copy nobody asked for.
        fConfig.Log("\t\t\tUser desired not to place item in %s\n", folder.c_str());
        RemoveScratch(destination.Get(), scratch, scratchStep);
        return false;
    } else {
        // The existing item could not be moved aside: the new one is kept in
        // the installation folder rather than lost.
        fConfig.Log("\t\t\tNot placed in %s; the item stays in %s.\n", folder.c_str(),
            fInstallFolder.c_str());
        target = fInstallFolder + "/" + leaf;
        if (target == folder + "/" + leaf || ExistsAt(fFolder.Get(), leaf)
            || PlaceItem(scratchFolder.Get(), fFolder.Get(), target, index, leaf, deinstallable)
                != B_OK) {
            RemoveScratch(destination.Get(), scratch, scratchStep);
            AddFailure(leaf + ": not placed");
            return false;
        }
    }
    RemoveScratch(destination.Get(), scratch, scratchStep);
    *placed = target;
    return true;
}

status_t InstallPass::PlaceItem(int staged, int folder, const std::string& target, int32 index,
    const std::string& leaf, bool deinstallable)
{
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, target.c_str());
    fields.AddString(InstallRecord::kFieldName, leaf.c_str());
    fields.AddInt32(InstallRecord::kFieldId, PayloadId(index));
    fields.AddBool(InstallRecord::kFieldDeinstallable, deinstallable);
    int32 step = fRecord.Begin(InstallRecord::kKindItem, fields);
    if (step < 0) {
        AddFailure(leaf + ": the install record cannot be written");
        return step;
    }
    std::set<std::string> tagged;
    if (deinstallable)
        TagStaged(BPrivate::HeldPath(staged, leaf), &tagged);
    status_t status = MoveBetween(staged, folder, leaf);
    if (status != B_OK) {
        fRecord.Failed(step, status, StatusText(status));
        fConfig.Log("\t\t\tThe item could not be put in place: %s\n", StatusText(status));
        AddFailure(leaf + ": could not be put in place");
        return status;
    }
    if (fConfig.fPlacedObserver)
        fConfig.fPlacedObserver(target);
    SetDates(folder, leaf, index);
    NoteFollowUps(target);
    BMessage result;
    result.AddString(InstallRecord::kFieldPath, target.c_str());
    RecordTree(BPrivate::HeldPath(folder, leaf), target, tagged, step, &result);
    fRecord.Done(step, &result);
    return B_OK;
}

void InstallPass::SetDates(int folder, const std::string& leaf, int32 index)
{
    BMessage item;
    fInstructions.FindMessage(Field::kInstallFile, index, &item);
    int64 accessed = 0;
    int64 modified = 0;
    timespec times[2] = { { 0, UTIME_OMIT }, { 0, UTIME_OMIT } };
    if (item.FindInt64(Field::kFileAccessed, &accessed) == B_OK)
        times[0] = { time_t(accessed), 0 };
    if (item.FindInt64(Field::kFileModified, &modified) == B_OK)
        times[1] = { time_t(modified), 0 };
    // Linux cannot set a creation time; the file system keeps its own.
    if (utimensat(folder, leaf.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        std::fprintf(stderr, "unable to set date/time for %s\n", leaf.c_str());
}

// Lists every entry of a placed item in the record, with whether it carries
// the tag (TagStaged, by the entry's path below the item).
// `path` reaches the item through its folder's handle; the record names it
// `recorded`. The entries of a large item go to the record in parts of
// kEntriesPerPart, so that their list is never held whole; `result` keeps
// the rest, for the step's done frame.
void InstallPass::RecordTree(const std::string& path, const std::string& recorded,
    const std::set<std::string>& tagged, int32 step, BMessage* result)
{
    int32 listed = 0;
    // The files of the item as its extraction (the last one) wrote them.
    const BPrivate::ZipWrittenFiles& written = fEntries->EntryFiles();
    auto visit = [&](const std::string& entryPath, const struct stat& info) {
        BMessage entry;
        entry.AddString(
            InstallRecord::kFieldPath, (recorded + entryPath.substr(path.size())).c_str());
        entry.AddString(InstallRecord::kFieldType, InstallRecord::TypeOf(info.st_mode));
        entry.AddInt32(InstallRecord::kFieldMode, int32(info.st_mode & 07777));
        entry.AddInt64(InstallRecord::kFieldSize, int64(info.st_size));
        entry.AddInt64(InstallRecord::kFieldModified, int64(info.st_mtim.tv_sec));
        std::string digest;
        if (S_ISREG(info.st_mode)
            && DigestOf(entryPath, entryPath.substr(path.size()), info, written, &digest) == B_OK) {
            entry.AddData(InstallRecord::kFieldSha256, B_RAW_TYPE, digest.data(), digest.size());
            entry.AddInt64(InstallRecord::kFieldDevice, int64(info.st_dev));
            entry.AddInt64(InstallRecord::kFieldInode, int64(info.st_ino));
            entry.AddInt64(InstallRecord::kFieldModifiedNs, Nanoseconds(info.st_mtim));
            entry.AddInt64(InstallRecord::kFieldChangedNs, Nanoseconds(info.st_ctim));
        }
        if (S_ISLNK(info.st_mode)) {
            std::string target(size_t(info.st_size) + 1, '\0');
            ssize_t length = readlink(entryPath.c_str(), target.data(), target.size());
            if (length >= 0) {
                target.resize(size_t(length));
                entry.AddString(InstallRecord::kFieldTarget, target.c_str());
            }
        }
        entry.AddBool(
            InstallRecord::kFieldTagged, tagged.count(entryPath.substr(path.size())) != 0);
        result->AddMessage(InstallRecord::kFieldEntry, &entry);
        if (++listed % kEntriesPerPart == 0) {
            fRecord.Part(step, *result);
            result->MakeEmpty();
        }
    };
    WalkTree(path, visit);
}
