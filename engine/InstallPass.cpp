// The install pass: the order of its steps, the installation folder, the
// record and the log header. Items and links are in InstallPassItems.cpp,
// collisions in ReplaceControl.cpp, destinations in DestinationResolver.cpp.

#include "InstallPass.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Path.h>
#include <StorageScope.h>

#include <LibAppVersion.h>
#include <LibDateTime.h>
#include <LibEntry.h>
#include <LibFileOperations.h>
#include <LibFileType.h>
#include <LibLocaleDate.h>
#include <LibLocaleTime.h>

#include "CompletionDialogs.h"
#include "DestinationCheck.h"
#include "InstallCompletion.h"
#include "InstallConfig.h"
#include "InstallNames.h"
#include "InstallRemoval.h"
#include "InstallerFormat.h"
#include "Maker.h"
#include "ScriptTargets.h"

using namespace InstallerFormat;

namespace {

// Where the items that an installation replaces are kept.
constexpr const char* kSavedFilesName = "Saved Files";

// The pass's dialogs as the completion asks its questions: the buttons left
// to right, with the information icon.
class PassCompletionDialogs : public CompletionDialogs {
public:
    explicit PassCompletionDialogs(InstallDialogs& dialogs)
        : fDialogs(dialogs)
    {
    }

    int32 Ask(const std::string& text, const char* button0, const char* button1,
        button_width width) override
    {
        (void)width;
        std::vector<std::string> buttons { button0 != nullptr ? button0 : "OK" };
        if (button1 != nullptr)
            buttons.push_back(button1);
        return fDialogs.Choose(text, buttons, InstallDialogs::kInfoKind);
    }
    void Info(const std::string& text) override { fDialogs.Info(text); }
    void Error(const std::string& text) override { fDialogs.Error(text); }
    bool HasDesktop() const override { return fDialogs.HasDesktop(); }
    bool Launches() const override { return fDialogs.Launches(); }

private:
    InstallDialogs& fDialogs;
};

const char* YesNo(bool value)
{
    return value ? "Yes" : "No";
}

} // namespace

InstallPass::InstallPass(InstallConfig& config)
    : fConfig(config)
    , fItemAsk(true)
    , fItemRemembered(true)
    , fLinkAsk(true)
    , fLinkRemembered(true)
    , fTotal(0)
    , fDone(0)
    , fStart(0)
{
    if (fConfig.fInstallerPath.empty()) {
        fTexts.reset(new oLocalize());
        fEntries.reset(new LibAppResource(uint32(0)));
    } else {
        fTexts.reset(new oLocalize(fConfig.fInstallerPath.c_str()));
        fEntries.reset(new LibAppResource(fConfig.fInstallerPath.c_str(), uint32(0)));
    }
    fTexts->ObtainLanguage();
}

InstallPass::~InstallPass() = default;

time_t InstallPass::Now() const
{
    return fConfig.fClock ? fConfig.fClock() : time(nullptr);
}

std::string InstallPass::Text(int32 id)
{
    return static_cast<const char*>(fTexts->GetText(id));
}

