#include <Button.h>
#include <EntryRef.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>

using namespace brenvik::test;

TEST(WindowTest, TypeDecomposesIntoLookAndFeel)
{
    struct Case {
        window_type type;
        window_look look;
        window_feel feel;
    };
    for (const Case& sample :
        { Case { B_TITLED_WINDOW, B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL },
            Case { B_DOCUMENT_WINDOW, B_DOCUMENT_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL },
            Case { B_MODAL_WINDOW, B_MODAL_WINDOW_LOOK, B_MODAL_APP_WINDOW_FEEL },
            Case { B_FLOATING_WINDOW, B_FLOATING_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL },
            Case { B_BORDERED_WINDOW, B_BORDERED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL } }) {
        BWindow* window = new BWindow(BRect(0, 0, 10, 10), "typed", sample.type, 0);
        EXPECT_EQ(window->Look(), sample.look);
        EXPECT_EQ(window->Feel(), sample.feel);
        EXPECT_EQ(window->Type(), sample.type);
        window->Quit();
    }
}

TEST(WindowTest, ShowAndHideAreCounted)
{
    TestWindow window(BRect(0, 0, 50, 50));
    EXPECT_TRUE(window->IsHidden());
    window.Show();
    window->Show();
    window->Hide();
    EXPECT_FALSE(window->IsHidden());
    window->Hide();
    EXPECT_TRUE(window->IsHidden());
    window->Show();
    EXPECT_FALSE(window->IsHidden());
}

TEST(WindowTest, CommandWClosesAClosableWindowUnlessTheShortcutIsRemoved)
{
    BWindow* kept
        = new BWindow(BRect(0, 0, 50, 50), "kept", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    kept->RemoveShortcut('w', B_COMMAND_KEY);
    BMessenger keptMessenger(kept);
    kept->Show();
    ASSERT_TRUE(WaitUntilSettled(kept));
    ASSERT_EQ(Display().InjectKey(DisplayId(kept), "w", 0, kCommandKey), B_OK);
    ASSERT_TRUE(WaitUntilSettled(kept));
    EXPECT_TRUE(keptMessenger.IsValid());

    BWindow* closed
        = new BWindow(BRect(0, 0, 50, 50), "closed", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    BMessenger closedMessenger(closed);
    closed->Show();
    ASSERT_TRUE(WaitUntilSettled(closed));
    ASSERT_EQ(Display().InjectKey(DisplayId(closed), "w", 0, kCommandKey), B_OK);
    EXPECT_TRUE(WaitUntil([&] { return !closedMessenger.IsValid(); }));

    if (keptMessenger.LockTarget())
        kept->Quit();
}

TEST(WindowTest, ACloseRequestAsksQuitRequested)
{
    struct StubbornWindow : public BWindow {
        StubbornWindow()
            : BWindow(BRect(0, 0, 50, 50), "stubborn", B_TITLED_WINDOW, 0)
        {
        }
        bool QuitRequested() override
        {
            asked++;
            return false;
        }
        std::atomic<int32> asked { 0 };
    };
    StubbornWindow* window = new StubbornWindow;
    BMessenger messenger(window);
    window->Show();
    ASSERT_EQ(Display().InjectCloseRequest(DisplayId(window)), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return window->asked.load() == 1; }));
    EXPECT_TRUE(messenger.IsValid());
    if (messenger.LockTarget())
        window->Quit();
}

namespace {

class DropView : public BView {
public:
    DropView()
        : BView(BRect(0, 0, 99, 99), "about", B_FOLLOW_ALL, B_WILL_DRAW)
    {
    }
    void MessageReceived(BMessage* message) override
    {
        if (message->what != B_SIMPLE_DATA) {
            BView::MessageReceived(message);
            return;
        }
        std::lock_guard guard(lock);
        dropped = message->WasDropped();
        entry_ref ref;
        if (message->FindRef("refs", &ref) == B_OK)
            name = ref.name;
        point = message->DropPoint();
    }
    std::mutex lock;
    bool dropped = false;
    std::string name;
    BPoint point;
};

} // namespace

