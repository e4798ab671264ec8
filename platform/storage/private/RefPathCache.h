#pragma once

// An entry_ref names its folder by (device, inode), but Linux cannot open a
// folder by inode without privileges. The storage kit therefore remembers,
// process-wide, the path of every folder for which it made a reference, and
// checks the remembered path against the folder's identity before it trusts
// it. When the folder has moved (or was never seen), the volume that holds
// it is searched.

#include <string>

#include <EntryRef.h>

namespace BPrivate {

class RefPathCache {
public:
    // Records that the folder (device, node) lives at `path`.
    static void Remember(dev_t device, ino_t node, const std::string& path);

    // The current path of the folder (device, node).
    static status_t FolderPath(dev_t device, ino_t node, std::string* path);

    // Drops every remembered path (for tests of the search).
    static void Clear();

    // How many folders a search may visit before it gives up, so that a
    // reference to a folder that has gone does not scan a huge volume for
    // ever.
    static constexpr size_t kSearchLimit = 200000;
};

// The path a reference names (the entry need not exist).
status_t PathForRef(const entry_ref& ref, std::string* path);

} // namespace BPrivate
