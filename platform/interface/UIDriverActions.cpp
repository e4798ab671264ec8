// The UI driver's verbs: finding the window and view an action is aimed at,
// under the window's lock, and injecting the input through the display.

#include "UIDriverActions.h"

#include <Alert.h>
#include <Control.h>
#include <DisplayBackend.h>
#include <DisplayWindow.h>
#include <ListView.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <ScrollView.h>
#include <TextView.h>
#include <View.h>
#include <Window.h>

#include "Desktop.h"
#include "MenuTracker.h"
#include "WindowAccess.h"
#include "WindowLink.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <map>

namespace BPrivate {

namespace {

// How long the driver waits for a window's lock before it looks at the next
// window (a window busy in a long handler is tried again later).
constexpr bigtime_t kLockWait = 100000;
// A menu that has not opened this long after its click is clicked again.
constexpr bigtime_t kMenuOpenWait = 2000000;

DisplayBackend& Display()
{
    return DisplayBackend::Default();
}

// A window, locked for the life of the object.
class LockedWindow {
public:
    explicit LockedWindow(const BMessenger& messenger)
    {
        if (messenger.LockTargetWithTimeout(kLockWait) != B_OK)
            return;
        BLooper* looper = nullptr;
        messenger.Target(&looper);
        fWindow = dynamic_cast<BWindow*>(looper);
        if (fWindow == nullptr && looper != nullptr)
            looper->Unlock();
    }
    ~LockedWindow()
    {
        if (fWindow != nullptr)
            fWindow->Unlock();
    }
    LockedWindow(const LockedWindow&) = delete;
    LockedWindow& operator=(const LockedWindow&) = delete;

    BWindow* Get() const { return fWindow; }

private:
    BWindow* fWindow = nullptr;
};

bool IsEnabled(BView* view)
{
    if (BControl* control = dynamic_cast<BControl*>(view))
        return control->IsEnabled();
    if (BMenuField* field = dynamic_cast<BMenuField*>(view))
        return field->IsEnabled();
    return true;
}

// The view or its first descendant of the kind asked for.
template <typename Kind> Kind* FindKind(BView* view)
{
    if (Kind* found = dynamic_cast<Kind*>(view))
        return found;
    for (int32 i = 0; i < view->CountChildren(); i++) {
        if (Kind* found = FindKind<Kind>(view->ChildAt(i)))
            return found;
    }
    return nullptr;
}

// The part of `rect` (view coordinates) that shows in the window, in window
// coordinates; invalid when none does.
BRect VisiblePart(BView* view, BRect rect)
{
    BWindow* window = view->Window();
    BRect result = window->ConvertFromScreen(view->ConvertToScreen(rect));
    for (BView* parent = view->Parent(); parent != nullptr; parent = parent->Parent()) {
        BRect bounds = window->ConvertFromScreen(parent->ConvertToScreen(parent->Bounds()));
        result = result & bounds;
    }
    return result & window->Bounds();
}

BPoint Center(BRect rect)
{
    return BPoint(
        std::floor((rect.left + rect.right) / 2), std::floor((rect.top + rect.bottom) / 2));
}

bool PlaceAtCenter(BView* view, BPoint* where)
{
    BRect visible = VisiblePart(view, view->Bounds());
    if (!visible.IsValid())
        return false;
    *where = Center(visible);
    return true;
}

void VisitViews(BView* view, const std::function<bool(BView*)>& visit)
{
    if (visit(view))
        return;
    for (int32 i = 0; i < view->CountChildren(); i++)
        VisitViews(view->ChildAt(i), visit);
}

// The window that takes typed keys: the active one, else the front one.
BMessenger KeyboardWindow()
{
    std::vector<BMessenger> windows = Desktop::Default().WindowsFrontToBack();
    for (const BMessenger& messenger : windows) {
        LockedWindow locked(messenger);
        if (locked.Get() != nullptr && locked.Get()->IsActive())
            return messenger;
    }
    return windows.empty() ? BMessenger() : windows.front();
}

int32 DisplayIdOf(BWindow* window)
{
    return WindowAccess::Link(window)->DisplayId();
}

} // namespace

bool UIDriverActions::FindTarget(const std::function<bool(BView*)>& match,
    const std::function<bool(BView*, BPoint*)>& place, Target* target)
{
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        LockedWindow locked(messenger);
        BWindow* window = locked.Get();
        if (window == nullptr || window->IsHidden())
            continue;
        if (!window->IsModal() && Desktop::Default().BlockingModal(window).IsValid())
            continue;
        bool found = false;
        for (int32 i = 0; i < window->CountChildren() && !found; i++) {
            VisitViews(window->ChildAt(i), [&](BView* view) {
                if (found || !match(view) || view->IsHidden() || !IsEnabled(view))
                    return found;
                BPoint where;
                if (!place(view, &where))
                    return false;
                target->displayWindow = DisplayIdOf(window);
                target->where = where;
                target->window = messenger;
                found = true;
                return true;
            });
        }
        if (found)
            return true;
    }
    return false;
}

