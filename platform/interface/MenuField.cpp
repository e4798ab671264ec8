#include <MenuField.h>

#include <Font.h>
#include <MenuItem.h>
#include <Window.h>

#include "ControlLook.h"
#include "RenderAccess.h"
#include "WindowAccess.h"

#include <cmath>

namespace look = BPrivate::ControlLook;

namespace {

// The room of the pop-up marker at the right end of the box.
constexpr float kMarkerRoom = 12;

} // namespace

namespace BPrivate {

// The pop-up box of a menu field: a menu bar with one item, whose submenu is
// the field's menu, drawn as a raised box with a drop shadow.
class MenuFieldBar : public BMenuBar {
public:
    MenuFieldBar(BRect frame, BMenuField* field)
        : BMenuBar(frame, "_mf_menubar_", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_ITEMS_IN_ROW, false)
        , fField(field)
    {
        SetFlags(Flags() & ~B_NAVIGABLE);
    }

    void Draw(BRect /*updateRect*/) override
    {
        rgb_color base = ui_color(B_MENU_BACKGROUND_COLOR);
        bool enabled = IsEnabled();
        BRect box = Bounds();
        // A drop shadow along the right and bottom edges.
        SetHighColor(
            enabled ? look::Darken(base, B_DARKEN_4_TINT) : look::Darken(base, B_DARKEN_2_TINT));
        StrokeLine(BPoint(box.right, box.top + 1), box.RightBottom());
        StrokeLine(BPoint(box.left + 1, box.bottom), box.RightBottom());
        box.right--;
        box.bottom--;
        SetHighColor(
            enabled ? look::Darken(base, B_DARKEN_3_TINT) : look::Darken(base, B_DARKEN_1_TINT));
        StrokeRect(box);
        BRect face = box.InsetByCopy(1, 1);
        SetHighColor(enabled ? look::Lighten(base, B_LIGHTEN_1_TINT) : base);
        FillRect(face);
        if (enabled) {
            BeginLineArray(4);
            AddLine(face.LeftBottom(), face.LeftTop(), look::Lighten(base, B_LIGHTEN_MAX_TINT));
            AddLine(face.LeftTop(), face.RightTop(), look::Lighten(base, B_LIGHTEN_MAX_TINT));
            AddLine(face.RightTop() + BPoint(0, 1), face.RightBottom(), base);
            AddLine(face.LeftBottom() + BPoint(1, 0), face.RightBottom(), base);
            EndLineArray();
        }

        BMenuItem* item = ItemAt(int32(0));
        const char* label = item != nullptr ? item->Label() : "";
        float room = face.Width() - 6 - (fField->fShowMarker ? kMarkerRoom : 0);
        BFont font;
        GetFont(&font);
        std::string shown
            = BPrivate::RenderAccess::Font(font).TruncateString(label, B_TRUNCATE_END, room);
        float baseline = look::CenteredBaseline(this, box);
        float x = face.left + 3;
        SetHighColor(look::LabelColor(base, enabled));
        SetDrawingMode(B_OP_OVER);
        DrawString(shown.c_str(), BPoint(x, baseline));
        SetDrawingMode(B_OP_COPY);
        if (fField->IsFocus() && Window() != nullptr && Window()->IsActive() && enabled) {
            float width = std::max(4.0f, StringWidth(shown.c_str()));
            look::DrawFocusLine(this, x, x + width - 1, baseline + 2);
        }
        if (fField->fShowMarker) {
            BRect marker(face.right - kMarkerRoom + 2, face.top, face.right - 2, face.bottom);
            look::DrawArrow(this, marker, look::kArrowDown, look::LabelColor(base, enabled));
        }
    }

    void AttachedToWindow() override
    {
        // Not the window's key menu bar: only install the items, past the
        // menu bar's own hook on purpose.
        BMenu::AttachedToWindow(); // NOLINT(bugprone-parent-virtual-call)
    }

    void MouseDown(BPoint /*where*/) override
    {
        if (!fField->IsEnabled())
            return;
        fField->OpenMenu(false);
    }

private:
    friend class ::BMenuField;

