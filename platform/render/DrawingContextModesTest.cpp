#include <DrawingContext.h>

#include "DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace BPrivate;
using namespace BPrivate::test;

namespace {

constexpr rgb_color kBackground = { 100, 100, 100, 255 };
constexpr rgb_color kPen = { 200, 50, 10, 255 };

struct ModeCase {
    drawing_mode mode;
    rgb_color expected;
};

class DrawingModeTest : public testing::TestWithParam<ModeCase> { };

TEST_P(DrawingModeTest, CombinesThePenWithTheTarget)
{
    Canvas canvas(6, 6, kBackground);
    canvas.context.SetHighColor(kPen);
    canvas.context.SetLowColor(make_color(1, 2, 3));
    canvas.context.SetDrawingMode(GetParam().mode);
    canvas.context.FillRect(BRect(1, 1, 4, 4));
    EXPECT_EQ(canvas.At(2, 2), GetParam().expected);
    EXPECT_EQ(canvas.At(0, 0), kBackground);
    EXPECT_EQ(canvas.At(5, 5), kBackground);
}

INSTANTIATE_TEST_SUITE_P(DrawingContextModesTest, DrawingModeTest,
    testing::Values(ModeCase { B_OP_COPY, kPen }, ModeCase { B_OP_OVER, kPen },
        ModeCase { B_OP_ERASE, make_color(1, 2, 3) },
        ModeCase { B_OP_INVERT, make_color(155, 155, 155) },
        ModeCase { B_OP_ADD, make_color(255, 150, 110) },
        ModeCase { B_OP_SUBTRACT, make_color(0, 50, 90) },
        ModeCase { B_OP_BLEND, make_color(150, 75, 55) }, ModeCase { B_OP_MIN, kPen },
        ModeCase { B_OP_MAX, kBackground }, ModeCase { B_OP_SELECT, kBackground },
        ModeCase { B_OP_ALPHA, kPen }));

TEST(DrawingContextModesTest, SelectSwapsTheHighAndLowColours)
{
    Canvas canvas(4, 1, kWhite);
    canvas.surface.Fill(kWhite);
    canvas.context.FillRect(BRect(0, 0, 0, 0));
    canvas.context.SetHighColor(kRed);
    canvas.context.FillRect(BRect(1, 0, 1, 0));
    canvas.context.SetHighColor(kBlack);
    canvas.context.SetLowColor(kRed);
    canvas.context.SetDrawingMode(B_OP_SELECT);
    canvas.context.FillRect(BRect(0, 0, 3, 0));
    EXPECT_EQ(canvas.At(0, 0), kRed);
    EXPECT_EQ(canvas.At(1, 0), kBlack);
    EXPECT_EQ(canvas.At(2, 0), kWhite);
}

TEST(DrawingContextModesTest, AlphaBlendsTranslucentColoursButOtherModesIgnoreAlpha)
{
    Canvas canvas(4, 1, kWhite);
    canvas.context.SetHighColor(make_color(255, 0, 0, 128));
    canvas.context.SetDrawingMode(B_OP_ALPHA);
    canvas.context.FillRect(BRect(0, 0, 0, 0));
    EXPECT_EQ(canvas.At(0, 0), make_color(255, 127, 127));
    canvas.context.SetDrawingMode(B_OP_COPY);
    canvas.context.FillRect(BRect(1, 0, 1, 0));
    EXPECT_EQ(canvas.At(1, 0), kRed);
    canvas.context.SetDrawingMode(B_OP_OVER);
    canvas.context.FillRect(BRect(2, 0, 2, 0));
    EXPECT_EQ(canvas.At(2, 0), kRed);
}

TEST(DrawingContextModesTest, OverLeavesTheLowBitsOfAPatternAlone)
{
    Canvas canvas(8, 2, kPanel);
    canvas.context.SetDrawingMode(B_OP_OVER);
    canvas.context.FillRect(BRect(0, 0, 7, 1), B_MIXED_COLORS);
    EXPECT_EQ(canvas.Count(kBlack), 8);
    EXPECT_EQ(canvas.Count(kPanel), 8);
    EXPECT_EQ(canvas.At(0, 0), kBlack);
    EXPECT_EQ(canvas.At(1, 0), kPanel);
    EXPECT_EQ(canvas.At(0, 1), kPanel);
    canvas.context.SetDrawingMode(B_OP_COPY);
    canvas.context.FillRect(BRect(0, 0, 7, 1), B_MIXED_COLORS);
    EXPECT_EQ(canvas.Count(kWhite), 8) << "copy paints the low bits in the low colour";
}

TEST(DrawingContextModesTest, InvertRectIgnoresTheDrawingMode)
{
    Canvas canvas(4, 4, kWhite);
    canvas.context.SetDrawingMode(B_OP_ADD);
    canvas.context.InvertRect(BRect(0, 0, 1, 3));
    EXPECT_EQ(canvas.Count(kBlack), 8);
    EXPECT_EQ(canvas.context.State().drawingMode, B_OP_ADD);
    canvas.context.InvertRect(BRect(0, 0, 0, 3));
    EXPECT_EQ(canvas.Count(kBlack), 4);
}

TEST(DrawingContextModesTest, CopyOnASurfaceWithAlphaCopiesTransparency)
{
    Canvas canvas(4, 1, kRed, true);
    canvas.context.SetHighColor(B_TRANSPARENT_COLOR);
    canvas.context.FillRect(BRect(0, 0, 1, 0));
    EXPECT_EQ(canvas.At(0, 0).alpha, 0);
    EXPECT_EQ(canvas.At(2, 0), kRed);
}

TEST(DrawingContextModesTest, AlphaOverlayKeepsTheTargetsAlphaAndCompositeAddsToIt)
{
    Canvas canvas(2, 1, make_color(0, 0, 0, 0), true);
    canvas.context.SetDrawingMode(B_OP_ALPHA);
    canvas.context.SetHighColor(make_color(0, 0, 255, 255));
    canvas.context.SetBlendingMode(B_PIXEL_ALPHA, B_ALPHA_OVERLAY);
    canvas.context.FillRect(BRect(0, 0, 0, 0));
    EXPECT_EQ(canvas.At(0, 0).alpha, 0);
    canvas.context.SetBlendingMode(B_PIXEL_ALPHA, B_ALPHA_COMPOSITE);
    canvas.context.FillRect(BRect(1, 0, 1, 0));
    EXPECT_EQ(canvas.At(1, 0), kBlue);
}

TEST(DrawingContextModesTest, WindowSurfacesStayOpaqueInEveryMode)
{
    for (int32 mode = B_OP_COPY; mode <= B_OP_ALPHA; mode++) {
        Canvas canvas(10, 10, kPanel);
        canvas.context.SetHighColor(make_color(10, 200, 30, 100));
        canvas.context.SetLowColor(make_color(0, 0, 0, 0));
        canvas.context.SetDrawingMode(drawing_mode(mode));
        canvas.context.FillEllipse(BRect(0, 0, 9, 9), B_MIXED_COLORS);
        canvas.context.DrawString("x", -1, BPoint(1, 9));
        for (int32 y = 0; y < 10; y++) {
            for (int32 x = 0; x < 10; x++)
                ASSERT_EQ(canvas.At(x, y).alpha, 255) << "mode " << mode;
        }
    }
}

TEST(DrawingContextModesTest, SoftwareModesRespectTheClip)
{
    Canvas canvas(10, 10, kWhite);
    canvas.context.SetDeviceClip(ClipRegion(clipping_rect { 0, 0, 4, 9 }));
    canvas.context.SetDrawingMode(B_OP_INVERT);
    canvas.context.FillRect(BRect(0, 0, 9, 9));
    EXPECT_EQ(canvas.Count(kBlack), 50);
    EXPECT_EQ(canvas.Count(kBlack, 0, 0, 4, 9), 50);
}

} // namespace
