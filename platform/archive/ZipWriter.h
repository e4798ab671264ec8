#pragma once

// Writes a zip archive of one item: a file, a folder with everything below
// it, or a symbolic link. Every path in the archive begins with the item's
// leaf name, as when the zip tool is run recursively in the item's parent
// folder. Each entry keeps its modification and access times (DOS date and
// UT field), its Unix mode, its owner (ux and, where the ids fit, Ux) and its
// BeOS attributes (Be field), so that the stock unzip tool restores data,
// times and modes, and our extractor restores the attributes too. The
// options leave out what would make two archives of the same item differ
// (owners, access times, the local time zone, times after a given moment).

#include <SupportDefs.h>

#include <sys/stat.h>

#include <deque>
#include <optional>
#include <string>

class BPositionIO;
struct zip;

namespace BPrivate {

// The deflate level used unless the caller picks another. It keeps building
// an archive at least as fast as the zip tool at its default level.
constexpr int kDefaultZipLevel = 6;

struct ZipWriteOptions {
    // 1 (fastest) to 9 (smallest); 0 stores every entry uncompressed.
    int level = kDefaultZipLevel;
    bool storeOwner = true;
    bool storeAttributes = true;
    // Reading a file to pack it renews its access time, so an archive that
    // must come out the same each time leaves access times out (extraction
    // then gives each entry its modification time for both).
    bool storeAccessTime = true;
    // The DOS date and time in UTC instead of the local time of the machine
    // (readers of the UT field, ours and the stock unzip, never look at it).
    bool dosTimeInUtc = false;
    // Any time after this one (seconds since 1970) is stored as this one: the
    // SOURCE_DATE_EPOCH of reproducible builds.
    std::optional<int64> latestTime;
    // The permission bits of every entry instead of each file's own.
    std::optional<mode_t> permissions;
    // The name of the top entry; empty means the item's own leaf name.
    std::string topName;
    // A file never to be packed (device and node; node 0 for none): the
    // archive itself, when it is being written inside the item.
    dev_t skipDevice = 0;
    ino_t skipNode = 0;
};

class ZipWriter {
public:
    ZipWriter() = default;
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Replaces any file at archivePath. Nothing is left there on failure.
    status_t WriteArchive(const char* sourcePath, const char* archivePath,
        const ZipWriteOptions& options = ZipWriteOptions());
    // Writes the archive into a stream, from its position 0 on, as it is
    // made: the files are read and deflated one at a time, and nothing of
    // the archive is held in memory. On failure the stream holds a partial
    // archive that the caller discards.
    status_t WriteArchive(const char* sourcePath, BPositionIO& target,
        const ZipWriteOptions& options = ZipWriteOptions());

    const std::string& ErrorText() const { return fErrorText; }

private:
    status_t Prepare(const char* sourcePath, const ZipWriteOptions& options, std::string* name);
    status_t Finish(const char* sourcePath, const std::string& name, const std::string& where);
    status_t AddItem(const std::string& path, const std::string& name);
    status_t AddFolder(const std::string& path, const std::string& name, const struct stat& st);
    status_t AddEntry(const std::string& path, const std::string& name, const struct stat& st);
    // A time as stored: held to options.latestTime.
    int64 StoredTime(int64 seconds) const;
    status_t SetMetadata(uint64 index, const std::string& path, const struct stat& st);
    status_t SetExtraFields(uint64 index, const std::string& path, const struct stat& st);
    status_t Fail(status_t status, std::string text);

    ::zip* fArchive = nullptr;
    ZipWriteOptions fOptions;
    // Symbolic-link targets must stay in memory until the archive is closed.
    std::deque<std::string> fLinkTargets;
    std::string fErrorText;
};

} // namespace BPrivate
