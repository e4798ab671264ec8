// LibString: comparing, wildcard matching, searching and counting.

#include "LibString.h"

#include <cctype>
#include <cstring>

namespace {

// The upper-case form of a byte; bytes outside ASCII come back unchanged.
int Upper(char byte)
{
    return toupper(static_cast<unsigned char>(byte));
}

bool IsSpace(char byte)
{
    return isspace(static_cast<unsigned char>(byte)) != 0;
}

int Sign(long value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Compares two texts to their ends. Case-sensitive comparison treats bytes as signed
// 8-bit values, so bytes of 0x80 and above sort below ASCII. Ignoring case, both
// sides are upper-cased first.
int CompareTexts(const char* a, const char* b, bool ignoreCase)
{
    for (;; a++, b++) {
        // Signed bytes are the order here, as said above.
        // NOLINTBEGIN(bugprone-signed-char-misuse)
        int left = ignoreCase ? static_cast<signed char>(Upper(*a)) : static_cast<signed char>(*a);
        int right = ignoreCase ? static_cast<signed char>(Upper(*b)) : static_cast<signed char>(*b);
        // NOLINTEND(bugprone-signed-char-misuse)
        if (left != right)
            return left < right ? -1 : 1;
        if (*a == '\0')
            return 0;
    }
}

// Case-insensitive comparison over at most count bytes (count < 0: to the ends).
int CompareNoCase(const char* a, const char* b, long count)
{
    for (long i = 0; count < 0 || i < count; i++) {
        if (a[i] == '\0' && b[i] == '\0')
            return 0;
        if (a[i] == '\0')
            return -1;
        if (b[i] == '\0')
            return 1;
        int left = Upper(a[i]);
        int right = Upper(b[i]);
        if (left != right)
            return left < right ? -1 : 1;
    }
    return 0;
}

// Whether pattern occurs at text, comparing byte by byte after upper-casing.
bool MatchesAtNoCase(const char* text, const char* pattern)
{
    for (; *pattern != '\0'; text++, pattern++) {
        if (*text == '\0' || Upper(*text) != Upper(*pattern))
            return false;
    }
    return true;
}

} // namespace

int LibString::Compare(const char* text, const bool& ignoreCase) const
{
    if (text == nullptr)
        return 1;
    return CompareTexts(Text(), text, ignoreCase);
}

int LibString::Compare(const LibString& other, const bool& ignoreCase) const
{
    return Compare(other.Text(), ignoreCase);
}

int LibString::CompareSub(
    const char* text, const bool& ignoreCase, const long& count, const long& start) const
{
    if (text == nullptr)
        return 1;
    // A start outside the text compares an empty part rather than reading outside
    // the buffer.
    long length = Length();
    const char* part = start >= 0 && start <= length ? Text() + start : "";
    if (ignoreCase)
        return CompareNoCase(part, text, count);
    if (count < 0)
        return Sign(strcmp(part, text));
    return Sign(strncmp(part, text, static_cast<size_t>(count)));
}

int LibString::CompareSub(
    const LibString& other, const bool& ignoreCase, const long& count, const long& start) const
{
    return CompareSub(other.Text(), ignoreCase, count, start);
}

bool LibString::BeginsWith(const char* prefix, const bool& ignoreCase) const
{
    if (prefix == nullptr)
        return false;
    long prefixLength = static_cast<long>(strlen(prefix));
    if (prefixLength == 0 || prefixLength > Length())
        return false;
    if (ignoreCase)
        return CompareNoCase(Text(), prefix, prefixLength) == 0;
    return strncmp(Text(), prefix, static_cast<size_t>(prefixLength)) == 0;
}

bool LibString::BeginsWith(const LibString& prefix, const bool& ignoreCase) const
{
    return BeginsWith(prefix.Text(), ignoreCase);
}

bool LibString::EndsWith(const char* suffix, const bool& ignoreCase) const
{
    if (suffix == nullptr)
        return false;
    long suffixLength = static_cast<long>(strlen(suffix));
    long length = Length();
    if (suffixLength > length)
        return false;
    const char* text = Text();
    // Compared from the last byte backwards; an empty suffix matches at once.
    for (long i = 1; i <= suffixLength; i++) {
        char mine = text[length - i];
        char theirs = suffix[suffixLength - i];
        if (ignoreCase ? Upper(mine) != Upper(theirs) : mine != theirs)
            return false;
    }
    return true;
}

bool LibString::EndsWith(const LibString& suffix, const bool& ignoreCase) const
{
    return EndsWith(suffix.Text(), ignoreCase);
}

bool LibString::IsWildCard(const char* pattern) const
{
    return CompareWildCard(Text(), pattern);
}

bool LibString::IsWildCard(const LibString& pattern) const
{
    return CompareWildCard(Text(), pattern.Text());
}

bool LibString::CompareWildCard(const char* text, const char* pattern) const
{
    if (text == nullptr || pattern == nullptr)
        return false;
    // A whole-text match where "*" stands for any run of bytes and "?" for exactly
    // one. Instead of recursing at every "*" (exponential time and unbounded stack
    // on patterns such as "*a*a*a*b"), the matcher remembers the last "*" and, on a
    // mismatch, lets that "*" swallow one more byte. Any earlier "*" never needs to
    // take more, so this finds a match exactly when one exists.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*text != '\0') {
        if (*pattern == '*') {
            star = ++pattern;
            resume = text;
        } else if (*pattern == '?' || *pattern == *text) {
            pattern++;
            text++;
        } else if (star != nullptr) {
            pattern = star;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        pattern++;
    return *pattern == '\0';
}

bool LibString::operator==(const LibString& other) const
{
    return Compare(other, false) == 0;
}

bool LibString::operator==(const char* text) const
{
    return Compare(text, false) == 0;
}

bool LibString::operator>(const LibString& other) const
{
    return Compare(other, false) > 0;
}

bool LibString::Contain(const char* text, const bool& ignoreCase) const
{
    if (text == nullptr)
        return false;
    if (!ignoreCase)
        return strstr(Text(), text) != nullptr;
    if (*text == '\0')
        return true;
    for (const char* start = Text(); *start != '\0'; start++) {
        if (MatchesAtNoCase(start, text))
            return true;
    }
    return false;
}

bool LibString::Contain(const LibString& text, const bool& ignoreCase) const
{
    return Contain(text.Text(), ignoreCase);
}

bool LibString::Contain(const char& byte) const
{
    // As strchr: the terminator always occurs.
    return strchr(Text(), byte) != nullptr;
}

long LibString::Index(const char& byte) const
{
    if (byte == '\0')
        return -1;
    const char* found = strchr(Text(), byte);
    return found != nullptr ? found - Text() : -1;
}

long LibString::Index(const char* text) const
{
    if (text == nullptr || Length() == 0)
        return -1;
    const char* found = strstr(Text(), text);
    return found != nullptr ? found - Text() : -1;
}

long LibString::Index(const LibString& text) const
{
    return Index(text.Text());
}

long LibString::IndexOfAny(const char* set) const
{
    if (set == nullptr)
        return -1;
    const char* found = strpbrk(Text(), set);
    return found != nullptr ? found - Text() : -1;
}

long LibString::Count(const char& byte) const
{
    long count = 0;
    if (byte == '\0')
        return count;
    for (const char* scan = Text(); *scan != '\0'; scan++) {
        if (*scan == byte)
            count++;
    }
    return count;
}

long LibString::Words() const
{
    long words = 0;
    bool inWord = false;
    for (const char* scan = Text(); *scan != '\0'; scan++) {
        if (IsSpace(*scan)) {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            words++;
        }
    }
    return words;
}

bool LibString::IsBlank() const
{
    for (const char* scan = Text(); *scan != '\0'; scan++) {
        if (!IsSpace(*scan))
            return false;
    }
    return true;
}
