#include <Button.h>
#include <CheckBox.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace brenvik::test;

namespace {

struct ConversionCase {
    BRect windowFrame;
    BRect parentFrame;
    BPoint parentScroll;
    BRect childFrame;
    BPoint childScroll;
    BPoint point;
    // Where `point` (in the child's coordinates) lies in the window.
    BPoint inWindow;
};

std::ostream& operator<<(std::ostream& stream, const ConversionCase& sample)
{
    return stream << "child at " << sample.childFrame.left << "," << sample.childFrame.top;
}

class ViewConversionTest : public testing::TestWithParam<ConversionCase> { };

} // namespace

TEST_P(ViewConversionTest, ConvertsBetweenViewParentWindowAndScreen)
{
    const ConversionCase& sample = GetParam();
    BWindow* window
        = new BWindow(sample.windowFrame, "convert", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    BView* parent = new BView(sample.parentFrame, "parent", B_FOLLOW_NONE, 0);
    BView* child = new BView(sample.childFrame, "child", B_FOLLOW_NONE, 0);
    window->AddChild(parent);
    parent->AddChild(child);
    parent->ScrollTo(sample.parentScroll);
    child->ScrollTo(sample.childScroll);

    BPoint screen = sample.inWindow + sample.windowFrame.LeftTop();
    EXPECT_EQ(child->ConvertToScreen(sample.point), screen);
    EXPECT_EQ(child->ConvertFromScreen(screen), sample.point);
    EXPECT_EQ(parent->ConvertFromScreen(screen), child->ConvertToParent(sample.point));
    EXPECT_EQ(child->ConvertFromParent(child->ConvertToParent(sample.point)), sample.point);
    BRect rect(sample.point, sample.point + BPoint(4, 3));
    BRect converted = child->ConvertToScreen(rect);
    EXPECT_EQ(converted.LeftTop(), screen);
    EXPECT_EQ(converted.Width(), 4);
    EXPECT_EQ(child->Bounds().LeftTop(), sample.childScroll);
    EXPECT_EQ(child->Parent(), parent);
    EXPECT_EQ(parent->Parent(), nullptr);
    EXPECT_EQ(window->FindView("child"), child);
    window->Quit();
}

INSTANTIATE_TEST_SUITE_P(Trees, ViewConversionTest,
    testing::Values(ConversionCase { BRect(100, 50, 399, 249), BRect(10, 20, 200, 150), B_ORIGIN,
                        BRect(5, 5, 50, 50), B_ORIGIN, BPoint(1, 2), BPoint(16, 27) },
        ConversionCase { BRect(0, 0, 299, 199), BRect(10, 20, 200, 150), BPoint(0, 30),
            BRect(5, 40, 50, 90), B_ORIGIN, BPoint(0, 0), BPoint(15, 30) },
        ConversionCase { BRect(30, 30, 329, 229), BRect(0, 0, 200, 150), BPoint(7, 0),
            BRect(20, 20, 60, 60), BPoint(3, 4), BPoint(10, 10), BPoint(20, 26) }));

namespace {

struct ModeCase {
    uint32 mode;
    BRect expected;
};

class ResizingModeTest : public testing::TestWithParam<ModeCase> { };

} // namespace

TEST_P(ResizingModeTest, ViewsFollowTheirParentsEdgesByTheirMode)
{
    BWindow* window
        = new BWindow(BRect(0, 0, 199, 99), "modes", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    BView* view = new BView(BRect(10, 10, 50, 30), "view", GetParam().mode, 0);
    window->AddChild(view);
    window->ResizeBy(40, 20);
    EXPECT_EQ(view->Frame(), GetParam().expected);
    window->Quit();
}

INSTANTIATE_TEST_SUITE_P(Modes, ResizingModeTest,
    testing::Values(ModeCase { B_FOLLOW_LEFT | B_FOLLOW_TOP, BRect(10, 10, 50, 30) },
        ModeCase { B_FOLLOW_NONE, BRect(10, 10, 50, 30) },
        ModeCase { B_FOLLOW_ALL, BRect(10, 10, 90, 50) },
        ModeCase { B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM, BRect(50, 30, 90, 50) },
        ModeCase { B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, BRect(10, 10, 90, 30) },
        ModeCase { B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER, BRect(30, 20, 70, 40) }));

namespace {

// Records what the window tells it.
class RecordingView : public BView {
public:
    RecordingView(BRect frame, uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS)
        : BView(frame, "recording", B_FOLLOW_ALL, flags)
    {
    }

    void Draw(BRect update) override
    {
        std::lock_guard guard(lock);
        updates.push_back(update);
        SetHighColor(255, 0, 0);
        FillRect(Bounds());
    }
    void MouseMoved(BPoint, uint32 transit, const BMessage*) override
    {
        std::lock_guard guard(lock);
        transits.push_back(transit);
    }
    void MouseDown(BPoint where) override
    {
        // Follows the press with GetMouse until it is released, as drag
        // loops on the original platform do.
        std::vector<BPoint> points { where };
        uint32 buttons = 1;
        bigtime_t deadline = system_time() + 5000000;
        while (buttons != 0 && system_time() < deadline) {
            BPoint location;
            GetMouse(&location, &buttons);
            if (points.back() != location)
                points.push_back(location);
            snooze(1000);
        }
        std::lock_guard guard(lock);
        dragged = points;
        released = buttons == 0;
    }
    void FrameResized(float width, float height) override
    {
        std::lock_guard guard(lock);
        resizedTo = BPoint(width, height);
    }

    std::mutex lock;
    std::vector<BRect> updates;
    std::vector<uint32> transits;
    std::vector<BPoint> dragged;
    bool released = false;
    BPoint resizedTo;
};

} // namespace

TEST(ViewTest, DrawGetsTheInvalidAreaAndCannotPaintBeyondIt)
{
    TestWindow window(BRect(100, 100, 199, 199));
    RecordingView* view = new RecordingView(BRect(0, 0, 99, 99));
    view->SetViewColor(255, 255, 255);
    window.Add(view);
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    WithLock(window.Get(), [&] {
        std::lock_guard guard(view->lock);
        view->updates.clear();
        view->SetViewColor(0, 0, 255);
        view->Invalidate(BRect(10, 10, 19, 19));
    });
    // SetViewColor invalidates all of the view; redraw only a part after it.
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    WithLock(window.Get(), [&] {
        std::lock_guard guard(view->lock);
        view->updates.clear();
    });
    WithLock(window.Get(), [&] { view->Invalidate(BRect(10, 10, 19, 19)); });
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    {
        std::lock_guard guard(view->lock);
        ASSERT_EQ(view->updates.size(), 1u);
        EXPECT_EQ(view->updates[0], BRect(10, 10, 19, 19));
    }
    RgbaImage image = Snapshot(window.Get());
    EXPECT_EQ(image.PixelAt(15, 15)[0], 255);
    EXPECT_EQ(image.PixelAt(15, 15)[2], 0);
}

TEST(ViewTest, MouseMovesReportEnteringStayingAndLeaving)
{
    TestWindow window(BRect(100, 100, 199, 199));
    RecordingView* view = new RecordingView(BRect(20, 20, 59, 59), B_WILL_DRAW);
    view->SetResizingMode(B_FOLLOW_NONE);
    window.Add(view);
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    int32 id = DisplayId(window.Get());
    for (BPoint where : { BPoint(5, 5), BPoint(30, 30), BPoint(31, 31), BPoint(90, 90) }) {
        ASSERT_EQ(Display().InjectMouseMoved(id, where, 0), B_OK);
        ASSERT_TRUE(WaitUntilSettled(window.Get()));
    }
    std::lock_guard guard(view->lock);
    EXPECT_EQ(
        view->transits, (std::vector<uint32> { B_ENTERED_VIEW, B_INSIDE_VIEW, B_EXITED_VIEW }));
}

TEST(ViewTest, GetMouseFollowsADragLoopOnTheWindowThread)
{
    TestWindow window(BRect(100, 100, 199, 199));
    RecordingView* view = new RecordingView(BRect(0, 0, 99, 99));
    window.Add(view);
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    int32 id = DisplayId(window.Get());
    ASSERT_EQ(Display().InjectMouseDown(id, BPoint(10, 10)), B_OK);
    ASSERT_EQ(Display().InjectMouseMoved(id, BPoint(20, 15)), B_OK);
    ASSERT_EQ(Display().InjectMouseMoved(id, BPoint(40, 30), 0x1), B_OK);
    ASSERT_EQ(Display().InjectMouseUp(id, BPoint(40, 30)), B_OK);
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    std::lock_guard guard(view->lock);
    EXPECT_TRUE(view->released);
    ASSERT_GE(view->dragged.size(), 2u);
    EXPECT_EQ(view->dragged.back(), BPoint(40, 30));
}

TEST(ViewTest, FrameEventsReachViewsThatAskForThem)
{
    TestWindow window(BRect(100, 100, 199, 199), "resizable", 0);
    RecordingView* view = new RecordingView(BRect(0, 0, 99, 99));
    window.Add(view);
    window.Show();
    WithLock(window.Get(), [&] { window->ResizeTo(149, 119); });
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    std::lock_guard guard(view->lock);
    EXPECT_EQ(view->resizedTo, BPoint(149, 119));
}

TEST(ViewTest, TabMovesTheFocusAlongTheNavigableViewsSkippingDisabledOnes)
{
    TestWindow window(BRect(100, 100, 299, 199));
    BButton* first = new BButton(BRect(10, 10, 80, 30), "first", "First", nullptr);
    BCheckBox* second = new BCheckBox(BRect(10, 40, 150, 55), "second", "Second", nullptr);
    BButton* third = new BButton(BRect(10, 60, 80, 80), "third", "Third", nullptr);
    BButton* fourth = new BButton(BRect(100, 60, 170, 80), "fourth", "Fourth", nullptr);
    for (BView* view : std::vector<BView*> { first, second, third, fourth })
        window.Add(view);
    third->SetEnabled(false);
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    int32 id = DisplayId(window.Get());
    auto focus = [&] {
        BView* current = nullptr;
        WaitUntilSettled(window.Get());
        WithLock(window.Get(), [&] { current = window->CurrentFocus(); });
        return current;
    };
    ASSERT_EQ(Display().InjectKey(id, "\t"), B_OK);
    EXPECT_EQ(focus(), first);
    ASSERT_EQ(Display().InjectKey(id, "\t"), B_OK);
    EXPECT_EQ(focus(), second);
    ASSERT_EQ(Display().InjectKey(id, "\t"), B_OK);
    EXPECT_EQ(focus(), fourth);
    ASSERT_EQ(Display().InjectKey(id, "\t", 0, kShiftKey), B_OK);
    EXPECT_EQ(focus(), second);
}

TEST(ViewTest, HiddenViewsTakeNoClicksAndAttachHooksRunInOrder)
{
    struct HookView : public BView {
        HookView(std::vector<std::string>* log, const char* name)
            : BView(BRect(0, 0, 20, 20), name, B_FOLLOW_NONE, 0)
            , fLog(log)
        {
        }
        void AttachedToWindow() override { fLog->push_back(std::string("attached ") + Name()); }
        void AllAttached() override { fLog->push_back(std::string("all attached ") + Name()); }
        void DetachedFromWindow() override { fLog->push_back(std::string("detached ") + Name()); }
        std::vector<std::string>* fLog;
    };
    std::vector<std::string> log;
    BWindow* window
        = new BWindow(BRect(0, 0, 99, 99), "hooks", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    HookView* parent = new HookView(&log, "parent");
    parent->AddChild(new HookView(&log, "child"));
    window->AddChild(parent);
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "attached parent", "attached child", "all attached child", "all attached parent" }));
    log.clear();
    parent->Hide();
    EXPECT_TRUE(parent->IsHidden(parent));
    EXPECT_EQ(window->FindView(BPoint(5, 5)), nullptr);
    parent->Show();
    EXPECT_NE(window->FindView(BPoint(5, 5)), nullptr);
    EXPECT_TRUE(window->RemoveChild(parent));
    EXPECT_EQ(log, (std::vector<std::string> { "detached parent", "detached child" }));
    EXPECT_EQ(parent->Window(), nullptr);
    delete parent;
    window->Quit();
}
