// The removal's undoing of script edits: each block only while it is the
// bytes the installation wrote, and not while another live installation
// uses the same block.

#include "InstallNames.h"
#include "InstallRemoval.h"

#include <algorithm>

#include "InstallRecord.h"
#include "RemovalSupport.h"
#include "ScriptEdit.h"
#include "ScriptFile.h"
#include "ScriptTargets.h"

using namespace removal;
using Step = InstallRecordReader::Step;

static bool IsStartUpFolderEdit(const BMessage& message)
{
    return message.GetBool(InstallRecord::kFieldStartupBlock, false)
        || message.GetBool("startup_folder", false);
}

// A script step holds the script editor's own account of the edit (a
// ScriptEdit archive), or the flat form of a single block.
bool removal::ScriptEditOf(const Step& step, ScriptEdit* edit)
{
    for (const BMessage* message : { &step.result, &step.begun }) {
        if (message->HasMessage("file") && edit->Restore(*message) == B_OK)
            return true;
    }
    const BMessage& flat = step.begun;
    ScriptFileChange change;
    change.path = flat.GetString(InstallRecord::kFieldPath, "");
    change.tag = flat.GetString(InstallRecord::kFieldTag, "");
    change.block = flat.GetString(InstallRecord::kFieldBlock, "");
    if (change.path.empty() || change.tag.empty() || change.block.empty())
        return false;
    std::string role = flat.GetString(InstallRecord::kFieldRole, "block");
    change.role = role == "copy" ? ScriptFileChange::kCopy
        : role == "profile_hook" ? ScriptFileChange::kHook
        : role == "drop_in"      ? ScriptFileChange::kMirror
                                 : ScriptFileChange::kScript;
    change.existed = flat.GetBool(InstallRecord::kFieldFileExisted, true);
    change.created = flat.GetBool(InstallRecord::kFieldFileCreated, false);
    change.removeWhenEmpty = change.created && !change.existed;
    edit->tag = change.tag;
    edit->path = change.path;
    edit->startUpFolder = IsStartUpFolderEdit(flat);
    edit->files.push_back(change);
    return true;
}

void InstallRemoval::UndoScript(const Step& step)
{
    ScriptEdit edit;
    if (!ScriptEditOf(step, &edit)) {
        Note(kOutcomeProblem, step.begun.GetString(InstallRecord::kFieldPath, ""),
            "the record's script step " + std::to_string(step.number) + " cannot be read");
        return;
    }
    for (const ScriptFileChange& change : edit.files) {
        if (!IsPlainPath(change.path)) {
            Note(kOutcomeProblem, change.path, "the record's script file is no plain path");
            return;
        }
    }
    // A block that another live installation wrote, byte for byte, into the
    // same file is theirs too: it stays while they are there. So does the
    // shared start-up folder block, which every installation that asked for
    // a StartUp folder writes, and the product's own block when the product
    // is installed into a second folder.
    ScriptEdit own = edit;
    own.files.clear();
    for (const ScriptFileChange& change : edit.files) {
        if (!change.block.empty() && IsBlockOfOtherRecord(change.path, change.block)) {
            Note(kOutcomeLeft, change.path + " (" + change.tag + ")",
                "another installation uses the same block");
            // The copy this installation made goes with it all the same,
            // while the file holds the block it was made for.
            std::string text;
            if (ScriptFile::Read(change.path, &text) == B_OK
                && text.find(change.block) != std::string::npos)
                ScriptFile::RemoveBackup(change);
        } else {
            own.files.push_back(change);
        }
    }
    std::vector<std::string> notes;
    std::vector<ScriptFileOutcome> outcomes;
    status_t status = RemoveScriptEdit(own, 0, &notes, &outcomes);
    for (const ScriptFileOutcome& outcome : outcomes) {
        std::string what
            = outcome.path + " (" + (outcome.tag.empty() ? "entry" : outcome.tag) + ")";
        bool theirs = true;
        switch (outcome.kind) {
        case ScriptFileOutcome::kRemoved:
            // The block went; the file, which holds other lines, stays.
            Note(kOutcomeRemoved, what);
            break;
        case ScriptFileOutcome::kDeleted:
            // The file itself went.
            Note(kOutcomeRemoved, outcome.path);
            break;
        case ScriptFileOutcome::kRepeated:
        case ScriptFileOutcome::kServing:
            Note(kOutcomeLeft, what, outcome.reason);
            break;
        case ScriptFileOutcome::kNotOurs:
            Note(kOutcomeKept, outcome.tag.empty() ? outcome.path : what, outcome.reason,
                kWhyNotOurs);
            break;
        case ScriptFileOutcome::kBadRecord:
            Note(kOutcomeProblem, what, outcome.reason);
            break;
        case ScriptFileOutcome::kAbsent:
            // Taken out before (by the user, or an earlier run of this
            // removal): nothing is left to do.
            break;
        case ScriptFileOutcome::kKept:
            for (const std::string& block : outcome.others)
                theirs = theirs && IsBlockOfOtherRecord(outcome.path, block);
            if (theirs)
                Note(kOutcomeLeft, what,
                    "another installation wrote its own block of this tag over it");
            else
                Note(kOutcomeKept, what, "its block was changed since it was installed",
                    kWhyChanged);
            break;
        case ScriptFileOutcome::kFailed:
            Note(kOutcomeFailed, what,
                "the script block cannot be removed: " + std::string(StatusText(outcome.status)));
            break;
        }
    }
    if (status != B_OK && outcomes.empty())
        Note(kOutcomeFailed, edit.path, "the script block " + edit.tag + " cannot be removed");
}

// Whether another live installation's record says it wrote exactly `block`
// into the file at `path`.
bool InstallRemoval::IsBlockOfOtherRecord(const std::string& path, const std::string& block)
{
    if (!fOtherBlocksRead) {
        fOtherBlocksRead = true;
        ForEachOtherLiveRecord([&](const InstallRecordReader& other) {
            for (const Step& step : other.Steps()) {
                ScriptEdit edit;
                if (step.kind != InstallRecord::kKindScript
                    || step.state == InstallRecordReader::kStepFailed || !ScriptEditOf(step, &edit))
                    continue;
                for (const ScriptFileChange& change : edit.files)
                    fOtherBlocks.emplace_back(change.path, change.block);
            }
            return true;
        });
    }
    return std::find(fOtherBlocks.begin(), fOtherBlocks.end(), std::make_pair(path, block))
        != fOtherBlocks.end();
}
