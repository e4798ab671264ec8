// The installer program. brenvik-build appends an installer's resources to a
// copy of it; run, it works from those resources alone (and the "language"
// attribute on its own file).
//
// Started with no arguments on a desktop it shows the installer window. With
// no desktop it asks its questions on the terminal (TerminalInstall), and
// with neither it says how to run it unattended and exits 2. The options are
// InstallerOptions'; "--extract FOLDER" is a maintenance mode that reports
// the payload and extracts every entry into FOLDER.
//
// Exit status: 0 after a completed installation (or one already there, for
// an unattended run), 1 otherwise (closed before installing, failed, refused
// or a configuration that cannot be read), 2 for wrong options or answers, 3
// when the requirements are not met, 4 when the user stopped the pass (the
// window reports a stop as 1, as it always has). --verify exits 0 for a
// whole, signed installer, 2 for a whole, unsigned one and 1 otherwise.

#include <cstdio>
#include <unistd.h>

#include <Application.h>
#include <WindowsVisible.h>

#include <InstallerFormat.h>
#include <TextIds.h>

#include "InstallApp.h"
#include "InstallerConsole.h"
#include "InstallerOptions.h"
#include "TerminalInstall.h"

namespace {

int RunWithoutWindow(const InstallerOptions& options, int argc, char** argv)
{
    BPrivate::ShowNoWindows();
    // The application object gives the classes below the running
    // executable; it never runs a loop here.
    BApplication application(InstallerFormat::kInstallerSignature);
    TerminalInstall terminal(options);
    if (options.what == InstallerOptions::kVerify)
        return terminal.Verify();
    // Nothing is done with an installer that is not whole, or not signed as
    // asked.
    if (options.what != InstallerOptions::kHelp && !terminal.IsTrusted())
        return InstallerOptions::kExitFailed;
    switch (options.what) {
    case InstallerOptions::kHelp:
        return terminal.PrintHelp(argv[0]);
    case InstallerOptions::kVersion:
        return terminal.PrintVersion();
    case InstallerOptions::kExtract: {
        char* extract[] = { argv[0], const_cast<char*>("--extract"),
            const_cast<char*>(options.extractFolder.c_str()), nullptr };
        (void)argc;
        return InstallerConsole().Run(3, extract);
    }
    case InstallerOptions::kUnattended:
        return terminal.RunUnattended();
    case InstallerOptions::kVerify:
        return terminal.Verify();
    case InstallerOptions::kInteractive:
        if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO))
            return terminal.RunWizard();
        terminal.SayNoFrontEnd();
        return InstallerOptions::kExitUsage;
    }
    return InstallerOptions::kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    InstallerOptions options = InstallerOptions::Parse(argc, argv);
    if (!options.wrong.empty()) {
        BApplication application(InstallerFormat::kInstallerSignature);
        TerminalInstall terminal(options);
        terminal.SayWrongOption(options.wrong);
        return InstallerOptions::kExitUsage;
    }
    if (options.what != InstallerOptions::kInteractive || !BPrivate::WindowsCanShow())
        return RunWithoutWindow(options, argc, argv);

    InstallApp* application
        = new InstallApp(options.recordPath, options.language, options.requiredKey);
    application->Run();
    int status = application->ExitStatus();
    delete application;
    return status;
}
