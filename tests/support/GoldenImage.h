#pragma once

// Golden-image comparison for tests that draw: a picture is compared with
// testdata/golden/<name>.png, exactly unless the test allows a tolerance.
//
// - A missing golden image fails, unless BRENVIK_UPDATE_GOLDEN=1 is set: then
//   the picture is written as the new golden image (also over a mismatching
//   one) and the comparison passes.
// - On a mismatch, <name>.actual.png and <name>.diff.png (differing pixels in
//   red over a faded copy of the golden image) are written to the build's
//   golden-output/ folder and their paths are printed.

#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brenvik::test {

// Straight (not premultiplied) 8-bit RGBA pixels, rows top to bottom.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t* PixelAt(int x, int y) { return pixels.data() + (size_t(y) * width + x) * 4; }
    const std::uint8_t* PixelAt(int x, int y) const
    {
        return pixels.data() + (size_t(y) * width + x) * 4;
    }
};

struct GoldenTolerance {
    // The largest difference allowed in any channel of a pixel.
    int maxChannelDifference = 0;
    // How many pixels may differ by more than that.
    long maxDifferingPixels = 0;
};

bool ReadPng(const std::string& path, RgbaImage* image, std::string* error = nullptr);
bool WritePng(const std::string& path, const RgbaImage& image, std::string* error = nullptr);

// Where golden images and mismatch output live.
std::string GoldenPath(const std::string& name);
std::string GoldenOutputFolder();

testing::AssertionResult MatchesGolden(
    const std::string& name, const RgbaImage& image, GoldenTolerance tolerance = {});
// The same for a PNG file the test has written.
testing::AssertionResult PngMatchesGolden(
    const std::string& name, const std::string& pngPath, GoldenTolerance tolerance = {});

} // namespace brenvik::test
