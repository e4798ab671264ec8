#pragma once

// BButton: a push button. It sends its message when the mouse is pressed and
// released inside it, or when Space or Enter is typed while it has the focus;
// the window's default button also answers Enter typed anywhere in the
// window.

#include <Control.h>

class BButton : public BControl {
public:
    BButton(BRect frame, const char* name, const char* label, BMessage* message,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BButton() override;

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void AttachedToWindow() override;
    void WindowActivated(bool active) override;

    // The default button is drawn with a heavier border, for which its frame
    // grows by 3 pixels on every side (and shrinks again when it stops being
    // the default); Enter typed in the window presses it.
    virtual void MakeDefault(bool flag);
    bool IsDefault() const;

    void GetPreferredSize(float* width, float* height) override;
    void ResizeToPreferred() override;
    status_t Invoke(BMessage* message = nullptr) override;

private:
    BRect FaceFrame() const;

    bool fDefault = false;
    bool fTrackingMouse = false;
};
