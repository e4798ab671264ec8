#pragma once

// Finds where the resource container of a file starts: after the four-byte
// header of a resource file, or after the end of the content of an ELF file
// rounded up to the file's alignment. Only the little-endian (x86) forms are
// accepted; the big-endian PowerPC forms are recognised and refused.

#include "ResourceIO.h"

#include <string>

namespace BPrivate {

enum class ResourceFileKind {
    kEmpty, // no bytes yet: becomes a resource file when written
    kResourceFile, // "RS\0\0"
    kDamagedResourceFile, // "RS" with a damaged rest: treated as holding nothing
    kElf32,
    kElf64,
};

struct ResourceFileLayout {
    ResourceFileKind kind = ResourceFileKind::kEmpty;
    off_t fileSize = 0;
    // Container-relative offsets are added to this file offset.
    off_t containerOffset = 0;
};

// B_BAD_TYPE for a file of no resource-bearing kind, B_UNSUPPORTED for a
// big-endian (PowerPC) resource file or executable, B_BAD_DATA for a
// malformed ELF file. *error receives a one-line reason.
[[nodiscard]] status_t LocateResourceContainer(
    ResourceIO& io, ResourceFileLayout* layout, std::string* error);

} // namespace BPrivate
