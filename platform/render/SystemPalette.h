#pragma once

// The fixed 256-colour system palette of 8-bit colour-mapped (B_CMAP8)
// bitmaps, and nearest-colour lookups into it.

#include <GraphicsDefs.h>

namespace BPrivate {

// The palette index that stands for a transparent pixel.
constexpr uint8 kTransparentIndex = B_TRANSPARENT_MAGIC_CMAP8;

// The 256 palette entries. Every entry is opaque except the transparent index.
const rgb_color* SystemPalette();

// The palette with its inverse tables. index_map is built once, on first
// use, from the palette; it is safe to call from any thread.
const color_map* SystemColorMap();

// The palette index nearest to a colour. A colour that is in the palette maps
// to its own (lowest) index; any other opaque colour goes through the 15-bit
// index_map. Colours with alpha below 128 map to the transparent index.
uint8 IndexForColor(rgb_color color);
uint8 IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);

} // namespace BPrivate
