#include "LibWindow.h"

#include "LibInterfaceTestSupport.h"

#include <Screen.h>

#include <gtest/gtest.h>

#include <cmath>

#include <memory>

using namespace brenvik::test;

namespace {

// A LibWindow of a test, quit when the test ends.
class TestLibWindow {
public:
    explicit TestLibWindow(
        BRect frame, window_look look = B_TITLED_WINDOW_LOOK, const char* title = "placed")
        : fWindow(new Window(frame, title, look))
        , fMessenger(fWindow)
    {
    }

    ~TestLibWindow()
    {
        if (fMessenger.LockTarget())
            fWindow->Quit();
    }

    LibWindow* operator->() const { return fWindow; }
    LibWindow* Get() const { return fWindow; }

    BPoint LeftTop() const
    {
        BPoint where;
        WithLock(fWindow, [&] { where = fWindow->Frame().LeftTop(); });
        return where;
    }

    bool Hidden() const
    {
        bool hidden = false;
        WithLock(fWindow, [&] { hidden = fWindow->IsHidden(); });
        return hidden;
    }

    // What InsertHelpRequest adds, or nothing when empty.
    void SetHelpInsert(const char* text) { fWindow->fInsert = text; }

private:
    class Window : public LibWindow {
    public:
        Window(BRect frame, const char* title, window_look look)
            : LibWindow(frame, title, look, B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE)
        {
        }

        bool InsertHelpRequest(BView* view, BMessage& request) override
        {
            if (fInsert.empty())
                return false;
            request.AddString("topic", fInsert.c_str());
            request.AddString("asked_about", view->Name());
            return true;
        }

        std::string fInsert;
    };

    Window* fWindow;
    BMessenger fMessenger;
};

// A window 200 × 100 (its bounds are 199 × 99).
const BRect kWindowFrame(0, 0, 199, 99);
constexpr float kW = 199;
constexpr float kH = 99;
constexpr float kTitle = 30;

// Windows lie on whole pixels: a position halfway between two is rounded up.
BPoint Pixel(float x, float y)
{
    return BPoint(std::floor(x + 0.5f), std::floor(y + 0.5f));
}

BRect Screen()
{
    return BScreen().Frame();
}

struct PlaceCase {
    const char* name;
    uint32 position;
    // The expected top left corner on a screen, without a reference window.
    std::function<BPoint(BRect screen)> expected;
};

std::ostream& operator<<(std::ostream& stream, const PlaceCase& place)
{
    return stream << place.name;
}

class LibWindowPlaceTest : public testing::TestWithParam<PlaceCase> { };

float CenterX(BRect screen)
{
    return screen.right / 2 - kW / 2;
}

float CenterY(BRect screen)
{
    return screen.bottom / 2 - kH / 2;
}

} // namespace

TEST_P(LibWindowPlaceTest, PlacesTheWindowOnTheScreen)
{
    TestLibWindow window(kWindowFrame.OffsetByCopy(333, 222));
    WithLock(window.Get(), [&] { window->SetPosition(GetParam().position); });
    EXPECT_EQ(window.LeftTop(), GetParam().expected(Screen()));
}

INSTANTIATE_TEST_SUITE_P(Positions, LibWindowPlaceTest,
    testing::Values(PlaceCase { "top_left", 0, [](BRect) { return Pixel(10, kTitle); } },
        PlaceCase { "top_center", 1, [](BRect s) { return Pixel(CenterX(s), kTitle); } },
        PlaceCase { "top_right", 2, [](BRect s) { return Pixel(s.right - kW - 10, kTitle); } },
        PlaceCase { "center_left", 3, [](BRect s) { return Pixel(10, CenterY(s)); } },
        PlaceCase { "center", 4, [](BRect s) { return Pixel(CenterX(s), CenterY(s)); } },
        PlaceCase {
            "center_right", 5, [](BRect s) { return Pixel(s.right - kW - 10, CenterY(s)); } },
        PlaceCase { "bottom_left", 6, [](BRect s) { return Pixel(10, s.bottom - kH - 10); } },
        PlaceCase {
            "bottom_center", 7, [](BRect s) { return Pixel(CenterX(s), s.bottom - kH - 10); } },
        PlaceCase { "bottom_right", 8,
            [](BRect s) { return Pixel(s.right - kW - 10, s.bottom - kH - 10); } },
        // Not a position: the window stays.
        PlaceCase { "unknown", 9, [](BRect) { return BPoint(333, 222); } }),
    [](const testing::TestParamInfo<PlaceCase>& param) { return std::string(param.param.name); });

