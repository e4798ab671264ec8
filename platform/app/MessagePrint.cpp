// PrintToStream and ToString: the text form of a message, in the layout of
// BeOS R5's BMessage::PrintToStream. This is the one place that layout is
// defined:
//
//   BMessage: what = CODE (0xHEX, or DECIMAL)
//       entry       NAME, type='TYPE', c=1, size= S, data[0]: VALUE
//       entry       NAME, type='TYPE', c=N, size= S,
//           data[0]: VALUE
//           data[1]: VALUE
//       entry       NAME, type='CSTR', c=N,
//           size= S, data[0]: "text"
//           size= S, data[1]: "more text"
//
// * CODE is the printable characters of `what`, most significant byte first
//   (nothing for 0, as BeOS printed "what =  (0x0, or 0)"); DECIMAL is
//   unsigned.
// * Entries are indented four spaces; the name is right-aligned in 14
//   columns (longer names are printed whole). TYPE shows a non-printable
//   byte of the type code as '.'.
// * A fixed-size field gives the item size on the entry line ("size=%2u"); a
//   variable-size field gives each item's size before it. A field with one
//   item puts it on the entry line; with more, each item has its own line,
//   indented four spaces more than the entry.
// * Values: integers as "0xHEX (DECIMAL)", 32-bit ones followed by their
//   four characters when all four are printable (else '') and 8-bit ones by
//   their character; BOOL as true/false; floats and doubles in their
//   shortest exact decimal form; BPNT as BPoint(x:X, y:Y), RECT as BRect(l:L,
//   t:T, r:R, b:B), RGBC/RGBB as rgb_color(r:R, g:G, b:B, a:A); CSTR and
//   MIMS strings in double quotes with C escapes for quotes, backslashes and
//   control characters; RREF as entry_ref(device=D, directory=N, name="x");
//   MSNG as BMessenger(team=T, port=P, token=K); PNTR in hex; anything
//   else, or an item of an unexpected size, as its bytes in hex in
//   brackets, at most 32 of them, followed by "... (N bytes)" when longer.
// * A nested message prints its header in place of the value, and its
//   entries indented four spaces more than the line that shows the header.

#include <Message.h>

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <ByteOrder.h>

namespace {

constexpr size_t kMaxHexBytes = 32;

void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

void AppendFormat(std::string& out, const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (length > 0)
        out.append(buffer, std::min(size_t(length), sizeof(buffer) - 1));
}

bool IsPrintable(uint8 byte)
{
    return byte >= 0x20 && byte < 0x7F;
}

template <typename T> void AppendNumber(std::string& out, T value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    out.append(buffer, result.ptr);
}

void AppendEscaped(std::string& out, const char* text, size_t length)
{
    for (size_t i = 0; i < length; i++) {
        auto byte = uint8(text[i]);
        switch (byte) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F)
                AppendFormat(out, "\\x%02x", byte);
            else
                out += char(byte);
            break;
        }
    }
}

void AppendHex(std::string& out, const uint8* bytes, size_t size)
{
    out += '[';
    for (size_t i = 0; i < size && i < kMaxHexBytes; i++)
        AppendFormat(out, i == 0 ? "%02x" : " %02x", bytes[i]);
    if (size > kMaxHexBytes)
        AppendFormat(out, " ... (%zu bytes)", size);
    out += ']';
}

void AppendFloats(std::string& out, const char* prefix, const char* const* labels, size_t count,
    const uint8* bytes)
{
    out += prefix;
    out += '(';
    for (size_t i = 0; i < count; i++) {
        out += i == 0 ? "" : ", ";
        out += labels[i];
        out += ':';
        AppendNumber(out, ReadUnaligned<float>(bytes + 4 * i));
    }
    out += ')';
}

void AppendString(std::string& out, const uint8* bytes, size_t size)
{
    const char* text = reinterpret_cast<const char*>(bytes);
    out += '"';
    AppendEscaped(out, text, strnlen(text, size));
    out += '"';
}

