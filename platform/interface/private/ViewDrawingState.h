#pragma once

// ViewDrawingState: what a view keeps of its drawing between passes: the
// current drawing state, the states PushState saved below it, and the pixels
// it may draw on as last worked out.

#include <ClipRegion.h>
#include <DrawingState.h>

#include <vector>

namespace BPrivate {

struct ViewDrawingState {
    DrawingState current;
    std::vector<DrawingState> stack;
    ClipRegion clip;
};

} // namespace BPrivate
