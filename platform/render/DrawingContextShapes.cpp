// DrawingContext: lines, rectangles, round rectangles, ellipses, arcs,
// polygons, Bézier curves and regions, with the pixel rules described in
// DrawingContext.h.

#include <DrawingContext.h>

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace BPrivate {

namespace {

bool IsEvenWidth(double width)
{
    double rounded = std::round(width);
    return rounded == width && std::fmod(rounded, 2.0) == 0;
}

// A path along an ellipse arc: centre, radii, and Cairo angles (radians,
// clockwise on screen).
void EllipticArc(cairo_t* cairo, double cx, double cy, double rx, double ry, double from, double to,
    bool negative)
{
    cairo_save(cairo);
    cairo_translate(cairo, cx, cy);
    cairo_scale(cairo, rx, ry);
    if (negative)
        cairo_arc_negative(cairo, 0, 0, 1, from, to);
    else
        cairo_arc(cairo, 0, 0, 1, from, to);
    cairo_restore(cairo);
}

void RoundRectPath(cairo_t* cairo, double x0, double y0, double x1, double y1, double rx, double ry)
{
    rx = std::min(rx, (x1 - x0) / 2);
    ry = std::min(ry, (y1 - y0) / 2);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cairo, x0, y0, x1 - x0, y1 - y0);
        return;
    }
    cairo_new_sub_path(cairo);
    EllipticArc(cairo, x1 - rx, y0 + ry, rx, ry, -M_PI / 2, 0, false);
    EllipticArc(cairo, x1 - rx, y1 - ry, rx, ry, 0, M_PI / 2, false);
    EllipticArc(cairo, x0 + rx, y1 - ry, rx, ry, M_PI / 2, M_PI, false);
    EllipticArc(cairo, x0 + rx, y0 + ry, rx, ry, M_PI, 3 * M_PI / 2, false);
    cairo_close_path(cairo);
}

struct Box {
    double x0;
    double y0;
    double x1;
    double y1;
};

} // namespace

int32 DrawingContext::Edge(double coordinate)
{
    return NearestPixel(coordinate);
}

double DrawingContext::StrokeWidth() const
{
    // Pens wider than any surface draw the same as one that wide.
    return std::clamp(double(State().penSize) * TotalScale(), 1.0, 100000.0);
}

bool DrawingContext::PenSpan(double centre, double* from, double* to) const
{
    if (fDeviceScale == 1)
        return false;
    double points = double(State().penSize) * TotalScale() / fDeviceScale;
    double whole = std::round(points);
    if (whole < 1 || std::abs(points - whole) > 0.01)
        return false;
    // The rows of points the pen covers, centred as on an unscaled surface.
    double row = std::floor(ClampCoordinate(centre) / fDeviceScale) - std::floor((whole - 1) / 2);
    *from = Edge(row * fDeviceScale);
    *to = Edge((row + whole) * fDeviceScale);
    return true;
}

DrawingContext::PixelBox DrawingContext::BoxOf(BRect rect) const
{
    BPoint a = LocalToDevice(rect.LeftTop());
    BPoint b = LocalToDevice(BPoint(rect.right + 1, rect.bottom + 1));
    return PixelBox { Edge(std::min(a.x, b.x)), Edge(std::min(a.y, b.y)), Edge(std::max(a.x, b.x)),
        Edge(std::max(a.y, b.y)) };
}

BPoint DrawingContext::StrokeCentre(BPoint point, double width) const
{
    BPoint centre = LocalToDevice(BPoint(point.x + 0.5f, point.y + 0.5f));
    if (IsEvenWidth(width))
        return BPoint(float(Edge(centre.x)), float(Edge(centre.y)));
    return BPoint(float(std::floor(ClampCoordinate(centre.x)) + 0.5),
        float(std::floor(ClampCoordinate(centre.y)) + 0.5));
}

clipping_rect DrawingContext::Grow(const PixelBox& box, double margin)
{
    int32 grow = int32(std::ceil(std::min(ClampCoordinate(margin), 1000.0)));
    return clipping_rect { box.left - grow, box.top - grow, box.right - 1 + grow,
        box.bottom - 1 + grow };
}

