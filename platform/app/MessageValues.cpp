// The typed accessors of BMessage (AddInt32, FindString, ReplaceRect,
// HasBool...), all expressed through the generic AddData, FindData and
// ReplaceData of Message.cpp, and the layouts of the items they store. The
// file is long only because the BeOS API has one short function per type and
// operation.

#include <Message.h>

#include <cstring>
#include <vector>

#include <ByteOrder.h>
#include <Messenger.h>

#include "MessageFields.h"

namespace {

// Item layouts of the types with a fixed binary form.
struct MessengerItem {
    int32 team;
    int32 port;
    int32 token;
};
static_assert(sizeof(MessengerItem) == 12);

// An entry_ref item: device (int32), directory (int64), then the leaf name
// with its NUL when there is one.
constexpr size_t kRefHeaderSize = 12;

std::vector<uint8> FlattenRef(const entry_ref& ref, status_t* status)
{
    std::vector<uint8> bytes;
    // The item holds the device in 32 bits; a device number that does not
    // survive that is refused rather than silently changed.
    int32 device = int32(ref.device);
    if (dev_t(int64(device)) != ref.device) {
        *status = B_BAD_VALUE;
        return bytes;
    }
    size_t nameLength = ref.name != nullptr ? std::strlen(ref.name) + 1 : 0;
    bytes.resize(kRefHeaderSize + nameLength);
    WriteUnaligned<int32>(bytes.data(), device);
    WriteUnaligned<int64>(bytes.data() + 4, int64(ref.directory));
    if (nameLength != 0)
        std::memcpy(bytes.data() + kRefHeaderSize, ref.name, nameLength);
    *status = B_OK;
    return bytes;
}

status_t UnflattenRef(const uint8* bytes, size_t size, entry_ref* ref)
{
    if (size < kRefHeaderSize)
        return B_BAD_DATA;
    const char* name = nullptr;
    if (size > kRefHeaderSize) {
        if (bytes[size - 1] != '\0')
            return B_BAD_DATA;
        name = reinterpret_cast<const char*>(bytes + kRefHeaderSize);
    }
    entry_ref result;
    status_t status = result.set_name(name);
    if (status != B_OK)
        return status;
    result.device = dev_t(int64(ReadUnaligned<int32>(bytes)));
    result.directory = ino_t(ReadUnaligned<int64>(bytes + 4));
    *ref = result;
    return B_OK;
}

std::vector<uint8> FlattenMessage(const BMessage& message, status_t* status)
{
    std::vector<uint8> bytes;
    ssize_t size = message.FlattenedSize();
    if (size < 0) {
        *status = status_t(size);
        return bytes;
    }
    bytes.resize(size_t(size));
    *status = message.Flatten(reinterpret_cast<char*>(bytes.data()), size);
    return bytes;
}

// Fixed-size values: the item must have exactly the value's size.
template <typename T>
status_t FindValue(const BMessage& message, const char* name, type_code type, int32 index, T* value)
{
    if (value == nullptr)
        return B_BAD_VALUE;
    const void* data;
    ssize_t size;
    status_t status = message.FindData(name, type, index, &data, &size);
    if (status != B_OK)
        return status;
    if (size != ssize_t(sizeof(T)))
        return B_BAD_DATA;
    std::memcpy(value, data, sizeof(T));
    return B_OK;
}

template <typename T>
bool HasValue(const BMessage& message, const char* name, type_code type, int32 index)
{
    T value;
    return FindValue(message, name, type, index, &value) == B_OK;
}

} // namespace

// #pragma mark - Adding typed values

status_t BMessage::AddRect(const char* name, BRect rect)
{
    const float values[4] = { rect.left, rect.top, rect.right, rect.bottom };
    return AddData(name, B_RECT_TYPE, values, sizeof(values), true);
}

status_t BMessage::AddPoint(const char* name, BPoint point)
{
    const float values[2] = { point.x, point.y };
    return AddData(name, B_POINT_TYPE, values, sizeof(values), true);
}

