#pragma once

// RenderPicture: a recorded sequence of drawing calls that a drawing context can
// play back, the storage behind the interface kit's BPicture. Everything a
// call needs is copied in, so a picture stays valid after the bitmaps and
// strings it was recorded from are gone.

#include <ClipRegion.h>
#include <FontDefs.h>
#include <GraphicsDefs.h>
#include <PixelBuffer.h>
#include <Point.h>
#include <Rect.h>
#include <RenderFont.h>

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace BPrivate {

class RenderPicture;

namespace Op {

struct SetHighColor {
    rgb_color color;
};
struct SetLowColor {
    rgb_color color;
};
struct SetPenSize {
    float size;
};
struct SetDrawingMode {
    drawing_mode mode;
};
struct SetBlendingMode {
    source_alpha source;
    alpha_function function;
};
struct SetOrigin {
    BPoint origin;
};
struct SetScale {
    float scale;
};
struct SetFont {
    RenderFont font;
};
struct MovePenTo {
    BPoint where;
};
struct PushState { };
struct PopState { };
// In the local coordinates of the moment; none lifts the constraint.
struct ConstrainClipping {
    std::optional<ClipRegion> region;
};

enum Shape { kStroke, kFill };

struct Line {
    BPoint start;
    BPoint end;
    pattern fill;
};
struct Rect {
    BRect rect;
    Shape shape;
    pattern fill;
};
struct RoundRect {
    BRect rect;
    float xRadius;
    float yRadius;
    Shape shape;
    pattern fill;
};
struct Ellipse {
    BRect rect;
    Shape shape;
    pattern fill;
};
struct Arc {
    BRect rect;
    float startAngle;
    float arcAngle;
    Shape shape;
    pattern fill;
};
struct Polygon {
    std::vector<BPoint> points;
    bool closed;
    Shape shape;
    pattern fill;
};
struct Bezier {
    BPoint points[4];
    Shape shape;
    pattern fill;
};
// In local coordinates.
struct FillRegion {
    ClipRegion region;
    pattern fill;
};
struct InvertRect {
    BRect rect;
};
struct String {
    std::string text;
    std::optional<BPoint> where;
    std::optional<escapement_delta> delta;
};
struct Bitmap {
    std::shared_ptr<const PixelBuffer> bitmap;
    BRect source;
    BRect destination;
    uint32 options;
};
struct SubPicture {
    std::shared_ptr<const RenderPicture> picture;
    BPoint where;
};

} // namespace Op

using DrawingOp = std::variant<Op::SetHighColor, Op::SetLowColor, Op::SetPenSize,
    Op::SetDrawingMode, Op::SetBlendingMode, Op::SetOrigin, Op::SetScale, Op::SetFont,
    Op::MovePenTo, Op::PushState, Op::PopState, Op::ConstrainClipping, Op::Line, Op::Rect,
    Op::RoundRect, Op::Ellipse, Op::Arc, Op::Polygon, Op::Bezier, Op::FillRegion, Op::InvertRect,
    Op::String, Op::Bitmap, Op::SubPicture>;

class RenderPicture {
public:
    void Add(DrawingOp op) { fOps.push_back(std::move(op)); }
    const std::vector<DrawingOp>& Ops() const { return fOps; }
    int32 CountOps() const { return int32(fOps.size()); }
    bool IsEmpty() const { return fOps.empty(); }
    void MakeEmpty() { fOps.clear(); }

private:
    std::vector<DrawingOp> fOps;
};

} // namespace BPrivate
