#pragma once

// What the installer program does until its window is built: it reads its
// own configuration record through InstallConfig, reports the product, the
// payload entries and the de-installer it carries, and with --extract FOLDER
// extracts every payload entry into FOLDER through the installer's own
// extraction code, each item bounded by the size its record gives it. The
// current language's texts frame the output, as the installer's status line
// would.

#include <SupportDefs.h>

class InstallConfig;
class LibAppResource;
class oLocalize;

class InstallerConsole {
public:
    // Runs with the program's arguments ([--extract FOLDER]); returns the
    // program's exit status.
    int Run(int argc, char** argv);

private:
    void Report(LibAppResource& resources, const InstallConfig& config, oLocalize& localize);
    int ExtractAll(LibAppResource& resources, const InstallConfig& config, const char* folder,
        oLocalize& localize);
};