TEST(WindowTest, AFileDroppedOnAViewArrivesAsADroppedMessageWithRefs)
{
    std::string folder = MakeTempFolder("drop");
    std::string path = folder + "/picture.png";
    std::ofstream(path) << "x";
    TestWindow window(BRect(100, 100, 199, 199));
    DropView* view = new DropView;
    window.Add(view);
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    ASSERT_EQ(Display().InjectDrop(DisplayId(window.Get()), BPoint(30, 40), { path }), B_OK);
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard guard(view->lock);
        return view->dropped;
    }));
    std::lock_guard guard(view->lock);
    EXPECT_EQ(view->name, "picture.png");
    EXPECT_EQ(view->point, BPoint(130, 140));
}

TEST(WindowTest, AModalWindowKeepsInputFromTheOthers)
{
    MessageRecorder recorder;
    TestWindow window(BRect(100, 100, 299, 199));
    BButton* button = new BButton(BRect(10, 10, 90, 30), "ok", "OK", new BMessage('ok  '));
    window.Add(button);
    button->SetTarget(recorder.Messenger());
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));

    TestWindow modal(BRect(400, 100, 499, 199), "modal", B_NOT_RESIZABLE, B_MODAL_WINDOW_LOOK,
        B_MODAL_APP_WINDOW_FEEL);
    modal.Show();
    ASSERT_TRUE(WaitUntilSettled(modal.Get()));
    ASSERT_EQ(Display().InjectClick(DisplayId(window.Get()), CenterOf(button)), B_OK);
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    EXPECT_EQ(recorder.Count('ok  '), 0);

    modal->Lock();
    modal->Hide();
    modal->Unlock();
    ASSERT_EQ(Display().InjectClick(DisplayId(window.Get()), CenterOf(button)), B_OK);
    EXPECT_TRUE(recorder.WaitFor('ok  '));
}

// The display may still send keys to the window a modal one blocks (a
// window manager that has not activated the new window yet): they go to the
// modal window, which the user sees in front.
TEST(WindowTest, AKeyTypedIntoABlockedWindowReachesItsModalWindow)
{
    MessageRecorder recorder;
    TestWindow window(BRect(100, 100, 299, 199));
    BButton* below = new BButton(BRect(10, 10, 90, 30), "below", "Below", new BMessage('belo'));
    window.Add(below);
    below->SetTarget(recorder.Messenger());
    window->SetDefaultButton(below);
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));

    TestWindow modal(BRect(400, 100, 499, 199), "modal", B_NOT_RESIZABLE, B_MODAL_WINDOW_LOOK,
        B_MODAL_APP_WINDOW_FEEL);
    BButton* front = new BButton(BRect(10, 10, 90, 30), "front", "Front", new BMessage('frnt'));
    modal.Add(front);
    front->SetTarget(recorder.Messenger());
    modal->SetDefaultButton(front);
    modal.Show();
    ASSERT_TRUE(WaitUntilSettled(modal.Get()));
    ASSERT_EQ(Display().InjectKey(DisplayId(window.Get()), "\n"), B_OK);
    EXPECT_TRUE(recorder.WaitFor('frnt'));
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    EXPECT_EQ(recorder.Count('belo'), 0);
}

TEST(WindowTest, PulsesReachViewsThatNeedThemAtTheWindowsRate)
{
    struct PulsingView : public BView {
        PulsingView()
            : BView(BRect(0, 0, 10, 10), "pulse", B_FOLLOW_NONE, B_PULSE_NEEDED)
        {
        }
        void Pulse() override { pulses++; }
        std::atomic<int32> pulses { 0 };
    };
    TestWindow window(BRect(0, 0, 50, 50));
    PulsingView* view = new PulsingView;
    window.Add(view);
    window->SetPulseRate(5000);
    window.Show();
    EXPECT_TRUE(WaitUntil([&] { return view->pulses.load() >= 3; }));
}
