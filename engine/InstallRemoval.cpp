#include "InstallRemoval.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Errors.h>
#include <Path.h>
#include <ProcessRunner.h>
#include <Sha256.h>
#include <StorageScope.h>

#include <LibFileOperations.h>
#include <LibNode.h>
#include <LibString.h>
#include <LibTreeCopy.h>

#include "InstallRecord.h"
#include "InstallerFormat.h"
#include "ScriptEdit.h"
#include "ScriptEditor.h"
#include "ScriptFile.h"
#include "ScriptTargets.h"

namespace {

namespace fs = std::filesystem;
using Step = InstallRecordReader::Step;

// An absolute path without empty, "." or ".." components: the only form the
// installer records.
bool IsPlainPath(const std::string& path)
{
    if (path.size() < 2 || path.size() >= PATH_MAX || path[0] != '/' || path.back() == '/')
        return false;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool IsInside(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0
        && path[folder.size()] == '/';
}

std::string ParentOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string LeafOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

bool Lstat(const std::string& path, struct stat* info)
{
    return lstat(path.c_str(), info) == 0;
}

bool Lexists(const std::string& path)
{
    struct stat info;
    return Lstat(path, &info);
}

std::string Digest(const BMessage& message)
{
    const void* data = nullptr;
    ssize_t size = 0;
    if (message.FindData(InstallRecord::kFieldSha256, B_RAW_TYPE, &data, &size) != B_OK
        || size != 32)
        return std::string();
    return std::string(static_cast<const char*>(data), size_t(size));
}

bool MatchesDigest(const std::string& path, const std::string& digest)
{
    std::string actual;
    return !digest.empty() && BPrivate::Sha256::HashFile(path.c_str(), &actual) == B_OK
        && actual == digest;
}

std::string LinkTarget(const std::string& path)
{
    char buffer[PATH_MAX];
    ssize_t size = readlink(path.c_str(), buffer, sizeof(buffer));
    return size < 0 ? std::string() : std::string(buffer, size_t(size));
}

// Every folder from `root` down to the parent of `path` is a real folder, not
// a link that leads elsewhere.
bool RealFoldersBetween(const std::string& root, const std::string& path)
{
    std::string folder = root;
    while (true) {
        struct stat info;
        if (!Lstat(folder, &info) || !S_ISDIR(info.st_mode))
            return false;
        size_t next = path.find('/', folder.size() + 1);
        if (next == std::string::npos)
            return true;
        folder = path.substr(0, next);
    }
}

std::string Unescaped(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(uchar(text[i + 1]))
            && std::isxdigit(uchar(text[i + 2]))) {
            result += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

// The trash's record of an item in its "files" folder, and the original path
// that record names ("" when there is no such record).
std::string TrashInfoPath(const std::string& trashed)
{
    std::string files = ParentOf(trashed);
    if (LeafOf(files) != "files")
        return std::string();
    return ParentOf(files) + "/info/" + LeafOf(trashed) + ".trashinfo";
}

std::string TrashedFrom(const std::string& infoPath)
{
    struct stat info;
    if (!Lstat(infoPath, &info) || !S_ISREG(info.st_mode) || info.st_size > 64 * 1024)
        return std::string();
    std::string text;
    if (ScriptFile::Read(infoPath, &text) != B_OK)
        return std::string();
    size_t at = text.find("\nPath=");
    if (at == std::string::npos)
        return std::string();
    at += 6;
    size_t end = text.find('\n', at);
    return Unescaped(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
}

// Where in the trash an item whose move there was not recorded as done went:
// the newest item whose trash record names its original path.
std::string FindInTrash(const std::string& trashFiles, const std::string& original)
{
    std::string infoFolder = ParentOf(trashFiles) + "/info";
    DIR* folder = opendir(infoFolder.c_str());
    if (folder == nullptr)
        return std::string();
    std::string best;
    time_t bestTime = 0;
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        const std::string suffix = ".trashinfo";
        if (name.size() <= suffix.size()
            || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::string infoPath = infoFolder + "/" + name;
        struct stat info;
        if (TrashedFrom(infoPath) != original || !Lstat(infoPath, &info))
            continue;
        std::string item = trashFiles + "/" + name.substr(0, name.size() - suffix.size());
        if (Lexists(item) && (best.empty() || info.st_mtime >= bestTime)) {
            best = item;
            bestTime = info.st_mtime;
        }
    }
    closedir(folder);
    return best;
}

// Moves an item back to its old name, never over anything.
status_t MoveBack(const std::string& from, const std::string& to)
{
    if (Lexists(to))
        return B_FILE_EXISTS;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return B_OK;
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        // A file system without the exclusive rename: it was free a moment ago.
        if (rename(from.c_str(), to.c_str()) == 0)
            return B_OK;
        error = errno;
    }
    if (error != EXDEV)
        return StatusFromErrno(error);
    LibTreeCopy copy;
    return copy.MoveByCopy(from, to);
}

bool IsStartUpFolderEdit(const BMessage& message)
{
    return message.GetBool(InstallRecord::kFieldStartupBlock, false)
        || message.GetBool("startup_folder", false);
}

// A script step holds the script editor's own account of the edit (a
// ScriptEdit archive), or the flat form of a single block.
bool ScriptEditOf(const Step& step, ScriptEdit* edit)
{
    for (const BMessage* message : { &step.result, &step.begun }) {
        if (message->HasMessage("file") && edit->Restore(*message) == B_OK)
            return true;
    }
    const BMessage& flat = step.begun;
    ScriptFileChange change;
    change.path = flat.GetString(InstallRecord::kFieldPath, "");
    change.tag = flat.GetString(InstallRecord::kFieldTag, "");
    change.block = flat.GetString(InstallRecord::kFieldBlock, "");
    if (change.path.empty() || change.tag.empty() || change.block.empty())
        return false;
    std::string role = flat.GetString(InstallRecord::kFieldRole, "block");
    change.role = role == "copy" ? ScriptFileChange::kCopy
        : role == "profile_hook" ? ScriptFileChange::kHook
        : role == "drop_in"      ? ScriptFileChange::kMirror
                                 : ScriptFileChange::kScript;
    change.existed = flat.GetBool(InstallRecord::kFieldFileExisted, true);
    change.created = flat.GetBool(InstallRecord::kFieldFileCreated, false);
    change.removeWhenEmpty = change.created && !change.existed;
    edit->tag = change.tag;
    edit->path = change.path;
    edit->startUpFolder = IsStartUpFolderEdit(flat);
    edit->files.push_back(change);
    return true;
}

// The live installation that superseded a record (a later installation of
// the product into the same folder), or "" when there is none: once that one
// has been removed, what it had replaced is back and its record is live
// again.
std::string SupersedingRecord(const InstallRecordReader& record, const std::string& journalPath)
{
    std::string folder = ParentOf(ParentOf(journalPath));
    for (const std::string& id : record.SupersededBy()) {
        if (!id.empty() && id.find('/') == std::string::npos && id[0] != '.'
            && Lexists(folder + "/" + id + "/journal"))
            return id;
    }
    return std::string();
}

} // namespace

InstallRemoval::InstallRemoval()
    : fDone(0)
    , fTotal(0)
    , fRecordRemoved(false)
{
}

status_t InstallRemoval::SetTo(const std::string& journalPath)
{
    fJournalPath = journalPath;
    fOutcomes.clear();
    struct stat info;
    if (!Lstat(journalPath, &info) || !S_ISREG(info.st_mode)) {
        fError = "there is no install record at " + journalPath;
        return B_ENTRY_NOT_FOUND;
    }
    if (info.st_uid != geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        fError = "the install record " + journalPath
            + " is not private to this user, so it cannot be trusted";
        return B_NOT_ALLOWED;
    }
    status_t status = fRecord.ReadFile(journalPath.c_str());
    if (status != B_OK) {
        fError = "the install record " + journalPath + " cannot be read";
        return status;
    }
    const BMessage& header = fRecord.Header();
    if (header.GetInt32(InstallRecord::kFieldUid, -1) != int32(geteuid())) {
        fError = "the installation was made by another user";
        return B_NOT_ALLOWED;
    }
    std::string superseding = SupersedingRecord(fRecord, journalPath);
    if (!superseding.empty()) {
        fError = "a later installation (" + superseding
            + ") replaced this one; remove that installation instead";
        return B_NOT_ALLOWED;
    }
    fInstallFolder = header.GetString(InstallRecord::kFieldInstallFolder, "");
    fSavedFolder = header.GetString(InstallRecord::kFieldSavedFolder, "");
    if (!IsPlainPath(fInstallFolder))
        fInstallFolder.clear();
    if (fInstallFolder.empty() || !IsPlainPath(fSavedFolder)
        || ParentOf(fSavedFolder) != fInstallFolder)
        fSavedFolder.clear();
    fError.clear();
    return B_OK;
}

InstallRemoval::Plan InstallRemoval::MakePlan() const
{
    Plan plan;
    for (auto it = fRecord.Steps().rbegin(); it != fRecord.Steps().rend(); ++it) {
        const Step& step = *it;
        std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
        if (step.kind == InstallRecord::kKindItem || step.kind == InstallRecord::kKindLink
            || step.kind == InstallRecord::kKindDesktopEntry) {
            if (step.begun.GetBool(InstallRecord::kFieldDeinstallable, true)
                && step.state != InstallRecordReader::B_STEP_FAILED)
                plan.remove.push_back(path);
        } else if (step.kind == InstallRecord::kKindScript) {
            ScriptEdit edit;
            if (ScriptEditOf(step, &edit)) {
                for (const ScriptFileChange& change : edit.files)
                    plan.remove.push_back(change.path + " (" + edit.tag + ")");
            }
        } else if ((step.kind == InstallRecord::kKindDisplaced
                       || step.kind == InstallRecord::kKindOldInstall)
            && step.state != InstallRecordReader::B_STEP_FAILED) {
            plan.restore.push_back(path);
        }
    }
    return plan;
}

int32 InstallRemoval::Count(outcome_kind kind) const
{
    return int32(std::count_if(
        fOutcomes.begin(), fOutcomes.end(), [kind](const Outcome& o) { return o.kind == kind; }));
}

bool InstallRemoval::Complete() const
{
    return Count(B_OUTCOME_KEPT) == 0 && Count(B_OUTCOME_FAILED) == 0
        && Count(B_OUTCOME_PROBLEM) == 0;
}

void InstallRemoval::Note(
    outcome_kind kind, const std::string& path, const std::string& reason, why_code why)
{
    fOutcomes.push_back({ kind, path, reason, why });
}

void InstallRemoval::Advance(const std::string& what)
{
    fDone++;
    if (fProgress)
        fProgress(std::min(fDone, fTotal), fTotal, what);
}

status_t InstallRemoval::Run()
{
    fOutcomes.clear();
    fLeft.clear();
    fFollowUps.clear();
    fOtherBlocks.clear();
    fOtherBlocksRead = false;
    fDone = 0;
    fTotal = int32(fRecord.Steps().size());
    for (const Step& step : fRecord.Steps()) {
        type_code type;
        int32 entries = 0;
        if (step.kind == InstallRecord::kKindItem
            && step.result.GetInfo(InstallRecord::kFieldEntry, &type, &entries) == B_OK)
            fTotal += entries;
    }
    if (!fError.empty() || fRecord.Header().IsEmpty()) {
        Note(B_OUTCOME_PROBLEM, fJournalPath, fError.empty() ? "no install record" : fError);
        return B_ERROR;
    }
    if (fRecord.IgnoredBytes() > 0) {
        Note(B_OUTCOME_PROBLEM, fJournalPath,
            "the record ends in " + std::to_string(fRecord.IgnoredBytes())
                + " bytes that cannot be read (" + fRecord.IgnoredReason()
                + "); what they described stays");
    }
    for (auto it = fRecord.Steps().rbegin(); it != fRecord.Steps().rend(); ++it) {
        UndoStep(*it);
        Advance(it->begun.GetString(InstallRecord::kFieldPath, it->kind.c_str()));
    }
    RunFollowUps();
    WriteLog();
    if (Count(B_OUTCOME_FAILED) == 0 && Count(B_OUTCOME_PROBLEM) == 0)
        RemoveRecord();
    return Complete() ? B_OK : B_ERROR;
}

void InstallRemoval::UndoStep(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    if (step.kind == InstallRecord::kKindFollowUp) {
        fFollowUps.push_back(step.begun);
        return;
    }
    if (step.kind == InstallRecord::kKindScript) {
        UndoScript(step);
        return;
    }
    // A step that failed changed nothing.
    if (step.state == InstallRecordReader::B_STEP_FAILED)
        return;
    if (!IsPlainPath(path)) {
        Note(B_OUTCOME_PROBLEM, path,
            "the record's " + step.kind + " step " + std::to_string(step.number)
                + " names no plain absolute path");
        return;
    }
    if (step.kind == InstallRecord::kKindItem)
        UndoItem(step);
    else if (step.kind == InstallRecord::kKindLink)
        UndoLink(step, false);
    else if (step.kind == InstallRecord::kKindDesktopEntry)
        UndoLink(step, true);
    else if (step.kind == InstallRecord::kKindDisplaced)
        UndoDisplaced(step);
    else if (step.kind == InstallRecord::kKindOldInstall)
        UndoOldInstall(step);
    else if (step.kind == InstallRecord::kKindScratch)
        UndoScratch(path);
    else if (step.kind == InstallRecord::kKindLog)
        UndoLog(path);
    else if (step.kind == InstallRecord::kKindDeinstaller)
        UndoDeinstaller(step);
    else if (step.kind == InstallRecord::kKindFolder) {
        // A folder made above the installation folder or for a custom
        // folder is shared: what others put there since is theirs.
        bool shared
            = fInstallFolder.empty() || (path != fInstallFolder && !IsInside(path, fInstallFolder));
        if (!step.begun.GetBool(InstallRecord::kFieldExisted, true)
            && !HoldsWhatWasMovedAside(path, step.number))
            RemoveFolder(path, shared ? B_FOLDER_SHARED : B_FOLDER_KEPT);
    } else {
        Note(B_OUTCOME_PROBLEM, path, "the record's step of kind \"" + step.kind + "\" is unknown");
    }
}

void InstallRemoval::UndoItem(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    if (!step.begun.GetBool(InstallRecord::kFieldDeinstallable, true)) {
        fLeft.push_back(path);
        Note(B_OUTCOME_LEFT, path, "the product installs it to stay");
        return;
    }
    if (!PlacedByInstallation(step)) {
        if (Lexists(path))
            Note(B_OUTCOME_PROBLEM, path, "the record does not show how it was placed; it stays");
        return;
    }
    if (HoldsWhatWasMovedAside(path, step.number))
        return;
    if (step.state == InstallRecordReader::B_STEP_BEGUN) {
        UndoInterruptedItem(path);
        return;
    }
    std::vector<BMessage> entries;
    BMessage entry;
    for (int32 i = 0; step.result.FindMessage(InstallRecord::kFieldEntry, i, &entry) == B_OK; i++)
        entries.push_back(entry);
    if (entries.empty() || step.result.GetString(InstallRecord::kFieldPath, "") != path
        || entries.front().GetString(InstallRecord::kFieldPath, "") != path) {
        Note(B_OUTCOME_PROBLEM, path, "the record does not say what the item holds; it stays");
        return;
    }
    // Contents before their folders: the record lists a folder before what
    // it holds.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        std::string entryPath = it->GetString(InstallRecord::kFieldPath, "");
        std::string type = it->GetString(InstallRecord::kFieldType, "");
        Advance(entryPath);
        if (!IsPlainPath(entryPath) || (entryPath != path && !IsInside(entryPath, path))) {
            Note(B_OUTCOME_PROBLEM, entryPath,
                "the record places it outside its item " + path + "; it stays");
            continue;
        }
        // Gone already (removed by an earlier run of this removal, or by
        // the user): nothing to do.
        struct stat info;
        if (!Lstat(entryPath, &info))
            continue;
        if (entryPath != path && !RealFoldersBetween(path, entryPath)) {
            // Its folder was replaced by a link or something else since.
            Note(B_OUTCOME_KEPT, entryPath, "its folder is no longer the one installed",
                B_WHY_CHANGED);
            continue;
        }
        if (type == InstallRecord::kTypeFolder) {
            if (S_ISDIR(info.st_mode))
                RemoveFolder(entryPath, entryPath == path ? B_FOLDER_KEPT : B_FOLDER_QUIET);
            else
                Note(B_OUTCOME_KEPT, entryPath, "a folder was installed here; this is not one",
                    B_WHY_NOT_OURS);
        } else if (type == InstallRecord::kTypeSymlink) {
            if (S_ISLNK(info.st_mode)
                && LinkTarget(entryPath) == it->GetString(InstallRecord::kFieldTarget, "")) {
                if (unlink(entryPath.c_str()) == 0)
                    Note(B_OUTCOME_REMOVED, entryPath);
                else
                    Note(B_OUTCOME_FAILED, entryPath, std::strerror(errno));
            } else {
                Note(B_OUTCOME_KEPT, entryPath, "it was changed since it was installed",
                    B_WHY_CHANGED);
            }
        } else if (type == InstallRecord::kTypeFile) {
            RemoveEntryFile(*it, entryPath);
        } else {
            Note(B_OUTCOME_PROBLEM, entryPath, "the record gives it no known kind; it stays");
        }
    }
}

void InstallRemoval::RemoveEntryFile(const BMessage& entry, const std::string& path)
{
    struct stat info;
    if (!Lstat(path, &info))
        return;
    std::string digest = Digest(entry);
    if (digest.empty()) {
        Note(B_OUTCOME_PROBLEM, path, "the record holds no digest of it; it stays");
        return;
    }
    if (!S_ISREG(info.st_mode)
        || int64(info.st_size) != entry.GetInt64(InstallRecord::kFieldSize, -1)
        || !MatchesDigest(path, digest)) {
        Note(B_OUTCOME_KEPT, path, "it was changed since it was installed", B_WHY_CHANGED);
        return;
    }
    // Where the file system keeps attributes, every file the installation
    // tagged carries its tag: a file without it is not the one installed,
    // whatever the record says. One the record shows untagged (the tag could
    // not be written) is known by its digest alone.
    if (entry.GetBool(InstallRecord::kFieldTagged, true) && !CarriesTag(path)) {
        Note(B_OUTCOME_KEPT, path, "it does not carry this installation's tag", B_WHY_NOT_OURS);
        return;
    }
    if (unlink(path.c_str()) == 0)
        Note(B_OUTCOME_REMOVED, path);
    else
        Note(B_OUTCOME_FAILED, path, std::strerror(errno));
}

// A place that holds again what the installation moved out of it (before
// step `before`), with nothing left where that went: a removal run before
// took away what the installation put there and put the old one back.
// Nothing is left to do for that step.
bool InstallRemoval::HoldsWhatWasMovedAside(const std::string& path, int32 before) const
{
    for (const Step& step : fRecord.Steps()) {
        if (step.number >= before)
            break;
        bool displaced = step.kind == InstallRecord::kKindDisplaced;
        if ((!displaced && step.kind != InstallRecord::kKindOldInstall)
            || step.state != InstallRecordReader::B_STEP_DONE
            || path != step.begun.GetString(InstallRecord::kFieldPath, ""))
            continue;
        BMessage folder;
        folder.AddString(InstallRecord::kFieldType, InstallRecord::kTypeFolder);
        std::string to = step.result.GetString(InstallRecord::kFieldTo, "");
        if (IsPlainPath(to) && IsBackAlready(path, to, displaced ? step.begun : folder))
            return true;
    }
    return false;
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
    if (!fInstallFolder.empty() && ParentOf(path) == fInstallFolder)
        return true;
    for (const Step& step : fRecord.Steps()) {
        if (step.number >= item.number)
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
            RemoveFolder(*it, *it == path ? B_FOLDER_KEPT : B_FOLDER_QUIET);
            continue;
        }
        if (S_ISREG(info.st_mode) && !CarriesTag(*it)) {
            Note(B_OUTCOME_KEPT, *it, "it does not carry this installation's tag", B_WHY_NOT_OURS);
            continue;
        }
        if (unlink(it->c_str()) == 0)
            Note(B_OUTCOME_REMOVED, *it);
        else
            Note(B_OUTCOME_FAILED, *it, std::strerror(errno));
    }
}

