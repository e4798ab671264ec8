#include <Alert.h>
#include <CheckBox.h>
#include <Invoker.h>
#include <Window.h>

#include "AlertTestSupport.h"
#include "Desktop.h"
#include "InterfaceTestSupport.h"
#include "WindowAccess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace brenvik::test;

namespace {

// Answers the alert that shows next, from a thread of its own, once it is
// up: `answer` gets the alert's display window and a point per button.
class Answerer {
public:
    explicit Answerer(std::function<void(int32 id, const std::vector<BPoint>& buttons)> answer)
        : fThread([answer] {
            BMessenger alert;
            std::vector<BPoint> buttons;
            int32 id = -1;
            bool ready = WaitUntil([&] {
                for (const BMessenger& window : BPrivate::Desktop::Default().AllWindows()) {
                    if (!window.LockTarget())
                        continue;
                    BLooper* looper = nullptr;
                    window.Target(&looper);
                    BAlert* found = dynamic_cast<BAlert*>(looper);
                    bool usable = found != nullptr && !found->IsHidden() && found->IsActive()
                        && BPrivate::WindowAccess::IsSettled(found);
                    if (usable) {
                        id = DisplayId(found);
                        buttons.clear();
                        for (int32 i = 0; i < found->CountButtons(); i++) {
                            BRect frame = found->ButtonAt(i)->Bounds();
                            buttons.push_back(
                                found->ConvertFromScreen(found->ButtonAt(i)->ConvertToScreen(
                                    BPoint((frame.left + frame.right) / 2,
                                        (frame.top + frame.bottom) / 2))));
                        }
                    }
                    looper->Unlock();
                    if (usable)
                        return true;
                }
                return false;
            });
            if (ready)
                answer(id, buttons);
        })
    {
    }
    ~Answerer() { fThread.join(); }

private:
    std::thread fThread;
};

BAlert* QuestionAlert()
{
    BAlert* alert = new BAlert("", "Replace the file?", "Don't Replace", "Replace", nullptr,
        B_WIDTH_FROM_WIDEST, B_WARNING_ALERT);
    alert->SetShortcut(0, 'd');
    alert->SetShortcut(1, 'r');
    return alert;
}

} // namespace

TEST(AlertTest, EnterPressesTheDefaultButton)
{
    Answerer answerer([](int32 id, const std::vector<BPoint>&) { Display().InjectKey(id, "\n"); });
    EXPECT_EQ(QuestionAlert()->Go(), 1);
}

TEST(AlertTest, EscapePressesTheFirstButton)
{
    Answerer answerer(
        [](int32 id, const std::vector<BPoint>&) { Display().InjectKey(id, "\x1b"); });
    EXPECT_EQ(QuestionAlert()->Go(), 0);
}

// The close box answers as the cancel button: the first button, or the one
// whose shortcut is Escape; a lone OK is its own cancel.
struct CloseBoxCase {
    const char* name;
    std::vector<const char*> buttons;
    int32 escapeButton; // -1 for none
    int32 answer;
};

class AlertCloseBoxTest : public testing::TestWithParam<CloseBoxCase> { };

TEST_P(AlertCloseBoxTest, AnswersAsTheCancelButton)
{
    const CloseBoxCase& c = GetParam();
    auto label = [&c](size_t i) { return i < c.buttons.size() ? c.buttons[i] : nullptr; };
    BAlert* alert = new BAlert("Tarsel Notes", "Go on?", label(0), label(1), label(2));
    if (c.escapeButton >= 0)
        alert->SetShortcut(c.escapeButton, B_ESCAPE);
    Answerer answerer(
        [](int32 id, const std::vector<BPoint>&) { Display().InjectCloseRequest(id); });
    EXPECT_EQ(alert->Go(), c.answer);
}

INSTANTIATE_TEST_SUITE_P(Buttons, AlertCloseBoxTest,
    testing::Values(CloseBoxCase { "LoneOk", { "OK" }, -1, 0 },
        CloseBoxCase { "Question", { "Don't Replace", "Replace" }, -1, 0 },
        CloseBoxCase { "EscapeOnTheLast", { "Stop", "Go On" }, 1, 1 },
        CloseBoxCase { "ThreeWays", { "Cancel", "Later", "Now" }, -1, 0 }),
    [](const testing::TestParamInfo<CloseBoxCase>& param) { return param.param.name; });

