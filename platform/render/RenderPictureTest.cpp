#include <RenderPicture.h>

#include "DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace BPrivate;
using namespace BPrivate::test;

namespace {

void DrawSample(DrawingContext& context)
{
    context.SetHighColor(kRed);
    context.FillRect(BRect(0, 0, 4, 4));
    context.SetHighColor(kBlue);
    context.StrokeLine(BPoint(0, 6), BPoint(9, 6));
    context.DrawString("Ab", -1, BPoint(0, 18));
}

TEST(RenderPictureTest, RecordingDrawsNothingButKeepsTheStateChanges)
{
    Canvas canvas(30, 30);
    RenderPicture picture;
    canvas.context.BeginPicture(&picture);
    EXPECT_TRUE(canvas.context.IsRecording());
    DrawSample(canvas.context);
    EXPECT_EQ(canvas.context.EndPicture(), &picture);
    EXPECT_FALSE(canvas.context.IsRecording());
    EXPECT_EQ(canvas.Count(kWhite), 30 * 30);
    EXPECT_EQ(picture.CountOps(), 5);
    EXPECT_EQ(canvas.context.State().highColor, kBlue);
}

TEST(RenderPictureTest, PlaybackDrawsWhatWasRecordedAtTheGivenPlace)
{
    Canvas direct(40, 40);
    direct.context.SetOrigin(BPoint(7, 5));
    DrawSample(direct.context);

    Canvas played(40, 40);
    RenderPicture picture;
    played.context.BeginPicture(&picture);
    DrawSample(played.context);
    played.context.EndPicture();
    played.context.SetHighColor(kBlack);
    played.context.DrawPicture(picture, BPoint(7, 5));
    EXPECT_EQ(played.context.State().highColor, kBlack) << "playback leaves the state alone";
    EXPECT_EQ(played.context.State().origin, B_ORIGIN);
    EXPECT_EQ(played.Image().pixels, direct.Image().pixels);
}

TEST(RenderPictureTest, PicturesOwnCopiesOfTheirBitmaps)
{
    Canvas canvas(10, 10);
    RenderPicture picture;
    {
        PixelBuffer bitmap(2, 2, B_RGB32);
        bitmap.Fill(kRed);
        canvas.context.BeginPicture(&picture);
        canvas.context.DrawBitmap(bitmap, BPoint(1, 1));
        canvas.context.EndPicture();
    }
    canvas.context.DrawPicture(picture, B_ORIGIN);
    EXPECT_EQ(canvas.Count(kRed), 4);
    EXPECT_EQ(canvas.At(1, 1), kRed);
}

TEST(RenderPictureTest, RecordingsNestAndPicturesContainPictures)
{
    Canvas canvas(20, 20);
    RenderPicture inner;
    RenderPicture outer;
    canvas.context.BeginPicture(&outer);
    canvas.context.FillRect(BRect(0, 0, 0, 0));
    canvas.context.BeginPicture(&inner);
    canvas.context.FillRect(BRect(1, 1, 1, 1));
    canvas.context.EndPicture();
    canvas.context.DrawPicture(inner, BPoint(10, 10));
    canvas.context.EndPicture();
    EXPECT_EQ(inner.CountOps(), 1);
    EXPECT_EQ(outer.CountOps(), 2);
    EXPECT_EQ(canvas.Count(kBlack), 0);
    canvas.context.DrawPicture(outer, BPoint(2, 2));
    EXPECT_EQ(canvas.At(2, 2), kBlack);
    EXPECT_EQ(canvas.At(13, 13), kBlack);
    EXPECT_EQ(canvas.Count(kBlack), 2);
}

TEST(RenderPictureTest, UnbalancedStatesInAPictureEndWithIt)
{
    Canvas canvas(10, 10);
    RenderPicture picture;
    canvas.context.BeginPicture(&picture);
    canvas.context.PushState();
    canvas.context.PushState();
    canvas.context.SetHighColor(kRed);
    canvas.context.EndPicture();
    canvas.context.PopState();
    canvas.context.PopState();
    int32 levels = canvas.context.CountStateLevels();
    canvas.context.DrawPicture(picture, B_ORIGIN);
    EXPECT_EQ(canvas.context.CountStateLevels(), levels);
    EXPECT_EQ(canvas.context.State().highColor, kBlack);
}

} // namespace
