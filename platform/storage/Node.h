#pragma once

// BNode: a file, folder or link itself, with its attributes. A symbolic link
// is not followed: the node is the link.
//
// Attributes are Linux extended attributes in the format described in
// NodeAttributes.h (the one Haiku's tools use on Linux), so their type codes
// survive. Writing "BEOS:TYPE" also sets "user.mime_type". Where the file
// system keeps no user xattrs, the calls fail with B_NOT_SUPPORTED; Linux
// allows none on symbolic links (B_NOT_ALLOWED when writing).

#include <string>
#include <vector>

#include <EntryRef.h>
#include <Statable.h>

class BDirectory;
class BEntry;

struct attr_info {
    uint32 type;
    off_t size;
};

class BNode : public BStatable {
public:
    BNode();
    BNode(const entry_ref* ref);
    BNode(const BEntry* entry);
    BNode(const char* path);
    BNode(const BDirectory* dir, const char* path);
    BNode(const BNode& node);
    ~BNode() override;

    status_t InitCheck() const;
    status_t GetStat(struct stat* info) const override;

    status_t SetTo(const entry_ref* ref);
    status_t SetTo(const BEntry* entry);
    status_t SetTo(const char* path);
    status_t SetTo(const BDirectory* dir, const char* path);
    void Unset();

    status_t Sync();

    // Writes `length` bytes at `offset` of the attribute, which gets type
    // `type`. Offset 0 replaces the whole attribute; a larger offset keeps
    // the bytes before it (zeros where there were none) and those after the
    // written range. Returns the bytes written or an error.
    ssize_t WriteAttr(
        const char* name, type_code type, off_t offset, const void* buffer, size_t length);
    // Reads up to `length` bytes from `offset`, whatever the attribute's
    // type. B_ENTRY_NOT_FOUND when the attribute does not exist.
    ssize_t ReadAttr(
        const char* name, type_code type, off_t offset, void* buffer, size_t length) const;
    status_t RemoveAttr(const char* name);
    status_t RenameAttr(const char* oldName, const char* newName);
    status_t GetAttrInfo(const char* name, attr_info* info) const;

    // Attribute names one by one, into a buffer of B_ATTR_NAME_LENGTH bytes;
    // B_ENTRY_NOT_FOUND after the last one.
    status_t GetNextAttrName(char* buffer);
    status_t RewindAttrs();

    bool operator==(const BNode& node) const;
    bool operator!=(const BNode& node) const { return !(*this == node); }
    BNode& operator=(const BNode& node);

    // The node's absolute path (empty when not initialised).
    const std::string& PathString() const { return fPath; }

protected:
    status_t GetNodeTarget(BPrivate::NodeTarget* target) const override;

    // Takes over an open descriptor (for BFile and BDirectory).
    void AdoptDescriptor(int fd, const std::string& path);
    int Descriptor() const { return fFd; }
    status_t SetStatus(status_t status) { return fStatus = status; }

private:
    // Reads the freedesktop.org type attribute beside BEOS:TYPE.
    friend class BNodeInfo;

    status_t OpenPath(const std::string& path);

    std::string fPath;
    int fFd;
    status_t fStatus;
    std::vector<std::string> fAttrNames;
    size_t fAttrIndex;
    bool fAttrsListed;
};
