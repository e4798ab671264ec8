#include <Button.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "MenuTracker.h"
#include "WindowAccess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

using namespace brenvik::test;

namespace {

constexpr uint32 kMsgLanguage = 'lang';

BPopUpMenu* LanguageMenu()
{
    BPopUpMenu* menu = new BPopUpMenu("");
    const char* names[] = { "English", "Deutsch", "Français" };
    for (const char* name : names)
        menu->AddItem(new BMenuItem(name, new BMessage(kMsgLanguage)));
    menu->ItemAt(0)->SetMarked(true);
    return menu;
}

struct FieldFixture {
    TestWindow window { BRect(100, 100, 399, 299) };
    MessageRecorder recorder;
    BMenuField* field;

    FieldFixture()
    {
        field = new BMenuField(BRect(10, 10, 200, 35), "options", nullptr, LanguageMenu());
        window.Add(field);
        field->Menu()->SetTargetForItems(recorder.Messenger());
        window.Show();
        EXPECT_TRUE(WaitUntilSettled(window.Get()));
    }

    std::string Shown()
    {
        std::string label;
        WithLock(window.Get(), [&] { label = field->MenuItem()->Label(); });
        return label;
    }

    int32 Marked()
    {
        int32 index = -1;
        WithLock(window.Get(), [&] { index = field->Menu()->FindMarkedIndex(); });
        return index;
    }
};

} // namespace

TEST(MenuFieldTest, AChoiceByMouseReachesItsTargetAndRelabelsTheField)
{
    FieldFixture fixture;
    EXPECT_EQ(fixture.Shown(), "English");
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectClick(id, CenterOf(fixture.field->MenuBar())), B_OK);
    BPoint item;
    ASSERT_TRUE(WaitForOpenMenu(fixture.window.Get(), "Deutsch", &item));
    ASSERT_EQ(Display().InjectClick(id, item), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgLanguage));
    int32 index = -1;
    fixture.recorder.Last(kMsgLanguage).FindInt32("index", &index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(fixture.Marked(), 1);
    EXPECT_EQ(fixture.Shown(), "Deutsch");
}

TEST(MenuFieldTest, TheKeyboardOpensTheMenuAndChoosesFromIt)
{
    FieldFixture fixture;
    int32 id = DisplayId(fixture.window.Get());
    WithLock(fixture.window.Get(), [&] { fixture.field->MakeFocus(true); });
    ASSERT_EQ(Display().InjectKey(id, " "), B_OK);
    BPoint unused;
    ASSERT_TRUE(WaitForOpenMenu(fixture.window.Get(), "English", &unused));
    ASSERT_EQ(Display().InjectKey(id, "\x1f"), B_OK);
    ASSERT_EQ(Display().InjectKey(id, "\x1f"), B_OK);
    ASSERT_EQ(Display().InjectKey(id, "\n"), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgLanguage));
    EXPECT_EQ(fixture.Marked(), 2);
    EXPECT_EQ(fixture.Shown(), "Français");
}

namespace {

constexpr uint32 kMsgDefault = 'dflt';

// Each key that opens a focused field: Enter among them, although the window
// has a default button.
class MenuFieldKeyTest : public testing::TestWithParam<const char*> { };

std::string HighlightedLabel(BWindow* window)
{
    std::string label;
    WithLock(window, [&] {
        BPrivate::MenuTracker* tracker = BPrivate::WindowAccess::Tracker(window);
        BMenuItem* item
            = tracker != nullptr && !tracker->IsDone() ? tracker->Highlighted() : nullptr;
        if (item != nullptr)
            label = item->Label();
    });
    return label;
}

} // namespace

TEST_P(MenuFieldKeyTest, OpensTheMenuWhereArrowsPassDisabledItemsAndEscapeChoosesNothing)
{
    FieldFixture fixture;
    BWindow* window = fixture.window.Get();
    int32 id = DisplayId(window);
    WithLock(window, [&] {
        BButton* button
            = new BButton(BRect(10, 50, 100, 75), "ok", "OK", new BMessage(kMsgDefault));
        window->AddChild(button);
        button->SetTarget(fixture.recorder.Messenger());
        window->SetDefaultButton(button);
        fixture.field->Menu()->ItemAt(1)->SetEnabled(false);
        fixture.field->MakeFocus(true);
    });
    ASSERT_EQ(Display().InjectKey(id, GetParam()), B_OK);
    BPoint unused;
    ASSERT_TRUE(WaitForOpenMenu(window, "English", &unused));
    ASSERT_TRUE(WaitUntilSettled(window));
    EXPECT_EQ(HighlightedLabel(window), "English");
    ASSERT_EQ(Display().InjectKey(id, "\x1f"), B_OK);
    ASSERT_TRUE(WaitUntilSettled(window));
    EXPECT_EQ(HighlightedLabel(window), "Français");
    ASSERT_EQ(Display().InjectKey(id, "\x1b"), B_OK);
    ASSERT_TRUE(WaitUntilSettled(window));
    bool open = true;
    WithLock(window, [&] {
        BPrivate::MenuTracker* tracker = BPrivate::WindowAccess::Tracker(window);
        open = tracker != nullptr && !tracker->IsDone();
    });
    EXPECT_FALSE(open);
    EXPECT_EQ(fixture.Marked(), 0);
    EXPECT_EQ(fixture.recorder.Count(kMsgLanguage), 0);
    EXPECT_EQ(fixture.recorder.Count(kMsgDefault), 0);
    // Enter on the open menu chooses; the default button still hears nothing.
    ASSERT_EQ(Display().InjectKey(id, GetParam()), B_OK);
    ASSERT_TRUE(WaitForOpenMenu(window, "English", &unused));
    ASSERT_EQ(Display().InjectKey(id, "\x1e"), B_OK);
    ASSERT_EQ(Display().InjectKey(id, "\n"), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgLanguage));
    EXPECT_EQ(fixture.Marked(), 2);
    EXPECT_EQ(fixture.recorder.Count(kMsgDefault), 0);
}

