#pragma once

// Puts tagged blocks (ScriptBlock) into one text file and takes them out,
// safely enough for files that a login depends on:
// - the new text is built in memory, written to a fresh file beside the
//   target, flushed to disk and renamed over it, so a crash leaves the old
//   or the new file, never half of one; mode and owner are kept;
// - a symbolic link (a dotfile manager's ~/.profile) stays a link: the file
//   it points to is edited in its own folder;
// - a text that is malformed for the tag is left untouched (B_BAD_DATA);
// - writing the same block again changes nothing, not even the file's date;
// - every change holds the InstallLock.

#include <string>
#include <sys/types.h>
#include <vector>

#include "ScriptEdit.h"

class ScriptFile {
public:
    // Files larger than this are not start-up scripts; they are refused.
    static constexpr size_t kMaxSize = 16 * 1024 * 1024;

    struct Options {
        // What a file that does not exist yet starts with (a managed file's
        // header), and its mode.
        std::string header;
        mode_t mode = 0644;
        // The file is Brenvik's own: it is deleted when no block is left in
        // it and it holds its header alone.
        bool managed = false;
        // Copy the old text to "<file>.orig" first (when there is one and it
        // changes).
        bool backup = false;
        // Create missing folders on the way to the file.
        bool createFolders = false;
        // Mark the file as text ("text/plain") for the desktop.
        bool markAsText = false;
    };

    // Writes the block of `tag` with `contents` (replacing an old one) into
    // the file at path, and describes what it did in *change (whose role
    // the caller sets).
    static status_t Write(const std::string& path, const std::string& tag,
        const std::string& contents, const Options& options, ScriptFileChange* change);

    // What Remove did to one file.
    struct Removal {
        // The file is gone now (deleted, or deleted already), as the change
        // said it should be once it held no block.
        bool deleted = false;
        // It was not there to begin with.
        bool wasGone = false;
        // Blocks taken out.
        int32 removed = 0;
        // The bytes of each block of the tag that stayed because it is not
        // the one the change wrote (edited since, or another installation's).
        std::vector<std::string> others;
        // How often the change's block is in the file: more than once, it
        // stays, since nobody can tell which copy was written.
        int32 copies = 0;
        // The file holds only its empty text, but it is not to be deleted:
        // the change did not create it for the block alone, or it did not
        // hold the block (see Remove).
        bool deleteRefused = false;
    };

    // Takes the change's block out of its file again: the block of exactly
    // its recorded bytes, when they are there once (ScriptBlock::RemoveExact;
    // B_BAD_VALUE, and nothing done, for recorded bytes that are not one
    // whole block of the tag), or, for a change that records none, every
    // block of its tag. When the change says so and the file then holds only
    // its empty text, the file is deleted, if `ownFile` (the caller has
    // checked that the file is the edit's: created by it for the block, or
    // one whose empty text is a header of Brenvik's) and, for a file created
    // for the block alone, only when it held that block.
    static status_t Remove(
        const ScriptFileChange& change, Removal* removal = nullptr, bool ownFile = true);

    // Deletes the change's courtesy copy ("<file>.orig") while it is still
    // the copy that was made (its digest); true when it went.
    static bool RemoveBackup(const ScriptFileChange& change);
    // Whether the change's courtesy copy is there as it was made.
    static bool HasBackup(const ScriptFileChange& change);

    // The whole text of a file; B_ENTRY_NOT_FOUND when there is none.
    static status_t Read(const std::string& path, std::string* text);

    // Writes text as the new content of path (see above). A new file gets
    // `mode` (less the umask in the user scope, as any file the user
    // creates); an existing one keeps its mode and owner.
    static status_t Replace(const std::string& path, const std::string& text, mode_t mode);

    // The file a path stands for once symbolic links are followed.
    static status_t Resolve(const std::string& path, std::string* resolved);

    // Creates the missing folders of path's parent chain, adding each one
    // created to *created (outermost first).
    static status_t MakeFolders(const std::string& folder, std::vector<std::string>* created);
};
