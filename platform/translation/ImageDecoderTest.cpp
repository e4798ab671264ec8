#include <ImageDecoder.h>
#include <ImageTestSupport.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

using namespace BPrivate;
using namespace brenvik::test;

namespace {

constexpr int32 kWidth = 13;
constexpr int32 kHeight = 7;

struct Sample {
    const char* name;
    std::function<Bytes()> make;
    ImageFormat format;
    color_space space;
    // The colour expected at (x, y).
    std::function<rgb_color(int32, int32)> expected;
    // How far each channel may be off (JPEG is lossy).
    int tolerance;
};

rgb_color Opaque(int32 x, int32 y)
{
    return TestColor(x, y, true);
}

rgb_color Translucent(int32 x, int32 y)
{
    return TestColor(x, y, false);
}

rgb_color Paletted(int32 x, int32 y)
{
    return PaletteColor(PaletteIndex(x, y));
}

rgb_color PalettedWithHole(int32 x, int32 y)
{
    return PaletteIndex(x, y) == 5 ? rgb_color { 0, 0, 0, 0 } : Paletted(x, y);
}

rgb_color Grey(int32 x, int32 y)
{
    uint8 level = TestColor(x, y, true).green;
    return rgb_color { level, level, level, 255 };
}

std::vector<Sample> Samples()
{
    return {
        { "PngOpaque", [] { return MakePng(TestPicture(kWidth, kHeight, true)); },
            ImageFormat::kPng, B_RGB32, Opaque, 0 },
        { "PngWithAlpha", [] { return MakePng(TestPicture(kWidth, kHeight, false)); },
            ImageFormat::kPng, B_RGBA32, Translucent, 0 },
        { "Jpeg", [] { return MakeJpeg(TestPicture(kWidth, kHeight, true)); }, ImageFormat::kJpeg,
            B_RGB32, Opaque, 12 },
        { "JpegGrey", [] { return MakeJpeg(TestPicture(kWidth, kHeight, true), true); },
            ImageFormat::kJpeg, B_RGB32, Grey, 6 },
        { "Gif", [] { return MakeGif(kWidth, kHeight); }, ImageFormat::kGif, B_RGB32, Paletted, 0 },
        { "GifInterlacedTransparent", [] { return MakeGif(kWidth, kHeight, 5, true); },
            ImageFormat::kGif, B_RGBA32, PalettedWithHole, 0 },
        { "Bmp24BottomUp", [] { return MakeBmp(kWidth, kHeight, 24, false); }, ImageFormat::kBmp,
            B_RGB32, Opaque, 0 },
        { "Bmp24TopDown", [] { return MakeBmp(kWidth, kHeight, 24, true); }, ImageFormat::kBmp,
            B_RGB32, Opaque, 0 },
        { "Bmp32", [] { return MakeBmp(kWidth, kHeight, 32, false); }, ImageFormat::kBmp, B_RGB32,
            Opaque, 0 },
        { "Bmp32WithAlphaTopDown", [] { return MakeBmp(kWidth, kHeight, 32, true, true); },
            ImageFormat::kBmp, B_RGBA32, Translucent, 0 },
        { "Bmp8Paletted", [] { return MakeBmp(kWidth, kHeight, 8, false); }, ImageFormat::kBmp,
            B_RGB32, Paletted, 0 },
        { "Bmp8PalettedTopDown", [] { return MakeBmp(kWidth, kHeight, 8, true); },
            ImageFormat::kBmp, B_RGB32, Paletted, 0 },
        { "TranslatorBitmap", [] { return MakeTranslatorBitmap(kWidth, kHeight); },
            ImageFormat::kTranslatorBitmap, B_RGBA32, Translucent, 0 },
    };
}

class ImageDecoderTest : public testing::TestWithParam<Sample> { };

TEST_P(ImageDecoderTest, DecodesEveryPixel)
{
    const Sample& sample = GetParam();
    Bytes bytes = sample.make();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(DetectImageFormat(bytes.data(), bytes.size()), sample.format);
    PixelBuffer image;
    ASSERT_EQ(DecodeImage(bytes.data(), bytes.size(), &image), B_OK);
    ASSERT_EQ(image.Width(), kWidth);
    ASSERT_EQ(image.Height(), kHeight);
    EXPECT_EQ(image.ColorSpace(), sample.space);
    for (int32 y = 0; y < kHeight; y++) {
        for (int32 x = 0; x < kWidth; x++) {
            rgb_color want = sample.expected(x, y);
            rgb_color got = image.PixelAt(x, y);
            if (want.alpha == 0) {
                EXPECT_EQ(got.alpha, 0) << x << "," << y;
                continue;
            }
            EXPECT_NEAR(got.red, want.red, sample.tolerance) << x << "," << y;
            EXPECT_NEAR(got.green, want.green, sample.tolerance) << x << "," << y;
            EXPECT_NEAR(got.blue, want.blue, sample.tolerance) << x << "," << y;
            EXPECT_EQ(got.alpha, want.alpha) << x << "," << y;
        }
    }
}

TEST_P(ImageDecoderTest, RefusesTheFileCutShort)
{
    Bytes bytes = GetParam().make();
    for (size_t length : { size_t(0), size_t(1), size_t(4), size_t(12), size_t(30), size_t(40),
             bytes.size() / 2, bytes.size() * 3 / 4 }) {
        Bytes cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(length));
        PixelBuffer image;
        EXPECT_NE(DecodeImage(cut.data(), cut.size(), &image), B_OK) << length;
        EXPECT_FALSE(image.IsValid());
    }
}