status_t BMessage::AddString(const char* name, const char* string)
{
    if (string == nullptr)
        return B_BAD_VALUE;
    return AddData(name, B_STRING_TYPE, string, ssize_t(std::strlen(string) + 1), false);
}

status_t BMessage::AddString(const char* name, const std::string& string)
{
    return AddData(name, B_STRING_TYPE, string.c_str(), ssize_t(string.size() + 1), false);
}

status_t BMessage::AddInt8(const char* name, int8 value)
{
    return AddData(name, B_INT8_TYPE, &value, sizeof(value));
}

status_t BMessage::AddUInt8(const char* name, uint8 value)
{
    return AddData(name, B_UINT8_TYPE, &value, sizeof(value));
}

status_t BMessage::AddInt16(const char* name, int16 value)
{
    return AddData(name, B_INT16_TYPE, &value, sizeof(value));
}

status_t BMessage::AddUInt16(const char* name, uint16 value)
{
    return AddData(name, B_UINT16_TYPE, &value, sizeof(value));
}

status_t BMessage::AddInt32(const char* name, int32 value)
{
    return AddData(name, B_INT32_TYPE, &value, sizeof(value));
}

status_t BMessage::AddUInt32(const char* name, uint32 value)
{
    return AddData(name, B_UINT32_TYPE, &value, sizeof(value));
}

status_t BMessage::AddInt64(const char* name, int64 value)
{
    return AddData(name, B_INT64_TYPE, &value, sizeof(value));
}

status_t BMessage::AddUInt64(const char* name, uint64 value)
{
    return AddData(name, B_UINT64_TYPE, &value, sizeof(value));
}

status_t BMessage::AddBool(const char* name, bool value)
{
    uint8 byte = value ? 1 : 0;
    return AddData(name, B_BOOL_TYPE, &byte, sizeof(byte));
}

status_t BMessage::AddFloat(const char* name, float value)
{
    return AddData(name, B_FLOAT_TYPE, &value, sizeof(value));
}

status_t BMessage::AddDouble(const char* name, double value)
{
    return AddData(name, B_DOUBLE_TYPE, &value, sizeof(value));
}

status_t BMessage::AddPointer(const char* name, const void* pointer)
{
    uint64 value = uint64(reinterpret_cast<uintptr_t>(pointer));
    return AddData(name, B_POINTER_TYPE, &value, sizeof(value));
}

status_t BMessage::AddMessenger(const char* name, BMessenger messenger)
{
    MessengerItem item = { messenger.Team(), messenger.Port(), messenger.Token() };
    return AddData(name, B_MESSENGER_TYPE, &item, sizeof(item));
}

status_t BMessage::AddRef(const char* name, const entry_ref* ref)
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    status_t status;
    std::vector<uint8> bytes = FlattenRef(*ref, &status);
    if (status != B_OK)
        return status;
    return AddData(name, B_REF_TYPE, bytes.data(), ssize_t(bytes.size()), false);
}

status_t BMessage::AddMessage(const char* name, const BMessage* message)
{
    if (message == nullptr)
        return B_BAD_VALUE;
    status_t status;
    std::vector<uint8> bytes = FlattenMessage(*message, &status);
    if (status != B_OK)
        return status;
    return AddData(name, B_MESSAGE_TYPE, bytes.data(), ssize_t(bytes.size()), false);
}

// #pragma mark - Finding typed values

status_t BMessage::FindRect(const char* name, BRect* rect) const
{
    return FindRect(name, 0, rect);
}

status_t BMessage::FindRect(const char* name, int32 index, BRect* rect) const
{
    if (rect == nullptr)
        return B_BAD_VALUE;
    float values[4];
    status_t status = FindValue(*this, name, B_RECT_TYPE, index, &values);
    if (status == B_OK)
        rect->Set(values[0], values[1], values[2], values[3]);
    return status;
}

status_t BMessage::FindPoint(const char* name, BPoint* point) const
{
    return FindPoint(name, 0, point);
}

