// LibString: cutting, replacing, case, whitespace, punctuation and words.
//
// Operations that shorten the text only move the terminator or move bytes down
// inside the buffer; positions outside the text leave it unchanged (or empty, where
// that is the documented result) instead of reaching outside the buffer.

#include "LibString.h"

#include <cctype>
#include <cstring>

namespace {

bool IsSpaceByte(char byte)
{
    return isspace(static_cast<unsigned char>(byte)) != 0;
}

char LowerByte(char byte)
{
    return static_cast<char>(tolower(static_cast<unsigned char>(byte)));
}

char UpperByte(char byte)
{
    return static_cast<char>(toupper(static_cast<unsigned char>(byte)));
}

// Removes from text every byte for which drop is true, in place.
template <typename Predicate> void DropBytes(char* text, Predicate drop)
{
    if (text == nullptr)
        return;
    char* out = text;
    for (const char* in = text; *in != '\0'; in++) {
        if (!drop(*in))
            *out++ = *in;
    }
    *out = '\0';
}

} // namespace

LibString LibString::Extract(const long& first, const long& last) const
{
    long length = Length();
    // A range that starts outside the text or ends before it starts gives the empty
    // string; one that runs past the end stops at the end.
    if (first < 0 || first > length || last < first - 1)
        return LibString();
    long end = last < length ? last : length - 1;
    LibString result(end - first + 1);
    if (end >= first) {
        memcpy(result.fBuffer.get(), Text() + first, static_cast<size_t>(end - first + 1));
        result.fBuffer[end - first + 1] = '\0';
    }
    return result;
}

LibString LibString::Extract(
    const char& open, const char& close, const bool& withoutDelimiters) const
{
    const char* text = Text();
    const char* start = open != '\0' ? strchr(text, open) : nullptr;
    if (start == nullptr)
        return LibString();
    const char* end = close != '\0' ? strchr(start + 1, close) : nullptr;
    long first = start - text;
    long last = end != nullptr ? end - text : Length() - 1;
    if (withoutDelimiters) {
        first++;
        if (end != nullptr)
            last--;
    }
    return Extract(first, last);
}

void LibString::ToIndex(const long& index)
{
    if (!fBuffer || index < -1 || index >= Length())
        return;
    fBuffer[index + 1] = '\0';
}

void LibString::FromIndex(const long& index)
{
    long length = Length();
    if (length == 0)
        return;
    if (index < 0 || index >= length) {
        fBuffer[0] = '\0';
        return;
    }
    memmove(fBuffer.get(), fBuffer.get() + index, static_cast<size_t>(length - index) + 1);
}

bool LibString::ToChar(const char& byte, const long& n, const int& offset)
{
    if (n < 0 || byte == '\0')
        return false;
    const char* found = Text() - 1;
    for (long i = 0; i <= n; i++) {
        found = strchr(found + 1, byte);
        if (found == nullptr)
            return false;
    }
    long end = (found - Text()) + offset;
    if (end < 0 || end > Length())
        return false;
    fBuffer[end] = '\0';
    return true;
}

bool LibString::FromChar(const char& byte, const long& n, const int& /*offset*/)
{
    // The offset takes no part: the text is always kept from the found byte on.
    if (n < 0 || byte == '\0')
        return false;
    const char* found = Text() - 1;
    for (long i = 0; i <= n; i++) {
        found = strchr(found + 1, byte);
        if (found == nullptr)
            return false;
    }
    FromIndex(found - Text());
    return true;
}

void LibString::ToLast(const char& byte, const long& offset)
{
    long length = Length();
    if (length == 0)
        return;
    const char* found = byte != '\0' ? strrchr(Text(), byte) : nullptr;
    long p = (found != nullptr ? found - Text() : 0) + offset;
    ToIndex(p);
}

