#pragma once

// One run of the install pass (InstallConfig::Action): the state that lives
// from the press of Install to the end of the pass, and its steps. The
// configuration's named steps (GetNewPath, ReplaceControl, AddDeinstallTag,
// the log) reach the running pass through InstallConfig::fPass.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <Descriptor.h>
#include <FindDirectory.h>
#include <Message.h>

#include <LibAppResource.h>
#include <TextIds.h>
#include <oLocalize.h>

#include "InstallRecord.h"
#include "InstallRecordReader.h"

class InstallConfig;
struct ScriptEdit;

// The configuration's "req_disk_space_amount" value as a byte count (64-bit,
// negative or unreadable values as 0).
uint64 ConfiguredDiskSpace(const BMessage& configuration);

class InstallPass {
public:
    explicit InstallPass(InstallConfig& config);
    ~InstallPass();
    InstallPass(const InstallPass&) = delete;
    InstallPass& operator=(const InstallPass&) = delete;

    status_t Run();
    // The requirements check (InstallConfig::CheckSystemResources).
    int32 CheckRequirements();

    InstallRecord& Record() { return fRecord; }
    // Where the item that is being placed comes from, for the replace
    // dialog: the folder it was in when the installer was made (or the
    // installer itself), never the scratch folder it waits in.
    const std::string& ItemOrigin() const { return fItemOrigin; }
    // Whether the last collision kept the existing item because the user
    // answered so, rather than because it could not be moved aside: then
    // the new item is placed nowhere.
    bool Declined() const { return fDeclined; }
    void SetDeclined(bool declined) { fDeclined = declined; }
    oLocalize& Texts() { return *fTexts; }
    const std::string& InstallFolder() const { return fInstallFolder; }
    const std::string& SavedFolder() const { return fSavedFolder; }
    bool SaveReplaced() const { return !fSavedFolder.empty(); }

    // A line for the completion message and the record: something that did
    // not work.
    void AddFailure(const std::string& text);

    // The text of a localized id, and a localized printf format (safe for
    // the English arguments).
    std::string Text(int32 id);
    std::string Format(int32 id, ...);

    // Local date and time of the clock, as the log writes them.
    std::string DateTimeText(time_t when) const;
    time_t Now() const;

    // Moves an existing item aside so that a new one can take its place:
    // into "Saved Files" (under a unique name), beside itself under the next
    // free " copy" name, or to the trash. Recorded; false (and a log line)
    // when it could not be moved.
    enum displace_action { kDisplaceSave, kDisplaceRename, kDisplaceTrash };
    bool Displace(const std::string& path, displace_action action);
    // The same for `leaf` in the folder held by `folder` (whose path is
    // `folderPath`): checked, hashed and moved through that handle and the
    // held "Saved Files", never through a name that may have been swapped.
    bool DisplaceAt(
        int folder, const std::string& folderPath, const std::string& leaf, displace_action action);
    // The handle of `folder`: the one the item or link being placed holds
    // when it is that folder, otherwise opened into *opened as the pass
    // opens destinations. -1 (and a log line) when it cannot be held.
    int HeldFolderFor(const std::string& folder, BPrivate::Descriptor* opened);

    // Creates the folder and the missing folders above it, each recorded
    // before it is made. False (with a log line) when one cannot be made.
    bool MakeFolders(const std::string& path);

    // A private scratch folder (".brenvik-XXXXXX") in the folder held by
    // `folder` (whose path is `path`), where a new item is made before it is
    // renamed into its place, made and held (`held`) through that handle;
    // and its removal. Both are recorded, so that a crash leaves nothing
    // unnamed.
    bool MakeScratch(int folder, const std::string& path, std::string* scratch,
        BPrivate::Descriptor* held, int32* step);
    void RemoveScratch(int folder, const std::string& scratch, int32 step);

private:
    // A free place for `leaf` in the held "Saved Files" (in a numbered
    // folder made there when the name is taken): its folder's handle
    // (*folder, held by *numbered when it is a numbered one), the leaf, and
    // the path the record gives it. False (with a log line) when "Saved
    // Files" is no longer the folder made at its name or has no free place.
    bool UniqueSavedPlace(
        const std::string& leaf, int* folder, BPrivate::Descriptor* numbered, std::string* to);
    status_t MoveToTrash(int folder, const std::string& path, std::string* to);
    status_t MoveExactly(const std::string& from, const std::string& to);
    // Makes `leaf` in the folder held by `parent` (`path` in all) and holds
    // it, recorded as MakeFolders records; a link or another user's folder
    // at the name is refused. *made is false for one that was there.
    bool MakeRecordedFolder(int parent, const std::string& path, const std::string& leaf,
        BPrivate::Descriptor* folder, bool* made);
    static std::string TypeOf(const std::string& path);

    // Tells the user why the pass ends before it installs anything, with the
    // status line saying so (not the step it was at).
    void Refuse(const std::string& text);
    int32 CheckSpace();
    int32 CheckMemory();
    int32 CheckLibraries();
    int32 CheckApplications();
    bool AskToContinue(const std::string& text, bool required);

