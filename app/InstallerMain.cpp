// The installer program. brenvik-build appends an installer's resources to a
// copy of it; run, it works from those resources alone (and the "language"
// attribute on its own file) and shows the installer window.
//
// Exit status: 0 after a completed installation, 1 otherwise (closed before
// installing, failed, refused or stopped, or a configuration that cannot be
// read).
//
// "brenvik-installer --extract FOLDER" is a maintenance mode without a
// window: it reports the payload and extracts every entry into FOLDER.

#include <cstring>

#include <InstallerFormat.h>

#include "InstallApp.h"
#include "InstallerConsole.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--extract") == 0) {
        // The application object gives the classes below the running
        // executable.
        BApplication application(InstallerFormat::kInstallerSignature);
        return InstallerConsole().Run(argc, argv);
    }
    InstallApp* application = new InstallApp;
    application->Run();
    int status = application->ExitStatus();
    delete application;
    return status;
}
