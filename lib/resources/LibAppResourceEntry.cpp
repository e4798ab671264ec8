// LibAppResource::AddEntry, apart from the rest of the class: storing an
// entry writes a zip archive, which needs the zip writer (and libzip); the
// programs that only read entries, the installer and the de-installer, then
// leave it out.

#include "LibAppResource.h"

#include <TypeConstants.h>
#include <ZipWriter.h>

#include <string>

using BPrivate::ZipWriteOptions;
using BPrivate::ZipWriter;

BPrivate::ZipWriteOptions LibAppResource::EntryOptions(const int32& compression)
{
    ZipWriteOptions options;
    options.level = compression;
    // The installer gives what it installs to the user who installs it, so
    // the owner on the author's machine would only be a leak.
    options.storeOwner = false;
    options.storeAccessTime = false;
    options.dosTimeInUtc = true;
    return options;
}

bool LibAppResource::AddEntry(
    const char* source, const int32& id, const char* name, const int32& compression)
{
    return AddEntry(source, id, name, EntryOptions(compression));
}

bool LibAppResource::AddEntry(
    const char* source, const int32& id, const char* name, const ZipWriteOptions& entryOptions)
{
    fEntryError.clear();
    if (source == nullptr || name == nullptr || name[0] == '\0')
        return Fail("an entry needs a source and a name");
    if (entryOptions.level < 0 || entryOptions.level > 9)
        return Fail("the compression level must be 0 to 9");
    ZipWriteOptions options = entryOptions;
    options.topName = name;
    ZipWriter writer;
    // The archive is written straight into its place in the file, as it is
    // made: no copy of it exists anywhere else, on disk or in memory.
    status_t status = AddStreamedResource(B_RAW_TYPE, id, name,
        [&](BPositionIO& data) { return writer.WriteArchive(source, data, options); });
    // The container's offsets are 32-bit: the archive, not the item, must
    // fit below 4 GiB with everything stored before it.
    if (status == B_BUFFER_OVERFLOW)
        return Fail(std::string("\"") + source + "\": its archive does not fit: " + ErrorText());
    if (status != B_OK && !writer.ErrorText().empty())
        return Fail(std::string("\"") + source + "\": " + writer.ErrorText());
    if (status != B_OK)
        return Fail("cannot store entry " + std::to_string(id) + ": " + ErrorText());
    return true;
}
