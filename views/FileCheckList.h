#pragma once

// FileCheckList: the installer's list of files as a check list. Every row is
// ticked or not (selected or not, in the list's terms): a plain click on a
// row ticks it or takes its tick away and leaves the other rows as they
// are, as Space does on the current row. Shift with a click or an arrow
// ticks the rows from the last one clicked to the one reached, adding them
// to those ticked. Its rows draw their check boxes themselves
// (FileListItem::SetCheckBox).

#include <ListView.h>

class FileCheckList : public BListView {
public:
    FileCheckList(BRect frame, const char* name, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    ~FileCheckList() override;

    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

    // Whether the user may change the ticks (the window stops it while the
    // pass installs what was ticked); the keys still move the current row.
    void SetChangeable(bool changeable) { fChangeable = changeable; }
    bool IsChangeable() const { return fChangeable; }

    // Ticks the row, or takes its tick away.
    void Toggle(int32 index);
    // Ticks the rows from `from` to `to` (in either order), keeping the
    // ticks of the others.
    void TickRange(int32 from, int32 to);

private:
    int32 fLastClicked = -1;
    bool fChangeable = true;
};
