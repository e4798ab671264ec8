#pragma once

// Decoding of UTF-8 text that may be malformed: every byte that does not
// start a well-formed sequence stands for U+FFFD on its own, so no input can
// make a reader run past the end or lose its place.

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

constexpr uint32 kReplacementCharacter = 0xfffd;

struct DecodedChar {
    uint32 codePoint;
    int32 byteOffset;
    int32 byteLength;
};

// Decodes `length` bytes of `text`.
void DecodeUtf8(const char* text, int32 length, std::vector<DecodedChar>* out);

// Decodes ISO 8859-1 text: each byte is one character.
void DecodeLatin1(const char* text, int32 length, std::vector<DecodedChar>* out);

void AppendUtf8(std::string* text, uint32 codePoint);

} // namespace BPrivate
