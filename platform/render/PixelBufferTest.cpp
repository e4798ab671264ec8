#include <PixelBuffer.h>

#include <PixelFormat.h>
#include <SystemPalette.h>
#include <TestSandbox.h>

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

using namespace BPrivate;

namespace {

struct RowCase {
    color_space space;
    int32 width;
    int32 bytesPerRow;
};

class BytesPerRowTest : public testing::TestWithParam<RowCase> { };

TEST_P(BytesPerRowTest, RoundsTheRawRowUpToFourBytes)
{
    const RowCase& row = GetParam();
    EXPECT_EQ(DefaultBytesPerRow(row.space, row.width), row.bytesPerRow);
    PixelBuffer buffer(row.width, 3, row.space);
    ASSERT_EQ(buffer.InitCheck(), B_OK);
    EXPECT_EQ(buffer.BytesPerRow(), row.bytesPerRow);
    EXPECT_EQ(buffer.BitsLength(), size_t(row.bytesPerRow) * 3);
}

INSTANTIATE_TEST_SUITE_P(PixelBufferTest, BytesPerRowTest,
    testing::Values(RowCase { B_CMAP8, 16, 16 }, RowCase { B_CMAP8, 17, 20 },
        RowCase { B_CMAP8, 24, 24 }, RowCase { B_RGB32, 5, 20 }, RowCase { B_RGBA32, 150, 600 },
        RowCase { B_RGB24, 5, 16 }, RowCase { B_RGB16, 3, 8 }, RowCase { B_RGB15_BIG, 2, 4 },
        RowCase { B_GRAY8, 1, 4 }, RowCase { B_GRAY1, 9, 4 }, RowCase { B_GRAY1, 33, 8 }));

TEST(PixelBufferTest, RejectsARowSizeBelowTheDefaultButAcceptsALargerOne)
{
    PixelBuffer small(17, 2, B_CMAP8, 17);
    EXPECT_EQ(small.InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(small.Bits(), nullptr);
    PixelBuffer large(17, 2, B_CMAP8, 32);
    EXPECT_EQ(large.InitCheck(), B_OK);
    EXPECT_EQ(large.BytesPerRow(), 32);
}

TEST(PixelBufferTest, RejectsEmptySizesAndSpacesWithoutSimplePixels)
{
    EXPECT_EQ(PixelBuffer(0, 4, B_RGB32).InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(PixelBuffer(4, -1, B_RGB32).InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(PixelBuffer(4, 4, B_YCbCr422).InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(PixelBuffer(4, 4, B_RGB48).InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(PixelBuffer(4, 4, B_NO_COLOR_SPACE).InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(PixelBuffer(PixelBuffer::kMaxDimension + 1, 1, B_GRAY8).InitCheck(), B_NO_MEMORY);
}

TEST(PixelBufferTest, StoresThirtyTwoBitPixelsInThePlatformByteOrder)
{
    PixelBuffer rgb32(1, 1, B_RGB32);
    rgb32.SetPixelAt(0, 0, make_color(0x11, 0x22, 0x33));
    EXPECT_EQ(std::memcmp(rgb32.Bits(), "\x33\x22\x11\xff", 4), 0);
    PixelBuffer rgba32(1, 1, B_RGBA32);
    rgba32.SetPixelAt(0, 0, make_color(0x11, 0x22, 0x33, 0x44));
    EXPECT_EQ(std::memcmp(rgba32.Bits(), "\x33\x22\x11\x44", 4), 0);
    PixelBuffer big(1, 1, B_RGBA32_BIG);
    big.SetPixelAt(0, 0, make_color(0x11, 0x22, 0x33, 0x44));
    EXPECT_EQ(std::memcmp(big.Bits(), "\x44\x11\x22\x33", 4), 0);
    PixelBuffer rgb24(1, 1, B_RGB24);
    rgb24.SetPixelAt(0, 0, make_color(0x11, 0x22, 0x33));
    EXPECT_EQ(std::memcmp(rgb24.Bits(), "\x33\x22\x11", 3), 0);
}

TEST(PixelBufferTest, WritesTheTransparentMagicValueToOpaqueSpaces)
{
    PixelBuffer rgb32(1, 1, B_RGB32);
    rgb32.SetPixelAt(0, 0, B_TRANSPARENT_32_BIT);
    uint32 word;
    std::memcpy(&word, rgb32.Bits(), 4);
    EXPECT_EQ(word, uint32(B_TRANSPARENT_MAGIC_RGBA32));
    PixelBuffer cmap8(1, 1, B_CMAP8);
    cmap8.SetPixelAt(0, 0, make_color(1, 2, 3, 0));
    EXPECT_EQ(cmap8.Bits()[0], B_TRANSPARENT_MAGIC_CMAP8);
}

TEST(PixelBufferTest, GrayOneSetsABitForDarkPixelsFromTheLeft)
{
    PixelBuffer gray1(10, 1, B_GRAY1);
    gray1.SetPixelAt(0, 0, make_color(0, 0, 0));
    gray1.SetPixelAt(9, 0, make_color(10, 10, 10));
    EXPECT_EQ(gray1.Bits()[0], 0x80);
    EXPECT_EQ(gray1.Bits()[1], 0x40);
    EXPECT_EQ(gray1.PixelAt(0, 0), make_color(0, 0, 0));
    EXPECT_EQ(gray1.PixelAt(1, 0), make_color(255, 255, 255));
}

// Colours that every supported space stores exactly: black, white and pure
// primaries.
const rgb_color kExactColors[] = { make_color(0, 0, 0), make_color(255, 255, 255),
    make_color(255, 0, 0), make_color(0, 255, 0), make_color(0, 0, 255), make_color(255, 255, 0) };

class RoundTripTest : public testing::TestWithParam<color_space> { };

TEST_P(RoundTripTest, KeepsExactlyRepresentableColours)
{
    PixelBuffer source(6, 2, B_RGBA32);
    for (int32 x = 0; x < 6; x++) {
        source.SetPixelAt(x, 0, kExactColors[x]);
        source.SetPixelAt(x, 1, kExactColors[5 - x]);
    }
    PixelBuffer converted;
    ASSERT_EQ(source.ConvertTo(GetParam(), &converted), B_OK);
    PixelBuffer back;
    ASSERT_EQ(converted.ConvertTo(B_RGBA32, &back), B_OK);
    for (int32 y = 0; y < 2; y++) {
        for (int32 x = 0; x < 6; x++)
            EXPECT_EQ(back.PixelAt(x, y), source.PixelAt(x, y)) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(PixelBufferTest, RoundTripTest,
    testing::Values(B_RGB32, B_RGBA32, B_RGB32_BIG, B_RGBA32_BIG, B_RGB24, B_RGB24_BIG, B_RGB16,
        B_RGB16_BIG, B_RGB15, B_RGB15_BIG, B_RGBA15, B_RGBA15_BIG, B_CMAP8));

TEST(PixelBufferTest, GraySpacesKeepGrayLevels)
{
    PixelBuffer source(3, 1, B_RGB32);
    source.SetPixelAt(0, 0, make_color(0, 0, 0));
    source.SetPixelAt(1, 0, make_color(216, 216, 216));
    source.SetPixelAt(2, 0, make_color(255, 255, 255));
    PixelBuffer gray;
    ASSERT_EQ(source.ConvertTo(B_GRAY8, &gray), B_OK);
    EXPECT_EQ(std::memcmp(gray.Bits(), "\x00\xd8\xff", 3), 0);
    EXPECT_EQ(gray.PixelAt(1, 0), make_color(216, 216, 216));
}

TEST(PixelBufferTest, ColourMappedPixelsConvertThroughThePalette)
{
    PixelBuffer cmap8(3, 1, B_CMAP8);
    const uint8 indices[] = { 27, 33, kTransparentIndex };
    ASSERT_EQ(cmap8.ImportBits(indices, 3, 0, B_CMAP8), B_OK);
    PixelBuffer rgba;
    ASSERT_EQ(cmap8.ConvertTo(B_RGBA32, &rgba), B_OK);
    EXPECT_EQ(rgba.PixelAt(0, 0), make_color(216, 216, 216));
    EXPECT_EQ(rgba.PixelAt(1, 0), make_color(0, 0, 229));
    EXPECT_EQ(rgba.PixelAt(2, 0).alpha, 0);
    PixelBuffer back;
    ASSERT_EQ(rgba.ConvertTo(B_CMAP8, &back), B_OK);
    EXPECT_EQ(std::memcmp(back.Bits(), indices, 3), 0);
}

uint32 Argb(uint8 a, uint8 r, uint8 g, uint8 b)
{
    return (uint32(a) << 24) | (uint32(r) << 16) | (uint32(g) << 8) | b;
}

TEST(PixelBufferTest, ExportKeepsTransparencyOrPaintsTheStoredColour)
{
    PixelBuffer cmap8(2, 1, B_CMAP8);
    const uint8 indices[] = { 42, kTransparentIndex };
    cmap8.ImportBits(indices, 2, 0, B_CMAP8);
    uint32 pixels[2];
    cmap8.ExportARGB32(pixels, 8, Transparency::kKeep);
    EXPECT_EQ(pixels[0], Argb(255, 255, 0, 0));
    EXPECT_EQ(pixels[1], 0u);
    cmap8.ExportARGB32(pixels, 8, Transparency::kOpaque);
    EXPECT_EQ(pixels[1], Argb(255, 255, 255, 255));

    PixelBuffer rgb32(2, 1, B_RGB32);
    rgb32.SetPixelAt(0, 0, make_color(1, 2, 3));
    rgb32.SetPixelAt(1, 0, B_TRANSPARENT_32_BIT);
    rgb32.ExportARGB32(pixels, 8, Transparency::kKeep);
    EXPECT_EQ(pixels[0], Argb(255, 1, 2, 3));
    EXPECT_EQ(pixels[1], 0u);
    rgb32.ExportARGB32(pixels, 8, Transparency::kOpaque);
    EXPECT_EQ(pixels[1], Argb(255, 0x77, 0x74, 0x77));
}

TEST(PixelBufferTest, ExportPremultipliesAndImportUndoesIt)
{
    PixelBuffer rgba(3, 1, B_RGBA32);
    rgba.SetPixelAt(0, 0, make_color(200, 100, 50, 128));
    rgba.SetPixelAt(1, 0, make_color(10, 20, 30, 255));
    rgba.SetPixelAt(2, 0, make_color(10, 20, 30, 0));
    uint32 pixels[3];
    rgba.ExportARGB32(pixels, 12, Transparency::kKeep);
    EXPECT_EQ(pixels[0], Argb(128, 100, 50, 25));
    EXPECT_EQ(pixels[1], Argb(255, 10, 20, 30));
    EXPECT_EQ(pixels[2], 0u);
    PixelBuffer back(3, 1, B_RGBA32);
    back.ImportARGB32(pixels, 12);
    rgb_color half = back.PixelAt(0, 0);
    EXPECT_NEAR(half.red, 200, 1);
    EXPECT_NEAR(half.green, 100, 1);
    EXPECT_NEAR(half.blue, 50, 1);
    EXPECT_EQ(half.alpha, 128);
    EXPECT_EQ(back.PixelAt(1, 0), make_color(10, 20, 30, 255));
    EXPECT_EQ(back.PixelAt(2, 0).alpha, 0);
}

TEST(PixelBufferTest, ImportOfExportedKeyedPixelsIsLossless)
{
    PixelBuffer cmap8(16, 16, B_CMAP8);
    for (int32 y = 0; y < 16; y++) {
        for (int32 x = 0; x < 16; x++)
            cmap8.RowAt(y)[x] = uint8(y * 16 + x);
    }
    std::vector<uint32> pixels(256);
    cmap8.ExportARGB32(pixels.data(), 64, Transparency::kKeep);
    PixelBuffer back(16, 16, B_CMAP8);
    back.ImportARGB32(pixels.data(), 64);
    const rgb_color* palette = SystemPalette();
    for (int32 i = 0; i < 256; i++) {
        uint8 index = back.Bits()[i];
        EXPECT_EQ(palette[index], palette[i]) << i;
    }
}

TEST(PixelBufferTest, ImportBitsCopiesRawBytesAtAnOffset)
{
    PixelBuffer buffer(4, 2, B_CMAP8);
    const uint8 bytes[] = { 1, 2, 3, 4, 5, 6 };
    ASSERT_EQ(buffer.ImportBits(bytes, sizeof(bytes), 2, B_CMAP8), B_OK);
    const uint8 expected[] = { 0, 0, 1, 2, 3, 4, 5, 6 };
    EXPECT_EQ(std::memcmp(buffer.Bits(), expected, 8), 0);
    // Data running past the end is cut off rather than overflowing.
    ASSERT_EQ(buffer.ImportBits(bytes, sizeof(bytes), 6, B_CMAP8), B_OK);
    EXPECT_EQ(buffer.Bits()[7], 2);
    EXPECT_EQ(buffer.ImportBits(bytes, sizeof(bytes), 9, B_CMAP8), B_BAD_VALUE);
}

TEST(PixelBufferTest, ImportBitsConvertsWholeRowsFromAnotherSpace)
{
    PixelBuffer buffer(2, 2, B_CMAP8);
    // Two rows of B_RGB32 pixels: red, white / blue-ish, transparent magic.
    const uint8 rgb32[]
        = { 0, 0, 255, 255, 255, 255, 255, 255, 229, 0, 0, 255, 0x77, 0x74, 0x77, 0 };
    ASSERT_EQ(buffer.ImportBits(rgb32, sizeof(rgb32), 0, B_RGB32), B_OK);
    EXPECT_EQ(buffer.RowAt(0)[0], 42);
    EXPECT_EQ(buffer.RowAt(0)[1], 63);
    EXPECT_EQ(buffer.RowAt(1)[0], 33);
    EXPECT_EQ(buffer.ImportBits(rgb32, sizeof(rgb32), 2, B_RGB32), B_BAD_VALUE);
}

TEST(PixelBufferTest, PngRoundTripKeepsStraightAlpha)
{
    PixelBuffer source(5, 3, B_RGBA32);
    for (int32 y = 0; y < 3; y++) {
        for (int32 x = 0; x < 5; x++)
            source.SetPixelAt(x, y, make_color(uint8(x * 50), uint8(y * 100), 7, uint8(x * 60)));
    }
    std::vector<uint8> png;
    ASSERT_EQ(source.EncodePNG(&png), B_OK);
    PixelBuffer decoded;
    ASSERT_EQ(PixelBuffer::DecodePNG(png.data(), png.size(), &decoded), B_OK);
    EXPECT_EQ(decoded.ColorSpace(), B_RGBA32);
    ASSERT_EQ(decoded.Width(), 5);
    ASSERT_EQ(decoded.Height(), 3);
    EXPECT_EQ(std::memcmp(decoded.Bits(), source.Bits(), source.BitsLength()), 0);
}

TEST(PixelBufferTest, OpaquePngFilesReadBackAsRgb32)
{
    PixelBuffer source(7, 2, B_CMAP8);
    for (int32 x = 0; x < 7; x++) {
        source.RowAt(0)[x] = uint8(x * 9);
        source.RowAt(1)[x] = uint8(200 + x);
    }
    std::string path = brenvik::test::MakeTempFolder() + "/opaque.png";
    ASSERT_EQ(source.WritePNG(path.c_str()), B_OK);
    PixelBuffer decoded;
    ASSERT_EQ(PixelBuffer::ReadPNG(path.c_str(), &decoded), B_OK);
    EXPECT_EQ(decoded.ColorSpace(), B_RGB32);
    for (int32 y = 0; y < 2; y++) {
        for (int32 x = 0; x < 7; x++)
            EXPECT_EQ(decoded.PixelAt(x, y), source.PixelAt(x, y));
    }
}

TEST(PixelBufferTest, BrokenPngDataIsRejected)
{
    PixelBuffer decoded;
    const char garbage[] = "not a png at all";
    EXPECT_EQ(PixelBuffer::DecodePNG(garbage, sizeof(garbage), &decoded), B_BAD_DATA);
    EXPECT_FALSE(decoded.IsValid());

    PixelBuffer source(40, 40, B_RGBA32);
    source.Fill(make_color(1, 2, 3, 4));
    std::vector<uint8> png;
    ASSERT_EQ(source.EncodePNG(&png), B_OK);
    for (size_t cut : { size_t(8), size_t(30), png.size() / 2, png.size() - 13 }) {
        EXPECT_EQ(PixelBuffer::DecodePNG(png.data(), cut, &decoded), B_BAD_DATA) << cut;
        EXPECT_FALSE(decoded.IsValid());
    }
}

TEST(PixelBufferTest, ReadingAMissingFileReportsIt)
{
    PixelBuffer decoded;
    std::string path = brenvik::test::MakeTempFolder() + "/missing.png";
    EXPECT_EQ(PixelBuffer::ReadPNG(path.c_str(), &decoded), B_ENTRY_NOT_FOUND);
}

} // namespace
