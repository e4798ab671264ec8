#include <Node.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <Directory.h>
#include <Entry.h>

#include "NodeAttributes.h"
#include "PathHelpers.h"
#include "RefPathCache.h"

using namespace BPrivate;

BNode::BNode()
    : fFd(-1)
    , fStatus(B_NO_INIT)
    , fAttrIndex(0)
    , fAttrsListed(false)
{
}

BNode::BNode(const entry_ref* ref)
    : BNode()
{
    SetTo(ref);
}

BNode::BNode(const BEntry* entry)
    : BNode()
{
    SetTo(entry);
}

BNode::BNode(const char* path)
    : BNode()
{
    SetTo(path);
}

BNode::BNode(const BDirectory* dir, const char* path)
    : BNode()
{
    SetTo(dir, path);
}

BNode::BNode(const BNode& node)
    : BNode()
{
    *this = node;
}

BNode::~BNode()
{
    Unset();
}

status_t BNode::InitCheck() const
{
    return fStatus;
}

status_t BNode::GetStat(struct stat* info) const
{
    if (info == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    int result = fFd >= 0 ? fstat(fFd, info) : lstat(fPath.c_str(), info);
    return result == 0 ? B_OK : StatusFromErrno(errno);
}

status_t BNode::GetNodeTarget(NodeTarget* target) const
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    target->fd = fFd;
    target->path = fPath.c_str();
    return B_OK;
}

status_t BNode::SetTo(const entry_ref* ref)
{
    Unset();
    if (ref == nullptr)
        return fStatus = B_BAD_VALUE;
    std::string path;
    status_t status = PathForRef(*ref, &path);
    if (status != B_OK)
        return fStatus = status;
    return OpenPath(path);
}

status_t BNode::SetTo(const BEntry* entry)
{
    Unset();
    if (entry == nullptr)
        return fStatus = B_BAD_VALUE;
    if (entry->InitCheck() != B_OK)
        return fStatus = entry->InitCheck();
    return OpenPath(entry->PathString());
}

status_t BNode::SetTo(const char* path)
{
    BEntry entry(path);
    return SetTo(&entry);
}

status_t BNode::SetTo(const BDirectory* dir, const char* path)
{
    BEntry entry(dir, path);
    return SetTo(&entry);
}

status_t BNode::OpenPath(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return fStatus = StatusFromErrno(errno);
    fPath = path;
    // Files and folders are held open, so the node stays the same even if it
    // is renamed meanwhile. Other nodes (links, pipes, devices) are reached
    // by path only: opening them could block or have side effects. A node
    // we may not read is reached by path as well.
    if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
        int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
        if (S_ISDIR(info.st_mode))
            flags |= O_DIRECTORY;
        fFd = open(path.c_str(), flags);
        if (fFd < 0 && errno != EACCES && errno != EPERM) {
            status_t status = StatusFromErrno(errno);
            Unset();
            return fStatus = status;
        }
    }
    return fStatus = B_OK;
}

void BNode::AdoptDescriptor(int fd, const std::string& path)
{
    Unset();
    fFd = fd;
    fPath = path;
    fStatus = B_OK;
}

void BNode::Unset()
{
    if (fFd >= 0)
        close(fFd);
    fFd = -1;
    fPath.clear();
    fStatus = B_NO_INIT;
    fAttrNames.clear();
    fAttrIndex = 0;
    fAttrsListed = false;
}

status_t BNode::Sync()
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (fFd < 0)
        return B_OK;
    return fsync(fFd) == 0 ? B_OK : StatusFromErrno(errno);
}

ssize_t BNode::WriteAttr(
    const char* name, type_code type, off_t offset, const void* buffer, size_t length)
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (offset < 0 || (buffer == nullptr && length > 0))
        return B_BAD_VALUE;
    if (uint64(offset) + length > NodeAttributes::kMaxValueSize)
        return B_BUFFER_OVERFLOW;
    NodeTarget target;
    GetNodeTarget(&target);
    if (offset == 0) {
        status_t status = NodeAttributes::Write(target, name, type, buffer, length);
        return status == B_OK ? ssize_t(length) : status;
    }
    type_code oldType;
    std::vector<uint8> data;
    status_t status = NodeAttributes::Read(target, name, &oldType, &data);
    if (status != B_OK && status != B_ENTRY_NOT_FOUND)
        return status;
    size_t end = size_t(offset) + length;
    if (data.size() < end)
        data.resize(end, 0);
    if (length > 0)
        std::memcpy(data.data() + offset, buffer, length);
    status = NodeAttributes::Write(target, name, type, data.data(), data.size());
    return status == B_OK ? ssize_t(length) : status;
}

