// PNG through the drawing layer's libpng reader, which handles every colour
// type (palette, grey, with alpha or a transparent colour), bit depth and
// interlacing. The image's size is checked here first, from the header.

#include <ImageDecoder.h>

namespace BPrivate {

namespace {

// Deflate packs at most 1032 bytes into one; a 1-bit image packs eight
// pixels into a byte.
constexpr uint64 kPngPixelsPerByte = 1032 * 8;

uint32 Big32(const uint8* p)
{
    return uint32(p[0]) << 24 | uint32(p[1]) << 16 | uint32(p[2]) << 8 | uint32(p[3]);
}

} // namespace

status_t DecodePng(const uint8* data, size_t size, PixelBuffer* out)
{
    // The signature, then the header chunk: length 13, "IHDR", width, height.
    if (size < 33 || Big32(data + 8) != 13 || Big32(data + 12) != 0x49484452)
        return B_BAD_DATA;
    if (!ImageSizeAllowed(Big32(data + 16), Big32(data + 20), size, kPngPixelsPerByte))
        return B_NO_MEMORY;
    return PixelBuffer::DecodePNG(data, size, out);
}

} // namespace BPrivate
