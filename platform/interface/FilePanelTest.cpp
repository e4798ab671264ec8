// The file panel, worked with real input on the headless display, in folder
// trees made for each test.

#include <Button.h>
#include <Entry.h>
#include <FilePanel.h>
#include <ListView.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <Volume.h>
#include <VolumeRoster.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "PanelEntryItem.h"
#include "UIDriver.h"

#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace brenvik::test;
using BPrivate::UIDriver;

namespace {

namespace fs = std::filesystem;

// The code the installer gives its folder chooser's message.
constexpr uint32 kMsgFolderChosen = 2005;

// Keeps folders and volumes, and links whose target is a folder.
class FolderFilter : public BRefFilter {
public:
    bool Filter(const entry_ref* ref, BNode* node, struct stat* info, const char* mimeType) override
    {
        std::string type = mimeType;
        {
            std::lock_guard guard(lock);
            seen[ref->name] = type;
            modes[ref->name] = info->st_mode;
            created[ref->name] = static_cast<stat_beos*>(info)->st_crtime;
            nodesReady[ref->name] = node != nullptr && node->InitCheck() == B_OK;
        }
        if (type == B_SYMLINK_MIME_TYPE) {
            BEntry target(ref, true);
            return target.InitCheck() == B_OK && target.Exists() && target.IsDirectory();
        }
        return type == B_DIRECTORY_MIME_TYPE || type == B_VOLUME_MIME_TYPE;
    }

    std::string Seen(const std::string& name)
    {
        std::lock_guard guard(lock);
        auto found = seen.find(name);
        return found != seen.end() ? found->second : std::string();
    }

    std::mutex lock;
    std::map<std::string, std::string> seen;
    std::map<std::string, mode_t> modes;
    std::map<std::string, time_t> created;
    std::map<std::string, bool> nodesReady;
};

// Lists everything, and remembers what it was asked about.
class EverythingFilter : public FolderFilter {
public:
    bool Filter(const entry_ref* ref, BNode* node, struct stat* info, const char* mimeType) override
    {
        FolderFilter::Filter(ref, node, info, mimeType);
        return true;
    }
};

// The folder of a reference, as a path.
std::string PathOf(const entry_ref& ref)
{
    BPath path(&ref);
    return path.InitCheck() == B_OK ? path.Path() : std::string();
}

// The paths in a message's "refs".
std::vector<std::string> RefPaths(const BMessage& message)
{
    std::vector<std::string> paths;
    entry_ref ref;
    for (int32 i = 0; message.FindRef("refs", i, &ref) == B_OK; i++)
        paths.push_back(PathOf(ref));
    return paths;
}

void MakeFile(const std::string& path, const char* type = nullptr)
{
    std::ofstream(path) << "some text\n";
    if (type != nullptr) {
        BNode node(path.c_str());
        BNodeInfo(&node).SetType(type);
    }
}

// A UI script argument that survives spaces, quotes and new lines.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\n')
            quoted += "\\n";
        else if (c == '"' || c == '\\')
            quoted += std::string("\\") + c;
        else
            quoted += c;
    }
    return quoted + "\"";
}

class FilePanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = fs::canonical(MakeTempFolder("panel")).string();
        fs::create_directory(root + "/Apps");
        fs::create_directory(root + "/Apps/Games");
        fs::create_directory(root + "/beta");
        fs::create_directory(root + "/zeta docs");
        fs::create_directory(root + "/.hidden");
        MakeFile(root + "/alpha.txt", "text/plain");
        MakeFile(root + "/Notes");
        MakeFile(root + "/b.dat", "application/octet-stream");
        fs::create_directory_symlink(root + "/Apps", root + "/to-apps");
        fs::create_symlink(root + "/missing", root + "/dangling");
    }

    void TearDown() override { panel.reset(); }

    // An open panel at `start`, sending kMsgFolderChosen to the recorder.
    void Open(uint32 flavors, BRefFilter* filter, const std::string& start, bool multiple = false,
        bool hideWhenDone = true)
    {
        BMessenger target = recorder.Messenger();
        entry_ref ref;
        ASSERT_EQ(get_ref_for_path(start.c_str(), &ref), B_OK);
        BMessage message(kMsgFolderChosen);
        panel = std::make_unique<BFilePanel>(
            B_OPEN_PANEL, &target, &ref, flavors, multiple, &message, filter, false, hideWhenDone);
        panel->Show();
        window = panel->Window();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntilSettled(window));
        id = DisplayId(window);
    }

    BListView* List() const { return static_cast<BListView*>(window->FindView("entries")); }

    std::vector<std::string> Rows()
    {
        std::vector<std::string> names;
        WithLock(window, [&] {
            BListView* list = List();
            for (int32 i = 0; i < list->CountItems(); i++)
                names.push_back(
                    static_cast<BPrivate::PanelEntryItem*>(list->ItemAt(i))->Entry().name);
        });
        return names;
    }

    int32 RowOf(const std::string& name)
    {
        std::vector<std::string> names = Rows();
        auto found = std::find(names.begin(), names.end(), name);
        return found == names.end() ? -1 : int32(found - names.begin());
    }

    bool RowEnabled(const std::string& name)
    {
        int32 row = RowOf(name);
        bool enabled = false;
        WithLock(window, [&] { enabled = row >= 0 && List()->ItemAt(row)->IsEnabled(); });
        return enabled;
    }

    // The middle of a row, in window coordinates, scrolled into view.
    BPoint RowCenter(const std::string& name)
    {
        int32 row = RowOf(name);
        EXPECT_GE(row, 0) << name;
        BPoint center;
        WithLock(window, [&] {
            BListView* list = List();
            BRect frame = list->ItemFrame(row);
            BRect visible = list->Bounds();
            if (frame.top < visible.top || frame.bottom > visible.bottom)
                list->ScrollTo(BPoint(0, frame.top));
            visible = list->Bounds();
            center = window->ConvertFromScreen(list->ConvertToScreen(
                BPoint((visible.left + visible.right) / 2, (frame.top + frame.bottom) / 2)));
        });
        EXPECT_TRUE(WaitUntilSettled(window));
        return center;
    }

    void ClickRow(const std::string& name)
    {
        ASSERT_EQ(Display().InjectClick(id, RowCenter(name)), B_OK);
        ASSERT_TRUE(WaitUntilSettled(window));
    }

    void DoubleClickRow(const std::string& name)
    {
        BPoint where = RowCenter(name);
        ASSERT_EQ(Display().InjectClick(id, where), B_OK);
        ASSERT_EQ(Display().InjectClick(id, where, kPrimaryButton, 2), B_OK);
        ASSERT_TRUE(WaitUntilSettled(window));
    }

    void ClickView(const char* name)
    {
        BView* view = nullptr;
        WithLock(window, [&] { view = window->FindView(name); });
        ASSERT_NE(view, nullptr) << name;
        ASSERT_EQ(Display().InjectClick(id, CenterOf(view)), B_OK);
        ASSERT_TRUE(WaitUntilSettled(window));
    }

    void Key(const char* bytes, uint32 modifiers = 0)
    {
        ASSERT_EQ(Display().InjectKey(id, bytes, 0, modifiers), B_OK);
        ASSERT_TRUE(WaitUntilSettled(window));
    }

    // Where an item of the open menu is, once the menu is up.
    bool OpenMenuItem(const char* label, BPoint* where)
    {
        return WaitForOpenMenu(window, label, where);
    }

    std::string Shown()
    {
        entry_ref ref;
        if (panel->GetPanelDirectory(&ref) != B_OK)
            return std::string();
        return PathOf(ref);
    }

    bool WaitShown(const std::string& path)
    {
        return WaitUntil([&] { return Shown() == path; });
    }

    // The folders chosen in the last message the target received.
    std::vector<std::string> Chosen() { return RefPaths(recorder.Last(kMsgFolderChosen)); }

    std::string root;
    MessageRecorder recorder;
    FolderFilter folderFilter;
    EverythingFilter everything;
    std::unique_ptr<BFilePanel> panel;
    BWindow* window = nullptr;
    int32 id = 0;
};