bool UIDriverActions::TryWaitWindow(const std::string& title)
{
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        LockedWindow locked(messenger);
        if (locked.Get() != nullptr && !locked.Get()->IsHidden() && title == locked.Get()->Title())
            return true;
    }
    return false;
}

bool UIDriverActions::TryClick(const std::string& name)
{
    Target target;
    auto match = [&](BView* view) { return view->Name() != nullptr && name == view->Name(); };
    if (!FindTarget(match, PlaceAtCenter, &target))
        return false;
    return Display().InjectClick(target.displayWindow, target.where) == B_OK;
}

bool UIDriverActions::TryClickLabel(const std::string& label)
{
    return ClickLabel(label, 1);
}

bool UIDriverActions::TryDoubleClickLabel(const std::string& label)
{
    return ClickLabel(label, 2);
}

// Clicks the control labelled `label` `clicks` times in a row, each one
// counted on from the one before, as the display counts a user's clicks.
bool UIDriverActions::ClickLabel(const std::string& label, int32 clicks)
{
    Target target;
    auto match = [&](BView* view) {
        BControl* control = dynamic_cast<BControl*>(view);
        return control != nullptr && control->Label() != nullptr && label == control->Label();
    };
    if (!FindTarget(match, PlaceAtCenter, &target))
        return false;
    for (int32 count = 1; count <= clicks; count++) {
        if (Display().InjectClick(target.displayWindow, target.where, kPrimaryButton, count)
            != B_OK)
            return false;
    }
    return true;
}

bool UIDriverActions::TryClose(const std::string& title)
{
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        LockedWindow locked(messenger);
        BWindow* window = locked.Get();
        if (window == nullptr || window->IsHidden() || title != window->Title())
            continue;
        int32 id = DisplayIdOf(window);
        return Display().InjectCloseRequest(id) == B_OK;
    }
    return false;
}

bool UIDriverActions::TryWaitEnabled(const std::string& name)
{
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        LockedWindow locked(messenger);
        BWindow* window = locked.Get();
        if (window == nullptr || window->IsHidden())
            continue;
        BView* view = window->FindView(name.c_str());
        if (view != nullptr)
            return !view->IsHidden() && IsEnabled(view);
    }
    return false;
}

