#pragma once

// RenderFont: a font as the drawing layer uses it, a value type (family and
// style, size, shear, rotation, spacing, encoding, face and flags) with its
// metrics: string widths, heights and truncation. The interface kit's BFont
// keeps one.
//
// Sizes are pixels per em (the platform's points at 72 dpi). The defaults
// follow the original platform: the plain font is Liberation Sans at 10, the
// bold font Liberation Sans Bold at 12 and the fixed font Liberation Mono at
// 12. Liberation Sans has the metrics of the sans-serif family the platform
// shipped, so text takes the same room.

#include <FontDefs.h>

#include <string>
#include <vector>

typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace BPrivate {

// One character of a laid-out string.
struct GlyphPlacement {
    uint32 glyph;
    float x;
    float advance;
    int32 byteOffset;
    int32 byteLength;
};

class RenderFont {
public:
    RenderFont();

    static RenderFont PlainFont();
    static RenderFont BoldFont();
    static RenderFont FixedFont();

    // B_NAME_NOT_FOUND for an unknown family or style (the font is then
    // unchanged). A null family keeps the family; a null style picks the
    // regular style.
    status_t SetFamilyAndStyle(const char* family, const char* style);
    void SetFamilyAndStyle(uint32 code);
    status_t SetFamilyAndFace(const char* family, uint16 face);
    uint32 FamilyAndStyle() const { return (uint32(fFamily) << 16) | uint32(fStyle); }
    int32 FamilyId() const { return fFamily; }
    int32 StyleId() const { return fStyle; }
    const char* FamilyName() const;
    const char* StyleName() const;

    // Sizes are kept between 0 and 10000; 0 draws nothing.
    void SetSize(float size);
    float Size() const { return fSize; }
    // Degrees, 45 to 135; 90 is upright and smaller angles lean to the right.
    void SetShear(float shear);
    float Shear() const { return fShear; }
    // Degrees counter-clockwise; at 90 text runs from bottom to top.
    void SetRotation(float rotation);
    float Rotation() const { return fRotation; }
    void SetSpacing(uint8 spacing) { fSpacing = spacing; }
    uint8 Spacing() const { return fSpacing; }
    void SetEncoding(uint8 encoding) { fEncoding = encoding; }
    uint8 Encoding() const { return fEncoding; }
    // Bold and italic choose the style; underscore, strikeout, negative and
    // outlined are drawn on top of it.
    void SetFace(uint16 face);
    uint16 Face() const;
    void SetFlags(uint32 flags) { fFlags = flags; }
    uint32 Flags() const { return fFlags; }
    bool IsFixed() const;

    float StringWidth(const char* string, int32 length = -1) const;
    void GetHeight(font_height* height) const;

    // `string` shortened so that it fits in `width`, with the platform's
    // ellipsis "…" standing for what was cut (see FontTruncation.cpp for the
    // four modes). A string that fits is returned unchanged; when not even
    // the ellipsis fits the result is empty.
    std::string TruncateString(const char* string, uint32 mode, float width) const;

    // Lays out a string on its baseline from x = 0 at `scale` times the
    // font's size. Returns the total advance. Invalid UTF-8 bytes become
    // U+FFFD; control characters take no room and draw nothing (their glyph
    // is 0 with a zero advance). `delta`, when given, widens every space and
    // every other character.
    float Layout(const char* string, int32 length, float scale, std::vector<GlyphPlacement>* out,
        const escapement_delta* delta = nullptr) const;

    // The scaled font used for measuring at `scale` times the size (a new
    // reference, or null for size 0).
    cairo_scaled_font_t* ScaledFont(float scale) const;
    bool Antialiased() const { return (fFlags & B_DISABLE_ANTIALIASING) == 0; }
    bool HintedMetrics() const { return fSpacing != B_STRING_SPACING; }

    // The text in UTF-8, converted from the font's encoding (UTF-8 or ISO
    // 8859-1; the other encodings are read as ISO 8859-1).
    std::string ToUtf8(const char* string, int32 length) const;

    bool operator==(const RenderFont& other) const;
    bool operator!=(const RenderFont& other) const { return !(*this == other); }

private:
    int32 fFamily;
    int32 fStyle;
    float fSize = 10;
    float fShear = 90;
    float fRotation = 0;
    uint8 fSpacing = B_BITMAP_SPACING;
    uint8 fEncoding = B_UNICODE_UTF8;
    uint16 fDecorations = 0;
    uint32 fFlags = 0;
};

} // namespace BPrivate
