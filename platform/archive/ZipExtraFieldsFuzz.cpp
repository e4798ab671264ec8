// libFuzzer target: the zip extra-field parsers on arbitrary bytes. What a
// parser accepts must survive being written and read again.

#include "ZipExtraFields.h"

#include <cstdlib>

using namespace BPrivate;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8> bytes(data, size);
    std::vector<ZipExtraBlock> blocks;
    if (SplitExtraArea(bytes, &blocks) == B_OK && JoinExtraBlocks(blocks).size() > size)
        abort();

    std::vector<ZipAttribute> attributes;
    if (ParseBeAttributesField(bytes, &attributes) == B_OK) {
        std::vector<uint8> local, central;
        std::vector<ZipAttribute> again;
        if (BuildBeAttributesField(attributes, 6, &local, &central) == B_OK
            && (ParseBeAttributesField(local, &again) != B_OK || again != attributes))
            abort();
    }
    ParseAttributeStream(bytes, &attributes);

    ZipTimestamps times;
    if (ParseTimestampField(bytes, &times) == B_OK) {
        ZipTimestamps again;
        if (ParseTimestampField(BuildTimestampField(times, false), &again) != B_OK
            || again.modified != times.modified || again.accessed != times.accessed
            || again.created != times.created)
            abort();
    }
    ZipOwner owner;
    if (ParseUnixOwnerField(bytes, &owner) == B_OK) {
        ZipOwner again;
        if (ParseUnixOwnerField(BuildUnixOwnerField(owner), &again) != B_OK
            || again.uid != owner.uid || again.gid != owner.gid)
            abort();
    }
    ParseUnixOwner16Field(bytes, &owner);
    return 0;
}
