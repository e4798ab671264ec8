#include "NodeAttributes.h"

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>

#include <ByteOrder.h>

namespace BPrivate {

namespace {

constexpr const char* kTypeAttribute = "BEOS:TYPE";
constexpr size_t kMaxXattrNameLength = 255;

ssize_t GetX(const NodeTarget& target, const char* name, void* value, size_t size)
{
    if (target.fd >= 0)
        return fgetxattr(target.fd, name, value, size);
    return lgetxattr(target.path, name, value, size);
}

int SetX(const NodeTarget& target, const char* name, const void* value, size_t size)
{
    if (target.fd >= 0)
        return fsetxattr(target.fd, name, value, size, 0);
    return lsetxattr(target.path, name, value, size, 0);
}

int RemoveX(const NodeTarget& target, const char* name)
{
    if (target.fd >= 0)
        return fremovexattr(target.fd, name);
    return lremovexattr(target.path, name);
}

ssize_t ListX(const NodeTarget& target, char* list, size_t size)
{
    if (target.fd >= 0)
        return flistxattr(target.fd, list, size);
    return llistxattr(target.path, list, size);
}

bool ValidTarget(const NodeTarget& target)
{
    return target.fd >= 0 || (target.path != nullptr && target.path[0] != '\0');
}

// Keeps the freedesktop.org copy of the node's type in step. It is a
// courtesy to other programs: when the file system refuses it, the BeOS
// attribute (already written) still holds the type.
void MirrorType(const NodeTarget& target, const void* data, size_t size)
{
    size_t length = strnlen(static_cast<const char*>(data), size);
    if (length == 0)
        RemoveX(target, NodeAttributes::kMimeMirror);
    else
        SetX(target, NodeAttributes::kMimeMirror, data, length);
}

} // namespace

status_t NodeAttributes::Status(int error)
{
    switch (error) {
    case ENODATA:
        return B_ENTRY_NOT_FOUND;
    case ENOTSUP:
        return B_NOT_SUPPORTED;
    default:
        return StatusFromErrno(error);
    }
}

status_t NodeAttributes::EncodeName(const char* name, std::string* xattrName)
{
    if (name == nullptr || name[0] == '\0')
        return B_BAD_VALUE;
    std::string encoded = kPrefix;
    for (const char* c = name; *c != '\0'; c++) {
        if (*c == '/')
            encoded += "%\\";
        else if (*c == '%')
            encoded += "%%";
        else
            encoded += *c;
    }
    if (encoded.size() > kMaxXattrNameLength)
        return B_NAME_TOO_LONG;
    *xattrName = std::move(encoded);
    return B_OK;
}

bool NodeAttributes::DecodeName(const char* xattrName, std::string* name)
{
    size_t prefixLength = std::strlen(kPrefix);
    if (std::strncmp(xattrName, kPrefix, prefixLength) != 0)
        return false;
    std::string decoded;
    for (const char* c = xattrName + prefixLength; *c != '\0'; c++) {
        if (*c != '%') {
            decoded += *c;
            continue;
        }
        c++;
        if (*c == '%')
            decoded += '%';
        else if (*c == '\\')
            decoded += '/';
        else
            return false;
    }
    if (decoded.empty())
        return false;
    *name = std::move(decoded);
    return true;
}

status_t NodeAttributes::ReadRaw(
    const NodeTarget& target, const char* xattrName, std::vector<uint8>* value)
{
    if (!ValidTarget(target))
        return B_NO_INIT;
    for (;;) {
        ssize_t size = GetX(target, xattrName, nullptr, 0);
        if (size < 0)
            return Status(errno);
        value->resize(size_t(size));
        ssize_t read = GetX(target, xattrName, value->data(), value->size());
        if (read >= 0) {
            value->resize(size_t(read));
            return B_OK;
        }
        // The value grew between the two calls: ask again.
        if (errno != ERANGE)
            return Status(errno);
    }
}

status_t NodeAttributes::WriteRaw(
    const NodeTarget& target, const char* xattrName, const void* value, size_t size)
{
    if (!ValidTarget(target))
        return B_NO_INIT;
    if (size > kMaxXattrSize)
        return B_BUFFER_OVERFLOW;
    if (SetX(target, xattrName, value, size) != 0)
        return Status(errno);
    return B_OK;
}

status_t NodeAttributes::RemoveRaw(const NodeTarget& target, const char* xattrName)
{
    if (!ValidTarget(target))
        return B_NO_INIT;
    if (RemoveX(target, xattrName) != 0)
        return Status(errno);
    return B_OK;
}

status_t NodeAttributes::Read(
    const NodeTarget& target, const char* name, type_code* type, std::vector<uint8>* data)
{
    std::string xattrName;
    status_t status = EncodeName(name, &xattrName);
    if (status != B_OK)
        return status;
    std::vector<uint8> value;
    status = ReadRaw(target, xattrName.c_str(), &value);
    if (status != B_OK)
        return status;
    if (value.size() < sizeof(uint32))
        return B_BAD_DATA;
    uint32 code;
    std::memcpy(&code, value.data(), sizeof(code));
    *type = B_LENDIAN_TO_HOST_INT32(code);
    data->assign(value.begin() + sizeof(uint32), value.end());
    return B_OK;
}

status_t NodeAttributes::Write(
    const NodeTarget& target, const char* name, type_code type, const void* data, size_t size)
{
    if (data == nullptr && size > 0)
        return B_BAD_VALUE;
    if (size > kMaxValueSize)
        return B_BUFFER_OVERFLOW;
    std::string xattrName;
    status_t status = EncodeName(name, &xattrName);
    if (status != B_OK)
        return status;
    std::vector<uint8> value(sizeof(uint32) + size);
    uint32 code = B_HOST_TO_LENDIAN_INT32(type);
    std::memcpy(value.data(), &code, sizeof(code));
    if (size > 0)
        std::memcpy(value.data() + sizeof(uint32), data, size);
    status = WriteRaw(target, xattrName.c_str(), value.data(), value.size());
    if (status == B_OK && std::strcmp(name, kTypeAttribute) == 0)
        MirrorType(target, value.data() + sizeof(uint32), size);
    return status;
}

status_t NodeAttributes::Remove(const NodeTarget& target, const char* name)
{
    std::string xattrName;
    status_t status = EncodeName(name, &xattrName);
    if (status != B_OK)
        return status;
    status = RemoveRaw(target, xattrName.c_str());
    if (status == B_OK && std::strcmp(name, kTypeAttribute) == 0)
        RemoveX(target, kMimeMirror);
    return status;
}

status_t NodeAttributes::List(const NodeTarget& target, std::vector<std::string>* names)
{
    if (!ValidTarget(target))
        return B_NO_INIT;
    std::vector<char> list;
    for (;;) {
        ssize_t size = ListX(target, nullptr, 0);
        if (size < 0)
            return Status(errno);
        list.resize(size_t(size));
        ssize_t read = ListX(target, list.data(), list.size());
        if (read >= 0) {
            list.resize(size_t(read));
            break;
        }
        if (errno != ERANGE)
            return Status(errno);
    }
    names->clear();
    for (size_t position = 0; position < list.size();) {
        const char* xattrName = list.data() + position;
        size_t length = strnlen(xattrName, list.size() - position);
        std::string name;
        if (length < list.size() - position && DecodeName(xattrName, &name))
            names->push_back(std::move(name));
        position += length + 1;
    }
    return B_OK;
}

} // namespace BPrivate
