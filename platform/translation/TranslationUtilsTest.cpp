#include <TranslationUtils.h>

#include <Bitmap.h>
#include <DataIO.h>
#include <File.h>
#include <ImageDecoder.h>
#include <ImageTestSupport.h>
#include <Resources.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>

using namespace brenvik::test;

namespace {

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The colour of one pixel of a B_RGBA32 or B_RGB32 bitmap, read through
// Bits() and BytesPerRow() as a caller would.
rgb_color BitmapPixel(const BBitmap& bitmap, int32 x, int32 y)
{
    const uint8* pixel
        = static_cast<const uint8*>(bitmap.Bits()) + y * bitmap.BytesPerRow() + 4 * x;
    uint8 alpha = bitmap.ColorSpace() == B_RGBA32 ? pixel[3] : 255;
    return rgb_color { pixel[2], pixel[1], pixel[0], alpha };
}

struct FileSample {
    const char* name;
    // A misleading file name on purpose: formats are told by content.
    const char* fileName;
    Bytes (*make)();
    color_space space;
    bool lossy;
};

class GetBitmapTest : public testing::TestWithParam<FileSample> {
protected:
    std::string fFolder = MakeTempFolder("translation");
};

TEST_P(GetBitmapTest, LoadsTheFileIntoANewBitmap)
{
    const FileSample& sample = GetParam();
    std::string path = fFolder + "/" + sample.fileName;
    WriteFile(path, sample.make());
    std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(path.c_str()));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 10, 5));
    EXPECT_EQ(bitmap->ColorSpace(), sample.space);
    for (int32 y = 0; y < 6; y++) {
        for (int32 x = 0; x < 11; x++) {
            rgb_color want = TestColor(x, y, sample.space == B_RGB32);
            rgb_color got = BitmapPixel(*bitmap, x, y);
            int tolerance = sample.lossy ? 12 : 0;
            EXPECT_NEAR(got.red, want.red, tolerance);
            EXPECT_NEAR(got.green, want.green, tolerance);
            EXPECT_NEAR(got.blue, want.blue, tolerance);
            EXPECT_EQ(got.alpha, want.alpha);
        }
    }
}

TEST_P(GetBitmapTest, FollowsSymbolicLinks)
{
    std::string path = fFolder + "/" + GetParam().fileName;
    WriteFile(path, GetParam().make());
    std::string link = fFolder + "/link";
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(link.c_str()));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 10, 5));
}

TEST_P(GetBitmapTest, ReadsFromAStreamAtItsPosition)
{
    Bytes bytes { 'j', 'u', 'n', 'k' };
    Bytes image = GetParam().make();
    bytes.insert(bytes.end(), image.begin(), image.end());
    BMemoryIO stream(bytes.data(), bytes.size());
    ASSERT_EQ(stream.Seek(4, SEEK_SET), 4);
    std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(&stream));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 10, 5));
    stream.Seek(0, SEEK_SET);
    EXPECT_EQ(BTranslationUtils::GetBitmap(&stream), nullptr);
}

TEST_P(GetBitmapTest, ADamagedFileGivesNoBitmap)
{
    Bytes bytes = GetParam().make();
    bytes.resize(bytes.size() / 2);
    std::string path = fFolder + "/" + GetParam().fileName;
    WriteFile(path, bytes);
    status_t status = B_OK;
    EXPECT_EQ(BTranslationUtils::GetBitmap(path.c_str(), &status), nullptr);
    EXPECT_NE(status, B_OK);
}

Bytes Png()
{
    return MakePng(TestPicture(11, 6, false));
}

Bytes Jpeg()
{
    return MakeJpeg(TestPicture(11, 6, true));
}

Bytes Bmp()
{
    return MakeBmp(11, 6, 24, false);
}

Bytes Stream()
{
    return MakeTranslatorBitmap(11, 6);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, GetBitmapTest,
    testing::Values(FileSample { "Png", "picture.png", Png, B_RGBA32, false },
        FileSample { "Jpeg", "picture.bmp", Jpeg, B_RGB32, true },
        FileSample { "Bmp", "picture", Bmp, B_RGB32, false },
        FileSample { "TranslatorBitmap", "picture.bits", Stream, B_RGBA32, false }),
    [](const testing::TestParamInfo<FileSample>& param) { return std::string(param.param.name); });

TEST(GetBitmapTest, AGifIsLoaded)
{
    std::string path = MakeTempFolder("translation") + "/anim.gif";
    WriteFile(path, MakeGif(9, 4, 0));
    std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(path.c_str()));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 8, 3));
    EXPECT_EQ(bitmap->ColorSpace(), B_RGBA32);
    EXPECT_EQ(BitmapPixel(*bitmap, 0, 0).alpha, 0);
    rgb_color want = PaletteColor(PaletteIndex(1, 0));
    rgb_color got = BitmapPixel(*bitmap, 1, 0);
    EXPECT_EQ(got.red, want.red);
    EXPECT_EQ(got.green, want.green);
    EXPECT_EQ(got.blue, want.blue);
    EXPECT_EQ(got.alpha, 255);
}

