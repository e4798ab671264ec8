#pragma once

// Desktop: the process-wide picture of the screen that the interface kit
// keeps: the screen's frame, the shown windows from front to back, which one
// is active, and the modifier keys last reported. The display reports
// changes here; the windows and the UI driver read it.

#include <Messenger.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <mutex>
#include <vector>

class BWindow;

#include <memory>

namespace BPrivate {

class DisplayWindow;

class Desktop {
public:
    static Desktop& Default();

    BRect ScreenFrame() const;

    // Shown windows, front first. Modal windows stay in front of the others
    // and floating windows in front of normal ones.
    void WindowShown(BWindow* window, bool avoidFront, int32 feel,
        const std::vector<BWindow*>& subset, std::shared_ptr<DisplayWindow> display);
    void WindowHidden(BWindow* window);
    void WindowGone(BWindow* window);
    void BringToFront(BWindow* window);
    void SendBehind(BWindow* window, BWindow* behind);
    bool IsFront(const BWindow* window) const;
    // The screen frame of the front window other than `except`; false when
    // there is none.
    bool FrontWindowFrame(const BWindow* except, BRect* frame) const;
    // A shown modal window that keeps `window` from taking input, or an
    // invalid messenger.
    BMessenger BlockingModal(const BWindow* window) const;
    std::vector<BMessenger> WindowsFrontToBack() const;
    // Every window that exists, shown or not, in the order they were made.
    std::vector<BMessenger> AllWindows() const;
    int32 CountShownWindows() const;

    // Events of the program as a whole (quit requests, screen changes) are
    // handed by the display to one of the program's windows, which passes
    // them on; windows register here when they are made.
    void WatchAppEvents();
    void WindowMade(BWindow* window);
    // On a window's thread: takes the program's events and acts on them.
    void HandleAppEvents();

    uint32 Modifiers() const;
    void SetModifiers(uint32 modifiers);

private:
    Desktop();

    struct Entry {
        BWindow* window;
        BMessenger messenger;
        int32 feel;
        std::vector<BWindow*> subset;
        std::shared_ptr<DisplayWindow> display;
    };

    static int32 Layer(int32 feel);
    void Insert(Entry entry, bool avoidFront);

    mutable std::mutex fLock;
    std::vector<Entry> fWindows;
    std::vector<BMessenger> fAllWindows;
    bool fWatching = false;
    uint32 fModifiers = 0;
};

} // namespace BPrivate
