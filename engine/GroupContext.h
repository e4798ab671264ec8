// GroupContext: one install type, a named and described selection of payload items
// ("Typical", "Sounds"), with its id in its list.
#ifndef GROUP_CONTEXT_H
#define GROUP_CONTEXT_H

#include <LibString.h>

class GroupContext {
public:
    GroupContext(void);
    GroupContext(char const* name);
    GroupContext(const GroupContext& other) = default;
    virtual ~GroupContext();

    GroupContext& operator=(const GroupContext& other);

    // Equality and order go by name alone (case-sensitive).
    bool operator==(const GroupContext& other) const;
    bool operator>(const GroupContext& other) const;

    void SetName(const char* name);
    void SetUid(const long& uid);
    void SetDescription(const char* description);

    const LibString& Name() const { return fName; }
    int32 Uid() const { return fUid; }
    const LibString& Description() const { return fDescription; }

    void PrintToStream();

private:
    LibString fName;
    // -1 until the group is added to a list.
    int32 fUid;
    LibString fDescription;
};

#endif // GROUP_CONTEXT_H
