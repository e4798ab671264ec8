#pragma once

// BControl: a view with a label, a value and an enabled state that sends its
// message to a target when the user works it. The target is the window
// unless another one is set.

#include <Invoker.h>
#include <View.h>

#include <string>

enum {
    B_CONTROL_OFF = 0,
    B_CONTROL_ON = 1,
};

class BControl : public BView, public BInvoker {
public:
    BControl(BRect frame, const char* name, const char* label, BMessage* message,
        uint32 resizingMode, uint32 flags);
    ~BControl() override;

    void WindowActivated(bool active) override;
    void AttachedToWindow() override;
    void DetachedFromWindow() override;
    void AllAttached() override;
    void AllDetached() override;
    void MessageReceived(BMessage* message) override;
    void MakeFocus(bool focused = true) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;

    virtual void SetLabel(const char* label);
    const char* Label() const;
    virtual void SetValue(int32 value);
    int32 Value() const;
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;

    void GetPreferredSize(float* width, float* height) override;
    void ResizeToPreferred() override;

    // Sends the message with "when" (the time), "source" (this control) and
    // "be:value" (its value) added.
    status_t Invoke(BMessage* message = nullptr) override;

protected:
    bool IsFocusChanging() const;
    bool IsTracking() const;
    void SetTracking(bool state);
    void SetValueNoUpdate(int32 value);

private:
    std::string fLabel;
    bool fHasLabel;
    int32 fValue = B_CONTROL_OFF;
    bool fEnabled = true;
    bool fFocusChanging = false;
    bool fTracking = false;
    bool fWantsNavigation;
};
