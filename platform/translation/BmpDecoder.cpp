// Windows and OS/2 bitmaps (BMP): 1, 4 and 8-bit palette images and 16,
// 24 and 32-bit colour, stored bottom-up or top-down, uncompressed (BI_RGB)
// or with channel masks (BI_BITFIELDS, BI_ALPHABITFIELDS). Run-length
// compressed and embedded JPEG or PNG bitmaps are refused. Every offset and
// length is checked against the file before it is used.

#include <ImageDecoder.h>

#include <bit>
#include <cstdint>
#include <cstring>

namespace BPrivate {

namespace {

constexpr uint32 kFileHeaderSize = 14;
constexpr uint32 kCoreHeaderSize = 12;
constexpr uint32 kInfoHeaderSize = 40;
constexpr uint32 kOs2HeaderSize = 64;
constexpr uint32 kRgb = 0;
constexpr uint32 kBitFields = 3;
constexpr uint32 kAlphaBitFields = 6;

uint16 Little16(const uint8* p)
{
    return uint16(p[0] | p[1] << 8);
}

uint32 Little32(const uint8* p)
{
    return uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24;
}

// One colour channel given by a mask: where it sits and how wide it is.
struct Channel {
    uint32 mask = 0;
    int shift = 0;
    uint32 maximum = 0;

    explicit Channel(uint32 bits = 0)
        : mask(bits)
    {
        if (bits == 0)
            return;
        shift = std::countr_zero(bits);
        // Only the lowest run of set bits counts; a mask with gaps is read
        // as if the gaps were not there.
        int width = std::countr_one(bits >> shift);
        maximum = width >= 32 ? 0xffffffffu : (1u << width) - 1;
    }

