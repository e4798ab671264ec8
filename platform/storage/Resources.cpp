#include "Resources.h"

#include "ResourceContainer.h"
#include "ResourceFormat.h"
#include "ResourceIO.h"
#include "ResourceLocation.h"
#include "ResourceReader.h"
#include "ResourceWriter.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;

namespace {

// The platform's open modes (B_READ_ONLY, B_READ_WRITE).
constexpr uint32 kReadOnly = 0;
constexpr uint32 kReadWrite = 2;
constexpr uint32 kOpenModeMask = 3;
// The info table stores a name's size, NUL included, in 16 bits.
constexpr size_t kMaxNameLength = 0xFFFE;

const uint8 kResourceFileHeader[kResourceFileHeaderSize] = { 'R', 'S', 0, 0 };

// Whether a failed read-write open should fall back to read-only. A running
// executable cannot be opened for writing on Linux; when the caller left the
// mode to us, a file we may only read is bound read-only as well.
bool MayFallBackToReadOnly(int error, bool modeChosenByCaller)
{
    if (error == ETXTBSY)
        return true;
    return !modeChosenByCaller && (error == EACCES || error == EPERM || error == EROFS);
}

// Whether a failure to find the container says something about the file's
// content (which replacing the resources may discard), rather than about
// reaching the file at all.
bool IsContentVerdict(status_t status)
{
    return status == B_BAD_TYPE || status == B_UNSUPPORTED || status == B_BAD_DATA;
}

std::string DescribeOpenFailure(const char* path, int error)
{
    return std::string("cannot open \"") + path + "\": " + std::strerror(error);
}

} // namespace

BResources::BResources()
    : fContainer(std::make_unique<ResourceContainer>())
{
}

BResources::BResources(const char* path, bool clobber)
    : BResources()
{
    SetTo(path, clobber);
}

BResources::~BResources()
{
    Unset();
}

status_t BResources::Fail(status_t status, std::string text)
{
    fErrorText = std::move(text);
    return status;
}

status_t BResources::SetTo(const char* path, bool clobber)
{
    return OpenPath(path, true, false, clobber);
}

status_t BResources::SetTo(const char* path, uint32 openMode, bool clobber)
{
    uint32 mode = openMode & kOpenModeMask;
    if (mode != kReadOnly && mode != kReadWrite) {
        Unset();
        return fInitStatus = Fail(B_BAD_VALUE, "bad open mode");
    }
    return OpenPath(path, mode == kReadWrite, true, clobber);
}

