#include <Directory.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Entry.h>
#include <File.h>
#include <SymLink.h>

#include "PathHelpers.h"
#include "RefPathCache.h"

using namespace BPrivate;

namespace {

bool MatchesFlavor(const struct stat& info, int32 nodeFlags)
{
    if (S_ISDIR(info.st_mode))
        return (nodeFlags & B_DIRECTORY_NODE) != 0;
    if (S_ISLNK(info.st_mode))
        return (nodeFlags & B_SYMLINK_NODE) != 0;
    return (nodeFlags & B_FILE_NODE) != 0;
}

} // namespace

BDirectory::BDirectory()
    : fDevice(dev_t(-1))
    , fNode(ino_t(-1))
{
}

BDirectory::BDirectory(const BDirectory& dir)
    : BDirectory()
{
    *this = dir;
}

BDirectory::BDirectory(const entry_ref* ref)
    : BDirectory()
{
    SetTo(ref);
}

BDirectory::BDirectory(const node_ref* nref)
    : BDirectory()
{
    SetTo(nref);
}

BDirectory::BDirectory(const BEntry* entry)
    : BDirectory()
{
    SetTo(entry);
}

BDirectory::BDirectory(const char* path)
    : BDirectory()
{
    SetTo(path);
}

BDirectory::BDirectory(const BDirectory* dir, const char* path)
    : BDirectory()
{
    SetTo(dir, path);
}

BDirectory::~BDirectory() = default;

status_t BDirectory::OpenFolder(const std::string& path)
{
    Unset();
    std::string resolved;
    status_t status = RealPath(path, &resolved);
    if (status != B_OK)
        return SetStatus(status);
    int fd = open(resolved.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return SetStatus(errno == ENOTDIR ? B_NOT_A_DIRECTORY : StatusFromErrno(errno));
    struct stat info;
    if (fstat(fd, &info) != 0) {
        status = StatusFromErrno(errno);
        close(fd);
        return SetStatus(status);
    }
    AdoptDescriptor(fd, resolved);
    fDevice = info.st_dev;
    fNode = info.st_ino;
    RefPathCache::Remember(fDevice, fNode, resolved);
    return B_OK;
}

status_t BDirectory::SetTo(const entry_ref* ref)
{
    if (ref == nullptr) {
        Unset();
        return SetStatus(B_BAD_VALUE);
    }
    std::string path;
    status_t status = PathForRef(*ref, &path);
    if (status != B_OK) {
        Unset();
        return SetStatus(status);
    }
    return OpenFolder(path);
}

status_t BDirectory::SetTo(const node_ref* nref)
{
    if (nref == nullptr) {
        Unset();
        return SetStatus(B_BAD_VALUE);
    }
    std::string path;
    status_t status = RefPathCache::FolderPath(nref->device, nref->node, &path);
    if (status != B_OK) {
        Unset();
        return SetStatus(status);
    }
    return OpenFolder(path);
}

status_t BDirectory::SetTo(const BEntry* entry)
{
    if (entry == nullptr || entry->InitCheck() != B_OK) {
        Unset();
        return SetStatus(entry == nullptr ? B_BAD_VALUE : entry->InitCheck());
    }
    return OpenFolder(entry->PathString());
}

status_t BDirectory::SetTo(const char* path)
{
    std::string absolute;
    status_t status = AbsolutePath(path, &absolute);
    if (status != B_OK) {
        Unset();
        return SetStatus(status);
    }
    return OpenFolder(absolute);
}

status_t BDirectory::SetTo(const BDirectory* dir, const char* path)
{
    if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr) {
        Unset();
        return SetStatus(B_BAD_VALUE);
    }
    return OpenFolder(dir->Resolve(path));
}

void BDirectory::Unset()
{
    fDir.reset();
    BNode::Unset();
    fDevice = dev_t(-1);
    fNode = ino_t(-1);
}

std::string BDirectory::Resolve(const char* path) const
{
    if (path == nullptr || path[0] == '\0')
        return PathString();
    if (path[0] == '/')
        return path;
    return JoinPath(PathString(), path);
}

status_t BDirectory::GetEntry(BEntry* entry) const
{
    if (entry == nullptr)
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    return entry->SetToResolved(PathString(), false);
}

bool BDirectory::IsRootDirectory() const
{
    if (InitCheck() != B_OK)
        return false;
    if (PathString() == "/")
        return true;
    struct stat parent;
    std::string folder;
    std::string leaf;
    SplitPath(PathString(), &folder, &leaf);
    return stat(folder.c_str(), &parent) == 0 && parent.st_dev != fDevice;
}

status_t BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
    if (path == nullptr || entry == nullptr)
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    status_t status = entry->SetTo(Resolve(path).c_str(), traverse);
    if (status == B_OK && !entry->Exists()) {
        entry->Unset();
        return B_ENTRY_NOT_FOUND;
    }
    return status;
}

