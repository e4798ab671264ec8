#include <Menu.h>

#include <Font.h>
#include <MenuItem.h>
#include <Window.h>

#include "ControlLook.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The room beside an item's label: the mark column on the left, and the room
// for a submenu arrow or a shortcut on the right.
constexpr float kColumnLeftMargin = 14;
constexpr float kColumnRightMargin = 10;
constexpr float kColumnTopMargin = 1;
constexpr float kColumnBottomMargin = 2;
constexpr float kRowSideMargin = 8;
constexpr float kRowTopMargin = 2;
constexpr float kSeparatorHeight = 6;
constexpr float kSubmenuRoom = 12;

} // namespace

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 10, 10), name, B_FOLLOW_NONE, B_WILL_DRAW)
    , fLayout(layout)
{
    bool row = layout == B_ITEMS_IN_ROW;
    fLeftMargin = row ? kRowSideMargin : kColumnLeftMargin;
    fTopMargin = row ? kRowTopMargin : kColumnTopMargin;
    fRightMargin = row ? kRowSideMargin : kColumnRightMargin;
    fBottomMargin = row ? kRowTopMargin : kColumnBottomMargin;
    SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
    SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
    // Menus use the plain font at 12 points, as the original menus did.
    BFont font(be_plain_font);
    font.SetSize(12);
    BView::SetFont(&font);
}

BMenu::BMenu(const char* name, float width, float height)
    : BMenu(name, B_ITEMS_IN_MATRIX)
{
    ResizeTo(width, height);
    fResizeToFit = false;
}

BMenu::BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags, menu_layout layout,
    bool resizeToFit)
    : BView(frame, name, resizingMode, flags)
    , fLayout(layout)
    , fResizeToFit(resizeToFit)
{
    bool row = layout == B_ITEMS_IN_ROW;
    fLeftMargin = row ? kRowSideMargin : kColumnLeftMargin;
    fTopMargin = row ? kRowTopMargin : kColumnTopMargin;
    fRightMargin = row ? kRowSideMargin : kColumnRightMargin;
    fBottomMargin = row ? kRowTopMargin : kColumnBottomMargin;
    SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
    SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
    BFont font(be_plain_font);
    font.SetSize(12);
    BView::SetFont(&font);
}

BMenu::~BMenu()
{
    std::vector<BMenuItem*> items;
    items.swap(fItems);
    for (BMenuItem* item : items) {
        item->Uninstall();
        item->SetSuper(nullptr);
        delete item;
    }
    if (fSuperitem != nullptr && fSuperitem->fSubmenu == this)
        fSuperitem->fSubmenu = nullptr;
}

void BMenu::AttachedToWindow()
{
    InstallItems(Window());
    LayoutItems();
    BView::AttachedToWindow();
}

void BMenu::DetachedFromWindow()
{
    SetHighlighted(nullptr);
    BView::DetachedFromWindow();
}

void BMenu::SetFont(const BFont* font, uint32 mask)
{
    BView::SetFont(font, mask);
    LayoutItems();
    Invalidate();
}

// #pragma mark - items

bool BMenu::AddItem(BMenuItem* item)
{
    return AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index)
{
    if (item == nullptr || index < 0 || index > CountItems() || item->fSuper != nullptr)
        return false;
    fItems.insert(fItems.begin() + index, item);
    item->SetSuper(this);
    if (fInstalledWindow != nullptr)
        item->Install(fInstalledWindow);
    if (item->IsMarked())
        ItemMarked(item);
    LayoutItems();
    Invalidate();
    return true;
}

bool BMenu::AddItem(BMenuItem* item, BRect frame)
{
    if (fLayout != B_ITEMS_IN_MATRIX || !AddItem(item))
        return false;
    item->fFrame = frame;
    return true;
}

bool BMenu::AddItem(BMenu* submenu)
{
    return AddItem(submenu, CountItems());
}

bool BMenu::AddItem(BMenu* submenu, int32 index)
{
    if (submenu == nullptr)
        return false;
    BMenuItem* item = new BMenuItem(submenu);
    if (!AddItem(item, index)) {
        item->fSubmenu = nullptr;
        submenu->fSuperitem = nullptr;
        delete item;
        return false;
    }
    return true;
}

bool BMenu::AddSeparatorItem()
{
    return AddItem(new BSeparatorItem);
}

bool BMenu::RemoveItem(BMenuItem* item)
{
    int32 index = IndexOf(item);
    return index >= 0 && RemoveItem(index) != nullptr;
}

