#pragma once

// Byte-order helpers of the BeOS API. This platform is little-endian (x86-64).

#include <bit>
#include <cstring>

#include <SupportDefs.h>
#include <TypeConstants.h>

static_assert(std::endian::native == std::endian::little, "only little-endian hosts are supported");

#define B_HOST_IS_LENDIAN 1
#define B_HOST_IS_BENDIAN 0

enum swap_action {
    B_SWAP_HOST_TO_LENDIAN,
    B_SWAP_HOST_TO_BENDIAN,
    B_SWAP_LENDIAN_TO_HOST,
    B_SWAP_BENDIAN_TO_HOST,
    B_SWAP_ALWAYS
};

constexpr uint16 SwapUInt16(uint16 value)
{
    return uint16((value >> 8) | (value << 8));
}

constexpr uint32 SwapUInt32(uint32 value)
{
    return __builtin_bswap32(value);
}

constexpr uint64 SwapUInt64(uint64 value)
{
    return __builtin_bswap64(value);
}

inline float SwapFloat(float value)
{
    uint32 bits;
    std::memcpy(&bits, &value, sizeof(bits));
    bits = SwapUInt32(bits);
    std::memcpy(&value, &bits, sizeof(bits));
    return value;
}

inline double SwapDouble(double value)
{
    uint64 bits;
    std::memcpy(&bits, &value, sizeof(bits));
    bits = SwapUInt64(bits);
    std::memcpy(&value, &bits, sizeof(bits));
    return value;
}

#define B_SWAP_INT16(x) SwapUInt16(uint16(x))
#define B_SWAP_INT32(x) SwapUInt32(uint32(x))
#define B_SWAP_INT64(x) SwapUInt64(uint64(x))
#define B_SWAP_FLOAT(x) SwapFloat(x)
#define B_SWAP_DOUBLE(x) SwapDouble(x)

#define B_HOST_TO_LENDIAN_INT16(x) (uint16(x))
#define B_HOST_TO_LENDIAN_INT32(x) (uint32(x))
#define B_HOST_TO_LENDIAN_INT64(x) (uint64(x))
#define B_LENDIAN_TO_HOST_INT16(x) (uint16(x))
#define B_LENDIAN_TO_HOST_INT32(x) (uint32(x))
#define B_LENDIAN_TO_HOST_INT64(x) (uint64(x))
#define B_HOST_TO_BENDIAN_INT16(x) B_SWAP_INT16(x)
#define B_HOST_TO_BENDIAN_INT32(x) B_SWAP_INT32(x)
#define B_HOST_TO_BENDIAN_INT64(x) B_SWAP_INT64(x)
#define B_BENDIAN_TO_HOST_INT16(x) B_SWAP_INT16(x)
#define B_BENDIAN_TO_HOST_INT32(x) B_SWAP_INT32(x)
#define B_BENDIAN_TO_HOST_INT64(x) B_SWAP_INT64(x)

// Swaps the items of a buffer of the given type in place, as BeOS does when it
// reads data written on a machine of the other byte order. Types without a
// numeric layout (strings, raw data, messages) are left alone. size is the
// buffer's length in bytes; trailing bytes that do not fill a whole item are
// not touched.
status_t swap_data(type_code type, void* data, size_t size, swap_action action);

// Whether swap_data changes items of this type.
bool is_type_swapped(type_code type);

// Reading and writing integers at unaligned positions of a byte buffer.
template <typename T> inline T ReadUnaligned(const void* from)
{
    T value;
    std::memcpy(&value, from, sizeof(T));
    return value;
}

template <typename T> inline void WriteUnaligned(void* to, T value)
{
    std::memcpy(to, &value, sizeof(T));
}
