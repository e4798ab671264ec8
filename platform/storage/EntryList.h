#pragma once

// BEntryList: a sequence of entries read one at a time (a folder's
// contents).

#include <SupportDefs.h>

class BEntry;
struct entry_ref;

class BEntryList {
public:
    BEntryList();
    virtual ~BEntryList();

    // The next entry; B_ENTRY_NOT_FOUND after the last.
    virtual status_t GetNextEntry(BEntry* entry, bool traverse = false) = 0;
    virtual status_t GetNextRef(entry_ref* ref) = 0;
    virtual status_t Rewind() = 0;
    virtual int32 CountEntries() = 0;
};