TEST(GetBitmapTest, WhatIsNotAnImageFileGivesNoBitmap)
{
    std::string folder = MakeTempFolder("translation");
    WriteFile(folder + "/empty", {});
    WriteFile(folder + "/text", { 'h', 'e', 'l', 'l', 'o', '\n' });
    ASSERT_EQ(mkfifo((folder + "/pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink("nowhere", (folder + "/dangling").c_str()), 0);
    for (const char* name : { "missing", "empty", "text", "pipe", "dangling", "" }) {
        std::string path = folder + "/" + name;
        EXPECT_EQ(BTranslationUtils::GetBitmap(path.c_str()), nullptr) << name;
    }
    EXPECT_EQ(BTranslationUtils::GetBitmap(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(BTranslationUtils::GetBitmap(static_cast<BPositionIO*>(nullptr)), nullptr);
    status_t status = B_OK;
    EXPECT_EQ(BTranslationUtils::GetBitmap((folder + "/missing").c_str(), &status), nullptr);
    EXPECT_EQ(status, B_ENTRY_NOT_FOUND);
}

// The file is sparse: were it read whole, the test would take gigabytes.
TEST(GetBitmapTest, AFileOverTheSizeLimitIsNotRead)
{
    std::string path = MakeTempFolder("translation") + "/huge.bmp";
    WriteFile(path, MakeBmp(4, 4, 24, false));
    ASSERT_EQ(truncate(path.c_str(), off_t(BPrivate::kMaxImageFileSize) + 1), 0);
    status_t status = B_OK;
    EXPECT_EQ(BTranslationUtils::GetBitmap(path.c_str(), &status), nullptr);
    EXPECT_EQ(status, B_NO_MEMORY);
}

TEST(GetBitmapTest, ImagesInMemoryAreLoaded)
{
    Bytes bytes = MakeBmp(3, 2, 8, true);
    status_t status = B_ERROR;
    std::unique_ptr<BBitmap> bitmap(
        BTranslationUtils::GetBitmap(bytes.data(), bytes.size(), &status));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(status, B_OK);
    EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 2, 1));
    EXPECT_EQ(BTranslationUtils::GetBitmap(bytes.data(), 10, &status), nullptr);
    EXPECT_EQ(status, B_BAD_DATA);
}

TEST(GetBitmapTest, ImagesInResourcesAreLoaded)
{
    std::string path = MakeTempFolder("translation") + "/pictures.rsrc";
    BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE);
    ASSERT_EQ(file.InitCheck(), B_OK);
    BResources resources(&file, true);
    ASSERT_EQ(resources.InitCheck(), B_OK);
    Bytes stream = MakeTranslatorBitmap(5, 3);
    Bytes gif = MakeGif(4, 2);
    Bytes text { 'n', 'o', 'p', 'e' };
    ASSERT_EQ(resources.AddResource(B_TRANSLATOR_BITMAP, 101, stream.data(), stream.size(), "logo"),
        B_OK);
    ASSERT_EQ(
        resources.AddResource(B_TRANSLATOR_BITMAP, 102, gif.data(), gif.size(), "icon"), B_OK);
    ASSERT_EQ(
        resources.AddResource(B_TRANSLATOR_BITMAP, 103, text.data(), text.size(), "text"), B_OK);
    ASSERT_EQ(resources.Sync(), B_OK);

    std::unique_ptr<BBitmap> logo(
        BTranslationUtils::GetBitmap(&resources, B_TRANSLATOR_BITMAP, 101));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->Bounds(), BRect(0, 0, 4, 2));
    std::unique_ptr<BBitmap> icon(
        BTranslationUtils::GetBitmap(&resources, B_TRANSLATOR_BITMAP, "icon"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Bounds(), BRect(0, 0, 3, 1));
    EXPECT_EQ(BTranslationUtils::GetBitmap(&resources, B_TRANSLATOR_BITMAP, 103), nullptr);
    EXPECT_EQ(BTranslationUtils::GetBitmap(&resources, B_TRANSLATOR_BITMAP, 104), nullptr);
    EXPECT_EQ(BTranslationUtils::GetBitmap(&resources, 'PNG ', "logo"), nullptr);
    // The test program itself carries no pictures.
    EXPECT_EQ(BTranslationUtils::GetBitmap(B_TRANSLATOR_BITMAP, 1), nullptr);
    EXPECT_EQ(BTranslationUtils::GetBitmap(B_TRANSLATOR_BITMAP, "logo"), nullptr);
}

} // namespace
