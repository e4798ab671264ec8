#pragma once

// Decoding image files into pixels: PNG (libpng), JPEG (libjpeg), GIF
// (giflib, the first frame), BMP and the platform's own bitmap stream
// ('bits'), all from bytes in memory. The bytes are untrusted: every
// decoder checks sizes before it allocates, and a damaged or hostile file
// gives an error, never a crash or an outsized allocation.

#include <PixelBuffer.h>

#include <cstddef>

namespace BPrivate {

enum class ImageFormat { kUnknown, kPng, kJpeg, kGif, kBmp, kTranslatorBitmap };

// The largest width or height accepted, and the most pixels.
constexpr uint32 kMaxImageSide = 16384;
constexpr uint64 kMaxImagePixels = uint64(64) * 1024 * 1024;
// Image files larger than this are not read.
constexpr size_t kMaxImageFileSize = size_t(256) * 1024 * 1024;

// Recognises a format by the file's first bytes.
ImageFormat DetectImageFormat(const uint8* data, size_t size);

// Decodes an image of any of the formats above into a B_RGBA32 buffer, or
// B_RGB32 when every pixel is opaque. B_BAD_DATA for damaged data,
// B_NOT_SUPPORTED for an unknown format or an unsupported variant,
// B_NO_MEMORY for an image beyond the limits.
status_t DecodeImage(const uint8* data, size_t size, PixelBuffer* out);

// Whether an image of this size may be decoded from `inputSize` bytes of a
// format that packs at most `pixelsPerByte` pixels into a byte (the best
// its compression can do). This keeps a small file from making us allocate
// a huge image that the data could never fill.
bool ImageSizeAllowed(uint64 width, uint64 height, size_t inputSize, uint64 pixelsPerByte);

// Makes the buffer B_RGB32 when all of its B_RGBA32 pixels are opaque.
void MarkOpaqueImage(PixelBuffer* buffer);

// The decoders; each expects data of its own format.
status_t DecodePng(const uint8* data, size_t size, PixelBuffer* out);
status_t DecodeJpeg(const uint8* data, size_t size, PixelBuffer* out);
status_t DecodeGif(const uint8* data, size_t size, PixelBuffer* out);
status_t DecodeBmp(const uint8* data, size_t size, PixelBuffer* out);
status_t DecodeTranslatorBitmap(const uint8* data, size_t size, PixelBuffer* out);

} // namespace BPrivate
