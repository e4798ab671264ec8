// brenvik-kolvast
//
// The de-installer. The authoring tool stores it in every installer as the
// de-installer entry; the install pass extracts it into the installation
// folder and gives it a configuration record that names the install record.
//
//   brenvik-kolvast [--unattended] [--put-back-earlier] [--record JOURNAL]
//
// Without options it shows its window; --unattended removes without one and
// reports on standard output; --put-back-earlier brings back from the trash
// an earlier installation that this one replaced (the window asks instead);
// --record removes the installation of that install record instead of the
// one this program's configuration names.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <Application.h>
#include <Environment.h>
#include <ExecutablePath.h>
#include <Resources.h>

#include <InstallerFormat.h>

#include "KolvastTarget.h"
#include "KolvastTexts.h"
#include "KolvastUnattended.h"
#include "KolvastWindow.h"

namespace {

std::string OwnPath()
{
    std::string path;
    if (BPrivate::GetExecutablePath(&path) != B_OK)
        path.clear();
    return path;
}

int Usage(FILE* out, int status)
{
    std::fputs("usage: brenvik-kolvast [--unattended] [--put-back-earlier] [--record JOURNAL]\n"
               "Removes the installation this de-installer belongs to: what was installed,\n"
               "unless it was changed since; puts back what the installation replaced.\n"
               "An earlier installation it replaced stays in the trash unless\n"
               "--put-back-earlier is given (or, in the window, its box is ticked).\n",
        out);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    bool unattended = false;
    bool putBackEarlier = false;
    std::string record;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--unattended") == 0)
            unattended = true;
        else if (std::strcmp(argv[i], "--put-back-earlier") == 0)
            putBackEarlier = true;
        else if (std::strcmp(argv[i], "--record") == 0 && i + 1 < argc)
            record = argv[++i];
        else if (std::strcmp(argv[i], "--help") == 0)
            return Usage(stdout, 0);
        else
            return Usage(stderr, KolvastUnattended::kExitNoRecord);
    }
    KolvastTarget target;
    status_t status = record.empty() ? target.SetToProgram(OwnPath()) : target.SetToRecord(record);
    if (status != B_OK) {
        std::fprintf(stderr, "brenvik-kolvast: %s\n", target.Error().c_str());
        return KolvastUnattended::kExitNoRecord;
    }
    // Folders (the state folder, the scripts) are those of the installation's
    // scope.
    if (BPrivate::Environment::Get("BRENVIK_SCOPE") == nullptr && !target.Scope().empty())
        setenv("BRENVIK_SCOPE", target.Scope().c_str(), 1);
    if (unattended)
        return KolvastUnattended::Run(target, stdout, putBackEarlier);
    if (BPrivate::Environment::Get("DISPLAY") == nullptr
        && BPrivate::Environment::Get("WAYLAND_DISPLAY") == nullptr
        && BPrivate::Environment::Get("BRENVIK_DISPLAY") == nullptr) {
        std::fprintf(stderr,
            "brenvik-kolvast: there is no display to show the window on; "
            "--unattended removes without one\n");
        return KolvastUnattended::kExitNoRecord;
    }
    BApplication application(InstallerFormat::kDeinstallerSignature);
    BResources resources;
    bool ownTexts = resources.SetTo(OwnPath().c_str(), 0, false) == B_OK;
    KolvastTexts texts(target.Language(), ownTexts ? &resources : nullptr);
    KolvastWindow* window = new KolvastWindow(target, texts, true);
    window->Show();
    application.Run();
    return KolvastWindow::ExitStatus();
}
