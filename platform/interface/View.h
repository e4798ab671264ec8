#pragma once

// BView: a rectangle of a window (or of an off-screen bitmap) that draws
// itself and receives the mouse and keyboard events aimed at it. Views form a
// tree under their window; each has a frame in its parent's coordinates and
// bounds in its own (moved by scrolling). A view keeps its drawing state
// (colours, pen, font, drawing mode, origin, clipping) between drawing passes.

#include <Font.h>
#include <GraphicsDefs.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Rect.h>
#include <Region.h>

#include <memory>
#include <vector>

class BBitmap;
class BPicture;
class BScrollBar;
class BScrollView;
class BWindow;

namespace BPrivate {
class ClipRegion;
class DrawingContext;
class ViewAccess;
struct ViewDrawingState;
} // namespace BPrivate

// View flags.
enum {
    B_FULL_UPDATE_ON_RESIZE = 0x80000000,
    B_WILL_DRAW = 0x20000000,
    B_PULSE_NEEDED = 0x10000000,
    B_NAVIGABLE_JUMP = 0x08000000,
    B_FRAME_EVENTS = 0x04000000,
    B_NAVIGABLE = 0x02000000,
    B_SUBPIXEL_PRECISE = 0x01000000,
    B_DRAW_ON_CHILDREN = 0x00800000,
    B_INPUT_METHOD_AWARE = 0x00400000,
};

// Resizing modes: four 4-bit rules (top, left, bottom, right from the high
// nibble down) saying which edge of the parent each edge follows.
#define _rule_(top, left, bottom, right)                                                           \
    ((uint32(top) << 12) | (uint32(left) << 8) | (uint32(bottom) << 4) | uint32(right))
enum {
    _VIEW_TOP_ = 1,
    _VIEW_LEFT_ = 2,
    _VIEW_BOTTOM_ = 3,
    _VIEW_RIGHT_ = 4,
    _VIEW_CENTER_ = 5,
};
enum : uint32 {
    B_FOLLOW_NONE = 0,
    B_FOLLOW_ALL_SIDES = _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_),
    B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES,
    B_FOLLOW_LEFT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_),
    B_FOLLOW_RIGHT = _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_),
    B_FOLLOW_LEFT_RIGHT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_),
    B_FOLLOW_H_CENTER = _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_),
    B_FOLLOW_TOP = _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0),
    B_FOLLOW_BOTTOM = _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0),
    B_FOLLOW_TOP_BOTTOM = _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0),
    B_FOLLOW_V_CENTER = _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0),
    B_FOLLOW_LEFT_TOP = B_FOLLOW_LEFT | B_FOLLOW_TOP,
};

// Mouse buttons, in the "buttons" field of mouse messages.
enum {
    B_PRIMARY_MOUSE_BUTTON = 0x01,
    B_SECONDARY_MOUSE_BUTTON = 0x02,
    B_TERTIARY_MOUSE_BUTTON = 0x04,
};

// The transit argument of MouseMoved.
enum {
    B_ENTERED_VIEW = 1,
    B_INSIDE_VIEW = 2,
    B_EXITED_VIEW = 3,
    B_OUTSIDE_VIEW = 4,
};

// SetMouseEventMask and SetEventMask.
enum {
    B_POINTER_EVENTS = 0x00000001,
    B_KEYBOARD_EVENTS = 0x00000002,
};
enum {
    B_LOCK_WINDOW_FOCUS = 0x00000001,
    B_SUSPEND_VIEW_FOCUS = 0x00000002,
    B_NO_POINTER_HISTORY = 0x00000004,
    B_FULL_POINTER_HISTORY = 0x00000008,
};

enum {
    B_TRACK_WHOLE_RECT = 0,
    B_TRACK_RECT_CORNER = 1,
};

enum {
    B_FONT_SIZE_AND_ROTATION = B_FONT_SIZE | B_FONT_ROTATION,
};

class BView : public BHandler {
public:
    BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
    ~BView() override;

    // Hooks.
    virtual void AttachedToWindow();
    virtual void AllAttached();
    virtual void DetachedFromWindow();
    virtual void AllDetached();
    virtual void Draw(BRect updateRect);
    virtual void DrawAfterChildren(BRect updateRect);
    virtual void MouseDown(BPoint where);
    virtual void MouseUp(BPoint where);
    virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
    virtual void KeyDown(const char* bytes, int32 numBytes);
    virtual void KeyUp(const char* bytes, int32 numBytes);
    virtual void Pulse();
    virtual void FrameMoved(BPoint newPosition);
    virtual void FrameResized(float newWidth, float newHeight);
    virtual void TargetedByScrollView(BScrollView* scrollView);
    virtual void WindowActivated(bool active);
    void MessageReceived(BMessage* message) override;

    // The tree.
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    bool RemoveSelf();
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* NextSibling() const;
    BView* PreviousSibling() const;
    BView* Parent() const;
    BWindow* Window() const;
    BView* FindView(const char* name) const;

