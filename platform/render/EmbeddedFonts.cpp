#include <EmbeddedFonts.h>

#include <zlib.h>

#include <cstring>
#include <mutex>
#include <vector>

// Each file is placed, gzip-compressed, in the read-only data by the
// assembler (.incbin), from the folder that BRENVIK_FONT_PACKED_DIR names
// at build time (platform/render/CMakeLists.txt compresses them there),
// between two symbols that mark its start and end.
#define BRENVIK_EMBED_FONT(symbol, file)                                                           \
    __asm__(".pushsection .rodata\n"                                                               \
            ".balign 16\n"                                                                         \
            ".globl " #symbol "\n"                                                                 \
            ".hidden " #symbol "\n" #symbol ":\n"                                                  \
            ".incbin \"" BRENVIK_FONT_PACKED_DIR "/" file ".gz\"\n"                                \
            ".globl " #symbol "_end\n"                                                             \
            ".hidden " #symbol "_end\n" #symbol "_end:\n"                                          \
            ".popsection\n");                                                                      \
    extern "C" const uint8 symbol[];                                                               \
    extern "C" const uint8 symbol##_end[];

BRENVIK_EMBED_FONT(brenvik_font_sans_regular, "LiberationSans-Regular.ttf")
BRENVIK_EMBED_FONT(brenvik_font_sans_bold, "LiberationSans-Bold.ttf")
BRENVIK_EMBED_FONT(brenvik_font_mono_regular, "LiberationMono-Regular.ttf")

namespace BPrivate {

namespace {

// No built-in font is larger; a damaged size field cannot ask for more.
constexpr size_t kMaxFontSize = 8 * 1024 * 1024;

struct BuiltInFont {
    const char* fileName;
    const uint8* start;
    const uint8* end;
    std::once_flag once;
    std::vector<uint8> bytes;
};

BuiltInFont sBuiltInFonts[] = {
    { "LiberationSans-Regular.ttf", brenvik_font_sans_regular, brenvik_font_sans_regular_end, {},
        {} },
    { "LiberationSans-Bold.ttf", brenvik_font_sans_bold, brenvik_font_sans_bold_end, {}, {} },
    { "LiberationMono-Regular.ttf", brenvik_font_mono_regular, brenvik_font_mono_regular_end, {},
        {} },
};

// The file's bytes, from its gzip stream (whose last four bytes give the
// uncompressed size); empty when the stream does not inflate to that size.
std::vector<uint8> Inflate(const uint8* start, const uint8* end)
{
    size_t packed = size_t(end - start);
    if (packed < 18)
        return {};
    const uint8* sizeField = end - 4;
    size_t size = size_t(sizeField[0]) | size_t(sizeField[1]) << 8 | size_t(sizeField[2]) << 16
        | size_t(sizeField[3]) << 24;
    if (size == 0 || size > kMaxFontSize)
        return {};
    std::vector<uint8> bytes(size);
    z_stream stream = {};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return {};
    stream.next_in = const_cast<Bytef*>(start);
    stream.avail_in = uInt(packed);
    stream.next_out = bytes.data();
    stream.avail_out = uInt(bytes.size());
    int result = inflate(&stream, Z_FINISH);
    bool whole = result == Z_STREAM_END && stream.total_out == size;
    inflateEnd(&stream);
    if (!whole)
        return {};
    return bytes;
}

} // namespace

std::span<const uint8> EmbeddedFontFile(const char* fileName)
{
    for (BuiltInFont& font : sBuiltInFonts) {
        if (std::strcmp(font.fileName, fileName) != 0)
            continue;
        // Inflated once, on first use, and kept: FreeType reads a face
        // from its bytes for as long as the face lives.
        std::call_once(font.once, [&font] { font.bytes = Inflate(font.start, font.end); });
        return font.bytes;
    }
    return {};
}

} // namespace BPrivate
