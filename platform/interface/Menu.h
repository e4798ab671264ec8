#pragma once

// BMenu: a list of menu items, shown as a column that pops up over its
// window (or as a row, in a menu bar). Marking an item in radio mode unmarks
// the others; with "label from marked" the item that opens the menu (in a
// menu bar or a menu field) shows the marked item's label.

#include <View.h>

#include <vector>

class BMenuItem;

namespace BPrivate {
class MenuTracker;
}

enum menu_layout {
    B_ITEMS_IN_ROW = 0,
    B_ITEMS_IN_COLUMN,
    B_ITEMS_IN_MATRIX,
};

class BMenu : public BView {
public:
    explicit BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
    BMenu(const char* name, float width, float height);
    ~BMenu() override;

    void AttachedToWindow() override;
    void DetachedFromWindow() override;
    void Draw(BRect updateRect) override;
    void GetPreferredSize(float* width, float* height) override;
    void ResizeToPreferred() override;
    void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;

    bool AddItem(BMenuItem* item);
    bool AddItem(BMenuItem* item, int32 index);
    bool AddItem(BMenuItem* item, BRect frame);
    bool AddItem(BMenu* submenu);
    bool AddItem(BMenu* submenu, int32 index);
    bool AddSeparatorItem();
    bool RemoveItem(BMenuItem* item);
    BMenuItem* RemoveItem(int32 index);
    bool RemoveItems(int32 index, int32 count, bool deleteItems = false);
    bool RemoveItem(BMenu* submenu);

    BMenuItem* ItemAt(int32 index) const;
    BMenu* SubmenuAt(int32 index) const;
    int32 CountItems() const;
    int32 IndexOf(BMenuItem* item) const;
    int32 IndexOf(BMenu* submenu) const;
    BMenuItem* FindItem(uint32 command) const;
    BMenuItem* FindItem(const char* label) const;

    virtual status_t SetTargetForItems(BHandler* target);
    virtual status_t SetTargetForItems(BMessenger messenger);
    virtual void SetEnabled(bool enabled);
    virtual void SetRadioMode(bool on);
    virtual void SetTriggersEnabled(bool enabled);
    virtual void SetMaxContentWidth(float maxWidth);
    void SetLabelFromMarked(bool on);
    bool IsLabelFromMarked();
    bool IsEnabled() const;
    bool IsRadioMode() const;
    bool AreTriggersEnabled() const;
    float MaxContentWidth() const;

    BMenuItem* FindMarked();
    int32 FindMarkedIndex();

    BMenu* Supermenu() const;
    BMenuItem* Superitem() const;

    void SetItemMargins(float left, float top, float right, float bottom);
    void GetItemMargins(float* left, float* top, float* right, float* bottom) const;

protected:
    BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags, menu_layout layout,
        bool resizeToFit);

    menu_layout Layout() const { return fLayout; }
    // Lays the items out (their frames, in the menu's coordinates) and
    // returns the size that holds them.
    BRect LayoutItems();
    BMenuItem* ItemAt(BPoint where) const;
    void SetHighlighted(BMenuItem* item);
    BMenuItem* Highlighted() const { return fHighlighted; }

private:
    friend class BMenuItem;
    friend class BPrivate::MenuTracker;

    void ItemMarked(BMenuItem* item);
    void ItemChanged(BMenuItem* item);
    void InstallItems(BWindow* window);

    std::vector<BMenuItem*> fItems;
    menu_layout fLayout;
    BMenuItem* fSuperitem = nullptr;
    BMenuItem* fHighlighted = nullptr;
    BWindow* fInstalledWindow = nullptr;
    float fLeftMargin;
    float fTopMargin;
    float fRightMargin;
    float fBottomMargin;
    float fMaxContentWidth = 0;
    bool fEnabled = true;
    bool fRadioMode = false;
    bool fLabelFromMarked = false;
    bool fTriggersEnabled = true;
    bool fResizeToFit = true;
};
