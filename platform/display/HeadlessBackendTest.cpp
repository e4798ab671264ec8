#include <HeadlessBackend.h>

#include <DrawingContext.h>
#include <GoldenImage.h>
#include <RenderFont.h>
#include <TestSandbox.h>

#include <cstdlib>
#include <gtest/gtest.h>

using namespace BPrivate;

namespace {

DisplayWindowSpec Spec(BRect frame, uint32 flags = 0, const char* title = "Test")
{
    DisplayWindowSpec spec;
    spec.frame = frame;
    spec.flags = flags;
    spec.title = title;
    return spec;
}

std::vector<DisplayEventType> Types(const std::vector<DisplayEvent>& events)
{
    std::vector<DisplayEventType> types;
    for (const DisplayEvent& event : events)
        types.push_back(event.type);
    return types;
}

TEST(HeadlessBackendTest, WindowsStartHiddenWithAStoreOfTheirSize)
{
    HeadlessBackend backend;
    auto window = backend.CreateWindow(Spec(BRect(100, 50, 555, 307)));
    EXPECT_TRUE(window->IsHidden());
    EXPECT_EQ(window->Frame(), BRect(100, 50, 555, 307));
    EXPECT_EQ(window->Store().Width(), 456);
    EXPECT_EQ(window->Store().Height(), 258);
    EXPECT_EQ(window->Title(), "Test");
    EXPECT_EQ(backend.FindWindow(window->Id()), window);
    EXPECT_EQ(backend.Windows().size(), 1u);
    EXPECT_STREQ(backend.Name(), "headless");
}

TEST(HeadlessBackendTest, MovingAndResizingKeepTheDrawing)
{
    HeadlessBackend backend;
    auto window = backend.CreateWindow(Spec(BRect(0, 0, 9, 9)));
    {
        std::lock_guard<BackingStore> lock(window->Store());
        window->Store().Surface()->Fill(make_color(1, 2, 3));
    }
    window->MoveTo(BPoint(30, 40));
    window->ResizeTo(19, 4);
    EXPECT_EQ(window->Frame(), BRect(30, 40, 49, 44));
    std::lock_guard<BackingStore> lock(window->Store());
    EXPECT_EQ(window->Store().Surface()->Width(), 20);
    EXPECT_EQ(window->Store().Surface()->PixelAt(9, 4), make_color(1, 2, 3));
}

TEST(HeadlessBackendTest, ShowingActivatesAndTheLastShownWindowWins)
{
    HeadlessBackend backend;
    auto first = backend.CreateWindow(Spec(BRect(0, 0, 9, 9)));
    auto second = backend.CreateWindow(Spec(BRect(0, 0, 9, 9)));
    auto tip = backend.CreateWindow(Spec(BRect(0, 0, 9, 9), kWindowAvoidFocus));
    first->Show();
    EXPECT_TRUE(first->IsActive());
    second->Show();
    tip->Show();
    EXPECT_FALSE(first->IsActive());
    EXPECT_TRUE(second->IsActive());
    EXPECT_FALSE(tip->IsActive()) << "tool tips never take the focus";
    EXPECT_EQ(Types(first->Events().PopAll()),
        (std::vector<DisplayEventType> {
            DisplayEventType::kActivated, DisplayEventType::kDeactivated }));
    first->Activate();
    EXPECT_TRUE(first->IsActive());
    EXPECT_EQ(backend.ActiveWindow(), first->Id());
    first->Hide();
    EXPECT_FALSE(first->IsActive());
    EXPECT_EQ(backend.ActiveWindow(), -1);
}

TEST(HeadlessBackendTest, InjectedClicksArriveWithButtonsClicksAndPositions)
{
    HeadlessBackend backend;
    auto window = backend.CreateWindow(Spec(BRect(100, 200, 299, 299)));
    ASSERT_EQ(backend.InjectMouseMoved(window->Id(), BPoint(5, 6)), B_OK);
    ASSERT_EQ(backend.InjectMouseDown(window->Id(), BPoint(10, 20), kSecondaryButton, 2), B_OK);
    ASSERT_EQ(backend.InjectMouseMoved(window->Id(), BPoint(11, 20)), B_OK);
    ASSERT_EQ(backend.InjectMouseUp(window->Id(), BPoint(11, 20)), B_OK);
    std::vector<DisplayEvent> events = window->Events().PopAll();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].buttons, 0u);
    EXPECT_EQ(events[1].type, DisplayEventType::kMouseDown);
    EXPECT_EQ(events[1].buttons, kSecondaryButton);
    EXPECT_EQ(events[1].clicks, 2);
    EXPECT_EQ(events[1].where, BPoint(10, 20));
    EXPECT_EQ(events[1].screenWhere, BPoint(110, 220));
    EXPECT_EQ(events[1].window, window->Id());
    EXPECT_EQ(events[2].buttons, kSecondaryButton) << "dragging holds the button";
    EXPECT_EQ(events[3].type, DisplayEventType::kMouseUp);
    EXPECT_EQ(events[3].buttons, 0u);
}

