#include <DrawingContext.h>
#include <RenderFont.h>

#include <DrawingTestSupport.h>

#include <gtest/gtest.h>

using namespace BPrivate;
using namespace BPrivate::test;

namespace {

// A surface of width × height points at `scale`, and a context on it.
struct ScaledCanvas {
    RenderSurface surface;
    std::unique_ptr<DrawingContext> context;

    ScaledCanvas(int32 width, int32 height, float scale)
        : surface(int32(width * scale), int32(height * scale), false, kWhite)
    {
        surface.SetScale(scale);
        context = std::make_unique<DrawingContext>(&surface);
    }

    rgb_color At(int32 x, int32 y)
    {
        context->Flush();
        return surface.PixelAt(x, y);
    }

    // The pixels of one row or column that have `color`, as a string of
    // '#' and '.' (easier to read in a failure than a list of numbers).
    std::string Row(int32 y, rgb_color color)
    {
        std::string row;
        for (int32 x = 0; x < surface.Width(); x++)
            row += At(x, y) == color ? '#' : '.';
        return row;
    }
    std::string Column(int32 x, rgb_color color)
    {
        std::string column;
        for (int32 y = 0; y < surface.Height(); y++)
            column += At(x, y) == color ? '#' : '.';
        return column;
    }
};

TEST(DrawingContextScaleTest, OffsetClipAndShapesAreInPoints)
{
    ScaledCanvas canvas(20, 10, 2);
    canvas.context->SetDeviceOffset(BPoint(2, 1));
    EXPECT_EQ(canvas.context->DeviceOffset(), BPoint(2, 1));
    canvas.context->SetDeviceClip(ClipRegion(clipping_rect { 0, 0, 8, 9 }));
    canvas.context->SetHighColor(kRed);
    canvas.context->FillRect(BRect(0, 0, 9, 2));
    // Points 2..8 of the row (clipped at 8), pixels 4..17; rows 1..3 are
    // pixels 2..7.
    EXPECT_EQ(canvas.Row(2, kRed), "....##############......................");
    EXPECT_EQ(canvas.Column(4, kRed), "..######............");
    EXPECT_EQ(canvas.context->ClippingInLocal().Frame(), (clipping_rect { -2, -1, 6, 8 }));
}

// Lines of one point lie on the pixels of their point, whatever the scale:
// at 1.5 a point is one or two pixels, and neighbouring lines neither
// overlap nor leave a gap between them.
TEST(DrawingContextScaleTest, OnePointLinesCoverTheirPointsPixels)
{
    ScaledCanvas canvas(8, 8, 1.5f);
    const rgb_color colors[] = { kRed, kBlue, kBlack, kRed };
    for (int32 i = 0; i < 4; i++) {
        canvas.context->SetHighColor(colors[i]);
        canvas.context->StrokeLine(BPoint(1, float(i)), BPoint(6, float(i)));
    }
    // Point rows 0..3 are pixel rows 0-1, 2, 3-4, 5.
    EXPECT_EQ(canvas.Column(5, kRed), "##...#......");
    EXPECT_EQ(canvas.Column(5, kBlue), "..#.........");
    EXPECT_EQ(canvas.Column(5, kBlack), "...##.......");
    EXPECT_EQ(canvas.Row(0, kRed), "..#########.") << "points 1..6";

    ScaledCanvas frame(8, 8, 1.5f);
    frame.context->SetHighColor(kBlue);
    frame.context->StrokeRect(BRect(1, 1, 6, 6));
    frame.context->SetHighColor(kRed);
    frame.context->StrokeRect(BRect(2, 2, 5, 5));
    EXPECT_EQ(frame.Row(6, kBlue), "..#......##.");
    EXPECT_EQ(frame.Row(6, kRed), "...##...#...");
    EXPECT_EQ(frame.Column(6, kBlue), "..#......##.");
}

TEST(DrawingContextScaleTest, TwiceTheScaleDrawsTwiceTheWidth)
{
    ScaledCanvas canvas(10, 10, 2);
    canvas.context->SetHighColor(kBlack);
    canvas.context->StrokeLine(BPoint(0, 1), BPoint(9, 1));
    canvas.context->SetPenSize(3);
    canvas.context->StrokeLine(BPoint(4, 4), BPoint(4, 8));
    EXPECT_EQ(canvas.Column(0, kBlack), "..##................");
    EXPECT_EQ(canvas.Row(12, kBlack), "......######........") << "three points, centred";
}

// Text on a scaled surface is drawn at the pixel size: it is not the text
// of an unscaled surface made bigger, yet it is as wide.
TEST(DrawingContextScaleTest, TextIsDrawnAtTheFullResolution)
{
    RenderFont font;
    Canvas plain(60, 16);
    plain.context.SetHighColor(kBlack);
    plain.context.DrawString("Agree", -1, BPoint(2, 12));
    ScaledCanvas scaled(60, 16, 2);
    scaled.context->SetHighColor(kBlack);
    scaled.context->DrawString("Agree", -1, BPoint(2, 12));
    EXPECT_EQ(scaled.context->State().penLocation, plain.context.State().penLocation);

    int32 differing = 0;
    int32 inked = 0;
    int32 reach = 2 * (2 + int32(font.StringWidth("Agree")) + 2);
    for (int32 y = 0; y < 32; y++) {
        for (int32 x = 0; x < 120; x++) {
            rgb_color enlarged = plain.At(x / 2, y / 2);
            rgb_color drawn = scaled.At(x, y);
            if (drawn != kWhite) {
                inked++;
                EXPECT_LT(x, reach) << "the text is no wider than at scale 1";
            }
            differing += enlarged != drawn ? 1 : 0;
        }
    }
    EXPECT_GT(inked, 0);
    EXPECT_GT(differing, inked / 4) << "the edges of the glyphs are the scaled surface's own";
}

TEST(DrawingContextScaleTest, UnderlinesAreAsThickAsInPoints)
{
    RenderFont font;
    font.SetSize(10);
    font.SetFace(B_UNDERSCORE_FACE);
    ScaledCanvas canvas(20, 16, 2);
    canvas.context->SetFont(font);
    canvas.context->SetHighColor(kBlack);
    canvas.context->DrawString("    ", -1, BPoint(2, 10));
    // One point below the baseline, one point thick.
    EXPECT_EQ(canvas.Column(10, kBlack), "......................##........");
}

TEST(DrawingContextScaleTest, BitmapsAreSmoothedWhenEnlarged)
{
    PixelBuffer checker;
    ASSERT_EQ(checker.SetTo(2, 1, B_RGB32), B_OK);
    checker.SetPixelAt(0, 0, kBlack);
    checker.SetPixelAt(1, 0, kWhite);
    ScaledCanvas canvas(4, 2, 2);
    canvas.context->DrawBitmap(checker, BPoint(1, 0));
    // The boundary between the two pixels is blended, not a hard step.
    rgb_color left = canvas.At(2, 0);
    rgb_color middle = canvas.At(3, 0);
    rgb_color right = canvas.At(5, 0);
    EXPECT_EQ(left, kBlack);
    EXPECT_GT(middle.red, 0);
    EXPECT_LT(middle.red, 255);
    EXPECT_EQ(right, kWhite);
}

TEST(DrawingContextScaleTest, ScaledRegionsStayTouching)
{
    ClipRegion left(clipping_rect { 0, 0, 12, 4 });
    ClipRegion right(clipping_rect { 13, 0, 30, 4 });
    ClipRegion a = left.ScaledBy(1.5f);
    ClipRegion b = right.ScaledBy(1.5f);
    EXPECT_EQ(a.Frame(), (clipping_rect { 0, 0, 19, 7 }));
    EXPECT_EQ(b.Frame(), (clipping_rect { 20, 0, 46, 7 }));
    EXPECT_EQ(left.ScaledBy(1), left);
}

} // namespace
