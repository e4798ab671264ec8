#include "LibColors.h"

#include <InterfaceDefs.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool SameColor(const rgb_color& a, const rgb_color& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

} // namespace

TEST(LibNearestSystemColorTest, APaletteColourMapsToItself)
{
    const color_map* palette = system_colors();
    for (int index = 0; index < 256; index++) {
        rgb_color color = palette->color_list[index];
        EXPECT_TRUE(SameColor(lib_nearest_system_color(color), color)) << "index " << index;
        EXPECT_TRUE(SameColor(
            lib_nearest_system_color(color.red, color.green, color.blue, color.alpha), color))
            << "index " << index;
    }
}

TEST(LibNearestSystemColorTest, AnyColourMapsToAPaletteColourNearIt)
{
    const color_map* palette = system_colors();
    const rgb_color samples[] = { dark_grey_color, grey_color, pale_yellow_color, light_blue_color,
        rgb_color { 17, 200, 99, 255 } };
    for (const rgb_color& sample : samples) {
        rgb_color nearest = lib_nearest_system_color(sample);
        bool inPalette = false;
        for (int index = 0; index < 256; index++)
            inPalette = inPalette || SameColor(palette->color_list[index], nearest);
        EXPECT_TRUE(inPalette);
        // Within one step of the palette's colour cube.
        EXPECT_LE(std::abs(nearest.red - sample.red), 51);
        EXPECT_LE(std::abs(nearest.green - sample.green), 51);
        EXPECT_LE(std::abs(nearest.blue - sample.blue), 51);
    }
}

TEST(LibNearestSystemColorTest, TheInstallersGreysStayBlackAndGrey)
{
    // Enabled labels are drawn in the nearest colour to black, disabled ones
    // in the nearest to dark grey: they must differ.
    EXPECT_TRUE(SameColor(lib_nearest_system_color(black_color), black_color));
    rgb_color grey = lib_nearest_system_color(dark_grey_color);
    EXPECT_FALSE(SameColor(grey, black_color));
    EXPECT_EQ(grey.red, grey.green);
    EXPECT_EQ(grey.green, grey.blue);
}
