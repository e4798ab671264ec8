#include "ZipCentralDirectory.h"

#include "ZipExtraFields.h"

#include <algorithm>
#include <cstring>

namespace BPrivate {

namespace {

constexpr size_t kEndRecordSize = 22;
constexpr size_t kMaxCommentSize = 65535;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64EndRecordSize = 56;
constexpr size_t kCentralRecordSize = 46;
constexpr size_t kReadChunk = 64 * 1024;
constexpr uint16 kZip64FieldId = 0x0001;

const uint8 kEndSignature[4] = { 'P', 'K', 5, 6 };
const uint8 kZip64LocatorSignature[4] = { 'P', 'K', 6, 7 };
const uint8 kZip64EndSignature[4] = { 'P', 'K', 6, 6 };
const uint8 kCentralSignature[4] = { 'P', 'K', 1, 2 };

// Reads a run of records front to back through one buffer, so that a
// directory of thousands of entries costs a few reads, not thousands.
class ChunkReader {
public:
    ChunkReader(ZipByteSource& source, uint64 end)
        : fSource(source)
        , fEnd(end)
    {
    }

    // A pointer to size bytes at position, valid until the next call.
    const uint8* At(uint64 position, size_t size)
    {
        if (position > fEnd || size > fEnd - position)
            return nullptr;
        if (position < fStart || position + size > fStart + fBuffer.size()) {
            size_t length = size_t(std::min<uint64>(std::max(size, kReadChunk), fEnd - position));
            fBuffer.resize(length);
            fStart = position;
            if (ReadZipBytes(fSource, position, fBuffer.data(), length) != B_OK) {
                fBuffer.clear();
                return nullptr;
            }
        }
        return fBuffer.data() + (position - fStart);
    }

private:
    ZipByteSource& fSource;
    uint64 fEnd;
    uint64 fStart = 0;
    std::vector<uint8> fBuffer;
};

struct Directory {
    uint64 count = 0;
    uint64 offset = 0;
};

status_t Fail(std::string* reason, const char* text)
{
    *reason = text;
    return B_BAD_DATA;
}

// The end record nearest the end of the archive whose comment fits in what
// follows it.
status_t FindEndRecord(ZipByteSource& source, uint64 size, std::vector<uint8>* tail,
    uint64* tailStart, size_t* at, std::string* reason)
{
    if (size < kEndRecordSize)
        return Fail(reason, "too short for a zip archive");
    size_t length = size_t(std::min<uint64>(size, kEndRecordSize + kMaxCommentSize));
    *tailStart = size - length;
    tail->resize(length);
    if (ReadZipBytes(source, *tailStart, tail->data(), length) != B_OK)
        return Fail(reason, "cannot read the end of the archive");
    for (size_t i = length - kEndRecordSize + 1; i-- > 0;) {
        const uint8* record = tail->data() + i;
        if (std::memcmp(record, kEndSignature, 4) == 0
            && ZipLittle(record + 20, 2) <= length - i - kEndRecordSize) {
            *at = i;
            return B_OK;
        }
    }
    return Fail(reason, "no end of central directory record");
}

status_t ReadZip64Directory(
    ZipByteSource& source, uint64 size, uint64 endRecord, Directory* directory, std::string* reason)
{
    uint8 locator[kZip64LocatorSize];
    if (endRecord < kZip64LocatorSize
        || ReadZipBytes(source, endRecord - kZip64LocatorSize, locator, sizeof(locator)) != B_OK
        || std::memcmp(locator, kZip64LocatorSignature, 4) != 0) {
        *reason = "a zip64 archive without its locator";
        return B_ENTRY_NOT_FOUND;
    }
    uint64 position = ZipLittle(locator + 8, 8);
    uint8 record[kZip64EndRecordSize];
    if (position > size || size - position < sizeof(record)
        || ReadZipBytes(source, position, record, sizeof(record)) != B_OK
        || std::memcmp(record, kZip64EndSignature, 4) != 0)
        return Fail(reason, "a damaged zip64 end record");
    directory->count = ZipLittle(record + 32, 8);
    directory->offset = ZipLittle(record + 48, 8);
    return B_OK;
}

// Splits the central extra area, takes the real sizes and offset from the
// Zip64 field where the record holds their 32-bit markers, and keeps the
// other fields.
status_t ReadCentralExtra(std::span<const uint8> area, ZipCentralEntry* entry)
{
    std::vector<ZipExtraBlock> blocks;
    if (SplitExtraArea(area, &blocks) != B_OK)
        return B_BAD_DATA;
    std::vector<ZipExtraBlock> kept;
    bool zip64Read = false;
    for (const ZipExtraBlock& block : blocks) {
        if (block.id != kZip64FieldId || zip64Read) {
            if (block.id != kZip64FieldId)
                kept.push_back(block);
            continue;
        }
        zip64Read = true;
        size_t at = 0;
        for (uint64* value : { &entry->size, &entry->compressedSize, &entry->localOffset }) {
            if (*value != 0xFFFFFFFF)
                continue;
            if (block.data.size() - at < 8)
                return B_BAD_DATA;
            *value = ZipLittle(block.data.data() + at, 8);
            at += 8;
        }
    }
    // A 32-bit marker without the field that holds the real value leaves
    // the entry's size or place unknown.
    if (!zip64Read
        && (entry->size == 0xFFFFFFFF || entry->compressedSize == 0xFFFFFFFF
            || entry->localOffset == 0xFFFFFFFF))
        return B_BAD_DATA;
    entry->extra = JoinExtraBlocks(kept);
    return B_OK;
}

} // namespace

uint64 ZipLittle(const uint8* bytes, int count)
{
    uint64 value = 0;
    for (int i = count - 1; i >= 0; i--)
        value = value << 8 | bytes[i];
    return value;
}

status_t ReadZipBytes(ZipByteSource& source, uint64 position, uint8* buffer, size_t size)
{
    while (size > 0) {
        ssize_t done = source.ReadAt(off_t(position), buffer, size);
        if (done <= 0)
            return done < 0 ? status_t(done) : B_BAD_DATA;
        position += uint64(done);
        buffer += done;
        size -= size_t(done);
    }
    return B_OK;
}

status_t ReadCentralDirectory(
    ZipByteSource& source, std::vector<ZipCentralEntry>* entries, std::string* reason)
{
    entries->clear();
    uint64 size = uint64(std::max<off_t>(source.Size(), 0));
    std::vector<uint8> tail;
    uint64 tailStart = 0;
    size_t at = 0;
    status_t status = FindEndRecord(source, size, &tail, &tailStart, &at, reason);
    if (status != B_OK)
        return status;
    const uint8* end = tail.data() + at;
    uint64 endRecord = tailStart + at;
    Directory directory { ZipLittle(end + 10, 2), ZipLittle(end + 16, 4) };
    // A value at its 16- or 32-bit maximum stands for one in the Zip64 end
    // record, except for exactly 65,535 entries stored by a writer that
    // leaves the Zip64 records out when nothing else needs them: those are
    // believed only when their records end where the end record begins.
    bool mustEndAtEndRecord = false;
    if (directory.count == 0xFFFF || directory.offset == 0xFFFFFFFF
        || ZipLittle(end + 12, 4) == 0xFFFFFFFF) {
        status = ReadZip64Directory(source, size, endRecord, &directory, reason);
        mustEndAtEndRecord = status == B_ENTRY_NOT_FOUND && directory.offset != 0xFFFFFFFF
            && ZipLittle(end + 12, 4) != 0xFFFFFFFF;
        if (status != B_OK && !mustEndAtEndRecord)
            return B_BAD_DATA;
    }
    // Every record takes at least its fixed part: a count beyond that is a
    // lie, and must not size an allocation.
    if (directory.offset > size || directory.count > (size - directory.offset) / kCentralRecordSize)
        return Fail(reason, "the central directory runs past the archive");
    entries->reserve(size_t(directory.count));
    ChunkReader reader(source, size);
    uint64 position = directory.offset;
    for (uint64 i = 0; i < directory.count; i++) {
        const uint8* record = reader.At(position, kCentralRecordSize);
        if (record == nullptr || std::memcmp(record, kCentralSignature, 4) != 0)
            return Fail(reason, "a damaged central directory record");
        ZipCentralEntry entry;
        entry.host = record[5];
        entry.flags = uint16(ZipLittle(record + 8, 2));
        entry.method = uint16(ZipLittle(record + 10, 2));
        entry.dosTime = uint16(ZipLittle(record + 12, 2));
        entry.dosDate = uint16(ZipLittle(record + 14, 2));
        entry.crc = uint32(ZipLittle(record + 16, 4));
        entry.compressedSize = ZipLittle(record + 20, 4);
        entry.size = ZipLittle(record + 24, 4);
        size_t nameLength = size_t(ZipLittle(record + 28, 2));
        size_t extraLength = size_t(ZipLittle(record + 30, 2));
        uint64 commentLength = ZipLittle(record + 32, 2);
        entry.external = uint32(ZipLittle(record + 38, 4));
        entry.localOffset = ZipLittle(record + 42, 4);
        const uint8* bytes = reader.At(position + kCentralRecordSize, nameLength + extraLength);
        if (bytes == nullptr)
            return Fail(reason, "a damaged central directory record");
        entry.name.assign(reinterpret_cast<const char*>(bytes), nameLength);
        entry.nameHasNul = std::memchr(bytes, 0, nameLength) != nullptr;
        if (ReadCentralExtra(std::span(bytes + nameLength, extraLength), &entry) != B_OK)
            return Fail(reason, "damaged extra fields in the central directory");
        position += kCentralRecordSize + nameLength + extraLength + commentLength;
        entries->push_back(std::move(entry));
    }
    if (mustEndAtEndRecord && position != endRecord)
        return Fail(reason, "a zip64 archive without its locator");
    return B_OK;
}

} // namespace BPrivate
