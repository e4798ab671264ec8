#include <MenuItem.h>

#include <Menu.h>
#include <Message.h>
#include <Window.h>

#include "ControlLook.h"
#include "WindowAccess.h"

#include <cctype>
#include <cmath>

namespace look = BPrivate::ControlLook;

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : BInvoker(message, nullptr, nullptr)
    , fLabel(label != nullptr ? label : "")
    , fShortcut(shortcut)
    , fModifiers(shortcut != 0 ? modifiers | B_COMMAND_KEY : 0)
{
}

BMenuItem::BMenuItem(BMenu* menu, BMessage* message)
    : BInvoker(message, nullptr, nullptr)
    , fLabel(menu != nullptr && menu->Name() != nullptr ? menu->Name() : "")
    , fSubmenu(menu)
    , fShortcut(0)
    , fModifiers(0)
{
    if (menu != nullptr)
        menu->fSuperitem = this;
}

BMenuItem::~BMenuItem()
{
    if (fSubmenu != nullptr) {
        fSubmenu->fSuperitem = nullptr;
        // A submenu that is open goes with the menus of its window.
        if (fSubmenu->Window() != nullptr)
            BPrivate::WindowAccess::CloseMenus(fSubmenu->Window());
        if (fSubmenu->Window() != nullptr)
            fSubmenu->RemoveSelf();
        delete fSubmenu;
    }
}

void BMenuItem::SetLabel(const char* name)
{
    std::string label = name != nullptr ? name : "";
    if (label == fLabel)
        return;
    fLabel = label;
    if (fSuper != nullptr)
        fSuper->ItemChanged(this);
}

void BMenuItem::SetEnabled(bool enabled)
{
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    if (fSubmenu != nullptr)
        fSubmenu->SetEnabled(enabled);
    if (fSuper != nullptr)
        fSuper->ItemChanged(this);
}

void BMenuItem::SetMarked(bool marked)
{
    if (marked && fSuper != nullptr)
        fSuper->ItemMarked(this);
    if (marked == fMarked)
        return;
    fMarked = marked;
    if (fSuper != nullptr)
        fSuper->ItemChanged(this);
}

void BMenuItem::SetTrigger(char trigger)
{
    fTrigger = trigger;
}

void BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
    if (fWindow != nullptr && fShortcut != 0)
        fWindow->RemoveShortcut(uint32(fShortcut), fModifiers);
    fShortcut = shortcut;
    fModifiers = shortcut != 0 ? modifiers | B_COMMAND_KEY : 0;
    if (fWindow != nullptr)
        Install(fWindow);
}

const char* BMenuItem::Label() const
{
    return fLabel.c_str();
}

bool BMenuItem::IsEnabled() const
{
    return fEnabled && (fSuper == nullptr || fSuper->IsEnabled());
}

bool BMenuItem::IsMarked() const
{
    return fMarked;
}

char BMenuItem::Trigger() const
{
    return fTrigger;
}

char BMenuItem::Shortcut(uint32* modifiers) const
{
    if (modifiers != nullptr)
        *modifiers = fModifiers;
    return fShortcut;
}

BMenu* BMenuItem::Submenu() const
{
    return fSubmenu;
}

BMenu* BMenuItem::Menu() const
{
    return fSuper;
}

BRect BMenuItem::Frame() const
{
    return fFrame;
}

status_t BMenuItem::Invoke(BMessage* message)
{
    if (!IsEnabled())
        return B_ERROR;
    if (fSuper != nullptr && fSuper->IsRadioMode())
        SetMarked(true);
    bool notify = false;
    InvokeKind(&notify);
    if (message == nullptr && !notify)
        message = Message();
    if (message == nullptr)
        return B_BAD_VALUE;
    BMessage clone(*message);
    clone.AddInt32("index", fSuper != nullptr ? fSuper->IndexOf(this) : -1);
    clone.AddInt64("when", system_time());
    clone.AddPointer("source", this);
    return BInvoker::Invoke(&clone);
}

void BMenuItem::Install(BWindow* window)
{
    fWindow = window;
    if (window == nullptr)
        return;
    // Items without a target of their own send to their menu's window.
    if (!Messenger().IsValid())
        SetTarget(window);
    if (fSubmenu != nullptr)
        fSubmenu->InstallItems(window);
    if (fShortcut != 0 && Message() != nullptr)
        window->AddShortcut(uint32(fShortcut), fModifiers, new BMessage(*Message()), window);
}

void BMenuItem::Uninstall()
{
    if (fWindow != nullptr && fShortcut != 0)
        fWindow->RemoveShortcut(uint32(fShortcut), fModifiers);
    fWindow = nullptr;
}

void BMenuItem::SetSuper(BMenu* menu)
{
    fSuper = menu;
}

