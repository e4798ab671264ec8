#pragma once

// LibTipWin: the borderless window that shows a tool tip. It floats over the
// application's windows without taking the focus, and hides itself when it
// loses activation or when its time is up (see LibTipManager).

#include "LibWindow.h"

#include <functional>

class LibTipString;

// The time source of the tool tips: system_time() unless a test gives its
// own.
using LibTipClock = std::function<bigtime_t()>;

class LibTipWin : public LibWindow {
public:
    explicit LibTipWin(LibTipClock clock = system_time);
    ~LibTipWin() override;

    // Hides the tip when the window loses activation.
    void WindowActivated(bool active) override;
    // Stops the window's pulse and hides it (never nested).
    void Hide() override;

    // Moves the window's top left corner to `where` and keeps `value`.
    void PopTo(const BPoint& where, const int32& value);
    int32 PopValue() const { return fPopValue; }

    // Puts the text in and sizes the window to it: with `width` below 1 one
    // line as wide as the text (a line for each line of the text), else the
    // text wrapped to `width` and the window as tall as the lines.
    void SetText(const char* text, const int32& width);

    // The tip stays until `when` (on the window's clock); the window's pulse
    // checks it. Call with the window locked.
    void SetHideTime(bigtime_t when) { fHideTime = when; }
    // Called by the text view's pulse: hides the window when the time is up.
    void PulseTimeUp();

    LibTipString* TextView() const { return fText; }

private:
    LibTipClock fClock;
    int32 fPopValue = 0;
    bigtime_t fHideTime = 0;
    LibTipString* fText;
};
