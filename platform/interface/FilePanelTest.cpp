// The file panel, worked with real input on the headless display, in folder
// trees made for each test.

#include <Button.h>
#include <Control.h>
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
#include <TextView.h>
#include <Volume.h>
#include <VolumeRoster.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "MenuTracker.h"
#include "PanelEntryItem.h"
#include "UIDriver.h"
#include "WindowAccess.h"

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
        fRoot = fs::canonical(MakeTempFolder("panel")).string();
        fs::create_directory(fRoot + "/Apps");
        fs::create_directory(fRoot + "/Apps/Games");
        fs::create_directory(fRoot + "/beta");
        fs::create_directory(fRoot + "/zeta docs");
        fs::create_directory(fRoot + "/.hidden");
        MakeFile(fRoot + "/alpha.txt", "text/plain");
        MakeFile(fRoot + "/Notes");
        MakeFile(fRoot + "/b.dat", "application/octet-stream");
        fs::create_directory_symlink(fRoot + "/Apps", fRoot + "/to-apps");
        fs::create_symlink(fRoot + "/missing", fRoot + "/dangling");
    }

    void TearDown() override { fPanel.reset(); }

    // An open panel at `start`, sending kMsgFolderChosen to the recorder.
    void Open(uint32 flavors, BRefFilter* filter, const std::string& start, bool multiple = false,
        bool hideWhenDone = true)
    {
        BMessenger target = fRecorder.Messenger();
        entry_ref ref;
        ASSERT_EQ(get_ref_for_path(start.c_str(), &ref), B_OK);
        BMessage message(kMsgFolderChosen);
        fPanel = std::make_unique<BFilePanel>(
            B_OPEN_PANEL, &target, &ref, flavors, multiple, &message, filter, false, hideWhenDone);
        fPanel->Show();
        fWindow = fPanel->Window();
        ASSERT_NE(fWindow, nullptr);
        ASSERT_TRUE(WaitUntilSettled(fWindow));
        fId = DisplayId(fWindow);
    }

    BListView* List() const { return static_cast<BListView*>(fWindow->FindView("entries")); }

    std::vector<std::string> Rows()
    {
        std::vector<std::string> names;
        WithLock(fWindow, [&] {
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
        WithLock(fWindow, [&] { enabled = row >= 0 && List()->ItemAt(row)->IsEnabled(); });
        return enabled;
    }

    // The middle of a row, in window coordinates, scrolled into view.
    BPoint RowCenter(const std::string& name)
    {
        int32 row = RowOf(name);
        EXPECT_GE(row, 0) << name;
        BPoint center;
        WithLock(fWindow, [&] {
            BListView* list = List();
            BRect frame = list->ItemFrame(row);
            BRect visible = list->Bounds();
            if (frame.top < visible.top || frame.bottom > visible.bottom)
                list->ScrollTo(BPoint(0, frame.top));
            visible = list->Bounds();
            center = fWindow->ConvertFromScreen(list->ConvertToScreen(
                BPoint((visible.left + visible.right) / 2, (frame.top + frame.bottom) / 2)));
        });
        EXPECT_TRUE(WaitUntilSettled(fWindow));
        return center;
    }

    void ClickRow(const std::string& name)
    {
        ASSERT_EQ(Display().InjectClick(fId, RowCenter(name)), B_OK);
        ASSERT_TRUE(WaitUntilSettled(fWindow));
    }

    void DoubleClickRow(const std::string& name)
    {
        BPoint where = RowCenter(name);
        ASSERT_EQ(Display().InjectClick(fId, where), B_OK);
        ASSERT_EQ(Display().InjectClick(fId, where, kPrimaryButton, 2), B_OK);
        ASSERT_TRUE(WaitUntilSettled(fWindow));
    }

    void ClickView(const char* name)
    {
        BView* view = nullptr;
        WithLock(fWindow, [&] { view = fWindow->FindView(name); });
        ASSERT_NE(view, nullptr) << name;
        ASSERT_EQ(Display().InjectClick(fId, CenterOf(view)), B_OK);
        ASSERT_TRUE(WaitUntilSettled(fWindow));
    }

    void Key(const char* bytes, uint32 modifiers = 0)
    {
        ASSERT_EQ(Display().InjectKey(fId, bytes, 0, modifiers), B_OK);
        ASSERT_TRUE(WaitUntilSettled(fWindow));
    }

    // Where an item of the open menu is, once the menu is up.
    bool OpenMenuItem(const char* label, BPoint* where)
    {
        return WaitForOpenMenu(fWindow, label, where);
    }

    std::string Shown()
    {
        entry_ref ref;
        if (fPanel->GetPanelDirectory(&ref) != B_OK)
            return std::string();
        return PathOf(ref);
    }

    bool WaitShown(const std::string& path)
    {
        return WaitUntil([&] { return Shown() == path; });
    }

    // The folders chosen in the last message the target received.
    std::vector<std::string> Chosen() { return RefPaths(fRecorder.Last(kMsgFolderChosen)); }

    std::string fRoot;
    MessageRecorder fRecorder;
    FolderFilter fFolderFilter;
    EverythingFilter fEverything;
    std::unique_ptr<BFilePanel> fPanel;
    BWindow* fWindow = nullptr;
    int32 fId = 0;
};

using Names = std::vector<std::string>;

} // namespace

