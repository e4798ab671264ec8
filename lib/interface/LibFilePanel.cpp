#include "LibFilePanel.h"

#include <Looper.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <Path.h>
#include <Screen.h>
#include <Window.h>

#include <LibEntry.h>

namespace {

const char kFormatMenu[] = "Format";

} // namespace

LibFilePanel::LibFilePanel(file_panel_mode mode, BLooper* target, const uint32& command,
    const uint32& nodeFlavors, const bool& multipleSelection)
    : LibFilePanel(mode, BMessenger(target), command, nodeFlavors, multipleSelection)
{
}

LibFilePanel::LibFilePanel(file_panel_mode mode, BMessenger* target, const uint32& command,
    const uint32& nodeFlavors, const bool& multipleSelection)
    : LibFilePanel(
        mode, target != nullptr ? *target : BMessenger(), command, nodeFlavors, multipleSelection)
{
}

LibFilePanel::LibFilePanel(file_panel_mode mode, BMessenger target, const uint32& command,
    const uint32& nodeFlavors, const bool& multipleSelection)
    : BFilePanel(
        mode, &target, nullptr, nodeFlavors, multipleSelection, nullptr, nullptr, false, false)
{
    // The panel keeps copies of the message and the target; the filter is
    // ours, made only now.
    BMessage message(command);
    SetMessage(&message);
    SetRefFilter(&fFilter);
}

LibFilePanel::~LibFilePanel()
{
    Hide();
    BMessenger window(Window());
    if (window.LockTarget())
        Window()->Quit();
}

void LibFilePanel::SendMessage(const BMessenger* target, BMessage* message)
{
    if (fFormatMenu != nullptr && message != nullptr) {
        BMenuItem* marked = fFormatMenu->FindMarked();
        if (marked != nullptr)
            message->AddString("marked", marked->Label());
    }
    BFilePanel::SendMessage(target, message);
}

void LibFilePanel::SetToParentDirectory()
{
    entry_ref folder;
    if (GetPanelDirectory(&folder) != B_OK)
        return;
    entry_ref parent = LibGetParentRef(folder);
    SetPanelDirectory(&parent);
}

void LibFilePanel::SetPanelDirectory(const directory_which& which)
{
    BPath path;
    if (find_directory(which, &path) == B_OK)
        SetPanelDirectory(path.Path());
}

bool LibFilePanel::GetState(LibFilePanelState& state) const
{
    BMessenger messenger(Window());
    if (GetPanelDirectory(&state.folder) != B_OK || !messenger.LockTarget())
        return false;
    state.frame = Window()->Frame();
    Window()->Unlock();
    return true;
}

void LibFilePanel::SetState(const LibFilePanelState& state)
{
    SetPanelDirectory(&state.folder);
    BMessenger messenger(Window());
    if (!state.frame.IsValid() || !messenger.LockTarget())
        return;
    if (state.frame.Intersects(BScreen().Frame())) {
        Window()->MoveTo(state.frame.LeftTop());
        Window()->ResizeTo(state.frame.Width(), state.frame.Height());
    }
    Window()->Unlock();
}

BMenu* LibFilePanel::FormatMenu()
{
    if (fFormatMenu != nullptr)
        return fFormatMenu;
    BMenuBar* bar = dynamic_cast<BMenuBar*>(Window()->FindView("MenuBar"));
    if (bar == nullptr)
        return nullptr;
    BMenuItem* existing = bar->FindItem(kFormatMenu);
    if (existing != nullptr && existing->Submenu() != nullptr) {
        fFormatMenu = existing->Submenu();
    } else {
        fFormatMenu = new BMenu(kFormatMenu);
        bar->AddItem(fFormatMenu);
    }
    fFormatMenu->SetRadioMode(true);
    return fFormatMenu;
}

void LibFilePanel::AddFormatMenuItem(const char* label, const bool& marked)
{
    BMessenger messenger(Window());
    if (label == nullptr || !messenger.LockTarget())
        return;
    BMenu* menu = FormatMenu();
    if (menu != nullptr) {
        BMenuItem* item = new BMenuItem(label, nullptr);
        menu->AddItem(item);
        if (marked)
            item->SetMarked(true);
    }
    Window()->Unlock();
}
