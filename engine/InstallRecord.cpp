#include "InstallRecord.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <AtomicFile.h>
#include <OS.h>
#include <StorageScope.h>

namespace {

// Lazily written frames reach the disk at least this often.
constexpr bigtime_t kSyncInterval = 1000000;
constexpr int32 kSyncFrames = 256;

std::array<uint32, 256> MakeCrcTable()
{
    std::array<uint32, 256> table {};
    for (uint32 n = 0; n < 256; n++) {
        uint32 c = n;
        for (int k = 0; k < 8; k++)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void PutLittle32(std::string& bytes, uint32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes += char((value >> shift) & 0xFF);
}

status_t WriteAll(int fd, const std::string& bytes)
{
    return BPrivate::WriteAll(fd, bytes.data(), bytes.size());
}

// Creates the folder and its missing parents, private to the user.
status_t MakeFolders(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? B_OK : B_NOT_A_DIRECTORY;
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        status_t status = MakeFolders(path.substr(0, slash));
        if (status != B_OK)
            return status;
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return StatusFromErrno(errno);
    return B_OK;
}

std::string NewId()
{
    time_t now = time(nullptr);
    tm utc;
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &utc);
    std::random_device random;
    char suffix[16];
    std::snprintf(suffix, sizeof(suffix), "-%08x", unsigned(random()));
    return std::string(stamp) + suffix;
}

} // namespace

InstallRecord::InstallRecord()
    : fNextStep(1)
    , fUnsynced(0)
    , fLastSync(0)
{
}

InstallRecord::~InstallRecord()
{
    if (fJournal.IsValid())
        fdatasync(fJournal.Get());
}

std::string InstallRecord::RecordsFolder()
{
    return BPrivate::StorageScope::StateFolder() + "/installs";
}

std::string InstallRecord::LockPath()
{
    return BPrivate::StorageScope::StateFolder() + "/lock";
}

uint32 InstallRecord::Crc32(const void* data, size_t size)
{
    static const std::array<uint32, 256> kTable = MakeCrcTable();
    const uint8* bytes = static_cast<const uint8*>(data);
    uint32 crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; i++)
        crc = kTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::string InstallRecord::Frame(const BMessage& message)
{
    ssize_t size = message.FlattenedSize();
    if (size <= 0 || size_t(size) > kMaxFrameSize)
        return std::string();
    std::string flat(size_t(size), '\0');
    if (message.Flatten(flat.data(), size) != B_OK)
        return std::string();
    std::string frame;
    frame.reserve(8 + flat.size());
    PutLittle32(frame, uint32(flat.size()));
    PutLittle32(frame, Crc32(flat.data(), flat.size()));
    frame += flat;
    return frame;
}

status_t InstallRecord::Create(const BMessage& header)
{
    return CreateIn(RecordsFolder().c_str(), header);
}

status_t InstallRecord::CreateIn(const char* folder, const BMessage& header)
{
    if (fJournal.IsValid() || folder == nullptr || folder[0] != '/')
        return B_BAD_VALUE;
    status_t status = MakeFolders(folder);
    if (status != B_OK)
        return status;
    // The journal is written in a private folder that becomes the record's
    // folder by one rename: a record is never seen without its header.
    std::string staging = std::string(folder) + "/.new-XXXXXX";
    if (mkdtemp(staging.data()) == nullptr)
        return StatusFromErrno(errno);
    std::string id = NewId();
    BMessage first(header);
    first.what = kMsgHeader;
    first.RemoveName(kFieldInstallId);
    first.AddString(kFieldInstallId, id.c_str());
    std::string bytes = std::string(kSignature, 8) + Frame(first);
    std::string stagedJournal = staging + "/journal";
    BPrivate::Descriptor journal(
        open(stagedJournal.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600));
    if (!journal.IsValid()) {
        status = StatusFromErrno(errno);
        rmdir(staging.c_str());
        return status;
    }
    status = bytes.size() > 8 ? WriteAll(journal.Get(), bytes) : B_BAD_VALUE;
    if (status == B_OK && fsync(journal.Get()) != 0)
        status = StatusFromErrno(errno);
    std::string final = std::string(folder) + "/" + id;
    if (status == B_OK && rename(staging.c_str(), final.c_str()) != 0)
        status = StatusFromErrno(errno);
    if (status != B_OK) {
        journal.Reset();
        unlink(stagedJournal.c_str());
        rmdir(staging.c_str());
        return status;
    }
    BPrivate::SyncFolder(folder);
    fJournal = std::move(journal);
    fId = id;
    fJournalPath = final + "/journal";
    fNextStep = 1;
    fUnsynced = 0;
    fLastSync = system_time();
    return B_OK;
}

status_t InstallRecord::Append(const BMessage& message, sync_policy sync)
{
    if (!fJournal.IsValid())
        return B_NO_INIT;
    std::string frame = Frame(message);
    if (frame.empty())
        return B_BAD_VALUE;
    status_t status = WriteAll(fJournal.Get(), frame);
    if (status != B_OK)
        return status;
    fUnsynced++;
    if (sync == kRecordSync || fUnsynced >= kSyncFrames
        || system_time() - fLastSync >= kSyncInterval)
        return Sync();
    return B_OK;
}

status_t InstallRecord::Sync()
{
    if (!fJournal.IsValid())
        return B_NO_INIT;
    if (fUnsynced == 0)
        return B_OK;
    if (fdatasync(fJournal.Get()) != 0)
        return StatusFromErrno(errno);
    fUnsynced = 0;
    fLastSync = system_time();
    return B_OK;
}

int32 InstallRecord::Begin(const char* kind, const BMessage& fields, sync_policy sync)
{
    if (kind == nullptr)
        return B_BAD_VALUE;
    BMessage frame(fields);
    frame.what = kMsgBegun;
    frame.RemoveName(kFieldStep);
    frame.RemoveName(kFieldKind);
    frame.AddInt32(kFieldStep, fNextStep);
    frame.AddString(kFieldKind, kind);
    status_t status = Append(frame, sync);
    if (status != B_OK)
        return status < 0 ? status : B_ERROR;
    return fNextStep++;
}

status_t InstallRecord::Done(int32 step, const BMessage* fields)
{
    BMessage frame(kMsgDone);
    if (fields != nullptr)
        frame = *fields;
    frame.what = kMsgDone;
    frame.RemoveName(kFieldStep);
    frame.AddInt32(kFieldStep, step);
    return Append(frame, kRecordLazy);
}

status_t InstallRecord::Part(int32 step, const BMessage& fields)
{
    BMessage frame(fields);
    frame.what = kMsgPart;
    frame.RemoveName(kFieldStep);
    frame.AddInt32(kFieldStep, step);
    return Append(frame, kRecordLazy);
}

status_t InstallRecord::Failed(
    int32 step, status_t error, const char* reason, const BMessage* fields)
{
    BMessage frame(kMsgFailed);
    if (fields != nullptr)
        frame = *fields;
    frame.what = kMsgFailed;
    frame.RemoveName(kFieldStep);
    frame.AddInt32(kFieldStep, step);
    frame.AddInt32(kFieldError, error);
    frame.AddString(kFieldReason, reason != nullptr ? reason : "");
    return Append(frame, kRecordLazy);
}

const char* InstallRecord::TypeOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return kTypeFolder;
    if (S_ISLNK(mode))
        return kTypeSymlink;
    return S_ISREG(mode) ? kTypeFile : kTypeOther;
}

