#include <Utf8.h>

namespace BPrivate {

namespace {

// The length of the well-formed sequence starting at `bytes` (at most
// `available` bytes long) and its code point, or 0 when it is malformed.
int32 DecodeOne(const uint8* bytes, int32 available, uint32* codePoint)
{
    uint8 lead = bytes[0];
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    int32 length;
    uint32 value;
    uint32 minimum;
    if ((lead & 0xe0) == 0xc0) {
        length = 2;
        value = lead & 0x1f;
        minimum = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3;
        value = lead & 0x0f;
        minimum = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else
        return 0;
    if (length > available)
        return 0;
    for (int32 i = 1; i < length; i++) {
        if ((bytes[i] & 0xc0) != 0x80)
            return 0;
        value = (value << 6) | (bytes[i] & 0x3f);
    }
    // Overlong forms, surrogates and values beyond Unicode are malformed.
    if (value < minimum || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff))
        return 0;
    *codePoint = value;
    return length;
}

} // namespace

void DecodeUtf8(const char* text, int32 length, std::vector<DecodedChar>* out)
{
    out->clear();
    const uint8* bytes = reinterpret_cast<const uint8*>(text);
    int32 offset = 0;
    while (offset < length) {
        uint32 codePoint = kReplacementCharacter;
        int32 size = DecodeOne(bytes + offset, length - offset, &codePoint);
        if (size == 0) {
            codePoint = kReplacementCharacter;
            size = 1;
        }
        out->push_back(DecodedChar { codePoint, offset, size });
        offset += size;
    }
}

void DecodeLatin1(const char* text, int32 length, std::vector<DecodedChar>* out)
{
    out->clear();
    for (int32 offset = 0; offset < length; offset++)
        out->push_back(DecodedChar { uint8(text[offset]), offset, 1 });
}

void AppendUtf8(std::string* text, uint32 codePoint)
{
    if (codePoint < 0x80) {
        text->push_back(char(codePoint));
    } else if (codePoint < 0x800) {
        text->push_back(char(0xc0 | (codePoint >> 6)));
        text->push_back(char(0x80 | (codePoint & 0x3f)));
    } else if (codePoint < 0x10000) {
        text->push_back(char(0xe0 | (codePoint >> 12)));
        text->push_back(char(0x80 | ((codePoint >> 6) & 0x3f)));
        text->push_back(char(0x80 | (codePoint & 0x3f)));
    } else {
        text->push_back(char(0xf0 | (codePoint >> 18)));
        text->push_back(char(0x80 | ((codePoint >> 12) & 0x3f)));
        text->push_back(char(0x80 | ((codePoint >> 6) & 0x3f)));
        text->push_back(char(0x80 | (codePoint & 0x3f)));
    }
}

} // namespace BPrivate
