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

void LibStringView::AddTip(const uint32& code, const char* text)
{
    fTipCode = code;
    fTipText = text != nullptr ? text : "";
}

void LibStringView::PostTipRequest(bool show)
{
    if (be_app == nullptr)
        return;
    BMessage request(fTipCode);
    request.AddBool("show", show);
    if (show) {
        request.AddString("tip", fTipText);
        request.AddPoint("loc", ConvertToScreen(Bounds().LeftBottom() + BPoint(0, 4)));
    }
    be_app->PostMessage(&request);
}

void LibStringView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (fTipText.Length() > 0 && Window() != nullptr && Window()->IsActive()) {
        if (transit == B_ENTERED_VIEW)
            PostTipRequest(true);
        else if (transit == B_EXITED_VIEW)
            PostTipRequest(false);
    }
    BStringView::MouseMoved(where, transit, dragMessage);
}

void LibStringView::MouseDown(BPoint where)
{
    if (fTipText.Length() > 0 && Window() != nullptr && Window()->IsActive())
        PostTipRequest(false);
    BStringView::MouseDown(where);
}
