#include "InterfaceTestSupport.h"

#include <ListItem.h>

#include "Desktop.h"
#include "MenuTracker.h"
#include "PanelEntryItem.h"
#include "WindowAccess.h"
#include "WindowLink.h"

#include <DrawingTestSupport.h>
#include <RenderSurface.h>

namespace brenvik::test {

BPoint ListRowCenter(BWindow* window, BListView* list, int32 row)
{
    BPoint center;
    WithLock(window, [&] {
        BRect frame = list->ItemFrame(row);
        center = window->ConvertFromScreen(list->ConvertToScreen(
            BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2)));
    });
    return center;
}

std::vector<int32> ListSelection(BWindow* window, BListView* list)
{
    std::vector<int32> selected;
    WithLock(window, [&] {
        for (int32 i = 0; list->CurrentSelection(i) >= 0; i++)
            selected.push_back(list->CurrentSelection(i));
    });
    return selected;
}

void DeleteListItems(BWindow* window, BListView* list)
{
    WithLock(window, [&] {
        for (int32 i = list->CountItems() - 1; i >= 0; i--)
            delete list->RemoveItem(i);
    });
}

RgbaImage Snapshot(BWindow* window)
{
    BPrivate::WindowLink* link = BPrivate::WindowAccess::Link(window);
    BPrivate::WindowLink::SurfaceGuard guard(link);
    return BPrivate::test::ImageOf(*link->Surface());
}

std::vector<BMessenger> WindowsFrontToBack()
{
    return BPrivate::Desktop::Default().WindowsFrontToBack();
}

std::vector<BMessenger> AllWindows()
{
    return BPrivate::Desktop::Default().AllWindows();
}

bool MenuIsOpen(BWindow* window)
{
    return BPrivate::WindowAccess::Tracker(window) != nullptr;
}

const char* PanelEntryName(BListItem* row)
{
    return static_cast<BPrivate::PanelEntryItem*>(row)->Entry().name.c_str();
}

bool WaitForOpenMenu(BWindow* window, const char* label, BPoint* where)
{
    return WaitUntil([&] {
        bool found = false;
        WithLock(window, [&] {
            BPrivate::MenuTracker* tracker = BPrivate::WindowAccess::Tracker(window);
            if (tracker == nullptr || tracker->IsDone() || tracker->RootMenu() == nullptr)
                return;
            BMenu* menu = tracker->RootMenu();
            BMenuItem* item = menu->FindItem(label);
            if (item == nullptr)
                return;
            BRect frame = item->Frame();
            *where = BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2)
                + menu->Frame().LeftTop();
            found = true;
        });
        return found;
    });
}

} // namespace brenvik::test