    uint8 Read(uint32 pixel, uint8 missing) const
    {
        if (mask == 0)
            return missing;
        uint64 value = (pixel >> shift) & maximum;
        return uint8((value * 255 + maximum / 2) / maximum);
    }
};

struct BmpInfo {
    uint32 width = 0;
    uint32 height = 0;
    bool topDown = false;
    uint32 bits = 0;
    uint32 compression = kRgb;
    Channel red, green, blue, alpha;
    // Palette entries: where they start, how many, and their size (3 bytes
    // in the OS/2 header, 4 otherwise).
    size_t paletteOffset = 0;
    uint32 paletteCount = 0;
    uint32 paletteEntrySize = 4;
    size_t pixelOffset = 0;
};

void SetDefaultMasks(BmpInfo* info)
{
    if (info->bits == 16) {
        info->red = Channel(0x7c00);
        info->green = Channel(0x03e0);
        info->blue = Channel(0x001f);
    } else {
        info->red = Channel(0x00ff0000);
        info->green = Channel(0x0000ff00);
        info->blue = Channel(0x000000ff);
    }
}

// Reads the masks of a bitfields image: inside a long header, or right
// after a short one.
bool ReadMasks(const uint8* data, size_t size, uint32 headerSize, BmpInfo* info)
{
    size_t at = kFileHeaderSize + kInfoHeaderSize;
    size_t count = info->compression == kAlphaBitFields || headerSize >= 56 ? 4 : 3;
    if (size < at + 4 * count)
        return false;
    info->red = Channel(Little32(data + at));
    info->green = Channel(Little32(data + at + 4));
    info->blue = Channel(Little32(data + at + 8));
    if (count == 4)
        info->alpha = Channel(Little32(data + at + 12));
    if (headerSize == kInfoHeaderSize)
        info->paletteOffset += 4 * count;
    return true;
}

status_t ReadInfoHeader(const uint8* data, size_t size, uint32 headerSize, BmpInfo* info)
{
    const uint8* header = data + kFileHeaderSize;
    int32 width = int32(Little32(header + 4));
    int32 height = int32(Little32(header + 8));
    if (Little16(header + 12) != 1 || width <= 0 || height == 0 || height == INT32_MIN)
        return B_BAD_DATA;
    info->width = uint32(width);
    info->topDown = height < 0;
    info->height = uint32(height < 0 ? -height : height);
    info->bits = Little16(header + 14);
    info->compression = Little32(header + 16);
    info->paletteCount = Little32(header + 32);
    info->paletteOffset = kFileHeaderSize + headerSize;
    // The OS/2 2.x header uses the same numbers for other compressions.
    if (headerSize == kOs2HeaderSize && info->compression != kRgb)
        return B_NOT_SUPPORTED;
    if (info->compression == kRgb) {
        SetDefaultMasks(info);
        return B_OK;
    }
    bool masked = info->compression == kBitFields || info->compression == kAlphaBitFields;
    if (!masked || (info->bits != 16 && info->bits != 32))
        return B_NOT_SUPPORTED;
    return ReadMasks(data, size, headerSize, info) ? B_OK : B_BAD_DATA;
}

status_t ReadHeaders(const uint8* data, size_t size, BmpInfo* info)
{
    if (size < kFileHeaderSize + kCoreHeaderSize)
        return B_BAD_DATA;
    info->pixelOffset = Little32(data + 10);
    uint32 headerSize = Little32(data + kFileHeaderSize);
    if (headerSize == kCoreHeaderSize) {
        const uint8* header = data + kFileHeaderSize;
        info->width = Little16(header + 4);
        info->height = Little16(header + 6);
        info->bits = Little16(header + 10);
        info->paletteEntrySize = 3;
        info->paletteOffset = kFileHeaderSize + kCoreHeaderSize;
        if (Little16(header + 8) != 1 || info->width == 0 || info->height == 0)
            return B_BAD_DATA;
        SetDefaultMasks(info);
    } else if (headerSize >= kInfoHeaderSize && headerSize <= size - kFileHeaderSize) {
        status_t status = ReadInfoHeader(data, size, headerSize, info);
        if (status != B_OK)
            return status;
    } else {
        return B_BAD_DATA;
    }
    switch (info->bits) {
    case 1:
    case 4:
    case 8:
        if (info->paletteCount == 0 || info->paletteCount > (1u << info->bits))
            info->paletteCount = 1u << info->bits;
        return B_OK;
    case 16:
    case 24:
    case 32:
        return info->bits == 24 && info->compression != kRgb ? B_NOT_SUPPORTED : B_OK;
    default:
        return B_NOT_SUPPORTED;
    }
}

uint32 ReadPixelValue(const uint8* row, uint32 x, uint32 bits)
{
    switch (bits) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 0x1;
    case 4:
        return (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xf;
    case 8:
        return row[x];
    case 16:
        return Little16(row + 2 * x);
    case 24:
        return uint32(row[3 * x]) | uint32(row[3 * x + 1]) << 8 | uint32(row[3 * x + 2]) << 16;
    default:
        return Little32(row + 4 * x);
    }
}

void DecodeRow(const uint8* data, const BmpInfo& info, const uint8* source, uint8* target)
{
    for (uint32 x = 0; x < info.width; x++, target += 4) {
        uint32 value = ReadPixelValue(source, x, info.bits);
        if (info.bits <= 8) {
            // An index past the palette shows black.
            if (value < info.paletteCount) {
                const uint8* entry = data + info.paletteOffset + value * info.paletteEntrySize;
                std::memcpy(target, entry, 3);
            } else {
                std::memset(target, 0, 3);
            }
            target[3] = 255;
            continue;
        }
        target[0] = info.blue.Read(value, 0);
        target[1] = info.green.Read(value, 0);
        target[2] = info.red.Read(value, 0);
        target[3] = info.alpha.Read(value, 255);
    }
}

} // namespace

status_t DecodeBmp(const uint8* data, size_t size, PixelBuffer* out)
{
    BmpInfo info;
    status_t status = ReadHeaders(data, size, &info);
    if (status != B_OK)
        return status;
    if (!ImageSizeAllowed(info.width, info.height, size, 8))
        return B_NO_MEMORY;
    uint64 stride = (uint64(info.width) * info.bits + 31) / 32 * 4;
    uint64 lastRow = (uint64(info.width) * info.bits + 7) / 8;
    // The last row may lack its padding; everything else must be there.
    uint64 pixelBytes = stride * (info.height - 1) + lastRow;
    uint64 paletteEnd = info.paletteOffset + uint64(info.paletteCount) * info.paletteEntrySize;
    if (info.bits <= 8 && paletteEnd > size)
        return B_BAD_DATA;
    if (info.pixelOffset > size || pixelBytes > size - info.pixelOffset)
        return B_BAD_DATA;
    status = out->SetTo(int32(info.width), int32(info.height), B_RGBA32);
    if (status != B_OK)
        return status;
    for (uint32 y = 0; y < info.height; y++) {
        const uint8* source = data + info.pixelOffset + stride * y;
        uint32 targetRow = info.topDown ? y : info.height - 1 - y;
        DecodeRow(data, info, source, out->RowAt(int32(targetRow)));
    }
    return B_OK;
}

} // namespace BPrivate