    BMenuField* fField;
};

} // namespace BPrivate

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
    uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags)
{
    InitField(label, menu, false);
}

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
    bool fixedSize, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags)
{
    InitField(label, menu, fixedSize);
}

BMenuField::~BMenuField() = default;

void BMenuField::InitField(const char* label, BMenu* menu, bool fixedSize)
{
    fHasLabel = label != nullptr;
    fLabel = label != nullptr ? label : "";
    fFixedSize = fixedSize;
    fWantsNavigation = (Flags() & B_NAVIGABLE) != 0;
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    fDivider = fHasLabel && !fLabel.empty() ? std::ceil(StringWidth(fLabel.c_str())) + 5 : 0;

    fMenu = menu;
    fMenuBar = new BPrivate::MenuFieldBar(BRect(0, 0, 10, 10), this);
    if (menu != nullptr) {
        fMenuBar->AddItem(menu);
        BMenuItem* marked = menu->FindMarked();
        if (marked != nullptr && menu->IsLabelFromMarked())
            MenuItem()->SetLabel(marked->Label());
    }
    AddChild(fMenuBar);
    PlaceMenuBar();
}

void BMenuField::PlaceMenuBar()
{
    // The box is as tall as a line of its font and some room, centred in the
    // field (never taller than the field).
    BRect bounds = Bounds();
    font_height height;
    fMenuBar->GetFontHeight(&height);
    float natural = std::ceil(height.ascent) + std::ceil(height.descent) + 7;
    float boxHeight = std::min(natural, bounds.Height());
    float top = std::floor(bounds.top + (bounds.Height() - boxHeight) / 2);
    float left = fDivider > 0 ? fDivider + 1 : bounds.left;
    fMenuBar->MoveTo(left, top);
    fMenuBar->ResizeTo(std::max(4.0f, bounds.right - left), boxHeight);
}

float BMenuField::LabelBaseline()
{
    return look::CenteredBaseline(this, fMenuBar->Frame());
}

void BMenuField::Draw(BRect /*updateRect*/)
{
    if (!fHasLabel || fLabel.empty())
        return;
    float width = StringWidth(fLabel.c_str());
    float x = 0;
    if (fAlignment == B_ALIGN_RIGHT)
        x = fDivider - 5 - width;
    else if (fAlignment == B_ALIGN_CENTER)
        x = std::floor((fDivider - width) / 2);
    rgb_color base
        = ViewColor() == B_TRANSPARENT_COLOR ? ui_color(B_PANEL_BACKGROUND_COLOR) : ViewColor();
    SetHighColor(look::LabelColor(base, fEnabled));
    SetDrawingMode(B_OP_OVER);
    DrawString(fLabel.c_str(), BPoint(x, LabelBaseline()));
    SetDrawingMode(B_OP_COPY);
}

void BMenuField::AttachedToWindow()
{
    if (Parent() != nullptr && Parent()->ViewColor() != B_TRANSPARENT_COLOR) {
        SetViewColor(Parent()->ViewColor());
        SetLowColor(Parent()->ViewColor());
    }
    BView::AttachedToWindow();
}

void BMenuField::AllAttached()
{
    PlaceMenuBar();
    BView::AllAttached();
}

void BMenuField::MouseDown(BPoint where)
{
    // A click on the label does nothing; the box opens the menu itself.
    BView::MouseDown(where);
}

