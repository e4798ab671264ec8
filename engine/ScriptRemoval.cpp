// RemoveScriptEdit: the de-installer's undoing of one EditScriptFile.

#include <cerrno>
#include <unistd.h>

#include "InstallLock.h"
#include "InstallNames.h"
#include "ScriptBlock.h"
#include "ScriptFile.h"
#include "ScriptTargets.h"

namespace {

class Removal {
public:
    Removal(std::vector<std::string>* notes, std::vector<ScriptFileOutcome>* outcomes)
        : fNotes(notes)
        , fOutcomes(outcomes)
        , fStatus(B_OK)
    {
    }

    // Takes the block out of one file; true when the file went with it.
    bool RemoveBlock(const ScriptFileChange& change)
    {
        ScriptFileOutcome outcome { change.path, change.tag, ScriptFileOutcome::kAbsent, B_OK, {},
            {} };
        // A change without a block (the record's account is damaged, or was
        // written to do harm) would take every block of its tag.
        if (change.block.empty() || !ScriptBlock::IsBlockOf(change.tag, change.block)) {
            outcome.kind = ScriptFileOutcome::kBadRecord;
            outcome.reason = "the record's block is not one whole block of its tag";
            Note("\tLeft " + change.path + ": " + outcome.reason + "\n");
            Add(std::move(outcome));
            return false;
        }
        // The file goes with its last block only when it is the edit's: one
        // the record says the edit created for the block alone (and which
        // then held exactly that block), or a file of Brenvik's own whose
        // empty text is one of Brenvik's headers.
        bool ownFile = change.emptyText.empty()
            ? change.created && !change.existed
            : ScriptTargets::IsOwnHeader(change.emptyText, change.path, change.tag);
        ScriptFile::Removal done;
        status_t status = ScriptFile::Remove(change, &done, ownFile);
        outcome.status = status;
        outcome.others = done.others;
        if (status != B_OK) {
            Fail(status, change.path);
            outcome.kind = ScriptFileOutcome::kFailed;
        } else if (done.copies > 1) {
            outcome.kind = ScriptFileOutcome::kRepeated;
            outcome.reason = "its block is in the file " + std::to_string(done.copies)
                + " times; which one was written cannot be told";
            Note("\tLeft the block " + change.tag + " in " + change.path + ": " + outcome.reason
                + "\n");
        } else if (done.deleted && !done.wasGone) {
            Note("\tDeleted " + change.path + ", which held no other block\n");
            outcome.kind = ScriptFileOutcome::kDeleted;
        } else if (done.removed > 0) {
            Note("\tRemoved script tag " + change.tag + " from " + change.path + "\n");
            outcome.kind = ScriptFileOutcome::kRemoved;
        }
        if (status == B_OK && done.deleteRefused) {
            outcome.kind = ScriptFileOutcome::kNotOurs;
            outcome.reason = done.removed > 0 || change.emptyText.empty()
                ? "the installation did not create it for its block alone; it stays"
                : "it holds no header of Brenvik's; it stays";
            Note("\tKept " + change.path + ": " + outcome.reason + "\n");
        } else if (status == B_OK && !done.others.empty() && done.removed == 0) {
            Note("\tKept the block " + change.tag + " in " + change.path
                + ": it is not the one that was written\n");
            outcome.kind = ScriptFileOutcome::kKept;
        }
        // The courtesy copy goes with the block it was made for; a file that
        // holds no block of the tag (any more) keeps its copy, which may be
        // all the user has of what was there.
        bool blockWasThere = done.removed > 0 || done.copies > 0 || !done.others.empty();
        if (blockWasThere && ScriptFile::RemoveBackup(change)) {
            Note("\tDeleted the copy " + change.backup + "\n");
        } else if (!blockWasThere && ScriptFile::HasBackup(change)) {
            Note("\tKept " + change.backup + ": " + change.path + " holds no block " + change.tag
                + "\n");
            Add({ change.backup, change.tag, ScriptFileOutcome::kNotOurs, B_OK, {},
                change.path + " holds no block of this tag: the copy stays" });
        }
        bool deleted = done.deleted;
        Add(std::move(outcome));
        return deleted;
    }