clipping_rect DrawingContext::PointBounds(const BPoint* points, int32 count, double margin) const
{
    if (count <= 0)
        return clipping_rect { 0, 0, -1, -1 };
    BPoint first = LocalToDevice(points[0]);
    double left = ClampCoordinate(first.x), top = ClampCoordinate(first.y);
    double right = left, bottom = top;
    for (int32 i = 1; i < count; i++) {
        BPoint point = LocalToDevice(points[i]);
        left = std::min(left, ClampCoordinate(point.x));
        top = std::min(top, ClampCoordinate(point.y));
        right = std::max(right, ClampCoordinate(point.x));
        bottom = std::max(bottom, ClampCoordinate(point.y));
    }
    double grow = std::min(ClampCoordinate(margin + TotalScale()), 1000.0);
    return clipping_rect { NearestPixel(left - grow), NearestPixel(top - grow),
        NearestPixel(right + grow), NearestPixel(bottom + grow) };
}

void DrawingContext::PaintPath(const std::function<void(cairo_t*)>& path, bool fill, bool outline,
    const pattern& fillPattern, clipping_rect bounds)
{
    double width = StrokeWidth();
    bool alphaMode = State().drawingMode == B_OP_ALPHA;
    PaintSpec spec { &fillPattern, bounds };
    Paint(spec, [&](cairo_t* cairo, double) {
        cairo_new_path(cairo);
        cairo_set_line_join(cairo, CAIRO_LINE_JOIN_MITER);
        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_BUTT);
        path(cairo);
        if (!fill) {
            cairo_set_line_width(cairo, width);
            cairo_stroke(cairo);
        } else if (!outline) {
            cairo_fill(cairo);
        } else if (alphaMode) {
            // The fill and its outline overlap; translucent colours must not
            // be applied twice there, so their union becomes one mask.
            cairo_push_group_with_content(cairo, CAIRO_CONTENT_ALPHA);
            cairo_set_operator(cairo, CAIRO_OPERATOR_OVER);
            cairo_set_source_rgba(cairo, 0, 0, 0, 1);
            cairo_fill_preserve(cairo);
            cairo_set_line_width(cairo, 1);
            cairo_stroke(cairo);
            cairo_pattern_t* mask = cairo_pop_group(cairo);
            cairo_mask(cairo, mask);
            cairo_pattern_destroy(mask);
        } else {
            cairo_fill_preserve(cairo);
            cairo_set_line_width(cairo, 1);
            cairo_stroke(cairo);
        }
    });
}

void DrawingContext::StrokeLine(BPoint start, BPoint end, const pattern& fill)
{
    Dispatch(Op::Line { start, end, fill });
}

void DrawingContext::StrokeLine(BPoint end, const pattern& fill)
{
    Dispatch(Op::Line { State().penLocation, end, fill });
}

void DrawingContext::StrokeRect(BRect rect, const pattern& fill)
{
    Dispatch(Op::Rect { rect, Op::kStroke, fill });
}

void DrawingContext::FillRect(BRect rect, const pattern& fill)
{
    Dispatch(Op::Rect { rect, Op::kFill, fill });
}

void DrawingContext::StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& fill)
{
    Dispatch(Op::RoundRect { rect, xRadius, yRadius, Op::kStroke, fill });
}

void DrawingContext::FillRoundRect(BRect rect, float xRadius, float yRadius, const pattern& fill)
{
    Dispatch(Op::RoundRect { rect, xRadius, yRadius, Op::kFill, fill });
}

void DrawingContext::StrokeEllipse(BRect rect, const pattern& fill)
{
    Dispatch(Op::Ellipse { rect, Op::kStroke, fill });
}

void DrawingContext::FillEllipse(BRect rect, const pattern& fill)
{
    Dispatch(Op::Ellipse { rect, Op::kFill, fill });
}

void DrawingContext::StrokeArc(BRect rect, float startAngle, float arcAngle, const pattern& fill)
{
    Dispatch(Op::Arc { rect, startAngle, arcAngle, Op::kStroke, fill });
}

void DrawingContext::FillArc(BRect rect, float startAngle, float arcAngle, const pattern& fill)
{
    Dispatch(Op::Arc { rect, startAngle, arcAngle, Op::kFill, fill });
}

