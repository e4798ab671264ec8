#include "BitmapView.h"

#include <LibBitmap.h>

#include <cstring>

BitmapView::BitmapView(BPoint where, const char* name, const char* path)
    : BView(BRect(where.x, where.y, where.x + 31, where.y + 31), name, B_FOLLOW_LEFT, B_WILL_DRAW)
    , fIcon(std::make_unique<LibBitmap>(BRect(0, 0, 31, 31), B_CMAP8))
{
    // Transparent until the icon fills it: a file without an icon shows none.
    std::memset(fIcon->Bits(), B_TRANSPARENT_MAGIC_CMAP8, size_t(fIcon->BitsLength()));
    fIcon->SetTo(path, B_LARGE_ICON);
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

BitmapView::~BitmapView() = default;

void BitmapView::Draw(BRect)
{
    SetDrawingMode(B_OP_OVER);
    DrawBitmap(fIcon.get(), BPoint(0, 0));
    SetDrawingMode(B_OP_COPY);
}