void LibString::FromLast(const char& byte, const long& offset)
{
    long length = Length();
    if (length == 0)
        return;
    // A byte that does not occur counts as position 0 (so offset 1 drops the first
    // byte); kept as it is because callers were written against it.
    const char* found = byte != '\0' ? strrchr(Text(), byte) : nullptr;
    long p = (found != nullptr ? found - Text() : 0) + offset;
    FromIndex(p);
}

void LibString::Remove(const long& first, const long& last)
{
    long length = Length();
    if (!fBuffer || first < 0 || first > length || last < 0 || last < first)
        return;
    if (last + 1 >= length) {
        fBuffer[first] = '\0';
        return;
    }
    ShiftFrom(first, last + 1);
}

void LibString::RemoveChar(const long& index)
{
    if (index < 0 || index >= Length())
        return;
    ShiftFrom(index, index + 1);
}

void LibString::ShiftFrom(const long& to, const long& from)
{
    long length = Length();
    if (!fBuffer || to < 0 || to > from || from > length)
        return;
    memmove(fBuffer.get() + to, fBuffer.get() + from, static_cast<size_t>(length - from) + 1);
}

long LibString::Replace(const char* find, const char* with)
{
    if (find == nullptr || Length() == 0)
        return -1;
    const char* found = strstr(Text(), find);
    if (found == nullptr)
        return -1;
    long at = found - Text();
    ReplaceAt(at, static_cast<long>(strlen(find)), with != nullptr ? with : "");
    return at;
}

void LibString::ReplaceAll(const char* find, const char* with)
{
    // Replacing repeatedly from the start never ends for an empty find, nor for a
    // replacement that contains find. An empty find therefore changes nothing, and a
    // replacement containing find is done in one left-to-right pass that never looks
    // inside inserted text. Otherwise the result is that of repeating Replace from
    // the start; since the text before a replacement holds no match, the search can
    // go on a little before the replacement rather than from the start.
    if (find == nullptr || *find == '\0')
        return;
    // Copies, as either text may point into this string's buffer.
    LibString findCopy(find);
    LibString withCopy(with);
    long findLength = findCopy.Length();
    long withLength = withCopy.Length();
    bool rescan = strstr(withCopy.Text(), findCopy.Text()) == nullptr;
    long from = 0;
    for (;;) {
        const char* found = strstr(Text() + from, findCopy.Text());
        if (found == nullptr)
            return;
        long at = found - Text();
        ReplaceAt(at, findLength, withCopy.Text());
        from = rescan ? (at - findLength + 1 > 0 ? at - findLength + 1 : 0) : at + withLength;
    }
}

void LibString::ReplaceAt(long at, long count, const char* with)
{
    // Built in a new string first: with may point into this text.
    long length = Length();
    LibString result(length - count + static_cast<long>(strlen(with)));
    result.AppendBytes(Text(), at);
    result.Concat(with);
    result.Concat(Text() + at + count);
    long newLength = result.Length();
    if (newLength >= fCapacity)
        Adopt(std::move(result.fBuffer), newLength + 1);
    else
        memcpy(fBuffer.get(), result.Text(), static_cast<size_t>(newLength) + 1);
}

void LibString::ReplaceAll(const char& from, const char& to)
{
    if (!fBuffer || from == '\0')
        return;
    for (char* scan = fBuffer.get(); *scan != '\0'; scan++) {
        if (*scan == from)
            *scan = to;
    }
}

void LibString::SwapChar(const char& from, const char& to)
{
    ReplaceAll(from, to);
}

void LibString::RemoveRepeatingChar(const char& byte)
{
    if (!fBuffer || byte == '\0')
        return;
    char* out = fBuffer.get();
    for (const char* in = fBuffer.get(); *in != '\0'; in++) {
        if (*in == byte && out > fBuffer.get() && out[-1] == byte)
            continue;
        *out++ = *in;
    }
    *out = '\0';
}

void LibString::ToLowerCase()
{
    for (char* scan = fBuffer.get(); scan != nullptr && *scan != '\0'; scan++)
        *scan = LowerByte(*scan);
}