status_t BMessage::FindPoint(const char* name, int32 index, BPoint* point) const
{
    if (point == nullptr)
        return B_BAD_VALUE;
    float values[2];
    status_t status = FindValue(*this, name, B_POINT_TYPE, index, &values);
    if (status == B_OK)
        point->Set(values[0], values[1]);
    return status;
}

status_t BMessage::FindString(const char* name, const char** string) const
{
    return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, const char** string) const
{
    if (string == nullptr)
        return B_BAD_VALUE;
    const void* data;
    ssize_t size;
    status_t status = FindData(name, B_STRING_TYPE, index, &data, &size);
    if (status != B_OK)
        return status;
    // Unlike BeOS, the string is checked for its terminating NUL, so that a
    // damaged message cannot make the caller read past the item.
    if (size < 1 || static_cast<const char*>(data)[size - 1] != '\0')
        return B_BAD_DATA;
    *string = static_cast<const char*>(data);
    return B_OK;
}

status_t BMessage::FindString(const char* name, std::string* string) const
{
    return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, std::string* string) const
{
    if (string == nullptr)
        return B_BAD_VALUE;
    const char* text;
    status_t status = FindString(name, index, &text);
    if (status == B_OK)
        string->assign(text);
    return status;
}

status_t BMessage::FindInt8(const char* name, int8* value) const
{
    return FindValue(*this, name, B_INT8_TYPE, 0, value);
}

status_t BMessage::FindInt8(const char* name, int32 index, int8* value) const
{
    return FindValue(*this, name, B_INT8_TYPE, index, value);
}

status_t BMessage::FindUInt8(const char* name, uint8* value) const
{
    return FindValue(*this, name, B_UINT8_TYPE, 0, value);
}

status_t BMessage::FindUInt8(const char* name, int32 index, uint8* value) const
{
    return FindValue(*this, name, B_UINT8_TYPE, index, value);
}

status_t BMessage::FindInt16(const char* name, int16* value) const
{
    return FindValue(*this, name, B_INT16_TYPE, 0, value);
}

status_t BMessage::FindInt16(const char* name, int32 index, int16* value) const
{
    return FindValue(*this, name, B_INT16_TYPE, index, value);
}

status_t BMessage::FindUInt16(const char* name, uint16* value) const
{
    return FindValue(*this, name, B_UINT16_TYPE, 0, value);
}

status_t BMessage::FindUInt16(const char* name, int32 index, uint16* value) const
{
    return FindValue(*this, name, B_UINT16_TYPE, index, value);
}

status_t BMessage::FindInt32(const char* name, int32* value) const
{
    return FindValue(*this, name, B_INT32_TYPE, 0, value);
}

status_t BMessage::FindInt32(const char* name, int32 index, int32* value) const
{
    return FindValue(*this, name, B_INT32_TYPE, index, value);
}

status_t BMessage::FindUInt32(const char* name, uint32* value) const
{
    return FindValue(*this, name, B_UINT32_TYPE, 0, value);
}

status_t BMessage::FindUInt32(const char* name, int32 index, uint32* value) const
{
    return FindValue(*this, name, B_UINT32_TYPE, index, value);
}

status_t BMessage::FindInt64(const char* name, int64* value) const
{
    return FindValue(*this, name, B_INT64_TYPE, 0, value);
}

status_t BMessage::FindInt64(const char* name, int32 index, int64* value) const
{
    return FindValue(*this, name, B_INT64_TYPE, index, value);
}

status_t BMessage::FindUInt64(const char* name, uint64* value) const
{
    return FindValue(*this, name, B_UINT64_TYPE, 0, value);
}

status_t BMessage::FindUInt64(const char* name, int32 index, uint64* value) const
{
    return FindValue(*this, name, B_UINT64_TYPE, index, value);
}

status_t BMessage::FindBool(const char* name, bool* value) const
{
    return FindBool(name, 0, value);
}

