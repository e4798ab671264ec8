#include <PictureButton.h>

#include <Window.h>

BPictureButton::BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on,
    BMessage* message, uint32 behavior, uint32 resizingMode, uint32 flags)
    : BControl(frame, name, nullptr, message, resizingMode, flags)
    , fEnabledOff(Copy(off))
    , fEnabledOn(Copy(on))
    , fBehavior(behavior)
{
}

BPictureButton::~BPictureButton() = default;

std::unique_ptr<BPicture> BPictureButton::Copy(const BPicture* picture)
{
    return picture != nullptr ? std::make_unique<BPicture>(*picture) : nullptr;
}

void BPictureButton::AttachedToWindow()
{
    BControl::AttachedToWindow();
}

void BPictureButton::Draw(BRect /*updateRect*/)
{
    bool on = Value() == B_CONTROL_ON;
    BPicture* picture = nullptr;
    bool dimmed = false;
    if (IsEnabled()) {
        picture = on ? fEnabledOn.get() : fEnabledOff.get();
    } else {
        picture = on ? fDisabledOn.get() : fDisabledOff.get();
        if (picture == nullptr) {
            // Without a disabled picture, the enabled one is shown faded.
            picture = on ? fEnabledOn.get() : fEnabledOff.get();
            dimmed = true;
        }
    }
    if (picture != nullptr)
        DrawPicture(picture, B_ORIGIN);
    if (dimmed) {
        rgb_color veil = LowColor();
        veil.alpha = 128;
        SetHighColor(veil);
        SetDrawingMode(B_OP_ALPHA);
        FillRect(Bounds());
        SetDrawingMode(B_OP_COPY);
    }
    if (IsFocus() && Window() != nullptr && Window()->IsActive() && IsEnabled()) {
        SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
        StrokeRect(Bounds());
    }
}

void BPictureButton::MouseDown(BPoint /*where*/)
{
    if (!IsEnabled())
        return;
    SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
    fTrackingMouse = true;
    fPressedInside = true;
    SetTracking(true);
    if (fBehavior == B_ONE_STATE_BUTTON)
        SetValue(B_CONTROL_ON);
}

void BPictureButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (fTrackingMouse) {
        fPressedInside = Bounds().Contains(where);
        if (fBehavior == B_ONE_STATE_BUTTON)
            SetValue(fPressedInside ? B_CONTROL_ON : B_CONTROL_OFF);
    }
    BControl::MouseMoved(where, transit, dragMessage);
}

void BPictureButton::MouseUp(BPoint where)
{
    if (!fTrackingMouse)
        return;
    fTrackingMouse = false;
    SetTracking(false);
    bool inside = Bounds().Contains(where);
    if (fBehavior == B_ONE_STATE_BUTTON) {
        SetValue(B_CONTROL_OFF);
        if (inside)
            Invoke();
    } else if (inside) {
        SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
        Invoke();
    }
}

void BPictureButton::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
        if (!IsEnabled())
            return;
        if (fBehavior == B_TWO_STATE_BUTTON)
            SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
        Invoke();
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}

void BPictureButton::SetEnabledOn(BPicture* picture)
{
    fEnabledOn = Copy(picture);
    Invalidate();
}

void BPictureButton::SetEnabledOff(BPicture* picture)
{
    fEnabledOff = Copy(picture);
    Invalidate();
}

void BPictureButton::SetDisabledOn(BPicture* picture)
{
    fDisabledOn = Copy(picture);
    Invalidate();
}

void BPictureButton::SetDisabledOff(BPicture* picture)
{
    fDisabledOff = Copy(picture);
    Invalidate();
}

BPicture* BPictureButton::EnabledOn() const
{
    return fEnabledOn.get();
}

BPicture* BPictureButton::EnabledOff() const
{
    return fEnabledOff.get();
}

BPicture* BPictureButton::DisabledOn() const
{
    return fDisabledOn.get();
}

BPicture* BPictureButton::DisabledOff() const
{
    return fDisabledOff.get();
}

void BPictureButton::SetBehavior(uint32 behavior)
{
    fBehavior = behavior;
}

uint32 BPictureButton::Behavior() const
{
    return fBehavior;
}

void BPictureButton::SetValue(int32 value)
{
    BControl::SetValue(value != B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
}

status_t BPictureButton::Invoke(BMessage* message)
{
    return BControl::Invoke(message);
}
