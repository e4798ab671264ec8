#include <Font.h>

#include <FontManager.h>
#include <RenderFont.h>

#include "RenderAccess.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The system fonts live for the whole program; they are made on first use
// so that the font files are not loaded by programs that never draw.
const BFont& PlainFont()
{
    static const BFont* font = [] {
        BFont* made = new BFont;
        BPrivate::RenderAccess::SetFont(made, BPrivate::RenderFont::PlainFont());
        return made;
    }();
    return *font;
}

const BFont& BoldFont()
{
    static const BFont* font = [] {
        BFont* made = new BFont;
        BPrivate::RenderAccess::SetFont(made, BPrivate::RenderFont::BoldFont());
        return made;
    }();
    return *font;
}

const BFont& FixedFont()
{
    static const BFont* font = [] {
        BFont* made = new BFont;
        BPrivate::RenderAccess::SetFont(made, BPrivate::RenderFont::FixedFont());
        return made;
    }();
    return *font;
}

// The form of the plain font that default-made fonts share.
const std::shared_ptr<BPrivate::RenderFont>& SharedPlainFont()
{
    static const std::shared_ptr<BPrivate::RenderFont> font
        = std::make_shared<BPrivate::RenderFont>(BPrivate::RenderFont::PlainFont());
    return font;
}

void CopyName(char* destination, const char* name)
{
    std::snprintf(destination, B_FONT_FAMILY_LENGTH + 1, "%s", name != nullptr ? name : "");
}

} // namespace

const BFont* be_plain_font = &PlainFont();
const BFont* be_bold_font = &BoldFont();
const BFont* be_fixed_font = &FixedFont();

BFont::BFont()
    : fFont(SharedPlainFont())
{
}

BFont::BFont(const BFont& font) = default;

BFont::BFont(const BFont* font)
    : fFont(font != nullptr ? font->fFont : SharedPlainFont())
    , fFalseBoldWidth(font != nullptr ? font->fFalseBoldWidth : 0)
{
}

BFont::~BFont() = default;

BFont& BFont::operator=(const BFont& font) = default;

bool BFont::operator==(const BFont& font) const
{
    return (fFont == font.fFont || *fFont == *font.fFont)
        && fFalseBoldWidth == font.fFalseBoldWidth;
}

BPrivate::RenderFont& BFont::MutableRender()
{
    if (fFont.use_count() > 1)
        fFont = std::make_shared<BPrivate::RenderFont>(*fFont);
    return *fFont;
}

void BFont::SetRender(const BPrivate::RenderFont& font)
{
    if (fFont.use_count() > 1)
        fFont = std::make_shared<BPrivate::RenderFont>(font);
    else
        *fFont = font;
}

bool BFont::operator!=(const BFont& font) const
{
    return !(*this == font);
}

status_t BFont::SetFamilyAndStyle(const font_family family, const font_style style)
{
    return MutableRender().SetFamilyAndStyle(family, style);
}

void BFont::SetFamilyAndStyle(uint32 code)
{
    MutableRender().SetFamilyAndStyle(code);
}

status_t BFont::SetFamilyAndFace(const font_family family, uint16 face)
{
    return MutableRender().SetFamilyAndFace(family, face);
}

void BFont::SetSize(float size)
{
    MutableRender().SetSize(size);
}

void BFont::SetShear(float shear)
{
    MutableRender().SetShear(shear);
}

void BFont::SetRotation(float rotation)
{
    MutableRender().SetRotation(rotation);
}

void BFont::SetFalseBoldWidth(float width)
{
    fFalseBoldWidth = width;
}

void BFont::SetSpacing(uint8 spacing)
{
    MutableRender().SetSpacing(spacing);
}

void BFont::SetEncoding(uint8 encoding)
{
    MutableRender().SetEncoding(encoding);
}

void BFont::SetFace(uint16 face)
{
    MutableRender().SetFace(face);
}

void BFont::SetFlags(uint32 flags)
{
    MutableRender().SetFlags(flags);
}

void BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
    if (family != nullptr)
        CopyName(*family, fFont->FamilyName());
    if (style != nullptr)
        CopyName(*style, fFont->StyleName());
}

uint32 BFont::FamilyAndStyle() const
{
    return fFont->FamilyAndStyle();
}

float BFont::Size() const
{
    return fFont->Size();
}

float BFont::Shear() const
{
    return fFont->Shear();
}

float BFont::Rotation() const
{
    return fFont->Rotation();
}

float BFont::FalseBoldWidth() const
{
    return fFalseBoldWidth;
}

uint8 BFont::Spacing() const
{
    return fFont->Spacing();
}

