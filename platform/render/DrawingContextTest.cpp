#include <DrawingContext.h>

#include "DrawingTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace BPrivate;
using namespace BPrivate::test;
using brenvik::test::MatchesGolden;

namespace {

TEST(DrawingContextTest, OnePixelLinesPaintBothEndsAndNothingElse)
{
    Canvas canvas(40, 20);
    canvas.context.StrokeLine(BPoint(2, 2), BPoint(30, 2));
    canvas.context.StrokeLine(BPoint(35, 3), BPoint(35, 17));
    EXPECT_EQ(canvas.Count(kBlack, 0, 0, 39, 19), 29 + 15);
    EXPECT_EQ(canvas.Count(kBlack, 2, 2, 30, 2), 29);
    EXPECT_EQ(canvas.At(1, 2), kWhite);
    EXPECT_EQ(canvas.At(31, 2), kWhite);
    EXPECT_EQ(canvas.Count(kBlack, 35, 3, 35, 17), 15);
}

TEST(DrawingContextTest, LinesMoveThePenToTheirEnd)
{
    Canvas canvas(20, 20);
    canvas.context.MovePenTo(BPoint(1, 1));
    canvas.context.StrokeLine(BPoint(8, 1));
    canvas.context.StrokeLine(BPoint(8, 6));
    EXPECT_EQ(canvas.context.State().penLocation, BPoint(8, 6));
    EXPECT_EQ(canvas.Count(kBlack), 8 + 5);
}

TEST(DrawingContextTest, FilledRectanglesIncludeBothEdges)
{
    Canvas canvas(20, 20);
    canvas.context.FillRect(BRect(2, 3, 5, 7));
    EXPECT_EQ(canvas.Count(kBlack), 4 * 5);
    EXPECT_EQ(canvas.Count(kBlack, 2, 3, 5, 7), 20);
    canvas.context.FillRect(BRect(10, 10, 9, 12));
    EXPECT_EQ(canvas.Count(kBlack), 20) << "an invalid rectangle draws nothing";
}

TEST(DrawingContextTest, StrokedRectanglesFrameTheEdgePixels)
{
    Canvas canvas(20, 20);
    canvas.context.StrokeRect(BRect(2, 2, 9, 6));
    EXPECT_EQ(canvas.Count(kBlack), 2 * 8 + 2 * 3);
    EXPECT_EQ(canvas.At(2, 2), kBlack);
    EXPECT_EQ(canvas.At(9, 6), kBlack);
    EXPECT_EQ(canvas.At(3, 3), kWhite);
    EXPECT_EQ(canvas.At(1, 1), kWhite);
    canvas.context.StrokeRect(BRect(12, 2, 12, 9));
    EXPECT_EQ(canvas.Count(kBlack, 12, 0, 12, 19), 8) << "a one-pixel-wide frame is a line";
}

TEST(DrawingContextTest, ThickPensStayCrisp)
{
    Canvas canvas(30, 30);
    canvas.context.SetPenSize(3);
    canvas.context.StrokeLine(BPoint(5, 5), BPoint(20, 5));
    EXPECT_EQ(canvas.Count(kBlack, 0, 0, 29, 9), 16 * 3);
    EXPECT_EQ(canvas.Count(kBlack, 5, 4, 20, 6), 16 * 3);
    canvas.context.SetPenSize(2);
    canvas.context.StrokeRect(BRect(5, 12, 14, 21));
    // An even pen covers each edge pixel and the one after it.
    EXPECT_EQ(canvas.At(5, 12), kBlack);
    EXPECT_EQ(canvas.At(6, 13), kBlack);
    EXPECT_EQ(canvas.At(15, 22), kBlack);
    EXPECT_EQ(canvas.At(4, 12), kWhite);
    EXPECT_EQ(canvas.At(7, 14), kWhite);
}

TEST(DrawingContextTest, OriginAndScaleMoveAndGrowLocalPixels)
{
    Canvas canvas(20, 20);
    canvas.context.SetOrigin(BPoint(10, 4));
    canvas.context.FillRect(BRect(0, 0, 1, 1));
    EXPECT_EQ(canvas.Count(kBlack, 10, 4, 11, 5), 4);
    canvas.context.SetOrigin(B_ORIGIN);
    canvas.context.SetScale(2);
    canvas.context.FillRect(BRect(1, 5, 2, 5));
    EXPECT_EQ(canvas.Count(kBlack, 2, 10, 5, 11), 8);
    EXPECT_EQ(canvas.Count(kBlack), 4 + 8);
    canvas.context.StrokeLine(BPoint(0, 8), BPoint(3, 8));
    EXPECT_EQ(canvas.Count(kBlack, 0, 16, 7, 17), 16) << "a scaled pen covers whole pixels";
}

TEST(DrawingContextTest, PushedStatesBuildOnTheStateBelow)
{
    Canvas canvas(30, 30);
    canvas.context.SetOrigin(BPoint(5, 5));
    canvas.context.SetHighColor(kRed);
    canvas.context.PushState();
    EXPECT_EQ(canvas.context.State().highColor, kRed);
    canvas.context.SetOrigin(BPoint(10, 10));
    canvas.context.FillRect(BRect(0, 0, 0, 0));
    EXPECT_EQ(canvas.At(15, 15), kRed);
    canvas.context.SetHighColor(kBlue);
    canvas.context.PopState();
    EXPECT_EQ(canvas.context.State().highColor, kRed);
    EXPECT_EQ(canvas.context.State().origin, BPoint(5, 5));
    canvas.context.PopState();
    EXPECT_EQ(canvas.context.CountStateLevels(), 1);
}

TEST(DrawingContextTest, DeviceClipAndConstraintsLimitDrawing)
{
    Canvas canvas(20, 20);
    ClipRegion visible(clipping_rect { 0, 0, 9, 19 });
    visible.Include(clipping_rect { 15, 0, 19, 4 });
    canvas.context.SetDeviceClip(visible);
    canvas.context.FillRect(BRect(0, 0, 19, 19));
    EXPECT_EQ(canvas.Count(kBlack), 10 * 20 + 5 * 5);

    canvas.context.SetHighColor(kRed);
    canvas.context.SetOrigin(BPoint(2, 2));
    ClipRegion constraint(clipping_rect { 0, 0, 2, 2 });
    canvas.context.ConstrainClipping(&constraint);
    canvas.context.FillRect(BRect(-10, -10, 30, 30));
    EXPECT_EQ(canvas.Count(kRed), 9);
    EXPECT_EQ(canvas.Count(kRed, 2, 2, 4, 4), 9);
    EXPECT_EQ(canvas.context.ClippingInLocal(), constraint);
    canvas.context.ConstrainClipping(nullptr);
    canvas.context.FillRect(BRect(-10, -10, 30, 30));
    EXPECT_EQ(canvas.Count(kRed), 10 * 20 + 5 * 5);
}

TEST(DrawingContextTest, DeviceOffsetPlacesTheView)
{
    Canvas canvas(20, 20);
    canvas.context.SetDeviceOffset(BPoint(7, 3));
    canvas.context.StrokeLine(B_ORIGIN, BPoint(2, 0));
    EXPECT_EQ(canvas.Count(kBlack, 7, 3, 9, 3), 3);
    EXPECT_EQ(canvas.context.LocalToDevice(BPoint(1, 1)), BPoint(8, 4));
    EXPECT_EQ(canvas.context.DeviceToLocal(BPoint(8, 4)), BPoint(1, 1));
}

TEST(DrawingContextTest, LinesMatchTheirGoldenImage)
{
    Canvas canvas(48, 32);
    canvas.context.StrokeLine(BPoint(2, 2), BPoint(45, 2));
    canvas.context.StrokeLine(BPoint(2, 4), BPoint(2, 29));
    canvas.context.StrokeLine(BPoint(5, 5), BPoint(25, 25));
    canvas.context.StrokeLine(BPoint(45, 6), BPoint(28, 29));
    canvas.context.SetHighColor(kRed);
    canvas.context.SetPenSize(3);
    canvas.context.StrokeLine(BPoint(30, 8), BPoint(44, 8));
    canvas.context.SetPenSize(2);
    canvas.context.StrokeLine(BPoint(8, 28), BPoint(20, 28));
    EXPECT_TRUE(MatchesGolden("render/lines", canvas.Image()));
}

TEST(DrawingContextTest, RectanglesMatchTheirGoldenImage)
{
    Canvas canvas(48, 24, kPanel);
    canvas.context.StrokeRect(BRect(1, 1, 14, 10));
    canvas.context.FillRect(BRect(4, 4, 11, 7));
    canvas.context.SetHighColor(kBlue);
    canvas.context.FillRect(BRect(17, 1, 30, 10), B_MIXED_COLORS);
    canvas.context.SetPenSize(3);
    canvas.context.StrokeRect(BRect(34, 2, 45, 20));
    canvas.context.SetPenSize(1);
    canvas.context.SetHighColor(make_color(152, 152, 152));
    canvas.context.StrokeLine(BPoint(1, 13), BPoint(30, 13));
    canvas.context.SetHighColor(kWhite);
    canvas.context.StrokeLine(BPoint(1, 14), BPoint(30, 14));
    EXPECT_TRUE(MatchesGolden("render/rects", canvas.Image()));
}

TEST(DrawingContextTest, RoundRectsStayInsideTheirRectangle)
{
    Canvas canvas(48, 24);
    canvas.context.StrokeRoundRect(BRect(2, 2, 21, 19), 5, 5);
    canvas.context.SetHighColor(kBlue);
    canvas.context.FillRoundRect(BRect(25, 2, 45, 19), 6, 4);
    EXPECT_EQ(canvas.At(11, 2), kBlack) << "straight part of the top edge";
    EXPECT_EQ(canvas.At(2, 2), kWhite) << "the corner is cut";
    EXPECT_EQ(canvas.Count(kBlue, 25, 7, 45, 14), 21 * 8);
    EXPECT_EQ(canvas.Count(kWhite, 24, 0, 24, 23), 24);
    EXPECT_EQ(canvas.Count(kWhite, 46, 0, 46, 23), 24);
    EXPECT_TRUE(MatchesGolden("render/roundrect", canvas.Image()));
}

TEST(DrawingContextTest, EllipsesFillTheirBox)
{
    Canvas canvas(48, 24);
    canvas.context.StrokeEllipse(BRect(2, 2, 21, 21));
    canvas.context.SetHighColor(kRed);
    canvas.context.FillEllipse(BRect(25, 4, 45, 19));
    EXPECT_EQ(canvas.At(35, 4).green, canvas.At(35, 4).blue);
    EXPECT_LT(canvas.At(35, 4).green, 255) << "the top middle pixel is painted";
    EXPECT_EQ(canvas.At(35, 12), kRed);
    EXPECT_EQ(canvas.Count(kWhite, 25, 0, 45, 3), 21 * 4) << "nothing above the box";
    EXPECT_EQ(canvas.Count(kWhite, 25, 20, 45, 23), 21 * 4) << "nothing below the box";
    EXPECT_TRUE(MatchesGolden("render/ellipse", canvas.Image()));
}

TEST(DrawingContextTest, ArcsRunCounterClockwiseFromThreeOClock)
{
    Canvas canvas(64, 32);
    // A quarter from 0 to 90 degrees: the top right of the circle.
    canvas.context.StrokeArc(BRect(2, 2, 28, 28), 0, 90);
    EXPECT_LT(canvas.At(28, 15).red, 128) << "3 o'clock";
    EXPECT_LT(canvas.At(15, 2).red, 128) << "12 o'clock";
    EXPECT_EQ(canvas.At(15, 28), kWhite) << "6 o'clock is not on the arc";
    EXPECT_EQ(canvas.At(2, 15), kWhite) << "9 o'clock is not on the arc";
    canvas.context.SetHighColor(kBlue);
    canvas.context.FillArc(BRect(34, 2, 59, 27), 45, -135);
    EXPECT_EQ(canvas.At(52, 18), kBlue) << "inside the slice, below right";
    EXPECT_EQ(canvas.At(40, 10), kWhite) << "outside the slice, above left";
    EXPECT_TRUE(MatchesGolden("render/arc", canvas.Image()));
}

TEST(DrawingContextTest, PolygonsAndCurvesMatchTheirGoldenImage)
{
    Canvas canvas(64, 32);
    BPoint triangle[] = { BPoint(2, 29), BPoint(16, 2), BPoint(30, 29) };
    canvas.context.SetHighColor(kBlue);
    canvas.context.FillPolygon(triangle, 3);
    EXPECT_EQ(canvas.Count(kBlue, 3, 29, 29, 29), 27) << "the bottom edge is included";
    EXPECT_NE(canvas.At(2, 29), kWhite);
    EXPECT_NE(canvas.At(30, 29), kWhite);
    EXPECT_EQ(canvas.Count(kWhite, 0, 30, 31, 31), 64) << "nothing below the bottom edge";
    canvas.context.SetHighColor(kBlack);
    BPoint open[] = { BPoint(34, 29), BPoint(40, 4), BPoint(46, 29), BPoint(52, 4) };
    canvas.context.StrokePolygon(open, 4, false);
    BPoint curve[] = { BPoint(34, 16), BPoint(40, 0), BPoint(56, 31), BPoint(61, 16) };
    canvas.context.SetHighColor(kRed);
    canvas.context.StrokeBezier(curve);
    EXPECT_TRUE(MatchesGolden("render/polygon", canvas.Image()));
}

TEST(DrawingContextTest, HostileValuesNeitherCrashNorStopLaterDrawing)
{
    Canvas canvas(20, 20);
    DrawingContext& context = canvas.context;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float huge = 1e30f;
    const float infinite = std::numeric_limits<float>::infinity();
    for (float bad : { nan, huge, -huge, infinite }) {
        context.PushState();
        context.StrokeLine(BPoint(bad, 0), BPoint(5, bad));
        context.FillRect(BRect(-huge, -huge, bad, huge));
        context.StrokeRoundRect(BRect(0, 0, 10, 10), bad, bad);
        context.FillArc(BRect(0, 0, 10, 10), bad, 90);
        context.StrokeArc(BRect(0, 0, 10, 10), huge, -huge);
        BPoint points[] = { BPoint(bad, bad), BPoint(1, 1), BPoint(bad, 3) };
        context.FillPolygon(points, 3);
        context.SetPenSize(bad);
        context.StrokeEllipse(BRect(0, 0, 10, bad));
        RenderFont font;
        font.SetSize(bad);
        font.SetRotation(bad);
        font.SetShear(bad);
        context.SetFont(font);
        escapement_delta delta = { bad, bad };
        context.DrawString("text", -1, BPoint(bad, 10), &delta);
        context.SetScale(bad);
        context.SetOrigin(BPoint(bad, bad));
        context.FillRect(BRect(0, 0, 3, 3));
        ClipRegion clip(BRect(bad, 0, 5, 5));
        context.ConstrainClipping(&clip);
        context.InvertRect(BRect(bad, bad, bad, bad));
        context.PopState();
    }
    // Whatever came before, the context still draws.
    canvas.surface.Fill(kWhite);
    context.FillRect(BRect(2, 2, 3, 3));
    EXPECT_EQ(canvas.Count(kBlack), 4);
}

TEST(DrawingContextTest, RegionsFillEachRectangle)
{
    Canvas canvas(20, 20);
    ClipRegion region(clipping_rect { 1, 1, 4, 4 });
    region.Include(clipping_rect { 3, 3, 8, 6 });
    canvas.context.FillRegion(region);
    EXPECT_EQ(canvas.Count(kBlack), region.Area());
    EXPECT_EQ(region.Area(), 16 + 24 - 4);
}

} // namespace
