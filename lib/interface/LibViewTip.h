#pragma once

// LibViewTip: the tool tip a view carries, asked for from the application's
// tip manager (LibTipManager) while the pointer rests on the view: shown when
// the pointer enters the view, hidden when it leaves or presses a button.
// The view hands its pointer events on.

#include <LibString.h>
#include <Point.h>

class BView;

class LibViewTip {
public:
    // `offset`: where the tip stands, from the view's corner `corner`
    // (its right top for a button, its left bottom for a line of text).
    enum corner { kRightTop, kLeftBottom };
    LibViewTip(corner at, BPoint offset)
        : fCorner(at)
        , fOffset(offset)
    {
    }

    // The tip and the code of its requests; an empty text means no tip.
    void Set(const uint32& code, const char* text);
    const LibString& Text() const { return fText; }

    void MouseMoved(BView* view, uint32 transit);
    void MouseDown(BView* view);

private:
    void PostRequest(BView* view, bool show);

    corner fCorner;
    BPoint fOffset;
    uint32 fCode = 0;
    LibString fText;
};
