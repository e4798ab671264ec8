// BView: the drawing state and the drawing calls. Each view attached to a
// window has a drawing context on the window's backing store; it is placed
// and clipped to the view's visible part before each call, under the lock
// that keeps the display from reading the pixels meanwhile.

#include <View.h>

#include <Bitmap.h>
#include <Picture.h>
#include <Window.h>

#include <DrawingContext.h>

#include "Geometry.h"
#include "RenderAccess.h"
#include "TopView.h"
#include "ViewDrawingState.h"
#include "WindowLink.h"

#include <cmath>
#include <cstring>

using BPrivate::ClipRegion;
using BPrivate::DrawingContext;

template <typename Function> void BView::Paint(Function&& function) const
{
    if (fWindow == nullptr || fWindow->fLink == nullptr)
        return;
    BPrivate::WindowLink::SurfaceGuard guard(fWindow->fLink.get());
    if (!PrepareToDraw())
        return;
    fWindow->fLink->PrepareSurface();
    function(*fContext);
    DrawingDone();
}

// #pragma mark - placing and clipping

ClipRegion BView::VisibleRegion(bool excludeChildren) const
{
    ClipRegion region;
    if (fWindow == nullptr || IsHidden(nullptr))
        return region;
    BPoint offset = OffsetInWindow();
    region.Set(ClipRegion::ToClippingRect(BPrivate::OffsetRect(Bounds(), offset)));
    for (const BView* parent = fParent; parent != nullptr; parent = parent->fParent) {
        BRect bounds = BPrivate::OffsetRect(parent->Bounds(), parent->OffsetInWindow());
        region.IntersectWith(ClipRegion::ToClippingRect(bounds));
    }
    if (excludeChildren) {
        // Children cover their parent, except those that leave their
        // background to it (transparent view colour): the parent is drawn
        // before its children, so those show the parent's drawing beneath.
        for (const BView* child : fChildren) {
            if (child->fShowLevel > 0 || child->fViewColor == B_TRANSPARENT_COLOR)
                continue;
            region.Exclude(ClipRegion::ToClippingRect(BPrivate::OffsetRect(child->fFrame, offset)));
        }
    }
    // A popped-up menu lies over every other view.
    const BPrivate::TopView* top = fWindow->fTopView.get();
    for (int32 i = 0; top != nullptr && i < top->CountChildren(); i++) {
        const BView* overlay = top->ChildAt(i);
        if (!top->IsOverlay(overlay) || overlay->fShowLevel > 0)
            continue;
        bool inside = false;
        for (const BView* view = this; view != nullptr; view = view->fParent)
            inside = inside || view == overlay;
        if (!inside)
            region.Exclude(ClipRegion::ToClippingRect(overlay->fFrame));
    }
    return region;
}

void BView::ApplyClip(const ClipRegion& clip) const
{
    if (fContext == nullptr)
        return;
    fContext->SetDeviceOffset(OffsetInWindow());
    fContext->SetDeviceClip(clip);
    fDrawing->clip = clip;
    fClipGeneration = fWindow->DrawGeneration();
}

bool BView::PrepareToDraw() const
{
    if (fWindow == nullptr)
        return false;
    if (fContext == nullptr)
        const_cast<BView*>(this)->MakeContext();
    if (fContext == nullptr)
        return false;
    if (fClipGeneration != fWindow->DrawGeneration()) {
        ClipRegion clip = VisibleRegion();
        if (const ClipRegion* update = fWindow->UpdateRegion())
            clip.IntersectWith(*update);
        ApplyClip(clip);
    }
    return true;
}

void BView::DrawingDone() const
{
    if (fContext->IsRecording())
        return;
    fWindow->fLink->NoteDrawing();
    if (fWindow->UpdateRegion() == nullptr)
        fWindow->NoteDirectDrawing(fDrawing->clip);
}

