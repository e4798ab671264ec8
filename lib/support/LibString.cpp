// LibString: construction, assignment, the buffer, appending and diagnostics.
// Comparison and search live in LibStringCompare.cpp, editing in LibStringEdit.cpp,
// numbers and UTF-8 characters in LibStringNumber.cpp.

#include "LibString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Capacities that the number assignments start from; a longer printed text gets a
// buffer large enough for it.
constexpr long kLongCapacity = 11;
constexpr long kFloatCapacity = 11;
constexpr long kDoubleCapacity = 16;
constexpr long kHexCapacity = 3;

// Scratch size for Read when the caller's line size is too small to make progress
// with fgets (which needs room for one byte and the terminator).
constexpr long kDefaultLineSize = 256;

std::unique_ptr<char[]> NewBuffer(long capacity)
{
    return std::make_unique_for_overwrite<char[]>(static_cast<size_t>(capacity));
}

// A size given by a caller, never negative.
long SaneSize(long size)
{
    return size < 0 ? 0 : size;
}

} // namespace

LibString::LibString(void)
    : fBuffer(NewBuffer(1))
    , fCapacity(1)
{
    fBuffer[0] = '\0';
}

LibString::LibString(long const& size)
    : fBuffer(nullptr)
    , fCapacity(0)
{
    SetBuffer(size);
}

LibString::LibString(char const* text)
    : fBuffer(nullptr)
    , fCapacity(0)
{
    long length = text != nullptr ? static_cast<long>(strlen(text)) : 0;
    Adopt(NewBuffer(length + 1), length + 1);
    if (length > 0)
        memcpy(fBuffer.get(), text, static_cast<size_t>(length));
    fBuffer[length] = '\0';
}

LibString::LibString(LibString const& other)
    : fBuffer(nullptr)
    , fCapacity(0)
{
    // A copy of a string without a buffer still gets one: every constructor leaves
    // at least the terminator.
    long length = other.Length();
    long capacity = other.fCapacity > length ? other.fCapacity : length + 1;
    Adopt(NewBuffer(capacity), capacity);
    memcpy(fBuffer.get(), other.Text(), static_cast<size_t>(length) + 1);
}

LibString::~LibString()
{
    Clear();
}

LibString::operator const char*() const
{
    return fBuffer.get();
}

LibString::operator char*() const
{
    return fBuffer.get();
}

LibString& LibString::operator=(const char* text)
{
    if (text == nullptr)
        return *this;
    // The new buffer is filled before the old one goes, so text may point into it.
    long length = static_cast<long>(strlen(text));
    std::unique_ptr<char[]> buffer = NewBuffer(length + 1);
    memcpy(buffer.get(), text, static_cast<size_t>(length) + 1);
    Adopt(std::move(buffer), length + 1);
    return *this;
}

LibString& LibString::operator=(const LibString& other)
{
    if (&other == this)
        return *this;
    long length = other.Length();
    long capacity = other.fCapacity > length ? other.fCapacity : length + 1;
    std::unique_ptr<char[]> buffer = NewBuffer(capacity);
    memcpy(buffer.get(), other.Text(), static_cast<size_t>(length) + 1);
    Adopt(std::move(buffer), capacity);
    return *this;
}

LibString& LibString::operator=(const long& value)
{
    AssignPrinted(kLongCapacity, "%ld", value);
    return *this;
}

LibString& LibString::operator=(const int& value)
{
    return operator=(static_cast<long>(value));
}

LibString& LibString::operator=(const float& value)
{
    AssignPrinted(kFloatCapacity, "%f", static_cast<double>(value));
    return *this;
}

LibString& LibString::operator=(const double& value)
{
    AssignPrinted(kDoubleCapacity, "%f", value);
    return *this;
}

void LibString::SetFloat32(const float& value, const int& decimals)
{
    AssignPrinted(kFloatCapacity, "%.*f", decimals, static_cast<double>(value));
}

void LibString::SetFloat64(const double& value, const int& decimals)
{
    AssignPrinted(kDoubleCapacity, "%.*f", decimals, value);
}

void LibString::SetHex(const unsigned char& value)
{
    static const char kDigits[] = "0123456789ABCDEF";
    Adopt(NewBuffer(kHexCapacity), kHexCapacity);
    fBuffer[0] = kDigits[value >> 4];
    fBuffer[1] = kDigits[value & 0x0f];
    fBuffer[2] = '\0';
}

LibString& LibString::Formatted(const char* format, ...)
{
    if (format == nullptr)
        return *this;
    // The result is measured first and gets a buffer of its own size, so results of
    // any length are safe (a fixed scratch area would overflow on long results). The
    // arguments may point into this string's own text: it is replaced only at the end.
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length >= 0) {
        std::unique_ptr<char[]> buffer = NewBuffer(length + 1);
        vsnprintf(buffer.get(), static_cast<size_t>(length) + 1, format, args);
        Adopt(std::move(buffer), length + 1);
    }
    va_end(args);
    return *this;
}

void LibString::SetBuffer(const long& size)
{
    long capacity = SaneSize(size) + 1;
    Adopt(NewBuffer(capacity), capacity);
    fBuffer[0] = '\0';
}

void LibString::Clear()
{
    fBuffer.reset();
    fCapacity = 0;
}

