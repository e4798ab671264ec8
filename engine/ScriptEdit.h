#pragma once

// What an edit of the user's start-up scripts changed, file by file, in the
// detail the de-installer needs to undo exactly that and nothing more. The
// install record keeps one ScriptEdit per edit (Archive/Restore).

#include <string>
#include <vector>

#include <SupportDefs.h>

class BMessage;

// One file that an edit wrote.
struct ScriptFileChange {
    enum Role : int32 {
        // The file that plays the configuration's script.
        kScript = 0,
        // A copy of the block in another shell's start-up file.
        kCopy = 1,
        // The block that makes login shells read UserSetupEnvironment.
        kHook = 2,
        // A translation into a file of another format (environment.d, fish).
        kMirror = 3,
        // The autostart desktop entry that runs UserBootscript.
        kAutostart = 4,
    };

    Role role = kScript;
    // The file written, symbolic links followed.
    std::string path;
    // The block's tag and exact bytes ("#BEGIN_" to the end line's newline);
    // both empty for the autostart entry, which holds no block.
    std::string tag;
    std::string block;
    // A newline was written before the block because the file's last line
    // had none; removing the block takes it out again.
    bool separatorAdded = false;
    // The file was there before the edit; this edit created it.
    bool existed = false;
    bool created = false;
    // When the file, with no block left in it, holds exactly emptyText, it
    // is deleted: a file of Brenvik's own (its header) or one this edit
    // created for the block alone (""). Files the user had are never deleted.
    bool removeWhenEmpty = false;
    std::string emptyText;
    // The file was actually rewritten (false when it already held the block).
    bool changed = false;
    // A courtesy copy of the text before the edit ("<file>.orig"), or "",
    // and the SHA-256 of what it holds (hexadecimal).
    std::string backup;
    std::string backupSha256;
    // Folders created for the file, outermost first.
    std::vector<std::string> createdFolders;

    status_t Archive(BMessage* archive) const;
    status_t Restore(const BMessage& archive);
};

// One call of EditScriptFile.
struct ScriptEdit {
    // The script the configuration names ("UserBootscript",
    // "UserSetupEnvironment", ".profile") and the tag.
    std::string script;
    std::string tag;
    // The file that plays the script, for the log line.
    std::string path;
    // The outcome: B_OK when every file was written, else the first failure.
    status_t status = B_OK;
    // The block is the shared start-up folder block ("StartUpFolder").
    bool startUpFolder = false;
    // Every file written, the script's own first.
    std::vector<ScriptFileChange> files;
    // Further lines for the install log, each ending with a newline.
    std::vector<std::string> notes;

    status_t Archive(BMessage* archive) const;
    status_t Restore(const BMessage& archive);
};