status_t InstallRecord::Finish(const char* state, int64 endTime, int32 failures)
{
    BMessage frame(kMsgFinished);
    frame.AddString(kFieldState, state != nullptr ? state : kStateFailed);
    frame.AddInt64(kFieldEnded, endTime);
    if (failures > 0)
        frame.AddInt32(kFieldFailures, failures);
    status_t status = Append(frame, kRecordSync);
    if (fJournal.IsValid() && close(fJournal.Release()) != 0 && status == B_OK)
        status = StatusFromErrno(errno);
    return status;
}

status_t InstallRecord::MarkSuperseded(const char* journalPath, const char* byId)
{
    if (journalPath == nullptr || byId == nullptr)
        return B_BAD_VALUE;
    BPrivate::Descriptor journal(open(journalPath, O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
    if (!journal.IsValid())
        return StatusFromErrno(errno);
    BMessage frame(kMsgSuperseded);
    frame.AddString(kFieldBy, byId);
    frame.AddInt64(kFieldTime, int64(time(nullptr)));
    std::string bytes = Frame(frame);
    status_t status = WriteAll(journal.Get(), bytes);
    if (status == B_OK && fdatasync(journal.Get()) != 0)
        status = StatusFromErrno(errno);
    return status;
}

InstallStateLock::InstallStateLock(const std::string& path)
    : fStatus(B_NO_INIT)
{
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        fStatus = MakeFolders(path.substr(0, slash));
        if (fStatus != B_OK)
            return;
    }
    fFile.Reset(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fFile.IsValid()) {
        fStatus = StatusFromErrno(errno);
        return;
    }
    while (flock(fFile.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            fStatus = StatusFromErrno(errno);
            fFile.Reset();
            return;
        }
    }
    fStatus = B_OK;
}

InstallStateLock::~InstallStateLock()
{
    if (fFile.IsValid())
        flock(fFile.Get(), LOCK_UN);
}
