#include "TopView.h"

#include <algorithm>

namespace BPrivate {

TopView::TopView(BRect frame)
    : BView(frame, "_top_view_", B_FOLLOW_ALL, 0)
{
    SetViewColor(B_TRANSPARENT_COLOR);
}

TopView::~TopView() = default;

void TopView::AddOverlay(BView* view)
{
    fOverlays.push_back(view);
    AddChild(view);
}

void TopView::RemoveOverlay(BView* view)
{
    std::erase(fOverlays, view);
    RemoveChild(view);
}

bool TopView::IsOverlay(const BView* view) const
{
    return std::find(fOverlays.begin(), fOverlays.end(), view) != fOverlays.end();
}

int32 TopView::CountRegularChildren() const
{
    return CountChildren() - int32(fOverlays.size());
}

BView* TopView::RegularChildAt(int32 index) const
{
    int32 seen = 0;
    for (int32 i = 0; i < CountChildren(); i++) {
        BView* child = ChildAt(i);
        if (IsOverlay(child))
            continue;
        if (seen++ == index)
            return child;
    }
    return nullptr;
}

} // namespace BPrivate
