#include <File.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Directory.h>
#include <Entry.h>

#include "PathHelpers.h"
#include "RefPathCache.h"

using namespace BPrivate;

namespace {

constexpr uint32 kAllowedModes = O_ACCMODE | O_CREAT | O_EXCL | O_TRUNC | O_APPEND;

} // namespace

BFile::BFile()
    : fMode(0)
{
}

BFile::BFile(const entry_ref* ref, uint32 openMode)
    : BFile()
{
    SetTo(ref, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode)
    : BFile()
{
    SetTo(entry, openMode);
}

BFile::BFile(const char* path, uint32 openMode)
    : BFile()
{
    SetTo(path, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode)
    : BFile()
{
    SetTo(dir, path, openMode);
}

BFile::~BFile() = default;

status_t BFile::OpenPath(const std::string& path, uint32 openMode)
{
    Unset();
    int flags = int(openMode & kAllowedModes) | O_CLOEXEC | O_NOCTTY;
    int fd = open(path.c_str(), flags, 0666);
    if (fd < 0)
        return SetStatus(StatusFromErrno(errno));
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        status_t status = S_ISDIR(info.st_mode) ? B_IS_A_DIRECTORY : StatusFromErrno(errno);
        close(fd);
        return SetStatus(status);
    }
    std::string resolved;
    if (RealPath(path, &resolved) != B_OK)
        resolved = path;
    AdoptDescriptor(fd, resolved);
    fMode = openMode;
    return B_OK;
}

status_t BFile::SetTo(const entry_ref* ref, uint32 openMode)
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
    return OpenPath(path, openMode);
}

status_t BFile::SetTo(const BEntry* entry, uint32 openMode)
{
    if (entry == nullptr || entry->InitCheck() != B_OK) {
        Unset();
        return SetStatus(entry == nullptr ? B_BAD_VALUE : entry->InitCheck());
    }
    return OpenPath(entry->PathString(), openMode);
}

status_t BFile::SetTo(const char* path, uint32 openMode)
{
    std::string absolute;
    status_t status = AbsolutePath(path, &absolute);
    if (status != B_OK) {
        Unset();
        return SetStatus(status);
    }
    return OpenPath(absolute, openMode);
}

status_t BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode)
{
    if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr) {
        Unset();
        return SetStatus(B_BAD_VALUE);
    }
    std::string full = path[0] == '/' ? std::string(path) : JoinPath(dir->PathString(), path);
    return OpenPath(full, openMode);
}

void BFile::Unset()
{
    BNode::Unset();
    fMode = 0;
}

bool BFile::IsReadable() const
{
    uint32 access = fMode & O_ACCMODE;
    return InitCheck() == B_OK && (access == O_RDONLY || access == O_RDWR);
}

bool BFile::IsWritable() const
{
    uint32 access = fMode & O_ACCMODE;
    return InitCheck() == B_OK && (access == O_WRONLY || access == O_RDWR);
}

ssize_t BFile::Read(void* buffer, size_t size)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (!IsReadable())
        return B_PERMISSION_DENIED;
    ssize_t result;
    do
        result = read(Descriptor(), buffer, size);
    while (result < 0 && errno == EINTR);
    return result >= 0 ? result : StatusFromErrno(errno);
}

ssize_t BFile::Write(const void* buffer, size_t size)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (!IsWritable())
        return B_PERMISSION_DENIED;
    ssize_t result;
    do
        result = write(Descriptor(), buffer, size);
    while (result < 0 && errno == EINTR);
    return result >= 0 ? result : StatusFromErrno(errno);
}

ssize_t BFile::ReadAt(off_t position, void* buffer, size_t size)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (!IsReadable())
        return B_PERMISSION_DENIED;
    if (position < 0)
        return B_BAD_VALUE;
    ssize_t result;
    do
        result = pread(Descriptor(), buffer, size, position);
    while (result < 0 && errno == EINTR);
    return result >= 0 ? result : StatusFromErrno(errno);
}

ssize_t BFile::WriteAt(off_t position, const void* buffer, size_t size)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (!IsWritable())
        return B_PERMISSION_DENIED;
    if (position < 0)
        return B_BAD_VALUE;
    ssize_t result;
    do
        result = pwrite(Descriptor(), buffer, size, position);
    while (result < 0 && errno == EINTR);
    return result >= 0 ? result : StatusFromErrno(errno);
}

off_t BFile::Seek(off_t position, uint32 seekMode)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    off_t result = lseek(Descriptor(), position, int(seekMode));
    return result >= 0 ? result : off_t(StatusFromErrno(errno));
}

off_t BFile::Position() const
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    off_t result = lseek(Descriptor(), 0, SEEK_CUR);
    return result >= 0 ? result : off_t(StatusFromErrno(errno));
}

status_t BFile::SetSize(off_t size)
{
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (!IsWritable())
        return B_PERMISSION_DENIED;
    if (size < 0)
        return B_BAD_VALUE;
    return ftruncate(Descriptor(), size) == 0 ? B_OK : StatusFromErrno(errno);
}

status_t BFile::GetSize(off_t* size) const
{
    return BStatable::GetSize(size);
}
