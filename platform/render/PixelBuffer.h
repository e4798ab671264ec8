#pragma once

// PixelBuffer: the pixel storage behind the interface kit's bitmaps, in any
// of the platform's simple colour spaces, with the platform's row layout,
// conversion to and from Cairo's premultiplied ARGB32 and PNG files.

#include <GraphicsDefs.h>

#include <memory>
#include <vector>

namespace BPrivate {

// Asks for the default row size (the raw size rounded up to 4 bytes).
constexpr int32 kAnyBytesPerRow = -1;

// How transparency is read when pixels are handed to the drawing layer.
enum class Transparency {
    // The alpha channel, or the transparent magic value (B_CMAP8 index 255,
    // the B_RGB32 colour 0x777477), makes a pixel transparent.
    kKeep,
    // Every pixel is opaque with the colour it stores (the magic values show
    // their own colours).
    kOpaque,
};

class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int32 width, int32 height, color_space space, int32 bytesPerRow = kAnyBytesPerRow);
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    ~PixelBuffer() = default;

    // Allocates a zeroed buffer. B_BAD_VALUE for an empty size, an
    // unsupported colour space, or a row size smaller than the default;
    // B_NO_MEMORY when it is too large. On failure the buffer is empty.
    status_t SetTo(
        int32 width, int32 height, color_space space, int32 bytesPerRow = kAnyBytesPerRow);
    void Unset();
    status_t InitCheck() const { return fStatus; }
    bool IsValid() const { return fStatus == B_OK; }

    int32 Width() const { return fWidth; }
    int32 Height() const { return fHeight; }
    int32 BytesPerRow() const { return fBytesPerRow; }
    color_space ColorSpace() const { return fSpace; }
    uint8* Bits() { return fBits.get(); }
    const uint8* Bits() const { return fBits.get(); }
    size_t BitsLength() const { return size_t(fBytesPerRow) * size_t(fHeight); }
    uint8* RowAt(int32 y) { return fBits.get() + size_t(y) * size_t(fBytesPerRow); }
    const uint8* RowAt(int32 y) const { return fBits.get() + size_t(y) * size_t(fBytesPerRow); }

    // Straight-alpha colour of one pixel (transparent black outside).
    rgb_color PixelAt(int32 x, int32 y) const;
    void SetPixelAt(int32 x, int32 y, rgb_color color);
    void Fill(rgb_color color);

    // Copies `length` bytes of pixel data given in colour space `space` into
    // the buffer, starting `offset` bytes into it. In the buffer's own colour
    // space the bytes are copied as they are (at most to the end). In another
    // space the data is converted row by row; its rows are `bytesPerRow`
    // long (the default for that space when kAnyBytesPerRow), and `offset`
    // must then fall on the start of a row.
    status_t ImportBits(const void* data, size_t length, int32 offset, color_space space,
        int32 bytesPerRow = kAnyBytesPerRow);

    // A copy of the pixels in another colour space.
    status_t ConvertTo(color_space space, PixelBuffer* out) const;

    // Writes the pixels as premultiplied native-endian ARGB32 words (Cairo's
    // image format) into `destination`, whose rows are `stride` bytes apart (a
    // multiple of 4).
    void ExportARGB32(uint32* destination, int32 stride, Transparency mode) const;

    // Reads premultiplied ARGB32 pixels of the buffer's size back into the
    // buffer's colour space (pixels with alpha below 128 become the space's
    // transparent magic value where it has one).
    void ImportARGB32(const uint32* source, int32 stride);

    // PNG files, 8 bits per channel. Opaque pixels are written without an
    // alpha channel. Reading gives B_RGBA32 when the file has transparency
    // and B_RGB32 otherwise.
    status_t WritePNG(const char* path) const;
    status_t EncodePNG(std::vector<uint8>* out) const;
    static status_t ReadPNG(const char* path, PixelBuffer* out);
    static status_t DecodePNG(const void* data, size_t length, PixelBuffer* out);

    // The largest width or height accepted, and the largest buffer: limits
    // that keep a hostile file from asking for gigabytes.
    static constexpr int32 kMaxDimension = 32768;
    static constexpr size_t kMaxBytes = size_t(512) * 1024 * 1024;

private:
    std::unique_ptr<uint8[]> fBits;
    int32 fWidth = 0;
    int32 fHeight = 0;
    int32 fBytesPerRow = 0;
    color_space fSpace = B_NO_COLOR_SPACE;
    status_t fStatus = B_NO_INIT;
};

} // namespace BPrivate
