#pragma once

// Extracts a one-item archive (as ZipWriter makes them: every path begins
// with the item's name) into a destination folder, safely:
// - the whole archive is checked before anything is written: absolute names,
//   ".." or empty components, special files, encrypted entries, entries
//   written through one of the archive's own links, and links whose target
//   leads out of the destination refuse the archive;
// - folders are reached beneath the destination by the kernel (see
//   ZipSafeFolder), so a link already on disk never leads a write outside;
// - each file is streamed in chunks into a temporary name beside its place
//   and renamed over it when complete (never a half-written file, and an
//   existing link at that name is replaced, not followed);
// - modes (without setuid, setgid and sticky bits), times and BeOS
//   attributes are restored; owners only on request. Links are made last,
//   folder modes and times once their contents are complete.
// Attributes the file system cannot keep do not fail the extraction: each
// is reported in Warnings().

#include "ZipByteSource.h"

#include <memory>
#include <string>
#include <vector>

namespace brenvik::archive {

struct ZipExtractOptions {
    // The name the archive's top item must have (empty: any single name).
    std::string expectedTopName;
    // The name the top item gets in the destination (empty: its own).
    std::string targetName;
    bool restoreAttributes = true;
    // Hands the files to the archive's owner ids (only sensible as root).
    bool restoreOwner = false;
    // Refuses archives whose entries state more bytes in all (0: no limit).
    uint64 maxTotalSize = 0;
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

    status_t Extract(std::unique_ptr<ZipByteSource> source, const char* destinationFolder,
        const ZipExtractOptions& options = ZipExtractOptions());

    // The path, relative to the destination, of the extracted item.
    const std::string& TopName() const { return fTopName; }
    const std::string& ErrorText() const { return fErrorText; }
    const std::vector<std::string>& Warnings() const { return fWarnings; }

private:
    std::string fTopName;
    std::string fErrorText;
    std::vector<std::string> fWarnings;
};

} // namespace brenvik::archive
