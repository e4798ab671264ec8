#include "ZipSafeFolder.h"

#include "ZipEntryPath.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace BPrivate {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
// New folders: owner-writable so that their contents can be written; the
// archive's own mode is applied once they are complete.
constexpr mode_t kNewFolderMode = 0755;

status_t Describe(int error, const std::string& path, std::string* reason)
{
    switch (error) {
    case EXDEV:
        *reason = "\"" + path + "\" leads out of the destination folder";
        return B_NOT_ALLOWED;
    case ELOOP:
        *reason = "\"" + path + "\" passes through a symbolic link";
        return B_NOT_ALLOWED;
    case ENOTDIR:
        *reason = "\"" + path + "\" exists and is not a folder";
        return B_NOT_A_DIRECTORY;
    default:
        *reason = "cannot open the folder \"" + path + "\"";
        return StatusFromErrno(error);
    }
}

} // namespace

status_t ZipSafeFolder::Open(const char* path, bool useOpenat2)
{
    fUseOpenat2 = useOpenat2;
    fRoot.Reset(path != nullptr ? open(path, kFolderFlags) : -1);
    if (!fRoot.IsValid())
        return path != nullptr ? StatusFromErrno(errno) : B_BAD_VALUE;
    return B_OK;
}

status_t ZipSafeFolder::Adopt(int fd, bool useOpenat2)
{
    fUseOpenat2 = useOpenat2;
    fRoot.Reset(fcntl(fd, F_DUPFD_CLOEXEC, 0));
    return fRoot.IsValid() ? B_OK : StatusFromErrno(errno);
}

int ZipSafeFolder::OpenBeneath(const std::string& path)
{
    if (path.empty())
        return fcntl(fRoot.Get(), F_DUPFD_CLOEXEC, 0);
    open_how how = {};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    int fd;
    do
        fd = int(syscall(SYS_openat2, fRoot.Get(), path.c_str(), &how, sizeof(how)));
    while (fd < 0 && errno == EAGAIN);
    return fd;
}

status_t ZipSafeFolder::OpenResolved(const std::vector<std::string>& components, size_t count,
    bool create, int* fd, std::string* reason)
{
    std::string path = JoinComponents(components, count);
    *fd = OpenBeneath(path);
    if (*fd >= 0)
        return B_OK;
    if (errno == ENOSYS) {
        fUseOpenat2 = false;
        return OpenStepwise(components, count, create, fd, reason);
    }
    if (errno != ENOENT || !create)
        return Describe(errno, path, reason);
    // Create what is missing, one level at a time, each level reached again
    // through the kernel's checked resolution.
    int parent = OpenBeneath("");
    for (size_t i = 1; i <= count && parent >= 0; i++) {
        std::string prefix = JoinComponents(components, i);
        int next = OpenBeneath(prefix);
        if (next < 0 && errno == ENOENT) {
            if (mkdirat(parent, components[i - 1].c_str(), kNewFolderMode) != 0
                && errno != EEXIST) {
                int error = errno;
                close(parent);
                return Describe(error, prefix, reason);
            }
            next = OpenBeneath(prefix);
        }
        int error = errno;
        close(parent);
        if (next < 0)
            return Describe(error, prefix, reason);
        parent = next;
    }
    *fd = parent;
    return parent >= 0 ? B_OK : Describe(errno, path, reason);
}

status_t ZipSafeFolder::OpenStepwise(const std::vector<std::string>& components, size_t count,
    bool create, int* fd, std::string* reason)
{
    int current = fcntl(fRoot.Get(), F_DUPFD_CLOEXEC, 0);
    for (size_t i = 0; i < count && current >= 0; i++) {
        const char* name = components[i].c_str();
        int next = openat(current, name, kFolderFlags | O_NOFOLLOW);
        if (next < 0 && errno == ENOENT && create) {
            if (mkdirat(current, name, kNewFolderMode) == 0 || errno == EEXIST)
                next = openat(current, name, kFolderFlags | O_NOFOLLOW);
        }
        int error = errno;
        struct stat st;
        // Opening a link as a folder without following it says "not a
        // folder"; name the real reason.
        if (next < 0 && error == ENOTDIR && fstatat(current, name, &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISLNK(st.st_mode))
            error = ELOOP;
        close(current);
        if (next < 0)
            return Describe(error, JoinComponents(components, i + 1), reason);
        current = next;
    }
    *fd = current;
    return current >= 0 ? B_OK : Describe(errno, JoinComponents(components, count), reason);
}

status_t ZipSafeFolder::OpenFolder(const std::vector<std::string>& components, size_t count,
    bool create, int* fd, std::string* reason)
{
    *fd = -1;
    if (!fRoot.IsValid())
        return B_NO_INIT;
    if (fUseOpenat2)
        return OpenResolved(components, count, create, fd, reason);
    return OpenStepwise(components, count, create, fd, reason);
}

} // namespace BPrivate
