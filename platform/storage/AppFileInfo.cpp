#include <AppFileInfo.h>

#include <cstring>
#include <strings.h>

#include <ByteOrder.h>
#include <File.h>
#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>

namespace {

// The resource ids BeOS gives each item.
constexpr int32 kSignatureId = 1;
constexpr int32 kFlagsId = 1;
constexpr int32 kSupportedTypesId = 1;
constexpr int32 kVersionId = 1;
constexpr int32 kTypeId = 2;
constexpr int32 kIconId = 101;
constexpr size_t kVersionRecordSize = sizeof(version_info);

void DecodeVersion(const uint8* data, version_info* info)
{
    std::memcpy(info, data, kVersionRecordSize);
    uint32* numbers[]
        = { &info->major, &info->middle, &info->minor, &info->variety, &info->internal };
    for (uint32* number : numbers)
        *number = B_LENDIAN_TO_HOST_INT32(*number);
    // Files in the wild hold garbage here (notably in the system record):
    // the strings end inside their fields whatever the bytes say.
    info->short_info[sizeof(info->short_info) - 1] = '\0';
    info->long_info[sizeof(info->long_info) - 1] = '\0';
}

void EncodeVersion(const version_info& info, uint8* data)
{
    std::memset(data, 0, kVersionRecordSize);
    uint32 numbers[] = { info.major, info.middle, info.minor, info.variety, info.internal };
    for (size_t i = 0; i < 5; i++) {
        uint32 value = B_HOST_TO_LENDIAN_INT32(numbers[i]);
        std::memcpy(data + 4 * i, &value, 4);
    }
    // The bytes after each string's NUL stay zero, as in clean BeOS files.
    std::memcpy(data + 20, info.short_info, strnlen(info.short_info, sizeof(info.short_info) - 1));
    std::memcpy(data + 84, info.long_info, strnlen(info.long_info, sizeof(info.long_info) - 1));
}

} // namespace

BAppFileInfo::BAppFileInfo()
    : fWhere(B_USE_BOTH_LOCATIONS)
{
}

BAppFileInfo::BAppFileInfo(BFile* file)
    : BAppFileInfo()
{
    SetTo(file);
}

BAppFileInfo::~BAppFileInfo() = default;

status_t BAppFileInfo::SetTo(BFile* file)
{
    fResources.reset();
    status_t status = BNodeInfo::SetTo(file);
    if (status != B_OK)
        return status;
    // A file that holds no resource container (and is not empty or an ELF
    // file) cannot take resources: attributes alone are used then.
    auto resources = std::make_unique<BResources>(file, false);
    if (resources->InitCheck() == B_OK)
        fResources = std::move(resources);
    return B_OK;
}

void BAppFileInfo::SetInfoLocation(info_location location)
{
    fWhere = location;
}

bool BAppFileInfo::IsUsingAttributes() const
{
    return (fWhere & B_USE_ATTRIBUTES) != 0;
}

bool BAppFileInfo::IsUsingResources() const
{
    return (fWhere & B_USE_RESOURCES) != 0;
}

status_t BAppFileInfo::ReadItem(
    const char* name, type_code type, int32 id, std::vector<uint8>* data) const
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (IsUsingAttributes()) {
        attr_info info;
        if (Node()->GetAttrInfo(name, &info) == B_OK && info.type == type) {
            data->resize(size_t(info.size));
            ssize_t length = Node()->ReadAttr(name, type, 0, data->data(), data->size());
            if (length == ssize_t(data->size()))
                return B_OK;
        }
    }
    if (IsUsingResources() && fResources) {
        int32 foundId;
        size_t size;
        if (fResources->GetResourceInfo(type, name, &foundId, &size) && foundId == id) {
            const void* bytes = fResources->LoadResource(type, name, &size);
            if (bytes != nullptr) {
                const uint8* start = static_cast<const uint8*>(bytes);
                data->assign(start, start + size);
                return B_OK;
            }
        }
    }
    return B_ENTRY_NOT_FOUND;
}

