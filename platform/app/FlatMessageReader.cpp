#include "FlatMessageReader.h"

#include <algorithm>
#include <cstring>

#include <ByteOrder.h>
#include <Message.h>
#include <TypeConstants.h>

namespace BPrivate {

namespace {

// The R5 header is at least magic, checksum, size, what and the flag byte;
// the smallest message adds the terminating byte.
constexpr size_t kR5MinHeaderSize = 17;
constexpr size_t kR5MinMessageSize = 18;

// Haiku message flags.
constexpr uint32 kHaikuMessageValid = 0x0001;
constexpr uint32 kHaikuMessagePassedByArea = 0x0080;
constexpr uint16 kHaikuFieldFixedSize = 0x0002;

uint32 LoadUInt32(const uint8* bytes, bool swapped)
{
    uint32 value = ReadUnaligned<uint32>(bytes);
    return swapped ? SwapUInt32(value) : value;
}

} // namespace

void SwapItemBytes(type_code type, uint8* item, size_t size)
{
    switch (type) {
    case B_SIZE_T_TYPE:
    case B_SSIZE_T_TYPE:
    case B_POINTER_TYPE:
        swap_data(size == 4 ? B_UINT32_TYPE : B_UINT64_TYPE, item, size, B_SWAP_BENDIAN_TO_HOST);
        break;
    default:
        swap_data(type, item, size, B_SWAP_BENDIAN_TO_HOST);
        break;
    }
}

// #pragma mark - FlatItemIterator

FlatItemIterator::FlatItemIterator(const FlatField& field)
    : fField(field)
{
}

bool FlatItemIterator::Next(const uint8** item, uint32* size)
{
    if (fFailed || fIndex >= fField.count)
        return false;

    const size_t remaining = fField.length - fPosition;
    switch (fField.layout) {
    case FlatField::Layout::kFixed:
        if (fField.itemSize == 0 || fField.itemSize > remaining) {
            fFailed = true;
            return false;
        }
        *item = fField.data + fPosition;
        *size = fField.itemSize;
        fPosition += fField.itemSize;
        break;
    case FlatField::Layout::kOffsets: {
        // Offsets come from our own storage and are consistent.
        size_t end = fIndex + 1 < fField.count ? fField.offsets[fIndex + 1] : fField.length;
        *item = fField.data + fField.offsets[fIndex];
        *size = uint32(end - fField.offsets[fIndex]);
        fPosition = end;
        break;
    }
    case FlatField::Layout::kR5Records:
    case FlatField::Layout::kHaikuRecords: {
        if (remaining < sizeof(uint32)) {
            fFailed = true;
            return false;
        }
        uint32 length = LoadUInt32(fField.data + fPosition, fField.swapped);
        if (length > remaining - sizeof(uint32)) {
            fFailed = true;
            return false;
        }
        *item = fField.data + fPosition + sizeof(uint32);
        *size = length;
        fPosition += sizeof(uint32) + length;
        if (fField.layout == FlatField::Layout::kR5Records) {
            // R5 pads each item so that length word + bytes fill whole
            // 8-byte units. A last item without its padding is accepted.
            size_t padding = (8 - (sizeof(uint32) + length) % 8) % 8;
            fPosition += std::min(padding, fField.length - fPosition);
        }
        break;
    }
    }
    fIndex++;
    return true;
}

// #pragma mark - FlatMessageReader

status_t FlatMessageReader::SetTo(const void* bytes, size_t size)
{
    *this = FlatMessageReader();
    if (bytes == nullptr)
        return B_BAD_VALUE;
    if (size < sizeof(uint32))
        return B_NOT_A_MESSAGE;
    fBytes = static_cast<const uint8*>(bytes);
    fAvailable = size;

    switch (ReadUnaligned<uint32>(fBytes)) {
    case B_MESSAGE_FORMAT_R5:
        fFormat = Format::kR5;
        return SetToR5();
    case B_MESSAGE_FORMAT_R5_SWAPPED:
        fFormat = Format::kR5Swapped;
        return SetToR5();
    case B_MESSAGE_FORMAT_HAIKU:
        fFormat = Format::kHaiku;
        return SetToHaiku();
    default:
        // Dano messages, big-endian Haiku messages and anything else.
        return B_NOT_A_MESSAGE;
    }
}

uint32 FlatMessageReader::Read32(size_t position) const
{
    return LoadUInt32(fBytes + position, IsSwapped());
}

uint16 FlatMessageReader::Read16(size_t position) const
{
    // Only the Haiku form has 16-bit numbers, and it is never swapped.
    return ReadUnaligned<uint16>(fBytes + position);
}

status_t FlatMessageReader::SetToR5()
{
    if (fAvailable < kR5MinHeaderSize)
        return B_BAD_DATA;
    int32 size = int32(Read32(8));
    if (size < int32(kR5MinMessageSize) || size_t(size) > fAvailable)
        return B_BAD_DATA;
    fMessageSize = size_t(size);
    fWhat = Read32(12);

    uint8 flags = fBytes[16];
    if ((flags & kR5MessageValid) == 0)
        return B_BAD_DATA;
    fPosition = kR5MinHeaderSize;
    // A target token, then reply port, token, team and four flag bytes. The
    // routing information of a flattened message is not kept.
    if ((flags & kR5MessageHasTarget) != 0)
        fPosition += 4;
    if ((flags & kR5MessageHasReplyInfo) != 0)
        fPosition += 16;
    if (fPosition >= fMessageSize)
        return B_BAD_DATA;
    return B_OK;
}

status_t FlatMessageReader::SetToHaiku()
{
    if (fAvailable < kHaikuHeaderSize)
        return B_BAD_DATA;
    fWhat = Read32(4);
    uint32 flags = Read32(8);
    if ((flags & kHaikuMessageValid) == 0)
        return B_BAD_VALUE;
    // Such a message keeps its fields in shared memory that a file cannot
    // carry.
    if ((flags & kHaikuMessagePassedByArea) != 0)
        return B_BAD_DATA;
    fDataSize = Read32(36);
    fFieldCount = Read32(40);
    uint64 fieldsEnd = kHaikuHeaderSize + uint64(fFieldCount) * kHaikuFieldHeaderSize;
    if (fieldsEnd > fAvailable || fDataSize > fAvailable - fieldsEnd)
        return B_BAD_DATA;
    fDataStart = size_t(fieldsEnd);
    fMessageSize = fDataStart + fDataSize;
    return B_OK;
}

status_t FlatMessageReader::NextField(FlatField* field)
{
    if (fBytes == nullptr)
        return B_NO_INIT;
    *field = FlatField();
    status_t status = fFormat == Format::kHaiku ? NextHaikuField(field) : NextR5Field(field);
    if (status != B_OK)
        return status;
    if (field->layout == FlatField::Layout::kFixed) {
        if (field->count == 0 || field->length % field->count != 0 || field->length < field->count)
            return B_BAD_DATA;
        field->itemSize = uint32(field->length / field->count);
        return B_OK;
    }
    return CheckItems(*field);
}

status_t FlatMessageReader::NextR5Field(FlatField* field)
{
    if (fDone)
        return kNoMoreFields;
    // Every step below first checks that its bytes are there.
    auto need = [this](size_t bytes) { return bytes <= fMessageSize - fPosition; };
    if (!need(1))
        return B_BAD_DATA;
    uint8 flags = fBytes[fPosition++];
    if ((flags & kR5FieldValid) == 0) {
        fDone = true;
        return kNoMoreFields;
    }
    const bool mini = (flags & kR5FieldMini) != 0;
    const size_t numberSize = mini ? 1 : 4;
    auto readNumber = [&]() -> int64 {
        int64 value = mini ? fBytes[fPosition] : int32(Read32(fPosition));
        fPosition += numberSize;
        return value;
    };

    if (!need(4))
        return B_BAD_DATA;
    field->type = Read32(fPosition);
    fPosition += 4;
    int64 count = 1;
    if ((flags & kR5FieldSingleItem) == 0) {
        if (!need(numberSize))
            return B_BAD_DATA;
        count = readNumber();
    }
    if (!need(numberSize + 1))
        return B_BAD_DATA;
    int64 length = readNumber();
    size_t nameLength = fBytes[fPosition++];
    if (count <= 0 || length <= 0 || !need(nameLength))
        return B_BAD_DATA;
    field->name = std::string_view(reinterpret_cast<const char*>(fBytes + fPosition), nameLength);
    // Names come from C strings; one with a NUL inside could never be
    // asked for.
    if (field->name.find('\0') != std::string_view::npos)
        return B_BAD_DATA;
    fPosition += nameLength;
    if (!need(size_t(length)))
        return B_BAD_DATA;

    field->fixedSize = (flags & kR5FieldFixedSize) != 0;
    field->layout = field->fixedSize ? FlatField::Layout::kFixed : FlatField::Layout::kR5Records;
    field->swapped = IsSwapped();
    field->count = uint32(count);
    field->data = fBytes + fPosition;
    field->length = size_t(length);
    fPosition += size_t(length);
    return B_OK;
}

status_t FlatMessageReader::NextHaikuField(FlatField* field)
{
    if (fFieldIndex >= fFieldCount)
        return kNoMoreFields;
    size_t header = kHaikuHeaderSize + size_t(fFieldIndex) * kHaikuFieldHeaderSize;
    fFieldIndex++;

    uint16 flags = Read16(header);
    uint16 nameLength = Read16(header + 2);
    field->type = Read32(header + 4);
    uint32 count = Read32(header + 8);
    uint32 dataSize = Read32(header + 12);
    uint32 offset = Read32(header + 16);
    // The name (with its NUL) and then the items must lie in the data area.
    if (nameLength == 0 || count == 0 || uint64(offset) + nameLength + dataSize > uint64(fDataSize))
        return B_BAD_DATA;
    const char* name = reinterpret_cast<const char*>(fBytes + fDataStart + offset);
    if (name[nameLength - 1] != '\0')
        return B_BAD_DATA;
    field->name = std::string_view(name, strnlen(name, nameLength));
    if (field->name.size() > 255)
        return B_BAD_DATA;

    field->fixedSize = (flags & kHaikuFieldFixedSize) != 0;
    field->layout = field->fixedSize ? FlatField::Layout::kFixed : FlatField::Layout::kHaikuRecords;
    field->count = count;
    field->data = fBytes + fDataStart + offset + nameLength;
    field->length = dataSize;
    return B_OK;
}

status_t FlatMessageReader::CheckItems(const FlatField& field)
{
    FlatItemIterator items(field);
    const uint8* item;
    uint32 size;
    while (items.Next(&item, &size)) { }
    return items.Complete() ? B_OK : B_BAD_DATA;
}

status_t FlatMessageReader::Validate(const void* bytes, size_t size, int32 depth)
{
    if (depth > kMaxMessageNesting)
        return B_BAD_DATA;
    FlatMessageReader reader;
    status_t status = reader.SetTo(bytes, size);
    if (status != B_OK)
        return status;
    FlatField field;
    while ((status = reader.NextField(&field)) == B_OK) {
        if (field.type != B_MESSAGE_TYPE)
            continue;
        FlatItemIterator items(field);
        const uint8* item;
        uint32 itemSize;
        while (items.Next(&item, &itemSize)) {
            // Whatever is wrong with a nested message makes the outer one
            // damaged.
            if (Validate(item, itemSize, depth + 1) != B_OK)
                return B_BAD_DATA;
        }
    }
    return status == kNoMoreFields ? B_OK : status;
}

status_t FlatMessageReader::HeaderSizeFor(uint32 magic, size_t* size)
{
    switch (magic) {
    case B_MESSAGE_FORMAT_R5:
    case B_MESSAGE_FORMAT_R5_SWAPPED:
        // magic, checksum, size
        *size = 12;
        return B_OK;
    case B_MESSAGE_FORMAT_HAIKU:
        *size = kHaikuHeaderSize;
        return B_OK;
    default:
        return B_NOT_A_MESSAGE;
    }
}

status_t FlatMessageReader::ClaimedSize(const void* header, size_t available, size_t* size)
{
    if (header == nullptr || size == nullptr)
        return B_BAD_VALUE;
    if (available < sizeof(uint32))
        return B_NOT_A_MESSAGE;
    const auto* bytes = static_cast<const uint8*>(header);
    uint32 magic = ReadUnaligned<uint32>(bytes);
    size_t needed;
    status_t status = HeaderSizeFor(magic, &needed);
    if (status != B_OK)
        return status;
    if (available < needed)
        return B_BAD_DATA;
    if (magic == B_MESSAGE_FORMAT_HAIKU) {
        uint64 total = kHaikuHeaderSize
            + uint64(ReadUnaligned<uint32>(bytes + 40)) * kHaikuFieldHeaderSize
            + ReadUnaligned<uint32>(bytes + 36);
        *size = size_t(total);
        return B_OK;
    }
    int32 claimed = int32(LoadUInt32(bytes + 8, magic == B_MESSAGE_FORMAT_R5_SWAPPED));
    if (claimed < int32(kR5MinMessageSize))
        return B_BAD_DATA;
    *size = size_t(claimed);
    return B_OK;
}

} // namespace BPrivate
