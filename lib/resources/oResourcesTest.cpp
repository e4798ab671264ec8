#include "oResources.h"

#include <Bitmap.h>
#include <Message.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace {

class oResourcesBitmapTest : public testing::Test {
protected:
    void SetUp() override
    {
        fPath = brenvik::test::MakeTempFolder("bitmaps") + "/file.rsrc";
        std::ofstream(fPath).close();
    }

    void AddBitmapResource(int32 id, const char* name, const void* data, size_t size)
    {
        BResources writer;
        ASSERT_EQ(writer.SetTo(fPath.c_str(), 2, false), B_OK);
        ASSERT_EQ(writer.AddResource(oResources::kBitmapType, id, data, size, name), B_OK);
    }

    std::string fPath;
};

std::vector<char> Flattened(const BMessage& message)
{
    std::vector<char> data(size_t(message.FlattenedSize()));
    EXPECT_EQ(message.Flatten(data.data(), ssize_t(data.size())), B_OK);
    return data;
}

TEST_F(oResourcesBitmapTest, MakesTheArchivedBitmapOfThatName)
{
    BBitmap original(BRect(0, 0, 3, 1), B_RGBA32);
    ASSERT_EQ(original.InitCheck(), B_OK);
    auto* pixels = static_cast<uint8*>(original.Bits());
    for (int32 i = 0; i < original.BitsLength(); i++)
        pixels[i] = uint8(i * 7);
    BMessage archive;
    ASSERT_EQ(original.Archive(&archive), B_OK);
    std::vector<char> data = Flattened(archive);
    AddBitmapResource(1, "BMP:Install:up", data.data(), data.size());

    oResources resources(fPath.c_str(), 0);
    std::unique_ptr<BBitmap> bitmap(resources.GetBitmap("BMP:Install:up"));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bounds(), original.Bounds());
    EXPECT_EQ(bitmap->ColorSpace(), B_RGBA32);
    ASSERT_EQ(bitmap->BitsLength(), original.BitsLength());
    EXPECT_EQ(std::memcmp(bitmap->Bits(), original.Bits(), size_t(original.BitsLength())), 0);
}

TEST_F(oResourcesBitmapTest, AMissingOrBrokenBitmapGivesNull)
{
    const char garbage[] = "not a flattened message";
    AddBitmapResource(1, "broken", garbage, sizeof(garbage));
    BMessage notABitmap('none');
    notABitmap.AddString("class", "BBitmap");
    std::vector<char> data = Flattened(notABitmap);
    AddBitmapResource(2, "empty archive", data.data(), data.size());

    oResources resources(fPath.c_str(), 0);
    EXPECT_EQ(resources.GetBitmap("absent"), nullptr);
    EXPECT_EQ(resources.GetBitmap(nullptr), nullptr);
    EXPECT_EQ(resources.GetBitmap("broken"), nullptr);
    EXPECT_EQ(resources.GetBitmap("empty archive"), nullptr);

    oResources unbound("/nonexistent/file", 0);
    EXPECT_EQ(unbound.GetBitmap("broken"), nullptr);
}

} // namespace
