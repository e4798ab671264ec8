#include "InstallApp.h"

#include <MimeType.h>
#include <TemporaryPreferredApp.h>

#include <InstallerFormat.h>
#include <LibAppVersion.h>
#include <LibMessageBox.h>
#include <LibSound.h>
#include <oLocalize.h>

#include "InstallerIntegrity.h"
#include "InstallerWin.h"

namespace {

// The name of the sound player, as the media kit lists it.
constexpr const char* kPlayerName = "AudioFile";

} // namespace

InstallApp::InstallApp(
    const std::string& answersRecord, const std::string& language, const std::string& requiredKey)
    : BApplication(InstallerFormat::kInstallerSignature)
    , fWindow(nullptr)
    , fExitStatus(1)
    , fRequiredKey(requiredKey)
{
    // Writing into the running executable fails on most systems (a busy
    // text file, a read-only medium); the installer runs regardless.
    LibSetAppVersion(InstallerFormat::kVersionMajor, InstallerFormat::kVersionMiddle,
        InstallerFormat::kVersionMinor, InstallerFormat::kVersionShortText,
        InstallerFormat::kVersionLongText, InstallerFormat::kVersionVariety,
        InstallerFormat::kVersionInternal);
    // Our own type database only: the desktop's default applications are
    // left alone, where a one-shot installer would leave a dead entry. For
    // the same reason the entry lasts only as long as the installer runs.
    fTypeRegistration = std::make_unique<BPrivate::TemporaryPreferredApp>(
        InstallerFormat::kDocumentType, InstallerFormat::kInstallerSignature);

    if (!language.empty())
        oLocalize().SetLanguageForRun(language.c_str());
    fWindow = new InstallerWin;
    fWindow->SetAnswersRecord(answersRecord);
    fWindow->Run();
}

InstallApp::~InstallApp() = default;

void InstallApp::ReadyToRun()
{
    // A damaged installer says so, and which part, before any step; so does
    // one whose signature does not hold or is not the one asked for.
    oLocalize texts;
    InstallerTrust trust = CheckInstaller(std::string(), texts);
    std::string problem = trust.problem;
    if (problem.empty())
        problem = RequiredKeyProblem(trust.seal, fRequiredKey, texts);
    if (!problem.empty()) {
        LibError("%s", problem.c_str());
        PostMessage(B_QUIT_REQUESTED);
        return;
    }
    fWindow->SetSeal(trust.seal);
    fWindow->SetPosition(LibWindow::kCenter);
    fWindow->LoadResources();
    fWindow->Show();
}

void InstallApp::Pulse()
{
    fTipManager.PostPending();
}

void InstallApp::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case kMsgPlaySound:
        PlaySound(message);
        break;
    case LibTipManager::kMsgTipRequest:
        fTipManager.MessageReceived(message);
        break;
    default:
        BApplication::MessageReceived(message);
        break;
    }
}

void InstallApp::PlaySound(BMessage* message)
{
    // Without a sound device the sound stays silent; nothing fails.
    fSound = std::make_unique<LibSound>(*message, kPlayerName);
    fSound->Play();
}

bool InstallApp::QuitRequested()
{
    fWindow->QuitRunning();
    fExitStatus = fWindow->InstallOutcome() == InstallerWin::kInstalled ? 0 : 1;
    return true;
}
