#pragma once

// Reading flattened messages without trusting them. FlatMessageReader walks
// a flattened message field by field in any form we accept (BeOS R5 in
// either byte order, including the compact "mini" fields, and Haiku's
// native form), checking every length against the bytes it was given. It
// never copies item data: it hands out views into the input, which the
// unflattening code copies once and the R5 writer transcodes.

#include <string_view>

#include <SupportDefs.h>

namespace BPrivate {

// How deep messages may nest inside each other. Deeper input is rejected, so
// that no reader, writer or printer recurses without bound.
constexpr int32 kMaxMessageNesting = 64;

// R5 header flag and field flag bits.
enum : uint8 {
    kR5MessageValid = 0x01,
    kR5MessageHasTarget = 0x02,
    kR5MessageHasReplyInfo = 0x04,
    kR5FieldValid = 0x01,
    kR5FieldMini = 0x02,
    kR5FieldFixedSize = 0x04,
    kR5FieldSingleItem = 0x08,
};

// Size of the Haiku header and of one Haiku field header.
constexpr size_t kHaikuHeaderSize = 68;
constexpr size_t kHaikuFieldHeaderSize = 24;

// One field as found in a flattened message (or, for writing, one field of a
// BMessage presented the same way).
struct FlatField {
    // How the item area is laid out.
    enum class Layout {
        kFixed, // items of itemSize bytes back to back
        kR5Records, // per item: int32 length, bytes, padding to 8
        kHaikuRecords, // per item: uint32 length, bytes
        kOffsets, // items back to back, starting at offsets[i]
    };

    std::string_view name;
    type_code type = 0;
    bool fixedSize = false;
    uint32 count = 0;
    uint32 itemSize = 0;
    Layout layout = Layout::kFixed;
    // Numbers (lengths and item data) are in the other byte order.
    bool swapped = false;
    const uint8* data = nullptr;
    size_t length = 0;
    const uint32* offsets = nullptr;
};

// Swaps one item of the given type that was written in the other byte
// order, as BeOS does: numbers word by word, strings, raw data and nested
// messages not at all. Pointer and size types take the width of the item (4
// bytes on the 32-bit machines that wrote such files, 8 on 64-bit ones).
void SwapItemBytes(type_code type, uint8* item, size_t size);

// Walks the items of a field in order.
class FlatItemIterator {
public:
    explicit FlatItemIterator(const FlatField& field);

    // The next item, or false after the last one or when the item area is
    // malformed (then Failed() is true).
    bool Next(const uint8** item, uint32* size);
    bool Failed() const { return fFailed; }
    // All items were read and they used the whole item area.
    bool Complete() const
    {
        return !fFailed && fIndex == fField.count && fPosition == fField.length;
    }

private:
    const FlatField& fField;
    uint32 fIndex = 0;
    size_t fPosition = 0;
    bool fFailed = false;
};

class FlatMessageReader {
public:
    enum class Format { kR5, kR5Swapped, kHaiku };

    // Returned by NextField after the last field.
    static constexpr status_t kNoMoreFields = 1;

    // Reads the header. `size` bytes are available; the message may be
    // shorter (MessageSize() says how long it is) but never longer.
    // Unknown forms give B_NOT_A_MESSAGE, damaged ones B_BAD_DATA.
    status_t SetTo(const void* bytes, size_t size);

    Format GetFormat() const { return fFormat; }
    bool IsSwapped() const { return fFormat == Format::kR5Swapped; }
    uint32 What() const { return fWhat; }
    size_t MessageSize() const { return fMessageSize; }

    // The next field, checked: its name, counts and item lengths lie inside
    // the message. Nested messages are not looked into (see Validate).
    status_t NextField(FlatField* field);

    // Checks a whole flattened message, every nested message included, at
    // most kMaxMessageNesting - depth levels deep.
    static status_t Validate(const void* bytes, size_t size, int32 depth);

    // How many bytes the message at `bytes` claims to occupy, read from its
    // header alone (the first 16 bytes of an R5 message, the first 68 of a
    // Haiku one). For callers that trust the header, or read a stream.
    static status_t ClaimedSize(const void* header, size_t available, size_t* size);
    // How many header bytes ClaimedSize needs for a message with this magic.
    static status_t HeaderSizeFor(uint32 magic, size_t* size);

private:
    uint32 Read32(size_t position) const;
    uint16 Read16(size_t position) const;
    status_t SetToR5();
    status_t SetToHaiku();
    status_t NextR5Field(FlatField* field);
    status_t NextHaikuField(FlatField* field);
    static status_t CheckItems(const FlatField& field);

    const uint8* fBytes = nullptr;
    size_t fAvailable = 0;
    size_t fMessageSize = 0;
    Format fFormat = Format::kR5;
    uint32 fWhat = 0;
    size_t fPosition = 0;
    bool fDone = false;
    // Haiku form: the field headers and the data area.
    uint32 fFieldCount = 0;
    uint32 fFieldIndex = 0;
    size_t fDataStart = 0;
    size_t fDataSize = 0;
};

} // namespace BPrivate
