// FilePanelWindow: building the panel's window, its menus, showing and
// hiding it, and its messages.

#include "FilePanelWindow.h"

#include <AppDefs.h>
#include <Button.h>
#include <CheckBox.h>
#include <FindDirectory.h>
#include <ListView.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Path.h>
#include <PopUpMenu.h>
#include <ScrollView.h>
#include <StorageScope.h>
#include <StringView.h>
#include <TextView.h>
#include <Volume.h>
#include <VolumeRoster.h>

#include "PanelEntryItem.h"
#include "UIDriver.h"

#include <cstdlib>

namespace BPrivate {

namespace {

constexpr float kMargin = 10;
constexpr float kButtonWidth = 80;
constexpr float kButtonHeight = 24;
// The height of a text field's row, and the room of the tools below the
// list (the check box and "New Folder").
constexpr float kFieldHeight = 20;
constexpr float kToolsHeight = kButtonHeight;
const BRect kInitialFrame(0, 0, 519, 419);

bool IsNavigationKey(char key)
{
    return key == B_UP_ARROW || key == B_DOWN_ARROW || key == B_HOME || key == B_END
        || key == B_PAGE_UP || key == B_PAGE_DOWN;
}

// The list of entries: Backspace goes up to the parent folder, as it does
// in the file manager, and the arrows select the entry they move to even
// where several may be chosen (Shift extends the selection, Space toggles
// the current entry), so that Enter opens or chooses it.
class PanelListView : public BListView {
public:
    PanelListView(BRect frame, list_view_type type)
        : BListView(
            frame, "entries", type, B_FOLLOW_ALL, B_WILL_DRAW | B_NAVIGABLE | B_FRAME_EVENTS)
    {
    }

