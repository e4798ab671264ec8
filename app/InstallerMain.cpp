// brenvik-installer [--extract FOLDER]
//
// The installer program. brenvik-build appends an installer's resources to a
// copy of it; run, it works from those resources alone.

#include <Application.h>

#include <InstallerFormat.h>

#include "InstallerConsole.h"

int main(int argc, char** argv)
{
    // The application object gives the classes below the running executable.
    BApplication application(InstallerFormat::kInstallerSignature);
    return InstallerConsole().Run(argc, argv);
}
