#include "LibConvert.h"

#include <Bitmap.h>
#include <Picture.h>
#include <View.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

struct BytesCase {
    uint64 bytes;
    int decimals;
    const char* text;
};

std::ostream& operator<<(std::ostream& stream, const BytesCase& c)
{
    return stream << c.bytes << " with " << c.decimals << " decimals";
}

class LibBytesToStringTest : public testing::TestWithParam<BytesCase> { };

TEST_P(LibBytesToStringTest, FormatsInTheUnitOfItsRange)
{
    LibString text("old");
    LibBytesToString(GetParam().bytes, text, GetParam().decimals);
    EXPECT_STREQ(text, GetParam().text);
}

// The unit changes only above 1024 and 1048576 bytes, and a count of 4 GB or
// more stays whole.
INSTANTIATE_TEST_SUITE_P(Boundaries, LibBytesToStringTest,
    testing::Values(BytesCase { 0, 1, "0.0 bytes" }, BytesCase { 1, 0, "1 bytes" },
        BytesCase { 1023, 1, "1023.0 bytes" }, BytesCase { 1024, 1, "1024.0 bytes" },
        BytesCase { 1025, 1, "1.0 KB" }, BytesCase { 1536, 1, "1.5 KB" },
        BytesCase { 1048575, 1, "1024.0 KB" }, BytesCase { 1048576, 1, "1024.0 KB" },
        BytesCase { 1048577, 1, "1.0 MB" }, BytesCase { 2621440, 1, "2.5 MB" },
        BytesCase { 2621440, 0, "2 MB" }, BytesCase { 2621440, 3, "2.500 MB" },
        BytesCase { 4294967295u, 1, "4096.0 MB" }, BytesCase { 4294967296u, 1, "4096.0 MB" },
        BytesCase { 4294967296u + 1048576u * 512u, 1, "4608.0 MB" },
        BytesCase { uint64(5) << 40, 0, "5242880 MB" },
        BytesCase { UINT64_MAX, 0, "17592186044416 MB" }));

// For windows: whole bytes, and the largest unit reached.
TEST(LibConvertTest, SizesForPeopleTakeTheLargestUnitReached)
{
    struct {
        uint64 bytes;
        const char* text;
    } const cases[] = { { 0, "0 bytes" }, { 55, "55 bytes" }, { 1023, "1023 bytes" },
        { 1024, "1.0 KB" }, { 1536, "1.5 KB" }, { 1048576, "1.0 MB" }, { 2621440, "2.5 MB" },
        { 1073741823, "1024.0 MB" }, { 1073741824, "1.0 GB" },
        { (uint64(48) << 30) + (uint64(3) << 29) / 10 * 2, "48.3 GB" },
        { uint64(5) << 40, "5120.0 GB" } };
    for (const auto& sample : cases) {
        LibString text("old");
        LibSizeToString(sample.bytes, text);
        EXPECT_STREQ(text, sample.text) << sample.bytes;
    }
}

struct ReadCase {
    const char* text;
    int64 bytes;
    bool complains;
};

std::ostream& operator<<(std::ostream& stream, const ReadCase& c)
{
    return stream << '"' << c.text << '"';
}

class LibStringToBytesTest : public testing::TestWithParam<ReadCase> { };

TEST_P(LibStringToBytesTest, ReadsNumberAndUnit)
{
    testing::internal::CaptureStderr();
    int64 bytes = LibStringToBytes(GetParam().text);
    std::string complaint = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bytes, GetParam().bytes);
    EXPECT_EQ(!complaint.empty(), GetParam().complains) << complaint;
    if (GetParam().complains) {
        EXPECT_NE(complaint.find("LibConvertBytes <"), std::string::npos) << complaint;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, LibStringToBytesTest,
    testing::Values(ReadCase { "1.5 MB", 1572864, false }, ReadCase { "12 KB", 12288, false },
        ReadCase { "1.99 KB", 2037, false }, ReadCase { "1024.0 bytes", 1024, false },
        ReadCase { "4096.0 MB", int64(4) << 30, false },
        ReadCase { "16777217 bytes", 16777217, false }, ReadCase { "-2 KB", -2048, false },
        ReadCase { "3 GB", 0, false }, ReadCase { "3 kb", 0, false }, ReadCase { "12", 0, true },
        ReadCase { "", 0, true }, ReadCase { "abc MB", 0, true }, ReadCase { "1e3 KB", 0, true },
        ReadCase { "99999999999999999999 MB", 0, true }));

TEST(LibConvertTest, WhatBytesToStringWritesReadsBack)
{
    for (uint64 bytes : { uint64(0), uint64(1000), uint64(3) << 20, uint64(6) << 30 }) {
        LibString text;
        LibBytesToString(bytes, text, 1);
        EXPECT_EQ(LibStringToBytes(text), int64(bytes)) << (const char*)text;
    }
}

TEST(LibConvertTest, StringToBytesOfNullIsZero)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(LibStringToBytes(nullptr), 0);
    testing::internal::GetCapturedStderr();
}

TEST(LibConvertTest, LoginIsTheUsersName)
{
    LibString login = LibGetLogin();
    EXPECT_FALSE(login.IsBlank());
}

// The colour of the top-left pixel after the picture is played into a
// bitmap of 8-bit colour-mapped pixels.
uint8 PlayedIndex(const BPicture* picture)
{
    BBitmap canvas(BRect(0, 0, 3, 3), B_CMAP8, true);
    BView* view = new BView(canvas.Bounds(), "player", B_FOLLOW_NONE, B_WILL_DRAW);
    canvas.AddChild(view);
    canvas.Lock();
    view->DrawPicture(picture, BPoint(0, 0));
    view->Sync();
    canvas.Unlock();
    return static_cast<const uint8*>(canvas.Bits())[0];
}

TEST(LibConvertTest, PictureOfABitmapDrawsIt)
{
    BBitmap bitmap(BRect(0, 0, 3, 3), B_CMAP8);
    std::memset(bitmap.Bits(), 42, size_t(bitmap.BitsLength()));
    std::unique_ptr<BPicture> picture(LibBitmapToPicture(&bitmap));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(PlayedIndex(picture.get()), 42);

    uint8 bits[16];
    std::memset(bits, 17, sizeof(bits));
    std::unique_ptr<BPicture> fromBits(LibBitmapToPicture(BRect(0, 0, 3, 3), bits, B_CMAP8));
    ASSERT_NE(fromBits, nullptr);
    EXPECT_EQ(PlayedIndex(fromBits.get()), 17);
}

TEST(LibConvertTest, NoPictureWithoutABitmap)
{
    EXPECT_EQ(LibBitmapToPicture(nullptr), nullptr);
    EXPECT_EQ(LibBitmapToPicture(BRect(0, 0, 3, 3), nullptr, B_RGB32), nullptr);
    uint8 bits[4] = {};
    EXPECT_EQ(LibBitmapToPicture(BRect(0, 0, -1, -1), bits, B_CMAP8), nullptr);
}

} // namespace
