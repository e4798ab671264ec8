#include "AlertView.h"

#include <Font.h>

#include <cmath>

namespace BPrivate {

namespace {

// The stripe's width and where the icon stands.
constexpr float kStripeRight = 30;
const BPoint kIconPosition(18, 6);

const rgb_color kBlack = { 0, 0, 0, 255 };
const rgb_color kWhite = { 255, 255, 255, 255 };

void DrawInfo(BView* view, BPoint at)
{
    // A blue disc with a white "i".
    view->SetHighColor(0, 80, 180);
    view->FillEllipse(BRect(at.x + 1, at.y + 1, at.x + 30, at.y + 30));
    view->SetHighColor(0, 40, 110);
    view->StrokeEllipse(BRect(at.x + 1, at.y + 1, at.x + 30, at.y + 30));
    view->SetHighColor(kWhite);
    view->FillEllipse(BRect(at.x + 13, at.y + 6, at.x + 18, at.y + 11));
    view->FillRect(BRect(at.x + 13, at.y + 13, at.x + 18, at.y + 25));
    view->FillRect(BRect(at.x + 11, at.y + 13, at.x + 13, at.y + 14));
    view->FillRect(BRect(at.x + 11, at.y + 24, at.x + 20, at.y + 25));
}

void DrawIdea(BView* view, BPoint at)
{
    // A light bulb: a yellow glass over a grey screw base.
    view->SetHighColor(255, 220, 40);
    view->FillEllipse(BRect(at.x + 6, at.y + 1, at.x + 25, at.y + 20));
    view->FillRect(BRect(at.x + 11, at.y + 16, at.x + 20, at.y + 22));
    view->SetHighColor(150, 110, 0);
    view->StrokeArc(BRect(at.x + 6, at.y + 1, at.x + 25, at.y + 20), -40, 260);
    view->StrokeLine(BPoint(at.x + 10, at.y + 17), BPoint(at.x + 11, at.y + 22));
    view->StrokeLine(BPoint(at.x + 21, at.y + 17), BPoint(at.x + 20, at.y + 22));
    view->SetHighColor(255, 250, 200);
    view->FillEllipse(BRect(at.x + 10, at.y + 4, at.x + 15, at.y + 9));
    view->SetHighColor(120, 120, 120);
    view->FillRect(BRect(at.x + 11, at.y + 23, at.x + 20, at.y + 28));
    view->SetHighColor(70, 70, 70);
    view->StrokeLine(BPoint(at.x + 11, at.y + 25), BPoint(at.x + 20, at.y + 25));
    view->StrokeLine(BPoint(at.x + 13, at.y + 29), BPoint(at.x + 18, at.y + 29));
    view->StrokeRect(BRect(at.x + 11, at.y + 23, at.x + 20, at.y + 28));
}

void DrawWarning(BView* view, BPoint at)
{
    // A yellow triangle with a black border and a black "!".
    BPoint triangle[3] = { BPoint(at.x + 15.5f, at.y + 1), BPoint(at.x + 30, at.y + 29),
        BPoint(at.x + 1, at.y + 29) };
    view->SetHighColor(255, 210, 0);
    view->FillPolygon(triangle, 3);
    view->SetHighColor(kBlack);
    view->StrokePolygon(triangle, 3);
    view->FillRect(BRect(at.x + 14, at.y + 10, at.x + 17, at.y + 20));
    view->FillRect(BRect(at.x + 14, at.y + 23, at.x + 17, at.y + 26));
}

void DrawStop(BView* view, BPoint at)
{
    // A red octagon with a white rim and a white bar.
    BPoint octagon[8] = { BPoint(at.x + 10, at.y + 1), BPoint(at.x + 21, at.y + 1),
        BPoint(at.x + 30, at.y + 10), BPoint(at.x + 30, at.y + 21), BPoint(at.x + 21, at.y + 30),
        BPoint(at.x + 10, at.y + 30), BPoint(at.x + 1, at.y + 21), BPoint(at.x + 1, at.y + 10) };
    view->SetHighColor(200, 20, 20);
    view->FillPolygon(octagon, 8);
    view->SetHighColor(110, 0, 0);
    view->StrokePolygon(octagon, 8);
    view->SetHighColor(kWhite);
    view->FillRect(BRect(at.x + 7, at.y + 13, at.x + 24, at.y + 18));
}

} // namespace

AlertView::AlertView(BRect frame, alert_type type)
    : BView(frame, "TAlertView", B_FOLLOW_ALL, B_WILL_DRAW)
    , fType(type)
{
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

void AlertView::Draw(BRect /*updateRect*/)
{
    if (fType == B_EMPTY_ALERT)
        return;
    BRect stripe = Bounds();
    stripe.right = kStripeRight;
    SetHighColor(tint_color(ViewColor(), B_DARKEN_1_TINT));
    FillRect(stripe);
    DrawIcon(this, fType, kIconPosition);
}

void AlertView::DrawIcon(BView* view, alert_type type, BPoint where)
{
    view->PushState();
    view->SetPenSize(1);
    view->SetDrawingMode(B_OP_COPY);
    switch (type) {
    case B_INFO_ALERT:
        DrawInfo(view, where);
        break;
    case B_IDEA_ALERT:
        DrawIdea(view, where);
        break;
    case B_WARNING_ALERT:
        DrawWarning(view, where);
        break;
    case B_STOP_ALERT:
        DrawStop(view, where);
        break;
    case B_EMPTY_ALERT:
        break;
    }
    view->PopState();
}

} // namespace BPrivate
