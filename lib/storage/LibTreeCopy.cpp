#include "LibTreeCopy.h"

#include "LibFileOperations.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <unistd.h>

#include <BlockingPoint.h>
#include <Descriptor.h>
#include <Entry.h>
#include <Errors.h>
#include <Node.h>

namespace {

using BPrivate::Descriptor;

constexpr size_t kChunkSize = 256 * 1024;

// Removes a temporary entry unless it was put in place.
class TemporaryEntry {
public:
    explicit TemporaryEntry(std::string path)
        : fPath(std::move(path))
    {
    }
    ~TemporaryEntry()
    {
        if (fCreated && !fPlaced)
            unlink(fPath.c_str());
    }
    TemporaryEntry(const TemporaryEntry&) = delete;
    TemporaryEntry& operator=(const TemporaryEntry&) = delete;
    const std::string& Path() const { return fPath; }
    // Called once the entry exists: only then is it ours to remove.
    void Created() { fCreated = true; }
    int PlaceAt(const std::string& target)
    {
        if (rename(fPath.c_str(), target.c_str()) != 0)
            return errno;
        fPlaced = true;
        return 0;
    }

private:
    std::string fPath;
    bool fCreated = false;
    bool fPlaced = false;
};

std::string JoinPath(const std::string& folder, const std::string& leaf)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + leaf;
    return folder + "/" + leaf;
}

std::string ContainingFolder(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The absolute, link-free form of a folder path, or "" when it cannot be
// resolved.
std::string RealFolder(const std::string& path)
{
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        return std::string();
    return resolved;
}

bool IsAtOrBelow(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return true;
    return path == folder
        || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0
            && path[folder.size()] == '/');
}

timespec AccessTime(const struct stat& info)
{
    return info.st_atim;
}

timespec ModificationTime(const struct stat& info)
{
    return info.st_mtim;
}

std::vector<std::string> FolderEntries(const std::string& path, int* error)
{
    std::vector<std::string> names;
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
        *error = errno;
        return names;
    }
    errno = 0;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    *error = errno;
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

LibTreeCopy::LibTreeCopy()
    : fSyncFiles(false)
    , fNameSeed(std::random_device()())
{
    fNameSeed = (fNameSeed << 32) ^ std::random_device()();
}

status_t LibTreeCopy::Copy(const std::string& source, const std::string& target)
{
    fErrorText.clear();
    fWarnings.clear();
    struct stat info;
    if (source.empty() || target.empty())
        return Fail(B_BAD_VALUE, "an empty path was given");
    if (lstat(source.c_str(), &info) != 0)
        return Fail(StatusFromErrno(errno), "cannot read \"" + source + "\": " + strerror(errno));
    status_t status = CheckTarget(source, info, target);
    if (status != B_OK)
        return status;
    return CopyItem(source, target);
}

status_t LibTreeCopy::MoveByCopy(const std::string& source, const std::string& target)
{
    bool sync = fSyncFiles;
    fSyncFiles = true;
    status_t status = Copy(source, target);
    fSyncFiles = sync;
    if (status != B_OK)
        return status;
    Libmimeset(target.c_str());
    if (!LibUnlink(source.c_str()))
        return Fail(B_ERROR, "the copy is in place, but \"" + source + "\" could not be removed");
    return B_OK;
}

status_t LibTreeCopy::MoveWithoutReplacing(const std::string& source, const std::string& target)
{
    // The storage kit's rename never replaces when told not to clobber.
    BEntry entry(source.c_str());
    status_t status = entry.Rename(target.c_str(), false);
    if (status != B_CROSS_DEVICE_LINK)
        return status;
    struct stat info;
    if (lstat(target.c_str(), &info) == 0)
        return B_FILE_EXISTS;
    LibTreeCopy copy;
    return copy.MoveByCopy(source, target);
}

status_t LibTreeCopy::CheckTarget(
    const std::string& source, const struct stat& info, const std::string& target)
{
    struct stat existing;
    if (lstat(target.c_str(), &existing) == 0 && existing.st_dev == info.st_dev
        && existing.st_ino == info.st_ino)
        return Fail(B_BAD_VALUE, "\"" + source + "\" and \"" + target + "\" are the same item");
    if (!S_ISDIR(info.st_mode))
        return B_OK;
    std::string from = RealFolder(source);
    std::string folder = RealFolder(ContainingFolder(target));
    if (from.empty() || folder.empty())
        return B_OK; // The copy itself reports what is missing.
    size_t slash = target.find_last_of('/');
    std::string to
        = JoinPath(folder, slash == std::string::npos ? target : target.substr(slash + 1));
    if (IsAtOrBelow(to, from))
        return Fail(B_BAD_VALUE, "cannot copy the folder \"" + source + "\" into itself");
    return B_OK;
}

