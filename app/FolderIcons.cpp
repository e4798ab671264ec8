#include "FolderIcons.h"

#include <GraphicsDefs.h>
#include <Screen.h>

#include <array>

namespace FolderIcons {

namespace {

// The folder, one character a pixel: '.' transparent, 'k' outline, 't' the
// tab, 'y' the front, 'l' its lit upper edge, 's' the shadow inside.
constexpr const char* kFolder[kSize] = {
    "........................",
    "........................",
    "........................",
    "..kkkkkkk...............",
    ".ktttttttk..............",
    ".kttttttttkkkkkkkkkkkk..",
    ".ksssssssssssssssssssk..",
    ".ksssssssssssssssssssk..",
    ".kkkkkkkkkkkkkkkkkkkkkkk",
    ".klllllllllllllllllllllk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kyyyyyyyyyyyyyyyyyyyyyk",
    ".kkkkkkkkkkkkkkkkkkkkkkk",
    "........................",
    "........................",
    "........................",
};

enum Face { kNormal, kPressed, kDisabled };

using Pixels = std::array<uint8, kSize * kSize>;

uint8 IndexOf(char pixel, Face face)
{
    BScreen screen;
    if (face == kDisabled) {
        switch (pixel) {
        case 'k':
            return screen.IndexForColor(152, 152, 152);
        case 't':
        case 's':
            return screen.IndexForColor(200, 200, 200);
        case 'y':
        case 'l':
            return screen.IndexForColor(224, 224, 224);
        default:
            return B_TRANSPARENT_MAGIC_CMAP8;
        }
    }
    bool pressed = face == kPressed;
    switch (pixel) {
    case 'k':
        return screen.IndexForColor(0, 0, 0);
    case 't':
        return pressed ? screen.IndexForColor(184, 136, 0) : screen.IndexForColor(224, 168, 0);
    case 's':
        return screen.IndexForColor(152, 112, 0);
    case 'l':
        return pressed ? screen.IndexForColor(232, 184, 0) : screen.IndexForColor(255, 240, 160);
    case 'y':
        return pressed ? screen.IndexForColor(216, 168, 0) : screen.IndexForColor(255, 208, 0);
    default:
        return B_TRANSPARENT_MAGIC_CMAP8;
    }
}

// The pressed face moves the folder down and right by a pixel, as a button
// that gives way under the pointer.
Pixels Make(Face face)
{
    Pixels pixels;
    int shift = face == kPressed ? 1 : 0;
    for (int32 y = 0; y < kSize; y++) {
        for (int32 x = 0; x < kSize; x++) {
            int32 fromX = x - shift;
            int32 fromY = y - shift;
            char pixel = fromX < 0 || fromY < 0 ? '.' : kFolder[fromY][fromX];
            pixels[size_t(y) * size_t(kSize) + size_t(x)] = IndexOf(pixel, face);
        }
    }
    return pixels;
}

} // namespace

const uint8* Normal()
{
    static const Pixels pixels = Make(kNormal);
    return pixels.data();
}

const uint8* Pressed()
{
    static const Pixels pixels = Make(kPressed);
    return pixels.data();
}

const uint8* Disabled()
{
    static const Pixels pixels = Make(kDisabled);
    return pixels.data();
}

} // namespace FolderIcons
