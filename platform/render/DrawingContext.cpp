// DrawingContext: state, coordinates, clipping, recording and playback. The
// drawing itself is in DrawingContextShapes.cpp, DrawingContextText.cpp,
// DrawingContextBitmaps.cpp, and the drawing modes in
// DrawingContextModes.cpp.

#include <DrawingContext.h>

#include <cairo.h>
#include <cmath>
#include <cstring>

namespace BPrivate {

namespace {

template <class... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

// Pictures playing pictures: deeper nesting than this is not followed.
constexpr int32 kMaxPictureDepth = 64;

bool IsStateOp(const DrawingOp& op)
{
    return op.index() <= DrawingOp(Op::ConstrainClipping {}).index();
}

int32 RoundToInt(float value)
{
    return NearestPixel(value);
}

} // namespace

DrawingContext::DrawingContext(RenderSurface* surface)
    : fSurface(surface)
    , fCairo(nullptr)
{
    if (fSurface != nullptr && fSurface->CairoSurface() != nullptr)
        fCairo = cairo_create(fSurface->CairoSurface());
    if (fSurface != nullptr)
        fDeviceScale = fSurface->Scale();
    ResetState();
}

DrawingContext::~DrawingContext()
{
    if (fCairo != nullptr) {
        cairo_surface_flush(fSurface->CairoSurface());
        cairo_destroy(fCairo);
    }
}

void DrawingContext::SetDeviceOffset(BPoint offset)
{
    fDeviceOffsetPoints = offset;
    fDeviceOffset = BPoint(offset.x * fDeviceScale, offset.y * fDeviceScale);
    InvalidateClip();
}

void DrawingContext::SetDeviceClip(const ClipRegion& region)
{
    fDeviceClip = region.ScaledBy(fDeviceScale);
    InvalidateClip();
}

void DrawingContext::ClearDeviceClip()
{
    fDeviceClip.reset();
    InvalidateClip();
}

void DrawingContext::SetState(const DrawingState& state)
{
    fLevels.back().state = state;
    InvalidateClip();
}

void DrawingContext::ResetState()
{
    fLevels.clear();
    // The bottom level turns points into surface pixels.
    fLevels.emplace_back().baseScale = fDeviceScale;
    InvalidateClip();
}

void DrawingContext::SetHighColor(rgb_color color)
{
    Dispatch(Op::SetHighColor { color });
}

void DrawingContext::SetLowColor(rgb_color color)
{
    Dispatch(Op::SetLowColor { color });
}

void DrawingContext::SetPenSize(float size)
{
    Dispatch(Op::SetPenSize { size });
}

void DrawingContext::SetDrawingMode(drawing_mode mode)
{
    Dispatch(Op::SetDrawingMode { mode });
}

void DrawingContext::SetBlendingMode(source_alpha source, alpha_function function)
{
    Dispatch(Op::SetBlendingMode { source, function });
}

void DrawingContext::SetOrigin(BPoint origin)
{
    Dispatch(Op::SetOrigin { origin });
}

void DrawingContext::SetScale(float scale)
{
    Dispatch(Op::SetScale { scale });
}

void DrawingContext::SetFont(const RenderFont& font)
{
    Dispatch(Op::SetFont { font });
}

void DrawingContext::MovePenTo(BPoint where)
{
    Dispatch(Op::MovePenTo { where });
}

void DrawingContext::PushState()
{
    Dispatch(Op::PushState {});
}

void DrawingContext::PopState()
{
    Dispatch(Op::PopState {});
}

void DrawingContext::ConstrainClipping(const ClipRegion* region)
{
    Op::ConstrainClipping op;
    if (region != nullptr)
        op.region = *region;
    Dispatch(op);
}

ClipRegion DrawingContext::ClippingInLocal() const
{
    ClipRegion device(fSurface != nullptr ? fSurface->Bounds() : clipping_rect { 0, 0, -1, -1 });
    if (fDeviceClip)
        device.IntersectWith(*fDeviceClip);
    for (const Level& level : fLevels) {
        if (level.state.clipping) {
            ClipRegion constraint = *level.state.clipping;
            constraint.OffsetBy(RoundToInt(fDeviceOffset.x), RoundToInt(fDeviceOffset.y));
            device.IntersectWith(constraint);
        }
    }
    // A local pixel is reachable when any of the surface pixels it covers is.
    ClipRegion local;
    for (const clipping_rect& rect : device.Rects()) {
        BPoint topLeft = DeviceToLocal(BPoint(rect.left, rect.top));
        BPoint bottomRight = DeviceToLocal(BPoint(rect.right + 1, rect.bottom + 1));
        local.Include(clipping_rect { int32(std::floor(ClampCoordinate(topLeft.x + 0.001))),
            int32(std::floor(ClampCoordinate(topLeft.y + 0.001))),
            int32(std::ceil(ClampCoordinate(bottomRight.x - 0.001))) - 1,
            int32(std::ceil(ClampCoordinate(bottomRight.y - 0.001))) - 1 });
    }
    return local;
}

BPoint DrawingContext::LocalToBase(BPoint point) const
{
    const Level& level = fLevels.back();
    return BPoint(
        level.baseOrigin.x + level.baseScale * (level.state.origin.x + level.state.scale * point.x),
        level.baseOrigin.y
            + level.baseScale * (level.state.origin.y + level.state.scale * point.y));
}

BPoint DrawingContext::LocalToDevice(BPoint point) const
{
    return LocalToBase(point) + fDeviceOffset;
}

BPoint DrawingContext::DeviceToLocal(BPoint point) const
{
    const Level& level = fLevels.back();
    float scale = TotalScale();
    if (scale == 0)
        return B_ORIGIN;
    BPoint base = point - fDeviceOffset;
    return BPoint((base.x - level.baseOrigin.x - level.baseScale * level.state.origin.x) / scale,
        (base.y - level.baseOrigin.y - level.baseScale * level.state.origin.y) / scale);
}

float DrawingContext::TotalScale() const
{
    const Level& level = fLevels.back();
    return level.baseScale * level.state.scale;
}

const ClipRegion& DrawingContext::EffectiveClip()
{
    if (!fClipDirty)
        return fClip;
    fClip.Set(fSurface != nullptr ? fSurface->Bounds() : clipping_rect { 0, 0, -1, -1 });
    if (fDeviceClip)
        fClip.IntersectWith(*fDeviceClip);
    for (const Level& level : fLevels) {
        if (level.state.clipping) {
            ClipRegion constraint = *level.state.clipping;
            constraint.OffsetBy(RoundToInt(fDeviceOffset.x), RoundToInt(fDeviceOffset.y));
            fClip.IntersectWith(constraint);
        }
    }
    fClipDirty = false;
    if (fCairo != nullptr)
        ApplyClip(fCairo, fClip);
    return fClip;
}

void DrawingContext::ApplyClip(cairo_t* cairo, const ClipRegion& clip) const
{
    cairo_reset_clip(cairo);
    cairo_new_path(cairo);
    for (const clipping_rect& rect : clip.Rects()) {
        cairo_rectangle(
            cairo, rect.left, rect.top, rect.right - rect.left + 1, rect.bottom - rect.top + 1);
    }
    cairo_clip(cairo);
}

void DrawingContext::Dispatch(const DrawingOp& op)
{
    if (!fRecordings.empty()) {
        fRecordings.back()->Add(op);
        // State changes take effect while recording too, so that the view's
        // state reads back what was set.
        if (IsStateOp(op))
            ExecuteState(op);
        return;
    }
    Execute(op);
}

void DrawingContext::Execute(const DrawingOp& op)
{
    if (IsStateOp(op))
        ExecuteState(op);
    else
        ExecuteShape(op);
}

void DrawingContext::ExecuteState(const DrawingOp& op)
{
    DrawingState& state = fLevels.back().state;
    std::visit(
        Overloaded {
            [&](const Op::SetHighColor& set) { state.highColor = set.color; },
            [&](const Op::SetLowColor& set) { state.lowColor = set.color; },
            [&](const Op::SetPenSize& set) { state.penSize = set.size < 0 ? 0 : set.size; },
            [&](const Op::SetDrawingMode& set) { state.drawingMode = set.mode; },
            [&](const Op::SetBlendingMode& set) {
                state.alphaSource = set.source;
                state.alphaFunction = set.function;
            },
            [&](const Op::SetOrigin& set) { state.origin = set.origin; },
            [&](const Op::SetScale& set) { state.scale = set.scale > 0 ? set.scale : state.scale; },
            [&](const Op::SetFont& set) { state.font = set.font; },
            [&](const Op::MovePenTo& set) { state.penLocation = set.where; },
            [&](const Op::PushState&) {
                Level next;
                next.state = state;
                next.state.origin = B_ORIGIN;
                next.state.scale = 1;
                next.state.clipping.reset();
                next.baseOrigin = LocalToBase(B_ORIGIN);
                next.baseScale = TotalScale();
                fLevels.push_back(next);
            },
            [&](const Op::PopState&) {
                if (fLevels.size() > 1) {
                    fLevels.pop_back();
                    InvalidateClip();
                }
            },
            [&](const Op::ConstrainClipping& set) {
                if (!set.region) {
                    state.clipping.reset();
                } else {
                    // Each local pixel rectangle becomes the base pixels it
                    // covers.
                    ClipRegion base;
                    for (const clipping_rect& rect : set.region->Rects()) {
                        BPoint topLeft = LocalToBase(BPoint(rect.left, rect.top));
                        BPoint bottomRight = LocalToBase(BPoint(rect.right + 1, rect.bottom + 1));
                        base.Include(clipping_rect { Edge(topLeft.x), Edge(topLeft.y),
                            Edge(bottomRight.x) - 1, Edge(bottomRight.y) - 1 });
                    }
                    state.clipping = base;
                }
                InvalidateClip();
            },
            [&](const auto&) {},
        },
        op);
}

void DrawingContext::ExecuteShape(const DrawingOp& op)
{
    std::visit(Overloaded {
                   [&](const Op::Line& line) { DoLine(line); },
                   [&](const Op::Rect& rect) { DoRect(rect); },
                   [&](const Op::RoundRect& rect) { DoRoundRect(rect); },
                   [&](const Op::Ellipse& ellipse) { DoEllipse(ellipse); },
                   [&](const Op::Arc& arc) { DoArc(arc); },
                   [&](const Op::Polygon& polygon) { DoPolygon(polygon); },
                   [&](const Op::Bezier& bezier) { DoBezier(bezier); },
                   [&](const Op::FillRegion& region) { DoFillRegion(region); },
                   [&](const Op::InvertRect& rect) { DoInvertRect(rect); },
                   [&](const Op::String& string) { DoString(string); },
                   [&](const Op::Bitmap& bitmap) { DoBitmap(bitmap); },
                   [&](const Op::SubPicture& sub) {
                       if (sub.picture)
                           PlayPicture(*sub.picture, sub.where);
                   },
                   [&](const auto&) {},
               },
        op);
}

void DrawingContext::BeginPicture(RenderPicture* picture)
{
    if (picture != nullptr)
        fRecordings.push_back(picture);
}

RenderPicture* DrawingContext::EndPicture()
{
    if (fRecordings.empty())
        return nullptr;
    RenderPicture* picture = fRecordings.back();
    fRecordings.pop_back();
    return picture;
}

void DrawingContext::DrawPicture(const RenderPicture& picture, BPoint where)
{
    if (IsRecording()) {
        fRecordings.back()->Add(Op::SubPicture { std::make_shared<RenderPicture>(picture), where });
        return;
    }
    PlayPicture(picture, where);
}

void DrawingContext::PlayPicture(const RenderPicture& picture, BPoint where)
{
    static thread_local int32 sDepth = 0;
    if (sDepth >= kMaxPictureDepth)
        return;
    sDepth++;
    size_t levels = fLevels.size();
    ExecuteState(Op::PushState {});
    fLevels.back().state.origin = where;
    for (const DrawingOp& op : picture.Ops())
        Execute(op);
    // The picture's state changes, balanced or not, end with it.
    while (fLevels.size() > levels)
        fLevels.pop_back();
    InvalidateClip();
    sDepth--;
}

void DrawingContext::Flush()
{
    if (fSurface != nullptr && fSurface->CairoSurface() != nullptr)
        cairo_surface_flush(fSurface->CairoSurface());
}

} // namespace BPrivate
