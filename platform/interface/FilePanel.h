#pragma once

// BFilePanel: a window in which the user chooses files or folders to open,
// or a folder and a name to save under. The panel lists one folder at a
// time, folders first, and offers the folder's parents and the mounted
// volumes to move around. When the user confirms, the panel sends its
// message to its target: with "refs" (one entry_ref per chosen entry) in an
// open panel, with "directory" (the folder's entry_ref) and "name" in a save
// panel. Cancel, Escape and the close box hide the panel and send B_CANCEL
// (with "old_what", the code of the panel's message).
//
// Below the list, a check box shows the entries whose names start with a
// dot (hidden on Linux), a button makes a new folder in the folder shown
// (it asks for the name, then selects the new folder), and in an open panel
// a field takes a typed path: Enter there goes to the folder ("~" is the
// home folder, a relative path starts at the folder shown); the default
// button with a path typed goes there and chooses it.
//
// Which entries may be chosen follows the node flavours: B_FILE_NODE (the
// default), B_DIRECTORY_NODE and B_SYMLINK_NODE. In an open panel for folders
// (B_DIRECTORY_NODE without B_FILE_NODE) the default button chooses the
// selected folders, or the folder shown when none is selected; a double
// click (or Command+Down) still opens a folder. A symbolic link is judged by
// what it points to unless links themselves may be chosen.
//
// BRefFilter decides which entries are listed: Filter() is called for each
// one with its reference, its node, its stat record and its MIME type
// ("application/x-vnd.Be-directory" for folders,
// "application/x-vnd.Be-volume" for the roots of volumes,
// "application/x-vnd.Be-symlink" for links, the node's type for files).
// The panel neither copies nor deletes its filter.
//
// The panel's calls may be made from any thread; the window has a thread of
// its own, on which the hooks (SendMessage, SelectionChanged, WasHidden) run.
// The panel keeps copies of the target and message it is given.

#include <EntryRef.h>
#include <Messenger.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <sys/stat.h>
#include <time.h>

class BDirectory;
class BEntry;
class BMessage;
class BNode;
class BWindow;

namespace BPrivate {
class FilePanelWindow;
}

enum file_panel_mode {
    B_OPEN_PANEL,
    B_SAVE_PANEL,
};

enum file_panel_button {
    B_CANCEL_BUTTON,
    B_DEFAULT_BUTTON,
};

// The panel's own words besides its two buttons, for a program that shows
// them in its language (SetPanelText). English by default; the messages
// take the name or path they are about for their "%s".
enum file_panel_text {
    B_PANEL_TITLE_TEXT, // the window's title: "Open" or "Save"
    B_PANEL_PARENT_TEXT, // the button that goes up: "Parent"
    B_PANEL_VOLUMES_TEXT, // the menu of volumes: "Volumes"
    B_PANEL_HIDDEN_TEXT, // "Show hidden files" ("... folders" for folders)
    B_PANEL_NEW_FOLDER_TEXT, // the button that makes a folder: "New Folder"
    B_PANEL_FOLDER_NAME_TEXT, // what it asks: "Name of the new folder:"
    B_PANEL_CREATE_TEXT, // the button that makes it: "Create"
    B_PANEL_GO_TO_TEXT, // the label of the field for a typed path: "Go to:"
    B_PANEL_NO_FOLDER_TEXT, // "There is no folder \"%s\"."
    B_PANEL_NAME_TAKEN_TEXT, // "Something named \"%s\" is already there."
    B_PANEL_BAD_NAME_TEXT, // "\"%s\" cannot be the name of a folder."
    B_PANEL_CANNOT_MAKE_TEXT, // "The folder \"%s\" cannot be made here."
    B_PANEL_TEXT_COUNT
};

// The stat record handed to filters: the fields of a Linux one (reached by
// the same names) and a creation time. Filters get it as a `struct stat`,
// as on the original platform; one that wants the creation time casts.
struct stat_beos : public stat {
    time_t st_crtime = 0;
};

class BRefFilter {
public:
    virtual ~BRefFilter();

    // Whether the entry is listed. `stat` points to a stat_beos.
    virtual bool Filter(const entry_ref* ref, BNode* node, struct stat* stat, const char* mimeType)
        = 0;
};

class BFilePanel {
public:
    BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = nullptr,
        const entry_ref* directory = nullptr, uint32 nodeFlavors = 0,
        bool allowMultipleSelection = true, BMessage* message = nullptr,
        BRefFilter* filter = nullptr, bool modal = false, bool hideWhenDone = true);
    virtual ~BFilePanel();

    BFilePanel(const BFilePanel&) = delete;
    BFilePanel& operator=(const BFilePanel&) = delete;

    // Showing does not wait for the user.
    void Show();
    void Hide();
    bool IsShowing() const;

    // Hooks. SendMessage delivers the panel's answer to the target; the
    // others tell of a hidden panel and of a changed selection.
    virtual void WasHidden();
    virtual void SelectionChanged();
    virtual void SendMessage(const BMessenger* target, BMessage* message);

    // The panel's window; null once it has been quit (by the program
    // quitting, or by a caller that locked it and called Quit()).
    BWindow* Window() const;
    BMessenger Messenger() const;
    BRefFilter* RefFilter() const;
    file_panel_mode PanelMode() const;
    uint32 NodeFlavors() const;
    bool HidesWhenDone() const;

    void SetTarget(BMessenger target);
    // Copies the message; NULL brings back the default (B_REFS_RECEIVED in
    // an open panel, B_SAVE_REQUESTED in a save panel).
    void SetMessage(BMessage* message);
    void SetRefFilter(BRefFilter* filter);
    void SetSaveText(const char* text);
    void SetButtonLabel(file_panel_button button, const char* label);
    void SetPanelText(file_panel_text which, const char* text);
    // Whether entries whose names start with a dot are listed, as the check
    // box sets it.
    void SetShowHidden(bool show);
    void SetNodeFlavors(uint32 flavors);
    void SetHideWhenDone(bool hideWhenDone);

    // Shows another folder. A place that is not a folder (or does not
    // exist) leaves the panel where it is.
    void SetPanelDirectory(const BEntry* entry);
    void SetPanelDirectory(const BDirectory* directory);
    void SetPanelDirectory(const entry_ref* ref);
    void SetPanelDirectory(const char* path);
    // The folder shown.
    status_t GetPanelDirectory(entry_ref* ref) const;

    // Reads the folder again.
    void Refresh();

    // The entries the user chose last, one by one; B_ENTRY_NOT_FOUND after
    // the last.
    void Rewind();
    status_t GetNextSelectedRef(entry_ref* ref);

private:
    friend class BPrivate::FilePanelWindow;

    BPrivate::FilePanelWindow* fWindow;
    BMessenger fWindowMessenger;
    file_panel_mode fMode;
};
