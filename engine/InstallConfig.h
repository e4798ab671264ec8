#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <EntryRef.h>
#include <Message.h>

#include <LibString.h>
#include <LibThread.h>

#include "InstallServices.h"

class BPath;
class BResources;
class BVolume;
class CompletionDialogs;
class InstallPass;
class InstallTexts;

// The installer's configuration record and the worker that runs the install
// pass. The object *is* the configuration message (every field is read with
// the message calls on the object itself) and *is* the worker thread.
//
// Keyword values ("True", "None", "Prompt", "Rename", "User Selected") are
// compared exactly and case-sensitively, over the whole text.
// Where a running pass is, for a front end that shows progress: item `item`
// of `total` (counted from 1; 0 before the first), `name` its leaf, and the
// bytes of the chosen items placed so far of all of them.
struct InstallProgress {
    int32 item = 0;
    int32 total = 0;
    std::string name;
    uint64 bytesDone = 0;
    uint64 bytesTotal = 0;
    // The item's work is over (placed or not).
    bool itemDone = false;
};

class InstallConfig : public BMessage, public LibThread {
public:
    // Messages the pass sends to the window.
    static constexpr uint32 kMsgInstallStatus = 'isud';
    // The status text's field in kMsgInstallStatus.
    static constexpr const char* kStatusField = "message";
    // The items are in place and the record finished: what follows (running
    // what was installed, the completion message) can no longer be stopped.
    static constexpr uint32 kMsgInstallComplete = 'iscp';

    InstallConfig();
    ~InstallConfig() override;

    // Fills the configuration from a flattened record. On failure the
    // configuration is left empty.
    status_t Load(const void* data, size_t size);
    // Fills the configuration from the record resource of an installer (see
    // InstallerFormat), as the window does when it starts: a missing or
    // unreadable record is reported on standard error ("Does not have
    // resource 2002", "Unable to read resource 2002") and leaves the
    // configuration empty. The caller tells the user.
    status_t Load(BResources& resources);

    // The install pass, run on the worker thread by Go().
    status_t Action() override;
    // The worker's state on standard error, then every "install_file" item
    // with the message print (standard output).
    void PrintToStream() override;

    // Value 0 of the item's "file_size", 0 when the item or the field is
    // missing. Items are found by the leaf name of their "file_name".
    long GetFileSize(const char* leafName);
    // Sets the item's "install_to_system" and writes the item and
    // "install_instructions" back.
    void MarkInstallFile(const char* leafName, const bool& install);

    // The number of "install_file" items, and the index of the item with
    // this leaf name (-1 when none).
    int32 CountInstallFiles() const;
    int32 FindInstallFile(const char* leafName, BMessage* item = nullptr) const;

    // Typed reading of the fields whose absence does not simply mean "no".
    bool IncludeDeinstaller() const;
    // Every item marked for installation, in payload order.
    int32 CountSelectedFiles() const;
    // Marks every item that belongs to the install type group for
    // installation and every other item not (as the window does when the
    // user picks an install type); returns the number marked.
    int32 SelectGroup(const char* group);

    const entry_ref& Destination() const { return fDestination; }
    void SetDestination(const entry_ref& destination)
    {
        fDestination = destination;
        fDestinationPath.clear();
    }
    // A destination given as a path whose folders need not exist yet (an
    // answer file's): it takes the place of Destination() until
    // SetDestination is called again.
    void SetDestinationPath(const std::string& path) { fDestinationPath = path; }
    // The destination as a path ("" when it has none).
    std::string DestinationPath() const;
    // Whether the pass makes a destination folder that is missing (with the
    // missing folders above it, each in the install record, so that the
    // removal takes them away again); otherwise a missing one is an error.
    void SetMakeDestination(bool make) { fMakeDestination = make; }
    bool RestartRequested() const { return fRestart; }
    void SetRestartRequested(bool restart) { fRestart = restart; }

    // Sends a status line ('isud' with "message") to the worker's target. A
    // line the window has not shown yet is replaced by the newer one.
    void UpdateStatus(const char* text);
    // Sends kMsgInstallComplete to the worker's target.
    void NoteComplete();

    // The start-up folder block for the StartUp folder at `folder`
    // (StartupBlock.h), to be put into UserBootscript under the tag
    // "StartUpFolder" with EditScriptFile (ScriptTargets.h).
    void BuildStartupString(const char* folder, LibString& block) const;
    // Runs the installed items marked "auto_launch" (InstallCompletion.h),
    // asking with `dialogs` in `texts` and writing what happened to the log.
    // Returns what could not be run, one line each, for the completion
    // message.
    std::vector<std::string> AutoLaunch(InstallTexts& texts, CompletionDialogs& dialogs);

    // Results of the pass (the "status" of the worker's end message).
    static constexpr status_t kPassDone = 0;
    static constexpr status_t kPassFailed = 1;
    // The user stopped the pass (RequestStop).
    static constexpr status_t kPassStopped = 2;
    static constexpr status_t kPassNoSpace = 3;