void AppendInt32(std::string& out, uint32 value, bool isSigned)
{
    AppendFormat(out, "0x%" PRIx32 " (", value);
    if (isSigned)
        AppendNumber(out, int32(value));
    else
        AppendNumber(out, value);
    out += ", '";
    char code[4] = { char(value >> 24), char(value >> 16), char(value >> 8), char(value) };
    if (IsPrintable(uint8(code[0])) && IsPrintable(uint8(code[1])) && IsPrintable(uint8(code[2]))
        && IsPrintable(uint8(code[3])))
        out.append(code, 4);
    out += "')";
}

void AppendInt64(std::string& out, uint64 value, bool isSigned)
{
    AppendFormat(out, "0x%" PRIx64 " (", value);
    if (isSigned)
        AppendNumber(out, int64(value));
    else
        AppendNumber(out, value);
    out += ')';
}

void AppendMessageText(const BMessage& message, size_t indent, std::string& out);

// Values whose form depends on their size; false when the size is not one
// the type has.
bool AppendSizedValue(std::string& out, type_code type, const uint8* bytes, size_t size)
{
    static const char* const kPoint[] = { "x", "y" };
    static const char* const kRect[] = { "l", "t", "r", "b" };
    static const char* const kSize[] = { "width", "height" };
    switch (type) {
    case B_BOOL_TYPE:
        if (size != 1)
            return false;
        out += bytes[0] != 0 ? "true" : "false";
        return true;
    case B_INT8_TYPE:
    case B_UINT8_TYPE:
        if (size != 1)
            return false;
        AppendFormat(out, "0x%x (", bytes[0]);
        if (type == B_INT8_TYPE)
            AppendNumber(out, int(int8(bytes[0])));
        else
            AppendNumber(out, int(bytes[0]));
        out += ", '";
        if (IsPrintable(bytes[0]))
            out += char(bytes[0]);
        out += "')";
        return true;
    case B_INT16_TYPE:
    case B_UINT16_TYPE: {
        if (size != 2)
            return false;
        uint16 value = ReadUnaligned<uint16>(bytes);
        AppendFormat(out, "0x%x (", unsigned(value));
        if (type == B_INT16_TYPE)
            AppendNumber(out, int(int16(value)));
        else
            AppendNumber(out, int(value));
        out += ')';
        return true;
    }
    case B_INT32_TYPE:
    case B_UINT32_TYPE:
    case B_TIME_TYPE:
    case B_SSIZE_T_TYPE:
    case B_SIZE_T_TYPE:
    case B_INT64_TYPE:
    case B_UINT64_TYPE:
    case B_OFF_T_TYPE: {
        bool isSigned = type != B_UINT32_TYPE && type != B_SIZE_T_TYPE && type != B_UINT64_TYPE;
        if (size == 4)
            AppendInt32(out, ReadUnaligned<uint32>(bytes), isSigned);
        else if (size == 8)
            AppendInt64(out, ReadUnaligned<uint64>(bytes), isSigned);
        else
            return false;
        return true;
    }
    case B_FLOAT_TYPE:
        if (size != 4)
            return false;
        AppendNumber(out, ReadUnaligned<float>(bytes));
        return true;
    case B_DOUBLE_TYPE:
        if (size != 8)
            return false;
        AppendNumber(out, ReadUnaligned<double>(bytes));
        return true;
    case B_POINT_TYPE:
        if (size != 8)
            return false;
        AppendFloats(out, "BPoint", kPoint, 2, bytes);
        return true;
    case B_SIZE_TYPE:
        if (size != 8)
            return false;
        AppendFloats(out, "BSize", kSize, 2, bytes);
        return true;
    case B_RECT_TYPE:
        if (size != 16)
            return false;
        AppendFloats(out, "BRect", kRect, 4, bytes);
        return true;
    case B_RGB_COLOR_TYPE:
    case B_RGB_32_BIT_TYPE:
        if (size != 4)
            return false;
        AppendFormat(
            out, "rgb_color(r:%u, g:%u, b:%u, a:%u)", bytes[0], bytes[1], bytes[2], bytes[3]);
        return true;
    case B_MESSENGER_TYPE:
        if (size != 12)
            return false;
        AppendFormat(out, "BMessenger(team=%" PRId32 ", port=%" PRId32 ", token=%" PRId32 ")",
            ReadUnaligned<int32>(bytes), ReadUnaligned<int32>(bytes + 4),
            ReadUnaligned<int32>(bytes + 8));
        return true;
    case B_POINTER_TYPE:
        if (size == 4)
            AppendFormat(out, "0x%" PRIx32, ReadUnaligned<uint32>(bytes));
        else if (size == 8)
            AppendFormat(out, "0x%" PRIx64, ReadUnaligned<uint64>(bytes));
        else
            return false;
        return true;
    default:
        return false;
    }
}

