#include <Bitmap.h>
#include <Message.h>
#include <Picture.h>
#include <Screen.h>
#include <TypeConstants.h>
#include <View.h>

#include "InterfaceTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace brenvik::test;

namespace {

struct ArchiveCase {
    color_space space;
    BRect bounds;
    int32 bytesPerRow;
};

class BitmapArchiveTest : public testing::TestWithParam<ArchiveCase> { };

} // namespace

TEST_P(BitmapArchiveTest, SurvivesARoundTripThroughItsArchive)
{
    const ArchiveCase& sample = GetParam();
    BBitmap original(sample.bounds, sample.space);
    ASSERT_EQ(original.InitCheck(), B_OK);
    EXPECT_EQ(original.BytesPerRow(), sample.bytesPerRow);
    uint8* bits = static_cast<uint8*>(original.Bits());
    for (int32 i = 0; i < original.BitsLength(); i++)
        bits[i] = uint8(i * 7 + 3);

    BMessage archive;
    ASSERT_EQ(original.Archive(&archive), B_OK);
    const char* className = nullptr;
    ASSERT_EQ(archive.FindString("class", &className), B_OK);
    EXPECT_STREQ(className, "BBitmap");
    BRect frame;
    int32 space = 0;
    int32 rowBytes = 0;
    EXPECT_EQ(archive.FindRect("_frame", &frame), B_OK);
    EXPECT_EQ(frame, sample.bounds);
    EXPECT_EQ(archive.FindInt32("_cspace", &space), B_OK);
    EXPECT_EQ(space, int32(sample.space));
    EXPECT_TRUE(archive.HasInt32("_bmflags"));
    EXPECT_EQ(archive.FindInt32("_rowbytes", &rowBytes), B_OK);
    EXPECT_EQ(rowBytes, sample.bytesPerRow);

    std::unique_ptr<BArchivable> object(instantiate_object(&archive));
    BBitmap* copy = dynamic_cast<BBitmap*>(object.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Bounds(), sample.bounds);
    EXPECT_EQ(copy->ColorSpace(), sample.space);
    ASSERT_EQ(copy->BitsLength(), original.BitsLength());
    EXPECT_EQ(std::memcmp(copy->Bits(), original.Bits(), size_t(copy->BitsLength())), 0);
}

INSTANTIATE_TEST_SUITE_P(Spaces, BitmapArchiveTest,
    testing::Values(ArchiveCase { B_CMAP8, BRect(0, 0, 15, 15), 16 },
        ArchiveCase { B_CMAP8, BRect(0, 0, 16, 4), 20 },
        ArchiveCase { B_RGB32, BRect(0, 0, 149, 199), 600 },
        ArchiveCase { B_RGBA32, BRect(0, 0, 31, 31), 128 },
        ArchiveCase { B_GRAY8, BRect(0, 0, 9, 2), 12 }));

TEST(BitmapTest, AnArchiveWhosePixelsDoNotFitKeepsAnEmptyBitmap)
{
    BMessage archive;
    archive.AddString("class", "BBitmap");
    archive.AddRect("_frame", BRect(0, 0, 15, 15));
    archive.AddInt32("_cspace", B_CMAP8);
    archive.AddInt32("_bmflags", 1);
    archive.AddInt32("_rowbytes", 16);
    uint8 shortData[10] = { 1, 2, 3 };
    archive.AddData("_data", B_RAW_TYPE, shortData, sizeof(shortData));
    BBitmap bitmap(&archive);
    ASSERT_EQ(bitmap.InitCheck(), B_OK);
    EXPECT_EQ(bitmap.BitsLength(), 256);
}

TEST(BitmapTest, ArchivesOfUnknownSubclassesAndBrokenArchivesAreHandled)
{
    BMessage subclass;
    subclass.AddString("class", "LibBitmapNotRegisteredHere");
    subclass.AddRect("_frame", BRect(0, 0, 1, 1));
    subclass.AddInt32("_cspace", B_RGB32);
    std::unique_ptr<BArchivable> object(BBitmap::Instantiate(&subclass));
    EXPECT_NE(dynamic_cast<BBitmap*>(object.get()), nullptr);

    BMessage broken;
    broken.AddString("class", "BBitmap");
    broken.AddRect("_frame", BRect(0, 0, 100000, 100000));
    broken.AddInt32("_cspace", B_RGB32);
    EXPECT_EQ(BBitmap::Instantiate(&broken), nullptr);

    BMessage noSpace;
    noSpace.AddString("class", "BBitmap");
    noSpace.AddRect("_frame", BRect(0, 0, 3, 3));
    EXPECT_EQ(BBitmap::Instantiate(&noSpace), nullptr);
}