using Names = std::vector<std::string>;

} // namespace

// #pragma mark - listing

TEST_F(FilePanelTest, ListsFoldersFirstThenFilesEachSortedByName)
{
    Open(B_FILE_NODE | B_DIRECTORY_NODE, nullptr, root);
    EXPECT_EQ(Rows(),
        (Names {
            "Apps", "beta", "to-apps", "zeta docs", "alpha.txt", "b.dat", "dangling", "Notes" }));
    EXPECT_EQ(Shown(), root);
}

TEST_F(FilePanelTest, TheFilterSeesEachEntryWithItsMimeTypeNodeAndStat)
{
    Open(B_FILE_NODE | B_DIRECTORY_NODE, &everything, root);
    EXPECT_EQ(everything.Seen("Apps"), B_DIRECTORY_MIME_TYPE);
    EXPECT_EQ(everything.Seen("to-apps"), B_SYMLINK_MIME_TYPE);
    EXPECT_EQ(everything.Seen("dangling"), B_SYMLINK_MIME_TYPE);
    EXPECT_EQ(everything.Seen("alpha.txt"), "text/plain");
    EXPECT_EQ(everything.Seen("b.dat"), "application/octet-stream");
    EXPECT_FALSE(everything.Seen("Notes").empty());
    EXPECT_EQ(everything.Seen(".hidden"), "");
    std::lock_guard guard(everything.lock);
    EXPECT_TRUE(S_ISDIR(everything.modes["Apps"]));
    EXPECT_TRUE(S_ISLNK(everything.modes["to-apps"]));
    EXPECT_TRUE(S_ISREG(everything.modes["alpha.txt"]));
    EXPECT_GT(everything.created["alpha.txt"], 0);
    EXPECT_TRUE(everything.nodesReady["Apps"]);
    EXPECT_TRUE(everything.nodesReady["alpha.txt"]);
}

TEST_F(FilePanelTest, TheRootOfAMountedVolumeIsOfferedAsAVolume)
{
    // Any folder of "/" on a device of its own ("/proc", "/sys", ...) is
    // where a volume is mounted.
    struct stat top;
    ASSERT_EQ(lstat("/", &top), 0);
    std::string mounted;
    std::string plain;
    for (const fs::directory_entry& child : fs::directory_iterator("/")) {
        struct stat info;
        std::string name = child.path().filename().string();
        if (name[0] == '.' || lstat(child.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            continue;
        if (info.st_dev != top.st_dev && mounted.empty())
            mounted = name;
        else if (info.st_dev == top.st_dev && plain.empty())
            plain = name;
    }
    if (mounted.empty())
        GTEST_SKIP() << "no volume is mounted on a folder of /";
    Open(B_DIRECTORY_NODE, &folderFilter, "/");
    EXPECT_EQ(folderFilter.Seen(mounted), B_VOLUME_MIME_TYPE);
    if (!plain.empty()) {
        EXPECT_EQ(folderFilter.Seen(plain), B_DIRECTORY_MIME_TYPE);
    }
    EXPECT_GE(RowOf(mounted), 0);
}

TEST_F(FilePanelTest, AFolderFilterListsOnlyFoldersAndLinksThatReachOne)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    EXPECT_EQ(Rows(), (Names { "Apps", "beta", "to-apps", "zeta docs" }));
}

TEST_F(FilePanelTest, WhatCannotBeChosenIsDimmed)
{
    Open(B_DIRECTORY_NODE, nullptr, root);
    EXPECT_TRUE(RowEnabled("Apps"));
    EXPECT_TRUE(RowEnabled("to-apps"));
    EXPECT_FALSE(RowEnabled("alpha.txt"));
    EXPECT_FALSE(RowEnabled("dangling"));
}

// #pragma mark - moving between folders

TEST_F(FilePanelTest, ADoubleClickEntersAFolderAndTheParentButtonGoesBack)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    DoubleClickRow("Apps");
    ASSERT_TRUE(WaitShown(root + "/Apps"));
    EXPECT_EQ(Rows(), (Names { "Games" }));
    ClickView("parent");
    ASSERT_TRUE(WaitShown(root));
    EXPECT_EQ(Rows(), (Names { "Apps", "beta", "to-apps", "zeta docs" }));
    EXPECT_EQ(recorder.Count(kMsgFolderChosen), 0);
    EXPECT_TRUE(panel->IsShowing());
}

