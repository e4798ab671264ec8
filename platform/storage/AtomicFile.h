#pragma once

// Replacing a file whole: the new contents go into a fresh file beside it,
// which is then renamed over it, so that a reader sees either the old file or
// all of the new one, never a part, and a failure leaves the old file as it
// was.

#include <SupportDefs.h>

#include <string>
#include <sys/types.h>

namespace BPrivate {

// Writes `size` bytes as the new contents of `path`, whose folder must
// exist. The file gets exactly `mode` (the umask does not apply) and is on
// the disk before it replaces the old one. On failure nothing is left
// beside `path`.
[[nodiscard]] status_t WriteFileAtomically(
    const std::string& path, const void* data, size_t size, mode_t mode = 0644);

inline status_t WriteFileAtomically(
    const std::string& path, const std::string& text, mode_t mode = 0644)
{
    return WriteFileAtomically(path, text.data(), text.size(), mode);
}

} // namespace BPrivate
