#include "AtomicFile.h"

#include <Errors.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

namespace {

status_t FromErrno(int error)
{
    return error != 0 ? StatusFromErrno(error) : B_IO_ERROR;
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

} // namespace

status_t AtomicFile::Open(const std::string& path, mode_t mode)
{
    Discard();
    if (path.empty() || path.back() == '/')
        return B_BAD_VALUE;
    size_t slash = path.rfind('/');
    std::string temporary
        = (slash == std::string::npos ? "./" : path.substr(0, slash + 1)) + ".write-XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return FromErrno(errno);
    fPath = path;
    fTemporary = std::move(temporary);
    fMode = mode;
    fFd = fd;
    return B_OK;
}

status_t AtomicFile::Commit()
{
    if (fFd < 0)
        return B_NO_INIT;
    bool ok = fchmod(fFd, fMode) == 0 && fsync(fFd) == 0;
    int error = ok ? 0 : errno;
    int fd = fFd;
    fFd = -1;
    if (close(fd) != 0 && ok) {
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
    fTemporary.clear();
    return B_OK;
}

void AtomicFile::Discard()
{
    if (fFd >= 0)
        close(fFd);
    fFd = -1;
    if (!fTemporary.empty())
        unlink(fTemporary.c_str());
    fTemporary.clear();
}

status_t WriteFileAtomically(const std::string& path, const void* data, size_t size, mode_t mode)
{
    if (data == nullptr && size > 0)
        return B_BAD_VALUE;
    AtomicFile file;
    status_t status = file.Open(path, mode);
    if (status != B_OK)
        return status;
    if (!WriteAll(file.Descriptor(), static_cast<const char*>(data), size))
        return FromErrno(errno);
    return file.Commit();
}

} // namespace BPrivate
