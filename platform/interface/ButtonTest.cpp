#include <Button.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace brenvik::test;

namespace {

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

TEST(ButtonTest, DefaultButtonAnswersEnterTypedAnywhereInTheWindow)
{
    ButtonFixture fixture;
    WithLock(fixture.window.Get(), [&] { fixture.window->SetDefaultButton(fixture.button); });
    ASSERT_EQ(Display().InjectKey(DisplayId(fixture.window.Get()), "\n"), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgPressed));
}

TEST(ButtonTest, MakingItDefaultGrowsItsFrameForTheHeavierBorder)
{
    ButtonFixture fixture;
    BRect before;
    BRect after;
    WithLock(fixture.window.Get(), [&] {
        before = fixture.button->Frame();
        fixture.button->MakeDefault(true);
        after = fixture.button->Frame();
    });
    EXPECT_EQ(after, BRect(before.left - 3, before.top - 3, before.right + 3, before.bottom + 3));
    bool isDefault = false;
    WithLock(fixture.window.Get(),
        [&] { isDefault = fixture.window->DefaultButton() == fixture.button; });
    EXPECT_TRUE(isDefault);
}

TEST(ButtonTest, SpacePressesTheFocusedButton)
{
    ButtonFixture fixture;
    WithLock(fixture.window.Get(), [&] { fixture.button->MakeFocus(true); });
    ASSERT_EQ(Display().InjectKey(DisplayId(fixture.window.Get()), " "), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgPressed));
}