status_t BMessage::FindBool(const char* name, int32 index, bool* value) const
{
    if (value == nullptr)
        return B_BAD_VALUE;
    uint8 byte;
    status_t status = FindValue(*this, name, B_BOOL_TYPE, index, &byte);
    if (status == B_OK)
        *value = byte != 0;
    return status;
}

status_t BMessage::FindFloat(const char* name, float* value) const
{
    return FindValue(*this, name, B_FLOAT_TYPE, 0, value);
}

status_t BMessage::FindFloat(const char* name, int32 index, float* value) const
{
    return FindValue(*this, name, B_FLOAT_TYPE, index, value);
}

status_t BMessage::FindDouble(const char* name, double* value) const
{
    return FindValue(*this, name, B_DOUBLE_TYPE, 0, value);
}

status_t BMessage::FindDouble(const char* name, int32 index, double* value) const
{
    return FindValue(*this, name, B_DOUBLE_TYPE, index, value);
}

status_t BMessage::FindPointer(const char* name, void** pointer) const
{
    return FindPointer(name, 0, pointer);
}

status_t BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
    if (pointer == nullptr)
        return B_BAD_VALUE;
    uint64 value;
    status_t status = FindValue(*this, name, B_POINTER_TYPE, index, &value);
    if (status == B_OK)
        *pointer = reinterpret_cast<void*>(uintptr_t(value));
    return status;
}

status_t BMessage::FindMessenger(const char* name, BMessenger* messenger) const
{
    return FindMessenger(name, 0, messenger);
}

status_t BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const
{
    if (messenger == nullptr)
        return B_BAD_VALUE;
    MessengerItem item;
    status_t status = FindValue(*this, name, B_MESSENGER_TYPE, index, &item);
    if (status == B_OK)
        messenger->SetTo(item.team, item.port, item.token);
    return status;
}

status_t BMessage::FindRef(const char* name, entry_ref* ref) const
{
    return FindRef(name, 0, ref);
}

status_t BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    const void* data;
    ssize_t size;
    status_t status = FindData(name, B_REF_TYPE, index, &data, &size);
    if (status != B_OK)
        return status;
    return UnflattenRef(static_cast<const uint8*>(data), size_t(size), ref);
}

status_t BMessage::FindMessage(const char* name, BMessage* message) const
{
    return FindMessage(name, 0, message);
}

status_t BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
    if (message == nullptr)
        return B_BAD_VALUE;
    const void* data;
    ssize_t size;
    status_t status = FindData(name, B_MESSAGE_TYPE, index, &data, &size);
    if (status != B_OK)
        return status;
    // Read into a scratch message first, so that the output stays as it was
    // if anything fails.
    BMessage found;
    status = found.Unflatten(data, size_t(size));
    if (status != B_OK)
        return status;
    message->what = found.what;
    message->fFields->Swap(*found.fFields);
    return B_OK;
}

// #pragma mark - Replacing typed values

status_t BMessage::ReplaceRect(const char* name, BRect rect)
{
    return ReplaceRect(name, 0, rect);
}

status_t BMessage::ReplaceRect(const char* name, int32 index, BRect rect)
{
    const float values[4] = { rect.left, rect.top, rect.right, rect.bottom };
    return ReplaceData(name, B_RECT_TYPE, index, values, sizeof(values));
}

status_t BMessage::ReplacePoint(const char* name, BPoint point)
{
    return ReplacePoint(name, 0, point);
}

status_t BMessage::ReplacePoint(const char* name, int32 index, BPoint point)
{
    const float values[2] = { point.x, point.y };
    return ReplaceData(name, B_POINT_TYPE, index, values, sizeof(values));
}

status_t BMessage::ReplaceString(const char* name, const char* string)
{
    return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
    if (string == nullptr)
        return B_BAD_VALUE;
    return ReplaceData(name, B_STRING_TYPE, index, string, ssize_t(std::strlen(string) + 1));
}