bool UIDriverActions::TryChoose(const std::string& name, const std::string& item)
{
    if (fMenuOpened) {
        LockedWindow locked(fMenuWindow);
        BWindow* window = locked.Get();
        MenuTracker* tracker = window != nullptr ? WindowAccess::Tracker(window) : nullptr;
        if (tracker == nullptr || tracker->IsDone() || tracker->RootMenu() == nullptr) {
            if (system_time() - fMenuClickTime > kMenuOpenWait)
                fMenuOpened = false;
            return false;
        }
        BMenu* menu = tracker->RootMenu();
        for (int32 i = 0; i < menu->CountItems(); i++) {
            BMenuItem* candidate = menu->ItemAt(i);
            if (item != candidate->Label() || !candidate->IsEnabled())
                continue;
            BPoint where = Center(candidate->Frame()) + menu->Frame().LeftTop();
            int32 id = DisplayIdOf(window);
            fMenuOpened = false;
            return Display().InjectClick(id, where) == B_OK;
        }
        return false;
    }
    Target target;
    auto match = [&](BView* view) {
        return view->Name() != nullptr && name == view->Name()
            && FindKind<BMenuField>(view) != nullptr;
    };
    auto place = [](BView* view, BPoint* where) {
        BMenuField* field = FindKind<BMenuField>(view);
        if (!field->IsEnabled())
            return false;
        BView* bar = field->MenuBar();
        BRect visible = VisiblePart(bar, bar->Bounds());
        if (!visible.IsValid())
            return false;
        *where = Center(visible);
        return true;
    };
    if (!FindTarget(match, place, &target))
        return false;
    if (Display().InjectClick(target.displayWindow, target.where) != B_OK)
        return false;
    fMenuOpened = true;
    fMenuWindow = target.window;
    fMenuClickTime = system_time();
    return false;
}

bool UIDriverActions::TryTick(const std::string& name, int32 row)
{
    return ClickRow(name, row, true);
}

bool UIDriverActions::TryClickRow(const std::string& name, int32 row)
{
    return ClickRow(name, row, false);
}

bool UIDriverActions::ClickRow(const std::string& name, int32 row, bool toggle)
{
    Target target;
    uint32 modifiers = 0;
    auto match = [&](BView* view) {
        return view->Name() != nullptr && name == view->Name()
            && FindKind<BListView>(view) != nullptr;
    };
    auto place = [&](BView* view, BPoint* where) {
        BListView* list = FindKind<BListView>(view);
        if (row >= list->CountItems())
            return false;
        // The row is scrolled into view first, as a user would.
        BRect frame = list->ItemFrame(row);
        BRect bounds = list->Bounds();
        if (frame.top < bounds.top)
            list->ScrollTo(BPoint(bounds.left, frame.top));
        else if (frame.bottom > bounds.bottom)
            list->ScrollTo(BPoint(bounds.left, frame.bottom - bounds.Height()));
        BRect visible = VisiblePart(list, list->ItemFrame(row));
        if (!visible.IsValid())
            return false;
        *where = Center(visible);
        // In a list of many choices a tick adds or removes the row.
        if (toggle && list->ListType() == B_MULTIPLE_SELECTION_LIST)
            modifiers = kCommandKey | kLeftCommandKey;
        return true;
    };
    if (!FindTarget(match, place, &target))
        return false;
    return Display().InjectClick(target.displayWindow, target.where, kPrimaryButton, 1, modifiers)
        == B_OK;
}

bool UIDriverActions::TryType(const std::string& name, const std::string& text)
{
    Target target;
    auto match = [&](BView* view) {
        BTextView* textView = FindKind<BTextView>(view);
        return view->Name() != nullptr && name == view->Name() && textView != nullptr
            && textView->IsEditable();
    };
    auto place = [](BView* view, BPoint* where) {
        // A click after the end of the text puts the caret there.
        BTextView* textView = FindKind<BTextView>(view);
        float height = 0;
        BPoint end = textView->PointAt(textView->TextLength(), &height);
        BRect spot(end.x, end.y, end.x + 1, end.y + std::max(0.0f, height - 1));
        BRect visible = VisiblePart(textView, spot);
        if (!visible.IsValid())
            visible = VisiblePart(textView, textView->Bounds());
        if (!visible.IsValid())
            return false;
        *where = Center(visible);
        return true;
    };
    if (!FindTarget(match, place, &target))
        return false;
    if (Display().InjectClick(target.displayWindow, target.where) != B_OK)
        return false;
    return Display().InjectText(target.displayWindow, text) == B_OK;
}

