#pragma once

// LibFilePanel: the library's file panel, with its own reference filter
// (LibRefFilter) built in, ways to set the panel's folder, its state (folder
// and window frame) to keep between uses, and an optional "Format" menu
// whose marked item goes with the panel's answer as "marked".
//
// The panel is not modal, and it is not hidden when the user confirms: its
// owner hides it once it accepts the choice.

#include <FilePanel.h>
#include <FindDirectory.h>
#include <Rect.h>

#include "LibRefFilter.h"

class BLooper;
class BMenu;

// Where a panel was, to put it back there.
struct LibFilePanelState {
    entry_ref folder;
    BRect frame;
};

class LibFilePanel : public BFilePanel {
public:
    // The panel sends a message of `command` to `target` when the user
    // confirms; `nodeFlavors` says which kinds of entry may be chosen.
    LibFilePanel(file_panel_mode mode, BLooper* target, const uint32& command,
        const uint32& nodeFlavors, const bool& multipleSelection);
    LibFilePanel(file_panel_mode mode, BMessenger* target, const uint32& command,
        const uint32& nodeFlavors, const bool& multipleSelection);
    // Hides the panel and quits its window.
    ~LibFilePanel() override;

    // Adds "marked" (the label of the marked Format item) to the answer.
    void SendMessage(const BMessenger* target, BMessage* message) override;

    // The filter the panel lists its entries with.
    LibRefFilter& Filter() { return fFilter; }

    // Shows the folder that holds the one shown now.
    void SetToParentDirectory();
    using BFilePanel::SetPanelDirectory;
    // Shows a standard folder (nothing when it has no place here).
    void SetPanelDirectory(const directory_which& which);

    // The folder shown and the window's frame.
    bool GetState(LibFilePanelState& state) const;
    // Shows the folder again (when it is still there) and puts the window
    // back where it was, as large as it was; a frame that is off the screen
    // now keeps the window where it is.
    void SetState(const LibFilePanelState& state);

    // Appends an item to the "Format" menu of the panel's menu bar, made
    // (in radio mode) with the first item, and marks it when asked.
    void AddFormatMenuItem(const char* label, const bool& marked);

private:
    LibFilePanel(file_panel_mode mode, BMessenger target, const uint32& command,
        const uint32& nodeFlavors, const bool& multipleSelection);

    BMenu* FormatMenu();

    BMenu* fFormatMenu = nullptr;
    LibRefFilter fFilter;
};