    status_t Prepare(std::string* error);
    // The folders the pass will write into (InstallPassTrust.cpp), and, in
    // the system scope, the refusal of any of them that another user could
    // change (TrustedFolders.h): B_NOT_ALLOWED with *error naming it.
    std::vector<std::string> FoldersWrittenInto();
    status_t CheckSystemFolders(std::string* error);
    // Whether an existing item may go to its volume's trash: in the system
    // scope, only to a trash no other user could change (a log line says
    // why not).
    bool TrashIsTrusted(const std::string& path);
    status_t CreateRecord();
    status_t MakeInstallFolder();
    std::string FolderProblem(const std::string& folder);
    // Makes "Saved Files" in the installation folder, once, in the record;
    // whether it is there to save into.
    bool MakeSavedFolder();
    status_t OpenInstallFolder(BMessage* made);
    // Holds a folder items or links go to: the installation folder's own
    // handle, a folder below it reached through that handle without
    // following links, any other opened once (InstallPassFolders.cpp).
    status_t OpenDestination(const std::string& folder, BPrivate::Descriptor* held);
    // Renames `leaf` from one held folder to another, never over anything.
    status_t MoveBetween(int from, int to, const std::string& leaf);
    status_t MoveAt(int from, const std::string& fromLeaf, int to, const std::string& toLeaf);
    void WriteLogHeader();
    void CreateDeinstaller();
    BMessage DeinstallerConfiguration();
    void CreateStartupFolder();
    void InstallItems();
    void InstallItem(int32 index, BMessage& item);
    // Reports the bytes of the item being extracted to the front end as they
    // are written, every kItemProgressStep of them: an item of gigabytes
    // takes a while. Empty when nobody observes the pass.
    std::function<void(const BPrivate::ZipExtractProgress&)> ItemProgress(uint64 itemSize);
    bool ExtractAndPlace(int32 index, const std::string& leaf, const std::string& folder,
        const BMessage& meta, bool elsewhere, std::string* placed);
    status_t PlaceItem(int staged, int folder, const std::string& target, int32 index,
        const std::string& leaf, bool deinstallable);
    void SetDates(int folder, const std::string& leaf, int32 index);
    void NoteFollowUps(const std::string& path);
    void RunFollowUps();
    void TagStaged(const std::string& staged, std::set<std::string>* tagged);
    void RecordTree(const std::string& path, const std::string& recorded,
        const std::set<std::string>& tagged, int32 step, BMessage* result);
    void PlaceLink(
        const BMessage& meta, const std::string& item, const std::string& leaf, bool deinstallable);
    status_t PlaceLinkFile(int staged, int folder, const std::string& target,
        const std::string& item, bool entry, bool deinstallable);
    void EditScripts();
    // Why the configuration's script contents cannot be written (a line that
    // reads as a block marker), or "" when they can.
    std::string ScriptContentsProblem();
    // Puts a block into a script (EditScriptFile) under a record step, and
    // logs what happened ("Added script tab" when `announce`). False, with
    // a failure noted, when the edit or its record failed.
    bool EditScript(const directory_which& folder, const char* script, const std::string& tag,
        const std::string& contents, bool announce, ScriptEdit* edit);
    void CloseLog();
    void FinishRecord(const char* state, int32 failures = 0);
    status_t Stopped();

    InstallConfig& fConfig;
    std::unique_ptr<oLocalize> fTexts;
    std::unique_ptr<LibAppResource> fEntries;
    InstallRecord fRecord;
    std::string fTag;
    std::string fVolumeName;
    std::string fDestination;
    std::string fInstallFolder;
    // The installation folder, held from the moment it is made: what the
    // pass writes directly into it goes through this handle, so that a name
    // swapped meanwhile is never followed.
    BPrivate::Descriptor fFolder;
    std::string fSavedFolder;
    // "Saved Files", held from the moment it is made.
    BPrivate::Descriptor fSaved;
    // Whether "Saved Files" was made (or making it failed) in this pass.
    bool fSavedFolderTried = false;
    // The folder the item or link being placed goes to, held by the step
    // that places it (ItemFolderScope), for the collision rule.
    int fItemFolder = -1;
    std::string fItemFolderPath;
    friend class ItemFolderScope;
    BMessage fCustomFolders;
    BMessage fInstructions;
    bool fItemAsk;
    bool fItemRemembered;
    bool fLinkAsk;
    bool fLinkRemembered;
    // What must run once the items are placed: the loader's cache of a
    // system library folder, the desktop's database of applications folders.
    std::vector<std::string> fLibraryFolders;
    std::vector<std::string> fDesktopFolders;
    int32 fTotal;
    int32 fDone;
    // The pass's progress while its items are installed (null otherwise).
    struct InstallProgress* fProgress = nullptr;
    // Why the installation folder could not be made, for the user.
    std::string fFolderProblem;
    time_t fStart;
    std::string fItemOrigin;
    bool fDeclined = false;
};

// While it lives, the collision rule of the pass finds `folder` (`path`)
// held by the step that places an item or link in it.
class ItemFolderScope {
public:
    ItemFolderScope(InstallPass& pass, int folder, const std::string& path)
        : fPass(pass)
    {
        fPass.fItemFolder = folder;
        fPass.fItemFolderPath = path;
    }
    ~ItemFolderScope()
    {
        fPass.fItemFolder = -1;
        fPass.fItemFolderPath.clear();
    }
    ItemFolderScope(const ItemFolderScope&) = delete;
    ItemFolderScope& operator=(const ItemFolderScope&) = delete;

private:
    InstallPass& fPass;
};