    // Geometry.
    BRect Frame() const;
    BRect Bounds() const;
    void MoveBy(float dx, float dy);
    void MoveTo(BPoint where);
    void MoveTo(float x, float y);
    void ResizeBy(float dx, float dy);
    void ResizeTo(float width, float height);
    virtual void GetPreferredSize(float* width, float* height);
    virtual void ResizeToPreferred();
    void ScrollBy(float dx, float dy);
    void ScrollTo(float x, float y);
    virtual void ScrollTo(BPoint where);
    BScrollBar* ScrollBar(orientation direction) const;

    void ConvertToScreen(BPoint* point) const;
    BPoint ConvertToScreen(BPoint point) const;
    void ConvertToScreen(BRect* rect) const;
    BRect ConvertToScreen(BRect rect) const;
    void ConvertFromScreen(BPoint* point) const;
    BPoint ConvertFromScreen(BPoint point) const;
    void ConvertFromScreen(BRect* rect) const;
    BRect ConvertFromScreen(BRect rect) const;
    void ConvertToParent(BPoint* point) const;
    BPoint ConvertToParent(BPoint point) const;
    void ConvertToParent(BRect* rect) const;
    BRect ConvertToParent(BRect rect) const;
    void ConvertFromParent(BPoint* point) const;
    BPoint ConvertFromParent(BPoint point) const;
    void ConvertFromParent(BRect* rect) const;
    BRect ConvertFromParent(BRect rect) const;

    // Flags and visibility.
    virtual void SetFlags(uint32 flags);
    uint32 Flags() const;
    virtual void SetResizingMode(uint32 mode);
    uint32 ResizingMode() const;
    virtual void Show();
    virtual void Hide();
    bool IsHidden() const;
    bool IsHidden(const BView* lookingFrom) const;

    // Focus.
    virtual void MakeFocus(bool focused = true);
    bool IsFocus() const;

    // The mouse.
    void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);
    status_t SetMouseEventMask(uint32 mask, uint32 options = 0);
    status_t SetEventMask(uint32 mask, uint32 options = 0);
    uint32 EventMask();
    void BeginRectTracking(BRect startRect, uint32 style = B_TRACK_WHOLE_RECT);
    void EndRectTracking();

    // Drawing state.
    virtual void SetViewColor(rgb_color color);
    void SetViewColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
    rgb_color ViewColor() const;
    virtual void SetHighColor(rgb_color color);
    void SetHighColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
    rgb_color HighColor() const;
    virtual void SetLowColor(rgb_color color);
    void SetLowColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
    rgb_color LowColor() const;
    void SetPenSize(float size);
    float PenSize() const;
    virtual void SetDrawingMode(drawing_mode mode);
    drawing_mode DrawingMode() const;
    void SetBlendingMode(source_alpha srcAlpha, alpha_function alphaFunc);
    void GetBlendingMode(source_alpha* srcAlpha, alpha_function* alphaFunc) const;
    void SetOrigin(BPoint origin);
    void SetOrigin(float x, float y);
    BPoint Origin() const;
    void SetScale(float scale) const;
    float Scale() const;
    void PushState();
    void PopState();
    void MovePenTo(BPoint where);
    void MovePenTo(float x, float y);
    void MovePenBy(float x, float y);
    BPoint PenLocation() const;
    void SetLineMode(cap_mode lineCap, join_mode lineJoin, float miterLimit = 10);
    join_mode LineJoinMode() const;
    cap_mode LineCapMode() const;
    float LineMiterLimit() const;

    virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
    void GetFont(BFont* font) const;
    void SetFontSize(float size);
    float StringWidth(const char* string) const;
    float StringWidth(const char* string, int32 length) const;
    void GetFontHeight(font_height* height) const;

    void ConstrainClippingRegion(BRegion* region);
    void GetClippingRegion(BRegion* region) const;

    // Drawing.
    void StrokeLine(BPoint toPoint, ::pattern pattern = B_SOLID_HIGH);
    void StrokeLine(BPoint start, BPoint end, ::pattern pattern = B_SOLID_HIGH);
    void BeginLineArray(int32 count);
    void AddLine(BPoint start, BPoint end, rgb_color color);
    void EndLineArray();
    void StrokeRect(BRect rect, ::pattern pattern = B_SOLID_HIGH);
    void FillRect(BRect rect, ::pattern pattern = B_SOLID_HIGH);
    void StrokeRoundRect(
        BRect rect, float xRadius, float yRadius, ::pattern pattern = B_SOLID_HIGH);
    void FillRoundRect(BRect rect, float xRadius, float yRadius, ::pattern pattern = B_SOLID_HIGH);
    void StrokeEllipse(
        BPoint center, float xRadius, float yRadius, ::pattern pattern = B_SOLID_HIGH);
    void StrokeEllipse(BRect rect, ::pattern pattern = B_SOLID_HIGH);
    void FillEllipse(BPoint center, float xRadius, float yRadius, ::pattern pattern = B_SOLID_HIGH);
    void FillEllipse(BRect rect, ::pattern pattern = B_SOLID_HIGH);
    void StrokeArc(BPoint center, float xRadius, float yRadius, float startAngle, float arcAngle,
        ::pattern pattern = B_SOLID_HIGH);
    void StrokeArc(BRect rect, float startAngle, float arcAngle, ::pattern pattern = B_SOLID_HIGH);
    void FillArc(BPoint center, float xRadius, float yRadius, float startAngle, float arcAngle,
        ::pattern pattern = B_SOLID_HIGH);
    void FillArc(BRect rect, float startAngle, float arcAngle, ::pattern pattern = B_SOLID_HIGH);
    void StrokeTriangle(
        BPoint point1, BPoint point2, BPoint point3, ::pattern pattern = B_SOLID_HIGH);
    void FillTriangle(
        BPoint point1, BPoint point2, BPoint point3, ::pattern pattern = B_SOLID_HIGH);
    void StrokePolygon(const BPoint* pointArray, int32 numPoints, bool isClosed = true,
        ::pattern pattern = B_SOLID_HIGH);
    void FillPolygon(const BPoint* pointArray, int32 numPoints, ::pattern pattern = B_SOLID_HIGH);
    void StrokeBezier(BPoint* controlPoints, ::pattern pattern = B_SOLID_HIGH);
    void FillBezier(BPoint* controlPoints, ::pattern pattern = B_SOLID_HIGH);
    void FillRegion(BRegion* region, ::pattern pattern = B_SOLID_HIGH);
    void InvertRect(BRect rect);

    void DrawString(const char* string, escapement_delta* delta = nullptr);
    void DrawString(const char* string, BPoint location, escapement_delta* delta = nullptr);
    void DrawString(const char* string, int32 length, escapement_delta* delta = nullptr);
    void DrawString(
        const char* string, int32 length, BPoint location, escapement_delta* delta = nullptr);
    void DrawChar(char character);
    void DrawChar(char character, BPoint location);

    void DrawBitmap(const BBitmap* bitmap);
    void DrawBitmap(const BBitmap* bitmap, BPoint where);
    void DrawBitmap(const BBitmap* bitmap, BRect destination);
    void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination, uint32 options = 0);
    void DrawBitmapAsync(const BBitmap* bitmap);
    void DrawBitmapAsync(const BBitmap* bitmap, BPoint where);
    void DrawBitmapAsync(const BBitmap* bitmap, BRect destination);
    void DrawBitmapAsync(
        const BBitmap* bitmap, BRect source, BRect destination, uint32 options = 0);
    void CopyBits(BRect source, BRect destination);

    void DrawPicture(const BPicture* picture);
    void DrawPicture(const BPicture* picture, BPoint where);
    void DrawPictureAsync(const BPicture* picture);
    void DrawPictureAsync(const BPicture* picture, BPoint where);
    void BeginPicture(BPicture* picture);
    void AppendToPicture(BPicture* picture);
    BPicture* EndPicture();

    void Invalidate();
    void Invalidate(BRect invalRect);
    void Invalidate(const BRegion* invalRegion);
    // Drawing reaches the screen when the window is done with the current
    // message; these show it at once.
    void Flush() const;
    void Sync() const;

