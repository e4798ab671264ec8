// The installer window's workflow: filling the controls from the
// configuration, languages, the three steps, totals, destination, and the
// install pass on the configuration's worker thread.

#include "InstallerWin.h"

#include <Alert.h>
#include <Application.h>
#include <Autolock.h>
#include <Box.h>
#include <Button.h>
#include <Directory.h>
#include <FindDirectory.h>
#include <ListItem.h>
#include <ListView.h>
#include <Messenger.h>
#include <NodeMonitor.h>
#include <Path.h>
#include <ScrollBar.h>
#include <StringView.h>
#include <TextView.h>
#include <Volume.h>

#include <CompletionDialogs.h>
#include <DestinationCheck.h>
#include <FileCheckList.h>
#include <InstallAnswers.h>
#include <InstallImage.h>
#include <InstallListItem.h>
#include <InstallerFormat.h>
#include <LanguageChoice.h>
#include <LibAppResource.h>
#include <LibConvert.h>
#include <LibEntry.h>
#include <LibFilePanel.h>
#include <LibListView.h>
#include <LibMenuField.h>
#include <LibMessageBox.h>
#include <LibPictureButton.h>
#include <LibStdDirName.h>
#include <LibStringIterator.h>
#include <LibStringView.h>
#include <LibSysInfo.h>
#include <LibTipManager.h>
#include <LibVolumeMenu.h>
#include <LocalizedTextTable.h>
#include <LooperList.h>
#include <ProgressBar.h>
#include <RollBackOffer.h>
#include <StorageScope.h>
#include <TextIds.h>
#include <oLocalize.h>

#include "DefaultDestination.h"
#include "InstallerDialogs.h"
#include "InstallerIntegrity.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

namespace Field = InstallerFormat::Field;

// The one text that is not localized: without a configuration the installer
// does not know its texts' resources are sound either.
constexpr const char* kNoConfiguration
    = "Error obtaining configuration in installer. The installer was improperly built.";

constexpr const char* kThreadName = "install";
constexpr long kThreadPriority = 10;

// How long a pass asked to stop may take to reach its next stopping point
// (an item being written is finished first) before it is interrupted.
constexpr bigtime_t kStopGrace = 30000000;

// `path` or the nearest folder above it that exists.
std::string NearestFolder(std::string path)
{
    struct stat info;
    while (path.size() > 1 && (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))) {
        size_t slash = path.find_last_of('/');
        path = slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
    }
    return path.empty() ? std::string("/") : path;
}

// Whether the file system of `path` (or of the nearest folder above it that
// exists) is the volume's.
bool OnVolume(const char* path, const BVolume& volume)
{
    struct stat info;
    return stat(NearestFolder(path).c_str(), &info) == 0 && info.st_dev == volume.Device();
}

// A pass asked to stop may be waiting for the answer to one of its
// questions: each is closed unanswered, which keeps what exists (the replace
// question keeps the existing item), and the pass then stops at its next
// step, leaving every file whole and its record saying what was done.
void CloseOpenAlerts()
{
    for (port_id port : BPrivate::LooperAccess::WindowPorts()) {
        BMessenger messenger;
        messenger.SetTo(be_app_messenger.Team(), port, B_PREFERRED_TOKEN);
        // Locked, the window cannot go away while it is looked at.
        if (messenger.LockTargetWithTimeout(100000) != B_OK)
            continue;
        BLooper* looper = nullptr;
        messenger.Target(&looper);
        if (looper == nullptr)
            continue;
        bool alert = dynamic_cast<BAlert*>(looper) != nullptr;
        looper->Unlock();
        if (alert)
            messenger.SendMessage(B_QUIT_REQUESTED);
    }
}

// The folder panel in the installer's language.
void LocalizeFolderPanel(LibFilePanel& panel, oLocalize& texts)
{
    auto text
        = [&texts](int32 id) { return std::string(static_cast<const char*>(texts.GetText(id))); };
    panel.SetButtonLabel(B_DEFAULT_BUTTON, text(TextId::kFolderPanelChoose).c_str());
    panel.SetButtonLabel(B_CANCEL_BUTTON, text(TextId::kCancel).c_str());
    const std::pair<file_panel_text, int32> kTexts[] = {
        { B_PANEL_TITLE_TEXT, TextId::kFolderPanelTitle },
        { B_PANEL_PARENT_TEXT, TextId::kFolderPanelParent },
        { B_PANEL_VOLUMES_TEXT, TextId::kFolderPanelVolumes },
        { B_PANEL_HIDDEN_TEXT, TextId::kFolderPanelShowHidden },
        { B_PANEL_NEW_FOLDER_TEXT, TextId::kFolderPanelNewFolder },
        { B_PANEL_FOLDER_NAME_TEXT, TextId::kFolderPanelFolderName },
        { B_PANEL_CREATE_TEXT, TextId::kFolderPanelCreate },
        { B_PANEL_GO_TO_TEXT, TextId::kFolderPanelGoTo },
        { B_PANEL_NO_FOLDER_TEXT, TextId::kFolderPanelNoFolder },
        { B_PANEL_NAME_TAKEN_TEXT, TextId::kFolderPanelNameTaken },
        { B_PANEL_BAD_NAME_TEXT, TextId::kFolderPanelBadName },
        { B_PANEL_CANNOT_MAKE_TEXT, TextId::kFolderPanelCannotMake },
    };
    for (const auto& [which, id] : kTexts)
        panel.SetPanelText(which, text(id).c_str());
}

} // namespace