void BView::MakeContext()
{
    if (fWindow == nullptr || fWindow->fLink == nullptr || fContext != nullptr)
        return;
    fContext = std::make_unique<DrawingContext>(fWindow->fLink->Surface());
    if (!fDrawing->stack.empty()) {
        fContext->SetState(fDrawing->stack.front());
        for (size_t i = 1; i < fDrawing->stack.size(); i++) {
            fContext->PushState();
            fContext->SetState(fDrawing->stack[i]);
        }
        fContext->PushState();
    }
    fContext->SetState(fDrawing->current);
    fDrawing->stack.clear();
    fClipGeneration = 0;
}

void BView::DropContext()
{
    if (fContext == nullptr)
        return;
    std::vector<BPrivate::DrawingState> levels;
    while (fContext->CountStateLevels() > 1) {
        levels.insert(levels.begin(), fContext->State());
        fContext->PopState();
    }
    levels.insert(levels.begin(), fContext->State());
    fDrawing->current = levels.back();
    levels.pop_back();
    fDrawing->stack = std::move(levels);
    fContext.reset();
}

void BView::RebuildContexts()
{
    DropContext();
    MakeContext();
    for (BView* child : fChildren)
        child->RebuildContexts();
}

// #pragma mark - state

void BView::SetViewColor(rgb_color color)
{
    if (fViewColor == color)
        return;
    fViewColor = color;
    if (fWindow != nullptr) {
        fWindow->GeometryChanged();
        Invalidate();
    }
}

void BView::SetViewColor(uchar red, uchar green, uchar blue, uchar alpha)
{
    SetViewColor(rgb_color { red, green, blue, alpha });
}

rgb_color BView::ViewColor() const
{
    return fViewColor;
}

void BView::SetHighColor(rgb_color color)
{
    if (fContext != nullptr)
        fContext->SetHighColor(color);
    else
        fDrawing->current.highColor = color;
}

void BView::SetHighColor(uchar red, uchar green, uchar blue, uchar alpha)
{
    SetHighColor(rgb_color { red, green, blue, alpha });
}

rgb_color BView::HighColor() const
{
    return fContext != nullptr ? fContext->State().highColor : fDrawing->current.highColor;
}

void BView::SetLowColor(rgb_color color)
{
    if (fContext != nullptr)
        fContext->SetLowColor(color);
    else
        fDrawing->current.lowColor = color;
}

void BView::SetLowColor(uchar red, uchar green, uchar blue, uchar alpha)
{
    SetLowColor(rgb_color { red, green, blue, alpha });
}

rgb_color BView::LowColor() const
{
    return fContext != nullptr ? fContext->State().lowColor : fDrawing->current.lowColor;
}

void BView::SetPenSize(float size)
{
    if (fContext != nullptr)
        fContext->SetPenSize(size);
    else
        fDrawing->current.penSize = size < 0 ? 0 : size;
}

float BView::PenSize() const
{
    return fContext != nullptr ? fContext->State().penSize : fDrawing->current.penSize;
}

void BView::SetDrawingMode(drawing_mode mode)
{
    if (fContext != nullptr)
        fContext->SetDrawingMode(mode);
    else
        fDrawing->current.drawingMode = mode;
}

drawing_mode BView::DrawingMode() const
{
    return fContext != nullptr ? fContext->State().drawingMode : fDrawing->current.drawingMode;
}

void BView::SetBlendingMode(source_alpha srcAlpha, alpha_function alphaFunc)
{
    if (fContext != nullptr) {
        fContext->SetBlendingMode(srcAlpha, alphaFunc);
    } else {
        fDrawing->current.alphaSource = srcAlpha;
        fDrawing->current.alphaFunction = alphaFunc;
    }
}

void BView::GetBlendingMode(source_alpha* srcAlpha, alpha_function* alphaFunc) const
{
    const BPrivate::DrawingState& state
        = fContext != nullptr ? fContext->State() : fDrawing->current;
    if (srcAlpha != nullptr)
        *srcAlpha = state.alphaSource;
    if (alphaFunc != nullptr)
        *alphaFunc = state.alphaFunction;
}

void BView::SetOrigin(BPoint origin)
{
    if (fContext != nullptr)
        fContext->SetOrigin(origin);
    else
        fDrawing->current.origin = origin;
}

void BView::SetOrigin(float x, float y)
{
    SetOrigin(BPoint(x, y));
}

