#pragma once

// entry_ref names a file system entry by volume (device), parent folder
// (inode) and leaf name; the entry need not exist. Declared in the support
// kit because messages carry references; the storage kit (Entry.h) adds the
// functions that resolve them.

#include <sys/types.h>

#include <SupportDefs.h>

#define B_FILE_NAME_LENGTH 256
#define B_PATH_NAME_LENGTH 1024
#define B_ATTR_NAME_LENGTH (B_FILE_NAME_LENGTH - 1)
#define B_MIME_TYPE_LENGTH (B_ATTR_NAME_LENGTH - 15)
#define B_DEV_NAME_LENGTH 128

struct entry_ref {
    entry_ref();
    entry_ref(dev_t dev, ino_t dir, const char* name);
    entry_ref(const entry_ref& other);
    ~entry_ref();

    status_t set_name(const char* name);

    bool operator==(const entry_ref& other) const;
    bool operator!=(const entry_ref& other) const;
    bool operator<(const entry_ref& other) const;
    entry_ref& operator=(const entry_ref& other);

    dev_t device;
    ino_t directory;
    char* name;
};

namespace BPrivate {

// Linux cannot open a folder by its inode, so the path of every folder that
// a reference was made for is remembered here, process-wide. RefForPath
// makes a reference for a path (its leaf need not exist, its folder must).
status_t RefForPath(const char* path, entry_ref* ref);
// The remembered path of the folder (device, inode), or false.
bool FolderPathForRef(dev_t device, ino_t directory, char* path, size_t size);
void RememberFolderPath(dev_t device, ino_t directory, const char* path);

} // namespace BPrivate
