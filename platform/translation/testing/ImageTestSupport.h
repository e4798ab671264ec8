#pragma once

// Small image files made in the tests themselves, each with an independent
// writer (libpng through the drawing layer, libjpeg, giflib, BMP and the
// bitmap stream by hand), so that the decoders are checked against files
// they did not write.

#include <PixelBuffer.h>
#include <TranslatorFormats.h>

#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace brenvik::test {

using Bytes = std::vector<uint8>;

// The test picture: a colour gradient whose alpha falls from the left,
// `width` x `height` (odd sizes catch row padding mistakes).
inline rgb_color TestColor(int32 x, int32 y, bool opaque)
{
    return rgb_color { uint8(20 + x * 37 % 230), uint8(200 - y * 23 % 180),
        uint8((x * y * 7) % 256), uint8(opaque ? 255 : 255 - x * 9 % 256) };
}

inline BPrivate::PixelBuffer TestPicture(int32 width, int32 height, bool opaque)
{
    BPrivate::PixelBuffer buffer(width, height, B_RGBA32);
    for (int32 y = 0; y < height; y++) {
        for (int32 x = 0; x < width; x++)
            buffer.SetPixelAt(x, y, TestColor(x, y, opaque));
    }
    return buffer;
}

inline void PutLittle16(Bytes* out, uint32 value)
{
    out->push_back(uint8(value));
    out->push_back(uint8(value >> 8));
}

inline void PutLittle32(Bytes* out, uint32 value)
{
    PutLittle16(out, value & 0xffff);
    PutLittle16(out, value >> 16);
}

inline void PutBig32(Bytes* out, uint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(uint8(value >> shift));
}

inline Bytes MakePng(const BPrivate::PixelBuffer& picture)
{
    Bytes bytes;
    picture.EncodePNG(&bytes);
    return bytes;
}

