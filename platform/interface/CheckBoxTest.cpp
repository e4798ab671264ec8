#include <CheckBox.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

#include <gtest/gtest.h>

using namespace brenvik::test;

namespace {

constexpr uint32 kMsgToggled = 'tgld';

struct CheckBoxFixture {
    TestWindow window { BRect(100, 100, 319, 149) };
    MessageRecorder recorder;
    BCheckBox* box;

    CheckBoxFixture()
    {
        box = new BCheckBox(
            BRect(10, 10, 200, 25), "apply", "Apply to all", new BMessage(kMsgToggled));
        window.Add(box);
        box->SetTarget(recorder.Messenger());
        window.Show();
        EXPECT_TRUE(WaitUntilSettled(window.Get()));
    }

    int32 Value()
    {
        int32 value = -1;
        WithLock(window.Get(), [&] { value = box->Value(); });
        return value;
    }
};

} // namespace

TEST(CheckBoxTest, TogglesWithEachClickAndSendsItsValue)
{
    CheckBoxFixture fixture;
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectClick(id, CenterOf(fixture.box)), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgToggled, 1));
    EXPECT_EQ(fixture.Value(), B_CONTROL_ON);
    int32 sent = -1;
    fixture.recorder.Last(kMsgToggled).FindInt32("be:value", &sent);
    EXPECT_EQ(sent, B_CONTROL_ON);

    ASSERT_EQ(Display().InjectClick(id, CenterOf(fixture.box)), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgToggled, 2));
    EXPECT_EQ(fixture.Value(), B_CONTROL_OFF);
}

TEST(CheckBoxTest, TogglesWithSpaceWhenFocused)
{
    CheckBoxFixture fixture;
    WithLock(fixture.window.Get(), [&] { fixture.box->MakeFocus(true); });
    ASSERT_EQ(Display().InjectKey(DisplayId(fixture.window.Get()), " "), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgToggled, 1));
    EXPECT_EQ(fixture.Value(), B_CONTROL_ON);
}

TEST(CheckBoxTest, IgnoresInputWhileDisabled)
{
    CheckBoxFixture fixture;
    WithLock(fixture.window.Get(), [&] { fixture.box->SetEnabled(false); });
    ASSERT_EQ(Display().InjectClick(DisplayId(fixture.window.Get()), CenterOf(fixture.box)), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.recorder.Count(kMsgToggled), 0);
    EXPECT_EQ(fixture.Value(), B_CONTROL_OFF);
}