void LibString::ToUpperCase()
{
    for (char* scan = fBuffer.get(); scan != nullptr && *scan != '\0'; scan++)
        *scan = UpperByte(*scan);
}

void LibString::ToProperCase()
{
    long length = Length();
    char* text = fBuffer.get();
    for (long i = 0; i < length; i++) {
        text[i] = LowerByte(text[i]);
        bool upper = i == 0;
        if (i >= 1) {
            char before = text[i - 1];
            upper = upper || IsSpaceByte(before) || before == '&';
            // Initials: j.r.r. becomes J.R.R.
            upper = upper || (before == '.' && text[i + 1] == '.');
            upper = upper || (i == 1 && text[0] == '\'');
        }
        // A quoted letter after a space (rock 'n' roll), but not a possessive s.
        if (i >= 2 && IsSpaceByte(text[i - 2]) && text[i - 1] == '\'' && text[i] != 's')
            upper = true;
        if (upper)
            text[i] = UpperByte(text[i]);
    }
}

void LibString::StripLeadingSpaces()
{
    long skip = 0;
    const char* text = Text();
    while (IsSpaceByte(text[skip]))
        skip++;
    if (skip > 0)
        ShiftFrom(0, skip);
}

void LibString::StripTrailingSpaces()
{
    long length = Length();
    while (length > 0 && IsSpaceByte(fBuffer[length - 1]))
        fBuffer[--length] = '\0';
}

void LibString::StripAllSpaces()
{
    DropBytes(fBuffer.get(), IsSpaceByte);
}

void LibString::StripLeadingChar(const char& byte)
{
    long skip = 0;
    const char* text = Text();
    while (byte != '\0' && text[skip] == byte)
        skip++;
    if (skip > 0)
        ShiftFrom(0, skip);
}

void LibString::StripTrailingChar(const char& byte)
{
    long length = Length();
    while (byte != '\0' && length > 0 && fBuffer[length - 1] == byte)
        fBuffer[--length] = '\0';
}

void LibString::StripPunct()
{
    DropBytes(fBuffer.get(),
        [](char byte) { return byte != '_' && ispunct(static_cast<unsigned char>(byte)) != 0; });
}

bool LibString::Word(const long& n, LibString& word) const
{
    const char* text = Text();
    long length = Length();
    const char* start = nullptr;
    long wordLength = 0;
    long count = 0;
    for (long i = 0; i < length && start == nullptr; i++) {
        if (!IsSpaceByte(text[i]) && (i == 0 || IsSpaceByte(text[i - 1])) && ++count == n) {
            start = text + i;
            while (start[wordLength] != '\0' && !IsSpaceByte(start[wordLength]))
                wordLength++;
        }
    }
    // The word is copied out before word is reset: word may be this string.
    LibString found(
        start != nullptr ? Extract(start - text, start - text + wordLength - 1) : LibString());
    word.SetBuffer(length);
    if (start == nullptr)
        return false;
    memcpy(word.fBuffer.get(), found.Text(), static_cast<size_t>(wordLength) + 1);
    return true;
}

bool LibString::RemoveWord(const char* word)
{
    if (word == nullptr || *word == '\0')
        return false;
    long wordLength = static_cast<long>(strlen(word));
    const char* text = Text();
    long length = Length();
    for (long i = 0; i + wordLength <= length; i++) {
        bool startsWord = i == 0 || IsSpaceByte(text[i - 1]);
        bool endsWord = text[i + wordLength] == '\0' || IsSpaceByte(text[i + wordLength]);
        if (startsWord && endsWord
            && strncmp(text + i, word, static_cast<size_t>(wordLength)) == 0) {
            // The separator in front goes with the word.
            ShiftFrom(i > 0 ? i - 1 : 0, i + wordLength);
            return true;
        }
    }
    return false;
}

void LibString::RemoveAllWords(const char* word)
{
    while (RemoveWord(word)) { }
}
