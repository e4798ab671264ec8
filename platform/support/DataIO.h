#pragma once

// Byte streams of the BeOS API. BDataIO reads and writes in sequence;
// BPositionIO adds random access (BFile derives from it); BMemoryIO works on
// a caller's fixed buffer and BMallocIO on a buffer of its own that grows as
// it is written.

#include <cstdio>
#include <vector>

#include <SupportDefs.h>

class BDataIO {
public:
    BDataIO() = default;
    virtual ~BDataIO();

    BDataIO(const BDataIO&) = delete;
    BDataIO& operator=(const BDataIO&) = delete;

    // Bytes transferred (possibly fewer than asked, 0 at the end of the
    // data), or a negative error. A stream that cannot read or cannot write
    // answers B_NOT_SUPPORTED.
    virtual ssize_t Read(void* buffer, size_t size);
    virtual ssize_t Write(const void* buffer, size_t size);
    virtual status_t Flush();

    // Transfer exactly `size` bytes, looping over short transfers. A stream
    // that ends early gives B_PARTIAL_READ / B_PARTIAL_WRITE; the count
    // transferred is stored in the optional out parameter either way.
    status_t ReadExactly(void* buffer, size_t size, size_t* bytesRead = nullptr);
    status_t WriteExactly(const void* buffer, size_t size, size_t* bytesWritten = nullptr);
};

class BPositionIO : public BDataIO {
public:
    BPositionIO() = default;
    ~BPositionIO() override;

    // Sequential access at the current position, which then advances.
    ssize_t Read(void* buffer, size_t size) override;
    ssize_t Write(const void* buffer, size_t size) override;

    virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) = 0;
    virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size) = 0;

    status_t ReadAtExactly(off_t position, void* buffer, size_t size, size_t* bytesRead = nullptr);
    status_t WriteAtExactly(
        off_t position, const void* buffer, size_t size, size_t* bytesWritten = nullptr);

    // seekMode is SEEK_SET, SEEK_CUR or SEEK_END. Returns the new position or
    // a negative error (a position before the start is B_BAD_VALUE).
    virtual off_t Seek(off_t position, uint32 seekMode) = 0;
    virtual off_t Position() const = 0;

    virtual status_t SetSize(off_t size);
    virtual status_t GetSize(off_t* size) const;
};

// A stream over memory the caller owns. Writing never grows the buffer: the
// data may grow up to the buffer's length, and bytes beyond it are dropped
// (the count written says so). A read-only BMemoryIO refuses to write.
class BMemoryIO : public BPositionIO {
public:
    BMemoryIO(void* data, size_t length);
    BMemoryIO(const void* data, size_t length);
    ~BMemoryIO() override;

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
    ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;

    off_t Seek(off_t position, uint32 seekMode) override;
    off_t Position() const override;

    // The data size may be set anywhere up to the buffer's length.
    status_t SetSize(off_t size) override;

private:
    bool fReadOnly;
    uint8* fBuffer;
    size_t fLength;
    size_t fBufferSize;
    off_t fPosition = 0;
};

// A stream over a buffer of its own, grown in blocks as data is written. A
// write past the end fills the gap with zeros.
class BMallocIO : public BPositionIO {
public:
    BMallocIO();
    ~BMallocIO() override;

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
    ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;

    off_t Seek(off_t position, uint32 seekMode) override;
    off_t Position() const override;

    status_t SetSize(off_t size) override;

    // The allocation grows in multiples of this many bytes (at least 1).
    void SetBlockSize(size_t blockSize);

    const void* Buffer() const;
    size_t BufferLength() const;

private:
    status_t Reserve(size_t size);

    std::vector<uint8> fData;
    size_t fLength = 0;
    size_t fBlockSize = 256;
    off_t fPosition = 0;
};
