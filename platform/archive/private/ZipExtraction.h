#pragma once

// The work of one ZipExtractor::Extract call (ZipExtractor.h says what it
// promises): the archive is planned and checked whole, written into a
// staging folder, and the item put in its place.

#include "ZipEntryPath.h"
#include "ZipExtractor.h"
#include "ZipReader.h"

#include <Descriptor.h>

#include <memory>
#include <string>
#include <vector>

namespace BPrivate {

class ZipSafeFolder;

class ZipExtraction {
public:
    ZipExtraction();
    ~ZipExtraction();
    ZipExtraction(const ZipExtraction&) = delete;
    ZipExtraction& operator=(const ZipExtraction&) = delete;

    status_t Extract(std::unique_ptr<ZipByteSource> source, const char* folder,
        const ZipExtractOptions& options);

    // The name of the extracted item in the folder.
    const std::string& TopName() const { return fTopName; }
    uint64 BytesWritten() const { return fBytesDone; }
    const std::string& ErrorText() const { return fErrorText; }
    const std::vector<std::string>& Warnings() const { return fWarnings; }

private:
    struct Planned {
        ZipEntryInfo info;
        std::vector<std::string> path;
        std::string linkTarget;
    };

    status_t Plan(ZipReader& reader);
    status_t PlanEntry(ZipEntryInfo& info);
    status_t CheckSizes();
    status_t CheckConflicts();
    status_t CheckLinks(ZipReader& reader);
    status_t CheckFreeSpace(int folderFd);
    status_t WriteEntries(ZipReader& reader);
    status_t WriteFile(ZipReader& reader, const Planned& entry);
    status_t StreamData(ZipReader& reader, const Planned& entry, int fd);
    status_t WriteLink(const Planned& entry);
    status_t FinishFolder(const Planned& entry);
    void ApplyMetadata(int fd, const Planned& entry);
    status_t ParentFolder(const Planned& entry, int* fd);
    void ForgetParent();
    bool StopRequested() const { return fOptions.shouldStop && fOptions.shouldStop(); }
    void Report(const Planned& entry);
    void Warn(std::string text) { fWarnings.push_back(std::move(text)); }
    status_t Fail(status_t status, std::string text);

    ZipExtractOptions fOptions;
    std::vector<Planned> fEntries;
    std::unique_ptr<ZipSafeFolder> fFolder;
    // The folder of the previous entry, kept open for its siblings.
    std::string fParentPath;
    BPrivate::Descriptor fParent;
    // The top name as the archive has it, and as extracted.
    std::string fArchiveTopName;
    std::string fTopName;
    uint64 fBytesTotal = 0;
    uint64 fBytesDone = 0;
    std::string fErrorText;
    std::vector<std::string> fWarnings;
};

} // namespace BPrivate