// Writes to every location in use and reports the first failure. A
// resource write that fails (a running executable cannot be opened for
// writing on Linux) leaves the attribute written.
status_t BAppFileInfo::WriteItem(
    const char* name, type_code type, int32 id, const void* data, size_t size)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    status_t result = B_OK;
    if (IsUsingAttributes()) {
        ssize_t written = Node()->WriteAttr(name, type, 0, data, size);
        if (written < 0)
            result = status_t(written);
    }
    if (IsUsingResources()) {
        if (fResources) {
            status_t status = fResources->AddResource(type, id, data, size, name);
            if (status == B_OK)
                status = fResources->Sync();
            if (status != B_OK && result == B_OK)
                result = status;
        } else if (!IsUsingAttributes()) {
            // Resources alone were asked for, and the file cannot hold any.
            result = B_UNSUPPORTED;
        }
    }
    return result;
}

status_t BAppFileInfo::RemoveItem(const char* name, type_code type, int32 id)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    status_t result = B_OK;
    if (IsUsingAttributes()) {
        status_t status = Node()->RemoveAttr(name);
        if (status != B_OK && status != B_ENTRY_NOT_FOUND)
            result = status;
    }
    if (IsUsingResources() && fResources && fResources->HasResource(type, id)) {
        status_t status = fResources->RemoveResource(type, id);
        if (status == B_OK)
            status = fResources->Sync();
        if (status != B_OK && result == B_OK)
            result = status;
    }
    return result;
}

status_t BAppFileInfo::ReadMimeString(const char* name, int32 id, char* buffer) const
{
    if (buffer == nullptr)
        return B_BAD_VALUE;
    std::vector<uint8> data;
    status_t status = ReadItem(name, B_MIME_STRING_TYPE, id, &data);
    if (status != B_OK)
        return status;
    size_t length = strnlen(reinterpret_cast<const char*>(data.data()), data.size());
    if (length >= B_MIME_TYPE_LENGTH)
        return B_BAD_DATA;
    std::memcpy(buffer, data.data(), length);
    buffer[length] = '\0';
    return B_OK;
}

status_t BAppFileInfo::WriteMimeString(const char* name, int32 id, const char* value)
{
    if (value == nullptr)
        return RemoveItem(name, B_MIME_STRING_TYPE, id);
    if (!BMimeType::IsValid(value))
        return B_BAD_VALUE;
    return WriteItem(name, B_MIME_STRING_TYPE, id, value, std::strlen(value) + 1);
}

status_t BAppFileInfo::GetType(char* type) const
{
    return ReadMimeString(kTypeAttribute, kTypeId, type);
}

status_t BAppFileInfo::SetType(const char* type)
{
    return WriteMimeString(kTypeAttribute, kTypeId, type);
}

status_t BAppFileInfo::GetSignature(char* signature) const
{
    return ReadMimeString(kSignatureName, kSignatureId, signature);
}

status_t BAppFileInfo::SetSignature(const char* signature)
{
    return WriteMimeString(kSignatureName, kSignatureId, signature);
}

status_t BAppFileInfo::GetAppFlags(uint32* flags) const
{
    if (flags == nullptr)
        return B_BAD_VALUE;
    std::vector<uint8> data;
    status_t status = ReadItem(kFlagsName, kFlagsType, kFlagsId, &data);
    if (status != B_OK)
        return status;
    if (data.size() != sizeof(uint32))
        return B_ERROR;
    uint32 value;
    std::memcpy(&value, data.data(), sizeof(value));
    *flags = B_LENDIAN_TO_HOST_INT32(value);
    return B_OK;
}

status_t BAppFileInfo::SetAppFlags(uint32 flags)
{
    uint32 value = B_HOST_TO_LENDIAN_INT32(flags);
    return WriteItem(kFlagsName, kFlagsType, kFlagsId, &value, sizeof(value));
}

status_t BAppFileInfo::RemoveAppFlags()
{
    return RemoveItem(kFlagsName, kFlagsType, kFlagsId);
}

status_t BAppFileInfo::GetSupportedTypes(BMessage* types) const
{
    if (types == nullptr)
        return B_BAD_VALUE;
    std::vector<uint8> data;
    status_t status = ReadItem(kSupportedTypesName, B_MESSAGE_TYPE, kSupportedTypesId, &data);
    if (status != B_OK)
        return status;
    return types->Unflatten(data.data(), data.size());
}

