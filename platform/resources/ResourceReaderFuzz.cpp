// libFuzzer target: locating and reading a resource container from arbitrary
// bytes, then writing what was accepted and reading it back.

#include "ResourceContainer.h"
#include "ResourceIO.h"
#include "ResourceLocation.h"
#include "ResourceReader.h"
#include "ResourceWriter.h"

#include <cstdlib>
#include <span>
#include <string>
#include <vector>

using namespace BPrivate;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResourceMemoryIO io(std::span<const uint8>(data, size), false);
    ResourceFileLayout layout;
    std::string error;
    ResourceContainer container;
    if (LocateResourceContainer(io, &layout, &error) != B_OK
        || ReadResourceContainer(io, layout.containerOffset, layout.fileSize, &container, &error)
            != B_OK)
        return 0;
    for (int32 i = 0; i < container.CountItems(); i++) {
        const ResourceItem& item = *container.ItemAt(i);
        std::vector<uint8> bytes(item.size);
        if (ReadResourceData(io, layout.containerOffset, item, 0, bytes.data(), item.size) != B_OK)
            abort();
    }
    ResourceMemoryIO out;
    if (WriteResourceContainer(out, 0, container, &error, &io, layout.containerOffset) != B_OK)
        abort();
    ResourceContainer again;
    if (ReadResourceContainer(out, 0, off_t(out.Bytes().size()), &again, &error) != B_OK
        || again.CountItems() != container.CountItems())
        abort();
    return 0;
}