status_t LibTreeCopy::CopyItem(const std::string& source, const std::string& target)
{
    BPrivate::thread_checkpoint();
    struct stat info;
    if (lstat(source.c_str(), &info) != 0)
        return Fail(StatusFromErrno(errno), "cannot read \"" + source + "\": " + strerror(errno));
    if (S_ISREG(info.st_mode))
        return CopyFile(source, info, target);
    if (S_ISDIR(info.st_mode))
        return CopyFolder(source, info, target);
    if (S_ISLNK(info.st_mode))
        return CopyLink(source, info, target);
    if (S_ISFIFO(info.st_mode))
        return CopyFifo(source, info, target);
    return Fail(B_NOT_ALLOWED, "\"" + source + "\" is a device or socket and is not copied");
}

status_t LibTreeCopy::CopyFile(
    const std::string& source, const struct stat& info, const std::string& target)
{
    Descriptor from(open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    if (from.Get() < 0)
        return Fail(StatusFromErrno(errno), "cannot open \"" + source + "\": " + strerror(errno));
    TemporaryEntry temporary(TemporaryBeside(target));
    // Created with the source's permissions, which the kernel reduces by the
    // umask; made writable for the owner while the copy runs, so that the
    // attributes can be written too.
    Descriptor to(open(temporary.Path().c_str(),
        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, info.st_mode & 0777));
    if (to.Get() < 0) {
        int error = errno;
        return Fail(StatusFromErrno(error),
            "cannot create a file in \"" + ContainingFolder(target) + "\": " + strerror(error));
    }
    temporary.Created();
    struct stat created;
    if (fstat(to.Get(), &created) != 0 || fchmod(to.Get(), (created.st_mode & 0777) | 0600) != 0)
        return Fail(StatusFromErrno(errno), "cannot prepare \"" + target + "\"");
    status_t status = CopyData(from.Get(), to.Get(), source);
    if (status != B_OK)
        return status;
    CopyAttributes(source, temporary.Path());
    timespec times[2] = { AccessTime(info), ModificationTime(info) };
    if (fchmod(to.Get(), created.st_mode & 0777) != 0 || futimens(to.Get(), times) != 0)
        return Fail(StatusFromErrno(errno), "cannot set the mode or times of \"" + target + "\"");
    if (fSyncFiles && fsync(to.Get()) != 0)
        return Fail(StatusFromErrno(errno), "cannot write \"" + target + "\" to the disk");
    if (close(to.Release()) != 0)
        return Fail(StatusFromErrno(errno), "cannot write \"" + target + "\"");
    if (int error = temporary.PlaceAt(target); error != 0)
        return Fail(
            StatusFromErrno(error), "cannot put \"" + target + "\" in place: " + strerror(error));
    return B_OK;
}

status_t LibTreeCopy::CopyData(int from, int to, const std::string& source)
{
    std::vector<char> buffer(kChunkSize);
    while (true) {
        BPrivate::thread_checkpoint();
        ssize_t got = read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Fail(StatusFromErrno(errno), "cannot read \"" + source + "\"");
        if (got == 0)
            return B_OK;
        for (ssize_t done = 0; done < got;) {
            ssize_t written = write(to, buffer.data() + done, size_t(got - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                int error = errno;
                return Fail(StatusFromErrno(error),
                    "cannot write the copy of \"" + source + "\": " + strerror(error));
            }
            done += written;
        }
    }
}

status_t LibTreeCopy::CopyFolder(
    const std::string& source, const struct stat& info, const std::string& target)
{
    struct stat existing;
    bool created = false;
    if (lstat(target.c_str(), &existing) == 0) {
        if (!S_ISDIR(existing.st_mode))
            return Fail(B_NOT_A_DIRECTORY,
                "cannot put the folder \"" + source + "\" over \"" + target + "\"");
    } else if (mkdir(target.c_str(), (info.st_mode & 0777) | 0700) != 0) {
        int error = errno;
        return Fail(StatusFromErrno(error),
            "cannot create the folder \"" + target + "\": " + strerror(error));
    } else {
        created = true;
    }
    int error = 0;
    std::vector<std::string> names = FolderEntries(source, &error);
    if (error != 0)
        return Fail(StatusFromErrno(error), "cannot read the folder \"" + source + "\"");
    for (const std::string& name : names) {
        status_t status = CopyItem(JoinPath(source, name), JoinPath(target, name));
        if (status != B_OK)
            return status;
    }
    CopyAttributes(source, target);
    if (!created)
        return B_OK;
    // Owner bits the source lacks go only now that the contents are in.
    struct stat made;
    if (stat(target.c_str(), &made) == 0 && (info.st_mode & 0700) != 0700)
        chmod(target.c_str(), made.st_mode & 0777 & ~(0700 & ~info.st_mode));
    timespec times[2] = { AccessTime(info), ModificationTime(info) };
    if (utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return Fail(StatusFromErrno(errno), "cannot set the times of \"" + target + "\"");
    return B_OK;
}

status_t LibTreeCopy::CopyLink(
    const std::string& source, const struct stat& info, const std::string& target)
{
    std::vector<char> text(size_t(info.st_size > 0 ? info.st_size : PATH_MAX) + 1);
    ssize_t length = readlink(source.c_str(), text.data(), text.size());
    if (length < 0 || size_t(length) >= text.size())
        return Fail(B_ERROR, "cannot read the link \"" + source + "\"");
    text[size_t(length)] = '\0';
    TemporaryEntry temporary(TemporaryBeside(target));
    if (symlink(text.data(), temporary.Path().c_str()) != 0) {
        int error = errno;
        return Fail(StatusFromErrno(error),
            "cannot create a link in \"" + ContainingFolder(target) + "\": " + strerror(error));
    }
    temporary.Created();
    timespec times[2] = { AccessTime(info), ModificationTime(info) };
    utimensat(AT_FDCWD, temporary.Path().c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (int error = temporary.PlaceAt(target); error != 0)
        return Fail(StatusFromErrno(error),
            "cannot put the link \"" + target + "\" in place: " + strerror(error));
    return B_OK;
}

status_t LibTreeCopy::CopyFifo(
    const std::string& source, const struct stat& info, const std::string& target)
{
    TemporaryEntry temporary(TemporaryBeside(target));
    if (mkfifo(temporary.Path().c_str(), info.st_mode & 0777) != 0)
        return Fail(StatusFromErrno(errno), "cannot create the pipe \"" + target + "\"");
    temporary.Created();
    CopyAttributes(source, temporary.Path());
    if (int error = temporary.PlaceAt(target); error != 0)
        return Fail(StatusFromErrno(error), "cannot put the pipe \"" + target + "\" in place");
    return B_OK;
}

void LibTreeCopy::CopyAttributes(const std::string& source, const std::string& target)
{
    BNode from(source.c_str());
    BNode to(target.c_str());
    if (from.InitCheck() != B_OK || to.InitCheck() != B_OK) {
        fWarnings.push_back("the attributes of \"" + source + "\" could not be read");
        return;
    }
    char name[B_ATTR_NAME_LENGTH];
    std::vector<uint8> data;
    while (from.GetNextAttrName(name) == B_OK) {
        attr_info info;
        if (from.GetAttrInfo(name, &info) != B_OK) {
            fWarnings.push_back(std::string("the attribute \"") + name + "\" of \"" + source
                + "\" could not be read");
            continue;
        }
        data.resize(size_t(info.size));
        ssize_t got = from.ReadAttr(name, info.type, 0, data.data(), data.size());
        ssize_t written
            = got < 0 ? got : to.WriteAttr(name, info.type, 0, data.data(), size_t(got));
        if (got < 0 || written < 0) {
            fWarnings.push_back(std::string("the attribute \"") + name + "\" of \"" + source
                + "\" was not kept (the file system refused it)");
        }
    }
}

std::string LibTreeCopy::TemporaryBeside(const std::string& target)
{
    // A short hidden name, so that it fits beside a leaf of any length and
    // nobody takes it for a finished file.
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    fNameSeed = fNameSeed * 6364136223846793005ULL + 1442695040888963407ULL;
    uint64 bits = fNameSeed;
    std::string name = ".brenvik-";
    for (int i = 0; i < 10; i++, bits /= 36)
        name += kDigits[bits % 36];
    return JoinPath(ContainingFolder(target), name);
}

status_t LibTreeCopy::Fail(status_t status, const std::string& text)
{
    fErrorText = text;
    return status;
}
