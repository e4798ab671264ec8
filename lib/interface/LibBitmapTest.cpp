#include "LibBitmap.h"

#include <Entry.h>
#include <Message.h>
#include <MimeType.h>
#include <Node.h>
#include <NodeInfo.h>
#include <NodeInfoIcons.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using brenvik::test::MakeTempFolder;

namespace {

const BRect kMini(0, 0, 15, 15);
const BRect kLarge(0, 0, 31, 31);

std::string MakeFile(const std::string& folder, const char* leaf)
{
    std::string path = folder + "/" + leaf;
    std::ofstream(path) << "contents";
    return path;
}

// An icon of one colour index, in the storage form.
std::vector<uint8> SolidIcon(icon_size size, uint8 index)
{
    return std::vector<uint8>(IconBytes(size), index);
}

std::vector<uint8> RowsOf(const BBitmap& bitmap)
{
    std::vector<uint8> rows;
    const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
    int32 width = bitmap.Bounds().IntegerWidth() + 1;
    for (int32 y = 0; y <= bitmap.Bounds().IntegerHeight(); y++)
        rows.insert(
            rows.end(), bits + y * bitmap.BytesPerRow(), bits + y * bitmap.BytesPerRow() + width);
    return rows;
}

// The tracker icon the platform gives for a path, for comparison.
std::vector<uint8> TrackerIcon(const std::string& path, icon_size size)
{
    BNode node(path.c_str());
    BNodeInfo info(&node);
    std::vector<uint8> bits(IconBytes(size));
    EXPECT_EQ(info.GetTrackerIconData(size, bits.data()), B_OK);
    return bits;
}

class LibBitmapIconTest : public testing::Test {
protected:
    void SetUp() override { fFolder = MakeTempFolder("icons"); }

    std::string fFolder;
};

} // namespace

TEST(LibBitmapTest, CopiesPixelBytesRowAfterRow)
{
    // Three pixels a row: the bitmap pads its rows to four bytes, the given
    // bytes are not padded.
    const uint8 bytes[] = { 1, 2, 3, 4, 5, 6 };
    LibBitmap bitmap(BRect(0, 0, 2, 1), bytes, B_CMAP8);
    ASSERT_EQ(bitmap.InitCheck(), B_OK);
    ASSERT_EQ(bitmap.BytesPerRow(), 4);
    EXPECT_EQ(RowsOf(bitmap), std::vector<uint8>({ 1, 2, 3, 4, 5, 6 }));
}

TEST(LibBitmapTest, ArchivesUnderItsOwnClassName)
{
    const uint8 bytes[] = { 10, 20, 30, 40 };
    LibBitmap bitmap(BRect(0, 0, 1, 1), bytes, B_CMAP8);
    BMessage archive;
    ASSERT_EQ(bitmap.Archive(&archive), B_OK);
    const char* name = nullptr;
    ASSERT_EQ(archive.FindString("class", &name), B_OK);
    EXPECT_STREQ(name, "LibBitmap");
    for (const char* field : { "_frame", "_cspace", "_bmflags", "_rowbytes", "_data" })
        EXPECT_TRUE(archive.HasData(field, B_ANY_TYPE)) << field;

    std::unique_ptr<BArchivable> object(instantiate_object(&archive));
    LibBitmap* copy = dynamic_cast<LibBitmap*>(object.get());
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->InitCheck(), B_OK);
    EXPECT_EQ(copy->Bounds(), bitmap.Bounds());
    EXPECT_EQ(RowsOf(*copy), RowsOf(bitmap));
}

TEST_F(LibBitmapIconTest, ShowsAFilesOwnIconFirst)
{
    std::string path = MakeFile(fFolder, "own");
    BNode node(path.c_str());
    BNodeInfo info(&node);
    ASSERT_EQ(info.SetType("application/x-vnd.brenvik-test-owned"), B_OK);
    ASSERT_EQ(info.SetIconData(B_MINI_ICON, SolidIcon(B_MINI_ICON, 42).data()), B_OK);

    LibBitmap icon(kMini, B_CMAP8);
    ASSERT_TRUE(icon.SetTo(path.c_str(), B_MINI_ICON));
    EXPECT_EQ(RowsOf(icon), SolidIcon(B_MINI_ICON, 42));
}

