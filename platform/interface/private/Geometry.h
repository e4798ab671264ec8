#pragma once

// Small rectangle helpers the kit uses with points.

#include <Rect.h>

namespace BPrivate {

inline BRect OffsetRect(BRect rect, BPoint by)
{
    rect.OffsetBy(by);
    return rect;
}

inline BRect MovedRect(BRect rect, BPoint to)
{
    rect.OffsetTo(to);
    return rect;
}

} // namespace BPrivate
