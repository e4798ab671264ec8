#include <InterfaceColors.h>

#include <gtest/gtest.h>

struct TintCase {
    float tint;
    uint8 expected;
};

class TintColorTest : public testing::TestWithParam<TintCase> { };

TEST_P(TintColorTest, GivesTheDocumentedLevelsForPanelGray)
{
    rgb_color tinted = tint_color(make_color(216, 216, 216, 77), GetParam().tint);
    EXPECT_EQ(
        tinted, make_color(GetParam().expected, GetParam().expected, GetParam().expected, 77));
}

INSTANTIATE_TEST_SUITE_P(InterfaceColorsTest, TintColorTest,
    testing::Values(TintCase { B_LIGHTEN_MAX_TINT, 255 }, TintCase { B_LIGHTEN_2_TINT, 240 },
        TintCase { B_LIGHTEN_1_TINT, 232 }, TintCase { B_NO_TINT, 216 },
        TintCase { B_DARKEN_1_TINT, 184 }, TintCase { B_DARKEN_2_TINT, 152 },
        TintCase { B_DARKEN_3_TINT, 128 }, TintCase { B_DARKEN_4_TINT, 96 },
        TintCase { B_DARKEN_MAX_TINT, 0 }));

TEST(InterfaceColorsTest, TintsEachChannelSeparately)
{
    EXPECT_EQ(tint_color(make_color(0, 128, 255), B_DARKEN_MAX_TINT), make_color(0, 0, 0));
    EXPECT_EQ(tint_color(make_color(0, 128, 255), B_LIGHTEN_MAX_TINT), make_color(255, 255, 255));
    EXPECT_EQ(tint_color(make_color(0, 100, 200), 1.5f), make_color(0, 50, 100));
}

TEST(InterfaceColorsTest, NamedTintsAliasTheLevels)
{
    EXPECT_EQ(B_DISABLED_LABEL_TINT, B_DARKEN_3_TINT);
    EXPECT_EQ(B_HIGHLIGHT_BACKGROUND_TINT, B_DARKEN_2_TINT);
    EXPECT_EQ(B_DISABLED_MARK_TINT, B_LIGHTEN_2_TINT);
}

TEST(InterfaceColorsTest, UiColorsHaveThePlatformDefaults)
{
    EXPECT_EQ(ui_color(B_PANEL_BACKGROUND_COLOR), make_color(216, 216, 216));
    EXPECT_EQ(ui_color(B_MENU_BACKGROUND_COLOR), make_color(216, 216, 216));
    EXPECT_EQ(ui_color(B_WINDOW_TAB_COLOR), make_color(255, 203, 0));
    EXPECT_EQ(ui_color(B_KEYBOARD_NAVIGATION_COLOR), make_color(0, 0, 229));
    EXPECT_EQ(ui_color(B_DESKTOP_COLOR), make_color(51, 102, 152));
    EXPECT_EQ(ui_color(B_DOCUMENT_BACKGROUND_COLOR), make_color(255, 255, 255));
    EXPECT_EQ(ui_color(B_CONTROL_MARK_COLOR), make_color(27, 82, 140));
    EXPECT_EQ(ui_color(B_FAILURE_COLOR), make_color(255, 65, 54));
}

TEST(InterfaceColorsTest, UnknownNamesAreBlack)
{
    EXPECT_EQ(ui_color(B_NO_COLOR), make_color(0, 0, 0));
    EXPECT_EQ(ui_color(color_which(55)), make_color(0, 0, 0));
}
