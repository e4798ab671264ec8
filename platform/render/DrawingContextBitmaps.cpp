// DrawingContext: bitmaps and copying pixels within the surface.

#include <DrawingContext.h>

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace BPrivate {

namespace {

// The pixels of `bitmap` as a premultiplied Cairo image.
cairo_surface_t* ImageOf(const PixelBuffer& bitmap, Transparency mode)
{
    cairo_surface_t* image
        = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.Width(), bitmap.Height());
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    cairo_surface_flush(image);
    bitmap.ExportARGB32(
        static_cast<uint32*>(static_cast<void*>(cairo_image_surface_get_data(image))),
        cairo_image_surface_get_stride(image), mode);
    cairo_surface_mark_dirty(image);
    return image;
}

} // namespace

void DrawingContext::DrawBitmap(
    const PixelBuffer& bitmap, BRect source, BRect destination, uint32 options)
{
    if (!bitmap.IsValid())
        return;
    if (IsRecording()) {
        Dispatch(
            Op::Bitmap { std::make_shared<PixelBuffer>(bitmap), source, destination, options });
        return;
    }
    // Drawn at once, the caller's bitmap is used in place.
    std::shared_ptr<const PixelBuffer> borrowed(&bitmap, [](const PixelBuffer*) {});
    DoBitmap(Op::Bitmap { borrowed, source, destination, options });
}

void DrawingContext::DrawBitmap(const PixelBuffer& bitmap, BPoint where)
{
    BRect bounds(0, 0, bitmap.Width() - 1, bitmap.Height() - 1);
    DrawBitmap(bitmap, bounds, bounds.OffsetToCopy(where.x, where.y));
}

void DrawingContext::DoBitmap(const Op::Bitmap& op)
{
    if (!op.bitmap || !op.bitmap->IsValid() || fCairo == nullptr)
        return;
    const PixelBuffer& bitmap = *op.bitmap;
    BRect source = op.source & BRect(0, 0, bitmap.Width() - 1, bitmap.Height() - 1);
    if (!source.IsValid() || !op.destination.IsValid())
        return;

    // Inclusive pixel rectangles on both sides become boxes of whole pixels.
    PixelBox box = BoxOf(op.destination);
    double x0 = box.left, y0 = box.top, x1 = box.right, y1 = box.bottom;
    double sx0 = Edge(source.left), sy0 = Edge(source.top);
    double sx1 = Edge(source.right + 1), sy1 = Edge(source.bottom + 1);
    if (x1 <= x0 || y1 <= y0)
        return;

    const DrawingState& state = State();
    Transparency mode = Transparency::kKeep;
    if ((state.drawingMode == B_OP_COPY && !fSurface->HasAlpha())
        || (state.drawingMode == B_OP_ALPHA && state.alphaSource == B_CONSTANT_ALPHA)) {
        mode = Transparency::kOpaque;
    }
    cairo_surface_t* image = ImageOf(bitmap, mode);
    if (image == nullptr)
        return;
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image);
    cairo_surface_destroy(image);
    cairo_matrix_t matrix;
    cairo_matrix_init_translate(&matrix, sx0, sy0);
    cairo_matrix_scale(&matrix, (sx1 - sx0) / (x1 - x0), (sy1 - sy0) / (y1 - y0));
    cairo_matrix_translate(&matrix, -x0, -y0);
    cairo_pattern_set_matrix(pattern, &matrix);
    // Icons are scaled with whole pixels unless smoothing is asked for; the
    // enlargement of a scaled surface is always smoothed.
    cairo_filter_t filter = CAIRO_FILTER_NEAREST;
    if ((op.options & B_FILTER_BITMAP_BILINEAR) != 0)
        filter = CAIRO_FILTER_BILINEAR;
    else if (fDeviceScale != 1)
        filter = CAIRO_FILTER_GOOD;
    cairo_pattern_set_filter(pattern, filter);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);

    clipping_rect bounds = { int32(x0), int32(y0), int32(x1) - 1, int32(y1) - 1 };
    Paint(PaintSpec { nullptr, bounds }, [&](cairo_t* cairo, double alpha) {
        cairo_set_source(cairo, pattern);
        cairo_rectangle(cairo, x0, y0, x1 - x0, y1 - y0);
        if (alpha < 1.0) {
            cairo_clip(cairo);
            cairo_paint_with_alpha(cairo, alpha);
        } else {
            cairo_fill(cairo);
        }
    });
    cairo_pattern_destroy(pattern);
}

void DrawingContext::CopyBits(BRect source, BRect destination)
{
    if (fCairo == nullptr || !source.IsValid() || !destination.IsValid())
        return;
    PixelBox sourceBox = BoxOf(source);
    clipping_rect asked
        = { sourceBox.left, sourceBox.top, sourceBox.right - 1, sourceBox.bottom - 1 };
    clipping_rect from = { std::max(asked.left, 0), std::max(asked.top, 0),
        std::min(asked.right, fSurface->Width() - 1),
        std::min(asked.bottom, fSurface->Height() - 1) };
    if (!from.IsValid())
        return;
    PixelBox box = BoxOf(destination);
    double x0 = box.left, y0 = box.top, x1 = box.right, y1 = box.bottom;
    // The part of the source outside the surface is not copied; the
    // destination loses the same share.
    double xScale = (x1 - x0) / (asked.right - asked.left + 1);
    double yScale = (y1 - y0) / (asked.bottom - asked.top + 1);
    x0 += (from.left - asked.left) * xScale;
    y0 += (from.top - asked.top) * yScale;
    x1 -= (asked.right - from.right) * xScale;
    y1 -= (asked.bottom - from.bottom) * yScale;
    if (x1 <= x0 || y1 <= y0)
        return;
    // The source may overlap the destination (scrolling), so it is copied
    // aside first.
    int32 width = from.right - from.left + 1;
    int32 height = from.bottom - from.top + 1;
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* copier = cairo_create(copy);
    cairo_set_operator(copier, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(copier, fSurface->CairoSurface(), -from.left, -from.top);
    cairo_paint(copier);
    cairo_destroy(copier);

    const ClipRegion& clip = EffectiveClip();
    if (clip.IsEmpty()) {
        cairo_surface_destroy(copy);
        return;
    }
    cairo_save(fCairo);
    cairo_set_operator(fCairo, CAIRO_OPERATOR_SOURCE);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(copy);
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, width / (x1 - x0), height / (y1 - y0));
    cairo_matrix_translate(&matrix, -x0, -y0);
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_set_source(fCairo, pattern);
    cairo_rectangle(fCairo, x0, y0, x1 - x0, y1 - y0);
    cairo_fill(fCairo);
    cairo_restore(fCairo);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(copy);
}

} // namespace BPrivate
