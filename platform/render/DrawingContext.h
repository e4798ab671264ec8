#pragma once

// DrawingContext: the drawing calls of a view, with the platform's pixel
// rules, on a RenderSurface. The interface kit makes one for each drawing
// pass of a window (or of a bitmap with views), places it where the view is
// (SetDeviceOffset, SetDeviceClip) and gives it the view's DrawingState.
//
// Pixel rules. Integer coordinates name pixels, and both ends of a line and
// both edges of a rectangle are included: FillRect(0, 0, 9, 9) paints
// 10 × 10 pixels and StrokeLine((0, 0), (9, 0)) paints 10 pixels. A local
// pixel x covers [x, x + 1) before origin and scale are applied, so at scale
// 2 it becomes a block of 2 × 2 surface pixels. Positions are rounded to
// whole surface pixels (halves upward) before drawing, so 1-pixel lines and
// rectangle edges are always crisp. An odd pen width is centred on the
// pixel; an even one covers the pixel and the one after it (right or below).
// Diagonals, curves and text are antialiased. Text sits on its baseline:
// glyphs occupy the rows above the baseline's y and descenders the rows
// from y down.
//
// Device scale. On a surface with a scale (see RenderSurface) the device
// offset and device clip are still given in points, and the level below
// everything the view sets up scales points to pixels: a 1-pixel line is as
// many surface pixels wide as the scale, text is laid out at the point size
// and drawn at the pixel size, and bitmaps are smoothed when enlarged.
//
// Drawing modes. B_OP_COPY, B_OP_OVER, B_OP_ERASE and B_OP_ALPHA are drawn
// by Cairo. B_OP_COPY ignores colour alpha on an opaque surface and copies it
// on a surface with alpha (so a B_TRANSPARENT_COLOR fill clears an off-screen
// bitmap). B_OP_OVER draws the pattern's high bits in the high colour and
// leaves the low bits alone; bitmaps are composed with their alpha and
// transparent magic values. B_OP_ERASE draws the high bits in the low colour.
// B_OP_ALPHA composes with the colour's (or the bitmap's) alpha, or with the
// high colour's alpha for B_CONSTANT_ALPHA; B_ALPHA_OVERLAY keeps the target's
// alpha and B_ALPHA_COMPOSITE combines them. The other modes are computed per
// pixel from the shape's coverage: B_OP_INVERT inverts the target, B_OP_ADD
// and B_OP_SUBTRACT add and subtract per channel with saturation, B_OP_BLEND
// averages, B_OP_MIN and B_OP_MAX keep the darker or lighter of the two
// colours (by brightness), and B_OP_SELECT swaps target pixels of the high
// colour and the low colour. Antialiased edges blend the result by coverage.
// In B_OP_COPY the platform drew the soft edges of text against the low
// colour; here they blend with what is really underneath, which looks the
// same where the low colour is the background and better elsewhere.

#include <ClipRegion.h>
#include <DrawingState.h>
#include <FontDefs.h>
#include <GraphicsDefs.h>
#include <PixelBuffer.h>
#include <Point.h>
#include <Rect.h>
#include <RenderPicture.h>
#include <RenderSurface.h>

#include <functional>
#include <optional>
#include <vector>

typedef struct _cairo cairo_t;

namespace BPrivate {

class DrawingContext {
public:
    explicit DrawingContext(RenderSurface* surface);
    ~DrawingContext();
    DrawingContext(const DrawingContext&) = delete;
    DrawingContext& operator=(const DrawingContext&) = delete;

    RenderSurface* Surface() const { return fSurface; }

    // Placement, set by the owner of the surface rather than the view: where
    // the view's coordinate (0, 0) lies on the surface, and which parts of
    // the surface the view may paint (all of it when not set), both in
    // points.
    void SetDeviceOffset(BPoint offset);
    BPoint DeviceOffset() const { return fDeviceOffsetPoints; }
    void SetDeviceClip(const ClipRegion& region);
    // The surface's scale, taken when the context was made.
    float DeviceScale() const { return fDeviceScale; }
    void ClearDeviceClip();