TEST_F(FilePanelTest, CommandDownEntersTheSelectedFolderAndCommandUpLeavesIt)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    ClickRow("beta");
    Key("\x1f", B_COMMAND_KEY);
    ASSERT_TRUE(WaitShown(root + "/beta"));
    EXPECT_TRUE(Rows().empty());
    Key("\x1e", B_COMMAND_KEY);
    ASSERT_TRUE(WaitShown(root));
    // Backspace in the list goes up too.
    DoubleClickRow("Apps");
    ASSERT_TRUE(WaitShown(root + "/Apps"));
    Key("\b");
    ASSERT_TRUE(WaitShown(root));
}

TEST_F(FilePanelTest, TheVolumesMenuGoesToTheBootVolume)
{
    BVolumeRoster roster;
    BVolume boot;
    char name[B_FILE_NAME_LENGTH];
    if (roster.GetBootVolume(&boot) != B_OK || boot.GetName(name) != B_OK || name[0] == '\0')
        GTEST_SKIP() << "no named boot volume";
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    BMenuBar* bar = nullptr;
    WithLock(window, [&] { bar = static_cast<BMenuBar*>(window->FindView("MenuBar")); });
    ASSERT_NE(bar, nullptr);
    BPoint volumes;
    WithLock(window, [&] {
        BRect frame = bar->ItemAt(0)->Frame();
        volumes = window->ConvertFromScreen(bar->ConvertToScreen(
            BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2)));
    });
    ASSERT_EQ(Display().InjectClick(id, volumes), B_OK);
    BPoint item;
    ASSERT_TRUE(OpenMenuItem(name, &item));
    ASSERT_EQ(Display().InjectClick(id, item), B_OK);
    ASSERT_TRUE(WaitShown(boot.MountPoint()));
}

TEST_F(FilePanelTest, ALinkToAFolderOpensItsTarget)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    DoubleClickRow("to-apps");
    ASSERT_TRUE(WaitShown(root + "/Apps"));
    EXPECT_EQ(Rows(), (Names { "Games" }));
}

TEST_F(FilePanelTest, TheFolderMenuGoesToAnyParent)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root + "/Apps/Games");
    BMenuField* field = nullptr;
    WithLock(window, [&] { field = static_cast<BMenuField*>(window->FindView("folder")); });
    ASSERT_NE(field, nullptr);
    std::string shownLabel;
    WithLock(window, [&] { shownLabel = field->MenuItem()->Label(); });
    EXPECT_EQ(shownLabel, "Games");
    ASSERT_EQ(Display().InjectClick(id, CenterOf(field->MenuBar())), B_OK);
    BPoint item;
    ASSERT_TRUE(OpenMenuItem("Apps", &item));
    ASSERT_EQ(Display().InjectClick(id, item), B_OK);
    ASSERT_TRUE(WaitShown(root + "/Apps"));
    EXPECT_EQ(Rows(), (Names { "Games" }));
}