void DrawingContext::StrokePolygon(
    const BPoint* points, int32 count, bool closed, const pattern& fill)
{
    if (points == nullptr || count <= 0)
        return;
    Dispatch(
        Op::Polygon { std::vector<BPoint>(points, points + count), closed, Op::kStroke, fill });
}

void DrawingContext::FillPolygon(const BPoint* points, int32 count, const pattern& fill)
{
    if (points == nullptr || count <= 0)
        return;
    Dispatch(Op::Polygon { std::vector<BPoint>(points, points + count), true, Op::kFill, fill });
}

void DrawingContext::StrokeBezier(const BPoint points[4], const pattern& fill)
{
    Dispatch(Op::Bezier { { points[0], points[1], points[2], points[3] }, Op::kStroke, fill });
}

void DrawingContext::FillBezier(const BPoint points[4], const pattern& fill)
{
    Dispatch(Op::Bezier { { points[0], points[1], points[2], points[3] }, Op::kFill, fill });
}

void DrawingContext::FillRegion(const ClipRegion& region, const pattern& fill)
{
    Dispatch(Op::FillRegion { region, fill });
}

void DrawingContext::InvertRect(BRect rect)
{
    Dispatch(Op::InvertRect { rect });
}

void DrawingContext::DoLine(const Op::Line& line)
{
    fLevels.back().state.penLocation = line.end;
    double width = StrokeWidth();
    BPoint ends[2] = { line.start, line.end };
    clipping_rect bounds = PointBounds(ends, 2, width + 1);
    BPoint a = StrokeCentre(line.start, width);
    BPoint b = StrokeCentre(line.end, width);
    if (a.x == b.x || a.y == b.y) {
        // Horizontal and vertical lines are filled rectangles: both end
        // pixels included, the width centred by the pen-width rule. A line of
        // one point is a dot of the pen's size.
        PixelBox box = BoxOf(BRect(line.start, line.end));
        if (line.start.x > line.end.x || line.start.y > line.end.y)
            box = BoxOf(BRect(line.end, line.start));
        double x = a.x - width / 2, y = a.y - width / 2;
        double across = width, down = width;
        BPoint centre = LocalToDevice(BPoint(line.start.x + 0.5f, line.start.y + 0.5f));
        double from = 0, to = 0;
        if (PenSpan(centre.x, &from, &to)) {
            x = from;
            across = to - from;
        }
        if (PenSpan(centre.y, &from, &to)) {
            y = from;
            down = to - from;
        }
        if (a.x != b.x) {
            x = box.left;
            across = box.right - box.left;
        } else if (a.y != b.y) {
            y = box.top;
            down = box.bottom - box.top;
        }
        PaintPath([&](cairo_t* cairo) { cairo_rectangle(cairo, x, y, across, down); }, true, false,
            line.fill, bounds);
        return;
    }
    // Diagonals run between pixel centres and reach half a pixel beyond
    // them, so that their end pixels are painted like those of straight lines.
    double length = std::hypot(b.x - a.x, b.y - a.y);
    double ux = (b.x - a.x) / length * 0.5, uy = (b.y - a.y) / length * 0.5;
    PaintPath(
        [&](cairo_t* cairo) {
            cairo_move_to(cairo, a.x - ux, a.y - uy);
            cairo_line_to(cairo, b.x + ux, b.y + uy);
        },
        false, false, line.fill, bounds);
}