INSTANTIATE_TEST_SUITE_P(OpeningKeys, MenuFieldKeyTest, testing::Values(" ", "\n", "\x1f"),
    [](const testing::TestParamInfo<const char*>& param) {
        switch (param.param[0]) {
        case ' ':
            return std::string("Space");
        case '\n':
            return std::string("Enter");
        default:
            return std::string("Down");
        }
    });

TEST(MenuFieldTest, EscapeAndAClickBesideTheMenuChooseNothing)
{
    FieldFixture fixture;
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectClick(id, CenterOf(fixture.field->MenuBar())), B_OK);
    BPoint unused;
    ASSERT_TRUE(WaitForOpenMenu(fixture.window.Get(), "English", &unused));
    ASSERT_EQ(Display().InjectKey(id, "\x1b"), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    ASSERT_EQ(Display().InjectClick(id, CenterOf(fixture.field->MenuBar())), B_OK);
    ASSERT_TRUE(WaitForOpenMenu(fixture.window.Get(), "English", &unused));
    ASSERT_EQ(Display().InjectClick(id, BPoint(280, 180)), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    bool closed = false;
    WithLock(fixture.window.Get(), [&] {
        BPrivate::MenuTracker* tracker = BPrivate::WindowAccess::Tracker(fixture.window.Get());
        closed = tracker == nullptr || tracker->IsDone();
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(fixture.recorder.Count(kMsgLanguage), 0);
    EXPECT_EQ(fixture.Marked(), 0);
}

TEST(MenuFieldTest, ADisabledFieldDoesNotOpen)
{
    FieldFixture fixture;
    WithLock(fixture.window.Get(), [&] { fixture.field->SetEnabled(false); });
    ASSERT_EQ(
        Display().InjectClick(DisplayId(fixture.window.Get()), CenterOf(fixture.field->MenuBar())),
        B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    bool open = false;
    WithLock(fixture.window.Get(),
        [&] { open = BPrivate::WindowAccess::Tracker(fixture.window.Get()) != nullptr; });
    EXPECT_FALSE(open);
}

namespace {

// Pops a menu up synchronously from its MouseDown, as the about view does.
class PopUpView : public BView {
public:
    PopUpView(BRect frame)
        : BView(frame, "popper", B_FOLLOW_NONE, B_WILL_DRAW)
    {
    }

    void MouseDown(BPoint where) override
    {
        BPopUpMenu* menu = new BPopUpMenu("img_menu", false, false);
        menu->AddItem(new BMenuItem("Remove", nullptr));
        menu->AddItem(new BMenuItem("Keep", nullptr));
        BMenuItem* chosen = menu->Go(ConvertToScreen(where));
        chosenLabel = chosen != nullptr ? chosen->Label() : "(none)";
        delete menu;
        finished = true;
    }

    std::string chosenLabel;
    std::atomic<bool> finished { false };
};

} // namespace

TEST(PopUpMenuTest, GoOnTheWindowThreadWaitsForTheChoiceWhileTheWindowTakesInput)
{
    TestWindow window(BRect(100, 100, 299, 249));
    PopUpView* view = new PopUpView(BRect(10, 10, 60, 60));
    window.Add(view);
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    int32 id = DisplayId(window.Get());
    ASSERT_EQ(Display().InjectClick(id, BPoint(20, 20)), B_OK);
    BPoint item;
    ASSERT_TRUE(WaitForOpenMenu(window.Get(), "Remove", &item));
    ASSERT_EQ(Display().InjectClick(id, item), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return view->finished.load(); }));
    std::string label;
    WithLock(window.Get(), [&] { label = view->chosenLabel; });
    EXPECT_EQ(label, "Remove");
}

TEST(PopUpMenuTest, GoFromAnotherThreadReturnsTheChosenItem)
{
    TestWindow window(BRect(100, 100, 299, 249));
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    int32 id = DisplayId(window.Get());
    std::thread chooser([&] {
        BPoint item;
        if (WaitForOpenMenu(window.Get(), "Second", &item))
            Display().InjectClick(id, item);
    });
    BPopUpMenu menu("menu", false, false);
    menu.AddItem(new BMenuItem("First", nullptr));
    menu.AddItem(new BMenuItem("Second", nullptr));
    window->Activate();
    BMenuItem* chosen = menu.Go(BPoint(130, 130));
    chooser.join();
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen->Label(), "Second");
}