// #pragma mark - listing

TEST_F(FilePanelTest, ListsFoldersFirstThenFilesEachSortedByName)
{
    Open(B_FILE_NODE | B_DIRECTORY_NODE, nullptr, fRoot);
    EXPECT_EQ(Rows(),
        (Names {
            "Apps", "beta", "to-apps", "zeta docs", "alpha.txt", "b.dat", "dangling", "Notes" }));
    EXPECT_EQ(Shown(), fRoot);
}

TEST_F(FilePanelTest, TheFilterSeesEachEntryWithItsMimeTypeNodeAndStat)
{
    Open(B_FILE_NODE | B_DIRECTORY_NODE, &fEverything, fRoot);
    EXPECT_EQ(fEverything.Seen("Apps"), B_DIRECTORY_MIME_TYPE);
    EXPECT_EQ(fEverything.Seen("to-apps"), B_SYMLINK_MIME_TYPE);
    EXPECT_EQ(fEverything.Seen("dangling"), B_SYMLINK_MIME_TYPE);
    EXPECT_EQ(fEverything.Seen("alpha.txt"), "text/plain");
    EXPECT_EQ(fEverything.Seen("b.dat"), "application/octet-stream");
    EXPECT_FALSE(fEverything.Seen("Notes").empty());
    EXPECT_EQ(fEverything.Seen(".hidden"), "");
    std::lock_guard guard(fEverything.lock);
    EXPECT_TRUE(S_ISDIR(fEverything.modes["Apps"]));
    EXPECT_TRUE(S_ISLNK(fEverything.modes["to-apps"]));
    EXPECT_TRUE(S_ISREG(fEverything.modes["alpha.txt"]));
    EXPECT_GT(fEverything.created["alpha.txt"], 0);
    EXPECT_TRUE(fEverything.nodesReady["Apps"]);
    EXPECT_TRUE(fEverything.nodesReady["alpha.txt"]);
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
    Open(B_DIRECTORY_NODE, &fFolderFilter, "/");
    EXPECT_EQ(fFolderFilter.Seen(mounted), B_VOLUME_MIME_TYPE);
    if (!plain.empty()) {
        EXPECT_EQ(fFolderFilter.Seen(plain), B_DIRECTORY_MIME_TYPE);
    }
    EXPECT_GE(RowOf(mounted), 0);
}

TEST_F(FilePanelTest, AFolderFilterListsOnlyFoldersAndLinksThatReachOne)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    EXPECT_EQ(Rows(), (Names { "Apps", "beta", "to-apps", "zeta docs" }));
}

TEST_F(FilePanelTest, WhatCannotBeChosenIsDimmed)
{
    Open(B_DIRECTORY_NODE, nullptr, fRoot);
    EXPECT_TRUE(RowEnabled("Apps"));
    EXPECT_TRUE(RowEnabled("to-apps"));
    EXPECT_FALSE(RowEnabled("alpha.txt"));
    EXPECT_FALSE(RowEnabled("dangling"));
}

// #pragma mark - moving between folders

TEST_F(FilePanelTest, ADoubleClickEntersAFolderAndTheParentButtonGoesBack)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    DoubleClickRow("Apps");
    ASSERT_TRUE(WaitShown(fRoot + "/Apps"));
    EXPECT_EQ(Rows(), (Names { "Games" }));
    ClickView("parent");
    ASSERT_TRUE(WaitShown(fRoot));
    EXPECT_EQ(Rows(), (Names { "Apps", "beta", "to-apps", "zeta docs" }));
    EXPECT_EQ(fRecorder.Count(kMsgFolderChosen), 0);
    EXPECT_TRUE(fPanel->IsShowing());
}

