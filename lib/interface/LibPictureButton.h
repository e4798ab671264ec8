#pragma once

// LibPictureButton: a picture button made from raw 8-bit colour-mapped
// pixels held in the program (or from a bitmap resource of the program),
// with an optional tool tip: while the pointer is over the button, the
// application's tip manager is asked to show the tip (see LibTipManager).

#include <PictureButton.h>

#include <LibString.h>
#include <LibViewTip.h>

class LibPictureButton : public BPictureButton {
public:
    // A button of width × height pixels with its top left corner at
    // `where`. Each of `normal`, `pressed` and `disabled` (may be null) holds
    // width × height bytes of B_CMAP8 pixels, row after row. The button
    // sends a message of `command`; its label is its name.
    LibPictureButton(BPoint where, const int32& width, const int32& height, const char* name,
        const uint8* normal, const uint8* pressed, const uint32& command,
        const uint8* disabled = nullptr, uint32 behavior = B_ONE_STATE_BUTTON,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP);
    // A button that draws its own faces (light for the normal face, the
    // panel colour pressed) with the program's bitmap resource of that name
    // centred on them.
    LibPictureButton(BPoint where, const int32& width, const int32& height, const char* name,
        const char* resourceName, const uint32& command, uint32 behavior = B_ONE_STATE_BUTTON,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP);
    ~LibPictureButton() override;

    // Hides the tip before the press is handled.
    void MouseDown(BPoint where) override;
    // Asks for the tip when the pointer enters, and to hide it when it
    // leaves.
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MakeFocus(bool focused = true) override;

    // The tip and the code of its requests; an empty text means no tip.
    void AddTip(const uint32& code, const char* text) { fTip.Set(code, text); }
    bool IsFocused() const { return fFocused; }

private:
    bool fFocused = false;
    LibViewTip fTip { LibViewTip::kRightTop, BPoint(5, 1) };
};