bool InstallRemoval::CarriesTag(const std::string& path) const
{
    LibString tag;
    ssize_t tagged
        = LibNode(path.c_str()).ReadStringAttr(InstallerFormat::kDeinstallTagAttribute, tag);
    return tagged == B_NOT_SUPPORTED
        || (tagged >= 0
            && std::string(static_cast<const char*>(tag))
                == fRecord.Header().GetString(InstallRecord::kFieldInstallBy, ""));
}

bool InstallRemoval::IsLeftUnder(const std::string& folder) const
{
    return std::any_of(fLeft.begin(), fLeft.end(),
        [&](const std::string& left) { return IsInside(left, folder); });
}

void InstallRemoval::RemoveFolder(const std::string& path, folder_report report)
{
    struct stat info;
    if (!Lstat(path, &info))
        return;
    if (!S_ISDIR(info.st_mode)) {
        Note(B_OUTCOME_KEPT, path, "a folder was made here; this is not one", B_WHY_NOT_OURS);
        return;
    }
    if (rmdir(path.c_str()) == 0) {
        Note(B_OUTCOME_REMOVED, path);
        return;
    }
    int error = errno;
    if (error != ENOTEMPTY && error != EEXIST) {
        Note(B_OUTCOME_FAILED, path, std::strerror(error));
    } else if (IsLeftUnder(path)) {
        Note(B_OUTCOME_LEFT, path, "it holds what the product installs to stay");
    } else if (report == B_FOLDER_KEPT) {
        Note(B_OUTCOME_KEPT, path, "it holds files that were not installed", B_WHY_USER_FILES);
    } else if (report == B_FOLDER_SHARED) {
        Note(B_OUTCOME_LEFT, path, "it holds what others put there since");
    }
}

