// LibStringIterator: a LibString that remembers a read position and hands out the
// separator-delimited fields of its text one by one ("Typical;Sounds;").
#ifndef LIB_STRING_ITERATOR_H
#define LIB_STRING_ITERATOR_H

#include "LibString.h"

class LibStringIterator : public LibString {
public:
    LibStringIterator(void);
    // An empty text with room for size bytes plus the terminator.
    explicit LibStringIterator(int const& size);
    LibStringIterator(char const* text);
    LibStringIterator(LibString const& text);
    LibStringIterator(LibStringIterator const& other);
    ~LibStringIterator() override;

    LibStringIterator& operator=(const char* text);
    LibStringIterator& operator=(const LibString& text);
    LibStringIterator& operator=(const LibStringIterator& other);

    // Sets the read position; a position outside 0..length is clamped into it.
    LibStringIterator& Reset(const int& position);
    // The next field up to one separator byte. True while a field was read; false,
    // with an empty field, once the position is at the end.
    bool GetNextField(const char& separator, LibString& field);
    // The next field up to any byte of a set. True when a separator ended the field;
    // false for the last field, which is still filled, without moving the position.
    bool GetNextField(const char* separators, LibString& field);
    // Field number index (from 0), read from the start; field is unchanged on failure.
    bool GetIndexField(const char& separator, const long& index, LibString& field);

    // The current read position.
    int32 Position() const { return fPosition; }

    void PrintToStream() const override;

private:
    int32 fPosition;
};

#endif // LIB_STRING_ITERATOR_H