std::string InstallPass::Format(int32 id, ...)
{
    LibString format = fTexts->GetFormat(id);
    va_list arguments;
    va_start(arguments, id);
    va_list copy;
    va_copy(copy, arguments);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    // The format is a localized text that GetFormat only hands out when its
    // conversions fit the English arguments.
    int length = std::vsnprintf(nullptr, 0, static_cast<const char*>(format), arguments);
    std::string text(length > 0 ? size_t(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, static_cast<const char*>(format), copy);
#pragma GCC diagnostic pop
    va_end(copy);
    va_end(arguments);
    return text;
}

std::string InstallPass::DateTimeText(time_t when) const
{
    LibDateTime dateTime(true);
    dateTime.SetDateTime(long(when), true);
    LibLocaleDate date;
    LibLocaleTime time;
    time.SetShowSeconds(true);
    return std::string(static_cast<const char*>(date.Format(dateTime))) + " "
        + static_cast<const char*>(time.Format(dateTime));
}

void InstallPass::AddFailure(const std::string& text)
{
    fConfig.fFailures.push_back(text);
}

status_t InstallPass::Run()
{
    fConfig.fFailures.clear();
    fConfig.fRecordPath.clear();
    // Courtesy copies of the user's scripts are made before their first
    // edit in each pass.
    ScriptTargets::BeginPass();
    // Script lines that could open or close another product's block are
    // refused before anything is written.
    std::string refusal = ScriptContentsProblem();
    if (!refusal.empty()) {
        Refuse(refusal);
        fConfig.fOutcome = InstallConfig::kOutcomeFailed;
        return InstallConfig::kPassFailed;
    }
    fConfig.UpdateStatus(Text(TextId::kCheckingSystem).c_str());
    int32 requirements = fConfig.CheckSystemResources();
    if (requirements == 2) {
        fConfig.fOutcome = InstallConfig::kOutcomeFailed;
        return InstallConfig::kPassNoSpace;
    }
    if (requirements == 3) {
        // Deliberately the result of a finished pass, so that the window
        // closes; the outcome tells the program's exit status otherwise.
        fConfig.fOutcome = InstallConfig::kOutcomeAborted;
        return InstallConfig::kPassDone;
    }
    if (fConfig.StopRequested())
        return Stopped();

    std::string error;
    status_t status = Prepare(&error);
    if (status != B_OK) {
        Refuse(error);
        fConfig.fOutcome = InstallConfig::kOutcomeFailed;
        if (fRecord.IsOpen()) {
            fRecord.Finish(InstallRecord::kStateFailed, Now());
            // Nothing was installed: what the pass made on the way (the
            // missing folders above the destination, an earlier
            // installation moved aside) is put back as it was, and the
            // record goes with it, so that the next pass does not take it
            // for an installation that did not finish.
            if (InstallRemoval::RollBack(fRecord.JournalPath()) == B_OK)
                fConfig.fRecordPath.clear();
        }
        return InstallConfig::kPassFailed;
    }
    WriteLogHeader();
    if (fConfig.IncludeDeinstaller() && !fConfig.StopRequested()) {
        fConfig.UpdateStatus(Text(TextId::kCreatingDeinstaller).c_str());
        CreateDeinstaller();
    }
    fCustomFolders.MakeEmpty();
    fConfig.FindMessage(Field::kCustomFolder, &fCustomFolders);
    if (fConfig.GetBool(Field::kCreateStartup) && !fConfig.StopRequested())
        CreateStartupFolder();
    InstallItems();
    // Each installed item's "file_name" is now its final path.
    fConfig.ReplaceMessage(Field::kInstallInstructions, &fInstructions);
    if (fConfig.StopRequested())
        return Stopped();
    EditScripts();
    if (fConfig.StopRequested())
        return Stopped();
    fConfig.NoteComplete();

    // The items marked to run once installed; what became of each goes to
    // the log, which is still open.
    PassCompletionDialogs dialogs(*fConfig.fDialogs);
    LocalizedInstallTexts texts(*fTexts);
    std::vector<std::string> problems = fConfig.fFailures;
    for (const std::string& problem : fConfig.AutoLaunch(texts, dialogs))
        problems.push_back(problem);

    fConfig.Log("\tInstallation Complete: %s\n", DateTimeText(Now()).c_str());
    // The installation is complete, with what failed in it listed: nothing
    // to roll back, even when the program ends at the completion message.
    // The log stays open for what the completion does.
    FinishRecord(InstallRecord::kStateFinished, int32(fConfig.fFailures.size()));
    fConfig.UpdateStatus(Text(TextId::kInstallationComplete).c_str());

    // The completion message lists what failed instead of claiming success;
    // then the restart question and the installation folder.
    InstallCompletion completion(fConfig, texts, dialogs,
        [this](const std::string& line) { fConfig.Log("%s", line.c_str()); });
    if (completion.Complete(fInstallFolder, problems))
        fConfig.SetRestartRequested(true);
    CloseLog();

    fConfig.fOutcome = fConfig.fFailures.empty() ? InstallConfig::kOutcomeSucceeded
                                                 : InstallConfig::kOutcomeFailed;
    return InstallConfig::kPassDone;
}

void InstallPass::Refuse(const std::string& text)
{
    fConfig.UpdateStatus(Text(TextId::kPassNotStarted).c_str());
    fConfig.fDialogs->Error(text);
}

status_t InstallPass::Stopped()
{
    fConfig.UpdateStatus(Text(TextId::kStopped).c_str());
    fConfig.Log("\tInstallation Stopped: %s\n", DateTimeText(Now()).c_str());
    CloseLog();
    FinishRecord(InstallRecord::kStateStopped);
    fConfig.fOutcome = InstallConfig::kOutcomeStopped;
    return InstallConfig::kPassStopped;
}

void InstallPass::CloseLog()
{
    fConfig.CloseLog();
    if (!fInstallFolder.empty())
        LibSetMimeType((fInstallFolder + "/" + kLogName).c_str(), "text/plain");
}

void InstallPass::FinishRecord(const char* state, int32 failures)
{
    if (fRecord.IsOpen()) {
        InstallStateLock lock;
        fRecord.Finish(state, Now(), failures);
    }
}

status_t InstallPass::Prepare(std::string* error)
{
    fStart = Now();
    for (const char* field : { Field::kAppName, Field::kVersion, Field::kReleaseDate,
             Field::kCompany, Field::kSupportEmail })
        fTag += std::string(fConfig.GetString(field, "")) + ";";

    std::string created = fConfig.GetString(Field::kCreatedFolder, "");
    if (!IsSafeComponent(created)) {
        // A name that is not one folder name would put the installation
        // somewhere else than the user chose.
        *error = Format(TextId::kCannotCreateFolder, Printable(created).c_str());
        return B_BAD_VALUE;
    }
    BPath destination;
    struct stat info;
    bool missing = false;
    std::string chosen = fConfig.DestinationPath();
    if (!chosen.empty() && destination.SetTo(chosen.c_str()) == B_OK) {
        bool found = stat(destination.Path(), &info) == 0;
        missing = !found && errno == ENOENT;
        if (!missing && (!found || !S_ISDIR(info.st_mode)))
            destination.Unset();
    }
    if (destination.InitCheck() != B_OK || (missing && !fConfig.fMakeDestination)) {
        *error = Text(TextId::kDestinationMissing);
        return B_ENTRY_NOT_FOUND;
    }
    fDestination = destination.Path();
    fInstallFolder = fDestination + "/" + created;
    SystemProbe::Space space;
    if (fConfig.fProbe->FreeSpace(fDestination, &space) == B_OK)
        fVolumeName = space.volumeName;
    // Before anything is written, the record included.
    status_t status = CheckSystemFolders(error);
    if (status != B_OK)
        return status;

    status = CreateRecord();
    if (status != B_OK) {
        *error = Format(TextId::kCannotCreateFolder, created.c_str()) + "\n\n("
            + InstallRecord::RecordsFolder() + ": " + std::strerror(errno) + ")";
        return status;
    }
    if (missing && !MakeFolders(fDestination)) {
        *error = Text(TextId::kDestinationMissing) + FolderProblem(fDestination);
        return B_ENTRY_NOT_FOUND;
    }
    status = MakeInstallFolder();
    if (status != B_OK)
        *error
            = Format(TextId::kCannotCreateFolder, created.c_str()) + FolderProblem(fInstallFolder);
    return status;
}

// Which folder stopped the pass and why, for the user: " (folder: reason)"
// after the message; empty when nothing about the folder explains it.
std::string InstallPass::FolderProblem(const std::string& folder)
{
    std::string blocking;
    std::string why = DestinationCheck::Problem(folder, &blocking);
    if (why.empty() && !fFolderProblem.empty()) {
        why = fFolderProblem;
        blocking = folder;
    }
    if (why.empty())
        return "";
    return "\n\n(" + Printable(blocking) + ": " + why + ")";
}

status_t InstallPass::CreateRecord()
{
    BMessage header;
    for (const char* field : { Field::kAppName, Field::kVersion, Field::kReleaseDate,
             Field::kCompany, Field::kSupportEmail })
        header.AddString(field, fConfig.GetString(field, ""));
    header.AddString(InstallRecord::kFieldInstallBy, fTag.c_str());
    bool system = BPrivate::StorageScope::Current() == BPrivate::B_SYSTEM_SCOPE;
    header.AddString(InstallRecord::kFieldScope, system ? "system" : "user");
    header.AddInt32(InstallRecord::kFieldUid, int32(geteuid()));
    header.AddString(InstallRecord::kFieldInstallerVersion,
        static_cast<const char*>(LibGetAppVersion(
            fConfig.fInstallerPath.empty() ? nullptr : fConfig.fInstallerPath.c_str())));
    header.AddString(InstallRecord::kFieldLanguage, static_cast<const char*>(fTexts->Language()));
    header.AddInt64(InstallRecord::kFieldStarted, int64(fStart));
    header.AddString(InstallRecord::kFieldDestination, fDestination.c_str());
    header.AddString(InstallRecord::kFieldInstallFolder, fInstallFolder.c_str());
    if (fConfig.GetBool(Field::kSaveReplaced))
        header.AddString(
            InstallRecord::kFieldSavedFolder, (fInstallFolder + "/" + kSavedFilesName).c_str());
    std::vector<std::string> superseded = InstallRecordReader::FindRecords(
        InstallRecord::RecordsFolder(), fConfig.GetString(Field::kAppName, ""), fInstallFolder);
    for (const std::string& journal : superseded) {
        InstallRecordReader old;
        if (old.ReadHeader(journal.c_str()) == B_OK)
            header.AddString(InstallRecord::kFieldSuperseded,
                old.Header().GetString(InstallRecord::kFieldInstallId, ""));
    }
    InstallStateLock lock;
    status_t status = fRecord.Create(header);
    if (status != B_OK)
        return status;
    fConfig.fRecordPath = fRecord.JournalPath();
    for (const std::string& journal : superseded)
        InstallRecord::MarkSuperseded(journal.c_str(), fRecord.Id().c_str());
    return B_OK;
}

status_t InstallPass::MakeInstallFolder()
{
    if (LibExists(fInstallFolder.c_str())) {
        // The window asked the user before the pass started.
        BMessage fields;
        fields.AddString(InstallRecord::kFieldPath, fInstallFolder.c_str());
        // The removal puts it back, and then finds it by these.
        struct stat old;
        if (lstat(fInstallFolder.c_str(), &old) == 0) {
            fields.AddInt64(InstallRecord::kFieldDevice, int64(old.st_dev));
            fields.AddInt64(InstallRecord::kFieldInode, int64(old.st_ino));
        }
        int32 step
            = fRecord.Begin(InstallRecord::kKindOldInstall, fields, InstallRecord::kRecordSync);
        if (step < 0)
            return step;
        BPath trashed;
        if (!TrashIsTrusted(fInstallFolder)
            || !LibTrash(BPath(fInstallFolder.c_str()), false, &trashed)) {
            fFolderProblem = "it cannot be moved to the trash";
            fRecord.Failed(step, B_ERROR, fFolderProblem.c_str());
            return B_NOT_ALLOWED;
        }
        BMessage result;
        result.AddString(InstallRecord::kFieldTo, trashed.Path());
        fRecord.Done(step, &result);
    }
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, fInstallFolder.c_str());
    fields.AddBool(InstallRecord::kFieldExisted, false);
    int32 step = fRecord.Begin(InstallRecord::kKindFolder, fields);
    if (step < 0)
        return step;
    if (mkdir(fInstallFolder.c_str(), 0775) != 0) {
        status_t status = StatusFromErrno(errno);
        fFolderProblem = std::strerror(errno);
        fRecord.Failed(step, status, fFolderProblem.c_str());
        return status;
    }
    if (fConfig.fFolderMadeObserver)
        fConfig.fFolderMadeObserver(fInstallFolder);
    BMessage made;
    status_t opened = OpenInstallFolder(&made);
    if (opened != B_OK) {
        fFolderProblem = "it was replaced by a link or another user's folder";
        fRecord.Failed(step, opened, fFolderProblem.c_str());
        return opened;
    }
    fRecord.Done(step, &made);
    // "Saved Files" is made when the first replaced item goes into it
    // (MakeSavedFolder), so that an installation that replaces nothing
    // leaves no empty folder.
    fSavedFolderTried = false;
    if (fConfig.GetBool(Field::kSaveReplaced))
        fSavedFolder = fInstallFolder + "/" + kSavedFilesName;
    return B_OK;
}

