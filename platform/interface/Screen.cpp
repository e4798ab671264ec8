#include <Screen.h>

#include <SystemPalette.h>

#include "Desktop.h"

BScreen::BScreen(screen_id id)
    : fValid(id == B_MAIN_SCREEN_ID)
{
}

BScreen::BScreen(BWindow* /*window*/)
    : fValid(true)
{
}

BScreen::~BScreen() = default;

bool BScreen::IsValid()
{
    return fValid;
}

status_t BScreen::SetToNext()
{
    // There is one screen.
    return B_ERROR;
}

color_space BScreen::ColorSpace()
{
    return fValid ? B_RGB32 : B_NO_COLOR_SPACE;
}

BRect BScreen::Frame()
{
    return fValid ? BPrivate::Desktop::Default().ScreenFrame() : BRect();
}

screen_id BScreen::ID()
{
    return B_MAIN_SCREEN_ID;
}

status_t BScreen::WaitForRetrace()
{
    return fValid ? B_OK : B_ERROR;
}

status_t BScreen::WaitForRetrace(bigtime_t /*timeout*/)
{
    return WaitForRetrace();
}

uint8 BScreen::IndexForColor(rgb_color color)
{
    return BPrivate::IndexForColor(color);
}

uint8 BScreen::IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
    return BPrivate::IndexForColor(red, green, blue, alpha);
}

rgb_color BScreen::ColorForIndex(uint8 index)
{
    return BPrivate::SystemPalette()[index];
}

uint8 BScreen::InvertIndex(uint8 index)
{
    return BPrivate::SystemColorMap()->inversion_map[index];
}

const color_map* BScreen::ColorMap()
{
    return BPrivate::SystemColorMap();
}

rgb_color BScreen::DesktopColor()
{
    return ui_color(B_DESKTOP_COLOR);
}

rgb_color BScreen::DesktopColor(uint32 /*workspace*/)
{
    return ui_color(B_DESKTOP_COLOR);
}

const color_map* system_colors()
{
    return BPrivate::SystemColorMap();
}
