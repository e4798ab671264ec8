#include <Rect.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

const BPoint B_ORIGIN(0, 0);

void BPoint::ConstrainTo(BRect rect)
{
    x = std::max(std::min(x, rect.right), rect.left);
    y = std::max(std::min(y, rect.bottom), rect.top);
}

void BPoint::PrintToStream() const
{
    std::printf("BPoint(x:%.0f, y:%.0f)\n", x, y);
}

void BRect::PrintToStream() const
{
    std::printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)\n", left, top, right, bottom);
}

void BRect::SetLeftTop(BPoint point)
{
    left = point.x;
    top = point.y;
}

void BRect::SetRightBottom(BPoint point)
{
    right = point.x;
    bottom = point.y;
}

void BRect::SetLeftBottom(BPoint point)
{
    left = point.x;
    bottom = point.y;
}

void BRect::SetRightTop(BPoint point)
{
    right = point.x;
    top = point.y;
}

void BRect::InsetBy(float dx, float dy)
{
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
}

void BRect::OffsetBy(float dx, float dy)
{
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

void BRect::OffsetTo(float x, float y)
{
    right = (right - left) + x;
    left = x;
    bottom = (bottom - top) + y;
    top = y;
}

BRect& BRect::InsetBySelf(float dx, float dy)
{
    InsetBy(dx, dy);
    return *this;
}

BRect BRect::InsetByCopy(float dx, float dy) const
{
    BRect copy(*this);
    copy.InsetBy(dx, dy);
    return copy;
}

BRect& BRect::OffsetBySelf(float dx, float dy)
{
    OffsetBy(dx, dy);
    return *this;
}

BRect BRect::OffsetByCopy(float dx, float dy) const
{
    BRect copy(*this);
    copy.OffsetBy(dx, dy);
    return copy;
}

BRect& BRect::OffsetToSelf(float x, float y)
{
    OffsetTo(x, y);
    return *this;
}

BRect BRect::OffsetToCopy(float x, float y) const
{
    BRect copy(*this);
    copy.OffsetTo(x, y);
    return copy;
}

bool BRect::operator==(BRect other) const
{
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

BRect BRect::operator&(BRect other) const
{
    return BRect(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
        std::min(bottom, other.bottom));
}

BRect BRect::operator|(BRect other) const
{
    return BRect(std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
        std::max(bottom, other.bottom));
}

int32 BRect::IntegerWidth() const
{
    return int32(std::ceil(right - left));
}

int32 BRect::IntegerHeight() const
{
    return int32(std::ceil(bottom - top));
}

bool BRect::Intersects(BRect rect) const
{
    if (!IsValid() || !rect.IsValid())
        return false;
    return !(rect.left > right || rect.right < left || rect.top > bottom || rect.bottom < top);
}

bool BRect::Contains(BPoint point) const
{
    return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
}

bool BRect::Contains(BRect rect) const
{
    return rect.left >= left && rect.right <= right && rect.top >= top && rect.bottom <= bottom;
}
