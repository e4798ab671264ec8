#pragma once

// InstallRemoval: undoes one installation from its install record
// (InstallRecord.h, docs/install-record.md), for the de-installer and for the
// installer rolling back an installation that did not finish.
//
// The steps are undone in reverse order, each only as far as the disk shows
// that it happened:
// - a placed file goes only while it still matches the record (its size and
//   SHA-256 digest), a link only while it points where it was made to point;
//   anything else is kept and reported;
// - folders go bottom-up and only when empty, so what the user added to them
//   stays, with its folders;
// - what the installation moved aside is put back (from "Saved Files", from
//   its " copy" name, from the trash, whose .trashinfo then goes too), never
//   over something that has taken its place since;
// - script blocks are taken out by their exact bytes; the shared start-up
//   folder block stays while another live record uses it;
// - follow-ups (the loader's cache, the desktop's database) run at the end;
// - a removal log is written to <state>/removals/<install id>.log, and the
//   record goes last, unless something failed (then it stays, so that the
//   removal can be tried again).
//
// The record is untrusted: it may be damaged or edited. Paths must be
// absolute and plain, every entry of an item must lie inside that item, an
// item or link only where the installation places them (its folder, or
// beside one of its scratch folders), a scratch folder only beside what the
// installation placed, a displaced item comes back only from where such
// items go (the saved folder, its own folder under a " copy" name, a trash
// whose record names the same original path), a script file goes only when
// the installation made it for its block (or it is Brenvik's own, holding
// nothing but its header), and nothing is followed through a symbolic link.
// What does not pass is left alone and reported.

#include <functional>
#include <string>
#include <vector>

#include <Descriptor.h>
#include <SupportDefs.h>

#include "InstallRecordReader.h"

class InstallRemoval {
public:
    enum outcome_kind {
        // Removed as installed.
        kOutcomeRemoved,
        // Put back where it was before the installation.
        kOutcomeRestored,
        // Kept: changed or added by the user since, or its place was taken.
        kOutcomeKept,
        // Left as the product asked ("not de-installable").
        kOutcomeLeft,
        // Could not be done: a file-system error.
        kOutcomeFailed,
        // The record says something that cannot be right; nothing was done.
        kOutcomeProblem,
    };

    // Why something was kept, for a window that says it in the user's
    // language.
    enum why_code {
        kWhyOther,
        // Changed since it was installed (or since it was moved aside).
        kWhyChanged,
        // Not what the installation placed there (no tag, another kind).
        kWhyNotOurs,
        // A folder that holds what the installation did not place.
        kWhyUserFiles,
        // What was moved aside cannot go back: its place is taken.
        kWhyTaken,
        // An earlier installation the installation moved to the trash stays
        // there (SetPutBackEarlierInstallation).
        kWhyEarlierInTrash,
    };

    struct Outcome {
        outcome_kind kind;
        std::string path;
        // Why, in words, for kept, left, failed and problem outcomes.
        std::string reason;
        why_code why = kWhyOther;
    };

    // What a removal is going to do, for the window to show before it
    // starts.
    struct Plan {
        std::vector<std::string> remove;
        std::vector<std::string> restore;
        // Earlier installation folders that the installation moved to the
        // trash: put back only when asked for.
        std::vector<std::string> earlier;
    };

    InstallRemoval();

    // Reads the record. Fails (and says why in Error()) when the journal
    // cannot be read, is not private to the user running the removal, was
    // made by another user, or was superseded by a later installation of the
    // product into the same folder (whose removal is the one to run).
    status_t SetTo(const std::string& journalPath);

    const InstallRecordReader& Record() const { return fRecord; }
    const std::string& JournalPath() const { return fJournalPath; }
    const std::string& Error() const { return fError; }

    Plan MakePlan() const;

    // Called with the number of steps done, their total and what is being
    // undone, for a progress bar.
    using progress_hook = std::function<void(int32 done, int32 total, const std::string& what)>;
    void SetProgressHook(progress_hook hook) { fProgress = std::move(hook); }

    // Asked when what the installation moved aside cannot go back because
    // its old place is taken again: `original` is the old place, `movedTo`
    // where the item is now. True puts it back, and what took the place goes
    // to the trash (from where the user can take it out again); false, or
    // no hook, keeps both where they are.
    using taken_hook = std::function<bool(const std::string& original, const std::string& movedTo)>;
    void SetTakenHook(taken_hook hook) { fTaken = std::move(hook); }

    // Whether an earlier installation of the product that the installation
    // moved to the trash comes back (the default, as a roll-back of an
    // installation that did not finish needs). A removal of a finished
    // installation leaves it there unless the user asks for it: it holds
    // the old version, which the user replaced on purpose. Left there, it
    // is reported as left.
    void SetPutBackEarlierInstallation(bool putBack) { fPutBackEarlier = putBack; }
    // The rule of a removal the user asked for (after SetTo): the earlier
    // installation that a finished installation replaced stays in the trash
    // unless `asked`; one that an installation which did not finish moved
    // there comes back, as when it is rolled back.
    void ChooseEarlierInstallation(bool asked);