status_t BAppFileInfo::SetSupportedTypes(const BMessage* types, bool /*syncAll*/)
{
    if (types == nullptr)
        return RemoveItem(kSupportedTypesName, B_MESSAGE_TYPE, kSupportedTypesId);
    const char* type;
    for (int32 i = 0; types->FindString("types", i, &type) == B_OK; i++) {
        if (!BMimeType::IsValid(type))
            return B_BAD_VALUE;
    }
    ssize_t size = types->FlattenedSize();
    if (size < 0)
        return status_t(size);
    std::vector<char> data(static_cast<size_t>(size));
    status_t status = types->Flatten(data.data(), size);
    if (status != B_OK)
        return status;
    return WriteItem(
        kSupportedTypesName, B_MESSAGE_TYPE, kSupportedTypesId, data.data(), data.size());
}

bool BAppFileInfo::IsSupportedType(const char* type) const
{
    BMessage types;
    if (type == nullptr || GetSupportedTypes(&types) != B_OK)
        return false;
    const char* supported;
    for (int32 i = 0; types.FindString("types", i, &supported) == B_OK; i++) {
        if (strcasecmp(supported, type) == 0 || strcmp(supported, "application/octet-stream") == 0)
            return true;
    }
    return false;
}

status_t BAppFileInfo::GetVersionInfo(version_info* info, version_kind kind) const
{
    if (info == nullptr || (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND))
        return B_BAD_VALUE;
    std::vector<uint8> data;
    status_t status = ReadItem(kVersionName, kVersionType, kVersionId, &data);
    if (status != B_OK)
        return status;
    if (data.size() > 2 * kVersionRecordSize)
        return B_BAD_VALUE;
    if (data.size() != kVersionRecordSize && data.size() != 2 * kVersionRecordSize)
        return B_ERROR;
    // A single record holds the application's version; the system's is
    // then all zero.
    data.resize(2 * kVersionRecordSize, 0);
    DecodeVersion(data.data() + (kind == B_SYSTEM_VERSION_KIND ? kVersionRecordSize : 0), info);
    return B_OK;
}

status_t BAppFileInfo::SetVersionInfo(const version_info* info, version_kind kind)
{
    if (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND)
        return B_BAD_VALUE;
    if (info == nullptr)
        return RemoveItem(kVersionName, kVersionType, kVersionId);
    std::vector<uint8> data;
    if (ReadItem(kVersionName, kVersionType, kVersionId, &data) != B_OK
        || data.size() > 2 * kVersionRecordSize)
        data.clear();
    data.resize(2 * kVersionRecordSize, 0);
    EncodeVersion(*info, data.data() + (kind == B_SYSTEM_VERSION_KIND ? kVersionRecordSize : 0));
    return WriteItem(kVersionName, kVersionType, kVersionId, data.data(), data.size());
}

status_t BAppFileInfo::GetIconData(icon_size size, uint8* bits) const
{
    if (bits == nullptr || (size != B_LARGE_ICON && size != B_MINI_ICON))
        return B_BAD_VALUE;
    const char* name = size == B_LARGE_ICON ? kLargeIconAttribute : kMiniIconAttribute;
    type_code type = size == B_LARGE_ICON ? B_LARGE_ICON_TYPE : B_MINI_ICON_TYPE;
    std::vector<uint8> data;
    status_t status = ReadItem(name, type, kIconId, &data);
    if (status != B_OK)
        return status;
    if (data.size() != IconBytes(size))
        return B_BAD_DATA;
    std::memcpy(bits, data.data(), data.size());
    return B_OK;
}

status_t BAppFileInfo::SetIconData(icon_size size, const uint8* bits)
{
    if (size != B_LARGE_ICON && size != B_MINI_ICON)
        return B_BAD_VALUE;
    const char* name = size == B_LARGE_ICON ? kLargeIconAttribute : kMiniIconAttribute;
    type_code type = size == B_LARGE_ICON ? B_LARGE_ICON_TYPE : B_MINI_ICON_TYPE;
    if (bits == nullptr)
        return RemoveItem(name, type, kIconId);
    return WriteItem(name, type, kIconId, bits, IconBytes(size));
}
