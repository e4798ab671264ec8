#pragma once

// Helpers shared by the drawing tests: a small canvas with its context, and
// its pixels in the form the golden-image helper compares.

#include <DrawingContext.h>
#include <GoldenImage.h>
#include <RenderSurface.h>

namespace BPrivate::test {

constexpr rgb_color kBlack = { 0, 0, 0, 255 };
constexpr rgb_color kWhite = { 255, 255, 255, 255 };
constexpr rgb_color kPanel = { 216, 216, 216, 255 };
constexpr rgb_color kRed = { 255, 0, 0, 255 };
constexpr rgb_color kBlue = { 0, 0, 255, 255 };

inline brenvik::test::RgbaImage ImageOf(const RenderSurface& surface)
{
    brenvik::test::RgbaImage image;
    image.width = surface.Width();
    image.height = surface.Height();
    image.pixels.resize(size_t(image.width) * size_t(image.height) * 4);
    for (int y = 0; y < image.height; y++) {
        for (int x = 0; x < image.width; x++) {
            rgb_color color = surface.PixelAt(x, y);
            uint8* out = image.PixelAt(x, y);
            out[0] = color.red;
            out[1] = color.green;
            out[2] = color.blue;
            out[3] = color.alpha;
        }
    }
    return image;
}

struct Canvas {
    RenderSurface surface;
    DrawingContext context;

    Canvas(int32 width, int32 height, rgb_color background = kWhite, bool alpha = false)
        : surface(width, height, alpha, background)
        , context(&surface)
    {
    }

    rgb_color At(int32 x, int32 y)
    {
        context.Flush();
        return surface.PixelAt(x, y);
    }

    // How many pixels of the rectangle (inclusive) have `color`.
    int32 Count(rgb_color color, int32 left, int32 top, int32 right, int32 bottom)
    {
        int32 count = 0;
        for (int32 y = top; y <= bottom; y++) {
            for (int32 x = left; x <= right; x++)
                count += At(x, y) == color ? 1 : 0;
        }
        return count;
    }
    int32 Count(rgb_color color)
    {
        return Count(color, 0, 0, surface.Width() - 1, surface.Height() - 1);
    }

    brenvik::test::RgbaImage Image()
    {
        context.Flush();
        return ImageOf(surface);
    }
};

} // namespace BPrivate::test
