#include <ScrollView.h>

#include "ControlLook.h"

namespace look = BPrivate::ControlLook;

float BScrollView::BorderSize(border_style border)
{
    return border == B_FANCY_BORDER ? 2 : (border == B_PLAIN_BORDER ? 1 : 0);
}

BRect BScrollView::FrameFor(BView* target, bool horizontal, bool vertical, border_style border)
{
    BRect frame = target != nullptr ? target->Frame() : BRect(0, 0, 10, 10);
    if (vertical)
        frame.right += B_V_SCROLL_BAR_WIDTH;
    if (horizontal)
        frame.bottom += B_H_SCROLL_BAR_HEIGHT;
    float size = BorderSize(border);
    frame.InsetBy(-size, -size);
    return frame;
}

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
    bool horizontal, bool vertical, border_style border)
    : BView(FrameFor(target, horizontal, vertical, border), name, resizingMode,
        flags | B_WILL_DRAW | B_FRAME_EVENTS)
    , fTarget(target)
    , fBorder(border)
{
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    float size = BorderSize(border);
    BRect bounds = Bounds();
    if (target != nullptr) {
        target->MoveTo(size, size);
        AddChild(target);
    }
    // The bars lie over the inner line of the frame, as the platform draws
    // them, so their own outline takes its place.
    float overlap = size > 0 ? 1 : 0;
    BRect targetFrame = target != nullptr ? target->Frame() : bounds.InsetByCopy(size, size);
    if (vertical) {
        BRect barFrame(targetFrame.right + 1, size - overlap, bounds.right - size + overlap,
            bounds.bottom - size + overlap - (horizontal ? B_H_SCROLL_BAR_HEIGHT : 0));
        fVerticalBar = new BScrollBar(barFrame, "_VSB_", target, 0, 0, B_VERTICAL);
        AddChild(fVerticalBar);
    }
    if (horizontal) {
        BRect barFrame(size - overlap, targetFrame.bottom + 1,
            bounds.right - size + overlap - (vertical ? B_V_SCROLL_BAR_WIDTH : 0),
            bounds.bottom - size + overlap);
        fHorizontalBar = new BScrollBar(barFrame, "_HSB_", target, 0, 0, B_HORIZONTAL);
        AddChild(fHorizontalBar);
    }
    if (target != nullptr)
        target->TargetedByScrollView(this);
}

BScrollView::~BScrollView() = default;

BScrollBar* BScrollView::ScrollBar(orientation direction) const
{
    return direction == B_VERTICAL ? fVerticalBar : fHorizontalBar;
}

void BScrollView::SetBorder(border_style border)
{
    if (border == fBorder)
        return;
    fBorder = border;
    Invalidate();
}

border_style BScrollView::Border() const
{
    return fBorder;
}

status_t BScrollView::SetBorderHighlighted(bool highlighted)
{
    if (fBorder != B_FANCY_BORDER)
        return B_ERROR;
    if (highlighted == fHighlighted)
        return B_OK;
    fHighlighted = highlighted;
    Invalidate();
    return B_OK;
}

bool BScrollView::IsBorderHighlighted() const
{
    return fHighlighted;
}

BView* BScrollView::Target() const
{
    return fTarget;
}

void BScrollView::Draw(BRect /*updateRect*/)
{
    rgb_color base = ViewColor();
    BRect bounds = Bounds();
    if (fBorder == B_FANCY_BORDER) {
        look::DrawSunkenFrame(this, bounds, base, fHighlighted);
    } else if (fBorder == B_PLAIN_BORDER) {
        SetHighColor(look::Darken(base, B_DARKEN_2_TINT));
        StrokeRect(bounds);
    }
    if (fVerticalBar != nullptr && fHorizontalBar != nullptr) {
        // The corner between the two bars.
        BRect corner(fVerticalBar->Frame().left, fHorizontalBar->Frame().top,
            fVerticalBar->Frame().right, fHorizontalBar->Frame().bottom);
        SetHighColor(base);
        FillRect(corner);
    }
}

void BScrollView::AttachedToWindow()
{
    BView::AttachedToWindow();
}

void BScrollView::FrameResized(float width, float height)
{
    BView::FrameResized(width, height);
    Invalidate();
}