    // Undoes the installation. B_OK when nothing was kept or failed (items
    // the product left on purpose do not count); otherwise B_ERROR, and the
    // outcomes say what.
    status_t Run();

    const std::vector<Outcome>& Outcomes() const { return fOutcomes; }
    int32 Count(outcome_kind kind) const;
    // Nothing kept, failed or doubtful.
    bool Complete() const;
    // Where the removal log went ("" when it could not be written).
    const std::string& LogPath() const { return fLogPath; }
    // Whether the record was removed.
    bool RecordRemoved() const { return fRecordRemoved; }

    // The outcomes as text, one line each, as the log and the unattended
    // de-installer write them.
    std::string Report() const;

    // The records of the current scope that did not finish (stopped, failed
    // or interrupted) and were not superseded, for `appName` (every product
    // when empty): installations to roll back.
    static std::vector<std::string> FindUnfinished(const std::string& appName = std::string());

    // Rolls back an unfinished installation from its journal; the same as
    // SetTo and Run. *report receives Report() when given.
    static status_t RollBack(const std::string& journalPath, std::string* report = nullptr);

    // Where removal logs are kept for the current scope.
    static std::string LogFolder();

private:
    status_t CheckInstallFolder();
    void Note(outcome_kind kind, const std::string& path, const std::string& reason = {},
        why_code why = kWhyOther);
    void Advance(const std::string& what);
    // Opens the folder of a recorded path: below the installation folder
    // through its held handle without following links, elsewhere once
    // (InstallRemovalItems.cpp).
    status_t OpenFolderOf(const std::string& path, BPrivate::Descriptor* folder) const;
    // Unlinks an entry and notes it removed, or failed with the reason;
    // through its folder's handle.
    void UnlinkNoting(const std::string& path);
    void UnlinkAt(int folder, const std::string& path);

    void UndoStep(const InstallRecordReader::Step& step);
    void UndoItem(const InstallRecordReader::Step& step);
    bool PlacedByInstallation(const InstallRecordReader::Step& item) const;
    bool IsWhereItemsArePlaced(const std::string& path, int32 before) const;
    bool IsBesidePlacement(const std::string& scratch) const;
    bool HoldsWhatWasMovedAside(const std::string& path, int32 before) const;
    void UndoInterruptedItem(const std::string& path);
    bool CarriesTag(const std::string& path) const;
    void RemoveEntryFile(
        const BMessage& entry, int folder, const std::string& path, const struct stat& info);
    bool IsFolderItMade(const InstallRecordReader::Step& step);
    // What a folder that cannot go because it is not empty is reported as:
    // nothing (its contents say why), kept (it holds the user's files),
    // left (a shared folder that holds what others put there).
    enum folder_report { kFolderQuiet, kFolderKept, kFolderShared };
    void RemoveFolder(const std::string& path, folder_report report);
    void RemoveFolderAt(int folder, const std::string& path, folder_report report);
    void UndoLink(const InstallRecordReader::Step& step, bool desktopEntry);
    void UndoDisplaced(const InstallRecordReader::Step& step);
    void UndoOldInstall(const InstallRecordReader::Step& step);
    bool IsBackAlready(
        const std::string& path, const std::string& movedTo, const BMessage& displaced) const;
    void UndoScratch(const std::string& path);
    void UndoLog(const std::string& path);
    void UndoDeinstaller(const InstallRecordReader::Step& step);
    void UndoScript(const InstallRecordReader::Step& step);
    void RunFollowUps();
    bool PutBack(const std::string& from, const std::string& to, const BMessage& displaced);
    bool IsSavedFolderItMade() const;
    bool IsFolderItWasMovedFrom(const InstallRecordReader::Step& step) const;
    bool IsBlockOfOtherRecord(const std::string& path, const std::string& block);
    void ForEachOtherLiveRecord(const std::function<bool(const InstallRecordReader&)>& visit) const;
    bool IsLeftUnder(const std::string& folder) const;
    void WriteLog();
    void RemoveRecord();

    InstallRecordReader fRecord;
    std::string fJournalPath;
    std::string fError;
    std::string fInstallFolder;
    // The installation folder, held once it was found to be the one the
    // installation made: what lies below it is reached through this.
    BPrivate::Descriptor fFolder;
    std::string fSavedFolder;
    std::vector<Outcome> fOutcomes;
    std::vector<std::string> fLeft;
    std::vector<BMessage> fFollowUps;
    // The script blocks of the other live installations (file, bytes).
    std::vector<std::pair<std::string, std::string>> fOtherBlocks;
    bool fOtherBlocksRead = false;
    progress_hook fProgress;
    taken_hook fTaken;
    int32 fDone;
    int32 fTotal;
    std::string fLogPath;
    bool fRecordRemoved;
    bool fPutBackEarlier = true;
};
