#pragma once

// InstallRecord: what one installation did, kept so that the de-installer can
// undo exactly that and nothing more, even after a crash or a stop in the
// middle.
//
// The record is a journal of flattened messages in
// <state>/installs/<install id>/journal (the state folder is
// $XDG_DATA_HOME/brenvik for a user, <BRENVIK_ROOT>/var/lib/brenvik for the
// system), outside the installation folder, which the user may move or
// delete. Every step is appended as "begun" before it changes anything and
// marked "done" (or "failed") after it; the last frame says how the
// installation ended. docs/install-record.md describes every frame and field;
// `brenvik-inspect record FILE` prints a record.
//
// The journal appears whole or not at all: it is written with its header in a
// private folder that is renamed into place. Frames are written with one
// write(2) each, so a stopped or killed installer leaves every frame it wrote.
// Against a power failure, a step that changes what the user already had
// (moving an existing item aside, editing a script) is flushed to the disk
// before it runs; frames about new items are flushed in groups (at least every
// second), so a crash can at worst leave a new file the record does not name,
// never a user's file whose whereabouts it does not know.

#include <string>
#include <sys/types.h>

#include <Descriptor.h>
#include <Message.h>
#include <SupportDefs.h>

class InstallRecord {
public:
    // The "what" of each frame.
    static constexpr uint32 kMsgHeader = 'BRhd';
    static constexpr uint32 kMsgBegun = 'BRbg';
    static constexpr uint32 kMsgDone = 'BRok';
    static constexpr uint32 kMsgFailed = 'BRer';
    static constexpr uint32 kMsgFinished = 'BRfn';
    // Appended to an older record that a new installation of the same
    // product into the same folder supersedes.
    static constexpr uint32 kMsgSuperseded = 'BRsp';
    // Part of a step's result, written before its done frame when the result
    // is large (the entries of an item of many files), so that it is never
    // held whole in memory. The reader puts the parts' fields before the done
    // frame's own, in the order written.
    static constexpr uint32 kMsgPart = 'BRpt';

    // The first bytes of a journal.
    static constexpr char kSignature[9] = "BRVKJRN1";

    // Step kinds: the "kind" of a begun frame.
    static constexpr const char* kKindFolder = "folder";
    static constexpr const char* kKindScratch = "scratch";
    static constexpr const char* kKindOldInstall = "old_install";
    static constexpr const char* kKindLog = "log";
    static constexpr const char* kKindDeinstaller = "deinstaller";
    static constexpr const char* kKindItem = "item";
    static constexpr const char* kKindDisplaced = "displaced";
    static constexpr const char* kKindLink = "link";
    static constexpr const char* kKindDesktopEntry = "desktop_entry";
    static constexpr const char* kKindScript = "script";
    static constexpr const char* kKindFollowUp = "follow_up";

    // What an entry is ("type" of item entries and displaced steps): a
    // file, a folder, a symbolic link, or anything else (a named pipe, a
    // socket, a device).
    static constexpr const char* kTypeFile = "file";
    static constexpr const char* kTypeFolder = "folder";
    static constexpr const char* kTypeSymlink = "symlink";
    static constexpr const char* kTypeOther = "other";
    // The word for an entry of that mode.
    static const char* TypeOf(mode_t mode);

    // Where a displaced item went ("action" of a displaced step): into the
    // saved folder, beside itself under a " copy" name, into the trash.
    static constexpr const char* kActionSaved = "saved";
    static constexpr const char* kActionRenamed = "renamed";
    static constexpr const char* kActionTrashed = "trashed";

    // Fields of the frames (docs/install-record.md says which frame has
    // which).
    static constexpr const char* kFieldStep = "step";
    static constexpr const char* kFieldKind = "kind";
    static constexpr const char* kFieldPath = "path";
    static constexpr const char* kFieldTarget = "target";
    static constexpr const char* kFieldName = "name";
    static constexpr const char* kFieldId = "id";
    static constexpr const char* kFieldTo = "to";
    static constexpr const char* kFieldAction = "action";
    static constexpr const char* kFieldExisted = "existed";
    static constexpr const char* kFieldEntry = "entry";
    static constexpr const char* kFieldType = "type";
    static constexpr const char* kFieldMode = "mode";
    static constexpr const char* kFieldSize = "size";
    static constexpr const char* kFieldDevice = "device";
    static constexpr const char* kFieldInode = "inode";
    // The identity of the folder a displaced item was moved out of.
    static constexpr const char* kFieldFolderDevice = "folder_device";
    static constexpr const char* kFieldFolderInode = "folder_inode";
    static constexpr const char* kFieldModified = "modified";
    // A placed file's modification and change times in nanoseconds: with its
    // device, inode and size, what shows the removal that the file is still
    // the one placed without reading it (no user can set a change time back).
    static constexpr const char* kFieldModifiedNs = "modified_ns";
    static constexpr const char* kFieldChangedNs = "changed_ns";
    static constexpr const char* kFieldSha256 = "sha256";
    static constexpr const char* kFieldDeinstallable = "deinstallable";
    static constexpr const char* kFieldTagged = "install_by_written";
    static constexpr const char* kFieldError = "error";
    static constexpr const char* kFieldReason = "reason";
    static constexpr const char* kFieldState = "state";
    static constexpr const char* kFieldTime = "time";
    static constexpr const char* kFieldBy = "by";

