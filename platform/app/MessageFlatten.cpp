// Flattening and unflattening of BMessage. Writing always produces the BeOS
// R5 form (R5MessageWriter); reading accepts R5 in either byte order and
// Haiku's native form (FlatMessageReader), checking everything, so that a
// damaged or hostile buffer is refused with an error and leaves the message
// empty.

#include <Message.h>

#include <algorithm>
#include <vector>

#include <ByteOrder.h>
#include <DataIO.h>

#include "FlatMessageReader.h"
#include "MessageFields.h"
#include "R5MessageWriter.h"

using BPrivate::FlatField;
using BPrivate::FlatItemIterator;
using BPrivate::FlatMessageReader;
using BPrivate::MessageFields;

namespace {

// Reading a stream grows the buffer by at least this much, and never by more
// than has already arrived, so a header that claims a huge size costs memory
// only as the data really comes in.
constexpr size_t kStreamChunk = 64 * 1024;

void SwapFixedItems(type_code type, uint8* items, size_t length, uint32 itemSize)
{
    if (!is_type_swapped(type))
        return;
    for (size_t offset = 0; offset + itemSize <= length; offset += itemSize)
        BPrivate::SwapItemBytes(type, items + offset, itemSize);
}

// Copies the items of one flattened field into the message's storage: the
// only copy unflattening makes of the item data. A name seen before (which
// our writer never produces) adds its items to the earlier field.
status_t StoreField(MessageFields& fields, const FlatField& flat)
{
    const bool isMessage = flat.type == B_MESSAGE_TYPE;
    const bool fixed = flat.fixedSize && !isMessage;
    MessageFields::Field* field = fields.Find(flat.name);
    if (field == nullptr) {
        field = &fields.AddField(flat.name, flat.type, fixed, flat.itemSize);
    } else if (field->Type() != flat.type || field->IsFixedSize() != fixed
        || (fixed && field->ItemSize() != flat.itemSize)) {
        return B_BAD_DATA;
    }

    if (fixed) {
        uint8* stored = field->AppendFixedItems(flat.data, flat.length);
        if (stored == nullptr)
            return B_NO_MEMORY;
        if (flat.swapped)
            SwapFixedItems(flat.type, stored, flat.length, flat.itemSize);
        return B_OK;
    }

    field->Reserve(flat.count, flat.length);
    FlatItemIterator items(flat);
    const uint8* item;
    uint32 size;
    while (items.Next(&item, &size)) {
        // Nested messages are kept as they are, in whatever form they came,
        // once they are known to be sound.
        if (isMessage && FlatMessageReader::Validate(item, size, 1) != B_OK)
            return B_BAD_DATA;
        uint8* stored = field->AppendItem(item, size);
        if (stored == nullptr)
            return B_NO_MEMORY;
        if (flat.swapped && !isMessage)
            BPrivate::SwapItemBytes(flat.type, stored, size);
    }
    return items.Failed() ? B_BAD_DATA : B_OK;
}

status_t ReadFields(const void* buffer, size_t size, uint32* what, MessageFields& fields)
{
    FlatMessageReader reader;
    status_t status = reader.SetTo(buffer, size);
    if (status != B_OK)
        return status;
    FlatField flat;
    while ((status = reader.NextField(&flat)) == B_OK) {
        status = StoreField(fields, flat);
        if (status != B_OK)
            return status;
    }
    if (status != FlatMessageReader::kNoMoreFields)
        return status;
    *what = reader.What();
    return B_OK;
}

// Appends `size` bytes from the stream to `buffer`, growing it only as the
// data arrives.
status_t ReadStream(BDataIO* stream, size_t size, std::vector<uint8>& buffer)
{
    size_t end = buffer.size() + size;
    while (buffer.size() < end) {
        size_t start = buffer.size();
        size_t chunk = std::min(end - start, std::max(kStreamChunk, start));
        buffer.resize(start + chunk);
        size_t got = 0;
        status_t status = stream->ReadExactly(buffer.data() + start, chunk, &got);
        if (status != B_OK)
            return status == B_PARTIAL_READ ? B_BAD_DATA : status;
    }
    return B_OK;
}

} // namespace

ssize_t BMessage::FlattenedSize() const
{
    size_t size;
    status_t status = BPrivate::R5MessageWriter::SizeOf(what, *fFields, &size);
    return status == B_OK ? ssize_t(size) : ssize_t(status);
}

status_t BMessage::Flatten(char* buffer, ssize_t size) const
{
    if (buffer == nullptr || size < 0)
        return B_BAD_VALUE;
    return BPrivate::R5MessageWriter::Write(
        what, *fFields, reinterpret_cast<uint8*>(buffer), size_t(size));
}

status_t BMessage::Flatten(BDataIO* stream, ssize_t* size) const
{
    if (stream == nullptr)
        return B_BAD_VALUE;
    ssize_t flattenedSize = FlattenedSize();
    if (flattenedSize < 0)
        return status_t(flattenedSize);
    std::vector<uint8> bytes(static_cast<size_t>(flattenedSize));
    status_t status = Flatten(reinterpret_cast<char*>(bytes.data()), flattenedSize);
    if (status == B_OK)
        status = stream->WriteExactly(bytes.data(), bytes.size());
    if (status == B_OK && size != nullptr)
        *size = flattenedSize;
    return status;
}

status_t BMessage::Unflatten(const void* flatBuffer, size_t size)
{
    MessageFields fields;
    uint32 command = 0;
    status_t status
        = flatBuffer == nullptr ? B_BAD_VALUE : ReadFields(flatBuffer, size, &command, fields);
    if (status != B_OK) {
        what = 0;
        fFields->Clear();
        return status;
    }
    what = command;
    fFields->Swap(fields);
    return B_OK;
}

status_t BMessage::Unflatten(const char* flatBuffer)
{
    if (flatBuffer == nullptr)
        return Unflatten(nullptr, 0);
    // Deliberate, as on BeOS: this form has no length, so it believes the
    // size the message's own header gives. Only the header is read before
    // that size is known.
    size_t headerSize;
    status_t status
        = FlatMessageReader::HeaderSizeFor(ReadUnaligned<uint32>(flatBuffer), &headerSize);
    size_t size = 0;
    if (status == B_OK)
        status = FlatMessageReader::ClaimedSize(flatBuffer, headerSize, &size);
    if (status != B_OK) {
        what = 0;
        fFields->Clear();
        return status;
    }
    return Unflatten(static_cast<const void*>(flatBuffer), size);
}

status_t BMessage::Unflatten(BDataIO* stream)
{
    std::vector<uint8> buffer;
    status_t status = stream == nullptr ? B_BAD_VALUE : ReadStream(stream, sizeof(uint32), buffer);
    size_t headerSize = 0;
    if (status == B_OK)
        status
            = FlatMessageReader::HeaderSizeFor(ReadUnaligned<uint32>(buffer.data()), &headerSize);
    if (status == B_OK)
        status = ReadStream(stream, headerSize - sizeof(uint32), buffer);
    size_t size = 0;
    if (status == B_OK)
        status = FlatMessageReader::ClaimedSize(buffer.data(), buffer.size(), &size);
    if (status == B_OK && size > buffer.size())
        status = ReadStream(stream, size - buffer.size(), buffer);
    if (status != B_OK) {
        what = 0;
        fFields->Clear();
        return status;
    }
    return Unflatten(static_cast<const void*>(buffer.data()), buffer.size());
}