private:
    friend class BScrollBar;
    friend class BWindow;
    friend class BPrivate::ViewAccess;

    struct LineArrayEntry {
        BPoint start;
        BPoint end;
        rgb_color color;
    };

    // Tree bookkeeping (ViewHierarchy.cpp).
    void AttachTo(BWindow* window);
    void DetachFromWindow();
    void CallAttachedHooks();
    void CallDetachedHooks();
    bool IsTopView() const;

    // Geometry (View.cpp).
    BPoint OffsetInWindow() const;
    void ParentResized(float dx, float dy);
    void NotifyFrameChange(bool moved, bool resized);

    // Drawing (ViewDrawing.cpp).
    template <typename Function> void Paint(Function&& function) const;
    bool PrepareToDraw() const;
    BPrivate::ClipRegion VisibleRegion(bool excludeChildren = true) const;
    void ApplyClip(const BPrivate::ClipRegion& clip) const;
    void MakeContext();
    void DropContext();
    void DrawingDone() const;
    void RebuildContexts();

    BWindow* fWindow = nullptr;
    BView* fParent = nullptr;
    std::vector<BView*> fChildren;
    BRect fFrame;
    BPoint fScrollOrigin;
    uint32 fResizingMode;
    uint32 fFlags;
    int32 fShowLevel = 0;
    uint32 fEventMask = 0;
    uint32 fEventOptions = 0;
    rgb_color fViewColor;

    std::unique_ptr<BPrivate::ViewDrawingState> fDrawing;
    std::unique_ptr<BPrivate::DrawingContext> fContext;
    mutable uint64 fClipGeneration = 0;
    cap_mode fCapMode = B_BUTT_CAP;
    join_mode fJoinMode = B_MITER_JOIN;
    float fMiterLimit = 10;
    std::vector<LineArrayEntry> fLineArray;
    bool fInLineArray = false;
    std::vector<BPicture*> fRecordedPictures;
    BRect fTrackingRect;
    bool fTracking = false;

    BScrollBar* fHorizontalScrollBar = nullptr;
    BScrollBar* fVerticalScrollBar = nullptr;
};
