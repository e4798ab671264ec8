#pragma once

// BWindow: a window on the screen with its own looper thread. It owns a tree
// of views, draws them into its backing store when parts become invalid,
// and hands each input event to the view it is aimed at: mouse events to the
// view under the pointer (or to the view that asked for all pointer events),
// keys to the focus view, dropped files to the view under the drop point.
//
// The window's frame is its content area in screen coordinates; the title
// tab and border, when the look has them, are drawn by the display around
// it.

#include <InterfaceDefs.h>
#include <Looper.h>
#include <Rect.h>
#include <Region.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class BBitmap;
class BButton;
class BMenuBar;
class BView;

namespace BPrivate {
class ClipRegion;
struct DisplayEvent;
class MenuTracker;
class RenderSurface;
class WindowAccess;
class WindowLink;
class TopView;
} // namespace BPrivate

enum window_type {
    B_UNTYPED_WINDOW = 0,
    B_TITLED_WINDOW = 1,
    B_MODAL_WINDOW = 3,
    B_DOCUMENT_WINDOW = 11,
    B_BORDERED_WINDOW = 20,
    B_FLOATING_WINDOW = 21,
};

enum window_look {
    B_BORDERED_WINDOW_LOOK = 20,
    B_NO_BORDER_WINDOW_LOOK = 19,
    B_TITLED_WINDOW_LOOK = 1,
    B_DOCUMENT_WINDOW_LOOK = 11,
    B_MODAL_WINDOW_LOOK = 3,
    B_FLOATING_WINDOW_LOOK = 7,
};

enum window_feel {
    B_NORMAL_WINDOW_FEEL = 0,
    B_MODAL_SUBSET_WINDOW_FEEL = 2,
    B_MODAL_APP_WINDOW_FEEL = 1,
    B_MODAL_ALL_WINDOW_FEEL = 3,
    B_FLOATING_SUBSET_WINDOW_FEEL = 5,
    B_FLOATING_APP_WINDOW_FEEL = 4,
    B_FLOATING_ALL_WINDOW_FEEL = 6,
};

enum window_alignment {
    B_BYTE_ALIGNMENT = 0,
    B_PIXEL_ALIGNMENT = 1,
};

enum {
    B_NOT_MOVABLE = 0x00000001,
    B_NOT_CLOSABLE = 0x00000020,
    B_NOT_ZOOMABLE = 0x00000040,
    B_NOT_MINIMIZABLE = 0x00004000,
    B_NOT_RESIZABLE = 0x00000002,
    B_NOT_H_RESIZABLE = 0x00000004,
    B_NOT_V_RESIZABLE = 0x00000008,
    B_AVOID_FRONT = 0x00000080,
    B_AVOID_FOCUS = 0x00002000,
    B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
    B_OUTLINE_RESIZE = 0x00001000,
    B_NO_WORKSPACE_ACTIVATION = 0x00000100,
    B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
    B_ASYNCHRONOUS_CONTROLS = 0x00080000,
    B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
    B_SAME_POSITION_IN_ALL_WORKSPACES = 0x00200000,
    B_AUTO_UPDATE_SIZE_LIMITS = 0x00400000,
    B_CLOSE_ON_ESCAPE = 0x00800000,
    B_NO_SERVER_SIDE_WINDOW_MODIFIERS = 0x00000200,
};