void AppendValue(const BMessage& message, const char* name, type_code type, int32 index,
    size_t lineIndent, std::string& out)
{
    const void* data;
    ssize_t size;
    if (message.FindData(name, type, index, &data, &size) != B_OK)
        return;
    const auto* bytes = static_cast<const uint8*>(data);
    switch (type) {
    case B_STRING_TYPE:
    case B_MIME_STRING_TYPE:
        AppendString(out, bytes, size_t(size));
        return;
    case B_MESSAGE_TYPE: {
        BMessage nested;
        if (message.FindMessage(name, index, &nested) == B_OK)
            AppendMessageText(nested, lineIndent + 4, out);
        else
            out += "<unreadable message>\n";
        return;
    }
    case B_REF_TYPE: {
        entry_ref ref;
        if (message.FindRef(name, index, &ref) == B_OK) {
            AppendFormat(out, "entry_ref(device=%" PRId64 ", directory=%" PRId64 ", name=\"",
                int64(ref.device), int64(ref.directory));
            if (ref.name != nullptr)
                AppendEscaped(out, ref.name, std::strlen(ref.name));
            out += "\")";
            return;
        }
        break;
    }
    default:
        if (AppendSizedValue(out, type, bytes, size_t(size)))
            return;
        break;
    }
    AppendHex(out, bytes, size_t(size));
}

void AppendField(const BMessage& message, const char* name, size_t indent, std::string& out)
{
    type_code type = 0;
    int32 count = 0;
    bool fixedSize = false;
    message.GetInfo(name, &type, &count, &fixedSize);

    out.append(indent, ' ');
    out += "entry ";
    size_t nameLength = std::strlen(name);
    if (nameLength < 14)
        out.append(14 - nameLength, ' ');
    AppendEscaped(out, name, nameLength);
    out += ", type='";
    for (int shift = 24; shift >= 0; shift -= 8) {
        auto byte = uint8(type >> shift);
        out += IsPrintable(byte) ? char(byte) : '.';
    }
    AppendFormat(out, "', c=%" PRId32 ",", count);
    if (count == 0)
        out += '\n';

    const void* data;
    ssize_t size = 0;
    if (count > 1) {
        if (fixedSize && message.FindData(name, type, 0, &data, &size) == B_OK)
            AppendFormat(out, " size=%2zd,", size);
        out += '\n';
    }
    for (int32 i = 0; i < count; i++) {
        message.FindData(name, type, i, &data, &size);
        size_t lineIndent = indent;
        if (count == 1) {
            out += ' ';
        } else {
            lineIndent = indent + 4;
            out.append(lineIndent, ' ');
        }
        if (!fixedSize || count == 1)
            AppendFormat(out, "size=%2zd, ", size);
        AppendFormat(out, "data[%" PRId32 "]: ", i);
        AppendValue(message, name, type, i, lineIndent, out);
        // A nested message ends with its own line break.
        if (type != B_MESSAGE_TYPE)
            out += '\n';
    }
}

void AppendMessageText(const BMessage& message, size_t indent, std::string& out)
{
    uint32 what = message.what;
    out += "BMessage: what = ";
    for (int shift = 24; shift >= 0; shift -= 8) {
        auto byte = uint8(what >> shift);
        if (IsPrintable(byte))
            out += char(byte);
    }
    AppendFormat(out, " (0x%" PRIx32 ", or %" PRIu32 ")\n", what, what);

    char* name;
    for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, nullptr, nullptr) == B_OK; i++)
        AppendField(message, name, indent, out);
}

} // namespace

std::string BMessage::ToString() const
{
    std::string text;
    AppendMessageText(*this, 4, text);
    return text;
}

void BMessage::PrintToStream() const
{
    std::string text = ToString();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}