    // The state. SetState replaces the current level; PushState starts a
    // new level whose origin, scale and clipping build on the one below.
    const DrawingState& State() const { return fLevels.back().state; }
    void SetState(const DrawingState& state);
    void ResetState();
    int32 CountStateLevels() const { return int32(fLevels.size()); }

    void SetHighColor(rgb_color color);
    void SetLowColor(rgb_color color);
    void SetPenSize(float size);
    void SetDrawingMode(drawing_mode mode);
    void SetBlendingMode(source_alpha source, alpha_function function);
    void SetOrigin(BPoint origin);
    void SetScale(float scale);
    void SetFont(const RenderFont& font);
    void MovePenTo(BPoint where);
    void PushState();
    void PopState();
    // Limits drawing to `region` (local coordinates) within what the level
    // below allows; null lifts this level's limit.
    void ConstrainClipping(const ClipRegion* region);
    // The pixels drawing may reach, in local coordinates (rounded outward
    // when scaled).
    ClipRegion ClippingInLocal() const;

    BPoint LocalToDevice(BPoint point) const;
    BPoint DeviceToLocal(BPoint point) const;
    float TotalScale() const;

    void StrokeLine(BPoint start, BPoint end, const pattern& fill = B_SOLID_HIGH);
    void StrokeLine(BPoint end, const pattern& fill = B_SOLID_HIGH);
    void StrokeRect(BRect rect, const pattern& fill = B_SOLID_HIGH);
    void FillRect(BRect rect, const pattern& fill = B_SOLID_HIGH);
    void StrokeRoundRect(
        BRect rect, float xRadius, float yRadius, const pattern& fill = B_SOLID_HIGH);
    void FillRoundRect(
        BRect rect, float xRadius, float yRadius, const pattern& fill = B_SOLID_HIGH);
    void StrokeEllipse(BRect rect, const pattern& fill = B_SOLID_HIGH);
    void FillEllipse(BRect rect, const pattern& fill = B_SOLID_HIGH);
    // Angles in degrees, counter-clockwise from the positive x axis; a
    // negative arcAngle runs clockwise. FillArc fills the pie slice.
    void StrokeArc(
        BRect rect, float startAngle, float arcAngle, const pattern& fill = B_SOLID_HIGH);
    void FillArc(BRect rect, float startAngle, float arcAngle, const pattern& fill = B_SOLID_HIGH);
    void StrokePolygon(
        const BPoint* points, int32 count, bool closed = true, const pattern& fill = B_SOLID_HIGH);
    void FillPolygon(const BPoint* points, int32 count, const pattern& fill = B_SOLID_HIGH);
    void StrokeBezier(const BPoint points[4], const pattern& fill = B_SOLID_HIGH);
    void FillBezier(const BPoint points[4], const pattern& fill = B_SOLID_HIGH);
    // `region` in local coordinates.
    void FillRegion(const ClipRegion& region, const pattern& fill = B_SOLID_HIGH);
    // Inverts the colours of the rectangle whatever the drawing mode.
    void InvertRect(BRect rect);

    // Draws text with its baseline starting at `where` (or at the pen) in the
    // state's font and high colour, and moves the pen to its end. A rotated
    // font turns the text about its start; at 90 degrees it runs upward.
    void DrawString(
        const char* string, int32 length, BPoint where, const escapement_delta* delta = nullptr);
    void DrawString(const char* string, int32 length = -1, const escapement_delta* delta = nullptr);

    // Draws the `source` part of a bitmap (bitmap coordinates) into the
    // `destination` rectangle (local coordinates), scaled with the nearest
    // pixel, or bilinearly with B_FILTER_BITMAP_BILINEAR.
    void DrawBitmap(const PixelBuffer& bitmap, BRect source, BRect destination, uint32 options = 0);
    void DrawBitmap(const PixelBuffer& bitmap, BPoint where);

    // Copies pixels of the surface from one rectangle to another (local
    // coordinates), scaling when the sizes differ. Not recorded in pictures.
    void CopyBits(BRect source, BRect destination);