BPoint BView::Origin() const
{
    return fContext != nullptr ? fContext->State().origin : fDrawing->current.origin;
}

void BView::SetScale(float scale) const
{
    if (fContext != nullptr)
        fContext->SetScale(scale);
    else if (scale > 0)
        const_cast<BView*>(this)->fDrawing->current.scale = scale;
}

float BView::Scale() const
{
    return fContext != nullptr ? fContext->State().scale : fDrawing->current.scale;
}

void BView::PushState()
{
    if (fContext != nullptr) {
        fContext->PushState();
        return;
    }
    fDrawing->stack.push_back(fDrawing->current);
    fDrawing->current.origin = B_ORIGIN;
    fDrawing->current.scale = 1;
    fDrawing->current.clipping.reset();
}

void BView::PopState()
{
    if (fContext != nullptr) {
        fContext->PopState();
        return;
    }
    if (fDrawing->stack.empty())
        return;
    fDrawing->current = fDrawing->stack.back();
    fDrawing->stack.pop_back();
}

void BView::MovePenTo(BPoint where)
{
    if (fContext != nullptr)
        fContext->MovePenTo(where);
    else
        fDrawing->current.penLocation = where;
}

void BView::MovePenTo(float x, float y)
{
    MovePenTo(BPoint(x, y));
}

void BView::MovePenBy(float x, float y)
{
    BPoint pen = PenLocation();
    MovePenTo(BPoint(pen.x + x, pen.y + y));
}

BPoint BView::PenLocation() const
{
    return fContext != nullptr ? fContext->State().penLocation : fDrawing->current.penLocation;
}

void BView::SetLineMode(cap_mode lineCap, join_mode lineJoin, float miterLimit)
{
    // The drawing layer strokes with square caps and mitred joins, which is
    // what the platform's one-pixel lines look like; the mode is kept for
    // the getters.
    fCapMode = lineCap;
    fJoinMode = lineJoin;
    fMiterLimit = miterLimit;
}

join_mode BView::LineJoinMode() const
{
    return fJoinMode;
}

cap_mode BView::LineCapMode() const
{
    return fCapMode;
}

float BView::LineMiterLimit() const
{
    return fMiterLimit;
}

void BView::SetFont(const BFont* font, uint32 mask)
{
    if (font == nullptr)
        return;
    BPrivate::RenderFont current
        = fContext != nullptr ? fContext->State().font : fDrawing->current.font;
    const BPrivate::RenderFont& source = BPrivate::RenderAccess::Font(*font);
    if ((mask & B_FONT_FAMILY_AND_STYLE) != 0)
        current.SetFamilyAndStyle(source.FamilyAndStyle());
    if ((mask & B_FONT_SIZE) != 0)
        current.SetSize(source.Size());
    if ((mask & B_FONT_SHEAR) != 0)
        current.SetShear(source.Shear());
    if ((mask & B_FONT_ROTATION) != 0)
        current.SetRotation(source.Rotation());
    if ((mask & B_FONT_SPACING) != 0)
        current.SetSpacing(source.Spacing());
    if ((mask & B_FONT_ENCODING) != 0)
        current.SetEncoding(source.Encoding());
    if ((mask & B_FONT_FACE) != 0)
        current.SetFace(source.Face());
    if ((mask & B_FONT_FLAGS) != 0)
        current.SetFlags(source.Flags());
    if (fContext != nullptr)
        fContext->SetFont(current);
    else
        fDrawing->current.font = current;
}

void BView::GetFont(BFont* font) const
{
    if (font != nullptr)
        BPrivate::RenderAccess::SetFont(
            font, fContext != nullptr ? fContext->State().font : fDrawing->current.font);
}

void BView::SetFontSize(float size)
{
    BFont font;
    font.SetSize(size);
    SetFont(&font, B_FONT_SIZE);
}

float BView::StringWidth(const char* string) const
{
    if (string == nullptr)
        return 0;
    return (fContext != nullptr ? fContext->State().font : fDrawing->current.font)
        .StringWidth(string);
}

float BView::StringWidth(const char* string, int32 length) const
{
    if (string == nullptr)
        return 0;
    return (fContext != nullptr ? fContext->State().font : fDrawing->current.font)
        .StringWidth(string, length);
}

