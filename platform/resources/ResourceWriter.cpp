#include "ResourceWriter.h"

#include "ResourceFormat.h"
#include "ResourceReader.h"

#include <ByteOrder.h>
#include <Environment.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace BPrivate {

namespace {

constexpr size_t kCopyChunkSize = 64 * 1024;
// Items to be moved are kept in memory up to this total, beyond it in an
// anonymous temporary file (a payload of hundreds of megabytes must not be
// held in memory just to move it by a few bytes).
constexpr uint64 kMemorySpoolLimit = 8 * 1024 * 1024;

void PutWord(std::vector<uint8>& bytes, uint32 value)
{
    size_t at = bytes.size();
    bytes.resize(at + 4);
    WriteUnaligned<uint32>(bytes.data() + at, value);
}

// Holds the data of the items that move, between reading them from their old
// place and writing them to their new one. Data are read back in the order
// they were stored.
class Spool {
public:
    status_t Open(uint64 total)
    {
        if (total <= kMemorySpoolLimit) {
            fMemory.reserve(size_t(total));
            return B_OK;
        }
        const char* folder = Environment::Get("TMPDIR");
        if (folder == nullptr || folder[0] == '\0')
            folder = "/tmp";
        int fd = open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0) {
            std::string pattern = std::string(folder) + "/resources-XXXXXX";
            fd = mkostemp(pattern.data(), O_CLOEXEC);
            if (fd >= 0)
                unlink(pattern.c_str());
        }
        if (fd < 0)
            return StatusFromErrno(errno);
        fFile = std::make_unique<ResourceFdIO>(fd, true, true);
        return B_OK;
    }

    status_t Put(const uint8* data, size_t size)
    {
        if (fFile == nullptr) {
            fMemory.insert(fMemory.end(), data, data + size);
            return B_OK;
        }
        status_t status = WriteExactly(*fFile, fWritten, data, size);
        fWritten += off_t(size);
        return status;
    }

    status_t Take(uint8* data, size_t size)
    {
        if (fFile == nullptr) {
            std::memcpy(data, fMemory.data() + fRead, size);
            fRead += off_t(size);
            return B_OK;
        }
        status_t status = ReadExactly(*fFile, fRead, data, size);
        fRead += off_t(size);
        return status;
    }

private:
    std::unique_ptr<ResourceFdIO> fFile;
    std::vector<uint8> fMemory;
    off_t fWritten = 0;
    off_t fRead = 0;
};

class ContainerWriter {
public:
    ContainerWriter(ResourceIO& io, off_t base, ResourceContainer& container, std::string* error,
        ResourceIO* source, off_t sourceBase)
        : fIO(io)
        , fBase(base)
        , fSource(source != nullptr ? *source : io)
        , fSourceBase(source != nullptr ? sourceBase : base)
        , fSeparate(source != nullptr && source != &io)
        , fContainer(container)
        , fError(error)
    {
    }

    status_t Write();

private:
    status_t PlanLayout();
    bool InPlace(int32 index) const;
    status_t SpoolMovingItems(Spool& spool);
    status_t WriteMovingItems(Spool& spool);
    status_t SpoolItem(const ResourceItem& item, Spool& spool);
    status_t CopyItem(const ResourceItem& item, Spool& spool, off_t target);
    status_t Fail(status_t status, const char* reason)
    {
        *fError = reason;
        return status;
    }

    ResourceIO& fIO;
    off_t fBase;
    // Where the items that are not in memory are read from: the same file,
    // or another one when a container is copied.
    ResourceIO& fSource;
    off_t fSourceBase;
    bool fSeparate;
    ResourceContainer& fContainer;
    std::string* fError;
    std::vector<uint32> fOffsets;
    std::vector<uint8> fInfoTable;
    uint32 fInfoTableOffset = 0;
};

