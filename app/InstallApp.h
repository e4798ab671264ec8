#pragma once

// InstallApp: the installer program's application object. It registers the
// installer's identity, creates the one installer window, plays the opening
// sound, hands tool-tip requests to its tool-tip manager, and stops a
// running installation when it is asked to quit.

#include <Application.h>

#include <LibTipManager.h>

#include <atomic>
#include <memory>
#include <string>

class InstallerWin;
class LibSound;
namespace BPrivate {
class TemporaryPreferredApp;
}

class InstallApp : public BApplication {
public:
    // Posted by the window: play the sound archived in the message.
    static constexpr uint32 kMsgPlaySound = 2200;

    // `answersRecord`: where the answers of the walk are written when Install
    // is pressed (empty: nowhere); `language`: a language for this run only
    // (empty: the installer's own choice); `requiredKey`: the fingerprint the
    // installer's signature must have (empty: any or none).
    explicit InstallApp(const std::string& answersRecord = "", const std::string& language = "",
        const std::string& requiredKey = "");
    ~InstallApp() override;

    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;
    void Pulse() override;
    void ReadyToRun() override;

    void PlaySound(BMessage* message);

    // The program's exit status: 0 only after a completed installation.
    int ExitStatus() const { return fExitStatus.load(); }

private:
    LibTipManager fTipManager;
    // The window lives until the application has quit (see
    // InstallerWin::QuitRequested); the platform deletes it then.
    InstallerWin* fWindow;
    std::unique_ptr<LibSound> fSound;
    std::atomic<int> fExitStatus;
    std::string fRequiredKey;
    std::unique_ptr<BPrivate::TemporaryPreferredApp> fTypeRegistration;
};
