#pragma once

// BMenuBar: a row of menu items, each opening its submenu below it when
// clicked.

#include <Menu.h>

enum menu_bar_border {
    B_BORDER_FRAME,
    B_BORDER_CONTENTS,
    B_BORDER_EACH_ITEM,
};

class BMenuBar : public BMenu {
public:
    BMenuBar(BRect frame, const char* name,
        uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
        menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
    ~BMenuBar() override;

    virtual void SetBorder(menu_bar_border border);
    menu_bar_border Border() const;

    void AttachedToWindow() override;
    void DetachedFromWindow() override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void FrameResized(float width, float height) override;

    // Opens the menu of the item at `menuIndex` as from the keyboard, with
    // its marked (or first) item highlighted; Command+Escape does this for
    // the window's key menu bar. The other arguments are the original
    // API's; the menu always stays open until an item is chosen or Escape.
    void StartMenuBar(
        int32 menuIndex, bool sticky = true, bool showMenu = false, BRect* specialRect = nullptr);

protected:
    // Opens the item's submenu below the item, or sends an item without one.
    void OpenItem(BMenuItem* item, bool fromKeyboard);

private:
    menu_bar_border fBorder = B_BORDER_FRAME;
    bool fResizeToFitBar;
};
