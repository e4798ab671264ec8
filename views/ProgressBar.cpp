#include "ProgressBar.h"

#include <LibColors.h>

#include <algorithm>
#include <cmath>

namespace {

// The filled part: the blue of a selection, darker at its edge.
constexpr rgb_color kBarColor = { 72, 112, 184, 255 };
constexpr rgb_color kBarEdge = { 40, 72, 136, 255 };

} // namespace

ProgressBar::ProgressBar(BRect frame, const char* name, uint32 resizingMode)
    : BView(frame, name, resizingMode, B_WILL_DRAW)
{
    SetViewColor(B_TRANSPARENT_COLOR);
}

ProgressBar::~ProgressBar() = default;

void ProgressBar::SetProgress(uint64 done, uint64 total)
{
    float fraction = total == 0 ? 0 : float(double(std::min(done, total)) / double(total));
    if (fraction == fFraction)
        return;
    fFraction = fraction;
    Invalidate();
}

void ProgressBar::Draw(BRect /*updateRect*/)
{
    BRect frame = Bounds();
    // Sunken: shadow above and to the left, light below and to the right.
    SetHighColor(dark_grey_color);
    StrokeLine(BPoint(frame.left, frame.bottom), BPoint(frame.left, frame.top));
    StrokeLine(BPoint(frame.left, frame.top), BPoint(frame.right, frame.top));
    SetHighColor(white_color);
    StrokeLine(BPoint(frame.right, frame.top + 1), BPoint(frame.right, frame.bottom));
    StrokeLine(BPoint(frame.left + 1, frame.bottom), BPoint(frame.right, frame.bottom));
    BRect inside = frame.InsetByCopy(1, 1);
    SetHighColor(white_color);
    FillRect(inside);
    float width = std::floor((inside.Width() + 1) * fFraction);
    if (width < 1)
        return;
    BRect filled(inside.left, inside.top, inside.left + width - 1, inside.bottom);
    SetHighColor(kBarColor);
    FillRect(filled);
    SetHighColor(kBarEdge);
    StrokeLine(BPoint(filled.right, filled.top), BPoint(filled.right, filled.bottom));
}
