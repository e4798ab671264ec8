#pragma once

// InstallerWin: the installer's one window. The about image on the left; on
// the right, in one place, either the licence box or the installation box
// (install types, files with their total, volume, folder and destination);
// below, the instruction line, the main button and the language menu.
//
// The window walks the user through three steps, driven by the main button:
// 1 the licence ("Agree"), 2 the destination ("Install"), 3 the running
// install pass ("Stop"). The pass runs on the configuration's worker thread;
// it reports status texts ('isud') and its end ('LThC') to this window.
// Layout is built in InstallerWin.cpp, the workflow in InstallerWinFlow.cpp.

#include <GroupContextList.h>
#include <InstallConfig.h>
#include <InstallerSignature.h>
#include <LibWindow.h>

#include "DelayedMessage.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class BBox;
class BButton;
class BListView;
class BScrollBar;
class BScrollView;
class BStringView;
class BTextView;
class FileCheckList;
class InstallImage;
class LibFilePanel;
class LibListView;
class oLocalize;
class LibMenuField;
class LibPictureButton;
class LibStringView;
class LibVolumeMenu;
class ProgressBar;

class InstallerWin : public LibWindow {
public:
    // The window's own messages.
    enum : uint32 {
        kMsgButton = 1000,
        kMsgInstallType = 2000,
        kMsgGroupHover = 2001,
        kMsgFolder = 2003,
        kMsgVolume = 2004,
        kMsgFolderChosen = 2005,
        kMsgFileSelected = 2006,
        kMsgLanguage = 2007,
        // Posted to the application: play the opening sound.
        kMsgPlaySound = 2200,
        kMsgInstallStatus = InstallConfig::kMsgInstallStatus,
        // From the worker: the bytes of the ticked files placed so far
        // ("done") of all of them ("total"), both int64.
        kMsgInstallProgress = 'ispg',
        kMsgInstallComplete = InstallConfig::kMsgInstallComplete,
        // The main button takes clicks again after a change of its role.
        kMsgButtonReady = 2008,
    };

    // How long the main button ignores clicks after it changes its role
    // (Agree, Install, Stop), so that a double click is never two actions.
    static constexpr bigtime_t kButtonSettleTime = 500000;

    // The workflow's steps.
    enum Step : int32 {
        kStepLicense = 1,
        kStepDestination = 2,
        kStepInstalling = 3,
    };

    // How the installer ended, for the program's exit status.
    enum Outcome : int32 {
        kNotInstalled,
        kInstalled,
        kInstallFailed,
        kInstallStopped,
    };

    static constexpr float kWidth = 456;
    static constexpr float kHeight = 258;

    // The window of the running installer; tests name another installer
    // file, whose configuration and texts the window then uses.
    explicit InstallerWin(const char* installerPath = nullptr);
    ~InstallerWin() override;

    void MessageReceived(BMessage* message) override;
    // The user closes the window. While the pass runs the user is asked
    // first: "go on" keeps it running, "stop" stops it and the program ends
    // once it has stopped. Otherwise the request goes to the application,
    // which stops a running pass and then closes this window itself (see
    // QuitRunning): the window stays until then, so that the application
    // never asks a window that is gone.
    bool QuitRequested() override;

    // Reads the configuration record from the running executable and fills
    // the controls. Called once by the application before it shows the
    // window. False when the record is missing or unreadable (the user has
    // been told).
    bool LoadResources();

    void AddGroup(const char* name);
    void SetLanguage();
    void ChangeLaunguage();
    void ButtonPressed();
    bool CheckDestinationFolder(bool ask);
    void SelectDestination();
    void SelectVolume();
    void GetVolumes();
    void GetHomeDirectory();
    void SetDestinationPath();
    void InitFolderPanel();
    void InstallTypeSelected();
    void CustomItemSelected();
    void ShowGroupDescription(const int32& index);
    void Install();
    // Offers to undo an installation of the same product that did not
    // finish, before the new pass supersedes its record.
    void OfferRollBack();
    void ThreadChange(BMessage* message);
    // Called from the application's thread when it is asked to quit: a pass
    // that still runs is stopped, and the user is told so when it was; one
    // that Install was pressed for but has not started yet never starts.
    // The window starts no pass afterwards.
    void QuitRunning();

    // Where the answers of this walk are written when Install is pressed
    // (--record-answers); empty for nowhere.
    void SetAnswersRecord(const std::string& path) { fAnswersRecord = path; }
    // Who signed the installer, shown under the licence (Unsigned until
    // this is called).
    void SetSeal(const InstallerSignature::Seal& seal);