void BMenuItem::GetContentSize(float* width, float* height)
{
    font_height fontHeight;
    fSuper->GetFontHeight(&fontHeight);
    if (width != nullptr)
        *width = std::ceil(fSuper->StringWidth(fLabel.c_str()));
    if (height != nullptr)
        *height = std::ceil(fontHeight.ascent) + std::ceil(fontHeight.descent);
}

BPoint BMenuItem::ContentLocation() const
{
    float left = 0;
    float top = 0;
    fSuper->GetItemMargins(&left, &top, nullptr, nullptr);
    return BPoint(fFrame.left + left, fFrame.top + top);
}

void BMenuItem::DrawContent()
{
    font_height fontHeight;
    fSuper->GetFontHeight(&fontHeight);
    BPoint where = ContentLocation();
    fSuper->DrawString(fLabel.c_str(), BPoint(where.x, where.y + std::ceil(fontHeight.ascent)));
}

void BMenuItem::Draw()
{
    if (fSuper == nullptr)
        return;
    BMenu* menu = fSuper;
    rgb_color base = ui_color(B_MENU_BACKGROUND_COLOR);
    bool enabled = IsEnabled();
    bool selected = fSelected && enabled;
    if (selected) {
        menu->SetHighColor(ui_color(B_MENU_SELECTED_BACKGROUND_COLOR));
        menu->FillRect(fFrame);
    }
    rgb_color text = !enabled ? tint_color(base, B_DISABLED_LABEL_TINT)
        : selected            ? ui_color(B_MENU_SELECTED_ITEM_TEXT_COLOR)
                              : ui_color(B_MENU_ITEM_TEXT_COLOR);
    menu->SetHighColor(text);
    menu->SetDrawingMode(B_OP_OVER);
    DrawContent();
    menu->SetDrawingMode(B_OP_COPY);

    if (menu->Layout() != B_ITEMS_IN_COLUMN)
        return;
    float middle = std::floor((fFrame.top + fFrame.bottom) / 2);
    if (fMarked) {
        // A check mark in the left margin.
        float x = fFrame.left + 3;
        menu->SetHighColor(text);
        menu->SetPenSize(2);
        menu->StrokeLine(BPoint(x, middle), BPoint(x + 2, middle + 3));
        menu->StrokeLine(BPoint(x + 2, middle + 3), BPoint(x + 7, middle - 3));
        menu->SetPenSize(1);
    }
    if (fSubmenu != nullptr) {
        BRect arrow(fFrame.right - 10, middle - 4, fFrame.right - 4, middle + 4);
        look::DrawArrow(menu, arrow, look::kArrowRight, text);
    } else if (fShortcut != 0) {
        char key[2] = { char(std::toupper(uint8(fShortcut))), 0 };
        float width = menu->StringWidth(key);
        font_height fontHeight;
        menu->GetFontHeight(&fontHeight);
        menu->SetHighColor(text);
        menu->SetDrawingMode(B_OP_OVER);
        menu->DrawString(key,
            BPoint(fFrame.right - 6 - width, ContentLocation().y + std::ceil(fontHeight.ascent)));
        menu->SetDrawingMode(B_OP_COPY);
    }
}

void BMenuItem::Highlight(bool highlighted)
{
    fSelected = highlighted;
    if (fSuper != nullptr && fSuper->Window() != nullptr)
        fSuper->Invalidate(fFrame);
}

bool BMenuItem::IsSelected() const
{
    return fSelected;
}

// #pragma mark - BSeparatorItem

BSeparatorItem::BSeparatorItem()
    : BMenuItem("", nullptr)
{
    BMenuItem::SetEnabled(false);
}

BSeparatorItem::~BSeparatorItem() = default;

void BSeparatorItem::SetEnabled(bool /*enabled*/)
{
    // A separator is never chosen.
}

void BSeparatorItem::GetContentSize(float* width, float* height)
{
    if (width != nullptr)
        *width = 2;
    if (height != nullptr)
        *height = 4;
}

void BSeparatorItem::Draw()
{
    BMenu* menu = Menu();
    if (menu == nullptr)
        return;
    rgb_color base = ui_color(B_MENU_BACKGROUND_COLOR);
    BRect frame = Frame();
    float y = std::floor((frame.top + frame.bottom) / 2);
    menu->BeginLineArray(2);
    menu->AddLine(
        BPoint(frame.left + 1, y), BPoint(frame.right - 1, y), tint_color(base, B_DARKEN_2_TINT));
    menu->AddLine(BPoint(frame.left + 1, y + 1), BPoint(frame.right - 1, y + 1),
        tint_color(base, B_LIGHTEN_MAX_TINT));
    menu->EndLineArray();
}
