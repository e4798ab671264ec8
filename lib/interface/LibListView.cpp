#include "LibListView.h"

#include <InterfaceDefs.h>
#include <Message.h>
#include <ScrollBar.h>
#include <Window.h>

#include <cstdio>

namespace {

// How often the drag follows the pointer, and how near an edge the pointer
// scrolls the list.
constexpr bigtime_t kDragInterval = 30000;
constexpr float kScrollMargin = 10;

} // namespace

LibListView::LibListView(BRect frame, const char* name)
    : BListView(frame, name, B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL_SIDES,
        B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE)
{
}

LibListView::~LibListView() = default;

void LibListView::SetHoverCommand(const uint32& command)
{
    fHoverCommand = command;
}

void LibListView::SetReorderCommand(const uint32& command)
{
    fReorderCommand = command;
}

void LibListView::AllowReorder(const bool& allow, BScrollBar* scrollBar)
{
    fReorderAllowed = allow;
    fReorderScrollBar = scrollBar;
}

void LibListView::ItemReordered(const int32& /*from*/, const int32& /*to*/)
{
    std::fprintf(stderr, "ItemReordered needs to be inherited\n");
}

void LibListView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (fHoverCommand != 0 && Window() != nullptr && Window()->IsActive()) {
        if (transit == B_ENTERED_VIEW) {
            fLastHoverItem = -1;
        } else {
            int32 item = transit == B_INSIDE_VIEW ? IndexOf(where) : -1;
            if (item != fLastHoverItem) {
                BMessage hover(fHoverCommand);
                hover.AddInt32("item", item);
                Window()->PostMessage(&hover);
                fLastHoverItem = item;
            }
        }
    }
    BListView::MouseMoved(where, transit, dragMessage);
}

void LibListView::KeyDown(const char* bytes, int32 numBytes)
{
    bool dismiss = numBytes == 1 && (bytes[0] == B_ESCAPE || bytes[0] == B_TAB);
    // Hiding an ordinary window would leave the program running without it,
    // so only pop-up windows are dismissed.
    if (dismiss && Window() != nullptr && (Window()->IsFloating() || Window()->IsModal())) {
        Window()->Hide();
        return;
    }
    BListView::KeyDown(bytes, numBytes);
}

bool LibListView::InitiateDrag(BPoint /*point*/, int32 index, bool wasSelected)
{
    if (!fReorderAllowed || !wasSelected || ItemAt(index) == nullptr)
        return false;
    TrackDrag(index);
    return true;
}

void LibListView::TrackDrag(int32 index)
{
    BListItem* item = ItemAt(index);
    float top = (item->Height() + 1) * float(index);
    BeginRectTracking(BRect(0, top, item->Width(), top + item->Height()));
    BPoint where;
    uint32 buttons = 0;
    GetMouse(&where, &buttons, true);
    while (buttons != 0) {
        ScrollWhileDragging(where);
        snooze(kDragInterval);
        GetMouse(&where, &buttons, true);
    }
    EndRectTracking();

    int32 target = IndexOf(where);
    BRect visible = Bounds();
    bool inside = visible.Contains(where) && where.x > visible.left + 2;
    if (target < 0 || target == index || !inside)
        return;
    ItemReordered(index, target);
    if (fReorderCommand != 0 && Window() != nullptr)
        Window()->PostMessage(fReorderCommand);
}

void LibListView::ScrollWhileDragging(BPoint where)
{
    if (fReorderScrollBar == nullptr)
        return;
    BRect visible = Bounds();
    float minimum = 0;
    float maximum = 0;
    float smallStep = 0;
    float largeStep = 0;
    fReorderScrollBar->GetRange(&minimum, &maximum);
    fReorderScrollBar->GetSteps(&smallStep, &largeStep);
    float value = fReorderScrollBar->Value();
    if (where.y >= visible.bottom - kScrollMargin && value < maximum)
        fReorderScrollBar->SetValue(value + smallStep);
    else if (where.y <= visible.top + kScrollMargin && value > 0)
        fReorderScrollBar->SetValue(value - smallStep);
}