// Random damage must give an error or some image, never a crash, a read
// outside the data or an outsized allocation (run under AddressSanitizer).
TEST_P(ImageDecoderTest, SurvivesRandomDamage)
{
    const Bytes original = GetParam().make();
    std::mt19937 random(20261208);
    for (int round = 0; round < 2000; round++) {
        Bytes bytes = original;
        int changes = 1 + int(random() % 8);
        for (int i = 0; i < changes; i++) {
            size_t at = random() % bytes.size();
            switch (random() % 4) {
            case 0:
                bytes[at] ^= uint8(1u << (random() % 8));
                break;
            case 1:
                bytes[at] = uint8(random());
                break;
            case 2:
                // The kind of value that breaks size arithmetic.
                bytes[at] = (random() % 2) != 0 ? 0xff : 0x00;
                break;
            default:
                if (bytes.size() > 1 && at > 8)
                    bytes.resize(at);
                break;
            }
        }
        PixelBuffer image;
        if (DecodeImage(bytes.data(), bytes.size(), &image) == B_OK) {
            ASSERT_TRUE(image.IsValid());
            ASSERT_GT(image.Width(), 0);
            ASSERT_GT(image.Height(), 0);
            ASSERT_LE(uint64(image.Width()) * uint64(image.Height()), kMaxImagePixels);
        } else {
            ASSERT_FALSE(image.IsValid());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, ImageDecoderTest, testing::ValuesIn(Samples()),
    [](const testing::TestParamInfo<Sample>& param) { return std::string(param.param.name); });

// Files whose headers claim an image far larger than their data could fill.
struct HugeSample {
    const char* name;
    std::function<Bytes()> make;
};

void SetBig32(Bytes* bytes, size_t at, uint32 value)
{
    for (int i = 0; i < 4; i++)
        (*bytes)[at + size_t(i)] = uint8(value >> (24 - 8 * i));
}

void SetLittle32(Bytes* bytes, size_t at, uint32 value)
{
    for (int i = 0; i < 4; i++)
        (*bytes)[at + size_t(i)] = uint8(value >> (8 * i));
}

// The offset of a JPEG's start-of-frame marker.
size_t FrameMarker(const Bytes& bytes)
{
    for (size_t i = 2; i + 1 < bytes.size(); i++) {
        if (bytes[i] == 0xff && bytes[i + 1] == 0xc0)
            return i;
    }
    return 0;
}

std::vector<HugeSample> HugeSamples()
{
    return {
        { "Png",
            [] {
                Bytes bytes = MakePng(TestPicture(4, 4, true));
                SetBig32(&bytes, 16, 60000);
                SetBig32(&bytes, 20, 60000);
                return bytes;
            } },
        { "Jpeg",
            [] {
                Bytes bytes = MakeJpeg(TestPicture(8, 8, true));
                size_t frame = FrameMarker(bytes);
                // Height, then width, 16 bits each, after length and precision.
                bytes[frame + 5] = bytes[frame + 6] = bytes[frame + 7] = bytes[frame + 8] = 0xfe;
                return bytes;
            } },
        { "Gif",
            [] {
                Bytes bytes = MakeGif(4, 4);
                bytes[6] = bytes[7] = bytes[8] = bytes[9] = 0xff;
                return bytes;
            } },
        { "Bmp",
            [] {
                Bytes bytes = MakeBmp(4, 4, 24, false);
                SetLittle32(&bytes, 18, 0x7fffffff);
                SetLittle32(&bytes, 22, 0x80000001);
                return bytes;
            } },
        { "BmpWithinLimitsButNoData",
            [] {
                Bytes bytes = MakeBmp(4, 4, 1, false);
                SetLittle32(&bytes, 18, 8000);
                SetLittle32(&bytes, 22, 8000);
                return bytes;
            } },
        { "TranslatorBitmap",
            [] {
                Bytes bytes = MakeTranslatorBitmap(4, 4);
                float side = 1.0e9f;
                uint32 bits;
                std::memcpy(&bits, &side, 4);
                SetBig32(&bytes, 12, bits);
                SetBig32(&bytes, 16, bits);
                return bytes;
            } },
    };
}

class HugeImageTest : public testing::TestWithParam<HugeSample> { };

TEST_P(HugeImageTest, IsRefusedWithoutAllocatingIt)
{
    Bytes bytes = GetParam().make();
    PixelBuffer image;
    EXPECT_NE(DecodeImage(bytes.data(), bytes.size(), &image), B_OK);
    EXPECT_FALSE(image.IsValid());
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, HugeImageTest, testing::ValuesIn(HugeSamples()),
    [](const testing::TestParamInfo<HugeSample>& param) { return std::string(param.param.name); });

TEST(ImageDecoderTest, UnknownBytesAreNotSupported)
{
    const char text[] = "just some text, not a picture";
    PixelBuffer image;
    EXPECT_EQ(
        DecodeImage(reinterpret_cast<const uint8*>(text), sizeof(text), &image), B_NOT_SUPPORTED);
    EXPECT_EQ(DecodeImage(nullptr, 0, &image), B_NOT_SUPPORTED);
    EXPECT_EQ(DecodeImage(reinterpret_cast<const uint8*>(text), 2, &image), B_NOT_SUPPORTED);
}

TEST(ImageDecoderTest, RunLengthBmpIsNotSupported)
{
    Bytes bytes = MakeBmp(4, 4, 8, false);
    SetLittle32(&bytes, 30, 1);
    PixelBuffer image;
    EXPECT_EQ(DecodeImage(bytes.data(), bytes.size(), &image), B_NOT_SUPPORTED);
}

TEST(ImageDecoderTest, BitmapStreamOfAnUnknownColorSpaceIsNotSupported)
{
    for (uint32 space : { 0x9108u, 0xffffffffu, uint32(B_RGBA64), uint32(B_NO_COLOR_SPACE) }) {
        Bytes bytes = MakeTranslatorBitmap(4, 4);
        SetBig32(&bytes, 24, space);
        PixelBuffer image;
        EXPECT_EQ(DecodeImage(bytes.data(), bytes.size(), &image), B_NOT_SUPPORTED) << space;
    }
}

TEST(ImageDecoderTest, BitmapStreamsInOtherColorSpacesAreConverted)
{
    Bytes bytes = MakeTranslatorBitmap(2, 1);
    bytes.resize(32);
    SetBig32(&bytes, 20, 4);
    SetBig32(&bytes, 24, B_RGB16);
    SetBig32(&bytes, 28, 4);
    // Pure red and pure blue in 5-6-5, little-endian.
    bytes.insert(bytes.end(), { 0x00, 0xf8, 0x1f, 0x00 });
    PixelBuffer image;
    ASSERT_EQ(DecodeImage(bytes.data(), bytes.size(), &image), B_OK);
    EXPECT_EQ(image.ColorSpace(), B_RGB32);
    EXPECT_EQ(image.PixelAt(0, 0).red, 255);
    EXPECT_EQ(image.PixelAt(0, 0).blue, 0);
    EXPECT_EQ(image.PixelAt(1, 0).blue, 255);
    EXPECT_EQ(image.PixelAt(1, 0).red, 0);
}

} // namespace