TEST(AlertTest, AnUntitledAlertTakesTheProgramsAlertTitle)
{
    std::string before = BAlert::DefaultTitle();
    // Without a title set, the program's file name.
    EXPECT_NE(before.find("tests"), std::string::npos) << before;
    BAlert::SetDefaultTitle("Tarsel Notes");
    BAlert* untitled = new BAlert("", "Text", "OK");
    BAlert* titled = new BAlert("Own", "Text", "OK");
    BAlert::SetDefaultTitle(nullptr);
    BAlert* later = new BAlert(nullptr, "Text", "OK");
    EXPECT_STREQ(untitled->Title(), "Tarsel Notes");
    EXPECT_STREQ(titled->Title(), "Own");
    EXPECT_EQ(std::string(later->Title()), before);
    for (BAlert* alert : { untitled, titled, later })
        alert->Quit();
}

TEST(AlertTest, ShortcutsPressTheirButtonsWhateverTheCase)
{
    {
        Answerer answerer(
            [](int32 id, const std::vector<BPoint>&) { Display().InjectKey(id, "d"); });
        EXPECT_EQ(QuestionAlert()->Go(), 0);
    }
    {
        Answerer answerer(
            [](int32 id, const std::vector<BPoint>&) { Display().InjectKey(id, "R"); });
        EXPECT_EQ(QuestionAlert()->Go(), 1);
    }
}

TEST(AlertTest, AClickOnAButtonAnswersWithItsIndex)
{
    Answerer answerer([](int32 id, const std::vector<BPoint>& buttons) {
        Display().InjectClick(id, buttons.at(0));
    });
    BAlert* alert = new BAlert("", "Three ways", "One", "Two", "Three");
    EXPECT_EQ(alert->Go(), 0);
}

