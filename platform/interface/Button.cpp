#include <Button.h>

#include <Window.h>

#include "ControlLook.h"

#include <cmath>

namespace look = BPrivate::ControlLook;

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
    uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags)
{
}

BButton::~BButton() = default;

BRect BButton::FaceFrame() const
{
    BRect face = Bounds();
    if (fDefault)
        face.InsetBy(3, 3);
    return face;
}

void BButton::Draw(BRect /*updateRect*/)
{
    rgb_color base = LowColor();
    bool pressed = Value() == B_CONTROL_ON;
    look::DrawButton(this, Bounds(), base, pressed, IsEnabled(), fDefault);

    const char* label = Label() != nullptr ? Label() : "";
    BRect face = FaceFrame();
    float width = StringWidth(label);
    float x = std::floor(face.left + (face.Width() + 1 - width) / 2);
    float baseline = look::CenteredBaseline(this, face);
    SetHighColor(look::LabelColor(base, IsEnabled()));
    SetDrawingMode(B_OP_OVER);
    DrawString(label, BPoint(x, baseline));
    SetDrawingMode(B_OP_COPY);
    if (IsFocus() && Window() != nullptr && Window()->IsActive() && IsEnabled())
        look::DrawFocusLine(this, x, x + width - 1, baseline + 2);
}

void BButton::MouseDown(BPoint /*where*/)
{
    if (!IsEnabled())
        return;
    // The button follows the mouse until it is released: pressed while the
    // pointer is inside it, and sending its message only when released
    // there.
    SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
    fTrackingMouse = true;
    SetTracking(true);
    SetValue(B_CONTROL_ON);
}

void BButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (fTrackingMouse)
        SetValue(Bounds().Contains(where) ? B_CONTROL_ON : B_CONTROL_OFF);
    BControl::MouseMoved(where, transit, dragMessage);
}

void BButton::MouseUp(BPoint where)
{
    if (!fTrackingMouse)
        return;
    fTrackingMouse = false;
    SetTracking(false);
    bool inside = Bounds().Contains(where);
    SetValue(B_CONTROL_OFF);
    if (inside && IsEnabled())
        Invoke();
}

void BButton::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
        if (!IsEnabled())
            return;
        // Show the press, then send.
        SetValue(B_CONTROL_ON);
        if (Window() != nullptr)
            Window()->UpdateIfNeeded();
        SetValue(B_CONTROL_OFF);
        Invoke();
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}

void BButton::AttachedToWindow()
{
    BControl::AttachedToWindow();
    // A button made default before it was attached tells its window now.
    if (fDefault && Window() != nullptr && Window()->DefaultButton() != this)
        Window()->SetDefaultButton(this);
}

void BButton::WindowActivated(bool active)
{
    BControl::WindowActivated(active);
    if (fDefault)
        Invalidate();
}

void BButton::MakeDefault(bool flag)
{
    BWindow* window = Window();
    BButton* current = window != nullptr ? window->DefaultButton() : nullptr;
    if (flag) {
        if (!fDefault) {
            fDefault = true;
            ResizeBy(6, 6);
            MoveBy(-3, -3);
        }
        if (window != nullptr && current != this)
            window->SetDefaultButton(this);
    } else {
        if (!fDefault)
            return;
        fDefault = false;
        ResizeBy(-6, -6);
        MoveBy(3, 3);
        if (window != nullptr && current == this)
            window->SetDefaultButton(nullptr);
    }
    Invalidate();
}

bool BButton::IsDefault() const
{
    return fDefault;
}

void BButton::GetPreferredSize(float* width, float* height)
{
    font_height fontHeight;
    GetFontHeight(&fontHeight);
    const char* label = Label() != nullptr ? Label() : "";
    float w = std::ceil(StringWidth(label)) + 20;
    float h = std::ceil(fontHeight.ascent) + std::ceil(fontHeight.descent) + 10;
    if (fDefault) {
        w += 6;
        h += 6;
    }
    if (width != nullptr)
        *width = w;
    if (height != nullptr)
        *height = h;
}

void BButton::ResizeToPreferred()
{
    BControl::ResizeToPreferred();
}

status_t BButton::Invoke(BMessage* message)
{
    return BControl::Invoke(message);
}
