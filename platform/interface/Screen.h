#pragma once

// BScreen: the screen's frame and colour space, and the system palette that
// 8-bit colour-mapped bitmaps use.

#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Rect.h>

class BWindow;

class BScreen {
public:
    explicit BScreen(screen_id id = B_MAIN_SCREEN_ID);
    explicit BScreen(BWindow* window);
    ~BScreen();

    bool IsValid();
    status_t SetToNext();

    color_space ColorSpace();
    BRect Frame();
    screen_id ID();

    status_t WaitForRetrace();
    status_t WaitForRetrace(bigtime_t timeout);

    // The palette index nearest to a colour; colours with alpha below 128
    // give the transparent index.
    uint8 IndexForColor(rgb_color color);
    uint8 IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
    rgb_color ColorForIndex(uint8 index);
    uint8 InvertIndex(uint8 index);
    const color_map* ColorMap();

    rgb_color DesktopColor();
    rgb_color DesktopColor(uint32 workspace);

private:
    bool fValid;
};
