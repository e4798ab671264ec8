#pragma once

// The central directory of a zip archive, read from a byte source: for each
// entry its name exactly as stored (NUL bytes included, so that a name cut
// by one can be refused rather than written under another name), its sizes
// and place (with the Zip64 extension), its method, flags, DOS date, CRC-32,
// the host and external attributes, and its central extra fields.

#include "ZipByteSource.h"

#include <string>
#include <vector>

namespace BPrivate {

struct ZipCentralEntry {
    std::string name;
    bool nameHasNul = false;
    // The high byte of "version made by": 3 Unix, 16 BeOS.
    uint8 host = 0;
    uint16 flags = 0;
    uint16 method = 0;
    uint16 dosTime = 0;
    uint16 dosDate = 0;
    uint32 crc = 0;
    uint64 compressedSize = 0;
    uint64 size = 0;
    uint64 localOffset = 0;
    uint32 external = 0;
    // The entry's central extra area, without the Zip64 field.
    std::vector<uint8> extra;
};

// The entries in central-directory order. B_BAD_DATA (with a reason) when
// the directory cannot be found, runs past the archive, or a record or its
// extra fields are damaged.
status_t ReadCentralDirectory(
    ZipByteSource& source, std::vector<ZipCentralEntry>* entries, std::string* reason);

// Reads exactly size bytes at position: B_BAD_DATA for a short read.
status_t ReadZipBytes(ZipByteSource& source, uint64 position, uint8* buffer, size_t size);

// A little-endian number of count (at most 8) bytes.
uint64 ZipLittle(const uint8* bytes, int count);

} // namespace BPrivate
