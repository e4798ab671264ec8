#include <FontManager.h>

#include <cairo-ft.h>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <strings.h>
#include <unistd.h>

#include <EmbeddedFonts.h>
#include <Environment.h>

namespace BPrivate {

namespace {

struct FamilyInfo {
    const char* name;
    const char* filePrefix;
    const char* fallback;
    uint32 flags;
};

const FamilyInfo kFamilies[] = {
    { "Liberation Sans", "LiberationSans", "sans-serif", 0 },
    { "Liberation Serif", "LiberationSerif", "serif", 0 },
    { "Liberation Mono", "LiberationMono", "monospace", B_IS_FIXED },
};

struct StyleInfo {
    const char* name;
    const char* fileSuffix;
    uint16 face;
};

const StyleInfo kStyles[] = {
    { "Regular", "Regular", B_REGULAR_FACE },
    { "Bold", "Bold", B_BOLD_FACE },
    { "Italic", "Italic", B_ITALIC_FACE },
    { "Bold Italic", "BoldItalic", B_BOLD_FACE | B_ITALIC_FACE },
};

struct Alias {
    const char* name;
    int32 index;
};

// Names under which programs ask for the three families: the platform's own
// fonts, the fonts the Liberation families stand in for, and generic names.
const Alias kFamilyAliases[] = {
    { "Swis721 BT", 0 },
    { "Swiss 721", 0 },
    { "Helvetica", 0 },
    { "Arial", 0 },
    { "Noto Sans", 0 },
    { "DejaVu Sans", 0 },
    { "Sans", 0 },
    { "sans-serif", 0 },
    { "Dutch801 Rm BT", 1 },
    { "Dutch 801", 1 },
    { "Times", 1 },
    { "Times New Roman", 1 },
    { "Noto Serif", 1 },
    { "DejaVu Serif", 1 },
    { "Serif", 1 },
    { "Courier10 BT", 2 },
    { "Courier 10 Pitch", 2 },
    { "Courier", 2 },
    { "Courier New", 2 },
    { "Noto Sans Mono", 2 },
    { "DejaVu Sans Mono", 2 },
    { "Mono", 2 },
    { "Monospace", 2 },
};

const Alias kStyleAliases[] = {
    { "Roman", 0 },
    { "Book", 0 },
    { "Normal", 0 },
    { "Plain", 0 },
    { "Medium", 0 },
    { "Oblique", 2 },
    { "Bold Oblique", 3 },
    { "BoldItalic", 3 },
    { "BoldOblique", 3 },
};

// The folders searched for the font files, in order. BRENVIK_FONT_DIR, when
// set, is used alone.
const char* const kFontFolders[] = {
    "/usr/share/fonts/truetype/liberation2",
    "/usr/share/fonts/truetype/liberation",
};

cairo_user_data_key_t sFreeTypeFaceKey;

void ReleaseFreeTypeFace(void* face)
{
    FT_Done_Face(static_cast<FT_Face>(face));
}

std::string ChooseDirectory()
{
    const char* configured = Environment::Get("BRENVIK_FONT_DIR");
    if (configured != nullptr && configured[0] != '\0')
        return configured;
    for (const char* folder : kFontFolders) {
        std::string probe = std::string(folder) + "/LiberationSans-Regular.ttf";
        if (access(probe.c_str(), R_OK) == 0)
            return folder;
    }
    return kFontFolders[0];
}

// A cairo face of a FreeType face, which it then owns: the FreeType face
// must live as long as the cairo face made from it.
cairo_font_face_t* CairoFace(FT_Face ftFace)
{
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    if (cairo_font_face_set_user_data(face, &sFreeTypeFaceKey, ftFace, ReleaseFreeTypeFace)
        == CAIRO_STATUS_SUCCESS) {
        return face;
    }
    cairo_font_face_destroy(face);
    FT_Done_Face(ftFace);
    return nullptr;
}

} // namespace

FontManager& FontManager::Default()
{
    // Made once and never destroyed: cairo font faces and the FreeType
    // library must outlive every thread that may still draw while the
    // program ends.
    static FontManager* sManager = new FontManager;
    return *sManager;
}

FontManager::FontManager()
    : fDirectory(ChooseDirectory())
{
    const char* configured = Environment::Get("BRENVIK_FONT_DIR");
    fDirectoryOnly = configured != nullptr && configured[0] != '\0';
    LoadFaces();
}

void FontManager::LoadFaces()
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0)
        fLibrary = library;
    fStatus = B_OK;
    for (int32 family = 0; family < kFamilyCount; family++) {
        for (int32 style = 0; style < kStyleCount; style++) {
            std::string fileName = std::string(kFamilies[family].filePrefix) + "-"
                + kStyles[style].fileSuffix + ".ttf";
            fFaces[family][style] = LoadFace(fileName, family, style);
        }
    }
}

cairo_font_face_t* FontManager::FaceFromFile(const std::string& path)
{
    FT_Face ftFace = nullptr;
    if (fLibrary == nullptr
        || FT_New_Face(static_cast<FT_Library>(fLibrary), path.c_str(), 0, &ftFace) != 0)
        return nullptr;
    return CairoFace(ftFace);
}

cairo_font_face_t* FontManager::FaceFromMemory(const char* fileName)
{
    std::span<const uint8> data = EmbeddedFontFile(fileName);
    FT_Face ftFace = nullptr;
    if (data.empty() || fLibrary == nullptr
        || FT_New_Memory_Face(
               static_cast<FT_Library>(fLibrary), data.data(), FT_Long(data.size()), 0, &ftFace)
            != 0)
        return nullptr;
    return CairoFace(ftFace);
}

