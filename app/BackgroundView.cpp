#include "BackgroundView.h"

#include <InterfaceDefs.h>

#include <InstallerFormat.h>

namespace {

// The line along the right edge, read from the bottom up.
constexpr const char* kMakerLine = "Brenvik Installer";

} // namespace

BackgroundView::BackgroundView(BRect frame)
    : BView(frame, "bgview", B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
{
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

BackgroundView::~BackgroundView() = default;

void BackgroundView::Draw(BRect updateRect)
{
    // Only the size and the rotation are applied; the spacing is set on the
    // copy alone, as the drawing needs nothing else of it.
    BFont font;
    GetFont(&font);
    font.SetRotation(90);
    font.SetSize(10);
    font.SetSpacing(B_BITMAP_SPACING);
    SetFont(&font, B_FONT_SIZE | B_FONT_ROTATION);

    SetLowColor(ViewColor());
    SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
    // Upright text runs upward from its origin and its glyphs stand to the
    // left of it. Between the boxes' right edge and the window's there are
    // ten points, less than the font's ascent and descent together: the line
    // has no descenders, so its baseline sits one point inside the window's
    // edge and its capitals clear the boxes.
    float baseline = Bounds().right - 1;
    float length = font.StringWidth(kMakerLine);
    float bottom = 10 + (206 + length) / 2;
    DrawString(kMakerLine, BPoint(baseline, bottom));

    BView::Draw(updateRect);
}
