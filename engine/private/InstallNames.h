#pragma once

// Texts the install pass turns into file names and file contents, checked or
// quoted so that no configuration can make it write outside the folders it
// means: path components, the relative sub-folders of custom folders, and the
// lines of desktop entries.

#include <string>
#include <sys/types.h>

#include <SupportDefs.h>

// Whether a configuration text can be one path component: not empty, not "."
// or "..", no '/' and no NUL, no control characters (a newline in a file name
// breaks every line-based tool and log), at most 255 bytes.
bool IsSafeComponent(const std::string& name);

// Whether a configuration text can be a relative path below a folder: one or
// more safe components separated by '/' (no leading '/', no "..").
bool IsSafeRelativePath(const std::string& path);

// A configuration text as a log or message shows it: control characters
// as "\n", "\t" or "\xHH".
std::string Printable(const std::string& text);

// A path as the value of a desktop entry's Exec key (Desktop Entry
// Specification): quoted when it holds a reserved character, '"', '`', '$'
// and '\' escaped inside the quotes, '%' doubled, then every backslash
// doubled for the string escapes. False for a path that cannot be written
// (a newline or other control character).
bool DesktopExecArgument(const std::string& path, std::string* argument);
// A text as a desktop entry's string value; false when it holds a control
// character.
bool DesktopStringValue(const std::string& text, std::string* value);

// A byte count for people, as the window writes it (LibBytesToString with one
// decimal): "%.1f MB" above 1048576 bytes, "%.1f KB" above 1024, otherwise
// "%.1f bytes". Never wraps, whatever the size.
std::string BytesText(uint64 bytes);

// A failure of a file operation in words, for the log and the removal's
// report ("permission denied", "no space left", ...).
const char* StatusText(status_t status);

// The process's umask, read without changing it (from /proc/self/status;
// where that cannot be read, by setting and restoring it).
mode_t CurrentUmask();

// The mode of a file or folder the pass creates with a mode of its own
// (`mode`): in the user scope what the user's umask leaves of it, as for any
// file the user creates; in the system scope, where it is for every user,
// `mode` itself.
mode_t CreationMode(mode_t mode);