std::unique_ptr<oLocalize> InstallerWin::Localizer() const
{
    if (fInstallerPath.empty())
        return std::make_unique<oLocalize>();
    return std::make_unique<oLocalize>(fInstallerPath.c_str());
}

bool InstallerWin::LoadResources()
{
    std::unique_ptr<LibAppResource> resources = fInstallerPath.empty()
        ? std::make_unique<LibAppResource>(B_READ_ONLY)
        : std::make_unique<LibAppResource>(fInstallerPath.c_str(), B_READ_ONLY);
    fConfig.MakeEmpty();
    if (fConfig.Load(*resources) != B_OK) {
        fOutcome = kNotInstalled;
        // There is nothing to agree to or install.
        {
            BAutolock lock(this);
            fButton->SetEnabled(false);
        }
        LibError("%s", kNoConfiguration);
        return false;
    }

    // A choice of language that the installer file could not keep is found
    // by the product's name; now that it is known, the texts follow it.
    const char* appName = nullptr;
    if (fConfig.FindString(Field::kAppName, &appName) == B_OK) {
        LanguageChoice::SetKey(InstallerFormat::kInstallerSignature, appName);
        // Every message box of the installer is titled with the product.
        if (appName[0] != '\0')
            BAlert::SetDefaultTitle(appName);
    }
    SetLanguage();

    {
        BAutolock lock(this);
        fConfigured = true;
        FillControls();
    }
    return true;
}

void InstallerWin::FillControls()
{
    BMessage image;
    fConfig.FindMessage(Field::kAboutImage, &image);
    fAboutImage->SetImage(image);
    fAboutImage->SetAppName(fConfig.GetString(Field::kAppName, ""));
    fAboutImage->SetVersion(fConfig.GetString(Field::kVersion, ""));
    fAboutImage->SetDate(fConfig.GetString(Field::kReleaseDate, ""));
    fAboutImage->SetCompany(fConfig.GetString(Field::kCompany, ""));
    fAboutImage->SetEmail(fConfig.GetString(Field::kSupportEmail, ""));

    const char* license = fConfig.GetString(Field::kLicense, "");
    fLicenseText->SetText(license);
    if (license[0] == '\0')
        ButtonPressed();

    BMessage groups;
    if (fConfig.FindMessage(Field::kGroups, &groups) == B_OK) {
        fGroups.Read(groups);
        for (GroupContext* group = fGroups.First(); group != nullptr; group = fGroups.Next())
            AddGroup(group->Name());
        fInstallType->Select(0, false);
    }

    BMessage instructions;
    if (fConfig.FindMessage(Field::kInstallInstructions, &instructions) == B_OK) {
        BMessage file;
        for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &file) == B_OK; i++) {
            InstallListItem* item = new InstallListItem(false);
            item->SetShowFullPath(false);
            item->SetCheckBox(true);
            item->Read(file);
            fCustomList->AddItem(item);
        }
    }

    SetDefaultFolder();

    fVolume->AllowRemovable(fConfig.GetBool(Field::kRemovableVolumeOk, false));
    fVolume->AllowShared(fConfig.GetBool(Field::kSharedVolumeOk, false));
    fVolume->Update();

    InstallTypeSelected();
    SetDestinationPath();

    BMessage sound;
    if (fConfig.FindMessage(Field::kAudioData, &sound) == B_OK) {
        sound.what = kMsgPlaySound;
        be_app_messenger.SendMessage(&sound);
    }
}

void InstallerWin::SetDefaultFolder()
{
    std::string folder = DefaultDestination(fConfig);
    entry_ref ref;
    if (folder.empty())
        return;
    if (LibGetEntryRef(folder.c_str(), ref))
        fConfig.SetDestination(ref);
    else
        // More than its last folder is missing: kept as a path, made by the
        // pass when the user installs.
        fConfig.SetDestinationPath(folder);
}

void InstallerWin::AddGroup(const char* name)
{
    fInstallType->AddItem(new BStringItem(name, 0, true));
}

void InstallerWin::SetSeal(const InstallerSignature::Seal& seal)
{
    BAutolock lock(this);
    fSeal = seal;
    std::unique_ptr<oLocalize> localize = Localizer();
    ShowSeal(*localize);
}

// The publisher's name gives way to the key's fingerprint when the line is
// too long for the box: the fingerprint is what identifies the signer.
void InstallerWin::ShowSeal(oLocalize& localize)
{
    std::string line = SignatureLine(fSeal, localize);
    BFont font;
    fSignature->GetFont(&font);
    float room = fSignature->Bounds().Width();
    float over = font.StringWidth(line.c_str()) - room;
    if (over > 0 && fSeal.what == InstallerSignature::Seal::kSigned) {
        InstallerSignature::Seal shortened = fSeal;
        std::string result(fSeal.publisher.size() + 4, '\0');
        const char* names[] = { fSeal.publisher.c_str() };
        char* results[] = { result.data() };
        font.GetTruncatedStrings(names, 1, B_TRUNCATE_END,
            std::max(0.0f, font.StringWidth(fSeal.publisher.c_str()) - over), results);
        shortened.publisher = result.c_str();
        line = SignatureLine(shortened, localize);
    }
    fSignature->SetText(line.c_str());
}

