// LibStringList: plain-text and message-field operations over a LinkList<LibString>.

#include "LibStringList.h"

#include <Message.h>

LibStringList::LibStringList(void) = default;

LibStringList::~LibStringList() = default;

LibStringList& LibStringList::operator=(LibStringList& other)
{
    LinkList<LibString>::operator=(other);
    return *this;
}

bool LibStringList::Add(const char* text)
{
    if (text == nullptr)
        return false;
    return Insert(new LibString(text));
}

bool LibStringList::InList(const char* text)
{
    if (text == nullptr)
        return false;
    LibString probe(text);
    return LinkList<LibString>::InList(&probe);
}

LibString* LibStringList::Find(const char* text, const bool& ignoreCase, const int& count)
{
    if (text == nullptr)
        return nullptr;
    for (LibString* item = First(); item != nullptr; item = Next()) {
        if (item->CompareSub(text, ignoreCase, count, 0) == 0)
            return item;
    }
    return nullptr;
}

void LibStringList::Remove(const char* text)
{
    if (text == nullptr)
        return;
    LibString probe(text);
    LinkList<LibString>::Remove(&probe, false);
}

void LibStringList::Remove(const LibString& text)
{
    Remove(static_cast<const char*>(text));
}

void LibStringList::SetTo(const BMessage& message, const char* name)
{
    if (!message.HasString(name, 0))
        return;
    Clear();
    Append(message, name);
}

void LibStringList::Append(const BMessage& message, const char* name)
{
    const char* text = nullptr;
    for (int32 index = 0; message.FindString(name, index, &text) == B_OK; index++)
        Add(text);
}

void LibStringList::GetFrom(BMessage& message, const char* name)
{
    for (LibString* item = First(); item != nullptr; item = Next()) {
        const char* text = *item;
        message.AddString(name, text != nullptr ? text : "");
    }
}

void LibStringList::PrintToStream()
{
    for (LibString* item = First(); item != nullptr; item = Next())
        item->PrintToStream();
}