TEST_F(FilePanelTest, CommandDownEntersTheSelectedFolderAndCommandUpLeavesIt)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    ClickRow("beta");
    Key("\x1f", B_COMMAND_KEY);
    ASSERT_TRUE(WaitShown(fRoot + "/beta"));
    EXPECT_TRUE(Rows().empty());
    Key("\x1e", B_COMMAND_KEY);
    ASSERT_TRUE(WaitShown(fRoot));
    // Backspace in the list goes up too.
    DoubleClickRow("Apps");
    ASSERT_TRUE(WaitShown(fRoot + "/Apps"));
    Key("\b");
    ASSERT_TRUE(WaitShown(fRoot));
}

namespace {

// A panel for folders where one may be chosen, and one where several may.
class FilePanelKeysTest : public FilePanelTest, public testing::WithParamInterface<bool> {
protected:
    std::vector<int32> Selected()
    {
        std::vector<int32> rows;
        WithLock(fWindow, [&] {
            for (int32 i = 0; List()->CurrentSelection(i) >= 0; i++)
                rows.push_back(List()->CurrentSelection(i));
        });
        return rows;
    }

    std::string Focused()
    {
        std::string name;
        WithLock(fWindow, [&] {
            BView* focus = fWindow->CurrentFocus();
            name = focus != nullptr && focus->Name() != nullptr ? focus->Name() : "";
        });
        return name;
    }
};

} // namespace

TEST_P(FilePanelKeysTest, ArrowsSelectEnterChoosesAndTabReachesEveryControl)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot, GetParam());
    EXPECT_EQ(Focused(), "entries");
    // Rows: Apps, beta, to-apps, zeta docs.
    Key("\x04");
    EXPECT_EQ(Selected(), std::vector<int32> { 3 });
    Key("\x1e");
    EXPECT_EQ(Selected(), std::vector<int32> { 2 });
    Key("\x01");
    EXPECT_EQ(Selected(), std::vector<int32> { 0 });
    Key("\x1f", B_COMMAND_KEY);
    ASSERT_TRUE(WaitShown(fRoot + "/Apps"));
    Key("\b");
    ASSERT_TRUE(WaitShown(fRoot));

    std::vector<std::string> order;
    for (int i = 0; i < 8; i++) {
        Key("\t");
        order.push_back(Focused());
    }
    EXPECT_EQ(order,
        (Names {
            "hidden", "new-folder", "path", "cancel", "default", "folder", "parent", "entries" }));

    Key("\x04");
    Key("\n");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), (Names { fRoot + "/zeta docs" }));
}

INSTANTIATE_TEST_SUITE_P(
    Selections, FilePanelKeysTest, testing::Bool(), [](const testing::TestParamInfo<bool>& param) {
        return std::string(param.param ? "Several" : "One");
    });

TEST_F(FilePanelTest, CommandEscapeOpensTheVolumesMenuAndEscapeClosesOnlyIt)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    auto openMenu = [&] {
        std::string name;
        WithLock(fWindow, [&] {
            BPrivate::MenuTracker* tracker = BPrivate::WindowAccess::Tracker(fWindow);
            if (tracker != nullptr && !tracker->IsDone() && tracker->RootMenu() != nullptr)
                name = tracker->RootMenu()->Name();
        });
        return name;
    };
    Key("\x1b", B_COMMAND_KEY);
    EXPECT_EQ(openMenu(), "Volumes");
    Key("\x1b");
    EXPECT_EQ(openMenu(), "");
    EXPECT_TRUE(fPanel->IsShowing());
    EXPECT_EQ(fRecorder.Count(B_CANCEL), 0);
}

