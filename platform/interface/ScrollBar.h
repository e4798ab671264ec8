#pragma once

// BScrollBar: a bar with arrows at both ends and a thumb that scrolls a
// target view. Its value is the target's scroll offset along the bar.

#include <View.h>

#include <string>

#define B_V_SCROLL_BAR_WIDTH 14.0f
#define B_H_SCROLL_BAR_HEIGHT 14.0f

class BScrollBar : public BView {
public:
    BScrollBar(
        BRect frame, const char* name, BView* target, float min, float max, orientation direction);
    ~BScrollBar() override;

    void AttachedToWindow() override;
    void SetValue(float value);
    float Value() const;
    // The visible part of the target, as a fraction of all of it (0 to 1);
    // it sets the thumb's length.
    void SetProportion(float proportion);
    float Proportion() const;
    virtual void ValueChanged(float newValue);

    void SetRange(float min, float max);
    void GetRange(float* min, float* max) const;
    void SetSteps(float smallStep, float largeStep);
    void GetSteps(float* smallStep, float* largeStep) const;
    void SetTarget(BView* target);
    void SetTarget(const char* targetName);
    BView* Target() const;
    orientation Orientation() const;

    void Draw(BRect updateRect) override;
    void FrameResized(float width, float height) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void GetPreferredSize(float* width, float* height) override;

private:
    enum Part { kNone, kDecrementArrow, kIncrementArrow, kThumb, kPageUp, kPageDown };

    BRect DecrementArrowFrame() const;
    BRect IncrementArrowFrame() const;
    BRect TrackFrame() const;
    BRect ThumbFrame() const;
    Part PartAt(BPoint where) const;
    float Along(BPoint point) const;
    float TrackLength() const;
    float ThumbLength() const;

    BView* fTarget = nullptr;
    float fMin;
    float fMax;
    float fValue = 0;
    float fProportion = 0;
    float fSmallStep = 1;
    float fLargeStep = 10;
    orientation fOrientation;
    Part fPressed = kNone;
    float fGrabOffset = 0;
    std::string fTargetName;
};
