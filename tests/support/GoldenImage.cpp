#include "GoldenImage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <png.h>

namespace brenvik::test {

namespace {

bool UpdateRequested()
{
    const char* update = std::getenv("BRENVIK_UPDATE_GOLDEN");
    return update != nullptr && std::strcmp(update, "1") == 0;
}

bool EnsureParent(const std::string& path, std::string* error)
{
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), code);
    if (code && error != nullptr)
        *error = "cannot create the folder of " + path + ": " + code.message();
    return !code;
}

RgbaImage DiffImage(const RgbaImage& golden, const RgbaImage& actual, int tolerance)
{
    RgbaImage diff = golden;
    for (int y = 0; y < golden.height; y++) {
        for (int x = 0; x < golden.width; x++) {
            const std::uint8_t* a = golden.PixelAt(x, y);
            const std::uint8_t* b = actual.PixelAt(x, y);
            std::uint8_t* out = diff.PixelAt(x, y);
            bool differs = false;
            for (int c = 0; c < 4; c++)
                differs = differs || std::abs(int(a[c]) - int(b[c])) > tolerance;
            if (differs) {
                out[0] = 255;
                out[1] = 0;
                out[2] = 0;
                out[3] = 255;
            } else {
                int gray = (a[0] + a[1] + a[2]) / 3;
                out[0] = out[1] = out[2] = std::uint8_t(192 + gray / 4);
                out[3] = 255;
            }
        }
    }
    return diff;
}

testing::AssertionResult Mismatch(const std::string& name, const RgbaImage& actual,
    const RgbaImage* golden, const std::string& reason, int tolerance)
{
    std::string actualPath = GoldenOutputFolder() + "/" + name + ".actual.png";
    std::string diffPath = GoldenOutputFolder() + "/" + name + ".diff.png";
    std::string error;
    std::string written;
    if (EnsureParent(actualPath, &error) && WritePng(actualPath, actual, &error))
        written += "\n  actual: " + actualPath;
    if (golden != nullptr && WritePng(diffPath, DiffImage(*golden, actual, tolerance), &error))
        written += "\n  diff:   " + diffPath;
    if (!error.empty())
        written += "\n  (" + error + ")";
    std::fprintf(stderr, "golden image %s: %s%s\n", name.c_str(), reason.c_str(), written.c_str());
    return testing::AssertionFailure()
        << "golden image " << name << ": " << reason << written
        << "\n  (set BRENVIK_UPDATE_GOLDEN=1 to accept the new picture)";
}

} // namespace

bool ReadPng(const std::string& path, RgbaImage* image, std::string* error)
{
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        if (error != nullptr)
            *error = std::string("cannot read ") + path + ": " + png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    image->width = int(png.width);
    image->height = int(png.height);
    image->pixels.assign(PNG_IMAGE_SIZE(png), 0);
    if (png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr) == 0) {
        if (error != nullptr)
            *error = std::string("cannot decode ") + path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const RgbaImage& image, std::string* error)
{
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGBA;
    if (png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr) == 0) {
        if (error != nullptr)
            *error = std::string("cannot write ") + path + ": " + png.message;
        return false;
    }
    return true;
}

std::string GoldenPath(const std::string& name)
{
#ifdef BRENVIK_TESTDATA
    return std::string(BRENVIK_TESTDATA) + "/golden/" + name + ".png";
#else
    return "testdata/golden/" + name + ".png";
#endif
}

std::string GoldenOutputFolder()
{
#ifdef BRENVIK_BINARY_DIR
    return std::string(BRENVIK_BINARY_DIR) + "/golden-output";
#else
    return "golden-output";
#endif
}

testing::AssertionResult MatchesGolden(
    const std::string& name, const RgbaImage& image, GoldenTolerance tolerance)
{
    std::string goldenPath = GoldenPath(name);
    if (UpdateRequested()) {
        std::string error;
        if (!EnsureParent(goldenPath, &error) || !WritePng(goldenPath, image, &error))
            return testing::AssertionFailure() << error;
        std::fprintf(stderr, "golden image %s: written to %s\n", name.c_str(), goldenPath.c_str());
        return testing::AssertionSuccess();
    }
    RgbaImage golden;
    std::string error;
    if (!std::filesystem::exists(goldenPath))
        return Mismatch(name, image, nullptr, "missing " + goldenPath, 0);
    if (!ReadPng(goldenPath, &golden, &error))
        return Mismatch(name, image, nullptr, error, 0);
    if (golden.width != image.width || golden.height != image.height) {
        return Mismatch(name, image, nullptr,
            "size " + std::to_string(image.width) + "x" + std::to_string(image.height)
                + " differs from the golden " + std::to_string(golden.width) + "x"
                + std::to_string(golden.height),
            0);
    }
    long differing = 0;
    for (int y = 0; y < image.height; y++) {
        for (int x = 0; x < image.width; x++) {
            const std::uint8_t* a = golden.PixelAt(x, y);
            const std::uint8_t* b = image.PixelAt(x, y);
            for (int c = 0; c < 4; c++) {
                if (std::abs(int(a[c]) - int(b[c])) > tolerance.maxChannelDifference) {
                    differing++;
                    break;
                }
            }
        }
    }
    if (differing > tolerance.maxDifferingPixels) {
        return Mismatch(name, image, &golden, std::to_string(differing) + " pixels differ",
            tolerance.maxChannelDifference);
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult PngMatchesGolden(
    const std::string& name, const std::string& pngPath, GoldenTolerance tolerance)
{
    RgbaImage image;
    std::string error;
    if (!ReadPng(pngPath, &image, &error))
        return testing::AssertionFailure() << error;
    return MatchesGolden(name, image, tolerance);
}

} // namespace brenvik::test
