#pragma once

// Positional access to the file that holds a resource container. The container
// code reads and writes only through this interface, so that it works the same
// on a file descriptor, on a BFile and on a byte buffer (tests, fuzzing).

#include <Descriptor.h>
#include <SupportDefs.h>

#include <cstddef>
#include <span>
#include <vector>

namespace BPrivate {

class ResourceIO {
public:
    virtual ~ResourceIO() = default;

    // Both return the number of bytes transferred or a negative status.
    virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) = 0;
    virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size) = 0;
    virtual status_t GetSize(off_t* size) = 0;
    virtual status_t SetSize(off_t size) = 0;
    virtual bool IsWritable() const = 0;
    // The file's device and node, when it is a file: tells whether two
    // objects name the same file.
    virtual bool GetIdentity(dev_t* device, ino_t* node) const
    {
        (void)device;
        (void)node;
        return false;
    }
};

// Reads exactly size bytes; a short read is B_BAD_DATA (the file is shorter
// than its own tables claim).
[[nodiscard]] status_t ReadExactly(ResourceIO& io, off_t position, void* buffer, size_t size);
[[nodiscard]] status_t WriteExactly(
    ResourceIO& io, off_t position, const void* buffer, size_t size);

// A file descriptor. When owned, it is closed with the object.
class ResourceFdIO final : public ResourceIO {
public:
    ResourceFdIO(int fd, bool writable, bool owned);
    ResourceFdIO(const ResourceFdIO&) = delete;
    ResourceFdIO& operator=(const ResourceFdIO&) = delete;

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
    ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
    status_t GetSize(off_t* size) override;
    status_t SetSize(off_t size) override;
    bool IsWritable() const override { return fWritable; }
    bool GetIdentity(dev_t* device, ino_t* node) const override;

    int Descriptor() const { return fFd; }

private:
    int fFd;
    bool fWritable;
    // Holds fFd when it is ours to close.
    BPrivate::Descriptor fOwned;
};

// A growable byte buffer, for tests and fuzz targets. A read-only view can be
// made with writable = false.
class ResourceMemoryIO final : public ResourceIO {
public:
    explicit ResourceMemoryIO(std::vector<uint8> bytes = {}, bool writable = true);
    ResourceMemoryIO(std::span<const uint8> bytes, bool writable);

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
    ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
    status_t GetSize(off_t* size) override;
    status_t SetSize(off_t size) override;
    bool IsWritable() const override { return fWritable; }

    const std::vector<uint8>& Bytes() const { return fBytes; }

private:
    std::vector<uint8> fBytes;
    bool fWritable;
};

} // namespace BPrivate
