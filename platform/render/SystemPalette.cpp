#include <SystemPalette.h>

#include <array>
#include <atomic>
#include <unordered_map>

namespace BPrivate {

namespace {

// The platform's system palette, index by index: a gray ramp (0-31), blue,
// red and green ramps (32-61), then a six-level colour cube in the
// platform's own order with a few extra colours. Index 255 is the transparent
// index and the only entry with alpha 0.
const rgb_color kPalette[256] = {
    { 0, 0, 0, 255 },
    { 8, 8, 8, 255 },
    { 16, 16, 16, 255 },
    { 24, 24, 24, 255 },
    { 32, 32, 32, 255 },
    { 40, 40, 40, 255 },
    { 48, 48, 48, 255 },
    { 56, 56, 56, 255 },
    { 64, 64, 64, 255 },
    { 72, 72, 72, 255 },
    { 80, 80, 80, 255 },
    { 88, 88, 88, 255 },
    { 96, 96, 96, 255 },
    { 104, 104, 104, 255 },
    { 112, 112, 112, 255 },
    { 120, 120, 120, 255 },
    { 128, 128, 128, 255 },
    { 136, 136, 136, 255 },
    { 144, 144, 144, 255 },
    { 152, 152, 152, 255 },
    { 160, 160, 160, 255 },
    { 168, 168, 168, 255 },
    { 176, 176, 176, 255 },
    { 184, 184, 184, 255 },
    { 192, 192, 192, 255 },
    { 200, 200, 200, 255 },
    { 208, 208, 208, 255 },
    { 216, 216, 216, 255 },
    { 224, 224, 224, 255 },
    { 232, 232, 232, 255 },
    { 240, 240, 240, 255 },
    { 248, 248, 248, 255 },
    { 0, 0, 255, 255 },
    { 0, 0, 229, 255 },
    { 0, 0, 204, 255 },
    { 0, 0, 179, 255 },
    { 0, 0, 154, 255 },
    { 0, 0, 129, 255 },
    { 0, 0, 105, 255 },
    { 0, 0, 80, 255 },
    { 0, 0, 55, 255 },
    { 0, 0, 30, 255 },
    { 255, 0, 0, 255 },
    { 228, 0, 0, 255 },
    { 203, 0, 0, 255 },
    { 178, 0, 0, 255 },
    { 153, 0, 0, 255 },
    { 128, 0, 0, 255 },
    { 105, 0, 0, 255 },
    { 80, 0, 0, 255 },
    { 55, 0, 0, 255 },
    { 30, 0, 0, 255 },
    { 0, 255, 0, 255 },
    { 0, 228, 0, 255 },
    { 0, 203, 0, 255 },
    { 0, 178, 0, 255 },
    { 0, 153, 0, 255 },
    { 0, 128, 0, 255 },
    { 0, 105, 0, 255 },
    { 0, 80, 0, 255 },
    { 0, 55, 0, 255 },
    { 0, 30, 0, 255 },
    { 0, 152, 51, 255 },
    { 255, 255, 255, 255 },
    { 203, 255, 255, 255 },
    { 203, 255, 203, 255 },
    { 203, 255, 152, 255 },
    { 203, 255, 102, 255 },
    { 203, 255, 51, 255 },
    { 203, 255, 0, 255 },
    { 152, 255, 255, 255 },
    { 152, 255, 203, 255 },
    { 152, 255, 152, 255 },
    { 152, 255, 102, 255 },
    { 152, 255, 51, 255 },
    { 152, 255, 0, 255 },
    { 102, 255, 255, 255 },
    { 102, 255, 203, 255 },
    { 102, 255, 152, 255 },
    { 102, 255, 102, 255 },
    { 102, 255, 51, 255 },
    { 102, 255, 0, 255 },
    { 51, 255, 255, 255 },
    { 51, 255, 203, 255 },
    { 51, 255, 152, 255 },
    { 51, 255, 102, 255 },
    { 51, 255, 51, 255 },
    { 51, 255, 0, 255 },
    { 255, 152, 255, 255 },
    { 255, 152, 203, 255 },
    { 255, 152, 152, 255 },
    { 255, 152, 102, 255 },
    { 255, 152, 51, 255 },
    { 255, 152, 0, 255 },
    { 0, 102, 255, 255 },
    { 0, 102, 203, 255 },
    { 203, 203, 255, 255 },
    { 203, 203, 203, 255 },
    { 203, 203, 152, 255 },
    { 203, 203, 102, 255 },
    { 203, 203, 51, 255 },
    { 203, 203, 0, 255 },
    { 152, 203, 255, 255 },
    { 152, 203, 203, 255 },
    { 152, 203, 152, 255 },
    { 152, 203, 102, 255 },
    { 152, 203, 51, 255 },
    { 152, 203, 0, 255 },
    { 102, 203, 255, 255 },
    { 102, 203, 203, 255 },
    { 102, 203, 152, 255 },
    { 102, 203, 102, 255 },
    { 102, 203, 51, 255 },
    { 102, 203, 0, 255 },
    { 51, 203, 255, 255 },
    { 51, 203, 203, 255 },
    { 51, 203, 152, 255 },
    { 51, 203, 102, 255 },
    { 51, 203, 51, 255 },
    { 51, 203, 0, 255 },
    { 255, 102, 255, 255 },
    { 255, 102, 203, 255 },
    { 255, 102, 152, 255 },
    { 255, 102, 102, 255 },
    { 255, 102, 51, 255 },
    { 255, 102, 0, 255 },
    { 0, 102, 152, 255 },
    { 0, 102, 102, 255 },
    { 203, 152, 255, 255 },
    { 203, 152, 203, 255 },
    { 203, 152, 152, 255 },
    { 203, 152, 102, 255 },
    { 203, 152, 51, 255 },
    { 203, 152, 0, 255 },
    { 152, 152, 255, 255 },
    { 152, 152, 203, 255 },
    { 152, 152, 152, 255 },
    { 152, 152, 102, 255 },
    { 152, 152, 51, 255 },
    { 152, 152, 0, 255 },
    { 102, 152, 255, 255 },
    { 102, 152, 203, 255 },
    { 102, 152, 152, 255 },
    { 102, 152, 102, 255 },
    { 102, 152, 51, 255 },
    { 102, 152, 0, 255 },
    { 51, 152, 255, 255 },
    { 51, 152, 203, 255 },
    { 51, 152, 152, 255 },
    { 51, 152, 102, 255 },
    { 51, 152, 51, 255 },
    { 51, 152, 0, 255 },
    { 230, 134, 0, 255 },
    { 255, 51, 203, 255 },
    { 255, 51, 152, 255 },
    { 255, 51, 102, 255 },
    { 255, 51, 51, 255 },
    { 255, 51, 0, 255 },
    { 0, 102, 51, 255 },
    { 0, 102, 0, 255 },
    { 203, 102, 255, 255 },
    { 203, 102, 203, 255 },
    { 203, 102, 152, 255 },
    { 203, 102, 102, 255 },
    { 203, 102, 51, 255 },
    { 203, 102, 0, 255 },
    { 152, 102, 255, 255 },
    { 152, 102, 203, 255 },
    { 152, 102, 152, 255 },
    { 152, 102, 102, 255 },
    { 152, 102, 51, 255 },
    { 152, 102, 0, 255 },
    { 102, 102, 255, 255 },
    { 102, 102, 203, 255 },
    { 102, 102, 152, 255 },
    { 102, 102, 102, 255 },
    { 102, 102, 51, 255 },
    { 102, 102, 0, 255 },
    { 51, 102, 255, 255 },
    { 51, 102, 203, 255 },
    { 51, 102, 152, 255 },
    { 51, 102, 102, 255 },
    { 51, 102, 51, 255 },
    { 51, 102, 0, 255 },
    { 255, 0, 255, 255 },
    { 255, 0, 203, 255 },
    { 255, 0, 152, 255 },
    { 255, 0, 102, 255 },
    { 255, 0, 51, 255 },
    { 255, 175, 19, 255 },
    { 0, 51, 255, 255 },
    { 0, 51, 203, 255 },
    { 203, 51, 255, 255 },
    { 203, 51, 203, 255 },
    { 203, 51, 152, 255 },
    { 203, 51, 102, 255 },
    { 203, 51, 51, 255 },
    { 203, 51, 0, 255 },
    { 152, 51, 255, 255 },
    { 152, 51, 203, 255 },
    { 152, 51, 152, 255 },
    { 152, 51, 102, 255 },
    { 152, 51, 51, 255 },
    { 152, 51, 0, 255 },
    { 102, 51, 255, 255 },
    { 102, 51, 203, 255 },
    { 102, 51, 152, 255 },
    { 102, 51, 102, 255 },
    { 102, 51, 51, 255 },
    { 102, 51, 0, 255 },
    { 51, 51, 255, 255 },
    { 51, 51, 203, 255 },
    { 51, 51, 152, 255 },
    { 51, 51, 102, 255 },
    { 51, 51, 51, 255 },
    { 51, 51, 0, 255 },
    { 255, 203, 102, 255 },
    { 255, 203, 152, 255 },
    { 255, 203, 203, 255 },
    { 255, 203, 255, 255 },
    { 0, 51, 152, 255 },
    { 0, 51, 102, 255 },
    { 0, 51, 51, 255 },
    { 0, 51, 0, 255 },
    { 203, 0, 255, 255 },
    { 203, 0, 203, 255 },
    { 203, 0, 152, 255 },
    { 203, 0, 102, 255 },
    { 203, 0, 51, 255 },
    { 255, 227, 70, 255 },
    { 152, 0, 255, 255 },
    { 152, 0, 203, 255 },
    { 152, 0, 152, 255 },
    { 152, 0, 102, 255 },
    { 152, 0, 51, 255 },
    { 152, 0, 0, 255 },
    { 102, 0, 255, 255 },
    { 102, 0, 203, 255 },
    { 102, 0, 152, 255 },
    { 102, 0, 102, 255 },
    { 102, 0, 51, 255 },
    { 102, 0, 0, 255 },
    { 51, 0, 255, 255 },
    { 51, 0, 203, 255 },
    { 51, 0, 152, 255 },
    { 51, 0, 102, 255 },
    { 51, 0, 51, 255 },
    { 51, 0, 0, 255 },
    { 255, 203, 51, 255 },
    { 255, 203, 0, 255 },
    { 255, 255, 0, 255 },
    { 255, 255, 51, 255 },
    { 255, 255, 102, 255 },
    { 255, 255, 152, 255 },
    { 255, 255, 203, 255 },
    { 255, 255, 255, 0 },
};

uint32 PackColor(uint8 red, uint8 green, uint8 blue)
{
    return (uint32(red) << 16) | (uint32(green) << 8) | blue;
}

// The weighted distance the platform uses to choose the nearest palette
// colour: red and blue are weighted by the mean red level of the two colours.
int32 ColorDistance(int32 r1, int32 g1, int32 b1, const rgb_color& entry)
{
    int32 meanRed = (r1 + entry.red) / 2;
    int32 dr = r1 - entry.red;
    int32 dg = g1 - entry.green;
    int32 db = b1 - entry.blue;
    return (((512 + meanRed) * dr * dr) >> 8) + 4 * dg * dg + (((767 - meanRed) * db * db) >> 8);
}

uint8 NearestIndex(int32 red, int32 green, int32 blue)
{
    int32 best = 0;
    int32 bestDistance = ColorDistance(red, green, blue, kPalette[0]);
    for (int32 i = 1; i < 256 && bestDistance > 0; i++) {
        int32 distance = ColorDistance(red, green, blue, kPalette[i]);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return uint8(best);
}

// The palette's own colours, each to its (first) index.
const std::unordered_map<uint32, uint8>& ExactColors()
{
    // Never destroyed, so that lookups stay valid during static destruction.
    static const auto* sExact = [] {
        auto* exact = new std::unordered_map<uint32, uint8>;
        for (int32 i = 254; i >= 0; i--)
            (*exact)[PackColor(kPalette[i].red, kPalette[i].green, kPalette[i].blue)] = uint8(i);
        return exact;
    }();
    return *sExact;
}

// The nearest palette index of each 15-bit colour, found when first asked
// for (finding all 32,768 takes longer than a window's first frame): 0 while
// unknown, else the index plus one. Any thread may fill an entry; two that
// race write the same value.
std::array<std::atomic<uint16>, 32768> sNearest {};

// Every 15-bit colour is widened by a plain shift (no bit replication), as
// the platform builds its table; all 256 entries take part.
uint8 Nearest15(int32 index)
{
    uint16 known = sNearest[size_t(index)].load(std::memory_order_relaxed);
    if (known != 0)
        return uint8(known - 1);
    int32 red = ((index >> 10) & 0x1f) << 3;
    int32 green = ((index >> 5) & 0x1f) << 3;
    int32 blue = (index & 0x1f) << 3;
    uint8 nearest = NearestIndex(red, green, blue);
    sNearest[size_t(index)].store(uint16(nearest + 1), std::memory_order_relaxed);
    return nearest;
}

uint8 LookUp(uint8 red, uint8 green, uint8 blue)
{
    // The 15-bit table alone would send some palette colours elsewhere (white
    // widens to 248 and lands on the gray 248), so exact entries come first:
    // a colour of the palette always maps to itself.
    const auto& exact = ExactColors();
    auto found = exact.find(PackColor(red, green, blue));
    if (found != exact.end())
        return found->second;
    return Nearest15(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

// The whole colour map, built when a caller asks for it.
const color_map& FullMap()
{
    static const color_map* sMap = [] {
        auto* map = new color_map;
        map->id = 0;
        for (int32 i = 0; i < 256; i++)
            map->color_list[i] = kPalette[i];
        for (int32 index = 0; index < 32768; index++)
            map->index_map[index] = Nearest15(index);
        for (int32 i = 0; i < 255; i++) {
            const rgb_color& color = kPalette[i];
            map->inversion_map[i] = LookUp(255 - color.red, 255 - color.green, 255 - color.blue);
        }
        map->inversion_map[255] = kTransparentIndex;
        return map;
    }();
    return *sMap;
}

} // namespace

const rgb_color* SystemPalette()
{
    return kPalette;
}

const color_map* SystemColorMap()
{
    return &FullMap();
}

uint8 IndexForColor(rgb_color color)
{
    return IndexForColor(color.red, color.green, color.blue, color.alpha);
}

uint8 IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
    if (alpha < 128)
        return kTransparentIndex;
    return LookUp(red, green, blue);
}

} // namespace BPrivate
