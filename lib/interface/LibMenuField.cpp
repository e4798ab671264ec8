#include "LibMenuField.h"

#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>

#include <LibStdDirName.h>

#include <memory>

LibMenuField::LibMenuField(
    BRect frame, const char* name, const int& fontSize, const bool& radioMode)
    : BMenuField(frame, name, nullptr, new BPopUpMenu("", radioMode, radioMode),
        B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE)
{
    if (fontSize != 0) {
        BFont font;
        Menu()->GetFont(&font);
        font.SetSize(float(fontSize));
        Menu()->SetFont(&font, B_FONT_SIZE);
        MenuBar()->SetFont(&font, B_FONT_SIZE);
        // Lay the pop-up box out again for the new font.
        FrameResized(Bounds().Width(), Bounds().Height());
    }
}

LibMenuField::~LibMenuField() = default;

// #pragma mark - items

bool LibMenuField::Add(const char* label, BMessage* message, const int32& index)
{
    auto item = std::make_unique<BMenuItem>(label, message);
    bool added = index == -1 ? Menu()->AddItem(item.get()) : Menu()->AddItem(item.get(), index);
    if (!added)
        return false;
    BMenuItem* adopted = item.release();
    if (Menu()->CountItems() == 1 && Menu()->IsRadioMode())
        adopted->SetMarked(true);
    return true;
}

bool LibMenuField::AddSeparatorItem()
{
    return Menu()->AddSeparatorItem();
}

void LibMenuField::Clear()
{
    Menu()->RemoveItems(0, Menu()->CountItems(), true);
}

bool LibMenuField::RemoveItem(const int32& index)
{
    std::unique_ptr<BMenuItem> item(Menu()->RemoveItem(index));
    return item != nullptr;
}

bool LibMenuField::RemoveItem(const char* label)
{
    BMenuItem* item = FindItem(label);
    return item != nullptr && RemoveItem(Menu()->IndexOf(item));
}

bool LibMenuField::Replace(const char* oldLabel, const char* newLabel)
{
    BMenuItem* item = FindItem(oldLabel);
    if (item == nullptr || newLabel == nullptr)
        return false;
    item->SetLabel(newLabel);
    return true;
}

BMenuItem* LibMenuField::FindItem(const char* label) const
{
    if (label == nullptr)
        return nullptr;
    // Only the menu's own items: a label is never looked for in submenus.
    for (int32 i = 0; i < Menu()->CountItems(); i++) {
        BMenuItem* item = Menu()->ItemAt(i);
        if (!item->IsSeparator() && item->Label() != nullptr
            && std::string_view(item->Label()) == label)
            return item;
    }
    return nullptr;
}

BMenuItem* LibMenuField::ItemAt(const int32& index) const
{
    return Menu()->ItemAt(index);
}

int32 LibMenuField::CountItems() const
{
    return Menu()->CountItems();
}

bool LibMenuField::InMenu(const char* label) const
{
    return FindItem(label) != nullptr;
}

// #pragma mark - marks

void LibMenuField::SetItem(const int32& index)
{
    BMenuItem* item = Menu()->ItemAt(index);
    if (item != nullptr)
        item->SetMarked(true);
}

void LibMenuField::SetText(const char* label)
{
    BMenuItem* item = FindItem(label);
    if (item != nullptr)
        item->SetMarked(true);
}

LibString LibMenuField::Text() const
{
    BMenuItem* item = Menu()->FindMarked();
    return LibString(item != nullptr && item->Label() != nullptr ? item->Label() : "");
}

int32 LibMenuField::CurrentSelection() const
{
    return Menu()->FindMarkedIndex();
}

bool LibMenuField::IsMarked(const char* label) const
{
    BMenuItem* item = FindItem(label);
    return item != nullptr && item->IsMarked();
}

void LibMenuField::SetMarked(const char* label, const bool& marked)
{
    BMenuItem* item = FindItem(label);
    if (item != nullptr)
        item->SetMarked(marked);
}

void LibMenuField::ToggleMarked(const char* label)
{
    BMenuItem* item = FindItem(label);
    if (item != nullptr)
        item->SetMarked(!item->IsMarked());
}

