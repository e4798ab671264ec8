#include "LibEntryDate.h"

#include <cstdio>

#include <Entry.h>

namespace {

enum class DateKind { kCreation, kModification, kAccess };

LibDateTime DateOf(const BEntry& entry, DateKind kind, bool local, bool* found)
{
    LibDateTime date(1, 1, 1970);
    time_t when = 0;
    status_t status = B_NO_INIT;
    if (entry.InitCheck() == B_OK) {
        switch (kind) {
        case DateKind::kCreation:
            status = entry.GetCreationTime(&when);
            break;
        case DateKind::kModification:
            status = entry.GetModificationTime(&when);
            break;
        case DateKind::kAccess:
            status = entry.GetAccessTime(&when);
            break;
        }
    }
    *found = status == B_OK;
    if (!*found)
        return date;
    if (local)
        date.SetDateTime(long(when), true);
    else
        date.AddSeconds(long(when));
    return date;
}

} // namespace

LibDateTime LibCreationDate(const char* path, const bool& local)
{
    BEntry entry(path, true);
    bool found;
    LibDateTime date = DateOf(entry, DateKind::kCreation, local, &found);
    if (!found)
        std::fprintf(stderr, "LibCreationDate: Unable to set entry <%s>\n", path ? path : "");
    return date;
}

LibDateTime LibCreationDate(const entry_ref& ref, const bool& local)
{
    BEntry entry(&ref, true);
    bool found;
    return DateOf(entry, DateKind::kCreation, local, &found);
}

LibDateTime LibLastModifiedDate(const char* path, const bool& local)
{
    BEntry entry(path, true);
    bool found;
    return DateOf(entry, DateKind::kModification, local, &found);
}

LibDateTime LibAccessedDate(const char* path, const bool& local)
{
    BEntry entry(path, true);
    bool found;
    return DateOf(entry, DateKind::kAccess, local, &found);
}
