#include <Alert.h>

#include <Invoker.h>
#include <Looper.h>
#include <Screen.h>

#include <BlockingPoint.h>

#include "AlertView.h"
#include "Desktop.h"
#include "WindowPrivate.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

// The fixed metrics of the alert's layout, at the plain font's size of 11
// points (they scale with it).
constexpr float kMinimumWidth = 310;
constexpr float kInitialHeight = 75;
constexpr float kRightMargin = 8;
constexpr float kBottomMargin = 8;
constexpr float kTextTop = 6;
constexpr float kTextLeftWithIcon = 55;
constexpr float kTextLeftWithoutIcon = 10;
constexpr float kTextToButtons = 10;
constexpr float kButtonSpacing = 6;
constexpr float kOffsetSpacing = 62;
constexpr float kUsualButtonWidth = 75;
constexpr float kRoomBesideButtonsWithIcon = 57;
constexpr float kRoomBesideButtonsWithoutIcon = 12;

// Sent to an alert whose Go() caller went away (its thread was killed).
constexpr uint32 kMsgAbandoned = '_ALA';

} // namespace

struct BAlert::WaitState {
    std::mutex lock;
    std::condition_variable_any condition;
    bool done = false;
    int32 result = -1;

    void Finish(int32 which)
    {
        {
            std::lock_guard guard(lock);
            if (done)
                return;
            done = true;
            result = which;
        }
        condition.notify_all();
    }
};

namespace {

std::mutex sDefaultTitleLock;
std::string* sDefaultTitle = nullptr;

// The title an alert is made with: its own, else the program's default.
std::string TitleOrDefault(const char* title)
{
    if (title != nullptr && title[0] != '\0')
        return title;
    return BAlert::DefaultTitle();
}

} // namespace

void BAlert::SetDefaultTitle(const char* title)
{
    std::lock_guard guard(sDefaultTitleLock);
    if (sDefaultTitle == nullptr)
        sDefaultTitle = new std::string;
    *sDefaultTitle = title != nullptr ? title : "";
}

std::string BAlert::DefaultTitle()
{
    {
        std::lock_guard guard(sDefaultTitleLock);
        if (sDefaultTitle != nullptr && !sDefaultTitle->empty())
            return *sDefaultTitle;
    }
    // The program's file name, as its windows are commonly titled.
    char path[B_PATH_NAME_LENGTH];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0)
        return std::string();
    std::string program(path, size_t(length));
    return program.substr(program.find_last_of('/') + 1);
}

BAlert::BAlert(const char* title, const char* text, const char* button1, const char* button2,
    const char* button3, button_width width, alert_type type)
    : BWindow(BRect(0, 0, kMinimumWidth, kInitialHeight), TitleOrDefault(title).c_str(),
        B_MODAL_WINDOW, B_NOT_CLOSABLE | B_NOT_RESIZABLE | B_ASYNCHRONOUS_CONTROLS)
{
    InitAlert(text, button1, button2, button3, width, B_EVEN_SPACING, type);
}

BAlert::BAlert(const char* title, const char* text, const char* button1, const char* button2,
    const char* button3, button_width width, button_spacing spacing, alert_type type)
    : BWindow(BRect(0, 0, kMinimumWidth, kInitialHeight), TitleOrDefault(title).c_str(),
        B_MODAL_WINDOW, B_NOT_CLOSABLE | B_NOT_RESIZABLE | B_ASYNCHRONOUS_CONTROLS)
{
    InitAlert(text, button1, button2, button3, width, spacing, type);
}

BAlert::~BAlert()
{
    // An alert closed without a button (the program quits) answers -1.
    if (fWaitState != nullptr)
        fWaitState->Finish(-1);
}