void BView::GetFontHeight(font_height* height) const
{
    if (height != nullptr)
        (fContext != nullptr ? fContext->State().font : fDrawing->current.font).GetHeight(height);
}

void BView::ConstrainClippingRegion(BRegion* region)
{
    if (fContext != nullptr) {
        fContext->ConstrainClipping(
            region != nullptr ? &BPrivate::RenderAccess::Region(*region) : nullptr);
        return;
    }
    if (region == nullptr)
        fDrawing->current.clipping.reset();
    else
        fDrawing->current.clipping = BPrivate::RenderAccess::Region(*region);
}

void BView::GetClippingRegion(BRegion* region) const
{
    if (region == nullptr)
        return;
    region->MakeEmpty();
    if (fWindow == nullptr || !PrepareToDraw())
        return;
    BPrivate::RenderAccess::SetRegion(region, fContext->ClippingInLocal());
}

// #pragma mark - shapes

void BView::StrokeLine(BPoint toPoint, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.StrokeLine(toPoint, pattern); });
}

void BView::StrokeLine(BPoint start, BPoint end, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.StrokeLine(start, end, pattern); });
}

void BView::BeginLineArray(int32 count)
{
    fLineArray.clear();
    fLineArray.reserve(size_t(std::max<int32>(count, 0)));
    fInLineArray = true;
}

void BView::AddLine(BPoint start, BPoint end, rgb_color color)
{
    if (fInLineArray)
        fLineArray.push_back({ start, end, color });
}

void BView::EndLineArray()
{
    if (!fInLineArray)
        return;
    fInLineArray = false;
    std::vector<LineArrayEntry> lines;
    lines.swap(fLineArray);
    Paint([&](DrawingContext& context) {
        rgb_color high = context.State().highColor;
        for (const LineArrayEntry& line : lines) {
            context.SetHighColor(line.color);
            context.StrokeLine(line.start, line.end);
        }
        context.SetHighColor(high);
    });
}

void BView::StrokeRect(BRect rect, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.StrokeRect(rect, pattern); });
}

void BView::FillRect(BRect rect, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.FillRect(rect, pattern); });
}

void BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius, ::pattern pattern)
{
    Paint(
        [&](DrawingContext& context) { context.StrokeRoundRect(rect, xRadius, yRadius, pattern); });
}

void BView::FillRoundRect(BRect rect, float xRadius, float yRadius, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.FillRoundRect(rect, xRadius, yRadius, pattern); });
}

void BView::StrokeEllipse(BPoint center, float xRadius, float yRadius, ::pattern pattern)
{
    StrokeEllipse(
        BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius),
        pattern);
}

void BView::StrokeEllipse(BRect rect, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.StrokeEllipse(rect, pattern); });
}

void BView::FillEllipse(BPoint center, float xRadius, float yRadius, ::pattern pattern)
{
    FillEllipse(
        BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius),
        pattern);
}

void BView::FillEllipse(BRect rect, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.FillEllipse(rect, pattern); });
}

void BView::StrokeArc(BPoint center, float xRadius, float yRadius, float startAngle, float arcAngle,
    ::pattern pattern)
{
    StrokeArc(BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius),
        startAngle, arcAngle, pattern);
}

void BView::StrokeArc(BRect rect, float startAngle, float arcAngle, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.StrokeArc(rect, startAngle, arcAngle, pattern); });
}

void BView::FillArc(BPoint center, float xRadius, float yRadius, float startAngle, float arcAngle,
    ::pattern pattern)
{
    FillArc(BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius),
        startAngle, arcAngle, pattern);
}

void BView::FillArc(BRect rect, float startAngle, float arcAngle, ::pattern pattern)
{
    Paint([&](DrawingContext& context) { context.FillArc(rect, startAngle, arcAngle, pattern); });
}

void BView::StrokeTriangle(BPoint point1, BPoint point2, BPoint point3, ::pattern pattern)
{
    BPoint points[3] = { point1, point2, point3 };
    StrokePolygon(points, 3, true, pattern);
}

