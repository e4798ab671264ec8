#include "LibViewTip.h"

#include <Application.h>
#include <View.h>
#include <Window.h>

void LibViewTip::Set(const uint32& code, const char* text)
{
    fCode = code;
    fText = text != nullptr ? text : "";
}

void LibViewTip::MouseMoved(BView* view, uint32 transit)
{
    if (fText.Length() == 0 || view->Window() == nullptr || !view->Window()->IsActive())
        return;
    if (transit == B_ENTERED_VIEW)
        PostRequest(view, true);
    else if (transit == B_EXITED_VIEW)
        PostRequest(view, false);
}

void LibViewTip::MouseDown(BView* view)
{
    if (fText.Length() > 0 && view->Window() != nullptr && view->Window()->IsActive())
        PostRequest(view, false);
}

void LibViewTip::PostRequest(BView* view, bool show)
{
    if (be_app == nullptr)
        return;
    BMessage request(fCode);
    request.AddBool("show", show);
    if (show) {
        BRect bounds = view->Bounds();
        BPoint anchor = fCorner == kRightTop ? bounds.RightTop() : bounds.LeftBottom();
        request.AddString("tip", fText);
        request.AddPoint("loc", view->ConvertToScreen(anchor + fOffset));
    }
    be_app->PostMessage(&request);
}
