#pragma once

// FolderListing: what the file panel knows of a folder's entries. It reads
// a folder, describes each entry the way the panel's filter is asked about
// it (reference, node, stat record, MIME type), keeps those the filter
// accepts and sorts them as the panel lists them: folders (and links to
// folders) first, then by name without regard to case.
//
// Entries whose names start with a dot are left out unless asked for: on
// Linux they are the hidden files of every home folder, which nobody
// expects in a file panel until they look for one.

#include <EntryRef.h>
#include <SupportDefs.h>

#include <string>
#include <vector>

class BRefFilter;
struct stat_beos;

namespace BPrivate {

struct PanelEntry {
    entry_ref ref;
    std::string name;
    std::string path;
    std::string mimeType;
    // A folder, or a symbolic link to one.
    bool isFolder = false;
    bool isLink = false;
    // The root folder of a mounted volume.
    bool isVolume = false;
    // The link's target, for links that resolve.
    std::string targetPath;
    bool targetIsFile = false;
};

class FolderListing {
public:
    // The entries of the folder at `path` that `filter` accepts (all when
    // it is null), in the panel's order; hidden ones only with `hidden`.
    static status_t Read(const std::string& path, BRefFilter* filter,
        std::vector<PanelEntry>* entries, bool hidden = false);

    // Describes the entry at `path` (a link is not followed) and fills the
    // stat record the filter gets.
    static status_t Describe(const std::string& path, PanelEntry* entry, stat_beos* info);

    // Whether `filter` lists the entry (true without a filter).
    static bool Accepts(BRefFilter* filter, PanelEntry& entry, stat_beos* info);

    // Whether an entry may be chosen under these node flavours: a folder
    // with B_DIRECTORY_NODE, a file with B_FILE_NODE, a link with
    // B_SYMLINK_NODE or else by what it points to.
    static bool Choosable(const PanelEntry& entry, uint32 flavors);

    // The panel's order.
    static bool ListsBefore(const PanelEntry& a, const PanelEntry& b);

    // The folder and its parents, from the root down to the folder.
    static std::vector<std::string> Ancestry(const std::string& folder);

    // The folder that holds `path` ("/" for "/").
    static std::string ParentOf(const std::string& path);
    static std::string LeafOf(const std::string& path);
};

} // namespace BPrivate