// A baseline JPEG without chroma subsampling at the best quality.
inline Bytes MakeJpeg(const BPrivate::PixelBuffer& picture, bool grey = false)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(picture.Width());
    info.image_height = JDIMENSION(picture.Height());
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int i = 0; i < info.num_components; i++)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8> row(size_t(picture.Width()) * 3);
    for (int32 y = 0; y < picture.Height(); y++) {
        for (int32 x = 0; x < picture.Width(); x++) {
            rgb_color color = picture.PixelAt(x, y);
            if (grey) {
                row[size_t(x)] = color.green;
            } else {
                row[size_t(x) * 3] = color.red;
                row[size_t(x) * 3 + 1] = color.green;
                row[size_t(x) * 3 + 2] = color.blue;
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// The 16-colour palette of the GIF and paletted BMP pictures.
inline rgb_color PaletteColor(int index)
{
    return rgb_color { uint8(index * 16), uint8(255 - index * 13), uint8(index * 7 + 3), 255 };
}

inline uint8 PaletteIndex(int32 x, int32 y)
{
    return uint8((x * 3 + y * 5) % 16);
}

inline int WriteToBytes(GifFileType* gif, const GifByteType* data, int length)
{
    Bytes* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// A GIF89a of PaletteIndex() pixels; `transparent` (or -1) is the
// transparent index.
inline Bytes MakeGif(int width, int height, int transparent = -1, bool interlaced = false)
{
    Bytes bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, WriteToBytes, &error);
    GifColorType colors[16];
    for (int i = 0; i < 16; i++) {
        rgb_color color = PaletteColor(i);
        colors[i] = GifColorType { color.red, color.green, color.blue };
    }
    ColorMapObject* map = GifMakeMapObject(16, colors);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 4, 0, map);
    if (transparent >= 0) {
        GifByteType control[4] = { 0x01, 0, 0, GifByteType(transparent) };
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr);
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    static const int kStart[4] = { 0, 4, 2, 1 };
    static const int kStep[4] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < (interlaced ? 4 : 1); pass++) {
        for (int y = interlaced ? kStart[pass] : 0; y < height; y += interlaced ? kStep[pass] : 1) {
            for (int x = 0; x < width; x++)
                line[size_t(x)] = PaletteIndex(x, y);
            EGifPutLine(gif, line.data(), width);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return bytes;
}

// A BMP with a 40-byte header (56 with alpha). 8 bits: PaletteIndex() pixels with the
// 16-colour palette; 24 and 32 bits: TestPicture() (opaque), BI_RGB; 32
// bits with `alpha`: BI_BITFIELDS with an alpha mask and TestPicture()'s
// transparency.
inline Bytes MakeBmp(int32 width, int32 height, int bits, bool topDown, bool alpha = false)
{
    BPrivate::PixelBuffer picture = TestPicture(width, height, !alpha);
    uint32 stride = (uint32(width) * uint32(bits) + 31) / 32 * 4;
    uint32 paletteSize = bits == 8 ? 16 * 4 : 0;
    uint32 maskSize = alpha ? 16 : 0;
    uint32 pixelOffset = 14 + 40 + maskSize + paletteSize;
    Bytes bytes { 'B', 'M' };
    PutLittle32(&bytes, pixelOffset + stride * uint32(height));
    PutLittle32(&bytes, 0);
    PutLittle32(&bytes, pixelOffset);
    // With alpha, the 56-byte header, whose last 16 bytes are the masks.
    PutLittle32(&bytes, alpha ? 56 : 40);
    PutLittle32(&bytes, uint32(width));
    PutLittle32(&bytes, uint32(topDown ? -height : height));
    PutLittle16(&bytes, 1);
    PutLittle16(&bytes, uint32(bits));
    PutLittle32(&bytes, alpha ? 3 : 0);
    PutLittle32(&bytes, stride * uint32(height));
    PutLittle32(&bytes, 2835);
    PutLittle32(&bytes, 2835);
    PutLittle32(&bytes, bits == 8 ? 16 : 0);
    PutLittle32(&bytes, 0);
    if (alpha) {
        PutLittle32(&bytes, 0x00ff0000);
        PutLittle32(&bytes, 0x0000ff00);
        PutLittle32(&bytes, 0x000000ff);
        PutLittle32(&bytes, 0xff000000);
    }
    for (int i = 0; bits == 8 && i < 16; i++) {
        rgb_color color = PaletteColor(i);
        bytes.insert(bytes.end(), { color.blue, color.green, color.red, 0 });
    }
    for (int32 row = 0; row < height; row++) {
        int32 y = topDown ? row : height - 1 - row;
        size_t start = bytes.size();
        for (int32 x = 0; x < width; x++) {
            rgb_color color = picture.PixelAt(x, y);
            if (bits == 8) {
                bytes.push_back(PaletteIndex(x, y));
            } else {
                bytes.insert(bytes.end(), { color.blue, color.green, color.red });
                if (bits == 32)
                    bytes.push_back(alpha ? color.alpha : 0);
            }
        }
        bytes.resize(start + stride, 0);
    }
    return bytes;
}

// The kit's bitmap stream of TestPicture() in B_RGBA32.
inline Bytes MakeTranslatorBitmap(int32 width, int32 height)
{
    BPrivate::PixelBuffer picture = TestPicture(width, height, false);
    Bytes bytes;
    PutBig32(&bytes, B_TRANSLATOR_BITMAP);
    for (float value : { 0.0f, 0.0f, float(width - 1), float(height - 1) }) {
        uint32 bits;
        std::memcpy(&bits, &value, 4);
        PutBig32(&bytes, bits);
    }
    PutBig32(&bytes, uint32(picture.BytesPerRow()));
    PutBig32(&bytes, B_RGBA32);
    PutBig32(&bytes, uint32(picture.BitsLength()));
    bytes.insert(bytes.end(), picture.Bits(), picture.Bits() + picture.BitsLength());
    return bytes;
}

} // namespace brenvik::test