status_t BResources::OpenPath(
    const char* path, bool writable, bool modeChosenByCaller, bool clobber)
{
    Unset();
    if (path == nullptr)
        return fInitStatus = Fail(B_BAD_VALUE, "no path given");
    int fd = open(path, (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0 && writable && MayFallBackToReadOnly(errno, modeChosenByCaller)) {
        writable = false;
        fd = open(path, O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        int error = errno;
        return fInitStatus = Fail(StatusFromErrno(error), DescribeOpenFailure(path, error));
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return fInitStatus = Fail(B_BAD_TYPE, std::string("\"") + path + "\" is not a file");
    }
    return Bind(std::make_unique<ResourceFdIO>(fd, writable, true), clobber);
}

// Takes the file, finds its container and reads the container's tables.
status_t BResources::Bind(std::unique_ptr<ResourceIO> io, bool clobber)
{
    fIO = std::move(io);
    fContainer->MakeEmpty();
    ResourceFileLayout layout;
    std::string reason;
    status_t status = LocateResourceContainer(*fIO, &layout, &reason);
    if (clobber && (status == B_OK || IsContentVerdict(status)))
        status = Clobber(layout, status);
    else if (status == B_OK) {
        fContainerOffset = layout.containerOffset;
        fNeedsFileHeader = layout.kind == ResourceFileKind::kEmpty
            || layout.kind == ResourceFileKind::kDamagedResourceFile;
        if (layout.kind != ResourceFileKind::kDamagedResourceFile) {
            status = ReadResourceContainer(
                *fIO, fContainerOffset, layout.fileSize, fContainer.get(), &reason);
        }
        if (status != B_OK)
            Fail(status, reason);
    } else
        Fail(status, reason);
    if (status != B_OK) {
        fIO.reset();
        fContainer->MakeEmpty();
    }
    return fInitStatus = status;
}

status_t BResources::ReadHost(void* data, off_t offset, size_t length)
{
    if (!fIO)
        return B_NO_INIT;
    if (offset < 0 || off_t(length) > fContainerOffset - offset)
        return B_BAD_VALUE;
    for (size_t done = 0; done < length;) {
        ssize_t got
            = fIO->ReadAt(offset + off_t(done), static_cast<char*>(data) + done, length - done);
        if (got <= 0)
            return B_IO_ERROR;
        done += size_t(got);
    }
    return B_OK;
}

// Makes the file hold an empty container: an ELF file keeps its ELF part,
// anything else becomes an empty resource file.
status_t BResources::Clobber(const ResourceFileLayout& layout, status_t locateStatus)
{
    if (!fIO->IsWritable())
        return Fail(B_NOT_ALLOWED, "cannot replace the resources of a read-only file");
    bool elf = locateStatus == B_OK
        && (layout.kind == ResourceFileKind::kElf32 || layout.kind == ResourceFileKind::kElf64);
    if (elf) {
        fContainerOffset = layout.containerOffset;
        fNeedsFileHeader = false;
    } else {
        status_t status = fIO->SetSize(0);
        if (status != B_OK)
            return Fail(status, "cannot truncate the file");
        fContainerOffset = kResourceFileHeaderSize;
        fNeedsFileHeader = true;
    }
    return WriteContainer(*fIO);
}

status_t BResources::WriteContainer(ResourceIO& io)
{
    if (fNeedsFileHeader) {
        status_t status = WriteExactly(io, 0, kResourceFileHeader, sizeof(kResourceFileHeader));
        if (status != B_OK)
            return Fail(status, "cannot write the resource file header");
    }
    std::string reason;
    status_t status = WriteResourceContainer(io, fContainerOffset, *fContainer, &reason);
    if (status != B_OK)
        return Fail(status, reason);
    fNeedsFileHeader = false;
    fModified = false;
    return B_OK;
}

void BResources::Unset()
{
    if (fIO != nullptr && fModified && fIO->IsWritable())
        Sync();
    fIO.reset();
    fContainer->MakeEmpty();
    fContainerOffset = 0;
    fNeedsFileHeader = false;
    fModified = false;
    fInitStatus = B_NO_INIT;
}

status_t BResources::InitCheck() const
{
    return fInitStatus;
}

int32 BResources::CountResources() const
{
    return fContainer->CountItems();
}

bool BResources::IsWritable() const
{
    return fIO != nullptr && fIO->IsWritable();
}

status_t BResources::Sync()
{
    if (fIO == nullptr)
        return B_NO_INIT;
    if (!fModified)
        return B_OK;
    if (!fIO->IsWritable())
        return Fail(B_NOT_ALLOWED, "the file is open read-only");
    return WriteContainer(*fIO);
}

status_t BResources::CheckWritable()
{
    if (fIO == nullptr)
        return B_NO_INIT;
    if (!fIO->IsWritable())
        return Fail(B_NOT_ALLOWED, "the file is open read-only");
    return B_OK;
}

bool BResources::GetFileRange(type_code type, int32 id, int* fd, off_t* offset) const
{
    const Item* item = fContainer != nullptr ? FindItem(type, id) : nullptr;
    auto* file = dynamic_cast<BPrivate::ResourceFdIO*>(fIO.get());
    if (item == nullptr || item->loaded || item->offset < 0 || file == nullptr)
        return false;
    *fd = file->Descriptor();
    *offset = fContainerOffset + item->offset;
    return true;
}

BResources::Item* BResources::FindItem(type_code type, int32 id) const
{
    return fContainer->ItemAt(fContainer->IndexOf(type, id));
}

BResources::Item* BResources::FindItem(type_code type, const char* name) const
{
    return fContainer->ItemAt(fContainer->IndexOf(type, name));
}

status_t BResources::LoadItem(Item& item)
{
    if (item.loaded)
        return B_OK;
    // Reserving at least one byte gives even an empty resource a pointer.
    item.data.reserve(std::max<size_t>(item.size, 1));
    item.data.resize(item.size);
    status_t status
        = ReadResourceData(*fIO, fContainerOffset, item, 0, item.data.data(), item.size);
    if (status != B_OK) {
        item.data = {};
        return Fail(status, "cannot read resource data");
    }
    item.loaded = true;
    return B_OK;
}

const void* BResources::LoadResource(type_code type, int32 id, size_t* outSize)
{
    Item* item = FindItem(type, id);
    if (item == nullptr || LoadItem(*item) != B_OK)
        return nullptr;
    if (outSize != nullptr)
        *outSize = item->size;
    return item->data.data();
}

const void* BResources::LoadResource(type_code type, const char* name, size_t* outSize)
{
    Item* item = FindItem(type, name);
    if (item == nullptr || LoadItem(*item) != B_OK)
        return nullptr;
    if (outSize != nullptr)
        *outSize = item->size;
    return item->data.data();
}

status_t BResources::PreloadResourceType(type_code type)
{
    if (fIO == nullptr)
        return B_NO_INIT;
    for (int32 i = 0; i < fContainer->CountItems(); i++) {
        Item& item = *fContainer->ItemAt(i);
        if (type != 0 && item.type != type)
            continue;
        status_t status = LoadItem(item);
        if (status != B_OK)
            return status;
    }
    return B_OK;
}

status_t BResources::AddResource(
    type_code type, int32 id, const void* data, size_t length, const char* name)
{
    status_t status = CheckWritable();
    if (status != B_OK)
        return status;
    if (data == nullptr)
        return B_BAD_VALUE;
    if (name != nullptr && std::strlen(name) > kMaxNameLength)
        return Fail(B_BAD_VALUE, "resource name too long");
    auto item = std::make_unique<Item>();
    item->type = type;
    item->id = id;
    item->name = name != nullptr ? name : "";
    item->data.reserve(std::max<size_t>(length, 1));
    item->data.assign(static_cast<const uint8*>(data), static_cast<const uint8*>(data) + length);
    item->size = length;
    item->loaded = true;
    item->modified = true;
    fContainer->Add(std::move(item));
    fModified = true;
    return B_OK;
}

bool BResources::HasResource(type_code type, int32 id)
{
    return FindItem(type, id) != nullptr;
}

bool BResources::HasResource(type_code type, const char* name)
{
    return FindItem(type, name) != nullptr;
}

bool BResources::GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
    const char** nameFound, size_t* lengthFound)
{
    const Item* item = fContainer->ItemAt(byIndex);
    if (item == nullptr)
        return false;
    if (typeFound != nullptr)
        *typeFound = item->type;
    if (idFound != nullptr)
        *idFound = item->id;
    if (nameFound != nullptr)
        *nameFound = item->name.c_str();
    if (lengthFound != nullptr)
        *lengthFound = item->size;
    return true;
}

bool BResources::GetResourceInfo(
    type_code byType, int32 andIndex, int32* idFound, const char** nameFound, size_t* lengthFound)
{
    int32 index = fContainer->IndexOfNth(byType, andIndex);
    return index >= 0 && GetResourceInfo(index, nullptr, idFound, nameFound, lengthFound);
}

bool BResources::GetResourceInfo(
    type_code byType, int32 andID, const char** nameFound, size_t* lengthFound)
{
    int32 index = fContainer->IndexOf(byType, andID);
    return index >= 0 && GetResourceInfo(index, nullptr, nullptr, nameFound, lengthFound);
}

bool BResources::GetResourceInfo(
    type_code byType, const char* andName, int32* idFound, size_t* lengthFound)
{
    int32 index = fContainer->IndexOf(byType, andName);
    return index >= 0 && GetResourceInfo(index, nullptr, idFound, nullptr, lengthFound);
}

bool BResources::GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
    size_t* lengthFound, const char** nameFound)
{
    int32 index = fContainer->IndexOf(byPointer);
    return index >= 0 && GetResourceInfo(index, typeFound, idFound, nameFound, lengthFound);
}