void BAlert::InitAlert(const char* text, const char* button1, const char* button2,
    const char* button3, button_width width, button_spacing spacing, alert_type type)
{
    fType = type;
    fWaitState = std::make_shared<WaitState>();
    BPrivate::AlertView* master = new BPrivate::AlertView(Bounds(), type);
    AddChild(master);

    const char* labels[3] = { button1, button2, button3 };
    for (int32 i = 0; i < 3 && labels[i] != nullptr; i++) {
        BMessage* message = new BMessage(kMsgButton);
        message->AddInt32("which", i);
        char name[8];
        std::snprintf(name, sizeof(name), "_b%d_", int(i));
        fButtons[i] = new BButton(
            BRect(0, 0, 10, 10), name, labels[i], message, B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
        master->AddChild(fButtons[i]);
        fButtonCount++;
    }
    LayoutButtons(width, spacing);

    float buttonTop = fButtonCount > 0 ? fButtons[0]->Frame().top : Bounds().bottom - kBottomMargin;
    float textLeft = type != B_EMPTY_ALERT ? kTextLeftWithIcon : kTextLeftWithoutIcon;
    BRect textFrame(textLeft, kTextTop, Bounds().right - kRightMargin, buttonTop - kTextToButtons);
    fTextView
        = new BTextView(textFrame, "_tv_", textFrame.OffsetToCopy(0, 0), B_FOLLOW_ALL, B_WILL_DRAW);
    fTextView->MakeEditable(false);
    fTextView->MakeSelectable(false);
    fTextView->SetWordWrap(true);
    fTextView->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    fTextView->SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    rgb_color textColor = ui_color(B_PANEL_TEXT_COLOR);
    fTextView->SetFontAndColor(be_plain_font, B_FONT_ALL, &textColor);
    fTextView->SetText(text != nullptr ? text : "");
    // Before the buttons, so that Tab reaches what a subclass puts in the
    // text (a check box) first, in reading order.
    master->AddChild(fTextView, fButtons[0]);

    // The window takes the height the text needs.
    float textHeight = fTextView->TextHeight(0, fTextView->CountLines() - 1);
    float delta = textHeight - (textFrame.Height() + 1);
    ResizeBy(0, delta);

    if (fButtonCount > 0)
        fButtons[fButtonCount - 1]->MakeDefault(true);
}

void BAlert::LayoutButtons(button_width width, button_spacing spacing)
{
    float factor = be_plain_font->Size() / 11;
    float widths[3] = {};
    float height = 0;
    float widest = 0;
    for (int32 i = 0; i < fButtonCount; i++) {
        float preferredWidth = 0;
        float preferredHeight = 0;
        fButtons[i]->GetPreferredSize(&preferredWidth, &preferredHeight);
        widths[i] = preferredWidth;
        if (width == B_WIDTH_AS_USUAL)
            widths[i] = std::max(widths[i], std::ceil(kUsualButtonWidth * factor));
        widest = std::max(widest, widths[i]);
        height = std::max(height, preferredHeight);
    }
    float total = 0;
    for (int32 i = 0; i < fButtonCount; i++) {
        if (width == B_WIDTH_FROM_WIDEST)
            widths[i] = widest;
        total += widths[i];
    }
    total += kButtonSpacing * float(std::max(int32(0), fButtonCount - 1));
    float offset
        = spacing == B_OFFSET_SPACING && fButtonCount > 1 ? std::ceil(kOffsetSpacing * factor) : 0;
    total += offset;

    float room
        = fType != B_EMPTY_ALERT ? kRoomBesideButtonsWithIcon : kRoomBesideButtonsWithoutIcon;
    float windowWidth = std::max(std::ceil(kMinimumWidth * factor), total + kRightMargin + room);
    ResizeTo(windowWidth, kInitialHeight);

    // Right-aligned in one row, the last button rightmost.
    float right = Bounds().right - kRightMargin;
    float bottom = Bounds().bottom - kBottomMargin;
    for (int32 i = fButtonCount - 1; i >= 0; i--) {
        fButtons[i]->MoveTo(right - widths[i], bottom - height);
        fButtons[i]->ResizeTo(widths[i], height);
        right -= widths[i] + kButtonSpacing;
        if (i == 1)
            right -= offset;
    }
}

void BAlert::SetShortcut(int32 index, char key)
{
    if (index >= 0 && index < fButtonCount)
        fKeys[index] = key;
}

char BAlert::Shortcut(int32 index) const
{
    if (index >= 0 && index < fButtonCount)
        return fKeys[index];
    return 0;
}

BPoint BAlert::AlertPosition(float width, float height)
{
    BRect screen = BScreen().Frame();
    BRect frame = screen;
    BPrivate::Desktop::Default().FrontWindowFrame(nullptr, &frame);
    BPoint where(std::floor(frame.left + (frame.Width() - width) / 2),
        std::floor(frame.top + frame.Height() / 4 - std::ceil(height / 3)));
    // On the screen, whatever the window behind it.
    where.x = std::clamp(where.x, screen.left, std::max(screen.left, screen.right - width));
    where.y = std::clamp(where.y, screen.top, std::max(screen.top, screen.bottom - height));
    return where;
}

int32 BAlert::Go()
{
    std::shared_ptr<WaitState> state = fWaitState;
    BMessenger self(this);
    BWindow* caller = dynamic_cast<BWindow*>(BLooper::LooperForThread(find_thread(nullptr)));

    // A caller unwound while it waits (its thread killed) takes the alert
    // away with it.
    struct Abandon {
        std::shared_ptr<WaitState> state;
        BMessenger alert;
        ~Abandon()
        {
            bool done;
            {
                std::lock_guard guard(state->lock);
                done = state->done;
            }
            if (!done)
                alert.SendMessage(kMsgAbandoned);
        }
    } abandon { state, self };

    MoveTo(AlertPosition(Frame().Width(), Frame().Height()));
    Show();

    std::unique_lock lock(state->lock);
    while (!state->done) {
        if (caller != nullptr && caller != this) {
            // A window that waits on its own thread keeps its pixels up to
            // date.
            lock.unlock();
            caller->UpdateIfNeeded();
            lock.lock();
        }
        BPrivate::WaitInterruptibly(
            state->condition, lock, system_time() + 50000, [&] { return state->done; });
    }
    return state->result;
}

status_t BAlert::Go(BInvoker* invoker)
{
    fInvoker.reset(invoker);
    MoveTo(AlertPosition(Frame().Width(), Frame().Height()));
    Show();
    return B_OK;
}

void BAlert::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case kMsgButton: {
        int32 which = -1;
        message->FindInt32("which", &which);
        Finish(which);
        break;
    }
    case kMsgAbandoned:
        Finish(-1);
        break;
    case BPrivate::kMsgCloseBoxOfUnclosable:
        // The close box is no way around the question: it answers as the
        // cancel button does.
        if (CancelIndex() >= 0)
            PressButton(CancelIndex());
        break;
    case B_KEY_DOWN:
        if (!HandleKey(message))
            BWindow::MessageReceived(message);
        break;
    default:
        BWindow::MessageReceived(message);
        break;
    }
}

