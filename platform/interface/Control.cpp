#include <Control.h>

#include <Window.h>

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
    uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags)
    , BInvoker(message, nullptr, nullptr)
    , fLabel(label != nullptr ? label : "")
    , fHasLabel(label != nullptr)
    , fWantsNavigation((flags & B_NAVIGABLE) != 0)
{
}

BControl::~BControl() = default;

void BControl::WindowActivated(bool active)
{
    BView::WindowActivated(active);
    if (IsFocus())
        Invalidate();
}

void BControl::AttachedToWindow()
{
    // Controls take their parent's colour, and send to their window unless
    // told otherwise.
    if (Parent() != nullptr) {
        rgb_color color = Parent()->ViewColor();
        if (color != B_TRANSPARENT_COLOR) {
            SetViewColor(color);
            SetLowColor(color);
        }
    } else {
        SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
        SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    }
    if (!Messenger().IsValid())
        SetTarget(Window());
    BView::AttachedToWindow();
}

void BControl::DetachedFromWindow()
{
    BView::DetachedFromWindow();
}

void BControl::AllAttached()
{
    BView::AllAttached();
}

void BControl::AllDetached()
{
    BView::AllDetached();
}

void BControl::MessageReceived(BMessage* message)
{
    BView::MessageReceived(message);
}

void BControl::MakeFocus(bool focused)
{
    if (focused == IsFocus())
        return;
    BView::MakeFocus(focused);
    if (Window() != nullptr) {
        fFocusChanging = true;
        Invalidate();
        fFocusChanging = false;
    }
}

void BControl::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
        if (!IsEnabled())
            return;
        SetValue(Value() != B_CONTROL_OFF ? B_CONTROL_OFF : B_CONTROL_ON);
        Invoke();
        return;
    }
    BView::KeyDown(bytes, numBytes);
}

void BControl::MouseDown(BPoint where)
{
    BView::MouseDown(where);
}

void BControl::MouseUp(BPoint where)
{
    BView::MouseUp(where);
}

void BControl::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    BView::MouseMoved(where, transit, dragMessage);
}

void BControl::SetLabel(const char* label)
{
    std::string text = label != nullptr ? label : "";
    if (text == fLabel && fHasLabel == (label != nullptr))
        return;
    fLabel = text;
    fHasLabel = label != nullptr;
    Invalidate();
}

const char* BControl::Label() const
{
    return fHasLabel ? fLabel.c_str() : nullptr;
}

void BControl::SetValue(int32 value)
{
    if (value == fValue)
        return;
    fValue = value;
    Invalidate();
}

int32 BControl::Value() const
{
    return fValue;
}

void BControl::SetEnabled(bool enabled)
{
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    // A disabled control is skipped by keyboard navigation.
    if (fEnabled && fWantsNavigation) {
        SetFlags(Flags() | B_NAVIGABLE);
    } else if (!fEnabled && (Flags() & B_NAVIGABLE) != 0) {
        fWantsNavigation = true;
        SetFlags(Flags() & ~B_NAVIGABLE);
        if (IsFocus())
            MakeFocus(false);
    }
    Invalidate();
}

bool BControl::IsEnabled() const
{
    return fEnabled;
}

void BControl::GetPreferredSize(float* width, float* height)
{
    BView::GetPreferredSize(width, height);
}

void BControl::ResizeToPreferred()
{
    BView::ResizeToPreferred();
}

status_t BControl::Invoke(BMessage* message)
{
    bool notify = false;
    uint32 kind = InvokeKind(&notify);
    if (message == nullptr && !notify)
        message = Message();
    if (message == nullptr)
        return B_BAD_VALUE;
    BMessage clone(*message);
    if (notify)
        clone.what = kind;
    clone.AddInt64("when", system_time());
    clone.AddPointer("source", this);
    clone.AddInt32("be:value", fValue);
    return BInvoker::Invoke(&clone);
}

bool BControl::IsFocusChanging() const
{
    return fFocusChanging;
}

bool BControl::IsTracking() const
{
    return fTracking;
}

void BControl::SetTracking(bool state)
{
    fTracking = state;
}

void BControl::SetValueNoUpdate(int32 value)
{
    fValue = value;
}
