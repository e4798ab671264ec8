#include <Box.h>

#include <Font.h>

#include "ControlLook.h"

#include <cmath>

namespace look = BPrivate::ControlLook;

namespace {

// Where the label starts, from the box's left edge.
constexpr float kLabelLeft = 10;

} // namespace

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags, border_style border)
    : BView(frame, name, resizingMode, flags | B_WILL_DRAW | B_FRAME_EVENTS)
    , fBorder(border)
{
    SetFont(be_bold_font);
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

BBox::~BBox() = default;

void BBox::SetBorder(border_style border)
{
    if (border == fBorder)
        return;
    fBorder = border;
    Invalidate();
}

border_style BBox::Border() const
{
    return fBorder;
}

float BBox::TopBorderOffset()
{
    if (fLabelView != nullptr)
        return std::floor(fLabelView->Bounds().Height() / 2);
    if (!fHasLabel)
        return 0;
    font_height height;
    GetFontHeight(&height);
    return std::ceil((std::ceil(height.ascent) + std::ceil(height.descent)) / 2);
}

BRect BBox::InnerFrame()
{
    BRect frame = Bounds();
    float border = fBorder == B_FANCY_BORDER ? 2 : (fBorder == B_PLAIN_BORDER ? 1 : 0);
    frame.InsetBy(border, border);
    if (fLabelView != nullptr)
        frame.top = std::max(frame.top, Bounds().top + fLabelView->Bounds().Height() + 1);
    else if (fHasLabel)
        frame.top = std::max(frame.top, Bounds().top + 2 * TopBorderOffset() + 1);
    return frame;
}

void BBox::SetLabel(const char* string)
{
    if (fLabelView != nullptr) {
        fLabelView->RemoveSelf();
        delete fLabelView;
        fLabelView = nullptr;
    }
    fHasLabel = string != nullptr;
    fLabel = string != nullptr ? string : "";
    Invalidate();
}

status_t BBox::SetLabel(BView* viewLabel)
{
    SetLabel(static_cast<const char*>(nullptr));
    if (viewLabel == nullptr)
        return B_OK;
    fLabelView = viewLabel;
    fLabelView->MoveTo(kLabelLeft, 0);
    AddChild(fLabelView, ChildAt(0));
    Invalidate();
    return B_OK;
}

const char* BBox::Label() const
{
    return fHasLabel ? fLabel.c_str() : nullptr;
}

BView* BBox::LabelView() const
{
    return fLabelView;
}

void BBox::Draw(BRect /*updateRect*/)
{
    BRect frame = Bounds();
    frame.top += TopBorderOffset();
    rgb_color base
        = ViewColor() == B_TRANSPARENT_COLOR ? ui_color(B_PANEL_BACKGROUND_COLOR) : ViewColor();
    PushState();
    if (fBorder == B_FANCY_BORDER)
        look::DrawFancyBorder(this, frame, base);
    else if (fBorder == B_PLAIN_BORDER)
        look::DrawPlainBorder(this, frame, base);
    PopState();
    DrawLabel();
}

void BBox::DrawLabel()
{
    if (!fHasLabel || fLabel.empty())
        return;
    font_height height;
    GetFontHeight(&height);
    float width = StringWidth(fLabel.c_str());
    float textHeight = std::ceil(height.ascent) + std::ceil(height.descent);
    rgb_color base
        = ViewColor() == B_TRANSPARENT_COLOR ? ui_color(B_PANEL_BACKGROUND_COLOR) : ViewColor();
    // The label sits in a gap of the border, on the box's colour.
    PushState();
    SetHighColor(base);
    FillRect(BRect(kLabelLeft - 2, 0, kLabelLeft + std::ceil(width) + 1, textHeight));
    SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
    SetDrawingMode(B_OP_OVER);
    DrawString(fLabel.c_str(), BPoint(kLabelLeft, std::ceil(height.ascent)));
    PopState();
}

void BBox::AttachedToWindow()
{
    BView::AttachedToWindow();
}

void BBox::FrameResized(float width, float height)
{
    BView::FrameResized(width, height);
    Invalidate();
}

void BBox::GetPreferredSize(float* width, float* height)
{
    float labelWidth = fHasLabel ? StringWidth(fLabel.c_str()) + 2 * kLabelLeft : 0;
    if (width != nullptr)
        *width = std::max(Bounds().Width(), labelWidth);
    if (height != nullptr)
        *height = Bounds().Height();
}
