#include "ScriptFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <AtomicFile.h>
#include <Descriptor.h>
#include <LibFileType.h>
#include <PathHelpers.h>
#include <Sha256.h>
#include <StorageScope.h>

#include "InstallLock.h"
#include "ScriptBlock.h"

using BPrivate::AtomicFile;
using BPrivate::CleanPath;
using BPrivate::FolderOf;
using BPrivate::FollowLinks;
using BPrivate::ResolveFolderOf;
using BPrivate::SyncFolder;
using BPrivate::WriteFileAtomically;

namespace {

void RemoveCreatedFolders(const std::string& path, const std::vector<std::string>& folders)
{
    // Innermost first; a folder that holds anything else stays, and only
    // folders on the way to the file are the edit's.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        if (folder->size() > 1 && path.size() > folder->size()
            && path.compare(0, folder->size(), *folder) == 0 && path[folder->size()] == '/')
            rmdir(folder->c_str());
    }
}

// The courtesy copy of a file's text before its first edit: "<file>.orig",
// unless a file of that name is there already (the user's own, or another
// installation's copy), which is never overwritten. Its digest goes into the
// change, so that the removal takes away only the copy as it was made.
void WriteBackup(const std::string& old, ScriptFileChange* change)
{
    std::string backup = change->path + ".orig";
    struct stat info;
    if (lstat(backup.c_str(), &info) == 0 || errno != ENOENT)
        return;
    mode_t mode = stat(change->path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0600;
    if (ScriptFile::Replace(backup, old, mode) != B_OK)
        return;
    BPrivate::Sha256 hash;
    hash.Update(old.data(), old.size());
    change->backup = backup;
    change->backupSha256 = BPrivate::Sha256::Hex(hash.Final());
}

} // namespace

bool ScriptFile::HasBackup(const ScriptFileChange& change)
{
    std::string digest;
    struct stat info;
    return !change.backup.empty() && !change.backupSha256.empty()
        && change.backup == change.path + ".orig" && lstat(change.backup.c_str(), &info) == 0
        && S_ISREG(info.st_mode)
        && BPrivate::Sha256::HashFile(change.backup.c_str(), &digest) == B_OK
        && BPrivate::Sha256::Hex(digest) == change.backupSha256;
}

bool ScriptFile::RemoveBackup(const ScriptFileChange& change)
{
    return HasBackup(change) && unlink(change.backup.c_str()) == 0;
}

status_t ScriptFile::Read(const std::string& path, std::string* text)
{
    BPrivate::Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.IsValid())
        return StatusFromErrno(errno);
    struct stat info;
    status_t status = B_OK;
    if (fstat(fd.Get(), &info) != 0)
        status = StatusFromErrno(errno);
    else if (!S_ISREG(info.st_mode))
        status = B_IS_A_DIRECTORY;
    else if (size_t(info.st_size) > kMaxSize)
        status = B_BAD_DATA;
    std::string content;
    char buffer[16384];
    while (status == B_OK) {
        ssize_t length = read(fd.Get(), buffer, sizeof(buffer));
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0)
            status = StatusFromErrno(errno);
        if (length <= 0)
            break;
        content.append(buffer, size_t(length));
        if (content.size() > kMaxSize)
            status = B_BAD_DATA;
    }
    if (status == B_OK)
        *text = std::move(content);
    return status;
}

status_t ScriptFile::Replace(const std::string& path, const std::string& text, mode_t mode)
{
    struct stat old;
    if (lstat(path.c_str(), &old) == 0 && !S_ISREG(old.st_mode))
        return B_BAD_VALUE;
    // The new text takes the mode and owner the file has (`mode` is for a
    // new one): root editing somebody's profile must leave it theirs. A new
    // file of the user's gets what the user's umask leaves of `mode`; one in
    // the system scope is for every user, and gets `mode` exactly.
    uint32 flags = AtomicFile::kKeepOldMode | AtomicFile::kSyncFolder;
    if (!BPrivate::StorageScope::IsSystem())
        flags |= AtomicFile::kApplyUmask;
    return WriteFileAtomically(path, text, mode, flags);
}

