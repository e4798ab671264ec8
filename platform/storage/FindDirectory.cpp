// find_directory: where each standard BeOS folder lives on Linux.
//
// Two layouts, chosen by the install scope (StorageScope.h):
// - user scope: the XDG base directories and file-hierarchy(7)'s
//   ~/.local tree of the user's home;
// - system scope: the Filesystem Hierarchy Standard, every path placed below
//   BRENVIK_ROOT ("/" when unset), so that a test can sandbox a whole
//   system installation.
// The one principle behind the rows: a per-user XDG folder pairs with the
// matching system folder, ~/.local/{bin,lib,include,opt} with
// /usr/local/{bin,lib,include} and /opt. BeOS-only kinds of folder (add-ons,
// servers, translators, media nodes, printers) get a folder of their own
// below "brenvik". docs/standard-folders.md shows the same table.

#include <FindDirectory.h>

#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include <Directory.h>
#include <Path.h>
#include <Volume.h>

#include "PathHelpers.h"
#include "StorageScope.h"
#include "TempFiles.h"
#include "VolumeTable.h"

using namespace BPrivate;

namespace {

// What a user-scope row is relative to.
enum folder_base {
    kHome, // $HOME
    kConfig, // $XDG_CONFIG_HOME, default ~/.config
    kData, // $XDG_DATA_HOME, default ~/.local/share
    kState, // $XDG_STATE_HOME, default ~/.local/state
    kDesktop, // XDG_DESKTOP_DIR of user-dirs.dirs, default ~/Desktop
    kTrash, // the freedesktop.org trash of the volume
    kTemp // the machine's temporary folder, $TMPDIR or /tmp (TempFiles.h)
};

struct FolderRow {
    directory_which which;
    folder_base base; // user scope: base + userPath
    const char* userPath;
    const char* systemPath; // system scope: BRENVIK_ROOT + systemPath
};

// clang-format off
const FolderRow kFolders[] = {
    // The desktop; root's own in the system scope (there is no shared one).
    { B_DESKTOP_DIRECTORY, kDesktop, "", "/root/Desktop" },
    // The folder that holds trashed items (Trash/files); root's home trash
    // in the system scope. Whoever moves an item there also writes its
    // Trash/info record.
    { B_TRASH_DIRECTORY, kTrash, "", "/root/.local/share/Trash/files" },
    // BeOS's own system tree has no Linux counterpart: a folder of ours.
    { B_BEOS_DIRECTORY, kData, "brenvik/beos", "/usr/local/lib/brenvik/beos" },
    { B_BEOS_SYSTEM_DIRECTORY, kData, "brenvik/system", "/usr/local/lib/brenvik/system" },
    { B_BEOS_ADDONS_DIRECTORY, kData, "brenvik/add-ons", "/usr/local/lib/brenvik/add-ons" },
    // Boot scripts are Brenvik-managed shell files run at login.
    { B_BEOS_BOOT_DIRECTORY, kConfig, "brenvik/boot", "/etc/opt/brenvik/boot" },
    // Fonts where fontconfig looks for them.
    { B_BEOS_FONTS_DIRECTORY, kData, "fonts", "/usr/local/share/fonts" },
    // Shared libraries where the loader (or ldconfig) finds them.
    { B_BEOS_LIB_DIRECTORY, kHome, ".local/lib", "/usr/local/lib" },
    { B_BEOS_SERVERS_DIRECTORY, kData, "brenvik/servers", "/usr/local/lib/brenvik/servers" },
    // Self-contained applications: ~/.local/opt mirrors /opt.
    { B_BEOS_APPS_DIRECTORY, kHome, ".local/opt", "/opt" },
    // Commands on the PATH.
    { B_BEOS_BIN_DIRECTORY, kHome, ".local/bin", "/usr/local/bin" },
    // Configuration files.
    { B_BEOS_ETC_DIRECTORY, kConfig, "", "/usr/local/etc" },
    { B_BEOS_DOCUMENTATION_DIRECTORY, kData, "doc", "/usr/local/share/doc" },
    { B_BEOS_PREFERENCES_DIRECTORY, kHome, ".local/opt", "/opt" },
    { B_BEOS_TRANSLATORS_DIRECTORY, kData, "brenvik/translators",
        "/usr/local/lib/brenvik/translators" },
    { B_BEOS_MEDIA_NODES_DIRECTORY, kData, "brenvik/media", "/usr/local/lib/brenvik/media" },
    { B_BEOS_SOUNDS_DIRECTORY, kData, "sounds", "/usr/local/share/sounds" },
    // "Common" is the prefix of locally installed software.
    { B_COMMON_DIRECTORY, kHome, ".local", "/usr/local" },
    { B_COMMON_SYSTEM_DIRECTORY, kHome, ".local", "/usr/local" },
    { B_COMMON_ADDONS_DIRECTORY, kData, "brenvik/add-ons", "/usr/local/lib/brenvik/add-ons" },
    { B_COMMON_BOOT_DIRECTORY, kConfig, "brenvik/boot", "/etc/opt/brenvik/boot" },
    { B_COMMON_FONTS_DIRECTORY, kData, "fonts", "/usr/local/share/fonts" },
    { B_COMMON_LIB_DIRECTORY, kHome, ".local/lib", "/usr/local/lib" },
    { B_COMMON_SERVERS_DIRECTORY, kData, "brenvik/servers", "/usr/local/lib/brenvik/servers" },
    { B_COMMON_BIN_DIRECTORY, kHome, ".local/bin", "/usr/local/bin" },
    { B_COMMON_ETC_DIRECTORY, kConfig, "", "/usr/local/etc" },
    { B_COMMON_DOCUMENTATION_DIRECTORY, kData, "doc", "/usr/local/share/doc" },
    // Settings: the XDG configuration folder, /etc/xdg for everybody.
    { B_COMMON_SETTINGS_DIRECTORY, kConfig, "", "/etc/xdg" },
    // Headers for developers.
    { B_COMMON_DEVELOP_DIRECTORY, kHome, ".local/include", "/usr/local/include" },
    // Logs and other variable data: the XDG state folder, /var for everybody.
    { B_COMMON_LOG_DIRECTORY, kState, "log", "/var/log" },
    { B_COMMON_SPOOL_DIRECTORY, kState, "", "/var/spool" },
    // The machine's temporary folder in both scopes and on every volume.
    // It may be a destination, so it must not be the process's private
    // folder, which goes when the program ends.
    { B_COMMON_TEMP_DIRECTORY, kTemp, "", nullptr },
    { B_COMMON_VAR_DIRECTORY, kState, "", "/var/opt" },
    { B_COMMON_TRANSLATORS_DIRECTORY, kData, "brenvik/translators",
        "/usr/local/lib/brenvik/translators" },
    { B_COMMON_MEDIA_NODES_DIRECTORY, kData, "brenvik/media", "/usr/local/lib/brenvik/media" },
    { B_COMMON_SOUNDS_DIRECTORY, kData, "sounds", "/usr/local/share/sounds" },
    // The home folder; root's (/root) in the system scope.
    { B_USER_DIRECTORY, kHome, "", "/root" },
    { B_USER_CONFIG_DIRECTORY, kHome, ".local", "/usr/local" },
    { B_USER_ADDONS_DIRECTORY, kData, "brenvik/add-ons", "/usr/local/lib/brenvik/add-ons" },
    { B_USER_BOOT_DIRECTORY, kConfig, "brenvik/boot", "/etc/opt/brenvik/boot" },
    { B_USER_FONTS_DIRECTORY, kData, "fonts", "/usr/local/share/fonts" },
    { B_USER_LIB_DIRECTORY, kHome, ".local/lib", "/usr/local/lib" },
    { B_USER_SETTINGS_DIRECTORY, kConfig, "", "/etc/xdg" },
    // The desktop's application menu (desktop entries).
    { B_USER_DESKBAR_DIRECTORY, kData, "applications", "/usr/local/share/applications" },
    { B_USER_PRINTERS_DIRECTORY, kData, "brenvik/printers", "/usr/local/lib/brenvik/printers" },
    { B_USER_TRANSLATORS_DIRECTORY, kData, "brenvik/translators",
        "/usr/local/lib/brenvik/translators" },
    { B_USER_MEDIA_NODES_DIRECTORY, kData, "brenvik/media", "/usr/local/lib/brenvik/media" },
    { B_USER_SOUNDS_DIRECTORY, kData, "sounds", "/usr/local/share/sounds" },
    // Never $XDG_DATA_HOME/applications: menus read every file there as a
    // desktop entry.
    { B_APPS_DIRECTORY, kHome, ".local/opt", "/opt" },
    { B_PREFERENCES_DIRECTORY, kHome, ".local/opt", "/opt" },
    { B_UTILITIES_DIRECTORY, kHome, ".local/opt", "/opt" },
};
// clang-format on

static_assert(std::size(kFolders) == 51, "every directory_which value has a row");

const FolderRow* FindRow(directory_which which)
{
    for (const FolderRow& row : kFolders) {
        if (row.which == which)
            return &row;
    }
    return nullptr;
}

// XDG_DESKTOP_DIR from user-dirs.dirs: "$HOME/..." or an absolute path, in
// double quotes, as xdg-user-dirs writes it.
std::string DesktopFolder()
{
    std::string home = StorageScope::Home();
    std::ifstream file(
        JoinPath(StorageScope::XdgFolder("XDG_CONFIG_HOME", ".config"), "user-dirs.dirs"));
    std::string line;
    const std::string key = "XDG_DESKTOP_DIR=\"";
    while (std::getline(file, line)) {
        if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"')
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            return CleanPath(home + value.substr(5));
        if (!value.empty() && value[0] == '/')
            return CleanPath(value);
    }
    return JoinPath(home, "Desktop");
}

// The user-scope folder of a row on the boot volume.
status_t UserFolder(const FolderRow& row, std::string* path)
{
    switch (row.base) {
    case kHome:
        *path = JoinPath(StorageScope::Home(), row.userPath);
        return B_OK;
    case kConfig:
        *path = JoinPath(StorageScope::XdgFolder("XDG_CONFIG_HOME", ".config"), row.userPath);
        return B_OK;
    case kData:
        *path = JoinPath(StorageScope::XdgFolder("XDG_DATA_HOME", ".local/share"), row.userPath);
        return B_OK;
    case kState:
        *path = JoinPath(StorageScope::XdgFolder("XDG_STATE_HOME", ".local/state"), row.userPath);
        return B_OK;
    case kDesktop:
        *path = DesktopFolder();
        return B_OK;
    case kTrash:
        *path = JoinPath(StorageScope::XdgFolder("XDG_DATA_HOME", ".local/share"), "Trash/files");
        return B_OK;
    case kTemp:
        *path = TempFiles::SharedFolder();
        return B_OK;
    }
    return B_BAD_VALUE;
}

// The same row laid out below another volume's mount point: the user tree
// as it would be below a home folder, the system tree as below "/". The
// trash of a volume follows the freedesktop.org rule ($topdir/.Trash-$uid).
status_t OtherVolumeFolder(const FolderRow& row, const std::string& mountPoint, std::string* path)
{
    if (row.base == kTrash) {
        *path = JoinPath(mountPoint, ".Trash-" + std::to_string(geteuid()) + "/files");
        return B_OK;
    }
    if (row.base == kTemp)
        return UserFolder(row, path);
    if (StorageScope::Current() == B_SYSTEM_SCOPE) {
        *path = CleanPath(mountPoint + row.systemPath);
        return B_OK;
    }
    static const char* const kDefaults[]
        = { "", ".config", ".local/share", ".local/state", "Desktop" };
    *path = JoinPath(JoinPath(mountPoint, kDefaults[row.base]), row.userPath);
    return B_OK;
}

status_t ResolveRow(const FolderRow& row, BVolume* volume, std::string* path)
{
    if (volume != nullptr) {
        if (volume->InitCheck() != B_OK)
            return B_BAD_VALUE;
        dev_t boot;
        if (VolumeTable::BootDevice(&boot) != B_OK || volume->Device() != boot)
            return OtherVolumeFolder(row, volume->MountPoint(), path);
    }
    if (StorageScope::Current() == B_USER_SCOPE || row.base == kTemp)
        return UserFolder(row, path);
    std::string root = StorageScope::SystemRoot();
    *path = root + row.systemPath;
    return B_OK;
}

} // namespace

namespace BPrivate {

status_t FindDirectoryPath(directory_which which, std::string* path, BVolume* volume)
{
    const FolderRow* row = FindRow(which);
    if (row == nullptr || path == nullptr)
        return B_BAD_VALUE;
    return ResolveRow(*row, volume, path);
}

} // namespace BPrivate

status_t find_directory(directory_which which, BPath* path, bool createIt, BVolume* volume)
{
    if (path == nullptr)
        return B_BAD_VALUE;
    std::string folder;
    status_t status = BPrivate::FindDirectoryPath(which, &folder, volume);
    if (status != B_OK)
        return status;
    if (createIt) {
        status = create_directory(folder.c_str(), 0755);
        if (status != B_OK)
            return status;
    }
    return path->SetTo(folder.c_str());
}
