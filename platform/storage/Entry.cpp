#include <Entry.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <Directory.h>
#include <Path.h>

#include "NodeAttributes.h"
#include "PathHelpers.h"
#include "RefPathCache.h"

using namespace BPrivate;

BEntry::BEntry()
    : fStatus(B_NO_INIT)
{
}

BEntry::BEntry(const BDirectory* dir, const char* path, bool traverse)
    : fStatus(B_NO_INIT)
{
    SetTo(dir, path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse)
    : fStatus(B_NO_INIT)
{
    SetTo(ref, traverse);
}

BEntry::BEntry(const char* path, bool traverse)
    : fStatus(B_NO_INIT)
{
    SetTo(path, traverse);
}

BEntry::BEntry(const BEntry& entry)
    : BStatable()
    , fPath(entry.fPath)
    , fStatus(entry.fStatus)
{
}

BEntry::~BEntry() = default;

status_t BEntry::InitCheck() const
{
    return fStatus;
}

bool BEntry::Exists() const
{
    struct stat info;
    return fStatus == B_OK && lstat(fPath.c_str(), &info) == 0;
}

status_t BEntry::GetStat(struct stat* info) const
{
    if (info == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    return lstat(fPath.c_str(), info) == 0 ? B_OK : StatusFromErrno(errno);
}

status_t BEntry::GetNodeTarget(NodeTarget* target) const
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    target->fd = -1;
    target->path = fPath.c_str();
    return B_OK;
}

status_t BEntry::SetTo(const BDirectory* dir, const char* path, bool traverse)
{
    Unset();
    if (dir == nullptr)
        return fStatus = B_BAD_VALUE;
    if (dir->InitCheck() != B_OK)
        return fStatus = B_NO_INIT;
    if (path == nullptr || path[0] == '\0')
        return SetTo(dir->PathString().c_str(), traverse);
    if (path[0] == '/')
        return SetTo(path, traverse);
    return SetTo(JoinPath(dir->PathString(), path).c_str(), traverse);
}

status_t BEntry::SetTo(const entry_ref* ref, bool traverse)
{
    Unset();
    if (ref == nullptr)
        return fStatus = B_BAD_VALUE;
    std::string path;
    status_t status = PathForRef(*ref, &path);
    if (status != B_OK)
        return fStatus = status;
    return SetTo(path.c_str(), traverse);
}

status_t BEntry::SetTo(const char* path, bool traverse)
{
    Unset();
    std::string absolute;
    status_t status = AbsolutePath(path, &absolute);
    if (status != B_OK)
        return fStatus = status;
    std::string resolved;
    status = ResolveFolderOf(absolute, &resolved);
    if (status != B_OK)
        return fStatus = status;
    return SetToResolved(resolved, traverse);
}

status_t BEntry::SetToResolved(const std::string& path, bool traverse)
{
    Unset();
    std::string target = path;
    if (traverse) {
        status_t status = FollowLinks(path, &target);
        if (status != B_OK)
            return fStatus = status;
    }
    fPath = std::move(target);
    return fStatus = B_OK;
}

void BEntry::Unset()
{
    fPath.clear();
    fStatus = B_NO_INIT;
}

status_t BEntry::GetRef(entry_ref* ref) const
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    return get_ref_for_path(fPath.c_str(), ref);
}

status_t BEntry::GetPath(BPath* path) const
{
    if (path == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    return path->SetTo(fPath.c_str());
}

status_t BEntry::GetParent(BEntry* entry) const
{
    if (entry == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (fPath == "/")
        return B_ENTRY_NOT_FOUND;
    std::string folder;
    std::string leaf;
    SplitPath(fPath, &folder, &leaf);
    return entry->SetToResolved(folder, false);
}

status_t BEntry::GetParent(BDirectory* dir) const
{
    if (dir == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (fPath == "/")
        return B_ENTRY_NOT_FOUND;
    std::string folder;
    std::string leaf;
    SplitPath(fPath, &folder, &leaf);
    return dir->SetTo(folder.c_str());
}

status_t BEntry::GetName(char* buffer) const
{
    if (buffer == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    std::string leaf = fPath == "/" ? std::string("/") : LeafOf(fPath);
    if (leaf.size() >= B_FILE_NAME_LENGTH)
        return B_NAME_TOO_LONG;
    std::memcpy(buffer, leaf.c_str(), leaf.size() + 1);
    return B_OK;
}

status_t BEntry::Rename(const char* path, bool clobber)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    std::string folder;
    std::string leaf;
    SplitPath(fPath, &folder, &leaf);
    std::string destination = path[0] == '/' ? std::string(path) : JoinPath(folder, path);
    return MoveToPath(destination, clobber);
}

status_t BEntry::MoveTo(BDirectory* dir, const char* path, bool clobber)
{
    if (dir == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK || dir->InitCheck() != B_OK)
        return B_NO_INIT;
    std::string leaf = path != nullptr ? std::string(path) : LeafOf(fPath);
    if (leaf.empty())
        return B_BAD_VALUE;
    std::string destination = leaf[0] == '/' ? leaf : JoinPath(dir->PathString(), leaf);
    return MoveToPath(destination, clobber);
}

status_t BEntry::MoveToPath(const std::string& destination, bool clobber)
{
    std::string resolved;
    status_t status = ResolveFolderOf(destination, &resolved);
    if (status != B_OK)
        return status;
    if (!Exists())
        return B_ENTRY_NOT_FOUND;
    if (resolved == fPath)
        return B_OK;
    int result = renameat2(
        AT_FDCWD, fPath.c_str(), AT_FDCWD, resolved.c_str(), clobber ? 0 : RENAME_NOREPLACE);
    if (result != 0 && errno == EINVAL && !clobber) {
        // The file system cannot refuse to replace atomically; check first.
        // The small window this leaves is the best such a volume offers.
        struct stat info;
        if (lstat(resolved.c_str(), &info) == 0)
            return B_FILE_EXISTS;
        result = rename(fPath.c_str(), resolved.c_str());
    }
    if (result != 0)
        return StatusFromErrno(errno);
    fPath = std::move(resolved);
    return B_OK;
}

status_t BEntry::Remove()
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    struct stat info;
    if (lstat(fPath.c_str(), &info) != 0)
        return StatusFromErrno(errno);
    int result = S_ISDIR(info.st_mode) ? rmdir(fPath.c_str()) : unlink(fPath.c_str());
    return result == 0 ? B_OK : StatusFromErrno(errno);
}

bool BEntry::operator==(const BEntry& item) const
{
    if (fStatus != B_OK || item.fStatus != B_OK)
        return fStatus != B_OK && item.fStatus != B_OK;
    return fPath == item.fPath;
}

BEntry& BEntry::operator=(const BEntry& item)
{
    if (this != &item) {
        fPath = item.fPath;
        fStatus = item.fStatus;
    }
    return *this;
}
