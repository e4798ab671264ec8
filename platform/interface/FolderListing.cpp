// FolderListing: reading a folder for the file panel.

#include "FolderListing.h"

#include <Directory.h>
#include <Entry.h>
#include <Errors.h>
#include <FilePanel.h>
#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>
#include <TypeSniffer.h>

#include <algorithm>
#include <cerrno>
#include <strings.h>
#include <sys/stat.h>

namespace BPrivate {

namespace {

// The MIME type of a plain file: its own, else what its contents say.
std::string FileType(const std::string& path)
{
    BNode node(path.c_str());
    BNodeInfo info(&node);
    char type[B_MIME_TYPE_LENGTH];
    if (info.InitCheck() == B_OK && info.GetType(type) == B_OK && type[0] != '\0')
        return type;
    std::string sniffed;
    if (TypeSniffer::SniffPath(path.c_str(), &sniffed) == B_OK && !sniffed.empty())
        return sniffed;
    return B_FILE_MIME_TYPE;
}

// Whether the folder at `path` is where a file system is mounted: its
// device differs from its parent's, or it is the root of everything.
bool IsMountPoint(const std::string& path, const struct stat& info)
{
    if (path == "/")
        return true;
    struct stat parent;
    if (lstat(FolderListing::ParentOf(path).c_str(), &parent) != 0)
        return false;
    return parent.st_dev != info.st_dev;
}

} // namespace

status_t FolderListing::Describe(const std::string& path, PanelEntry* entry, stat_beos* info)
{
    struct stat own;
    if (lstat(path.c_str(), &own) != 0)
        return StatusFromErrno(errno);
    *entry = PanelEntry();
    entry->path = path;
    entry->name = LeafOf(path);
    status_t status = get_ref_for_path(path.c_str(), &entry->ref);
    if (status != B_OK)
        return status;

    if (S_ISLNK(own.st_mode)) {
        entry->isLink = true;
        entry->mimeType = B_SYMLINK_MIME_TYPE;
        struct stat target;
        BEntry resolved(path.c_str(), true);
        if (resolved.InitCheck() == B_OK && stat(path.c_str(), &target) == 0) {
            entry->targetPath = resolved.PathString();
            entry->isFolder = S_ISDIR(target.st_mode);
            entry->targetIsFile = !entry->isFolder;
        }
    } else if (S_ISDIR(own.st_mode)) {
        entry->isFolder = true;
        entry->isVolume = IsMountPoint(path, own);
        entry->mimeType = entry->isVolume ? B_VOLUME_MIME_TYPE : B_DIRECTORY_MIME_TYPE;
    } else {
        entry->mimeType = FileType(path);
    }

    if (info != nullptr) {
        static_cast<struct stat&>(*info) = own;
        time_t created = own.st_mtime;
        BEntry plain(path.c_str());
        if (plain.GetCreationTime(&created) != B_OK)
            created = own.st_mtime;
        info->st_crtime = created;
    }
    return B_OK;
}

bool FolderListing::Accepts(BRefFilter* filter, PanelEntry& entry, stat_beos* info)
{
    if (filter == nullptr)
        return true;
    BNode node(&entry.ref);
    return filter->Filter(&entry.ref, &node, info, entry.mimeType.c_str());
}

status_t FolderListing::Read(
    const std::string& path, BRefFilter* filter, std::vector<PanelEntry>* entries, bool hidden)
{
    entries->clear();
    BDirectory folder(path.c_str());
    status_t status = folder.InitCheck();
    if (status != B_OK)
        return status;
    BEntry child;
    while (folder.GetNextEntry(&child) == B_OK) {
        const std::string& childPath = child.PathString();
        std::string name = LeafOf(childPath);
        if (name.empty() || name == "." || name == ".." || (name[0] == '.' && !hidden))
            continue;
        PanelEntry entry;
        stat_beos info;
        // An entry that went away since the folder was read is not listed.
        if (Describe(childPath, &entry, &info) != B_OK)
            continue;
        if (Accepts(filter, entry, &info))
            entries->push_back(std::move(entry));
    }
    std::sort(entries->begin(), entries->end(), ListsBefore);
    return B_OK;
}

bool FolderListing::Choosable(const PanelEntry& entry, uint32 flavors)
{
    if (entry.isLink) {
        if ((flavors & B_SYMLINK_NODE) != 0)
            return true;
        if (entry.targetPath.empty())
            return false;
        return entry.isFolder ? (flavors & B_DIRECTORY_NODE) != 0 : (flavors & B_FILE_NODE) != 0;
    }
    if (entry.isFolder)
        return (flavors & B_DIRECTORY_NODE) != 0;
    return (flavors & B_FILE_NODE) != 0;
}

bool FolderListing::ListsBefore(const PanelEntry& a, const PanelEntry& b)
{
    if (a.isFolder != b.isFolder)
        return a.isFolder;
    int order = strcasecmp(a.name.c_str(), b.name.c_str());
    if (order != 0)
        return order < 0;
    return a.name < b.name;
}

std::vector<std::string> FolderListing::Ancestry(const std::string& folder)
{
    std::vector<std::string> chain;
    std::string current = folder;
    while (true) {
        chain.push_back(current);
        if (current == "/" || current.empty())
            break;
        current = ParentOf(current);
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

std::string FolderListing::ParentOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string FolderListing::LeafOf(const std::string& path)
{
    if (path == "/")
        return "/";
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace BPrivate
