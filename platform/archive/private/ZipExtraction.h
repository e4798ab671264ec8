#pragma once

// The work of one ZipExtractor::Extract call (ZipExtractor.h says what it
// promises): the archive is planned and checked whole, written into a
// staging folder, and the item put in its place.

#include "ZipEntryPath.h"
#include "ZipExtractor.h"
#include "ZipReader.h"

#include <Descriptor.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace BPrivate {

class ZipSafeFolder;
class ZipWorkQueue;

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
    ZipWrittenFiles TakeWrittenFiles() { return std::move(fWrittenFiles); }

private:
    struct Planned {
        ZipEntryInfo info;
        std::vector<std::string> path;
        std::string linkTarget;
    };
    // What writing one file came to, on whichever thread wrote it.
    struct FileOutcome {
        status_t status = B_OK;
        std::string errorText;
        std::vector<std::string> warnings;
        // Ended early because the extraction was given up (a stop, or
        // another entry's failure), not by a fault of its own.
        bool abandoned = false;
    };
    // What the threads writing files share with the walking thread.
    struct FileRun {
        std::atomic<uint64> bytesDone = 0;
        std::atomic<bool> abandon = false;
        // The entry a thread began writing last (its index).
        std::atomic<size_t> current = 0;
        std::vector<FileOutcome> outcomes;
        // With digestFiles, each file as written, put in by the thread that
        // wrote it.
        std::mutex writtenLock;
        ZipWrittenFiles written;
    };

    status_t Plan(ZipReader& reader);
    status_t PlanEntry(ZipEntryInfo& info);
    status_t CheckSizes();
    status_t CheckConflicts();
    status_t CheckLinks(ZipReader& reader);
    status_t CheckFreeSpace(int folderFd);
    status_t WriteEntries(ZipReader& reader);
    status_t WriteFilesAndFolders(ZipReader& reader);
    status_t QueueFile(ZipReader& reader, size_t index, ZipWorkQueue& queue, FileRun& run,
        const std::function<bool()>& watch);
    status_t EndFiles(status_t status, bool stopped, FileRun& run);
    // Writes one file beside its final place and renames it there; runs on a
    // worker thread, touching no member but the options.
    FileOutcome WriteFile(const ZipReader& reader, const Planned& entry, int folder, FileRun& run,
        ZipWorkQueue& queue) const;
    status_t StreamData(const ZipReader& reader, const Planned& entry, int fd, FileRun& run,
        ZipWorkQueue& queue, FileOutcome* outcome) const;
    status_t WriteLink(const Planned& entry);
    status_t FinishFolder(const Planned& entry);
    void ApplyMetadata(int fd, const Planned& entry, std::vector<std::string>* warnings) const;
    status_t ParentFolder(const Planned& entry, int* fd);
    void ForgetParent();
    bool StopRequested() const { return fOptions.shouldStop && fOptions.shouldStop(); }
    void Report(const Planned& entry);
    // Reports the files' progress, and gives up when a stop is asked or a
    // file failed; on the walking thread.
    bool WatchFiles(FileRun& run, bool* stopped);
    void ReportFiles(FileRun& run);
    void Warn(std::string text) { fWarnings.push_back(std::move(text)); }
    status_t Fail(status_t status, std::string text);

    ZipExtractOptions fOptions;
    std::vector<Planned> fEntries;
    std::unique_ptr<ZipSafeFolder> fFolder;
    // The folder of the previous entry, kept open for its siblings (and for
    // as long as a file queued in it waits to be written).
    std::string fParentPath;
    std::shared_ptr<BPrivate::Descriptor> fParent;
    // The top name as the archive has it, and as extracted.
    std::string fArchiveTopName;
    std::string fTopName;
    uint64 fBytesTotal = 0;
    uint64 fBytesDone = 0;
    // The last progress reported while files are written.
    uint64 fBytesReported = 0;
    size_t fEntryReported = 0;
    std::string fErrorText;
    std::vector<std::string> fWarnings;
    ZipWrittenFiles fWrittenFiles;
};

} // namespace BPrivate