TEST_F(FilePanelTest, TheVolumesMenuGoesToTheBootVolume)
{
    BVolumeRoster roster;
    BVolume boot;
    char name[B_FILE_NAME_LENGTH];
    if (roster.GetBootVolume(&boot) != B_OK || boot.GetName(name) != B_OK || name[0] == '\0')
        GTEST_SKIP() << "no named boot volume";
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    BMenuBar* bar = nullptr;
    WithLock(fWindow, [&] { bar = static_cast<BMenuBar*>(fWindow->FindView("MenuBar")); });
    ASSERT_NE(bar, nullptr);
    BPoint volumes;
    WithLock(fWindow, [&] {
        BRect frame = bar->ItemAt(0)->Frame();
        volumes = fWindow->ConvertFromScreen(bar->ConvertToScreen(
            BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2)));
    });
    ASSERT_EQ(Display().InjectClick(fId, volumes), B_OK);
    BPoint item;
    ASSERT_TRUE(OpenMenuItem(name, &item));
    ASSERT_EQ(Display().InjectClick(fId, item), B_OK);
    ASSERT_TRUE(WaitShown(boot.MountPoint()));
}

TEST_F(FilePanelTest, ALinkToAFolderOpensItsTarget)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    DoubleClickRow("to-apps");
    ASSERT_TRUE(WaitShown(fRoot + "/Apps"));
    EXPECT_EQ(Rows(), (Names { "Games" }));
}

TEST_F(FilePanelTest, TheFolderMenuGoesToAnyParent)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot + "/Apps/Games");
    BMenuField* field = nullptr;
    WithLock(fWindow, [&] { field = static_cast<BMenuField*>(fWindow->FindView("folder")); });
    ASSERT_NE(field, nullptr);
    std::string shownLabel;
    WithLock(fWindow, [&] { shownLabel = field->MenuItem()->Label(); });
    EXPECT_EQ(shownLabel, "Games");
    ASSERT_EQ(Display().InjectClick(fId, CenterOf(field->MenuBar())), B_OK);
    BPoint item;
    ASSERT_TRUE(OpenMenuItem("Apps", &item));
    ASSERT_EQ(Display().InjectClick(fId, item), B_OK);
    ASSERT_TRUE(WaitShown(fRoot + "/Apps"));
    EXPECT_EQ(Rows(), (Names { "Games" }));
}

TEST_F(FilePanelTest, SetPanelDirectoryMovesOnlyToFolders)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    fPanel->SetPanelDirectory((fRoot + "/Apps").c_str());
    EXPECT_EQ(Shown(), fRoot + "/Apps");
    EXPECT_EQ(Rows(), (Names { "Games" }));

    for (const std::string& elsewhere :
        { fRoot + "/alpha.txt", fRoot + "/missing", fRoot + "/dangling", std::string() }) {
        fPanel->SetPanelDirectory(elsewhere.c_str());
        EXPECT_EQ(Shown(), fRoot + "/Apps") << elsewhere;
    }
    fPanel->SetPanelDirectory(static_cast<const char*>(nullptr));
    EXPECT_EQ(Shown(), fRoot + "/Apps");

    entry_ref ref;
    ASSERT_EQ(get_ref_for_path((fRoot + "/beta").c_str(), &ref), B_OK);
    fPanel->SetPanelDirectory(&ref);
    EXPECT_EQ(Shown(), fRoot + "/beta");

    BEntry link((fRoot + "/to-apps").c_str());
    fPanel->SetPanelDirectory(&link);
    EXPECT_EQ(Shown(), fRoot + "/Apps");

    BEntry file((fRoot + "/alpha.txt").c_str());
    fPanel->SetPanelDirectory(&file);
    EXPECT_EQ(Shown(), fRoot + "/Apps");
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
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    fPanel->SetButtonLabel(B_DEFAULT_BUTTON, "Select");
    WithLock(fPanel->Window(), [&] { fPanel->Window()->SetTitle("Choose a folder"); });
    if (choice.row[0] != '\0')
        ClickRow(choice.row);
    if (choice.withEnter)
        Key("\n");
    else
        ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    std::string expected = fRoot + (choice.chosen[0] != '\0' ? "/" : "") + choice.chosen;
    EXPECT_EQ(Chosen(), Names { expected });
    EXPECT_EQ(fRecorder.Last(kMsgFolderChosen).what, kMsgFolderChosen);
    EXPECT_TRUE(WaitUntil([&] { return !fPanel->IsShowing(); }));

    fPanel->Rewind();
    entry_ref ref;
    ASSERT_EQ(fPanel->GetNextSelectedRef(&ref), B_OK);
    EXPECT_EQ(PathOf(ref), expected);
    EXPECT_EQ(fPanel->GetNextSelectedRef(&ref), B_ENTRY_NOT_FOUND);

    std::string label;
    std::string title;
    WithLock(fWindow, [&] {
        label = static_cast<BButton*>(fWindow->FindView("default"))->Label();
        title = fWindow->Title();
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
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot, false, false);
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen, 1));
    EXPECT_TRUE(fPanel->IsShowing());
    ClickRow("Apps");
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen, 2));
    EXPECT_EQ(Chosen(), Names { fRoot + "/Apps" });
    fPanel->Hide();
    EXPECT_FALSE(fPanel->IsShowing());
    fPanel->Show();
    EXPECT_TRUE(fPanel->IsShowing());
}

