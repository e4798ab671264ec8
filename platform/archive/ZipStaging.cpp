#include "ZipStaging.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace BPrivate {

namespace {

constexpr int kStagingFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr mode_t kOwnerAll = 0700;

std::string StagingName()
{
    static thread_local std::mt19937_64 random(std::random_device {}());
    char name[64];
    snprintf(
        name, sizeof(name), "%s%016llx", kStagingPrefix, static_cast<unsigned long long>(random()));
    return name;
}

status_t DescribeFailure(int error, const std::string& what, std::string* reason)
{
    *reason = what + ": " + std::strerror(error);
    return StatusFromErrno(error);
}

// The names inside an open folder (the descriptor stays open).
bool ListFolder(int fd, std::vector<std::string>* names)
{
    int copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR* folder = copy >= 0 ? fdopendir(copy) : nullptr;
    if (folder == nullptr) {
        if (copy >= 0)
            close(copy);
        return false;
    }
    while (dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names->emplace_back(entry->d_name);
    }
    closedir(folder);
    return true;
}

// A folder's user attributes, copied onto another folder (merging keeps
// the archive's attributes on a folder that already existed).
void CopyAttributes(int fromFd, int toFd)
{
    std::vector<char> names(64 * 1024);
    ssize_t length = flistxattr(fromFd, names.data(), names.size());
    std::vector<char> value(64 * 1024);
    for (ssize_t at = 0; at < length; at += ssize_t(std::strlen(names.data() + at)) + 1) {
        const char* name = names.data() + at;
        if (std::strncmp(name, "user.", 5) != 0)
            continue;
        ssize_t size = fgetxattr(fromFd, name, value.data(), value.size());
        if (size >= 0)
            fsetxattr(toFd, name, value.data(), size_t(size), 0);
    }
}

bool IsFolder(int parentFd, const std::string& name, bool* exists)
{
    struct stat st;
    *exists = fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    return *exists && S_ISDIR(st.st_mode);
}

// A folder whose ".." changes must be writable by its owner, even for the
// owner; one that is not is opened up for its move, and closed again after.
struct LockedFolder {
    int parent;
    std::string name;
    mode_t mode;
};

void OpenUp(int parentFd, const std::string& name, std::vector<LockedFolder>* changed)
{
    struct stat st;
    if (fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)
        && (st.st_mode & S_IWUSR) == 0
        && fchmodat(parentFd, name.c_str(), (st.st_mode & 07777) | S_IWUSR, 0) == 0)
        changed->push_back({ parentFd, name, mode_t(st.st_mode & 07777) });
}

// renameat2 for entries that may be folders. On success a swapped pair has
// traded places, and each keeps its own mode.
int MoveEntry(int fromFd, const std::string& name, int toFd, unsigned flags)
{
    std::vector<LockedFolder> changed;
    OpenUp(fromFd, name, &changed);
    if ((flags & RENAME_EXCHANGE) != 0)
        OpenUp(toFd, name, &changed);
    int result = renameat2(fromFd, name.c_str(), toFd, name.c_str(), flags);
    int error = errno;
    for (const LockedFolder& folder : changed) {
        int at = result != 0 ? folder.parent : folder.parent == fromFd ? toFd : fromFd;
        fchmodat(at, folder.name.c_str(), folder.mode, 0);
    }
    errno = error;
    return result;
}

} // namespace

status_t RemoveTree(int parentFd, const char* name)
{
    struct stat st;
    if (fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? B_OK : StatusFromErrno(errno);
    if (!S_ISDIR(st.st_mode))
        return unlinkat(parentFd, name, 0) == 0 ? B_OK : StatusFromErrno(errno);
    // A folder its owner cannot write or search keeps its entries.
    if ((st.st_mode & kOwnerAll) != kOwnerAll)
        fchmodat(parentFd, name, (st.st_mode & 07777) | kOwnerAll, 0);
    int fd = openat(parentFd, name, kStagingFolderFlags);
    if (fd < 0)
        return StatusFromErrno(errno);
    std::vector<std::string> children;
    bool listed = ListFolder(fd, &children);
    status_t status = listed ? B_OK : B_IO_ERROR;
    for (const std::string& child : children) {
        status_t removed = RemoveTree(fd, child.c_str());
        if (status == B_OK)
            status = removed;
    }
    close(fd);
    if (unlinkat(parentFd, name, AT_REMOVEDIR) != 0 && status == B_OK)
        status = StatusFromErrno(errno);
    return status;
}

ZipStaging::~ZipStaging()
{
    Remove();
}

status_t ZipStaging::Create(int folderFd, std::string* reason)
{
    Remove();
    fFolder = folderFd;
    for (int attempt = 0; attempt < 8; attempt++) {
        std::string name = StagingName();
        if (mkdirat(folderFd, name.c_str(), kOwnerAll) == 0) {
            fName = name;
            break;
        }
        if (errno != EEXIST)
            return DescribeFailure(errno, "cannot create a folder to extract into", reason);
    }
    if (fName.empty())
        return DescribeFailure(EEXIST, "cannot create a folder to extract into", reason);
    fFd.Reset(openat(folderFd, fName.c_str(), kStagingFolderFlags));
    if (!fFd.IsValid()) {
        status_t status = DescribeFailure(errno, "cannot open the folder to extract into", reason);
        unlinkat(folderFd, fName.c_str(), AT_REMOVEDIR);
        fName.clear();
        return status;
    }
    // Where the file system cannot lock, nobody can: the folder then simply
    // counts as in use.
    flock(fFd.Get(), LOCK_EX | LOCK_NB);
    return B_OK;
}

void ZipStaging::Remove()
{
    fFd.Reset();
    if (!fName.empty())
        RemoveTree(fFolder, fName.c_str());
    fName.clear();
}

void ZipStaging::RemoveStale(int folderFd, std::vector<std::string>* removed)
{
    std::vector<std::string> names;
    if (!ListFolder(folderFd, &names))
        return;
    size_t prefix = std::strlen(kStagingPrefix);
    for (const std::string& name : names) {
        if (name.compare(0, prefix, kStagingPrefix) != 0)
            continue;
        int fd = openat(folderFd, name.c_str(), kStagingFolderFlags);
        if (fd < 0)
            continue;
        // Only a folder nobody holds is stale; the lock is kept until it is
        // gone, so that no new extraction can take the name meanwhile.
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && RemoveTree(folderFd, name.c_str()) == B_OK)
            removed->push_back(name);
        close(fd);
    }
}

