#include <Alert.h>
#include <Button.h>
#include <CheckBox.h>
#include <EntryRef.h>
#include <ListView.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <ScrollView.h>
#include <TextView.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "UIDriver.h"
#include "UIDriverActions.h"

#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

using namespace brenvik::test;
using BPrivate::UIDriver;

namespace {

constexpr uint32 kMsgOk = 'ok  ';
constexpr uint32 kMsgApply = 'aply';
constexpr uint32 kMsgAsk = 'ask ';

// A window with one control of each kind the driver works with.
class DriverWindow : public BWindow {
public:
    DriverWindow()
        : BWindow(BRect(100, 100, 419, 339), "Driver", B_TITLED_WINDOW, B_NOT_RESIZABLE)
    {
        BView* panel = new BView(Bounds(), "panel", B_FOLLOW_ALL, B_WILL_DRAW);
        panel->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
        AddChild(panel);
        panel->AddChild(new BButton(BRect(10, 10, 90, 30), "ok", "Install", new BMessage(kMsgOk)));
        panel->AddChild(new BButton(BRect(100, 10, 180, 30), "ask", "Ask", new BMessage(kMsgAsk)));
        panel->AddChild(new BCheckBox(
            BRect(10, 40, 150, 55), "apply", "Apply to all", new BMessage(kMsgApply)));
        BPopUpMenu* menu = new BPopUpMenu("");
        for (const char* name : { "English", "Deutsch", "Français" })
            menu->AddItem(new BMenuItem(name, new BMessage('lang')));
        menu->ItemAt(0)->SetMarked(true);
        panel->AddChild(new BMenuField(BRect(10, 60, 150, 85), "options", nullptr, menu));
        list = new BListView(BRect(10, 95, 120, 160), "groups");
        for (const char* name : { "Typical", "Minimal", "Full", "Custom" })
            list->AddItem(new BStringItem(name));
        panel->AddChild(new BScrollView("scroll", list, B_FOLLOW_NONE, 0, false, true));
        text = new BTextView(BRect(150, 95, 300, 160), "name", BRect(2, 2, 148, 63), B_FOLLOW_NONE,
            B_WILL_DRAW | B_NAVIGABLE);
        panel->AddChild(text);
        drop = new DropZone;
        panel->AddChild(drop);
        files = new BListView(BRect(120, 170, 300, 230), "files", B_MULTIPLE_SELECTION_LIST);
        for (const char* name : { "Notes", "ReadMe", "Sounds" })
            files->AddItem(new BStringItem(name));
        panel->AddChild(files);
    }

    ~DriverWindow() override
    {
        for (BListView* owned : { list, files }) {
            for (int32 i = owned->CountItems() - 1; i >= 0; i--)
                delete owned->RemoveItem(i);
        }
    }

    void MessageReceived(BMessage* message) override
    {
        std::lock_guard guard(lock);
        switch (message->what) {
        case kMsgOk:
            oks++;
            return;
        case kMsgApply:
            applies++;
            return;
        case kMsgAsk:
            (new BAlert("", "Sure?", "No", "Yes"))->Go(nullptr);
            return;
        case B_KEY_DOWN:
            return;
        }
        BWindow::MessageReceived(message);
    }

    class DropZone : public BView {
    public:
        DropZone()
            : BView(BRect(10, 170, 100, 230), "dropzone", B_FOLLOW_NONE, B_WILL_DRAW)
        {
        }
        void MessageReceived(BMessage* message) override
        {
            entry_ref ref;
            if (message->WasDropped() && message->FindRef("refs", &ref) == B_OK)
                dropped = ref.name;
            else
                BView::MessageReceived(message);
        }
        std::string dropped;
    };

    std::mutex lock;
    int32 oks = 0;
    int32 applies = 0;
    BListView* list;
    BListView* files;
    BTextView* text;
    DropZone* drop;
};

} // namespace