BMenuItem* BMenu::RemoveItem(int32 index)
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    BMenuItem* item = fItems[size_t(index)];
    if (fHighlighted == item)
        SetHighlighted(nullptr);
    fItems.erase(fItems.begin() + index);
    item->Uninstall();
    item->SetSuper(nullptr);
    LayoutItems();
    Invalidate();
    return item;
}

bool BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
    if (index < 0 || count < 0 || index + count > CountItems())
        return false;
    for (int32 i = 0; i < count; i++) {
        BMenuItem* item = RemoveItem(index);
        if (deleteItems)
            delete item;
    }
    return true;
}

bool BMenu::RemoveItem(BMenu* submenu)
{
    int32 index = IndexOf(submenu);
    if (index < 0)
        return false;
    BMenuItem* item = RemoveItem(index);
    // The submenu leaves with its item; the caller owns the submenu.
    item->fSubmenu = nullptr;
    submenu->fSuperitem = nullptr;
    delete item;
    return true;
}

BMenuItem* BMenu::ItemAt(int32 index) const
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[size_t(index)];
}

BMenu* BMenu::SubmenuAt(int32 index) const
{
    BMenuItem* item = ItemAt(index);
    return item != nullptr ? item->Submenu() : nullptr;
}

int32 BMenu::CountItems() const
{
    return int32(fItems.size());
}

int32 BMenu::IndexOf(BMenuItem* item) const
{
    auto found = std::find(fItems.begin(), fItems.end(), item);
    return found == fItems.end() ? -1 : int32(found - fItems.begin());
}

int32 BMenu::IndexOf(BMenu* submenu) const
{
    for (int32 i = 0; i < CountItems(); i++) {
        if (fItems[size_t(i)]->Submenu() == submenu)
            return i;
    }
    return -1;
}

BMenuItem* BMenu::FindItem(uint32 command) const
{
    for (BMenuItem* item : fItems) {
        if (item->Message() != nullptr && item->Message()->what == command)
            return item;
        if (item->Submenu() != nullptr) {
            if (BMenuItem* found = item->Submenu()->FindItem(command))
                return found;
        }
    }
    return nullptr;
}

BMenuItem* BMenu::FindItem(const char* label) const
{
    if (label == nullptr)
        return nullptr;
    for (BMenuItem* item : fItems) {
        if (std::strcmp(item->Label(), label) == 0)
            return item;
        if (item->Submenu() != nullptr) {
            if (BMenuItem* found = item->Submenu()->FindItem(label))
                return found;
        }
    }
    return nullptr;
}

status_t BMenu::SetTargetForItems(BHandler* target)
{
    status_t status = B_OK;
    for (BMenuItem* item : fItems) {
        status_t result = item->SetTarget(target);
        if (result != B_OK)
            status = result;
    }
    return status;
}

status_t BMenu::SetTargetForItems(BMessenger messenger)
{
    for (BMenuItem* item : fItems)
        item->SetTarget(messenger);
    return B_OK;
}

// #pragma mark - settings

void BMenu::SetEnabled(bool enabled)
{
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    if (fSuperitem != nullptr)
        fSuperitem->SetEnabled(enabled);
    Invalidate();
}

void BMenu::SetRadioMode(bool on)
{
    fRadioMode = on;
    if (!on)
        fLabelFromMarked = false;
}

void BMenu::SetTriggersEnabled(bool enabled)
{
    fTriggersEnabled = enabled;
}

void BMenu::SetMaxContentWidth(float maxWidth)
{
    fMaxContentWidth = maxWidth;
}

void BMenu::SetLabelFromMarked(bool on)
{
    fLabelFromMarked = on;
    if (on)
        fRadioMode = true;
}

bool BMenu::IsLabelFromMarked()
{
    return fLabelFromMarked;
}

bool BMenu::IsEnabled() const
{
    if (!fEnabled)
        return false;
    BMenu* super = Supermenu();
    return super == nullptr || super->IsEnabled();
}

bool BMenu::IsRadioMode() const
{
    return fRadioMode;
}

bool BMenu::AreTriggersEnabled() const
{
    return fTriggersEnabled;
}

float BMenu::MaxContentWidth() const
{
    return fMaxContentWidth;
}

BMenuItem* BMenu::FindMarked()
{
    for (BMenuItem* item : fItems) {
        if (item->IsMarked())
            return item;
    }
    return nullptr;
}

