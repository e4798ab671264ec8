#include <ImageDecoder.h>

#include <cstring>

namespace BPrivate {

namespace {

// Pixels a decoder may always allocate, whatever the input's size: a
// megabyte of image.
constexpr uint64 kFreePixels = 256 * 1024;

} // namespace

ImageFormat DetectImageFormat(const uint8* data, size_t size)
{
    static const uint8 kPng[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    if (data == nullptr || size < 4)
        return ImageFormat::kUnknown;
    if (size >= 8 && std::memcmp(data, kPng, 8) == 0)
        return ImageFormat::kPng;
    if (data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff)
        return ImageFormat::kJpeg;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return ImageFormat::kGif;
    if (data[0] == 'B' && data[1] == 'M')
        return ImageFormat::kBmp;
    if (std::memcmp(data, "bits", 4) == 0)
        return ImageFormat::kTranslatorBitmap;
    return ImageFormat::kUnknown;
}

status_t DecodeImage(const uint8* data, size_t size, PixelBuffer* out)
{
    if (out == nullptr)
        return B_BAD_VALUE;
    out->Unset();
    if (size > kMaxImageFileSize)
        return B_NO_MEMORY;
    status_t status;
    switch (DetectImageFormat(data, size)) {
    case ImageFormat::kPng:
        status = DecodePng(data, size, out);
        break;
    case ImageFormat::kJpeg:
        status = DecodeJpeg(data, size, out);
        break;
    case ImageFormat::kGif:
        status = DecodeGif(data, size, out);
        break;
    case ImageFormat::kBmp:
        status = DecodeBmp(data, size, out);
        break;
    case ImageFormat::kTranslatorBitmap:
        status = DecodeTranslatorBitmap(data, size, out);
        break;
    default:
        return B_NOT_SUPPORTED;
    }
    if (status != B_OK) {
        out->Unset();
        return status;
    }
    MarkOpaqueImage(out);
    return B_OK;
}

bool ImageSizeAllowed(uint64 width, uint64 height, size_t inputSize, uint64 pixelsPerByte)
{
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
        return false;
    uint64 pixels = width * height;
    return pixels <= kMaxImagePixels && pixels <= kFreePixels + uint64(inputSize) * pixelsPerByte;
}

void MarkOpaqueImage(PixelBuffer* buffer)
{
    if (buffer->ColorSpace() != B_RGBA32)
        return;
    for (int32 y = 0; y < buffer->Height(); y++) {
        const uint8* row = buffer->RowAt(y);
        for (int32 x = 0; x < buffer->Width(); x++) {
            if (row[4 * x + 3] != 255)
                return;
        }
    }
    // B_RGB32 has the same layout; its fourth byte is simply not read.
    PixelBuffer opaque;
    if (buffer->ConvertTo(B_RGB32, &opaque) == B_OK)
        *buffer = std::move(opaque);
}

} // namespace BPrivate
