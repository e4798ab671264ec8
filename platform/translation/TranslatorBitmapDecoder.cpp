// The translation kit's own bitmap stream: a 32-byte big-endian header
// (magic 'bits', bounds as four floats, bytes per row, colour space, data
// size), then the rows of pixels in that colour space.

#include <ImageDecoder.h>

#include <TranslatorFormats.h>

#include <cmath>
#include <cstring>

namespace BPrivate {

namespace {

constexpr size_t kHeaderSize = 32;

uint32 ReadBig32(const uint8* p)
{
    return uint32(p[0]) << 24 | uint32(p[1]) << 16 | uint32(p[2]) << 8 | uint32(p[3]);
}

float BigFloat(const uint8* p)
{
    uint32 bits = ReadBig32(p);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// The pixel count along one side, from the inclusive bounds; 0 when the
// bounds are not whole numbers in order.
uint64 Extent(float from, float to)
{
    if (!std::isfinite(from) || !std::isfinite(to) || to < from || to - from >= float(kMaxImageSide)
        || from != std::floor(from) || to != std::floor(to)) {
        return 0;
    }
    return uint64(to - from) + 1;
}

// The stream's colour space, when it is one the pixel buffer can hold. The
// raw value is checked against the known spaces before it becomes a
// color_space: any other number is not a value of that type.
bool ReadColorSpace(uint32 value, color_space* space)
{
    static const color_space kSpaces[]
        = { B_GRAY1, B_GRAY8, B_CMAP8, B_RGB15, B_RGB15_BIG, B_RGBA15, B_RGBA15_BIG, B_RGB16,
              B_RGB16_BIG, B_RGB24, B_RGB24_BIG, B_RGB32, B_RGB32_BIG, B_RGBA32, B_RGBA32_BIG };
    for (color_space known : kSpaces) {
        if (uint32(known) == value) {
            *space = known;
            return true;
        }
    }
    return false;
}

} // namespace

status_t DecodeTranslatorBitmap(const uint8* data, size_t size, PixelBuffer* out)
{
    if (size < kHeaderSize || ReadBig32(data) != uint32(B_TRANSLATOR_BITMAP))
        return B_BAD_DATA;
    uint64 width = Extent(BigFloat(data + 4), BigFloat(data + 12));
    uint64 height = Extent(BigFloat(data + 8), BigFloat(data + 16));
    uint32 rowBytes = ReadBig32(data + 20);
    color_space space;
    if (!ReadColorSpace(ReadBig32(data + 24), &space))
        return B_NOT_SUPPORTED;
    uint64 dataSize = ReadBig32(data + 28);
    if (!ImageSizeAllowed(width, height, size, 8))
        return width == 0 || height == 0 ? B_BAD_DATA : B_NO_MEMORY;
    if (dataSize > size - kHeaderSize || uint64(rowBytes) * height > dataSize)
        return B_BAD_DATA;
    PixelBuffer source;
    status_t status = source.SetTo(int32(width), int32(height), space, int32(rowBytes));
    if (status != B_OK)
        return status == B_BAD_VALUE ? B_NOT_SUPPORTED : status;
    std::memcpy(source.Bits(), data + kHeaderSize, source.BitsLength());
    return source.ConvertTo(B_RGBA32, out);
}

} // namespace BPrivate