void InstallRemoval::UndoLink(const Step& step, bool desktopEntry)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    std::string target = step.begun.GetString(InstallRecord::kFieldTarget, "");
    if (!step.begun.GetBool(InstallRecord::kFieldDeinstallable, true)) {
        fLeft.push_back(path);
        Note(B_OUTCOME_LEFT, path, "the product installs it to stay");
        return;
    }
    if (HoldsWhatWasMovedAside(path, step.number))
        return;
    struct stat info;
    if (!Lstat(path, &info))
        return;
    bool ours = false;
    if (!desktopEntry) {
        ours = S_ISLNK(info.st_mode) && LinkTarget(path) == target;
    } else if (S_ISREG(info.st_mode)) {
        std::string digest = Digest(step.result);
        if (!digest.empty()) {
            ours = MatchesDigest(path, digest);
        } else if (step.state == InstallRecordReader::B_STEP_BEGUN && !target.empty()
            && info.st_size < 64 * 1024) {
            // Interrupted before its digest was recorded: an entry that
            // names the item it was made for.
            std::string text;
            ours = ScriptFile::Read(path, &text) == B_OK && text.rfind("[Desktop Entry]\n", 0) == 0
                && text.find(target) != std::string::npos;
        }
    }
    if (!ours) {
        Note(B_OUTCOME_KEPT, path, "it was changed since it was installed", B_WHY_CHANGED);
        return;
    }
    if (unlink(path.c_str()) == 0)
        Note(B_OUTCOME_REMOVED, path);
    else
        Note(B_OUTCOME_FAILED, path, std::strerror(errno));
}

