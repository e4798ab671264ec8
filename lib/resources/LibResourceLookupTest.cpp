#include "LibResourceLookup.h"

#include <TestSandbox.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <fstream>

namespace {

class LibResourceLookupTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string path = brenvik::test::MakeTempFolder("lookup") + "/file.rsrc";
        std::ofstream(path).close();
        ASSERT_EQ(fResources.SetTo(path.c_str(), 2, true), B_OK);
    }

    BResources fResources;
};

TEST_F(LibResourceLookupTest, FindsEachTypeAtItsExactSize)
{
    const uint8 colour[4] = { 10, 20, 30, 40 };
    const float sides[4] = { 1, 2, 30, 40 };
    const int8 small = -5;
    const int32 number = 123456;
    const uint8 flag = 1;
    fResources.AddResource(B_RGB_COLOR_TYPE, 1, colour, 4);
    fResources.AddResource(B_RECT_TYPE, 1, sides, 16);
    fResources.AddResource(B_INT8_TYPE, 1, &small, 1);
    fResources.AddResource(B_INT32_TYPE, 1, &number, 4);
    fResources.AddResource(B_BOOL_TYPE, 1, &flag, 1);
    fResources.AddResource(B_STRING_TYPE, 1, "a text", 7);

    rgb_color colourFound = {};
    ASSERT_TRUE(LibFindRGBResource(fResources, 1, colourFound));
    EXPECT_EQ(colourFound.red, 10);
    EXPECT_EQ(colourFound.alpha, 40);
    BRect rect;
    ASSERT_TRUE(LibFindRectResource(fResources, 1, rect));
    EXPECT_EQ(rect, BRect(1, 2, 30, 40));
    int8 smallFound = 0;
    ASSERT_TRUE(LibFindShortResource(fResources, 1, smallFound));
    EXPECT_EQ(smallFound, -5);
    int32 numberFound = 0;
    ASSERT_TRUE(LibFindLongResource(fResources, 1, numberFound));
    EXPECT_EQ(numberFound, 123456);
    bool flagFound = false;
    ASSERT_TRUE(LibFindBoolResource(fResources, 1, flagFound));
    EXPECT_TRUE(flagFound);
    char text[16];
    ASSERT_TRUE(LibFindStringResource(fResources, 1, text, sizeof(text)));
    EXPECT_STREQ(text, "a text");
}

TEST_F(LibResourceLookupTest, AResourceOfAnotherSizeCountsAsAbsent)
{
    const uint8 bytes[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
    fResources.AddResource(B_RGB_COLOR_TYPE, 2, bytes, 3);
    fResources.AddResource(B_RECT_TYPE, 2, bytes, 8);
    fResources.AddResource(B_INT8_TYPE, 2, bytes, 2);
    fResources.AddResource(B_INT32_TYPE, 2, bytes, 8);
    fResources.AddResource(B_BOOL_TYPE, 2, bytes, 4);
    rgb_color colour = { 9, 9, 9, 9 };
    EXPECT_FALSE(LibFindRGBResource(fResources, 2, colour));
    EXPECT_EQ(colour.red, 9);
    BRect rect;
    EXPECT_FALSE(LibFindRectResource(fResources, 2, rect));
    int8 small = 0;
    EXPECT_FALSE(LibFindShortResource(fResources, 2, small));
    int32 number = 0;
    EXPECT_FALSE(LibFindLongResource(fResources, 2, number));
    bool flag = false;
    EXPECT_FALSE(LibFindBoolResource(fResources, 2, flag));
    EXPECT_FALSE(LibFindLongResource(fResources, 3, number));
}

TEST_F(LibResourceLookupTest, AStringLongerThanTheBufferIsCutNotOverrun)
{
    fResources.AddResource(B_STRING_TYPE, 5, "a rather long text", 19);
    char buffer[8] = "xxxxxxx";
    ASSERT_TRUE(LibFindStringResource(fResources, 5, buffer, 5));
    EXPECT_STREQ(buffer, "a ra");
    EXPECT_EQ(buffer[5], 'x');
    char empty[4] = "abc";
    EXPECT_FALSE(LibFindStringResource(fResources, 6, empty, sizeof(empty)));
    EXPECT_STREQ(empty, "");
}

} // namespace
