// DrawingContext: the drawing modes. Every drawing call builds a paint
// function (a path filled or stroked, glyphs shown, a bitmap painted) and
// hands it to Paint, which either sets Cairo's operator and source for the
// mode, or, for the modes Cairo has no operator for, paints a coverage layer
// and combines it with the surface pixel by pixel.

#include <DrawingContext.h>

#include <PixelFormat.h>

#include <algorithm>
#include <cairo.h>

namespace BPrivate {

namespace {

bool IsSolid(const pattern& fill, uint8 bits)
{
    for (uint8 row : fill.data) {
        if (row != bits)
            return false;
    }
    return true;
}

void SetColor(cairo_t* cairo, rgb_color color)
{
    cairo_set_source_rgba(
        cairo, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

// An 8 × 8 repeating source, aligned to the surface's pixel grid.
void SetPatternImage(cairo_t* cairo, const pattern& fill, rgb_color high, rgb_color low)
{
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    uint32 highPixel = PackPremultiplied(high);
    uint32 lowPixel = PackPremultiplied(low);
    for (int32 y = 0; y < 8; y++) {
        uint32* row = static_cast<uint32*>(static_cast<void*>(data + y * stride));
        for (int32 x = 0; x < 8; x++)
            row[x] = (fill.data[y] & (0x80 >> x)) != 0 ? highPixel : lowPixel;
    }
    cairo_surface_mark_dirty(image);
    cairo_pattern_t* source = cairo_pattern_create_for_surface(image);
    cairo_pattern_set_extend(source, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(source, CAIRO_FILTER_NEAREST);
    cairo_set_source(cairo, source);
    cairo_pattern_destroy(source);
    cairo_surface_destroy(image);
}

rgb_color Opaque(rgb_color color)
{
    color.alpha = 255;
    return color;
}

constexpr rgb_color kClear = { 0, 0, 0, 0 };
constexpr rgb_color kWhite = { 255, 255, 255, 255 };

bool SameColor(rgb_color a, rgb_color b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

uint8 Saturate(int32 value)
{
    return uint8(std::clamp(value, 0, 255));
}

// The result of a software mode for one pixel, on straight colours:
// `target` is the surface's pixel, `source` the layer's.
rgb_color CombineColors(
    drawing_mode mode, rgb_color target, rgb_color source, rgb_color high, rgb_color low)
{
    switch (mode) {
    case B_OP_INVERT:
        return rgb_color { uint8(255 - target.red), uint8(255 - target.green),
            uint8(255 - target.blue), target.alpha };
    case B_OP_ADD:
        return rgb_color { Saturate(target.red + source.red), Saturate(target.green + source.green),
            Saturate(target.blue + source.blue), target.alpha };
    case B_OP_SUBTRACT:
        return rgb_color { Saturate(target.red - source.red), Saturate(target.green - source.green),
            Saturate(target.blue - source.blue), target.alpha };
    case B_OP_BLEND:
        return rgb_color { uint8((target.red + source.red + 1) / 2),
            uint8((target.green + source.green + 1) / 2),
            uint8((target.blue + source.blue + 1) / 2), target.alpha };
    case B_OP_MIN:
        return source.Brightness() < target.Brightness()
            ? rgb_color { source.red, source.green, source.blue, target.alpha }
            : target;
    case B_OP_MAX:
        return source.Brightness() > target.Brightness()
            ? rgb_color { source.red, source.green, source.blue, target.alpha }
            : target;
    case B_OP_SELECT:
        if (SameColor(target, high))
            return rgb_color { low.red, low.green, low.blue, target.alpha };
        if (SameColor(target, low))
            return rgb_color { high.red, high.green, high.blue, target.alpha };
        return target;
    case B_OP_ERASE:
        return rgb_color { low.red, low.green, low.blue, target.alpha };
    default:
        return rgb_color { source.red, source.green, source.blue, target.alpha };
    }
}

uint8 Mix(uint8 from, uint8 to, uint32 coverage)
{
    return uint8((from * (255 - coverage) + to * coverage + 127) / 255);
}

} // namespace

bool DrawingContext::IsNativeMode(drawing_mode mode, bool hasPattern) const
{
    switch (mode) {
    case B_OP_COPY:
    case B_OP_OVER:
    case B_OP_ALPHA:
        return true;
    case B_OP_ERASE:
        // Erasing with a bitmap paints its opaque pixels in the low colour,
        // which needs the bitmap's coverage: done in software.
        return hasPattern;
    default:
        return false;
    }
}

void DrawingContext::SetPatternSource(cairo_t* cairo, const pattern& fill) const
{
    const DrawingState& state = State();
    bool surfaceAlpha = fSurface->HasAlpha();
    rgb_color high = state.highColor;
    rgb_color low = state.lowColor;
    switch (state.drawingMode) {
    case B_OP_COPY:
        if (!surfaceAlpha) {
            high = Opaque(high);
            low = Opaque(low);
        }
        break;
    case B_OP_OVER:
        high = Opaque(high);
        low = kClear;
        break;
    case B_OP_ERASE:
        high = Opaque(state.lowColor);
        low = kClear;
        break;
    case B_OP_ALPHA:
        if (state.alphaSource == B_CONSTANT_ALPHA)
            low.alpha = high.alpha;
        break;
    case B_OP_INVERT:
    case B_OP_SELECT:
        // Only the coverage of the high bits matters to these modes.
        high = kWhite;
        low = kClear;
        break;
    default:
        high = Opaque(high);
        low = Opaque(low);
        break;
    }
    if (IsSolid(fill, 0xff))
        SetColor(cairo, high);
    else if (IsSolid(fill, 0))
        SetColor(cairo, low);
    else
        SetPatternImage(cairo, fill, high, low);
}

void DrawingContext::Paint(const PaintSpec& spec, const PaintFunction& paint)
{
    if (fCairo == nullptr)
        return;
    const ClipRegion& clip = EffectiveClip();
    if (clip.IsEmpty() || !clip.Intersects(spec.bounds))
        return;
    const DrawingState& state = State();
    if (!IsNativeMode(state.drawingMode, spec.fill != nullptr)) {
        CompositeInSoftware(spec, paint);
        return;
    }
    cairo_save(fCairo);
    cairo_operator_t op = CAIRO_OPERATOR_OVER;
    if (state.drawingMode == B_OP_COPY && fSurface->HasAlpha())
        op = CAIRO_OPERATOR_SOURCE;
    else if (state.drawingMode == B_OP_ALPHA && fSurface->HasAlpha()
        && state.alphaFunction == B_ALPHA_OVERLAY) {
        op = CAIRO_OPERATOR_ATOP;
    }
    cairo_set_operator(fCairo, op);
    double alpha = 1.0;
    if (spec.fill != nullptr)
        SetPatternSource(fCairo, *spec.fill);
    else if (state.drawingMode == B_OP_ALPHA && state.alphaSource == B_CONSTANT_ALPHA)
        alpha = state.highColor.alpha / 255.0;
    paint(fCairo, alpha);
    cairo_restore(fCairo);
}

void DrawingContext::CompositeInSoftware(const PaintSpec& spec, const PaintFunction& paint)
{
    const ClipRegion& clip = EffectiveClip();
    clipping_rect area = clip.Frame();
    area.left = std::max(area.left, spec.bounds.left);
    area.top = std::max(area.top, spec.bounds.top);
    area.right = std::min(area.right, spec.bounds.right);
    area.bottom = std::min(area.bottom, spec.bounds.bottom);
    if (!area.IsValid())
        return;
    int32 width = area.right - area.left + 1;
    int32 height = area.bottom - area.top + 1;

    // The layer holds the call's coverage (in alpha) and colour, painted
    // with the same clip and coordinates as the surface.
    cairo_surface_t* layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(layer) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(layer);
        return;
    }
    cairo_surface_set_device_offset(layer, -area.left, -area.top);
    cairo_t* layerCairo = cairo_create(layer);
    ApplyClip(layerCairo, clip);
    if (spec.fill != nullptr)
        SetPatternSource(layerCairo, *spec.fill);
    paint(layerCairo, 1.0);
    cairo_destroy(layerCairo);
    cairo_surface_flush(layer);

    const DrawingState& state = State();
    fSurface->Flush();
    uint32* target = fSurface->Bits();
    int32 targetStride = fSurface->BytesPerRow() / 4;
    const unsigned char* layerData = cairo_image_surface_get_data(layer);
    int32 layerStride = cairo_image_surface_get_stride(layer) / 4;
    const uint32* layerPixels = static_cast<const uint32*>(static_cast<const void*>(layerData));
    for (int32 y = 0; y < height; y++) {
        uint32* row = target + size_t(area.top + y) * size_t(targetStride) + area.left;
        const uint32* layerRow = layerPixels + size_t(y) * size_t(layerStride);
        for (int32 x = 0; x < width; x++) {
            uint32 coverage = layerRow[x] >> 24;
            if (coverage == 0)
                continue;
            rgb_color before = UnpackPremultiplied(row[x]);
            rgb_color after = CombineColors(state.drawingMode, before,
                UnpackPremultiplied(layerRow[x]), state.highColor, state.lowColor);
            rgb_color mixed
                = { Mix(before.red, after.red, coverage), Mix(before.green, after.green, coverage),
                      Mix(before.blue, after.blue, coverage), before.alpha };
            row[x] = PackPremultiplied(mixed);
        }
    }
    cairo_surface_destroy(layer);
    fSurface->MarkDirty(area);
}

} // namespace BPrivate
