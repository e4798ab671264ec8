// BFilePanel: the caller's side of the panel. Every call locks the panel's
// window (through a messenger, which fails safely once the window has been
// quit) and acts on it there.

#include <FilePanel.h>

#include <Application.h>
#include <Directory.h>
#include <Entry.h>
#include <Path.h>

#include "FilePanelWindow.h"

using BPrivate::FilePanelWindow;

namespace {

// Runs `action` on the panel's window, locked; false when the window is gone.
template <typename Action>
bool WithWindow(const BMessenger& messenger, FilePanelWindow* window, Action&& action)
{
    if (!messenger.LockTarget())
        return false;
    action(window);
    window->Unlock();
    return true;
}

} // namespace

BRefFilter::~BRefFilter() = default;

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target, const entry_ref* directory,
    uint32 nodeFlavors, bool allowMultipleSelection, BMessage* message, BRefFilter* filter,
    bool modal, bool hideWhenDone)
    : fMode(mode)
{
    FilePanelWindow::Settings settings;
    settings.mode = mode;
    settings.target = target != nullptr ? *target : be_app_messenger;
    settings.flavors = nodeFlavors;
    settings.multipleSelection = allowMultipleSelection;
    settings.modal = modal;
    settings.hideWhenDone = hideWhenDone;
    settings.filter = filter;
    fWindow = new FilePanelWindow(this, settings, directory, message);
    fWindowMessenger = BMessenger(fWindow);
    // The window's thread starts now, still hidden, so that the panel's
    // calls may come from any thread.
    fWindow->Run();
}

BFilePanel::~BFilePanel()
{
    if (fWindowMessenger.LockTarget()) {
        fWindow->DetachPanel();
        fWindow->Quit();
    }
}

void BFilePanel::Show()
{
    WithWindow(fWindowMessenger, fWindow, [](FilePanelWindow* window) { window->ShowPanel(); });
}

void BFilePanel::Hide()
{
    WithWindow(fWindowMessenger, fWindow, [](FilePanelWindow* window) { window->HidePanel(); });
}

bool BFilePanel::IsShowing() const
{
    bool showing = false;
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { showing = window->IsShowing(); });
    return showing;
}

void BFilePanel::WasHidden() { }

void BFilePanel::SelectionChanged() { }

void BFilePanel::SendMessage(const BMessenger* target, BMessage* message)
{
    if (target != nullptr && message != nullptr)
        target->SendMessage(message);
}

BWindow* BFilePanel::Window() const
{
    return fWindowMessenger.IsValid() ? fWindow : nullptr;
}

BMessenger BFilePanel::Messenger() const
{
    BMessenger target;
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { target = window->Target(); });
    return target;
}

BRefFilter* BFilePanel::RefFilter() const
{
    BRefFilter* filter = nullptr;
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { filter = window->Filter(); });
    return filter;
}

file_panel_mode BFilePanel::PanelMode() const
{
    return fMode;
}

uint32 BFilePanel::NodeFlavors() const
{
    uint32 flavors = 0;
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { flavors = window->Flavors(); });
    return flavors;
}

bool BFilePanel::HidesWhenDone() const
{
    bool hides = false;
    WithWindow(fWindowMessenger, fWindow,
        [&](FilePanelWindow* window) { hides = window->HidesWhenDone(); });
    return hides;
}

void BFilePanel::SetTarget(BMessenger target)
{
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { window->SetTarget(target); });
}

void BFilePanel::SetMessage(BMessage* message)
{
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { window->SetMessage(message); });
}

void BFilePanel::SetRefFilter(BRefFilter* filter)
{
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { window->SetFilter(filter); });
}

void BFilePanel::SetSaveText(const char* text)
{
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { window->SetSaveText(text); });
}

void BFilePanel::SetButtonLabel(file_panel_button button, const char* label)
{
    WithWindow(fWindowMessenger, fWindow,
        [&](FilePanelWindow* window) { window->SetButtonLabel(button, label); });
}

void BFilePanel::SetPanelText(file_panel_text which, const char* text)
{
    WithWindow(fWindowMessenger, fWindow,
        [&](FilePanelWindow* window) { window->SetPanelText(which, text); });
}

void BFilePanel::SetShowHidden(bool show)
{
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { window->SetShowHidden(show); });
}

void BFilePanel::SetNodeFlavors(uint32 flavors)
{
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { window->SetFlavors(flavors); });
}

void BFilePanel::SetHideWhenDone(bool hideWhenDone)
{
    WithWindow(fWindowMessenger, fWindow,
        [&](FilePanelWindow* window) { window->SetHideWhenDone(hideWhenDone); });
}

void BFilePanel::SetPanelDirectory(const BEntry* entry)
{
    if (entry != nullptr && entry->InitCheck() == B_OK)
        SetPanelDirectory(entry->PathString().c_str());
}

void BFilePanel::SetPanelDirectory(const BDirectory* directory)
{
    BEntry entry;
    if (directory != nullptr && directory->GetEntry(&entry) == B_OK)
        SetPanelDirectory(&entry);
}

void BFilePanel::SetPanelDirectory(const entry_ref* ref)
{
    BPath path;
    if (ref != nullptr && path.SetTo(ref) == B_OK)
        SetPanelDirectory(path.Path());
}

void BFilePanel::SetPanelDirectory(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return;
    // A relative path is taken from the working folder, as everywhere else.
    BPath absolute(path);
    if (absolute.InitCheck() != B_OK)
        return;
    std::string folder = absolute.Path();
    WithWindow(
        fWindowMessenger, fWindow, [&](FilePanelWindow* window) { window->SetFolder(folder); });
}

status_t BFilePanel::GetPanelDirectory(entry_ref* ref) const
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    status_t status = B_NO_INIT;
    WithWindow(fWindowMessenger, fWindow,
        [&](FilePanelWindow* window) { status = get_ref_for_path(window->Folder().c_str(), ref); });
    return status;
}

void BFilePanel::Refresh()
{
    WithWindow(fWindowMessenger, fWindow, [](FilePanelWindow* window) { window->Refresh(); });
}

void BFilePanel::Rewind()
{
    WithWindow(fWindowMessenger, fWindow, [](FilePanelWindow* window) { window->RewindChosen(); });
}

status_t BFilePanel::GetNextSelectedRef(entry_ref* ref)
{
    status_t status = B_ENTRY_NOT_FOUND;
    WithWindow(fWindowMessenger, fWindow,
        [&](FilePanelWindow* window) { status = window->NextChosen(ref); });
    return status;
}
