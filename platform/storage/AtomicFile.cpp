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

status_t WriteFileAtomically(const std::string& path, const void* data, size_t size, mode_t mode)
{
    if (path.empty() || path.back() == '/' || (data == nullptr && size > 0))
        return B_BAD_VALUE;
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    std::string temporary = folder + ".write-XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return FromErrno(errno);
    bool written = WriteAll(fd, static_cast<const char*>(data), size) && fchmod(fd, mode) == 0
        && fsync(fd) == 0;
    int error = written ? 0 : errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        return FromErrno(error);
    }
    return B_OK;
}

} // namespace BPrivate