bool InstallPass::MakeSavedFolder()
{
    if (fSavedFolderTried)
        return fSaved.IsValid();
    fSavedFolderTried = true;
    BMessage saved;
    saved.AddString(InstallRecord::kFieldPath, fSavedFolder.c_str());
    saved.AddBool(InstallRecord::kFieldExisted, false);
    int32 step = fRecord.Begin(InstallRecord::kKindFolder, saved);
    if (step < 0)
        return false;
    if (mkdirat(fFolder.Get(), kSavedFilesName, 0775) != 0) {
        // Items are then never replaced: with nowhere to save them, the
        // collision rules keep what is there.
        int error = errno;
        fConfig.Log("\t\t\t%s could not be made: %s\n", fSavedFolder.c_str(), std::strerror(error));
        AddFailure(fSavedFolder + " could not be made (" + std::strerror(error)
            + "); nothing was saved in it");
        fRecord.Failed(step, StatusFromErrno(error), std::strerror(error));
        return false;
    }
    // Held as the installation folder is: what is saved later goes into
    // this folder, whatever is put at its name meanwhile.
    fSaved.Reset(
        openat(fFolder.Get(), kSavedFilesName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    BMessage result;
    if (fSaved.IsValid() && fstat(fSaved.Get(), &info) == 0 && info.st_uid == geteuid()) {
        result.AddInt64(InstallRecord::kFieldDevice, int64(info.st_dev));
        result.AddInt64(InstallRecord::kFieldInode, int64(info.st_ino));
    } else {
        fSaved.Reset();
    }
    fRecord.Done(step, &result);
    return fSaved.IsValid();
}

status_t InstallPass::OpenInstallFolder(BMessage* made)
{
    // Between the mkdir and here a user who may write in the destination
    // could have put a link or a folder of their own at the name: neither is
    // entered.
    fFolder.Reset(open(fInstallFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (!fFolder.IsValid() || fstat(fFolder.Get(), &info) != 0 || info.st_uid != geteuid()) {
        fFolder.Reset();
        return B_NOT_ALLOWED;
    }
    // The removal finds the folder by these, not by its name alone.
    made->AddInt64(InstallRecord::kFieldDevice, int64(info.st_dev));
    made->AddInt64(InstallRecord::kFieldInode, int64(info.st_ino));
    return B_OK;
}

void InstallPass::WriteLogHeader()
{
    if (fConfig.GetBool(Field::kLog)) {
        BMessage fields;
        std::string log = fInstallFolder + "/" + kLogName;
        fields.AddString(InstallRecord::kFieldPath, log.c_str());
        int32 step = fRecord.Begin(InstallRecord::kKindLog, fields);
        if (step > 0) {
            // Made new, beside nothing that was there, through the folder's
            // handle.
            int fd = openat(fFolder.Get(), kLogName,
                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
            FILE* file = fd >= 0 ? fdopen(fd, "w") : nullptr;
            if (file != nullptr) {
                fConfig.AdoptLog(file);
                fRecord.Done(step);
            } else {
                fRecord.Failed(step, StatusFromErrno(errno), std::strerror(errno));
                if (fd >= 0)
                    close(fd);
            }
        }
    }
    InstallConfig& c = fConfig;
    LibString version
        = LibGetAppVersion(c.fInstallerPath.empty() ? nullptr : c.fInstallerPath.c_str());
    c.Log("BRENVIK\n\tVersion %s\n\t%s\n\t%s\n", static_cast<const char*>(version),
        kMakerWebAddress, kMakerSupportEmail);
    c.Log("\nAPPLICATION\n");
    c.Log("\tApplication : %s\n", c.GetString(Field::kAppName, ""));
    c.Log("\tVersion : %s\n", c.GetString(Field::kVersion, ""));
    c.Log("\tRelease Date : %s\n", c.GetString(Field::kReleaseDate, ""));
    c.Log("\tCompany : %s\n", c.GetString(Field::kCompany, ""));
    c.Log("\tSupport Email : %s\n", c.GetString(Field::kSupportEmail, ""));
    c.Log("\nABOUT THIS SYSTEM\n");
    c.Log("\t%s\n", c.fProbe->Description().c_str());
    SystemProbe::Space space;
    c.fProbe->FreeSpace(fDestination, &space);
    c.Log("\tFree Disk Space : %s\n", BytesText(space.freeBytes).c_str());
    c.Log("\nINSTALLER REQUIREMENTS\n");
    bool diskNeeded = c.GetBool(Field::kDiskSpaceNeeded);
    c.Log("\tDisk Space Needed: %s\n", YesNo(diskNeeded));
    if (diskNeeded) {
        c.Log("\t\tDisk spaced %s: %s\n",
            Text(c.GetBool(Field::kDiskSpaceRequired) ? TextId::kRequired : TextId::kSuggested)
                .c_str(),
            BytesText(ConfiguredDiskSpace(c)).c_str());
    }
    bool ramNeeded = c.GetBool(Field::kRamNeeded);
    c.Log("\tPhysical RAM Needed: %s\n", YesNo(ramNeeded));
    if (ramNeeded) {
        c.Log("\t\tRAM %s: %d MB\n",
            Text(c.GetBool(Field::kRamRequired) ? TextId::kRequired : TextId::kSuggested).c_str(),
            int(c.GetInt32(Field::kRamAmount, 0)));
    }
    c.Log("\tBoot Volume Only: %s\n", YesNo(c.GetBool(Field::kBootVolumeOnly)));
    c.Log("\tRemovable Volume Allowed: %s\n", YesNo(c.GetBool(Field::kRemovableVolumeOk)));
    c.Log("\tShared Volume Allowed: %s\n", YesNo(c.GetBool(Field::kSharedVolumeOk)));
    c.Log("\tShared Libraries:\n");
    for (const std::string& line : fConfig.fLibraryNotes)
        c.Log("\t\t%s\n", line.c_str());
    c.Log("\tDependent Applications:\n");
    c.Log("\nINSTALLATION\n\tOn volume %s.\n\tIn folder %s.\n", fVolumeName.c_str(),
        fInstallFolder.c_str());
    if (!fSavedFolder.empty())
        c.Log("\tReplaced files moved to %s\n", fSavedFolder.c_str());
    c.Log("\n");
    c.Log("\tInstallation Started: %s\n", DateTimeText(fStart).c_str());
}