void InstallerWin::SetLanguage()
{
    BAutolock lock(this);
    std::unique_ptr<oLocalize> localize = Localizer();
    fOptions->Clear();
    fLicenseBox->SetLabel(localize->GetText(TextId::kLicenseBox));
    ShowSeal(*localize);
    fInstallBox->SetLabel(localize->GetText(TextId::kInstallBox));
    fInstallTypeLabel->SetText(localize->GetText(TextId::kGroupLabel));
    fFileLabel->SetText(localize->GetText(TextId::kFilesLabel));
    fFolder->AddTip(LibTipManager::kMsgTipRequest, localize->GetText(TextId::kFolderTip));
    fVolume->SetLabel(localize->GetText(TextId::kDisksLabel));
    ShowWhereThingsGo();
    SetStepTexts();

    LibStringIterator languages(localize->GetText(TextId::kLanguageMenu));
    LibString language;
    while (languages.GetNextField('\n', language))
        fOptions->Add(language, new BMessage(kMsgLanguage));
    int32 index = LocalizedTextTable::LanguageIndex(localize->Language());
    if (index >= 0)
        fOptions->SetItem(index);
}

// The main button and the instruction line say what the step asks. While
// the pass runs the button stops it, whatever the language, and the line
// keeps the pass's latest status.
void InstallerWin::SetStepTexts()
{
    std::unique_ptr<oLocalize> localize = Localizer();
    switch (fStep.load()) {
    case kStepLicense:
        fButton->SetLabel(localize->GetText(TextId::kAgree));
        fInstruction->SetText(localize->GetText(TextId::kLicenseStep));
        break;
    case kStepInstalling:
        fButton->SetLabel(localize->GetText(fPassComplete ? TextId::kDone : TextId::kStop));
        if (fStopping)
            fInstruction->SetText(localize->GetText(TextId::kWizardStopping));
        break;
    default:
        fButton->SetLabel(localize->GetText(TextId::kInstall));
        fInstruction->SetText(DestinationInstruction(*localize).c_str());
        break;
    }
}

std::string InstallerWin::DestinationInstruction(oLocalize& localize) const
{
    if (!fDestinationWarning.empty())
        return fDestinationWarning;
    // Root installs for every user of the machine, and is told so.
    return static_cast<const char*>(
        localize.GetText(BPrivate::StorageScope::IsSystem() ? TextId::kDestinationStepForAll
                                                            : TextId::kDestinationStep));
}

void InstallerWin::ChangeLaunguage()
{
    int32 index = fOptions->CurrentSelection();
    Localizer()->SetLanguage(LocalizedTextTable::LanguageCode(index));
    SetLanguage();
}

void InstallerWin::ButtonPressed()
{
    // A press sent before the button changed its role (the second click of
    // a double click, already on its way) is not one for the new role.
    if (fButtonSettling)
        return;
    switch (fStep.load()) {
    case kStepLicense: {
        BAutolock lock(this);
        fLicenseBox->Hide();
        fInstallBox->Show();
        fStep = kStepDestination;
        SetStepTexts();
        SettleButton();
    }
        // Installing needs a file where agreeing did not.
        CustomItemSelected();
        CheckDestinationFolder(false);
        break;
    case kStepDestination: {
        if (!ConfirmReinstall())
            return;
        std::unique_lock guard(fStartLock);
        // Once the application is quitting, no pass starts.
        if (fQuitting)
            return;
        // A stop asked for from here on is for this pass, also before it
        // has started.
        fConfig.ClearStopRequest();
        fPassComplete = false;
        fPassStart = kPassStarting;
        fStep = kStepInstalling;
        guard.unlock();
        {
            BAutolock lock(this);
            // A folder chosen in the panel now would move the destination under
            // the pass.
            if (fFolderPanel && fFolderPanel->IsShowing())
                fFolderPanel->Hide();
            SetControlsEnabled(false);
            // The pass installs what is ticked now.
            fCustomList->SetChangeable(false);
            SetStepTexts();
            // The pass's own status follows; until then nothing is done
            // yet, and the destination is no longer being chosen.
            fInstruction->SetText("");
            ShowProgress(true);
            SettleButton();
        }
        Install();
        break;
    }
    default:
        if (!fStopping && !fPassComplete)
            AskToStop();
        break;
    }
}

// The button is where the previous one was: a second click of a double
// click, or a second Enter, lands on the new role unless it waits.
void InstallerWin::SettleButton()
{
    fButtonSettling = true;
    int32 generation = ++fSettleGeneration;
    // Disabled, it gives up the keyboard focus; it takes it back when it is
    // ready, unless the user has moved on meanwhile.
    if (fButton->IsFocus())
        fButtonHadFocus = true;
    fButton->SetEnabled(false);
    BMessage ready(kMsgButtonReady);
    ready.AddInt32("generation", generation);
    fButtonReady.Start(BMessenger(this), ready, kButtonSettleTime);
}

std::string InstallerWin::AlertTitle() const
{
    const char* name = fConfig.GetString(Field::kAppName, "");
    return name[0] != '\0' ? name : Title();
}

std::string InstallerWin::InstallationFolder() const
{
    std::string folder = fConfig.DestinationPath();
    const char* created = fConfig.GetString(Field::kCreatedFolder, "");
    if (!folder.empty() && created[0] != '\0')
        folder += std::string("/") + created;
    return folder;
}