status_t ContainerWriter::PlanLayout()
{
    int32 count = fContainer.CountItems();
    if (uint32(count) > kMaxResourceCount)
        return Fail(B_BAD_VALUE, "too many resources");
    uint64 offset = DataSectionOffset(uint32(count));
    for (int32 i = 0; i < count; i++) {
        fOffsets.push_back(uint32(offset));
        offset += fContainer.ItemAt(i)->size;
        if (offset > UINT32_MAX)
            return Fail(B_BAD_VALUE, "resources too large for the container");
    }
    fInfoTable = BuildInfoTable(fContainer);
    if (offset + fInfoTable.size() > UINT32_MAX)
        return Fail(B_BAD_VALUE, "resources too large for the container");
    fInfoTableOffset = uint32(offset);
    return B_OK;
}

// An item whose current bytes already sit where the new layout puts them.
bool ContainerWriter::InPlace(int32 index) const
{
    const ResourceItem* item = fContainer.ItemAt(index);
    return !fSeparate && !item->modified && item->offset == off_t(fOffsets[size_t(index)]);
}

status_t ContainerWriter::SpoolItem(const ResourceItem& item, Spool& spool)
{
    std::vector<uint8> chunk(std::min(item.size, kCopyChunkSize));
    for (size_t done = 0; done < item.size;) {
        size_t size = std::min(item.size - done, kCopyChunkSize);
        status_t status
            = ReadResourceData(fSource, fSourceBase, item, off_t(done), chunk.data(), size);
        if (status == B_OK)
            status = spool.Put(chunk.data(), size);
        if (status != B_OK)
            return status;
        done += size;
    }
    return B_OK;
}

// Copies an item that is not in memory to its new place: from the spool, or
// straight from the source file when that is another file.
status_t ContainerWriter::CopyItem(const ResourceItem& item, Spool& spool, off_t target)
{
    std::vector<uint8> chunk(std::min(item.size, kCopyChunkSize));
    for (size_t done = 0; done < item.size;) {
        size_t size = std::min(item.size - done, kCopyChunkSize);
        status_t status = fSeparate
            ? ReadResourceData(fSource, fSourceBase, item, off_t(done), chunk.data(), size)
            : spool.Take(chunk.data(), size);
        if (status == B_OK)
            status = WriteExactly(fIO, fBase + target + off_t(done), chunk.data(), size);
        if (status != B_OK)
            return status;
        done += size;
    }
    return B_OK;
}

// Every item that lives only in the file and moves is read out before anything
// is written, because its new place may cover another moving item's old one.
status_t ContainerWriter::SpoolMovingItems(Spool& spool)
{
    if (fSeparate)
        return B_OK;
    uint64 total = 0;
    for (int32 i = 0; i < fContainer.CountItems(); i++) {
        if (!InPlace(i) && !fContainer.ItemAt(i)->loaded)
            total += fContainer.ItemAt(i)->size;
    }
    status_t status = spool.Open(total);
    if (status != B_OK)
        return Fail(status, "cannot create a temporary file to move resources");
    for (int32 i = 0; i < fContainer.CountItems(); i++) {
        const ResourceItem& item = *fContainer.ItemAt(i);
        if (InPlace(i) || item.loaded)
            continue;
        if ((status = SpoolItem(item, spool)) != B_OK)
            return Fail(status, "cannot read resource data to move them");
    }
    return B_OK;
}

status_t ContainerWriter::WriteMovingItems(Spool& spool)
{
    for (int32 i = 0; i < fContainer.CountItems(); i++) {
        const ResourceItem& item = *fContainer.ItemAt(i);
        if (InPlace(i))
            continue;
        off_t target = off_t(fOffsets[size_t(i)]);
        status_t status = item.loaded
            ? WriteExactly(fIO, fBase + target, item.data.data(), item.size)
            : CopyItem(item, spool, target);
        if (status != B_OK)
            return Fail(status, "cannot write resource data");
    }
    return B_OK;
}