bool UIDriverActions::TryKey(const std::string& description)
{
    std::string bytes;
    int32 key = 0;
    uint32 modifiers = 0;
    if (!ParseKey(description, &bytes, &key, &modifiers))
        return false;
    BMessenger messenger = KeyboardWindow();
    int32 id = -1;
    {
        LockedWindow locked(messenger);
        if (locked.Get() == nullptr)
            return false;
        id = DisplayIdOf(locked.Get());
    }
    return Display().InjectKey(id, bytes, key, modifiers) == B_OK;
}

bool UIDriverActions::TryAlert(const std::string& label)
{
    if (fPendingAlert.IsValid())
        return false;
    if (fPendingAlert != BMessenger()) {
        // The alert that was answered has gone.
        fPendingAlert = BMessenger();
        return true;
    }
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        LockedWindow locked(messenger);
        BAlert* alert = dynamic_cast<BAlert*>(locked.Get());
        if (alert == nullptr || alert->IsHidden())
            continue;
        for (int32 i = 0; i < alert->CountButtons(); i++) {
            BButton* button = alert->ButtonAt(i);
            if (button->Label() == nullptr || label != button->Label())
                continue;
            BPoint where;
            if (!PlaceAtCenter(button, &where))
                return false;
            if (Display().InjectClick(DisplayIdOf(alert), where) != B_OK)
                return false;
            fPendingAlert = messenger;
            return false;
        }
    }
    return false;
}

bool UIDriverActions::TryDrop(const std::string& name, const std::string& path)
{
    Target target;
    auto match = [&](BView* view) { return view->Name() != nullptr && name == view->Name(); };
    if (!FindTarget(match, PlaceAtCenter, &target))
        return false;
    return Display().InjectDrop(target.displayWindow, target.where, { path }) == B_OK;
}

void UIDriverActions::WaitUntilQuiet(bigtime_t limit)
{
    bigtime_t deadline = system_time() + limit;
    int32 quietRounds = 0;
    while (quietRounds < 2 && system_time() < deadline) {
        bool quiet = true;
        for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
            LockedWindow locked(messenger);
            if (locked.Get() != nullptr && !WindowAccess::IsSettled(locked.Get())) {
                quiet = false;
                break;
            }
        }
        quietRounds = quiet ? quietRounds + 1 : 0;
        snooze(2000);
    }
}

// The display id of the front window once it has drawn everything, or -1.
int32 UIDriverActions::SettledFrontWindow()
{
    std::vector<BMessenger> windows = Desktop::Default().WindowsFrontToBack();
    if (windows.empty())
        return -1;
    BMessage reply;
    windows.front().SendMessage('_png', &reply);
    LockedWindow locked(windows.front());
    if (locked.Get() == nullptr || !WindowAccess::IsSettled(locked.Get()))
        return -1;
    return DisplayIdOf(locked.Get());
}

bool UIDriverActions::TryScreenshot(const std::string& file)
{
    int32 id = SettledFrontWindow();
    return id >= 0 && Display().WriteScreenshot(id, file.c_str()) == B_OK;
}

bool UIDriverActions::TryWaitDrawn()
{
    int32 id = SettledFrontWindow();
    if (id < 0)
        return false;
    std::shared_ptr<DisplayWindow> shown = Display().FindWindow(id);
    return shown && shown->CountPresents() > 0 && Display().Sync() == B_OK;
}

// #pragma mark - keys

