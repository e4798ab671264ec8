#pragma once

// Helpers of the tests of the installer's views and of the installer's
// windows built from them: windows gone before the program ends, and
// pictures and files made for a test. The alerts' helpers are the kit's
// (AlertTestSupport.h).

#include <AlertTestSupport.h>
#include <Bitmap.h>
#include <InterfaceTestSupport.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace brenvik::test {

inline testing::Environment* const sWindowsGoneAtExit
    = testing::AddGlobalTestEnvironment(new WindowsGoneAtExit);

// A 32-bit picture of the given size: a sky-blue field with a darker band
// across the middle and a white frame, easy to tell apart in a golden image.
inline BBitmap* MakePicture(int32 width, int32 height)
{
    BBitmap* bitmap = new BBitmap(BRect(0, 0, float(width - 1), float(height - 1)), B_RGB32);
    uint8* bits = static_cast<uint8*>(bitmap->Bits());
    for (int32 y = 0; y < height; y++) {
        for (int32 x = 0; x < width; x++) {
            uint8* pixel = bits + y * bitmap->BytesPerRow() + x * 4;
            bool frame = x < 4 || y < 4 || x >= width - 4 || y >= height - 4;
            bool band = y > height / 3 && y < height * 2 / 3;
            // B_RGB32 keeps blue, green, red, alpha in memory.
            pixel[0] = frame ? 255 : band ? 140 : 235;
            pixel[1] = frame ? 255 : band ? 90 : uint8(180 + y * 60 / height);
            pixel[2] = frame ? 255 : band ? 30 : 120;
            pixel[3] = 255;
        }
    }
    return bitmap;
}

// The same picture as a PNG file.
inline bool WritePicturePng(const std::string& path, int32 width, int32 height)
{
    std::unique_ptr<BBitmap> bitmap(MakePicture(width, height));
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(size_t(width) * size_t(height) * 4);
    const uint8* bits = static_cast<const uint8*>(bitmap->Bits());
    for (int32 y = 0; y < height; y++) {
        for (int32 x = 0; x < width; x++) {
            const uint8* from = bits + y * bitmap->BytesPerRow() + x * 4;
            uint8* to = image.PixelAt(x, y);
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = 255;
        }
    }
    return WritePng(path, image);
}

} // namespace brenvik::test
