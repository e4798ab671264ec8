#include <DrawingContext.h>

#include "DrawingTestSupport.h"

#include <SystemPalette.h>

#include <gtest/gtest.h>

using namespace BPrivate;
using namespace BPrivate::test;
using brenvik::test::MatchesGolden;

namespace {

// A 16 × 16 colour-mapped icon: a blue disc with a red cross on a
// transparent background, the way file icons are stored.
PixelBuffer MakeIcon()
{
    PixelBuffer icon(16, 16, B_CMAP8);
    for (int32 y = 0; y < 16; y++) {
        for (int32 x = 0; x < 16; x++) {
            int32 dx = 2 * x - 15, dy = 2 * y - 15;
            uint8 index = kTransparentIndex;
            if (dx * dx + dy * dy <= 15 * 15)
                index = 33;
            if (x == 7 || x == 8 || y == 7 || y == 8)
                index = dx * dx + dy * dy <= 11 * 11 ? uint8(42) : index;
            icon.RowAt(y)[x] = index;
        }
    }
    return icon;
}

TEST(DrawingContextBitmapTest, OverSkipsTheTransparentIndexAndCopyPaintsIt)
{
    PixelBuffer icon = MakeIcon();
    Canvas canvas(40, 20, kPanel);
    canvas.context.SetDrawingMode(B_OP_OVER);
    canvas.context.DrawBitmap(icon, BPoint(2, 2));
    canvas.context.SetDrawingMode(B_OP_COPY);
    canvas.context.DrawBitmap(icon, BPoint(22, 2));
    EXPECT_EQ(canvas.At(2, 2), kPanel) << "transparent corner over the panel";
    EXPECT_EQ(canvas.At(22, 2), kWhite) << "the palette colour of the transparent index";
    EXPECT_EQ(canvas.At(2 + 8, 2 + 2), make_color(0, 0, 229));
    EXPECT_EQ(canvas.At(2 + 7, 2 + 7), kRed);
    EXPECT_EQ(canvas.Count(kPanel, 0, 0, 39, 1), 80) << "nothing above the bitmap";
}

TEST(DrawingContextBitmapTest, ScalingRepeatsWholePixels)
{
    PixelBuffer icon = MakeIcon();
    Canvas canvas(40, 40, kPanel);
    canvas.context.SetDrawingMode(B_OP_OVER);
    canvas.context.DrawBitmap(icon, BRect(0, 0, 15, 15), BRect(4, 4, 35, 35));
    for (int32 y = 0; y < 16; y++) {
        for (int32 x = 0; x < 16; x++) {
            rgb_color expected = icon.RowAt(y)[x] == kTransparentIndex
                ? kPanel
                : SystemPalette()[icon.RowAt(y)[x]];
            for (int32 dy = 0; dy < 2; dy++) {
                for (int32 dx = 0; dx < 2; dx++)
                    ASSERT_EQ(canvas.At(4 + 2 * x + dx, 4 + 2 * y + dy), expected) << x << "," << y;
            }
        }
    }
}

TEST(DrawingContextBitmapTest, TheTransparentMagicColourOf32BitBitmapsIsSkipped)
{
    PixelBuffer bitmap(4, 1, B_RGB32);
    bitmap.SetPixelAt(0, 0, kRed);
    bitmap.SetPixelAt(1, 0, B_TRANSPARENT_32_BIT);
    bitmap.SetPixelAt(2, 0, kBlue);
    bitmap.SetPixelAt(3, 0, B_TRANSPARENT_32_BIT);
    Canvas canvas(8, 2, kPanel);
    canvas.context.SetDrawingMode(B_OP_OVER);
    canvas.context.DrawBitmap(bitmap, BPoint(0, 0));
    EXPECT_EQ(canvas.At(0, 0), kRed);
    EXPECT_EQ(canvas.At(1, 0), kPanel);
    EXPECT_EQ(canvas.At(3, 0), kPanel);
    canvas.context.SetDrawingMode(B_OP_COPY);
    canvas.context.DrawBitmap(bitmap, BPoint(0, 1));
    EXPECT_EQ(canvas.At(1, 1), make_color(0x77, 0x74, 0x77));
}

TEST(DrawingContextBitmapTest, AlphaModeBlendsWithPixelOrConstantAlpha)
{
    PixelBuffer bitmap(2, 1, B_RGBA32);
    bitmap.SetPixelAt(0, 0, make_color(0, 0, 0, 128));
    bitmap.SetPixelAt(1, 0, make_color(0, 0, 0, 0));
    Canvas canvas(4, 2, kWhite);
    canvas.context.SetDrawingMode(B_OP_ALPHA);
    canvas.context.DrawBitmap(bitmap, BPoint(0, 0));
    EXPECT_NEAR(canvas.At(0, 0).red, 127, 1);
    EXPECT_EQ(canvas.At(1, 0), kWhite);
    canvas.context.SetHighColor(make_color(0, 0, 0, 64));
    canvas.context.SetBlendingMode(B_CONSTANT_ALPHA, B_ALPHA_OVERLAY);
    canvas.context.DrawBitmap(bitmap, BPoint(0, 1));
    EXPECT_NEAR(canvas.At(0, 1).red, 191, 1);
    EXPECT_NEAR(canvas.At(1, 1).red, 191, 1) << "constant alpha ignores the pixel's own";
}

TEST(DrawingContextBitmapTest, BitmapsMatchTheirGoldenImage)
{
    PixelBuffer icon = MakeIcon();
    PixelBuffer gradient(32, 32, B_RGBA32);
    for (int32 y = 0; y < 32; y++) {
        for (int32 x = 0; x < 32; x++)
            gradient.SetPixelAt(x, y, make_color(uint8(x * 8), 40, uint8(y * 8), uint8(x * 8)));
    }
    Canvas canvas(120, 40, kPanel);
    canvas.context.SetDrawingMode(B_OP_OVER);
    canvas.context.DrawBitmap(icon, BPoint(2, 2));
    canvas.context.SetDrawingMode(B_OP_COPY);
    canvas.context.DrawBitmap(icon, BPoint(2, 20));
    canvas.context.SetDrawingMode(B_OP_OVER);
    canvas.context.DrawBitmap(icon, BRect(0, 0, 15, 15), BRect(22, 4, 53, 35));
    canvas.context.SetDrawingMode(B_OP_ALPHA);
    canvas.context.DrawBitmap(gradient, BPoint(58, 4));
    canvas.context.DrawBitmap(
        gradient, BRect(0, 0, 31, 31), BRect(94, 4, 117, 35), B_FILTER_BITMAP_BILINEAR);
    EXPECT_TRUE(MatchesGolden("render/bitmaps", canvas.Image()));
}

TEST(DrawingContextBitmapTest, OffScreenDrawingRoundTripsThroughTheBitmap)
{
    PixelBuffer icon = MakeIcon();
    RenderSurface surface(16, 16, true);
    ASSERT_EQ(surface.LoadFrom(icon, Transparency::kKeep), B_OK);
    {
        DrawingContext context(&surface);
        context.SetHighColor(make_color(0, 255, 0));
        context.FillRect(BRect(0, 15, 15, 15));
    }
    PixelBuffer result(16, 16, B_CMAP8);
    ASSERT_EQ(surface.StoreInto(&result), B_OK);
    EXPECT_EQ(result.RowAt(0)[0], kTransparentIndex) << "transparency survives";
    EXPECT_EQ(result.RowAt(7)[7], 42);
    EXPECT_EQ(result.RowAt(15)[3], 52) << "the new green row";
}

TEST(DrawingContextBitmapTest, CopyBitsMovesPixelsEvenWhenOverlapping)
{
    Canvas canvas(20, 20);
    canvas.context.FillRect(BRect(2, 2, 5, 5));
    canvas.context.CopyBits(BRect(0, 0, 9, 9), BRect(2, 2, 11, 11));
    // The destination covers the original square, which the copy replaces.
    EXPECT_EQ(canvas.Count(kBlack, 4, 4, 7, 7), 16);
    EXPECT_EQ(canvas.Count(kBlack), 16);
}

} // namespace
