#pragma once

// TopView: the hidden view at the root of every window's view tree. It
// covers the window's bounds; the window's own children are its children,
// and a popped-up menu is laid over them as its last child.

#include <View.h>

namespace BPrivate {

class TopView : public BView {
public:
    explicit TopView(BRect frame);
    ~TopView() override;

    void AddOverlay(BView* view);
    void RemoveOverlay(BView* view);
    bool IsOverlay(const BView* view) const;
    // The window's own children, without the overlays.
    int32 CountRegularChildren() const;
    BView* RegularChildAt(int32 index) const;

private:
    std::vector<BView*> fOverlays;
};

} // namespace BPrivate
