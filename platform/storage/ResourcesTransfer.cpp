// BResources: copying resources between files (MergeFrom, WriteTo).

#include "Resources.h"

#include "ResourceContainer.h"
#include "ResourceFormat.h"
#include "ResourceIO.h"
#include "ResourceLocation.h"
#include "ResourceReader.h"
#include "ResourceWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace BPrivate;

namespace {

const uint8 kResourceFileHeader[kResourceFileHeaderSize] = { 'R', 'S', 0, 0 };

bool SameFile(const ResourceIO& a, const ResourceIO& b)
{
    dev_t deviceA, deviceB;
    ino_t nodeA, nodeB;
    return a.GetIdentity(&deviceA, &nodeA) && b.GetIdentity(&deviceB, &nodeB) && deviceA == deviceB
        && nodeA == nodeB;
}

} // namespace

status_t BResources::MergeFrom(const char* path)
{
    if (path == nullptr)
        return B_BAD_VALUE;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int error = errno;
        return Fail(StatusFromErrno(error),
            std::string("cannot open \"") + path + "\": " + std::strerror(error));
    }
    ResourceFdIO source(fd, false, true);
    return MergeFromIO(source);
}

status_t BResources::MergeFromIO(ResourceIO& source)
{
    status_t status = CheckWritable();
    if (status != B_OK)
        return status;
    ResourceFileLayout layout;
    ResourceContainer other;
    std::string reason;
    status = LocateResourceContainer(source, &layout, &reason);
    if (status == B_OK && layout.kind != ResourceFileKind::kDamagedResourceFile)
        status = ReadResourceContainer(
            source, layout.containerOffset, layout.fileSize, &other, &reason);
    if (status != B_OK)
        return Fail(status, reason);
    // Read everything first, so that a failure leaves this object unchanged.
    for (int32 i = 0; i < other.CountItems(); i++) {
        ResourceItem& item = *other.ItemAt(i);
        item.data.reserve(std::max<size_t>(item.size, 1));
        item.data.resize(item.size);
        status = ReadResourceData(
            source, layout.containerOffset, item, 0, item.data.data(), item.size);
        if (status != B_OK)
            return Fail(status, "cannot read resource data");
        item.loaded = true;
        item.modified = true;
        item.offset = -1;
    }
    for (int32 i = 0; i < other.CountItems(); i++) {
        auto item = std::make_unique<ResourceItem>(std::move(*other.ItemAt(i)));
        fContainer->Add(std::move(item));
        fModified = true;
    }
    return B_OK;
}

status_t BResources::WriteTo(const char* path)
{
    if (path == nullptr)
        return B_BAD_VALUE;
    int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        int error = errno;
        return Fail(StatusFromErrno(error),
            std::string("cannot open \"") + path + "\": " + std::strerror(error));
    }
    return WriteToIO(std::make_unique<ResourceFdIO>(fd, true, true));
}

status_t BResources::WriteToIO(std::unique_ptr<ResourceIO> target)
{
    if (fIO == nullptr)
        return B_NO_INIT;
    if (!target->IsWritable())
        return Fail(B_NOT_ALLOWED, "the target file is open read-only");
    if (SameFile(*fIO, *target))
        return Sync();
    // The target's own resources are replaced; an ELF file keeps its ELF
    // part, and a file of any other kind becomes a resource file.
    ResourceFileLayout layout;
    std::string reason;
    status_t status = LocateResourceContainer(*target, &layout, &reason);
    bool elf = status == B_OK
        && (layout.kind == ResourceFileKind::kElf32 || layout.kind == ResourceFileKind::kElf64);
    if (status != B_OK && status != B_BAD_TYPE && status != B_UNSUPPORTED && status != B_BAD_DATA)
        return Fail(status, reason);
    off_t offset = elf ? layout.containerOffset : kResourceFileHeaderSize;
    if (!elf) {
        if (status != B_OK && (status = target->SetSize(0)) != B_OK)
            return Fail(status, "cannot truncate the target file");
        status = WriteExactly(*target, 0, kResourceFileHeader, sizeof(kResourceFileHeader));
        if (status != B_OK)
            return Fail(status, "cannot write the resource file header");
    }
    status = WriteResourceContainer(
        *target, offset, *fContainer, &reason, fIO.get(), fContainerOffset);
    if (status != B_OK)
        return Fail(status, reason);
    fIO = std::move(target);
    fContainerOffset = offset;
    fNeedsFileHeader = false;
    fModified = false;
    return B_OK;
}
