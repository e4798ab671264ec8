#pragma once

// BBox: a group frame with an optional label (a text or a view) set into its
// top border. Subclasses that draw call BBox::Draw after their own drawing, so
// that the border lies on top.

#include <View.h>

#include <string>

class BBox : public BView {
public:
    BBox(BRect frame, const char* name = nullptr,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
        border_style border = B_FANCY_BORDER);
    ~BBox() override;

    virtual void SetBorder(border_style border);
    border_style Border() const;

    // The distance from the top of the box to its top border line, and the
    // area inside the border.
    float TopBorderOffset();
    BRect InnerFrame();

    void SetLabel(const char* string);
    status_t SetLabel(BView* viewLabel);
    const char* Label() const;
    BView* LabelView() const;

    void Draw(BRect updateRect) override;
    void AttachedToWindow() override;
    void FrameResized(float width, float height) override;
    void GetPreferredSize(float* width, float* height) override;

private:
    void DrawLabel();

    border_style fBorder;
    std::string fLabel;
    bool fHasLabel = false;
    BView* fLabelView = nullptr;
};
