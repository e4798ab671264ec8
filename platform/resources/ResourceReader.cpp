#include "ResourceReader.h"

#include "ResourceFormat.h"

#include <ByteOrder.h>

namespace BPrivate {

namespace {

struct IndexEntry {
    uint32 offset;
    uint32 size;
};

// What the info table says about the resource at one index position.
struct ItemInfo {
    bool present = false;
    type_code type = 0;
    int32 id = 0;
    std::string name;
};

uint32 Word(const uint8* bytes, size_t offset)
{
    return ReadUnaligned<uint32>(bytes + offset);
}

class ContainerParser {
public:
    ContainerParser(ResourceIO& io, off_t base, uint64 size, std::string* error)
        : fIO(io)
        , fBase(base)
        , fSize(size)
        , fError(error)
    {
    }

    status_t Parse(ResourceContainer* container);

private:
    status_t ReadHeader();
    status_t ReadIndexSection();
    status_t ReadIndexEntries(uint32 unknownSectionOffset);
    status_t ReadInfoTable(std::vector<ItemInfo>* infos);
    status_t ParseInfoBlocks(const uint8* table, size_t size, std::vector<ItemInfo>* infos);
    status_t ParseInfo(const uint8* table, size_t size, size_t* position, type_code type,
        std::vector<ItemInfo>* infos);
    status_t Read(uint64 offset, void* buffer, size_t size, const char* what);
    status_t Fail(status_t status, const char* reason)
    {
        *fError = reason;
        return status;
    }

