#include "LibFilePanel.h"
#include "LibRefFilter.h"

#include "LibInterfaceTestSupport.h"

#include <Entry.h>
#include <ListView.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace brenvik::test;
namespace fs = std::filesystem;

namespace {

constexpr uint32 kMsgFolderChosen = 2005;

// A folder with two folders, two files and links to one of each, and a
// link to nothing.
class Folder {
public:
    Folder()
        : fRoot(fs::canonical(MakeTempFolder("panel")).string())
    {
        fs::create_directories(fRoot + "/Apps/Games");
        fs::create_directory(fRoot + "/beta");
        std::ofstream(fRoot + "/alpha.txt") << "text\n";
        std::ofstream(fRoot + "/Notes") << "notes\n";
        BNode node((fRoot + "/alpha.txt").c_str());
        BNodeInfo(&node).SetType("text/plain");
        fs::create_directory_symlink(fRoot + "/Apps", fRoot + "/to-apps");
        fs::create_symlink(fRoot + "/Notes", fRoot + "/to-notes");
        fs::create_symlink(fRoot + "/missing", fRoot + "/dangling");
    }

    const std::string& Root() const { return fRoot; }
    std::string Path(const std::string& leaf) const { return fRoot + "/" + leaf; }

private:
    std::string fRoot;
};

// The installer's filter: folders and volumes only.
void AddFolderTypes(LibRefFilter& filter)
{
    filter.AddType(B_DIRECTORY_MIME_TYPE);
    filter.AddType(B_VOLUME_MIME_TYPE);
}

// Asks the filter about an entry as the panel does: with its node, its stat
// record (of the entry itself, not of a link's target) and its type.
bool Lists(LibRefFilter& filter, const std::string& path, const char* typeOverride = nullptr)
{
    entry_ref ref;
    EXPECT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
    BNode node(&ref);
    stat_beos info;
    EXPECT_EQ(lstat(path.c_str(), &info), 0);
    char type[B_MIME_TYPE_LENGTH] = "application/octet-stream";
    BNodeInfo(&node).GetType(type);
    return filter.Filter(&ref, &node, &info, typeOverride != nullptr ? typeOverride : type);
}

struct FilterCase {
    const char* name;
    std::function<void(LibRefFilter&)> setUp;
    const char* leaf;
    bool listed;
};

std::ostream& operator<<(std::ostream& stream, const FilterCase& filter)
{
    return stream << filter.name;
}

class LibRefFilterTest : public testing::TestWithParam<FilterCase> { };

void Folders(LibRefFilter& filter)
{
    AddFolderTypes(filter);
}

void FoldersAndFiles(LibRefFilter& filter)
{
    AddFolderTypes(filter);
    filter.AllowAllFiles(true);
}

void FoldersNoLinks(LibRefFilter& filter)
{
    AddFolderTypes(filter);
    filter.AllowSoftLinks(false);
}

} // namespace