TEST_F(FilePanelTest, SetPanelDirectoryMovesOnlyToFolders)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    panel->SetPanelDirectory((root + "/Apps").c_str());
    EXPECT_EQ(Shown(), root + "/Apps");
    EXPECT_EQ(Rows(), (Names { "Games" }));

    for (const std::string& elsewhere :
        { root + "/alpha.txt", root + "/missing", root + "/dangling", std::string() }) {
        panel->SetPanelDirectory(elsewhere.c_str());
        EXPECT_EQ(Shown(), root + "/Apps") << elsewhere;
    }
    panel->SetPanelDirectory(static_cast<const char*>(nullptr));
    EXPECT_EQ(Shown(), root + "/Apps");

    entry_ref ref;
    ASSERT_EQ(get_ref_for_path((root + "/beta").c_str(), &ref), B_OK);
    panel->SetPanelDirectory(&ref);
    EXPECT_EQ(Shown(), root + "/beta");

    BEntry link((root + "/to-apps").c_str());
    panel->SetPanelDirectory(&link);
    EXPECT_EQ(Shown(), root + "/Apps");

    BEntry file((root + "/alpha.txt").c_str());
    panel->SetPanelDirectory(&file);
    EXPECT_EQ(Shown(), root + "/Apps");
}

// #pragma mark - choosing folders

namespace {

struct ChoiceCase {
    const char* name;
    // The row clicked first (none when empty), and how the choice is
    // confirmed.
    const char* row;
    bool withEnter;
    // The folder chosen, from the tree's root.
    const char* chosen;
};

std::ostream& operator<<(std::ostream& stream, const ChoiceCase& choice)
{
    return stream << choice.name;
}

class FilePanelChoiceTest : public FilePanelTest,
                            public testing::WithParamInterface<ChoiceCase> { };

} // namespace

TEST_P(FilePanelChoiceTest, TheDefaultButtonSendsTheFolderInRefs)
{
    const ChoiceCase& choice = GetParam();
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    panel->SetButtonLabel(B_DEFAULT_BUTTON, "Select");
    WithLock(panel->Window(), [&] { panel->Window()->SetTitle("Choose a folder"); });
    if (choice.row[0] != '\0')
        ClickRow(choice.row);
    if (choice.withEnter)
        Key("\n");
    else
        ClickView("default");
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen));
    std::string expected = root + (choice.chosen[0] != '\0' ? "/" : "") + choice.chosen;
    EXPECT_EQ(Chosen(), Names { expected });
    EXPECT_EQ(recorder.Last(kMsgFolderChosen).what, kMsgFolderChosen);
    EXPECT_TRUE(WaitUntil([&] { return !panel->IsShowing(); }));

    panel->Rewind();
    entry_ref ref;
    ASSERT_EQ(panel->GetNextSelectedRef(&ref), B_OK);
    EXPECT_EQ(PathOf(ref), expected);
    EXPECT_EQ(panel->GetNextSelectedRef(&ref), B_ENTRY_NOT_FOUND);

    std::string label;
    std::string title;
    WithLock(window, [&] {
        label = static_cast<BButton*>(window->FindView("default"))->Label();
        title = window->Title();
    });
    EXPECT_EQ(label, "Select");
    EXPECT_EQ(title, "Choose a folder");
}

INSTANTIATE_TEST_SUITE_P(Choices, FilePanelChoiceTest,
    testing::Values(ChoiceCase { "NothingSelected", "", false, "" },
        ChoiceCase { "FolderSelected", "beta", false, "beta" },
        ChoiceCase { "FolderWithASpace", "zeta docs", false, "zeta docs" },
        ChoiceCase { "LinkToAFolder", "to-apps", false, "Apps" },
        ChoiceCase { "EnterWithNothingSelected", "", true, "" },
        ChoiceCase { "EnterWithAFolderSelected", "beta", true, "beta" }),
    [](const testing::TestParamInfo<ChoiceCase>& param) { return param.param.name; });