class BWindow : public BLooper {
public:
    BWindow(BRect frame, const char* title, window_type type, uint32 flags,
        uint32 workspace = B_CURRENT_WORKSPACE);
    BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
        uint32 workspace = B_CURRENT_WORKSPACE);
    ~BWindow() override;

    // Closes the window and deletes it with its views; call it with the
    // window locked.
    void Quit() override;
    void Close() { Quit(); }
    thread_id Run() override;
    bool QuitRequested() override;

    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;

    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;

    // Hooks.
    virtual void FrameMoved(BPoint newPosition);
    virtual void FrameResized(float newWidth, float newHeight);
    virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces);
    virtual void WorkspaceActivated(int32 workspace, bool state);
    virtual void Minimize(bool minimize);
    virtual void Zoom(BPoint origin, float width, float height);
    virtual void ScreenChanged(BRect screenSize, color_space depth);
    virtual void WindowActivated(bool active);
    virtual void MenusBeginning();
    virtual void MenusEnded();

    void Zoom();
    void SetZoomLimits(float maxWidth, float maxHeight);

    void SetPulseRate(bigtime_t rate);
    bigtime_t PulseRate() const;

    void AddShortcut(uint32 key, uint32 modifiers, BMessage* message);
    void AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target);
    void RemoveShortcut(uint32 key, uint32 modifiers);
    bool HasShortcut(uint32 key, uint32 modifiers);

    void SetDefaultButton(BButton* button);
    BButton* DefaultButton() const;

    bool NeedsUpdate() const;
    void UpdateIfNeeded();
    void DisableUpdates();
    void EnableUpdates();
    void BeginViewTransaction();
    void EndViewTransaction();
    void Flush() const;
    void Sync() const;

    BView* FindView(const char* viewName) const;
    BView* FindView(BPoint point) const;
    BView* CurrentFocus() const;
    BView* LastMouseMovedView() const;

    void Activate(bool active = true);
    bool IsActive() const;
    bool IsFront() const;
    status_t SendBehind(const BWindow* window);

    void ConvertToScreen(BPoint* point) const;
    BPoint ConvertToScreen(BPoint point) const;
    void ConvertFromScreen(BPoint* point) const;
    BPoint ConvertFromScreen(BPoint point) const;
    void ConvertToScreen(BRect* rect) const;
    BRect ConvertToScreen(BRect rect) const;
    void ConvertFromScreen(BRect* rect) const;
    BRect ConvertFromScreen(BRect rect) const;

    void MoveBy(float dx, float dy);
    void MoveTo(BPoint where);
    void MoveTo(float x, float y);
    void ResizeBy(float dx, float dy);
    void ResizeTo(float width, float height);
    void CenterOnScreen();

    virtual void Show();
    virtual void Hide();
    bool IsHidden() const;
    bool IsMinimized() const;

    BRect Bounds() const;
    BRect Frame() const;
    const char* Title() const;
    void SetTitle(const char* title);

    void SetKeyMenuBar(BMenuBar* bar);
    BMenuBar* KeyMenuBar() const;

    void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
    void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight);

    uint32 Workspaces() const;
    void SetWorkspaces(uint32 workspaces);

    status_t SetType(window_type type);
    window_type Type() const;
    status_t SetLook(window_look look);
    window_look Look() const;
    status_t SetFeel(window_feel feel);
    window_feel Feel() const;
    status_t SetFlags(uint32 flags);
    uint32 Flags() const;
    bool IsModal() const;
    bool IsFloating() const;
    status_t AddToSubset(BWindow* window);
    status_t RemoveFromSubset(BWindow* window);

protected:
    void DispatchPulse() override;
    void LoopStarted() override;