TEST(LibWindowTest, PlacesAroundAReferenceWindow)
{
    BRect screen = Screen();
    BRect middle(screen.right / 2 - 50, screen.bottom / 2 - 50, screen.right / 2 + 50,
        screen.bottom / 2 + 50);
    TestLibWindow reference(middle);
    TestLibWindow window(kWindowFrame);
    struct Expectation {
        uint32 position;
        BPoint where;
    };
    const Expectation expectations[] = {
        { 0, Pixel(middle.left - kW - 20, middle.top - kH - kTitle) },
        { 4,
            Pixel((middle.left + middle.right) / 2 - kW / 2,
                (middle.top + middle.bottom) / 2 - kH / 2) },
        { 8, Pixel(middle.right + 20, middle.bottom + kTitle + 10) },
    };
    for (const Expectation& expectation : expectations) {
        WithLock(window.Get(), [&] { window->SetPosition(expectation.position, reference.Get()); });
        EXPECT_EQ(window.LeftTop(), expectation.where) << "position " << expectation.position;
    }
}

TEST(LibWindowTest, KeepsAWindowPlacedAroundAnotherOnTheScreen)
{
    BRect screen = Screen();
    TestLibWindow window(kWindowFrame);
    struct Expectation {
        BRect reference;
        uint32 position;
        BPoint where;
    };
    const Expectation expectations[] = {
        // Left of a window near the left edge: corrected to 2.
        { BRect(5, 300, 105, 400), 3, Pixel(2, 350 - kH / 2) },
        // Above a window at the top: corrected to 25.
        { BRect(300, 10, 400, 110), 1, Pixel(350 - kW / 2, 25) },
        // Right of a window at the right edge, below one at the bottom.
        { BRect(screen.right - 100, 300, screen.right - 1, 400), 5,
            Pixel(screen.right - kW - 5, 350 - kH / 2) },
        { BRect(300, screen.bottom - 60, 400, screen.bottom - 1), 7,
            Pixel(350 - kW / 2, screen.bottom - kH - 5) },
    };
    for (const Expectation& expectation : expectations) {
        TestLibWindow reference(expectation.reference);
        WithLock(window.Get(), [&] { window->SetPosition(expectation.position, reference.Get()); });
        EXPECT_EQ(window.LeftTop(), expectation.where) << "position " << expectation.position;
    }
}

TEST(LibWindowTest, LeavesNoRoomForATitleWithoutOne)
{
    TestLibWindow window(kWindowFrame, B_BORDERED_WINDOW_LOOK);
    WithLock(window.Get(), [&] { window->SetPosition(LibWindow::kTopLeft); });
    EXPECT_EQ(window.LeftTop(), BPoint(10, 0));
}

TEST(LibWindowTest, CentresAWindowLargerThanTheScreenOffIt)
{
    BRect screen = Screen();
    TestLibWindow window(BRect(0, 0, screen.right + 200, screen.bottom + 100));
    WithLock(window.Get(), [&] { window->SetPosition(LibWindow::kCenter); });
    BPoint where = window.LeftTop();
    EXPECT_LT(where.x, 0);
    EXPECT_LT(where.y, 0);
    EXPECT_EQ(where,
        Pixel(screen.right / 2 - (screen.right + 200) / 2,
            screen.bottom / 2 - (screen.bottom + 100) / 2));
}

TEST(LibWindowTest, KeepsItsRelativePlaceWhenTheScreenChanges)
{
    BRect screen = Screen();
    TestLibWindow window(kWindowFrame.OffsetByCopy(100, 200));
    BRect larger(0, 0, screen.right * 2, screen.bottom * 2);
    WithLock(window.Get(), [&] { window->ScreenChanged(larger, B_RGB32); });
    EXPECT_EQ(window.LeftTop(),
        Pixel(100 * larger.right / screen.right, 200 * larger.bottom / screen.bottom));
    EXPECT_EQ(window->ScreenFrame(), larger);
    // The same screen again moves nothing.
    BPoint before = window.LeftTop();
    WithLock(window.Get(), [&] { window->ScreenChanged(larger, B_RGB32); });
    EXPECT_EQ(window.LeftTop(), before);
    // From a screen of no size there are no proportions to keep (and no
    // division by zero).
    WithLock(window.Get(), [&] {
        window->ScreenChanged(BRect(0, 0, 0, 0), B_RGB32);
        window->MoveTo(before);
        window->ScreenChanged(larger, B_RGB32);
    });
    EXPECT_EQ(window.LeftTop(), before);
    EXPECT_EQ(window->ScreenFrame(), larger);
}

