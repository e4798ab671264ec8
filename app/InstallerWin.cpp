#include "InstallerWin.h"

#include <Application.h>
#include <Autolock.h>
#include <Box.h>
#include <Button.h>
#include <ListView.h>
#include <NodeMonitor.h>
#include <Path.h>
#include <Roster.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TextView.h>

#include <FileCheckList.h>
#include <InstallImage.h>
#include <LibFilePanel.h>
#include <LibListView.h>
#include <LibMenuField.h>
#include <LibPictureButton.h>
#include <LibRect.h>
#include <LibStringView.h>
#include <LibTipManager.h>
#include <LibVolumeMenu.h>
#include <ProgressBar.h>

#include <algorithm>
#include <string>

#include "BackgroundView.h"
#include "FolderIcons.h"

namespace {

// The window's title: the leaf name of the running executable, so that the
// user sees which installer file runs.
std::string WindowTitle()
{
    app_info info;
    if (be_app != nullptr && be_app->GetAppInfo(&info) == B_OK) {
        BPath path(&info.ref);
        if (path.InitCheck() == B_OK && path.Leaf() != nullptr && path.Leaf()[0] != '\0')
            return path.Leaf();
    }
    return "Brenvik";
}

constexpr float kProgressWidth = 100;

BStringView* BoldLabel(BRect frame, const char* name, const char* text)
{
    BStringView* label = new BStringView(frame, name, text);
    label->SetFont(be_bold_font, B_FONT_ALL);
    return label;
}

} // namespace

InstallerWin::InstallerWin(const char* installerPath)
    : LibWindow(BRect(0, 0, kWidth - 1, kHeight - 1), "InstallerWin", B_TITLED_WINDOW_LOOK,
        B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE,
        B_CURRENT_WORKSPACE)
    , fInstallerPath(installerPath != nullptr ? installerPath : "")
    , fStep(kStepLicense)
    , fOutcome(kNotInstalled)
{
    SetTitle(WindowTitle().c_str());
    if (!fInstallerPath.empty())
        fConfig.SetInstallerPath(fInstallerPath.c_str());

    {
        BAutolock lock(this);
        BuildViews();
    }

    watch_node(nullptr, B_WATCH_MOUNT, BMessenger(this));

    GetVolumes();
    GetHomeDirectory();
    // The keyboard must not close the installer in the middle of its work.
    RemoveShortcut('w', B_COMMAND_KEY);
    SetLanguage();
}

InstallerWin::~InstallerWin()
{
    stop_watching(BMessenger(this));
    // A pass that still runs ends at its next item; the configuration's
    // destructor interrupts it wherever it waits and waits for it.
    fConfig.RequestStop();
}

void InstallerWin::BuildViews()
{
    BRect bounds = Frame().OffsetToCopy(0, 0);
    BackgroundView* background = new BackgroundView(bounds);
    AddChild(background);

    fAboutImage = new InstallImage(BPoint(10, 16), false);
    background->AddChild(fAboutImage);
    BRect image = fAboutImage->Frame();

    BRect boxFrame(image.right + 5, 10, 445, image.bottom);
    background->AddChild(BuildLicenseBox(boxFrame));
    background->AddChild(BuildInstallBox(boxFrame));
    fInstallBox->Hide();

    fInstBox = new BBox(LibRect(10, image.bottom + 9, 310, 25), "inst_box");
    background->AddChild(fInstBox);
    BRect instBox = fInstBox->Frame();
    fInstruction = new BStringView(LibRect(5, 6, instBox.Width() - 10, 15), "instruction", "");
    BFont small(be_plain_font);
    small.SetSize(10);
    fInstruction->SetFont(&small, B_FONT_SIZE);
    fInstBox->AddChild(fInstruction);
    // While the pass runs, the share of bytes placed stands right of the
    // status line.
    fProgress = new ProgressBar(
        LibRect(instBox.Width() - kProgressWidth - 7, 8, kProgressWidth, 9), "progress");
    fInstBox->AddChild(fProgress);
    fProgress->Hide();

    fButton = new BButton(LibRect(instBox.right + 10, instBox.top - 2, 95, 20), "button", "",
        new BMessage(kMsgButton));
    fButton->SetFont(&small, B_FONT_SIZE);
    background->AddChild(fButton);
    SetDefaultButton(fButton);

    BRect button = fButton->Frame();
    fOptions
        = new LibMenuField(LibRect(button.right + 4, instBox.top, 20, 20), "options", 10, true);
    background->AddChild(fOptions);
}