TEST_F(FilePanelTest, APanelThatStaysSendsEachChoice)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root, false, false);
    ClickView("default");
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen, 1));
    EXPECT_TRUE(panel->IsShowing());
    ClickRow("Apps");
    ClickView("default");
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen, 2));
    EXPECT_EQ(Chosen(), Names { root + "/Apps" });
    panel->Hide();
    EXPECT_FALSE(panel->IsShowing());
    panel->Show();
    EXPECT_TRUE(panel->IsShowing());
}

TEST_F(FilePanelTest, ADanglingLinkIsNotChosenAsAFolder)
{
    Open(B_DIRECTORY_NODE, nullptr, root);
    ClickRow("dangling");
    bool enabled = true;
    WithLock(
        window, [&] { enabled = static_cast<BButton*>(window->FindView("default"))->IsEnabled(); });
    EXPECT_FALSE(enabled);
    Key("\n");
    DoubleClickRow("dangling");
    EXPECT_EQ(Shown(), root);
    EXPECT_EQ(recorder.Count(kMsgFolderChosen), 0);
    EXPECT_TRUE(panel->IsShowing());
}

TEST_F(FilePanelTest, AFilePanelOpensAFolderWithTheDefaultButtonAndChoosesFiles)
{
    Open(B_FILE_NODE, nullptr, root, true);
    ClickRow("beta");
    ClickView("default");
    ASSERT_TRUE(WaitShown(root + "/beta"));
    ClickView("parent");
    ASSERT_TRUE(WaitShown(root));
    ClickRow("alpha.txt");
    ASSERT_EQ(Display().InjectClick(id, RowCenter("Notes"), kPrimaryButton, 1, kCommandKey), B_OK);
    ASSERT_TRUE(WaitUntilSettled(window));
    ClickView("default");
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), (Names { root + "/alpha.txt", root + "/Notes" }));
}

// #pragma mark - cancelling

namespace {

enum class CancelWay { kButton, kEscape, kCloseBox };

class FilePanelCancelTest : public FilePanelTest, public testing::WithParamInterface<CancelWay> { };

} // namespace

TEST_P(FilePanelCancelTest, CancellingHidesThePanelAndSendsCancel)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    ClickRow("beta");
    switch (GetParam()) {
    case CancelWay::kButton:
        ClickView("cancel");
        break;
    case CancelWay::kEscape:
        Key("\x1b");
        break;
    case CancelWay::kCloseBox:
        ASSERT_EQ(Display().InjectCloseRequest(id), B_OK);
        break;
    }
    ASSERT_TRUE(recorder.WaitFor(B_CANCEL));
    int32 oldWhat = 0;
    EXPECT_EQ(recorder.Last(B_CANCEL).FindInt32("old_what", &oldWhat), B_OK);
    EXPECT_EQ(uint32(oldWhat), kMsgFolderChosen);
    EXPECT_TRUE(WaitUntil([&] { return !panel->IsShowing(); }));
    EXPECT_EQ(recorder.Count(kMsgFolderChosen), 0);
    // The window stays for the next time.
    ASSERT_NE(panel->Window(), nullptr);
    panel->Show();
    EXPECT_TRUE(panel->IsShowing());
    EXPECT_EQ(Shown(), root);
}

INSTANTIATE_TEST_SUITE_P(Ways, FilePanelCancelTest,
    testing::Values(CancelWay::kButton, CancelWay::kEscape, CancelWay::kCloseBox),
    [](const testing::TestParamInfo<CancelWay>& param) {
        switch (param.param) {
        case CancelWay::kButton:
            return "CancelButton";
        case CancelWay::kEscape:
            return "Escape";
        case CancelWay::kCloseBox:
            return "CloseBox";
        }
        return "";
    });

// #pragma mark - names

namespace {

class FilePanelNameTest : public FilePanelTest, public testing::WithParamInterface<std::string> { };

std::string NameCaseName(const testing::TestParamInfo<std::string>& param)
{
    static const char* names[] = { "Spaces", "Quotes", "NewLine", "Longest", "Unicode" };
    return names[param.index];
}

const std::vector<std::string> kNames = { "My Programs  2", "it's \"quoted\"", "two\nlines",
    std::string(255, 'n'), "Ordner \xc3\xa4\xc3\xb6" };

} // namespace