bool InstallerWin::AskToStop()
{
    std::unique_ptr<oLocalize> localize = Localizer();
    // Escape and the close button keep the pass running.
    BAlert* alert = new BAlert(AlertTitle().c_str(), localize->GetText(TextId::kStopQuestion),
        localize->GetText(TextId::kGoOn), localize->GetText(TextId::kStop), nullptr,
        B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    if (alert->Go() != 1)
        return false;
    {
        std::lock_guard guard(fStartLock);
        // The pass may have ended while the user was asked.
        if (fPassStart.load() != kPassStarted)
            return false;
        fConfig.RequestStop();
    }
    // A question the pass waits on is closed unanswered, which keeps what
    // exists, so that it stops at once.
    CloseOpenAlerts();
    BAutolock lock(this);
    fStopping = true;
    SetStepTexts();
    CustomItemSelected();
    return true;
}

void InstallerWin::OfferRemovalOfLeftovers()
{
    std::unique_ptr<oLocalize> localize = Localizer();
    std::string journal = fConfig.RecordPath();
    if (journal.empty()) {
        // Nothing was placed.
        (new BAlert(AlertTitle().c_str(), localize->GetText(TextId::kStopped),
             localize->GetText(TextId::kOk), nullptr, nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT))
            ->Go();
        return;
    }
    std::string text = FormatWithText(
        static_cast<const char*>(localize->GetFormat(TextId::kStoppedWithLeftovers)),
        BPrivate::StorageScope::ShownPath(InstallationFolder()));
    BAlert* alert
        = new BAlert(AlertTitle().c_str(), text.c_str(), localize->GetText(TextId::kRollBackLeave),
            localize->GetText(TextId::kRollBackUndo), nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    if (alert->Go() != 1)
        return;
    std::string report;
    if (!RollBackOffer::RollBackAll({ journal }, &report) && !report.empty())
        LibError("%s", report.c_str());
}

// Installing where an earlier installation of the product is moves the
// earlier folder to the trash, with whatever the user changed in it: asked
// every time, with the choice of another folder.
bool InstallerWin::ConfirmReinstall()
{
    const char* created = fConfig.GetString(Field::kCreatedFolder, "");
    if (created[0] == '\0' || !fConfig.DoesDestinationExist())
        return true;
    // The user said so when choosing the folder.
    if (fReplaceConfirmed == InstallationFolder())
        return true;
    // An installation of the product that did not finish is asked about
    // next, by the offer to undo it.
    if (!RollBackOffer::Find(fConfig.GetString(Field::kAppName, "")).empty())
        return true;
    std::unique_ptr<oLocalize> localize = Localizer();
    std::string text
        = FormatWithText(static_cast<const char*>(localize->GetFormat(TextId::kReinstallQuestion)),
            BPrivate::StorageScope::ShownPath(InstallationFolder()));
    BAlert* alert = new BAlert(AlertTitle().c_str(), text.c_str(),
        localize->GetText(TextId::kCancel), localize->GetText(TextId::kChooseAnotherFolder),
        localize->GetText(TextId::kReplace), B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    switch (alert->Go()) {
    case 2:
        fReplaceConfirmed = InstallationFolder();
        return true;
    case 1:
        PostMessage(kMsgFolder);
        return false;
    default:
        return false;
    }
}

void InstallerWin::SetControlsEnabled(bool enabled)
{
    fFolder->SetEnabled(enabled);
    fVolume->SetEnabled(enabled);
}

void InstallerWin::ShowProgress(bool show)
{
    BAutolock lock(this);
    fProgress->SetProgress(0, 0);
    float width = fInstBox->Bounds().Width() - 10;
    if (show) {
        width = fProgress->Frame().left - 5 - fInstruction->Frame().left;
        if (fProgress->IsHidden())
            fProgress->Show();
    } else if (!fProgress->IsHidden()) {
        fProgress->Hide();
    }
    fInstruction->ResizeTo(width, fInstruction->Bounds().Height());
}

// The user may change the choice and press Install again.
void InstallerWin::ReturnToDestinationStep()
{
    BAutolock lock(this);
    SetControlsEnabled(true);
    fCustomList->SetChangeable(true);
    ShowProgress(false);
    fStopping = false;
    fQuitWhenStopped = false;
    fStep = kStepDestination;
    SetStepTexts();
    SettleButton();
    CustomItemSelected();
}

bool InstallerWin::CheckDestinationFolder(bool ask)
{
    // Without the name of the folder the install creates (no configuration)
    // nothing there would be replaced.
    const char* created = fConfig.GetString(Field::kCreatedFolder, "");
    if (created[0] == '\0' || !fConfig.DoesDestinationExist())
        return true;
    std::unique_ptr<oLocalize> localize = Localizer();
    LibString text(localize->GetText(TextId::kFolderExistsStart));
    text.Concat(created);
    text.Concat(localize->GetText(TextId::kFolderExistsEnd));
    BAlert* alert;
    if (ask) {
        // The question says what replacing does: the earlier folder goes to
        // the trash, with what the user changed in it.
        std::string question = FormatWithText(
            static_cast<const char*>(localize->GetFormat(TextId::kReinstallQuestion)),
            BPrivate::StorageScope::ShownPath(InstallationFolder()));
        alert
            = new BAlert(AlertTitle().c_str(), question.c_str(), localize->GetText(TextId::kCancel),
                localize->GetText(TextId::kReplace), nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
        bool replace = alert->Go() != 0;
        if (replace)
            fReplaceConfirmed = InstallationFolder();
        return replace;
    } else {
        alert = new BAlert("", text, localize->GetText(TextId::kOk), nullptr, nullptr,
            B_WIDTH_AS_USUAL, B_INFO_ALERT);
    }
    return alert->Go() != 0;
}

void InstallerWin::SelectDestination()
{
    // An answer that comes once Install is pressed is too late: the pass
    // has its destination.
    if (!fFolderPanel || fStep.load() != kStepDestination)
        return;
    entry_ref kept = fConfig.Destination();
    entry_ref chosen;
    fFolderPanel->Rewind();
    if (fFolderPanel->GetNextSelectedRef(&chosen) != B_OK) {
        fFolderPanel->Hide();
        return;
    }
    fConfig.SetDestination(chosen);
    if (CheckDestinationFolder(true)) {
        SetDestinationPath();
        fFolderPanel->Hide();
    } else {
        // The user keeps the destination they had and may choose again.
        fConfig.SetDestination(kept);
    }
}

void InstallerWin::SelectVolume()
{
    // The pass has its destination.
    if (fStep.load() == kStepInstalling)
        return;
    GetHomeDirectory();
    CheckDestinationFolder(false);
}

void InstallerWin::GetVolumes()
{
    BAutolock lock(this);
    LibString chosen = fVolume->Text();
    fVolume->Update();
    if (chosen.Length() > 0 && chosen.Compare(fVolume->Text()) != 0
        && fStep.load() != kStepInstalling && fVolume->CountItems() > 0) {
        // The chosen volume is gone: the menu goes back to the first one,
        // and the destination and free space follow it.
        if (fVolume->Text().Length() == 0)
            fVolume->SetItem(0);
        GetHomeDirectory();
        return;
    }
    // The free space may have changed with the mounts.
    ShowWhereThingsGo();
}

// A volume's "home" is where its user may install: the home folder in the
// user scope and the applications folder in the system scope, when the
// volume holds them, else the volume's own root.
void InstallerWin::GetHomeDirectory()
{
    BVolume volume;
    if (!fVolume->GetCurrentVolume(volume))
        return;
    BPath home;
    if (BPrivate::StorageScope::IsSystem()) {
        if (find_directory(B_APPS_DIRECTORY, &home, false, &volume) != B_OK
            || !OnVolume(home.Path(), volume))
            home.Unset();
    } else {
        std::string folder = BPrivate::StorageScope::Home();
        if (OnVolume(folder.c_str(), volume))
            home.SetTo(folder.c_str());
    }
    if (home.InitCheck() != B_OK) {
        BDirectory root;
        if (volume.GetRootDirectory(&root) != B_OK)
            return;
        BEntry entry;
        root.GetEntry(&entry);
        entry.GetPath(&home);
    }
    entry_ref ref;
    if (!LibGetEntryRef(home.Path(), ref))
        return;
    fConfig.SetDestination(ref);
    SetDestinationPath();
}

void InstallerWin::SetDestinationPath()
{
    ShowWhereThingsGo();
}

void InstallerWin::ShowWhereThingsGo()
{
    BAutolock lock(this);
    std::unique_ptr<oLocalize> localize = Localizer();
    std::string install = InstallationFolder();
    fDestination->SetTruncatedText(
        BPrivate::StorageScope::ShownPath(install).c_str(), B_TRUNCATE_BEGINNING);

    std::vector<bool> ticked;
    uint64 needed = 0;
    for (int32 i = 0; i < fCustomList->CountItems(); i++) {
        InstallListItem* item = dynamic_cast<InstallListItem*>(fCustomList->ItemAt(i));
        ticked.push_back(item != nullptr && item->IsSelected());
        if (ticked.back())
            needed += item->Size64();
    }
    // The de-installer comes with any installation.
    if (needed > 0 && fConfig.IncludeDeinstaller())
        needed += InstallerFormat::RecordedDeinstallerSize(fConfig);
    std::string tip = BPrivate::StorageScope::ShownPath(install);
    std::vector<std::string> others = DestinationCheck::OtherFolders(fConfig, ticked);
    if (!others.empty()) {
        tip += std::string("\n")
            + static_cast<const char*>(localize->GetText(TextId::kAlsoInstallsInto));
        for (const std::string& folder : others)
            tip += "\n" + BPrivate::StorageScope::ShownPath(folder);
    }
    fDestination->AddTip(LibTipManager::kMsgTipRequest, tip.c_str());

    fDestinationWarning.clear();
    if (!install.empty()) {
        std::string nearest;
        std::string why = DestinationCheck::Problem(install, &nearest);
        struct stat info;
        if (!why.empty()) {
            fDestinationWarning = FormatWithTexts(
                static_cast<const char*>(localize->GetFormat(TextId::kDestinationUnusable)),
                { BPrivate::StorageScope::ShownPath(nearest), why });
        } else if (stat(nearest.c_str(), &info) == 0) {
            BVolume volume(info.st_dev);
            if (volume.InitCheck() == B_OK) {
                uint64 free = uint64(std::max<off_t>(volume.FreeBytes(), 0));
                LibString freeText;
                LibSizeToString(free, freeText);
                fVolumeSize->SetText(freeText);
                if (needed > free) {
                    char name[B_FILE_NAME_LENGTH] = "";
                    volume.GetName(name);
                    LibString neededText;
                    LibSizeToString(needed, neededText);
                    fDestinationWarning = FormatWithTexts(
                        static_cast<const char*>(localize->GetFormat(TextId::kSpaceShortWarning)),
                        { static_cast<const char*>(neededText), static_cast<const char*>(freeText),
                            name });
                }
            }
        }
    }
    if (fStep.load() == kStepDestination)
        fInstruction->SetText(DestinationInstruction(*localize).c_str());
}

void InstallerWin::InitFolderPanel()
{
    if (fFolderPanel)
        return;
    BMessenger target(this);
    fFolderPanel = std::make_unique<LibFilePanel>(
        B_OPEN_PANEL, &target, kMsgFolderChosen, B_DIRECTORY_NODE, false);
    fFolderPanel->Filter().AddType("application/x-vnd.Be-directory");
    fFolderPanel->Filter().AddType("application/x-vnd.Be-volume");
}

void InstallerWin::InstallTypeSelected()
{
    ShowGroupDescription(-1);
    // While the pass runs, the files it installs stay ticked as they were.
    if (fStep.load() == kStepInstalling)
        return;
    {
        BAutolock lock(this);
        fCustomList->SetSelectionMessage(nullptr);
        int32 selected = fInstallType->CurrentSelection();
        if (selected >= 0) {
            BStringItem* type = dynamic_cast<BStringItem*>(fInstallType->ItemAt(selected));
            const char* name = type != nullptr ? type->Text() : "";
            for (int32 i = 0; i < fCustomList->CountItems(); i++) {
                InstallListItem* item = dynamic_cast<InstallListItem*>(fCustomList->ItemAt(i));
                if (item != nullptr && item->Groups().InList(name)) {
                    if (!item->IsSelected())
                        fCustomList->Select(i, true);
                } else {
                    fCustomList->Deselect(i);
                }
            }
        } else if (fInstallType->CountItems() > 0) {
            // Selecting a type comes back here with the files chosen.
            fInstallType->Select(0, false);
        }
        fCustomList->SetSelectionMessage(new BMessage(kMsgFileSelected));
    }
    CustomItemSelected();
}

// The total beside "Files" is what the ticked files take: 0 bytes with
// none ticked. The de-installer that comes with any installation is not a
// file the user ticks; the space check counts it.
void InstallerWin::CustomItemSelected()
{
    BAutolock lock(this);
    uint64 total = 0;
    int32 count = 0;
    for (int32 i = 0; i < fCustomList->CountItems(); i++) {
        InstallListItem* item = dynamic_cast<InstallListItem*>(fCustomList->ItemAt(i));
        if (item == nullptr || !item->IsSelected())
            continue;
        count++;
        total += item->Size64();
    }
    LibString text;
    LibSizeToString(total, text);
    fInstallSize->SetText(text);
    // The space check follows the choice.
    if (fStep.load() != kStepInstalling)
        ShowWhereThingsGo();
    // Only installing needs a file: the licence can always be agreed to
    // (the list is hidden then, so nothing could be ticked), and while the
    // pass runs the button stops it, whatever is ticked.
    // It waits out a change of role, and has nothing to do while the pass
    // stops or once it is complete.
    fButton->SetEnabled(fConfigured && !fButtonSettling && !fStopping && !fPassComplete
        && (count > 0 || fStep.load() != kStepDestination));
}

void InstallerWin::ShowGroupDescription(const int32& index)
{
    BMessage tip(LibTipManager::kMsgTipRequest);
    if (index < 0) {
        tip.AddBool("show", false);
        be_app_messenger.SendMessage(&tip);
        return;
    }
    GroupContext* group = fGroups.Get(long(index));
    if (group == nullptr)
        return;
    if (group->Description().Length() > 0) {
        BRect scroll = fInstallType->Parent()->Frame();
        BRect list = fInstallType->Frame();
        float scrolled = fInstallTypeScrollBar != nullptr ? fInstallTypeScrollBar->Value() : 0;
        BPoint where(scroll.left + 99 + list.Width() + list.right,
            fInstallType->ItemFrame(index).top + 42 + list.top - scrolled);
        ConvertToScreen(&where);
        tip.AddBool("show", true);
        tip.AddInt16("sdelay", 0);
        tip.AddInt16("edelay", int16(std::ceil(group->Description().Length() * 0.25)));
        tip.AddPoint("loc", where);
        tip.AddInt32("width", 160);
        tip.AddString("tip", group->Description());
    }
    be_app_messenger.SendMessage(&tip);
}

void InstallerWin::Install()
{
    {
        BAutolock lock(this);
        BMessage instructions;
        fConfig.FindMessage(Field::kInstallInstructions, &instructions);
        for (int32 i = 0; i < fCustomList->CountItems(); i++) {
            BMessage file;
            if (fCustomList->ItemAt(i) == nullptr
                || instructions.FindMessage(Field::kInstallFile, i, &file) != B_OK)
                continue;
            bool selected = fCustomList->ItemAt(i)->IsSelected();
            if (file.ReplaceBool(Field::kInstallToSystem, selected) != B_OK)
                file.AddBool(Field::kInstallToSystem, selected);
            instructions.ReplaceMessage(Field::kInstallFile, i, &file);
        }
        if (fConfig.ReplaceMessage(Field::kInstallInstructions, &instructions) != B_OK)
            fConfig.AddMessage(Field::kInstallInstructions, &instructions);
    }

    RecordAnswers();

    // The default folder is a standard one that a fresh account may not have
    // yet (~/.local/opt); the pass makes it when the user installs into it
    // (not merely by opening the installer), in its record, so that the
    // removal takes it away again.
    fConfig.SetMakeDestination(true);

    OfferRollBack();

    std::unique_lock guard(fStartLock);
    if (fConfig.StopRequested()) {
        // The user quit while the window was still asking: the pass never
        // starts.
        fPassStart = kNoPass;
        guard.unlock();
        ReturnToDestinationStep();
        return;
    }
    fConfig.SetDialogs(std::make_unique<InstallerDialogs>(fConfig.GetString(Field::kAppName, "")));
    // The worker reports the bytes placed as each item starts and ends, and
    // within a large item as it is written; only the newest report waits in
    // the window's queue.
    BMessenger window(this);
    fConfig.SetProgressObserver([window](const InstallProgress& progress) {
        BMessage report(kMsgInstallProgress);
        report.AddInt64("done", int64(progress.bytesDone));
        report.AddInt64("total", int64(progress.bytesTotal));
        BPrivate::SendReplacingQueued(window, &report);
    });
    status_t status = fConfig.Go(kThreadName, new BMessenger(this), kThreadPriority, false);
    fPassStart = status == B_OK ? kPassStarted : kNoPass;
    guard.unlock();
    if (status != B_OK) {
        // The pass never started: as if it had failed at once.
        BMessage failed(LibThread::kLibThreadDone);
        failed.AddString("name", kThreadName);
        failed.AddInt32("status", InstallConfig::kPassFailed);
        ThreadChange(&failed);
    }
}

// The walk as an answer file: the install type when the files ticked are
// exactly its own, else the files by name.
void InstallerWin::RecordAnswers()
{
    if (fAnswersRecord.empty())
        return;
    InstallAnswers answers;
    answers.licenseAccepted = true;
    answers.launch = true;
    answers.destination = fConfig.DestinationPath();
    answers.language = static_cast<const char*>(Localizer()->Language());
    {
        BAutolock lock(this);
        int32 selected = fInstallType->CurrentSelection();
        BStringItem* type
            = selected >= 0 ? dynamic_cast<BStringItem*>(fInstallType->ItemAt(selected)) : nullptr;
        bool typeOnly = type != nullptr;
        std::vector<std::string> files;
        for (int32 i = 0; i < fCustomList->CountItems(); i++) {
            InstallListItem* item = dynamic_cast<InstallListItem*>(fCustomList->ItemAt(i));
            if (item == nullptr)
                continue;
            if (item->IsSelected())
                files.emplace_back(item->Path().Leaf() != nullptr ? item->Path().Leaf() : "");
            if (type != nullptr && item->IsSelected() != item->Groups().InList(type->Text()))
                typeOnly = false;
        }
        if (typeOnly)
            answers.installType = type->Text();
        else
            answers.files = files;
    }
    if (answers.Write(fAnswersRecord) != B_OK)
        LibError("%s: %s", fAnswersRecord.c_str(), std::strerror(errno));
}

void InstallerWin::OfferRollBack()
{
    std::vector<std::string> unfinished
        = RollBackOffer::Find(fConfig.GetString(Field::kAppName, ""));
    if (unfinished.empty())
        return;
    std::unique_ptr<oLocalize> localize = Localizer();
    BAlert* alert = new BAlert("", localize->GetText(TextId::kRollBackQuestion),
        localize->GetText(TextId::kRollBackLeave), localize->GetText(TextId::kRollBackUndo),
        nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    if (alert->Go() != 1)
        return;
    // The window's thread undoes it: the line is drawn before it starts.
    fInstruction->SetText(localize->GetText(TextId::kUndoingUnfinished));
    UpdateIfNeeded();
    RollBackOffer::RollBackAll(unfinished);
    fInstruction->SetText("");
}

void InstallerWin::ThreadChange(BMessage* message)
{
    const char* name = nullptr;
    if (message->FindString("name", &name) != B_OK || std::strcmp(name, kThreadName) != 0)
        return;
    int32 status = message->GetInt32("status", InstallConfig::kPassFailed);
    bool quitting;
    {
        std::lock_guard guard(fStartLock);
        fPassStart = kNoPass;
        quitting = fQuitting;
    }
    if (status == InstallConfig::kPassDone) {
        fOutcome
            = fConfig.Outcome() == InstallConfig::kOutcomeSucceeded ? kInstalled : kInstallFailed;
        if (fConfig.RestartRequested())
            LibShutdown(true);
        QuitProgram();
        return;
    }
    fOutcome = status == InstallConfig::kPassStopped ? kInstallStopped : kInstallFailed;
    // The application, quitting, tells of a stop itself.
    if (quitting)
        return;
    if (status == InstallConfig::kPassStopped && fStopping)
        OfferRemovalOfLeftovers();
    if (fQuitWhenStopped) {
        QuitProgram();
        return;
    }
    fPassComplete = false;
    ReturnToDestinationStep();
}

void InstallerWin::QuitRunning()
{
    bool noPass;
    {
        std::lock_guard guard(fStartLock);
        fQuitting = true;
        noPass = fPassStart.load() == kNoPass;
        // The pass stops at its next item, leaving every file whole; one
        // that waits for the user's answer is interrupted there. Asked for
        // before the pass has started, the request keeps it from starting,
        // or stops it at its first step.
        if (!noPass)
            fConfig.RequestStop();
    }
    if (noPass) {
        // The window may be waiting on a question of its own (an
        // installation folder that exists): it is closed unanswered, so that
        // the application can close the window.
        CloseOpenAlerts();
        return;
    }
    WaitForPassStart();
    if (fPassStart.load() != kPassStarted)
        return;
    bool interrupted = false;
    if (WaitForPassToEnd(kStopGrace) != B_OK) {
        // Still blocked where no stop request reaches (a shell command that
        // does not end): interrupted wherever it waits.
        fConfig.Kill();
        WaitForPassToEnd(B_INFINITE_TIMEOUT);
        interrupted = true;
    }
    InstallConfig::pass_outcome outcome = fConfig.Outcome();
    bool stopped = outcome == InstallConfig::kOutcomeStopped
        || (interrupted && outcome == InstallConfig::kOutcomeNotRun);
    if (!stopped) {
        // It ended on its own, before or despite the request (completed,
        // failed or refused by the requirements check): nothing was stopped.
        fOutcome = outcome == InstallConfig::kOutcomeSucceeded ? kInstalled : kInstallFailed;
        return;
    }
    fOutcome = kInstallStopped;
    LibError("%s", static_cast<const char*>(Localizer()->GetText(TextId::kStopped)));
}

// The window may still be asking before it starts the pass (the roll-back
// offer): the question is closed unanswered, and the stop request then keeps
// the pass from starting.
void InstallerWin::WaitForPassStart()
{
    while (fPassStart.load() == kPassStarting) {
        CloseOpenAlerts();
        snooze(20000);
    }
}

status_t InstallerWin::WaitForPassToEnd(bigtime_t timeout)
{
    bigtime_t deadline
        = timeout == B_INFINITE_TIMEOUT ? B_INFINITE_TIMEOUT : system_time() + timeout;
    while (fConfig.Status() != 0) {
        if (deadline != B_INFINITE_TIMEOUT && system_time() >= deadline)
            return B_TIMED_OUT;
        if (fConfig.StopRequested())
            CloseOpenAlerts();
        snooze(20000);
    }
    return B_OK;
}

bool InstallerWin::QuitRequested()
{
    if (fStep.load() == kStepInstalling && fPassStart.load() == kPassStarted && !fPassComplete) {
        if (fStopping || AskToStop())
            fQuitWhenStopped = true;
        return false;
    }
    QuitProgram();
    return false;
}

void InstallerWin::QuitProgram()
{
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
}

void InstallerWin::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case kMsgButton:
        ButtonPressed();
        break;
    case kMsgInstallType:
        InstallTypeSelected();
        break;
    case kMsgGroupHover:
        ShowGroupDescription(message->GetInt32("item", -1));
        break;
    case kMsgFolder:
        // The destination is chosen in its own step only.
        if (fStep.load() != kStepDestination)
            break;
        InitFolderPanel();
        // In the language shown now, at the folder the product goes into (or
        // the nearest one above it that is there yet).
        LocalizeFolderPanel(*fFolderPanel, *Localizer());
        fFolderPanel->SetPanelDirectory(NearestFolder(fConfig.DestinationPath()).c_str());
        fFolderPanel->Show();
        break;
    case kMsgVolume:
        SelectVolume();
        break;
    case kMsgFolderChosen:
        SelectDestination();
        break;
    case kMsgFileSelected:
        CustomItemSelected();
        break;
    case kMsgLanguage:
        ChangeLaunguage();
        break;
    case LibThread::kLibThreadDone:
        ThreadChange(message);
        break;
    case B_NODE_MONITOR: {
        int32 opcode = message->GetInt32("opcode", 0);
        if (opcode == B_DEVICE_MOUNTED || opcode == B_DEVICE_UNMOUNTED)
            GetVolumes();
        break;
    }
    case kMsgInstallProgress:
        if (fStep.load() == kStepInstalling)
            fProgress->SetProgress(uint64(std::max<int64>(message->GetInt64("done", 0), 0)),
                uint64(std::max<int64>(message->GetInt64("total", 0), 0)));
        break;
    case kMsgInstallStatus: {
        const char* text = nullptr;
        // While the pass stops, the line says so.
        if (!fStopping && message->FindString(InstallConfig::kStatusField, &text) == B_OK)
            fInstruction->SetText(text);
        break;
    }
    case kMsgInstallComplete:
        fPassComplete = true;
        SetStepTexts();
        CustomItemSelected();
        break;
    case kMsgButtonReady:
        if (message->GetInt32("generation", -1) == fSettleGeneration) {
            fButtonSettling = false;
            CustomItemSelected();
            if (fButtonHadFocus && CurrentFocus() == nullptr && fButton->IsEnabled())
                fButton->MakeFocus(true);
            fButtonHadFocus = false;
        }
        break;
    default:
        LibWindow::MessageReceived(message);
        break;
    }
}