bool InstallRemoval::PutBack(const std::string& from, const std::string& to, const BMessage& fields)
{
    struct stat info;
    if (!Lstat(from, &info)) {
        Note(B_OUTCOME_KEPT, to, "what was here before is no longer at " + from);
        return false;
    }
    std::string type = fields.GetString(InstallRecord::kFieldType, "");
    if (!type.empty() && type != InstallRecord::TypeOf(info.st_mode)) {
        Note(B_OUTCOME_PROBLEM, from,
            "the record says a " + type + " was moved here, but this is a "
                + InstallRecord::TypeOf(info.st_mode) + "; it stays");
        return false;
    }
    std::string digest = Digest(fields);
    if (S_ISREG(info.st_mode) && !digest.empty() && !MatchesDigest(from, digest)) {
        Note(B_OUTCOME_KEPT, from, "it changed after it was moved aside, so it stays here",
            B_WHY_CHANGED);
        return false;
    }
    if (Lexists(to)) {
        BPath trashed;
        if (!fTaken || !fTaken(to, from)) {
            Note(B_OUTCOME_KEPT, from,
                "its old place " + to + " is taken again, so it stays where it is", B_WHY_TAKEN);
            return false;
        }
        if (!LibTrash(BPath(to.c_str()), false, &trashed)) {
            Note(B_OUTCOME_FAILED, from,
                "what took its old place " + to + " cannot be moved to the trash");
            return false;
        }
        Note(B_OUTCOME_LEFT, trashed.Path(),
            "it had taken the place of " + to + "; it is in the trash");
    }
    status_t status = MoveBack(from, to);
    if (status != B_OK) {
        Note(B_OUTCOME_FAILED, from, "cannot be put back to " + to + ": " + StatusText(status));
        return false;
    }
    Note(B_OUTCOME_RESTORED, to);
    return true;
}

