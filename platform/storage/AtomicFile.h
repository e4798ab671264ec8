#pragma once

// Replacing a file whole: the new contents go into a fresh file beside it,
// which is then renamed over it, so that a reader sees either the old file or
// all of the new one, never a part, and a failure leaves the old file as it
// was.

#include <Descriptor.h>
#include <SupportDefs.h>

#include <string>
#include <sys/types.h>

namespace BPrivate {

// The new file while it is written. It is removed again unless Commit
// succeeds, however the owner's scope is left.
class AtomicFile {
public:
    enum Flags : uint32 {
        // The new file gets `mode` less the umask, as any newly created
        // file does, instead of exactly `mode`.
        kApplyUmask = 1 << 0,
        // When a regular file is there already, the new one gets its
        // permissions and (as far as this process may give it away) its
        // owner; `mode` is for a file that is new.
        kKeepOldMode = 1 << 1,
        // The folder is synced after the rename, so that the replacement
        // itself, not only the new contents, survives a crash.
        kSyncFolder = 1 << 2,
    };

    AtomicFile() = default;
    ~AtomicFile() { Discard(); }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the new file beside `path`, whose folder must exist. Unless
    // flags say otherwise it will get exactly `mode` (the umask does not
    // apply).
    [[nodiscard]] status_t Open(const std::string& path, mode_t mode = 0644, uint32 flags = 0);
    // Where to write the new contents.
    int Descriptor() const { return fFile.Get(); }
    // The new file's own name while it is written, for code that can only
    // write to a path. Whatever writes there must write into the file, not
    // replace it.
    const std::string& TemporaryPath() const { return fTemporary; }
    // Writes `size` bytes after those written before.
    [[nodiscard]] status_t Write(const void* data, size_t size);
    // Puts the new file on the disk and in the place of the old one. On
    // failure errno tells why, as after Open.
    [[nodiscard]] status_t Commit();
    // Removes the new file; the old one stays.
    void Discard();

private:
    std::string fPath;
    std::string fTemporary;
    mode_t fMode = 0644;
    uint32 fFlags = 0;
    bool fKeepOwner = false;
    uid_t fOwner = 0;
    gid_t fGroup = 0;
    BPrivate::Descriptor fFile;
};

// Writes `size` bytes as the new contents of `path`, whose folder must
// exist, through an AtomicFile. On failure nothing is left beside `path`.
[[nodiscard]] status_t WriteFileAtomically(
    const std::string& path, const void* data, size_t size, mode_t mode = 0644, uint32 flags = 0);

inline status_t WriteFileAtomically(
    const std::string& path, const std::string& text, mode_t mode = 0644, uint32 flags = 0)
{
    return WriteFileAtomically(path, text.data(), text.size(), mode, flags);
}

// Writes all `size` bytes to `fd`, resuming after interruptions and short
// writes.
[[nodiscard]] status_t WriteAll(int fd, const void* data, size_t size);

// Makes the creation, renaming or removal of an entry in `folder` durable.
// Best effort: a folder that cannot be opened or synced is left as it is.
void SyncFolder(const std::string& folder);

} // namespace BPrivate
