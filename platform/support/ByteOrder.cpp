#include <ByteOrder.h>

namespace {

// The width of one swappable word of each type, or 0 for types left alone.
size_t SwapWordSize(type_code type)
{
    switch (type) {
    case B_INT16_TYPE:
    case B_UINT16_TYPE:
        return 2;
    case B_FLOAT_TYPE:
    case B_INT32_TYPE:
    case B_UINT32_TYPE:
    case B_TIME_TYPE:
    case B_RECT_TYPE:
    case B_POINT_TYPE:
    case B_SIZE_TYPE:
    case B_MESSENGER_TYPE:
        return 4;
    case B_DOUBLE_TYPE:
    case B_INT64_TYPE:
    case B_UINT64_TYPE:
    case B_OFF_T_TYPE:
    case B_SIZE_T_TYPE:
    case B_SSIZE_T_TYPE:
    case B_POINTER_TYPE:
        return 8;
    default:
        return 0;
    }
}

} // namespace

bool is_type_swapped(type_code type)
{
    return SwapWordSize(type) != 0;
}

status_t swap_data(type_code type, void* data, size_t size, swap_action action)
{
    if (data == nullptr && size != 0)
        return B_BAD_VALUE;
    // On a little-endian host only conversions from or to big-endian (and
    // unconditional swaps) change anything.
    if (action == B_SWAP_HOST_TO_LENDIAN || action == B_SWAP_LENDIAN_TO_HOST)
        return B_OK;

    size_t word = SwapWordSize(type);
    auto* bytes = static_cast<uint8*>(data);
    for (size_t offset = 0; word != 0 && offset + word <= size; offset += word) {
        switch (word) {
        case 2:
            WriteUnaligned(bytes + offset, SwapUInt16(ReadUnaligned<uint16>(bytes + offset)));
            break;
        case 4:
            WriteUnaligned(bytes + offset, SwapUInt32(ReadUnaligned<uint32>(bytes + offset)));
            break;
        default:
            WriteUnaligned(bytes + offset, SwapUInt64(ReadUnaligned<uint64>(bytes + offset)));
            break;
        }
    }
    return B_OK;
}