// A removal that is run again (after it was stopped, or after something in it
// failed) finds what it put back already in its place and nothing where it had
// gone: that step is done. A file counts only while it is the one moved aside.
bool InstallRemoval::IsBackAlready(
    const std::string& path, const std::string& movedTo, const BMessage& displaced) const
{
    struct stat info;
    if (Lexists(movedTo) || !Lstat(path, &info))
        return false;
    std::string type = displaced.GetString(InstallRecord::kFieldType, "");
    if (!type.empty() && type != InstallRecord::TypeOf(info.st_mode))
        return false;
    std::string digest = Digest(displaced);
    return !S_ISREG(info.st_mode) || digest.empty() || MatchesDigest(path, digest);
}

void InstallRemoval::UndoDisplaced(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    std::string action = step.begun.GetString(InstallRecord::kFieldAction, "");
    std::string to = step.state == InstallRecordReader::B_STEP_DONE
        ? step.result.GetString(InstallRecord::kFieldTo, "")
        : step.begun.GetString(InstallRecord::kFieldTo, "");
    if (step.state == InstallRecordReader::B_STEP_BEGUN) {
        // Interrupted: the move happened only if the item left its place.
        if (Lexists(path))
            return;
        if (action == InstallRecord::kActionTrashed && IsPlainPath(to))
            to = FindInTrash(to, path);
    }
    if (!IsPlainPath(to)) {
        Note(B_OUTCOME_PROBLEM, path, "the record does not say where it was moved");
        return;
    }
    if (IsBackAlready(path, to, step.begun))
        return;
    bool allowed = false;
    if (action == InstallRecord::kActionSaved)
        allowed = !fSavedFolder.empty() && IsInside(to, fSavedFolder);
    else if (action == InstallRecord::kActionRenamed)
        allowed = ParentOf(to) == ParentOf(path) && LeafOf(to).find(" copy") != std::string::npos;
    else if (action == InstallRecord::kActionTrashed)
        allowed = TrashedFrom(TrashInfoPath(to)) == path;
    if (!allowed) {
        Note(B_OUTCOME_PROBLEM, path,
            "the record says it went to " + to + ", where such items never go; nothing was moved");
        return;
    }
    if (!PutBack(to, path, step.begun))
        return;
    if (action == InstallRecord::kActionTrashed) {
        unlink(TrashInfoPath(to).c_str());
    } else if (action == InstallRecord::kActionSaved) {
        // Numbered folders made in "Saved Files" for names that were taken.
        for (std::string folder = ParentOf(to); IsInside(folder, fSavedFolder);
             folder = ParentOf(folder)) {
            if (rmdir(folder.c_str()) != 0)
                break;
        }
    }
}

