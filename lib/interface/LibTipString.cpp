#include "LibTipString.h"

#include "LibColors.h"
#include "LibTipWin.h"

LibTipString::LibTipString()
    : BTextView(BRect(0, 0, 100, 13), "text_view", BRect(0, 0, 100, 13), B_FOLLOW_ALL_SIDES,
        B_WILL_DRAW | B_PULSE_NEEDED)
{
    SetViewColor(pale_yellow_color);
    SetLowColor(pale_yellow_color);
    BFont font(be_plain_font);
    font.SetSize(10);
    SetFontAndColor(&font, B_FONT_ALL);
    MakeEditable(false);
    MakeSelectable(false);
    BRect textRect = Bounds().InsetByCopy(1, 1);
    textRect.right -= 1;
    SetTextRect(textRect);
}

LibTipString::~LibTipString() = default;

void LibTipString::Pulse()
{
    LibTipWin* window = dynamic_cast<LibTipWin*>(Window());
    if (window != nullptr)
        window->PulseTimeUp();
    else if (Window() != nullptr)
        Window()->Hide();
}

void LibTipString::FrameResized(float width, float height)
{
    BTextView::FrameResized(width, height);
    BRect textRect = TextRect();
    SetTextRect(BRect(textRect.left, textRect.top, textRect.left + width, textRect.top + height));
}