void BMenuField::OpenMenu(bool fromKeyboard)
{
    if (!fEnabled || fMenu == nullptr || Window() == nullptr)
        return;
    if (!IsFocus() && fWantsNavigation)
        MakeFocus(true);
    BWindow* window = Window();
    BRect box = fMenuBar->Frame();
    BPoint below = ConvertToScreen(BPoint(box.left, box.bottom + 1));
    window->ConvertFromScreen(&below);
    // Below the box when the menu fits there, else above it.
    fMenu->ResizeToPreferred();
    BPoint where = below;
    if (below.y + fMenu->Bounds().Height() > window->Bounds().bottom) {
        BPoint above = ConvertToScreen(BPoint(box.left, box.top - 1));
        window->ConvertFromScreen(&above);
        where.y = std::max(0.0f, above.y - fMenu->Bounds().Height());
    }
    bool pressed = !fromKeyboard && BPrivate::WindowAccess::MouseButtons(window) != 0;
    BMenuBar* bar = fMenuBar;
    bar->Invalidate();
    BPrivate::WindowAccess::OpenMenu(
        window, fMenu, where, pressed,
        [bar](BMenuItem* chosen) {
            if (chosen != nullptr)
                chosen->Invoke();
            bar->Invalidate();
        },
        fromKeyboard);
}

void BMenuField::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER || bytes[0] == B_DOWN_ARROW)) {
        OpenMenu(true);
        return;
    }
    BView::KeyDown(bytes, numBytes);
}

void BMenuField::MakeFocus(bool focused)
{
    if (focused == IsFocus())
        return;
    BView::MakeFocus(focused);
    fMenuBar->Invalidate();
}

void BMenuField::MessageReceived(BMessage* message)
{
    BView::MessageReceived(message);
}

void BMenuField::WindowActivated(bool active)
{
    BView::WindowActivated(active);
    if (IsFocus())
        fMenuBar->Invalidate();
}

void BMenuField::FrameResized(float width, float height)
{
    BView::FrameResized(width, height);
    PlaceMenuBar();
    Invalidate();
}

void BMenuField::GetPreferredSize(float* width, float* height)
{
    font_height fontHeight;
    fMenuBar->GetFontHeight(&fontHeight);
    float widest = 0;
    if (fMenu != nullptr) {
        for (int32 i = 0; i < fMenu->CountItems(); i++)
            widest = std::max(widest, fMenuBar->StringWidth(fMenu->ItemAt(i)->Label()));
    }
    if (width != nullptr)
        *width = fDivider + 1 + std::ceil(widest) + 8 + kMarkerRoom;
    if (height != nullptr)
        *height = std::ceil(fontHeight.ascent) + std::ceil(fontHeight.descent) + 7;
}

void BMenuField::ResizeToPreferred()
{
    BView::ResizeToPreferred();
    PlaceMenuBar();
}

BMenu* BMenuField::Menu() const
{
    return fMenu;
}

BMenuBar* BMenuField::MenuBar() const
{
    return fMenuBar;
}

BMenuItem* BMenuField::MenuItem() const
{
    return fMenuBar->ItemAt(int32(0));
}

void BMenuField::SetLabel(const char* label)
{
    fHasLabel = label != nullptr;
    fLabel = label != nullptr ? label : "";
    Invalidate();
}

const char* BMenuField::Label() const
{
    return fHasLabel ? fLabel.c_str() : nullptr;
}

void BMenuField::SetEnabled(bool enabled)
{
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    fMenuBar->SetEnabled(enabled);
    if (!enabled) {
        if (IsFocus())
            MakeFocus(false);
        SetFlags(Flags() & ~B_NAVIGABLE);
    } else if (fWantsNavigation) {
        SetFlags(Flags() | B_NAVIGABLE);
    }
    Invalidate();
    fMenuBar->Invalidate();
}

bool BMenuField::IsEnabled() const
{
    return fEnabled;
}

void BMenuField::SetAlignment(alignment label)
{
    fAlignment = label;
    Invalidate();
}

alignment BMenuField::Alignment() const
{
    return fAlignment;
}

void BMenuField::SetDivider(float divider)
{
    fDivider = std::max(0.0f, std::floor(divider));
    PlaceMenuBar();
    Invalidate();
}

float BMenuField::Divider() const
{
    return fDivider;
}

void BMenuField::ShowPopUpMarker()
{
    fShowMarker = true;
    fMenuBar->Invalidate();
}

void BMenuField::HidePopUpMarker()
{
    fShowMarker = false;
    fMenuBar->Invalidate();
}
