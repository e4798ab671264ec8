#include <DataIO.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// The largest position or size a stream accepts, so that position + size
// never overflows off_t or size_t.
constexpr off_t kMaxStreamSize = off_t(std::numeric_limits<ssize_t>::max() / 2);

// Resolves a seek request against the current position and the data size.
off_t ResolveSeek(off_t position, uint32 seekMode, off_t current, off_t size)
{
    off_t base;
    switch (seekMode) {
    case SEEK_SET:
        base = 0;
        break;
    case SEEK_CUR:
        base = current;
        break;
    case SEEK_END:
        base = size;
        break;
    default:
        return B_BAD_VALUE;
    }
    if ((position > 0 && base > kMaxStreamSize - position) || base + position < 0)
        return B_BAD_VALUE;
    off_t result = base + position;
    return result > kMaxStreamSize ? off_t(B_BAD_VALUE) : result;
}

} // namespace

// #pragma mark - BDataIO

BDataIO::~BDataIO() = default;

ssize_t BDataIO::Read(void*, size_t)
{
    return B_NOT_SUPPORTED;
}

ssize_t BDataIO::Write(const void*, size_t)
{
    return B_NOT_SUPPORTED;
}

status_t BDataIO::Flush()
{
    return B_OK;
}

status_t BDataIO::ReadExactly(void* buffer, size_t size, size_t* bytesRead)
{
    auto* bytes = static_cast<uint8*>(buffer);
    size_t done = 0;
    status_t status = B_OK;
    while (done < size) {
        ssize_t result = Read(bytes + done, size - done);
        if (result < 0) {
            status = status_t(result);
            break;
        }
        if (result == 0) {
            status = B_PARTIAL_READ;
            break;
        }
        done += size_t(result);
    }
    if (bytesRead != nullptr)
        *bytesRead = done;
    return status;
}

status_t BDataIO::WriteExactly(const void* buffer, size_t size, size_t* bytesWritten)
{
    const auto* bytes = static_cast<const uint8*>(buffer);
    size_t done = 0;
    status_t status = B_OK;
    while (done < size) {
        ssize_t result = Write(bytes + done, size - done);
        if (result < 0) {
            status = status_t(result);
            break;
        }
        if (result == 0) {
            status = B_PARTIAL_WRITE;
            break;
        }
        done += size_t(result);
    }
    if (bytesWritten != nullptr)
        *bytesWritten = done;
    return status;
}

// #pragma mark - BPositionIO

BPositionIO::~BPositionIO() = default;

ssize_t BPositionIO::Read(void* buffer, size_t size)
{
    off_t position = Position();
    if (position < 0)
        return ssize_t(position);
    ssize_t result = ReadAt(position, buffer, size);
    if (result > 0)
        Seek(result, SEEK_CUR);
    return result;
}

ssize_t BPositionIO::Write(const void* buffer, size_t size)
{
    off_t position = Position();
    if (position < 0)
        return ssize_t(position);
    ssize_t result = WriteAt(position, buffer, size);
    if (result > 0)
        Seek(result, SEEK_CUR);
    return result;
}

status_t BPositionIO::ReadAtExactly(off_t position, void* buffer, size_t size, size_t* bytesRead)
{
    auto* bytes = static_cast<uint8*>(buffer);
    size_t done = 0;
    status_t status = B_OK;
    while (done < size) {
        ssize_t result = ReadAt(position + off_t(done), bytes + done, size - done);
        if (result < 0) {
            status = status_t(result);
            break;
        }
        if (result == 0) {
            status = B_PARTIAL_READ;
            break;
        }
        done += size_t(result);
    }
    if (bytesRead != nullptr)
        *bytesRead = done;
    return status;
}

status_t BPositionIO::WriteAtExactly(
    off_t position, const void* buffer, size_t size, size_t* bytesWritten)
{
    const auto* bytes = static_cast<const uint8*>(buffer);
    size_t done = 0;
    status_t status = B_OK;
    while (done < size) {
        ssize_t result = WriteAt(position + off_t(done), bytes + done, size - done);
        if (result < 0) {
            status = status_t(result);
            break;
        }
        if (result == 0) {
            status = B_PARTIAL_WRITE;
            break;
        }
        done += size_t(result);
    }
    if (bytesWritten != nullptr)
        *bytesWritten = done;
    return status;
}

status_t BPositionIO::SetSize(off_t)
{
    return B_NOT_SUPPORTED;
}

status_t BPositionIO::GetSize(off_t* size) const
{
    if (size == nullptr)
        return B_BAD_VALUE;
    // Seeking is not const, so the size is found through a const-safe
    // detour: streams that know their size override this.
    auto* self = const_cast<BPositionIO*>(this);
    off_t position = self->Position();
    if (position < 0)
        return status_t(position);
    off_t end = self->Seek(0, SEEK_END);
    self->Seek(position, SEEK_SET);
    if (end < 0)
        return status_t(end);
    *size = end;
    return B_OK;
}

