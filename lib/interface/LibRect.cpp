#include "LibRect.h"

BRect LibRect(const float& x, const float& y, const float& width, const float& height)
{
    return BRect(x, y, x + width, y + height);
}

namespace {

bool IsHorizontal(Edge edge)
{
    return edge == kEdgeTop || edge == kEdgeBottom;
}

bool IsVertical(Edge edge)
{
    return edge == kEdgeLeft || edge == kEdgeRight;
}

float EdgeOf(const BRect& rect, Edge edge)
{
    switch (edge) {
    case kEdgeTop:
        return rect.top;
    case kEdgeBottom:
        return rect.bottom;
    case kEdgeLeft:
        return rect.left;
    case kEdgeRight:
        return rect.right;
    }
    return 0;
}

} // namespace

BRect LibLayoutRect(const BRect& reference, const Edge& referenceEdge, const Edge& ownEdge,
    const float& gap, const float& width, const float& height)
{
    float at = EdgeOf(reference, referenceEdge) + gap;
    if (IsHorizontal(referenceEdge) && IsHorizontal(ownEdge)) {
        float top = ownEdge == kEdgeTop ? at : at - height;
        return LibRect(reference.left, top, width, height);
    }
    if (IsVertical(referenceEdge) && IsVertical(ownEdge)) {
        float left = ownEdge == kEdgeLeft ? at : at - width;
        return LibRect(left, reference.top, width, height);
    }
    return LibRect(0, 0, width, height);
}
