// The removal: reading and trusting the record, the plan, the run over its
// steps in reverse order, and the log. The steps themselves are undone in
// InstallRemovalItems.cpp (items, links, folders), InstallRemovalPutBack.cpp
// (what was moved aside) and InstallRemovalScripts.cpp (script blocks).

#include "InstallRemoval.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <Descriptor.h>
#include <Errors.h>
#include <HeldFolder.h>
#include <ProcessRunner.h>
#include <StorageScope.h>

#include "InstallNames.h"
#include "InstallRecord.h"
#include "InstallerFormat.h"
#include "RemovalSupport.h"
#include "ScriptEdit.h"
#include "ScriptFile.h"
#include "TrustedFolders.h"

using Step = InstallRecordReader::Step;

namespace {

namespace fs = std::filesystem;
using namespace removal;

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
    return CheckInstallFolder();
}

status_t InstallRemoval::CheckInstallFolder()
{
    // Every step below the installation folder goes through its name: a
    // link put in its place, or another folder renamed to it, would turn
    // them against whatever that is. A folder that is gone is fine (a
    // removal run once already).
    struct stat info;
    if (fInstallFolder.empty() || !Lstat(fInstallFolder, &info))
        return B_OK;
    // As root, the folders above it must be out of other users' reach too:
    // one who may write there could swap it between this check and a step.
    std::string component;
    std::string reason;
    if (BPrivate::StorageScope::IsSystem()
        && TrustedFolders::Check(ParentOf(fInstallFolder), &component, &reason) != B_OK) {
        fError = "another user could change " + component + " (" + reason + ")";
        return B_NOT_ALLOWED;
    }
    if (S_ISLNK(info.st_mode)) {
        fError = "the installation folder " + fInstallFolder + " has been replaced by a link";
        return B_NOT_ALLOWED;
    }
    // The folder the pass made, or the earlier installation it moved aside
    // (which a removal run before this one put back). Records written
    // before folders were recorded by identity name neither.
    bool identified = false;
    bool known = false;
    for (const Step& step : fRecord.Steps()) {
        bool made = step.kind == InstallRecord::kKindFolder;
        if ((!made && step.kind != InstallRecord::kKindOldInstall)
            || step.begun.GetString(InstallRecord::kFieldPath, "") != fInstallFolder)
            continue;
        const BMessage& fields = made ? step.result : step.begun;
        if (!fields.HasInt64(InstallRecord::kFieldInode)) {
            known = known || !made;
            continue;
        }
        identified = true;
        known = known
            || (fields.GetInt64(InstallRecord::kFieldDevice, -1) == int64(info.st_dev)
                && fields.GetInt64(InstallRecord::kFieldInode, -1) == int64(info.st_ino));
    }
    bool same = S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (known || !identified);
    if (same) {
        // Held as it was just seen: every later step below it goes
        // through this handle, not its name.
        fFolder.Reset(
            open(fInstallFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat held;
        same = fFolder.IsValid() && fstat(fFolder.Get(), &held) == 0 && held.st_dev == info.st_dev
            && held.st_ino == info.st_ino;
    }
    if (!same) {
        fFolder.Reset();
        fError = "the folder at " + fInstallFolder
            + " is not the installation folder this installation made";
        return B_NOT_ALLOWED;
    }
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
                && step.state != InstallRecordReader::kStepFailed)
                plan.remove.push_back(path);
        } else if (step.kind == InstallRecord::kKindScript) {
            ScriptEdit edit;
            if (ScriptEditOf(step, &edit)) {
                for (const ScriptFileChange& change : edit.files)
                    plan.remove.push_back(change.path + " (" + edit.tag + ")");
            }
        } else if (step.kind == InstallRecord::kKindDisplaced
            && step.state != InstallRecordReader::kStepFailed) {
            plan.restore.push_back(path);
        } else if (step.kind == InstallRecord::kKindOldInstall
            && step.state != InstallRecordReader::kStepFailed) {
            (fPutBackEarlier ? plan.restore : plan.earlier).push_back(path);
        }
    }
    return plan;
}

