// LibString: number syntax and conversions, and the UTF-8 character operations.

#include "LibString.h"

#include <algorithm>
#include <cstdint>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

// The byte length of the UTF-8 character that starts with byte: 1 below 0x80,
// otherwise the number of leading one bits, at least 2 (a stray continuation byte
// counts as the start of a two-byte character).
long SequenceLength(unsigned char byte)
{
    if (byte < 0x80)
        return 1;
    long ones = 0;
    while (ones < 8 && (byte & (0x80 >> ones)) != 0)
        ones++;
    return ones < 2 ? 2 : ones;
}

// The bytes of the character at text, cut short by the terminator.
long CharacterLength(const char* text)
{
    long length = SequenceLength(static_cast<unsigned char>(*text));
    for (long i = 1; i < length; i++) {
        if (text[i] == '\0')
            return i;
    }
    return length;
}

// The byte index of character n of text, or -1 when the text has n characters or
// fewer.
long CharacterOffset(const char* text, long n)
{
    long offset = 0;
    for (long i = 0; i < n; i++) {
        if (text[offset] == '\0')
            return -1;
        offset += CharacterLength(text + offset);
    }
    return text[offset] == '\0' ? -1 : offset;
}

// The integer value of a text that passed the number syntax check; digits after
// a "." are ignored. A value beyond the 32-bit range stops at its end, as the
// conversion of the format's 32-bit long always did (3000000000 reads as
// 2147483647, never as a negative number); the narrower getters then cut
// that value down.
long IntegerValue(const char* text)
{
    long value = strtol(text, nullptr, 10);
    return std::clamp(value, long(INT32_MIN), long(INT32_MAX));
}

} // namespace

bool LibString::IsNumeric() const
{
    bool seenPoint = false;
    const char* text = Text();
    for (long i = 0; text[i] != '\0'; i++) {
        char byte = text[i];
        if (isdigit(static_cast<unsigned char>(byte)))
            continue;
        if ((byte == '+' || byte == '-') && i == 0)
            continue;
        if (byte == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        return false;
    }
    return true;
}

bool LibString::GetInt8(signed char& value) const
{
    value = 0;
    if (!IsNumeric())
        return false;
    value = static_cast<signed char>(IntegerValue(Text()));
    return true;
}

bool LibString::GetUint8(unsigned char& value) const
{
    value = 0;
    if (!IsNumeric())
        return false;
    value = static_cast<unsigned char>(IntegerValue(Text()));
    return true;
}

bool LibString::GetInt16(short& value) const
{
    value = 0;
    if (!IsNumeric())
        return false;
    value = static_cast<short>(IntegerValue(Text()));
    return true;
}

bool LibString::GetUint16(unsigned short& value) const
{
    value = 0;
    if (!IsNumeric())
        return false;
    value = static_cast<unsigned short>(IntegerValue(Text()));
    return true;
}

bool LibString::GetInt32(long& value) const
{
    value = 0;
    if (!IsNumeric())
        return false;
    value = static_cast<int32>(IntegerValue(Text()));
    return true;
}

bool LibString::GetUint32(unsigned long& value) const
{
    value = 0;
    if (!IsNumeric())
        return false;
    value = static_cast<uint32>(IntegerValue(Text()));
    return true;
}

bool LibString::GetFloat64(double& value) const
{
    value = 0;
    if (!IsNumeric())
        return false;
    value = strtod(Text(), nullptr);
    return true;
}

bool LibString::GetFloat32(float& value) const
{
    double wide = 0;
    bool result = GetFloat64(wide);
    value = static_cast<float>(wide);
    return result;
}

unsigned char LibString::GetHex() const
{
    if (Length() != 2)
        return 0;
    const char* text = Text();
    if (!isxdigit(static_cast<unsigned char>(text[0])))
        return static_cast<unsigned char>(HexValue(text[1]));
    if (!isxdigit(static_cast<unsigned char>(text[1])))
        return static_cast<unsigned char>(HexValue(text[0]) * 16);
    return static_cast<unsigned char>(HexValue(text[0]) * 16 + HexValue(text[1]));
}

int LibString::HexValue(const char& digit) const
{
    static const char kDigits[] = "0123456789ABCDEF";
    if (digit == '\0')
        return 0;
    const char* found = strchr(kDigits, toupper(static_cast<unsigned char>(digit)));
    return found != nullptr ? static_cast<int>(found - kDigits) : 0;
}

long LibString::CharCount() const
{
    long count = 0;
    for (const char* scan = Text(); *scan != '\0'; scan += CharacterLength(scan))
        count++;
    return count;
}

void LibString::NextCharacter(const char* text, long long& offset, unsigned long& length) const
{
    if (text == nullptr)
        return;
    // An offset outside the text has no character: length 0 and no step, instead of
    // a read past the terminator.
    long long textLength = static_cast<long long>(strlen(text));
    if (offset < 0 || offset >= textLength) {
        length = 0;
        return;
    }
    length = static_cast<unsigned long>(CharacterLength(text + offset));
    offset += static_cast<long long>(length);
}

void LibString::CharToIndex(const long& n)
{
    if (n < 0)
        return;
    long end = CharacterOffset(Text(), n + 1);
    if (end < 0)
        return;
    fBuffer[end] = '\0';
}

void LibString::CharFromIndex(const long& n)
{
    if (n <= 0)
        return;
    long start = CharacterOffset(Text(), n);
    if (start < 0)
        return;
    ShiftFrom(0, start);
}