TEST_P(LibRefFilterTest, ListsWhatItAccepts)
{
    Folder folder;
    LibRefFilter filter;
    GetParam().setUp(filter);
    EXPECT_EQ(Lists(filter, folder.Path(GetParam().leaf)), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(Entries, LibRefFilterTest,
    testing::Values(FilterCase { "folder", Folders, "Apps", true },
        FilterCase { "typed_file", Folders, "alpha.txt", false },
        FilterCase { "untyped_file", Folders, "Notes", false },
        // A link is judged by what it points to.
        FilterCase { "link_to_folder", Folders, "to-apps", true },
        FilterCase { "link_to_file", Folders, "to-notes", false },
        FilterCase { "dangling_link", Folders, "dangling", false },
        FilterCase { "all_files", FoldersAndFiles, "alpha.txt", true },
        FilterCase { "all_files_untyped", FoldersAndFiles, "Notes", true },
        FilterCase { "all_files_folder", FoldersAndFiles, "beta", true },
        // With every file allowed a link is judged by its own type.
        FilterCase { "all_files_link", FoldersAndFiles, "to-apps", false },
        FilterCase { "links_as_links", FoldersNoLinks, "to-apps", false },
        FilterCase {
            "text_type", [](LibRefFilter& f) { f.AddType("text/plain"); }, "alpha.txt", true }),
    [](const testing::TestParamInfo<FilterCase>& param) { return std::string(param.param.name); });

TEST(LibRefFilterTest, ListsTheRootOfAVolume)
{
    Folder folder;
    LibRefFilter filter;
    AddFolderTypes(filter);
    EXPECT_TRUE(Lists(filter, folder.Path("beta"), B_VOLUME_MIME_TYPE));
    LibRefFilter textOnly;
    textOnly.AddType("text/plain");
    EXPECT_FALSE(Lists(textOnly, folder.Path("beta"), B_VOLUME_MIME_TYPE));
}

namespace {

// The installer's folder panel: open mode, folders only, single selection,
// answering a recorder.
class LibFilePanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        fPanel = std::make_unique<LibFilePanel>(
            B_OPEN_PANEL, fRecorder.Target(), kMsgFolderChosen, B_DIRECTORY_NODE, false);
        AddFolderTypes(fPanel->Filter());
    }

    void TearDown() override { fPanel.reset(); }

    void ShowAt(const std::string& path)
    {
        fPanel->SetPanelDirectory(path.c_str());
        fPanel->Show();
        fWindow = fPanel->Window();
        ASSERT_NE(fWindow, nullptr);
        ASSERT_TRUE(WaitUntilSettled(fWindow));
    }

    std::vector<std::string> Rows()
    {
        std::vector<std::string> names;
        WithLock(fWindow, [&] {
            BListView* list = static_cast<BListView*>(fWindow->FindView("entries"));
            for (int32 i = 0; i < list->CountItems(); i++)
                names.push_back(PanelEntryName(list->ItemAt(i)));
        });
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Shown()
    {
        entry_ref ref;
        if (fPanel->GetPanelDirectory(&ref) != B_OK)
            return std::string();
        return BPath(&ref).Path();
    }

    void Click(const char* name)
    {
        BView* view = nullptr;
        WithLock(fWindow, [&] { view = fWindow->FindView(name); });
        ASSERT_NE(view, nullptr) << name;
        ASSERT_EQ(Display().InjectClick(DisplayId(fWindow), CenterOf(view)), B_OK);
        ASSERT_TRUE(WaitUntilSettled(fWindow));
    }

    Folder fFolder;
    MessageRecorder fRecorder;
    std::unique_ptr<LibFilePanel> fPanel;
    BWindow* fWindow = nullptr;
};

} // namespace

TEST_F(LibFilePanelTest, ListsOnlyFoldersAndLinksToThem)
{
    ShowAt(fFolder.Root());
    EXPECT_EQ(Rows(), std::vector<std::string>({ "Apps", "beta", "to-apps" }));
}

TEST_F(LibFilePanelTest, AnswersWithTheMarkedFormatAndStaysOpen)
{
    fPanel->AddFormatMenuItem("Folders", false);
    fPanel->AddFormatMenuItem("Links", true);
    ShowAt(fFolder.Root());
    WithLock(fWindow, [&] {
        BMenuBar* bar = dynamic_cast<BMenuBar*>(fWindow->FindView("MenuBar"));
        ASSERT_NE(bar, nullptr);
        BMenuItem* format = bar->FindItem("Format");
        ASSERT_NE(format, nullptr);
        ASSERT_NE(format->Submenu(), nullptr);
        EXPECT_TRUE(format->Submenu()->IsRadioMode());
        EXPECT_EQ(format->Submenu()->CountItems(), 2);
    });
    Click("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    BMessage answer = fRecorder.Last(kMsgFolderChosen);
    EXPECT_STREQ(answer.GetString("marked", ""), "Links");
    entry_ref chosen;
    ASSERT_EQ(answer.FindRef("refs", &chosen), B_OK);
    EXPECT_EQ(std::string(BPath(&chosen).Path()), fFolder.Root());
    // The owner hides it once it accepts the choice.
    EXPECT_TRUE(fPanel->IsShowing());
}

TEST_F(LibFilePanelTest, AnswersWithoutMarkedWhenThereIsNoFormatMenu)
{
    ShowAt(fFolder.Root());
    Click("default");
    ASSERT_TRUE(fRecorder.WaitFor(kMsgFolderChosen));
    EXPECT_FALSE(fRecorder.Last(kMsgFolderChosen).HasString("marked"));
}

TEST_F(LibFilePanelTest, GoesToTheParentFolderAndToStandardFolders)
{
    ShowAt(fFolder.Path("Apps/Games"));
    fPanel->SetToParentDirectory();
    EXPECT_EQ(Shown(), fFolder.Path("Apps"));
    fPanel->SetToParentDirectory();
    EXPECT_EQ(Shown(), fFolder.Root());

    BPath home;
    ASSERT_EQ(find_directory(B_USER_DIRECTORY, &home, true), B_OK);
    fPanel->SetPanelDirectory(B_USER_DIRECTORY);
    EXPECT_EQ(Shown(), std::string(home.Path()));
}

TEST_F(LibFilePanelTest, PutsItselfBackWhereItWas)
{
    ShowAt(fFolder.Path("Apps"));
    WithLock(fWindow, [&] {
        fWindow->MoveTo(BPoint(120, 90));
        fWindow->ResizeTo(420, 330);
    });
    LibFilePanelState state;
    ASSERT_TRUE(fPanel->GetState(state));
    EXPECT_EQ(state.frame, BRect(120, 90, 540, 420));

    LibFilePanel other(B_OPEN_PANEL, fRecorder.Target(), kMsgFolderChosen, B_DIRECTORY_NODE, false);
    other.SetState(state);
    entry_ref shown;
    ASSERT_EQ(other.GetPanelDirectory(&shown), B_OK);
    EXPECT_EQ(std::string(BPath(&shown).Path()), fFolder.Path("Apps"));
    LibFilePanelState restored;
    ASSERT_TRUE(other.GetState(restored));
    EXPECT_EQ(restored.frame, state.frame);

    // A frame off the screen leaves the window where it is.
    LibFilePanelState away = state;
    away.frame.OffsetBy(50000, 50000);
    other.SetState(away);
    ASSERT_TRUE(other.GetState(restored));
    EXPECT_EQ(restored.frame, state.frame);
}

TEST_F(LibFilePanelTest, QuitsItsWindowWhenDeleted)
{
    ShowAt(fFolder.Root());
    BMessenger window(fWindow);
    ASSERT_TRUE(window.IsValid());
    fPanel.reset();
    EXPECT_FALSE(window.IsValid());
}

TEST_F(LibFilePanelTest, LooksAsRecorded)
{
    std::string shown = fFolder.Path("Projects");
    fs::create_directories(shown + "/Docs");
    fs::create_directories(shown + "/Sources");
    std::ofstream(shown + "/README") << "read me\n";
    fs::create_directory_symlink(shown + "/Docs", shown + "/Manuals");
    fPanel->AddFormatMenuItem("Folders", true);
    fPanel->AddFormatMenuItem("Links", false);
    ShowAt(shown);
    EXPECT_TRUE(MatchesGolden("toolkit/filepanel-folders-format", Snapshot(fWindow)));
}
