#pragma once

// The install scope decides where standard folders live. A normal user is in
// the user scope (XDG folders under the home folder); root is in the system
// scope (FHS folders, all below BRENVIK_ROOT, which defaults to "/"). The
// environment variable BRENVIK_SCOPE=user|system overrides the choice, so
// that tests, which run as root in CI, can exercise both.

#include <string>

#include <SupportDefs.h>

namespace BPrivate {

enum install_scope { B_USER_SCOPE, B_SYSTEM_SCOPE };

class StorageScope {
public:
    static install_scope Current();
    // Whether the current scope is the system's.
    static bool IsSystem() { return Current() == B_SYSTEM_SCOPE; }

    // $HOME when it is an absolute path, else the password database's home
    // folder of the effective user.
    static std::string Home();

    // An XDG base folder: the variable when it holds an absolute path (the
    // base-directory rules ignore relative ones), else $HOME/<fallback>.
    static std::string XdgFolder(const char* variable, const char* fallback);

    // BRENVIK_ROOT without a trailing slash ("" for the real root).
    static std::string SystemRoot();

    // The folder whose volume is the boot volume: the home folder in the
    // user scope, the system root in the system scope.
    static std::string BootFolder();

    // Where Brenvik keeps its own state for the scope (install records, the
    // lock around script edits): $XDG_DATA_HOME/brenvik for a user,
    // <BRENVIK_ROOT>/var/lib/brenvik for the system (state a program keeps,
    // as package databases are kept).
    static std::string StateFolder();

    // A path as the user reads it: "~" for the home folder in the user scope
    // (the system scope's paths are everybody's, shown whole).
    static std::string ShownPath(const std::string& path);
};

} // namespace BPrivate