status_t ContainerWriter::Write()
{
    status_t status = PlanLayout();
    Spool spool;
    if (status == B_OK)
        status = SpoolMovingItems(spool);
    if (status == B_OK)
        status = WriteMovingItems(spool);
    if (status != B_OK)
        return status;
    std::vector<uint8> admin
        = BuildAdminSection(fContainer, fOffsets, fInfoTableOffset, uint32(fInfoTable.size()));
    status = WriteExactly(fIO, fBase, admin.data(), admin.size());
    if (status == B_OK)
        status = WriteExactly(fIO, fBase + fInfoTableOffset, fInfoTable.data(), fInfoTable.size());
    if (status == B_OK)
        status = fIO.SetSize(fBase + fInfoTableOffset + off_t(fInfoTable.size()));
    if (status != B_OK)
        return Fail(status, "cannot write the resource container");
    for (int32 i = 0; i < fContainer.CountItems(); i++) {
        ResourceItem* item = fContainer.ItemAt(i);
        item->offset = fOffsets[size_t(i)];
        item->modified = false;
    }
    return B_OK;
}

} // namespace

std::vector<uint8> BuildInfoTable(const ResourceContainer& container)
{
    std::vector<uint8> table;
    for (int32 i = 0; i < container.CountItems(); i++) {
        const ResourceItem& item = *container.ItemAt(i);
        // A new block starts whenever the type changes from one index to the
        // next, so one type may have several blocks.
        if (i == 0 || container.ItemAt(i - 1)->type != item.type)
            PutWord(table, item.type);
        PutWord(table, uint32(item.id));
        PutWord(table, uint32(i + 1));
        uint16 nameSize = item.name.empty() ? 0 : uint16(item.name.size() + 1);
        table.push_back(uint8(nameSize & 0xFF));
        table.push_back(uint8(nameSize >> 8));
        if (nameSize > 0)
            table.insert(table.end(), item.name.c_str(), item.name.c_str() + nameSize);
        if (i + 1 == container.CountItems() || container.ItemAt(i + 1)->type != item.type) {
            PutWord(table, kInfoSeparatorWord);
            PutWord(table, kInfoSeparatorWord);
        }
    }
    if (container.CountItems() == 0) {
        PutWord(table, kInfoSeparatorWord);
        PutWord(table, kInfoSeparatorWord);
    }
    PutWord(table, InfoTableChecksum(table.data(), table.size()));
    PutWord(table, 0);
    return table;
}

std::vector<uint8> BuildAdminSection(const ResourceContainer& container,
    const std::vector<uint32>& dataOffsets, uint32 infoTableOffset, uint32 infoTableSize)
{
    uint32 count = uint32(container.CountItems());
    uint32 indexSize = IndexSectionSize(count);
    uint32 end = DataSectionOffset(count);
    std::vector<uint8> bytes;
    bytes.reserve(end);
    for (uint32 offset = 0; offset < end; offset += 4)
        PutWord(bytes, FillerWord(offset));
    auto put = [&bytes](uint32 offset, uint32 value) {
        WriteUnaligned<uint32>(bytes.data() + offset, value);
    };
    put(0, kContainerMagic);
    put(4, count);
    put(8, kIndexSectionOffset);
    put(12, AdminSectionSize(count));
    for (uint32 offset = 16; offset < kHeaderSize; offset += 4)
        put(offset, 0);
    put(kIndexSectionOffset + kIndexHeaderIndexOffset, kIndexSectionOffset);
    put(kIndexSectionOffset + kIndexHeaderIndexSize, indexSize);
    put(kIndexSectionOffset + kIndexHeaderUnknownOffset, kIndexSectionOffset + indexSize);
    put(kIndexSectionOffset + kIndexHeaderUnknownSize, kUnknownSectionSize);
    put(kIndexSectionOffset + kIndexHeaderInfoTableOffset, infoTableOffset);
    put(kIndexSectionOffset + kIndexHeaderInfoTableSize, infoTableSize);
    for (uint32 i = 0; i < count; i++) {
        uint32 entry = kIndexTableOffset + i * kIndexEntrySize;
        put(entry, dataOffsets[i]);
        put(entry + 4, uint32(container.ItemAt(int32(i))->size));
        put(entry + 8, 0);
    }
    return bytes;
}

status_t WriteResourceContainer(ResourceIO& io, off_t containerOffset, ResourceContainer& container,
    std::string* error, ResourceIO* source, off_t sourceOffset)
{
    if (!io.IsWritable()) {
        *error = "the file is read-only";
        return B_NOT_ALLOWED;
    }
    return ContainerWriter(io, containerOffset, container, error, source, sourceOffset).Write();
}

} // namespace BPrivate