TEST(HeadlessBackendTest, InjectedKeysCarryBytesCodesAndModifiers)
{
    HeadlessBackend backend;
    auto window = backend.CreateWindow(Spec(BRect(0, 0, 9, 9)));
    backend.InjectKey(
        window->Id(), std::string(1, KeyBytes::kFunctionKey), KeyCodes::kF1, kShiftKey);
    backend.InjectText(window->Id(), "a\xc3\xa9Z");
    std::vector<DisplayEvent> events = window->Events().PopAll();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].type, DisplayEventType::kKeyDown);
    EXPECT_EQ(events[0].key, 2) << "F1 is key 2";
    EXPECT_EQ(events[0].modifiers, kShiftKey);
    EXPECT_EQ(events[1].type, DisplayEventType::kKeyUp);
    EXPECT_EQ(events[2].bytes, "a");
    EXPECT_EQ(events[4].bytes, "\xc3\xa9");
    EXPECT_EQ(events[4].rawChar, 0xe9u);
    EXPECT_EQ(events[6].bytes, "Z");
    EXPECT_EQ(events[6].modifiers, kShiftKey);
}

TEST(HeadlessBackendTest, DropsAndCloseRequestsArrive)
{
    HeadlessBackend backend;
    auto window = backend.CreateWindow(Spec(BRect(0, 0, 99, 99)));
    backend.InjectDrop(window->Id(), BPoint(50, 60), { "/tmp/a.png", "/tmp/b b.png" });
    backend.InjectCloseRequest(window->Id());
    std::vector<DisplayEvent> events = window->Events().PopAll();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, DisplayEventType::kFilesDropped);
    EXPECT_EQ(events[0].paths, (std::vector<std::string> { "/tmp/a.png", "/tmp/b b.png" }));
    EXPECT_EQ(events[0].where, BPoint(50, 60));
    EXPECT_EQ(events[1].type, DisplayEventType::kCloseRequested);
}

TEST(HeadlessBackendTest, ClosedAndUnknownWindowsRefuseInput)
{
    HeadlessBackend backend;
    auto window = backend.CreateWindow(Spec(BRect(0, 0, 9, 9)));
    window->Show();
    window->Close();
    EXPECT_TRUE(window->IsClosed());
    EXPECT_FALSE(window->IsActive());
    EXPECT_EQ(backend.InjectClick(window->Id(), BPoint(1, 1)), B_BAD_VALUE);
    EXPECT_EQ(backend.InjectClick(999, BPoint(1, 1)), B_BAD_VALUE);
    int32 id = window->Id();
    window.reset();
    EXPECT_EQ(backend.FindWindow(id), nullptr) << "the backend does not keep windows alive";
}

TEST(HeadlessBackendTest, ScreenshotsShowTheBackingStore)
{
    HeadlessBackend backend;
    auto window = backend.CreateWindow(Spec(BRect(0, 0, 119, 39), 0, "Shot"));
    {
        std::lock_guard<BackingStore> lock(window->Store());
        DrawingContext context(window->Store().Surface());
        context.SetHighColor(make_color(152, 152, 152));
        context.StrokeRect(BRect(0, 0, 119, 39));
        context.SetHighColor(make_color(0, 0, 0));
        context.SetLowColor(make_color(216, 216, 216));
        context.DrawString("Headless", -1, BPoint(8, 24));
        context.SetHighColor(make_color(0, 0, 229));
        context.FillRoundRect(BRect(70, 10, 110, 29), 4, 4);
    }
    window->PresentAll();
    EXPECT_EQ(window->CountPresents(), 1);
    std::string path = brenvik::test::MakeTempFolder() + "/window.png";
    ASSERT_EQ(backend.WriteScreenshot(window->Id(), path.c_str()), B_OK);
    EXPECT_TRUE(brenvik::test::PngMatchesGolden("display/headless-window", path));
    EXPECT_EQ(backend.WriteScreenshot(999, path.c_str()), B_BAD_VALUE);
}