int32 BMenu::FindMarkedIndex()
{
    return IndexOf(FindMarked());
}

BMenu* BMenu::Supermenu() const
{
    return fSuperitem != nullptr ? fSuperitem->Menu() : nullptr;
}

BMenuItem* BMenu::Superitem() const
{
    return fSuperitem;
}

void BMenu::SetItemMargins(float left, float top, float right, float bottom)
{
    fLeftMargin = left;
    fTopMargin = top;
    fRightMargin = right;
    fBottomMargin = bottom;
    LayoutItems();
}

void BMenu::GetItemMargins(float* left, float* top, float* right, float* bottom) const
{
    if (left != nullptr)
        *left = fLeftMargin;
    if (top != nullptr)
        *top = fTopMargin;
    if (right != nullptr)
        *right = fRightMargin;
    if (bottom != nullptr)
        *bottom = fBottomMargin;
}

// #pragma mark - internal

void BMenu::ItemMarked(BMenuItem* item)
{
    if (fRadioMode) {
        for (BMenuItem* other : fItems) {
            if (other != item && other->fMarked) {
                other->fMarked = false;
                ItemChanged(other);
            }
        }
    }
    if (fLabelFromMarked && fSuperitem != nullptr)
        fSuperitem->SetLabel(item->Label());
}

void BMenu::ItemChanged(BMenuItem* /*item*/)
{
    LayoutItems();
    Invalidate();
}

void BMenu::InstallItems(BWindow* window)
{
    fInstalledWindow = window;
    for (BMenuItem* item : fItems)
        item->Install(window);
}

BMenuItem* BMenu::ItemAt(BPoint where) const
{
    for (BMenuItem* item : fItems) {
        if (item->fFrame.Contains(where))
            return item;
    }
    return nullptr;
}

void BMenu::SetHighlighted(BMenuItem* item)
{
    if (item == fHighlighted)
        return;
    if (fHighlighted != nullptr)
        fHighlighted->Highlight(false);
    fHighlighted = item;
    if (item != nullptr)
        item->Highlight(true);
}

// #pragma mark - layout and drawing

BRect BMenu::LayoutItems()
{
    if (fLayout == B_ITEMS_IN_MATRIX)
        return Bounds();
    if (fLayout == B_ITEMS_IN_ROW) {
        float x = 1;
        float height = Bounds().Height();
        for (BMenuItem* item : fItems) {
            float width = 0;
            item->GetContentSize(&width, nullptr);
            item->fFrame = BRect(x, 0, x + width + fLeftMargin + fRightMargin - 1, height);
            x = item->fFrame.right + 1;
        }
        return BRect(0, 0, x, height);
    }
    float y = 1;
    float widest = 0;
    for (BMenuItem* item : fItems) {
        float width = 0;
        float height = 0;
        item->GetContentSize(&width, &height);
        float itemHeight
            = item->IsSeparator() ? kSeparatorHeight : height + fTopMargin + fBottomMargin;
        float room = width + fLeftMargin + fRightMargin;
        if (item->Submenu() != nullptr)
            room += kSubmenuRoom;
        else if (item->Shortcut() != 0)
            room += kSubmenuRoom + 4;
        widest = std::max(widest, room);
        item->fFrame = BRect(1, y, 1, y + itemHeight - 1);
        y += itemHeight;
    }
    if (fMaxContentWidth > 0)
        widest = std::min(widest, fMaxContentWidth + fLeftMargin + fRightMargin);
    widest = std::max(widest, 20.0f);
    for (BMenuItem* item : fItems)
        item->fFrame.right = widest;
    return BRect(0, 0, widest + 1, y);
}

void BMenu::GetPreferredSize(float* width, float* height)
{
    BRect size = LayoutItems();
    if (width != nullptr)
        *width = size.Width();
    if (height != nullptr)
        *height = size.Height();
}

void BMenu::ResizeToPreferred()
{
    float width = 0;
    float height = 0;
    GetPreferredSize(&width, &height);
    ResizeTo(width, height);
}

void BMenu::Draw(BRect updateRect)
{
    if (fLayout == B_ITEMS_IN_COLUMN) {
        rgb_color base = ui_color(B_MENU_BACKGROUND_COLOR);
        SetHighColor(tint_color(base, B_DARKEN_3_TINT));
        StrokeRect(Bounds());
    }
    for (BMenuItem* item : fItems) {
        if (item->Frame().Intersects(updateRect))
            item->Draw();
    }
}
