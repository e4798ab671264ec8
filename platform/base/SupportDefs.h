#pragma once

// Basic types of the BeOS API with fixed widths. int32 is a 32-bit type even on
// this 64-bit platform (never long, which is 64 bits here).

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include <Errors.h>

typedef std::int8_t int8;
typedef std::uint8_t uint8;
typedef std::int16_t int16;
typedef std::uint16_t uint16;
typedef std::int32_t int32;
typedef std::uint32_t uint32;
typedef std::int64_t int64;
typedef std::uint64_t uint64;

typedef volatile int8 vint8;
typedef volatile uint8 vuint8;
typedef volatile int16 vint16;
typedef volatile uint16 vuint16;
typedef volatile int32 vint32;
typedef volatile uint32 vuint32;
typedef volatile int64 vint64;
typedef volatile uint64 vuint64;

typedef int32 status_t;
typedef int64 bigtime_t;
typedef int64 nanotime_t;
typedef uint32 type_code;
typedef uint32 perform_code;

typedef unsigned char uchar;
typedef unsigned short unichar;

static_assert(sizeof(off_t) == 8, "off_t must be 64-bit");

#ifndef NULL
#define NULL 0
#endif

#ifndef min_c
#define min_c(a, b) ((a) > (b) ? (b) : (a))
#endif
#ifndef max_c
#define max_c(a, b) ((a) > (b) ? (a) : (b))
#endif

#define B_EMPTY_STRING ""

// Four-character codes such as 'CSTR' are multi-character literals: the first
// character lands in the most significant byte, as on BeOS.
constexpr uint32 MakeTypeCode(const char (&code)[5])
{
    return (uint32(uint8(code[0])) << 24) | (uint32(uint8(code[1])) << 16)
        | (uint32(uint8(code[2])) << 8) | uint32(uint8(code[3]));
}
