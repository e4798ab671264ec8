#include "LibBitmap.h"

#include <Entry.h>
#include <Node.h>
#include <NodeInfo.h>
#include <NodeInfoIcons.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Archives of this class are rebuilt as LibBitmaps by instantiate_object.
struct Registration {
    Registration() { RegisterArchivableClass("LibBitmap", LibBitmap::Instantiate); }
} sRegistration;

} // namespace

LibBitmap::LibBitmap(BRect frame, color_space colorSpace, bool acceptsViews, bool needsContiguous)
    : BBitmap(frame, colorSpace, acceptsViews, needsContiguous)
{
}

LibBitmap::LibBitmap(
    BRect frame, const void* bytes, color_space colorSpace, bool acceptsViews, bool needsContiguous)
    : BBitmap(frame, colorSpace, acceptsViews, needsContiguous)
{
    size_t chunk = 0;
    size_t alignment = 0;
    size_t pixelsPerChunk = 0;
    if (bytes == nullptr || InitCheck() != B_OK
        || get_pixel_size_for(colorSpace, &chunk, &alignment, &pixelsPerChunk) != B_OK)
        return;
    int32 width = Bounds().IntegerWidth() + 1;
    int32 height = Bounds().IntegerHeight() + 1;
    int32 rowBytes = int32((size_t(width) * chunk + pixelsPerChunk - 1) / pixelsPerChunk);
    ImportBits(bytes, rowBytes * height, rowBytes, 0, colorSpace);
}

LibBitmap::LibBitmap(BMessage* archive)
    : BBitmap(archive)
{
}

LibBitmap::~LibBitmap() = default;

BArchivable* LibBitmap::Instantiate(BMessage* archive)
{
    if (!validate_instantiation(archive, "LibBitmap"))
        return nullptr;
    return new LibBitmap(archive);
}

bool LibBitmap::SetTo(BNode& node, const icon_size& size)
{
    if (node.InitCheck() != B_OK)
        return false;
    BNodeInfo info(&node);
    return info.InitCheck() == B_OK && BPrivate::GetTrackerIcon(info, this, size) == B_OK;
}

bool LibBitmap::SetTo(const BEntry& entry, const icon_size& size)
{
    BNode node(&entry);
    return SetTo(node, size);
}

bool LibBitmap::SetTo(const char* path, const icon_size& size)
{
    if (path == nullptr)
        return false;
    BNode node(path);
    return SetTo(node, size);
}

namespace {

// The pixels of a bitmap as straight 8-bit red, green, blue, alpha.
bool ReadRgba(const BBitmap* source, std::vector<uint8>* pixels, int32* width, int32* height)
{
    *width = source->Bounds().IntegerWidth() + 1;
    *height = source->Bounds().IntegerHeight() + 1;
    BBitmap copy(source->Bounds(), B_RGBA32);
    if (copy.InitCheck() != B_OK || copy.ImportBits(source) != B_OK)
        return false;
    pixels->resize(size_t(*width) * size_t(*height) * 4);
    const uint8* bits = static_cast<const uint8*>(copy.Bits());
    for (int32 y = 0; y < *height; y++) {
        const uint8* row = bits + size_t(y) * size_t(copy.BytesPerRow());
        for (int32 x = 0; x < *width; x++) {
            // B_RGBA32 keeps blue, green, red, alpha in memory order.
            uint8* out = pixels->data() + (size_t(y) * size_t(*width) + size_t(x)) * 4;
            out[0] = row[x * 4 + 2];
            out[1] = row[x * 4 + 1];
            out[2] = row[x * 4];
            out[3] = row[x * 4 + 3];
        }
    }
    return true;
}

// The average of the source pixels under the rectangle (left, top, right,
// bottom) of source coordinates, each weighted by how much of it is covered.
// Colours are also weighted by their alpha, so that transparent pixels add no
// colour.
void AveragePixel(const std::vector<uint8>& pixels, int32 width, int32 height, double left,
    double top, double right, double bottom, uint8* out)
{
    int32 x0 = std::clamp(int32(std::floor(left)), int32(0), width - 1);
    int32 y0 = std::clamp(int32(std::floor(top)), int32(0), height - 1);
    int32 x1 = std::clamp(int32(std::ceil(right)) - 1, x0, width - 1);
    int32 y1 = std::clamp(int32(std::ceil(bottom)) - 1, y0, height - 1);
    double sum[4] = { 0, 0, 0, 0 };
    double area = 0;
    for (int32 y = y0; y <= y1; y++) {
        double coverY = std::min(bottom, double(y + 1)) - std::max(top, double(y));
        for (int32 x = x0; x <= x1; x++) {
            double cover = coverY * (std::min(right, double(x + 1)) - std::max(left, double(x)));
            if (cover <= 0)
                continue;
            const uint8* pixel = pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
            double alpha = pixel[3] * cover;
            for (int c = 0; c < 3; c++)
                sum[c] += pixel[c] * alpha;
            sum[3] += alpha;
            area += cover;
        }
    }
    for (int c = 0; c < 3; c++)
        out[c] = sum[3] > 0 ? uint8(std::lround(sum[c] / sum[3])) : 0;
    out[3] = area > 0 ? uint8(std::lround(sum[3] / area)) : 0;
}

} // namespace

std::unique_ptr<LibBitmap> LibBitmap::Thumbnail(
    const BBitmap* source, const float& size, const bool& keepAspect)
{
    if (source == nullptr || source->InitCheck() != B_OK || !(size >= 1))
        return nullptr;
    std::vector<uint8> pixels;
    int32 width = 0;
    int32 height = 0;
    if (!ReadRgba(source, &pixels, &width, &height))
        return nullptr;
    int32 side = int32(std::floor(size));
    int32 thumbWidth = side;
    int32 thumbHeight = side;
    if (keepAspect && width != height) {
        if (width > height)
            thumbHeight = std::max(int32(1), int32(std::lround(double(side) * height / width)));
        else
            thumbWidth = std::max(int32(1), int32(std::lround(double(side) * width / height)));
    }
    auto thumb = std::make_unique<LibBitmap>(
        BRect(0, 0, float(thumbWidth - 1), float(thumbHeight - 1)), B_RGBA32);
    if (thumb->InitCheck() != B_OK)
        return nullptr;
    double stepX = double(width) / thumbWidth;
    double stepY = double(height) / thumbHeight;
    uint8* bits = static_cast<uint8*>(thumb->Bits());
    for (int32 y = 0; y < thumbHeight; y++) {
        uint8* row = bits + size_t(y) * size_t(thumb->BytesPerRow());
        for (int32 x = 0; x < thumbWidth; x++) {
            uint8 rgba[4];
            AveragePixel(pixels, width, height, x * stepX, y * stepY, (x + 1) * stepX,
                (y + 1) * stepY, rgba);
            row[x * 4] = rgba[2];
            row[x * 4 + 1] = rgba[1];
            row[x * 4 + 2] = rgba[0];
            row[x * 4 + 3] = rgba[3];
        }
    }
    return thumb;
}
