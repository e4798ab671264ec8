#include <Button.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace brenvik::test;

namespace {

// Every test program of this folder draws on the headless display.
struct HeadlessDisplay {
    HeadlessDisplay()
    {
        setenv("BRENVIK_DISPLAY", "headless", 1);
        unsetenv("BRENVIK_UI_SCRIPT");
    }
} sHeadlessDisplay;

constexpr uint32 kMsgPressed = 'prsd';

struct ButtonFixture {
    TestWindow window { BRect(100, 100, 299, 159) };
    MessageRecorder recorder;
    BButton* button;

    ButtonFixture()
    {
        button = new BButton(BRect(20, 20, 120, 40), "ok", "OK", new BMessage(kMsgPressed));
        window.Add(button);
        button->SetTarget(recorder.Messenger());
        window.Show();
        EXPECT_TRUE(WaitUntilSettled(window.Get()));
    }
};

} // namespace

TEST(ButtonTest, InvokesItsTargetWhenPressedAndReleasedInside)
{
    ButtonFixture fixture;
    BPoint center = CenterOf(fixture.button);
    ASSERT_EQ(Display().InjectClick(DisplayId(fixture.window.Get()), center), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgPressed));
    BMessage sent = fixture.recorder.Last(kMsgPressed);
    EXPECT_TRUE(sent.HasInt64("when"));
    EXPECT_TRUE(sent.HasPointer("source"));
}

TEST(ButtonTest, DoesNotInvokeWhenReleasedOutside)
{
    ButtonFixture fixture;
    int32 id = DisplayId(fixture.window.Get());
    BPoint center = CenterOf(fixture.button);
    ASSERT_EQ(Display().InjectMouseDown(id, center), B_OK);
    ASSERT_EQ(Display().InjectMouseMoved(id, BPoint(180, 50)), B_OK);
    ASSERT_EQ(Display().InjectMouseUp(id, BPoint(180, 50)), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.recorder.Count(kMsgPressed), 0);
    int32 value = -1;
    WithLock(fixture.window.Get(), [&] { value = fixture.button->Value(); });
    EXPECT_EQ(value, B_CONTROL_OFF);
}
