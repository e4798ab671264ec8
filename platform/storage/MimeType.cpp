#include <MimeType.h>

#include <cstring>
#include <strings.h>

#include <Entry.h>
#include <Message.h>
#include <Path.h>

#include "MimeDatabase.h"
#include "RefPathCache.h"
#include "TypeSniffer.h"

using BPrivate::MimeDatabase;
using BPrivate::MimeRecord;

namespace {

constexpr const char* kTypeKey = "type";
constexpr const char* kPreferredAppKey = "preferred_app";
constexpr const char* kShortDescriptionKey = "short_description";
constexpr const char* kLongDescriptionKey = "long_description";
constexpr const char* kAppHintKey = "app_hint";
constexpr const char* kSupportedTypeKey = "supported_type";

const char* IconKey(icon_size size)
{
    return size == B_LARGE_ICON ? "icon32" : "icon16";
}

std::string ToHex(const uint8* bytes, size_t count)
{
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; i++) {
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 15];
    }
    return text;
}

bool FromHex(const std::string& text, uint8* bytes, size_t count)
{
    if (text.size() != count * 2)
        return false;
    for (size_t i = 0; i < count; i++) {
        char pair[3] = { text[2 * i], text[2 * i + 1], '\0' };
        char* end = nullptr;
        long value = std::strtol(pair, &end, 16);
        if (end != pair + 2)
            return false;
        bytes[i] = uint8(value);
    }
    return true;
}

bool ValidIconSize(icon_size size)
{
    return size == B_LARGE_ICON || size == B_MINI_ICON;
}

} // namespace

BMimeType::BMimeType()
    : fStatus(B_NO_INIT)
{
}

BMimeType::BMimeType(const char* type)
    : fStatus(B_NO_INIT)
{
    SetTo(type);
}

BMimeType::~BMimeType() = default;

status_t BMimeType::SetTo(const char* type)
{
    Unset();
    if (!IsValid(type))
        return fStatus = B_BAD_VALUE;
    fType = type;
    return fStatus = B_OK;
}

void BMimeType::Unset()
{
    fType.clear();
    fStatus = B_NO_INIT;
}

status_t BMimeType::InitCheck() const
{
    return fStatus;
}

const char* BMimeType::Type() const
{
    return fStatus == B_OK ? fType.c_str() : nullptr;
}

bool BMimeType::IsValid() const
{
    return fStatus == B_OK;
}

bool BMimeType::IsValid(const char* type)
{
    if (type == nullptr)
        return false;
    size_t length = std::strlen(type);
    if (length == 0 || length >= B_MIME_TYPE_LENGTH)
        return false;
    bool slashSeen = false;
    for (size_t i = 0; i < length; i++) {
        char c = type[i];
        if (c == '/') {
            if (slashSeen || i == 0 || i == length - 1)
                return false;
            slashSeen = true;
            continue;
        }
        // Bytes are judged as signed chars, as BeOS did: anything from
        // 0x80 up is refused along with blanks and control characters.
        if (static_cast<signed char>(c) <= 32 || c == 127 || std::strchr("<>@,;:\"()[]?=\\", c))
            return false;
    }
    return true;
}

bool BMimeType::IsSupertypeOnly() const
{
    return fStatus == B_OK && fType.find('/') == std::string::npos;
}

status_t BMimeType::GetSupertype(BMimeType* supertype) const
{
    if (supertype == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    size_t slash = fType.find('/');
    if (slash == std::string::npos)
        return B_BAD_VALUE;
    return supertype->SetTo(fType.substr(0, slash).c_str());
}

bool BMimeType::Contains(const BMimeType* type) const
{
    if (type == nullptr || fStatus != B_OK || type->fStatus != B_OK)
        return false;
    if (*this == *type)
        return true;
    BMimeType super;
    return IsSupertypeOnly() && type->GetSupertype(&super) == B_OK && *this == super;
}

bool BMimeType::operator==(const BMimeType& type) const
{
    if (fStatus != B_OK || type.fStatus != B_OK)
        return fStatus != B_OK && type.fStatus != B_OK;
    return strcasecmp(fType.c_str(), type.fType.c_str()) == 0;
}

bool BMimeType::operator==(const char* type) const
{
    return type != nullptr && fStatus == B_OK && strcasecmp(fType.c_str(), type) == 0;
}

status_t BMimeType::Install()
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (IsInstalled())
        return B_FILE_EXISTS;
    return MimeDatabase::Write(fType.c_str(), { { kTypeKey, { fType } } });
}

status_t BMimeType::Delete()
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    return MimeDatabase::Remove(fType.c_str());
}

bool BMimeType::IsInstalled() const
{
    MimeRecord record;
    return fStatus == B_OK && MimeDatabase::Read(fType.c_str(), &record) == B_OK;
}

