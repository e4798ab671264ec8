#include "ZipReader.h"

#include "ZipCentralDirectory.h"

#include <libdeflate.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <span>
#include <vector>

namespace BPrivate {

namespace {

constexpr uint8 kHostUnix = 3;
constexpr uint8 kHostBeOS = 16;
constexpr size_t kLocalHeaderSize = 30;
// Flag bit 0: traditional encryption; bit 6: strong encryption.
constexpr uint16 kEncryptedFlags = 0x0001 | 0x0040;
constexpr size_t kInputChunk = 64 * 1024;
// The largest compressed entry that is inflated whole, in one call, when its
// data fit one chunk of output.
constexpr uint64 kWholeInputLimit = 1024 * 1024;

// libdeflate's decompressor, one for each thread that reads entries (it is
// not to be shared, and costs little to keep).
struct DecompressorDeleter {
    void operator()(libdeflate_decompressor* decompressor) const
    {
        libdeflate_free_decompressor(decompressor);
    }
};

libdeflate_decompressor* ThreadDecompressor()
{
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(
        libdeflate_alloc_decompressor());
    return decompressor.get();
}

const uint8 kLocalSignature[4] = { 'P', 'K', 3, 4 };

// Says why a read failed, where the caller asked for it.
status_t FailWith(std::string* errorText, status_t status, std::string text)
{
    *errorText = std::move(text);
    return status;
}

ZipEntryKind KindOf(const std::string& name, std::optional<uint32> mode)
{
    bool slash = !name.empty() && name.back() == '/';
    if (!mode || (*mode & S_IFMT) == 0)
        return slash ? ZipEntryKind::kDirectory : ZipEntryKind::kFile;
    switch (*mode & S_IFMT) {
    case S_IFDIR:
        return ZipEntryKind::kDirectory;
    case S_IFREG:
        return slash ? ZipEntryKind::kOther : ZipEntryKind::kFile;
    case S_IFLNK:
        return slash ? ZipEntryKind::kOther : ZipEntryKind::kSymLink;
    default:
        return ZipEntryKind::kOther;
    }
}

// The DOS date and time (local time, two-second steps) in seconds since
// 1970, as the zip tools of this system read them.
int64 DosToSeconds(uint16 time, uint16 date)
{
    struct tm parts = {};
    parts.tm_isdst = -1;
    parts.tm_year = ((date >> 9) & 127) + 1980 - 1900;
    parts.tm_mon = ((date >> 5) & 15) - 1;
    parts.tm_mday = date & 31;
    parts.tm_hour = (time >> 11) & 31;
    parts.tm_min = (time >> 5) & 63;
    parts.tm_sec = (time << 1) & 62;
    return int64(mktime(&parts));
}

// The data of the first field with this id in an extra area, empty when
// there is none (or the area cannot be split).
std::span<const uint8> FindField(const std::vector<uint8>& area, uint16 id)
{
    std::vector<ZipExtraBlock> blocks;
    if (SplitExtraArea(area, &blocks) != B_OK)
        return {};
    for (const ZipExtraBlock& block : blocks) {
        if (block.id == id)
            return block.data;
    }
    return {};
}

bool HasField(const std::vector<uint8>& area, uint16 id)
{
    std::vector<ZipExtraBlock> blocks;
    if (SplitExtraArea(area, &blocks) != B_OK)
        return false;
    return std::any_of(blocks.begin(), blocks.end(), [id](const auto& b) { return b.id == id; });
}

// Ends the inflate stream however the read is left (a killed thread
// unwinds through here).
struct InflateStream {
    z_stream stream = {};
    bool open = false;
    ~InflateStream()
    {
        if (open)
            inflateEnd(&stream);
    }
};

} // namespace

ZipReader::ZipReader() = default;

ZipReader::~ZipReader()
{
    Close();
}

status_t ZipReader::Fail(status_t status, std::string text)
{
    fErrorText = std::move(text);
    return status;
}

void ZipReader::Close()
{
    fSource.reset();
    fEntries.clear();
}

status_t ZipReader::Open(std::unique_ptr<ZipByteSource> source)
{
    Close();
    if (source == nullptr)
        return Fail(B_BAD_VALUE, "no archive given");
    std::string reason;
    if (ReadCentralDirectory(*source, &fEntries, &reason) != B_OK) {
        fEntries.clear();
        return Fail(B_BAD_DATA, "not a readable zip archive: " + reason);
    }
    fSource = std::move(source);
    return B_OK;
}

uint64 ZipReader::CountEntries() const
{
    return fSource != nullptr ? fEntries.size() : 0;
}

status_t ZipReader::ReadLocalHeader(const ZipCentralEntry& entry, uint64* dataStart,
    std::vector<uint8>* localExtra, bool* localDamaged) const
{
    localExtra->clear();
    *localDamaged = true;
    uint64 archiveSize = uint64(std::max<off_t>(fSource->Size(), 0));
    uint8 header[kLocalHeaderSize];
    if (entry.localOffset > archiveSize || archiveSize - entry.localOffset < sizeof(header)
        || ReadZipBytes(*fSource, entry.localOffset, header, sizeof(header)) != B_OK
        || std::memcmp(header, kLocalSignature, 4) != 0)
        return B_BAD_DATA;
    uint64 nameLength = ZipLittle(header + 26, 2);
    uint64 extraLength = ZipLittle(header + 28, 2);
    uint64 extraStart = entry.localOffset + sizeof(header) + nameLength;
    if (extraStart + extraLength > archiveSize)
        return B_BAD_DATA;
    localExtra->resize(size_t(extraLength));
    if (ReadZipBytes(*fSource, extraStart, localExtra->data(), localExtra->size()) != B_OK) {
        localExtra->clear();
        return B_BAD_DATA;
    }
    std::vector<ZipExtraBlock> blocks;
    *localDamaged = SplitExtraArea(*localExtra, &blocks) != B_OK;
    *dataStart = extraStart + extraLength;
    if (entry.compressedSize > archiveSize - *dataStart)
        return B_BAD_DATA;
    return B_OK;
}

status_t ZipReader::GetEntry(uint64 index, ZipEntryInfo* info)
{
    if (fSource == nullptr)
        return B_NO_INIT;
    *info = ZipEntryInfo();
    if (index >= fEntries.size())
        return Fail(B_BAD_DATA, "cannot read an entry: no entry " + std::to_string(index));
    const ZipCentralEntry& entry = fEntries[index];
    // A name cut by a NUL byte would be written under another name than the
    // archive gives.
    if (entry.nameHasNul) {
        std::string shown = entry.name;
        std::replace(shown.begin(), shown.end(), '\0', ' ');
        return Fail(B_BAD_DATA,
            "refused: the name of entry " + std::to_string(index) + " (\"" + shown
                + "\") holds a NUL byte");
    }
    info->index = index;
    info->name = entry.name;
    info->size = entry.size;
    info->encrypted = (entry.flags & kEncryptedFlags) != 0;
    if ((entry.host == kHostUnix || entry.host == kHostBeOS) && (entry.external >> 16) != 0)
        info->mode = entry.external >> 16;
    info->kind = KindOf(info->name, info->mode);

    uint64 dataStart = 0;
    std::vector<uint8> local;
    bool localDamaged = false;
    (void)ReadLocalHeader(entry, &dataStart, &local, &localDamaged);
    int64 dosTime = DosToSeconds(entry.dosTime, entry.dosDate);

    // Times: the local copy is the complete one; the central one has the
    // modification time at most.
    info->modified = dosTime;
    std::span<const uint8> field = FindField(local, kTimestampFieldId);
    if (!HasField(local, kTimestampFieldId))
        field = FindField(entry.extra, kTimestampFieldId);
    ZipTimestamps times;
    if (!field.empty() && ParseTimestampField(field, &times) == B_OK) {
        std::optional<int64> modified;
        if (times.modified && (modified = InterpretZipTime(*times.modified, dosTime)))
            info->modified = *modified;
        if (times.accessed)
            info->accessed = InterpretZipTime(*times.accessed, dosTime);
        if (times.created)
            info->created = InterpretZipTime(*times.created, dosTime);
    }

    ZipOwner owner;
    const std::vector<uint8>* areas[] = { &local, &entry.extra };
    for (const std::vector<uint8>* area : areas) {
        std::span<const uint8> data = FindField(*area, kUnixOwnerFieldId);
        if (!data.empty() && ParseUnixOwnerField(data, &owner) == B_OK) {
            info->owner = owner;
            break;
        }
    }
    std::span<const uint8> owner16 = FindField(local, kUnixOwner16FieldId);
    if (!info->owner && !owner16.empty() && ParseUnixOwner16Field(owner16, &owner) == B_OK)
        info->owner = owner;

    // Only the local field holds the attributes; the central one just
    // repeats their size.
    if (localDamaged) {
        info->attributesStatus = B_BAD_DATA;
        return B_OK;
    }
    std::span<const uint8> attributes = FindField(local, kBeAttributesFieldId);
    if (!attributes.empty()) {
        info->attributesStatus = ParseBeAttributesField(attributes, &info->attributes);
        if (info->attributesStatus != B_OK)
            info->attributes.clear();
    }
    return B_OK;
}

status_t ZipReader::ReadEntry(const ZipEntryInfo& entry, const Sink& sink, size_t chunkSize)
{
    std::string errorText;
    status_t status = ReadEntryConcurrently(entry, sink, &errorText, chunkSize);
    if (!errorText.empty())
        fErrorText = std::move(errorText);
    return status;
}

status_t ZipReader::ReadEntryConcurrently(
    const ZipEntryInfo& entry, const Sink& sink, std::string* errorText, size_t chunkSize) const
{
    if (fSource == nullptr)
        return B_NO_INIT;
    if (entry.index >= fEntries.size())
        return FailWith(errorText, B_BAD_DATA, entry.name + ": no such entry");
    const ZipCentralEntry& central = fEntries[entry.index];
    if ((central.flags & kEncryptedFlags) != 0)
        return FailWith(errorText, B_BAD_DATA, entry.name + ": the entry is encrypted");
    if (central.method != kMethodStored && central.method != kMethodDeflated)
        return FailWith(errorText, B_BAD_DATA,
            entry.name + ": compression method " + std::to_string(central.method)
                + " is not supported");
    uint64 dataStart = 0;
    std::vector<uint8> local;
    bool localDamaged = false;
    if (ReadLocalHeader(central, &dataStart, &local, &localDamaged) != B_OK)
        return FailWith(
            errorText, B_BAD_DATA, entry.name + ": its local header or data are damaged");
    return Inflate(entry, central, dataStart, sink, std::max<size_t>(chunkSize, 1), errorText);
}

status_t ZipReader::Inflate(const ZipEntryInfo& entry, const ZipCentralEntry& central,
    uint64 dataStart, const Sink& sink, size_t chunkSize, std::string* errorText) const
{
    bool deflated = central.method == kMethodDeflated;
    // A small deflated entry is inflated whole, by libdeflate, about twice
    // as fast as zlib's inflate here; a larger one streams through zlib, in
    // chunks, so that memory stays bounded.
    if (deflated && entry.size <= chunkSize && central.compressedSize <= kWholeInputLimit)
        return InflateWhole(entry, central, dataStart, sink, errorText);
    InflateStream inflater;
    if (deflated) {
        if (inflateInit2(&inflater.stream, -MAX_WBITS) != Z_OK)
            return FailWith(errorText, B_NO_MEMORY, entry.name + ": cannot start decompressing");
        inflater.open = true;
    }
    // Never cleared first: every byte handed on was read or inflated into
    // them (an entry's chunk of a quarter megabyte, for each of thousands of
    // small files, would otherwise be zeroed for nothing).
    std::span<uint8> input;
    std::unique_ptr<uint8[]> inputBuffer;
    if (deflated) {
        inputBuffer = std::make_unique_for_overwrite<uint8[]>(kInputChunk);
        input = std::span<uint8>(inputBuffer.get(), kInputChunk);
    }
    // A small entry needs no more than its size.
    size_t outputSize = size_t(std::clamp<uint64>(entry.size, 1, chunkSize));
    std::unique_ptr<uint8[]> outputBuffer = std::make_unique_for_overwrite<uint8[]>(outputSize);
    std::span<uint8> output(outputBuffer.get(), outputSize);
    uint64 position = dataStart;
    uint64 remaining = central.compressedSize;
    uint64 total = 0;
    uint32 crc = 0;
    bool ended = false;
    while (!ended) {
        size_t produced = 0;
        if (!deflated) {
            if (remaining == 0)
                break;
            produced = size_t(std::min<uint64>(remaining, output.size()));
            if (ReadZipBytes(*fSource, position, output.data(), produced) != B_OK)
                return FailWith(errorText, B_BAD_DATA, entry.name + ": cannot read its data");
            position += produced;
            remaining -= produced;
        } else {
            z_stream& stream = inflater.stream;
            if (stream.avail_in == 0 && remaining > 0) {
                size_t count = size_t(std::min<uint64>(remaining, input.size()));
                if (ReadZipBytes(*fSource, position, input.data(), count) != B_OK)
                    return FailWith(errorText, B_BAD_DATA, entry.name + ": cannot read its data");
                position += count;
                remaining -= count;
                stream.next_in = input.data();
                stream.avail_in = uInt(count);
            }
            stream.next_out = output.data();
            stream.avail_out = uInt(output.size());
            int result = inflate(&stream, Z_NO_FLUSH);
            produced = output.size() - stream.avail_out;
            if (result == Z_STREAM_END)
                ended = true;
            else if (result == Z_BUF_ERROR && stream.avail_in == 0 && remaining == 0)
                return FailWith(
                    errorText, B_BAD_DATA, entry.name + ": its compressed data end early");
            else if (result != Z_OK && result != Z_BUF_ERROR)
                return FailWith(
                    errorText, B_BAD_DATA, entry.name + ": its compressed data are damaged");
        }
        if (produced == 0)
            continue;
        total += produced;
        // Never take more than the entry says it holds.
        if (total > entry.size)
            return FailWith(
                errorText, B_BAD_DATA, entry.name + ": more data than the entry states");
        // libdeflate's CRC-32 uses the CPU's carry-less multiplication.
        crc = libdeflate_crc32(crc, output.data(), produced);
        if (status_t status = sink(output.data(), produced); status != B_OK)
            return status;
    }
    if (total != entry.size)
        return FailWith(errorText, B_BAD_DATA, entry.name + ": less data than the entry states");
    if (crc != central.crc)
        return FailWith(errorText, B_BAD_DATA, entry.name + ": CRC error");
    return B_OK;
}

status_t ZipReader::InflateWhole(const ZipEntryInfo& entry, const ZipCentralEntry& central,
    uint64 dataStart, const Sink& sink, std::string* errorText) const
{
    libdeflate_decompressor* decompressor = ThreadDecompressor();
    if (decompressor == nullptr)
        return FailWith(errorText, B_NO_MEMORY, entry.name + ": cannot start decompressing");
    size_t inputSize = size_t(central.compressedSize);
    size_t outputSize = size_t(entry.size);
    std::unique_ptr<uint8[]> input = std::make_unique_for_overwrite<uint8[]>(inputSize + 1);
    std::unique_ptr<uint8[]> output = std::make_unique_for_overwrite<uint8[]>(outputSize + 1);
    if (ReadZipBytes(*fSource, dataStart, input.get(), inputSize) != B_OK)
        return FailWith(errorText, B_BAD_DATA, entry.name + ": cannot read its data");
    size_t produced = 0;
    switch (libdeflate_deflate_decompress(
        decompressor, input.get(), inputSize, output.get(), outputSize, &produced)) {
    case LIBDEFLATE_SUCCESS:
        break;
    case LIBDEFLATE_INSUFFICIENT_SPACE:
        return FailWith(errorText, B_BAD_DATA, entry.name + ": more data than the entry states");
    default:
        return FailWith(
            errorText, B_BAD_DATA, entry.name + ": its compressed data are damaged or end early");
    }
    if (produced != outputSize)
        return FailWith(errorText, B_BAD_DATA, entry.name + ": less data than the entry states");
    // Nothing is handed on before the whole entry is known to be right.
    if (libdeflate_crc32(0, output.get(), produced) != central.crc)
        return FailWith(errorText, B_BAD_DATA, entry.name + ": CRC error");
    return produced == 0 ? B_OK : sink(output.get(), produced);
}

} // namespace BPrivate