    void KeyDown(const char* bytes, int32 numBytes) override
    {
        if (numBytes == 1 && bytes[0] == B_BACKSPACE) {
            Window()->PostMessage(FilePanelWindow::kMsgParent);
            return;
        }
        BListView::KeyDown(bytes, numBytes);
        if (numBytes == 1 && IsNavigationKey(bytes[0]) && ListType() == B_MULTIPLE_SELECTION_LIST
            && (modifiers() & B_SHIFT_KEY) == 0 && CurrentRow() >= 0)
            Select(CurrentRow());
    }
};

BMessage* GoToMessage(const std::string& path)
{
    BMessage* message = new BMessage(FilePanelWindow::kMsgGoToFolder);
    message->AddString("path", path.c_str());
    return message;
}

uint32 DefaultCommand(file_panel_mode mode)
{
    return mode == B_SAVE_PANEL ? B_SAVE_REQUESTED : B_REFS_RECEIVED;
}

} // namespace

FilePanelWindow::FilePanelWindow(BFilePanel* panel, const Settings& settings,
    const entry_ref* directory, const BMessage* message)
    : BWindow(kInitialFrame, settings.mode == B_SAVE_PANEL ? "Save" : "Open", B_TITLED_WINDOW_LOOK,
        settings.modal ? B_MODAL_APP_WINDOW_FEEL : B_NORMAL_WINDOW_FEEL,
        B_NOT_ZOOMABLE | B_CLOSE_ON_ESCAPE)
    , fPanel(panel)
    , fSettings(settings)
    , fTexts(DefaultTexts(settings))
{
    if (fSettings.flavors == 0)
        fSettings.flavors = B_FILE_NODE;
    SetMessage(message);
    BuildViews();
    SetSizeLimits(400, 32768, 300, 32768);
    CenterOnScreen();

    std::string start;
    if (directory != nullptr) {
        BPath path(directory);
        if (path.InitCheck() == B_OK)
            start = path.Path();
    }
    if (start.empty() || SetFolder(start) != B_OK) {
        if (SetFolder(HomeFolder()) != B_OK)
            SetFolder("/");
    }
}

FilePanelWindow::~FilePanelWindow()
{
    UnregisterFromDriver();
    ClearList();
}

std::string FilePanelWindow::HomeFolder()
{
    BPath path;
    if (find_directory(B_USER_DIRECTORY, &path) == B_OK)
        return path.Path();
    return BPrivate::StorageScope::Home();
}

void FilePanelWindow::BuildViews()
{
    BRect bounds = Bounds();
    BView* background = new BView(bounds, "background", B_FOLLOW_ALL, B_WILL_DRAW);
    background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    AddChild(background);

    BMenuBar* menuBar = new BMenuBar(BRect(0, 0, bounds.right, 0), "MenuBar");
    fVolumesMenu = new BMenu("Volumes");
    menuBar->AddItem(fVolumesMenu);
    background->AddChild(menuBar);
    float top = menuBar->Frame().bottom + kMargin;

    BPopUpMenu* folderMenu = new BPopUpMenu("folder");
    fFolderField = new BMenuField(
        BRect(kMargin, top, bounds.right - kMargin - kButtonWidth - kMargin, top + 22), "folder",
        nullptr, folderMenu, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
    background->AddChild(fFolderField);
    fParentButton = new BButton(BRect(bounds.right - kMargin - kButtonWidth, top - 1,
                                    bounds.right - kMargin, top - 1 + kButtonHeight),
        "parent", "Parent", new BMessage(kMsgParent), B_FOLLOW_RIGHT | B_FOLLOW_TOP);
    background->AddChild(fParentButton);

    bool save = fSettings.mode == B_SAVE_PANEL;
    // From the bottom up: the buttons (the default one's heavier border
    // takes 3 more pixels on each side, inside the window), the name of a
    // save panel or the typed path of an open one, the tools, the list.
    float buttonTop = bounds.bottom - kMargin - 3 - kButtonHeight;
    float fieldTop = buttonTop - 3 - kMargin - kFieldHeight;
    float toolsTop = fieldTop - kMargin - kToolsHeight;
    float listTop = top + 34;
    float listBottom = toolsTop - kMargin / 2;
    BRect listFrame(kMargin + 2, listTop + 2, bounds.right - kMargin - 2 - B_V_SCROLL_BAR_WIDTH,
        listBottom - 2);
    fList = new PanelListView(listFrame,
        fSettings.multipleSelection ? B_MULTIPLE_SELECTION_LIST : B_SINGLE_SELECTION_LIST);
    fList->SetSelectionMessage(new BMessage(kMsgSelection));
    fList->SetInvocationMessage(new BMessage(kMsgInvoked));
    background->AddChild(new BScrollView("entries-scroll", fList, B_FOLLOW_ALL, 0, false, true));
    BuildTools(background, toolsTop, !save);

    if (save) {
        float nameTop = fieldTop - 2;
        BStringView* label
            = new BStringView(BRect(kMargin, nameTop + 3, kMargin + 44, nameTop + 19), "name-label",
                "Name:", B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
        background->AddChild(label);
        BRect nameFrame(kMargin + 52, nameTop + 2, bounds.right - kMargin - 2, nameTop + 20);
        fNameView = new BTextView(nameFrame, "name", BRect(2, 1, nameFrame.Width() - 2, 17),
            B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM, B_WILL_DRAW | B_NAVIGABLE);
        fNameView->SetWordWrap(false);
        fNameView->DisallowChar('\n');
        fNameView->SetMaxBytes(B_FILE_NAME_LENGTH - 1);
        background->AddChild(new BScrollView(
            "name-frame", fNameView, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM, 0, false, false));
    }

    float right = bounds.right - kMargin - 3;
    fDefaultButton = new BButton(
        BRect(right - kButtonWidth, buttonTop, right, buttonTop + kButtonHeight), "default",
        save ? "Save" : "Open", new BMessage(kMsgDefault), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    right -= kButtonWidth + kMargin + 3;
    fCancelButton
        = new BButton(BRect(right - kButtonWidth, buttonTop, right, buttonTop + kButtonHeight),
            "cancel", "Cancel", new BMessage(kMsgCancel), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    background->AddChild(fCancelButton);
    background->AddChild(fDefaultButton);
    SetDefaultButton(fDefaultButton);

    AddShortcut(B_UP_ARROW, B_COMMAND_KEY, new BMessage(kMsgParent));
    AddShortcut(B_DOWN_ARROW, B_COMMAND_KEY, new BMessage(kMsgOpenSelection));
    if (fNameView != nullptr)
        fNameView->MakeFocus(true);
    else
        fList->MakeFocus(true);
    ApplyTexts();
}

void FilePanelWindow::BuildVolumesMenu()
{
    fVolumesMenu->RemoveItems(0, fVolumesMenu->CountItems(), true);
    BVolumeRoster roster;
    BVolume boot;
    bool haveBoot = roster.GetBootVolume(&boot) == B_OK;
    auto add = [&](const BVolume& volume) {
        char name[B_FILE_NAME_LENGTH];
        if (volume.GetName(name) != B_OK || name[0] == '\0' || volume.MountPoint().empty())
            return;
        fVolumesMenu->AddItem(new BMenuItem(name, GoToMessage(volume.MountPoint())));
    };
    if (haveBoot)
        add(boot);
    BVolume volume;
    while (roster.GetNextVolume(&volume) == B_OK) {
        if (!haveBoot || volume != boot)
            add(volume);
    }
    fVolumesMenu->SetTargetForItems(this);
}

void FilePanelWindow::BuildFolderMenu()
{
    BMenu* menu = fFolderField->Menu();
    menu->RemoveItems(0, menu->CountItems(), true);
    for (const std::string& folder : FolderListing::Ancestry(fFolder)) {
        BMenuItem* item = new BMenuItem(FolderListing::LeafOf(folder).c_str(), GoToMessage(folder));
        menu->AddItem(item);
        item->SetTarget(this);
    }
    if (BMenuItem* last = menu->ItemAt(menu->CountItems() - 1))
        last->SetMarked(true);
    fParentButton->SetEnabled(fFolder != "/");
}

void FilePanelWindow::UpdateDefaultButton()
{
    bool enabled = true;
    if (fSettings.mode == B_OPEN_PANEL) {
        // A panel for folders chooses the folder shown when nothing is
        // selected; otherwise something selected must be chosen or opened.
        std::vector<const PanelEntry*> selected = SelectedEntries();
        bool folderPanel = IsFolderPanel();
        enabled = folderPanel && selected.empty();
        for (const PanelEntry* entry : selected) {
            if ((!folderPanel && entry->isFolder)
                || FolderListing::Choosable(*entry, fSettings.flavors))
                enabled = true;
        }
    }
    if (fDefaultButton->IsEnabled() != enabled)
        fDefaultButton->SetEnabled(enabled);
}

// #pragma mark - showing

void FilePanelWindow::ShowPanel()
{
    if (!IsHidden()) {
        Activate();
        return;
    }
    BuildVolumesMenu();
    if (!FolderStillThere())
        GoToExistingFolder();
    FillList();
    UpdateDefaultButton();
    Show();
    RegisterWithDriver();
}

void FilePanelWindow::HidePanel()
{
    if (IsHidden())
        return;
    Hide();
    UnregisterFromDriver();
    if (fPanel != nullptr)
        fPanel->WasHidden();
}

bool FilePanelWindow::IsShowing() const
{
    return !IsHidden();
}

void FilePanelWindow::DetachPanel()
{
    fPanel = nullptr;
}

bool FilePanelWindow::QuitRequested()
{
    return true;
}

void FilePanelWindow::Quit()
{
    UnregisterFromDriver();
    BWindow::Quit();
}

// #pragma mark - settings

void FilePanelWindow::SetMessage(const BMessage* message)
{
    if (message != nullptr)
        fMessage = std::make_unique<BMessage>(*message);
    else
        fMessage = std::make_unique<BMessage>(DefaultCommand(fSettings.mode));
}

void FilePanelWindow::SetFilter(BRefFilter* filter)
{
    fSettings.filter = filter;
    Refresh();
}

void FilePanelWindow::SetFlavors(uint32 flavors)
{
    fSettings.flavors = flavors != 0 ? flavors : uint32(B_FILE_NODE);
    Refresh();
}

void FilePanelWindow::SetSaveText(const char* text)
{
    if (fNameView == nullptr)
        return;
    fNameView->SetText(text != nullptr ? text : "");
    fNameView->SelectAll();
}

void FilePanelWindow::SetButtonLabel(file_panel_button button, const char* label)
{
    BButton* target = button == B_CANCEL_BUTTON ? fCancelButton : fDefaultButton;
    target->SetLabel(label != nullptr ? label : "");
}

void FilePanelWindow::SetPanelText(file_panel_text which, const char* text)
{
    if (which < 0 || which >= B_PANEL_TEXT_COUNT || text == nullptr)
        return;
    fTexts[size_t(which)] = text;
    ApplyTexts();
}

void FilePanelWindow::Refresh()
{
    if (!FolderStillThere()) {
        GoToExistingFolder();
        return;
    }
    if (!IsHidden())
        FillList();
    UpdateDefaultButton();
}

// #pragma mark - messages

void FilePanelWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
    // The close box and Escape cancel the panel and keep its window for the
    // next Show(); the program quitting the window still quits it.
    if (message->what == B_QUIT_REQUESTED && handler == this) {
        Cancel();
        return;
    }
    // Enter in the field of a typed path goes there; with the field empty
    // it presses the default button as anywhere else.
    if (message->what == B_KEY_DOWN && fPathView != nullptr && CurrentFocus() == fPathView
        && !TypedPath().empty()) {
        const char* bytes = nullptr;
        int32 modifiers = 0;
        message->FindInt32("modifiers", &modifiers);
        if (message->FindString("bytes", &bytes) == B_OK && bytes != nullptr && bytes[0] == B_ENTER
            && bytes[1] == '\0'
            && (modifiers & (B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY)) == 0) {
            GoToTyped();
            return;
        }
    }
    BWindow::DispatchMessage(message, handler);
}

void FilePanelWindow::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case kMsgGoToFolder: {
        const char* path = nullptr;
        if (message->FindString("path", &path) == B_OK)
            SetFolder(path);
        return;
    }
    case kMsgParent:
        if (fFolder != "/")
            SetFolder(FolderListing::ParentOf(fFolder));
        return;
    case kMsgOpenSelection:
    case kMsgInvoked:
        OpenSelection();
        return;
    case kMsgSelection:
        SelectionChanged();
        return;
    case kMsgDefault:
        Confirm();
        return;
    case kMsgCancel:
        Cancel();
        return;
    case kMsgShowHidden:
        SetShowHidden(fHiddenBox != nullptr && fHiddenBox->Value() == B_CONTROL_ON);
        return;
    case kMsgNewFolder:
        AskNewFolderName();
        return;
    case kMsgNewFolderAnswer: {
        const char* name = "";
        if (message->GetInt32("which", -1) == 1 && message->FindString("name", &name) == B_OK)
            MakeFolder(name);
        return;
    }
    case kMsgReplaceAnswer: {
        int32 which = -1;
        if (message->FindInt32("which", &which) == B_OK && which == 1 && !fPendingSaveName.empty())
            SendSave(fPendingSaveName);
        fPendingSaveName.clear();
        return;
    }
    case kMsgDriverChoose: {
        const char* path = "";
        message->FindString("path", &path);
        BMessage reply(B_REPLY);
        reply.AddInt32("status", ChooseForDriver(path));
        message->SendReply(&reply);
        return;
    }
    }
    BWindow::MessageReceived(message);
}

// #pragma mark - the UI driver

void FilePanelWindow::RegisterWithDriver()
{
    if (fDriverToken != 0)
        return;
    BMessenger self(this);
    fDriverToken = UIDriver::RegisterPanel([self](const char* path) -> status_t {
        BMessage request(kMsgDriverChoose);
        request.AddString("path", path);
        BMessage reply;
        status_t status = self.SendMessage(&request, &reply);
        if (status != B_OK)
            return status;
        int32 result = B_ERROR;
        reply.FindInt32("status", &result);
        return result;
    });
}

void FilePanelWindow::UnregisterFromDriver()
{
    if (fDriverToken == 0)
        return;
    UIDriver::UnregisterPanel(fDriverToken);
    fDriverToken = 0;
}

} // namespace BPrivate