status_t ZipStaging::Place(const std::string& name, ZipExisting existing, std::string* reason)
{
    bool exists = false;
    IsFolder(fFolder, name, &exists);
    status_t status = B_OK;
    if (exists && existing == ZipExisting::kReplace)
        status = Exchange(name, reason);
    else if (exists && existing == ZipExisting::kMerge) {
        // Everything is checked before anything moves, so that a conflict
        // leaves the folder as it was.
        status = Merge(fFd.Get(), fFolder, name, name, true, reason);
        if (status == B_OK)
            status = Merge(fFd.Get(), fFolder, name, name, false, reason);
    } else
        status = MoveNew(name, reason);
    if (status == B_OK)
        Remove();
    return status;
}

status_t ZipStaging::MoveNew(const std::string& name, std::string* reason)
{
    bool exists = false;
    int moved = MoveEntry(fFd.Get(), name, fFolder, RENAME_NOREPLACE);
    // A file system that cannot promise not to replace: look first.
    if (moved != 0 && errno == EINVAL) {
        IsFolder(fFolder, name, &exists);
        moved = exists ? (errno = EEXIST, -1) : MoveEntry(fFd.Get(), name, fFolder, 0);
    }
    if (moved == 0)
        return B_OK;
    if (errno != EEXIST)
        return DescribeFailure(errno, "cannot put \"" + name + "\" in place", reason);
    *reason = "\"" + name + "\" already exists";
    return B_FILE_EXISTS;
}

// Swaps the new item with the one in its place; the old one is then inside
// the staging folder and goes with it.
status_t ZipStaging::Exchange(const std::string& name, std::string* reason)
{
    if (MoveEntry(fFd.Get(), name, fFolder, RENAME_EXCHANGE) == 0)
        return B_OK;
    if (errno != EINVAL)
        return DescribeFailure(errno, "cannot put \"" + name + "\" in place", reason);
    // A file system that cannot swap: move the old item aside first.
    std::string aside = name == "a" ? "b" : "a";
    if (renameat(fFolder, name.c_str(), fFd.Get(), aside.c_str()) != 0)
        return DescribeFailure(errno, "cannot move the old \"" + name + "\" aside", reason);
    if (renameat(fFd.Get(), name.c_str(), fFolder, name.c_str()) != 0) {
        status_t status = DescribeFailure(errno, "cannot put \"" + name + "\" in place", reason);
        renameat(fFd.Get(), aside.c_str(), fFolder, name.c_str());
        return status;
    }
    return B_OK;
}

// Merges the new entry name (in fromFd) into its namesake in toFd, as the
// unzip tool does: what is missing there moves as a whole, files and links
// replace files and links (a link is replaced, never followed), folders are
// merged in turn and then get the archive's mode, attributes and times. A
// folder where the archive has none, or the reverse, is a conflict. A dry
// run only looks for conflicts.
status_t ZipStaging::Merge(int fromFd, int toFd, const std::string& name, const std::string& path,
    bool dryRun, std::string* reason)
{
    bool exists = false, newExists = false;
    bool oldFolder = IsFolder(toFd, name, &exists);
    bool newFolder = IsFolder(fromFd, name, &newExists);
    if (exists && oldFolder != newFolder) {
        *reason = "\"" + path + "\" exists and is " + (oldFolder ? "" : "not ") + "a folder";
        return B_NOT_ALLOWED;
    }
    if (!exists || !oldFolder) {
        if (dryRun || MoveEntry(fromFd, name, toFd, 0) == 0)
            return B_OK;
        return DescribeFailure(errno, "cannot put \"" + path + "\" in place", reason);
    }
    int from = openat(fromFd, name.c_str(), kStagingFolderFlags);
    int to = from >= 0 ? openat(toFd, name.c_str(), kStagingFolderFlags) : -1;
    std::vector<std::string> children;
    status_t status = to >= 0 && ListFolder(from, &children)
        ? B_OK
        : DescribeFailure(errno, "cannot merge \"" + path + "\"", reason);
    for (size_t i = 0; status == B_OK && i < children.size(); i++)
        status = Merge(from, to, children[i], path + "/" + children[i], dryRun, reason);
    struct stat st;
    if (status == B_OK && !dryRun && fstat(from, &st) == 0) {
        CopyAttributes(from, to);
        timespec times[2] = { st.st_atim, st.st_mtim };
        fchmod(to, st.st_mode & 07777);
        futimens(to, times);
    }
    if (from >= 0)
        close(from);
    if (to >= 0)
        close(to);
    return status;
}

} // namespace BPrivate