status_t ScriptFile::Resolve(const std::string& path, std::string* resolved)
{
    if (path.empty() || path[0] != '/')
        return B_BAD_VALUE;
    std::string folderResolved;
    status_t status = ResolveFolderOf(CleanPath(path), &folderResolved);
    if (status != B_OK)
        return status;
    return FollowLinks(folderResolved, resolved);
}

status_t ScriptFile::MakeFolders(const std::string& folder, std::vector<std::string>* created)
{
    std::string clean = CleanPath(folder);
    size_t at = 1;
    while (at <= clean.size()) {
        size_t slash = clean.find('/', at);
        if (slash == std::string::npos)
            slash = clean.size();
        std::string part = clean.substr(0, slash);
        if (mkdir(part.c_str(), 0755) == 0) {
            if (created != nullptr)
                created->push_back(part);
        } else if (errno != EEXIST) {
            return StatusFromErrno(errno);
        }
        at = slash + 1;
    }
    struct stat info;
    if (stat(clean.c_str(), &info) != 0)
        return StatusFromErrno(errno);
    return S_ISDIR(info.st_mode) ? B_OK : B_NOT_A_DIRECTORY;
}

status_t ScriptFile::Write(const std::string& path, const std::string& tag,
    const std::string& contents, const Options& options, ScriptFileChange* change)
{
    InstallLock lock;
    if (lock.InitCheck() != B_OK)
        return lock.InitCheck();
    change->tag = tag;
    change->path = path;
    if (options.createFolders) {
        status_t status = MakeFolders(FolderOf(path), &change->createdFolders);
        if (status != B_OK)
            return status;
    }
    status_t status = Resolve(path, &change->path);
    if (status != B_OK)
        return status;
    std::string old;
    status = Read(change->path, &old);
    if (status != B_OK && status != B_ENTRY_NOT_FOUND)
        return status;
    change->existed = status == B_OK;
    change->created = !change->existed;
    std::string text;
    ScriptBlock::Insertion insertion;
    status = ScriptBlock::Insert(
        change->existed ? old : options.header, tag, contents, &text, &insertion);
    if (status != B_OK)
        return status;
    change->block = insertion.block;
    change->separatorAdded = insertion.separatorAdded;
    change->removeWhenEmpty = options.managed || change->created;
    change->emptyText = options.managed ? options.header : std::string();
    if (change->existed && text == old)
        return B_OK;
    if (options.backup && change->existed)
        WriteBackup(old, change);
    status = Replace(change->path, text, options.mode);
    if (status != B_OK)
        return status;
    change->changed = true;
    if (options.markAsText)
        LibSetMimeType(change->path.c_str(), "text/plain");
    return B_OK;
}

status_t ScriptFile::Remove(const ScriptFileChange& change, Removal* removal, bool ownFile)
{
    Removal local;
    Removal& done = removal != nullptr ? *removal : local;
    done = Removal();
    InstallLock lock;
    if (lock.InitCheck() != B_OK)
        return lock.InitCheck();
    std::string text;
    status_t status = Read(change.path, &text);
    if (status == B_ENTRY_NOT_FOUND) {
        // Somebody deleted it already: for a file of Brenvik's own that is
        // as good as deleting it.
        done.deleted = change.removeWhenEmpty;
        done.wasGone = true;
        return B_OK;
    }
    if (status != B_OK)
        return status;
    std::string kept;
    status = change.block.empty()
        ? ScriptBlock::Remove(text, change.tag, change.separatorAdded, &kept, &done.removed)
        : ScriptBlock::RemoveExact(text, change.tag, change.block, change.separatorAdded, &kept,
            &done.removed, &done.others, &done.copies);
    if (status != B_OK)
        return status;
    if (change.removeWhenEmpty && kept == change.emptyText) {
        // A file created for the block alone goes only when it held the
        // block: empty, it may be anybody's (a record can say anything).
        if (ownFile && (done.removed > 0 || !change.emptyText.empty())) {
            if (unlink(change.path.c_str()) != 0)
                return StatusFromErrno(errno);
            SyncFolder(FolderOf(change.path));
            RemoveCreatedFolders(change.path, change.createdFolders);
            done.deleted = true;
            return B_OK;
        }
        done.deleteRefused = true;
    }
    if (done.removed == 0)
        return B_OK;
    return Replace(change.path, kept, 0644);
}
