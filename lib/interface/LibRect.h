#pragma once

// Rectangles from a position and a size, and rectangles placed next to
// another one. Every fixed layout of the installer's views is written with
// LibRect.

#include <Rect.h>

// An edge of a rectangle, for LibLayoutRect.
enum Edge {
    kEdgeTop = 0,
    kEdgeBottom = 1,
    kEdgeLeft = 2,
    kEdgeRight = 3,
};

// (x, y, width, height) The rectangle from (x, y) to (x + width, y + height).
BRect LibRect(const float& x, const float& y, const float& width, const float& height);

// A rectangle of the given width and height next to `reference`:
// - against the reference's top or bottom edge, sharing its left; with its
//   own top at that edge + gap, or its own bottom there (the rectangle then
//   reaches up from edge + gap);
// - against the reference's left or right edge, sharing its top; with its
//   own left at that edge + gap, or its own right there.
// A pairing that does not fit (a vertical edge against a horizontal one)
// gives the rectangle at 0, 0.
BRect LibLayoutRect(const BRect& reference, const Edge& referenceEdge, const Edge& ownEdge,
    const float& gap, const float& width, const float& height);
