#include "GenericIcons.h"

#include <cstdlib>
#include <cstring>

namespace BPrivate {

namespace {

// Indices of the B_CMAP8 system palette.
constexpr uint8 kTransparent = 255;
constexpr uint8 kBlack = 0;
constexpr uint8 kWhite = 63;
constexpr uint8 kLightGrey = 27; // (216, 216, 216)
constexpr uint8 kGrey = 16; // (128, 128, 128)
constexpr uint8 kYellow = 248; // (255, 203, 51)
constexpr uint8 kPaleYellow = 253; // (255, 255, 152)
constexpr uint8 kBlue = 33; // (0, 0, 229)

// Draws on a 32 x 32 design grid scaled to the icon's size.
class IconCanvas {
public:
    IconCanvas(icon_size size, uint8* bits)
        : fSize(int(size))
        , fBits(bits)
    {
        std::memset(fBits, kTransparent, IconBytes(size));
    }

    void Fill(int left, int top, int right, int bottom, uint8 color)
    {
        for (int y = Scale(top); y <= Scale(bottom); y++) {
            for (int x = Scale(left); x <= Scale(right); x++)
                Set(x, y, color);
        }
    }

    void Frame(int left, int top, int right, int bottom, uint8 color)
    {
        for (int x = Scale(left); x <= Scale(right); x++) {
            Set(x, Scale(top), color);
            Set(x, Scale(bottom), color);
        }
        for (int y = Scale(top); y <= Scale(bottom); y++) {
            Set(Scale(left), y, color);
            Set(Scale(right), y, color);
        }
    }

    // A diamond around (cx, cy) of the given radius, with an outline.
    void Diamond(int cx, int cy, int radius, uint8 fill, uint8 outline)
    {
        int x0 = Scale(cx);
        int y0 = Scale(cy);
        int r = Scale(radius);
        for (int y = y0 - r; y <= y0 + r; y++) {
            for (int x = x0 - r; x <= x0 + r; x++) {
                int distance = std::abs(x - x0) + std::abs(y - y0);
                if (distance <= r)
                    Set(x, y, distance == r ? outline : fill);
            }
        }
    }

private:
    int Scale(int value) const { return value * fSize / 32; }

    void Set(int x, int y, uint8 color)
    {
        if (x >= 0 && y >= 0 && x < fSize && y < fSize)
            fBits[y * fSize + x] = color;
    }

    int fSize;
    uint8* fBits;
};

void DrawDocument(IconCanvas& canvas)
{
    canvas.Fill(6, 2, 25, 29, kWhite);
    canvas.Frame(6, 2, 25, 29, kBlack);
    // The folded corner.
    canvas.Fill(20, 2, 25, 7, kTransparent);
    canvas.Fill(20, 2, 20, 7, kBlack);
    canvas.Fill(20, 7, 25, 7, kBlack);
    canvas.Fill(21, 3, 21, 3, kBlack);
    canvas.Fill(25, 7, 25, 29, kBlack);
    for (int y = 11; y <= 25; y += 4)
        canvas.Fill(10, y, 21, y, kLightGrey);
}

void DrawFolder(IconCanvas& canvas)
{
    canvas.Fill(2, 6, 13, 9, kPaleYellow);
    canvas.Frame(2, 6, 13, 9, kBlack);
    canvas.Fill(2, 9, 29, 27, kYellow);
    canvas.Frame(2, 9, 29, 27, kBlack);
    canvas.Fill(3, 10, 28, 11, kPaleYellow);
}

void DrawApplication(IconCanvas& canvas)
{
    canvas.Diamond(16, 16, 13, kBlue, kBlack);
    canvas.Diamond(16, 16, 5, kLightGrey, kBlack);
}

void DrawLink(IconCanvas& canvas)
{
    DrawDocument(canvas);
    // A bent arrow in the lower left corner.
    canvas.Fill(2, 20, 13, 30, kWhite);
    canvas.Frame(2, 20, 13, 30, kGrey);
    canvas.Fill(5, 23, 5, 28, kBlack);
    canvas.Fill(5, 23, 10, 23, kBlack);
    canvas.Fill(9, 22, 9, 24, kBlack);
    canvas.Fill(8, 21, 8, 25, kBlack);
}

} // namespace

void GenericIcon(generic_icon kind, icon_size size, uint8* bits)
{
    IconCanvas canvas(size, bits);
    switch (kind) {
    case kDocumentIcon:
        DrawDocument(canvas);
        break;
    case kFolderIcon:
        DrawFolder(canvas);
        break;
    case kApplicationIcon:
        DrawApplication(canvas);
        break;
    case kLinkIcon:
        DrawLink(canvas);
        break;
    }
}

} // namespace BPrivate
