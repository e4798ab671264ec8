#include "InstallListItem.h"

#include <Directory.h>
#include <ListView.h>
#include <Message.h>
#include <ScrollView.h>

#include <InterfaceTestSupport.h>
#include <LibBitmap.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace brenvik::test;

namespace {

std::string MakeFile(const std::string& folder, const char* leaf, const std::string& contents)
{
    std::string path = folder + "/" + leaf;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
    EXPECT_GE(fd, 0) << path;
    EXPECT_EQ(write(fd, contents.data(), contents.size()), ssize_t(contents.size()));
    close(fd);
    return path;
}

// Whether every pixel of the icon is the transparent index.
bool IconIsEmpty(const LibBitmap* icon)
{
    const uint8* bits = static_cast<const uint8*>(icon->Bits());
    for (int32 i = 0; i < icon->BitsLength(); i++) {
        if (bits[i] != B_TRANSPARENT_MAGIC_CMAP8)
            return false;
    }
    return true;
}

TEST(InstallListItemTest, WriteThenReadGivesTheSameItem)
{
    std::string folder = MakeTempFolder("items");
    std::string path = MakeFile(folder, "Brenvik Demo", "#!/bin/sh\necho hello\n");
    InstallListItem written(path.c_str(), false, false);
    written.SetType(FileListItem::kApplication);
    written.SetSize(4096);
    written.Groups().Add("Typical");
    written.Groups().Add("Full");
    BMessage record;
    written.Write(record);

    const char* groups = nullptr;
    ASSERT_EQ(record.FindString("groups", &groups), B_OK);
    EXPECT_STREQ(groups, "Typical;Full;");
    int32 size = 0;
    EXPECT_EQ(record.FindInt32("file_size", 0, &size), B_OK);
    EXPECT_EQ(size, 21);
    EXPECT_EQ(record.FindInt32("file_size", 1, &size), B_OK);
    EXPECT_EQ(size, 4096);
    int64 modified = 0;
    EXPECT_EQ(record.FindInt64("file_modified", &modified), B_OK);
    EXPECT_GT(modified, 0);
    BMessage icon;
    ASSERT_EQ(record.FindMessage("file_icon", &icon), B_OK);
    const char* className = nullptr;
    EXPECT_EQ(icon.FindString("class", &className), B_OK);
    EXPECT_STREQ(className, "LibBitmap");

    InstallListItem read(false);
    read.SetShowFullPath(false);
    read.Read(record);
    EXPECT_STREQ(read.Path().Path(), path.c_str());
    EXPECT_STREQ(read.DisplayText(), "Brenvik Demo");
    EXPECT_EQ(read.Type(), FileListItem::kApplication);
    // Only the first size is read: the size on disk when the record was made.
    EXPECT_EQ(read.Size(), 21);
    EXPECT_TRUE(read.Groups().InList("Typical"));
    EXPECT_TRUE(read.Groups().InList("Full"));
    EXPECT_FALSE(read.Groups().InList("Minimal"));
    EXPECT_EQ(std::memcmp(read.Icon()->Bits(), written.Icon()->Bits(),
                  size_t(written.Icon()->BitsLength())),
        0);
}

TEST(InstallListItemTest, GroupsKeepTheirOrderAndSkipEmptyNames)
{
    BMessage record;
    record.AddString("groups", "Typical;;Sounds;");
    InstallListItem item(false);
    item.Read(record);
    ASSERT_EQ(item.Groups().Size(), 2);
    EXPECT_STREQ(*item.Groups().Get(0), "Typical");
    EXPECT_STREQ(*item.Groups().Get(1), "Sounds");
}

TEST(InstallListItemTest, MissingFieldsLeaveTheOldValues)
{
    InstallListItem item(false);
    item.SetSize(77);
    BMessage record;
    record.AddString("file_name", "/boot/apps/Demo/readme.txt");
    item.Read(record);
    EXPECT_EQ(item.Size(), 77);
    EXPECT_EQ(item.Type(), FileListItem::kPlainFile);
    EXPECT_EQ(item.Groups().Size(), 0);
    // Without "file_icon" the icon stays empty: nothing of it shows.
    EXPECT_TRUE(IconIsEmpty(item.Icon()));
    EXPECT_STREQ(item.DisplayText(), "/boot/apps/Demo/readme.txt");
}

// The path an installer records is the item's path in the author's project;
// its leaf names the row whatever the current folder is, even a folder that
// is gone.
TEST(InstallListItemTest, AProjectPathNamesTheRowWithoutTheCurrentFolder)
{
    std::string gone = MakeTempFolder("gone");
    char* previous = getcwd(nullptr, 0);
    ASSERT_NE(previous, nullptr);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    BMessage record;
    record.AddString("file_name", "payload/Notes.app");
    InstallListItem item(false);
    item.SetShowFullPath(false);
    item.Read(record);
    EXPECT_EQ(chdir(previous), 0);
    std::free(previous);
    EXPECT_STREQ(item.DisplayText(), "Notes.app");
    ASSERT_NE(item.Path().Path(), nullptr);
    EXPECT_EQ(std::string(item.Path().Path()).find(gone), std::string::npos);
}

TEST(InstallListItemTest, ADamagedIconArchiveKeepsTheOldIcon)
{
    BMessage record;
    BMessage icon;
    icon.AddString("class", "LibBitmap");
    icon.AddInt32("_cspace", B_CMAP8);
    record.AddMessage("file_icon", &icon);
    InstallListItem item(false);
    item.Read(record);
    ASSERT_NE(item.Icon(), nullptr);
    EXPECT_TRUE(IconIsEmpty(item.Icon()));
}

TEST(InstallListItemTest, AFileOf4GBIsRecordedSaturatedWithItsWholeSizeBeside)
{
    std::string folder = MakeTempFolder("big");
    std::string path = folder + "/sparse";
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, off_t(4) << 30), 0);
    close(fd);
    FileListItem item(path.c_str(), false, false);
    BMessage record;
    item.Write(record);
    int32 size = 0;
    EXPECT_EQ(record.FindInt32("file_size", &size), B_OK);
    EXPECT_EQ(size, INT32_MAX);
    // The companion holds the whole size, which a list item reads back.
    int64 whole = 0;
    EXPECT_EQ(record.FindInt64("BVC:file_size_64", &whole), B_OK);
    EXPECT_EQ(whole, int64(4) << 30);
    InstallListItem read(false);
    read.Read(record);
    EXPECT_EQ(read.Size64(), uint64(4) << 30);
    EXPECT_EQ(read.Size(), INT32_MAX);
}

