#pragma once

// Writing the BeOS R5 flattened form ('FOB1', little-endian), as BeOS itself
// wrote it: a field whose item count and data length both fit in a byte uses
// the compact "mini" encoding, a field with one item omits its count, the
// padding of variable-size items is zeros, and nested messages are written
// in R5 form too, whatever form they were read in. Messages BeOS wrote
// therefore come out byte for byte as they went in, apart from the padding
// bytes, where BeOS left whatever was in memory.

#include <SupportDefs.h>

namespace BPrivate {

class MessageFields;

class R5MessageWriter {
public:
    // The size of the R5 form of a message. Fails only for a message too
    // large for the form's 32-bit sizes.
    static status_t SizeOf(uint32 what, const MessageFields& fields, size_t* size);
    // Writes it; `size` must be at least SizeOf().
    static status_t Write(uint32 what, const MessageFields& fields, uint8* buffer, size_t size);

    // The header checksum: the header bytes from offset 8 up to the first
    // field, added up as big-endian 32-bit words (whatever the message's
    // byte order), with the bytes left over at the end taken as one number.
    static uint32 HeaderChecksum(const uint8* bytes, size_t length);
};

} // namespace BPrivate
