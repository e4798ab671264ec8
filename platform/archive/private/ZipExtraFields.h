#pragma once

// Readers and writers of the zip extra fields that carry a file's metadata:
// UT (0x5455, modification/access/creation times), ux (0x7875, owner with
// variable-size ids), Ux (0x7855, 16-bit owner) and Be (0x6542, BeOS
// attributes). They are pure functions on byte buffers: every length is
// checked against the buffer, so arbitrary bytes give an error, never an
// over-read.

#include <SupportDefs.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace BPrivate {

constexpr uint16 kTimestampFieldId = 0x5455; // "UT"
constexpr uint16 kUnixOwnerFieldId = 0x7875; // "ux"
constexpr uint16 kUnixOwner16FieldId = 0x7855; // "Ux"
constexpr uint16 kBeAttributesFieldId = 0x6542; // "Be"

// Compression methods of entries (and of the attribute stream).
constexpr uint16 kMethodStored = 0;
constexpr uint16 kMethodDeflated = 8;

// One sub-block of an extra-field area.
struct ZipExtraBlock {
    uint16 id;
    std::span<const uint8> data;
};

// Splits a raw extra-field area (as stored in a header) into its blocks. A
// block running past the end is B_BAD_DATA; up to three trailing zero bytes
// (alignment padding some writers add) are tolerated.
status_t SplitExtraArea(std::span<const uint8> area, std::vector<ZipExtraBlock>* blocks);
// The inverse: id, length, data for each block.
std::vector<uint8> JoinExtraBlocks(const std::vector<ZipExtraBlock>& blocks);

// UT. Times are kept as the 32-bit values stored; InterpretZipTime turns one
// into seconds since 1970.
struct ZipTimestamps {
    std::optional<uint32> modified;
    std::optional<uint32> accessed;
    std::optional<uint32> created;
};

// The local form holds every time its flags announce; the central form holds
// at most the modification time (its flags describe the local field). A
// parser therefore reads what the field's length allows.
status_t ParseTimestampField(std::span<const uint8> data, ZipTimestamps* times);
std::vector<uint8> BuildTimestampField(const ZipTimestamps& times, bool central);

// The stored value is documented as a signed 32-bit number. A value with the
// top bit set is ambiguous; like the common unzip tool, it is taken as
// unsigned (after 2038) when the entry's DOS date lies in or after 2038, as
// negative (before 1970) when the DOS date is at its 1980 minimum, and is
// otherwise not trusted (nullopt: use the DOS date).
std::optional<int64> InterpretZipTime(uint32 stored, int64 dosTime);
// The value to store for a time, or nullopt when it cannot be stored.
std::optional<uint32> StorableZipTime(int64 seconds);

struct ZipOwner {
    uint64 uid = 0;
    uint64 gid = 0;
};

// ux: version 1, then size-prefixed little-endian ids of 1 to 8 bytes each.
// Another version is B_UNSUPPORTED (to be ignored by the caller).
status_t ParseUnixOwnerField(std::span<const uint8> data, ZipOwner* owner);
std::vector<uint8> BuildUnixOwnerField(const ZipOwner& owner);

// Ux: the local form holds two 16-bit ids; the central form is empty and
// carries no ids (B_ENTRY_NOT_FOUND).
status_t ParseUnixOwner16Field(std::span<const uint8> data, ZipOwner* owner);
// nullopt when an id does not fit in 16 bits.
std::optional<std::vector<uint8>> BuildUnixOwner16Field(const ZipOwner& owner, bool central);

// A BeOS attribute. data are in host byte order: numeric types, stored
// big-endian in the zip field, are converted when reading and writing.
struct ZipAttribute {
    std::string name;
    type_code type = 0;
    std::vector<uint8> data;

    bool operator==(const ZipAttribute&) const = default;
};

// The uncompressed attribute stream: per attribute the NUL-terminated name,
// the type (4 bytes) and size (8 bytes) big-endian, then the data.
status_t ParseAttributeStream(std::span<const uint8> stream, std::vector<ZipAttribute>* attributes);
status_t BuildAttributeStream(
    const std::vector<ZipAttribute>& attributes, std::vector<uint8>* stream);

// The uncompressed stream is limited to this size when reading, so that a
// tiny deflated field cannot demand a huge allocation.
constexpr uint32 kMaxAttributeStreamSize = 16 * 1024 * 1024;

// Be, local form: uncompressed size, flags, then either the raw stream (flag
// bit 0) or method, CRC-32 and a raw deflate stream. Any inconsistency
// (reserved flags, sizes, inflate or CRC failure) fails the whole field.
status_t ParseBeAttributesField(std::span<const uint8> data, std::vector<ZipAttribute>* attributes);
// Builds the local and central forms (B_BAD_VALUE for no attributes: such
// an entry gets no field). The stream is deflated at the given level (1-9)
// unless that does not make it smaller, then stored as is.
status_t BuildBeAttributesField(const std::vector<ZipAttribute>& attributes, int level,
    std::vector<uint8>* local, std::vector<uint8>* central);

} // namespace BPrivate
