#include "MessageFields.h"

#include <cstring>
#include <utility>

namespace BPrivate {

// #pragma mark - Field

MessageFields::Field::Field(std::string_view name, type_code type, bool fixedSize, uint32 itemSize)
    : fName(name)
    , fType(type)
    , fFixedSize(fixedSize)
    , fItemSize(fixedSize ? itemSize : 0)
{
}

int32 MessageFields::Field::CountItems() const
{
    if (fFixedSize)
        return fItemSize == 0 ? 0 : int32(fData.size() / fItemSize);
    return int32(fOffsets.size());
}

const uint8* MessageFields::Field::ItemAt(int32 index, uint32* size) const
{
    size_t start;
    size_t end;
    if (fFixedSize) {
        start = size_t(index) * fItemSize;
        end = start + fItemSize;
    } else {
        start = fOffsets[size_t(index)];
        end = size_t(index) + 1 < fOffsets.size() ? fOffsets[size_t(index) + 1] : fData.size();
    }
    if (size != nullptr)
        *size = uint32(end - start);
    return fData.data() + start;
}

uint8* MessageFields::Field::ItemAt(int32 index, uint32* size)
{
    return const_cast<uint8*>(std::as_const(*this).ItemAt(index, size));
}

void MessageFields::Field::Reserve(size_t items, size_t bytes)
{
    if (bytes > kMaxFieldDataSize - fData.size())
        return;
    fData.reserve(fData.size() + bytes);
    if (!fFixedSize && items <= bytes + 1)
        fOffsets.reserve(fOffsets.size() + items);
}

uint8* MessageFields::Field::AppendItem(const void* bytes, uint32 size)
{
    if (size > kMaxFieldDataSize - fData.size())
        return nullptr;
    size_t start = fData.size();
    if (!fFixedSize)
        fOffsets.push_back(uint32(start));
    const auto* source = static_cast<const uint8*>(bytes);
    fData.insert(fData.end(), source, source + size);
    return fData.data() + start;
}

uint8* MessageFields::Field::AppendFixedItems(const void* bytes, size_t size)
{
    if (size > kMaxFieldDataSize - fData.size())
        return nullptr;
    size_t start = fData.size();
    const auto* source = static_cast<const uint8*>(bytes);
    fData.insert(fData.end(), source, source + size);
    return fData.data() + start;
}

status_t MessageFields::Field::ReplaceItem(int32 index, const void* bytes, uint32 size)
{
    uint32 oldSize;
    uint8* item = ItemAt(index, &oldSize);
    if (oldSize == size) {
        std::memmove(item, bytes, size);
        return B_OK;
    }
    if (size > oldSize && size - oldSize > kMaxFieldDataSize - fData.size())
        return B_NO_MEMORY;

    // A variable-size item of another size: splice it in and move the
    // starts of the items behind it.
    size_t start = fOffsets[size_t(index)];
    const auto* source = static_cast<const uint8*>(bytes);
    std::vector<uint8> replacement(source, source + size);
    fData.erase(fData.begin() + ssize_t(start), fData.begin() + ssize_t(start + oldSize));
    fData.insert(fData.begin() + ssize_t(start), replacement.begin(), replacement.end());
    for (size_t i = size_t(index) + 1; i < fOffsets.size(); i++)
        fOffsets[i] = fOffsets[i] - oldSize + size;
    return B_OK;
}

void MessageFields::Field::RemoveItem(int32 index)
{
    uint32 size;
    const uint8* item = ItemAt(index, &size);
    size_t start = size_t(item - fData.data());
    fData.erase(fData.begin() + ssize_t(start), fData.begin() + ssize_t(start + size));
    if (!fFixedSize) {
        fOffsets.erase(fOffsets.begin() + index);
        for (size_t i = size_t(index); i < fOffsets.size(); i++)
            fOffsets[i] -= size;
    }
}

// #pragma mark - MessageFields

MessageFields::MessageFields(const MessageFields& other)
{
    *this = other;
}

MessageFields& MessageFields::operator=(const MessageFields& other)
{
    if (this == &other)
        return *this;
    std::vector<std::unique_ptr<Field>> copies;
    copies.reserve(other.fFields.size());
    for (const auto& field : other.fFields)
        copies.push_back(std::make_unique<Field>(*field));
    fFields = std::move(copies);
    RebuildIndex();
    return *this;
}

MessageFields::~MessageFields() = default;

int32 MessageFields::IndexOf(std::string_view name) const
{
    auto found = fIndex.find(name);
    return found == fIndex.end() ? -1 : found->second;
}

const MessageFields::Field* MessageFields::Find(std::string_view name) const
{
    int32 index = IndexOf(name);
    return index < 0 ? nullptr : fFields[size_t(index)].get();
}

MessageFields::Field* MessageFields::Find(std::string_view name)
{
    int32 index = IndexOf(name);
    return index < 0 ? nullptr : fFields[size_t(index)].get();
}

MessageFields::Field& MessageFields::AddField(
    std::string_view name, type_code type, bool fixedSize, uint32 itemSize)
{
    fFields.push_back(std::make_unique<Field>(name, type, fixedSize, itemSize));
    Field& field = *fFields.back();
    fIndex.emplace(field.fName, int32(fFields.size() - 1));
    return field;
}

void MessageFields::RemoveField(int32 index)
{
    fIndex.erase(fFields[size_t(index)]->fName);
    fFields.erase(fFields.begin() + index);
    for (auto& entry : fIndex) {
        if (entry.second > index)
            entry.second--;
    }
}

void MessageFields::RenameField(int32 index, std::string_view newName)
{
    Field& field = *fFields[size_t(index)];
    fIndex.erase(field.fName);
    field.fName = newName;
    fIndex.emplace(field.fName, index);
}

void MessageFields::Clear()
{
    fIndex.clear();
    fFields.clear();
}

void MessageFields::Swap(MessageFields& other)
{
    fFields.swap(other.fFields);
    fIndex.swap(other.fIndex);
}

void MessageFields::RebuildIndex()
{
    fIndex.clear();
    fIndex.reserve(fFields.size());
    for (size_t i = 0; i < fFields.size(); i++)
        fIndex.emplace(fFields[i]->fName, int32(i));
}

} // namespace BPrivate
