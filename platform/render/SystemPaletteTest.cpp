#include <SystemPalette.h>

#include <gtest/gtest.h>

using namespace BPrivate;

TEST(SystemPaletteTest, HasTheGrayRampAndTheKnownIndices)
{
    const rgb_color* palette = SystemPalette();
    for (int32 i = 0; i < 32; i++) {
        EXPECT_EQ(palette[i], make_color(uint8(8 * i), uint8(8 * i), uint8(8 * i))) << i;
    }
    EXPECT_EQ(palette[27], make_color(216, 216, 216));
    EXPECT_EQ(palette[33], make_color(0, 0, 229));
    EXPECT_EQ(palette[63], make_color(255, 255, 255));
    EXPECT_EQ(palette[152], make_color(230, 134, 0));
    EXPECT_EQ(palette[254], make_color(255, 255, 203));
}

TEST(SystemPaletteTest, OnlyTheTransparentIndexHasZeroAlpha)
{
    const rgb_color* palette = SystemPalette();
    for (int32 i = 0; i < 255; i++)
        EXPECT_EQ(palette[i].alpha, 255) << i;
    EXPECT_EQ(palette[kTransparentIndex], make_color(255, 255, 255, 0));
    EXPECT_EQ(B_TRANSPARENT_8_BIT, 255);
}

TEST(SystemPaletteTest, EveryPaletteColourMapsToItself)
{
    const rgb_color* palette = SystemPalette();
    for (int32 i = 0; i < 255; i++) {
        uint8 index = IndexForColor(palette[i]);
        EXPECT_EQ(palette[index], palette[i]) << "entry " << i << " went to " << int(index);
        EXPECT_LE(index, i);
    }
    EXPECT_EQ(IndexForColor(255, 255, 255), 63);
}

TEST(SystemPaletteTest, TransparentColoursMapToTheTransparentIndex)
{
    EXPECT_EQ(IndexForColor(B_TRANSPARENT_32_BIT), kTransparentIndex);
    EXPECT_EQ(IndexForColor(10, 20, 30, 127), kTransparentIndex);
    EXPECT_NE(IndexForColor(10, 20, 30, 128), kTransparentIndex);
}

struct NearestCase {
    rgb_color color;
    uint8 index;
};

class NearestColourTest : public testing::TestWithParam<NearestCase> { };

TEST_P(NearestColourTest, PicksTheClosestEntry)
{
    EXPECT_EQ(IndexForColor(GetParam().color), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(SystemPaletteTest, NearestColourTest,
    testing::Values(NearestCase { make_color(1, 1, 1), 0 },
        NearestCase { make_color(217, 215, 216), 27 }, NearestCase { make_color(250, 2, 3), 42 },
        NearestCase { make_color(2, 2, 226), 33 }, NearestCase { make_color(100, 100, 100), 12 },
        NearestCase { make_color(0, 100, 200), 95 }));

TEST(SystemPaletteTest, IndexMapIsBuiltFromShiftedFifteenBitColours)
{
    const color_map* map = SystemColorMap();
    EXPECT_EQ(map->index_map[0], 0);
    // 0x7fff widens to 248, 248, 248 (no bit replication), the gray at 31.
    EXPECT_EQ(map->index_map[0x7fff], 31);
    EXPECT_EQ(map->index_map[(27 << 10) | (27 << 5) | 27], 27);
    for (int32 i = 0; i < 256; i++)
        EXPECT_EQ(map->color_list[i], SystemPalette()[i]);
}

TEST(SystemPaletteTest, InversionMapPairsOppositeColours)
{
    const color_map* map = SystemColorMap();
    EXPECT_EQ(map->inversion_map[0], 63);
    EXPECT_EQ(map->inversion_map[63], 0);
    EXPECT_EQ(map->inversion_map[kTransparentIndex], kTransparentIndex);
}
