#include "ResourceIO.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

namespace {

// A memory image larger than this is refused rather than allocated: buffers
// only serve tests and fuzzing, which never need more.
constexpr off_t kMaxMemorySize = off_t(256) * 1024 * 1024;

} // namespace

status_t ReadExactly(ResourceIO& io, off_t position, void* buffer, size_t size)
{
    uint8* bytes = static_cast<uint8*>(buffer);
    while (size > 0) {
        ssize_t done = io.ReadAt(position, bytes, size);
        if (done < 0)
            return status_t(done);
        if (done == 0)
            return B_BAD_DATA;
        bytes += done;
        position += done;
        size -= size_t(done);
    }
    return B_OK;
}

status_t WriteExactly(ResourceIO& io, off_t position, const void* buffer, size_t size)
{
    const uint8* bytes = static_cast<const uint8*>(buffer);
    while (size > 0) {
        ssize_t done = io.WriteAt(position, bytes, size);
        if (done < 0)
            return status_t(done);
        if (done == 0)
            return B_IO_ERROR;
        bytes += done;
        position += done;
        size -= size_t(done);
    }
    return B_OK;
}

ResourceFdIO::ResourceFdIO(int fd, bool writable, bool owned)
    : fFd(fd)
    , fWritable(writable)
    , fOwned(owned ? fd : -1)
{
}

ssize_t ResourceFdIO::ReadAt(off_t position, void* buffer, size_t size)
{
    if (position < 0)
        return B_BAD_VALUE;
    ssize_t done;
    do
        done = pread(fFd, buffer, size, position);
    while (done < 0 && errno == EINTR);
    return done < 0 ? StatusFromErrno(errno) : done;
}

ssize_t ResourceFdIO::WriteAt(off_t position, const void* buffer, size_t size)
{
    if (!fWritable)
        return B_NOT_ALLOWED;
    if (position < 0)
        return B_BAD_VALUE;
    ssize_t done;
    do
        done = pwrite(fFd, buffer, size, position);
    while (done < 0 && errno == EINTR);
    return done < 0 ? StatusFromErrno(errno) : done;
}

status_t ResourceFdIO::GetSize(off_t* size)
{
    struct stat st;
    if (fstat(fFd, &st) != 0)
        return StatusFromErrno(errno);
    *size = st.st_size;
    return B_OK;
}

bool ResourceFdIO::GetIdentity(dev_t* device, ino_t* node) const
{
    struct stat st;
    if (fstat(fFd, &st) != 0)
        return false;
    *device = st.st_dev;
    *node = st.st_ino;
    return true;
}

status_t ResourceFdIO::SetSize(off_t size)
{
    if (!fWritable)
        return B_NOT_ALLOWED;
    if (ftruncate(fFd, size) != 0)
        return StatusFromErrno(errno);
    return B_OK;
}

ResourceMemoryIO::ResourceMemoryIO(std::vector<uint8> bytes, bool writable)
    : fBytes(std::move(bytes))
    , fWritable(writable)
{
}

ResourceMemoryIO::ResourceMemoryIO(std::span<const uint8> bytes, bool writable)
    : fBytes(bytes.begin(), bytes.end())
    , fWritable(writable)
{
}

ssize_t ResourceMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
    if (position < 0)
        return B_BAD_VALUE;
    if (uint64(position) >= fBytes.size())
        return 0;
    size_t count = std::min(size, fBytes.size() - size_t(position));
    std::memcpy(buffer, fBytes.data() + position, count);
    return ssize_t(count);
}

ssize_t ResourceMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
    if (!fWritable)
        return B_NOT_ALLOWED;
    if (position < 0 || position > kMaxMemorySize || off_t(size) > kMaxMemorySize - position)
        return B_NO_MEMORY;
    if (size_t(position) + size > fBytes.size())
        fBytes.resize(size_t(position) + size);
    if (size > 0)
        std::memcpy(fBytes.data() + position, buffer, size);
    return ssize_t(size);
}

status_t ResourceMemoryIO::GetSize(off_t* size)
{
    *size = off_t(fBytes.size());
    return B_OK;
}

status_t ResourceMemoryIO::SetSize(off_t size)
{
    if (!fWritable)
        return B_NOT_ALLOWED;
    if (size < 0 || size > kMaxMemorySize)
        return B_NO_MEMORY;
    fBytes.resize(size_t(size));
    return B_OK;
}

} // namespace BPrivate