TEST(AlertTest, LayoutFollowsTheFixedMetrics)
{
    BAlert* alert = new BAlert("", "Short", "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_STOP_ALERT);
    BRect bounds = alert->Bounds();
    BRect button = alert->ButtonAt(0)->Frame();
    BRect text = alert->TextView()->Frame();
    // 310 × (10 / 11) wide at least; the default button's face 8 pixels from
    // the right and bottom edges (its heavier border 3 pixels beyond).
    EXPECT_GE(bounds.Width(), 282);
    EXPECT_EQ(button.right, bounds.right - 8 + 3);
    EXPECT_EQ(button.bottom, bounds.bottom - 8 + 3);
    EXPECT_EQ(text.left, 55);
    EXPECT_EQ(text.top, 6);
    EXPECT_GE(button.Width(), 68);
    EXPECT_STREQ(alert->ButtonAt(0)->Name(), "_b0_");
    alert->Quit();
}

TEST(AlertTest, GoFromAWorkerThreadBlocksOnlyTheWorker)
{
    TestWindow window(BRect(100, 100, 199, 199));
    CountingView* view = ShowDrawingWindow(window);
    ASSERT_NE(view, nullptr);

    std::atomic<int32> result { -2 };
    std::atomic<bool> answered { false };
    std::thread worker([&] { result = QuestionAlert()->Go(); });
    ASSERT_TRUE(WaitUntil([&] {
        for (const BMessenger& messenger : BPrivate::Desktop::Default().WindowsFrontToBack()) {
            BLooper* looper = nullptr;
            messenger.Target(&looper);
            if (dynamic_cast<BAlert*>(looper) != nullptr)
                return true;
        }
        return false;
    }));
    // The window goes on drawing while the worker waits.
    int32 before = view->draws;
    EXPECT_TRUE(WaitUntil([&] { return view->draws > before + 3; }));
    EXPECT_EQ(result.load(), -2);
    {
        Answerer answerer([&](int32 id, const std::vector<BPoint>&) {
            Display().InjectKey(id, "r");
            answered = true;
        });
    }
    worker.join();
    EXPECT_TRUE(answered.load());
    EXPECT_EQ(result.load(), 1);
}

namespace {

constexpr uint32 kMsgApplyToAll = 1000;

// An alert with a check box of its own, as the replace dialog has.
class CheckingAlert : public BAlert {
public:
    explicit CheckingAlert(std::atomic<bool>* applyToAll)
        : BAlert("ReplaceAlert", "", "Don't Replace", "Replace", nullptr, B_WIDTH_FROM_WIDEST,
            B_WARNING_ALERT)
        , fApplyToAll(applyToAll)
    {
        ResizeBy(0, 40);
        BCheckBox* box = new BCheckBox(BRect(0, 20, 200, 35), "future_collisions",
            "Apply to all future collisions", new BMessage(kMsgApplyToAll));
        TextView()->AddChild(box);
        box->SetTarget(this);
    }

    void MessageReceived(BMessage* message) override
    {
        if (message->what == kMsgApplyToAll) {
            int32 value = 0;
            message->FindInt32("be:value", &value);
            *fApplyToAll = value == B_CONTROL_ON;
            return;
        }
        BAlert::MessageReceived(message);
    }

private:
    std::atomic<bool>* fApplyToAll;
};

} // namespace

TEST(AlertTest, ASubclassHearsItsChildControlsWhileGoWaits)
{
    std::atomic<bool> applyToAll { false };
    Answerer answerer([&](int32 id, const std::vector<BPoint>&) {
        BPoint box;
        for (const BMessenger& window : BPrivate::Desktop::Default().WindowsFrontToBack()) {
            if (!window.LockTarget())
                continue;
            BLooper* looper = nullptr;
            window.Target(&looper);
            if (BWindow* found = dynamic_cast<BAlert*>(looper)) {
                BView* check = found->FindView("future_collisions");
                box = found->ConvertFromScreen(check->ConvertToScreen(BPoint(5, 7)));
            }
            looper->Unlock();
        }
        Display().InjectClick(id, box);
        WaitUntil([&] { return applyToAll.load(); });
        Display().InjectKey(id, "\n");
    });
    EXPECT_EQ((new CheckingAlert(&applyToAll))->Go(), 1);
    EXPECT_TRUE(applyToAll.load());
}

TEST(AlertTest, TheAsynchronousFormSendsTheInvokersMessageWithWhich)
{
    MessageRecorder recorder;
    BAlert* alert = QuestionAlert();
    ASSERT_EQ(alert->Go(new BInvoker(new BMessage('done'), recorder.Messenger())), B_OK);
    Answerer answerer([](int32 id, const std::vector<BPoint>&) { Display().InjectKey(id, "d"); });
    ASSERT_TRUE(recorder.WaitFor('done'));
    int32 which = -1;
    recorder.Last('done').FindInt32("which", &which);
    EXPECT_EQ(which, 0);
}

// #pragma mark - the keyboard among the controls

namespace {

struct AlertKeysCase {
    const char* name;
    // Pressed in turn: "\t" for Tab, "S" for Shift+Tab, any other key as it is.
    const char* keys;
    int32 button;
    bool applyToAll;
};

void PrintTo(const AlertKeysCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class AlertKeysTest : public testing::TestWithParam<AlertKeysCase> { };

} // namespace

// Tab goes from the check box (first, as it stands above the buttons) to the
// buttons, Space works the focused control, Enter and Escape answer whatever
// has the focus.
TEST_P(AlertKeysTest, TabMovesAmongTheControlsAndSpaceWorksTheFocusedOne)
{
    std::atomic<bool> applyToAll { false };
    const char* keys = GetParam().keys;
    Answerer answerer([keys](int32 id, const std::vector<BPoint>&) {
        for (const char* key = keys; *key != '\0'; key++) {
            if (*key == 'S')
                Display().InjectKey(id, "\t", 0, B_SHIFT_KEY);
            else
                Display().InjectKey(id, std::string(1, *key));
        }
    });
    EXPECT_EQ((new CheckingAlert(&applyToAll))->Go(), GetParam().button);
    EXPECT_EQ(applyToAll.load(), GetParam().applyToAll);
}

INSTANTIATE_TEST_SUITE_P(Keys, AlertKeysTest,
    testing::Values(AlertKeysCase { "CheckBoxFirstThenEnter", "\t \n", 1, true },
        AlertKeysCase { "EscapeFromTheCheckBox", "\t \x1b", 0, true },
        AlertKeysCase { "SpaceOnTheFirstButton", "\t\t ", 0, false },
        AlertKeysCase { "SpaceOnTheLastButton", "\t\t\t ", 1, false },
        AlertKeysCase { "ShiftTabFromNothingToTheLastButton", "S ", 1, false },
        AlertKeysCase { "TabWrapsAround", "\t\t\t\t \x1b", 0, true },
        AlertKeysCase { "EnterFromTheFirstButtonPressesTheDefault", "\t\t\n", 1, false }),
    [](const testing::TestParamInfo<AlertKeysCase>& param) {
        return std::string(param.param.name);
    });
