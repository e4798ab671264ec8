#pragma once

// BPath: an absolute path string.
//
// Setting a path makes it absolute (against the working folder) and cleans
// it: repeated slashes, "." components and a trailing slash go without a
// look at the disk. A path with ".." components, or any path when
// `normalize` is true, is normalised on disk: the folder part is resolved
// (symbolic links followed) and must exist, while the leaf need not
// (B_ENTRY_NOT_FOUND otherwise).

#include <string>

#include <SupportDefs.h>

class BDirectory;
class BEntry;
struct entry_ref;

class BPath {
public:
    BPath();
    BPath(const BPath& path);
    BPath(const entry_ref* ref);
    BPath(const BEntry* entry);
    BPath(const char* dir, const char* leaf = nullptr, bool normalize = false);
    BPath(const BDirectory* dir, const char* leaf, bool normalize = false);
    ~BPath();

    status_t InitCheck() const;

    status_t SetTo(const entry_ref* ref);
    status_t SetTo(const BEntry* entry);
    status_t SetTo(const char* path, const char* leaf = nullptr, bool normalize = false);
    status_t SetTo(const BDirectory* dir, const char* leaf = nullptr, bool normalize = false);
    void Unset();

    // Appends a relative path ("home" to a volume's root folder).
    status_t Append(const char* path, bool normalize = false);

    // The full path; NULL when the object is not initialised.
    const char* Path() const;
    // The last component ("" for "/"); NULL when not initialised.
    const char* Leaf() const;
    // The containing folder; B_ENTRY_NOT_FOUND for "/".
    status_t GetParent(BPath* path) const;

    bool operator==(const BPath& item) const;
    bool operator==(const char* path) const;
    bool operator!=(const BPath& item) const { return !(*this == item); }
    bool operator!=(const char* path) const { return !(*this == path); }
    BPath& operator=(const BPath& item);
    BPath& operator=(const char* path);

private:
    std::string fPath;
    status_t fStatus;
};
