#include <ScrollBar.h>

#include <Window.h>

#include "ControlLook.h"

#include <algorithm>
#include <cmath>

namespace look = BPrivate::ControlLook;

namespace {

constexpr float kMinimumThumbLength = 12;

} // namespace

BScrollBar::BScrollBar(
    BRect frame, const char* name, BView* target, float min, float max, orientation direction)
    : BView(frame, name,
        direction == B_VERTICAL ? B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT
                                : B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM,
        B_WILL_DRAW | B_FRAME_EVENTS)
    , fMin(min)
    , fMax(std::max(min, max))
    , fOrientation(direction)
{
    SetViewColor(B_TRANSPARENT_COLOR);
    SetTarget(target);
}

BScrollBar::~BScrollBar()
{
    SetTarget(static_cast<BView*>(nullptr));
}

void BScrollBar::AttachedToWindow()
{
    if (fTarget == nullptr && !fTargetName.empty() && Window() != nullptr)
        SetTarget(Window()->FindView(fTargetName.c_str()));
    BView::AttachedToWindow();
}

void BScrollBar::SetValue(float value)
{
    value = std::round(std::clamp(value, fMin, fMax));
    if (value == fValue)
        return;
    fValue = value;
    Invalidate();
    ValueChanged(value);
}

float BScrollBar::Value() const
{
    return fValue;
}

void BScrollBar::SetProportion(float proportion)
{
    proportion = std::clamp(proportion, 0.0f, 1.0f);
    if (proportion == fProportion)
        return;
    fProportion = proportion;
    Invalidate();
}

float BScrollBar::Proportion() const
{
    return fProportion;
}

void BScrollBar::ValueChanged(float newValue)
{
    if (fTarget == nullptr)
        return;
    BPoint origin = fTarget->Bounds().LeftTop();
    if (fOrientation == B_VERTICAL)
        origin.y = newValue;
    else
        origin.x = newValue;
    fTarget->ScrollTo(origin);
}

void BScrollBar::SetRange(float min, float max)
{
    fMin = min;
    fMax = std::max(min, max);
    Invalidate();
    SetValue(fValue);
}

void BScrollBar::GetRange(float* min, float* max) const
{
    if (min != nullptr)
        *min = fMin;
    if (max != nullptr)
        *max = fMax;
}

void BScrollBar::SetSteps(float smallStep, float largeStep)
{
    fSmallStep = smallStep;
    fLargeStep = largeStep;
}

void BScrollBar::GetSteps(float* smallStep, float* largeStep) const
{
    if (smallStep != nullptr)
        *smallStep = fSmallStep;
    if (largeStep != nullptr)
        *largeStep = fLargeStep;
}

void BScrollBar::SetTarget(BView* target)
{
    if (fTarget == target)
        return;
    if (fTarget != nullptr) {
        if (fOrientation == B_VERTICAL && fTarget->fVerticalScrollBar == this)
            fTarget->fVerticalScrollBar = nullptr;
        if (fOrientation == B_HORIZONTAL && fTarget->fHorizontalScrollBar == this)
            fTarget->fHorizontalScrollBar = nullptr;
    }
    fTarget = target;
    if (target == nullptr)
        return;
    if (fOrientation == B_VERTICAL)
        target->fVerticalScrollBar = this;
    else
        target->fHorizontalScrollBar = this;
}

void BScrollBar::SetTarget(const char* targetName)
{
    fTargetName = targetName != nullptr ? targetName : "";
    if (Window() != nullptr && targetName != nullptr)
        SetTarget(Window()->FindView(targetName));
}

BView* BScrollBar::Target() const
{
    return fTarget;
}

orientation BScrollBar::Orientation() const
{
    return fOrientation;
}

// #pragma mark - layout

BRect BScrollBar::DecrementArrowFrame() const
{
    BRect bounds = Bounds();
    if (fOrientation == B_VERTICAL)
        return BRect(bounds.left, bounds.top, bounds.right, bounds.top + bounds.Width());
    return BRect(bounds.left, bounds.top, bounds.left + bounds.Height(), bounds.bottom);
}

BRect BScrollBar::IncrementArrowFrame() const
{
    BRect bounds = Bounds();
    if (fOrientation == B_VERTICAL)
        return BRect(bounds.left, bounds.bottom - bounds.Width(), bounds.right, bounds.bottom);
    return BRect(bounds.right - bounds.Height(), bounds.top, bounds.right, bounds.bottom);
}

BRect BScrollBar::TrackFrame() const
{
    BRect track = Bounds();
    if (fOrientation == B_VERTICAL) {
        track.top = DecrementArrowFrame().bottom + 1;
        track.bottom = IncrementArrowFrame().top - 1;
    } else {
        track.left = DecrementArrowFrame().right + 1;
        track.right = IncrementArrowFrame().left - 1;
    }
    return track;
}

float BScrollBar::TrackLength() const
{
    BRect track = TrackFrame();
    return fOrientation == B_VERTICAL ? track.Height() + 1 : track.Width() + 1;
}

float BScrollBar::ThumbLength() const
{
    float length = TrackLength();
    float thumb = fProportion > 0 ? std::floor(length * fProportion) : length / 4;
    return std::clamp(thumb, std::min(kMinimumThumbLength, length), length);
}

