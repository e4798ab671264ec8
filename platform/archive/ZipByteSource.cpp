#include "ZipByteSource.h"

#include "Resources.h"

#include <Descriptor.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

namespace {

class FileWindowSource final : public ZipByteSource {
public:
    FileWindowSource(int fd, off_t offset, off_t length)
        : fFile(fd)
        , fOffset(offset)
        , fLength(length)
    {
    }

    off_t Size() const override { return fLength; }
    bool ReadsConcurrently() const override { return true; }

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override
    {
        if (position < 0 || position > fLength)
            return B_BAD_VALUE;
        size = size_t(std::min<off_t>(off_t(size), fLength - position));
        ssize_t done;
        do
            done = pread(fFile.Get(), buffer, size, fOffset + position);
        while (done < 0 && errno == EINTR);
        return done < 0 ? StatusFromErrno(errno) : done;
    }

private:
    Descriptor fFile;
    off_t fOffset;
    off_t fLength;
};

class ResourceSource final : public ZipByteSource {
public:
    ResourceSource(BResources& resources, type_code type, int32 id, size_t size)
        : fResources(resources)
        , fType(type)
        , fId(id)
        , fSize(size)
    {
    }

    off_t Size() const override { return off_t(fSize); }

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override
    {
        if (position < 0 || uint64(position) > fSize)
            return B_BAD_VALUE;
        size = std::min(size, fSize - size_t(position));
        status_t status = fResources.ReadResource(fType, fId, buffer, position, size);
        return status == B_OK ? ssize_t(size) : status;
    }

private:
    BResources& fResources;
    type_code fType;
    int32 fId;
    size_t fSize;
};

class MemorySource final : public ZipByteSource {
public:
    explicit MemorySource(std::span<const uint8> bytes)
        : fBytes(bytes)
    {
    }

    off_t Size() const override { return off_t(fBytes.size()); }
    bool ReadsConcurrently() const override { return true; }

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override
    {
        if (position < 0 || uint64(position) > fBytes.size())
            return B_BAD_VALUE;
        size = std::min(size, fBytes.size() - size_t(position));
        std::memcpy(buffer, fBytes.data() + position, size);
        return ssize_t(size);
    }

private:
    std::span<const uint8> fBytes;
};

class SerializedSource final : public ZipByteSource {
public:
    explicit SerializedSource(std::unique_ptr<ZipByteSource> source)
        : fSource(std::move(source))
    {
    }

    off_t Size() const override { return fSource->Size(); }
    bool ReadsConcurrently() const override { return true; }

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override
    {
        std::lock_guard<std::mutex> lock(fLock);
        return fSource->ReadAt(position, buffer, size);
    }

private:
    std::unique_ptr<ZipByteSource> fSource;
    std::mutex fLock;
};

std::unique_ptr<ZipByteSource> WindowOverOwnedDescriptor(
    int fd, off_t offset, off_t length, status_t* status)
{
    struct stat st;
    if (fstat(fd, &st) != 0) {
        *status = StatusFromErrno(errno);
        close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode) || offset < 0 || offset > st.st_size
        || (length >= 0 && length > st.st_size - offset)) {
        *status = S_ISREG(st.st_mode) ? B_BAD_VALUE : B_BAD_TYPE;
        close(fd);
        return nullptr;
    }
    *status = B_OK;
    return std::make_unique<FileWindowSource>(
        fd, offset, length < 0 ? st.st_size - offset : length);
}

} // namespace

std::unique_ptr<ZipByteSource> OpenFileWindowSource(
    const char* path, off_t offset, off_t length, status_t* status)
{
    int fd = path != nullptr ? open(path, O_RDONLY | O_CLOEXEC) : -1;
    if (fd < 0) {
        *status = path != nullptr ? StatusFromErrno(errno) : B_BAD_VALUE;
        return nullptr;
    }
    return WindowOverOwnedDescriptor(fd, offset, length, status);
}

std::unique_ptr<ZipByteSource> MakeFileWindowSource(
    int fd, off_t offset, off_t length, status_t* status)
{
    int copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        *status = StatusFromErrno(errno);
        return nullptr;
    }
    return WindowOverOwnedDescriptor(copy, offset, length, status);
}

std::unique_ptr<ZipByteSource> MakeResourceSource(
    BResources& resources, type_code type, int32 id, status_t* status)
{
    const char* name;
    size_t size;
    if (!resources.GetResourceInfo(type, id, &name, &size)) {
        *status = B_ENTRY_NOT_FOUND;
        return nullptr;
    }
    // Read in place in the file when it is there: positional reads of a
    // descriptor of our own, which several threads can make at once.
    int fd;
    off_t offset;
    if (resources.GetFileRange(type, id, &fd, &offset)) {
        std::unique_ptr<ZipByteSource> window
            = MakeFileWindowSource(fd, offset, off_t(size), status);
        if (window != nullptr)
            return window;
    }
    *status = B_OK;
    return std::make_unique<ResourceSource>(resources, type, id, size);
}

std::unique_ptr<ZipByteSource> MakeConcurrentSource(std::unique_ptr<ZipByteSource> source)
{
    if (source == nullptr || source->ReadsConcurrently())
        return source;
    return std::make_unique<SerializedSource>(std::move(source));
}

std::unique_ptr<ZipByteSource> MakeMemorySource(std::span<const uint8> bytes)
{
    return std::make_unique<MemorySource>(bytes);
}

} // namespace BPrivate