    int32 CurrentStep() const { return fStep.load(); }
    Outcome InstallOutcome() const { return fOutcome.load(); }
    InstallConfig& Configuration() { return fConfig; }

private:
    void BuildViews();
    void ShowSeal(oLocalize& localize);
    BView* BuildLicenseBox(BRect frame);
    BView* BuildInstallBox(BRect frame);
    void SetControlsEnabled(bool enabled);
    // The progress bar beside the status line, shown while the pass runs
    // (the status line makes room for it).
    void ShowProgress(bool show);
    // Disables the main button for kButtonSettleTime.
    void SettleButton();
    void QuitProgram();
    // Asks whether to stop the running pass; on "stop" asks the pass to
    // stop, and the window says so until it has.
    bool AskToStop();
    // Once a stopped pass has ended: says what it left and offers to take
    // it away.
    void OfferRemovalOfLeftovers();
    // Before a pass that replaces an earlier installation: whether to go on.
    bool ConfirmReinstall();
    std::string InstallationFolder() const;
    // The product's name, the title of the window's questions.
    std::string AlertTitle() const;
    void ReturnToDestinationStep();
    void SetStepTexts();
    // Where the installation goes, before Install: the installation folder
    // in the destination line (the home folder as "~"), every other folder
    // that receives files in its tip, the free space where it goes, and in
    // step 2 a warning on the instruction line when the folder cannot be
    // written or the ticked files do not fit there. Install stays enabled:
    // the user decides.
    void ShowWhereThingsGo();
    // The instruction of step 2: the warning about the destination, or what
    // to do.
    std::string DestinationInstruction(oLocalize& localize) const;
    std::unique_ptr<oLocalize> Localizer() const;
    void FillControls();
    void SetDefaultFolder();
    status_t WaitForPassToEnd(bigtime_t timeout);
    void WaitForPassStart();
    void RecordAnswers();

    // Between the press of Install and the worker's start the window may
    // still ask (the roll-back offer); a quit request in that time must be
    // seen before the worker is asked to run.
    enum PassStart : int32 {
        kNoPass,
        kPassStarting,
        kPassStarted,
    };

    // Empty for the running executable.
    std::string fInstallerPath;
    std::string fAnswersRecord;
    GroupContextList fGroups;
    std::atomic<int32> fStep;
    std::atomic<Outcome> fOutcome;
    // Guards the decisions to start a pass and to quit, which are taken on
    // the window's and the application's threads.
    std::mutex fStartLock;
    bool fQuitting = false;
    std::atomic<PassStart> fPassStart { kNoPass };
    // The main button waits out its change of role (SettleButton); a newer
    // change outlasts the notice of an older one.
    bool fButtonSettling = false;
    int32 fSettleGeneration = 0;
    bool fButtonHadFocus = false;
    DelayedMessage fButtonReady;
    // The user asked the running pass to stop; the program ends once it
    // has when the request came with the window's closing.
    bool fStopping = false;
    bool fQuitWhenStopped = false;
    // The pass has placed everything; it can no longer be stopped.
    bool fPassComplete = false;
    // The installation folder the user agreed to replace.
    std::string fReplaceConfirmed;
    // The configuration was read; without it there is nothing to agree to or
    // install.
    bool fConfigured = false;
    InstallImage* fAboutImage = nullptr;
    InstallConfig fConfig;
    std::unique_ptr<LibFilePanel> fFolderPanel;
    // What is wrong with the destination as chosen (empty when nothing).
    std::string fDestinationWarning;

    BBox* fLicenseBox = nullptr;
    BTextView* fLicenseText = nullptr;
    BStringView* fSignature = nullptr;
    InstallerSignature::Seal fSeal;
    BBox* fInstallBox = nullptr;
    BStringView* fInstallTypeLabel = nullptr;
    LibListView* fInstallType = nullptr;
    BScrollBar* fInstallTypeScrollBar = nullptr;
    LibPictureButton* fFolder = nullptr;
    LibStringView* fDestination = nullptr;
    LibVolumeMenu* fVolume = nullptr;
    BStringView* fVolumeSize = nullptr;
    BStringView* fFileLabel = nullptr;
    FileCheckList* fCustomList = nullptr;
    BScrollView* fCustomScrollView = nullptr;
    BStringView* fInstallSize = nullptr;
    BBox* fInstBox = nullptr;
    BStringView* fInstruction = nullptr;
    ProgressBar* fProgress = nullptr;
    BButton* fButton = nullptr;
    LibMenuField* fOptions = nullptr;
};
