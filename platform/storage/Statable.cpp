#include <Statable.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include <ByteOrder.h>
#include <Volume.h>

#include "NodeAttributes.h"

using BPrivate::NodeAttributes;
using BPrivate::NodeTarget;

namespace {

// statx with the birth time, on the descriptor or the (unfollowed) path.
bool BirthTime(const NodeTarget& target, time_t* time)
{
    struct statx info;
    int result = target.fd >= 0
        ? statx(target.fd, "", AT_EMPTY_PATH, STATX_BTIME, &info)
        : statx(AT_FDCWD, target.path, AT_SYMLINK_NOFOLLOW, STATX_BTIME, &info);
    if (result != 0 || (info.stx_mask & STATX_BTIME) == 0)
        return false;
    *time = time_t(info.stx_btime.tv_sec);
    return true;
}

bool StoredCreationTime(const NodeTarget& target, time_t* time)
{
    std::vector<uint8> value;
    if (NodeAttributes::ReadRaw(target, BStatable::kCreationTimeAttribute, &value) != B_OK
        || value.size() != sizeof(int64))
        return false;
    int64 seconds;
    std::memcpy(&seconds, value.data(), sizeof(seconds));
    *time = time_t(int64(B_LENDIAN_TO_HOST_INT64(seconds)));
    return true;
}

} // namespace

BStatable::~BStatable() = default;

bool BStatable::IsFile() const
{
    struct stat info;
    return GetStat(&info) == B_OK && S_ISREG(info.st_mode);
}

bool BStatable::IsDirectory() const
{
    struct stat info;
    return GetStat(&info) == B_OK && S_ISDIR(info.st_mode);
}

bool BStatable::IsSymLink() const
{
    struct stat info;
    return GetStat(&info) == B_OK && S_ISLNK(info.st_mode);
}

status_t BStatable::GetNodeRef(node_ref* ref) const
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    status_t status = GetStat(&info);
    if (status == B_OK)
        *ref = node_ref(info.st_dev, info.st_ino);
    return status;
}

status_t BStatable::GetOwner(uid_t* owner) const
{
    if (owner == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    status_t status = GetStat(&info);
    if (status == B_OK)
        *owner = info.st_uid;
    return status;
}

status_t BStatable::GetGroup(gid_t* group) const
{
    if (group == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    status_t status = GetStat(&info);
    if (status == B_OK)
        *group = info.st_gid;
    return status;
}

status_t BStatable::SetOwner(uid_t owner)
{
    NodeTarget target;
    status_t status = GetNodeTarget(&target);
    if (status != B_OK)
        return status;
    int result = target.fd >= 0 ? fchown(target.fd, owner, gid_t(-1))
                                : lchown(target.path, owner, gid_t(-1));
    return result == 0 ? B_OK : StatusFromErrno(errno);
}

status_t BStatable::SetGroup(gid_t group)
{
    NodeTarget target;
    status_t status = GetNodeTarget(&target);
    if (status != B_OK)
        return status;
    int result = target.fd >= 0 ? fchown(target.fd, uid_t(-1), group)
                                : lchown(target.path, uid_t(-1), group);
    return result == 0 ? B_OK : StatusFromErrno(errno);
}

status_t BStatable::GetPermissions(mode_t* permissions) const
{
    if (permissions == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    status_t status = GetStat(&info);
    if (status == B_OK)
        *permissions = info.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO | S_ISUID | S_ISGID | S_ISVTX);
    return status;
}

status_t BStatable::SetPermissions(mode_t permissions)
{
    NodeTarget target;
    status_t status = GetNodeTarget(&target);
    if (status != B_OK)
        return status;
    // Linux has no permissions of its own on symbolic links, so a link's
    // permissions cannot be set (fchmodat reports that as unsupported).
    int result = target.fd >= 0 ? fchmod(target.fd, permissions)
                                : fchmodat(AT_FDCWD, target.path, permissions, AT_SYMLINK_NOFOLLOW);
    return result == 0 ? B_OK : StatusFromErrno(errno);
}

status_t BStatable::GetSize(off_t* size) const
{
    if (size == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    status_t status = GetStat(&info);
    if (status == B_OK)
        *size = info.st_size;
    return status;
}

status_t BStatable::GetModificationTime(time_t* time) const
{
    if (time == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    status_t status = GetStat(&info);
    if (status == B_OK)
        *time = info.st_mtime;
    return status;
}

status_t BStatable::GetAccessTime(time_t* time) const
{
    if (time == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    status_t status = GetStat(&info);
    if (status == B_OK)
        *time = info.st_atime;
    return status;
}

status_t BStatable::GetCreationTime(time_t* time) const
{
    if (time == nullptr)
        return B_BAD_VALUE;
    NodeTarget target;
    status_t status = GetNodeTarget(&target);
    if (status != B_OK)
        return status;
    if (StoredCreationTime(target, time) || BirthTime(target, time))
        return B_OK;
    return GetModificationTime(time);
}

status_t BStatable::GetStoredCreationTime(time_t* time) const
{
    if (time == nullptr)
        return B_BAD_VALUE;
    NodeTarget target;
    status_t status = GetNodeTarget(&target);
    if (status != B_OK)
        return status;
    return StoredCreationTime(target, time) ? B_OK : B_ENTRY_NOT_FOUND;
}

status_t BStatable::SetModificationTime(time_t time)
{
    struct timespec times[2] = { { 0, UTIME_OMIT }, { time, 0 } };
    return SetTimes(times);
}

status_t BStatable::SetAccessTime(time_t time)
{
    struct timespec times[2] = { { time, 0 }, { 0, UTIME_OMIT } };
    return SetTimes(times);
}

status_t BStatable::SetCreationTime(time_t time)
{
    NodeTarget target;
    status_t status = GetNodeTarget(&target);
    if (status != B_OK)
        return status;
    int64 seconds = int64(B_HOST_TO_LENDIAN_INT64(uint64(int64(time))));
    return NodeAttributes::WriteRaw(target, kCreationTimeAttribute, &seconds, sizeof(seconds));
}

status_t BStatable::SetTimes(const struct timespec times[2])
{
    NodeTarget target;
    status_t status = GetNodeTarget(&target);
    if (status != B_OK)
        return status;
    int result = target.fd >= 0 ? futimens(target.fd, times)
                                : utimensat(AT_FDCWD, target.path, times, AT_SYMLINK_NOFOLLOW);
    return result == 0 ? B_OK : StatusFromErrno(errno);
}

status_t BStatable::GetVolume(BVolume* volume) const
{
    if (volume == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    status_t status = GetStat(&info);
    if (status != B_OK)
        return status;
    return volume->SetTo(info.st_dev);
}