void InstallRemoval::UndoOldInstall(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    std::string to = step.result.GetString(InstallRecord::kFieldTo, "");
    if (step.state == InstallRecordReader::B_STEP_BEGUN) {
        // Where the trash is was not recorded: look in the one the item's
        // folder uses.
        if (Lexists(path))
            return;
        Note(B_OUTCOME_KEPT, path,
            "an earlier installation was being moved to the trash; look for it there");
        return;
    }
    BMessage fields;
    fields.AddString(InstallRecord::kFieldType, InstallRecord::kTypeFolder);
    if (IsPlainPath(to) && IsBackAlready(path, to, fields))
        return;
    if (!IsPlainPath(to) || TrashedFrom(TrashInfoPath(to)) != path) {
        Note(B_OUTCOME_PROBLEM, path,
            "the record's trash place of the earlier installation does not match the trash");
        return;
    }
    if (PutBack(to, path, fields))
        unlink(TrashInfoPath(to).c_str());
}

void InstallRemoval::UndoScratch(const std::string& path)
{
    struct stat info;
    if (!Lstat(path, &info))
        return;
    if (!S_ISDIR(info.st_mode) || LeafOf(path).rfind(".brenvik-", 0) != 0) {
        Note(B_OUTCOME_PROBLEM, path, "the record names it as a scratch folder, which it is not");
        return;
    }
    std::error_code error;
    fs::remove_all(path, error);
    if (error)
        Note(B_OUTCOME_FAILED, path, error.message());
}

void InstallRemoval::UndoLog(const std::string& path)
{
    struct stat info;
    if (!Lstat(path, &info))
        return;
    std::string head;
    if (!fInstallFolder.empty() && ParentOf(path) == fInstallFolder && S_ISREG(info.st_mode)) {
        int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        char buffer[8];
        if (fd >= 0) {
            ssize_t size = read(fd, buffer, sizeof(buffer));
            if (size > 0)
                head.assign(buffer, size_t(size));
            close(fd);
        }
    }
    if (head != "BRENVIK\n" && (info.st_size > 0 || ParentOf(path) != fInstallFolder)) {
        Note(B_OUTCOME_KEPT, path, "it is not the installation's log", B_WHY_NOT_OURS);
        return;
    }
    if (unlink(path.c_str()) == 0)
        Note(B_OUTCOME_REMOVED, path);
    else
        Note(B_OUTCOME_FAILED, path, std::strerror(errno));
}