void BView::FillTriangle(BPoint point1, BPoint point2, BPoint point3, ::pattern pattern)
{
    BPoint points[3] = { point1, point2, point3 };
    FillPolygon(points, 3, pattern);
}

void BView::StrokePolygon(
    const BPoint* pointArray, int32 numPoints, bool isClosed, ::pattern pattern)
{
    if (pointArray == nullptr || numPoints < 1)
        return;
    Paint([&](DrawingContext& context) {
        context.StrokePolygon(pointArray, numPoints, isClosed, pattern);
    });
}

void BView::FillPolygon(const BPoint* pointArray, int32 numPoints, ::pattern pattern)
{
    if (pointArray == nullptr || numPoints < 3)
        return;
    Paint([&](DrawingContext& context) { context.FillPolygon(pointArray, numPoints, pattern); });
}

void BView::StrokeBezier(BPoint* controlPoints, ::pattern pattern)
{
    if (controlPoints == nullptr)
        return;
    Paint([&](DrawingContext& context) { context.StrokeBezier(controlPoints, pattern); });
}

void BView::FillBezier(BPoint* controlPoints, ::pattern pattern)
{
    if (controlPoints == nullptr)
        return;
    Paint([&](DrawingContext& context) { context.FillBezier(controlPoints, pattern); });
}

void BView::FillRegion(BRegion* region, ::pattern pattern)
{
    if (region == nullptr)
        return;
    Paint([&](DrawingContext& context) {
        context.FillRegion(BPrivate::RenderAccess::Region(*region), pattern);
    });
}

void BView::InvertRect(BRect rect)
{
    Paint([&](DrawingContext& context) { context.InvertRect(rect); });
}

// #pragma mark - text

void BView::DrawString(const char* string, escapement_delta* delta)
{
    if (string == nullptr)
        return;
    Paint([&](DrawingContext& context) { context.DrawString(string, -1, delta); });
}

void BView::DrawString(const char* string, BPoint location, escapement_delta* delta)
{
    if (string == nullptr)
        return;
    Paint([&](DrawingContext& context) { context.DrawString(string, -1, location, delta); });
}

void BView::DrawString(const char* string, int32 length, escapement_delta* delta)
{
    if (string == nullptr)
        return;
    Paint([&](DrawingContext& context) { context.DrawString(string, length, delta); });
}

void BView::DrawString(const char* string, int32 length, BPoint location, escapement_delta* delta)
{
    if (string == nullptr)
        return;
    Paint([&](DrawingContext& context) { context.DrawString(string, length, location, delta); });
}

void BView::DrawChar(char character)
{
    DrawString(&character, 1);
}

void BView::DrawChar(char character, BPoint location)
{
    DrawString(&character, 1, location);
}

// #pragma mark - bitmaps and pictures

void BView::DrawBitmap(const BBitmap* bitmap)
{
    DrawBitmap(bitmap, PenLocation());
}

void BView::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
    if (bitmap == nullptr || !bitmap->IsValid())
        return;
    BRect source = BPrivate::MovedRect(bitmap->Bounds(), B_ORIGIN);
    DrawBitmap(bitmap, source, BPrivate::MovedRect(source, where));
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect destination)
{
    if (bitmap == nullptr || !bitmap->IsValid())
        return;
    DrawBitmap(bitmap, BPrivate::MovedRect(bitmap->Bounds(), B_ORIGIN), destination);
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination, uint32 options)
{
    if (bitmap == nullptr || !bitmap->IsValid() || bitmap == nullptr)
        return;
    const BPrivate::PixelBuffer& pixels = BPrivate::RenderAccess::Pixels(*bitmap);
    Paint(
        [&](DrawingContext& context) { context.DrawBitmap(pixels, source, destination, options); });
}

void BView::DrawBitmapAsync(const BBitmap* bitmap)
{
    DrawBitmap(bitmap);
}

void BView::DrawBitmapAsync(const BBitmap* bitmap, BPoint where)
{
    DrawBitmap(bitmap, where);
}

void BView::DrawBitmapAsync(const BBitmap* bitmap, BRect destination)
{
    DrawBitmap(bitmap, destination);
}

