// The removal's undoing of what the installation placed: payload items entry
// by entry, links and desktop entries, and folders, each only while it is
// what the installation put there.

#include "InstallRemoval.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <HeldFolder.h>
#include <NodeAttributes.h>

#include "InstallRecord.h"
#include "InstallerFormat.h"
#include "RemovalSupport.h"
#include "ScriptFile.h"

namespace fs = std::filesystem;
using namespace removal;
using Step = InstallRecordReader::Step;

void InstallRemoval::UndoItem(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    if (!step.begun.GetBool(InstallRecord::kFieldDeinstallable, true)) {
        fLeft.push_back(path);
        Note(kOutcomeLeft, path, "the product installs it to stay");
        return;
    }
    if (!PlacedByInstallation(step)) {
        if (Lexists(path))
            Note(kOutcomeProblem, path, "the record does not show how it was placed; it stays");
        return;
    }
    if (step.state == InstallRecordReader::kStepBegun) {
        UndoInterruptedItem(path);
        return;
    }
    // The entries are read one at a time from the record: an item may hold
    // a great many.
    type_code type = 0;
    int32 count = 0;
    BMessage entry;
    if (step.result.GetInfo(InstallRecord::kFieldEntry, &type, &count) != B_OK
        || type != B_MESSAGE_TYPE
        || step.result.FindMessage(InstallRecord::kFieldEntry, 0, &entry) != B_OK
        || step.result.GetString(InstallRecord::kFieldPath, "") != path
        || entry.GetString(InstallRecord::kFieldPath, "") != path) {
        Note(kOutcomeProblem, path, "the record does not say what the item holds; it stays");
        return;
    }
    // The item's folder is held, and every entry is reached below it
    // without following a link.
    BPrivate::Descriptor itemFolder;
    status_t opened = OpenFolderOf(path, &itemFolder);
    if (opened == B_ENTRY_NOT_FOUND)
        return;
    if (opened != B_OK) {
        Note(kOutcomeKept, path, "a link or something other than a folder is on its way",
            kWhyChanged);
        return;
    }
    std::string base = ParentOf(path);
    std::string prefix = base == "/" ? base : base + "/";
    // Contents before their folders: the record lists a folder before what
    // it holds. Neighbours share their folder's handle, opened once.
    std::string openRelative;
    BPrivate::Descriptor folder;
    status_t reached = B_NO_INIT;
    for (int32 index = count - 1; index >= 0; index--) {
        if (step.result.FindMessage(InstallRecord::kFieldEntry, index, &entry) != B_OK)
            continue;
        std::string entryPath = entry.GetString(InstallRecord::kFieldPath, "");
        std::string kind = entry.GetString(InstallRecord::kFieldType, "");
        Advance(entryPath);
        if (!IsPlainPath(entryPath) || (entryPath != path && !IsInside(entryPath, path))) {
            Note(kOutcomeProblem, entryPath,
                "the record places it outside its item " + path + "; it stays");
            continue;
        }
        std::string parent = ParentOf(entryPath);
        std::string relative = parent == base ? std::string() : parent.substr(prefix.size());
        if (reached == B_NO_INIT || relative != openRelative) {
            folder.Reset();
            reached = BPrivate::OpenFolderBeneath(itemFolder.Get(), relative, &folder);
            openRelative = relative;
        }
        // Gone already (removed by an earlier run of this removal, or by
        // the user): nothing to do.
        struct stat info;
        std::string leaf = LeafOf(entryPath);
        if (reached == B_ENTRY_NOT_FOUND
            || (reached == B_OK
                && fstatat(folder.Get(), leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0))
            continue;
        if (reached != B_OK) {
            // Its folder was replaced by a link or something else since.
            Note(kOutcomeKept, entryPath, "its folder is no longer the one installed", kWhyChanged);
            continue;
        }
        if (kind == InstallRecord::kTypeFolder) {
            if (S_ISDIR(info.st_mode))
                RemoveFolderAt(
                    folder.Get(), entryPath, entryPath == path ? kFolderKept : kFolderQuiet);
            else
                Note(kOutcomeKept, entryPath, "a folder was installed here; this is not one",
                    kWhyNotOurs);
        } else if (kind == InstallRecord::kTypeSymlink) {
            if (S_ISLNK(info.st_mode)
                && LinkTargetAt(folder.Get(), leaf)
                    == entry.GetString(InstallRecord::kFieldTarget, "")) {
                UnlinkAt(folder.Get(), entryPath);
            } else {
                Note(kOutcomeKept, entryPath, "it was changed since it was installed", kWhyChanged);
            }
        } else if (kind == InstallRecord::kTypeFile) {
            RemoveEntryFile(entry, folder.Get(), entryPath, info);
        } else {
            Note(kOutcomeProblem, entryPath, "the record gives it no known kind; it stays");
        }
    }
}

// `info` is the file's status, just read through `folder`.
void InstallRemoval::RemoveEntryFile(
    const BMessage& entry, int folder, const std::string& path, const struct stat& info)
{
    std::string leaf = LeafOf(path);
    std::string digest = Digest(entry);
    if (digest.empty()) {
        Note(kOutcomeProblem, path, "the record holds no digest of it; it stays");
        return;
    }
    if (!S_ISREG(info.st_mode)
        || int64(info.st_size) != entry.GetInt64(InstallRecord::kFieldSize, -1)
        || (!UnchangedSince(entry, info) && !MatchesDigestAt(folder, leaf, digest))) {
        Note(kOutcomeKept, path, "it was changed since it was installed", kWhyChanged);
        return;
    }
    // Where the file system keeps attributes, every file the installation
    // tagged carries its tag: a file without it is not the one installed,
    // whatever the record says. One the record shows untagged (the tag could
    // not be written) is known by its digest alone.
    if (entry.GetBool(InstallRecord::kFieldTagged, true)
        && !CarriesTag(BPrivate::HeldPath(folder, leaf))) {
        Note(kOutcomeKept, path, "it does not carry this installation's tag", kWhyNotOurs);
        return;
    }
    UnlinkAt(folder, path);
}

status_t InstallRemoval::OpenFolderOf(const std::string& path, BPrivate::Descriptor* folder) const
{
    std::string parent = ParentOf(path);
    if (fFolder.IsValid() && parent == fInstallFolder)
        return BPrivate::OpenFolderBeneath(fFolder.Get(), "", folder);
    if (fFolder.IsValid() && IsInside(parent, fInstallFolder))
        return BPrivate::OpenFolderBeneath(
            fFolder.Get(), parent.substr(fInstallFolder.size() + 1), folder);
    return BPrivate::OpenFolderPath(parent, folder);
}

// The installation makes an item in a scratch folder beside its place and
// renames it into place (or, when the user keeps what is there, into the
// installation folder), under the item's own name.
bool InstallRemoval::PlacedByInstallation(const Step& item) const
{
    std::string path = item.begun.GetString(InstallRecord::kFieldPath, "");
    std::string name = item.begun.GetString(InstallRecord::kFieldName, "");
    if (!name.empty() && LeafOf(path) != name)
        return false;
    return IsWhereItemsArePlaced(path, item.number);
}

// Items and links are placed in the installation folder, or renamed from a
// scratch folder that an earlier step made beside their place.
bool InstallRemoval::IsWhereItemsArePlaced(const std::string& path, int32 before) const
{
    if (!fInstallFolder.empty() && ParentOf(path) == fInstallFolder)
        return true;
    for (const Step& step : fRecord.Steps()) {
        if (step.number >= before)
            break;
        std::string scratch = step.begun.GetString(InstallRecord::kFieldPath, "");
        if (step.kind == InstallRecord::kKindScratch && ParentOf(scratch) == ParentOf(path)
            && LeafOf(scratch).rfind(".brenvik-", 0) == 0)
            return true;
    }
    return false;
}

// An item whose placing the record saw begin but not end: whatever is at its
// place now was moved there by the installation, which places an item only
// where nothing is.
void InstallRemoval::UndoInterruptedItem(const std::string& path)
{
    struct stat info;
    if (!Lstat(path, &info))
        return;
    // Without digests, what carries the installation's tag is the
    // installation's; where the file system keeps no attributes, everything
    // (the item was placed where nothing was). Contents before folders.
    std::vector<std::string> paths = { path };
    if (S_ISDIR(info.st_mode)) {
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(path, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            paths.push_back(it->path().string());
    }
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        if (!Lstat(*it, &info))
            continue;
        if (S_ISDIR(info.st_mode)) {
            RemoveFolder(*it, *it == path ? kFolderKept : kFolderQuiet);
            continue;
        }
        if (S_ISREG(info.st_mode) && !CarriesTag(*it)) {
            Note(kOutcomeKept, *it, "it does not carry this installation's tag", kWhyNotOurs);
            continue;
        }
        UnlinkNoting(*it);
    }
}

// Read straight from the entry, whose last component is not followed (a
// file here, reached through its folder's handle or by its path), with one
// call: a value longer than the tag expected is not the tag.
bool InstallRemoval::CarriesTag(const std::string& path) const
{
    std::string name;
    if (BPrivate::NodeAttributes::EncodeName(InstallerFormat::kDeinstallTagAttribute, &name)
        != B_OK)
        return false;
    std::string_view expected = fRecord.Header().GetString(InstallRecord::kFieldInstallBy, "");
    // The type code, the text, and room for a NUL some writers add.
    std::vector<char> value(4 + expected.size() + 1);
    ssize_t size = lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
    if (size < 0)
        return errno == ENOTSUP;
    if (size < 4)
        return false;
    std::string_view text(value.data() + 4, size_t(size) - 4);
    return text.substr(0, text.find('\0')) == expected;
}

bool InstallRemoval::IsLeftUnder(const std::string& folder) const
{
    return std::any_of(fLeft.begin(), fLeft.end(),
        [&](const std::string& left) { return IsInside(left, folder); });
}

void InstallRemoval::RemoveFolder(const std::string& path, folder_report report)
{
    BPrivate::Descriptor folder;
    status_t status = OpenFolderOf(path, &folder);
    if (status == B_OK)
        RemoveFolderAt(folder.Get(), path, report);
    else if (status != B_ENTRY_NOT_FOUND)
        Note(kOutcomeKept, path, "a link or something other than a folder is on its way",
            kWhyChanged);
}

void InstallRemoval::RemoveFolderAt(int folder, const std::string& path, folder_report report)
{
    struct stat info;
    std::string leaf = LeafOf(path);
    if (fstatat(folder, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (!S_ISDIR(info.st_mode)) {
        Note(kOutcomeKept, path, "a folder was made here; this is not one", kWhyNotOurs);
        return;
    }
    if (unlinkat(folder, leaf.c_str(), AT_REMOVEDIR) == 0) {
        Note(kOutcomeRemoved, path);
        return;
    }
    int error = errno;
    if (error != ENOTEMPTY && error != EEXIST) {
        Note(kOutcomeFailed, path, std::strerror(error));
    } else if (IsLeftUnder(path)) {
        Note(kOutcomeLeft, path, "it holds what the product installs to stay");
    } else if (report == kFolderKept) {
        Note(kOutcomeKept, path, "it holds files that were not installed", kWhyUserFiles);
    } else if (report == kFolderShared) {
        Note(kOutcomeLeft, path, "it holds what others put there since");
    }
}

void InstallRemoval::UndoLink(const Step& step, bool desktopEntry)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    std::string target = step.begun.GetString(InstallRecord::kFieldTarget, "");
    if (!step.begun.GetBool(InstallRecord::kFieldDeinstallable, true)) {
        fLeft.push_back(path);
        Note(kOutcomeLeft, path, "the product installs it to stay");
        return;
    }
    BPrivate::Descriptor folder;
    status_t opened = OpenFolderOf(path, &folder);
    struct stat info;
    std::string leaf = LeafOf(path);
    if (opened == B_ENTRY_NOT_FOUND
        || (opened == B_OK && fstatat(folder.Get(), leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0))
        return;
    if (opened != B_OK) {
        Note(kOutcomeKept, path, "a link or something other than a folder is on its way",
            kWhyChanged);
        return;
    }
    if (!IsWhereItemsArePlaced(path, step.number)) {
        Note(kOutcomeProblem, path,
            "the record names it as a link of the installation, but the installation places "
            "none there");
        return;
    }
    bool ours = false;
    if (!desktopEntry) {
        ours = S_ISLNK(info.st_mode) && LinkTargetAt(folder.Get(), leaf) == target;
    } else if (S_ISREG(info.st_mode)) {
        std::string digest = Digest(step.result);
        if (!digest.empty()) {
            ours = MatchesDigestAt(folder.Get(), leaf, digest);
        } else if (step.state == InstallRecordReader::kStepBegun && !target.empty()
            && info.st_size < 64 * 1024) {
            // Interrupted before its digest was recorded: an entry that
            // names the item it was made for.
            std::string text;
            ours = ScriptFile::Read(BPrivate::HeldPath(folder.Get(), leaf), &text) == B_OK
                && text.rfind("[Desktop Entry]\n", 0) == 0
                && text.find(target) != std::string::npos;
        }
    }
    if (!ours) {
        Note(kOutcomeKept, path, "it was changed since it was installed", kWhyChanged);
        return;
    }
    UnlinkAt(folder.Get(), path);
}