void LibString::Read(const char* path, const long& lineSize)
{
    if (path == nullptr)
        return;
    FILE* file = fopen(path, "r");
    if (file == nullptr)
        return;

    // Room for the whole file is made at once: growing exactly for every piece
    // would copy the text over and over for a long file.
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        long length = Length();
        long needed = length + static_cast<long>(info.st_size) + 1;
        if (needed > fCapacity) {
            std::unique_ptr<char[]> buffer = NewBuffer(needed);
            memcpy(buffer.get(), Text(), static_cast<size_t>(length) + 1);
            Adopt(std::move(buffer), needed);
        }
    }

    // Lines longer than the scratch area arrive in several pieces, each appended in
    // turn, so nothing is cut. A line size too small for fgets to make progress
    // would loop for ever; a workable size is used instead.
    long scratchSize = lineSize >= 2 ? lineSize : kDefaultLineSize;
    std::unique_ptr<char[]> scratch = NewBuffer(scratchSize);
    int chunk = scratchSize > 0x7fffffff ? 0x7fffffff : static_cast<int>(scratchSize);
    while (fgets(scratch.get(), chunk, file) != nullptr)
        AppendBytes(scratch.get(), static_cast<long>(strlen(scratch.get())));
    fclose(file);
}

void LibString::Concat(const char* text)
{
    if (text != nullptr)
        AppendBytes(text, static_cast<long>(strlen(text)));
}

void LibString::Concat(const char& byte)
{
    // A NUL byte would only end the text where it already ends.
    if (byte != '\0')
        AppendBytes(&byte, 1);
}

LibString& LibString::operator+=(const long& value)
{
    AppendPrinted("%ld", value);
    return *this;
}

LibString& LibString::operator+=(const int& value)
{
    return operator+=(static_cast<long>(value));
}

LibString& LibString::operator+=(const float& value)
{
    AppendPrinted("%f", static_cast<double>(value));
    return *this;
}

LibString& LibString::operator+=(const double& value)
{
    AppendPrinted("%f", value);
    return *this;
}

void LibString::PrePend(const char* text)
{
    if (text == nullptr)
        return;
    long length = Length();
    long added = static_cast<long>(strlen(text));
    std::unique_ptr<char[]> buffer = NewBuffer(length + added + 1);
    memcpy(buffer.get(), text, static_cast<size_t>(added));
    memcpy(buffer.get() + added, Text(), static_cast<size_t>(length) + 1);
    Adopt(std::move(buffer), length + added + 1);
}

void LibString::Insert(const int& position, const char* text)
{
    if (text == nullptr)
        return;
    long length = Length();
    // Position -1 inserts in front; positions below -1 or at the last byte and
    // beyond append.
    if (position < -1 || position >= length - 1) {
        Concat(text);
        return;
    }
    long at = position + 1;
    long added = static_cast<long>(strlen(text));
    long newLength = length + added;
    std::unique_ptr<char[]> buffer;
    char* target = fBuffer.get();
    if (newLength >= fCapacity) {
        buffer = NewBuffer(newLength + 1);
        target = buffer.get();
        memcpy(target, fBuffer.get(), static_cast<size_t>(at));
    }
    // Keep a copy of the inserted text in case it points into this buffer.
    std::unique_ptr<char[]> copy = NewBuffer(added + 1);
    memcpy(copy.get(), text, static_cast<size_t>(added) + 1);
    memmove(target + at + added, fBuffer.get() + at, static_cast<size_t>(length - at) + 1);
    memcpy(target + at, copy.get(), static_cast<size_t>(added));
    if (buffer)
        Adopt(std::move(buffer), newLength + 1);
}

long LibString::PackSize() const
{
    return Length() + 4;
}

void LibString::PrintToStream() const
{
    fprintf(stderr, "LibString:: <%s>, buffer %d\n", Text(), fCapacity);
}

void LibString::PrintDecimalToStream() const
{
    for (const char* byte = Text(); *byte != '\0'; byte++)
        fprintf(stderr, "%d,", static_cast<int>(static_cast<signed char>(*byte)));
    fprintf(stderr, "\n");
}

long LibString::Length() const
{
    return fBuffer ? static_cast<long>(strlen(fBuffer.get())) : 0;
}

const char* LibString::Text() const
{
    return fBuffer ? fBuffer.get() : "";
}

void LibString::Adopt(std::unique_ptr<char[]> buffer, long capacity)
{
    fBuffer = std::move(buffer);
    fCapacity = static_cast<int32>(capacity);
}

void LibString::AppendBytes(const char* bytes, long count)
{
    long length = Length();
    long newLength = length + count;
    if (newLength >= fCapacity) {
        // The old buffer stays alive until the bytes are copied: they may lie in it.
        std::unique_ptr<char[]> buffer = NewBuffer(newLength + 1);
        memcpy(buffer.get(), Text(), static_cast<size_t>(length));
        memcpy(buffer.get() + length, bytes, static_cast<size_t>(count));
        buffer[newLength] = '\0';
        Adopt(std::move(buffer), newLength + 1);
        return;
    }
    memmove(fBuffer.get() + length, bytes, static_cast<size_t>(count));
    fBuffer[newLength] = '\0';
}

void LibString::AssignPrinted(long minCapacity, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    long capacity = length + 1 > minCapacity ? length + 1 : minCapacity;
    std::unique_ptr<char[]> buffer = NewBuffer(capacity);
    vsnprintf(buffer.get(), static_cast<size_t>(capacity), format, args);
    va_end(args);
    Adopt(std::move(buffer), capacity);
}

void LibString::AppendPrinted(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::unique_ptr<char[]> printed = NewBuffer(length + 1);
    vsnprintf(printed.get(), static_cast<size_t>(length) + 1, format, args);
    va_end(args);
    AppendBytes(printed.get(), length);
}
