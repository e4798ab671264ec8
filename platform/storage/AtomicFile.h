#pragma once

// Replacing a file whole: the new contents go into a fresh file beside it,
// which is then renamed over it, so that a reader sees either the old file or
// all of the new one, never a part, and a failure leaves the old file as it
// was.

#include <SupportDefs.h>

#include <string>
#include <sys/types.h>

namespace BPrivate {

// The new file while it is written. It is removed again unless Commit
// succeeds, however the owner's scope is left.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile() { Discard(); }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the new file beside `path`, whose folder must exist. It will
    // get exactly `mode` (the umask does not apply).
    [[nodiscard]] status_t Open(const std::string& path, mode_t mode = 0644);
    // Where to write the new contents.
    int Descriptor() const { return fFd; }
    // Puts the new file on the disk and in the place of the old one. On
    // failure errno tells why, as after Open.
    [[nodiscard]] status_t Commit();
    // Removes the new file; the old one stays.
    void Discard();

private:
    std::string fPath;
    std::string fTemporary;
    mode_t fMode = 0644;
    int fFd = -1;
};

// Writes `size` bytes as the new contents of `path`, whose folder must
// exist, through an AtomicFile. On failure nothing is left beside `path`.
[[nodiscard]] status_t WriteFileAtomically(
    const std::string& path, const void* data, size_t size, mode_t mode = 0644);

inline status_t WriteFileAtomically(
    const std::string& path, const std::string& text, mode_t mode = 0644)
{
    return WriteFileAtomically(path, text.data(), text.size(), mode);
}

} // namespace BPrivate