bool UIDriverActions::ParseKey(
    const std::string& description, std::string* bytes, int32* key, uint32* modifiers)
{
    *modifiers = 0;
    *key = 0;
    std::string name = description;
    size_t plus;
    while ((plus = name.find('+')) != std::string::npos && plus + 1 < name.size()) {
        std::string modifier = name.substr(0, plus);
        for (char& c : modifier)
            c = char(std::tolower(uint8(c)));
        if (modifier == "ctrl" || modifier == "control" || modifier == "command"
            || modifier == "cmd")
            *modifiers |= kCommandKey | kLeftCommandKey;
        else if (modifier == "alt")
            *modifiers |= kControlKey | kLeftControlKey;
        else if (modifier == "shift")
            *modifiers |= kShiftKey | kLeftShiftKey;
        else if (modifier == "option" || modifier == "win" || modifier == "super")
            *modifiers |= kOptionKey | kLeftOptionKey;
        else
            return false;
        name = name.substr(plus + 1);
    }

    struct NamedKey {
        const char* name;
        char byte;
        int32 code;
    };
    static const NamedKey kKeys[] = {
        { "enter", KeyBytes::kEnter, 0x47 },
        { "return", KeyBytes::kReturn, 0x47 },
        { "escape", KeyBytes::kEscape, 0x01 },
        { "esc", KeyBytes::kEscape, 0x01 },
        { "tab", KeyBytes::kTab, 0x26 },
        { "space", KeyBytes::kSpace, 0x5e },
        { "backspace", KeyBytes::kBackspace, 0x1e },
        { "delete", KeyBytes::kDelete, 0x34 },
        { "insert", KeyBytes::kInsert, 0x1f },
        { "home", KeyBytes::kHome, 0x20 },
        { "end", KeyBytes::kEnd, 0x35 },
        { "pageup", KeyBytes::kPageUp, 0x21 },
        { "pagedown", KeyBytes::kPageDown, 0x36 },
        { "up", KeyBytes::kUpArrow, 0x57 },
        { "down", KeyBytes::kDownArrow, 0x62 },
        { "left", KeyBytes::kLeftArrow, 0x61 },
        { "right", KeyBytes::kRightArrow, 0x63 },
    };
    std::string lower = name;
    for (char& c : lower)
        c = char(std::tolower(uint8(c)));
    for (const NamedKey& named : kKeys) {
        if (lower == named.name) {
            *bytes = std::string(1, named.byte);
            *key = named.code;
            return true;
        }
    }
    if (lower.size() >= 2 && lower[0] == 'f' && std::isdigit(uint8(lower[1]))) {
        int number = std::atoi(lower.c_str() + 1);
        if (number < 1 || number > 12)
            return false;
        *bytes = std::string(1, KeyBytes::kFunctionKey);
        *key = KeyCodes::kF1 + number - 1;
        return true;
    }
    if (name.size() != 1)
        return false;

    // The platform's codes of the letter and digit keys.
    static const char* kRows[] = { "qwertyuiop", "asdfghjkl", "zxcvbnm", "1234567890" };
    static const int32 kRowStarts[] = { 0x27, 0x3c, 0x4c, 0x12 };
    char character = name[0];
    char lowerCharacter = char(std::tolower(uint8(character)));
    for (int row = 0; row < 4; row++) {
        const char* found = std::strchr(kRows[row], lowerCharacter);
        if (found != nullptr && lowerCharacter != 0)
            *key = kRowStarts[row] + int32(found - kRows[row]);
    }
    // A capital letter alone is typed with Shift; with other modifiers the
    // letter names its key ("Ctrl+A").
    if (*modifiers == 0 && std::isupper(uint8(character)))
        *modifiers |= kShiftKey | kLeftShiftKey;
    if (!std::isalpha(uint8(character)))
        *bytes = std::string(1, character);
    else if ((*modifiers & kControlKey) != 0)
        *bytes = std::string(1, char(lowerCharacter & 0x1f)); // the control character
    else if ((*modifiers & kShiftKey) != 0)
        *bytes = std::string(1, char(std::toupper(uint8(character))));
    else
        *bytes = std::string(1, lowerCharacter);
    return true;
}

} // namespace BPrivate
