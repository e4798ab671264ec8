#include <InterfaceColors.h>

#include <cmath>

const float B_LIGHTEN_MAX_TINT = 0.0f;
const float B_LIGHTEN_2_TINT = 0.385f;
const float B_LIGHTEN_1_TINT = 0.590f;
const float B_NO_TINT = 1.0f;
const float B_DARKEN_1_TINT = 1.147f;
const float B_DARKEN_2_TINT = 1.295f;
const float B_DARKEN_3_TINT = 1.407f;
const float B_DARKEN_4_TINT = 1.555f;
const float B_DARKEN_MAX_TINT = 2.0f;
const float B_DISABLED_LABEL_TINT = B_DARKEN_3_TINT;
const float B_HIGHLIGHT_BACKGROUND_TINT = B_DARKEN_2_TINT;
const float B_DISABLED_MARK_TINT = B_LIGHTEN_2_TINT;

namespace {

struct NamedColor {
    color_which which;
    rgb_color color;
};

// The defaults of the platform. The first eight names are those of the
// original release; the others were added later and keep their numbers.
const NamedColor kDefaultColors[] = {
    { B_PANEL_BACKGROUND_COLOR, { 216, 216, 216, 255 } },
    { B_MENU_BACKGROUND_COLOR, { 216, 216, 216, 255 } },
    { B_WINDOW_TAB_COLOR, { 255, 203, 0, 255 } },
    { B_KEYBOARD_NAVIGATION_COLOR, { 0, 0, 229, 255 } },
    { B_DESKTOP_COLOR, { 51, 102, 152, 255 } },
    { B_MENU_SELECTED_BACKGROUND_COLOR, { 153, 153, 153, 255 } },
    { B_MENU_ITEM_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_MENU_SELECTED_ITEM_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_MENU_SELECTED_BORDER_COLOR, { 0, 0, 0, 255 } },
    { B_PANEL_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_DOCUMENT_BACKGROUND_COLOR, { 255, 255, 255, 255 } },
    { B_DOCUMENT_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_CONTROL_BACKGROUND_COLOR, { 222, 222, 222, 255 } },
    { B_CONTROL_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_CONTROL_BORDER_COLOR, { 172, 172, 172, 255 } },
    { B_CONTROL_HIGHLIGHT_COLOR, { 102, 152, 203, 255 } },
    { B_NAVIGATION_PULSE_COLOR, { 0, 0, 0, 255 } },
    { B_SHINE_COLOR, { 255, 255, 255, 255 } },
    { B_SHADOW_COLOR, { 0, 0, 0, 255 } },
    { B_TOOL_TIP_BACKGROUND_COLOR, { 255, 255, 216, 255 } },
    { B_TOOL_TIP_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_WINDOW_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_WINDOW_INACTIVE_TAB_COLOR, { 232, 232, 232, 255 } },
    { B_WINDOW_INACTIVE_TEXT_COLOR, { 80, 80, 80, 255 } },
    { B_WINDOW_BORDER_COLOR, { 224, 224, 224, 255 } },
    { B_WINDOW_INACTIVE_BORDER_COLOR, { 232, 232, 232, 255 } },
    { B_CONTROL_MARK_COLOR, { 27, 82, 140, 255 } },
    { B_LIST_BACKGROUND_COLOR, { 255, 255, 255, 255 } },
    { B_LIST_SELECTED_BACKGROUND_COLOR, { 190, 190, 190, 255 } },
    { B_LIST_ITEM_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_LIST_SELECTED_ITEM_TEXT_COLOR, { 0, 0, 0, 255 } },
    { B_SCROLL_BAR_THUMB_COLOR, { 216, 216, 216, 255 } },
    { B_LINK_TEXT_COLOR, { 51, 102, 187, 255 } },
    { B_LINK_HOVER_COLOR, { 102, 152, 203, 255 } },
    { B_LINK_VISITED_COLOR, { 145, 112, 155, 255 } },
    { B_LINK_ACTIVE_COLOR, { 121, 142, 203, 255 } },
    { B_STATUS_BAR_COLOR, { 50, 150, 255, 255 } },
    { B_SUCCESS_COLOR, { 46, 204, 64, 255 } },
    { B_FAILURE_COLOR, { 255, 65, 54, 255 } },
};

uint8 TintChannel(uint8 channel, float tint)
{
    // Rounded to the nearest value rather than truncated: rounding gives the
    // documented results for gray 216 (240 and 232 for the two lighten
    // tints), where truncation would give 239 and 231.
    float value;
    if (tint < 1.0f)
        value = 255.0f - (255.0f - channel) * tint;
    else
        value = channel * (2.0f - tint);
    value = std::round(value);
    if (value < 0.0f)
        return 0;
    if (value > 255.0f)
        return 255;
    return uint8(value);
}

} // namespace

rgb_color ui_color(color_which which)
{
    for (const NamedColor& named : kDefaultColors) {
        if (named.which == which)
            return named.color;
    }
    return rgb_color { 0, 0, 0, 255 };
}

rgb_color tint_color(rgb_color color, float tint)
{
    return rgb_color { TintChannel(color.red, tint), TintChannel(color.green, tint),
        TintChannel(color.blue, tint), color.alpha };
}
