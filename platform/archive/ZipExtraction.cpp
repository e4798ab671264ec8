#include "ZipExtraction.h"

#include "ZipNodeAttributes.h"
#include "ZipSafeFolder.h"
#include "ZipStaging.h"
#include "ZipWorkQueue.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <random>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <AtomicFile.h>
#include <Sha256.h>

namespace BPrivate {

namespace {

// Files queued ahead of the threads writing them (each holds its folder
// open).
constexpr size_t kQueuedFiles = 32;
// Bytes of one file written between two wake-ups of the walking thread.
constexpr uint64 kReportEvery = 4 * 1024 * 1024;
// The most entries planned for before they are read (about 60 MB of plan).
constexpr uint64 kMaxEntriesReserved = 256 * 1024;
// Runs of zeros at least this long are left as holes in the files written.
constexpr size_t kHoleChunk = 64 * 1024;
// Link targets longer than this are not plausible paths.
constexpr uint64 kMaxLinkTarget = 4095;
constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kDefaultFileMode = 0644;
constexpr mode_t kDefaultFolderMode = 0755;
// A folder its owner cannot enter could not be removed again.
constexpr mode_t kOwnerFolderBits = 0700;

timespec Seconds(int64 value)
{
    timespec time = {};
    time.tv_sec = time_t(value);
    return time;
}

// Set-id bits are never restored: an archive must not be able to plant a
// set-id program. The sticky bit is, on folders (a shared folder keeps each
// user's entries her own); on files Linux gives it no meaning.
mode_t PermissionsOf(const ZipEntryInfo& info, mode_t fallback, bool folder, uint32 removed)
{
    mode_t kept = folder ? kPermissionBits | S_ISVTX : kPermissionBits;
    mode_t mode = info.mode ? mode_t(*info.mode) & kept : fallback;
    return mode & ~mode_t(removed);
}

// A name beside the final one, unlikely to exist, short enough for any leaf.
std::string TemporaryName()
{
    static thread_local std::mt19937_64 random(std::random_device {}());
    char name[32];
    snprintf(name, sizeof(name), ".zx%016llx", static_cast<unsigned long long>(random()));
    return name;
}

bool IsAllZero(const uint8* data, size_t size)
{
    return size > 0 && data[0] == 0 && std::memcmp(data, data + 1, size - 1) == 0;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

ZipExtraction::ZipExtraction() = default;

ZipExtraction::~ZipExtraction() = default;

status_t ZipExtraction::Fail(status_t status, std::string text)
{
    fErrorText = std::move(text);
    return status;
}

status_t ZipExtraction::Extract(
    std::unique_ptr<ZipByteSource> source, const char* folder, const ZipExtractOptions& options)
{
    fOptions = options;
    ZipReader reader;
    // Files are written on several threads, each reading its own entry.
    status_t status = reader.Open(MakeConcurrentSource(std::move(source)));
    if (status != B_OK)
        return Fail(status, reader.ErrorText());
    if ((status = Plan(reader)) != B_OK)
        return status;
    // The folder itself is opened as given (a link naming it is followed: it
    // is the caller's choice of place); nothing below it is.
    int folderFd = folder != nullptr ? open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    if (folderFd < 0)
        return Fail(folder != nullptr ? StatusFromErrno(errno) : B_BAD_VALUE,
            std::string("cannot open the folder ") + (folder != nullptr ? folder : "(none)"));
    std::vector<std::string> stale;
    ZipStaging::RemoveStale(folderFd, &stale);
    for (const std::string& name : stale)
        Warn("removed " + name + ", left by an extraction that was interrupted");
    struct stat st;
    if (fOptions.existing == ZipExisting::kRefuse
        && fstatat(folderFd, fTopName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        status = Fail(B_FILE_EXISTS, Quoted(fTopName) + " already exists");
    if (status == B_OK)
        status = CheckFreeSpace(folderFd);
    if (status == B_OK) {
        ZipStaging staging;
        std::string reason;
        fFolder = std::make_unique<ZipSafeFolder>();
        if ((status = staging.Create(folderFd, &reason)) != B_OK)
            Fail(status, reason);
        else if ((status = fFolder->Adopt(staging.Descriptor(), options.useOpenat2)) != B_OK)
            Fail(status, "cannot open the folder to extract into");
        bool started = status == B_OK;
        if (status == B_OK)
            status = WriteEntries(reader);
        ForgetParent();
        fFolder.reset();
        if (status == B_OK
            && (status = staging.Place(fTopName, fOptions.existing, &reason)) != B_OK)
            Fail(status, reason);
        // The staging folder goes with everything written so far; whoever
        // reads the error learns that no part of the item stays behind.
        if (status != B_OK && started && fBytesDone > 0)
            fErrorText += "; what was written of " + Quoted(fTopName) + " was removed again";
    }
    close(folderFd);
    return status;
}

status_t ZipExtraction::WriteEntries(ZipReader& reader)
{
    // Files first, in archive order; then links; then folder modes and
    // times, deepest first, since writing inside a folder changes its times.
    status_t status = WriteFilesAndFolders(reader);
    if (status != B_OK)
        return status;
    for (const Planned& entry : fEntries) {
        if (entry.info.kind == ZipEntryKind::kSymLink && (status = WriteLink(entry)) != B_OK)
            return status;
    }
    std::vector<const Planned*> folders;
    for (const Planned& entry : fEntries) {
        if (entry.info.kind == ZipEntryKind::kDirectory)
            folders.push_back(&entry);
    }
    std::stable_sort(folders.begin(), folders.end(),
        [](const Planned* a, const Planned* b) { return a->path.size() > b->path.size(); });
    for (const Planned* entry : folders) {
        if ((status = FinishFolder(*entry)) != B_OK)
            return status;
    }
    return B_OK;
}

// Folders are made on this thread, in archive order; files are written on a
// few threads of their own (in the folders made for them), each into a name
// of its own beside its final one.
status_t ZipExtraction::WriteFilesAndFolders(ZipReader& reader)
{
    size_t files = size_t(std::count_if(fEntries.begin(), fEntries.end(),
        [](const Planned& entry) { return entry.info.kind == ZipEntryKind::kFile; }));
    FileRun run;
    run.outcomes.resize(fEntries.size());
    bool stopped = false;
    std::function<bool()> watch = [this, &run, &stopped] { return WatchFiles(run, &stopped); };
    status_t status = B_OK;
    {
        ZipWorkQueue queue(ZipWorkQueue::ThreadsFor(files), kQueuedFiles);
        for (size_t i = 0; i < fEntries.size() && status == B_OK; i++) {
            const Planned& entry = fEntries[i];
            if (!watch())
                break;
            if (entry.info.kind == ZipEntryKind::kFile)
                status = QueueFile(reader, i, queue, run, watch);
            else if (entry.info.kind == ZipEntryKind::kDirectory
                && (status = ParentFolder(entry, nullptr)) == B_OK)
                Report(entry);
        }
        if (status != B_OK)
            run.abandon = true;
        queue.Finish(watch);
    }
    ReportFiles(run);
    return EndFiles(status, stopped, run);
}

status_t ZipExtraction::QueueFile(ZipReader& reader, size_t index, ZipWorkQueue& queue,
    FileRun& run, const std::function<bool()>& watch)
{
    int folder;
    status_t status = ParentFolder(fEntries[index], &folder);
    if (status != B_OK)
        return status;
    std::shared_ptr<Descriptor> held = fParent;
    queue.Push(
        [this, &reader, index, held, &run, &queue] {
            run.outcomes[index] = WriteFile(reader, fEntries[index], held->Get(), run, queue);
            if (run.outcomes[index].status != B_OK)
                run.abandon = true;
        },
        watch);
    return B_OK;
}

void ZipExtraction::ReportFiles(FileRun& run)
{
    uint64 done = run.bytesDone.load();
    size_t current = run.current.load();
    if (done != fBytesReported || current != fEntryReported) {
        fBytesDone = done;
        fBytesReported = done;
        fEntryReported = current;
        Report(fEntries[current]);
    }
}

bool ZipExtraction::WatchFiles(FileRun& run, bool* stopped)
{
    ReportFiles(run);
    if (run.abandon)
        return false;
    if (StopRequested()) {
        *stopped = true;
        run.abandon = true;
        return false;
    }
    return true;
}

// The files' warnings in archive order, and the first failure of a file in
// archive order (what made the others give up), else the walk's own.
status_t ZipExtraction::EndFiles(status_t status, bool stopped, FileRun& run)
{
    fBytesDone = run.bytesDone.load();
    fWrittenFiles.merge(run.written);
    const FileOutcome* failed = nullptr;
    for (size_t i = 0; i < run.outcomes.size(); i++) {
        FileOutcome& outcome = run.outcomes[i];
        for (std::string& warning : outcome.warnings)
            Warn(std::move(warning));
        if (failed == nullptr && outcome.status != B_OK && !outcome.abandoned)
            failed = &outcome;
    }
    if (failed != nullptr)
        return Fail(failed->status, failed->errorText);
    if (status == B_OK && stopped)
        return Fail(B_CANCELED, "stopped");
    return status;
}

void ZipExtraction::Report(const Planned& entry)
{
    if (!fOptions.progress)
        return;
    ZipExtractProgress progress;
    progress.bytesDone = fBytesDone;
    progress.bytesTotal = fBytesTotal;
    progress.entryName = &entry.info.name;
    fOptions.progress(progress);
}

status_t ZipExtraction::Plan(ZipReader& reader)
{
    uint64 count = reader.CountEntries();
    if (count == 0)
        return Fail(B_BAD_DATA, "the archive is empty");
    // Room for every entry at once (an archive of many small files would
    // otherwise leave up to half the list unused), within a bound, since the
    // count comes from the archive.
    fEntries.reserve(size_t(std::min<uint64>(count, kMaxEntriesReserved)));
    for (uint64 i = 0; i < count; i++) {
        ZipEntryInfo info;
        status_t status = reader.GetEntry(i, &info);
        if (status != B_OK)
            return Fail(status, reader.ErrorText());
        if ((status = PlanEntry(info)) != B_OK)
            return status;
    }
    status_t status = CheckSizes();
    if (status == B_OK)
        status = CheckConflicts();
    return status == B_OK ? CheckLinks(reader) : status;
}

status_t ZipExtraction::PlanEntry(ZipEntryInfo& info)
{
    Planned entry;
    std::string reason;
    if (SplitEntryName(info.name, &entry.path, &reason) != B_OK)
        return Fail(B_NOT_ALLOWED, "refused: " + reason);
    if (info.kind == ZipEntryKind::kOther)
        return Fail(
            B_NOT_ALLOWED, "refused: " + Quoted(info.name) + " is not a file, folder or link");
    if (info.encrypted)
        return Fail(B_NOT_SUPPORTED, Quoted(info.name) + " is encrypted");
    // One item per archive: every entry lies below the same top name.
    if (fTopName.empty()) {
        if (!fOptions.expectedTopName.empty() && entry.path[0] != fOptions.expectedTopName)
            return Fail(B_BAD_DATA,
                "the archive holds " + Quoted(entry.path[0]) + ", not "
                    + Quoted(fOptions.expectedTopName));
        fTopName = fOptions.targetName.empty() ? entry.path[0] : fOptions.targetName;
        std::vector<std::string> check;
        if (SplitEntryName(fTopName, &check, &reason) != B_OK || check.size() != 1
            || fTopName.compare(0, std::strlen(kStagingPrefix), kStagingPrefix) == 0)
            return Fail(B_BAD_VALUE, "unusable item name " + Quoted(fTopName));
        fArchiveTopName = entry.path[0];
    } else if (entry.path[0] != fArchiveTopName)
        return Fail(B_BAD_DATA, "the archive holds more than one item");
    entry.path[0] = fTopName;
    entry.info = std::move(info);
    fEntries.push_back(std::move(entry));
    return B_OK;
}

// The item's bytes against its bound, before anything is written (the
// reader then refuses any entry that holds more than it states).
status_t ZipExtraction::CheckSizes()
{
    uint64 total = 0;
    for (const Planned& entry : fEntries) {
        if (entry.info.kind == ZipEntryKind::kDirectory)
            continue;
        total += entry.info.size;
        if (entry.info.kind == ZipEntryKind::kFile)
            fBytesTotal += entry.info.size;
        if (fOptions.maxItemSize != 0 && total > fOptions.maxItemSize)
            return Fail(B_BUFFER_OVERFLOW,
                "refused: " + Quoted(entry.info.name) + " takes the item to "
                    + std::to_string(total) + " bytes, more than the "
                    + std::to_string(fOptions.maxItemSize) + " it may hold");
    }
    return B_OK;
}

status_t ZipExtraction::CheckFreeSpace(int folderFd)
{
    struct statvfs volume;
    if (fstatvfs(folderFd, &volume) != 0)
        return B_OK;
    uint64 block = volume.f_frsize != 0 ? volume.f_frsize : 4096;
    uint64 needed = fOptions.keepFree;
    for (const Planned& entry : fEntries) {
        if (entry.info.kind == ZipEntryKind::kFile)
            needed += (entry.info.size + block - 1) / block * block;
        else if (entry.info.kind == ZipEntryKind::kDirectory)
            needed += block;
    }
    uint64 available = uint64(volume.f_bavail) * block;
    if (needed > available)
        return Fail(B_DEVICE_FULL,
            "not enough free space: the item needs " + std::to_string(needed)
                + " bytes, the file system has " + std::to_string(available));
    return B_OK;
}

// Each path is given once, and nothing is written below a file or through a
// link of the archive.
status_t ZipExtraction::CheckConflicts()
{
    std::map<std::string, ZipEntryKind> kinds;
    for (const Planned& entry : fEntries) {
        std::string path = JoinComponents(entry.path, entry.path.size());
        if (!kinds.emplace(path, entry.info.kind).second)
            return Fail(B_NOT_ALLOWED, "refused: " + Quoted(path) + " is given twice");
    }
    for (const Planned& entry : fEntries) {
        for (size_t depth = 1; depth < entry.path.size(); depth++) {
            auto parent = kinds.find(JoinComponents(entry.path, depth));
            if (parent == kinds.end() || parent->second == ZipEntryKind::kDirectory)
                continue;
            return Fail(B_NOT_ALLOWED,
                "refused: " + Quoted(entry.info.name) + " would be written "
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
            return Fail(
                B_NOT_ALLOWED, "refused: " + Quoted(entry.info.name) + " is not a usable link");
        status_t status = reader.ReadEntry(entry.info, [&entry](const uint8* data, size_t size) {
            entry.linkTarget.append(reinterpret_cast<const char*>(data), size);
            return B_OK;
        });
        if (status != B_OK)
            return Fail(status, reader.ErrorText());
        if (entry.linkTarget.find('\0') != std::string::npos)
            return Fail(
                B_NOT_ALLOWED, "refused: " + Quoted(entry.info.name) + " is not a usable link");
        links[JoinComponents(entry.path, entry.path.size())] = entry.linkTarget;
    }
    for (const Planned& entry : fEntries) {
        if (entry.info.kind != ZipEntryKind::kSymLink)
            continue;
        LinkVerdict verdict = CheckLinkTarget(entry.path, entry.linkTarget, links);
        if (verdict != LinkVerdict::kInside)
            return Fail(B_NOT_ALLOWED,
                "refused: the link " + Quoted(entry.info.name) + " "
                    + DescribeLinkVerdict(verdict, entry.linkTarget));
    }
    return B_OK;
}

void ZipExtraction::ForgetParent()
{
    fParent.reset();
    fParentPath.clear();
}

// The folder that holds an entry (created when missing); for a folder entry
// with fd null, the folder itself is made.
status_t ZipExtraction::ParentFolder(const Planned& entry, int* fd)
{
    size_t depth = fd != nullptr ? entry.path.size() - 1 : entry.path.size();
    std::string path = JoinComponents(entry.path, depth);
    if (fd != nullptr && fParent != nullptr && path == fParentPath) {
        *fd = fParent->Get();
        return B_OK;
    }
    ForgetParent();
    int folder;
    std::string reason;
    status_t status = fFolder->OpenFolder(entry.path, depth, true, &folder, &reason);
    if (status != B_OK)
        return Fail(status, "refused: " + reason);
    fParent = std::make_shared<Descriptor>(folder);
    fParentPath = path;
    if (fd != nullptr)
        *fd = folder;
    return B_OK;
}

void ZipExtraction::ApplyMetadata(
    int fd, const Planned& entry, std::vector<std::string>* warnings) const
{
    const ZipEntryInfo& info = entry.info;
    if (fOptions.restoreOwner && info.owner
        && fchown(fd, uid_t(info.owner->uid), gid_t(info.owner->gid)) != 0)
        warnings->push_back(
            "cannot give " + Quoted(info.name) + " to its owner: " + strerror(errno));
    if (entry.info.attributesStatus != B_OK)
        warnings->push_back(
            "the attributes of " + Quoted(info.name) + " are damaged and were skipped");
    if (!fOptions.restoreAttributes)
        return;
    for (const ZipAttribute& attribute : info.attributes) {
        status_t status = WriteNodeAttribute(fd, attribute);
        if (status != B_OK) {
            warnings->push_back("cannot keep the attribute " + Quoted(attribute.name) + " of "
                + Quoted(info.name) + " (status " + std::to_string(status) + ")");
        }
    }
}

status_t ZipExtraction::StreamData(const ZipReader& reader, const Planned& entry, int fd,
    FileRun& run, ZipWorkQueue& queue, FileOutcome* outcome) const
{
    std::unique_ptr<Sha256> digest = fOptions.digestFiles ? std::make_unique<Sha256>() : nullptr;
    uint64 unreported = 0;
    bool endsInHole = false;
    status_t status = reader.ReadEntryConcurrently(
        entry.info,
        [&](const uint8* data, size_t size) -> status_t {
            if (run.abandon) {
                outcome->abandoned = true;
                return B_CANCELED;
            }
            // A chunk of zeros becomes a hole, as cp makes them: the file
            // reads the same, and the disk is spared writing it.
            endsInHole = size >= kHoleChunk && IsAllZero(data, size);
            status_t written = endsInHole
                ? (lseek(fd, off_t(size), SEEK_CUR) < 0 ? StatusFromErrno(errno) : B_OK)
                : WriteAll(fd, data, size);
            if (written == B_OK) {
                if (digest != nullptr)
                    digest->Update(data, size);
                run.bytesDone += size;
                // The walking thread hears of a large file's progress now
                // and then, not of every chunk.
                unreported += size;
                if (unreported >= kReportEvery) {
                    unreported = 0;
                    queue.Nudge();
                }
            }
            return written;
        },
        &outcome->errorText);
    // A file that ends in a hole gets its length from the last skip.
    off_t end = endsInHole ? lseek(fd, 0, SEEK_CUR) : 0;
    if (status == B_OK && endsInHole && (end < 0 || ftruncate(fd, end) != 0))
        status = StatusFromErrno(errno);
    if (status != B_OK) {
        if (outcome->errorText.empty())
            outcome->errorText = "cannot write " + Quoted(entry.info.name);
        return status;
    }
    ApplyMetadata(fd, entry, &outcome->warnings);
    // The mode after the owner (a change of owner clears set-id bits) and
    // the times last.
    mode_t mode = PermissionsOf(entry.info, kDefaultFileMode, false, fOptions.removedModeBits);
    timespec times[2] = { Seconds(entry.info.accessed.value_or(entry.info.modified)),
        Seconds(entry.info.modified) };
    if (fchmod(fd, mode) != 0 || futimens(fd, times) != 0) {
        outcome->errorText = "cannot set the mode or times of " + Quoted(entry.info.name);
        return StatusFromErrno(errno);
    }
    struct stat st;
    if (digest != nullptr && fstat(fd, &st) == 0) {
        ZipWrittenFile written;
        written.device = uint64(st.st_dev);
        written.inode = uint64(st.st_ino);
        written.size = uint64(st.st_size);
        written.modifiedNs = int64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        written.sha256 = digest->Final();
        std::string below
            = JoinComponents(entry.path, entry.path.size()).substr(entry.path[0].size());
        std::lock_guard lock(run.writtenLock);
        run.written[std::move(below)] = std::move(written);
    }
    return B_OK;
}

ZipExtraction::FileOutcome ZipExtraction::WriteFile(const ZipReader& reader, const Planned& entry,
    int folder, FileRun& run, ZipWorkQueue& queue) const
{
    FileOutcome outcome;
    if (run.abandon) {
        outcome.status = B_CANCELED;
        outcome.abandoned = true;
        return outcome;
    }
    run.current = size_t(&entry - fEntries.data());
    std::string temporary = TemporaryName();
    int fd = openat(
        folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        outcome.status = StatusFromErrno(errno);
        outcome.errorText = "cannot create " + Quoted(entry.info.name);
        return outcome;
    }
    outcome.status = StreamData(reader, entry, fd, run, queue, &outcome);
    if (close(fd) != 0 && outcome.status == B_OK) {
        outcome.status = StatusFromErrno(errno);
        outcome.errorText = "cannot write " + Quoted(entry.info.name);
    }
    if (outcome.status == B_OK
        && renameat(folder, temporary.c_str(), folder, entry.path.back().c_str()) != 0) {
        outcome.status = StatusFromErrno(errno);
        outcome.errorText
            = "cannot put " + Quoted(entry.info.name) + " in place: " + strerror(errno);
    }
    if (outcome.status != B_OK)
        unlinkat(folder, temporary.c_str(), 0);
    return outcome;
}

status_t ZipExtraction::WriteLink(const Planned& entry)
{
    int folder;
    status_t status = ParentFolder(entry, &folder);
    if (status != B_OK)
        return status;
    std::string temporary = TemporaryName();
    if (symlinkat(entry.linkTarget.c_str(), folder, temporary.c_str()) != 0)
        return Fail(StatusFromErrno(errno), "cannot create the link " + Quoted(entry.info.name));
    const ZipEntryInfo& info = entry.info;
    if (fOptions.restoreOwner && info.owner
        && fchownat(folder, temporary.c_str(), uid_t(info.owner->uid), gid_t(info.owner->gid),
               AT_SYMLINK_NOFOLLOW)
            != 0)
        Warn("cannot give " + Quoted(info.name) + " to its owner: " + strerror(errno));
    // Linux keeps no user attributes on links.
    if (fOptions.restoreAttributes && !info.attributes.empty())
        Warn("links cannot keep attributes on Linux: " + Quoted(info.name) + " lost them");
    timespec times[2] = { Seconds(info.accessed.value_or(info.modified)), Seconds(info.modified) };
    utimensat(folder, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (renameat(folder, temporary.c_str(), folder, entry.path.back().c_str()) != 0) {
        int error = errno;
        unlinkat(folder, temporary.c_str(), 0);
        return Fail(StatusFromErrno(error),
            "cannot put the link " + Quoted(info.name) + " in place: " + strerror(error));
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
    ApplyMetadata(fd, entry, &fWarnings);
    timespec times[2] = { Seconds(entry.info.accessed.value_or(entry.info.modified)),
        Seconds(entry.info.modified) };
    mode_t mode = PermissionsOf(entry.info, kDefaultFolderMode, true, fOptions.removedModeBits)
        | kOwnerFolderBits;
    if (fchmod(fd, mode) != 0 || futimens(fd, times) != 0)
        status = Fail(
            StatusFromErrno(errno), "cannot set the mode or times of " + Quoted(entry.info.name));
    close(fd);
    return status;
}

} // namespace BPrivate
