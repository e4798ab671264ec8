#pragma once

// The translation kit's type codes, and the header of its own bitmap stream
// (type B_TRANSLATOR_BITMAP), in which every field is stored big-endian and
// the pixels follow the header.

#include <GraphicsDefs.h>
#include <Rect.h>

enum {
    B_TRANSLATOR_BITMAP = 'bits',
    B_TRANSLATOR_PICTURE = 'pict',
    B_TRANSLATOR_TEXT = 'TEXT',
    B_TRANSLATOR_SOUND = 'nois',
    B_TRANSLATOR_MIDI = 'midi',
    B_TRANSLATOR_MEDIA = 'mhi!',
    B_TRANSLATOR_NONE = 'none',
    B_TRANSLATOR_ANY_TYPE = 0,
};

struct TranslatorBitmap {
    uint32 magic;
    BRect bounds;
    uint32 rowBytes;
    color_space colors;
    uint32 dataSize;
};