void InstallRemoval::UndoDeinstaller(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    struct stat info;
    if (!Lstat(path, &info))
        return;
    std::string digest = Digest(step.result);
    bool ours = S_ISREG(info.st_mode) && !fInstallFolder.empty() && ParentOf(path) == fInstallFolder
        && (digest.empty() ? step.state == InstallRecordReader::B_STEP_BEGUN
                           : MatchesDigest(path, digest));
    if (!ours) {
        Note(B_OUTCOME_KEPT, path, "it is not the de-installer that was installed", B_WHY_NOT_OURS);
        return;
    }
    // A running program can be unlinked: it goes once it ends.
    if (unlink(path.c_str()) == 0)
        Note(B_OUTCOME_REMOVED, path);
    else
        Note(B_OUTCOME_FAILED, path, std::strerror(errno));
}

void InstallRemoval::UndoScript(const Step& step)
{
    ScriptEdit edit;
    if (!ScriptEditOf(step, &edit)) {
        Note(B_OUTCOME_PROBLEM, step.begun.GetString(InstallRecord::kFieldPath, ""),
            "the record's script step " + std::to_string(step.number) + " cannot be read");
        return;
    }
    for (const ScriptFileChange& change : edit.files) {
        if (!IsPlainPath(change.path)) {
            Note(B_OUTCOME_PROBLEM, change.path, "the record's script file is no plain path");
            return;
        }
    }
    int32 others = edit.startUpFolder ? OtherStartUpFolderUsers() : 0;
    if (others > 0) {
        Note(B_OUTCOME_LEFT, edit.files.empty() ? edit.path : edit.files.front().path,
            "the start-up folder block stays: " + std::to_string(others)
                + " other installation(s) use it");
        return;
    }
    // A block that another live installation wrote, byte for byte, into the
    // same file (the product installed into a second folder) is theirs too:
    // it stays while they are there.
    ScriptEdit own = edit;
    own.files.clear();
    for (const ScriptFileChange& change : edit.files) {
        if (!change.block.empty() && IsBlockOfOtherRecord(change.path, change.block)) {
            Note(B_OUTCOME_LEFT, change.path + " (" + change.tag + ")",
                "another installation uses the same block");
            // The copy this installation made goes with it all the same.
            ScriptFile::RemoveBackup(change);
        } else {
            own.files.push_back(change);
        }
    }
    std::vector<std::string> notes;
    std::vector<ScriptFileOutcome> outcomes;
    status_t status = RemoveScriptEdit(own, 0, &notes, &outcomes);
    for (const ScriptFileOutcome& outcome : outcomes) {
        std::string what
            = outcome.path + " (" + (outcome.tag.empty() ? "entry" : outcome.tag) + ")";
        bool theirs = true;
        switch (outcome.kind) {
        case ScriptFileOutcome::kRemoved:
        case ScriptFileOutcome::kDeleted:
            Note(B_OUTCOME_REMOVED, what);
            break;
        case ScriptFileOutcome::kAbsent:
            // Taken out before (by the user, or an earlier run of this
            // removal): nothing is left to do.
            break;
        case ScriptFileOutcome::kKept:
            for (const std::string& block : outcome.others)
                theirs = theirs && IsBlockOfOtherRecord(outcome.path, block);
            if (theirs)
                Note(B_OUTCOME_LEFT, what,
                    "another installation wrote its own block of this tag over it");
            else
                Note(B_OUTCOME_KEPT, what, "its block was changed since it was installed",
                    B_WHY_CHANGED);
            break;
        case ScriptFileOutcome::kFailed:
            Note(B_OUTCOME_FAILED, what,
                "the script block cannot be removed: " + std::string(StatusText(outcome.status)));
            break;
        }
    }
    if (status != B_OK && outcomes.empty())
        Note(B_OUTCOME_FAILED, edit.path, "the script block " + edit.tag + " cannot be removed");
}

// Whether another live installation's record says it wrote exactly `block`
// into the file at `path`.
bool InstallRemoval::IsBlockOfOtherRecord(const std::string& path, const std::string& block)
{
    if (!fOtherBlocksRead) {
        fOtherBlocksRead = true;
        ForEachOtherLiveRecord([&](const InstallRecordReader& other) {
            for (const Step& step : other.Steps()) {
                ScriptEdit edit;
                if (step.kind != InstallRecord::kKindScript
                    || step.state == InstallRecordReader::B_STEP_FAILED
                    || !ScriptEditOf(step, &edit))
                    continue;
                for (const ScriptFileChange& change : edit.files)
                    fOtherBlocks.emplace_back(change.path, change.block);
            }
            return true;
        });
    }
    return std::find(fOtherBlocks.begin(), fOtherBlocks.end(), std::make_pair(path, block))
        != fOtherBlocks.end();
}

// Calls visit(record) for each readable, live (not superseded) install
// record of the scope other than this one, until it returns false.
void InstallRemoval::ForEachOtherLiveRecord(
    const std::function<bool(const InstallRecordReader&)>& visit) const
{
    std::string folder = ParentOf(ParentOf(fJournalPath));
    std::string self = ParentOf(fJournalPath);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string record = entry.path().string();
        if (record == self || entry.path().filename().string().rfind(".", 0) == 0)
            continue;
        InstallRecordReader other;
        if (other.ReadFile((record + "/journal").c_str()) != B_OK
            || !SupersedingRecord(other, record + "/journal").empty())
            continue;
        if (!visit(other))
            return;
    }
}