BRect BScrollBar::ThumbFrame() const
{
    BRect track = TrackFrame();
    float length = TrackLength();
    float thumb = ThumbLength();
    float range = fMax - fMin;
    float position = range > 0 ? std::round((fValue - fMin) / range * (length - thumb)) : 0;
    if (fOrientation == B_VERTICAL)
        return BRect(
            track.left, track.top + position, track.right, track.top + position + thumb - 1);
    return BRect(track.left + position, track.top, track.left + position + thumb - 1, track.bottom);
}

float BScrollBar::Along(BPoint point) const
{
    return fOrientation == B_VERTICAL ? point.y : point.x;
}

BScrollBar::Part BScrollBar::PartAt(BPoint where) const
{
    if (DecrementArrowFrame().Contains(where))
        return kDecrementArrow;
    if (IncrementArrowFrame().Contains(where))
        return kIncrementArrow;
    if (fMax <= fMin)
        return kNone;
    BRect thumb = ThumbFrame();
    if (thumb.Contains(where))
        return kThumb;
    if (!TrackFrame().Contains(where))
        return kNone;
    return Along(where) < Along(thumb.LeftTop()) ? kPageUp : kPageDown;
}

// #pragma mark - drawing and the mouse

void BScrollBar::Draw(BRect /*updateRect*/)
{
    rgb_color base = ui_color(B_PANEL_BACKGROUND_COLOR);
    bool enabled = fMax > fMin;
    BRect bounds = Bounds();

    // The track: a darker channel with a dark outline.
    SetHighColor(look::Darken(base, B_DARKEN_4_TINT));
    StrokeRect(bounds);
    BRect track = TrackFrame();
    SetHighColor(enabled ? look::Darken(base, B_DARKEN_1_TINT) : base);
    FillRect(
        track.InsetByCopy(fOrientation == B_VERTICAL ? 1 : 0, fOrientation == B_VERTICAL ? 0 : 1));

    rgb_color arrow = enabled ? rgb_color { 0, 0, 0, 255 } : look::Darken(base, B_DARKEN_2_TINT);
    BRect decrement = DecrementArrowFrame().InsetByCopy(1, 1);
    BRect increment = IncrementArrowFrame().InsetByCopy(1, 1);
    look::DrawRaisedFace(this, decrement, base, fPressed == kDecrementArrow);
    look::DrawRaisedFace(this, increment, base, fPressed == kIncrementArrow);
    look::DrawArrow(
        this, decrement, fOrientation == B_VERTICAL ? look::kArrowUp : look::kArrowLeft, arrow);
    look::DrawArrow(
        this, increment, fOrientation == B_VERTICAL ? look::kArrowDown : look::kArrowRight, arrow);

    if (!enabled)
        return;
    BRect thumb = ThumbFrame();
    if (fOrientation == B_VERTICAL)
        thumb.InsetBy(1, 0);
    else
        thumb.InsetBy(0, 1);
    SetHighColor(look::Darken(base, B_DARKEN_4_TINT));
    if (fOrientation == B_VERTICAL)
        StrokeLine(BPoint(thumb.left, thumb.bottom), BPoint(thumb.right, thumb.bottom));
    else
        StrokeLine(BPoint(thumb.right, thumb.top), BPoint(thumb.right, thumb.bottom));
    if (fOrientation == B_VERTICAL)
        thumb.bottom--;
    else
        thumb.right--;
    look::DrawRaisedFace(this, thumb, base, false);
}

void BScrollBar::FrameResized(float width, float height)
{
    BView::FrameResized(width, height);
    Invalidate();
}

void BScrollBar::MouseDown(BPoint where)
{
    Part part = PartAt(where);
    if (part == kNone)
        return;
    SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
    fPressed = part;
    switch (part) {
    case kDecrementArrow:
        SetValue(fValue - fSmallStep);
        break;
    case kIncrementArrow:
        SetValue(fValue + fSmallStep);
        break;
    case kPageUp:
        SetValue(fValue - fLargeStep);
        break;
    case kPageDown:
        SetValue(fValue + fLargeStep);
        break;
    case kThumb:
        fGrabOffset = Along(where) - Along(ThumbFrame().LeftTop());
        break;
    case kNone:
        break;
    }
    Invalidate();
}

void BScrollBar::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (fPressed == kThumb) {
        float room = TrackLength() - ThumbLength();
        float start = Along(where) - fGrabOffset - Along(TrackFrame().LeftTop());
        if (room > 0)
            SetValue(fMin + start / room * (fMax - fMin));
    }
    BView::MouseMoved(where, transit, dragMessage);
}

void BScrollBar::MouseUp(BPoint /*where*/)
{
    if (fPressed == kNone)
        return;
    fPressed = kNone;
    Invalidate();
}

void BScrollBar::GetPreferredSize(float* width, float* height)
{
    if (fOrientation == B_VERTICAL) {
        if (width != nullptr)
            *width = B_V_SCROLL_BAR_WIDTH;
        if (height != nullptr)
            *height = Bounds().Height();
    } else {
        if (width != nullptr)
            *width = Bounds().Width();
        if (height != nullptr)
            *height = B_H_SCROLL_BAR_HEIGHT;
    }
}
