#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <EntryRef.h>
#include <Message.h>

#include <LibString.h>
#include <LibThread.h>

class BResources;
class CompletionDialogs;
class InstallTexts;

// The installer's configuration record and the worker that runs the install
// pass. The object *is* the configuration message (every field is read with
// the message calls on the object itself) and *is* the worker thread.
//
// Keyword values ("True", "None", "Prompt", "Rename", "User Selected") are
// compared exactly and case-sensitively, over the whole text.
class InstallConfig : public BMessage, public LibThread {
public:
    // Messages the pass sends to the window.
    static constexpr uint32 kMsgInstallStatus = 'isud';
    // The status text's field in kMsgInstallStatus.
    static constexpr const char* kStatusField = "message";

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
    void SetDestination(const entry_ref& destination) { fDestination = destination; }
    bool RestartRequested() const { return fRestart; }
    void SetRestartRequested(bool restart) { fRestart = restart; }

    // Sends a status line ('isud' with "message") to the worker's target. A
    // line the window has not shown yet is replaced by the newer one.
    void UpdateStatus(const char* text);

    // The start-up folder block for the StartUp folder at `folder`
    // (StartupBlock.h), to be put into UserBootscript under the tag
    // "StartUpFolder" with EditScriptFile (ScriptTargets.h).
    void BuildStartupString(const char* folder, LibString& block) const;
    // Runs the installed items marked "auto_launch" (InstallCompletion.h),
    // asking with `dialogs` in `texts` and writing what happened to the log.
    // Returns what could not be run, one line each, for the completion
    // message.
    std::vector<std::string> AutoLaunch(InstallTexts& texts, CompletionDialogs& dialogs);

protected:
    // The pass's log file (null when none is open). The configuration owns
    // it: AdoptLog closes the one it replaces, and the destructor closes it
    // after the pass has ended.
    FILE* Log() const { return fLog; }
    void AdoptLog(FILE* log);

private:
    FILE* fLog;
    entry_ref fDestination;
    bool fRestart;
};

// Whether a configuration text equals a keyword exactly.
bool IsKeyword(const char* value, const char* keyword);

// The leaf of a path ("a/b/c" gives "c"; a path ending in "/" gives "").
const char* LeafOf(const char* path);