TEST_F(FilePanelTest, ADanglingLinkIsNotChosenAsAFolder)
{
    Open(B_DIRECTORY_NODE, nullptr, fRoot);
    ClickRow("dangling");
    bool enabled = true;
    WithLock(fWindow,
        [&] { enabled = static_cast<BButton*>(fWindow->FindView("default"))->IsEnabled(); });
    EXPECT_FALSE(enabled);
    Key("\n");
    DoubleClickRow("dangling");
    EXPECT_EQ(Shown(), fRoot);
    EXPECT_EQ(fRecorder.Count(kMsgFolderChosen), 0);
    EXPECT_TRUE(fPanel->IsShowing());
}

TEST_F(FilePanelTest, AFilePanelOpensAFolderWithTheDefaultButtonAndChoosesFiles)
{
    Open(B_FILE_NODE, nullptr, fRoot, true);
    ClickRow("beta");
    ClickView("default");
    ASSERT_TRUE(WaitShown(fRoot + "/beta"));
    ClickView("parent");
    ASSERT_TRUE(WaitShown(fRoot));
    ClickRow("alpha.txt");
    ASSERT_EQ(Display().InjectClick(fId, RowCenter("Notes"), kPrimaryButton, 1, kCommandKey), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fWindow));
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), (Names { fRoot + "/alpha.txt", fRoot + "/Notes" }));
}

// #pragma mark - cancelling

namespace {

enum class CancelWay { kButton, kEscape, kCloseBox };

class FilePanelCancelTest : public FilePanelTest, public testing::WithParamInterface<CancelWay> { };

} // namespace

TEST_P(FilePanelCancelTest, CancellingHidesThePanelAndSendsCancel)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    ClickRow("beta");
    switch (GetParam()) {
    case CancelWay::kButton:
        ClickView("cancel");
        break;
    case CancelWay::kEscape:
        Key("\x1b");
        break;
    case CancelWay::kCloseBox:
        ASSERT_EQ(Display().InjectCloseRequest(fId), B_OK);
        break;
    }
    ASSERT_TRUE(fRecorder.WaitFor(B_CANCEL));
    int32 oldWhat = 0;
    EXPECT_EQ(fRecorder.Last(B_CANCEL).FindInt32("old_what", &oldWhat), B_OK);
    EXPECT_EQ(uint32(oldWhat), kMsgFolderChosen);
    EXPECT_TRUE(WaitUntil([&] { return !fPanel->IsShowing(); }));
    EXPECT_EQ(fRecorder.Count(kMsgFolderChosen), 0);
    // The window stays for the next time.
    ASSERT_NE(fPanel->Window(), nullptr);
    fPanel->Show();
    EXPECT_TRUE(fPanel->IsShowing());
    EXPECT_EQ(Shown(), fRoot);
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
    ASSERT_TRUE(fs::create_directory(fRoot + "/" + name));
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    ASSERT_GE(RowOf(name), 0);
    ClickRow(name);
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { fRoot + "/" + name });
}

TEST_P(FilePanelNameTest, ThePanelVerbOfTheUIDriverChoosesTheFolder)
{
    const std::string& name = GetParam();
    ASSERT_TRUE(fs::create_directory(fRoot + "/" + name));
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    std::string failure;
    status_t status = B_ERROR;
    std::thread driver([&] {
        status = UIDriver::RunScript(
            { "timeout 10", "panel " + Quoted(fRoot + "/" + name) }, &failure);
    });
    driver.join();
    ASSERT_EQ(status, B_OK) << failure;
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { fRoot + "/" + name });
    EXPECT_TRUE(WaitUntil([&] { return !fPanel->IsShowing(); }));
}

INSTANTIATE_TEST_SUITE_P(Names, FilePanelNameTest, testing::ValuesIn(kNames), NameCaseName);

