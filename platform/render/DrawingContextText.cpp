// DrawingContext: strings. Glyphs are placed by RenderFont::Layout (so that
// what is drawn matches what StringWidth measured) and drawn by Cairo from
// the fixed font files, with the antialiasing and hinting options of the
// font, never the desktop's.

#include <DrawingContext.h>

#include <FontManager.h>

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstring>

namespace BPrivate {

namespace {

void SetCairoFont(cairo_t* cairo, const RenderFont& font, double size)
{
    cairo_set_font_face(cairo, FontManager::Default().FontFace(font.FamilyId(), font.StyleId()));
    double slant = std::tan((90.0 - font.Shear()) * M_PI / 180.0);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, size, 0, -slant * size, size, 0, 0);
    cairo_set_font_matrix(cairo, &matrix);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(
        options, font.Antialiased() ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(
        options, font.HintedMetrics() ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cairo, options);
    cairo_font_options_destroy(options);
}

// Thickness and placement of underlines and strike-through lines for a font
// size: one pixel at the usual sizes, growing with the size.
double DecorationThickness(double size)
{
    return std::max(1.0, std::round(size / 14.0));
}

// A string laid out for drawing: its glyphs on the baseline from x = 0, in
// surface pixels.
struct TextRun {
    std::vector<cairo_glyph_t> glyphs;
    double advance = 0;
    double angle = 0;
    double size = 0;
    double ascent = 0;
    double descent = 0;
};

// A surface's scale (`deviceScale`) leaves the places of the glyphs where
// they are in points, so that text is as wide as StringWidth measured; only
// the glyphs themselves are drawn at the pixel size.
TextRun LayOut(const RenderFont& font, const Op::String& op, double scale, double deviceScale)
{
    TextRun run;
    std::vector<GlyphPlacement> placements;
    double layoutScale = scale / deviceScale;
    run.advance = deviceScale
        * font.Layout(op.text.data(), int32(op.text.size()), float(layoutScale), &placements,
            op.delta ? &*op.delta : nullptr);
    for (const GlyphPlacement& placement : placements) {
        if (placement.glyph != 0 || placement.advance != 0)
            run.glyphs.push_back(cairo_glyph_t { placement.glyph, placement.x * deviceScale, 0 });
    }
    run.angle = font.Rotation() * M_PI / 180.0;
    run.size = std::min(font.Size() * scale, 10000.0);
    font_height height;
    font.GetHeight(&height);
    run.ascent = std::ceil(height.ascent * scale);
    run.descent = std::ceil(height.descent * scale);
    return run;
}

// Glyphs (filled, or outlined for B_OUTLINED_FACE) and the underline and
// strike-through lines, with the source already set. Lines are as thick on
// a scaled surface as they are in points.
void DrawRun(cairo_t* cairo, const TextRun& run, uint16 face, double deviceScale)
{
    double pointSize = run.size / deviceScale;
    double thickness = std::round(DecorationThickness(pointSize) * deviceScale);
    if ((face & B_OUTLINED_FACE) != 0) {
        cairo_glyph_path(cairo, run.glyphs.data(), int(run.glyphs.size()));
        cairo_set_line_width(cairo, std::round(deviceScale));
        cairo_stroke(cairo);
    } else {
        cairo_show_glyphs(cairo, run.glyphs.data(), int(run.glyphs.size()));
    }
    if ((face & B_UNDERSCORE_FACE) != 0)
        cairo_rectangle(cairo, 0,
            std::round(std::max(1.0, std::round(pointSize / 10.0)) * deviceScale), run.advance,
            thickness);
    if ((face & B_STRIKEOUT_FACE) != 0)
        cairo_rectangle(
            cairo, 0, -std::round(run.ascent * 0.3) - thickness, run.advance, thickness);
    cairo_fill(cairo);
}

} // namespace

void DrawingContext::DrawString(
    const char* string, int32 length, BPoint where, const escapement_delta* delta)
{
    if (string == nullptr)
        return;
    if (length < 0)
        length = int32(std::strlen(string));
    Op::String op { std::string(string, size_t(length)), where, std::nullopt };
    if (delta != nullptr)
        op.delta = *delta;
    Dispatch(op);
}

void DrawingContext::DrawString(const char* string, int32 length, const escapement_delta* delta)
{
    if (string == nullptr)
        return;
    if (length < 0)
        length = int32(std::strlen(string));
    Op::String op { std::string(string, size_t(length)), std::nullopt, std::nullopt };
    if (delta != nullptr)
        op.delta = *delta;
    Dispatch(op);
}

void DrawingContext::DoString(const Op::String& op)
{
    DrawingState& state = fLevels.back().state;
    BPoint where = op.where.value_or(state.penLocation);
    const RenderFont font = state.font;
    double scale = TotalScale();
    TextRun run = LayOut(font, op, scale, fDeviceScale);
    // The pen moves along the (possibly rotated) baseline.
    state.penLocation = where
        + BPoint(float(run.advance / scale * std::cos(run.angle)),
            float(-run.advance / scale * std::sin(run.angle)));
    if (!(run.size > 0) || fCairo == nullptr)
        return;

    BPoint anchor = LocalToDevice(where);
    double x = Edge(anchor.x), y = Edge(anchor.y);
    double reach = run.advance + 2 * run.size + 2;
    clipping_rect bounds = { NearestPixel(x - reach), NearestPixel(y - reach),
        NearestPixel(x + reach), NearestPixel(y + reach) };
    auto place = [&](cairo_t* cairo) {
        cairo_translate(cairo, x, y);
        cairo_rotate(cairo, -run.angle);
    };
    uint16 face = font.Face();
    if ((face & B_NEGATIVE_FACE) != 0) {
        // Negative text: the high colour fills the line's box and the
        // glyphs are drawn in the low colour.
        PaintPath(
            [&](cairo_t* cairo) {
                place(cairo);
                cairo_rectangle(cairo, 0, -run.ascent, run.advance, run.ascent + run.descent);
            },
            true, false, B_SOLID_HIGH, bounds);
        std::swap(state.highColor, state.lowColor);
    }
    Paint(PaintSpec { &B_SOLID_HIGH, bounds }, [&](cairo_t* cairo, double) {
        place(cairo);
        SetCairoFont(cairo, font, run.size);
        DrawRun(cairo, run, face, fDeviceScale);
    });
    if ((face & B_NEGATIVE_FACE) != 0)
        std::swap(state.highColor, state.lowColor);
}

} // namespace BPrivate