status_t BResources::RemoveResource(const void* resource)
{
    status_t status = CheckWritable();
    if (status != B_OK)
        return status;
    int32 index = fContainer->IndexOf(resource);
    if (index < 0)
        return B_BAD_VALUE;
    fContainer->RemoveAt(index);
    fModified = true;
    return B_OK;
}

status_t BResources::RemoveResource(type_code type, int32 id)
{
    status_t status = CheckWritable();
    if (status != B_OK)
        return status;
    int32 index = fContainer->IndexOf(type, id);
    if (index < 0)
        return B_BAD_VALUE;
    fContainer->RemoveAt(index);
    fModified = true;
    return B_OK;
}

status_t BResources::WriteResource(
    type_code type, int32 id, const void* data, off_t offset, size_t length)
{
    status_t status = CheckWritable();
    if (status != B_OK)
        return status;
    Item* item = FindItem(type, id);
    if (item == nullptr || offset < 0 || (data == nullptr && length > 0))
        return B_BAD_VALUE;
    uint64 end;
    if (__builtin_add_overflow(uint64(offset), uint64(length), &end) || end > UINT32_MAX)
        return Fail(B_BAD_VALUE, "resource too large");
    if ((status = LoadItem(*item)) != B_OK)
        return status;
    if (end > item->data.size())
        item->data.resize(size_t(end));
    if (length > 0)
        std::memcpy(item->data.data() + offset, data, length);
    item->size = item->data.size();
    item->modified = true;
    fModified = true;
    return B_OK;
}

status_t BResources::ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length)
{
    Item* item = FindItem(type, id);
    if (item == nullptr || offset < 0 || (data == nullptr && length > 0))
        return B_BAD_VALUE;
    return ReadItemData(*item, data, offset, length);
}

status_t BResources::ReadItemData(const Item& item, void* data, off_t offset, size_t length)
{
    if (uint64(offset) >= item.size)
        return B_OK;
    size_t count = std::min(length, item.size - size_t(offset));
    if (item.loaded) {
        std::memcpy(data, item.data.data() + offset, count);
        return B_OK;
    }
    status_t status = ReadResourceData(*fIO, fContainerOffset, item, offset, data, count);
    return status == B_OK ? B_OK : Fail(status, "cannot read resource data");
}

void* BResources::CopyItemData(const Item* item, size_t* lengthFound)
{
    if (item == nullptr)
        return nullptr;
    void* copy = std::malloc(std::max<size_t>(item->size, 1));
    if (copy == nullptr || ReadItemData(*item, copy, 0, item->size) != B_OK) {
        std::free(copy);
        return nullptr;
    }
    if (lengthFound != nullptr)
        *lengthFound = item->size;
    return copy;
}

void* BResources::FindResource(type_code type, int32 id, size_t* lengthFound)
{
    return CopyItemData(FindItem(type, id), lengthFound);
}

void* BResources::FindResource(type_code type, const char* name, size_t* lengthFound)
{
    return CopyItemData(FindItem(type, name), lengthFound);
}
