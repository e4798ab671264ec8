#pragma once

// Finding installed programs in the desktop's application entries
// (freedesktop.org Desktop Entry files), for BRoster::FindApp.

#include <string>
#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

class DesktopEntries {
public:
    // The "applications" folders, most important first: $XDG_DATA_HOME's,
    // then each of $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
    static std::vector<std::string> Folders();

    // The desktop entry that stands for `signature`: the entry whose desktop
    // file id is the signature (when it ends in ".desktop" or is a reverse
    // domain name), else an entry whose X-Brenvik-Signature key equals it
    // (without regard to case). Hidden entries and entries whose TryExec
    // program is missing do not count.
    static status_t Find(const std::string& signature, std::string* path);

    // Whether an entry file counts as installed (not hidden, TryExec found).
    static bool IsUsable(const std::string& path, std::string* signature = nullptr);
};

} // namespace BPrivate
