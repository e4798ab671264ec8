#pragma once

// Where a zip archive is read from: a window of a larger file, a resource of
// a BResources object, or bytes in memory. Reads are positional, so an
// archive that is a payload resource inside the installer executable is read
// in place, without copying it anywhere first.

#include <SupportDefs.h>

#include <memory>
#include <span>

class BResources;

namespace BPrivate {

class ZipByteSource {
public:
    virtual ~ZipByteSource() = default;

    virtual off_t Size() const = 0;
    // Reads up to size bytes at position (inside 0 .. Size()); returns the
    // count or a negative status.
    virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) = 0;
    // Whether ReadAt may be called from several threads at once.
    virtual bool ReadsConcurrently() const { return false; }
};

// A source that several threads can read at once: the source itself when it
// allows that, else the source with its reads taken one at a time.
std::unique_ptr<ZipByteSource> MakeConcurrentSource(std::unique_ptr<ZipByteSource> source);

// The window [offset, offset + length) of a file; length -1 means up to the
// end of the file. The file is opened by the source (read-only).
std::unique_ptr<ZipByteSource> OpenFileWindowSource(
    const char* path, off_t offset, off_t length, status_t* status);
// The same over a descriptor the caller keeps open; the source duplicates it,
// and reads with pread, so the descriptor's own position is never moved.
std::unique_ptr<ZipByteSource> MakeFileWindowSource(
    int fd, off_t offset, off_t length, status_t* status);
// One resource's data, read from its place in the file (the BResources
// object must outlive the source).
std::unique_ptr<ZipByteSource> MakeResourceSource(
    BResources& resources, type_code type, int32 id, status_t* status);
// Bytes in memory that outlive the source.
std::unique_ptr<ZipByteSource> MakeMemorySource(std::span<const uint8> bytes);

} // namespace BPrivate
