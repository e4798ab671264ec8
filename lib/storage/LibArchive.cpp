// The archive operations of LibFileOperations.h: zip and unzip through the
// storage kit's own zip layer (in this process, with our extra fields for
// times, owners and attributes), tar through the system's tar program.

#include "LibFileOperations.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include <Path.h>
#include <ProcessRunner.h>

#include "ZipByteSource.h"
#include "ZipExtractor.h"
#include "ZipWriter.h"

namespace {

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool LibZip(const char* zipPath, const BPath& source, const int& level)
{
    if (zipPath == nullptr || zipPath[0] == '\0' || source.InitCheck() != B_OK || level < 0
        || level > 9)
        return false;
    // The archive is written under a short reserved name beside its place
    // and renamed over it at the end, so that an archive name as long as
    // the file system allows still leaves room for the writer's own
    // temporary names.
    std::string temporary = FolderOf(zipPath) + "/.brenvik-zipXXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    BPrivate::ZipWriteOptions options;
    options.level = level;
    BPrivate::ZipWriter writer;
    status_t status = writer.WriteArchive(source.Path(), temporary.c_str(), options);
    if (status == B_OK && rename(temporary.c_str(), zipPath) != 0)
        status = B_ERROR;
    if (status != B_OK) {
        unlink(temporary.c_str());
        std::fprintf(stderr, "LibZip: cannot write \"%s\": %s\n", zipPath,
            writer.ErrorText().empty() ? "it cannot be put in place" : writer.ErrorText().c_str());
    }
    return status == B_OK;
}

bool LibUnzip(const char* zipPath)
{
    if (zipPath == nullptr || zipPath[0] == '\0')
        return false;
    BPath archive(zipPath);
    if (archive.InitCheck() != B_OK)
        return false;
    status_t status;
    std::unique_ptr<BPrivate::ZipByteSource> source
        = BPrivate::OpenFileWindowSource(archive.Path(), 0, -1, &status);
    if (source == nullptr || status != B_OK)
        return false;
    // As the unzip tool does when told to overwrite: an item already there
    // is merged with.
    BPrivate::ZipExtractOptions options;
    options.existing = BPrivate::ZipExisting::kMerge;
    BPrivate::ZipExtractor extractor;
    status = extractor.Extract(std::move(source), FolderOf(archive.Path()).c_str(), options);
    for (const std::string& warning : extractor.Warnings())
        std::fprintf(stderr, "LibUnzip: %s\n", warning.c_str());
    if (status != B_OK)
        std::fprintf(stderr, "LibUnzip: %s\n", extractor.ErrorText().c_str());
    return status == B_OK;
}

bool LibTar(const char* source, const char* archivePath)
{
    if (source == nullptr || source[0] == '\0' || archivePath == nullptr || archivePath[0] == '\0')
        return false;
    BPath archive(archivePath);
    std::string tar;
    if (archive.InitCheck() != B_OK || BPrivate::ProcessRunner::FindProgram("tar", &tar) != B_OK)
        return false;
    std::string folder = FolderOf(archive.Path());
    // The archive's folder is the child's working folder only; "--" keeps a
    // source named like an option a file name.
    std::vector<std::string> argv = { tar, "--create", "--xattrs", "--xattrs-include=user.*",
        "--file", archive.Path(), "--", source };
    BPrivate::ProcessOptions options;
    options.workingFolder = folder.c_str();
    options.captureOutput = true;
    BPrivate::ProcessResult result;
    status_t status = BPrivate::ProcessRunner::Run(argv, options, &result);
    if (status != B_OK)
        std::fprintf(stderr, "LibTar: %s", result.errors.c_str());
    return status == B_OK;
}