void DrawingContext::DoRect(const Op::Rect& op)
{
    if (!op.rect.IsValid())
        return;
    PixelBox box = BoxOf(op.rect);
    double width = StrokeWidth();
    clipping_rect bounds = Grow(box, width + 1);
    if (op.shape == Op::kFill) {
        PaintPath(
            [&](cairo_t* cairo) {
                cairo_rectangle(
                    cairo, box.left, box.top, box.right - box.left, box.bottom - box.top);
            },
            true, false, op.fill, bounds);
        return;
    }
    // The frame is the ring between two rectangles around the line through
    // the edge pixels, so its pixels are exact for any pen width.
    BPoint a = StrokeCentre(op.rect.LeftTop(), width);
    BPoint b = StrokeCentre(op.rect.RightBottom(), width);
    double half = width / 2;
    double outer[4] = { a.x - half, a.y - half, b.x + half, b.y + half };
    double inner[4] = { a.x + half, a.y + half, b.x - half, b.y - half };
    BPoint first = LocalToDevice(BPoint(op.rect.left + 0.5f, op.rect.top + 0.5f));
    BPoint last = LocalToDevice(BPoint(op.rect.right + 0.5f, op.rect.bottom + 0.5f));
    double spans[8];
    if (PenSpan(first.x, &spans[0], &spans[1]) && PenSpan(first.y, &spans[2], &spans[3])
        && PenSpan(last.x, &spans[4], &spans[5]) && PenSpan(last.y, &spans[6], &spans[7])) {
        outer[0] = spans[0], outer[1] = spans[2], outer[2] = spans[5], outer[3] = spans[7];
        inner[0] = spans[1], inner[1] = spans[3], inner[2] = spans[4], inner[3] = spans[6];
    }
    PaintPath(
        [&](cairo_t* cairo) {
            cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_rectangle(cairo, outer[0], outer[1], outer[2] - outer[0], outer[3] - outer[1]);
            if (inner[2] > inner[0] && inner[3] > inner[1])
                cairo_rectangle(
                    cairo, inner[0], inner[1], inner[2] - inner[0], inner[3] - inner[1]);
        },
        true, false, op.fill, bounds);
}

void DrawingContext::DoRoundRect(const Op::RoundRect& op)
{
    if (!op.rect.IsValid())
        return;
    PixelBox box = BoxOf(op.rect);
    double scale = TotalScale();
    double rx = std::max(0.0, double(op.xRadius) * scale);
    double ry = std::max(0.0, double(op.yRadius) * scale);
    double width = StrokeWidth();
    clipping_rect bounds = Grow(box, width + 1);
    if (op.shape == Op::kFill) {
        PaintPath(
            [&](cairo_t* cairo) {
                RoundRectPath(cairo, box.left, box.top, box.right, box.bottom, rx, ry);
            },
            true, false, op.fill, bounds);
        return;
    }
    BPoint a = StrokeCentre(op.rect.LeftTop(), width);
    BPoint b = StrokeCentre(op.rect.RightBottom(), width);
    PaintPath([&](cairo_t* cairo) { RoundRectPath(cairo, a.x, a.y, b.x, b.y, rx, ry); }, false,
        false, op.fill, bounds);
}

void DrawingContext::DoEllipse(const Op::Ellipse& op)
{
    DoArc(Op::Arc { op.rect, 0, 360, op.shape, op.fill });
}

void DrawingContext::DoArc(const Op::Arc& op)
{
    if (!op.rect.IsValid())
        return;
    PixelBox pixels = BoxOf(op.rect);
    double width = StrokeWidth();
    clipping_rect bounds = Grow(pixels, width + 1);
    bool fill = op.shape == Op::kFill;
    // Filled shapes cover the pixel boxes of the rectangle; outlines run
    // through the centres of its edge pixels.
    Box box { double(pixels.left), double(pixels.top), double(pixels.right),
        double(pixels.bottom) };
    if (!fill) {
        BPoint a = StrokeCentre(op.rect.LeftTop(), width);
        BPoint b = StrokeCentre(op.rect.RightBottom(), width);
        box = Box { a.x, a.y, b.x, b.y };
    }
    double rx = (box.x1 - box.x0) / 2, ry = (box.y1 - box.y0) / 2;
    double cx = box.x0 + rx, cy = box.y0 + ry;
    if (!std::isfinite(op.startAngle) || !std::isfinite(op.arcAngle))
        return;
    double span = std::clamp(double(op.arcAngle), -360.0, 360.0);
    double start = std::fmod(double(op.startAngle), 360.0);
    bool whole = std::abs(span) >= 360.0;
    if (rx < 0.5 || ry < 0.5) {
        // Too thin to have a curve: the shape is its box.
        PaintPath(
            [&](cairo_t* cairo) {
                cairo_rectangle(cairo, pixels.left, pixels.top, pixels.right - pixels.left,
                    pixels.bottom - pixels.top);
            },
            true, false, op.fill, bounds);
        return;
    }
    // The platform's angles run counter-clockwise with y upward; Cairo's
    // run clockwise with y downward.
    double from = -start * M_PI / 180.0;
    double to = -(start + span) * M_PI / 180.0;
    PaintPath(
        [&](cairo_t* cairo) {
            // Like lines, thin open arcs paint their end pixels.
            if (!fill && width <= 1)
                cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
            if (fill && !whole)
                cairo_move_to(cairo, cx, cy);
            else
                cairo_new_sub_path(cairo);
            EllipticArc(cairo, cx, cy, rx, ry, from, to, span > 0);
            if (fill || whole)
                cairo_close_path(cairo);
        },
        fill, false, op.fill, bounds);
}