TEST(InstallListItemTest, CopyTakesPathGroupsAndIconButItsOwnIndent)
{
    InstallListItem original(true);
    BMessage record;
    record.AddString("file_name", "/boot/apps/Demo/Demo");
    record.AddString("groups", "Typical;");
    original.Read(record);
    std::memset(const_cast<LibBitmap*>(original.Icon())->Bits(), 42, 256);

    InstallListItem copy(original, false);
    EXPECT_FALSE(copy.Indent());
    EXPECT_STREQ(copy.Path().Path(), "/boot/apps/Demo/Demo");
    EXPECT_TRUE(copy.Groups().InList("Typical"));
    EXPECT_NE(copy.Icon(), original.Icon());
    EXPECT_EQ(static_cast<const uint8*>(copy.Icon()->Bits())[0], 42);
    EXPECT_EQ(copy.TruncateMode(), uint32(B_TRUNCATE_BEGINNING));
}

struct TruncationCase {
    const char* name;
    uint32 mode;
    float listWidth;
    const char* expected;
};

std::ostream& operator<<(std::ostream& stream, const TruncationCase& c)
{
    return stream << c.name;
}

class FileListItemTruncationTest : public testing::TestWithParam<TruncationCase> { };

TEST_P(FileListItemTruncationTest, CutsToTheListWidthOnlyWithAMode)
{
    TestWindow window(BRect(100, 100, 400, 200));
    BListView* list = new OwningListView<>(BRect(0, 0, GetParam().listWidth, 90), "custom_list");
    FileListItem* item = new FileListItem(false, true);
    BMessage record;
    record.AddString("file_name", "/boot/apps/Brenvik Demo/Documentation/Getting Started.html");
    item->Read(record);
    item->SetTruncateMode(GetParam().mode);
    list->AddItem(item);
    window.Add(list);
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    WithLock(window.Get(), [&] {
        EXPECT_STREQ(item->DisplayText(), GetParam().expected);
        EXPECT_EQ(item->Height(), FileListItem::kItemHeight);
        // Measuring again at a larger width shows the whole text again.
        list->ResizeTo(600, 90);
        item->Update(list, be_plain_font);
        EXPECT_STREQ(
            item->DisplayText(), "/boot/apps/Brenvik Demo/Documentation/Getting Started.html");
    });
}