private:
    friend class BBitmap;
    friend class BView;
    friend class BPrivate::MenuTracker;
    friend class BPrivate::WindowAccess;

    struct Shortcut {
        uint32 key;
        uint32 modifiers;
        std::unique_ptr<BMessage> message;
        BHandler* target;
    };

    // What the window knows of an input event that is queued but not handled
    // yet, so that GetMouse can read ahead in a drag loop.
    struct PendingInput {
        int64 sequence;
        uint32 what;
        BPoint where;
        uint32 buttons;
        bool consumed;
        // The queue was full: the event waits here to be handled between
        // messages.
        bool unposted;
        std::shared_ptr<const BMessage> message;
    };

    struct MouseState {
        BPoint where;
        uint32 buttons = 0;
        uint32 modifiers = 0;
    };

    // An off-screen window holds the views drawing into a bitmap; it never
    // runs and never shows.
    struct OffscreenTag { };
    BWindow(OffscreenTag, BRect bounds, std::unique_ptr<BPrivate::RenderSurface> surface);

    void InitWindow(BRect frame, const char* title, window_look look, window_feel feel,
        uint32 flags, uint32 workspace);
    static void DecomposeType(window_type type, window_look* look, window_feel* feel);

    // Dispatching input (WindowDispatch.cpp).
    bool DispatchInput(BMessage* message);
    void HandleMouseDown(BMessage* message);
    void HandleMouseUp(BMessage* message);
    void HandleMouseMoved(BMessage* message);
    void HandleKeyDown(BMessage* message);
    void HandleKeyUp(BMessage* message);
    void HandleDrop(BMessage* message);
    void HandleWindowEvent(BMessage* message);
    bool HandleShortcut(BMessage* message, uint32 key, uint32 modifiers);
    void AddDefaultShortcuts();
    void SendMouseMoved(BView* view, BMessage* message, BPoint where, uint32 transit);
    void PrepareMouseMessage(BMessage* message, BView* view, BPoint windowWhere);
    BView* ViewAt(BPoint windowWhere) const;
    bool IsBlockedByModal() const;
    void NavigateFocus(bool forward, bool jump);
    void SetFocus(BView* view);
    void ViewDetached(BView* view);
    void RetireMenuTracker();
    void OpenRequestedMenu(BMessage* message);

    // The display's events (WindowEvents.cpp).
    std::unique_ptr<BMessage> TranslateEvent(const BPrivate::DisplayEvent& event);
    void DrainDisplayEvents();
    void DeliverUndelivered();

    // The pending input record (WindowInput.cpp).
    status_t PostInput(BMessage* message);
    bool TakePendingInput(BMessage* message);
    bool ReadAheadMouse(MouseState* state);
    MouseState LatestMouse() const;
    void RunNestedInputLoop(const std::function<bool()>& done);

    // Drawing (WindowUpdate.cpp).
    void InvalidateWindowRect(const BPrivate::ClipRegion& area);
    void RequestUpdate();
    void DrawPendingUpdates();
    void DrawView(BView* view, const BPrivate::ClipRegion& dirty);
    void PresentPending();
    void NoteDirectDrawing(const BPrivate::ClipRegion& area);
    void GeometryChanged();
    uint64 DrawGeneration() const { return fDrawGeneration; }
    const BPrivate::ClipRegion* UpdateRegion() const;
    void ResizeBackingStore();
    void UpdatePulseNeeds();

    std::string fTitle;
    BRect fFrame;
    window_look fLook;
    window_feel fFeel;
    uint32 fFlags;
    uint32 fWorkspaces;
    int32 fShowLevel = 1;
    bool fMinimized = false;
    bool fActive = false;
    bool fOffscreen = false;
    std::vector<BWindow*> fSubset;

    std::unique_ptr<BPrivate::TopView> fTopView;
    BView* fFocus = nullptr;
    BButton* fDefaultButton = nullptr;
    BMenuBar* fKeyMenuBar = nullptr;
    BView* fLastMouseMovedView = nullptr;
    BView* fMouseEventView = nullptr;
    uint32 fMouseEventOptions = 0;
    BView* fMouseDownView = nullptr;

    bigtime_t fPulseRate = 500000;
    std::vector<Shortcut> fShortcuts;
    float fMinWidth = 0;
    float fMaxWidth = 32768;
    float fMinHeight = 0;
    float fMaxHeight = 32768;
    float fMaxZoomWidth = 32768;
    float fMaxZoomHeight = 32768;
    BRect fPreviousZoomFrame;
    bool fZoomed = false;

    std::unique_ptr<BPrivate::WindowLink> fLink;
    std::unique_ptr<BPrivate::ClipRegion> fDirty;
    std::unique_ptr<BPrivate::ClipRegion> fPendingPresent;
    std::unique_ptr<BPrivate::ClipRegion> fUpdateRegion;
    bool fUpdateRequested = false;
    int32 fUpdatesDisabled = 0;
    uint64 fDrawGeneration = 1;

    mutable std::mutex fInputLock;
    std::deque<PendingInput> fPendingInput;
    int64 fNextInputSequence = 0;
    MouseState fMouse;

    std::unique_ptr<BPrivate::MenuTracker> fMenuTracker;
    std::vector<std::unique_ptr<BPrivate::MenuTracker>> fRetiredTrackers;
    std::vector<std::unique_ptr<BMessage>> fUndelivered;
    bool fDelivering = false;
};