TEST(BitmapTest, SetBitsTakesColourMappedRowsWithoutPadding)
{
    // 24 × 24 colour-mapped pixels: 576 bytes, the size of the program's
    // built-in button images.
    uint8 pixels[576];
    for (int i = 0; i < 576; i++)
        pixels[i] = uint8(i % 24 == 0 ? 0 : 63);
    BBitmap mapped(BRect(0, 0, 23, 23), B_CMAP8);
    mapped.SetBits(pixels, 576, 0, B_CMAP8);
    EXPECT_EQ(std::memcmp(mapped.Bits(), pixels, 576), 0);

    BBitmap direct(BRect(0, 0, 23, 23), B_RGB32);
    direct.SetBits(pixels, 576, 0, B_CMAP8);
    const uint8* row = static_cast<const uint8*>(direct.Bits()) + direct.BytesPerRow() * 5;
    // The first pixel of a row is black (index 0), the next white (63).
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[4], 255);
    EXPECT_EQ(row[5], 255);
}

TEST(BitmapTest, ViewsDrawIntoABitmapThatAcceptsThem)
{
    BBitmap bitmap(BRect(0, 0, 9, 9), B_RGB32, true);
    ASSERT_EQ(bitmap.InitCheck(), B_OK);
    BView* view = new BView(bitmap.Bounds(), "drawer", B_FOLLOW_NONE, B_WILL_DRAW);
    bitmap.AddChild(view);
    ASSERT_TRUE(bitmap.Lock());
    view->SetHighColor(255, 0, 0);
    view->FillRect(BRect(2, 2, 4, 4));
    view->Sync();
    bitmap.Unlock();
    const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
    const uint8* inside = bits + 3 * bitmap.BytesPerRow() + 3 * 4;
    const uint8* outside = bits + 7 * bitmap.BytesPerRow() + 7 * 4;
    // B_RGB32 keeps blue, green, red in memory.
    EXPECT_EQ(inside[2], 255);
    EXPECT_EQ(inside[1], 0);
    EXPECT_EQ(outside[0], 255);
    EXPECT_EQ(outside[1], 255);
    EXPECT_EQ(outside[2], 255);
    ASSERT_TRUE(bitmap.Lock());
    EXPECT_TRUE(bitmap.RemoveChild(view));
    bitmap.Unlock();
    delete view;
}

TEST(BitmapTest, ABitmapDrawnBetweenBeginAndEndPictureIsRecorded)
{
    BBitmap source(BRect(0, 0, 3, 3), B_CMAP8);
    std::memset(source.Bits(), 42, size_t(source.BitsLength()));
    BBitmap canvas(source.Bounds(), B_CMAP8, true);
    BView* view = new BView(source.Bounds(), "recorder", B_FOLLOW_NONE, B_WILL_DRAW);
    canvas.AddChild(view);
    ASSERT_TRUE(canvas.Lock());
    BPicture* picture = new BPicture;
    view->BeginPicture(picture);
    view->DrawBitmap(&source, B_ORIGIN);
    EXPECT_EQ(view->EndPicture(), picture);
    canvas.Unlock();
    EXPECT_FALSE(picture->IsEmpty());
    // Recording draws nothing into the canvas itself.
    EXPECT_EQ(static_cast<const uint8*>(canvas.Bits())[0], 63);
    delete picture;
}

TEST(ScreenTest, NearestColoursComeFromTheSystemPalette)
{
    BScreen screen;
    ASSERT_TRUE(screen.IsValid());
    EXPECT_EQ(screen.IndexForColor(216, 216, 216), 27);
    EXPECT_EQ(screen.IndexForColor(rgb_color { 255, 255, 255, 255 }), 63);
    EXPECT_EQ(screen.IndexForColor(rgb_color { 1, 2, 3, 0 }), B_TRANSPARENT_MAGIC_CMAP8);
    rgb_color white = screen.ColorForIndex(63);
    EXPECT_EQ(white, (rgb_color { 255, 255, 255, 255 }));
    EXPECT_EQ(screen.ColorMap(), system_colors());
    EXPECT_TRUE(screen.Frame().IsValid());
}
