#pragma once

// LibListView: a single-selection list that tells its window which item the
// pointer rests on (a hover message each time that changes), can reorder
// its items by dragging, and lets Escape and Tab dismiss the pop-up window
// it is in.

#include <ListView.h>

class BScrollBar;

class LibListView : public BListView {
public:
    // A single-selection list that follows all sides of its parent.
    LibListView(BRect frame, const char* name);
    ~LibListView() override;

    // With a hover command, posts the command to the window with "item"
    // (int32) each time the item under the pointer changes: the item's
    // index, or -1 over no item and when the pointer leaves the list.
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    // Escape and Tab hide the window when it is a pop-up one (a floating or
    // modal window); in an ordinary window they keep their usual meaning,
    // so that Tab moves the focus on and the window stays.
    void KeyDown(const char* bytes, int32 numBytes) override;
    // Follows the pointer while the button is down and moves the item to
    // where it is released (see ItemReordered). Only when reordering is
    // allowed and the dragged item was already selected.
    bool InitiateDrag(BPoint point, int32 index, bool wasSelected) override;

    // Called when a drag has moved the item at `from` to `to`; a derived
    // list moves its items and data.
    virtual void ItemReordered(const int32& from, const int32& to);

    // 0: no hover messages.
    void SetHoverCommand(const uint32& command);
    // The code posted to the window after a reorder; 0: none.
    void SetReorderCommand(const uint32& command);
    // Whether dragging may reorder, and the scroll bar to scroll while the
    // pointer is near the top or bottom edge (may be null).
    void AllowReorder(const bool& allow, BScrollBar* scrollBar = nullptr);

private:
    void TrackDrag(int32 index);
    void ScrollWhileDragging(BPoint where);

    uint32 fReorderCommand = 0;
    bool fReorderAllowed = false;
    uint32 fHoverCommand = 0;
    int32 fLastHoverItem = -1;
    BScrollBar* fReorderScrollBar = nullptr;
};
