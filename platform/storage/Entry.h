#pragma once

// BEntry: a location in the file system (folder and name), which may or may
// not hold a file, a folder or a link. With `traverse` a symbolic link is
// followed when the entry is set, and the entry names the link's target;
// without it the entry is the link itself.

#include <string>

#include <EntryRef.h>
#include <Statable.h>

class BDirectory;
class BPath;

// The reference of a path. A missing leaf in an existing folder gives the
// reference the entry would have; a missing folder fails. A final symbolic
// link is not followed.
status_t get_ref_for_path(const char* path, entry_ref* ref);

class BEntry : public BStatable {
public:
    BEntry();
    BEntry(const BDirectory* dir, const char* path, bool traverse = false);
    BEntry(const entry_ref* ref, bool traverse = false);
    BEntry(const char* path, bool traverse = false);
    BEntry(const BEntry& entry);
    ~BEntry() override;

    status_t InitCheck() const;
    bool Exists() const;

    status_t GetStat(struct stat* info) const override;

    status_t SetTo(const BDirectory* dir, const char* path, bool traverse = false);
    status_t SetTo(const entry_ref* ref, bool traverse = false);
    status_t SetTo(const char* path, bool traverse = false);
    void Unset();

    status_t GetRef(entry_ref* ref) const;
    status_t GetPath(BPath* path) const;
    status_t GetParent(BEntry* entry) const;
    status_t GetParent(BDirectory* dir) const;
    // The leaf name, into a buffer of B_FILE_NAME_LENGTH bytes.
    status_t GetName(char* buffer) const;

    // Renames the entry inside its folder (or moves it, when `path` is
    // absolute). Without `clobber` an existing entry at the destination is
    // never replaced (B_FILE_EXISTS). Moving across volumes fails with
    // B_CROSS_DEVICE_LINK, as it does on BeOS: the caller copies instead.
    status_t Rename(const char* path, bool clobber = false);
    // Moves the entry into `dir`, under `path` (relative to dir) or its own
    // name when `path` is NULL.
    status_t MoveTo(BDirectory* dir, const char* path = nullptr, bool clobber = false);
    // Deletes the file, link or (empty) folder. The object keeps naming the
    // now empty location.
    status_t Remove();

    bool operator==(const BEntry& item) const;
    bool operator!=(const BEntry& item) const { return !(*this == item); }
    BEntry& operator=(const BEntry& item);

    // The entry's absolute path (empty when not initialised).
    const std::string& PathString() const { return fPath; }

protected:
    status_t GetNodeTarget(BPrivate::NodeTarget* target) const override;

private:
    friend class BDirectory;

    // Sets the entry to a path whose folder is already resolved.
    status_t SetToResolved(const std::string& path, bool traverse);
    status_t MoveToPath(const std::string& destination, bool clobber);

    std::string fPath;
    status_t fStatus;
};
