// The UI driver's reading verbs: what the windows show, as text ("dump"),
// waiting for a view to show a text ("wait-text") or a menu to offer an item
// ("wait-item"), and the pixels of one window named by its title
// ("screenshot-window").

#include "UIDriverActions.h"

#include <AtomicFile.h>
#include <Box.h>
#include <Control.h>
#include <DisplayBackend.h>
#include <ListItem.h>
#include <ListView.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <StringView.h>
#include <TextView.h>
#include <View.h>
#include <Window.h>

#include "Desktop.h"
#include "WindowAccess.h"
#include "WindowLink.h"

#include <cstdio>
#include <cxxabi.h>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <typeinfo>

namespace BPrivate {

namespace {

constexpr bigtime_t kDumpLockWait = 100000;

// A window locked for the life of the object; null when it could not be.
class DumpLock {
public:
    explicit DumpLock(const BMessenger& messenger)
    {
        if (messenger.LockTargetWithTimeout(kDumpLockWait) != B_OK)
            return;
        BLooper* looper = nullptr;
        messenger.Target(&looper);
        fWindow = dynamic_cast<BWindow*>(looper);
        if (fWindow == nullptr && looper != nullptr)
            looper->Unlock();
    }
    ~DumpLock()
    {
        if (fWindow != nullptr)
            fWindow->Unlock();
    }
    DumpLock(const DumpLock&) = delete;
    DumpLock& operator=(const DumpLock&) = delete;

    BWindow* Get() const { return fWindow; }

private:
    BWindow* fWindow = nullptr;
};

std::string ClassName(const BView* view)
{
    const char* mangled = typeid(*view).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return status == 0 && demangled ? demangled.get() : mangled;
}

// A text in double quotes, with quotes, backslashes and control characters
// escaped, so that one view stays on one line.
std::string Quoted(const char* text)
{
    std::string result = "\"";
    for (const char* c = text != nullptr ? text : ""; *c != '\0'; c++) {
        if (*c == '"' || *c == '\\')
            result += std::string("\\") + *c;
        else if (*c == '\n')
            result += "\\n";
        else if (*c == '\t')
            result += "\\t";
        else if (uint8(*c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\x%02x", unsigned(uint8(*c)));
            result += escaped;
        } else
            result += *c;
    }
    return result + "\"";
}

// The text a view shows, for the kinds of view that show one.
std::optional<std::string> ShownText(BView* view)
{
    if (BStringView* stringView = dynamic_cast<BStringView*>(view))
        return std::string(stringView->Text() != nullptr ? stringView->Text() : "");
    if (BTextView* textView = dynamic_cast<BTextView*>(view))
        return std::string(textView->Text() != nullptr ? textView->Text() : "");
    if (BControl* control = dynamic_cast<BControl*>(view))
        return std::string(control->Label() != nullptr ? control->Label() : "");
    if (BBox* box = dynamic_cast<BBox*>(view))
        return std::string(box->Label() != nullptr ? box->Label() : "");
    if (BMenuField* field = dynamic_cast<BMenuField*>(view)) {
        BMenuItem* marked = field->Menu() != nullptr ? field->Menu()->FindMarked() : nullptr;
        return std::string(marked != nullptr && marked->Label() != nullptr ? marked->Label() : "");
    }
    return std::nullopt;
}

void DescribeList(BListView* list, std::ostream& out)
{
    out << " items=" << list->CountItems() << " selected=";
    bool first = true;
    for (int32 i = 0; i < list->CountItems(); i++) {
        if (!list->IsItemSelected(i))
            continue;
        out << (first ? "" : ",") << i;
        first = false;
    }
    if (first)
        out << "-";
    // The row the keys work on, framed while a multiple-selection list has
    // the focus.
    if (list->ListType() == B_MULTIPLE_SELECTION_LIST && list->IsFocus() && list->CurrentRow() >= 0)
        out << " current=" << list->CurrentRow();
}

// The items of a menu field: "*" after a marked one, "(off)" after a
// disabled one, separated by "|".
void DescribeMenu(BMenuField* field, std::ostream& out)
{
    BMenu* menu = field->Menu();
    if (menu == nullptr)
        return;
    std::string items;
    for (int32 i = 0; i < menu->CountItems(); i++) {
        BMenuItem* item = menu->ItemAt(i);
        if (i > 0)
            items += "|";
        items += item->Label() != nullptr ? item->Label() : "";
        if (item->IsMarked())
            items += "*";
        if (!item->IsEnabled())
            items += "(off)";
    }
    out << " menu=" << Quoted(items.c_str());
    // The field's menu open in its window, and the item highlighted in it.
    MenuTracker* tracker
        = field->Window() != nullptr ? WindowAccess::Tracker(field->Window()) : nullptr;
    if (tracker != nullptr && !tracker->IsDone() && tracker->RootMenu() == menu) {
        BMenuItem* highlighted = tracker->Highlighted();
        out << " open highlight="
            << Quoted(highlighted != nullptr && highlighted->Label() != nullptr
                       ? highlighted->Label()
                       : "");
    }
}

void DescribeView(BView* view, int depth, std::ostream& out)
{
    out << std::string(size_t(depth) * 2, ' ')
        << (view->Name() != nullptr && view->Name()[0] != '\0' ? view->Name() : "-") << " "
        << ClassName(view);
    if (view->IsHidden())
        out << " hidden";
    BControl* control = dynamic_cast<BControl*>(view);
    BMenuField* field = dynamic_cast<BMenuField*>(view);
    if ((control != nullptr && !control->IsEnabled()) || (field != nullptr && !field->IsEnabled()))
        out << " disabled";
    // A menu field takes the focus on its bar, which is described with it.
    if (view->IsFocus()
        || (field != nullptr && field->MenuBar() != nullptr && field->MenuBar()->IsFocus()))
        out << " focus";
    if (std::optional<std::string> text = ShownText(view))
        out << " text=" << Quoted(text->c_str());
    if (BListView* list = dynamic_cast<BListView*>(view))
        DescribeList(list, out);
    if (field != nullptr)
        DescribeMenu(field, out);
    out << "\n";
    // A menu field's own bar and menu are described by the field.
    if (field != nullptr)
        return;
    for (int32 i = 0; i < view->CountChildren(); i++)
        DescribeView(view->ChildAt(i), depth + 1, out);
}

// The view itself when it is a menu field, else its first menu field.
BMenuField* FindMenuField(BView* view)
{
    if (BMenuField* field = dynamic_cast<BMenuField*>(view))
        return field;
    for (int32 i = 0; i < view->CountChildren(); i++) {
        if (BMenuField* field = FindMenuField(view->ChildAt(i)))
            return field;
    }
    return nullptr;
}

// The first view of that name in the shown windows, front first, and the
// text it shows; nullopt when there is none or it shows no text.
std::optional<std::string> TextOfView(const std::string& name)
{
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        DumpLock locked(messenger);
        BWindow* window = locked.Get();
        if (window == nullptr || window->IsHidden())
            continue;
        if (BView* view = window->FindView(name.c_str()))
            return ShownText(view);
    }
    return std::nullopt;
}

} // namespace

bool UIDriverActions::TryDump(const std::string& file)
{
    std::ostringstream out;
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        DumpLock locked(messenger);
        BWindow* window = locked.Get();
        if (window == nullptr)
            return false;
        if (window->IsHidden())
            continue;
        out << "window " << Quoted(window->Title()) << (window->IsActive() ? " active" : "")
            << "\n";
        for (int32 i = 0; i < window->CountChildren(); i++)
            DescribeView(window->ChildAt(i), 1, out);
    }
    // Replaced whole, so that a reader waiting for the file never sees half
    // of it.
    return BPrivate::WriteFileAtomically(file, out.str()) == B_OK;
}