TEST(UIDriverTest, AScriptWorksTheControlsLikeAUser)
{
    DriverWindow* window = new DriverWindow;
    BMessenger messenger(window);
    window->Show();
    std::string folder = MakeTempFolder("driver");
    std::string shot = folder + "/shot.png";
    std::string dropped = folder + "/about.png";
    std::ofstream(dropped) << "x";

    std::vector<std::string> script = {
        "# comments and blank lines are skipped",
        "",
        "timeout 5",
        "wait-window Driver",
        "wait-drawn",
        "click ok",
        "click-label Apply to all",
        "choose options Deutsch",
        "tick groups 2",
        "type name \"Hello world\"",
        "key Ctrl+A",
        "drop dropzone " + dropped,
        "click ask",
        "alert Yes",
        "screenshot " + shot,
    };
    std::string failure;
    ASSERT_EQ(UIDriver::RunScript(script, &failure), B_OK) << failure;

    ASSERT_TRUE(WaitUntilSettled(window));
    WithLock(window, [&] {
        std::lock_guard guard(window->lock);
        EXPECT_EQ(window->oks, 1);
        EXPECT_EQ(window->applies, 1);
        BMenuField* field = static_cast<BMenuField*>(window->FindView("options"));
        EXPECT_STREQ(field->MenuItem()->Label(), "Deutsch");
        EXPECT_EQ(window->list->CurrentSelection(), 2);
        EXPECT_STREQ(window->text->Text(), "Hello world");
        int32 start = -1;
        int32 end = -1;
        window->text->GetSelection(&start, &end);
        EXPECT_EQ(end - start, 11);
        EXPECT_EQ(window->drop->dropped, "about.png");
    });
    EXPECT_TRUE(std::filesystem::exists(shot));
    if (messenger.LockTarget())
        window->Quit();
}

