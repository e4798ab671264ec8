// brenvik-inspect attributes FILE: lists a file's BeOS attributes with their
// types, sizes and, for strings and numbers, their values.

#include "Inspect.h"

#include <cstdio>
#include <cstring>

#include <ByteOrder.h>
#include <Node.h>
#include <TypeConstants.h>

namespace inspect {

namespace {

// Longer strings are cut, so that every attribute stays on one line.
constexpr size_t kMaxShownText = 60;

std::string QuotedText(const std::vector<uint8>& data)
{
    std::string text = "\"";
    for (size_t i = 0; i < data.size() && data[i] != 0; i++) {
        if (i == kMaxShownText) {
            text += "...";
            break;
        }
        char c = char(data[i]);
        if (c == '"' || c == '\\')
            text += std::string("\\") + c;
        else if (uint8(c) < 0x20 || c == 0x7F)
            text += '?';
        else
            text += c;
    }
    return text + "\"";
}

template <typename T> std::string Number(const std::vector<uint8>& data)
{
    if (data.size() != sizeof(T))
        return "";
    T value = ReadUnaligned<T>(data.data());
    if constexpr (std::is_floating_point_v<T>)
        return std::to_string(value);
    else if constexpr (std::is_signed_v<T>)
        return std::to_string(int64(value));
    else
        return std::to_string(uint64(value));
}

std::string ValueText(type_code type, const std::vector<uint8>& data)
{
    switch (type) {
    case B_STRING_TYPE:
    case B_MIME_STRING_TYPE:
    case B_MIME_TYPE:
    case B_ASCII_TYPE:
        return QuotedText(data);
    case B_INT8_TYPE:
        return Number<int8>(data);
    case B_UINT8_TYPE:
        return Number<uint8>(data);
    case B_INT16_TYPE:
        return Number<int16>(data);
    case B_UINT16_TYPE:
        return Number<uint16>(data);
    case B_INT32_TYPE:
        return Number<int32>(data);
    case B_UINT32_TYPE:
        return Number<uint32>(data);
    case B_INT64_TYPE:
    case B_OFF_T_TYPE:
        return Number<int64>(data);
    case B_UINT64_TYPE:
        return Number<uint64>(data);
    case B_FLOAT_TYPE:
        return Number<float>(data);
    case B_DOUBLE_TYPE:
        return Number<double>(data);
    case B_BOOL_TYPE:
        return data.size() == 1 ? (data[0] != 0 ? "true" : "false") : "";
    default:
        return "";
    }
}

std::string Reason(status_t status)
{
    switch (status) {
    case B_ENTRY_NOT_FOUND:
        return "no such file";
    case B_PERMISSION_DENIED:
        return "permission denied";
    case B_NOT_SUPPORTED:
        return "the file system keeps no attributes";
    default:
        return "cannot read the attributes (error " + std::to_string(status) + ")";
    }
}

} // namespace

int InspectAttributes(int argc, char** argv)
{
    if (argc != 1)
        return kExitUsage;
    BNode node(argv[0]);
    if (node.InitCheck() != B_OK)
        return Fail(argv[0], Reason(node.InitCheck()));
    char name[B_ATTR_NAME_LENGTH];
    status_t status;
    while ((status = node.GetNextAttrName(name)) == B_OK) {
        attr_info info;
        if ((status = node.GetAttrInfo(name, &info)) != B_OK)
            return Fail(std::string(argv[0]) + ": " + name, Reason(status));
        std::vector<uint8> data(size_t(info.size));
        ssize_t read = node.ReadAttr(name, info.type, 0, data.data(), data.size());
        if (read < 0)
            return Fail(std::string(argv[0]) + ": " + name, Reason(status_t(read)));
        data.resize(size_t(read));
        std::string value = ValueText(info.type, data);
        std::printf("%-4s %10lld  %s%s%s\n", TypeText(info.type).c_str(),
            static_cast<long long>(info.size), name, value.empty() ? "" : " = ", value.c_str());
    }
    if (status != B_ENTRY_NOT_FOUND)
        return Fail(argv[0], Reason(status));
    return kExitOk;
}

} // namespace inspect
