#include "RefPathCache.h"

#include <cerrno>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <Entry.h>

#include "MountTable.h"
#include "PathHelpers.h"

namespace BPrivate {

namespace {

struct Cache {
    std::mutex lock;
    std::map<std::pair<dev_t, ino_t>, std::string> folders;
};

Cache& TheCache()
{
    // Never destroyed: references may be resolved while the program exits.
    static Cache* cache = new Cache;
    return *cache;
}

bool IsFolder(const std::string& path, dev_t device, ino_t node)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_dev == device
        && info.st_ino == node;
}

// Breadth-first search below `start` for the folder, staying on its volume
// and never following links. `visited` counts across calls.
bool SearchBelow(
    const std::string& start, dev_t device, ino_t node, size_t* visited, std::string* found)
{
    std::deque<std::string> queue { start };
    while (!queue.empty() && *visited < RefPathCache::kSearchLimit) {
        std::string folder = std::move(queue.front());
        queue.pop_front();
        (*visited)++;
        int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        DIR* dir = fstat(fd, &info) == 0 && info.st_dev == device ? fdopendir(fd) : nullptr;
        if (dir == nullptr) {
            close(fd);
            continue;
        }
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == ".."
                || (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN))
                continue;
            std::string child = JoinPath(folder, name);
            if (entry->d_ino == node && IsFolder(child, device, node)) {
                closedir(dir);
                *found = child;
                return true;
            }
            queue.push_back(std::move(child));
        }
        closedir(dir);
    }
    return false;
}

// Where to look for a folder that is not where it was: below each existing
// ancestor of its old path in turn, nearest first (a rename or move nearby
// is found quickly), and finally below its volume's mount point. The budget
// of visited folders is shared by all rounds.
bool Search(dev_t device, ino_t node, const std::string& oldPath, std::string* found)
{
    std::vector<MountEntry> mounts;
    std::string mountPoint;
    if (MountTable::ReadCurrent(&mounts) != B_OK
        || MountTable::MountPointOf(mounts, device, &mountPoint) != B_OK)
        return false;
    if (IsFolder(mountPoint, device, node)) {
        *found = mountPoint;
        return true;
    }
    size_t visited = 0;
    std::string ancestor = oldPath;
    while (PathIsInside(ancestor, mountPoint) && ancestor != mountPoint) {
        std::string leaf;
        SplitPath(std::string(ancestor), &ancestor, &leaf);
        struct stat info;
        if (ancestor != mountPoint && lstat(ancestor.c_str(), &info) == 0 && info.st_dev == device
            && SearchBelow(ancestor, device, node, &visited, found))
            return true;
    }
    return SearchBelow(mountPoint, device, node, &visited, found);
}

} // namespace

void RefPathCache::Remember(dev_t device, ino_t node, const std::string& path)
{
    Cache& cache = TheCache();
    std::lock_guard guard(cache.lock);
    cache.folders[{ device, node }] = path;
}

status_t RefPathCache::FolderPath(dev_t device, ino_t node, std::string* path)
{
    std::string known;
    {
        Cache& cache = TheCache();
        std::lock_guard guard(cache.lock);
        auto found = cache.folders.find({ device, node });
        if (found != cache.folders.end())
            known = found->second;
    }
    if (!known.empty() && IsFolder(known, device, node)) {
        *path = known;
        return B_OK;
    }
    std::string found;
    if (!Search(device, node, known, &found))
        return B_ENTRY_NOT_FOUND;
    Remember(device, node, found);
    *path = found;
    return B_OK;
}

void RefPathCache::Clear()
{
    Cache& cache = TheCache();
    std::lock_guard guard(cache.lock);
    cache.folders.clear();
}

status_t PathForRef(const entry_ref& ref, std::string* path)
{
    if (ref.name == nullptr)
        return B_BAD_VALUE;
    std::string name = ref.name;
    if (name != ".") {
        status_t status = CheckEntryName(name);
        if (status != B_OK)
            return status;
    }
    std::string folder;
    status_t status = RefPathCache::FolderPath(ref.device, ref.directory, &folder);
    if (status != B_OK)
        return status;
    *path = name == "." ? folder : JoinPath(folder, name);
    return B_OK;
}

} // namespace BPrivate

status_t get_ref_for_path(const char* path, entry_ref* ref)
{
    if (path == nullptr || ref == nullptr)
        return B_BAD_VALUE;
    std::string absolute;
    status_t status = BPrivate::AbsolutePath(path, &absolute);
    if (status != B_OK)
        return status;
    std::string resolved;
    status = BPrivate::ResolveFolderOf(absolute, &resolved);
    if (status != B_OK)
        return status;
    std::string folder;
    std::string leaf;
    BPrivate::SplitPath(resolved, &folder, &leaf);
    if (leaf.empty())
        leaf.push_back('.'); // the root folder names itself
    struct stat info;
    if (stat(folder.c_str(), &info) != 0)
        return StatusFromErrno(errno);
    BPrivate::RefPathCache::Remember(info.st_dev, info.st_ino, folder);
    entry_ref result(info.st_dev, info.st_ino, leaf.c_str());
    if (result.name == nullptr)
        return B_NO_MEMORY;
    *ref = result;
    return B_OK;
}