TEST_F(FilePanelTest, ThePanelVerbRefusesWhatTheFolderPanelCannotChoose)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    for (const std::string& path : { fRoot + "/alpha.txt", fRoot + "/dangling", fRoot + "/missing",
             std::string("relative") }) {
        std::string failure;
        status_t status = B_ERROR;
        std::thread driver([&] {
            status = UIDriver::RunScript({ "timeout 0.2", "panel " + Quoted(path) }, &failure);
        });
        driver.join();
        EXPECT_EQ(status, B_TIMED_OUT) << path;
    }
    EXPECT_EQ(fRecorder.Count(kMsgFolderChosen), 0);
    EXPECT_TRUE(fPanel->IsShowing());
}

TEST_F(FilePanelTest, ThePanelVerbThroughALinkChoosesItsTarget)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot + "/beta");
    std::string failure;
    status_t status = B_ERROR;
    std::thread driver(
        [&] { status = UIDriver::RunScript({ "panel " + fRoot + "/to-apps" }, &failure); });
    driver.join();
    ASSERT_EQ(status, B_OK) << failure;
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { fRoot + "/Apps" });
}

// #pragma mark - folders that change

TEST_F(FilePanelTest, RefreshShowsWhatChangedInTheFolder)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    fs::create_directory(fRoot + "/fresh");
    fs::remove(fRoot + "/beta");
    fPanel->Refresh();
    EXPECT_EQ(Rows(), (Names { "Apps", "fresh", "to-apps", "zeta docs" }));
}

TEST_F(FilePanelTest, AFolderThatDisappearsWhileShownLeavesThePanelWorking)
{
    fs::create_directories(fRoot + "/gone/inner");
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot + "/gone");
    EXPECT_EQ(Rows(), Names { "inner" });
    ClickRow("inner");
    fs::remove_all(fRoot + "/gone");
    // The vanished selection is not sent, nor is the vanished folder.
    ClickView("default");
    EXPECT_EQ(fRecorder.Count(kMsgFolderChosen), 0);
    fPanel->Refresh();
    ASSERT_TRUE(WaitShown(fRoot));
    EXPECT_EQ(Rows(), (Names { "Apps", "beta", "to-apps", "zeta docs" }));
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { fRoot });
}

// #pragma mark - the tools below the list

namespace {

// Runs UI-driver lines against the panel, as a user works it.
testing::AssertionResult Drive(const std::vector<std::string>& lines)
{
    std::string failure;
    if (UIDriver::RunScript(lines, &failure) != B_OK)
        return testing::AssertionFailure() << failure;
    return testing::AssertionSuccess();
}

} // namespace

TEST_F(FilePanelTest, TheCheckBoxShowsHiddenFoldersWhichCanBeChosen)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    EXPECT_EQ(RowOf(".hidden"), -1);
    ClickView("hidden");
    ASSERT_TRUE(WaitUntil([&] { return RowOf(".hidden") >= 0; }));
    // Hidden folders sort with the others.
    EXPECT_EQ(Rows(), (Names { ".hidden", "Apps", "beta", "to-apps", "zeta docs" }));
    DoubleClickRow(".hidden");
    ASSERT_TRUE(WaitShown(fRoot + "/.hidden"));
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { fRoot + "/.hidden" });
    // Off again, they go.
    fPanel->Show();
    fPanel->SetPanelDirectory(fRoot.c_str());
    ASSERT_TRUE(WaitUntilSettled(fWindow));
    ClickView("hidden");
    EXPECT_TRUE(WaitUntil([&] { return RowOf(".hidden") == -1; }));
}

TEST_F(FilePanelTest, NewFolderAsksForANameMakesItAndSelectsIt)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    fPanel->SetPanelText(B_PANEL_CREATE_TEXT, "Make");
    ASSERT_TRUE(Drive({ "click new-folder", "type new-folder-name My Things", "alert Make" }));
    ASSERT_TRUE(WaitUntil([&] { return RowOf("My Things") >= 0; }));
    struct stat info;
    ASSERT_EQ(stat((fRoot + "/My Things").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_TRUE(WaitUntilSettled(fWindow));
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { fRoot + "/My Things" });
}

struct BadFolderName {
    const char* name;
    const char* typed;
    const char* message;
};

class FilePanelBadNameTest : public FilePanelTest,
                             public testing::WithParamInterface<BadFolderName> { };