status_t BMimeType::GetText(const char* key, char* buffer, size_t size) const
{
    if (buffer == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    MimeRecord record;
    status_t status = MimeDatabase::Read(fType.c_str(), &record);
    if (status != B_OK)
        return status;
    auto found = record.find(key);
    if (found == record.end() || found->second.empty())
        return B_ENTRY_NOT_FOUND;
    const std::string& value = found->second.front();
    if (value.size() >= size)
        return B_BUFFER_OVERFLOW;
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return B_OK;
}

// Sets (or, for NULL, removes) a one-value field; the type is installed
// on the way if it was not.
status_t BMimeType::SetText(const char* key, const char* value, size_t maxLength)
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (value != nullptr && std::strlen(value) >= maxLength)
        return B_BAD_VALUE;
    MimeRecord record;
    if (MimeDatabase::Read(fType.c_str(), &record) != B_OK)
        record[kTypeKey] = { fType };
    if (value == nullptr)
        record.erase(key);
    else
        record[key] = { value };
    return MimeDatabase::Write(fType.c_str(), record);
}

status_t BMimeType::GetPreferredApp(char* signature, app_verb verb) const
{
    if (verb != B_OPEN)
        return B_BAD_VALUE;
    return GetText(kPreferredAppKey, signature, B_MIME_TYPE_LENGTH);
}

status_t BMimeType::SetPreferredApp(const char* signature, app_verb verb)
{
    if (verb != B_OPEN || (signature != nullptr && !IsValid(signature)))
        return B_BAD_VALUE;
    return SetText(kPreferredAppKey, signature, B_MIME_TYPE_LENGTH);
}

status_t BMimeType::GetShortDescription(char* description) const
{
    return GetText(kShortDescriptionKey, description, B_MIME_TYPE_LENGTH);
}

status_t BMimeType::SetShortDescription(const char* description)
{
    return SetText(kShortDescriptionKey, description, B_MIME_TYPE_LENGTH);
}

status_t BMimeType::GetLongDescription(char* description) const
{
    return GetText(kLongDescriptionKey, description, B_MIME_TYPE_LENGTH);
}

status_t BMimeType::SetLongDescription(const char* description)
{
    return SetText(kLongDescriptionKey, description, B_MIME_TYPE_LENGTH);
}

status_t BMimeType::GetAppHint(entry_ref* ref) const
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    char path[B_PATH_NAME_LENGTH * 4];
    status_t status = GetText(kAppHintKey, path, sizeof(path));
    if (status != B_OK)
        return status;
    return get_ref_for_path(path, ref);
}

status_t BMimeType::SetAppHint(const entry_ref* ref)
{
    if (ref == nullptr)
        return SetText(kAppHintKey, nullptr, 0);
    std::string path;
    status_t status = BPrivate::PathForRef(*ref, &path);
    if (status != B_OK)
        return status;
    return SetText(kAppHintKey, path.c_str(), path.size() + 1);
}

status_t BMimeType::GetSupportedTypes(BMessage* types) const
{
    if (types == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    MimeRecord record;
    status_t status = MimeDatabase::Read(fType.c_str(), &record);
    if (status != B_OK)
        return status;
    types->MakeEmpty();
    for (const std::string& type : record[kSupportedTypeKey])
        types->AddString("types", type.c_str());
    return B_OK;
}

status_t BMimeType::SetSupportedTypes(const BMessage* types, bool /*fullSync*/)
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    MimeRecord record;
    if (MimeDatabase::Read(fType.c_str(), &record) != B_OK)
        record[kTypeKey] = { fType };
    std::vector<std::string>& supported = record[kSupportedTypeKey];
    supported.clear();
    const char* type;
    for (int32 i = 0; types != nullptr && types->FindString("types", i, &type) == B_OK; i++) {
        if (!IsValid(type))
            return B_BAD_VALUE;
        supported.push_back(type);
    }
    if (supported.empty())
        record.erase(kSupportedTypeKey);
    return MimeDatabase::Write(fType.c_str(), record);
}

status_t BMimeType::GetIconData(icon_size size, uint8* bits) const
{
    if (bits == nullptr || !ValidIconSize(size))
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    MimeRecord record;
    status_t status = MimeDatabase::Read(fType.c_str(), &record);
    if (status != B_OK)
        return status;
    auto found = record.find(IconKey(size));
    if (found == record.end() || found->second.empty())
        return B_ENTRY_NOT_FOUND;
    return FromHex(found->second.front(), bits, IconBytes(size)) ? B_OK : B_BAD_DATA;
}

status_t BMimeType::SetIconData(icon_size size, const uint8* bits)
{
    if (!ValidIconSize(size))
        return B_BAD_VALUE;
    if (bits == nullptr)
        return SetText(IconKey(size), nullptr, 0);
    std::string hex = ToHex(bits, IconBytes(size));
    return SetText(IconKey(size), hex.c_str(), hex.size() + 1);
}

status_t BMimeType::GuessMimeType(const void* buffer, int32 length, BMimeType* type)
{
    if (buffer == nullptr || length < 0 || type == nullptr)
        return B_BAD_VALUE;
    return type->SetTo(BPrivate::TypeSniffer::SniffData(buffer, size_t(length)));
}

status_t BMimeType::GuessMimeType(const entry_ref* file, BMimeType* type)
{
    if (file == nullptr || type == nullptr)
        return B_BAD_VALUE;
    BPath path(file);
    if (path.InitCheck() != B_OK)
        return path.InitCheck();
    std::string sniffed;
    status_t status = BPrivate::TypeSniffer::SniffPath(path.Path(), &sniffed);
    if (status != B_OK)
        return status;
    return type->SetTo(sniffed.c_str());
}
