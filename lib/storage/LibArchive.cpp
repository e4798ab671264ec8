// The archive operations of LibFileOperations.h: unzip through the storage
// kit's own zip layer (in this process, with our extra fields for times,
// owners and attributes), tar through the system's tar program. LibZip, the
// writing side, is in LibArchiveZip.cpp.

#include "LibFileOperations.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include <AtomicFile.h>
#include <File.h>
#include <NodeAttributes.h>
#include <Path.h>
#include <ProcessRunner.h>

#include "ZipByteSource.h"
#include "ZipExtractor.h"

namespace {

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

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
    // Every attribute the storage kit keeps travels with the files.
    std::string attributes
        = std::string("--xattrs-include=") + BPrivate::NodeAttributes::kNamespace + "*";
    // The archive's folder is the child's working folder only; "--" keeps a
    // source named like an option a file name.
    std::vector<std::string> argv
        = { tar, "--create", "--xattrs", attributes, "--file", archive.Path(), "--", source };
    BPrivate::ProcessOptions options;
    options.workingFolder = folder.c_str();
    options.captureOutput = true;
    BPrivate::ProcessResult result;
    status_t status = BPrivate::ProcessRunner::Run(argv, options, &result);
    if (status != B_OK)
        std::fprintf(stderr, "LibTar: %s", result.errors.c_str());
    return status == B_OK;
}
