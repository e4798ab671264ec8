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
// - restart and power-off ask systemd (systemctl reboot / poweroff), which
//   goes through logind and its permission checks;
// - launch starts the program detached, in its own folder, with standard
//   input from /dev/null and without our BRENVIK_* variables;
// - open-folder and show-info go to the desktop's file manager over the
//   session bus (org.freedesktop.FileManager1), falling back to xdg-open and
//   then gio; open uses xdg-open or gio.
// As root (the system scope), programs, documents and folders are not opened
// at all (B_NOT_ALLOWED): that would start them as root on a user's display.

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

    static status_t Restart();
    static status_t PowerOff();
    static status_t Launch(const char* path, const std::vector<std::string>& arguments = {},
        const char* workingFolder = nullptr);
    static status_t Open(const char* path);
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
