#include "ZipExtraFields.h"

#include <ByteOrder.h>

#include <zlib.h>

#include <algorithm>

namespace BPrivate {

namespace {

constexpr uint8 kTimeModified = 0x01;
constexpr uint8 kTimeAccessed = 0x02;
constexpr uint8 kTimeCreated = 0x04;
constexpr uint8 kUnixOwnerVersion = 1;
constexpr uint8 kBeUncompressed = 0x01;
constexpr size_t kBeHeaderSize = 5;
constexpr size_t kBeCompressedHeaderSize = 11;
constexpr size_t kAttributeHeaderSize = 12;
// One extra block's data length is a 16-bit number, and the block's own four
// header bytes count against the 65535-byte area.
constexpr size_t kMaxBlockData = 65535 - 4;

// Seconds since 1970 of the DOS date limits that decide how a UT time with
// the top bit set is read (with two days of slack for the time zone the DOS
// date was converted in).
constexpr int64 kDosMinimumLimit = 315532800 + 2 * 86400; // 1980-01-03
constexpr int64 kDos2038Limit = 2147483647 - 2 * 86400; // 2038-01-17

template <typename T> T Little(const uint8* bytes)
{
    return ReadUnaligned<T>(bytes);
}

template <typename T> void PutLittle(std::vector<uint8>& bytes, T value)
{
    size_t at = bytes.size();
    bytes.resize(at + sizeof(T));
    WriteUnaligned<T>(bytes.data() + at, value);
}

uint64 LittleId(const uint8* bytes, size_t size)
{
    uint64 value = 0;
    for (size_t i = size; i > 0; i--)
        value = (value << 8) | bytes[i - 1];
    return value;
}

// Inflates a raw deflate stream that must produce exactly size bytes: a
// stream that stops short, or would go on, does not describe what it claims.
status_t Inflate(std::span<const uint8> compressed, uint32 size, std::vector<uint8>* out)
{
    out->assign(size_t(size) + 1, 0);
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return B_NO_MEMORY;
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = uInt(compressed.size());
    stream.next_out = out->data();
    stream.avail_out = uInt(out->size());
    int result = inflate(&stream, Z_FINISH);
    bool complete = result == Z_STREAM_END && stream.total_out == size;
    inflateEnd(&stream);
    out->resize(size);
    return complete ? B_OK : B_BAD_DATA;
}

status_t Deflate(std::span<const uint8> raw, int level, std::vector<uint8>* out)
{
    z_stream stream = {};
    if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return B_BAD_VALUE;
    out->resize(deflateBound(&stream, uLong(raw.size())));
    stream.next_in = const_cast<Bytef*>(raw.data());
    stream.avail_in = uInt(raw.size());
    stream.next_out = out->data();
    stream.avail_out = uInt(out->size());
    int result = deflate(&stream, Z_FINISH);
    out->resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? B_OK : B_ERROR;
}

} // namespace

status_t SplitExtraArea(std::span<const uint8> area, std::vector<ZipExtraBlock>* blocks)
{
    blocks->clear();
    size_t position = 0;
    while (area.size() - position >= 4) {
        uint16 id = Little<uint16>(area.data() + position);
        uint16 length = Little<uint16>(area.data() + position + 2);
        position += 4;
        if (area.size() - position < length)
            return B_BAD_DATA;
        blocks->push_back({ id, area.subspan(position, length) });
        position += length;
    }
    for (; position < area.size(); position++) {
        if (area[position] != 0)
            return B_BAD_DATA;
    }
    return B_OK;
}

std::vector<uint8> JoinExtraBlocks(const std::vector<ZipExtraBlock>& blocks)
{
    std::vector<uint8> area;
    for (const ZipExtraBlock& block : blocks) {
        PutLittle<uint16>(area, block.id);
        PutLittle<uint16>(area, uint16(block.data.size()));
        area.insert(area.end(), block.data.begin(), block.data.end());
    }
    return area;
}

status_t ParseTimestampField(std::span<const uint8> data, ZipTimestamps* times)
{
    *times = ZipTimestamps();
    if (data.empty())
        return B_BAD_DATA;
    uint8 flags = data[0];
    size_t position = 1;
    // The field's length decides what is there, not the flags alone: the
    // central form keeps the local flags but carries only the modification
    // time.
    std::optional<uint32>* slots[] = { &times->modified, &times->accessed, &times->created };
    const uint8 bits[] = { kTimeModified, kTimeAccessed, kTimeCreated };
    for (size_t i = 0; i < 3; i++) {
        if ((flags & bits[i]) == 0)
            continue;
        if (data.size() - position < 4)
            break;
        *slots[i] = Little<uint32>(data.data() + position);
        position += 4;
    }
    return B_OK;
}

std::vector<uint8> BuildTimestampField(const ZipTimestamps& times, bool central)
{
    uint8 flags = (times.modified ? kTimeModified : 0) | (times.accessed ? kTimeAccessed : 0)
        | (times.created ? kTimeCreated : 0);
    std::vector<uint8> data { flags };
    if (times.modified)
        PutLittle<uint32>(data, *times.modified);
    if (central)
        return data;
    if (times.accessed)
        PutLittle<uint32>(data, *times.accessed);
    if (times.created)
        PutLittle<uint32>(data, *times.created);
    return data;
}

std::optional<int64> InterpretZipTime(uint32 stored, int64 dosTime)
{
    if ((stored & 0x80000000u) == 0)
        return int64(stored);
    if (dosTime >= kDos2038Limit)
        return int64(stored);
    if (dosTime < kDosMinimumLimit)
        return int64(int32(stored));
    return std::nullopt;
}

std::optional<uint32> StorableZipTime(int64 seconds)
{
    if (seconds < INT32_MIN || seconds > int64(UINT32_MAX))
        return std::nullopt;
    return uint32(seconds);
}

status_t ParseUnixOwnerField(std::span<const uint8> data, ZipOwner* owner)
{
    if (data.size() < 3)
        return B_BAD_DATA;
    if (data[0] != kUnixOwnerVersion)
        return B_UNSUPPORTED;
    size_t uidSize = data[1];
    if (uidSize < 1 || uidSize > 8 || data.size() < 3 + uidSize)
        return B_BAD_DATA;
    size_t gidSize = data[2 + uidSize];
    if (gidSize < 1 || gidSize > 8 || data.size() < 3 + uidSize + gidSize)
        return B_BAD_DATA;
    owner->uid = LittleId(data.data() + 2, uidSize);
    owner->gid = LittleId(data.data() + 3 + uidSize, gidSize);
    return B_OK;
}

std::vector<uint8> BuildUnixOwnerField(const ZipOwner& owner)
{
    std::vector<uint8> data { kUnixOwnerVersion };
    for (uint64 id : { owner.uid, owner.gid }) {
        uint8 size = id > UINT32_MAX ? 8 : 4;
        data.push_back(size);
        for (uint8 i = 0; i < size; i++)
            data.push_back(uint8(id >> (8 * i)));
    }
    return data;
}

status_t ParseUnixOwner16Field(std::span<const uint8> data, ZipOwner* owner)
{
    if (data.empty())
        return B_ENTRY_NOT_FOUND;
    if (data.size() != 4)
        return B_BAD_DATA;
    owner->uid = Little<uint16>(data.data());
    owner->gid = Little<uint16>(data.data() + 2);
    return B_OK;
}

std::optional<std::vector<uint8>> BuildUnixOwner16Field(const ZipOwner& owner, bool central)
{
    if (owner.uid > UINT16_MAX || owner.gid > UINT16_MAX)
        return std::nullopt;
    std::vector<uint8> data;
    if (!central) {
        PutLittle<uint16>(data, uint16(owner.uid));
        PutLittle<uint16>(data, uint16(owner.gid));
    }
    return data;
}

status_t ParseAttributeStream(std::span<const uint8> stream, std::vector<ZipAttribute>* attributes)
{
    attributes->clear();
    size_t position = 0;
    while (position < stream.size()) {
        auto rest = stream.subspan(position);
        auto end = std::find(rest.begin(), rest.end(), uint8(0));
        if (end == rest.end())
            return B_BAD_DATA;
        size_t nameLength = size_t(end - rest.begin());
        if (nameLength == 0 || rest.size() - nameLength - 1 < kAttributeHeaderSize)
            return B_BAD_DATA;
        const uint8* header = rest.data() + nameLength + 1;
        uint64 size = SwapUInt64(Little<uint64>(header + 4));
        size_t dataOffset = nameLength + 1 + kAttributeHeaderSize;
        if (size > rest.size() - dataOffset)
            return B_BAD_DATA;
        ZipAttribute attribute;
        attribute.name.assign(reinterpret_cast<const char*>(rest.data()), nameLength);
        attribute.type = SwapUInt32(Little<uint32>(header));
        attribute.data.assign(rest.data() + dataOffset, rest.data() + dataOffset + size);
        swap_data(
            attribute.type, attribute.data.data(), attribute.data.size(), B_SWAP_BENDIAN_TO_HOST);
        attributes->push_back(std::move(attribute));
        position += dataOffset + size_t(size);
    }
    return B_OK;
}

status_t BuildAttributeStream(
    const std::vector<ZipAttribute>& attributes, std::vector<uint8>* stream)
{
    stream->clear();
    for (const ZipAttribute& attribute : attributes) {
        if (attribute.name.empty() || attribute.name.find('\0') != std::string::npos)
            return B_BAD_VALUE;
        stream->insert(stream->end(), attribute.name.begin(), attribute.name.end());
        stream->push_back(0);
        PutLittle<uint32>(*stream, SwapUInt32(attribute.type));
        PutLittle<uint64>(*stream, SwapUInt64(attribute.data.size()));
        size_t at = stream->size();
        stream->insert(stream->end(), attribute.data.begin(), attribute.data.end());
        swap_data(
            attribute.type, stream->data() + at, attribute.data.size(), B_SWAP_HOST_TO_BENDIAN);
    }
    return B_OK;
}

status_t ParseBeAttributesField(std::span<const uint8> data, std::vector<ZipAttribute>* attributes)
{
    attributes->clear();
    if (data.size() <= kBeHeaderSize)
        return B_BAD_DATA;
    uint32 size = Little<uint32>(data.data());
    uint8 flags = data[4];
    // A field without any attribute is never written (a file without
    // attributes gets no field at all).
    if ((flags & ~kBeUncompressed) != 0 || size == 0 || size > kMaxAttributeStreamSize)
        return B_BAD_DATA;
    if ((flags & kBeUncompressed) != 0) {
        if (size != data.size() - kBeHeaderSize)
            return B_BAD_DATA;
        return ParseAttributeStream(data.subspan(kBeHeaderSize), attributes);
    }
    if (data.size() < kBeCompressedHeaderSize)
        return B_BAD_DATA;
    uint16 method = Little<uint16>(data.data() + 5);
    uint32 crc = Little<uint32>(data.data() + 7);
    auto packed = data.subspan(kBeCompressedHeaderSize);
    std::vector<uint8> stream;
    if (method == kMethodDeflated) {
        if (Inflate(packed, size, &stream) != B_OK)
            return B_BAD_DATA;
    } else if (method == kMethodStored && packed.size() == size) {
        stream.assign(packed.begin(), packed.end());
    } else
        return B_BAD_DATA;
    if (uint32(crc32(0, stream.data(), uInt(stream.size()))) != crc)
        return B_BAD_DATA;
    return ParseAttributeStream(stream, attributes);
}

status_t BuildBeAttributesField(const std::vector<ZipAttribute>& attributes, int level,
    std::vector<uint8>* local, std::vector<uint8>* central)
{
    if (attributes.empty())
        return B_BAD_VALUE;
    std::vector<uint8> stream;
    status_t status = BuildAttributeStream(attributes, &stream);
    if (status != B_OK)
        return status;
    if (stream.size() > kMaxAttributeStreamSize)
        return B_BUFFER_OVERFLOW;
    std::vector<uint8> packed;
    status = Deflate(stream, std::clamp(level, 1, 9), &packed);
    if (status != B_OK)
        return status;
    bool compress = packed.size() + kBeCompressedHeaderSize - kBeHeaderSize < stream.size();
    local->clear();
    PutLittle<uint32>(*local, uint32(stream.size()));
    local->push_back(compress ? 0 : kBeUncompressed);
    if (compress) {
        PutLittle<uint16>(*local, kMethodDeflated);
        PutLittle<uint32>(*local, uint32(crc32(0, stream.data(), uInt(stream.size()))));
        local->insert(local->end(), packed.begin(), packed.end());
    } else
        local->insert(local->end(), stream.begin(), stream.end());
    // The central copy states the uncompressed size and the flags only.
    central->assign(local->begin(), local->begin() + kBeHeaderSize);
    return local->size() > kMaxBlockData ? B_BUFFER_OVERFLOW : B_OK;
}

} // namespace BPrivate
