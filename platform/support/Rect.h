#pragma once

// BRect, a plain value type of the interface kit (see Point.h for why it is
// in the support kit). right and bottom are the coordinates of the last
// pixel, so Width() is one less than the number of pixels across.

#include <Point.h>

class BRect {
public:
    float left = 0;
    float top = 0;
    float right = -1;
    float bottom = -1;

    constexpr BRect() = default;
    constexpr BRect(float l, float t, float r, float b)
        : left(l)
        , top(t)
        , right(r)
        , bottom(b)
    {
    }
    constexpr BRect(BPoint leftTop, BPoint rightBottom)
        : left(leftTop.x)
        , top(leftTop.y)
        , right(rightBottom.x)
        , bottom(rightBottom.y)
    {
    }

    void Set(float l, float t, float r, float b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void PrintToStream() const;

    BPoint LeftTop() const { return BPoint(left, top); }
    BPoint RightBottom() const { return BPoint(right, bottom); }
    BPoint LeftBottom() const { return BPoint(left, bottom); }
    BPoint RightTop() const { return BPoint(right, top); }
    void SetLeftTop(BPoint point);
    void SetRightBottom(BPoint point);
    void SetLeftBottom(BPoint point);
    void SetRightTop(BPoint point);

    void InsetBy(BPoint delta) { InsetBy(delta.x, delta.y); }
    void InsetBy(float dx, float dy);
    void OffsetBy(BPoint delta) { OffsetBy(delta.x, delta.y); }
    void OffsetBy(float dx, float dy);
    void OffsetTo(BPoint point) { OffsetTo(point.x, point.y); }
    void OffsetTo(float x, float y);

    BRect& InsetBySelf(float dx, float dy);
    BRect InsetByCopy(float dx, float dy) const;
    BRect& OffsetBySelf(float dx, float dy);
    BRect OffsetByCopy(float dx, float dy) const;
    BRect& OffsetToSelf(float x, float y);
    BRect OffsetToCopy(float x, float y) const;

    bool operator==(BRect other) const;
    bool operator!=(BRect other) const { return !(*this == other); }
    // Intersection and union.
    BRect operator&(BRect other) const;
    BRect operator|(BRect other) const;

    bool IsValid() const { return left <= right && top <= bottom; }
    float Width() const { return right - left; }
    int32 IntegerWidth() const;
    float Height() const { return bottom - top; }
    int32 IntegerHeight() const;

    bool Intersects(BRect rect) const;
    bool Contains(BPoint point) const;
    bool Contains(BRect rect) const;
};
