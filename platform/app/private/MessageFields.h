#pragma once

// The fields of a BMessage: an ordered list of named fields, each holding one
// or more items of one type.
//
// Storage: each field keeps its items in one contiguous buffer, back to back,
// exactly as the item bytes of a flattened message (so unflattening copies
// each item once, straight from the input, and Find... returns pointers into
// the buffer). A fixed-size field knows its item size; a variable-size field
// keeps the start offset of every item. Nested messages are variable items
// holding a complete flattened message, as BeOS stores them; the message
// code checks those bytes before they get here, so every stored nested
// message is known to be readable.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

// Names are limited to what the BeOS R5 flattened form can carry.
constexpr size_t kMaxFieldNameLength = 255;

// The item data of one field must fit the R5 form's 32-bit lengths (with room
// for the length words and padding of variable items).
constexpr size_t kMaxFieldDataSize = 0x70000000;

class MessageFields {
public:
    class Field {
    public:
        Field(std::string_view name, type_code type, bool fixedSize, uint32 itemSize);

        const std::string& Name() const { return fName; }
        type_code Type() const { return fType; }
        bool IsFixedSize() const { return fFixedSize; }
        // Bytes per item of a fixed-size field (0 for variable-size ones).
        uint32 ItemSize() const { return fItemSize; }
        int32 CountItems() const;

        // The bytes of item `index` (which must exist) and their number.
        const uint8* ItemAt(int32 index, uint32* size) const;
        uint8* ItemAt(int32 index, uint32* size);

        // All item bytes back to back, and, for variable-size fields, the
        // start of each item in them.
        const std::vector<uint8>& Data() const { return fData; }
        const std::vector<uint32>& Offsets() const { return fOffsets; }

        // Room for this many more items and bytes, so that unflattening
        // allocates once per field.
        void Reserve(size_t items, size_t bytes);

        // Appends one item; returns where it was stored (nullptr when the
        // field would grow past kMaxFieldDataSize).
        uint8* AppendItem(const void* bytes, uint32 size);
        // Appends whole items of a fixed-size field at once (size is a
        // multiple of the item size).
        uint8* AppendFixedItems(const void* bytes, size_t size);
        status_t ReplaceItem(int32 index, const void* bytes, uint32 size);
        void RemoveItem(int32 index);

    private:
        friend class MessageFields;

        std::string fName;
        type_code fType;
        bool fFixedSize;
        uint32 fItemSize;
        std::vector<uint8> fData;
        std::vector<uint32> fOffsets;
    };

    MessageFields() = default;
    MessageFields(const MessageFields& other);
    MessageFields& operator=(const MessageFields& other);
    ~MessageFields();

    int32 CountFields() const { return int32(fFields.size()); }
    bool IsEmpty() const { return fFields.empty(); }
    const Field& FieldAt(int32 index) const { return *fFields[size_t(index)]; }
    Field& FieldAt(int32 index) { return *fFields[size_t(index)]; }

    // The index of the named field, or -1.
    int32 IndexOf(std::string_view name) const;
    const Field* Find(std::string_view name) const;
    Field* Find(std::string_view name);

    // Adds a new, empty field at the end. The name must not be in use.
    Field& AddField(std::string_view name, type_code type, bool fixedSize, uint32 itemSize);
    void RemoveField(int32 index);
    void RenameField(int32 index, std::string_view newName);
    void Clear();

    void Swap(MessageFields& other);

private:
    void RebuildIndex();

    std::vector<std::unique_ptr<Field>> fFields;
    // Name -> index into fFields. The keys view the fields' own names, which
    // stay put because each field lives in its own allocation.
    std::unordered_map<std::string_view, int32> fIndex;
};

} // namespace BPrivate