uint8 BFont::Encoding() const
{
    return fFont->Encoding();
}

uint16 BFont::Face() const
{
    return fFont->Face();
}

uint32 BFont::Flags() const
{
    return fFont->Flags();
}

font_direction BFont::Direction() const
{
    return B_FONT_LEFT_TO_RIGHT;
}

bool BFont::IsFixed() const
{
    return fFont->IsFixed();
}

font_file_format BFont::FileFormat() const
{
    return B_TRUETYPE_WINDOWS;
}

float BFont::StringWidth(const char* string) const
{
    return string != nullptr ? fFont->StringWidth(string) : 0;
}

float BFont::StringWidth(const char* string, int32 length) const
{
    return string != nullptr ? fFont->StringWidth(string, length) : 0;
}

void BFont::GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
    float widthArray[]) const
{
    if (stringArray == nullptr || lengthArray == nullptr || widthArray == nullptr)
        return;
    for (int32 i = 0; i < numStrings; i++)
        widthArray[i] = StringWidth(stringArray[i], lengthArray[i]);
}

void BFont::GetTruncatedStrings(const char* stringArray[], int32 numStrings, uint32 mode,
    float width, char* resultArray[]) const
{
    if (stringArray == nullptr || resultArray == nullptr)
        return;
    for (int32 i = 0; i < numStrings; i++) {
        if (resultArray[i] == nullptr)
            continue;
        const char* input = stringArray[i] != nullptr ? stringArray[i] : "";
        std::string result = fFont->TruncateString(input, mode, width);
        // The caller's buffer holds the input's length plus 3 bytes; a result
        // never needs more, but it is cut there rather than trusted.
        size_t room = std::strlen(input) + 3;
        if (result.size() >= room)
            result.resize(room - 1);
        std::memcpy(resultArray[i], result.c_str(), result.size() + 1);
    }
}

void BFont::GetEscapements(const char charArray[], int32 numChars, float escapementArray[]) const
{
    if (charArray == nullptr || escapementArray == nullptr || numChars <= 0)
        return;
    std::vector<BPrivate::GlyphPlacement> glyphs;
    int32 length = int32(std::strlen(charArray));
    fFont->Layout(charArray, length, 1, &glyphs);
    float size = fFont->Size() > 0 ? fFont->Size() : 1;
    for (int32 i = 0; i < numChars; i++) {
        escapementArray[i] = i < int32(glyphs.size()) ? glyphs[size_t(i)].advance / size : 0;
    }
}

void BFont::GetHeight(font_height* height) const
{
    if (height != nullptr)
        fFont->GetHeight(height);
}

void BFont::PrintToStream() const
{
    std::printf("BFont { %s, %s, size %.1f, shear %.1f, rotation %.1f, spacing %d, face 0x%x, "
                "flags 0x%x }\n",
        fFont->FamilyName(), fFont->StyleName(), double(Size()), double(Shear()),
        double(Rotation()), int(Spacing()), unsigned(Face()), unsigned(Flags()));
}

int32 count_font_families()
{
    return BPrivate::FontManager::Default().CountFamilies();
}

status_t get_font_family(int32 index, font_family* name, uint32* flags)
{
    BPrivate::FontManager& manager = BPrivate::FontManager::Default();
    if (name == nullptr)
        return B_BAD_VALUE;
    if (index < 0 || index >= manager.CountFamilies())
        return B_BAD_VALUE;
    CopyName(*name, manager.FamilyName(index));
    if (flags != nullptr)
        *flags = manager.FamilyFlags(index);
    return B_OK;
}

int32 count_font_styles(font_family name)
{
    BPrivate::FontManager& manager = BPrivate::FontManager::Default();
    int32 family = manager.FindFamily(name);
    return family < 0 ? B_ERROR : manager.CountStyles(family);
}

status_t get_font_style(font_family family, int32 index, font_style* name, uint32* flags)
{
    uint16 face = 0;
    return get_font_style(family, index, name, &face, flags);
}

status_t get_font_style(
    font_family family, int32 index, font_style* name, uint16* face, uint32* flags)
{
    BPrivate::FontManager& manager = BPrivate::FontManager::Default();
    int32 id = manager.FindFamily(family);
    if (name == nullptr || id < 0 || index < 0 || index >= manager.CountStyles(id))
        return B_BAD_VALUE;
    CopyName(*name, manager.StyleName(id, index));
    if (face != nullptr)
        *face = manager.StyleFace(id, index);
    if (flags != nullptr)
        *flags = manager.FamilyFlags(id);
    return B_OK;
}
