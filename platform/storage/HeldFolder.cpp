#include "HeldFolder.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include <Errors.h>

#include "PathHelpers.h"

namespace BPrivate {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::atomic<bool> sUseOpenat2 { true };

// Why a folder could not be opened without following links.
status_t FolderError(int error)
{
    switch (error) {
    case ELOOP:
    case EXDEV:
        return B_NOT_ALLOWED;
    case ENOTDIR:
        return B_NOT_A_DIRECTORY;
    default:
        return StatusFromErrno(error);
    }
}

// Opening a link as a folder without following it says "not a folder";
// name the real reason.
status_t OpenError(int parent, const char* name, int error)
{
    struct stat info;
    if (error == ENOTDIR && fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(info.st_mode))
        return B_NOT_ALLOWED;
    return FolderError(error);
}

bool SplitComponents(const std::string& relative, std::vector<std::string>* components)
{
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        std::string part = relative.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        components->push_back(part);
        start = end + 1;
    }
    return true;
}

status_t WalkStepwise(int base, const std::vector<std::string>& components, Descriptor* folder)
{
    Descriptor current(fcntl(base, F_DUPFD_CLOEXEC, 0));
    if (!current.IsValid())
        return StatusFromErrno(errno);
    for (const std::string& name : components) {
        int next = openat(current.Get(), name.c_str(), kFolderFlags);
        if (next < 0)
            return OpenError(current.Get(), name.c_str(), errno);
        current.Reset(next);
    }
    *folder = std::move(current);
    return B_OK;
}

} // namespace

status_t OpenFolderBeneath(int base, const std::string& relative, Descriptor* folder)
{
    std::vector<std::string> components;
    if (base < 0 || !SplitComponents(relative, &components))
        return B_BAD_VALUE;
    if (components.empty()) {
        folder->Reset(fcntl(base, F_DUPFD_CLOEXEC, 0));
        return folder->IsValid() ? B_OK : StatusFromErrno(errno);
    }
    if (sUseOpenat2) {
        open_how how = {};
        how.flags = kFolderFlags;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
        long fd;
        do
            fd = syscall(SYS_openat2, base, relative.c_str(), &how, sizeof(how));
        while (fd < 0 && errno == EAGAIN);
        if (fd >= 0) {
            folder->Reset(int(fd));
            return B_OK;
        }
        // Without openat2 (an older kernel, or a filter that forbids it)
        // the walk below does the same.
        // "Not a folder" is also what a link at the end gives: the walk
        // tells which.
        if (errno != ENOSYS && errno != EPERM && errno != ENOTDIR)
            return FolderError(errno);
    }
    return WalkStepwise(base, components, folder);
}

status_t OpenFolderPath(const std::string& path, Descriptor* folder)
{
    std::string resolved;
    if (path.empty() || path[0] != '/')
        return B_BAD_VALUE;
    status_t status = RealPath(path, &resolved);
    if (status != B_OK)
        return status;
    Descriptor root(open("/", kFolderFlags));
    if (!root.IsValid())
        return StatusFromErrno(errno);
    return OpenFolderBeneath(root.Get(), resolved.substr(1), folder);
}

status_t OpenParentOf(const std::string& path, Descriptor* parent, std::string* leaf)
{
    if (path.empty() || path[0] != '/')
        return B_BAD_VALUE;
    std::string clean = CleanPath(path);
    std::string folder;
    if (HasParentReference(clean))
        return B_BAD_VALUE;
    SplitPath(clean, &folder, leaf);
    if (leaf->empty())
        return B_BAD_VALUE;
    return OpenFolderPath(folder, parent);
}

status_t MakeFolderAt(int parent, const std::string& name, mode_t mode, Descriptor* folder,
    bool* made, const std::function<void()>& afterMake)
{
    if (CheckEntryName(name) != B_OK || name == "." || name == "..")
        return B_BAD_VALUE;
    *made = mkdirat(parent, name.c_str(), mode) == 0;
    if (!*made && errno != EEXIST)
        return StatusFromErrno(errno);
    if (*made && afterMake)
        afterMake();
    int fd = openat(parent, name.c_str(), kFolderFlags);
    if (fd < 0)
        return OpenError(parent, name.c_str(), errno);
    folder->Reset(fd);
    return B_OK;
}

status_t RemoveTreeAt(int parent, const std::string& name)
{
    struct stat info;
    if (fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return StatusFromErrno(errno);
    if (!S_ISDIR(info.st_mode))
        return unlinkat(parent, name.c_str(), 0) == 0 ? B_OK : StatusFromErrno(errno);
    int fd = openat(parent, name.c_str(), kFolderFlags);
    if (fd < 0)
        return OpenError(parent, name.c_str(), errno);
    Descriptor folder(fd);
    DIR* listing = fdopendir(fcntl(fd, F_DUPFD_CLOEXEC, 0));
    if (listing == nullptr)
        return StatusFromErrno(errno);
    std::vector<std::string> names;
    while (dirent* entry = readdir(listing)) {
        std::string entryName = entry->d_name;
        if (entryName != "." && entryName != "..")
            names.push_back(entryName);
    }
    closedir(listing);
    for (const std::string& entryName : names) {
        status_t status = RemoveTreeAt(folder.Get(), entryName);
        if (status != B_OK && status != B_ENTRY_NOT_FOUND)
            return status;
    }
    return unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 ? B_OK : StatusFromErrno(errno);
}

std::string HeldPath(int fd, const std::string& leaf)
{
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    return leaf.empty() ? path : path + "/" + leaf;
}

bool PathLeadsTo(const std::string& path, int folder)
{
    struct stat named;
    struct stat held;
    return stat(path.c_str(), &named) == 0 && fstat(folder, &held) == 0
        && named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

void SetHeldFolderUsesOpenat2(bool use)
{
    sUseOpenat2 = use;
}

} // namespace BPrivate
