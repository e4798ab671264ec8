#pragma once

// Writes a resource container exactly as the platform lays it out: header,
// index section with filler, the unknown section, the item data back to back
// in container order, then the info table with its checksum. The whole
// container is always rewritten compactly; item data that still live in the
// file are moved (through a spool, so that no item overwrites another before
// it has been read) and never loaded as a whole.

#include "ResourceContainer.h"
#include "ResourceIO.h"

#include <string>
#include <vector>

namespace BPrivate {

// Writes the container at containerOffset and cuts the file after it. On
// success every item records its new offset and counts as unmodified. Items
// not in memory are read from source (at sourceOffset) when it is given,
// otherwise from io itself.
[[nodiscard]] status_t WriteResourceContainer(ResourceIO& io, off_t containerOffset,
    ResourceContainer& container, std::string* error, ResourceIO* source = nullptr,
    off_t sourceOffset = 0);

// The parts of a container, for the writer and for tests. dataOffsets holds
// each item's container-relative data offset.
std::vector<uint8> BuildInfoTable(const ResourceContainer& container);
std::vector<uint8> BuildAdminSection(const ResourceContainer& container,
    const std::vector<uint32>& dataOffsets, uint32 infoTableOffset, uint32 infoTableSize);

} // namespace BPrivate
