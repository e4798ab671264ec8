#pragma once

// FontManager: the fonts this platform draws with. They come from fixed font
// files (the Liberation families) loaded through FreeType, not from a
// fontconfig lookup, and are rendered with explicit antialiasing and hinting
// options, so that one build draws the same pixels on every machine. The
// faces windows use (Sans regular and bold, Mono regular) are built into
// the program (EmbeddedFonts.h); the others are read from the machine's
// Liberation files, and where those are missing a built-in face stands in.

#include <FontDefs.h>

#include <map>
#include <mutex>
#include <string>
#include <tuple>

typedef struct _cairo_font_face cairo_font_face_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace BPrivate {

// What a scaled font is made for: a face at a size and shear, with hinted
// (whole-pixel) or exact advances, with or without antialiasing.
struct ScaledFontKey {
    int32 family = 0;
    int32 style = 0;
    float size = 10;
    float shear = 90;
    bool hintedMetrics = true;
    bool antialias = true;

    auto Tie() const { return std::tie(family, style, size, shear, hintedMetrics, antialias); }
    bool operator<(const ScaledFontKey& other) const { return Tie() < other.Tie(); }
};

class FontManager {
public:
    // The process-wide manager, loaded on first use (thread-safe).
    static FontManager& Default();

    // B_OK when every face was loaded from its own file (built in or on the
    // machine). Otherwise a face whose file is missing is drawn with a
    // built-in face, or, when even that is missing (only with
    // BRENVIK_FONT_DIR, which names the one folder to read every face from),
    // with a system font (said once on standard error).
    status_t InitCheck() const { return fStatus; }
    const std::string& Directory() const { return fDirectory; }

    int32 CountFamilies() const;
    const char* FamilyName(int32 family) const;
    uint32 FamilyFlags(int32 family) const;
    int32 CountStyles(int32 family) const;
    const char* StyleName(int32 family, int32 style) const;
    uint16 StyleFace(int32 family, int32 style) const;

    // A family by name, case-insensitively; the platform's own family names
    // ("Swis721 BT", "Courier10 BT", ...) and common ones are aliases. -1
    // when unknown.
    int32 FindFamily(const char* name) const;
    // A style by name ("Roman" and "Book" mean Regular); -1 when unknown.
    int32 FindStyle(int32 family, const char* name) const;
    // The style of a family that best matches the bold and italic bits of
    // `face`.
    int32 FindStyleForFace(int32 family, uint16 face) const;

    // The face of a family and style (borrowed; lives as long as the program).
    cairo_font_face_t* FontFace(int32 family, int32 style) const;

    // A new reference to a scaled font with an identity device transform,
    // for measuring; the caller releases it with cairo_scaled_font_destroy.
    cairo_scaled_font_t* ScaledFont(const ScaledFontKey& key);

    // The families in table order: sans, serif, mono.
    enum { kSansFamily = 0, kSerifFamily = 1, kMonoFamily = 2 };
    enum { kRegularStyle = 0, kBoldStyle = 1, kItalicStyle = 2, kBoldItalicStyle = 3 };

private:
    FontManager();
    ~FontManager() = delete;

    void LoadFaces();
    cairo_font_face_t* LoadFace(const std::string& fileName, int32 family, int32 style);
    cairo_font_face_t* FaceFromMemory(const char* fileName);
    cairo_font_face_t* FaceFromFile(const std::string& path);

    static constexpr int32 kFamilyCount = 3;
    static constexpr int32 kStyleCount = 4;
    static constexpr size_t kMaxCachedFonts = 256;

    std::string fDirectory;
    // BRENVIK_FONT_DIR was set: every face is read from fDirectory.
    bool fDirectoryOnly = false;
    status_t fStatus = B_NO_INIT;
    cairo_font_face_t* fFaces[kFamilyCount][kStyleCount] = {};
    void* fLibrary = nullptr;

    std::mutex fCacheLock;
    std::map<ScaledFontKey, cairo_scaled_font_t*> fCache;
};

} // namespace BPrivate
