#include "LibLabelControl.h"

#include <StringView.h>

#include "LibColors.h"

namespace {

BStringView* MakeLabelView(BRect frame, const char* name, const char* text)
{
    BStringView* view = new BStringView(frame, name, text);
    BFont font(be_bold_font);
    font.SetSize(12);
    view->SetFont(&font);
    view->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    view->SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    return view;
}

} // namespace

LibLabelControl::LibLabelControl(BRect frame, const float& divider, const char* name,
    const char* label, const float& margin, const char* colon, uint32 resizingMode)
    : BView(frame, name, resizingMode, B_WILL_DRAW)
{
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    float bottom = frame.Height() - margin;
    if (label != nullptr) {
        float right = colon != nullptr ? divider - 12 : divider - 2;
        fLabel = MakeLabelView(BRect(0, 0, right, bottom), "label", label);
        AddChild(fLabel);
    }
    if (colon != nullptr) {
        fColon = MakeLabelView(BRect(divider - 11, 0, divider - 2, bottom), "colon", colon);
        AddChild(fColon);
    }
}

LibLabelControl::~LibLabelControl() = default;

void LibLabelControl::SetEnabled(bool enabled)
{
    rgb_color color = lib_nearest_system_color(enabled ? black_color : dark_grey_color);
    for (BStringView* view : { fLabel, fColon }) {
        if (view == nullptr)
            continue;
        view->SetHighColor(color);
        view->Invalidate();
    }
}

void LibLabelControl::SetLabel(const char* text)
{
    if (fLabel != nullptr)
        fLabel->SetText(text);
}

const char* LibLabelControl::LabelText() const
{
    return fLabel != nullptr && fLabel->Text() != nullptr ? fLabel->Text() : "";
}
