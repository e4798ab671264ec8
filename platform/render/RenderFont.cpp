#include <RenderFont.h>

#include <FontManager.h>
#include <Utf8.h>

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstring>

namespace BPrivate {

namespace {

constexpr uint16 kDecorationFaces
    = B_UNDERSCORE_FACE | B_NEGATIVE_FACE | B_OUTLINED_FACE | B_STRIKEOUT_FACE;

bool IsControl(uint32 codePoint)
{
    return codePoint < 0x20 || codePoint == 0x7f;
}

// The advance every character gets with B_FIXED_SPACING: that of "M", so
// that proportional fonts set on a grid do not overlap.
float FixedAdvance(cairo_scaled_font_t* font)
{
    cairo_text_extents_t extents;
    cairo_scaled_font_text_extents(font, "M", &extents);
    return float(extents.x_advance);
}

} // namespace

RenderFont::RenderFont()
    : fFamily(FontManager::kSansFamily)
    , fStyle(FontManager::kRegularStyle)
{
}

RenderFont RenderFont::PlainFont()
{
    return RenderFont();
}

RenderFont RenderFont::BoldFont()
{
    RenderFont font;
    font.fStyle = FontManager::kBoldStyle;
    font.fSize = 12;
    return font;
}

RenderFont RenderFont::FixedFont()
{
    RenderFont font;
    font.fFamily = FontManager::kMonoFamily;
    font.fSize = 12;
    return font;
}

status_t RenderFont::SetFamilyAndStyle(const char* family, const char* style)
{
    FontManager& manager = FontManager::Default();
    int32 familyId = family != nullptr ? manager.FindFamily(family) : fFamily;
    if (familyId < 0)
        return B_NAME_NOT_FOUND;
    int32 styleId
        = style != nullptr ? manager.FindStyle(familyId, style) : int32(FontManager::kRegularStyle);
    if (styleId < 0)
        return B_NAME_NOT_FOUND;
    fFamily = familyId;
    fStyle = styleId;
    return B_OK;
}

void RenderFont::SetFamilyAndStyle(uint32 code)
{
    FontManager& manager = FontManager::Default();
    int32 familyId = int32(code >> 16);
    int32 styleId = int32(code & 0xffff);
    if (manager.StyleName(familyId, styleId) == nullptr)
        return;
    fFamily = familyId;
    fStyle = styleId;
}

status_t RenderFont::SetFamilyAndFace(const char* family, uint16 face)
{
    FontManager& manager = FontManager::Default();
    int32 familyId = family != nullptr ? manager.FindFamily(family) : fFamily;
    if (familyId < 0)
        return B_NAME_NOT_FOUND;
    fFamily = familyId;
    SetFace(face);
    return B_OK;
}

const char* RenderFont::FamilyName() const
{
    return FontManager::Default().FamilyName(fFamily);
}

const char* RenderFont::StyleName() const
{
    return FontManager::Default().StyleName(fFamily, fStyle);
}

void RenderFont::SetSize(float size)
{
    fSize = std::isnan(size) ? 0.0f : std::clamp(size, 0.0f, 10000.0f);
}

void RenderFont::SetShear(float shear)
{
    fShear = std::isnan(shear) ? 90.0f : std::clamp(shear, 45.0f, 135.0f);
}

void RenderFont::SetRotation(float rotation)
{
    fRotation = std::isfinite(rotation) ? rotation : 0.0f;
}

void RenderFont::SetFace(uint16 face)
{
    fStyle = FontManager::Default().FindStyleForFace(fFamily, face);
    fDecorations = face & kDecorationFaces;
}

uint16 RenderFont::Face() const
{
    uint16 face = FontManager::Default().StyleFace(fFamily, fStyle);
    if (fDecorations != 0)
        face = uint16((face & ~B_REGULAR_FACE) | fDecorations);
    return face;
}

bool RenderFont::IsFixed() const
{
    return (FontManager::Default().FamilyFlags(fFamily) & B_IS_FIXED) != 0;
}

cairo_scaled_font_t* RenderFont::ScaledFont(float scale) const
{
    // Glyphs larger than any surface would only cost memory.
    float size = std::min(fSize * scale, 10000.0f);
    if (!(size > 0))
        return nullptr;
    ScaledFontKey key;
    key.family = fFamily;
    key.style = fStyle;
    key.size = size;
    key.shear = fShear;
    key.hintedMetrics = HintedMetrics();
    key.antialias = Antialiased();
    return FontManager::Default().ScaledFont(key);
}

std::string RenderFont::ToUtf8(const char* string, int32 length) const
{
    std::string text;
    if (string == nullptr)
        return text;
    if (length < 0)
        length = int32(std::strlen(string));
    std::vector<DecodedChar> chars;
    if (fEncoding == B_UNICODE_UTF8)
        DecodeUtf8(string, length, &chars);
    else
        DecodeLatin1(string, length, &chars);
    text.reserve(size_t(length));
    for (const DecodedChar& decoded : chars)
        AppendUtf8(&text, decoded.codePoint);
    return text;
}

float RenderFont::Layout(const char* string, int32 length, float scale,
    std::vector<GlyphPlacement>* out, const escapement_delta* delta) const
{
    out->clear();
    if (string == nullptr)
        return 0;
    if (length < 0)
        length = int32(std::strlen(string));
    std::vector<DecodedChar> chars;
    if (fEncoding == B_UNICODE_UTF8)
        DecodeUtf8(string, length, &chars);
    else
        DecodeLatin1(string, length, &chars);

    cairo_scaled_font_t* font = ScaledFont(scale);
    if (font == nullptr || chars.empty()) {
        for (const DecodedChar& decoded : chars)
            out->push_back(GlyphPlacement { 0, 0, 0, decoded.byteOffset, decoded.byteLength });
        if (font != nullptr)
            cairo_scaled_font_destroy(font);
        return 0;
    }

    // Only printable characters go to the font; control characters keep
    // their place in the output with no glyph and no width.
    std::string visible;
    for (const DecodedChar& decoded : chars) {
        if (!IsControl(decoded.codePoint))
            AppendUtf8(&visible, decoded.codePoint);
    }
    cairo_glyph_t* glyphs = nullptr;
    int glyphCount = 0;
    if (!visible.empty()) {
        cairo_scaled_font_text_to_glyphs(font, 0, 0, visible.data(), int(visible.size()), &glyphs,
            &glyphCount, nullptr, nullptr, nullptr);
    }
    float fixedAdvance = fSpacing == B_FIXED_SPACING ? FixedAdvance(font) : 0;

    float x = 0;
    int glyphIndex = 0;
    for (const DecodedChar& decoded : chars) {
        GlyphPlacement placement { 0, x, 0, decoded.byteOffset, decoded.byteLength };
        if (!IsControl(decoded.codePoint) && glyphIndex < glyphCount) {
            const cairo_glyph_t& glyph = glyphs[glyphIndex];
            placement.glyph = uint32(glyph.index);
            float advance;
            if (fSpacing == B_FIXED_SPACING)
                advance = fixedAdvance;
            else if (glyphIndex + 1 < glyphCount)
                advance = float(glyphs[glyphIndex + 1].x - glyph.x);
            else {
                cairo_text_extents_t extents;
                cairo_scaled_font_glyph_extents(font, &glyph, 1, &extents);
                advance = float(extents.x_advance);
            }
            if (delta != nullptr) {
                float extra = decoded.codePoint == ' ' ? delta->space : delta->nonspace;
                if (std::isfinite(extra))
                    advance += std::clamp(extra, -1000.0f, 1000.0f) * scale;
            }
            placement.advance = advance;
            glyphIndex++;
        }
        x += placement.advance;
        out->push_back(placement);
    }
    if (glyphs != nullptr)
        cairo_glyph_free(glyphs);
    cairo_scaled_font_destroy(font);
    return x;
}

float RenderFont::StringWidth(const char* string, int32 length) const
{
    std::vector<GlyphPlacement> placements;
    return Layout(string, length, 1.0f, &placements);
}

void RenderFont::GetHeight(font_height* height) const
{
    if (height == nullptr)
        return;
    *height = font_height { 0, 0, 0 };
    cairo_scaled_font_t* font = ScaledFont(1.0f);
    if (font == nullptr)
        return;
    cairo_font_extents_t extents;
    cairo_scaled_font_extents(font, &extents);
    cairo_scaled_font_destroy(font);
    height->ascent = float(extents.ascent);
    height->descent = float(extents.descent);
    height->leading = std::max(0.0f, float(extents.height - extents.ascent - extents.descent));
}

bool RenderFont::operator==(const RenderFont& other) const
{
    return fFamily == other.fFamily && fStyle == other.fStyle && fSize == other.fSize
        && fShear == other.fShear && fRotation == other.fRotation && fSpacing == other.fSpacing
        && fEncoding == other.fEncoding && fDecorations == other.fDecorations
        && fFlags == other.fFlags;
}

} // namespace BPrivate