    // How the last pass ended, for the exit status of the program: a pass
    // whose requirements the user refused also returns kPassDone (the window
    // then closes), but is not a success.
    enum pass_outcome {
        kOutcomeNotRun,
        kOutcomeSucceeded,
        kOutcomeAborted,
        kOutcomeStopped,
        kOutcomeFailed
    };
    pass_outcome Outcome() const { return fOutcome; }
    // What did not work in the last pass (items that could not be extracted
    // or placed, a de-installer that could not be made), one line each.
    const std::vector<std::string>& Failures() const { return fFailures; }
    // The journal of the last pass's install record (empty when it made
    // none).
    const std::string& RecordPath() const { return fRecordPath; }

    // Asks a running pass to stop: it ends at the next item, or inside the
    // item it is writing, leaving every file whole (old or new) and its
    // record saying what was done. Any thread may call it. A request made
    // before the pass begins is kept: that pass stops at its first step.
    void RequestStop() { fStopRequested.store(true); }
    bool StopRequested() const { return fStopRequested.load(); }
    // Forgets an earlier request, before a new pass is asked for (the pass
    // itself never does, so that a stop asked for as it starts is not lost).
    void ClearStopRequest() { fStopRequested.store(false); }

    // What the pass uses of the outside world (see InstallServices.h). The
    // defaults are the platform's alerts, the machine and the real clock.
    void SetDialogs(std::unique_ptr<InstallDialogs> dialogs);
    void SetSystemProbe(std::unique_ptr<SystemProbe> probe);
    void SetClock(InstallClock clock);
    // The installer file whose entries and texts the pass reads; by default
    // the running executable.
    void SetInstallerPath(const char* path);
    // Called on the worker thread with each status text, before it is sent
    // to the window (a program without a window prints them).
    void SetStatusObserver(std::function<void(const char*)> observer);
    // Called on the worker thread as each chosen item starts and ends.
    void SetProgressObserver(std::function<void(const InstallProgress&)> observer)
    {
        fProgressObserver = std::move(observer);
    }
    // Called on the worker thread the moment a payload item has been renamed
    // into its place, before anything else happens to it or the record says
    // so: where a test ends the program, as a crash would.
    void SetPlacedObserver(std::function<void(const std::string&)> observer)
    {
        fPlacedObserver = std::move(observer);
    }
    // Called on the worker thread the moment the installation folder, or a
    // missing folder on the way to where items go, has been made, before
    // the pass opens it: where a test swaps it for a link or a folder of
    // another user's, as a racing local user would.
    void SetFolderMadeObserver(std::function<void(const std::string&)> observer)
    {
        fFolderMadeObserver = std::move(observer);
    }

    // The steps of the pass that have names of their own.
    // The requirements check: 1 go on, 2 not enough disk space, 3 stopped.
    int32 CheckSystemResources();
    bool DoesDestinationExist();
    // Opens the log for writing; it must not exist yet (a link or a file
    // already at the path is never followed or truncated).
    void OpenLog(const char* path);
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void CloseLog();
    // Resolves a destination name (a custom folder of customFolders, or a
    // standard folder name) to a folder, creating a custom folder (and
    // replacing it, once per pass, when its record says so). False, with
    // `path` unset, for a name that is neither, or a custom folder whose
    // path is not safe.
    bool GetNewPath(const char* name, BMessage& customFolders, BVolume& volume,
        const char* savedPath, LibString& path);
    // Settles a collision of item's leaf name in folder by the rule; true
    // when the new item (or link) is to be placed. Nothing the user had is
    // lost: it is saved, renamed aside or moved to the trash first, and a
    // failure to do so means the new item is not placed.
    bool ReplaceControl(const char* folder, const BPath& item, const char* rule, bool& ask,
        bool& remembered, const BPath& saved);
    // Writes the de-install tag on the item and, for a folder, on everything
    // below it (links are not followed and cannot carry it).
    void AddDeinstallTag(const char* path, const char* value);

protected:
    // The pass's log file (null when none is open). The configuration owns
    // it: AdoptLog closes the one it replaces, and the destructor closes it
    // after the pass has ended.
    FILE* Log() const { return fLog; }
    void AdoptLog(FILE* log);

private:
    friend class InstallPass;

    FILE* fLog;
    entry_ref fDestination;
    std::string fDestinationPath;
    bool fMakeDestination = false;
    bool fRestart;

    std::unique_ptr<InstallDialogs> fDialogs;
    std::unique_ptr<SystemProbe> fProbe;
    InstallClock fClock;
    std::function<void(const char*)> fStatusObserver;
    std::function<void(const InstallProgress&)> fProgressObserver;
    std::function<void(const std::string&)> fPlacedObserver;
    std::function<void(const std::string&)> fFolderMadeObserver;
    std::string fInstallerPath;
    std::atomic<bool> fStopRequested;
    pass_outcome fOutcome;
    std::vector<std::string> fFailures;
    std::string fRecordPath;
    // What the requirements check found (which file met each library), for
    // the log.
    std::vector<std::string> fLibraryNotes;
    // The pass that runs, while it runs.
    InstallPass* fPass;
};

// Whether a configuration text equals a keyword exactly.
bool IsKeyword(const char* value, const char* keyword);

// The leaf of a path ("a/b/c" gives "c"; a path ending in "/" gives "").
const char* LeafOf(const char* path);