void InstallRemoval::ChooseEarlierInstallation(bool asked)
{
    fPutBackEarlier = asked || fRecord.EndState() != InstallRecord::kStateFinished;
}

int32 InstallRemoval::Count(outcome_kind kind) const
{
    return int32(std::count_if(
        fOutcomes.begin(), fOutcomes.end(), [kind](const Outcome& o) { return o.kind == kind; }));
}

bool InstallRemoval::Complete() const
{
    return Count(kOutcomeKept) == 0 && Count(kOutcomeFailed) == 0 && Count(kOutcomeProblem) == 0;
}

void InstallRemoval::Note(
    outcome_kind kind, const std::string& path, const std::string& reason, why_code why)
{
    fOutcomes.push_back({ kind, path, reason, why });
}

void InstallRemoval::UnlinkNoting(const std::string& path)
{
    BPrivate::Descriptor folder;
    status_t status = OpenFolderOf(path, &folder);
    if (status == B_OK)
        UnlinkAt(folder.Get(), path);
    else if (status != B_ENTRY_NOT_FOUND)
        Note(kOutcomeKept, path, "a link or something other than a folder is on its way",
            kWhyChanged);
}

void InstallRemoval::UnlinkAt(int folder, const std::string& path)
{
    if (unlinkat(folder, LeafOf(path).c_str(), 0) == 0)
        Note(kOutcomeRemoved, path);
    else
        Note(kOutcomeFailed, path, std::strerror(errno));
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
        Note(kOutcomeProblem, fJournalPath, fError.empty() ? "no install record" : fError);
        return B_ERROR;
    }
    if (fRecord.IgnoredBytes() > 0) {
        Note(kOutcomeProblem, fJournalPath,
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
    if (Count(kOutcomeFailed) == 0 && Count(kOutcomeProblem) == 0)
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
    if (step.state == InstallRecordReader::kStepFailed)
        return;
    if (!IsPlainPath(path)) {
        Note(kOutcomeProblem, path,
            "the record's " + step.kind + " step " + std::to_string(step.number)
                + " names no plain absolute path");
        return;
    }
    // Done by an earlier run of this removal: the place holds again what the
    // installation had moved aside from it.
    if (step.kind != InstallRecord::kKindDisplaced && step.kind != InstallRecord::kKindOldInstall
        && HoldsWhatWasMovedAside(path, step.number))
        return;
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
        if (!step.begun.GetBool(InstallRecord::kFieldExisted, true) && IsFolderItMade(step))
            RemoveFolder(path, shared ? kFolderShared : kFolderKept);
    } else {
        Note(kOutcomeProblem, path, "the record's step of kind \"" + step.kind + "\" is unknown");
    }
}

// A folder outside the installation folder goes only while it is the one
// the record says the installation made (its device and inode): an edited
// record could name any empty folder of the user's. The installation folder
// and what lies below it are known already (CheckInstallFolder).
bool InstallRemoval::IsFolderItMade(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    if (!fInstallFolder.empty() && (path == fInstallFolder || IsInside(path, fInstallFolder)))
        return true;
    struct stat info;
    if (!Lstat(path, &info))
        return false;
    if (!step.result.HasInt64(InstallRecord::kFieldInode)) {
        Note(kOutcomeKept, path, "the record does not show that the installation made it",
            kWhyNotOurs);
        return false;
    }
    if (step.result.GetInt64(InstallRecord::kFieldDevice, -1) != int64(info.st_dev)
        || step.result.GetInt64(InstallRecord::kFieldInode, -1) != int64(info.st_ino)) {
        Note(kOutcomeKept, path, "it is not the folder the installation made", kWhyNotOurs);
        return false;
    }
    return true;
}