// The reading verbs: a text dump of what the windows show, waiting for a
// view's text, and the pixels of a window picked by its title.
TEST(UIDriverTest, ReadsWhatTheWindowsShow)
{
    DriverWindow* window = new DriverWindow;
    BMessenger messenger(window);
    window->Show();
    std::string folder = MakeTempFolder("reading");
    std::string dump = folder + "/dump.txt";
    std::string shot = folder + "/window.png";
    std::vector<std::string> script = {
        "timeout 5",
        "wait-window Driver",
        "tick groups 1",
        "choose options Français",
        "wait-text ok Install",
        "wait-text options Français",
        "wait-item options Deutsch",
        "dump " + dump,
        "screenshot-window Driver " + shot,
    };
    std::string failure;
    ASSERT_EQ(UIDriver::RunScript(script, &failure), B_OK) << failure;

    std::ifstream file(dump);
    std::stringstream text;
    text << file.rdbuf();
    std::string lines = text.str();
    EXPECT_NE(lines.find("window \"Driver\""), std::string::npos) << lines;
    EXPECT_NE(lines.find("ok BButton text=\"Install\"\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("groups BListView items=4 selected=1\n"), std::string::npos) << lines;
    // The field chosen from last has the focus.
    EXPECT_NE(lines.find("options BMenuField focus text=\"Français\" "
                         "menu=\"English|Deutsch|Français*\"\n"),
        std::string::npos)
        << lines;
    EXPECT_NE(lines.find("name BTextView text=\"\"\n"), std::string::npos) << lines;
    EXPECT_TRUE(std::filesystem::exists(shot));

    // A text that never shows is a missed deadline.
    EXPECT_EQ(UIDriver::RunScript({ "timeout 0.1", "wait-text ok Cancel" }, &failure), B_TIMED_OUT);
    EXPECT_EQ(
        UIDriver::RunScript({ "timeout 0.1", "wait-item options Klingon" }, &failure), B_TIMED_OUT);
    if (messenger.LockTarget())
        window->Quit();
}

// In a list of many choices "tick" adds a row to the selection or takes it
// out (a Command-click); "click-row" clicks as a user does, without a
// modifier, which there selects the row alone.
TEST(UIDriverTest, ClickRowIsAPlainClickAndTickACommandClick)
{
    DriverWindow* window = new DriverWindow;
    BMessenger messenger(window);
    window->Show();
    auto selected = [&] {
        std::vector<int32> rows;
        WithLock(window, [&] {
            for (int32 i = 0; window->files->CurrentSelection(i) >= 0; i++)
                rows.push_back(window->files->CurrentSelection(i));
        });
        return rows;
    };
    std::string failure;
    ASSERT_EQ(UIDriver::RunScript(
                  { "timeout 5", "wait-window Driver", "tick files 0", "tick files 2" }, &failure),
        B_OK)
        << failure;
    ASSERT_TRUE(WaitUntilSettled(window));
    EXPECT_EQ(selected(), (std::vector<int32> { 0, 2 }));
    ASSERT_EQ(UIDriver::RunScript({ "timeout 5", "click-row files 1" }, &failure), B_OK) << failure;
    ASSERT_TRUE(WaitUntilSettled(window));
    EXPECT_EQ(selected(), (std::vector<int32> { 1 }));
    ASSERT_EQ(UIDriver::RunScript({ "timeout 5", "tick files 1" }, &failure), B_OK) << failure;
    ASSERT_TRUE(WaitUntilSettled(window));
    EXPECT_EQ(selected(), std::vector<int32> {});
    if (messenger.LockTarget())
        window->Quit();
}

TEST(UIDriverTest, AMissedDeadlineNamesTheAction)
{
    std::vector<std::string> script = { "timeout 0.05", "click nowhere-to-be-found" };
    std::string failure;
    EXPECT_EQ(UIDriver::RunScript(script, &failure), B_TIMED_OUT);
    EXPECT_NE(failure.find("line 2"), std::string::npos) << failure;
    EXPECT_NE(failure.find("click nowhere-to-be-found"), std::string::npos) << failure;
}

TEST(UIDriverTest, LinesThatAreNotUnderstoodAreRefused)
{
    for (const char* line : { "frobnicate", "tick groups minus", "tick groups 4294967296",
             "click-row files -1", "click-row files", "timeout never", "key Hyper+Q", "click",
             "dump", "screenshot-window Driver" }) {
        std::string failure;
        EXPECT_EQ(UIDriver::RunScript({ line }, &failure), B_BAD_VALUE) << line;
    }
}

TEST(UIDriverTest, TheOpenFilePanelChoosesThroughItsHook)
{
    std::string chosen;
    int32 token = UIDriver::RegisterPanel([&](const char* path) {
        chosen = path;
        return B_OK;
    });
    std::string failure;
    EXPECT_EQ(UIDriver::RunScript({ "timeout 1", "panel /home/user/apps" }, &failure), B_OK);
    EXPECT_EQ(chosen, "/home/user/apps");
    UIDriver::UnregisterPanel(token);
}

namespace {

struct KeyCase {
    const char* description;
    std::string bytes;
    int32 key;
    uint32 modifiers;
};

class UIDriverKeyTest : public testing::TestWithParam<KeyCase> { };

} // namespace

TEST_P(UIDriverKeyTest, KeyDescriptionsGiveTheBytesCodeAndModifiers)
{
    const KeyCase& sample = GetParam();
    std::string bytes;
    int32 key = 0;
    uint32 modifiers = 0;
    ASSERT_TRUE(BPrivate::UIDriverActions::ParseKey(sample.description, &bytes, &key, &modifiers));
    EXPECT_EQ(bytes, sample.bytes);
    EXPECT_EQ(key, sample.key);
    EXPECT_EQ(modifiers, sample.modifiers);
}

INSTANTIATE_TEST_SUITE_P(Keys, UIDriverKeyTest,
    testing::Values(KeyCase { "Enter", "\n", 0x47, 0 }, KeyCase { "escape", "\x1b", 0x01, 0 },
        KeyCase { "Tab", "\t", 0x26, 0 }, KeyCase { "Space", " ", 0x5e, 0 },
        KeyCase { "Down", "\x1f", 0x62, 0 },
        KeyCase { "Ctrl+A", "a", 0x3c, B_COMMAND_KEY | B_LEFT_COMMAND_KEY },
        KeyCase { "Alt+Q", "\x11", 0x27, B_CONTROL_KEY | B_LEFT_CONTROL_KEY },
        KeyCase { "Shift+F1", "\x10", 0x02, B_SHIFT_KEY | B_LEFT_SHIFT_KEY },
        KeyCase { "d", "d", 0x3e, 0 }, KeyCase { "R", "R", 0x2a, B_SHIFT_KEY | B_LEFT_SHIFT_KEY }));