status_t BMessage::ReplaceInt8(const char* name, int8 value)
{
    return ReplaceData(name, B_INT8_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceInt8(const char* name, int32 index, int8 value)
{
    return ReplaceData(name, B_INT8_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceUInt8(const char* name, uint8 value)
{
    return ReplaceData(name, B_UINT8_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceUInt8(const char* name, int32 index, uint8 value)
{
    return ReplaceData(name, B_UINT8_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceInt16(const char* name, int16 value)
{
    return ReplaceData(name, B_INT16_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceInt16(const char* name, int32 index, int16 value)
{
    return ReplaceData(name, B_INT16_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceUInt16(const char* name, uint16 value)
{
    return ReplaceData(name, B_UINT16_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceUInt16(const char* name, int32 index, uint16 value)
{
    return ReplaceData(name, B_UINT16_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceInt32(const char* name, int32 value)
{
    return ReplaceData(name, B_INT32_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceInt32(const char* name, int32 index, int32 value)
{
    return ReplaceData(name, B_INT32_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceUInt32(const char* name, uint32 value)
{
    return ReplaceData(name, B_UINT32_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceUInt32(const char* name, int32 index, uint32 value)
{
    return ReplaceData(name, B_UINT32_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceInt64(const char* name, int64 value)
{
    return ReplaceData(name, B_INT64_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceInt64(const char* name, int32 index, int64 value)
{
    return ReplaceData(name, B_INT64_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceUInt64(const char* name, uint64 value)
{
    return ReplaceData(name, B_UINT64_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceUInt64(const char* name, int32 index, uint64 value)
{
    return ReplaceData(name, B_UINT64_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceBool(const char* name, bool value)
{
    return ReplaceBool(name, 0, value);
}

status_t BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
    uint8 byte = value ? 1 : 0;
    return ReplaceData(name, B_BOOL_TYPE, index, &byte, sizeof(byte));
}

status_t BMessage::ReplaceFloat(const char* name, float value)
{
    return ReplaceData(name, B_FLOAT_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceFloat(const char* name, int32 index, float value)
{
    return ReplaceData(name, B_FLOAT_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceDouble(const char* name, double value)
{
    return ReplaceData(name, B_DOUBLE_TYPE, 0, &value, sizeof(value));
}

status_t BMessage::ReplaceDouble(const char* name, int32 index, double value)
{
    return ReplaceData(name, B_DOUBLE_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplacePointer(const char* name, const void* pointer)
{
    return ReplacePointer(name, 0, pointer);
}

status_t BMessage::ReplacePointer(const char* name, int32 index, const void* pointer)
{
    uint64 value = uint64(reinterpret_cast<uintptr_t>(pointer));
    return ReplaceData(name, B_POINTER_TYPE, index, &value, sizeof(value));
}

status_t BMessage::ReplaceMessenger(const char* name, BMessenger messenger)
{
    return ReplaceMessenger(name, 0, messenger);
}

status_t BMessage::ReplaceMessenger(const char* name, int32 index, BMessenger messenger)
{
    MessengerItem item = { messenger.Team(), messenger.Port(), messenger.Token() };
    return ReplaceData(name, B_MESSENGER_TYPE, index, &item, sizeof(item));
}

status_t BMessage::ReplaceRef(const char* name, const entry_ref* ref)
{
    return ReplaceRef(name, 0, ref);
}

status_t BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref)
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    status_t status;
    std::vector<uint8> bytes = FlattenRef(*ref, &status);
    if (status != B_OK)
        return status;
    return ReplaceData(name, B_REF_TYPE, index, bytes.data(), ssize_t(bytes.size()));
}

status_t BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
    return ReplaceMessage(name, 0, message);
}

status_t BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message)
{
    if (message == nullptr)
        return B_BAD_VALUE;
    status_t status;
    std::vector<uint8> bytes = FlattenMessage(*message, &status);
    if (status != B_OK)
        return status;
    return ReplaceData(name, B_MESSAGE_TYPE, index, bytes.data(), ssize_t(bytes.size()));
}

// #pragma mark - Presence tests

bool BMessage::HasRect(const char* name, int32 index) const
{
    return HasValue<float[4]>(*this, name, B_RECT_TYPE, index);
}

bool BMessage::HasPoint(const char* name, int32 index) const
{
    return HasValue<float[2]>(*this, name, B_POINT_TYPE, index);
}

bool BMessage::HasString(const char* name, int32 index) const
{
    const char* string;
    return FindString(name, index, &string) == B_OK;
}

bool BMessage::HasInt8(const char* name, int32 index) const
{
    return HasValue<int8>(*this, name, B_INT8_TYPE, index);
}

bool BMessage::HasUInt8(const char* name, int32 index) const
{
    return HasValue<uint8>(*this, name, B_UINT8_TYPE, index);
}

bool BMessage::HasInt16(const char* name, int32 index) const
{
    return HasValue<int16>(*this, name, B_INT16_TYPE, index);
}

bool BMessage::HasUInt16(const char* name, int32 index) const
{
    return HasValue<uint16>(*this, name, B_UINT16_TYPE, index);
}

bool BMessage::HasInt32(const char* name, int32 index) const
{
    return HasValue<int32>(*this, name, B_INT32_TYPE, index);
}

bool BMessage::HasUInt32(const char* name, int32 index) const
{
    return HasValue<uint32>(*this, name, B_UINT32_TYPE, index);
}

bool BMessage::HasInt64(const char* name, int32 index) const
{
    return HasValue<int64>(*this, name, B_INT64_TYPE, index);
}

bool BMessage::HasUInt64(const char* name, int32 index) const
{
    return HasValue<uint64>(*this, name, B_UINT64_TYPE, index);
}

bool BMessage::HasBool(const char* name, int32 index) const
{
    return HasValue<uint8>(*this, name, B_BOOL_TYPE, index);
}

bool BMessage::HasFloat(const char* name, int32 index) const
{
    return HasValue<float>(*this, name, B_FLOAT_TYPE, index);
}

bool BMessage::HasDouble(const char* name, int32 index) const
{
    return HasValue<double>(*this, name, B_DOUBLE_TYPE, index);
}

bool BMessage::HasPointer(const char* name, int32 index) const
{
    return HasValue<uint64>(*this, name, B_POINTER_TYPE, index);
}

bool BMessage::HasMessenger(const char* name, int32 index) const
{
    return HasValue<MessengerItem>(*this, name, B_MESSENGER_TYPE, index);
}

bool BMessage::HasRef(const char* name, int32 index) const
{
    return HasData(name, B_REF_TYPE, index);
}

bool BMessage::HasMessage(const char* name, int32 index) const
{
    return HasData(name, B_MESSAGE_TYPE, index);
}

// #pragma mark - Getters with defaults

const char* BMessage::GetString(const char* name, const char* defaultValue) const
{
    return GetString(name, 0, defaultValue);
}

const char* BMessage::GetString(const char* name, int32 index, const char* defaultValue) const
{
    const char* value;
    return FindString(name, index, &value) == B_OK ? value : defaultValue;
}

bool BMessage::GetBool(const char* name, bool defaultValue) const
{
    return GetBool(name, 0, defaultValue);
}

bool BMessage::GetBool(const char* name, int32 index, bool defaultValue) const
{
    bool value;
    return FindBool(name, index, &value) == B_OK ? value : defaultValue;
}

int32 BMessage::GetInt32(const char* name, int32 defaultValue) const
{
    return GetInt32(name, 0, defaultValue);
}

int32 BMessage::GetInt32(const char* name, int32 index, int32 defaultValue) const
{
    int32 value;
    return FindInt32(name, index, &value) == B_OK ? value : defaultValue;
}

int64 BMessage::GetInt64(const char* name, int64 defaultValue) const
{
    return GetInt64(name, 0, defaultValue);
}

int64 BMessage::GetInt64(const char* name, int32 index, int64 defaultValue) const
{
    int64 value;
    return FindInt64(name, index, &value) == B_OK ? value : defaultValue;
}