TEST_P(FilePanelBadNameTest, SaysWhyAndMakesNothing)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    std::vector<std::string> before = Rows();
    ASSERT_TRUE(Drive({ "click new-folder", std::string("type new-folder-name ") + GetParam().typed,
        "alert Create", std::string("wait-text _tv_ ") + GetParam().message, "alert OK" }));
    EXPECT_EQ(Rows(), before);
    EXPECT_FALSE(fs::exists(fRoot + "/a/b"));
    EXPECT_TRUE(fPanel->IsShowing());
}

INSTANTIATE_TEST_SUITE_P(Names, FilePanelBadNameTest,
    testing::Values(BadFolderName { "Taken", "beta", "Something named \"beta\" is already there." },
        BadFolderName { "Slash", "a/b", "\"a/b\" cannot be the name of a folder." },
        BadFolderName { "DotDot", "..", "\"..\" cannot be the name of a folder." }),
    [](const testing::TestParamInfo<BadFolderName>& param) { return param.param.name; });

TEST_F(FilePanelTest, ACancelledNewFolderMakesNothing)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    std::vector<std::string> before = Rows();
    ASSERT_TRUE(Drive({ "click new-folder", "type new-folder-name Unwanted", "key Escape",
        "click new-folder", "type new-folder-name Closed", "close New Folder", "click new-folder",
        "type new-folder-name Wanted", "alert Create" }));
    // The answers come in order: once the last is done, so are the others.
    ASSERT_TRUE(WaitUntil([&] { return RowOf("Wanted") >= 0; }));
    EXPECT_FALSE(fs::exists(fRoot + "/Unwanted"));
    EXPECT_FALSE(fs::exists(fRoot + "/Closed"));
    before.insert(before.begin() + 3, "Wanted");
    EXPECT_EQ(Rows(), before);
}

TEST_F(FilePanelTest, ATypedPathIsGoneToWithEnterAndChosenWithTheButton)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    // Absolute, then relative to the folder shown.
    ASSERT_TRUE(Drive({ "type path " + fRoot + "/Apps/Games", "key Enter" }));
    ASSERT_TRUE(WaitShown(fRoot + "/Apps/Games"));
    EXPECT_EQ(fRecorder.Count(kMsgFolderChosen), 0);
    ASSERT_TRUE(Drive({ "type path ..", "key Enter" }));
    ASSERT_TRUE(WaitShown(fRoot + "/Apps"));
    // What is not a folder is said so, and the panel stays where it was.
    ASSERT_TRUE(Drive({ "type path nowhere", "key Enter",
        "wait-text _tv_ There is no folder \"nowhere\".", "alert OK" }));
    EXPECT_EQ(Shown(), fRoot + "/Apps");
    // The default button with a path typed takes it.
    WithLock(fWindow, [&] {
        BTextView* path = static_cast<BTextView*>(fWindow->FindView("path"));
        path->SetText("Games");
    });
    ASSERT_TRUE(Drive({ "click default" }));
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_EQ(Chosen(), Names { fRoot + "/Apps/Games" });
}

TEST_F(FilePanelTest, ItsOwnWordsMayBeReplaced)
{
    Open(B_DIRECTORY_NODE, &fFolderFilter, fRoot);
    fPanel->SetPanelText(B_PANEL_TITLE_TEXT, "Zielordner");
    fPanel->SetPanelText(B_PANEL_PARENT_TEXT, "Nach oben");
    fPanel->SetPanelText(B_PANEL_HIDDEN_TEXT, "Versteckte Ordner anzeigen");
    fPanel->SetPanelText(B_PANEL_NEW_FOLDER_TEXT, "Neuer Ordner mit langem Namen");
    fPanel->SetPanelText(B_PANEL_GO_TO_TEXT, "Gehe zu diesem Ort:");
    fPanel->SetPanelText(B_PANEL_VOLUMES_TEXT, "Laufwerke");
    WithLock(fWindow, [&] {
        EXPECT_STREQ(fWindow->Title(), "Zielordner");
        EXPECT_STREQ(static_cast<BControl*>(fWindow->FindView("parent"))->Label(), "Nach oben");
        BControl* button = static_cast<BControl*>(fWindow->FindView("new-folder"));
        EXPECT_STREQ(button->Label(), "Neuer Ordner mit langem Namen");
        // A longer word keeps the button's right edge and its whole label.
        EXPECT_EQ(button->Frame().right, fWindow->Bounds().right - 10);
        EXPECT_LE(button->StringWidth(button->Label()), button->Frame().Width());
        // The field starts after its longer label.
        BView* label = fWindow->FindView("go-to-label");
        EXPECT_GT(fWindow->FindView("path-frame")->Frame().left, label->Frame().right);
        EXPECT_LE(label->StringWidth("Gehe zu diesem Ort:"), label->Frame().Width());
        BMenuBar* bar = static_cast<BMenuBar*>(fWindow->FindView("MenuBar"));
        EXPECT_STREQ(bar->ItemAt(0)->Label(), "Laufwerke");
        // Nothing below the list leaves the window.
        for (const char* name : { "hidden", "new-folder", "path-frame", "cancel", "default" })
            EXPECT_LE(fWindow->FindView(name)->Frame().bottom, fWindow->Bounds().bottom) << name;
    });
}