void LibMenuField::MarkFirstEnabled()
{
    for (int32 i = 0; i < Menu()->CountItems(); i++) {
        BMenuItem* item = Menu()->ItemAt(i);
        if (item->IsSeparator())
            continue;
        if (item->IsEnabled()) {
            item->SetMarked(true);
            return;
        }
        item->SetMarked(false);
    }
}

// #pragma mark - enabling

bool LibMenuField::IsItemEnabled(const int32& index) const
{
    BMenuItem* item = Menu()->ItemAt(index);
    return item != nullptr && item->IsEnabled();
}

bool LibMenuField::IsItemEnabled(const char* label) const
{
    BMenuItem* item = FindItem(label);
    return item != nullptr && item->IsEnabled();
}

void LibMenuField::SetEnableItem(const int32& index, const bool& enabled)
{
    BMenuItem* item = Menu()->ItemAt(index);
    if (item != nullptr)
        item->SetEnabled(enabled);
}

void LibMenuField::SetEnableItem(const char* label, const bool& enabled)
{
    BMenuItem* item = FindItem(label);
    if (item != nullptr)
        item->SetEnabled(enabled);
}

void LibMenuField::SetEnableAll(const bool& enabled)
{
    for (int32 i = Menu()->CountItems() - 1; i >= 0; i--)
        Menu()->ItemAt(i)->SetEnabled(enabled);
}

// #pragma mark - filling

void LibMenuField::SetTo(const BMessage& message, const char* name, const uint32& command)
{
    const char* text = nullptr;
    if (name == nullptr || message.FindString(name, &text) != B_OK)
        return;
    LibString kept = Text();
    Clear();
    for (int32 i = 0; message.FindString(name, i, &text) == B_OK; i++)
        Add(text, command != 0 ? new BMessage(command) : nullptr);
    SetText(kept);
}

bool LibMenuField::AddStdFolder(const directory_which& which, const uint32& command)
{
    LibString name;
    if (!LibGetStdDirName(which, name))
        return false;
    return Add(name, command != 0 ? new BMessage(command) : nullptr);
}

void LibMenuField::AddStdFolders(const bool& system, const uint32& command)
{
    auto addRange = [&](int32 first, int32 last) {
        for (int32 which = first; which <= last; which++)
            AddStdFolder(directory_which(which), command);
    };
    addRange(B_DESKTOP_DIRECTORY, B_TRASH_DIRECTORY);
    addRange(B_APPS_DIRECTORY, B_UTILITIES_DIRECTORY);
    AddSeparatorItem();
    if (system) {
        addRange(B_BEOS_DIRECTORY, B_BEOS_SOUNDS_DIRECTORY);
        AddSeparatorItem();
    }
    addRange(B_COMMON_DIRECTORY, B_COMMON_SOUNDS_DIRECTORY);
    AddSeparatorItem();
    addRange(B_USER_DIRECTORY, B_USER_SOUNDS_DIRECTORY);
}

// #pragma mark - keys

bool LibMenuField::IsSelectable(int32 index) const
{
    BMenuItem* item = Menu()->ItemAt(index);
    return item != nullptr && !item->IsSeparator() && item->IsEnabled();
}

int32 LibMenuField::NavigationTarget(char key, int32 marked) const
{
    int32 count = Menu()->CountItems();
    int32 step = key == B_UP_ARROW || key == B_END ? -1 : 1;
    // Home and End start from beyond the other end; the arrows from the mark.
    int32 index = key == B_HOME ? -1 : key == B_END ? count : marked;
    for (int32 tries = 0; tries < count; tries++) {
        index = (index + step + count) % count;
        if (IsSelectable(index))
            return index;
    }
    return -1;
}

void LibMenuField::KeyDown(const char* bytes, int32 numBytes)
{
    char key = numBytes == 1 ? bytes[0] : 0;
    if (key != B_UP_ARROW && key != B_DOWN_ARROW && key != B_HOME && key != B_END) {
        BMenuField::KeyDown(bytes, numBytes);
        return;
    }
    int32 marked = CurrentSelection();
    if (marked < 0 || !IsEnabled())
        return;
    int32 target = NavigationTarget(key, marked);
    if (target < 0 || target == marked)
        return;
    // A menu that is not in radio mode does not unmark by itself.
    Menu()->ItemAt(marked)->SetMarked(false);
    BMenuItem* item = Menu()->ItemAt(target);
    item->SetMarked(true);
    item->Invoke();
}
