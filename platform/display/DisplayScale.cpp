#include <DisplayScale.h>

#include <Environment.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>

namespace BPrivate {

namespace {

bool InRange(float scale)
{
    return scale >= kMinDisplayScale && scale <= kMaxDisplayScale;
}

bool DesktopScale(const char* text, float* scale)
{
    float number = 0;
    if (!ParseScaleNumber(text, &number) || !InRange(number))
        return false;
    *scale = number;
    return true;
}

// GDK_SCALE × GDK_DPI_SCALE; a missing or unreadable one counts as 1, both
// missing as no answer.
bool GdkScale(const char* scale, const char* dpiScale, float* result)
{
    float whole = 1;
    float dpi = 1;
    bool haveWhole = ParseScaleNumber(scale, &whole) && whole > 0;
    bool haveDpi = ParseScaleNumber(dpiScale, &dpi) && dpi > 0;
    if (!haveWhole && !haveDpi)
        return false;
    float product = (haveWhole ? whole : 1) * (haveDpi ? dpi : 1);
    if (!InRange(product))
        return false;
    *result = product;
    return true;
}

} // namespace

bool ParseScaleNumber(const char* text, float* number)
{
    if (text == nullptr || text[0] == '\0')
        return false;
    const char* end = text + std::strlen(text);
    float value = 0;
    auto [stop, error] = std::from_chars(text, end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return false;
    *number = value;
    return true;
}

bool XftScale(const std::string& resources, float* scale)
{
    std::istringstream lines(resources);
    std::string line;
    constexpr const char kName[] = "Xft.dpi:";
    while (std::getline(lines, line)) {
        if (line.compare(0, sizeof(kName) - 1, kName) != 0)
            continue;
        std::string value = line.substr(sizeof(kName) - 1);
        value.erase(0, value.find_first_not_of(" \t"));
        value.erase(value.find_last_not_of(" \t\r") + 1);
        float dpi = 0;
        if (!ParseScaleNumber(value.c_str(), &dpi) || !InRange(dpi / 96))
            return false;
        *scale = dpi / 96;
        return true;
    }
    return false;
}

float ChooseScale(const ScaleSources& sources)
{
    float scale = 1;
    if (ParseScaleNumber(sources.brenvikScale, &scale))
        return std::clamp(scale, kMinDisplayScale, kMaxDisplayScale);
    if (InRange(sources.outputScale))
        return sources.outputScale;
    if (GdkScale(sources.gdkScale, sources.gdkDpiScale, &scale))
        return scale;
    if (DesktopScale(sources.qtScaleFactor, &scale))
        return scale;
    if (sources.xResources && XftScale(sources.xResources(), &scale))
        return scale;
    return 1;
}

ScaleSources EnvironmentScaleSources()
{
    ScaleSources sources;
    sources.brenvikScale = Environment::Get("BRENVIK_SCALE");
    sources.gdkScale = Environment::Get("GDK_SCALE");
    sources.gdkDpiScale = Environment::Get("GDK_DPI_SCALE");
    sources.qtScaleFactor = Environment::Get("QT_SCALE_FACTOR");
    return sources;
}

float HeadlessScale()
{
    ScaleSources sources;
    sources.brenvikScale = Environment::Get("BRENVIK_SCALE");
    return ChooseScale(sources);
}

int32 ScaledPixels(int32 points, float scale)
{
    return std::max<int32>(1, int32(std::lround(double(points) * double(scale))));
}

} // namespace BPrivate