TEST(HeadlessBackendTest, TheScreenSizeCanBeConfigured)
{
    setenv("BRENVIK_SCREEN", "800x600", 1);
    HeadlessBackend configured;
    unsetenv("BRENVIK_SCREEN");
    EXPECT_EQ(configured.Screen().frame, BRect(0, 0, 799, 599));
    EXPECT_EQ(configured.Screen().colorSpace, B_RGB32);
    setenv("BRENVIK_SCREEN", "wide", 1);
    HeadlessBackend ignored;
    unsetenv("BRENVIK_SCREEN");
    EXPECT_EQ(ignored.Screen().frame, BRect(0, 0, 1023, 767));
}

TEST(DisplayBackendTest, ChoosesHeadlessWhenAskedOrWhenThereIsNoDesktop)
{
    std::string notice;
    auto asked = DisplayBackend::Select("headless", true, &notice);
    EXPECT_STREQ(asked->Name(), "headless");
    EXPECT_EQ(notice, "");
    auto none = DisplayBackend::Select(nullptr, false, &notice);
    EXPECT_STREQ(none->Name(), "headless");
    EXPECT_EQ(notice, "brenvik: no display available, running headless");
}

TEST(DisplayBackendTest, AnUnreachableDesktopFallsBackToHeadless)
{
    const char* saved = std::getenv("DISPLAY");
    std::string savedDisplay = saved != nullptr ? saved : "";
    // A display that cannot exist: SDL fails (or picks a virtual driver,
    // which does not count as a desktop).
    setenv("DISPLAY", ":9999", 1);
    std::string notice;
    auto chosen = DisplayBackend::Select(nullptr, true, &notice);
    EXPECT_STREQ(chosen->Name(), "headless");
    EXPECT_EQ(notice, "brenvik: no display available, running headless");
    auto unknown = DisplayBackend::Select("magic", false, &notice);
    EXPECT_STREQ(unknown->Name(), "headless");
    EXPECT_NE(notice.find("unknown BRENVIK_DISPLAY \"magic\""), std::string::npos);
    if (saved != nullptr)
        setenv("DISPLAY", savedDisplay.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

} // namespace

TEST(HeadlessBackendTest, AScaledWindowHasAStoreOfItsPixels)
{
    HeadlessBackend backend(ScreenInfo(), 1.5f);
    EXPECT_FLOAT_EQ(backend.Scale(), 1.5f);
    auto window = backend.CreateWindow(Spec(BRect(10, 10, 465, 267)));
    EXPECT_EQ(window->Frame(), BRect(10, 10, 465, 267)) << "frames stay in points";
    EXPECT_EQ(window->Store().Width(), 684);
    EXPECT_EQ(window->Store().Height(), 387);
    window->ResizeTo(99, 49);
    EXPECT_EQ(window->Store().Width(), 150);
    EXPECT_EQ(window->Store().Height(), 75);
    {
        // Drawing is in points.
        std::lock_guard<BackingStore> lock(window->Store());
        DrawingContext context(window->Store().Surface());
        context.SetHighColor(make_color(0, 0, 200));
        context.FillRect(BRect(0, 0, 99, 49));
    }
    std::string path = brenvik::test::MakeTempFolder("scaled") + "/window.png";
    ASSERT_EQ(backend.WriteScreenshot(window->Id(), path.c_str()), B_OK);
    brenvik::test::RgbaImage image;
    ASSERT_TRUE(brenvik::test::ReadPng(path, &image));
    EXPECT_EQ(image.width, 150);
    EXPECT_EQ(image.height, 75);
    EXPECT_EQ(image.PixelAt(149, 74)[2], 200);

    // Injected input stays in points.
    ASSERT_EQ(backend.InjectClick(window->Id(), BPoint(40, 20)), B_OK);
    std::vector<DisplayEvent> events = window->Events().PopAll();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().where, BPoint(40, 20));
    EXPECT_EQ(events.front().screenWhere, BPoint(50, 30));
}

TEST(HeadlessBackendTest, TheScaleComesFromBrenvikScaleOnly)
{
    struct Case {
        const char* brenvik;
        const char* gdk;
        float expected;
    };
    for (const Case& test : { Case { "2", "3", 2 }, Case { nullptr, "3", 1 },
             Case { "1.5", nullptr, 1.5f }, Case { "9", nullptr, 4 }, Case { "x", "2", 1 } }) {
        if (test.brenvik != nullptr)
            setenv("BRENVIK_SCALE", test.brenvik, 1);
        if (test.gdk != nullptr)
            setenv("GDK_SCALE", test.gdk, 1);
        HeadlessBackend backend;
        EXPECT_FLOAT_EQ(backend.Scale(), test.expected)
            << (test.brenvik != nullptr ? test.brenvik : "unset");
        unsetenv("BRENVIK_SCALE");
        unsetenv("GDK_SCALE");
    }
}
