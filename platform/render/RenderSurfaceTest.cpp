#include <RenderSurface.h>

#include <TestSandbox.h>

#include <gtest/gtest.h>

using namespace BPrivate;

namespace {

TEST(RenderSurfaceTest, OpaqueSurfacesIgnoreTheFillsAlpha)
{
    RenderSurface surface(4, 3, false, make_color(10, 20, 30, 0));
    ASSERT_EQ(surface.InitCheck(), B_OK);
    EXPECT_EQ(surface.PixelAt(3, 2), make_color(10, 20, 30));
    EXPECT_EQ(surface.BytesPerRow(), 16);
    EXPECT_EQ(surface.PixelAt(4, 0), make_color(0, 0, 0, 0));
}

TEST(RenderSurfaceTest, ResizingKeepsTheTopLeftPixels)
{
    RenderSurface surface(4, 4, false, make_color(1, 1, 1));
    ASSERT_EQ(surface.Resize(6, 2, make_color(9, 9, 9)), B_OK);
    EXPECT_EQ(surface.Width(), 6);
    EXPECT_EQ(surface.Height(), 2);
    EXPECT_EQ(surface.PixelAt(3, 1), make_color(1, 1, 1));
    EXPECT_EQ(surface.PixelAt(5, 1), make_color(9, 9, 9));
    EXPECT_EQ(surface.Resize(0, 2, make_color(9, 9, 9)), B_BAD_VALUE);
    EXPECT_EQ(surface.Width(), 6);
}

TEST(RenderSurfaceTest, InvalidSizesAreReported)
{
    EXPECT_EQ(RenderSurface(0, 10).InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(RenderSurface(PixelBuffer::kMaxDimension + 1, 10).InitCheck(), B_NO_MEMORY);
}

TEST(RenderSurfaceTest, ScreenshotsAreOpaquePngFiles)
{
    RenderSurface surface(3, 2, false, make_color(216, 216, 216));
    std::string path = brenvik::test::MakeTempFolder() + "/shot.png";
    ASSERT_EQ(surface.WritePNG(path.c_str()), B_OK);
    PixelBuffer read;
    ASSERT_EQ(PixelBuffer::ReadPNG(path.c_str(), &read), B_OK);
    EXPECT_EQ(read.ColorSpace(), B_RGB32);
    EXPECT_EQ(read.PixelAt(2, 1), make_color(216, 216, 216));
}

} // namespace
