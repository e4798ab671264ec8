#pragma once

// BCheckBox: a box that is checked (value B_CONTROL_ON) or not, with a label.
// A click, or Space or Enter while it has the focus, toggles it and sends its
// message.

#include <Control.h>

class BCheckBox : public BControl {
public:
    BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BCheckBox() override;

    void Draw(BRect updateRect) override;
    void AttachedToWindow() override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void SetValue(int32 value) override;
    void GetPreferredSize(float* width, float* height) override;

private:
    BRect BoxFrame() const;

    bool fPressed = false;
    bool fTrackingMouse = false;
};