bool BAlert::HandleKey(BMessage* message)
{
    const char* bytes = nullptr;
    if (message->FindString("bytes", &bytes) != B_OK || bytes == nullptr || bytes[0] == 0)
        return false;
    int key = std::tolower(uint8(bytes[0]));
    for (int32 i = 0; i < fButtonCount; i++) {
        if (fKeys[i] != 0 && std::tolower(uint8(fKeys[i])) == key) {
            PressButton(i);
            return true;
        }
    }
    if (bytes[0] == B_ESCAPE && fButtonCount > 0) {
        PressButton(CancelIndex());
        return true;
    }
    return false;
}

int32 BAlert::CancelIndex() const
{
    if (fButtonCount == 0)
        return -1;
    for (int32 i = 0; i < fButtonCount; i++) {
        if (fKeys[i] == B_ESCAPE)
            return i;
    }
    return 0;
}

void BAlert::PressButton(int32 index)
{
    BButton* button = fButtons[index];
    if (button == nullptr || !button->IsEnabled())
        return;
    // The button shows the press before it acts.
    button->SetValue(B_CONTROL_ON);
    UpdateIfNeeded();
    button->SetValue(B_CONTROL_OFF);
    button->Invoke();
}

void BAlert::Finish(int32 which)
{
    if (fFinished)
        return;
    fFinished = true;
    if (fInvoker != nullptr && which >= 0) {
        BMessage* message = fInvoker->Message();
        if (message != nullptr) {
            BMessage copy(*message);
            copy.AddInt32("which", which);
            fInvoker->Invoke(&copy);
        }
    }
    fWaitState->Finish(which);
    Quit();
}

void BAlert::FrameResized(float newWidth, float newHeight)
{
    BWindow::FrameResized(newWidth, newHeight);
}

BButton* BAlert::ButtonAt(int32 index) const
{
    if (index < 0 || index >= fButtonCount)
        return nullptr;
    return fButtons[index];
}

BTextView* BAlert::TextView() const
{
    return fTextView;
}

alert_type BAlert::Type() const
{
    return fType;
}

int32 BAlert::CountButtons() const
{
    return fButtonCount;
}
