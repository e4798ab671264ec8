#include "LibString.h"

#include <Font.h>
#include <Rect.h>

#include <string>

namespace {

// Widths in whole pixels, cut toward zero.
int WidthOf(const BFont& font, const std::string& text)
{
    return static_cast<int>(font.StringWidth(text.c_str(), static_cast<int32>(text.size())));
}

bool StartsCharacter(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// The start of the character before `offset`.
long PreviousBoundary(const std::string& text, long offset)
{
    do
        offset--;
    while (offset > 0 && !StartsCharacter(text[static_cast<size_t>(offset)]));
    return offset;
}

} // namespace

int LibString::Truncate(const BFont& font, const int& width, BRect& rect)
{
    long length = Length();
    std::string saved(Text(), static_cast<size_t>(length));
    if (length == 0 || WidthOf(font, saved) < width)
        return static_cast<int>(length);
    // Candidates keep one character fewer each time, down to one; a text of
    // a single character becomes "..." alone. Cutting between characters
    // keeps the text valid UTF-8.
    long kept = PreviousBoundary(saved, length);
    std::string candidate = saved.substr(0, static_cast<size_t>(kept)) + "...";
    while (WidthOf(font, candidate) >= width && kept > 0) {
        long fewer = PreviousBoundary(saved, kept);
        if (fewer <= 0)
            break;
        kept = fewer;
        candidate = saved.substr(0, static_cast<size_t>(kept)) + "...";
    }
    *this = candidate.c_str();
    rect.left = 0;
    rect.right = kept > 0 ? static_cast<float>(WidthOf(font, saved.substr(0, size_t(kept)))) : 0;
    return static_cast<int>(length - kept);
}
