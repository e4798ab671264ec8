#pragma once

// BAlert: a modal window with a message, an icon and up to three buttons.
//
// Go() shows it and waits for a button, from any thread: the alert has its
// own window thread, so the caller's windows (and, when the caller is a
// worker, everything else) keep running meanwhile; a window that calls Go()
// on its own thread keeps drawing. Go() returns the pressed button's index
// (0 to 2, left to right), or -1 when the alert was closed without a button
// (the program quit); the alert is deleted either way. Go(BInvoker*) returns
// at once and sends the invoker's message with "which" when a button is
// pressed.
//
// Keys: Enter presses the default button (the rightmost); a button's
// shortcut (SetShortcut) presses it; Escape presses the first button (the
// leftmost, by the platform's convention the one that declines) unless
// another button has Escape as its shortcut. The window's close box (where
// the display draws one) answers as Escape does: it never leaves the alert
// unanswered, and never does more than its cancel button.
//
// An alert made without a title (null or "") takes the program's default
// alert title (SetDefaultTitle), so that the window list and the title bar
// name the program that asks. Tab and Shift+Tab move the focus
// among the buttons (and any control a subclass adds to the text view, which
// comes first), marked with the keyboard colour; Space presses the focused
// button or toggles the focused check box.

#include <Button.h>
#include <InterfaceDefs.h>
#include <TextView.h>
#include <Window.h>

#include <memory>
#include <string>

class BInvoker;

enum alert_type {
    B_EMPTY_ALERT = 0,
    B_INFO_ALERT,
    B_IDEA_ALERT,
    B_WARNING_ALERT,
    B_STOP_ALERT,
};

enum button_spacing {
    B_EVEN_SPACING = 0,
    B_OFFSET_SPACING,
};

class BAlert : public BWindow {
public:
    BAlert(const char* title, const char* text, const char* button1, const char* button2 = nullptr,
        const char* button3 = nullptr, button_width width = B_WIDTH_AS_USUAL,
        alert_type type = B_INFO_ALERT);
    BAlert(const char* title, const char* text, const char* button1, const char* button2,
        const char* button3, button_width width, button_spacing spacing,
        alert_type type = B_INFO_ALERT);
    ~BAlert() override;

    void SetShortcut(int32 index, char key);
    char Shortcut(int32 index) const;

    int32 Go();
    status_t Go(BInvoker* invoker);

    void MessageReceived(BMessage* message) override;
    void FrameResized(float newWidth, float newHeight) override;

    BButton* ButtonAt(int32 index) const;
    BTextView* TextView() const;
    alert_type Type() const;
    int32 CountButtons() const;

    // Where an alert of this size is placed: centred on the front window (or
    // the screen), a little above the middle.
    static BPoint AlertPosition(float width, float height);

    // The message every button sends, with "which" = the button's index.
    static constexpr uint32 kMsgButton = 'ALTB';

    // The title of alerts made without one, from now on (a product's name);
    // until a program sets it, the program's file name.
    static void SetDefaultTitle(const char* title);
    static std::string DefaultTitle();

    // The index of the button that Escape and the close box press: the one
    // whose shortcut is Escape, else the first; -1 without buttons.
    int32 CancelIndex() const;

    struct WaitState;

private:
    void InitAlert(const char* text, const char* button1, const char* button2, const char* button3,
        button_width width, button_spacing spacing, alert_type type);
    void LayoutButtons(button_width width, button_spacing spacing);
    void Finish(int32 which);
    bool HandleKey(BMessage* message);
    void PressButton(int32 index);

    alert_type fType;
    BButton* fButtons[3] = {};
    char fKeys[3] = {};
    int32 fButtonCount = 0;
    BTextView* fTextView = nullptr;
    std::shared_ptr<WaitState> fWaitState;
    std::unique_ptr<BInvoker> fInvoker;
    bool fFinished = false;
};
