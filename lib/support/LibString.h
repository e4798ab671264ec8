// LibString: the mutable, heap-buffered, NUL-terminated byte string that the whole
// installer uses for holding, building, comparing and cutting text.
//
// The length is never stored: it is the position of the first NUL byte. The buffer
// grows exactly (never speculatively) and only shrinks on re-assignment. Text is
// treated as single bytes except by the four UTF-8 character operations.
//
// Scalar arguments are passed as const references, as everywhere in the library.
// `long` is kept where the original interface used it; on this platform it is 64 bits
// wide, so values that must stay 32-bit (the capacity) use int32.
#ifndef LIB_STRING_H
#define LIB_STRING_H

#include <memory>

#include <SupportDefs.h>

class BFont;
class BRect;

class LibString {
public:
    // Construction, assignment and buffer.
    LibString(void);
    // An empty text with room for size bytes plus the terminator. Explicit so that
    // a number is never silently taken for a text.
    explicit LibString(long const& size);
    LibString(char const* text);
    LibString(LibString const& other);
    virtual ~LibString();

    virtual operator const char*() const;
    virtual operator char*() const;

    LibString& operator=(const char* text);
    LibString& operator=(const LibString& other);
    LibString& operator=(const long& value);
    // int32 values are printed as "%ld" of a long; without this overload an int
    // argument would be ambiguous between long, float and double.
    LibString& operator=(const int& value);
    LibString& operator=(const float& value);
    LibString& operator=(const double& value);

    void SetFloat32(const float& value, const int& decimals);
    void SetFloat64(const double& value, const int& decimals);
    void SetHex(const unsigned char& value);
    LibString& Formatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void SetBuffer(const long& size);
    void Clear();
    void Read(const char* path, const long& lineSize);

    // Appending and inserting.
    void Concat(const char* text);
    void Concat(const char& byte);
    LibString& operator+=(const long& value);
    LibString& operator+=(const int& value);
    LibString& operator+=(const float& value);
    LibString& operator+=(const double& value);
    void PrePend(const char* text);
    void Insert(const int& position, const char* text);

    // Comparing.
    int Compare(const char* text, const bool& ignoreCase = false) const;
    int Compare(const LibString& other, const bool& ignoreCase = false) const;
    int CompareSub(const char* text, const bool& ignoreCase = false, const long& count = -1,
        const long& start = 0) const;
    int CompareSub(const LibString& other, const bool& ignoreCase = false, const long& count = -1,
        const long& start = 0) const;
    bool BeginsWith(const char* prefix, const bool& ignoreCase = false) const;
    bool BeginsWith(const LibString& prefix, const bool& ignoreCase = false) const;
    bool EndsWith(const char* suffix, const bool& ignoreCase = false) const;
    bool EndsWith(const LibString& suffix, const bool& ignoreCase = false) const;
    bool IsWildCard(const char* pattern) const;
    bool IsWildCard(const LibString& pattern) const;
    bool CompareWildCard(const char* text, const char* pattern) const;

    // Equality and order as used by the list template: case-sensitive, whole text.
    bool operator==(const LibString& other) const;
    bool operator==(const char* text) const;
    bool operator>(const LibString& other) const;

    // Searching and counting.
    bool Contain(const char* text, const bool& ignoreCase = false) const;
    bool Contain(const LibString& text, const bool& ignoreCase = false) const;
    bool Contain(const char& byte) const;
    long Index(const char& byte) const;
    long Index(const char* text) const;
    long Index(const LibString& text) const;
    long IndexOfAny(const char* set) const;
    long Count(const char& byte) const;
    long Words() const;
    bool IsBlank() const;
    bool IsNumeric() const;

    // Cutting.
    LibString Extract(const long& first, const long& last) const;
    LibString Extract(const char& open, const char& close, const bool& withoutDelimiters) const;
    void ToIndex(const long& index);
    void FromIndex(const long& index);
    bool ToChar(const char& byte, const long& n, const int& offset);
    bool FromChar(const char& byte, const long& n, const int& offset);
    void ToLast(const char& byte, const long& offset);
    void FromLast(const char& byte, const long& offset);
    void Remove(const long& first, const long& last);
    void RemoveChar(const long& index);
    void ShiftFrom(const long& to, const long& from);

    // Replacing and case.
    long Replace(const char* find, const char* with);
    void ReplaceAll(const char* find, const char* with);
    void ReplaceAll(const char& from, const char& to);
    void SwapChar(const char& from, const char& to);
    void RemoveRepeatingChar(const char& byte);
    void ToLowerCase();
    void ToUpperCase();
    void ToProperCase();

    // Whitespace and punctuation.
    void StripLeadingSpaces();
    void StripTrailingSpaces();
    void StripAllSpaces();
    void StripLeadingChar(const char& byte);
    void StripTrailingChar(const char& byte);
    void StripPunct();

    // Words.
    bool Word(const long& n, LibString& word) const;
    bool RemoveWord(const char* word);
    void RemoveAllWords(const char* word);

    // Numbers. The text must satisfy the number syntax (digits, one leading sign, one
    // "."); digits after the "." are ignored by the integer forms, and each result is
    // narrowed to its type's width by truncation (GetInt32 and GetUint32 to 32 bits, as
    // their names say, although `long` is wider here).
    bool GetInt8(signed char& value) const;
    bool GetUint8(unsigned char& value) const;
    bool GetInt16(short& value) const;
    bool GetUint16(unsigned short& value) const;
    bool GetInt32(long& value) const;
    bool GetUint32(unsigned long& value) const;
    bool GetFloat32(float& value) const;
    bool GetFloat64(double& value) const;
    unsigned char GetHex() const;
    int HexValue(const char& digit) const;

    // Characters (UTF-8).
    long CharCount() const;
    void NextCharacter(const char* text, long long& offset, unsigned long& length) const;
    void CharToIndex(const long& n);
    void CharFromIndex(const long& n);

    // Display and diagnostics. Truncate shortens the text, with a trailing
    // "...", until it is narrower than `width` in `font`; `rect` gets the
    // width of what was kept. It cuts between characters, never inside one.
    // Returns the number of bytes taken off (the length when nothing is).
    int Truncate(const BFont& font, const int& width, BRect& rect);
    long PackSize() const;
    virtual void PrintToStream() const;
    void PrintDecimalToStream() const;

    // The length of the text: the index of the first NUL byte, 0 without a buffer.
    long Length() const;

private:
    // The text, never null: an empty text when the string has no buffer.
    const char* Text() const;
    // Replaces the buffer and its capacity.
    void Adopt(std::unique_ptr<char[]> buffer, long capacity);
    // Appends count bytes, growing the buffer exactly when they do not fit. The bytes
    // may lie inside this string's own buffer.
    void AppendBytes(const char* bytes, long count);
    // Replaces the text by a printf result in a buffer of at least minCapacity bytes,
    // larger when the printed text needs more room.
    void AssignPrinted(long minCapacity, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
    void AppendPrinted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Replaces count bytes at byte index at by with.
    void ReplaceAt(long at, long count, const char* with);

    std::unique_ptr<char[]> fBuffer;
    int32 fCapacity;
};

#endif // LIB_STRING_H
