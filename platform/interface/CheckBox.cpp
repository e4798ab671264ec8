#include <CheckBox.h>

#include <Window.h>

#include "ControlLook.h"

#include <cmath>

namespace look = BPrivate::ControlLook;

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
    uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags)
{
}

BCheckBox::~BCheckBox() = default;

BRect BCheckBox::BoxFrame() const
{
    // A square as tall as the font's ascent plus a little, centred on the
    // line of the label.
    font_height fontHeight;
    GetFontHeight(&fontHeight);
    float size = std::ceil(fontHeight.ascent) + 3;
    BRect bounds = Bounds();
    float top = std::floor(bounds.top + (bounds.Height() - size) / 2);
    return BRect(bounds.left + 1, top, bounds.left + 1 + size, top + size);
}

void BCheckBox::Draw(BRect /*updateRect*/)
{
    rgb_color base = LowColor();
    BRect box = BoxFrame();
    look::DrawCheckBox(this, box, base, Value() == B_CONTROL_ON, IsEnabled(), fPressed);

    const char* label = Label();
    if (label == nullptr)
        return;
    float x = box.right + 6;
    float baseline = look::CenteredBaseline(this, Bounds());
    SetHighColor(look::LabelColor(base, IsEnabled()));
    SetDrawingMode(B_OP_OVER);
    DrawString(label, BPoint(x, baseline));
    SetDrawingMode(B_OP_COPY);
    if (IsFocus() && Window() != nullptr && Window()->IsActive() && IsEnabled())
        look::DrawFocusLine(this, x, x + StringWidth(label) - 1, baseline + 2);
}

void BCheckBox::AttachedToWindow()
{
    BControl::AttachedToWindow();
}

void BCheckBox::MouseDown(BPoint /*where*/)
{
    if (!IsEnabled())
        return;
    SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
    fTrackingMouse = true;
    fPressed = true;
    SetTracking(true);
    Invalidate();
}

void BCheckBox::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (fTrackingMouse) {
        bool inside = Bounds().Contains(where);
        if (inside != fPressed) {
            fPressed = inside;
            Invalidate();
        }
    }
    BControl::MouseMoved(where, transit, dragMessage);
}

void BCheckBox::MouseUp(BPoint where)
{
    if (!fTrackingMouse)
        return;
    fTrackingMouse = false;
    fPressed = false;
    SetTracking(false);
    Invalidate();
    if (IsEnabled() && Bounds().Contains(where)) {
        SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
        Invoke();
    }
}

void BCheckBox::SetValue(int32 value)
{
    BControl::SetValue(value != B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
}

void BCheckBox::GetPreferredSize(float* width, float* height)
{
    font_height fontHeight;
    GetFontHeight(&fontHeight);
    float textHeight = std::ceil(fontHeight.ascent) + std::ceil(fontHeight.descent);
    float box = std::ceil(fontHeight.ascent) + 3;
    const char* label = Label() != nullptr ? Label() : "";
    if (width != nullptr)
        *width = box + 8 + std::ceil(StringWidth(label));
    if (height != nullptr)
        *height = std::max(box + 2, textHeight + 2);
}
