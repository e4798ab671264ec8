#pragma once

// BFont: a font of the interface kit (family and style, size, shear,
// rotation, spacing, encoding, face, flags) with its metrics. The system
// fonts be_plain_font, be_bold_font and be_fixed_font are those of the
// original platform, drawn with the Liberation families (see RenderFont.h).

#include <FontDefs.h>
#include <SupportDefs.h>

#include <memory>

namespace BPrivate {
class RenderAccess;
class RenderFont;
} // namespace BPrivate

enum font_direction {
    B_FONT_LEFT_TO_RIGHT = 0,
    B_FONT_RIGHT_TO_LEFT = 1,
};

enum font_file_format {
    B_TRUETYPE_WINDOWS = 0,
    B_POSTSCRIPT_TYPE1_WINDOWS = 1,
};

class BFont {
public:
    BFont();
    BFont(const BFont& font);
    explicit BFont(const BFont* font);
    ~BFont();

    BFont& operator=(const BFont& font);
    bool operator==(const BFont& font) const;
    bool operator!=(const BFont& font) const;

    status_t SetFamilyAndStyle(const font_family family, const font_style style);
    void SetFamilyAndStyle(uint32 code);
    status_t SetFamilyAndFace(const font_family family, uint16 face);

    void SetSize(float size);
    void SetShear(float shear);
    void SetRotation(float rotation);
    void SetFalseBoldWidth(float width);
    void SetSpacing(uint8 spacing);
    void SetEncoding(uint8 encoding);
    void SetFace(uint16 face);
    void SetFlags(uint32 flags);

    void GetFamilyAndStyle(font_family* family, font_style* style) const;
    uint32 FamilyAndStyle() const;
    float Size() const;
    float Shear() const;
    float Rotation() const;
    float FalseBoldWidth() const;
    uint8 Spacing() const;
    uint8 Encoding() const;
    uint16 Face() const;
    uint32 Flags() const;
    font_direction Direction() const;
    bool IsFixed() const;
    font_file_format FileFormat() const;

    float StringWidth(const char* string) const;
    float StringWidth(const char* string, int32 length) const;
    void GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
        float widthArray[]) const;

    // Shortens each string to `width` in one of the B_TRUNCATE_* modes, with
    // the ellipsis "…" standing for what was cut. Each result buffer must hold
    // the input string's length plus 3 bytes (the ellipsis is three bytes in
    // UTF-8 and replaces at least one byte).
    void GetTruncatedStrings(const char* stringArray[], int32 numStrings, uint32 mode, float width,
        char* resultArray[]) const;

    // The advance of each character, in ems.
    void GetEscapements(const char charArray[], int32 numChars, float escapementArray[]) const;

    void GetHeight(font_height* height) const;

    void PrintToStream() const;

private:
    friend class BPrivate::RenderAccess;

    const BPrivate::RenderFont& Render() const { return *fFont; }
    BPrivate::RenderFont& MutableRender();
    void SetRender(const BPrivate::RenderFont& font);

    // The drawing layer's form of the font, shared between copies until one
    // of them changes (fonts are copied often while drawing). Never null.
    std::shared_ptr<BPrivate::RenderFont> fFont;
    float fFalseBoldWidth = 0;
};

extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

int32 count_font_families();
status_t get_font_family(int32 index, font_family* name, uint32* flags = nullptr);
int32 count_font_styles(font_family name);
status_t get_font_style(font_family family, int32 index, font_style* name, uint32* flags = nullptr);
status_t get_font_style(
    font_family family, int32 index, font_style* name, uint16* face, uint32* flags = nullptr);