TEST(LibWindowTest, ShowAndHideNeverNest)
{
    TestLibWindow window(kWindowFrame);
    window->Show();
    window->Show();
    EXPECT_FALSE(window.Hidden());
    window->Hide();
    EXPECT_TRUE(window.Hidden());
    window->Hide();
    window->Show();
    EXPECT_FALSE(window.Hidden());
}

TEST(LibWindowTest, PopShowsAHiddenWindowInFront)
{
    TestLibWindow window(kWindowFrame);
    TestLibWindow other(kWindowFrame.OffsetByCopy(50, 50));
    window->Show();
    other->Show();
    ASSERT_TRUE(WaitUntilSettled(other.Get()));
    window->Hide();
    window->Pop();
    EXPECT_FALSE(window.Hidden());
    EXPECT_TRUE(WaitUntil([&] {
        bool front = false;
        WithLock(window.Get(), [&] { front = window->IsFront(); });
        return front;
    }));
}

namespace {

class LibWindowHelpTest : public testing::Test {
protected:
    // Shows the window, with the views panel > box > inner when asked, moves
    // the mouse to where `inner` is, and presses F1 with the modifiers.
    void PressF1(TestLibWindow& window, bool withViews, uint32 modifiers)
    {
        if (withViews) {
            BView* box = new BView(BRect(10, 10, 150, 80), "box", B_FOLLOW_NONE, B_WILL_DRAW);
            box->AddChild(new BView(BRect(10, 10, 60, 40), "inner", B_FOLLOW_NONE, B_WILL_DRAW));
            Panel(window.Get())->AddChild(box);
        }
        window->Show();
        ASSERT_TRUE(WaitUntilSettled(window.Get()));
        ASSERT_EQ(Display().InjectMouseMoved(DisplayId(window.Get()), BPoint(30, 30), 0), B_OK);
        ASSERT_TRUE(WaitUntilSettled(window.Get()));
        ASSERT_TRUE(PressKey(window.Get(), "\x10", B_F1_KEY, modifiers));
        fApplication.Sync();
    }

    RunningApplication fApplication;
};

} // namespace

TEST_F(LibWindowHelpTest, ShiftF1AsksForHelpOnTheViewUnderTheMouse)
{
    TestLibWindow window(kWindowFrame.OffsetByCopy(40, 40), B_TITLED_WINDOW_LOOK, "Helpful");
    window.SetHelpInsert("disks");
    PressF1(window, true, B_SHIFT_KEY);
    ASSERT_TRUE(fApplication.WaitFor(LibWindow::kMsgHelpRequest));
    BMessage request = fApplication.Messages(LibWindow::kMsgHelpRequest).front();
    EXPECT_STREQ(request.GetString("window", ""), "Helpful");
    const char* views[] = { "inner", "box", "panel" };
    for (int32 i = 0; i < 3; i++)
        EXPECT_STREQ(request.GetString("view", i, ""), views[i]);
    EXPECT_FALSE(request.HasString("view", 3));
    BMessage inserts;
    ASSERT_EQ(request.FindMessage("inserts", &inserts), B_OK);
    EXPECT_STREQ(inserts.GetString("topic", ""), "disks");
    EXPECT_STREQ(inserts.GetString("asked_about", ""), "inner");
}

TEST_F(LibWindowHelpTest, ShiftF1OverNoViewAsksNothing)
{
    TestLibWindow window(kWindowFrame.OffsetByCopy(40, 40));
    PressF1(window, false, B_SHIFT_KEY);
    EXPECT_EQ(fApplication.Count(LibWindow::kMsgHelpRequest), 0);
}

TEST_F(LibWindowHelpTest, F1WithoutShiftAsksNothing)
{
    TestLibWindow window(kWindowFrame.OffsetByCopy(40, 40));
    PressF1(window, true, 0);
    EXPECT_EQ(fApplication.Count(LibWindow::kMsgHelpRequest), 0);
}
