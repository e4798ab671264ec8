#include "LibWindow.h"

#include <Application.h>
#include <Screen.h>
#include <View.h>

namespace {

// Room above a window for its title tab.
float TitleRoom(const BWindow* window)
{
    window_type type = window->Type();
    return type == B_TITLED_WINDOW || type == B_DOCUMENT_WINDOW ? 30 : 0;
}

// The left edge of column 0, 1 or 2 of a window of width `width`, against a
// frame (the screen or a reference window).
float ColumnLeft(uint32 column, float width, BRect frame, bool onScreen)
{
    switch (column) {
    case 0:
        return onScreen ? 10 : frame.left - width - 20;
    case 1:
        return (onScreen ? frame.right / 2 : (frame.left + frame.right) / 2) - width / 2;
    default:
        return onScreen ? frame.right - width - 10 : frame.right + 20;
    }
}

float RowTop(uint32 row, float height, float title, BRect frame, bool onScreen)
{
    switch (row) {
    case 0:
        return onScreen ? title : frame.top - height - title;
    case 1:
        return (onScreen ? frame.bottom / 2 : (frame.top + frame.bottom) / 2) - height / 2;
    default:
        return onScreen ? frame.bottom - height - 10 : frame.bottom + title + 10;
    }
}

} // namespace

LibWindow::LibWindow(BRect frame, const char* title, window_look look, window_feel feel,
    uint32 flags, uint32 workspace)
    : BWindow(frame, title, look, feel, flags, workspace)
    , fScreenFrame(0, 0, -1, -1)
{
    fScreenFrame = BScreen().Frame();
}

LibWindow::~LibWindow() = default;

void LibWindow::SetPosition(const uint32& position, BWindow* reference)
{
    if (position > kBottomRight)
        return;
    BRect bounds = Bounds();
    float width = bounds.right - bounds.left;
    float height = bounds.bottom - bounds.top;
    BRect screen = BScreen().Frame();
    float title = TitleRoom(this);
    bool onScreen = reference == nullptr;
    BRect frame = onScreen ? screen : reference->Frame();
    float x = ColumnLeft(position % 3, width, frame, onScreen);
    float y = RowTop(position / 3, height, title, frame, onScreen);
    if (!onScreen) {
        // Around another window the window stays on the screen.
        if (y < 0)
            y = 25;
        else if (y >= screen.bottom - height)
            y = screen.bottom - height - 5;
        if (x < 0)
            x = 2;
        else if (x >= screen.right - width)
            x = screen.right - width - 5;
    }
    MoveTo(x, y);
}

void LibWindow::ScreenChanged(BRect screenFrame, color_space depth)
{
    BWindow::ScreenChanged(screenFrame, depth);
    if (screenFrame == fScreenFrame)
        return;
    float oldWidth = fScreenFrame.right - fScreenFrame.left;
    float oldHeight = fScreenFrame.bottom - fScreenFrame.top;
    // A screen of no size (never known) gives no proportions to keep.
    if (oldWidth > 0 && oldHeight > 0) {
        BRect frame = Frame();
        MoveTo(frame.left * (screenFrame.right - screenFrame.left) / oldWidth,
            frame.top * (screenFrame.bottom - screenFrame.top) / oldHeight);
    }
    fScreenFrame = screenFrame;
}

void LibWindow::Show()
{
    Lock();
    bool hidden = IsHidden();
    Unlock();
    if (hidden)
        BWindow::Show();
}

void LibWindow::Hide()
{
    Lock();
    bool hidden = IsHidden();
    Unlock();
    if (!hidden)
        BWindow::Hide();
}

void LibWindow::Pop()
{
    Lock();
    SetWorkspaces(B_CURRENT_WORKSPACE);
    if (IsHidden())
        Show();
    if (!IsFront())
        Activate();
    Unlock();
}

bool LibWindow::InsertHelpRequest(BView* /*view*/, BMessage& /*request*/)
{
    return false;
}

void LibWindow::MessageReceived(BMessage* message)
{
    if (message->what == B_KEY_DOWN) {
        int32 modifiers = 0;
        int32 key = 0;
        message->FindInt32("modifiers", &modifiers);
        message->FindInt32("key", &key);
        if ((modifiers & B_SHIFT_KEY) != 0 && key == B_F1_KEY) {
            Lock();
            PostHelpRequest();
            Unlock();
        }
    }
    BWindow::MessageReceived(message);
}

bool LibWindow::PostHelpRequest()
{
    BView* view = LastMouseMovedView();
    if (view == nullptr || be_app == nullptr)
        return false;
    BMessage request(kMsgHelpRequest);
    request.AddString("window", Title());
    request.AddString("view", view->Name() != nullptr ? view->Name() : "");
    BMessage inserts;
    if (InsertHelpRequest(view, inserts))
        request.AddMessage("inserts", &inserts);
    for (BView* parent = view->Parent(); parent != nullptr; parent = parent->Parent())
        request.AddString("view", parent->Name() != nullptr ? parent->Name() : "");
    return be_app->PostMessage(&request) == B_OK;
}
