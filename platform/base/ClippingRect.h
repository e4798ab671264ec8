#pragma once

// clipping_rect: a rectangle of whole pixels, as regions keep them. Right and
// bottom name the last pixel included, so a rectangle of one pixel has
// left == right and top == bottom.

#include <SupportDefs.h>

struct clipping_rect {
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;

    bool IsValid() const { return left <= right && top <= bottom; }
    bool operator==(const clipping_rect& other) const
    {
        return left == other.left && top == other.top && right == other.right
            && bottom == other.bottom;
    }
};
