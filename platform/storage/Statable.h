#pragma once

// BStatable: the stat-level properties shared by entries and nodes (kind,
// size, owner, permissions, times).
//
// Creation time: Linux has a birth time (statx) but no way to set it, so a
// creation time set through SetCreationTime is kept in the extended
// attribute "user.brenvik.creation_time" (eight bytes, little-endian
// seconds since 1970). GetCreationTime reads that attribute first, then the
// file system's birth time, and falls back to the modification time when
// neither exists. The attribute lies outside the BeOS attribute names, so it
// never shows up among a node's attributes.

#include <sys/stat.h>
#include <time.h>

#include <StorageDefs.h>
#include <SupportDefs.h>

class BVolume;

namespace BPrivate {
struct NodeTarget;
}

class BStatable {
public:
    virtual ~BStatable();

    virtual status_t GetStat(struct stat* info) const = 0;

    bool IsFile() const;
    bool IsDirectory() const;
    bool IsSymLink() const;

    status_t GetNodeRef(node_ref* ref) const;

    status_t GetOwner(uid_t* owner) const;
    status_t SetOwner(uid_t owner);
    status_t GetGroup(gid_t* group) const;
    status_t SetGroup(gid_t group);
    status_t GetPermissions(mode_t* permissions) const;
    status_t SetPermissions(mode_t permissions);

    status_t GetSize(off_t* size) const;

    status_t GetModificationTime(time_t* time) const;
    status_t SetModificationTime(time_t time);
    status_t GetCreationTime(time_t* time) const;
    status_t SetCreationTime(time_t time);
    // Our own: only a creation time kept by SetCreationTime, never the file
    // system's birth time, which is the time this copy of the file was made
    // (B_ENTRY_NOT_FOUND when none is kept).
    status_t GetStoredCreationTime(time_t* time) const;
    status_t GetAccessTime(time_t* time) const;
    status_t SetAccessTime(time_t time);

    status_t GetVolume(BVolume* volume) const;

    static constexpr const char* kCreationTimeAttribute = "user.brenvik.creation_time";

protected:
    // Where the stat calls go: the object's descriptor or its path.
    virtual status_t GetNodeTarget(BPrivate::NodeTarget* target) const = 0;

private:
    status_t SetTimes(const struct timespec times[2]);
};