BView* InstallerWin::BuildLicenseBox(BRect frame)
{
    fLicenseBox = new BBox(frame, "license_box");
    fLicenseBox->SetLabel("License");

    BRect textFrame = frame.OffsetToCopy(0, 0).InsetByCopy(10, 10);
    textFrame.top += 5;
    textFrame.right -= 15;
    // The line under the licence says who signed the installer.
    textFrame.bottom -= 13;
    BRect textRect = textFrame.OffsetToCopy(0, 0).InsetByCopy(2, 2);
    fLicenseText = new BTextView(textFrame, "license_text", textRect, B_FOLLOW_ALL_SIDES,
        B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    fLicenseText->MakeEditable(false);
    fLicenseText->MakeSelectable(false);
    BFont font(be_plain_font);
    font.SetSize(10);
    fLicenseText->SetFontAndColor(&font, B_FONT_ALL);

    fLicenseBox->AddChild(new BScrollView(
        "license_view", fLicenseText, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));
    BRect signatureFrame(textFrame.left, textFrame.bottom + 3,
        textFrame.right + B_V_SCROLL_BAR_WIDTH, textFrame.bottom + 14);
    fSignature = new BStringView(signatureFrame, "signature", "");
    BFont small(be_plain_font);
    small.SetSize(9);
    fSignature->SetFont(&small, B_FONT_ALL);
    fLicenseBox->AddChild(fSignature);
    return fLicenseBox;
}

BView* InstallerWin::BuildInstallBox(BRect frame)
{
    fInstallBox = new BBox(frame, "install_box");
    fInstallBox->SetLabel("Installation");

    fInstallTypeLabel = BoldLabel(LibRect(10, 15, 70, 15), "install_type_label", "Groups");
    fInstallBox->AddChild(fInstallTypeLabel);
    BRect typeLabel = fInstallTypeLabel->Frame();

    fInstallType = new LibListView(LibRect(10, typeLabel.bottom + 3, 70, 107), "install_type");
    fInstallType->SetSelectionMessage(new BMessage(kMsgInstallType));
    fInstallType->SetHoverCommand(kMsgGroupHover);
    BScrollView* typeScroll = new BScrollView(
        "install_type_scroll", fInstallType, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true);
    fInstallTypeScrollBar = typeScroll->ScrollBar(B_VERTICAL);
    fInstallBox->AddChild(typeScroll);
    BRect types = fInstallType->Frame();

    fFileLabel = BoldLabel(LibRect(types.right + 30, 15, 60, 15), "file_label", "Files");
    fInstallBox->AddChild(fFileLabel);
    BRect fileLabel = fFileLabel->Frame();

    // A check list: a click ticks a file or takes its tick away, and never
    // narrows the choice to the file clicked.
    fCustomList = new FileCheckList(LibRect(types.right + 30, fileLabel.bottom + 3, 153, 107),
        "custom_list", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    fCustomList->SetSelectionMessage(new BMessage(kMsgFileSelected));
    fCustomScrollView = new BScrollView(
        "custom_scroll_view", fCustomList, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true);
    fInstallBox->AddChild(fCustomScrollView);
    BRect files = fCustomScrollView->Frame();

    fInstallSize
        = new BStringView(BRect(files.right - 70, fileLabel.top, files.right, fileLabel.bottom),
            "install_size", "0 bytes");
    fInstallSize->SetAlignment(B_ALIGN_RIGHT);
    fInstallBox->AddChild(fInstallSize);

    fVolume = new LibVolumeMenu(BPoint(10, files.bottom + 4), "volume", kMsgVolume, 70);
    fVolume->SetLabel("Disk");
    fInstallBox->AddChild(fVolume);
    BRect volume = fVolume->Frame();

    fFolder = new LibPictureButton(BPoint(10, volume.bottom + 4), 24, 24, "folder",
        FolderIcons::Normal(), FolderIcons::Pressed(), kMsgFolder, FolderIcons::Disabled());
    fFolder->AddTip(LibTipManager::kMsgTipRequest, "Change destination folder");
    fInstallBox->AddChild(fFolder);
    BRect folder = fFolder->Frame();

    // The free space stands right of the volume menu: starting at the folder
    // button's right, as the row below does, it would cover the menu.
    fVolumeSize = new BStringView(BRect(std::max(folder.right, volume.right), files.bottom + 4,
                                      files.right, files.bottom + 25),
        "volume_size", "0 bytes");
    fVolumeSize->SetAlignment(B_ALIGN_RIGHT);
    fInstallBox->AddChild(fVolumeSize);

    fDestination = new LibStringView(LibRect(35, volume.bottom + 9, 240, 15), "destination", "");
    fInstallBox->AddChild(fDestination);
    return fInstallBox;
}