TEST_F(LibBitmapIconTest, ShowsTheIconOfTheTypeWhenTheFileHasNone)
{
    BMimeType type("application/x-vnd.brenvik-test-typed");
    ASSERT_EQ(type.Install(), B_OK);
    ASSERT_EQ(type.SetIconData(B_LARGE_ICON, SolidIcon(B_LARGE_ICON, 17).data()), B_OK);
    std::string path = MakeFile(fFolder, "typed");
    BNode node(path.c_str());
    ASSERT_EQ(BNodeInfo(&node).SetType(type.Type()), B_OK);

    LibBitmap icon(kLarge, B_CMAP8);
    BEntry entry(path.c_str());
    ASSERT_TRUE(icon.SetTo(entry, B_LARGE_ICON));
    EXPECT_EQ(RowsOf(icon), SolidIcon(B_LARGE_ICON, 17));
}

TEST_F(LibBitmapIconTest, ShowsTheGenericIconOfAFolderOrDocument)
{
    std::string folder = fFolder + "/folder";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    std::string document = MakeFile(fFolder, "plain");
    for (const std::string& path : { folder, document }) {
        LibBitmap icon(kLarge, B_CMAP8);
        BNode node(path.c_str());
        ASSERT_TRUE(icon.SetTo(node, B_LARGE_ICON)) << path;
        EXPECT_EQ(RowsOf(icon), TrackerIcon(path, B_LARGE_ICON)) << path;
    }
    EXPECT_NE(TrackerIcon(folder, B_LARGE_ICON), TrackerIcon(document, B_LARGE_ICON));
}

TEST_F(LibBitmapIconTest, LeavesThePixelsAloneWhenThereIsNoIcon)
{
    std::vector<uint8> blank(IconBytes(B_MINI_ICON), 9);
    LibBitmap icon(kMini, blank.data(), B_CMAP8);
    EXPECT_FALSE(icon.SetTo((fFolder + "/missing").c_str(), B_MINI_ICON));
    EXPECT_FALSE(icon.SetTo(static_cast<const char*>(nullptr), B_MINI_ICON));
    // A 16-pixel bitmap cannot take a 32-pixel icon.
    std::string path = MakeFile(fFolder, "file");
    EXPECT_FALSE(icon.SetTo(path.c_str(), B_LARGE_ICON));
    EXPECT_EQ(RowsOf(icon), blank);
}

TEST_F(LibBitmapIconTest, StoresAnIconFromABitmapOfAnyColourSpace)
{
    std::string path = MakeFile(fFolder, "icon");
    BNode node(path.c_str());
    BNodeInfo info(&node);
    // Rows of different colours, so that a row out of place shows.
    std::vector<uint8> rows(IconBytes(B_MINI_ICON));
    for (size_t i = 0; i < rows.size(); i++)
        rows[i] = i / B_MINI_ICON % 2 == 0 ? 0 : B_TRANSPARENT_MAGIC_CMAP8;
    LibBitmap mapped(kMini, rows.data(), B_CMAP8);
    BBitmap direct(kMini, B_RGBA32);
    ASSERT_EQ(direct.ImportBits(&mapped), B_OK);

    const BBitmap* sources[] = { &mapped, &direct };
    for (const BBitmap* source : sources) {
        ASSERT_EQ(BPrivate::SetIcon(info, source, B_MINI_ICON), B_OK);
        std::vector<uint8> stored(IconBytes(B_MINI_ICON));
        ASSERT_EQ(info.GetIconData(B_MINI_ICON, stored.data()), B_OK);
        EXPECT_EQ(stored, rows);
        LibBitmap read(kMini, B_CMAP8);
        ASSERT_EQ(BPrivate::GetIcon(info, &read, B_MINI_ICON), B_OK);
        EXPECT_EQ(RowsOf(read), rows);
    }

    // A bitmap of another size is refused either way; no bitmap removes the icon.
    LibBitmap large(kLarge, B_CMAP8);
    EXPECT_EQ(BPrivate::SetIcon(info, &large, B_MINI_ICON), B_BAD_VALUE);
    EXPECT_EQ(BPrivate::GetIcon(info, &large, B_MINI_ICON), B_BAD_VALUE);
    EXPECT_EQ(BPrivate::SetIcon(info, nullptr, B_MINI_ICON), B_OK);
    std::vector<uint8> gone(IconBytes(B_MINI_ICON));
    EXPECT_EQ(info.GetIconData(B_MINI_ICON, gone.data()), B_ENTRY_NOT_FOUND);
}

