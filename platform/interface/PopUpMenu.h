#pragma once

// BPopUpMenu: a menu that pops up where it is asked to, for a menu field or
// on its own with Go().
//
// Menus are laid over the views of a window rather than shown as windows of
// their own. Go() opens the menu in the window whose thread calls it, or
// else in the active window (or the front window under `where`).

#include <Menu.h>

class BPopUpMenu : public BMenu {
public:
    explicit BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
        menu_layout layout = B_ITEMS_IN_COLUMN);
    ~BPopUpMenu() override;

    // Opens the menu with its top left corner at `where` (screen
    // coordinates) and, unless `async`, waits until an item is chosen
    // (returned) or the menu is dismissed (null). With `deliversMessage` the
    // chosen item also sends its message. With `async` the call returns null
    // at once; the menu deletes itself when closed if AsyncAutoDestruct is
    // set.
    BMenuItem* Go(
        BPoint where, bool deliversMessage = false, bool openAnyway = false, bool async = false);
    BMenuItem* Go(
        BPoint where, bool deliversMessage, bool openAnyway, BRect clickToOpen, bool async = false);

    void SetAsyncAutoDestruct(bool state);
    bool AsyncAutoDestruct() const;

private:
    bool fAutoDestruct = false;
};
