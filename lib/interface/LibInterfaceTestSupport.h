#pragma once

// Helpers of the toolkit's tests: the interface kit's test helpers (headless
// windows, injected input, waits with deadlines, snapshots), and a panel
// view to build controls on. Header-only, because every .cpp of this folder
// that is not a test goes into the library.

#include <InterfaceTestSupport.h>

#include <View.h>
#include <Window.h>

namespace brenvik::test {

// A view in the panel colour over the whole window, for controls to sit on.
inline BView* Panel(BWindow* window)
{
    BView* panel = new BView(window->Bounds(), "panel", B_FOLLOW_ALL, B_WILL_DRAW);
    panel->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    window->AddChild(panel);
    return panel;
}

// Injects a key press and release into the window and waits until the
// window has handled it.
inline bool PressKey(BWindow* window, const std::string& bytes, int32 key = 0, uint32 modifiers = 0)
{
    if (Display().InjectKey(DisplayId(window), bytes, key, modifiers) != B_OK)
        return false;
    return WaitUntilSettled(window);
}

} // namespace brenvik::test