    // Recording: between BeginPicture and EndPicture, drawing calls are
    // added to the picture instead of being drawn, and state changes are
    // both applied and added. Recordings nest.
    void BeginPicture(RenderPicture* picture);
    RenderPicture* EndPicture();
    bool IsRecording() const { return !fRecordings.empty(); }
    // Plays a picture with its origin at `where`; the state is restored
    // afterwards.
    void DrawPicture(const RenderPicture& picture, BPoint where);

    // Finishes all drawing so that the surface's pixels can be read.
    void Flush();

private:
    struct Level {
        DrawingState state;
        BPoint baseOrigin;
        float baseScale = 1;
    };

    // What one drawing call hands to the painting machinery.
    using PaintFunction = std::function<void(cairo_t* cairo, double alpha)>;
    struct PaintSpec {
        // The pattern painted through the shape, or null when the paint
        // function sets its own source (bitmaps).
        const pattern* fill = nullptr;
        // The surface pixels the call may touch.
        clipping_rect bounds;
    };

    void Dispatch(const DrawingOp& op);
    void Execute(const DrawingOp& op);
    void ExecuteState(const DrawingOp& op);
    void ExecuteShape(const DrawingOp& op);
    void PlayPicture(const RenderPicture& picture, BPoint where);

    BPoint LocalToBase(BPoint point) const;
    void InvalidateClip() { fClipDirty = true; }
    const ClipRegion& EffectiveClip();
    void ApplyClip(cairo_t* cairo, const ClipRegion& clip) const;

    void Paint(const PaintSpec& spec, const PaintFunction& paint);
    bool IsNativeMode(drawing_mode mode, bool hasPattern) const;
    void SetPatternSource(cairo_t* cairo, const pattern& fill) const;
    void CompositeInSoftware(const PaintSpec& spec, const PaintFunction& paint);

    // The surface pixels a local rectangle covers, as pixel edges (right and
    // bottom exclusive).
    struct PixelBox {
        int32 left;
        int32 top;
        int32 right;
        int32 bottom;
    };
    PixelBox BoxOf(BRect rect) const;
    // The centre of a local pixel on the surface, snapped for a stroke of
    // `width` surface pixels.
    BPoint StrokeCentre(BPoint point, double width) const;
    double StrokeWidth() const;
    // On a scaled surface, the surface pixels (edges, end exclusive) that a
    // pen of whole points covers across a straight line whose centre lies
    // at `centre` (one axis, surface pixels): whole rows of points, so that
    // lines of neighbouring points neither overlap nor leave gaps at
    // fractional scales. False on an unscaled surface or for a pen of a
    // fraction of a point.
    bool PenSpan(double centre, double* from, double* to) const;
    static int32 Edge(double coordinate);
    static clipping_rect Grow(const PixelBox& box, double margin);
    clipping_rect PointBounds(const BPoint* points, int32 count, double margin) const;

    void DoLine(const Op::Line& line);
    void DoRect(const Op::Rect& rect);
    void DoRoundRect(const Op::RoundRect& rect);
    void DoEllipse(const Op::Ellipse& ellipse);
    void DoArc(const Op::Arc& arc);
    void DoPolygon(const Op::Polygon& polygon);
    void DoBezier(const Op::Bezier& bezier);
    void DoFillRegion(const Op::FillRegion& region);
    void DoInvertRect(const Op::InvertRect& rect);
    void DoString(const Op::String& string);
    void DoBitmap(const Op::Bitmap& bitmap);
    void PaintPath(const std::function<void(cairo_t*)>& path, bool fill, bool outline,
        const pattern& pattern, clipping_rect bounds);

    RenderSurface* fSurface;
    cairo_t* fCairo;
    float fDeviceScale = 1;
    // The device offset in points, and in surface pixels.
    BPoint fDeviceOffsetPoints;
    BPoint fDeviceOffset;
    std::optional<ClipRegion> fDeviceClip;
    std::vector<Level> fLevels;
    ClipRegion fClip;
    bool fClipDirty = true;
    std::vector<RenderPicture*> fRecordings;
};

} // namespace BPrivate
