#include "LibTipWin.h"

#include "LibTipString.h"

#include <algorithm>
#include <cmath>
#include <string>

LibTipWin::LibTipWin(LibTipClock clock)
    : LibWindow(BRect(0, 0, 100, 13), "LibTipWin", B_BORDERED_WINDOW_LOOK,
        B_FLOATING_APP_WINDOW_FEEL,
        B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_AVOID_FOCUS)
    , fClock(std::move(clock))
    , fText(new LibTipString)
{
    AddChild(fText);
    // A hidden tip needs no pulse; showing one sets the pulse to its end.
    SetPulseRate(0);
}

LibTipWin::~LibTipWin() = default;

void LibTipWin::WindowActivated(bool active)
{
    LibWindow::WindowActivated(active);
    if (!active)
        Hide();
}

void LibTipWin::Hide()
{
    Lock();
    SetPulseRate(0);
    Unlock();
    LibWindow::Hide();
}

void LibTipWin::PopTo(const BPoint& where, const int32& value)
{
    MoveTo(where);
    fPopValue = value;
}

void LibTipWin::PulseTimeUp()
{
    if (fClock() >= fHideTime)
        Hide();
}

void LibTipWin::SetText(const char* text, const int32& width)
{
    Lock();
    fText->SetText(text != nullptr ? text : "");
    float windowWidth = 0;
    float height = 13;
    if (width < 1) {
        fText->SetWordWrap(false);
        // As wide as the widest line of the text.
        std::string all = fText->Text();
        size_t start = 0;
        int32 lines = 0;
        while (start <= all.size()) {
            size_t end = std::min(all.find('\n', start), all.size());
            std::string line = all.substr(start, end - start);
            windowWidth = std::max(windowWidth, std::ceil(fText->StringWidth(line.c_str())));
            lines++;
            start = end + 1;
        }
        if (lines > 1)
            height = lines * fText->LineHeight(0) + 2;
    } else {
        // Wrap at the width first, then count the lines.
        fText->SetWordWrap(true);
        windowWidth = float(width);
        ResizeTo(windowWidth + 3, Bounds().Height());
        height = fText->CountLines() * fText->LineHeight(0) + 2;
    }
    ResizeTo(windowWidth + 3, height);
    Unlock();
}
