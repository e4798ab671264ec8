#include "AtomicFile.h"

#include <Descriptor.h>
#include <Errors.h>

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

namespace {

// A fixed-length hidden name, so that a file whose own name is as long as
// the file system allows can still be replaced.
constexpr char kTemporaryPrefix[] = ".write-";
constexpr int kNameLength = 6;
constexpr int kNameAttempts = 100;

status_t FromErrno(int error)
{
    return error != 0 ? StatusFromErrno(error) : B_IO_ERROR;
}

std::string RandomName()
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kNameLength];
    if (getrandom(bytes, sizeof(bytes), 0) != ssize_t(sizeof(bytes))) {
        std::random_device random;
        for (unsigned char& byte : bytes)
            byte = static_cast<unsigned char>(random());
    }
    std::string name = kTemporaryPrefix;
    for (unsigned char byte : bytes)
        name += kLetters[byte % (sizeof(kLetters) - 1)];
    return name;
}

} // namespace

status_t AtomicFile::Open(const std::string& path, mode_t mode, uint32 flags)
{
    Discard();
    if (path.empty() || path.back() == '/')
        return B_BAD_VALUE;
    fMode = mode & 07777;
    fFlags = flags;
    fKeepOwner = false;
    struct stat old;
    if ((flags & kKeepOldMode) != 0 && lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        fMode = old.st_mode & 07777;
        fFlags &= ~uint32(kApplyUmask);
        fKeepOwner = old.st_uid != geteuid() || old.st_gid != getegid();
        fOwner = old.st_uid;
        fGroup = old.st_gid;
    }
    // With the umask applied the kernel decides the permissions at
    // creation; otherwise the file stays private until Commit sets them.
    mode_t createMode = (fFlags & kApplyUmask) != 0 ? fMode : 0600;
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    for (int attempt = 0; attempt < kNameAttempts; attempt++) {
        std::string temporary = folder + RandomName();
        int fd = open(
            temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return FromErrno(errno);
        fPath = path;
        fTemporary = std::move(temporary);
        fFile.Reset(fd);
        return B_OK;
    }
    return B_FILE_EXISTS;
}

status_t AtomicFile::Write(const void* data, size_t size)
{
    if (!fFile.IsValid())
        return B_NO_INIT;
    return WriteAll(fFile.Get(), data, size);
}

status_t AtomicFile::Commit()
{
    if (!fFile.IsValid())
        return B_NO_INIT;
    int fd = fFile.Get();
    // Keeping the owner matters when root replaces somebody else's file;
    // a failure only means the file becomes ours. The owner goes first:
    // changing it afterwards would clear set-id bits.
    if (fKeepOwner) {
        [[maybe_unused]] int ignored = fchown(fd, fOwner, fGroup);
    }
    bool ok = ((fFlags & kApplyUmask) != 0 || fchmod(fd, fMode) == 0) && fsync(fd) == 0;
    int error = ok ? 0 : errno;
    // Closed here rather than by the holder, since a failed close can
    // mean that the data never reached the disk.
    if (close(fFile.Release()) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(fTemporary.c_str(), fPath.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        Discard();
        // Callers may describe the failure with errno.
        errno = error;
        return FromErrno(error);
    }
    // The temporary name always holds the folder, ending in a slash.
    if ((fFlags & kSyncFolder) != 0)
        SyncFolder(fTemporary.substr(0, fTemporary.rfind('/') + 1));
    fTemporary.clear();
    return B_OK;
}

void AtomicFile::Discard()
{
    fFile.Reset();
    if (!fTemporary.empty())
        unlink(fTemporary.c_str());
    fTemporary.clear();
}

status_t WriteFileAtomically(
    const std::string& path, const void* data, size_t size, mode_t mode, uint32 flags)
{
    if (data == nullptr && size > 0)
        return B_BAD_VALUE;
    AtomicFile file;
    status_t status = file.Open(path, mode, flags);
    if (status == B_OK)
        status = file.Write(data, size);
    if (status != B_OK)
        return status;
    return file.Commit();
}

status_t WriteAll(int fd, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? FromErrno(errno) : B_IO_ERROR;
        bytes += written;
        size -= size_t(written);
    }
    return B_OK;
}

void SyncFolder(const std::string& folder)
{
    Descriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsValid())
        fsync(fd.Get());
}

} // namespace BPrivate
