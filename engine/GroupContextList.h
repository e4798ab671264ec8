// GroupContextList: the install types of an installer, read from the configuration's
// "groups" message. A group's position in the list is the index that the window's
// list of install types uses.
#ifndef GROUP_CONTEXT_LIST_H
#define GROUP_CONTEXT_LIST_H

#include <LinkList.h>

#include "GroupContext.h"

class BMessage;

class GroupContextList : public LinkList<GroupContext> {
public:
    GroupContextList(void) = default;
    GroupContextList(const GroupContextList& other) = default;
    ~GroupContextList() override;

    // Replaces the list by the groups of a "groups" message ("group_name" and
    // "group_description", in parallel); the groups get the uids 0, 1, 2, ...
    void Read(const BMessage& message);
    // Adds "group_name" and "group_description" for each group, in list order.
    void Write(BMessage& message);

    // The first group with that uid, or null.
    GroupContext* FindContext(const long& uid);
    // Removes (and deletes) the first group with that uid.
    void RemoveContext(const long& uid);
    bool HasGroup(const char* name);
    // Appends a group of that name with the next uid, unless one exists already.
    void Add(const char* name);
    // Size(), or the last position whose group's uid differs from that position;
    // the smallest free uid when that one is taken.
    long NextUid();

    void PrintToStream();
};

#endif // GROUP_CONTEXT_LIST_H