    ResourceIO& fIO;
    off_t fBase;
    uint64 fSize;
    std::string* fError;
    uint32 fCount = 0;
    uint32 fInfoTableOffset = 0;
    uint32 fInfoTableSize = 0;
    std::vector<IndexEntry> fEntries;
};

status_t ContainerParser::Read(uint64 offset, void* buffer, size_t size, const char* what)
{
    if (offset > fSize || size > fSize - offset)
        return Fail(B_BAD_DATA, what);
    status_t status = ReadExactly(fIO, fBase + off_t(offset), buffer, size);
    return status == B_OK ? B_OK : Fail(status, what);
}

status_t ContainerParser::ReadHeader()
{
    uint8 header[kHeaderSize];
    status_t status = Read(0, header, sizeof(header), "truncated resources header");
    if (status != B_OK)
        return status;
    uint32 magic = Word(header, 0);
    if (magic == SwapUInt32(kContainerMagic))
        return Fail(B_UNSUPPORTED,
            "big-endian resource container: only x86 resources are "
            "supported");
    if (magic != kContainerMagic)
        return Fail(B_BAD_DATA, "invalid resources header magic");
    fCount = Word(header, 4);
    if (fCount > kMaxResourceCount)
        return Fail(B_BAD_DATA, "bad number of resources");
    if (Word(header, 8) != kIndexSectionOffset)
        return Fail(B_BAD_DATA, "unexpected resource index section offset");
    if (Word(header, 12) != AdminSectionSize(fCount))
        return Fail(B_BAD_DATA, "unexpected resource admin section size");
    return B_OK;
}

status_t ContainerParser::ReadIndexSection()
{
    uint8 header[kIndexSectionHeaderSize];
    status_t status = Read(
        kIndexSectionOffset, header, sizeof(header), "truncated resource index section header");
    if (status != B_OK)
        return status;
    uint32 indexSize = IndexSectionSize(fCount);
    if (Word(header, kIndexHeaderIndexOffset) != kIndexSectionOffset)
        return Fail(B_BAD_DATA, "unexpected resource index section offset");
    if (Word(header, kIndexHeaderIndexSize) != indexSize)
        return Fail(B_BAD_DATA, "unexpected resource index section size");
    uint32 unknownOffset = Word(header, kIndexHeaderUnknownOffset);
    if (unknownOffset != kIndexSectionOffset + indexSize)
        return Fail(B_BAD_DATA, "unexpected unknown section offset");
    if (Word(header, kIndexHeaderUnknownSize) != kUnknownSectionSize)
        return Fail(B_BAD_DATA, "unexpected unknown section size");
    fInfoTableOffset = Word(header, kIndexHeaderInfoTableOffset);
    fInfoTableSize = Word(header, kIndexHeaderInfoTableSize);
    if (uint64(fInfoTableOffset) + fInfoTableSize > fSize)
        return Fail(B_BAD_DATA, "invalid resource info table location");
    if (fInfoTableSize > kMaxInfoTableSize)
        return Fail(B_BAD_DATA, "resource info table too large");
    return ReadIndexEntries(unknownOffset);
}

// The table ends at the first slot that holds the filler pattern. Entries past
// the declared count that still look valid are taken (as the platform does);
// such an entry pointing outside the file merely ends the table.
status_t ContainerParser::ReadIndexEntries(uint32 unknownSectionOffset)
{
    uint32 slots = (unknownSectionOffset - kIndexTableOffset) / kIndexEntrySize;
    std::vector<uint8> table(size_t(slots) * kIndexEntrySize);
    status_t status
        = Read(kIndexTableOffset, table.data(), table.size(), "truncated resource index table");
    if (status != B_OK)
        return status;
    for (uint32 i = 0; i < slots; i++) {
        const uint8* slot = table.data() + size_t(i) * kIndexEntrySize;
        uint32 slotOffset = kIndexTableOffset + i * kIndexEntrySize;
        bool filler = true;
        for (uint32 word = 0; word < 3; word++)
            filler = filler && Word(slot, word * 4) == FillerWord(slotOffset + word * 4);
        if (filler)
            break;
        IndexEntry entry = { Word(slot, 0), Word(slot, 4) };
        if (uint64(entry.offset) + entry.size > fSize) {
            if (i >= fCount)
                break;
            return Fail(B_BAD_DATA, "resource index entry points outside the file");
        }
        fEntries.push_back(entry);
    }
    return B_OK;
}

status_t ContainerParser::ParseInfo(
    const uint8* table, size_t size, size_t* position, type_code type, std::vector<ItemInfo>* infos)
{
    if (size - *position < kInfoFixedSize)
        return Fail(B_BAD_DATA, "unexpected end of resource info table");
    const uint8* info = table + *position;
    int32 id = int32(Word(info, 0));
    int32 index = int32(Word(info, 4));
    uint16 nameSize = ReadUnaligned<uint16>(info + 8);
    *position += kInfoFixedSize;
    if (size - *position < nameSize)
        return Fail(B_BAD_DATA, "unexpected end of resource info table");
    const char* name = reinterpret_cast<const char*>(table + *position);
    *position += nameSize;
    // Infos naming no existing index entry are ignored.
    if (index < 1 || uint32(index) > infos->size())
        return B_OK;
    ItemInfo& item = (*infos)[size_t(index - 1)];
    if (item.present)
        return Fail(B_BAD_DATA, "two resource infos for the same index");
    item.present = true;
    item.type = type;
    item.id = id;
    // The stored size counts the terminating NUL; stop at the first NUL in
    // any case, and take an unterminated name as it is.
    size_t length = 0;
    while (length < nameSize && name[length] != '\0')
        length++;
    item.name.assign(name, length);
    return B_OK;
}

bool IsSeparator(const uint8* table, size_t size, size_t position)
{
    return size - position >= kInfoSeparatorSize && Word(table, position) == kInfoSeparatorWord
        && Word(table, position + 4) == kInfoSeparatorWord;
}

status_t ContainerParser::ParseInfoBlocks(
    const uint8* table, size_t size, std::vector<ItemInfo>* infos)
{
    if (size == 0)
        return Fail(B_BAD_DATA, "empty resource info table");
    size_t position = 0;
    while (position < size) {
        // A separator where a block would start ends the table (this is how
        // a table without resources looks).
        if (IsSeparator(table, size, position)) {
            if (position + kInfoSeparatorSize != size)
                return Fail(B_BAD_DATA, "data after the end of the resource info table");
            return B_OK;
        }
        if (size - position < 4)
            return Fail(B_BAD_DATA, "unexpected end of resource info table");
        type_code type = Word(table, position);
        position += 4;
        do {
            status_t status = ParseInfo(table, size, &position, type, infos);
            if (status != B_OK)
                return status;
            if (position == size)
                return Fail(B_BAD_DATA, "unterminated resource info block");
        } while (!IsSeparator(table, size, position));
        position += kInfoSeparatorSize;
    }
    return B_OK;
}

status_t ContainerParser::ReadInfoTable(std::vector<ItemInfo>* infos)
{
    std::vector<uint8> table(fInfoTableSize);
    status_t status
        = Read(fInfoTableOffset, table.data(), table.size(), "cannot read the resource info table");
    if (status != B_OK)
        return status;
    size_t size = table.size();
    // The table end (checksum, zero) is optional: a last word of zero says it
    // is there, and then the checksum must match.
    if (size >= kInfoTableEndSize && Word(table.data(), size - 4) == 0) {
        size -= kInfoTableEndSize;
        if (Word(table.data(), size) != InfoTableChecksum(table.data(), size))
            return Fail(B_BAD_DATA, "invalid resource info table checksum");
    }
    return ParseInfoBlocks(table.data(), size, infos);
}

status_t ContainerParser::Parse(ResourceContainer* container)
{
    status_t status = ReadHeader();
    if (status == B_OK)
        status = ReadIndexSection();
    std::vector<ItemInfo> infos(fEntries.size());
    if (status == B_OK)
        status = ReadInfoTable(&infos);
    if (status != B_OK)
        return status;
    // Index entries that no info names are dropped.
    for (size_t i = 0; i < fEntries.size(); i++) {
        if (!infos[i].present)
            continue;
        auto item = std::make_unique<ResourceItem>();
        item->type = infos[i].type;
        item->id = infos[i].id;
        item->name = std::move(infos[i].name);
        item->offset = fEntries[i].offset;
        item->size = fEntries[i].size;
        container->Append(std::move(item));
    }
    return B_OK;
}

} // namespace

status_t ReadResourceContainer(ResourceIO& io, off_t containerOffset, off_t fileSize,
    ResourceContainer* container, std::string* error)
{
    container->MakeEmpty();
    if (containerOffset >= fileSize)
        return B_OK;
    ContainerParser parser(io, containerOffset, uint64(fileSize - containerOffset), error);
    status_t status = parser.Parse(container);
    if (status != B_OK)
        container->MakeEmpty();
    return status;
}

status_t ReadResourceData(ResourceIO& io, off_t containerOffset, const ResourceItem& item,
    off_t position, void* buffer, size_t size)
{
    if (item.offset < 0 || position < 0 || uint64(position) > item.size
        || size > item.size - size_t(position))
        return B_BAD_VALUE;
    return ReadExactly(io, containerOffset + item.offset + position, buffer, size);
}

} // namespace BPrivate