// #pragma mark - looks

TEST_F(FilePanelTest, LooksAsRecorded)
{
    std::string shown = fRoot + "/Projects";
    fs::create_directories(shown + "/Docs");
    fs::create_directories(shown + "/Sources");
    fs::create_directories(shown + "/Tools");
    MakeFile(shown + "/README", "text/plain");
    Open(B_DIRECTORY_NODE, nullptr, shown);
    ClickRow("Sources");
    EXPECT_TRUE(MatchesGolden("interface/filepanel-folders", Snapshot(fWindow)));
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
    BMessenger target = fRecorder.Messenger();
    BMessage message(kMsgFolderChosen);
    auto owned = std::make_unique<OwnedPanel>(&target, &message, &fFolderFilter);
    owned->SetPanelDirectory(fRoot.c_str());
    owned->Show();
    fWindow = owned->Window();
    ASSERT_TRUE(WaitUntilSettled(fWindow));
    fId = DisplayId(fWindow);
    BView* menuBar = nullptr;
    WithLock(fWindow, [&] { menuBar = fWindow->FindView("MenuBar"); });
    EXPECT_NE(dynamic_cast<BMenuBar*>(menuBar), nullptr);
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_STREQ(fRecorder.Last(kMsgFolderChosen).GetString("marked", ""), "Folders");
    EXPECT_EQ(Chosen(), Names { fRoot });
    // Not hidden when done: the owner hides it.
    EXPECT_TRUE(owned->IsShowing());
    BMessenger windowMessenger(fWindow);
    owned.reset();
    EXPECT_FALSE(windowMessenger.IsValid());
}

// #pragma mark - saving

TEST_F(FilePanelTest, ASavePanelSendsTheFolderAndTheNameAndAsksBeforeReplacing)
{
    BMessenger target = fRecorder.Messenger();
    entry_ref start;
    ASSERT_EQ(get_ref_for_path(fRoot.c_str(), &start), B_OK);
    fPanel = std::make_unique<BFilePanel>(B_SAVE_PANEL, &target, &start);
    fPanel->SetSaveText("report.txt");
    fPanel->Show();
    fWindow = fPanel->Window();
    ASSERT_TRUE(WaitUntilSettled(fWindow));
    fId = DisplayId(fWindow);
    ClickView("default");
    ASSERT_TRUE(fRecorder.WaitFor(B_SAVE_REQUESTED));
    BMessage saved = fRecorder.Last(B_SAVE_REQUESTED);
    entry_ref folder;
    ASSERT_EQ(saved.FindRef("directory", &folder), B_OK);
    EXPECT_EQ(PathOf(folder), fRoot);
    EXPECT_STREQ(saved.GetString("name", ""), "report.txt");
    EXPECT_TRUE(WaitUntil([&] { return !fPanel->IsShowing(); }));

    // A file that is there is replaced only when the user says so.
    fPanel->Show();
    ASSERT_TRUE(WaitUntilSettled(fWindow));
    ClickRow("alpha.txt");
    std::string failure;
    status_t status = B_ERROR;
    std::thread driver([&] {
        status = UIDriver::RunScript({ "click default", "alert Replace" }, &failure);
    });
    driver.join();
    ASSERT_EQ(status, B_OK) << failure;
    ASSERT_TRUE(fRecorder.WaitFor(B_SAVE_REQUESTED, 2));
    EXPECT_STREQ(fRecorder.Last(B_SAVE_REQUESTED).GetString("name", ""), "alpha.txt");
}
