#pragma once

// LibWindow: the library's window base. It places a window at one of nine
// places on the screen or around another window, keeps it at the same
// relative place when the screen's resolution changes, makes Show() and
// Hide() idempotent (they never build up the platform's show and hide
// nesting), brings the window forward on request (Pop), and turns Shift+F1
// into a help request to the application.

#include <Window.h>

class LibWindow : public BWindow {
public:
    // The places of SetPosition, in reading order: a row of three at the top,
    // in the middle and at the bottom. Without a reference window they are
    // places on the main screen, 10 pixels from its edges; with one they are
    // places around it (left of, centred on, right of; above, centred on,
    // below).
    enum ScreenPosition : uint32 {
        kTopLeft = 0,
        kTopCenter = 1,
        kTopRight = 2,
        kCenterLeft = 3,
        kCenter = 4,
        kCenterRight = 5,
        kBottomLeft = 6,
        kBottomCenter = 7,
        kBottomRight = 8,
    };

    // The code of the help request that Shift+F1 posts to the application:
    // "window" (the window's title), "view" (the view under the mouse, then
    // each of its ancestors, innermost first) and, when InsertHelpRequest
    // adds some, "inserts".
    static constexpr uint32 kMsgHelpRequest = 'help';

    LibWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
        uint32 workspace = B_CURRENT_WORKSPACE);
    ~LibWindow() override;

    void MessageReceived(BMessage* message) override;
    // Moves the window so that it keeps its relative place on a screen of the
    // new size.
    void ScreenChanged(BRect screenFrame, color_space depth) override;
    // Show() shows the window only when it is hidden, Hide() hides it only
    // when it is shown.
    void Show() override;
    void Hide() override;
    // Lets a derived window add fields to a help request (answer true then).
    virtual bool InsertHelpRequest(BView* view, BMessage& request);

    // Moves the window to `position` (a ScreenPosition) on the main screen,
    // or around `reference`. Around a reference the window is kept on the
    // screen. A code above 8 leaves the window where it is.
    void SetPosition(const uint32& position, BWindow* reference = nullptr);
    // Shows the window on the current workspace and brings it to the front.
    void Pop();

    // The screen frame the window last knew of.
    BRect ScreenFrame() const { return fScreenFrame; }

private:
    bool PostHelpRequest();

    BRect fScreenFrame;
};
