#include "FileCheckList.h"

#include <Window.h>

#include <algorithm>
#include <cmath>

FileCheckList::FileCheckList(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BListView(frame, name, B_MULTIPLE_SELECTION_LIST, resizingMode, flags)
{
}

FileCheckList::~FileCheckList() = default;

void FileCheckList::Toggle(int32 index)
{
    if (index < 0 || index >= CountItems())
        return;
    if (IsItemSelected(index))
        Deselect(index);
    else
        Select(index, true);
    fLastClicked = index;
}

void FileCheckList::TickRange(int32 from, int32 to)
{
    if (CountItems() == 0)
        return;
    from = std::clamp(from, int32(0), CountItems() - 1);
    to = std::clamp(to, int32(0), CountItems() - 1);
    Select(std::min(from, to), std::max(from, to), true);
}

// Every click counts, a quick second one on the same row too: a check box
// takes its tick back when it is clicked again, however soon.
void FileCheckList::MouseDown(BPoint where)
{
    if (!IsFocus())
        MakeFocus(true);
    int32 modifiers = 0;
    if (BMessage* message = Window() != nullptr ? Window()->CurrentMessage() : nullptr)
        message->FindInt32("modifiers", &modifiers);
    int32 index = IndexOf(where);
    if (index < 0)
        return;
    if (!fChangeable) {
        SetCurrentRow(index);
        return;
    }
    if ((modifiers & B_SHIFT_KEY) != 0 && fLastClicked >= 0)
        TickRange(fLastClicked, index);
    else
        Toggle(index);
    SetCurrentRow(index);
}

void FileCheckList::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes != 1 || CountItems() == 0) {
        BListView::KeyDown(bytes, numBytes);
        return;
    }
    int32 from = CurrentRow();
    if (bytes[0] == B_SPACE) {
        if (from >= 0 && fChangeable)
            Toggle(from);
        return;
    }
    int32 target = KeyTarget(bytes[0], from);
    if (target >= 0 && (modifiers() & B_SHIFT_KEY) != 0) {
        if (!fChangeable) {
            SetCurrentRow(target);
            return;
        }
        // The rows passed over are ticked besides those ticked already:
        // a key never takes a tick away unasked.
        int32 anchor = fLastClicked >= 0 ? fLastClicked : (from >= 0 ? from : target);
        TickRange(anchor, target);
        SetCurrentRow(target);
        return;
    }
    BListView::KeyDown(bytes, numBytes);
}
