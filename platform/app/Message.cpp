// BMessage: construction, copying, field statistics and the generic data
// access (AddData, FindData, ReplaceData, RemoveData) that every typed
// accessor (MessageValues.cpp) goes through.

#include <Message.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include <MessageDelivery.h>

#include "FlatMessageReader.h"
#include "MessageFields.h"

using BPrivate::MessageFields;

namespace {

// The most items AddData reserves room for ahead of time.
constexpr size_t kMaxReservedItems = 1024;

// Checks a field name: present and short enough for the R5 form.
status_t CheckName(const char* name)
{
    if (name == nullptr || std::strlen(name) > BPrivate::kMaxFieldNameLength)
        return B_BAD_VALUE;
    return B_OK;
}

// Nested messages must be readable, and not too deep, before they are
// stored: everything that later reads them (FindMessage, Flatten,
// PrintToStream) can then rely on them.
status_t CheckItem(type_code type, const void* data, ssize_t numBytes)
{
    if (data == nullptr || numBytes <= 0)
        return B_BAD_VALUE;
    if (size_t(numBytes) > BPrivate::kMaxFieldDataSize)
        return B_NO_MEMORY;
    if (type == B_MESSAGE_TYPE
        && BPrivate::FlatMessageReader::Validate(data, size_t(numBytes), 1) != B_OK)
        return B_BAD_VALUE;
    return B_OK;
}

bool TypeMatches(type_code requested, type_code actual)
{
    return requested == B_ANY_TYPE || requested == actual;
}

} // namespace

// #pragma mark - Construction

BMessage::BMessage()
    : what(0)
    , fFields(std::make_unique<MessageFields>())
{
}

BMessage::BMessage(uint32 command)
    : what(command)
    , fFields(std::make_unique<MessageFields>())
{
}

BMessage::BMessage(const BMessage& other)
    : what(other.what)
    , fFields(std::make_unique<MessageFields>(*other.fFields))
{
}

BMessage::~BMessage() = default;

BMessage& BMessage::operator=(const BMessage& other)
{
    if (this != &other) {
        what = other.what;
        *fFields = *other.fFields;
        // A copy carries no routing: it was never sent.
        fDelivery.reset();
    }
    return *this;
}

// #pragma mark - Statistics

