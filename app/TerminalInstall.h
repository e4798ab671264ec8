#pragma once

// The installer without a window: the text-mode wizard on a terminal and the
// unattended run from an answer file. Both walk the window's steps (licence,
// choice of files, destination) into one set of answers, check them all
// before anything is written (InstallAnswersCheck), and then run the same
// install pass as the window, on this thread. Ctrl+C (or SIGTERM, SIGHUP)
// asks the pass to stop as the Stop button does: the item being written is
// finished or left out whole, and the record and the roll-back offer work as
// after a stop in the window.
//
// Exit statuses are InstallerOptions' (0 installed, 1 failed or not
// installed, 2 wrong options or answers, 3 requirements not met, 4 stopped).

#include <memory>
#include <string>

#include <InstallAnswers.h>
#include <InstallConfig.h>
#include <oLocalize.h>

#include "InstallerIntegrity.h"
#include "InstallerOptions.h"
#include "TerminalDialogs.h"

class TerminalInstall {
public:
    // The installer at installerPath (empty: the running executable), its
    // questions read from `in` and written to `out`.
    TerminalInstall(const InstallerOptions& options, const std::string& installerPath = "",
        int in = 0, FILE* out = stdout, FILE* err = stderr);
    ~TerminalInstall();

    int RunWizard();
    int RunUnattended();
    // --help and --version.
    int PrintHelp(const char* program);
    int PrintVersion();
    // Said when there is neither a display nor a terminal.
    void SayNoFrontEnd();
    // Said of an option that cannot be read.
    void SayWrongOption(const std::string& option);
    // Whether the installer is whole, its signature holds and is the one
    // --require-signature asks for (InstallerIntegrity.h); when not, what is
    // wrong has been said on standard error.
    bool IsTrusted();
    // --verify: says whether the installer is whole and who signed it.
    int Verify();

    InstallConfig& Configuration() { return fConfig; }

private:
    bool Load();
    // The installer's texts (made once), in the language asked for or the
    // user's; Load() starts with them.
    void LoadTexts();
    std::string Text(int32 id);
    std::string Formatted(int32 id, const std::string& argument);
    // What is wrong with answers, in words.
    std::string Described(const InstallAnswers::Problem& problem);
    void SetLanguage(const std::string& code);

    // The walk of the wizard.
    bool ShowLicense();
    bool ChooseFiles();
    void ListFiles();
    bool ChooseDestination();

    // Checks the answers against the configuration; 0 when they hold, else
    // the exit status, with the reason said.
    int Check(const InstallAnswers& answers);
    // The installation the answers would make, when it is already there,
    // whole, with this version.
    bool AlreadyInstalled();
    void OfferRollBack(bool ask);
    // Runs the pass with the terminal's questions, or answered from
    // `answers`; returns the exit status.
    int RunPass(const InstallAnswers* answers);
    void ReportProgress(const InstallProgress& progress);
    void RecordAnswers();

    InstallerOptions fOptions;
    std::string fInstallerPath;
    TerminalIO fIO;
    InstallConfig fConfig;
    std::unique_ptr<oLocalize> fTexts;
    InstallAnswers fAnswers;
    InstallerTrust fTrust;
    bool fStopSaid = false;
};
