#pragma once

// The installer's command line. Started with no arguments it behaves as it
// always has (the window on a desktop); the options are the ones Linux users
// expect of an installer that can also run without a window:
//
//   --help, --version            print and exit
//   --extract FOLDER             extract the payload, nothing else
//   --unattended --answers FILE  install from an answer file, asking nothing
//   --record-answers FILE        write the answers of a walk
//   --progress text|json         the unattended run's progress lines
//   --language CODE              the language of this run
//   --verify                     check the installer and its signature
//   --require-signature KEY      refuse an installer not signed with KEY
//                                (a fingerprint, 16 hex digits or more)
//
// Exit statuses of every mode are the constants below.

#include <string>

struct InstallerOptions {
    enum mode {
        // The window on a desktop, the terminal's wizard without one.
        kInteractive,
        kHelp,
        kVersion,
        kExtract,
        kUnattended,
        kVerify,
    };

    static constexpr int kExitInstalled = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;
    static constexpr int kExitRequirements = 3;
    static constexpr int kExitStopped = 4;
    // --verify: whole but unsigned (0: whole and signed, 1: damaged or a
    // signature that does not hold).
    static constexpr int kExitUnsigned = 2;

    mode what = kInteractive;
    std::string extractFolder;
    std::string answersPath;
    std::string recordPath;
    std::string language;
    // The fingerprint the installer's signature must have (empty: any or
    // none).
    std::string requiredKey;
    bool jsonProgress = false;
    // The option that could not be read, when the command line is wrong.
    std::string wrong;

    static InstallerOptions Parse(int argc, const char* const* argv);
};
