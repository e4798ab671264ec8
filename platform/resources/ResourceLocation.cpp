#include "ResourceLocation.h"

#include "ResourceFormat.h"

#include <ByteOrder.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace BPrivate {

namespace {

constexpr uint8 kElfMagic[4] = { 0x7F, 'E', 'L', 'F' };
constexpr uint8 kElfClass32 = 1;
constexpr uint8 kElfClass64 = 2;
constexpr uint8 kElfDataLittle = 1;
constexpr uint32 kPtNull = 0;
constexpr uint32 kShtNull = 0;
constexpr uint32 kShtNoBits = 8;

// 32-bit files take the largest segment alignment (at least 32); anything above
// 10 MB is not a plausible alignment. 64-bit files always use 8.
constexpr uint64 kMinElf32Alignment = 32;
constexpr uint64 kMaxElf32Alignment = 10 * 1024 * 1024;
constexpr uint64 kElf64Alignment = 8;

template <typename T> T Field(const uint8* bytes, size_t offset)
{
    return ReadUnaligned<T>(bytes + offset);
}

// The sizes and field offsets that differ between the two ELF classes.
struct ElfShape {
    bool is64;
    size_t headerSize;
    size_t phdrSize;
    size_t shdrSize;
};

struct ElfTables {
    uint64 phoff = 0;
    uint64 shoff = 0;
    uint16 ehsize = 0;
    uint16 phentsize = 0;
    uint16 phnum = 0;
    uint16 shentsize = 0;
    uint16 shnum = 0;
};

class ElfScanner {
public:
    ElfScanner(ResourceIO& io, off_t fileSize, const ElfShape& shape, std::string* error)
        : fIO(io)
        , fFileSize(uint64(fileSize))
        , fShape(shape)
        , fError(error)
    {
    }

    status_t Scan(off_t* containerOffset);

private:
    status_t ReadHeader(ElfTables* tables);
    status_t Include(uint64 offset, uint64 size);
    status_t ScanProgramHeaders(const ElfTables& tables, uint64* alignment);
    status_t ScanSectionHeaders(const ElfTables& tables);
    status_t Fail(status_t status, const char* reason)
    {
        *fError = reason;
        return status;
    }

