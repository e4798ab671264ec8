#pragma once

// LibLabelControl: a plain view with a bold label and, after it, a colon,
// which can be greyed out. LibMenuButton builds on it.

#include <View.h>

class BStringView;

class LibLabelControl : public BView {
public:
    // The label ("label") runs from the left edge to the divider (less 12
    // with a colon, else less 2); the colon ("colon") sits just before the
    // divider. Both are `margin` less tall than the frame. A null label or
    // colon gives no view for it.
    LibLabelControl(BRect frame, const float& divider, const char* name, const char* label,
        const float& margin, const char* colon, uint32 resizingMode);
    ~LibLabelControl() override;

    // Draws the label and the colon black when enabled, dark grey when not.
    virtual void SetEnabled(bool enabled);

    void SetLabel(const char* text);
    // The label's text; "" without a label.
    const char* LabelText() const;

protected:
    BStringView* LabelView() const { return fLabel; }
    BStringView* ColonView() const { return fColon; }

private:
    BStringView* fLabel = nullptr;
    BStringView* fColon = nullptr;
};
