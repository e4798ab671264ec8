#pragma once

// The one way out for side effects that must never happen in a test:
// restarting or powering off the machine, starting programs, and asking the
// desktop's file manager to open a folder or show an item's information.
//
// When the environment variable BRENVIK_ACTIONS_LOG is set, nothing
// happens: each action appends one line to the file it names instead (the
// test harness always sets it). Set but empty, or naming a file that cannot
// be written, the action fails and still does not happen. A line is the action's verb and its
// arguments, separated by tabs and ended by a newline:
//
//   restart
//   power-off
//   launch<TAB>/path/to/program[<TAB>argument...]
//   run-script<TAB>/path/to/script
//   open<TAB>/path/to/document
//   open-folder<TAB>/path/to/folder
//   show-info<TAB>/path/to/item
//
// Inside an argument a backslash is written "\\", a tab "\t", a newline
// "\n", a carriage return "\r" and any other byte below 0x20 (and 0x7F) as
// "\xHH", so that every line stays one line whatever the file names hold.
// The file is created with mode 0600 if needed; each line is appended with
// one write(2), so lines from concurrent writers never mix.
//
// Without the variable the real thing is done, and a failure is reported
// only by the status (nothing is printed):
// - restart and power-off ask logind on the system bus whether the user may
//   (CanReboot, CanPowerOff) and then do it with interactive authorization,
//   so that polkit can ask for a password; without a system bus they fall
//   back to systemctl, which goes through the same checks;
// - launch starts the program detached, in its own folder, with standard
//   input from /dev/null and without our BRENVIK_* variables;
// - open-folder and show-info go to the desktop's file manager over the
//   session bus (org.freedesktop.FileManager1), falling back to xdg-open and
//   then gio; open uses xdg-open or gio.
// - run-script runs a script in its own folder and waits for it: with the
//   interpreter its "#!" line names when it is executable, else with
//   /bin/sh; standard input from /dev/null, without our BRENVIK_* variables.
// As root (the system scope), programs, documents and folders are not opened
// at all (B_NOT_ALLOWED): that would start them as root on a user's display.
// Scripts do run as root: they set up the system the installation is for.

#include <string>
#include <vector>

#include <SupportDefs.h>

class BMessage;

namespace BPrivate {

class Actions {
public:
    static constexpr const char* kLogVariable = "BRENVIK_ACTIONS_LOG";
    static constexpr const char* kFileManagerSignature = "application/x-vnd.Be-TRAK";

    // Whether actions are being logged instead of done.
    static bool IsLogging();

    // Whether a restart can be offered: logind answers "yes" or "challenge"
    // (always true while actions are logged).
    static bool CanRestart();
    static status_t Restart();
    static status_t PowerOff();
    static status_t Launch(const char* path, const std::vector<std::string>& arguments = {},
        const char* workingFolder = nullptr);
    static status_t Open(const char* path);
    // B_OK once the script has run, whatever its exit status (in
    // *exitStatus: 128 + the signal when one ended it); an error when it
    // could not be started.
    static status_t RunScript(const char* path, int* exitStatus = nullptr);
    static status_t OpenFolder(const char* path);
    static status_t ShowInfo(const char* path);

    // The file manager's side of its messages: B_REFS_RECEIVED ("_RRC")
    // with "refs" opens each item (a folder in a window), 'Tinf' shows each
    // item's information.
    static status_t HandleFileManagerMessage(const BMessage* message);

    // Makes the file manager reachable as a BMessenger by its signature
    // ("application/x-vnd.Be-TRAK"), handing its messages to
    // HandleFileManagerMessage. Safe to call more than once.
    static void RegisterDesktopServices();

    // One argument of a log line, escaped as described above.
    static std::string EscapeLogField(const std::string& field);

private:
    static status_t Log(const std::vector<std::string>& fields);
};

} // namespace BPrivate
