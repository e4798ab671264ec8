// GIF through giflib's record-by-record reader, so that only the first
// frame is decoded and every allocation is ours to check first. The frame
// is placed on the file's canvas; what it does not cover, and pixels of the
// transparent colour, are transparent.

#include <ImageDecoder.h>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace BPrivate {

namespace {

// One LZW code (at most 12 bits) stands for at most 4096 pixels.
constexpr uint64 kGifPixelsPerByte = 4096 * 8 / 12 + 1;

struct MemoryReader {
    const uint8* data;
    size_t size;
    size_t position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length)
{
    MemoryReader* reader = static_cast<MemoryReader*>(gif->UserData);
    size_t count = std::min(size_t(std::max(length, 0)), reader->size - reader->position);
    std::memcpy(buffer, reader->data + reader->position, count);
    reader->position += count;
    return int(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error;
        DGifCloseFile(gif, &error);
    }
};

// Reads one extension; remembers the transparent colour of a graphic
// control block.
bool ReadExtension(GifFileType* gif, int* transparent)
{
    int code;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4)
        *transparent = (block[1] & 0x01) != 0 ? block[4] : -1;
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

// Reads the rows of the current frame (in interlaced order when it is
// interlaced) into `indices`, one byte per pixel.
bool ReadFrameIndices(GifFileType* gif, std::vector<GifPixelType>* indices)
{
    const GifImageDesc& frame = gif->Image;
    size_t width = size_t(frame.Width);
    indices->assign(width * size_t(frame.Height), 0);
    static const int kStart[4] = { 0, 4, 2, 1 };
    static const int kStep[4] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < (frame.Interlace ? 4 : 1); pass++) {
        int start = frame.Interlace ? kStart[pass] : 0;
        int step = frame.Interlace ? kStep[pass] : 1;
        for (int y = start; y < frame.Height; y += step) {
            if (DGifGetLine(gif, indices->data() + size_t(y) * width, frame.Width) == GIF_ERROR)
                return false;
        }
    }
    return true;
}

void PaintFrame(const GifFileType* gif, const std::vector<GifPixelType>& indices, int transparent,
    PixelBuffer* out)
{
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    int colours = map != nullptr ? map->ColorCount : 0;
    int right = std::min(frame.Left + frame.Width, out->Width());
    int bottom = std::min(frame.Top + frame.Height, out->Height());
    for (int y = frame.Top; y < bottom; y++) {
        const GifPixelType* source = indices.data() + size_t(y - frame.Top) * size_t(frame.Width);
        uint8* row = out->RowAt(y);
        for (int x = frame.Left; x < right; x++) {
            int index = source[x - frame.Left];
            uint8* pixel = row + 4 * x;
            if (index == transparent)
                continue;
            // An index beyond the palette shows black.
            GifColorType colour = index < colours ? map->Colors[index] : GifColorType { 0, 0, 0 };
            pixel[0] = colour.Blue;
            pixel[1] = colour.Green;
            pixel[2] = colour.Red;
            pixel[3] = 255;
        }
    }
}

status_t DecodeFirstFrame(GifFileType* gif, size_t size, int transparent, PixelBuffer* out)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return B_BAD_DATA;
    const GifImageDesc& frame = gif->Image;
    if (frame.Left < 0 || frame.Top < 0 || frame.Width <= 0 || frame.Height <= 0)
        return B_BAD_DATA;
    // A file without a canvas size gets one that fits the frame.
    int width = gif->SWidth > 0 ? gif->SWidth : frame.Left + frame.Width;
    int height = gif->SHeight > 0 ? gif->SHeight : frame.Top + frame.Height;
    if (!ImageSizeAllowed(uint64(width), uint64(height), size, kGifPixelsPerByte)
        || !ImageSizeAllowed(uint64(frame.Width), uint64(frame.Height), size, kGifPixelsPerByte)) {
        return B_NO_MEMORY;
    }
    std::vector<GifPixelType> indices;
    if (!ReadFrameIndices(gif, &indices))
        return B_BAD_DATA;
    status_t status = out->SetTo(width, height, B_RGBA32);
    if (status == B_OK)
        PaintFrame(gif, indices, transparent, out);
    return status;
}

} // namespace

status_t DecodeGif(const uint8* data, size_t size, PixelBuffer* out)
{
    MemoryReader reader = { data, size, 0 };
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, ReadFromMemory, &error));
    if (!gif)
        return B_BAD_DATA;
    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return B_BAD_DATA;
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DecodeFirstFrame(gif.get(), size, transparent, out);
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif.get(), &transparent))
                return B_BAD_DATA;
        } else {
            // The end of the file (or an unknown record) before any frame.
            return B_BAD_DATA;
        }
    }
}

} // namespace BPrivate