void BView::DrawBitmapAsync(const BBitmap* bitmap, BRect source, BRect destination, uint32 options)
{
    DrawBitmap(bitmap, source, destination, options);
}

void BView::CopyBits(BRect source, BRect destination)
{
    Paint([&](DrawingContext& context) { context.CopyBits(source, destination); });
}

void BView::DrawPicture(const BPicture* picture)
{
    DrawPicture(picture, PenLocation());
}

void BView::DrawPicture(const BPicture* picture, BPoint where)
{
    if (picture == nullptr)
        return;
    Paint([&](DrawingContext& context) {
        context.DrawPicture(BPrivate::RenderAccess::Recording(*picture), where);
    });
}

void BView::DrawPictureAsync(const BPicture* picture)
{
    DrawPicture(picture);
}

void BView::DrawPictureAsync(const BPicture* picture, BPoint where)
{
    DrawPicture(picture, where);
}

void BView::BeginPicture(BPicture* picture)
{
    if (picture == nullptr || fWindow == nullptr || !PrepareToDraw())
        return;
    BPrivate::RenderAccess::MutableRecording(picture)->MakeEmpty();
    fContext->BeginPicture(BPrivate::RenderAccess::MutableRecording(picture));
    fRecordedPictures.push_back(picture);
}

void BView::AppendToPicture(BPicture* picture)
{
    if (picture == nullptr || fWindow == nullptr || !PrepareToDraw())
        return;
    fContext->BeginPicture(BPrivate::RenderAccess::MutableRecording(picture));
    fRecordedPictures.push_back(picture);
}

BPicture* BView::EndPicture()
{
    if (fContext == nullptr || fRecordedPictures.empty())
        return nullptr;
    fContext->EndPicture();
    BPicture* picture = fRecordedPictures.back();
    fRecordedPictures.pop_back();
    return picture;
}

// #pragma mark - updates

void BView::Invalidate()
{
    Invalidate(Bounds());
}

void BView::Invalidate(BRect invalRect)
{
    if (fWindow == nullptr || !invalRect.IsValid())
        return;
    ClipRegion area(ClipRegion::ToClippingRect(BPrivate::OffsetRect(invalRect, OffsetInWindow())));
    area.IntersectWith(VisibleRegion(false));
    fWindow->InvalidateWindowRect(area);
}

void BView::Invalidate(const BRegion* invalRegion)
{
    if (fWindow == nullptr || invalRegion == nullptr)
        return;
    ClipRegion area = BPrivate::RenderAccess::Region(*invalRegion);
    BPoint offset = OffsetInWindow();
    area.OffsetBy(int32(std::lround(offset.x)), int32(std::lround(offset.y)));
    area.IntersectWith(VisibleRegion(false));
    fWindow->InvalidateWindowRect(area);
}

void BView::Flush() const
{
    if (fWindow != nullptr)
        fWindow->Flush();
}

void BView::Sync() const
{
    if (fWindow != nullptr)
        fWindow->Sync();
}

// #pragma mark - rectangle tracking

void BView::BeginRectTracking(BRect startRect, uint32 /*style*/)
{
    EndRectTracking();
    if (fWindow == nullptr)
        return;
    fTrackingRect = startRect;
    fTracking = true;
    // The outline is drawn by inverting the pixels under it, so that it shows
    // on any background; ending the tracking redraws what it covered.
    Paint([&](DrawingContext& context) {
        context.PushState();
        context.ConstrainClipping(nullptr);
        context.InvertRect(BRect(startRect.left, startRect.top, startRect.right, startRect.top));
        context.InvertRect(
            BRect(startRect.left, startRect.bottom, startRect.right, startRect.bottom));
        if (startRect.bottom - startRect.top > 1) {
            context.InvertRect(
                BRect(startRect.left, startRect.top + 1, startRect.left, startRect.bottom - 1));
            context.InvertRect(
                BRect(startRect.right, startRect.top + 1, startRect.right, startRect.bottom - 1));
        }
        context.PopState();
    });
}

void BView::EndRectTracking()
{
    if (!fTracking)
        return;
    fTracking = false;
    Invalidate(fTrackingRect.InsetByCopy(-1, -1));
}
