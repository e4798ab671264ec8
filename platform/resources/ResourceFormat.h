#pragma once

// Layout constants of the x86 resource container, the structure that holds
// typed, numbered and named data blocks in a BeOS resource file or after the
// end of an ELF executable. Every offset is relative to the container start;
// every number is little-endian (the only byte order this layer accepts).

#include <SupportDefs.h>

#include <cstddef>

namespace BPrivate {

// The first word of the container (bytes 00 10 4F 44 on disk).
constexpr uint32 kContainerMagic = 0x444F1000;

// The first four bytes of a plain x86 resource file ("RS\0\0").
constexpr uint32 kResourceFileMagic = 0x00005352;
constexpr off_t kResourceFileHeaderSize = 4;

// Resources header: magic, count, index section offset, admin section size,
// then 13 zero words.
constexpr uint32 kHeaderSize = 68;

// Index section: a 132-byte header, 12-byte entries, filler, all aligned to
// kIndexSectionAlignment.
constexpr uint32 kIndexSectionOffset = 0x44;
constexpr uint32 kIndexSectionHeaderSize = 132;
constexpr uint32 kIndexEntrySize = 12;
constexpr uint32 kIndexSectionAlignment = 0x600;
constexpr uint32 kIndexTableOffset = kIndexSectionOffset + kIndexSectionHeaderSize;

// Offsets of the words inside the index section header.
constexpr uint32 kIndexHeaderIndexOffset = 0;
constexpr uint32 kIndexHeaderIndexSize = 4;
constexpr uint32 kIndexHeaderUnknownOffset = 12;
constexpr uint32 kIndexHeaderUnknownSize = 16;
constexpr uint32 kIndexHeaderInfoTableOffset = 120;
constexpr uint32 kIndexHeaderInfoTableSize = 124;

// The section after the index whose purpose nobody knows; it only holds filler.
constexpr uint32 kUnknownSectionSize = 0x168;

// Info table framing.
constexpr uint32 kInfoSeparatorWord = 0xFFFFFFFF;
constexpr uint32 kInfoSeparatorSize = 8;
constexpr uint32 kInfoTableEndSize = 8;
constexpr uint32 kInfoFixedSize = 10; // id, index, name size

// Limits of the reader. The count limit is the platform's own; the table
// limit keeps a hostile file from asking for a huge allocation (real tables
// are a few kilobytes: names are at most a few hundred bytes each).
constexpr uint32 kMaxResourceCount = 10000;
constexpr uint32 kMaxInfoTableSize = 16 * 1024 * 1024;

// The words of unused admin space repeat this pattern, indexed by the word's
// container offset divided by four.
constexpr uint32 kFillerPattern[3] = { 0xFFFFFFFF, 0x000003E9, 0x00000000 };

constexpr uint32 FillerWord(uint32 containerOffset)
{
    return kFillerPattern[(containerOffset / 4) % 3];
}

constexpr uint32 IndexSectionSize(uint32 count)
{
    uint32 size = kIndexSectionHeaderSize + kIndexEntrySize * count;
    return (size + kIndexSectionAlignment - 1) / kIndexSectionAlignment * kIndexSectionAlignment;
}

constexpr uint32 AdminSectionSize(uint32 count)
{
    return kIndexSectionOffset + IndexSectionSize(count);
}

// Where the item data start: after the admin part and the unknown section.
constexpr uint32 DataSectionOffset(uint32 count)
{
    return AdminSectionSize(count) + kUnknownSectionSize;
}

static_assert(DataSectionOffset(0) == 0x7AC);
static_assert(DataSectionOffset(117) == 0x7AC);
static_assert(DataSectionOffset(118) > 0x7AC);

// The info-table checksum: the bytes read four at a time as big-endian
// numbers and summed with wrap-around; a final group of one to three bytes
// counts as a right-aligned big-endian number.
uint32 InfoTableChecksum(const uint8* data, size_t size);

} // namespace BPrivate
