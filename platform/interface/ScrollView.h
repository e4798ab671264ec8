#pragma once

// BScrollView: a frame around a target view with scroll bars beside it. It
// grows the target's frame by the border and the bars, and takes the
// target's place in its parent.

#include <ScrollBar.h>
#include <View.h>

class BScrollView : public BView {
public:
    BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = 0, bool horizontal = false, bool vertical = false,
        border_style border = B_FANCY_BORDER);
    ~BScrollView() override;

    BScrollBar* ScrollBar(orientation direction) const;
    virtual void SetBorder(border_style border);
    border_style Border() const;
    // The inner line of the frame turns blue while the target has the focus.
    virtual status_t SetBorderHighlighted(bool highlighted);
    bool IsBorderHighlighted() const;
    BView* Target() const;

    void Draw(BRect updateRect) override;
    void AttachedToWindow() override;
    void FrameResized(float width, float height) override;

private:
    static float BorderSize(border_style border);
    static BRect FrameFor(BView* target, bool horizontal, bool vertical, border_style border);

    BView* fTarget;
    BScrollBar* fHorizontalBar = nullptr;
    BScrollBar* fVerticalBar = nullptr;
    border_style fBorder;
    bool fHighlighted = false;
};