int32 InstallRemoval::OtherStartUpFolderUsers() const
{
    int32 users = 0;
    ForEachOtherLiveRecord([&](const InstallRecordReader& other) {
        for (const Step& step : other.Steps()) {
            ScriptEdit edit;
            if (step.kind == InstallRecord::kKindScript
                && step.state != InstallRecordReader::B_STEP_FAILED && ScriptEditOf(step, &edit)
                && edit.startUpFolder) {
                users++;
                break;
            }
        }
        return true;
    });
    return users;
}

void InstallRemoval::RunFollowUps()
{
    std::vector<std::string> done;
    for (const BMessage& followUp : fFollowUps) {
        std::string action = followUp.GetString(InstallRecord::kFieldAction, "");
        std::string folder = followUp.GetString(InstallRecord::kFieldPath, "");
        if (std::find(done.begin(), done.end(), action + "\n" + folder) != done.end())
            continue;
        done.push_back(action + "\n" + folder);
        std::vector<std::string> command;
        if (action == "ldconfig") {
            // Only the real system's cache; below another root (a test, an
            // image being prepared) it is none of ours.
            if (BPrivate::StorageScope::Current() != BPrivate::B_SYSTEM_SCOPE
                || !BPrivate::StorageScope::SystemRoot().empty())
                continue;
            command = { "/sbin/ldconfig" };
        } else if (action == "update-desktop-database" && IsPlainPath(folder)) {
            std::string program;
            if (BPrivate::ProcessRunner::FindProgram(action, &program) != B_OK)
                continue;
            command = { program, "--", folder };
        } else {
            Note(B_OUTCOME_PROBLEM, folder, "the record asks for an unknown follow-up: " + action);
            continue;
        }
        BPrivate::ProcessOptions options;
        options.captureOutput = true;
        BPrivate::ProcessResult result;
        if (BPrivate::ProcessRunner::Run(command, options, &result) != B_OK)
            Note(B_OUTCOME_FAILED, folder, action + " failed: " + result.errors);
    }
}

std::string InstallRemoval::LogFolder()
{
    return BPrivate::StorageScope::StateFolder() + "/removals";
}

std::string InstallRemoval::Report() const
{
    static const char* const kWords[]
        = { "Removed", "Restored", "Kept", "Left", "Failed", "Problem" };
    std::string text;
    for (const Outcome& outcome : fOutcomes) {
        text += kWords[outcome.kind];
        text += "\t" + outcome.path;
        if (!outcome.reason.empty())
            text += "\t" + outcome.reason;
        text += "\n";
    }
    return text;
}

void InstallRemoval::WriteLog()
{
    const BMessage& header = fRecord.Header();
    std::string id = header.GetString(InstallRecord::kFieldInstallId, "");
    if (id.empty() || id.find('/') != std::string::npos || id[0] == '.')
        id = "unknown";
    std::string folder = LogFolder();
    std::vector<std::string> created;
    if (ScriptFile::MakeFolders(folder, &created) != B_OK)
        return;
    for (const std::string& made : created)
        chmod(made.c_str(), 0700);
    std::string text = std::string("Removal of ")
        + header.GetString(InstallerFormat::Field::kAppName, "") + " "
        + header.GetString(InstallerFormat::Field::kVersion, "") + " (" + id + ")\n"
        + "Install record: " + fJournalPath + "\n"
        + "Removed: " + std::to_string(Count(B_OUTCOME_REMOVED))
        + ", restored: " + std::to_string(Count(B_OUTCOME_RESTORED)) + ", kept: "
        + std::to_string(Count(B_OUTCOME_KEPT)) + ", left: " + std::to_string(Count(B_OUTCOME_LEFT))
        + ", failed: " + std::to_string(Count(B_OUTCOME_FAILED))
        + ", problems: " + std::to_string(Count(B_OUTCOME_PROBLEM)) + "\n\n" + Report();
    std::string path = folder + "/" + id + ".log";
    if (ScriptFile::Replace(path, text, 0600) == B_OK)
        fLogPath = path;
}

void InstallRemoval::RemoveRecord()
{
    if (LeafOf(fJournalPath) != "journal")
        return;
    if (unlink(fJournalPath.c_str()) == 0 || errno == ENOENT) {
        rmdir(ParentOf(fJournalPath).c_str());
        fRecordRemoved = true;
    }
}

std::vector<std::string> InstallRemoval::FindUnfinished(const std::string& appName)
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(InstallRecord::RecordsFolder(), error)) {
        if (entry.path().filename().string().rfind(".", 0) == 0)
            continue;
        std::string journal = entry.path().string() + "/journal";
        InstallRecordReader record;
        if (record.ReadFile(journal.c_str()) != B_OK || !SupersedingRecord(record, journal).empty()
            || record.EndState() == InstallRecord::kStateFinished)
            continue;
        if (appName.empty()
            || appName == record.Header().GetString(InstallerFormat::Field::kAppName, ""))
            found.push_back(journal);
    }
    std::sort(found.begin(), found.end());
    return found;
}

status_t InstallRemoval::RollBack(const std::string& journalPath, std::string* report)
{
    InstallRemoval removal;
    status_t status = removal.SetTo(journalPath);
    if (status == B_OK)
        status = removal.Run();
    if (report != nullptr)
        *report = removal.Error().empty() ? removal.Report() : removal.Error() + "\n";
    return status;
}
