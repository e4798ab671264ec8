// PNG reading and writing for PixelBuffer, through libpng's simplified API:
// it handles every PNG colour type, bit depth, palette and interlacing, and
// reports errors instead of jumping out of our code.

#include <PixelBuffer.h>

#include <PixelFormat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <png.h>

namespace BPrivate {

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

bool IsOpaque(const PixelBuffer& buffer)
{
    if (!color_space_has_alpha(buffer.ColorSpace()) && buffer.ColorSpace() != B_CMAP8)
        return true;
    std::vector<rgb_color> row(static_cast<size_t>(buffer.Width()));
    for (int32 y = 0; y < buffer.Height(); y++) {
        ReadRow(buffer.ColorSpace(), buffer.RowAt(y), buffer.Width(), row.data());
        for (const rgb_color& color : row) {
            if (color.alpha != 255)
                return false;
        }
    }
    return true;
}

// Prepares the pixels in a layout libpng writes directly: B, G, R for opaque
// images and B, G, R, A otherwise.
status_t PrepareForWriting(const PixelBuffer& buffer, PixelBuffer* prepared, png_image* image)
{
    if (!buffer.IsValid())
        return B_NO_INIT;
    bool opaque = IsOpaque(buffer);
    status_t status = buffer.ConvertTo(opaque ? B_RGB24 : B_RGBA32, prepared);
    if (status != B_OK)
        return status;
    std::memset(image, 0, sizeof(*image));
    image->version = PNG_IMAGE_VERSION;
    image->width = png_uint_32(buffer.Width());
    image->height = png_uint_32(buffer.Height());
    image->format = opaque ? PNG_FORMAT_BGR : PNG_FORMAT_BGRA;
    return B_OK;
}

status_t FinishReading(png_image* image, PixelBuffer* out)
{
    if (image->width == 0 || image->height == 0
        || image->width > png_uint_32(PixelBuffer::kMaxDimension)
        || image->height > png_uint_32(PixelBuffer::kMaxDimension)) {
        png_image_free(image);
        return B_BAD_DATA;
    }
    bool hasAlpha = (image->format & PNG_FORMAT_FLAG_ALPHA) != 0;
    // Both targets have the B, G, R, A memory layout; for opaque images
    // libpng fills the fourth byte with 255, which B_RGB32 ignores.
    image->format = PNG_FORMAT_BGRA;
    status_t status
        = out->SetTo(int32(image->width), int32(image->height), hasAlpha ? B_RGBA32 : B_RGB32);
    if (status != B_OK) {
        png_image_free(image);
        return status;
    }
    if (png_image_finish_read(image, nullptr, out->Bits(), out->BytesPerRow(), nullptr) == 0) {
        png_image_free(image);
        out->Unset();
        return B_BAD_DATA;
    }
    return B_OK;
}

} // namespace

status_t PixelBuffer::WritePNG(const char* path) const
{
    if (path == nullptr)
        return B_BAD_VALUE;
    PixelBuffer prepared;
    png_image image;
    status_t status = PrepareForWriting(*this, &prepared, &image);
    if (status != B_OK)
        return status;
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "wb"));
    if (!file)
        return StatusFromErrno(errno);
    if (png_image_write_to_stdio(
            &image, file.get(), 0, prepared.Bits(), prepared.BytesPerRow(), nullptr)
        == 0) {
        return B_IO_ERROR;
    }
    if (std::fflush(file.get()) != 0)
        return StatusFromErrno(errno);
    FILE* raw = file.release();
    if (std::fclose(raw) != 0)
        return StatusFromErrno(errno);
    return B_OK;
}

status_t PixelBuffer::EncodePNG(std::vector<uint8>* out) const
{
    if (out == nullptr)
        return B_BAD_VALUE;
    PixelBuffer prepared;
    png_image image;
    status_t status = PrepareForWriting(*this, &prepared, &image);
    if (status != B_OK)
        return status;
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(
            &image, nullptr, &size, 0, prepared.Bits(), prepared.BytesPerRow(), nullptr)
        == 0) {
        return B_ERROR;
    }
    out->resize(size);
    if (png_image_write_to_memory(
            &image, out->data(), &size, 0, prepared.Bits(), prepared.BytesPerRow(), nullptr)
        == 0) {
        out->clear();
        return B_ERROR;
    }
    out->resize(size);
    return B_OK;
}

status_t PixelBuffer::ReadPNG(const char* path, PixelBuffer* out)
{
    if (path == nullptr || out == nullptr)
        return B_BAD_VALUE;
    out->Unset();
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return StatusFromErrno(errno);
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_stdio(&image, file.get()) == 0) {
        png_image_free(&image);
        return B_BAD_DATA;
    }
    return FinishReading(&image, out);
}

status_t PixelBuffer::DecodePNG(const void* data, size_t length, PixelBuffer* out)
{
    if (data == nullptr || out == nullptr)
        return B_BAD_VALUE;
    out->Unset();
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, data, length) == 0) {
        png_image_free(&image);
        return B_BAD_DATA;
    }
    return FinishReading(&image, out);
}

} // namespace BPrivate