ssize_t BNode::ReadAttr(
    const char* name, type_code /*type*/, off_t offset, void* buffer, size_t length) const
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (offset < 0 || (buffer == nullptr && length > 0))
        return B_BAD_VALUE;
    NodeTarget target;
    GetNodeTarget(&target);
    type_code type;
    std::vector<uint8> data;
    status_t status = NodeAttributes::Read(target, name, &type, &data);
    if (status != B_OK)
        return status;
    if (uint64(offset) >= data.size())
        return 0;
    size_t count = std::min(length, data.size() - size_t(offset));
    if (count > 0)
        std::memcpy(buffer, data.data() + offset, count);
    return ssize_t(count);
}

status_t BNode::RemoveAttr(const char* name)
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    NodeTarget target;
    GetNodeTarget(&target);
    return NodeAttributes::Remove(target, name);
}

status_t BNode::RenameAttr(const char* oldName, const char* newName)
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (oldName == nullptr || newName == nullptr)
        return B_BAD_VALUE;
    NodeTarget target;
    GetNodeTarget(&target);
    type_code type;
    std::vector<uint8> data;
    status_t status = NodeAttributes::Read(target, oldName, &type, &data);
    if (status != B_OK)
        return status;
    status = NodeAttributes::Write(target, newName, type, data.data(), data.size());
    if (status != B_OK)
        return status;
    return NodeAttributes::Remove(target, oldName);
}

status_t BNode::GetAttrInfo(const char* name, attr_info* info) const
{
    if (info == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    NodeTarget target;
    GetNodeTarget(&target);
    type_code type;
    std::vector<uint8> data;
    status_t status = NodeAttributes::Read(target, name, &type, &data);
    if (status != B_OK)
        return status;
    info->type = type;
    info->size = off_t(data.size());
    return B_OK;
}

status_t BNode::GetNextAttrName(char* buffer)
{
    if (buffer == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (!fAttrsListed) {
        NodeTarget target;
        GetNodeTarget(&target);
        status_t status = NodeAttributes::List(target, &fAttrNames);
        // A file system without attributes simply has none to list.
        if (status == B_NOT_SUPPORTED)
            fAttrNames.clear();
        else if (status != B_OK)
            return status;
        fAttrsListed = true;
        fAttrIndex = 0;
    }
    while (fAttrIndex < fAttrNames.size()) {
        const std::string& name = fAttrNames[fAttrIndex++];
        if (name.size() < B_ATTR_NAME_LENGTH) {
            std::memcpy(buffer, name.c_str(), name.size() + 1);
            return B_OK;
        }
    }
    return B_ENTRY_NOT_FOUND;
}

status_t BNode::RewindAttrs()
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    fAttrNames.clear();
    fAttrIndex = 0;
    fAttrsListed = false;
    return B_OK;
}

bool BNode::operator==(const BNode& node) const
{
    if (fStatus != B_OK || node.fStatus != B_OK)
        return fStatus != B_OK && node.fStatus != B_OK;
    node_ref mine;
    node_ref theirs;
    return GetNodeRef(&mine) == B_OK && node.GetNodeRef(&theirs) == B_OK && mine == theirs;
}

BNode& BNode::operator=(const BNode& node)
{
    if (this == &node)
        return *this;
    Unset();
    if (node.fStatus != B_OK)
        return *this;
    if (node.fFd >= 0) {
        fFd = fcntl(node.fFd, F_DUPFD_CLOEXEC, 0);
        if (fFd < 0) {
            fStatus = StatusFromErrno(errno);
            return *this;
        }
    }
    fPath = node.fPath;
    fStatus = B_OK;
    return *this;
}
