#include <MenuBar.h>

#include <MenuItem.h>
#include <Window.h>

#include "ControlLook.h"
#include "WindowAccess.h"

#include <cmath>

BMenuBar::BMenuBar(
    BRect frame, const char* name, uint32 resizingMode, menu_layout layout, bool resizeToFit)
    : BMenu(frame, name, resizingMode, B_WILL_DRAW | B_FRAME_EVENTS, layout, resizeToFit)
    , fResizeToFitBar(resizeToFit)
{
}

BMenuBar::~BMenuBar() = default;

void BMenuBar::SetBorder(menu_bar_border border)
{
    fBorder = border;
    Invalidate();
}

menu_bar_border BMenuBar::Border() const
{
    return fBorder;
}

void BMenuBar::AttachedToWindow()
{
    BMenu::AttachedToWindow();
    if (fResizeToFitBar && Layout() == B_ITEMS_IN_ROW) {
        // As tall as one line of items.
        font_height height;
        GetFontHeight(&height);
        float top = 0;
        float bottom = 0;
        GetItemMargins(nullptr, &top, nullptr, &bottom);
        ResizeTo(Bounds().Width(),
            std::ceil(height.ascent) + std::ceil(height.descent) + top + bottom + 1);
        LayoutItems();
    }
    if (Window() != nullptr && Window()->KeyMenuBar() == nullptr)
        Window()->SetKeyMenuBar(this);
}

void BMenuBar::DetachedFromWindow()
{
    if (Window() != nullptr && Window()->KeyMenuBar() == this)
        Window()->SetKeyMenuBar(nullptr);
    BMenu::DetachedFromWindow();
}

void BMenuBar::Draw(BRect updateRect)
{
    rgb_color base = ui_color(B_MENU_BACKGROUND_COLOR);
    BRect bounds = Bounds();
    BeginLineArray(2);
    AddLine(bounds.LeftTop(), bounds.RightTop(), tint_color(base, B_LIGHTEN_MAX_TINT));
    AddLine(bounds.LeftBottom(), bounds.RightBottom(), tint_color(base, B_DARKEN_2_TINT));
    EndLineArray();
    BMenu::Draw(updateRect);
}

void BMenuBar::MouseDown(BPoint where)
{
    if (!IsEnabled())
        return;
    BMenuItem* item = ItemAt(where);
    if (item == nullptr || !item->IsEnabled())
        return;
    OpenItem(item, false);
}

void BMenuBar::StartMenuBar(
    int32 menuIndex, bool /*sticky*/, bool /*showMenu*/, BRect* /*specialRect*/)
{
    BMenuItem* item = ItemAt(menuIndex);
    if (!IsEnabled() || Window() == nullptr || item == nullptr || !item->IsEnabled())
        return;
    OpenItem(item, true);
}

void BMenuBar::OpenItem(BMenuItem* item, bool fromKeyboard)
{
    BWindow* window = Window();
    if (window == nullptr)
        return;
    if (item->Submenu() == nullptr) {
        item->Invoke();
        return;
    }
    SetHighlighted(item);
    BPoint where = ConvertToScreen(item->Frame().LeftBottom() + BPoint(0, 1));
    window->ConvertFromScreen(&where);
    bool pressed = !fromKeyboard && BPrivate::WindowAccess::MouseButtons(window) != 0;
    status_t status = BPrivate::WindowAccess::OpenMenu(
        window, item->Submenu(), where, pressed,
        [this](BMenuItem* chosen) {
            SetHighlighted(nullptr);
            if (chosen != nullptr)
                chosen->Invoke();
        },
        fromKeyboard);
    if (status != B_OK)
        SetHighlighted(nullptr);
}

void BMenuBar::FrameResized(float width, float height)
{
    BMenu::FrameResized(width, height);
    LayoutItems();
    Invalidate();
}