TEST_P(FilePanelNameTest, AFolderListsAndIsChosenUnderItsExactName)
{
    const std::string& name = GetParam();
    ASSERT_TRUE(fs::create_directory(root + "/" + name));
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    ASSERT_GE(RowOf(name), 0);
    ClickRow(name);
    ClickView("default");
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { root + "/" + name });
}

TEST_P(FilePanelNameTest, ThePanelVerbOfTheUIDriverChoosesTheFolder)
{
    const std::string& name = GetParam();
    ASSERT_TRUE(fs::create_directory(root + "/" + name));
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    std::string failure;
    status_t status = B_ERROR;
    std::thread driver([&] {
        status
            = UIDriver::RunScript({ "timeout 10", "panel " + Quoted(root + "/" + name) }, &failure);
    });
    driver.join();
    ASSERT_EQ(status, B_OK) << failure;
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { root + "/" + name });
    EXPECT_TRUE(WaitUntil([&] { return !panel->IsShowing(); }));
}

INSTANTIATE_TEST_SUITE_P(Names, FilePanelNameTest, testing::ValuesIn(kNames), NameCaseName);

TEST_F(FilePanelTest, ThePanelVerbRefusesWhatTheFolderPanelCannotChoose)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    for (const std::string& path :
        { root + "/alpha.txt", root + "/dangling", root + "/missing", std::string("relative") }) {
        std::string failure;
        status_t status = B_ERROR;
        std::thread driver([&] {
            status = UIDriver::RunScript({ "timeout 0.2", "panel " + Quoted(path) }, &failure);
        });
        driver.join();
        EXPECT_EQ(status, B_TIMED_OUT) << path;
    }
    EXPECT_EQ(recorder.Count(kMsgFolderChosen), 0);
    EXPECT_TRUE(panel->IsShowing());
}

TEST_F(FilePanelTest, ThePanelVerbThroughALinkChoosesItsTarget)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root + "/beta");
    std::string failure;
    status_t status = B_ERROR;
    std::thread driver(
        [&] { status = UIDriver::RunScript({ "panel " + root + "/to-apps" }, &failure); });
    driver.join();
    ASSERT_EQ(status, B_OK) << failure;
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { root + "/Apps" });
}

// #pragma mark - folders that change

TEST_F(FilePanelTest, RefreshShowsWhatChangedInTheFolder)
{
    Open(B_DIRECTORY_NODE, &folderFilter, root);
    fs::create_directory(root + "/fresh");
    fs::remove(root + "/beta");
    panel->Refresh();
    EXPECT_EQ(Rows(), (Names { "Apps", "fresh", "to-apps", "zeta docs" }));
}

TEST_F(FilePanelTest, AFolderThatDisappearsWhileShownLeavesThePanelWorking)
{
    fs::create_directories(root + "/gone/inner");
    Open(B_DIRECTORY_NODE, &folderFilter, root + "/gone");
    EXPECT_EQ(Rows(), Names { "inner" });
    ClickRow("inner");
    fs::remove_all(root + "/gone");
    // The vanished selection is not sent, nor is the vanished folder.
    ClickView("default");
    EXPECT_EQ(recorder.Count(kMsgFolderChosen), 0);
    panel->Refresh();
    ASSERT_TRUE(WaitShown(root));
    EXPECT_EQ(Rows(), (Names { "Apps", "beta", "to-apps", "zeta docs" }));
    ClickView("default");
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { root });
}

// #pragma mark - looks

TEST_F(FilePanelTest, LooksAsRecorded)
{
    std::string shown = root + "/Projects";
    fs::create_directories(shown + "/Docs");
    fs::create_directories(shown + "/Sources");
    fs::create_directories(shown + "/Tools");
    MakeFile(shown + "/README", "text/plain");
    Open(B_DIRECTORY_NODE, nullptr, shown);
    ClickRow("Sources");
    EXPECT_TRUE(MatchesGolden("interface/filepanel-folders", Snapshot(window)));
}

