#pragma once

// BListView: a vertical list of items with single or multiple selection. A
// click selects (Shift extends, Command toggles in a multiple-selection
// list), a double click or Enter invokes. Every change of the selection sends
// the selection message, when there is one. The list does not own its items:
// the program deletes them, as on the original platform.
//
// Keys: in a single-selection list the arrows, Home, End, Page Up and Page
// Down move the selection. A multiple-selection list has a current row
// instead, framed in the keyboard colour while the list has the focus: those
// keys move it and leave the selection alone (with Shift they select from
// the anchor to it), and Space selects or deselects it. A click makes the
// clicked row the current one.

#include <Invoker.h>
#include <ListItem.h>
#include <View.h>

#include <memory>
#include <vector>

enum list_view_type {
    B_SINGLE_SELECTION_LIST,
    B_MULTIPLE_SELECTION_LIST,
};

class BScrollView;

class BListView : public BView, public BInvoker {
public:
    BListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    ~BListView() override;

    void Draw(BRect updateRect) override;
    void AttachedToWindow() override;
    void FrameResized(float width, float height) override;
    void TargetedByScrollView(BScrollView* scrollView) override;
    void ScrollTo(BPoint where) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MakeFocus(bool focused = true) override;
    void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;
    void WindowActivated(bool active) override;
    void GetPreferredSize(float* width, float* height) override;

    virtual bool AddItem(BListItem* item);
    virtual bool AddItem(BListItem* item, int32 index);
    virtual bool RemoveItem(BListItem* item);
    virtual BListItem* RemoveItem(int32 index);
    virtual bool RemoveItems(int32 index, int32 count);
    bool ReplaceItem(int32 index, BListItem* item);
    bool SwapItems(int32 a, int32 b);
    bool MoveItem(int32 from, int32 to);
    void SortItems(int (*compare)(const void*, const void*));

    virtual void SetSelectionMessage(BMessage* message);
    virtual void SetInvocationMessage(BMessage* message);
    BMessage* SelectionMessage() const;
    uint32 SelectionCommand() const;
    BMessage* InvocationMessage() const;
    uint32 InvocationCommand() const;

    virtual void SetListType(list_view_type type);
    list_view_type ListType() const;

    BListItem* ItemAt(int32 index) const;
    int32 IndexOf(BPoint point) const;
    int32 IndexOf(BListItem* item) const;
    BListItem* FirstItem() const;
    BListItem* LastItem() const;
    bool HasItem(BListItem* item) const;
    int32 CountItems() const;
    virtual void MakeEmpty();
    bool IsEmpty() const;
    void DoForEach(bool (*function)(BListItem* item));
    void DoForEach(bool (*function)(BListItem* item, void* data), void* data);

    void InvalidateItem(int32 index);
    void ScrollToSelection();

    void Select(int32 index, bool extend = false);
    void Select(int32 from, int32 to, bool extend = false);
    bool IsItemSelected(int32 index) const;
    // The index of the `index`-th selected item, -1 when there is none.
    int32 CurrentSelection(int32 index = 0) const;
    // Sends the invocation message with "when", "source" and one "index" for
    // each selected item.
    status_t Invoke(BMessage* message = nullptr) override;
    void DeselectAll();
    void DeselectExcept(int32 exceptFrom, int32 exceptTo);
    void Deselect(int32 index);
    virtual void SelectionChanged();

    // The row the keys work on in a multiple-selection list (-1 for none):
    // the one framed while the list has the focus. Setting it scrolls it
    // into view; the selection stays as it is.
    int32 CurrentRow() const;
    void SetCurrentRow(int32 index);

    BRect ItemFrame(int32 index);
    virtual bool InitiateDrag(BPoint point, int32 itemIndex, bool wasSelected);

protected:
    // The row a navigation key (arrows, Home, End, Page Up, Page Down) moves
    // to from row `from`; -1 for another key.
    int32 KeyTarget(char key, int32 from) const;

private:
    void Layout();
    void FixupScrollBar();
    void UpdateItem(BListItem* item);
    bool SetSelected(int32 index, bool selected);
    void NotifySelection();
    void SelectWithKeys(int32 index);
    void MoveCurrentRow(int32 index, bool extend);
    void MarkCurrentRow(int32 index);
    void ScrollToRow(int32 index);
    void DrawCurrentRow();
    float DataHeight() const;

    std::vector<BListItem*> fItems;
    list_view_type fListType;
    std::unique_ptr<BMessage> fSelectionMessage;
    int32 fAnchor = -1;
    int32 fCurrent = -1;
    BScrollView* fScrollView = nullptr;

    // The press being followed: a drag starts when the pointer moves away
    // from it with the button held.
    bool fTrackingPress = false;
    BPoint fPressPoint;
    int32 fPressIndex = -1;
    bool fPressWasSelected = false;
    int32 fLastClickIndex = -1;
};
