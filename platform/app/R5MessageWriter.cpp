#include "R5MessageWriter.h"

#include <cstring>
#include <limits>
#include <vector>

#include <ByteOrder.h>
#include <Message.h>
#include <TypeConstants.h>

#include "FlatMessageReader.h"
#include "MessageFields.h"

namespace BPrivate {

namespace {

// magic, checksum, size, what, flag byte
constexpr size_t kHeaderSize = 17;
constexpr size_t kMaxMessageSize = size_t(std::numeric_limits<int32>::max());

size_t Padded(size_t length)
{
    return (length + 7) & ~size_t(7);
}

bool UsesMini(uint32 count, size_t dataLength)
{
    return count < 256 && dataLength < 256;
}

bool IsMessageField(const FlatField& field)
{
    return field.type == B_MESSAGE_TYPE;
}

// Nested messages are always written as variable-size items, whatever their
// field said, because their R5 form may differ in size from what is stored.
bool WritesFixed(const FlatField& field)
{
    return field.fixedSize && !IsMessageField(field);
}

// A bounded output buffer; writing past its end is refused and remembered.
class Output {
public:
    Output(uint8* buffer, size_t size)
        : fPosition(buffer)
        , fEnd(buffer + size)
    {
    }

    uint8* Take(size_t size)
    {
        if (fFailed || size > size_t(fEnd - fPosition)) {
            fFailed = true;
            return nullptr;
        }
        uint8* start = fPosition;
        fPosition += size;
        return start;
    }
    void Put(const void* bytes, size_t size)
    {
        if (uint8* target = Take(size))
            std::memcpy(target, bytes, size);
    }
    void PutByte(uint8 value) { Put(&value, 1); }
    void PutUInt32(uint32 value) { Put(&value, sizeof(value)); }
    void PutZeros(size_t size)
    {
        if (uint8* target = Take(size))
            std::memset(target, 0, size);
    }
    bool Failed() const { return fFailed; }
    uint8* Position() const { return fPosition; }

private:
    uint8* fPosition;
    uint8* fEnd;
    bool fFailed = false;
};

// The fields of a message and the R5 data length of each.
struct FieldList {
    std::vector<FlatField> fields;
    std::vector<size_t> dataLengths;
    size_t messageSize = 0;
};

status_t MeasureFields(FieldList& list, int32 depth);
status_t WriteFields(uint32 what, const FieldList& list, int32 depth, Output& output);

// Reads the fields of a flattened message (already validated) for writing.
status_t CollectFlatFields(const uint8* bytes, size_t size, uint32* what, FieldList& list)
{
    FlatMessageReader reader;
    status_t status = reader.SetTo(bytes, size);
    if (status != B_OK)
        return status;
    *what = reader.What();
    FlatField field;
    while ((status = reader.NextField(&field)) == B_OK)
        list.fields.push_back(field);
    return status == FlatMessageReader::kNoMoreFields ? B_OK : status;
}

void CollectOwnedFields(const MessageFields& fields, FieldList& list)
{
    list.fields.reserve(size_t(fields.CountFields()));
    for (int32 i = 0; i < fields.CountFields(); i++) {
        const MessageFields::Field& owned = fields.FieldAt(i);
        FlatField field;
        field.name = owned.Name();
        field.type = owned.Type();
        field.fixedSize = owned.IsFixedSize();
        field.count = uint32(owned.CountItems());
        field.itemSize = owned.ItemSize();
        field.layout
            = owned.IsFixedSize() ? FlatField::Layout::kFixed : FlatField::Layout::kOffsets;
        field.data = owned.Data().data();
        field.length = owned.Data().size();
        field.offsets = owned.Offsets().data();
        list.fields.push_back(field);
    }
}

// The size of the R5 form of a nested message.
status_t MeasureNested(const uint8* bytes, size_t size, int32 depth, size_t* result)
{
    if (depth > kMaxMessageNesting)
        return B_BAD_DATA;
    FieldList list;
    uint32 what;
    status_t status = CollectFlatFields(bytes, size, &what, list);
    if (status == B_OK)
        status = MeasureFields(list, depth);
    if (status == B_OK)
        *result = list.messageSize;
    return status;
}

status_t WriteNested(const uint8* bytes, size_t size, int32 depth, Output& output)
{
    if (depth > kMaxMessageNesting)
        return B_BAD_DATA;
    FieldList list;
    uint32 what;
    status_t status = CollectFlatFields(bytes, size, &what, list);
    if (status == B_OK)
        status = MeasureFields(list, depth);
    if (status == B_OK)
        status = WriteFields(what, list, depth, output);
    return status;
}

// The data length of a field in R5 form: the items themselves for a
// fixed-size field, else length word, item and padding for each item.
status_t MeasureData(const FlatField& field, int32 depth, size_t* length)
{
    if (WritesFixed(field)) {
        *length = field.length;
        return B_OK;
    }
    size_t total = 0;
    FlatItemIterator items(field);
    const uint8* item;
    uint32 size;
    while (items.Next(&item, &size)) {
        size_t itemLength = size;
        if (IsMessageField(field)) {
            status_t status = MeasureNested(item, size, depth + 1, &itemLength);
            if (status != B_OK)
                return status;
        }
        total += Padded(sizeof(uint32) + itemLength);
        if (total > kMaxMessageSize)
            return B_BAD_VALUE;
    }
    if (items.Failed())
        return B_BAD_DATA;
    *length = total;
    return B_OK;
}

size_t RecordSize(const FlatField& field, size_t dataLength)
{
    bool mini = UsesMini(field.count, dataLength);
    size_t numberSize = mini ? 1 : 4;
    size_t countSize = field.count == 1 ? 0 : numberSize;
    // flags, type, count, length, name length, name, data
    return 1 + 4 + countSize + numberSize + 1 + field.name.size() + dataLength;
}

status_t MeasureFields(FieldList& list, int32 depth)
{
    size_t total = kHeaderSize + 1;
    list.dataLengths.resize(list.fields.size());
    for (size_t i = 0; i < list.fields.size(); i++) {
        const FlatField& field = list.fields[i];
        if (field.name.size() > kMaxFieldNameLength || field.count == 0)
            return B_BAD_VALUE;
        status_t status = MeasureData(field, depth, &list.dataLengths[i]);
        if (status != B_OK)
            return status;
        total += RecordSize(field, list.dataLengths[i]);
        if (total > kMaxMessageSize)
            return B_BAD_VALUE;
    }
    list.messageSize = total;
    return B_OK;
}

void WriteHeader(uint32 what, size_t messageSize, Output& output)
{
    uint8* header = output.Take(kHeaderSize);
    if (header == nullptr)
        return;
    WriteUnaligned<uint32>(header, B_MESSAGE_FORMAT_R5);
    WriteUnaligned<uint32>(header + 8, uint32(messageSize));
    WriteUnaligned<uint32>(header + 12, what);
    header[16] = kR5MessageValid;
    uint32 checksum = R5MessageWriter::HeaderChecksum(header + 8, kHeaderSize - 8);
    WriteUnaligned<uint32>(header + 4, checksum);
}

status_t WriteItems(const FlatField& field, int32 depth, Output& output)
{
    if (WritesFixed(field) && !field.swapped) {
        output.Put(field.data, field.length);
        return output.Failed() ? B_BUFFER_OVERFLOW : B_OK;
    }
    FlatItemIterator items(field);
    const uint8* item;
    uint32 size;
    while (items.Next(&item, &size)) {
        uint8* lengthWord = nullptr;
        if (!WritesFixed(field))
            lengthWord = output.Take(sizeof(uint32));
        uint8* start = output.Position();
        if (IsMessageField(field)) {
            status_t status = WriteNested(item, size, depth + 1, output);
            if (status != B_OK)
                return status;
        } else {
            output.Put(item, size);
            if (field.swapped && !output.Failed())
                SwapItemBytes(field.type, start, size);
        }
        if (output.Failed())
            return B_BUFFER_OVERFLOW;
        size_t written = size_t(output.Position() - start);
        if (lengthWord != nullptr) {
            WriteUnaligned<uint32>(lengthWord, uint32(written));
            output.PutZeros(Padded(sizeof(uint32) + written) - sizeof(uint32) - written);
        }
    }
    return items.Failed() ? B_BAD_DATA : B_OK;
}

status_t WriteField(const FlatField& field, size_t dataLength, int32 depth, Output& output)
{
    bool mini = UsesMini(field.count, dataLength);
    uint8 flags = kR5FieldValid;
    if (mini)
        flags |= kR5FieldMini;
    if (WritesFixed(field))
        flags |= kR5FieldFixedSize;
    if (field.count == 1)
        flags |= kR5FieldSingleItem;

    output.PutByte(flags);
    output.PutUInt32(field.type);
    if (field.count != 1) {
        if (mini)
            output.PutByte(uint8(field.count));
        else
            output.PutUInt32(field.count);
    }
    if (mini)
        output.PutByte(uint8(dataLength));
    else
        output.PutUInt32(uint32(dataLength));
    output.PutByte(uint8(field.name.size()));
    output.Put(field.name.data(), field.name.size());

    uint8* dataStart = output.Position();
    status_t status = WriteItems(field, depth, output);
    if (status == B_OK && size_t(output.Position() - dataStart) != dataLength)
        status = B_ERROR;
    return status;
}

status_t WriteFields(uint32 what, const FieldList& list, int32 depth, Output& output)
{
    uint8* start = output.Position();
    WriteHeader(what, list.messageSize, output);
    for (size_t i = 0; i < list.fields.size(); i++) {
        status_t status = WriteField(list.fields[i], list.dataLengths[i], depth, output);
        if (status != B_OK)
            return status;
    }
    output.PutByte(0);
    if (output.Failed())
        return B_BUFFER_OVERFLOW;
    // The sizes measured beforehand and the bytes written must agree.
    return size_t(output.Position() - start) == list.messageSize ? B_OK : B_ERROR;
}

} // namespace

status_t R5MessageWriter::SizeOf(uint32, const MessageFields& fields, size_t* size)
{
    FieldList list;
    CollectOwnedFields(fields, list);
    status_t status = MeasureFields(list, 0);
    if (status == B_OK)
        *size = list.messageSize;
    return status;
}

status_t R5MessageWriter::Write(
    uint32 what, const MessageFields& fields, uint8* buffer, size_t size)
{
    FieldList list;
    CollectOwnedFields(fields, list);
    status_t status = MeasureFields(list, 0);
    if (status != B_OK)
        return status;
    if (size < list.messageSize)
        return B_BUFFER_OVERFLOW;
    Output output(buffer, list.messageSize);
    return WriteFields(what, list, 0, output);
}

uint32 R5MessageWriter::HeaderChecksum(const uint8* bytes, size_t length)
{
    uint32 sum = 0;
    size_t i = 0;
    for (; i + 4 <= length; i += 4)
        sum += SwapUInt32(ReadUnaligned<uint32>(bytes + i));
    uint32 rest = 0;
    for (; i < length; i++)
        rest = (rest << 8) + bytes[i];
    return sum + rest;
}

} // namespace BPrivate
