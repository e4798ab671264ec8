#pragma once

// Standard folders of the BeOS API. find_directory maps each constant to a
// Linux folder (the table and its reasons are in FindDirectory.cpp and the
// README).

#include <SupportDefs.h>

#include <string>

class BPath;
class BVolume;

// The underlying type is fixed so that any number (an unset value read from
// a configuration, say) is a valid directory_which, which find_directory
// then refuses.
typedef enum : int32 {
    B_DESKTOP_DIRECTORY = 0,
    B_TRASH_DIRECTORY = 1,
    B_BEOS_DIRECTORY = 1000,
    B_BEOS_SYSTEM_DIRECTORY = 1001,
    B_BEOS_ADDONS_DIRECTORY = 1002,
    B_BEOS_BOOT_DIRECTORY = 1003,
    B_BEOS_FONTS_DIRECTORY = 1004,
    B_BEOS_LIB_DIRECTORY = 1005,
    B_BEOS_SERVERS_DIRECTORY = 1006,
    B_BEOS_APPS_DIRECTORY = 1007,
    B_BEOS_BIN_DIRECTORY = 1008,
    B_BEOS_ETC_DIRECTORY = 1009,
    B_BEOS_DOCUMENTATION_DIRECTORY = 1010,
    B_BEOS_PREFERENCES_DIRECTORY = 1011,
    B_BEOS_TRANSLATORS_DIRECTORY = 1012,
    B_BEOS_MEDIA_NODES_DIRECTORY = 1013,
    B_BEOS_SOUNDS_DIRECTORY = 1014,
    B_COMMON_DIRECTORY = 2000,
    B_COMMON_SYSTEM_DIRECTORY = 2001,
    B_COMMON_ADDONS_DIRECTORY = 2002,
    B_COMMON_BOOT_DIRECTORY = 2003,
    B_COMMON_FONTS_DIRECTORY = 2004,
    B_COMMON_LIB_DIRECTORY = 2005,
    B_COMMON_SERVERS_DIRECTORY = 2006,
    B_COMMON_BIN_DIRECTORY = 2007,
    B_COMMON_ETC_DIRECTORY = 2008,
    B_COMMON_DOCUMENTATION_DIRECTORY = 2009,
    B_COMMON_SETTINGS_DIRECTORY = 2010,
    B_COMMON_DEVELOP_DIRECTORY = 2011,
    B_COMMON_LOG_DIRECTORY = 2012,
    B_COMMON_SPOOL_DIRECTORY = 2013,
    B_COMMON_TEMP_DIRECTORY = 2014,
    B_COMMON_VAR_DIRECTORY = 2015,
    B_COMMON_TRANSLATORS_DIRECTORY = 2016,
    B_COMMON_MEDIA_NODES_DIRECTORY = 2017,
    B_COMMON_SOUNDS_DIRECTORY = 2018,
    B_USER_DIRECTORY = 3000,
    B_USER_CONFIG_DIRECTORY = 3001,
    B_USER_ADDONS_DIRECTORY = 3002,
    B_USER_BOOT_DIRECTORY = 3003,
    B_USER_FONTS_DIRECTORY = 3004,
    B_USER_LIB_DIRECTORY = 3005,
    B_USER_SETTINGS_DIRECTORY = 3006,
    B_USER_DESKBAR_DIRECTORY = 3007,
    B_USER_PRINTERS_DIRECTORY = 3008,
    B_USER_TRANSLATORS_DIRECTORY = 3009,
    B_USER_MEDIA_NODES_DIRECTORY = 3010,
    B_USER_SOUNDS_DIRECTORY = 3011,
    B_APPS_DIRECTORY = 4000,
    B_PREFERENCES_DIRECTORY = 4001,
    B_UTILITIES_DIRECTORY = 4002,
} directory_which;

status_t find_directory(
    directory_which which, BPath* path, bool createIt = false, BVolume* volume = nullptr);

namespace BPrivate {

// Our own addition: the folder find_directory names, as a path, whether or
// not it (or any folder above it) exists yet, where BPath needs the parent.
status_t FindDirectoryPath(directory_which which, std::string* path, BVolume* volume = nullptr);

} // namespace BPrivate