TEST(LibBitmapThumbnailTest, AveragesThePixelsItCovers)
{
    // A 4 × 4 source of 2 × 2 blocks: black, white / red, transparent.
    LibBitmap source(BRect(0, 0, 3, 3), B_RGBA32);
    uint8* bits = static_cast<uint8*>(source.Bits());
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 4; x++) {
            uint8* pixel = bits + y * source.BytesPerRow() + x * 4;
            bool right = x >= 2;
            bool bottom = y >= 2;
            uint8 value = !bottom && right ? 255 : 0;
            pixel[0] = value; // blue
            pixel[1] = value; // green
            pixel[2] = bottom && !right ? 255 : value; // red
            pixel[3] = bottom && right ? 0 : 255;
        }
    }
    std::unique_ptr<LibBitmap> thumb = LibBitmap::Thumbnail(&source, 2, true);
    ASSERT_NE(thumb, nullptr);
    ASSERT_EQ(thumb->Bounds(), BRect(0, 0, 1, 1));
    const uint8* out = static_cast<const uint8*>(thumb->Bits());
    auto pixel = [&](int x, int y) {
        const uint8* p = out + y * thumb->BytesPerRow() + x * 4;
        return std::vector<uint8>({ p[2], p[1], p[0], p[3] });
    };
    EXPECT_EQ(pixel(0, 0), std::vector<uint8>({ 0, 0, 0, 255 }));
    EXPECT_EQ(pixel(1, 0), std::vector<uint8>({ 255, 255, 255, 255 }));
    EXPECT_EQ(pixel(0, 1), std::vector<uint8>({ 255, 0, 0, 255 }));
    EXPECT_EQ(pixel(1, 1)[3], 0);
}

TEST(LibBitmapThumbnailTest, KeepsTheProportionsWhenAsked)
{
    LibBitmap wide(BRect(0, 0, 99, 49), B_RGB32);
    std::unique_ptr<LibBitmap> kept = LibBitmap::Thumbnail(&wide, 32, true);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Bounds(), BRect(0, 0, 31, 15));
    std::unique_ptr<LibBitmap> square = LibBitmap::Thumbnail(&wide, 32, false);
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->Bounds(), BRect(0, 0, 31, 31));
    LibBitmap tiny(BRect(0, 0, 1, 0), B_CMAP8);
    std::unique_ptr<LibBitmap> enlarged = LibBitmap::Thumbnail(&tiny, 8, true);
    ASSERT_NE(enlarged, nullptr);
    EXPECT_EQ(enlarged->Bounds(), BRect(0, 0, 7, 3));
}

TEST(LibBitmapThumbnailTest, RefusesWhatCannotBeScaled)
{
    LibBitmap source(BRect(0, 0, 9, 9), B_RGB32);
    EXPECT_EQ(LibBitmap::Thumbnail(nullptr, 16, true), nullptr);
    EXPECT_EQ(LibBitmap::Thumbnail(&source, 0, true), nullptr);
    EXPECT_EQ(LibBitmap::Thumbnail(&source, -3, false), nullptr);
}
