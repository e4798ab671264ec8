#pragma once

// LibTipString: the text of a tool tip window ("text_view"): small plain
// text on light yellow, neither editable nor selectable. Its pulse ends the
// tip: the tip window pulses only at the tip's end delay.

#include <TextView.h>

class LibTipString : public BTextView {
public:
    LibTipString();
    ~LibTipString() override;

    // Hides the tip window once the tip's time is up.
    void Pulse() override;
    // The text rectangle follows the view's size.
    void FrameResized(float width, float height) override;
};
