#pragma once

// Extracts the one item of an archive (as ZipWriter makes them: every path
// begins with the item's name) into a folder, safely, and whole or not at
// all.
//
//     ZipExtractOptions options;
//     options.expectedTopName = "Velk";          // the archive's top entry
//     options.maxItemSize = recordedSize + kItemSizeMargin;
//     options.shouldStop = [&] { return stopRequested.load(); };
//     options.progress = [&](const ZipExtractProgress& p) { ... };
//     ZipExtractor extractor;
//     status_t status = extractor.Extract(
//         MakeResourceSource(resources, B_RAW_TYPE, id, &status), installFolder, options);
//     // B_OK: installFolder/extractor.TopName() is the complete item.
//     // Otherwise ErrorText() says why, and nothing of the item is left.
//
// - The whole archive is checked before anything is written: absolute names,
//   "..", "." or empty components, NUL bytes in names, names given twice,
//   special files, encrypted entries, entries written through one of the
//   archive's own links, and links whose target is absolute, loops or leads
//   out of the folder refuse it. So do more bytes than maxItemSize allows
//   (the first entry that goes past is named) and more than the folder's
//   file system has free.
// - The item is written into a hidden staging folder inside the folder and
//   moved to its place only when complete. A failure, or a stop asked for
//   through shouldStop (B_CANCELED), removes what was written; the remains
//   of an extraction that was killed are removed by the next extraction
//   into the same folder (each is reported in Warnings()).
// - Folders are reached beneath the staging folder by the kernel, so a link
//   on disk never leads a write outside; files are streamed in chunks
//   (never held whole in memory), by a few threads at once (one per core,
//   at most four) while the calling thread makes the folders in archive
//   order, reports progress and asks about a stop.
// - Modes (without setuid and setgid bits, the sticky bit only on folders,
//   folders always open to their owner, and less the bits removedModeBits
//   names), times and BeOS attributes are restored; owners only on
//   request. Attributes the file system cannot keep do not fail the
//   extraction: each is reported in Warnings(). The folder extracted into
//   keeps its own mode and attributes.

#include "ZipByteSource.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace BPrivate {

// What a recorded item size does not count (folders, link targets), as a
// margin for maxItemSize.
constexpr uint64 kItemSizeMargin = 1024 * 1024;

// When the folder already holds an item of the extracted item's name.
enum class ZipExisting {
    // Refuse (B_FILE_EXISTS) and leave it as it is.
    kRefuse,
    // Replace it once the new item is complete.
    kReplace,
    // As the unzip tool does: folders are merged, files and links replaced.
    kMerge,
};

struct ZipExtractProgress {
    // Bytes of file data written so far, and in all.
    uint64 bytesDone = 0;
    uint64 bytesTotal = 0;
    // The entry being written, as the archive names it.
    const std::string* entryName = nullptr;
};

// A file as the extraction wrote it: what identifies it on disk, and the
// SHA-256 of the data written (taken as they were written, so that nobody
// has to read the file again to learn it).
struct ZipWrittenFile {
    uint64 device = 0;
    uint64 inode = 0;
    uint64 size = 0;
    int64 modifiedNs = 0;
    std::string sha256;
};

// Files written, by their path below the item: "" for an item that is a
// file, "/folder/name" for one inside it.
using ZipWrittenFiles = std::map<std::string, ZipWrittenFile>;

struct ZipExtractOptions {
    // The name the archive's top item must have (empty: any single name).
    std::string expectedTopName;
    // The name the top item gets in the folder (empty: its own).
    std::string targetName;
    ZipExisting existing = ZipExisting::kRefuse;
    bool restoreAttributes = true;
    // Hands the files to the archive's owner ids (only sensible as root).
    bool restoreOwner = false;
    // Permission bits taken from every file's and folder's mode (a system
    // installation takes the write bits of group and others: 022).
    uint32 removedModeBits = 0;
    // The most bytes the item may hold: its files' data and its links'
    // targets (0: no bound).
    uint64 maxItemSize = 0;
    // Bytes that must remain free on the folder's file system after the
    // item is written.
    uint64 keepFree = 0;
    // Asked on the calling thread between entries, and while files are
    // written at least every 50 ms; a stop ends the writing within a chunk
    // of each file being written.
    std::function<bool()> shouldStop;
    // Called on the calling thread as data are written (chunks written at
    // about the same time may be reported together) and after each folder.
    std::function<void(const ZipExtractProgress&)> progress;
    // Keep each file's digest and identity (WrittenFiles()).
    bool digestFiles = false;
    // Resolve paths with openat2 (false forces the step-by-step fallback
    // that older kernels need; tests use it).
    bool useOpenat2 = true;
};

class ZipExtractor {
public:
    ZipExtractor();
    ~ZipExtractor();
    ZipExtractor(const ZipExtractor&) = delete;
    ZipExtractor& operator=(const ZipExtractor&) = delete;

    status_t Extract(std::unique_ptr<ZipByteSource> source, const char* folder,
        const ZipExtractOptions& options = ZipExtractOptions());

    // The name of the extracted item in the folder (also after a failure,
    // when the archive got that far).
    const std::string& TopName() const { return fTopName; }
    // Bytes of file data written.
    uint64 BytesWritten() const { return fBytesWritten; }
    const std::string& ErrorText() const { return fErrorText; }
    const std::vector<std::string>& Warnings() const { return fWarnings; }
    // With digestFiles, every file of a complete extraction.
    const ZipWrittenFiles& WrittenFiles() const { return fWrittenFiles; }
    // The same, handed over (an item of many files has a large list).
    ZipWrittenFiles TakeWrittenFiles() { return std::move(fWrittenFiles); }

private:
    std::string fTopName;
    uint64 fBytesWritten = 0;
    std::string fErrorText;
    std::vector<std::string> fWarnings;
    ZipWrittenFiles fWrittenFiles;
};

} // namespace BPrivate
