// GroupContextList: the install types and their "groups" message form.

#include "GroupContextList.h"

#include "InstallerFormat.h"

#include <Message.h>

namespace {

const char* const kGroupNameField = InstallerFormat::Field::kGroupName;
const char* const kDescriptionField = InstallerFormat::Field::kGroupDescription;

} // namespace

GroupContextList::~GroupContextList() = default;

void GroupContextList::Read(const BMessage& message)
{
    Clear();
    const char* name = nullptr;
    for (int32 index = 0; message.FindString(kGroupNameField, index, &name) == B_OK; index++) {
        auto* group = new GroupContext;
        group->SetUid(NextUid());
        group->SetName(name);
        const char* description = nullptr;
        if (message.FindString(kDescriptionField, index, &description) == B_OK)
            group->SetDescription(description);
        Insert(group);
    }
}

void GroupContextList::Write(BMessage& message)
{
    for (GroupContext* group = First(); group != nullptr; group = Next()) {
        message.AddString(kGroupNameField, group->Name());
        message.AddString(kDescriptionField, group->Description());
    }
}

GroupContext* GroupContextList::FindContext(const long& uid)
{
    for (GroupContext* group = First(); group != nullptr; group = Next()) {
        if (group->Uid() == uid)
            return group;
    }
    return nullptr;
}

void GroupContextList::RemoveContext(const long& uid)
{
    if (FindContext(uid) != nullptr)
        Remove();
}

bool GroupContextList::HasGroup(const char* name)
{
    if (name == nullptr)
        return false;
    GroupContext probe(name);
    return InList(&probe);
}

void GroupContextList::Add(const char* name)
{
    if (name == nullptr || HasGroup(name))
        return;
    auto* group = new GroupContext(name);
    group->SetUid(NextUid());
    Insert(group);
}

long GroupContextList::NextUid()
{
    // A gap in the numbering is reused: the last position whose group does not
    // carry its own position as uid.
    long result = Size();
    long position = 0;
    for (GroupContext* group = First(); group != nullptr; group = Next(), position++) {
        if (group->Uid() != position)
            result = position;
    }
    // That position may still be the uid of a later group (after a removal, uids
    // 0, 2, 3 give position 2). Two groups must never share a uid, so the smallest
    // free uid is taken instead.
    if (FindContext(result) == nullptr)
        return result;
    for (long uid = 0;; uid++) {
        if (FindContext(uid) == nullptr)
            return uid;
    }
}

void GroupContextList::PrintToStream()
{
    for (GroupContext* group = First(); group != nullptr; group = Next())
        group->PrintToStream();
}
