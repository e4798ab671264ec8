#pragma once

// Reads the admin part and the info table of a resource container into a
// ResourceContainer (types, ids, names, locations; no item data). Every rule
// of the platform's own reader is enforced, and the file is never trusted: a
// truncated or forged container gives B_BAD_DATA (or B_UNSUPPORTED for a
// big-endian container) with a one-line reason, never an over-read or a huge
// allocation.

#include "ResourceContainer.h"
#include "ResourceIO.h"

#include <string>

namespace BPrivate {

// Reads the container that starts at containerOffset and runs to the end of
// the file. A container of no bytes at all holds no resources.
[[nodiscard]] status_t ReadResourceContainer(ResourceIO& io, off_t containerOffset, off_t fileSize,
    ResourceContainer* container, std::string* error);

// Reads one item's data, bounded by its recorded size.
[[nodiscard]] status_t ReadResourceData(ResourceIO& io, off_t containerOffset,
    const ResourceItem& item, off_t position, void* buffer, size_t size);

} // namespace BPrivate