    // The autostart entry, unless somebody replaced it with an entry of
    // their own. Only Brenvik's entry of that name that runs the script
    // `script` goes, whatever the record says.
    void RemoveAutostart(const ScriptFileChange& change, const std::string& script)
    {
        std::string text;
        if (ScriptFile::Read(change.path, &text) != B_OK)
            return;
        std::string exec = ScriptTargets::AutostartEntry(script);
        size_t at = exec.find("\nExec=");
        exec = exec.substr(at, exec.find('\n', at + 1) - at + 1);
        std::string leaf = change.path.substr(change.path.rfind('/') + 1);
        if (leaf != ScriptTargets::kAutostartName
            || text.find("\nX-Brenvik-Managed=true\n") == std::string::npos
            || text.find(exec) == std::string::npos) {
            Note("\tKept " + change.path + ": it is no longer Brenvik's\n");
            Add({ change.path, change.tag, ScriptFileOutcome::kNotOurs, B_OK, {},
                "it is not Brenvik's entry for " + script });
            return;
        }
        if (unlink(change.path.c_str()) != 0) {
            Fail(StatusFromErrno(errno), change.path);
            return;
        }
        std::string folderOfEntry = change.path.substr(0, change.path.rfind('/'));
        for (auto folder = change.createdFolders.rbegin(); folder != change.createdFolders.rend();
             ++folder) {
            // Only the folders on the way to the entry.
            if (*folder == folderOfEntry || folderOfEntry.rfind(*folder + "/", 0) == 0)
                rmdir(folder->c_str());
        }
        Note("\tDeleted " + change.path + "\n");
        Add({ change.path, change.tag, ScriptFileOutcome::kDeleted, B_OK, {}, {} });
    }

    void Note(const std::string& line)
    {
        if (fNotes != nullptr)
            fNotes->push_back(line);
    }

    void Fail(status_t status, const std::string& path)
    {
        if (fStatus == B_OK)
            fStatus = status;
        Note("\tUnable to edit " + path + ": " + StatusText(status) + "\n");
    }

    status_t Status() const { return fStatus; }

    void Add(ScriptFileOutcome outcome)
    {
        if (fOutcomes != nullptr)
            fOutcomes->push_back(std::move(outcome));
    }

private:
    std::vector<std::string>* fNotes;
    std::vector<ScriptFileOutcome>* fOutcomes;
    status_t fStatus;
};

// Whether a hook block or autostart entry of the edit is still there.
bool IsServingStill(const ScriptFileChange& change)
{
    std::string text;
    if ((change.role != ScriptFileChange::kHook && change.role != ScriptFileChange::kAutostart)
        || ScriptFile::Read(change.path, &text) != B_OK)
        return false;
    return change.role == ScriptFileChange::kAutostart
        || (!change.block.empty() && text.find(change.block) != std::string::npos);
}

} // namespace

status_t RemoveScriptEdit(const ScriptEdit& edit, int32 otherStartUpFolderUsers,
    std::vector<std::string>* notes, std::vector<ScriptFileOutcome>* outcomes)
{
    Removal removal(notes, outcomes);
    if (edit.startUpFolder && otherStartUpFolderUsers > 0) {
        removal.Note("\tKept the start-up folder block: " + std::to_string(otherStartUpFolderUsers)
            + " other installation(s) use it\n");
        return B_OK;
    }
    InstallLock lock;
    if (lock.InitCheck() != B_OK)
        return lock.InitCheck();
    bool scriptGone = false;
    std::string script;
    std::string served = edit.path;
    for (const ScriptFileChange& change : edit.files) {
        if (change.role == ScriptFileChange::kScript) {
            served = change.path;
            break;
        }
    }
    for (const ScriptFileChange& change : edit.files) {
        if (change.role == ScriptFileChange::kHook || change.role == ScriptFileChange::kAutostart)
            continue;
        bool deleted = removal.RemoveBlock(change);
        if (change.role == ScriptFileChange::kScript && deleted) {
            scriptGone = true;
            script = change.path;
        }
    }
    // What served the script goes with its last block; while the script
    // stays (it holds other installations' blocks, or the user's lines), so
    // does what serves it, and the removal says so.
    for (const ScriptFileChange& change : edit.files) {
        if (scriptGone && change.role == ScriptFileChange::kHook) {
            removal.RemoveBlock(change);
        } else if (scriptGone && change.role == ScriptFileChange::kAutostart) {
            removal.RemoveAutostart(change, script);
        } else if (IsServingStill(change)) {
            removal.Note("\tKept " + change.path + ": it serves " + served + ", which stays\n");
            removal.Add({ change.path, change.tag, ScriptFileOutcome::kServing, B_OK, {},
                "it serves " + served + ", which stays" });
        }
    }
    return removal.Status();
}