    ResourceIO& fIO;
    uint64 fFileSize;
    ElfShape fShape;
    std::string* fError;
    uint64 fEnd = 0;
};

status_t ElfScanner::ReadHeader(ElfTables* tables)
{
    uint8 header[64];
    if (fFileSize < fShape.headerSize || ReadExactly(fIO, 0, header, fShape.headerSize) != B_OK)
        return Fail(B_BAD_DATA, "truncated ELF header");
    if (fShape.is64) {
        tables->phoff = Field<uint64>(header, 32);
        tables->shoff = Field<uint64>(header, 40);
        tables->ehsize = Field<uint16>(header, 52);
        tables->phentsize = Field<uint16>(header, 54);
        tables->phnum = Field<uint16>(header, 56);
        tables->shentsize = Field<uint16>(header, 58);
        tables->shnum = Field<uint16>(header, 60);
    } else {
        tables->phoff = Field<uint32>(header, 28);
        tables->shoff = Field<uint32>(header, 32);
        tables->ehsize = Field<uint16>(header, 40);
        tables->phentsize = Field<uint16>(header, 42);
        tables->phnum = Field<uint16>(header, 44);
        tables->shentsize = Field<uint16>(header, 46);
        tables->shnum = Field<uint16>(header, 48);
    }
    return B_OK;
}

// Extends the end of the ELF content to cover [offset, offset + size). Content
// claimed beyond the end of the file means the file is truncated or forged.
status_t ElfScanner::Include(uint64 offset, uint64 size)
{
    uint64 end;
    if (__builtin_add_overflow(offset, size, &end) || end > fFileSize)
        return Fail(B_BAD_DATA, "ELF content extends beyond the end of the file");
    fEnd = std::max(fEnd, end);
    return B_OK;
}

status_t ElfScanner::ScanProgramHeaders(const ElfTables& tables, uint64* alignment)
{
    if (tables.phoff == 0 || tables.phnum == 0)
        return B_OK;
    if (tables.phentsize < fShape.phdrSize)
        return Fail(B_BAD_DATA, "invalid ELF program header size");
    status_t status = Include(tables.phoff, uint64(tables.phentsize) * tables.phnum);
    if (status != B_OK)
        return status;
    // The whole table in one read (it lies inside the file, checked above).
    std::vector<uint8> table(size_t(tables.phentsize) * tables.phnum);
    status = ReadExactly(fIO, off_t(tables.phoff), table.data(), table.size());
    if (status != B_OK)
        return Fail(status, "cannot read the ELF program headers");
    for (uint32 i = 0; i < tables.phnum; i++) {
        const uint8* entry = table.data() + size_t(i) * tables.phentsize;
        if (Field<uint32>(entry, 0) == kPtNull)
            continue;
        uint64 offset, size, align;
        if (fShape.is64) {
            offset = Field<uint64>(entry, 8);
            size = Field<uint64>(entry, 32);
            align = Field<uint64>(entry, 48);
        } else {
            offset = Field<uint32>(entry, 4);
            size = Field<uint32>(entry, 16);
            align = Field<uint32>(entry, 28);
        }
        if ((status = Include(offset, size)) != B_OK)
            return status;
        *alignment = std::max(*alignment, align);
    }
    return B_OK;
}

status_t ElfScanner::ScanSectionHeaders(const ElfTables& tables)
{
    if (tables.shoff == 0 || tables.shnum == 0)
        return B_OK;
    if (tables.shentsize < fShape.shdrSize)
        return Fail(B_BAD_DATA, "invalid ELF section header size");
    status_t status = Include(tables.shoff, uint64(tables.shentsize) * tables.shnum);
    if (status != B_OK)
        return status;
    std::vector<uint8> table(size_t(tables.shentsize) * tables.shnum);
    status = ReadExactly(fIO, off_t(tables.shoff), table.data(), table.size());
    if (status != B_OK)
        return Fail(status, "cannot read the ELF section headers");
    for (uint32 i = 0; i < tables.shnum; i++) {
        const uint8* entry = table.data() + size_t(i) * tables.shentsize;
        uint32 type = Field<uint32>(entry, 4);
        if (type == kShtNull || type == kShtNoBits)
            continue;
        uint64 offset = fShape.is64 ? Field<uint64>(entry, 24) : Field<uint32>(entry, 16);
        uint64 size = fShape.is64 ? Field<uint64>(entry, 32) : Field<uint32>(entry, 20);
        if ((status = Include(offset, size)) != B_OK)
            return status;
    }
    return B_OK;
}

status_t ElfScanner::Scan(off_t* containerOffset)
{
    ElfTables tables;
    status_t status = ReadHeader(&tables);
    if (status != B_OK)
        return status;
    if ((status = Include(0, tables.ehsize)) != B_OK)
        return status;
    uint64 alignment = 0;
    if ((status = ScanProgramHeaders(tables, &alignment)) != B_OK)
        return status;
    if ((status = ScanSectionHeaders(tables)) != B_OK)
        return status;
    if (fShape.is64) {
        alignment = kElf64Alignment;
    } else {
        alignment = std::max(alignment, kMinElf32Alignment);
        if (alignment > kMaxElf32Alignment)
            return Fail(B_BAD_DATA, "implausible ELF segment alignment");
    }
    // fEnd is at most the file size, so rounding up cannot overflow.
    *containerOffset = off_t((fEnd + alignment - 1) / alignment * alignment);
    return B_OK;
}

status_t LocateElf(
    ResourceIO& io, const uint8* ident, ResourceFileLayout* layout, std::string* error)
{
    if (ident[5] != kElfDataLittle) {
        *error = "big-endian ELF file: only x86 (little-endian) resources are supported";
        return B_UNSUPPORTED;
    }
    ElfShape shape;
    if (ident[4] == kElfClass32) {
        shape = { false, 52, 32, 40 };
        layout->kind = ResourceFileKind::kElf32;
    } else if (ident[4] == kElfClass64) {
        shape = { true, 64, 56, 64 };
        layout->kind = ResourceFileKind::kElf64;
    } else {
        *error = "unknown ELF class";
        return B_BAD_DATA;
    }
    return ElfScanner(io, layout->fileSize, shape, error).Scan(&layout->containerOffset);
}

} // namespace

status_t LocateResourceContainer(ResourceIO& io, ResourceFileLayout* layout, std::string* error)
{
    *layout = ResourceFileLayout();
    status_t status = io.GetSize(&layout->fileSize);
    if (status != B_OK) {
        *error = "cannot get the file size";
        return status;
    }
    if (layout->fileSize == 0) {
        layout->kind = ResourceFileKind::kEmpty;
        layout->containerOffset = kResourceFileHeaderSize;
        return B_OK;
    }
    uint8 ident[16] = {};
    size_t identSize = size_t(std::min<off_t>(layout->fileSize, sizeof(ident)));
    if (ReadExactly(io, 0, ident, identSize) != B_OK) {
        *error = "cannot read the file header";
        return B_IO_ERROR;
    }
    if (identSize >= 8 && std::memcmp(ident, "Joy!", 4) == 0
        && (std::memcmp(ident + 4, "resf", 4) == 0 || std::memcmp(ident + 4, "peff", 4) == 0)) {
        *error = "big-endian (PowerPC) resources: only x86 resources are supported";
        return B_UNSUPPORTED;
    }
    if (identSize >= 16 && std::memcmp(ident, kElfMagic, 4) == 0)
        return LocateElf(io, ident, layout, error);
    if (identSize >= 2 && ident[0] == 'R' && ident[1] == 'S') {
        bool intact = identSize >= 4 && ident[2] == 0 && ident[3] == 0;
        layout->kind
            = intact ? ResourceFileKind::kResourceFile : ResourceFileKind::kDamagedResourceFile;
        layout->containerOffset = kResourceFileHeaderSize;
        return B_OK;
    }
    *error = "not a resource file";
    return B_BAD_TYPE;
}

} // namespace BPrivate