void DrawingContext::DoPolygon(const Op::Polygon& op)
{
    int32 count = int32(op.points.size());
    bool fill = op.shape == Op::kFill;
    if (count < (fill ? 3 : 1))
        return;
    // Filled polygons run through pixel centres and get a one-pixel outline,
    // so that their edge pixels are covered like those of a rectangle.
    double width = StrokeWidth();
    double snapWidth = fill ? 1.0 : width;
    std::vector<BPoint> points;
    for (const BPoint& point : op.points)
        points.push_back(StrokeCentre(point, snapWidth));
    clipping_rect bounds = PointBounds(op.points.data(), count, width + 1);
    if (count == 1) {
        PaintPath(
            [&](cairo_t* cairo) {
                cairo_rectangle(
                    cairo, points[0].x - width / 2, points[0].y - width / 2, width, width);
            },
            true, false, op.fill, bounds);
        return;
    }
    PaintPath(
        [&](cairo_t* cairo) {
            if (!op.closed && width <= 1)
                cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
            cairo_move_to(cairo, points[0].x, points[0].y);
            for (size_t i = 1; i < points.size(); i++)
                cairo_line_to(cairo, points[i].x, points[i].y);
            if (op.closed || fill)
                cairo_close_path(cairo);
        },
        fill, fill, op.fill, bounds);
}

void DrawingContext::DoBezier(const Op::Bezier& op)
{
    bool fill = op.shape == Op::kFill;
    double width = StrokeWidth();
    BPoint points[4];
    for (int32 i = 0; i < 4; i++)
        points[i] = StrokeCentre(op.points[i], fill ? 1.0 : width);
    clipping_rect bounds = PointBounds(op.points, 4, width + 1);
    PaintPath(
        [&](cairo_t* cairo) {
            if (!fill && width <= 1)
                cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
            cairo_move_to(cairo, points[0].x, points[0].y);
            cairo_curve_to(cairo, points[1].x, points[1].y, points[2].x, points[2].y, points[3].x,
                points[3].y);
            if (fill)
                cairo_close_path(cairo);
        },
        fill, fill, op.fill, bounds);
}

void DrawingContext::DoFillRegion(const Op::FillRegion& op)
{
    if (op.region.IsEmpty())
        return;
    std::vector<PixelBox> boxes;
    for (const clipping_rect& rect : op.region.Rects())
        boxes.push_back(BoxOf(BRect(rect.left, rect.top, rect.right, rect.bottom)));
    clipping_rect frame = op.region.Frame();
    clipping_rect bounds = Grow(BoxOf(BRect(frame.left, frame.top, frame.right, frame.bottom)), 1);
    PaintPath(
        [&](cairo_t* cairo) {
            for (const PixelBox& box : boxes) {
                cairo_rectangle(
                    cairo, box.left, box.top, box.right - box.left, box.bottom - box.top);
            }
        },
        true, false, op.fill, bounds);
}

void DrawingContext::DoInvertRect(const Op::InvertRect& op)
{
    DrawingState& state = fLevels.back().state;
    drawing_mode mode = state.drawingMode;
    state.drawingMode = B_OP_INVERT;
    DoRect(Op::Rect { op.rect, Op::kFill, B_SOLID_HIGH });
    state.drawingMode = mode;
}

} // namespace BPrivate
