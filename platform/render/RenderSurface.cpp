#include <RenderSurface.h>

#include <PixelFormat.h>

#include <algorithm>
#include <cairo.h>
#include <cstring>

namespace BPrivate {

namespace {

cairo_surface_t* CreateImage(int32 width, int32 height)
{
    if (width <= 0 || height <= 0 || width > PixelBuffer::kMaxDimension
        || height > PixelBuffer::kMaxDimension) {
        return nullptr;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

void FillImage(cairo_surface_t* surface, uint32 pixel)
{
    cairo_surface_flush(surface);
    uint32* bits = reinterpret_cast<uint32*>(cairo_image_surface_get_data(surface));
    int32 stride = cairo_image_surface_get_stride(surface) / 4;
    int32 width = cairo_image_surface_get_width(surface);
    int32 height = cairo_image_surface_get_height(surface);
    for (int32 y = 0; y < height; y++)
        std::fill_n(bits + size_t(y) * size_t(stride), width, pixel);
    cairo_surface_mark_dirty(surface);
}

} // namespace

RenderSurface::RenderSurface(int32 width, int32 height, bool hasAlpha, rgb_color fill)
    : fHasAlpha(hasAlpha)
{
    fSurface = CreateImage(width, height);
    if (fSurface == nullptr) {
        fStatus = width <= 0 || height <= 0 ? B_BAD_VALUE : B_NO_MEMORY;
        return;
    }
    fWidth = width;
    fHeight = height;
    fStatus = B_OK;
    Fill(fill);
}

RenderSurface::~RenderSurface()
{
    if (fSurface != nullptr)
        cairo_surface_destroy(fSurface);
}

uint32* RenderSurface::Bits()
{
    if (fSurface == nullptr)
        return nullptr;
    return reinterpret_cast<uint32*>(cairo_image_surface_get_data(fSurface));
}

const uint32* RenderSurface::Bits() const
{
    if (fSurface == nullptr)
        return nullptr;
    return reinterpret_cast<const uint32*>(cairo_image_surface_get_data(fSurface));
}

int32 RenderSurface::BytesPerRow() const
{
    return fSurface != nullptr ? cairo_image_surface_get_stride(fSurface) : 0;
}

void RenderSurface::Flush() const
{
    if (fSurface != nullptr)
        cairo_surface_flush(fSurface);
}

void RenderSurface::MarkDirty()
{
    if (fSurface != nullptr)
        cairo_surface_mark_dirty(fSurface);
}

void RenderSurface::MarkDirty(clipping_rect area)
{
    if (fSurface != nullptr && area.IsValid()) {
        cairo_surface_mark_dirty_rectangle(
            fSurface, area.left, area.top, area.right - area.left + 1, area.bottom - area.top + 1);
    }
}

void RenderSurface::Fill(rgb_color color)
{
    if (fSurface == nullptr)
        return;
    if (!fHasAlpha)
        color.alpha = 255;
    FillImage(fSurface, PackPremultiplied(color));
}

status_t RenderSurface::Resize(int32 width, int32 height, rgb_color fill)
{
    if (fSurface == nullptr)
        return B_NO_INIT;
    if (width == fWidth && height == fHeight)
        return B_OK;
    cairo_surface_t* resized = CreateImage(width, height);
    if (resized == nullptr)
        return width <= 0 || height <= 0 ? B_BAD_VALUE : B_NO_MEMORY;
    if (!fHasAlpha)
        fill.alpha = 255;
    FillImage(resized, PackPremultiplied(fill));
    cairo_t* cr = cairo_create(resized);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, fSurface, 0, 0);
    cairo_rectangle(cr, 0, 0, std::min(width, fWidth), std::min(height, fHeight));
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(fSurface);
    fSurface = resized;
    fWidth = width;
    fHeight = height;
    return B_OK;
}

rgb_color RenderSurface::PixelAt(int32 x, int32 y) const
{
    if (fSurface == nullptr || x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return rgb_color { 0, 0, 0, 0 };
    Flush();
    return UnpackPremultiplied(Bits()[size_t(y) * size_t(BytesPerRow() / 4) + size_t(x)]);
}

status_t RenderSurface::CopyTo(PixelBuffer* out) const
{
    if (out == nullptr)
        return B_BAD_VALUE;
    if (fSurface == nullptr)
        return B_NO_INIT;
    status_t status = out->SetTo(fWidth, fHeight, fHasAlpha ? B_RGBA32 : B_RGB32);
    if (status != B_OK)
        return status;
    Flush();
    out->ImportARGB32(Bits(), BytesPerRow());
    return B_OK;
}

status_t RenderSurface::WritePNG(const char* path) const
{
    PixelBuffer pixels;
    status_t status = CopyTo(&pixels);
    if (status != B_OK)
        return status;
    return pixels.WritePNG(path);
}

status_t RenderSurface::LoadFrom(const PixelBuffer& bitmap, Transparency mode)
{
    if (fSurface == nullptr)
        return B_NO_INIT;
    if (!bitmap.IsValid() || bitmap.Width() != fWidth || bitmap.Height() != fHeight)
        return B_BAD_VALUE;
    Flush();
    bitmap.ExportARGB32(Bits(), BytesPerRow(), fHasAlpha ? mode : Transparency::kOpaque);
    MarkDirty();
    return B_OK;
}

status_t RenderSurface::StoreInto(PixelBuffer* bitmap) const
{
    if (fSurface == nullptr)
        return B_NO_INIT;
    if (bitmap == nullptr || !bitmap->IsValid() || bitmap->Width() != fWidth
        || bitmap->Height() != fHeight) {
        return B_BAD_VALUE;
    }
    Flush();
    bitmap->ImportARGB32(Bits(), BytesPerRow());
    return B_OK;
}

} // namespace BPrivate
