#include "LibResourceLookup.h"

#include <TypeConstants.h>

#include <cstring>

namespace {

// The data of (type, id) when it has exactly `size` bytes.
const void* FindExact(BResources& resources, type_code type, int32 id, size_t size)
{
    size_t found = 0;
    const void* data = resources.LoadResource(type, id, &found);
    return data != nullptr && found == size ? data : nullptr;
}

} // namespace

bool LibFindRGBResource(BResources& resources, const int32& id, rgb_color& color)
{
    const auto* data = static_cast<const uint8*>(FindExact(resources, B_RGB_COLOR_TYPE, id, 4));
    if (data == nullptr)
        return false;
    color.red = data[0];
    color.green = data[1];
    color.blue = data[2];
    color.alpha = data[3];
    return true;
}

bool LibFindRectResource(BResources& resources, const int32& id, BRect& rect)
{
    const void* data = FindExact(resources, B_RECT_TYPE, id, 4 * sizeof(float));
    if (data == nullptr)
        return false;
    float sides[4];
    std::memcpy(sides, data, sizeof(sides));
    rect.Set(sides[0], sides[1], sides[2], sides[3]);
    return true;
}

bool LibFindShortResource(BResources& resources, const int32& id, int8& value)
{
    const void* data = FindExact(resources, B_INT8_TYPE, id, 1);
    if (data == nullptr)
        return false;
    std::memcpy(&value, data, 1);
    return true;
}

bool LibFindLongResource(BResources& resources, const int32& id, int32& value)
{
    const void* data = FindExact(resources, B_INT32_TYPE, id, 4);
    if (data == nullptr)
        return false;
    std::memcpy(&value, data, 4);
    return true;
}

bool LibFindBoolResource(BResources& resources, const int32& id, bool& value)
{
    const void* data = FindExact(resources, B_BOOL_TYPE, id, 1);
    if (data == nullptr)
        return false;
    value = *static_cast<const uint8*>(data) != 0;
    return true;
}

bool LibFindStringResource(
    BResources& resources, const int32& id, char* buffer, const size_t& bufferSize)
{
    if (buffer == nullptr || bufferSize == 0)
        return false;
    buffer[0] = '\0';
    size_t size = 0;
    const void* data = resources.LoadResource(B_STRING_TYPE, id, &size);
    if (data == nullptr)
        return false;
    // The caller's buffer has a size: a longer text is cut rather than
    // written past its end.
    size_t length = strnlen(static_cast<const char*>(data), size);
    length = std::min(length, bufferSize - 1);
    std::memcpy(buffer, data, length);
    buffer[length] = '\0';
    return true;
}
