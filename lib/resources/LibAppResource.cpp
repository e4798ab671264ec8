#include "LibAppResource.h"

#include "RunningExecutable.h"

#include <AtomicFile.h>
#include <LibFileOperations.h>
#include <TypeConstants.h>
#include <ZipByteSource.h>
#include <ZipExtractor.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

using BPrivate::ZipExisting;
using BPrivate::ZipExtractOptions;
using BPrivate::ZipExtractor;

namespace {

// Raw entries are copied through a buffer of this size.
constexpr size_t kCopyChunk = 256 * 1024;

// The destination's parent folder and leaf name. A destination that ends
// with a slash, or whose leaf is "." or "..", names no item: the item would
// otherwise take the place of a folder, not go inside it.
bool SplitDestination(const char* destination, std::string* folder, std::string* leaf)
{
    std::string path(destination);
    if (path.empty() || path.back() == '/')
        return false;
    std::filesystem::path split(path);
    *leaf = split.filename().string();
    *folder = split.has_parent_path() ? split.parent_path().string() : ".";
    return *leaf != "." && *leaf != "..";
}

// A resource name is the archive's top entry: exactly one safe name.
bool IsItemName(const char* name)
{
    size_t length = name != nullptr ? std::strlen(name) : 0;
    return length > 0 && length <= NAME_MAX && std::strchr(name, '/') == nullptr
        && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

std::string ErrnoText(const std::string& what, int error)
{
    return what + ": " + std::strerror(error);
}

} // namespace

LibAppResource::LibAppResource(const uint32& openMode)
{
    std::string path;
    if (RunningExecutable::GetPath(&path) == B_OK)
        SetTo(path.c_str(), openMode, false);
}

LibAppResource::LibAppResource(const char* path, const uint32& openMode)
{
    if (path != nullptr)
        SetTo(path, openMode, false);
}

LibAppResource::~LibAppResource() = default;

bool LibAppResource::Fail(std::string text)
{
    fEntryError = std::move(text);
    return false;
}

bool LibAppResource::ExtractEntry(const int32& id, const char* destination, const bool& unzip)
{
    ZipExtractOptions options;
    // As the unzip tool would: an item already there is merged with.
    options.existing = ZipExisting::kMerge;
    if (unzip)
        return ExtractEntry(id, destination, options);
    if (!FindEntry(id, destination, true))
        return false;
    Libmimeset(destination);
    return true;
}

bool LibAppResource::ExtractEntry(
    const int32& id, const char* destination, const ZipExtractOptions& options)
{
    if (!FindEntry(id, destination, false))
        return false;
    const char* name = nullptr;
    GetResourceInfo(B_RAW_TYPE, id, &name, nullptr);
    std::string folder, leaf;
    if (!SplitDestination(destination, &folder, &leaf))
        return Fail(std::string("\"") + destination + "\" is not a path for an item");
    if (!IsItemName(name))
        return Fail("entry " + std::to_string(id) + " has no usable name (\"" + name + "\")");
    status_t status;
    auto source = BPrivate::MakeResourceSource(*this, B_RAW_TYPE, id, &status);
    if (source == nullptr)
        return Fail("cannot read entry " + std::to_string(id));
    ZipExtractOptions itemOptions = options;
    // The archive's top entry must be the item the resource is named after.
    itemOptions.expectedTopName = name;
    itemOptions.targetName = leaf;
    ZipExtractor extractor;
    status = extractor.Extract(std::move(source), folder.c_str(), itemOptions);
    fEntryWarnings = extractor.Warnings();
    fEntryFiles = extractor.TakeWrittenFiles();
    if (status != B_OK)
        return Fail("entry " + std::to_string(id) + " (" + name + "): " + extractor.ErrorText());
    // Whatever came without a type gets one; the types the entry carried stay.
    // As ever, the outcome of the type detection does not decide the result.
    Libmimeset(destination);
    return true;
}

// Looks the entry up; with raw, also writes its bytes to destination.
bool LibAppResource::FindEntry(const int32& id, const char* destination, bool raw)
{
    fEntryError.clear();
    fEntryWarnings.clear();
    fEntryFiles.clear();
    if (destination == nullptr || destination[0] == '\0')
        return Fail("no destination given");
    const char* name = nullptr;
    size_t size = 0;
    // A missing entry is reported: the caller would otherwise go on as if the
    // item had been installed.
    if (InitCheck() != B_OK || !GetResourceInfo(B_RAW_TYPE, id, &name, &size))
        return Fail("the installer has no entry " + std::to_string(id));
    return !raw || ExtractRaw(id, destination, size);
}

bool LibAppResource::ExtractRaw(const int32& id, const char* destination, size_t size)
{
    // The bytes go to a new file beside the destination and replace it only
    // when complete, so a failure never leaves half a file under its name.
    BPrivate::AtomicFile file;
    status_t status = file.Open(destination, 0644);
    if (status != B_OK)
        return Fail(
            ErrnoText(std::string("cannot create a file beside \"") + destination + "\"", errno));
    int fd = file.Descriptor();
    std::unique_ptr<uint8[]> buffer(new uint8[kCopyChunk]);
    for (size_t offset = 0; offset < size;) {
        size_t chunk = std::min(kCopyChunk, size - offset);
        if (ReadResource(B_RAW_TYPE, id, buffer.get(), off_t(offset), chunk) != B_OK)
            return Fail("cannot read entry " + std::to_string(id));
        for (size_t done = 0; done < chunk;) {
            ssize_t written = pwrite(fd, buffer.get() + done, chunk - done, off_t(offset + done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return Fail(ErrnoText(std::string("cannot write \"") + destination + "\"", errno));
            done += size_t(written);
        }
        offset += chunk;
    }
    status = file.Commit();
    if (status != B_OK)
        return Fail(ErrnoText(std::string("cannot write \"") + destination + "\"", errno));
    return true;
}

bool LibAppResource::CopyResource(const int32& id, const type_code& type, LibAppResource& target)
{
    fEntryError.clear();
    const char* name = nullptr;
    size_t size = 0;
    if (!GetResourceInfo(type, id, &name, &size))
        return Fail("there is no resource " + std::to_string(id) + " to copy");
    std::string savedName(name);
    std::unique_ptr<void, decltype(&std::free)> data(FindResource(type, id, &size), &std::free);
    if (data == nullptr)
        return Fail("cannot read resource " + std::to_string(id));
    target.RemoveResource(type, id);
    if (target.AddResource(type, id, data.get(), size, savedName.c_str()) != B_OK)
        return Fail("cannot copy resource " + std::to_string(id) + ": " + target.ErrorText());
    return true;
}

char* LibAppResource::FindString(const int32& id)
{
    size_t size = 0;
    const void* data = LoadResource(B_STRING_TYPE, id, &size);
    if (data == nullptr || size == 0)
        return nullptr;
    size_t length = strnlen(static_cast<const char*>(data), size);
    if (length == 0)
        return nullptr;
    char* copy = new char[length + 1];
    std::memcpy(copy, data, length);
    copy[length] = '\0';
    return copy;
}
