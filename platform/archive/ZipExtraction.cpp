#include "ZipExtraction.h"

#include "ZipNodeAttributes.h"
#include "ZipSafeFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace brenvik::archive {

namespace {

// Link targets longer than this are not plausible paths.
constexpr uint64 kMaxLinkTarget = 4095;
constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kDefaultFileMode = 0644;
constexpr mode_t kDefaultFolderMode = 0755;

timespec Seconds(int64 value)
{
    timespec time = {};
    time.tv_sec = time_t(value);
    return time;
}

mode_t PermissionsOf(const ZipEntryInfo& info, mode_t fallback)
{
    // Set-id and sticky bits are never restored: an archive must not be able
    // to plant a set-id program.
    return info.mode ? mode_t(*info.mode) & kPermissionBits : fallback;
}

// A name beside the final one, unlikely to exist, short enough for any leaf.
std::string TemporaryName()
{
    static thread_local std::mt19937_64 random(std::random_device {}());
    char name[32];
    snprintf(name, sizeof(name), ".zx%016llx", static_cast<unsigned long long>(random()));
    return name;
}

status_t WriteAll(int fd, const uint8* data, size_t size)
{
    while (size > 0) {
        ssize_t done = write(fd, data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return done < 0 ? StatusFromErrno(errno) : B_IO_ERROR;
        data += done;
        size -= size_t(done);
    }
    return B_OK;
}

} // namespace

ZipExtraction::ZipExtraction() = default;

ZipExtraction::~ZipExtraction()
{
    ForgetParent();
}

status_t ZipExtraction::Fail(status_t status, std::string text)
{
    fErrorText = std::move(text);
    return status;
}

status_t ZipExtraction::Extract(std::unique_ptr<ZipByteSource> source,
    const char* destinationFolder, const ZipExtractOptions& options)
{
    fOptions = options;
    fEntries.clear();
    fWarnings.clear();
    fTopName.clear();
    fArchiveTopName.clear();
    fErrorText.clear();
    ZipReader reader;
    status_t status = reader.Open(std::move(source));
    if (status != B_OK)
        return Fail(status, reader.ErrorText());
    if ((status = Plan(reader)) != B_OK)
        return status;
    fFolder = std::make_unique<ZipSafeFolder>();
    if ((status = fFolder->Open(destinationFolder, options.useOpenat2)) != B_OK)
        return Fail(status,
            std::string("cannot open the destination folder ")
                + (destinationFolder != nullptr ? destinationFolder : "(none)"));
    // Files first, in archive order; then links; then folder modes and
    // times, deepest first, since writing inside a folder changes its times.
    for (const Planned& entry : fEntries) {
        if (entry.info.kind == ZipEntryKind::kFile)
            status = WriteFile(reader, entry);
        else if (entry.info.kind == ZipEntryKind::kDirectory)
            status = ParentFolder(entry, nullptr);
        if (status != B_OK)
            break;
    }
    for (const Planned& entry : fEntries) {
        if (status == B_OK && entry.info.kind == ZipEntryKind::kSymLink)
            status = WriteLink(entry);
    }
    std::vector<const Planned*> folders;
    for (const Planned& entry : fEntries) {
        if (entry.info.kind == ZipEntryKind::kDirectory)
            folders.push_back(&entry);
    }
    std::stable_sort(folders.begin(), folders.end(),
        [](const Planned* a, const Planned* b) { return a->path.size() > b->path.size(); });
    for (const Planned* entry : folders) {
        if (status == B_OK)
            status = FinishFolder(*entry);
    }
    ForgetParent();
    fFolder.reset();
    return status;
}

status_t ZipExtraction::Plan(ZipReader& reader)
{
    uint64 count = reader.CountEntries();
    if (count == 0)
        return Fail(B_BAD_DATA, "the archive is empty");
    uint64 total = 0;
    for (uint64 i = 0; i < count; i++) {
        ZipEntryInfo info;
        status_t status = reader.GetEntry(i, &info);
        if (status == B_OK)
            status = PlanEntry(info);
        if (status != B_OK)
            return status;
        total += info.size;
        if (fOptions.maxTotalSize != 0 && total > fOptions.maxTotalSize)
            return Fail(B_BUFFER_OVERFLOW, "the archive holds more data than allowed");
    }
    status_t status = CheckConflicts();
    return status == B_OK ? CheckLinks(reader) : status;
}

status_t ZipExtraction::PlanEntry(ZipEntryInfo& info)
{
    Planned entry;
    std::string reason;
    if (SplitEntryName(info.name, &entry.path, &reason) != B_OK)
        return Fail(B_NOT_ALLOWED, "refused: " + reason);
    if (info.kind == ZipEntryKind::kOther)
        return Fail(B_NOT_ALLOWED, "refused: \"" + info.name + "\" is not a file, folder or link");
    if (info.encrypted)
        return Fail(B_NOT_SUPPORTED, "\"" + info.name + "\" is encrypted");
    // One item per archive: every entry lies below the same top name.
    if (fTopName.empty()) {
        if (!fOptions.expectedTopName.empty() && entry.path[0] != fOptions.expectedTopName)
            return Fail(B_BAD_DATA,
                "the archive holds \"" + entry.path[0] + "\", not \"" + fOptions.expectedTopName
                    + "\"");
        fTopName = fOptions.targetName.empty() ? entry.path[0] : fOptions.targetName;
        std::vector<std::string> check;
        if (SplitEntryName(fTopName, &check, &reason) != B_OK || check.size() != 1)
            return Fail(B_BAD_VALUE, "unusable target name \"" + fTopName + "\"");
        fArchiveTopName = entry.path[0];
    } else if (entry.path[0] != fArchiveTopName)
        return Fail(B_BAD_DATA, "the archive holds more than one item");
    entry.path[0] = fTopName;
    entry.info = std::move(info);
    fEntries.push_back(std::move(entry));
    return B_OK;
}

// A path may not be a file in one entry and a folder (or a folder's parent)
// in another, and nothing may be written through a link of the archive.
status_t ZipExtraction::CheckConflicts()
{
    std::map<std::string, ZipEntryKind> kinds;
    for (const Planned& entry : fEntries) {
        std::string path = JoinComponents(entry.path, entry.path.size());
        auto [at, added] = kinds.emplace(path, entry.info.kind);
        if (!added && at->second != entry.info.kind)
            return Fail(
                B_NOT_ALLOWED, "refused: \"" + path + "\" is given twice as different kinds");
    }
    for (const Planned& entry : fEntries) {
        for (size_t depth = 1; depth < entry.path.size(); depth++) {
            auto parent = kinds.find(JoinComponents(entry.path, depth));
            if (parent == kinds.end() || parent->second == ZipEntryKind::kDirectory)
                continue;
            return Fail(B_NOT_ALLOWED,
                "refused: \"" + entry.info.name + "\" would be written "
                    + (parent->second == ZipEntryKind::kSymLink ? "through a link"
                                                                : "below a file"));
        }
    }
    return B_OK;
}

status_t ZipExtraction::CheckLinks(ZipReader& reader)
{
    std::map<std::string, std::string> links;
    for (Planned& entry : fEntries) {
        if (entry.info.kind != ZipEntryKind::kSymLink)
            continue;
        if (entry.info.size == 0 || entry.info.size > kMaxLinkTarget)
            return Fail(B_NOT_ALLOWED, "refused: \"" + entry.info.name + "\" is not a usable link");
        status_t status = reader.ReadEntry(entry.info, [&entry](const uint8* data, size_t size) {
            entry.linkTarget.append(reinterpret_cast<const char*>(data), size);
            return B_OK;
        });
        if (status != B_OK)
            return Fail(status, reader.ErrorText());
        if (entry.linkTarget.find('\0') != std::string::npos)
            return Fail(B_NOT_ALLOWED, "refused: \"" + entry.info.name + "\" is not a usable link");
        links[JoinComponents(entry.path, entry.path.size())] = entry.linkTarget;
    }
    for (const Planned& entry : fEntries) {
        if (entry.info.kind == ZipEntryKind::kSymLink
            && !LinkStaysInside(entry.path, entry.linkTarget, links))
            return Fail(B_NOT_ALLOWED,
                "refused: the link \"" + entry.info.name + "\" points to \"" + entry.linkTarget
                    + "\", outside the destination");
    }
    return B_OK;
}

void ZipExtraction::ForgetParent()
{
    if (fParentFd >= 0)
        close(fParentFd);
    fParentFd = -1;
    fParentPath.clear();
}

// The folder that holds an entry (created when missing); for a folder entry
// with fd null, the folder itself is made.
status_t ZipExtraction::ParentFolder(const Planned& entry, int* fd)
{
    size_t depth = fd != nullptr ? entry.path.size() - 1 : entry.path.size();
    std::string path = JoinComponents(entry.path, depth);
    if (fd != nullptr && fParentFd >= 0 && path == fParentPath) {
        *fd = fParentFd;
        return B_OK;
    }
    ForgetParent();
    int folder;
    std::string reason;
    status_t status = fFolder->OpenFolder(entry.path, depth, true, &folder, &reason);
    if (status != B_OK)
        return Fail(status, "refused: " + reason);
    fParentFd = folder;
    fParentPath = path;
    if (fd != nullptr)
        *fd = folder;
    return B_OK;
}

void ZipExtraction::ApplyMetadata(int fd, const Planned& entry)
{
    const ZipEntryInfo& info = entry.info;
    if (fOptions.restoreOwner && info.owner
        && fchown(fd, uid_t(info.owner->uid), gid_t(info.owner->gid)) != 0)
        Warn("cannot give \"" + info.name + "\" to its owner: " + strerror(errno));
    if (entry.info.attributesStatus != B_OK)
        Warn("the attributes of \"" + info.name + "\" are damaged and were skipped");
    if (!fOptions.restoreAttributes)
        return;
    for (const ZipAttribute& attribute : info.attributes) {
        status_t status = WriteNodeAttribute(fd, attribute);
        if (status != B_OK) {
            Warn("cannot keep the attribute \"" + attribute.name + "\" of \"" + info.name
                + "\" (status " + std::to_string(status) + ")");
        }
    }
}

status_t ZipExtraction::StreamData(ZipReader& reader, const Planned& entry, int fd)
{
    status_t status = reader.ReadEntry(
        entry.info, [fd](const uint8* data, size_t size) { return WriteAll(fd, data, size); });
    if (status != B_OK)
        return Fail(status,
            reader.ErrorText().empty() ? "cannot write \"" + entry.info.name + "\""
                                       : reader.ErrorText());
    ApplyMetadata(fd, entry);
    // The mode after the owner (a change of owner clears set-id bits) and
    // the times last.
    mode_t mode = PermissionsOf(entry.info, kDefaultFileMode);
    timespec times[2] = { Seconds(entry.info.accessed.value_or(entry.info.modified)),
        Seconds(entry.info.modified) };
    if (fchmod(fd, mode) != 0 || futimens(fd, times) != 0)
        return Fail(
            StatusFromErrno(errno), "cannot set the mode or times of \"" + entry.info.name + "\"");
    return B_OK;
}

status_t ZipExtraction::WriteFile(ZipReader& reader, const Planned& entry)
{
    int folder;
    status_t status = ParentFolder(entry, &folder);
    if (status != B_OK)
        return status;
    std::string temporary = TemporaryName();
    int fd = openat(
        folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(StatusFromErrno(errno), "cannot create \"" + entry.info.name + "\"");
    status = StreamData(reader, entry, fd);
    if (close(fd) != 0 && status == B_OK)
        status = Fail(StatusFromErrno(errno), "cannot write \"" + entry.info.name + "\"");
    if (status == B_OK
        && renameat(folder, temporary.c_str(), folder, entry.path.back().c_str()) != 0)
        status = Fail(StatusFromErrno(errno),
            "cannot put \"" + entry.info.name + "\" in place: " + strerror(errno));
    if (status != B_OK)
        unlinkat(folder, temporary.c_str(), 0);
    return status;
}

status_t ZipExtraction::WriteLink(const Planned& entry)
{
    int folder;
    status_t status = ParentFolder(entry, &folder);
    if (status != B_OK)
        return status;
    std::string temporary = TemporaryName();
    if (symlinkat(entry.linkTarget.c_str(), folder, temporary.c_str()) != 0)
        return Fail(StatusFromErrno(errno), "cannot create the link \"" + entry.info.name + "\"");
    const ZipEntryInfo& info = entry.info;
    if (fOptions.restoreOwner && info.owner
        && fchownat(folder, temporary.c_str(), uid_t(info.owner->uid), gid_t(info.owner->gid),
               AT_SYMLINK_NOFOLLOW)
            != 0)
        Warn("cannot give \"" + info.name + "\" to its owner: " + strerror(errno));
    // Linux keeps no user attributes on links.
    if (fOptions.restoreAttributes && !info.attributes.empty())
        Warn("links cannot keep attributes on Linux: \"" + info.name + "\" lost them");
    timespec times[2] = { Seconds(info.accessed.value_or(info.modified)), Seconds(info.modified) };
    utimensat(folder, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (renameat(folder, temporary.c_str(), folder, entry.path.back().c_str()) != 0) {
        int error = errno;
        unlinkat(folder, temporary.c_str(), 0);
        return Fail(StatusFromErrno(error),
            "cannot put the link \"" + info.name + "\" in place: " + strerror(error));
    }
    return B_OK;
}

status_t ZipExtraction::FinishFolder(const Planned& entry)
{
    ForgetParent();
    int fd;
    std::string reason;
    status_t status = fFolder->OpenFolder(entry.path, entry.path.size(), false, &fd, &reason);
    if (status != B_OK)
        return Fail(status, "refused: " + reason);
    ApplyMetadata(fd, entry);
    timespec times[2] = { Seconds(entry.info.accessed.value_or(entry.info.modified)),
        Seconds(entry.info.modified) };
    if (fchmod(fd, PermissionsOf(entry.info, kDefaultFolderMode)) != 0 || futimens(fd, times) != 0)
        status = Fail(
            StatusFromErrno(errno), "cannot set the mode or times of \"" + entry.info.name + "\"");
    close(fd);
    return status;
}

} // namespace brenvik::archive