status_t BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound,
    type_code* typeFound, int32* countFound) const
{
    if (index < 0)
        return B_BAD_INDEX;
    // The index counts the fields of the requested type (all fields for
    // B_ANY_TYPE), in field order.
    int32 seen = 0;
    for (int32 i = 0; i < fFields->CountFields(); i++) {
        const MessageFields::Field& field = fFields->FieldAt(i);
        if (!TypeMatches(typeRequested, field.Type()))
            continue;
        if (seen++ < index)
            continue;
        if (nameFound != nullptr)
            *nameFound = const_cast<char*>(field.Name().c_str());
        if (typeFound != nullptr)
            *typeFound = field.Type();
        if (countFound != nullptr)
            *countFound = field.CountItems();
        return B_OK;
    }
    return seen == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const
{
    return GetInfo(name, typeFound, countFound, nullptr);
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const
{
    return GetInfo(name, typeFound, nullptr, fixedSize);
}

status_t BMessage::GetInfo(
    const char* name, type_code* typeFound, int32* countFound, bool* fixedSize) const
{
    if (name == nullptr)
        return B_BAD_VALUE;
    const MessageFields::Field* field = fFields->Find(name);
    if (field == nullptr) {
        // Deliberate, as on BeOS: a missing name reports a count of 0, so a
        // caller that loops over the count without checking the result does
        // nothing.
        if (countFound != nullptr)
            *countFound = 0;
        return B_NAME_NOT_FOUND;
    }
    if (typeFound != nullptr)
        *typeFound = field->Type();
    if (countFound != nullptr)
        *countFound = field->CountItems();
    if (fixedSize != nullptr)
        *fixedSize = field->IsFixedSize();
    return B_OK;
}

int32 BMessage::CountNames(type_code type) const
{
    int32 count = 0;
    for (int32 i = 0; i < fFields->CountFields(); i++) {
        if (TypeMatches(type, fFields->FieldAt(i).Type()))
            count++;
    }
    return count;
}

bool BMessage::IsEmpty() const
{
    return fFields->IsEmpty();
}

bool BMessage::IsSystem() const
{
    // System message codes are '_' followed by three capital letters.
    auto letter = [this](int shift) { return std::isupper(int((what >> shift) & 0xFF)) != 0; };
    return ((what >> 24) & 0xFF) == '_' && letter(16) && letter(8) && letter(0);
}

status_t BMessage::Rename(const char* oldEntry, const char* newEntry)
{
    if (oldEntry == nullptr || CheckName(newEntry) != B_OK)
        return B_BAD_VALUE;
    int32 index = fFields->IndexOf(oldEntry);
    if (index < 0)
        return B_NAME_NOT_FOUND;
    int32 existing = fFields->IndexOf(newEntry);
    if (existing == index)
        return B_OK;
    // Two fields of one name could no longer be told apart.
    if (existing >= 0)
        return B_NAME_IN_USE;
    fFields->RenameField(index, newEntry);
    return B_OK;
}

// #pragma mark - Generic data access

status_t BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
    bool isFixedSize, int32 count)
{
    status_t status = CheckName(name);
    if (status == B_OK)
        status = CheckItem(type, data, numBytes);
    if (status != B_OK)
        return status;

    MessageFields::Field* field = fFields->Find(name);
    bool created = false;
    if (field == nullptr) {
        // Nested messages differ in size; their field is never fixed-size.
        bool fixed = isFixedSize && type != B_MESSAGE_TYPE;
        field = &fFields->AddField(name, type, fixed, uint32(numBytes));
        // The count is only a hint; a wild one must not claim much memory.
        if (count > 1) {
            size_t items = std::min<size_t>(size_t(count), kMaxReservedItems);
            field->Reserve(items, items * size_t(numBytes));
        }
        created = true;
    } else if (field->Type() != type) {
        return B_BAD_TYPE;
    } else if (field->IsFixedSize() && uint32(numBytes) != field->ItemSize()) {
        return B_BAD_VALUE;
    }

    if (field->AppendItem(data, uint32(numBytes)) == nullptr) {
        if (created)
            fFields->RemoveField(fFields->CountFields() - 1);
        return B_NO_MEMORY;
    }
    return B_OK;
}

status_t BMessage::FindData(
    const char* name, type_code type, const void** data, ssize_t* numBytes) const
{
    return FindData(name, type, 0, data, numBytes);
}

status_t BMessage::FindData(
    const char* name, type_code type, int32 index, const void** data, ssize_t* numBytes) const
{
    if (name == nullptr || data == nullptr)
        return B_BAD_VALUE;
    const MessageFields::Field* field = fFields->Find(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (!TypeMatches(type, field->Type()))
        return B_BAD_TYPE;
    if (index < 0 || index >= field->CountItems())
        return B_BAD_INDEX;
    uint32 size;
    *data = field->ItemAt(index, &size);
    if (numBytes != nullptr)
        *numBytes = ssize_t(size);
    return B_OK;
}

status_t BMessage::ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes)
{
    return ReplaceData(name, type, 0, data, numBytes);
}

status_t BMessage::ReplaceData(
    const char* name, type_code type, int32 index, const void* data, ssize_t numBytes)
{
    if (name == nullptr)
        return B_BAD_VALUE;
    MessageFields::Field* field = fFields->Find(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (!TypeMatches(type, field->Type()))
        return B_BAD_TYPE;
    if (index < 0 || index >= field->CountItems())
        return B_BAD_INDEX;
    status_t status = CheckItem(field->Type(), data, numBytes);
    if (status != B_OK)
        return status;
    if (field->IsFixedSize() && uint32(numBytes) != field->ItemSize())
        return B_BAD_VALUE;
    return field->ReplaceItem(index, data, uint32(numBytes));
}

status_t BMessage::RemoveData(const char* name, int32 index)
{
    if (name == nullptr)
        return B_BAD_VALUE;
    int32 fieldIndex = fFields->IndexOf(name);
    if (fieldIndex < 0)
        return B_NAME_NOT_FOUND;
    MessageFields::Field& field = fFields->FieldAt(fieldIndex);
    if (index < 0 || index >= field.CountItems())
        return B_BAD_INDEX;
    // A field without items is gone.
    if (field.CountItems() == 1)
        fFields->RemoveField(fieldIndex);
    else
        field.RemoveItem(index);
    return B_OK;
}

status_t BMessage::RemoveName(const char* name)
{
    if (name == nullptr)
        return B_BAD_VALUE;
    int32 index = fFields->IndexOf(name);
    if (index < 0)
        return B_NAME_NOT_FOUND;
    fFields->RemoveField(index);
    return B_OK;
}

status_t BMessage::MakeEmpty()
{
    fFields->Clear();
    return B_OK;
}

bool BMessage::HasData(const char* name, type_code type, int32 index) const
{
    const void* data;
    ssize_t size;
    return FindData(name, type, index, &data, &size) == B_OK;
}
