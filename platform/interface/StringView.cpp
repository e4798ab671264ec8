#include <StringView.h>

#include <Window.h>

#include "ControlLook.h"
#include "RenderAccess.h"

#include <cmath>

BStringView::BStringView(
    BRect frame, const char* name, const char* text, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags)
    , fText(text != nullptr ? text : "")
    , fTruncation(B_NO_TRUNCATION)
{
}

BStringView::~BStringView() = default;

void BStringView::SetText(const char* text)
{
    std::string value = text != nullptr ? text : "";
    if (value == fText)
        return;
    fText = value;
    Invalidate();
}

const char* BStringView::Text() const
{
    return fText.c_str();
}

void BStringView::SetAlignment(alignment flag)
{
    if (flag == fAlignment)
        return;
    fAlignment = flag;
    Invalidate();
}

alignment BStringView::Alignment() const
{
    return fAlignment;
}

void BStringView::SetTruncation(uint32 truncationMode)
{
    if (truncationMode == fTruncation)
        return;
    fTruncation = truncationMode;
    Invalidate();
}

uint32 BStringView::Truncation() const
{
    return fTruncation;
}

void BStringView::AttachedToWindow()
{
    // A string view takes its parent's colour and draws in the panel's text
    // colour.
    rgb_color color
        = Parent() != nullptr ? Parent()->ViewColor() : ui_color(B_PANEL_BACKGROUND_COLOR);
    if (color != B_TRANSPARENT_COLOR) {
        SetViewColor(color);
        SetLowColor(color);
    }
    BView::AttachedToWindow();
}

void BStringView::Draw(BRect /*updateRect*/)
{
    if (fText.empty())
        return;
    BRect bounds = Bounds();
    std::string text = fText;
    if (fTruncation != B_NO_TRUNCATION) {
        BFont font;
        GetFont(&font);
        text = BPrivate::RenderAccess::Font(font).TruncateString(
            fText.c_str(), fTruncation, bounds.Width() + 1);
    }
    float width = StringWidth(text.c_str());
    float x = bounds.left;
    if (fAlignment == B_ALIGN_RIGHT)
        x = bounds.right + 1 - width;
    else if (fAlignment == B_ALIGN_CENTER)
        x = bounds.left + std::floor((bounds.Width() + 1 - width) / 2);
    float baseline = BPrivate::ControlLook::CenteredBaseline(this, bounds);
    DrawString(text.c_str(), BPoint(x, baseline));
}

void BStringView::GetPreferredSize(float* width, float* height)
{
    font_height fontHeight;
    GetFontHeight(&fontHeight);
    if (width != nullptr)
        *width = std::ceil(StringWidth(fText.c_str()));
    if (height != nullptr)
        *height = std::ceil(fontHeight.ascent + fontHeight.descent + fontHeight.leading);
}

void BStringView::ResizeToPreferred()
{
    BView::ResizeToPreferred();
}