INSTANTIATE_TEST_SUITE_P(Modes, FileListItemTruncationTest,
    testing::Values(TruncationCase { "never", 0, 120,
                        "/boot/apps/Brenvik Demo/Documentation/Getting Started.html" },
        TruncationCase { "at_the_beginning", B_TRUNCATE_BEGINNING, 150,
            "\xE2\x80\xA6"
            "tion/Getting Started.html" }),
    [](const testing::TestParamInfo<TruncationCase>& param) {
        return std::string(param.param.name);
    });

// A file list: leaf names, rows 0 and 2 selected, a folder, a whole path.
// Without check boxes a selected row is on grey, an unselected one on the
// list's colour; with them (the installer's check list) every row is on the
// list's colour, and the selected rows' boxes are ticked.
void ExpectFileListGolden(bool checkBoxes, const char* golden)
{
    std::string folder = MakeTempFolder("golden");
    std::string program = MakeFile(folder, "Brenvik Demo",
        "\x7f"
        "ELF\x02\x01\x01");
    std::string readme = MakeFile(folder, "Read Me First.txt", "Read me.\n");
    std::string sounds = folder + "/Sounds";
    ASSERT_EQ(mkdir(sounds.c_str(), 0755), 0);
    std::string deep = folder;
    for (const char* part : { "boot", "home", "config", "settings", "Brenvik" }) {
        deep += std::string("/") + part;
        ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
    }
    std::string settings = MakeFile(deep, "Demo_settings", "key=value\n");

    TestWindow window(BRect(100, 100, 279, 199));
    BListView* list
        = new OwningListView<>(BRect(0, 0, 164, 99), "custom_list", B_MULTIPLE_SELECTION_LIST);
    BScrollView* scroll = new BScrollView(
        "custom_scroll_view", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true, B_FANCY_BORDER);
    auto add = [&](const std::string& path, bool fullPath, FileListItem::FileType type) {
        InstallListItem* item = new InstallListItem(path.c_str(), false, fullPath);
        item->SetType(type);
        item->SetCheckBox(checkBoxes);
        list->AddItem(item);
    };
    add(program, false, FileListItem::kApplication);
    add(readme, false, FileListItem::kPlainFile);
    add(sounds, false, FileListItem::kFolder);
    add(settings, true, FileListItem::kPlainFile);
    window.Add(scroll);
    window.Show();
    WithLock(window.Get(), [&] {
        list->Select(0, false);
        list->Select(2, true);
    });
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    EXPECT_TRUE(MatchesGolden(golden, Snapshot(window.Get())));
}

TEST(InstallListItemTest, GoldenFileList)
{
    ExpectFileListGolden(false, "views/file-list");
}

TEST(InstallListItemTest, GoldenFileCheckList)
{
    ExpectFileListGolden(true, "views/file-check-list");
}

} // namespace
