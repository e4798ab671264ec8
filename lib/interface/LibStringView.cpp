#include "LibStringView.h"

#include <Application.h>
#include <Font.h>
#include <Message.h>
#include <Window.h>

#include <cstring>
#include <vector>

LibStringView::LibStringView(BRect frame, const char* name, const char* text)
    : BStringView(frame, name, text, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW)
{
}

LibStringView::~LibStringView() = default;

void LibStringView::Show()
{
    if (IsHidden(this))
        BStringView::Show();
}

void LibStringView::Hide()
{
    if (!IsHidden(this))
        BStringView::Hide();
}

void LibStringView::SetTruncatedText(const char* text, const uint32& mode)
{
    if (text == nullptr)
        text = "";
    BFont font;
    GetFont(&font);
    BRect frame = Frame();
    // The platform's truncation needs room for the ellipsis beyond the text.
    std::vector<char> result(std::strlen(text) + 3);
    char* results[] = { result.data() };
    const char* texts[] = { text };
    font.GetTruncatedStrings(texts, 1, mode, frame.right - frame.left, results);
    SetText(result.data());
}

void LibStringView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    fTip.MouseMoved(this, transit);
    BStringView::MouseMoved(where, transit, dragMessage);
}

void LibStringView::MouseDown(BPoint where)
{
    fTip.MouseDown(this);
    BStringView::MouseDown(where);
}
