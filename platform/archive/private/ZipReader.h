#pragma once

// Reads a zip archive from a byte source: its entries with their metadata
// (kind, mode, times, owner, BeOS attributes from the extra fields) and the
// data of one entry at a time, stored or deflated, streamed in chunks and
// checked against the stated size and CRC-32. It is our own reader over
// zlib's inflate, so that the installer carries no zip library.

#include "ZipByteSource.h"
#include "ZipCentralDirectory.h"
#include "ZipExtraFields.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace BPrivate {

enum class ZipEntryKind { kFile, kDirectory, kSymLink, kOther };

struct ZipEntryInfo {
    uint64 index = 0;
    // The name exactly as stored (no encoding conversion).
    std::string name;
    ZipEntryKind kind = ZipEntryKind::kFile;
    // Unix mode (type and permission bits) when the archive records one.
    std::optional<uint32> mode;
    uint64 size = 0;
    bool encrypted = false;
    // Seconds since 1970: from the UT field when present, else the DOS date.
    int64 modified = 0;
    std::optional<int64> accessed;
    std::optional<int64> created;
    std::optional<ZipOwner> owner;
    std::vector<ZipAttribute> attributes;
    // B_BAD_DATA when the entry's attribute field is damaged (the attributes
    // are then empty).
    status_t attributesStatus = B_OK;
};

class ZipReader {
public:
    ZipReader();
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    status_t Open(std::unique_ptr<ZipByteSource> source);
    void Close();

    uint64 CountEntries() const;
    status_t GetEntry(uint64 index, ZipEntryInfo* info);

    // Streams an entry's data to sink in chunks of at most chunkSize bytes.
    // More data than the entry states, a CRC mismatch, or a sink error
    // (returned as is) ends the read.
    using Sink = std::function<status_t(const uint8* data, size_t size)>;
    status_t ReadEntry(const ZipEntryInfo& entry, const Sink& sink, size_t chunkSize = 256 * 1024);
    // The same, with the failure's explanation put in errorText instead of
    // ErrorText(): several threads may read entries at once this way, when
    // the source allows concurrent reads.
    status_t ReadEntryConcurrently(const ZipEntryInfo& entry, const Sink& sink,
        std::string* errorText, size_t chunkSize = 256 * 1024) const;

    // One line explaining the last failure.
    const std::string& ErrorText() const { return fErrorText; }

private:
    status_t Fail(status_t status, std::string text);
    // The entry's local header: where its data start, and its extra fields
    // (localDamaged when they cannot be split).
    status_t ReadLocalHeader(const ZipCentralEntry& entry, uint64* dataStart,
        std::vector<uint8>* localExtra, bool* localDamaged) const;
    status_t Inflate(const ZipEntryInfo& entry, const ZipCentralEntry& central, uint64 dataStart,
        const Sink& sink, size_t chunkSize, std::string* errorText) const;
    // A small deflated entry, inflated in one call.
    status_t InflateWhole(const ZipEntryInfo& entry, const ZipCentralEntry& central,
        uint64 dataStart, const Sink& sink, std::string* errorText) const;

    std::unique_ptr<ZipByteSource> fSource;
    std::vector<ZipCentralEntry> fEntries;
    std::string fErrorText;
};

} // namespace BPrivate
