#pragma once

// FilePanelWindow: the window of a BFilePanel. It holds the panel's state
// (folder, mode, flavours, filter, target, message) and is its only user:
// BFilePanel's calls lock the window and act on it here.
//
// Its views, by name: "MenuBar" (with the "Volumes" menu), "folder" (the
// pop-up of the folder and its parents), "parent" (the button that goes up),
// "entries" (the list of the folder's entries, in a scroll view), "hidden"
// (the check box that lists hidden entries), "new-folder" (the button that
// makes a folder; its question is an alert with the field
// "new-folder-name"), "path" (the field for a typed path of an open panel,
// labelled "go-to-label"), "name" (the file name of a save panel), "cancel"
// and "default" (the buttons).
//
// While it is shown the window offers the UI driver's "panel" verb a way to
// choose a path: it goes to the path's folder, selects the entry (or, for a
// folder in a panel for folders, shows it) and presses the default button.

#include <FilePanel.h>
#include <Window.h>

#include "FolderListing.h"

#include <memory>
#include <string>
#include <vector>

class BButton;
class BCheckBox;
class BStringView;
class BListView;
class BMenu;
class BMenuField;
class BTextView;

namespace BPrivate {

class PanelEntryItem;

class FilePanelWindow : public BWindow {
public:
    struct Settings {
        file_panel_mode mode = B_OPEN_PANEL;
        BMessenger target;
        uint32 flavors = B_FILE_NODE;
        bool multipleSelection = true;
        bool modal = false;
        bool hideWhenDone = true;
        BRefFilter* filter = nullptr;
        bool showHidden = false;
    };

    FilePanelWindow(BFilePanel* panel, const Settings& settings, const entry_ref* directory,
        const BMessage* message);
    ~FilePanelWindow() override;

    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;
    // The program may always quit the panel's window; the close box only
    // hides it (see DispatchMessage).
    bool QuitRequested() override;
    void Quit() override;

    // The calls below are made with the window locked.

    // Shows the panel with its folder read afresh, or brings it to front.
    void ShowPanel();
    void HidePanel();
    bool IsShowing() const;
    // The BFilePanel object is being destroyed: no more hooks.
    void DetachPanel();

    // Goes to a folder (a link to one is followed); B_NOT_A_DIRECTORY or
    // B_ENTRY_NOT_FOUND leave the panel where it is.
    status_t SetFolder(const std::string& path);
    const std::string& Folder() const { return fFolder; }
    void Refresh();

    void SetTarget(const BMessenger& target) { fSettings.target = target; }
    const BMessenger& Target() const { return fSettings.target; }
    void SetMessage(const BMessage* message);
    void SetFilter(BRefFilter* filter);
    BRefFilter* Filter() const { return fSettings.filter; }
    void SetFlavors(uint32 flavors);
    uint32 Flavors() const { return fSettings.flavors; }
    void SetHideWhenDone(bool hide) { fSettings.hideWhenDone = hide; }
    bool HidesWhenDone() const { return fSettings.hideWhenDone; }
    void SetSaveText(const char* text);
    void SetButtonLabel(file_panel_button button, const char* label);
    void SetPanelText(file_panel_text which, const char* text);
    void SetShowHidden(bool show);

    // The entries chosen last, for GetNextSelectedRef.
    void RewindChosen() { fChosenCursor = 0; }
    status_t NextChosen(entry_ref* ref);

    // What the default button does; B_OK when the panel sent its message
    // (or, in a save panel, asked whether to replace a file).
    status_t Confirm();
    void Cancel();

    // The UI driver's choice of a path.
    status_t ChooseForDriver(const std::string& path);

    static constexpr uint32 kMsgGoToFolder = 'fpgo';
    static constexpr uint32 kMsgParent = 'fppa';
    static constexpr uint32 kMsgOpenSelection = 'fpop';
    static constexpr uint32 kMsgInvoked = 'fpiv';
    static constexpr uint32 kMsgSelection = 'fpsl';
    static constexpr uint32 kMsgDefault = 'fpdf';
    static constexpr uint32 kMsgCancel = 'fpcn';
    static constexpr uint32 kMsgReplaceAnswer = 'fprp';
    static constexpr uint32 kMsgDriverChoose = 'fpdr';
    static constexpr uint32 kMsgShowHidden = 'fphd';
    static constexpr uint32 kMsgNewFolder = 'fpnf';
    // The answer of the new folder's question: "which" (1 makes it) and
    // "name".
    static constexpr uint32 kMsgNewFolderAnswer = 'fpna';

private:
    // Building (FilePanelWindow.cpp).
    void BuildViews();
    void BuildVolumesMenu();
    void BuildFolderMenu();
    void UpdateDefaultButton();
    static std::string HomeFolder();

    // Reading and choosing (FilePanelChoice.cpp).
    void FillList();
    void ClearList();
    PanelEntryItem* ItemAt(int32 index) const;
    int32 IndexOfName(const std::string& name) const;
    std::vector<const PanelEntry*> SelectedEntries() const;
    // Whether the folder shown is still a folder, and a move to its nearest
    // parent that is, when it has gone.
    bool FolderStillThere() const;
    void GoToExistingFolder();
    void OpenEntry(const PanelEntry& entry);
    void OpenSelection();
    void SelectionChanged();
    bool IsFolderPanel() const;
    status_t ChooseSelection();
    status_t ConfirmSave(bool replaceAsked);
    void SendChoice(std::vector<entry_ref> refs);
    void SendSave(const std::string& name);
    void Deliver(BMessage* message);
    void Finished();
    void RegisterWithDriver();
    void UnregisterFromDriver();
    // The tools below the list (FilePanelTools.cpp).
    void BuildTools(BView* background, float top, bool pathField);
    void AskNewFolderName();
    status_t MakeFolder(const std::string& name);
    // Goes to the typed path; B_OK (and an empty field) when it was a
    // folder, a message to the user otherwise.
    status_t GoToTyped();
    std::string TypedPath() const;
    void TellAbout(file_panel_text which, const std::string& subject);
    void ApplyTexts();
    static std::vector<std::string> DefaultTexts(const Settings& settings);

    BFilePanel* fPanel;
    Settings fSettings;
    std::unique_ptr<BMessage> fMessage;
    std::string fFolder;
    std::vector<entry_ref> fChosen;
    size_t fChosenCursor = 0;
    // The name a save panel waits to hear about from its replace question.
    std::string fPendingSaveName;
    int32 fDriverToken = 0;

    BMenu* fVolumesMenu = nullptr;
    BMenuField* fFolderField = nullptr;
    BButton* fParentButton = nullptr;
    BListView* fList = nullptr;
    BTextView* fNameView = nullptr;
    BCheckBox* fHiddenBox = nullptr;
    BButton* fNewFolderButton = nullptr;
    BStringView* fPathLabel = nullptr;
    BTextView* fPathView = nullptr;
    std::vector<std::string> fTexts;
    BButton* fCancelButton = nullptr;
    BButton* fDefaultButton = nullptr;
};

} // namespace BPrivate