bool BDirectory::Contains(const char* path, int32 nodeFlags) const
{
    if (path == nullptr || InitCheck() != B_OK)
        return false;
    BEntry entry(Resolve(path).c_str());
    return Contains(&entry, nodeFlags);
}

bool BDirectory::Contains(const BEntry* entry, int32 nodeFlags) const
{
    if (entry == nullptr || entry->InitCheck() != B_OK || InitCheck() != B_OK)
        return false;
    struct stat info;
    if (entry->GetStat(&info) != B_OK || !MatchesFlavor(info, nodeFlags))
        return false;
    return entry->PathString() != PathString() && PathIsInside(entry->PathString(), PathString());
}

status_t BDirectory::GetStatFor(const char* path, struct stat* info) const
{
    if (path == nullptr || info == nullptr)
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    return lstat(Resolve(path).c_str(), info) == 0 ? B_OK : StatusFromErrno(errno);
}

status_t BDirectory::ReadNextName(std::string* name)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (!fDir) {
        int fd = fcntl(Descriptor(), F_DUPFD_CLOEXEC, 0);
        if (fd < 0)
            return StatusFromErrno(errno);
        DIR* dir = fdopendir(fd);
        if (dir == nullptr) {
            status_t status = StatusFromErrno(errno);
            close(fd);
            return status;
        }
        // The duplicate shares the original's position, which another
        // reading of this folder may have moved.
        rewinddir(dir);
        fDir.reset(dir);
    }
    for (;;) {
        errno = 0;
        dirent* entry = readdir(fDir.get());
        if (entry == nullptr)
            return errno != 0 ? StatusFromErrno(errno) : B_ENTRY_NOT_FOUND;
        std::string leaf = entry->d_name;
        if (leaf != "." && leaf != "..") {
            *name = std::move(leaf);
            return B_OK;
        }
    }
}

status_t BDirectory::GetNextEntry(BEntry* entry, bool traverse)
{
    if (entry == nullptr)
        return B_BAD_VALUE;
    std::string name;
    status_t status = ReadNextName(&name);
    if (status != B_OK) {
        entry->Unset();
        return status;
    }
    return entry->SetToResolved(JoinPath(PathString(), name), traverse);
}

status_t BDirectory::GetNextRef(entry_ref* ref)
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    std::string name;
    status_t status = ReadNextName(&name);
    if (status != B_OK)
        return status;
    entry_ref result(fDevice, fNode, name.c_str());
    if (result.name == nullptr)
        return B_NO_MEMORY;
    *ref = result;
    return B_OK;
}

status_t BDirectory::Rewind()
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (fDir)
        rewinddir(fDir.get());
    return B_OK;
}

int32 BDirectory::CountEntries()
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    DIR* dir = opendir(PathString().c_str());
    if (dir == nullptr)
        return StatusFromErrno(errno);
    int32 count = 0;
    while (dirent* entry = readdir(dir)) {
        std::string_view leaf = entry->d_name;
        if (leaf != "." && leaf != "..")
            count++;
    }
    closedir(dir);
    return count;
}

status_t BDirectory::CreateDirectory(const char* path, BDirectory* dir)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    std::string target = Resolve(path);
    if (mkdir(target.c_str(), 0777) != 0)
        return StatusFromErrno(errno);
    return dir != nullptr ? dir->SetTo(target.c_str()) : B_OK;
}

status_t BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    uint32 mode = B_READ_WRITE | B_CREATE_FILE | (failIfExists ? B_FAIL_IF_EXISTS : B_ERASE_FILE);
    BFile created;
    BFile* target = file != nullptr ? file : &created;
    return target->SetTo(Resolve(path).c_str(), mode);
}

status_t BDirectory::CreateSymLink(const char* path, const char* linkToPath, BSymLink* link)
{
    if (path == nullptr || path[0] == '\0' || linkToPath == nullptr || linkToPath[0] == '\0')
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    std::string target = Resolve(path);
    if (symlink(linkToPath, target.c_str()) != 0)
        return StatusFromErrno(errno);
    return link != nullptr ? link->SetTo(target.c_str()) : B_OK;
}

BDirectory& BDirectory::operator=(const BDirectory& dir)
{
    if (this == &dir)
        return *this;
    fDir.reset();
    BNode::operator=(dir);
    fDevice = dir.fDevice;
    fNode = dir.fNode;
    return *this;
}

status_t create_directory(const char* path, mode_t mode)
{
    std::string absolute;
    status_t status = AbsolutePath(path, &absolute);
    if (status != B_OK)
        return status;
    std::string clean = CleanPath(absolute);
    size_t position = 0;
    while (position != std::string::npos) {
        position = clean.find('/', position + 1);
        std::string part = clean.substr(0, position);
        struct stat info;
        if (stat(part.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return B_NOT_A_DIRECTORY;
            continue;
        }
        if (errno != ENOENT)
            return StatusFromErrno(errno);
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
            return StatusFromErrno(errno);
    }
    return B_OK;
}
