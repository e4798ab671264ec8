#pragma once

// The library's named colours, and the mapping of any colour to the nearest
// colour of the platform's system palette (the 256 colours of 8-bit
// colour-mapped bitmaps and screens).

#include <GraphicsDefs.h>
#include <SupportDefs.h>

// The colours the installer draws with.
extern const rgb_color black_color;
extern const rgb_color red_color;
extern const rgb_color dark_grey_color;
extern const rgb_color grey_color;

// Further colours of the library, for its other users.
extern const rgb_color green_color;
extern const rgb_color blue_color;
extern const rgb_color dark_green_color;
extern const rgb_color light_green_color;
extern const rgb_color light_blue_color;
extern const rgb_color medium_blue_color;
extern const rgb_color dark_blue_color;
extern const rgb_color grey160_color;
extern const rgb_color shadow_color;
extern const rgb_color dark_shadow_color;
extern const rgb_color light_shadow_color;
extern const rgb_color light_grey_color;
extern const rgb_color white_color;
extern const rgb_color pale_yellow_color;

// The palette colour that the main screen picks for `color`. A colour of the
// palette maps to itself; a colour that is mostly transparent (alpha below
// 128) maps to the palette's transparent entry.
rgb_color lib_nearest_system_color(const rgb_color& color);
rgb_color lib_nearest_system_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