    // Script steps (written by the script editor): the resolved file, the
    // tag, the exact bytes of the block (begin and end lines included), and
    // what the file was before.
    static constexpr const char* kFieldTag = "tag";
    static constexpr const char* kFieldBlock = "block";
    static constexpr const char* kFieldRole = "role";
    static constexpr const char* kFieldFileExisted = "file_existed";
    static constexpr const char* kFieldFileCreated = "file_created";
    static constexpr const char* kFieldStartupBlock = "startup_block";

    // Header fields.
    static constexpr const char* kFieldInstallId = "install_id";
    static constexpr const char* kFieldScope = "scope";
    static constexpr const char* kFieldUid = "uid";
    static constexpr const char* kFieldInstallerVersion = "installer_version";
    static constexpr const char* kFieldInstallBy = "install_by";
    static constexpr const char* kFieldStarted = "started";
    static constexpr const char* kFieldEnded = "ended";
    static constexpr const char* kFieldFailures = "failures";
    static constexpr const char* kFieldInstallFolder = "install_folder";
    static constexpr const char* kFieldDestination = "destination";
    static constexpr const char* kFieldSavedFolder = "saved_folder";
    static constexpr const char* kFieldSuperseded = "superseded";
    static constexpr const char* kFieldLanguage = "language";

    // Fields of the de-installer's configuration record that name the
    // record: the journal's path and the install id.
    static constexpr const char* kConfigRecordPath = "install_record";
    static constexpr const char* kConfigRecordId = "install_id";

    // How the installation ended ("state" of the finishing frame).
    static constexpr const char* kStateFinished = "finished";
    static constexpr const char* kStateStopped = "stopped";
    static constexpr const char* kStateFailed = "failed";

    // Whether a begun frame must be on the disk before the step runs.
    enum sync_policy { kRecordLazy, kRecordSync };

    InstallRecord();
    // Closes the journal. A record that was not finished stays as it is:
    // that is what an interrupted installation looks like.
    ~InstallRecord();
    InstallRecord(const InstallRecord&) = delete;
    InstallRecord& operator=(const InstallRecord&) = delete;

    // The folder of the scope's records, and the lock file that guards
    // records and script edits (see InstallStateLock).
    static std::string RecordsFolder();
    static std::string LockPath();

    // Starts a new record in RecordsFolder() (or in `folder`) whose first
    // frame is `header` (its "install_id" is set here).
    status_t Create(const BMessage& header);
    status_t CreateIn(const char* folder, const BMessage& header);

    bool IsOpen() const { return fJournal.IsValid(); }
    const std::string& Id() const { return fId; }
    const std::string& JournalPath() const { return fJournalPath; }

    // Appends a begun frame: `fields` with "kind" and the step number added.
    // Returns the step number (1, 2, ...), or a negative error: the step
    // must then not run, since the record could not say that it did.
    int32 Begin(const char* kind, const BMessage& fields, sync_policy sync = kRecordLazy);
    // Marks a step done, with what it produced.
    status_t Done(int32 step, const BMessage* fields = nullptr);
    // Appends part of a step's result (see kMsgPart); the done frame that
    // follows brings the rest.
    status_t Part(int32 step, const BMessage& fields);
    // Marks a step failed: it changed nothing, or what `fields` says.
    status_t Failed(
        int32 step, status_t error, const char* reason, const BMessage* fields = nullptr);
    // The last frame: how the installation ended, and for a finished one
    // the number of items that failed in it (they are in its failed steps).
    // The journal is flushed and closed.
    status_t Finish(const char* state, int64 endTime, int32 failures = 0);
    // Flushes every frame written so far to the disk.
    status_t Sync();

    // Appends a superseded frame to another record's journal.
    static status_t MarkSuperseded(const char* journalPath, const char* byId);

    // Frames of at most this size are written and read.
    static constexpr size_t kMaxFrameSize = 64 * 1024 * 1024;

    // The frame layout: size (32-bit little-endian), CRC-32 of the message
    // bytes (32-bit little-endian), the flattened message.
    static std::string Frame(const BMessage& message);
    static uint32 Crc32(const void* data, size_t size);

private:
    status_t Append(const BMessage& message, sync_policy sync);

    BPrivate::Descriptor fJournal;
    int32 fNextStep;
    int32 fUnsynced;
    bigtime_t fLastSync;
    std::string fId;
    std::string fJournalPath;
};

// An exclusive lock on the state folder's lock file (flock), held by whoever
// writes a record's start or end, or edits the user's scripts, so that two
// installers never edit the same file at once. Waits until it gets the lock.
class InstallStateLock {
public:
    explicit InstallStateLock(const std::string& path = InstallRecord::LockPath());
    ~InstallStateLock();
    InstallStateLock(const InstallStateLock&) = delete;
    InstallStateLock& operator=(const InstallStateLock&) = delete;

    status_t InitCheck() const { return fStatus; }

private:
    BPrivate::Descriptor fFile;
    status_t fStatus;
};
