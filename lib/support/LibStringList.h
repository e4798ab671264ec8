// LibStringList: an owning list of LibString items with operations for plain texts
// and for moving lists in and out of message fields.
#ifndef LIB_STRING_LIST_H
#define LIB_STRING_LIST_H

#include "LibString.h"
#include "LinkList.h"

class BMessage;

class LibStringList : public LinkList<LibString> {
public:
    LibStringList(void);
    LibStringList(const LibStringList& other) = default;
    ~LibStringList() override;

    LibStringList& operator=(LibStringList& other);

    using LinkList<LibString>::InList;
    using LinkList<LibString>::Remove;

    // Appends a new item holding text; false for a null text.
    bool Add(const char* text);
    // Whether an item's text equals text (case-sensitive); the cursor rests on it.
    bool InList(const char* text);
    // The first item whose first count bytes equal those of text (count -1: the whole
    // text), or null.
    LibString* Find(const char* text, const bool& ignoreCase, const int& count);
    // Removes the first item whose text equals text; nothing when there is none.
    void Remove(const char* text);
    void Remove(const LibString& text);

    // Replaces the list by the strings of a message field; a message without a
    // string at index 0 of that field leaves the list as it was.
    void SetTo(const BMessage& message, const char* name);
    // Appends the strings of a message field, in index order.
    void Append(const BMessage& message, const char* name);
    // Adds every item's text to a message field, in list order.
    void GetFrom(BMessage& message, const char* name);

    void PrintToStream();
};

#endif // LIB_STRING_LIST_H
