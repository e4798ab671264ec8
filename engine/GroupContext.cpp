// GroupContext: one install type.

#include "GroupContext.h"

#include <cstdio>

GroupContext::GroupContext(void)
    : fUid(-1)
{
}

GroupContext::GroupContext(char const* name)
    : GroupContext()
{
    SetName(name);
}

GroupContext::~GroupContext() = default;

GroupContext& GroupContext::operator=(const GroupContext& other)
{
    if (&other == this)
        return *this;
    fName = other.fName;
    fUid = other.fUid;
    fDescription = other.fDescription;
    return *this;
}

bool GroupContext::operator==(const GroupContext& other) const
{
    return fName.Compare(other.fName, false) == 0;
}

bool GroupContext::operator>(const GroupContext& other) const
{
    return fName.Compare(other.fName, false) > 0;
}

void GroupContext::SetName(const char* name)
{
    fName = name;
}

void GroupContext::SetUid(const long& uid)
{
    fUid = static_cast<int32>(uid);
}

void GroupContext::SetDescription(const char* description)
{
    fDescription = description;
}

void GroupContext::PrintToStream()
{
    fprintf(stderr, "GroupContext: %d) name %s, desc (%s)\n", fUid, static_cast<const char*>(fName),
        static_cast<const char*>(fDescription));
}
