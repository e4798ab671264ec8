#pragma once

// BNodeInfo: the type information kept in a node's attributes: its MIME type
// ("BEOS:TYPE"), preferred application ("BEOS:PREF_APP"), application hint
// ("BEOS:PPATH") and icons ("BEOS:L:STD_ICON", "BEOS:M:STD_ICON").
//
// Icons are handled here as raw B_CMAP8 bytes (the *IconData calls). The
// BBitmap forms (GetIcon, SetIcon, GetTrackerIcon) belong to the interface
// kit, which owns BBitmap: they are functions of its own there, declared
// and defined beside each other (NodeInfoIcons.h), on top of these calls.

#include <Mime.h>
#include <SupportDefs.h>

class BNode;
struct entry_ref;

class BNodeInfo {
public:
    BNodeInfo();
    BNodeInfo(BNode* node);
    virtual ~BNodeInfo();

    status_t SetTo(BNode* node);
    status_t InitCheck() const;

    // The node's type, into a buffer of B_MIME_TYPE_LENGTH bytes. A node
    // without "BEOS:TYPE" that other Linux programs have typed (the
    // "user.mime_type" attribute) gives that type.
    virtual status_t GetType(char* type) const;
    // Sets the type (NULL removes it).
    virtual status_t SetType(const char* type);

    virtual status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
    virtual status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);

    virtual status_t GetAppHint(entry_ref* ref) const;
    virtual status_t SetAppHint(const entry_ref* ref);

    // The node's own icon as IconBytes(size) B_CMAP8 bytes.
    status_t GetIconData(icon_size size, uint8* bits) const;
    // Sets (or, for NULL bits, removes) the node's own icon.
    status_t SetIconData(icon_size size, const uint8* bits);

    // The icon the file manager shows: the node's own, else its type's (from
    // the MIME database), else a generic icon for its kind (folder, link,
    // program, document).
    status_t GetTrackerIconData(icon_size size, uint8* bits) const;
    static status_t GetTrackerIconData(const entry_ref* ref, icon_size size, uint8* bits);

    // The attribute names.
    static constexpr const char* kTypeAttribute = "BEOS:TYPE";
    static constexpr const char* kPreferredAppAttribute = "BEOS:PREF_APP";
    static constexpr const char* kAppHintAttribute = "BEOS:PPATH";
    static constexpr const char* kLargeIconAttribute = "BEOS:L:STD_ICON";
    static constexpr const char* kMiniIconAttribute = "BEOS:M:STD_ICON";

protected:
    BNode* Node() const { return fNode; }

    // A 'MIMS' string attribute into a buffer of `size` bytes.
    status_t ReadString(const char* name, char* buffer, size_t size) const;
    status_t WriteString(const char* name, const char* value);

private:
    BNode* fNode;
    status_t fStatus;
};
