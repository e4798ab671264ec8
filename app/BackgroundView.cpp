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
    font_height height;
    font.GetHeight(&height);
    // Upright text runs upward from its origin and its glyphs stand to the
    // left of it, so the baseline sits just inside the window's right edge.
    float baseline = Bounds().right - 2 - height.descent;
    float length = font.StringWidth(kMakerLine);
    float bottom = 10 + (206 + length) / 2;
    DrawString(kMakerLine, BPoint(baseline, bottom));

    BView::Draw(updateRect);
}
