#include <DrawingContext.h>

#include "DrawingTestSupport.h"

#include <FontManager.h>

#include <gtest/gtest.h>

using namespace BPrivate;
using namespace BPrivate::test;
using brenvik::test::MatchesGolden;

namespace {

// Whether any pixel of the rectangle differs from `background`.
bool Inked(Canvas& canvas, rgb_color background, int32 left, int32 top, int32 right, int32 bottom)
{
    return canvas.Count(background, left, top, right, bottom)
        != (right - left + 1) * (bottom - top + 1);
}

TEST(DrawingContextTextTest, GlyphsSitAboveTheBaselineAndDescendersBelow)
{
    Canvas canvas(60, 30);
    canvas.context.DrawString("HHH", -1, BPoint(5, 15));
    EXPECT_TRUE(Inked(canvas, kWhite, 5, 14, 30, 14)) << "the row just above the baseline";
    EXPECT_FALSE(Inked(canvas, kWhite, 0, 15, 59, 29)) << "H has nothing below the baseline";
    EXPECT_FALSE(Inked(canvas, kWhite, 0, 0, 59, 5)) << "nor far above";
    EXPECT_FALSE(Inked(canvas, kWhite, 0, 0, 4, 29)) << "nor left of the start";
    canvas.context.DrawString("gy", -1, BPoint(40, 15));
    EXPECT_TRUE(Inked(canvas, kWhite, 40, 15, 59, 17)) << "descenders";
}

TEST(DrawingContextTextTest, DrawingMovesThePenByTheStringWidth)
{
    Canvas canvas(100, 20);
    RenderFont font;
    canvas.context.MovePenTo(BPoint(3, 12));
    canvas.context.DrawString("Hello");
    EXPECT_EQ(canvas.context.State().penLocation, BPoint(3 + font.StringWidth("Hello"), 12));
    canvas.context.DrawString(", world");
    EXPECT_EQ(canvas.context.State().penLocation.x, 3 + font.StringWidth("Hello, world"));
    EXPECT_FALSE(Inked(canvas, kWhite, 4 + int32(font.StringWidth("Hello, world")), 0, 99, 19));
}

TEST(DrawingContextTextTest, RotatedTextRunsUpward)
{
    Canvas canvas(30, 80);
    RenderFont font = RenderFont::BoldFont();
    font.SetRotation(90);
    canvas.context.SetFont(font);
    canvas.context.DrawString("Upward", -1, BPoint(20, 70));
    float width = font.StringWidth("Upward");
    EXPECT_TRUE(Inked(canvas, kWhite, 8, int32(70 - width), 19, 69));
    EXPECT_FALSE(Inked(canvas, kWhite, 0, 71, 29, 79)) << "nothing below the start";
    EXPECT_FALSE(Inked(canvas, kWhite, 24, 0, 29, 79)) << "glyphs lie left of the baseline";
    EXPECT_EQ(canvas.context.State().penLocation, BPoint(20, 70 - width));
}

TEST(DrawingContextTextTest, TextMatchesItsGoldenImage)
{
    ASSERT_EQ(FontManager::Default().InitCheck(), B_OK);
    Canvas canvas(220, 96, kPanel);
    canvas.context.SetLowColor(kPanel);
    canvas.context.DrawString("Plain: The quick brown fox", -1, BPoint(4, 14));
    canvas.context.SetFont(RenderFont::BoldFont());
    canvas.context.DrawString("Bold: Install \xe2\x80\xa6", -1, BPoint(4, 30));
    canvas.context.SetFont(RenderFont::FixedFont());
    canvas.context.DrawString("Fixed: 0123 {iMx}", -1, BPoint(4, 46));
    RenderFont decorated;
    decorated.SetFace(B_UNDERSCORE_FACE);
    canvas.context.SetFont(decorated);
    canvas.context.SetHighColor(kBlue);
    canvas.context.DrawString("Underlined", -1, BPoint(4, 62));
    decorated.SetFace(B_STRIKEOUT_FACE);
    canvas.context.SetFont(decorated);
    canvas.context.DrawString("Struck", -1, BPoint(70, 62));
    decorated.SetFace(B_NEGATIVE_FACE);
    canvas.context.SetFont(decorated);
    canvas.context.DrawString("Negative", -1, BPoint(120, 62));
    RenderFont size18;
    size18.SetSize(18);
    canvas.context.SetFont(size18);
    canvas.context.SetHighColor(kBlack);
    canvas.context.DrawString("Size 18 \xc3\xa9\xc3\xa0", -1, BPoint(4, 86));
    RenderFont rotated = RenderFont::BoldFont();
    rotated.SetRotation(90);
    rotated.SetSize(14);
    canvas.context.SetFont(rotated);
    canvas.context.DrawString("Rotated", -1, BPoint(210, 90));
    EXPECT_TRUE(MatchesGolden("render/text", canvas.Image()));
}

TEST(DrawingContextTextTest, FontsWithoutAntialiasingDrawOnlyFullPixels)
{
    Canvas canvas(60, 20);
    RenderFont font;
    font.SetFlags(B_DISABLE_ANTIALIASING);
    canvas.context.SetFont(font);
    canvas.context.DrawString("Sharp", -1, BPoint(2, 14));
    EXPECT_EQ(canvas.Count(kWhite) + canvas.Count(kBlack), 60 * 20);
}

} // namespace
