#include "ResourceFormat.h"

namespace BPrivate {

uint32 InfoTableChecksum(const uint8* data, size_t size)
{
    uint32 sum = 0;
    size_t whole = size - size % 4;
    for (size_t i = 0; i < whole; i += 4) {
        sum += (uint32(data[i]) << 24) | (uint32(data[i + 1]) << 16) | (uint32(data[i + 2]) << 8)
            | uint32(data[i + 3]);
    }
    uint32 rest = 0;
    for (size_t i = whole; i < size; i++)
        rest = (rest << 8) | data[i];
    return sum + rest;
}

} // namespace BPrivate
