// FilePanelWindow: the tools below the list: the check box that lists hidden
// entries, the button that makes a new folder, and the field that takes a
// typed path; and the panel's own words, which a program may replace.

#include "FilePanelWindow.h"

#include <Alert.h>
#include <Button.h>
#include <CheckBox.h>
#include <Errors.h>
#include <ListView.h>
#include <Menu.h>
#include <MenuItem.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TextView.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <iterator>
#include <sys/stat.h>

namespace BPrivate {

namespace {

constexpr float kToolsMargin = 10;
constexpr float kToolsButtonWidth = 80;
constexpr float kToolsFieldHeight = 20;
constexpr float kLabelGap = 6;
// Room the name field of the new folder's question takes below the question.
constexpr float kNameFieldRoom = 30;

// The panel's words in English, in the order of file_panel_text.
const char* const kEnglishPanelTexts[] = {
    "Open",
    "Parent",
    "Volumes",
    "Show hidden files",
    "New Folder",
    "Name of the new folder:",
    "Create",
    "Go to:",
    "There is no folder \"%s\".",
    "Something named \"%s\" is already there.",
    "\"%s\" cannot be the name of a folder.",
    "The folder \"%s\" cannot be made here.",
};
static_assert(std::size(kEnglishPanelTexts) == B_PANEL_TEXT_COUNT);

// Each "%s" of `text` replaced by `subject`; the text may come from a
// program's translations and is never read as a format.
std::string WithSubject(const std::string& text, const std::string& subject)
{
    std::string result;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            result += subject;
            i++;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The new folder's question: an alert with a field for the name. Its answer
// goes to the panel as kMsgNewFolderAnswer, with the button and the name.
class FolderNameAlert : public BAlert {
public:
    FolderNameAlert(const std::string& title, const std::string& question,
        const std::string& cancel, const std::string& create, const BMessenger& panel)
        : BAlert(title.c_str(), question.c_str(), cancel.c_str(), create.c_str(), nullptr,
            B_WIDTH_AS_USUAL, B_INFO_ALERT)
        , fPanel(panel)
    {
        BTextView* text = TextView();
        float top = std::ceil(text->TextHeight(0, text->CountLines() - 1)) + 6;
        ResizeBy(0, kNameFieldRoom);
        BRect frame(1, top + 1, text->Bounds().right - 1, top + kToolsFieldHeight - 1);
        fField = new BTextView(frame, "new-folder-name",
            BRect(2, 1, frame.Width() - 2, kToolsFieldHeight - 3),
            B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
        fField->SetWordWrap(false);
        fField->DisallowChar('\n');
        fField->DisallowChar(B_TAB);
        fField->SetMaxBytes(NAME_MAX);
        text->AddChild(new BScrollView(
            "new-folder-frame", fField, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, 0, false, false));
        fField->MakeFocus(true);
    }

    void MessageReceived(BMessage* message) override
    {
        if (message->what == kMsgButton) {
            BMessage answer(FilePanelWindow::kMsgNewFolderAnswer);
            answer.AddInt32("which", message->GetInt32("which", -1));
            answer.AddString("name", fField->Text());
            fPanel.SendMessage(&answer);
        }
        BAlert::MessageReceived(message);
    }

private:
    BMessenger fPanel;
    BTextView* fField = nullptr;
};

} // namespace

std::vector<std::string> FilePanelWindow::DefaultTexts(const Settings& settings)
{
    std::vector<std::string> texts(std::begin(kEnglishPanelTexts), std::end(kEnglishPanelTexts));
    if (settings.mode == B_SAVE_PANEL)
        texts[B_PANEL_TITLE_TEXT] = "Save";
    uint32 flavors = settings.flavors != 0 ? settings.flavors : uint32(B_FILE_NODE);
    if ((flavors & B_DIRECTORY_NODE) != 0 && (flavors & B_FILE_NODE) == 0)
        texts[B_PANEL_HIDDEN_TEXT] = "Show hidden folders";
    return texts;
}

void FilePanelWindow::BuildTools(BView* background, float top, bool pathField)
{
    BRect bounds = background->Bounds();
    fHiddenBox = new BCheckBox(BRect(kToolsMargin, top + 3, kToolsMargin + 200, top + 21), "hidden",
        "", new BMessage(kMsgShowHidden), B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    fHiddenBox->SetValue(fSettings.showHidden ? B_CONTROL_ON : B_CONTROL_OFF);
    background->AddChild(fHiddenBox);
    fNewFolderButton = new BButton(BRect(bounds.right - kToolsMargin - kToolsButtonWidth, top,
                                       bounds.right - kToolsMargin, top + 24),
        "new-folder", "", new BMessage(kMsgNewFolder), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    background->AddChild(fNewFolderButton);
    if (!pathField)
        return;
    float fieldTop = top + 24 + kToolsMargin;
    fPathLabel
        = new BStringView(BRect(kToolsMargin, fieldTop + 3, kToolsMargin + 50, fieldTop + 19),
            "go-to-label", "", B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    background->AddChild(fPathLabel);
    BRect frame(kToolsMargin + 58, fieldTop + 1, bounds.right - kToolsMargin - 1,
        fieldTop + kToolsFieldHeight - 1);
    fPathView = new BTextView(frame, "path", BRect(2, 1, frame.Width() - 2, kToolsFieldHeight - 3),
        B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM, B_WILL_DRAW | B_NAVIGABLE);
    fPathView->SetWordWrap(false);
    fPathView->DisallowChar('\n');
    fPathView->DisallowChar(B_TAB);
    fPathView->SetMaxBytes(PATH_MAX - 1);
    background->AddChild(new BScrollView(
        "path-frame", fPathView, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM, 0, false, false));
}

void FilePanelWindow::ApplyTexts()
{
    SetTitle(fTexts[B_PANEL_TITLE_TEXT].c_str());
    fParentButton->SetLabel(fTexts[B_PANEL_PARENT_TEXT].c_str());
    if (BMenuItem* volumes = fVolumesMenu->Superitem())
        volumes->SetLabel(fTexts[B_PANEL_VOLUMES_TEXT].c_str());
    fHiddenBox->SetLabel(fTexts[B_PANEL_HIDDEN_TEXT].c_str());
    fHiddenBox->ResizeToPreferred();

    // "New Folder" keeps its right edge, and grows to the left for a longer
    // word.
    BRect button = fNewFolderButton->Frame();
    fNewFolderButton->SetLabel(fTexts[B_PANEL_NEW_FOLDER_TEXT].c_str());
    float width = 0;
    float height = 0;
    fNewFolderButton->GetPreferredSize(&width, &height);
    width = std::max(kToolsButtonWidth, std::ceil(width));
    fNewFolderButton->MoveTo(button.right - width, button.top);
    fNewFolderButton->ResizeTo(width, button.Height());

    if (fPathLabel == nullptr)
        return;
    // The field starts after its label, whatever the label's length.
    fPathLabel->SetText(fTexts[B_PANEL_GO_TO_TEXT].c_str());
    float labelWidth = std::ceil(fPathLabel->StringWidth(fPathLabel->Text())) + 2;
    fPathLabel->ResizeTo(labelWidth, fPathLabel->Bounds().Height());
    BView* frame = fPathView->Parent();
    BRect field = frame->Frame();
    float left = fPathLabel->Frame().right + kLabelGap;
    frame->MoveTo(left, field.top);
    frame->ResizeTo(field.right - left, field.Height());
    fPathView->SetTextRect(BRect(2, 1, fPathView->Bounds().Width() - 2, kToolsFieldHeight - 3));
}

void FilePanelWindow::SetShowHidden(bool show)
{
    if (fHiddenBox != nullptr && (fHiddenBox->Value() == B_CONTROL_ON) != show)
        fHiddenBox->SetValue(show ? B_CONTROL_ON : B_CONTROL_OFF);
    if (fSettings.showHidden == show)
        return;
    fSettings.showHidden = show;
    Refresh();
}

void FilePanelWindow::TellAbout(file_panel_text which, const std::string& subject)
{
    BAlert* alert = new BAlert(fTexts[B_PANEL_TITLE_TEXT].c_str(),
        WithSubject(fTexts[size_t(which)], subject).c_str(), "OK", nullptr, nullptr,
        B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    alert->Go(nullptr);
}

// #pragma mark - a new folder

void FilePanelWindow::AskNewFolderName()
{
    FolderNameAlert* alert
        = new FolderNameAlert(fTexts[B_PANEL_NEW_FOLDER_TEXT], fTexts[B_PANEL_FOLDER_NAME_TEXT],
            fCancelButton->Label(), fTexts[B_PANEL_CREATE_TEXT], BMessenger(this));
    alert->Go(nullptr);
}

status_t FilePanelWindow::MakeFolder(const std::string& name)
{
    if (name.empty())
        return B_BAD_VALUE;
    if (name.find('/') != std::string::npos || name == "." || name == ".."
        || name.size() > NAME_MAX) {
        TellAbout(B_PANEL_BAD_NAME_TEXT, name);
        return B_BAD_VALUE;
    }
    std::string path = (fFolder == "/" ? std::string() : fFolder) + "/" + name;
    // The user's umask decides who else may use it, as for any folder made.
    if (mkdir(path.c_str(), 0777) != 0) {
        int error = errno;
        TellAbout(error == EEXIST ? B_PANEL_NAME_TAKEN_TEXT : B_PANEL_CANNOT_MAKE_TEXT, name);
        return StatusFromErrno(error);
    }
    // A hidden name would vanish from the list at once.
    if (name[0] == '.' && !fSettings.showHidden)
        SetShowHidden(true);
    else
        Refresh();
    // The new folder is selected, ready to be chosen or opened.
    int32 index = IndexOfName(name);
    if (index >= 0) {
        fList->Select(index);
        fList->ScrollToSelection();
    }
    return B_OK;
}

// #pragma mark - a typed path

std::string FilePanelWindow::TypedPath() const
{
    return fPathView != nullptr ? Trimmed(fPathView->Text()) : std::string();
}

status_t FilePanelWindow::GoToTyped()
{
    std::string typed = TypedPath();
    if (typed.empty())
        return B_BAD_VALUE;
    std::string path;
    if (typed == "~")
        path = HomeFolder();
    else if (typed.rfind("~/", 0) == 0)
        path = HomeFolder() + typed.substr(1);
    else if (typed[0] == '/')
        path = typed;
    else
        path = (fFolder == "/" ? std::string() : fFolder) + "/" + typed;
    status_t status = SetFolder(path);
    if (status != B_OK) {
        TellAbout(B_PANEL_NO_FOLDER_TEXT, typed);
        return status;
    }
    fPathView->SetText("");
    fList->DeselectAll();
    return B_OK;
}

} // namespace BPrivate
