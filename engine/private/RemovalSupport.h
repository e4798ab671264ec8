#pragma once

// What the parts of the removal (InstallRemoval*.cpp) share: paths as the
// record names them, what is on the disk at a path, and the record's digests.

#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <Message.h>
#include <Sha256.h>
#include <SupportDefs.h>

#include "InstallRecord.h"
#include "InstallRecordReader.h"

struct ScriptEdit;

namespace removal {

// An absolute path without empty, "." or ".." components: the only form the
// installer records.
inline bool IsPlainPath(const std::string& path)
{
    if (path.size() < 2 || path.size() >= PATH_MAX || path[0] != '/' || path.back() == '/')
        return false;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

inline bool IsInside(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0
        && path[folder.size()] == '/';
}

inline std::string ParentOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

inline std::string LeafOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

inline bool Lstat(const std::string& path, struct stat* info)
{
    return lstat(path.c_str(), info) == 0;
}

inline bool Lexists(const std::string& path)
{
    struct stat info;
    return Lstat(path, &info);
}

inline std::string Digest(const BMessage& message)
{
    const void* data = nullptr;
    ssize_t size = 0;
    if (message.FindData(InstallRecord::kFieldSha256, B_RAW_TYPE, &data, &size) != B_OK
        || size != 32)
        return std::string();
    return std::string(static_cast<const char*>(data), size_t(size));
}

// Whether a file is, without a doubt, the one the record describes without
// reading it: the same inode on the same device, the same size, and
// modification and change times to the nanosecond. A user can set a
// modification time back (`touch -d`), never a change time; a copy (a new
// inode) or any write gives a new one. Records without these fields answer
// false, and the caller reads the file.
inline bool UnchangedSince(const BMessage& entry, const struct stat& info)
{
    auto ns = [](const timespec& time) {
        return int64(time.tv_sec) * 1000000000 + int64(time.tv_nsec);
    };
    return S_ISREG(info.st_mode) && entry.HasInt64(InstallRecord::kFieldChangedNs)
        && entry.GetInt64(InstallRecord::kFieldDevice, -1) == int64(info.st_dev)
        && entry.GetInt64(InstallRecord::kFieldInode, -1) == int64(info.st_ino)
        && entry.GetInt64(InstallRecord::kFieldSize, -1) == int64(info.st_size)
        && entry.GetInt64(InstallRecord::kFieldModifiedNs, -1) == ns(info.st_mtim)
        && entry.GetInt64(InstallRecord::kFieldChangedNs, -1) == ns(info.st_ctim);
}

inline bool MatchesDigest(const std::string& path, const std::string& digest)
{
    std::string actual;
    return !digest.empty() && BPrivate::Sha256::HashFile(path.c_str(), &actual) == B_OK
        && actual == digest;
}

// The same for `leaf` in a held folder, the file opened without following a
// link.
inline bool MatchesDigestAt(int folder, const std::string& leaf, const std::string& digest)
{
    int fd = openat(folder, leaf.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string actual;
    bool matches = !digest.empty() && BPrivate::Sha256::HashDescriptor(fd, &actual) == B_OK
        && actual == digest;
    close(fd);
    return matches;
}

inline std::string LinkTargetAt(int folder, const std::string& leaf)
{
    char buffer[PATH_MAX];
    ssize_t size = readlinkat(folder, leaf.c_str(), buffer, sizeof(buffer));
    return size < 0 ? std::string() : std::string(buffer, size_t(size));
}

// The account of a script step's edit: the script editor's own (a
// ScriptEdit archive), or the flat form of a single block
// (InstallRemovalScripts.cpp).
bool ScriptEditOf(const InstallRecordReader::Step& step, ScriptEdit* edit);

} // namespace removal
