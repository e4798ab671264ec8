#pragma once

// DrawingState: what a view's drawing calls depend on besides their own
// arguments, with the platform's defaults (black on white, pen size 1,
// B_OP_COPY, the plain font).

#include <ClipRegion.h>
#include <GraphicsDefs.h>
#include <Point.h>
#include <RenderFont.h>

#include <optional>

namespace BPrivate {

struct DrawingState {
    rgb_color highColor = { 0, 0, 0, 255 };
    rgb_color lowColor = { 255, 255, 255, 255 };
    float penSize = 1;
    drawing_mode drawingMode = B_OP_COPY;
    source_alpha alphaSource = B_PIXEL_ALPHA;
    alpha_function alphaFunction = B_ALPHA_OVERLAY;
    // SetOrigin and SetScale: local coordinates are scaled by `scale` and
    // then moved by `origin`, within the coordinates of the state below.
    BPoint origin;
    float scale = 1;
    BPoint penLocation;
    RenderFont font;
    // The region the drawing is constrained to (ConstrainClippingRegion), in
    // the view's base pixel coordinates (after origin and scale, before the
    // view's own placement in the surface); none when unconstrained.
    std::optional<ClipRegion> clipping;
};

} // namespace BPrivate