// #pragma mark - a panel of the library's kind

namespace {

// Adds to every answer, and quits its window itself when it goes, as the
// installer's library panel does.
class OwnedPanel : public BFilePanel {
public:
    OwnedPanel(BMessenger* target, BMessage* message, BRefFilter* filter)
        : BFilePanel(
            B_OPEN_PANEL, target, nullptr, B_DIRECTORY_NODE, false, message, filter, false, false)
    {
    }

    ~OwnedPanel() override
    {
        Hide();
        if (Window()->Lock())
            Window()->Quit();
    }

    void SendMessage(const BMessenger* target, BMessage* message) override
    {
        message->AddString("marked", "Folders");
        BFilePanel::SendMessage(target, message);
    }
};

} // namespace

TEST_F(FilePanelTest, APanelSubclassAddsToTheAnswerAndQuitsItsOwnWindow)
{
    BMessenger target = recorder.Messenger();
    BMessage message(kMsgFolderChosen);
    auto owned = std::make_unique<OwnedPanel>(&target, &message, &folderFilter);
    owned->SetPanelDirectory(root.c_str());
    owned->Show();
    window = owned->Window();
    ASSERT_TRUE(WaitUntilSettled(window));
    id = DisplayId(window);
    BView* menuBar = nullptr;
    WithLock(window, [&] { menuBar = window->FindView("MenuBar"); });
    EXPECT_NE(dynamic_cast<BMenuBar*>(menuBar), nullptr);
    ClickView("default");
    ASSERT_TRUE(recorder.WaitFor(kMsgFolderChosen));
    EXPECT_STREQ(recorder.Last(kMsgFolderChosen).GetString("marked", ""), "Folders");
    EXPECT_EQ(Chosen(), Names { root });
    // Not hidden when done: the owner hides it.
    EXPECT_TRUE(owned->IsShowing());
    BMessenger windowMessenger(window);
    owned.reset();
    EXPECT_FALSE(windowMessenger.IsValid());
}

// #pragma mark - saving

TEST_F(FilePanelTest, ASavePanelSendsTheFolderAndTheNameAndAsksBeforeReplacing)
{
    BMessenger target = recorder.Messenger();
    entry_ref start;
    ASSERT_EQ(get_ref_for_path(root.c_str(), &start), B_OK);
    panel = std::make_unique<BFilePanel>(B_SAVE_PANEL, &target, &start);
    panel->SetSaveText("report.txt");
    panel->Show();
    window = panel->Window();
    ASSERT_TRUE(WaitUntilSettled(window));
    id = DisplayId(window);
    ClickView("default");
    ASSERT_TRUE(recorder.WaitFor(B_SAVE_REQUESTED));
    BMessage saved = recorder.Last(B_SAVE_REQUESTED);
    entry_ref folder;
    ASSERT_EQ(saved.FindRef("directory", &folder), B_OK);
    EXPECT_EQ(PathOf(folder), root);
    EXPECT_STREQ(saved.GetString("name", ""), "report.txt");
    EXPECT_TRUE(WaitUntil([&] { return !panel->IsShowing(); }));

    // A file that is there is replaced only when the user says so.
    panel->Show();
    ASSERT_TRUE(WaitUntilSettled(window));
    ClickRow("alpha.txt");
    std::string failure;
    status_t status = B_ERROR;
    std::thread driver([&] {
        status = UIDriver::RunScript({ "click default", "alert Replace" }, &failure);
    });
    driver.join();
    ASSERT_EQ(status, B_OK) << failure;
    ASSERT_TRUE(recorder.WaitFor(B_SAVE_REQUESTED, 2));
    EXPECT_STREQ(recorder.Last(B_SAVE_REQUESTED).GetString("name", ""), "alpha.txt");
}
