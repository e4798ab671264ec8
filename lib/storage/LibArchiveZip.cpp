// LibZip of LibFileOperations.h, apart from the other archive operations:
// writing archives needs the zip writer (and libzip), which a program that
// only reads archives, such as the installer, then leaves out.

#include "LibFileOperations.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include <AtomicFile.h>
#include <File.h>
#include <Path.h>

#include "ZipWriter.h"

bool LibZip(const char* zipPath, const BPath& source, const int& level)
{
    if (zipPath == nullptr || zipPath[0] == '\0' || source.InitCheck() != B_OK || level < 0
        || level > 9)
        return false;
    // The archive is written into a new file beside its place and renamed
    // over it when complete: a failure leaves whatever was there before.
    // Its permissions are those of any new file.
    BPrivate::AtomicFile output;
    status_t status = output.Open(zipPath, 0666, BPrivate::AtomicFile::kApplyUmask);
    if (status != B_OK) {
        std::fprintf(stderr, "LibZip: cannot write \"%s\": %s\n", zipPath, std::strerror(errno));
        return false;
    }
    BPrivate::ZipWriteOptions options;
    options.level = level;
    // An archive written inside the item it packs must not pack itself.
    struct stat self;
    if (fstat(output.Descriptor(), &self) == 0) {
        options.skipDevice = self.st_dev;
        options.skipNode = self.st_ino;
    }
    BPrivate::ZipWriter writer;
    {
        BFile file(output.TemporaryPath().c_str(), B_READ_WRITE);
        status = file.InitCheck();
        if (status == B_OK)
            status = writer.WriteArchive(source.Path(), file, options);
    }
    const char* reason = writer.ErrorText().c_str();
    if (status == B_OK && output.Commit() != B_OK) {
        status = B_ERROR;
        reason = std::strerror(errno);
    }
    if (status != B_OK)
        std::fprintf(stderr, "LibZip: cannot write \"%s\": %s\n", zipPath,
            reason[0] != '\0' ? reason : "it cannot be put in place");
    return status == B_OK;
}
