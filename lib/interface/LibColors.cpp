#include "LibColors.h"

#include <InterfaceDefs.h>
#include <Screen.h>

const rgb_color black_color = { 0, 0, 0, 255 };
const rgb_color red_color = { 255, 0, 0, 255 };
const rgb_color dark_grey_color = { 128, 128, 128, 255 };
const rgb_color grey_color = { 216, 216, 216, 255 };

const rgb_color green_color = { 0, 255, 0, 255 };
const rgb_color blue_color = { 0, 0, 255, 255 };
const rgb_color dark_green_color = { 0, 128, 0, 255 };
const rgb_color light_green_color = { 144, 238, 144, 255 };
const rgb_color light_blue_color = { 173, 216, 230, 255 };
const rgb_color medium_blue_color = { 0, 0, 205, 255 };
const rgb_color dark_blue_color = { 0, 0, 139, 255 };
const rgb_color grey160_color = { 160, 160, 160, 255 };
const rgb_color shadow_color = { 152, 152, 152, 255 };
const rgb_color dark_shadow_color = { 108, 108, 108, 255 };
const rgb_color light_shadow_color = { 184, 184, 184, 255 };
const rgb_color light_grey_color = { 232, 232, 232, 255 };
const rgb_color white_color = { 255, 255, 255, 255 };
const rgb_color pale_yellow_color = { 255, 255, 203, 255 };

rgb_color lib_nearest_system_color(const rgb_color& color)
{
    BScreen screen;
    return system_colors()->color_list[screen.IndexForColor(color)];
}

rgb_color lib_nearest_system_color(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
    return lib_nearest_system_color(rgb_color { red, green, blue, alpha });
}
