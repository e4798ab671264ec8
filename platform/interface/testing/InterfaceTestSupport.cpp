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
