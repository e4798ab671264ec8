// FilePanelWindow: reading the folder into the list, moving between
// folders, and what the buttons and the UI driver choose.

#include "FilePanelWindow.h"

#include <Alert.h>
#include <AppDefs.h>
#include <Button.h>
#include <Entry.h>
#include <Errors.h>
#include <ListView.h>
#include <TextView.h>

#include "PanelEntryItem.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

namespace {

// Shows a message without waiting for the user.
void Tell(const std::string& text)
{
    BAlert* alert
        = new BAlert("", text.c_str(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    alert->Go(nullptr);
}

// Why a folder could not be opened, in words.
const char* Reason(status_t status)
{
    switch (status) {
    case B_PERMISSION_DENIED:
        return "you are not allowed to read it";
    case B_ENTRY_NOT_FOUND:
        return "it is not there any more";
    case B_NOT_A_DIRECTORY:
        return "it is not a folder";
    default:
        return "it cannot be read";
    }
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

// #pragma mark - the list

void FilePanelWindow::ClearList()
{
    if (fList == nullptr)
        return;
    for (int32 index = fList->CountItems() - 1; index >= 0; index--)
        delete fList->RemoveItem(index);
}

void FilePanelWindow::FillList()
{
    ClearList();
    std::vector<PanelEntry> entries;
    // An unreadable folder shows empty; SetFolder refuses to go to one.
    FolderListing::Read(fFolder, fSettings.filter, &entries, fSettings.showHidden);
    for (const PanelEntry& entry : entries) {
        PanelEntryItem* item = new PanelEntryItem(entry);
        // What can be neither opened nor chosen is shown dimmed.
        item->SetEnabled(entry.isFolder || FolderListing::Choosable(entry, fSettings.flavors));
        fList->AddItem(item);
    }
    fList->ScrollTo(BPoint(0, 0));
    fList->Invalidate();
}

PanelEntryItem* FilePanelWindow::ItemAt(int32 index) const
{
    return static_cast<PanelEntryItem*>(fList->ItemAt(index));
}

int32 FilePanelWindow::IndexOfName(const std::string& name) const
{
    for (int32 index = 0; index < fList->CountItems(); index++) {
        if (ItemAt(index)->Entry().name == name)
            return index;
    }
    return -1;
}

std::vector<const PanelEntry*> FilePanelWindow::SelectedEntries() const
{
    std::vector<const PanelEntry*> selected;
    for (int32 i = 0, index; (index = fList->CurrentSelection(i)) >= 0; i++)
        selected.push_back(&ItemAt(index)->Entry());
    return selected;
}

void FilePanelWindow::SelectionChanged()
{
    UpdateDefaultButton();
    // In a save panel a chosen file lends its name, as a start for the new
    // one.
    if (fNameView != nullptr) {
        std::vector<const PanelEntry*> selected = SelectedEntries();
        if (selected.size() == 1 && !selected.front()->isFolder)
            fNameView->SetText(selected.front()->name.c_str());
    }
    if (fPanel != nullptr)
        fPanel->SelectionChanged();
}

// #pragma mark - moving between folders

status_t FilePanelWindow::SetFolder(const std::string& path)
{
    BEntry entry(path.c_str(), true);
    if (entry.InitCheck() != B_OK || !entry.Exists())
        return B_ENTRY_NOT_FOUND;
    if (!entry.IsDirectory())
        return B_NOT_A_DIRECTORY;
    std::string resolved = WithoutTrailingSlashes(entry.PathString());
    if (access(resolved.c_str(), R_OK | X_OK) != 0)
        return StatusFromErrno(errno);
    fFolder = resolved;
    BuildFolderMenu();
    if (IsHidden())
        ClearList();
    else
        FillList();
    UpdateDefaultButton();
    return B_OK;
}

bool FilePanelWindow::FolderStillThere() const
{
    struct stat info;
    return stat(fFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void FilePanelWindow::GoToExistingFolder()
{
    // The nearest parent that is still there; "/" always is.
    std::string folder = fFolder;
    while (folder != "/" && SetFolder(folder) != B_OK)
        folder = FolderListing::ParentOf(folder);
    if (folder == "/")
        SetFolder(folder);
}

void FilePanelWindow::OpenEntry(const PanelEntry& entry)
{
    const std::string& target = entry.isLink ? entry.targetPath : entry.path;
    status_t status = target.empty() ? B_ENTRY_NOT_FOUND : SetFolder(target);
    if (status != B_OK)
        Tell("The folder \"" + entry.name + "\" cannot be opened: " + Reason(status) + ".");
}

void FilePanelWindow::OpenSelection()
{
    std::vector<const PanelEntry*> selected = SelectedEntries();
    if (selected.size() != 1)
        return;
    // The entry may go with the list when the folder changes.
    PanelEntry entry = *selected.front();
    if (entry.isFolder) {
        OpenEntry(entry);
    } else if (fSettings.mode == B_SAVE_PANEL) {
        ConfirmSave(false);
    } else if (FolderListing::Choosable(entry, fSettings.flavors)) {
        ChooseSelection();
    }
}

bool FilePanelWindow::IsFolderPanel() const
{
    return (fSettings.flavors & B_DIRECTORY_NODE) != 0 && (fSettings.flavors & B_FILE_NODE) == 0;
}

// #pragma mark - choosing

status_t FilePanelWindow::Confirm()
{
    if (fSettings.mode == B_SAVE_PANEL)
        return ConfirmSave(false);
    // A typed path is where the user means: the panel goes there, and a
    // panel for folders takes it.
    if (fPathView != nullptr && !TypedPath().empty()) {
        status_t status = GoToTyped();
        if (status != B_OK || !IsFolderPanel())
            return status;
        fList->DeselectAll();
        return ChooseSelection();
    }
    // Where files are looked for, the default button opens a selected
    // folder rather than choosing it.
    std::vector<const PanelEntry*> selected = SelectedEntries();
    if (!IsFolderPanel() && selected.size() == 1 && selected.front()->isFolder) {
        OpenEntry(PanelEntry(*selected.front()));
        return B_OK;
    }
    return ChooseSelection();
}

status_t FilePanelWindow::ChooseSelection()
{
    // What went away since the list was read is not chosen: the list is
    // read again to show what is there now.
    if (!FolderStillThere()) {
        Refresh();
        return B_ENTRY_NOT_FOUND;
    }
    std::vector<const PanelEntry*> selected = SelectedEntries();
    for (const PanelEntry* entry : selected) {
        struct stat info;
        if (lstat(entry->path.c_str(), &info) != 0) {
            Refresh();
            return B_ENTRY_NOT_FOUND;
        }
    }
    std::vector<entry_ref> refs;
    for (const PanelEntry* entry : selected) {
        if (!FolderListing::Choosable(*entry, fSettings.flavors))
            continue;
        entry_ref ref = entry->ref;
        // A link stands for what it points to unless links are chosen.
        if (entry->isLink && (fSettings.flavors & B_SYMLINK_NODE) == 0
            && get_ref_for_path(entry->targetPath.c_str(), &ref) != B_OK) {
            continue;
        }
        refs.push_back(ref);
    }
    // The folder shown stands in only for an empty selection: a selection
    // of what cannot be chosen chooses nothing.
    if (refs.empty() && selected.empty() && IsFolderPanel()) {
        entry_ref folder;
        if (get_ref_for_path(fFolder.c_str(), &folder) == B_OK)
            refs.push_back(folder);
    }
    if (refs.empty())
        return B_NOT_ALLOWED;
    SendChoice(std::move(refs));
    return B_OK;
}

status_t FilePanelWindow::ConfirmSave(bool replaceAsked)
{
    std::string name = fNameView->Text();
    if (name.empty())
        return B_NOT_ALLOWED;
    if (name.find('/') != std::string::npos || name == "." || name == "..") {
        Tell("The name \"" + name
            + "\" cannot be used: a name cannot contain \"/\", or be "
              "\".\" or \"..\".");
        return B_BAD_VALUE;
    }
    std::string path = (fFolder == "/" ? "" : fFolder) + "/" + name;
    struct stat info;
    if (!replaceAsked && lstat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            Tell("A folder named \"" + name + "\" is already there; choose another name.");
            return B_FILE_EXISTS;
        }
        fPendingSaveName = name;
        BAlert* alert = new BAlert("",
            ("The file \"" + name
                + "\" already exists in the chosen folder. Do you want to replace it?")
                .c_str(),
            "Cancel", "Replace", nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
        alert->Go(new BInvoker(new BMessage(kMsgReplaceAnswer), BMessenger(this)));
        return B_OK;
    }
    SendSave(name);
    return B_OK;
}

void FilePanelWindow::SendChoice(std::vector<entry_ref> refs)
{
    BMessage message(*fMessage);
    for (const entry_ref& ref : refs)
        message.AddRef("refs", &ref);
    fChosen = std::move(refs);
    fChosenCursor = 0;
    Deliver(&message);
    Finished();
}

void FilePanelWindow::SendSave(const std::string& name)
{
    entry_ref folder;
    if (get_ref_for_path(fFolder.c_str(), &folder) != B_OK) {
        Tell("The folder \"" + fFolder + "\" is gone; choose another one.");
        return;
    }
    BMessage message(*fMessage);
    message.AddRef("directory", &folder);
    message.AddString("name", name.c_str());
    Deliver(&message);
    Finished();
}

void FilePanelWindow::Deliver(BMessage* message)
{
    if (fPanel != nullptr)
        fPanel->SendMessage(&fSettings.target, message);
    else
        fSettings.target.SendMessage(message);
}

void FilePanelWindow::Finished()
{
    if (fSettings.hideWhenDone)
        HidePanel();
}

void FilePanelWindow::Cancel()
{
    HidePanel();
    BMessage message(B_CANCEL);
    message.AddInt32("old_what", int32(fMessage->what));
    message.AddPointer("source", fPanel);
    fSettings.target.SendMessage(&message);
}

status_t FilePanelWindow::NextChosen(entry_ref* ref)
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    if (fChosenCursor >= fChosen.size())
        return B_ENTRY_NOT_FOUND;
    *ref = fChosen[fChosenCursor++];
    return B_OK;
}

// #pragma mark - the UI driver

status_t FilePanelWindow::ChooseForDriver(const std::string& requested)
{
    if (IsHidden())
        return B_NOT_ALLOWED;
    if (requested.empty() || requested[0] != '/')
        return B_BAD_VALUE;
    std::string path = WithoutTrailingSlashes(requested);
    std::string folder = FolderListing::ParentOf(path);
    std::string leaf = FolderListing::LeafOf(path);
    status_t status;
    if (fSettings.mode == B_SAVE_PANEL) {
        if ((status = SetFolder(folder)) != B_OK)
            return status;
        fList->DeselectAll();
        SetSaveText(leaf.c_str());
        return ConfirmSave(false);
    }
    PanelEntry entry;
    if ((status = FolderListing::Describe(path, &entry, nullptr)) != B_OK)
        return status;
    if (entry.isFolder && IsFolderPanel()) {
        // The folder is shown and chosen with nothing selected in it.
        if ((status = SetFolder(path)) != B_OK)
            return status;
        fList->DeselectAll();
        return ChooseSelection();
    }
    // Anything else is picked from its folder's list, as the user would;
    // what the filter hides cannot be picked.
    if (path == "/" || (status = SetFolder(folder)) != B_OK)
        return path == "/" ? status_t(B_NOT_ALLOWED) : status;
    int32 index = IndexOfName(leaf);
    if (index < 0 || !FolderListing::Choosable(ItemAt(index)->Entry(), fSettings.flavors))
        return B_NOT_ALLOWED;
    fList->Select(index);
    return ChooseSelection();
}

} // namespace BPrivate