void InstallRemoval::UndoScratch(const std::string& path)
{
    // Looked at through its folder's handle, as it is then removed: what is
    // checked is what goes.
    BPrivate::Descriptor folder;
    status_t status = OpenFolderOf(path, &folder);
    struct stat info;
    if (status == B_ENTRY_NOT_FOUND
        || (status == B_OK
            && fstatat(folder.Get(), LeafOf(path).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0))
        return;
    if (status != B_OK) {
        Note(kOutcomeKept, path, "a link or something other than a folder is on its way",
            kWhyChanged);
        return;
    }
    if (!S_ISDIR(info.st_mode) || LeafOf(path).rfind(".brenvik-", 0) != 0) {
        Note(kOutcomeProblem, path, "the record names it as a scratch folder, which it is not");
        return;
    }
    // Only one beside what the installation placed is known to be its own
    // (a pass stopped while it extracted an item into a folder that was
    // there already leaves one beside nothing: it stays, and is reported,
    // which a later removal does not trip over).
    if (!IsBesidePlacement(path)) {
        Note(kOutcomeKept, path,
            "it lies beside nothing the installation placed, so it may be the user's", kWhyNotOurs);
        return;
    }
    status = BPrivate::RemoveTreeAt(folder.Get(), LeafOf(path));
    if (status != B_OK)
        Note(kOutcomeFailed, path, StatusText(status));
    else
        Note(kOutcomeRemoved, path);
}

// A scratch folder is made beside the place of an item or link, in the
// installation folder or in a folder that the installation made or placed
// something in.
bool InstallRemoval::IsBesidePlacement(const std::string& scratch) const
{
    std::string folder = ParentOf(scratch);
    if (!fInstallFolder.empty() && folder == fInstallFolder)
        return true;
    for (const Step& step : fRecord.Steps()) {
        std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
        bool placement = step.kind == InstallRecord::kKindItem
            || step.kind == InstallRecord::kKindLink
            || step.kind == InstallRecord::kKindDesktopEntry;
        bool madeFolder = step.kind == InstallRecord::kKindFolder
            && !step.begun.GetBool(InstallRecord::kFieldExisted, true) && path == folder;
        if ((placement && IsPlainPath(path) && ParentOf(path) == folder) || madeFolder)
            return true;
    }
    return false;
}

void InstallRemoval::UndoLog(const std::string& path)
{
    struct stat info;
    if (!Lstat(path, &info))
        return;
    std::string head;
    if (!fInstallFolder.empty() && ParentOf(path) == fInstallFolder && S_ISREG(info.st_mode)) {
        BPrivate::Descriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        char buffer[8];
        ssize_t size = fd.IsValid() ? read(fd.Get(), buffer, sizeof(buffer)) : -1;
        if (size > 0)
            head.assign(buffer, size_t(size));
    }
    if (head != "BRENVIK\n" && (info.st_size > 0 || ParentOf(path) != fInstallFolder)) {
        Note(kOutcomeKept, path, "it is not the installation's log", kWhyNotOurs);
        return;
    }
    UnlinkNoting(path);
}

void InstallRemoval::UndoDeinstaller(const Step& step)
{
    std::string path = step.begun.GetString(InstallRecord::kFieldPath, "");
    struct stat info;
    if (!Lstat(path, &info))
        return;
    std::string digest = Digest(step.result);
    bool ours = S_ISREG(info.st_mode) && !fInstallFolder.empty() && ParentOf(path) == fInstallFolder
        && (digest.empty() ? step.state == InstallRecordReader::kStepBegun
                           : MatchesDigest(path, digest));
    if (!ours) {
        Note(kOutcomeKept, path, "it is not the de-installer that was installed", kWhyNotOurs);
        return;
    }
    // A running program can be unlinked: it goes once it ends.
    UnlinkNoting(path);
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
            Note(kOutcomeProblem, folder, "the record asks for an unknown follow-up: " + action);
            continue;
        }
        BPrivate::ProcessOptions options;
        options.captureOutput = true;
        BPrivate::ProcessResult result;
        if (BPrivate::ProcessRunner::Run(command, options, &result) != B_OK)
            Note(kOutcomeFailed, folder, action + " failed: " + result.errors);
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
        + "Removed: " + std::to_string(Count(kOutcomeRemoved)) + ", restored: "
        + std::to_string(Count(kOutcomeRestored)) + ", kept: " + std::to_string(Count(kOutcomeKept))
        + ", left: " + std::to_string(Count(kOutcomeLeft))
        + ", failed: " + std::to_string(Count(kOutcomeFailed))
        + ", problems: " + std::to_string(Count(kOutcomeProblem)) + "\n\n" + Report();
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
