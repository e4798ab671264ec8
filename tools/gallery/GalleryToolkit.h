#pragma once

// The gallery's column of the installer's own toolkit (lib/interface): menu
// buttons, the language menu, a path cut to its view, picture buttons with a
// tool tip, and a list that reports the item under the pointer and can be
// reordered by dragging.

#include <Rect.h>
#include <SupportDefs.h>

class BBox;
class BView;

namespace brenvik::gallery {

// The code of the hover reports of the toolkit's list, which the gallery
// window passes to HandleToolkitHover.
constexpr uint32 kMsgToolkitHover = 'galh';

// The toolkit's boxes, in a column of the given frame (in the gallery's
// panel), made for `panel`.
BView* BuildToolkit(BRect frame);

// Shows in the toolkit column which item the pointer is over.
void HandleToolkitHover(BView* toolkit, int32 item);

// A box with a label, as every part of the gallery stands in.
BBox* LabelledBox(BRect frame, const char* name, const char* label);

} // namespace brenvik::gallery
