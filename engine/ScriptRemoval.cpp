// RemoveScriptEdit: the de-installer's undoing of one EditScriptFile.

#include <cerrno>
#include <unistd.h>

#include "InstallLock.h"
#include "InstallNames.h"
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
        ScriptFile::Removal done;
        status_t status = ScriptFile::Remove(change, &done);
        ScriptFileOutcome outcome { change.path, change.tag, ScriptFileOutcome::kAbsent, status,
            done.others };
        if (status != B_OK) {
            Fail(status, change.path);
            outcome.kind = ScriptFileOutcome::kFailed;
        } else if (done.deleted) {
            Note("\tDeleted " + change.path + ", which held no other block\n");
            outcome.kind = ScriptFileOutcome::kDeleted;
        } else if (done.removed > 0) {
            Note("\tRemoved script tag " + change.tag + " from " + change.path + "\n");
            outcome.kind = ScriptFileOutcome::kRemoved;
        }
        if (status == B_OK && !done.others.empty()) {
            Note("\tKept the block " + change.tag + " in " + change.path
                + ": it is not the one that was written\n");
            outcome.kind = ScriptFileOutcome::kKept;
        }
        if (ScriptFile::RemoveBackup(change))
            Note("\tDeleted the copy " + change.backup + "\n");
        if (fOutcomes != nullptr)
            fOutcomes->push_back(std::move(outcome));
        return done.deleted;
    }

    // The autostart entry, unless somebody replaced it with an entry of
    // their own.
    void RemoveAutostart(const ScriptFileChange& change)
    {
        std::string text;
        if (ScriptFile::Read(change.path, &text) != B_OK)
            return;
        if (text.find("\nX-Brenvik-Managed=true\n") == std::string::npos) {
            Note("\tKept " + change.path + ": it is no longer Brenvik's\n");
            return;
        }
        if (unlink(change.path.c_str()) != 0) {
            Fail(StatusFromErrno(errno), change.path);
            return;
        }
        for (auto folder = change.createdFolders.rbegin(); folder != change.createdFolders.rend();
             ++folder)
            rmdir(folder->c_str());
        Note("\tDeleted " + change.path + "\n");
        if (fOutcomes != nullptr)
            fOutcomes->push_back(
                { change.path, change.tag, ScriptFileOutcome::kDeleted, B_OK, {} });
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

private:
    std::vector<std::string>* fNotes;
    std::vector<ScriptFileOutcome>* fOutcomes;
    status_t fStatus;
};

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
    for (const ScriptFileChange& change : edit.files) {
        if (change.role == ScriptFileChange::kHook || change.role == ScriptFileChange::kAutostart)
            continue;
        bool deleted = removal.RemoveBlock(change);
        if (change.role == ScriptFileChange::kScript && deleted)
            scriptGone = true;
    }
    // What served the script goes with its last block.
    if (scriptGone) {
        for (const ScriptFileChange& change : edit.files) {
            if (change.role == ScriptFileChange::kHook)
                removal.RemoveBlock(change);
            else if (change.role == ScriptFileChange::kAutostart)
                removal.RemoveAutostart(change);
        }
    }
    return removal.Status();
}
