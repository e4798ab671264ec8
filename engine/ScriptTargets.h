#pragma once

// The user's start-up scripts on Linux, and EditScriptFile, which puts a
// product's tagged block into them.
//
// The configuration names three BeOS scripts; each is played by Linux files
// chosen by the install scope (user: the home folder; system: below
// BRENVIK_ROOT, for every user):
//
// UserBootscript ("User Boot" folder)
//   A POSIX sh file of Brenvik's own, <boot>/UserBootscript, with
//   <boot> = ~/.config/brenvik/boot or /etc/opt/brenvik/boot. One XDG
//   autostart entry (~/.config/autostart or /etc/xdg/autostart,
//   "brenvik-userbootscript.desktop") runs it with /bin/sh when a desktop
//   session starts. Both are created with the first block.
// UserSetupEnvironment ("User Boot" folder)
//   A sh file of Brenvik's own beside it, read by UserBootscript and by
//   login shells: a hook block (tag "BrenvikSetupEnvironment") in the
//   login files of .profile below, or /etc/profile.d/brenvik.sh in the
//   system scope. A block that only sets variables is also written to
//   environment.d (~/.config/environment.d or /etc/environment.d,
//   "60-brenvik-<tag>.conf"), for programs that no login shell starts.
// .profile ("User" folder)
//   ~/.profile (a symbolic link is followed and stays a link), created
//   with the block alone when missing; a copy of the block goes into the
//   bash login file that would be read instead of ~/.profile
//   (~/.bash_profile or else ~/.bash_login, unless it reads ~/.profile
//   itself) and into ~/.zprofile when it exists or zsh is the login shell.
//   fish gets ~/.config/fish/conf.d/brenvik-<tag>.fish when the block
//   only sets variables (and fish is there); otherwise the log says so.
//   In the system scope: /etc/profile.d/brenvik-<tag>.sh; /etc/profile
//   itself belongs to the system's packages and is never edited.
// Any other script is edited where find_directory puts its folder.
//
// A tag in a file name is written with every byte but letters, digits, '.',
// '_' and '-' as "%XX".

#include <string>

#include <FindDirectory.h>
#include <SupportDefs.h>

#include "ScriptEdit.h"

class ScriptTargets {
public:
    static constexpr const char* kBootScript = "UserBootscript";
    static constexpr const char* kSetupEnvironment = "UserSetupEnvironment";
    static constexpr const char* kProfile = ".profile";
    // The tag of the start-up folder block, shared by every product that
    // asks for a StartUp folder.
    static constexpr const char* kStartUpFolderTag = "StartUpFolder";
    // The tag of the block that makes login shells read UserSetupEnvironment.
    static constexpr const char* kHookTag = "BrenvikSetupEnvironment";
    static constexpr const char* kAutostartName = "brenvik-userbootscript.desktop";

    // The file that plays a script in the current scope (what the install
    // log names) for a tag, or "" when the folder has no place.
    static std::string ScriptPath(
        const directory_which& folder, const char* fileName, const std::string& tag);

    // The autostart entry that runs UserBootscript, and its text.
    static std::string AutostartPath();
    static std::string AutostartEntry(const std::string& bootScriptPath);

    // A tag as it appears in file names.
    static std::string TagFileName(const std::string& tag);

    // Courtesy copies ("<file>.orig") of the user's own files are made
    // before their first edit of a pass only, so that they keep what the
    // user had; the pass calls this when it starts.
    static void BeginPass();

    // Why a product's contents for `script` cannot be written, naming the
    // script and the line, or "" when they can. A line that reads as a block
    // marker ("#BEGIN_" or "#END_" and anything after it, after blanks)
    // would let the product's lines open or close another product's block,
    // whose removal would then take the user's lines between them: such
    // contents are refused when a project is built (brenvik-build), when an
    // installer starts, and by EditScriptFile.
    static std::string ContentsProblem(const std::string& script, const std::string& contents);

    // Whether `text` is a header that Brenvik writes at the top of a file of
    // its own (UserBootscript, UserSetupEnvironment, the drop-ins and
    // mirrors of a block of `tag`, the login hook's file): a file that holds
    // nothing else is Brenvik's, and goes with its last block.
    static bool IsOwnHeader(
        const std::string& text, const std::string& path, const std::string& tag);
};

// Puts the block `contents` under `tag` into the script `fileName` of the
// standard folder `folder` (replacing an older block of the tag), or, with
// null contents, only removes the tag's block from the script's own file.
// *edit (when given) receives everything that was written, for the log and
// the install record. B_BAD_VALUE for a bad tag or file name, B_BAD_DATA
// when a file holds a damaged block of the tag or the contents hold a line
// that reads as a block marker (ContentsProblem; nothing is then changed),
// otherwise the first file-system failure; the other files are still tried.
status_t EditScriptFile(const directory_which& folder, const char* fileName, const char* tag,
    const char* contents, ScriptEdit* edit = nullptr);

// The de-installer's side: takes the blocks of a recorded edit out of every
// file it wrote, deletes the files Brenvik made once they hold no block, and
// then what served the emptied scripts (the autostart entry of
// UserBootscript, the login hook of UserSetupEnvironment). The start-up
// folder block stays while `otherStartUpFolderUsers` (the number of other
// live install records that use it) is above zero. Log lines go to *notes.
// Each file's block goes only while it is exactly the block the edit wrote,
// and there once; a file goes only when the edit created it for the block
// alone and it holds exactly that block, or when it is a file of Brenvik's
// own that holds nothing but its header (IsOwnHeader). The record that the
// edit comes from is not trusted: what it says cannot make the removal take
// anything else. What became of each file goes to *outcomes.
struct ScriptFileOutcome {
    enum Kind {
        // The block was taken out; the file stays.
        kRemoved,
        // The file went, with the block.
        kDeleted,
        // There was no block of the tag to take out (or no file).
        kAbsent,
        // A block of the tag with other bytes is there; it stays.
        kKept,
        kFailed,
        // The block's bytes are in the file more than once: which copy was
        // written cannot be told, so the file stays as it is (`reason`).
        kRepeated,
        // The record asks for something the disk shows is not the
        // installation's (a file it did not create, a copy that is not of
        // its block, an entry that is not Brenvik's): it stays (`reason`).
        kNotOurs,
        // The record's account cannot be right (a block that is not one
        // whole block of its tag): nothing was done (`reason`).
        kBadRecord,
        // The login hook or autostart entry of a script that stays (it holds
        // other installations' blocks): it stays with it (`reason`).
        kServing,
    };
    std::string path;
    std::string tag;
    Kind kind;
    status_t status;
    // The bytes of the blocks that stayed (kKept).
    std::vector<std::string> others;
    std::string reason;
};
status_t RemoveScriptEdit(const ScriptEdit& edit, int32 otherStartUpFolderUsers = 0,
    std::vector<std::string>* notes = nullptr, std::vector<ScriptFileOutcome>* outcomes = nullptr);