cairo_font_face_t* FontManager::LoadFace(const std::string& fileName, int32 family, int32 style)
{
    std::string path = fDirectory + "/" + fileName;
    cairo_font_face_t* face = nullptr;
    if (fDirectoryOnly) {
        face = FaceFromFile(path);
    } else {
        face = FaceFromMemory(fileName.c_str());
        if (face == nullptr)
            face = FaceFromFile(path);
    }
    if (face != nullptr)
        return face;

    fStatus = B_ENTRY_NOT_FOUND;
    bool bold = (kStyles[style].face & B_BOLD_FACE) != 0;
    bool italic = (kStyles[style].face & B_ITALIC_FACE) != 0;
    // A face the machine lacks: a built-in one, upright, of the same family
    // and weight where there is one (the fixed family has only its regular
    // face), else of the plain family. Quietly, as this is what a machine
    // without the Liberation fonts always gets.
    if (!fDirectoryOnly) {
        const char* weight = bold ? "-Bold.ttf" : "-Regular.ttf";
        const std::string standIns[] = {
            std::string(family == kMonoFamily ? "LiberationMono" : "LiberationSans") + weight,
            family == kMonoFamily ? "LiberationMono-Regular.ttf" : "",
            std::string("LiberationSans") + weight,
        };
        for (const std::string& standIn : standIns) {
            if (!standIn.empty() && (face = FaceFromMemory(standIn.c_str())) != nullptr)
                return face;
        }
    }
    static bool sSaid = false;
    if (!sSaid) {
        sSaid = true;
        std::fprintf(stderr,
            "brenvik: font file %s could not be loaded; using a system font instead\n",
            path.c_str());
    }
    return cairo_toy_font_face_create(kFamilies[family].fallback,
        italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
}

int32 FontManager::CountFamilies() const
{
    return kFamilyCount;
}

const char* FontManager::FamilyName(int32 family) const
{
    if (family < 0 || family >= kFamilyCount)
        return nullptr;
    return kFamilies[family].name;
}

uint32 FontManager::FamilyFlags(int32 family) const
{
    if (family < 0 || family >= kFamilyCount)
        return 0;
    return kFamilies[family].flags;
}

int32 FontManager::CountStyles(int32 family) const
{
    return family >= 0 && family < kFamilyCount ? kStyleCount : 0;
}

const char* FontManager::StyleName(int32 family, int32 style) const
{
    if (family < 0 || family >= kFamilyCount || style < 0 || style >= kStyleCount)
        return nullptr;
    return kStyles[style].name;
}

uint16 FontManager::StyleFace(int32 family, int32 style) const
{
    if (family < 0 || family >= kFamilyCount || style < 0 || style >= kStyleCount)
        return 0;
    return kStyles[style].face;
}

int32 FontManager::FindFamily(const char* name) const
{
    if (name == nullptr)
        return -1;
    for (int32 family = 0; family < kFamilyCount; family++) {
        if (strcasecmp(name, kFamilies[family].name) == 0)
            return family;
    }
    for (const Alias& alias : kFamilyAliases) {
        if (strcasecmp(name, alias.name) == 0)
            return alias.index;
    }
    return -1;
}

int32 FontManager::FindStyle(int32 family, const char* name) const
{
    if (family < 0 || family >= kFamilyCount || name == nullptr)
        return -1;
    for (int32 style = 0; style < kStyleCount; style++) {
        if (strcasecmp(name, kStyles[style].name) == 0)
            return style;
    }
    for (const Alias& alias : kStyleAliases) {
        if (strcasecmp(name, alias.name) == 0)
            return alias.index;
    }
    return -1;
}

int32 FontManager::FindStyleForFace(int32 family, uint16 face) const
{
    if (family < 0 || family >= kFamilyCount)
        return -1;
    bool bold = (face & B_BOLD_FACE) != 0;
    bool italic = (face & B_ITALIC_FACE) != 0;
    if (bold && italic)
        return kBoldItalicStyle;
    if (bold)
        return kBoldStyle;
    if (italic)
        return kItalicStyle;
    return kRegularStyle;
}

cairo_font_face_t* FontManager::FontFace(int32 family, int32 style) const
{
    if (family < 0 || family >= kFamilyCount || style < 0 || style >= kStyleCount)
        return fFaces[0][0];
    return fFaces[family][style];
}

cairo_scaled_font_t* FontManager::ScaledFont(const ScaledFontKey& key)
{
    std::lock_guard<std::mutex> lock(fCacheLock);
    auto found = fCache.find(key);
    if (found != fCache.end())
        return cairo_scaled_font_reference(found->second);

    cairo_matrix_t fontMatrix;
    double slant = std::tan((90.0 - key.shear) * M_PI / 180.0);
    cairo_matrix_init(&fontMatrix, key.size, 0, -slant * key.size, key.size, 0, 0);
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(
        options, key.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(
        options, key.hintedMetrics ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
    cairo_scaled_font_t* font = cairo_scaled_font_create(
        FontFace(key.family, key.style), &fontMatrix, &identity, options);
    cairo_font_options_destroy(options);

    // A program that keeps asking for new sizes must not grow the cache
    // without end; fonts still in use elsewhere keep their own references.
    if (fCache.size() >= kMaxCachedFonts) {
        for (auto& entry : fCache)
            cairo_scaled_font_destroy(entry.second);
        fCache.clear();
    }
    fCache[key] = cairo_scaled_font_reference(font);
    return font;
}

} // namespace BPrivate
