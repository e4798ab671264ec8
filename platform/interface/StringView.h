#pragma once

// BStringView: one line of text, without wrapping, aligned left, right or
// centred in the view.

#include <View.h>

#include <string>

class BStringView : public BView {
public:
    BStringView(BRect frame, const char* name, const char* text,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
    ~BStringView() override;

    void SetText(const char* text);
    const char* Text() const;
    void SetAlignment(alignment flag);
    alignment Alignment() const;
    // With a truncation mode (B_TRUNCATE_END and the others), a text that is
    // too wide is shown shortened with an ellipsis; B_NO_TRUNCATION (the
    // default) shows it cut off at the view's edge.
    void SetTruncation(uint32 truncationMode);
    uint32 Truncation() const;

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    void GetPreferredSize(float* width, float* height) override;
    void ResizeToPreferred() override;

private:
    std::string fText;
    alignment fAlignment = B_ALIGN_LEFT;
    uint32 fTruncation;
};

#define B_NO_TRUNCATION 0xffffffffu
