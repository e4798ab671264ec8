// LibStringIterator: the field reading over a LibString.

#include "LibStringIterator.h"

#include <cstdio>
#include <cstring>

LibStringIterator::LibStringIterator(void)
    : fPosition(0)
{
}

LibStringIterator::LibStringIterator(int const& size)
    : LibString(static_cast<long>(size))
    , fPosition(0)
{
}

LibStringIterator::LibStringIterator(char const* text)
    : LibString(text)
    , fPosition(0)
{
}

LibStringIterator::LibStringIterator(LibString const& text)
    : LibString(text)
    , fPosition(0)
{
}

LibStringIterator::LibStringIterator(LibStringIterator const& other)
    : LibString(other)
    , fPosition(other.fPosition)
{
}

LibStringIterator::~LibStringIterator() = default;

LibStringIterator& LibStringIterator::operator=(const char* text)
{
    LibString::operator=(text);
    fPosition = 0;
    return *this;
}

LibStringIterator& LibStringIterator::operator=(const LibString& text)
{
    if (&text == this)
        return *this;
    LibString::operator=(text);
    fPosition = 0;
    return *this;
}

LibStringIterator& LibStringIterator::operator=(const LibStringIterator& other)
{
    if (&other == this)
        return *this;
    LibString::operator=(other);
    fPosition = other.fPosition;
    return *this;
}

LibStringIterator& LibStringIterator::Reset(const int& position)
{
    long length = Length();
    fPosition = static_cast<int32>(position < 0 ? 0 : (position > length ? length : position));
    return *this;
}

bool LibStringIterator::GetNextField(const char& separator, LibString& field)
{
    long length = Length();
    // The text may have been shortened through a LibString operation since the
    // position was set; never read past its end.
    if (fPosition >= length) {
        fPosition = static_cast<int32>(length);
        field = "";
        return false;
    }
    const char* start = static_cast<const char*>(*this) + fPosition;
    const char* end = separator != '\0' ? strchr(start, separator) : nullptr;
    if (end == nullptr) {
        field = Extract(fPosition, length - 1);
        fPosition = static_cast<int32>(length);
        return true;
    }
    long fieldLength = end - start;
    field = Extract(fPosition, fPosition + fieldLength - 1);
    fPosition += static_cast<int32>(fieldLength + 1);
    return true;
}

bool LibStringIterator::GetNextField(const char* separators, LibString& field)
{
    long length = Length();
    if (fPosition > length)
        fPosition = static_cast<int32>(length);
    const char* start = static_cast<const char*>(*this);
    start = start != nullptr ? start + fPosition : "";
    long fieldLength = static_cast<long>(strcspn(start, separators != nullptr ? separators : ""));
    field = Extract(fPosition, fPosition + fieldLength - 1);
    if (start[fieldLength] == '\0')
        return false;
    fPosition += static_cast<int32>(fieldLength + 1);
    return true;
}

bool LibStringIterator::GetIndexField(const char& separator, const long& index, LibString& field)
{
    if (index < 0)
        return false;
    fPosition = 0;
    LibString read;
    for (long i = 0; i <= index; i++) {
        if (!GetNextField(separator, read))
            return false;
    }
    field = read;
    return true;
}

void LibStringIterator::PrintToStream() const
{
    LibString::PrintToStream();
    fprintf(stderr, "position %d\n", fPosition);
}
