#include <PixelBuffer.h>

#include <PixelFormat.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace BPrivate {

PixelBuffer::PixelBuffer(int32 width, int32 height, color_space space, int32 bytesPerRow)
{
    SetTo(width, height, space, bytesPerRow);
}

PixelBuffer::PixelBuffer(const PixelBuffer& other)
{
    *this = other;
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other)
{
    if (this == &other)
        return *this;
    if (!other.IsValid()) {
        Unset();
        fStatus = other.fStatus;
        return *this;
    }
    if (SetTo(other.fWidth, other.fHeight, other.fSpace, other.fBytesPerRow) == B_OK)
        std::memcpy(fBits.get(), other.fBits.get(), other.BitsLength());
    return *this;
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
{
    *this = std::move(other);
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept
{
    if (this == &other)
        return *this;
    fBits = std::move(other.fBits);
    fWidth = other.fWidth;
    fHeight = other.fHeight;
    fBytesPerRow = other.fBytesPerRow;
    fSpace = other.fSpace;
    fStatus = other.fStatus;
    other.Unset();
    return *this;
}

status_t PixelBuffer::SetTo(int32 width, int32 height, color_space space, int32 bytesPerRow)
{
    Unset();
    int32 defaultBytesPerRow = DefaultBytesPerRow(space, width);
    if (width <= 0 || height <= 0 || !IsSupportedColorSpace(space) || defaultBytesPerRow < 0) {
        fStatus = B_BAD_VALUE;
        return fStatus;
    }
    if (bytesPerRow == kAnyBytesPerRow)
        bytesPerRow = defaultBytesPerRow;
    if (bytesPerRow < defaultBytesPerRow) {
        fStatus = B_BAD_VALUE;
        return fStatus;
    }
    if (width > kMaxDimension || height > kMaxDimension
        || size_t(bytesPerRow) * size_t(height) > kMaxBytes) {
        fStatus = B_NO_MEMORY;
        return fStatus;
    }
    size_t length = size_t(bytesPerRow) * size_t(height);
    fBits.reset(new (std::nothrow) uint8[length]());
    if (!fBits) {
        fStatus = B_NO_MEMORY;
        return fStatus;
    }
    fWidth = width;
    fHeight = height;
    fBytesPerRow = bytesPerRow;
    fSpace = space;
    fStatus = B_OK;
    return B_OK;
}

void PixelBuffer::Unset()
{
    fBits.reset();
    fWidth = 0;
    fHeight = 0;
    fBytesPerRow = 0;
    fSpace = B_NO_COLOR_SPACE;
    fStatus = B_NO_INIT;
}

rgb_color PixelBuffer::PixelAt(int32 x, int32 y) const
{
    if (!IsValid() || x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return rgb_color { 0, 0, 0, 0 };
    // Gray1 packs eight pixels a byte, so read from the start of the row.
    std::vector<rgb_color> row(size_t(x) + 1);
    ReadRow(fSpace, RowAt(y), x + 1, row.data());
    return row[size_t(x)];
}

void PixelBuffer::SetPixelAt(int32 x, int32 y, rgb_color color)
{
    if (!IsValid() || x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return;
    if (fSpace == B_GRAY1) {
        std::vector<rgb_color> row(static_cast<size_t>(fWidth));
        ReadRow(fSpace, RowAt(y), fWidth, row.data());
        row[size_t(x)] = color;
        WriteRow(fSpace, row.data(), fWidth, RowAt(y));
        return;
    }
    WriteRow(fSpace, &color, 1, RowAt(y) + size_t(x) * size_t(BitsPerPixel(fSpace) / 8));
}

void PixelBuffer::Fill(rgb_color color)
{
    if (!IsValid())
        return;
    std::vector<rgb_color> row(size_t(fWidth), color);
    WriteRow(fSpace, row.data(), fWidth, RowAt(0));
    for (int32 y = 1; y < fHeight; y++)
        std::memcpy(RowAt(y), RowAt(0), size_t(fBytesPerRow));
}

status_t PixelBuffer::ImportBits(
    const void* data, size_t length, int32 offset, color_space space, int32 bytesPerRow)
{
    if (!IsValid())
        return B_NO_INIT;
    if (data == nullptr || offset < 0 || size_t(offset) > BitsLength())
        return B_BAD_VALUE;
    if (space == fSpace && (bytesPerRow == kAnyBytesPerRow || bytesPerRow == fBytesPerRow)) {
        size_t count = std::min(length, BitsLength() - size_t(offset));
        std::memcpy(fBits.get() + offset, data, count);
        return B_OK;
    }
    if (!IsSupportedColorSpace(space))
        return B_BAD_VALUE;
    if (bytesPerRow == kAnyBytesPerRow)
        bytesPerRow = DefaultBytesPerRow(space, fWidth);
    int32 rawBytesPerRow = RawBytesPerRow(space, fWidth);
    if (bytesPerRow < rawBytesPerRow || offset % fBytesPerRow != 0)
        return B_BAD_VALUE;
    const uint8* source = static_cast<const uint8*>(data);
    std::vector<rgb_color> row(static_cast<size_t>(fWidth));
    for (int32 y = offset / fBytesPerRow; y < fHeight; y++) {
        if (length < size_t(rawBytesPerRow))
            break;
        ReadRow(space, source, fWidth, row.data());
        WriteRow(fSpace, row.data(), fWidth, RowAt(y));
        size_t step = std::min(length, size_t(bytesPerRow));
        source += step;
        length -= step;
    }
    return B_OK;
}

status_t PixelBuffer::ConvertTo(color_space space, PixelBuffer* out) const
{
    if (out == nullptr)
        return B_BAD_VALUE;
    if (!IsValid())
        return B_NO_INIT;
    status_t status = out->SetTo(fWidth, fHeight, space);
    if (status != B_OK)
        return status;
    std::vector<rgb_color> row(static_cast<size_t>(fWidth));
    for (int32 y = 0; y < fHeight; y++) {
        ReadRow(fSpace, RowAt(y), fWidth, row.data());
        WriteRow(space, row.data(), fWidth, out->RowAt(y));
    }
    return B_OK;
}

void PixelBuffer::ExportARGB32(uint32* destination, int32 stride, Transparency mode) const
{
    if (!IsValid() || destination == nullptr)
        return;
    bool keyed32 = mode == Transparency::kKeep && (fSpace == B_RGB32 || fSpace == B_RGB32_BIG);
    std::vector<rgb_color> row(static_cast<size_t>(fWidth));
    for (int32 y = 0; y < fHeight; y++) {
        ReadRow(fSpace, RowAt(y), fWidth, row.data());
        uint32* out = destination + size_t(y) * size_t(stride / 4);
        for (int32 x = 0; x < fWidth; x++) {
            rgb_color color = row[size_t(x)];
            if (mode == Transparency::kOpaque)
                color.alpha = 255;
            else if (keyed32 && color.red == 0x77 && color.green == 0x74 && color.blue == 0x77)
                color.alpha = 0;
            out[x] = PackPremultiplied(color);
        }
    }
}

void PixelBuffer::ImportARGB32(const uint32* source, int32 stride)
{
    if (!IsValid() || source == nullptr)
        return;
    std::vector<rgb_color> row(static_cast<size_t>(fWidth));
    for (int32 y = 0; y < fHeight; y++) {
        const uint32* in = source + size_t(y) * size_t(stride / 4);
        for (int32 x = 0; x < fWidth; x++)
            row[size_t(x)] = UnpackPremultiplied(in[x]);
        WriteRow(fSpace, row.data(), fWidth, RowAt(y));
    }
}

} // namespace BPrivate