bool UIDriverActions::TryWaitText(const std::string& name, const std::string& text)
{
    std::optional<std::string> shown = TextOfView(name);
    return shown.has_value() && *shown == text;
}

bool UIDriverActions::TryWaitItem(const std::string& name, const std::string& item)
{
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        DumpLock locked(messenger);
        BWindow* window = locked.Get();
        if (window == nullptr || window->IsHidden())
            continue;
        BView* view = window->FindView(name.c_str());
        BMenuField* field = view != nullptr ? FindMenuField(view) : nullptr;
        if (field == nullptr || field->Menu() == nullptr)
            continue;
        for (int32 i = 0; i < field->Menu()->CountItems(); i++) {
            const char* label = field->Menu()->ItemAt(i)->Label();
            if (label != nullptr && item == label)
                return true;
        }
        return false;
    }
    return false;
}

bool UIDriverActions::TryScreenshotWindow(const std::string& title, const std::string& file)
{
    for (const BMessenger& messenger : Desktop::Default().WindowsFrontToBack()) {
        int32 id = -1;
        {
            DumpLock locked(messenger);
            BWindow* window = locked.Get();
            if (window == nullptr || window->IsHidden() || title != window->Title())
                continue;
        }
        // A round trip through the window's queue, so that what it was
        // asked to draw has been drawn.
        BMessage reply;
        messenger.SendMessage('_png', &reply);
        DumpLock locked(messenger);
        if (locked.Get() == nullptr || !WindowAccess::IsSettled(locked.Get()))
            return false;
        id = WindowAccess::Link(locked.Get())->DisplayId();
        return DisplayBackend::Default().WriteScreenshot(id, file.c_str()) == B_OK;
    }
    return false;
}

} // namespace BPrivate
