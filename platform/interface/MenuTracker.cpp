#include "MenuTracker.h"

#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <Window.h>

#include "Geometry.h"
#include "TopView.h"
#include "WindowAccess.h"

#include <cctype>
#include <cmath>

namespace BPrivate {

namespace {

// A release this soon after the press that opened the menu, without moving,
// leaves the menu open for a second click.
constexpr bigtime_t kStickyClickTime = 500000;
constexpr float kMoveThreshold = 2;

bool IsChoosable(const BMenuItem* item)
{
    return item != nullptr && !item->IsSeparator() && item->IsEnabled();
}

} // namespace

MenuTracker::MenuTracker(
    BWindow* window, BMenu* menu, BPoint where, bool pressedToOpen, Completion completion)
    : fWindow(window)
    , fCompletion(std::move(completion))
    , fButtonHeld(pressedToOpen)
    , fPressPoint(where)
    , fOpenTime(system_time())
{
    fOpeningPress = pressedToOpen;
    fWindow->MenusBeginning();
    Open(menu, where, nullptr);
}

MenuTracker::~MenuTracker()
{
    Finish(nullptr);
}

BMenu* MenuTracker::RootMenu() const
{
    return fLevels.empty() ? nullptr : fLevels.front().menu;
}

BMenuItem* MenuTracker::Highlighted() const
{
    return fLevels.empty() ? nullptr : fLevels.back().menu->Highlighted();
}

BRect MenuTracker::PlaceInWindow(BRect frame) const
{
    BRect bounds = fWindow->Bounds();
    if (frame.right > bounds.right)
        frame.OffsetBy(bounds.right - frame.right, 0);
    if (frame.left < bounds.left)
        frame.OffsetBy(bounds.left - frame.left, 0);
    if (frame.bottom > bounds.bottom)
        frame.OffsetBy(0, bounds.bottom - frame.bottom);
    if (frame.top < bounds.top)
        frame.OffsetBy(0, bounds.top - frame.top);
    return frame;
}

void MenuTracker::Open(BMenu* menu, BPoint where, BMenuItem* parentItem)
{
    if (menu == nullptr)
        return;
    menu->ResizeToPreferred();
    BRect frame = MovedRect(menu->Bounds(), where);
    frame = PlaceInWindow(frame);
    menu->MoveTo(frame.LeftTop());
    menu->SetHighlighted(nullptr);
    WindowAccess::TopViewOf(fWindow)->AddOverlay(menu);
    fLevels.push_back({ menu, parentItem });
}

void MenuTracker::CloseFrom(size_t level)
{
    while (fLevels.size() > level) {
        BMenu* menu = fLevels.back().menu;
        fLevels.pop_back();
        menu->SetHighlighted(nullptr);
        if (menu->Window() == fWindow)
            WindowAccess::TopViewOf(fWindow)->RemoveOverlay(menu);
    }
}

int32 MenuTracker::LevelAt(BPoint where) const
{
    for (int32 i = int32(fLevels.size()) - 1; i >= 0; i--) {
        if (fLevels[size_t(i)].menu->Frame().Contains(where))
            return i;
    }
    return -1;
}

void MenuTracker::Select(size_t level, BMenuItem* item)
{
    BMenu* menu = fLevels[level].menu;
    if (menu->Highlighted() != item) {
        CloseFrom(level + 1);
        menu->SetHighlighted(item);
    }
    if (item != nullptr && item->Submenu() != nullptr && item->IsEnabled()
        && (fLevels.size() <= level + 1 || fLevels[level + 1].parentItem != item))
        OpenSubmenu(level, item);
}

void MenuTracker::OpenSubmenu(size_t level, BMenuItem* item)
{
    CloseFrom(level + 1);
    BMenu* menu = fLevels[level].menu;
    BRect itemFrame = OffsetRect(item->Frame(), menu->Frame().LeftTop());
    BPoint where(itemFrame.right + 1, itemFrame.top - 1);
    Open(item->Submenu(), where, item);
}

void MenuTracker::MouseMoved(BMessage* /*message*/, BPoint where)
{
    if (fDone)
        return;
    if (std::fabs(where.x - fPressPoint.x) > kMoveThreshold
        || std::fabs(where.y - fPressPoint.y) > kMoveThreshold)
        fMoved = true;
    int32 level = LevelAt(where);
    if (level < 0) {
        // Outside every menu: the deepest one loses its highlight, unless
        // it is the item whose submenu is open.
        BMenu* deepest = fLevels.back().menu;
        deepest->SetHighlighted(nullptr);
        return;
    }
    BMenu* menu = fLevels[size_t(level)].menu;
    BMenuItem* item = menu->ItemAt(where - menu->Frame().LeftTop());
    Select(size_t(level), IsChoosable(item) ? item : nullptr);
}

void MenuTracker::MouseDown(BMessage* /*message*/, BPoint where)
{
    if (fDone)
        return;
    fButtonHeld = true;
    int32 level = LevelAt(where);
    if (level < 0) {
        // A click beside the menu dismisses it (and goes no further).
        Finish(nullptr);
        return;
    }
    BMenu* menu = fLevels[size_t(level)].menu;
    BMenuItem* item = menu->ItemAt(where - menu->Frame().LeftTop());
    Select(size_t(level), IsChoosable(item) ? item : nullptr);
}

void MenuTracker::MouseUp(BMessage* /*message*/, BPoint where)
{
    if (fDone)
        return;
    fButtonHeld = false;
    bool openingRelease = fOpeningPress;
    fOpeningPress = false;
    int32 level = LevelAt(where);
    BMenuItem* item = nullptr;
    if (level >= 0) {
        BMenu* menu = fLevels[size_t(level)].menu;
        item = menu->ItemAt(where - menu->Frame().LeftTop());
    }
    if (openingRelease && (!fMoved || system_time() - fOpenTime < kStickyClickTime) && !fMoved)
        return;
    if (IsChoosable(item) && item->Submenu() == nullptr) {
        Finish(item);
        return;
    }
    if (level < 0)
        Finish(nullptr);
}

void MenuTracker::MoveHighlight(int32 direction)
{
    BMenu* menu = fLevels.back().menu;
    int32 count = menu->CountItems();
    if (count == 0)
        return;
    int32 start = menu->IndexOf(menu->Highlighted());
    int32 index = start;
    for (int32 step = 0; step < count; step++) {
        if (index < 0)
            index = direction > 0 ? 0 : count - 1;
        else
            index = (index + direction + count) % count;
        if (IsChoosable(menu->ItemAt(index))) {
            Select(fLevels.size() - 1, menu->ItemAt(index));
            return;
        }
    }
}

void MenuTracker::HighlightMarked()
{
    if (fLevels.empty())
        return;
    BMenu* menu = fLevels.back().menu;
    BMenuItem* marked = menu->FindMarked();
    if (IsChoosable(marked))
        menu->SetHighlighted(marked);
    else
        MoveHighlight(1);
    fOpeningPress = false;
}

void MenuTracker::KeyDown(BMessage* /*message*/, const char* bytes)
{
    if (fDone || bytes == nullptr)
        return;
    size_t level = fLevels.size() - 1;
    BMenu* menu = fLevels[level].menu;
    BMenuItem* highlighted = menu->Highlighted();
    switch (bytes[0]) {
    case B_ESCAPE:
        Finish(nullptr);
        return;
    case B_UP_ARROW:
        MoveHighlight(-1);
        return;
    case B_DOWN_ARROW:
        MoveHighlight(1);
        return;
    case B_LEFT_ARROW:
        if (level > 0)
            CloseFrom(level);
        return;
    case B_RIGHT_ARROW:
        if (highlighted != nullptr && highlighted->Submenu() != nullptr) {
            OpenSubmenu(level, highlighted);
            MoveHighlight(1);
        }
        return;
    case B_ENTER:
    case B_SPACE:
        if (!IsChoosable(highlighted))
            return;
        if (highlighted->Submenu() != nullptr) {
            OpenSubmenu(level, highlighted);
            MoveHighlight(1);
        } else {
            Finish(highlighted);
        }
        return;
    }
    // A letter chooses the first item whose label starts with it.
    int wanted = std::tolower(uint8(bytes[0]));
    for (int32 i = 0; i < menu->CountItems(); i++) {
        BMenuItem* item = menu->ItemAt(i);
        if (!IsChoosable(item) || item->Submenu() != nullptr)
            continue;
        int first = item->Trigger() != 0 ? item->Trigger() : uint8(item->Label()[0]);
        if (std::tolower(first) == wanted) {
            Finish(item);
            return;
        }
    }
}

void MenuTracker::ViewDetached(BView* view)
{
    if (fDone)
        return;
    for (const Level& level : fLevels) {
        if (level.menu == view) {
            // A menu taken away while it is open (its owner deleted it):
            // nothing is chosen.
            fLevels.clear();
            Finish(nullptr);
            return;
        }
    }
}

void MenuTracker::Finish(BMenuItem* item)
{
    if (fDone)
        return;
    fDone = true;
    CloseFrom(0);
    fWindow->MenusEnded();
    if (fCompletion) {
        Completion completion = std::move(fCompletion);
        fCompletion = nullptr;
        completion(item);
    }
}

} // namespace BPrivate