// #pragma mark - BMemoryIO

BMemoryIO::BMemoryIO(void* data, size_t length)
    : fReadOnly(false)
    , fBuffer(static_cast<uint8*>(data))
    , fLength(data != nullptr ? length : 0)
    , fBufferSize(fLength)
{
}

BMemoryIO::BMemoryIO(const void* data, size_t length)
    : fReadOnly(true)
    , fBuffer(const_cast<uint8*>(static_cast<const uint8*>(data)))
    , fLength(data != nullptr ? length : 0)
    , fBufferSize(fLength)
{
}

BMemoryIO::~BMemoryIO() = default;

ssize_t BMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
    if (buffer == nullptr || position < 0)
        return B_BAD_VALUE;
    if (uint64(position) >= fLength)
        return 0;
    size_t count = std::min(size, fLength - size_t(position));
    std::memcpy(buffer, fBuffer + position, count);
    return ssize_t(count);
}

ssize_t BMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
    if (fReadOnly)
        return B_NOT_ALLOWED;
    if (buffer == nullptr || position < 0)
        return B_BAD_VALUE;
    if (uint64(position) >= fBufferSize)
        return 0;
    size_t count = std::min(size, fBufferSize - size_t(position));
    std::memcpy(fBuffer + position, buffer, count);
    fLength = std::max(fLength, size_t(position) + count);
    return ssize_t(count);
}

off_t BMemoryIO::Seek(off_t position, uint32 seekMode)
{
    off_t result = ResolveSeek(position, seekMode, fPosition, off_t(fLength));
    if (result >= 0)
        fPosition = result;
    return result;
}

off_t BMemoryIO::Position() const
{
    return fPosition;
}

status_t BMemoryIO::SetSize(off_t size)
{
    if (fReadOnly)
        return B_NOT_ALLOWED;
    if (size < 0 || uint64(size) > fBufferSize)
        return B_BAD_VALUE;
    fLength = size_t(size);
    return B_OK;
}

// #pragma mark - BMallocIO

BMallocIO::BMallocIO() = default;

BMallocIO::~BMallocIO() = default;

ssize_t BMallocIO::ReadAt(off_t position, void* buffer, size_t size)
{
    if (buffer == nullptr || position < 0)
        return B_BAD_VALUE;
    if (uint64(position) >= fLength)
        return 0;
    size_t count = std::min(size, fLength - size_t(position));
    std::memcpy(buffer, fData.data() + position, count);
    return ssize_t(count);
}

ssize_t BMallocIO::WriteAt(off_t position, const void* buffer, size_t size)
{
    if (buffer == nullptr || position < 0)
        return B_BAD_VALUE;
    if (size == 0)
        return 0;
    if (position > kMaxStreamSize || size > size_t(kMaxStreamSize - position))
        return B_NO_MEMORY;
    size_t end = size_t(position) + size;
    status_t status = Reserve(end);
    if (status != B_OK)
        return status;
    // Reserve() leaves the bytes beyond fLength zeroed, which fills any gap
    // between the old end of the data and the write position.
    std::memcpy(fData.data() + position, buffer, size);
    fLength = std::max(fLength, end);
    return ssize_t(size);
}

off_t BMallocIO::Seek(off_t position, uint32 seekMode)
{
    off_t result = ResolveSeek(position, seekMode, fPosition, off_t(fLength));
    if (result >= 0)
        fPosition = result;
    return result;
}

off_t BMallocIO::Position() const
{
    return fPosition;
}

status_t BMallocIO::SetSize(off_t size)
{
    if (size < 0 || size > kMaxStreamSize)
        return B_BAD_VALUE;
    if (size_t(size) > fLength) {
        status_t status = Reserve(size_t(size));
        if (status != B_OK)
            return status;
    } else {
        // Bytes cut off are cleared so that growing again reads zeros.
        std::fill(fData.begin() + size, fData.begin() + ssize_t(fLength), uint8(0));
    }
    fLength = size_t(size);
    return B_OK;
}

void BMallocIO::SetBlockSize(size_t blockSize)
{
    fBlockSize = std::max<size_t>(blockSize, 1);
}

const void* BMallocIO::Buffer() const
{
    return fData.empty() ? nullptr : fData.data();
}

size_t BMallocIO::BufferLength() const
{
    return fLength;
}

status_t BMallocIO::Reserve(size_t size)
{
    if (size <= fData.size())
        return B_OK;
    size_t rounded = (size + fBlockSize - 1) / fBlockSize * fBlockSize;
    // Growing by at least half keeps a long run of small writes linear.
    rounded = std::max(rounded, fData.size() + fData.size() / 2);
    fData.resize(rounded, 0);
    return B_OK;
}
