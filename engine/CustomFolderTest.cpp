#include "CustomFolder.h"
#include "CustomFolders.h"

#include <string>
#include <vector>

#include <Message.h>
#include <gtest/gtest.h>

namespace {

std::string Str(const LibString& string)
{
    return static_cast<const char*>(string);
}

CustomFolder* MakeFolder(
    const char* name, directory_which parent, const char* sub, bool replace, bool common = false)
{
    auto* folder = new CustomFolder(name);
    folder->ParentFolder(parent);
    folder->SubFolder(sub);
    folder->Replace(replace);
    folder->CommonDef(common);
    return folder;
}

std::vector<std::string> Names(CustomFolders& folders)
{
    std::vector<std::string> names;
    for (CustomFolder* folder = folders.First(); folder != nullptr; folder = folders.Next())
        names.push_back(Str(folder->Name()));
    return names;
}

using Names_t = std::vector<std::string>;

} // namespace

TEST(CustomFolderTest, DefaultsAndCopies)
{
    CustomFolder folder;
    EXPECT_EQ(Str(folder.Name()), "");
    EXPECT_EQ(Str(folder.SubFolder()), "");
    EXPECT_TRUE(folder.Replace());
    EXPECT_FALSE(folder.CommonDef());

    std::unique_ptr<CustomFolder> source(
        MakeFolder("Tools", B_USER_SETTINGS_DIRECTORY, "Maker/Tools", false, true));
    CustomFolder copy(*source);
    EXPECT_EQ(Str(copy.Name()), "Tools");
    EXPECT_EQ(copy.ParentFolder(), B_USER_SETTINGS_DIRECTORY);
    EXPECT_EQ(Str(copy.SubFolder()), "Maker/Tools");
    EXPECT_FALSE(copy.Replace());
    EXPECT_TRUE(copy.CommonDef());

    CustomFolder assigned("Other");
    assigned = *source;
    EXPECT_EQ(Str(assigned.SubFolder()), "Maker/Tools");
    EXPECT_TRUE(assigned.CommonDef());
}

TEST(CustomFolderTest, EqualityAndOrderGoByName)
{
    std::unique_ptr<CustomFolder> a(MakeFolder("A", B_USER_DIRECTORY, "x", true));
    std::unique_ptr<CustomFolder> sameName(MakeFolder("A", B_APPS_DIRECTORY, "y", false));
    std::unique_ptr<CustomFolder> b(MakeFolder("B", B_USER_DIRECTORY, "x", true));
    EXPECT_TRUE(*a == *sameName);
    EXPECT_FALSE(*a == *b);
    EXPECT_TRUE(*b > *a);
    EXPECT_FALSE(*a > *sameName);
    EXPECT_FALSE(CustomFolder("a") == CustomFolder("A"));
}

TEST(CustomFolderTest, AttrDescriptionRoundTrip)
{
    std::unique_ptr<CustomFolder> folder(
        MakeFolder("StartUp", B_COMMON_BOOT_DIRECTORY, "StartUp", false));
    EXPECT_EQ(Str(folder->AttrDescription()), "StartUp;2003;StartUp;0;");

    CustomFolder read;
    read.CommonDef(true);
    read.SetFromAttrDescription(LibString("StartUp;2003;StartUp;0;"));
    EXPECT_EQ(Str(read.Name()), "StartUp");
    EXPECT_EQ(read.ParentFolder(), B_COMMON_BOOT_DIRECTORY);
    EXPECT_EQ(Str(read.SubFolder()), "StartUp");
    EXPECT_FALSE(read.Replace());
    EXPECT_TRUE(read.CommonDef());

    read.SetFromAttrDescription(LibString("Deskbar;3007;Maker/Menu;7;"));
    EXPECT_EQ(read.ParentFolder(), B_USER_DESKBAR_DIRECTORY);
    EXPECT_TRUE(read.Replace());
}

TEST(CustomFolderTest, MalformedAttrDescriptionChangesOnlyWhatItHolds)
{
    std::unique_ptr<CustomFolder> folder(
        MakeFolder("Keep", B_USER_SETTINGS_DIRECTORY, "Sub", false));
    folder->SetFromAttrDescription(LibString(""));
    EXPECT_EQ(Str(folder->Name()), "Keep");
    folder->SetFromAttrDescription(LibString("New;notanumber"));
    EXPECT_EQ(Str(folder->Name()), "New");
    EXPECT_EQ(folder->ParentFolder(), B_USER_SETTINGS_DIRECTORY);
    EXPECT_EQ(Str(folder->SubFolder()), "Sub");
    EXPECT_FALSE(folder->Replace());
}

TEST(CustomFolderTest, ConfigurationEntryRoundTrip)
{
    std::unique_ptr<CustomFolder> folder(
        MakeFolder("ApplicationsMenu", B_USER_DESKBAR_DIRECTORY, "Maker/Product", false));
    BMessage message;
    folder->Write(message);
    const char* text = nullptr;
    ASSERT_EQ(message.FindString("custom_folder_name", &text), B_OK);
    EXPECT_STREQ(text, "ApplicationsMenu");
    int32 root = 0;
    ASSERT_EQ(message.FindInt32("custom_root_dir", &root), B_OK);
    EXPECT_EQ(root, 3007);
    ASSERT_EQ(message.FindString("custom_sub_dir", &text), B_OK);
    EXPECT_STREQ(text, "Maker/Product");
    bool replace = true;
    ASSERT_EQ(message.FindBool("custom_replace_existing", &replace), B_OK);
    EXPECT_FALSE(replace);

    CustomFolder read;
    read.CommonDef(true);
    read.Read(message);
    EXPECT_EQ(Str(read.Name()), "ApplicationsMenu");
    EXPECT_EQ(read.ParentFolder(), B_USER_DESKBAR_DIRECTORY);
    EXPECT_EQ(Str(read.SubFolder()), "Maker/Product");
    EXPECT_FALSE(read.Replace());
    EXPECT_TRUE(read.CommonDef());
}

TEST(CustomFolderTest, PreferenceEntryUsesNumberedKeys)
{
    std::unique_ptr<CustomFolder> folder(
        MakeFolder("Etc", B_COMMON_ETC_DIRECTORY, "Maker", true, true));
    BMessage message;
    folder->WritePref(12, message);
    EXPECT_TRUE(message.HasString("custom_folder_name_12"));
    EXPECT_TRUE(message.HasInt32("custom_folder_parent_12"));
    EXPECT_TRUE(message.HasString("custom_folder_sub_dir_12"));
    EXPECT_TRUE(message.HasBool("custom_folder_replace_12"));
    EXPECT_FALSE(message.HasBool("custom_folder_common_12"));

    CustomFolder read;
    read.ReadPref(12, message);
    EXPECT_EQ(Str(read.Name()), "Etc");
    EXPECT_EQ(read.ParentFolder(), B_COMMON_ETC_DIRECTORY);
    EXPECT_EQ(Str(read.SubFolder()), "Maker");
    EXPECT_TRUE(read.Replace());
    EXPECT_FALSE(read.CommonDef());
}

// Reads a record that lacks every field into a folder that held values, by
// the configuration form (false) or the preference form (true).
class AbsentFieldsTest : public testing::TestWithParam<bool> { };

TEST_P(AbsentFieldsTest, ReadAsEmptyZeroAndFalse)
{
    std::unique_ptr<CustomFolder> folder(
        MakeFolder("Old", B_COMMON_ETC_DIRECTORY, "Maker", true, true));
    BMessage empty;
    if (GetParam())
        folder->ReadPref(3, empty);
    else
        folder->Read(empty);
    // A record without the flag must never replace (so never empty) a folder.
    EXPECT_FALSE(folder->Replace());
    EXPECT_EQ(Str(folder->Name()), "");
    EXPECT_EQ(Str(folder->SubFolder()), "");
    EXPECT_EQ(int32(folder->ParentFolder()), 0);
    EXPECT_TRUE(folder->CommonDef()) << "the common flag is not stored and stays";

    CustomFolder fresh;
    BMessage nameOnly;
    nameOnly.AddString(GetParam() ? "custom_folder_name_3" : "custom_folder_name", "Fonts");
    if (GetParam())
        fresh.ReadPref(3, nameOnly);
    else
        fresh.Read(nameOnly);
    EXPECT_EQ(Str(fresh.Name()), "Fonts");
    EXPECT_FALSE(fresh.Replace());
}

INSTANTIATE_TEST_SUITE_P(BothForms, AbsentFieldsTest, testing::Values(false, true),
    [](const testing::TestParamInfo<bool>& param) {
        return param.param ? std::string("Preference") : std::string("Configuration");
    });

TEST(CustomFolderTest, PrintToStreamLine)
{
    std::unique_ptr<CustomFolder> folder(
        MakeFolder("StartUp", B_COMMON_BOOT_DIRECTORY, "Boot", false, true));
    testing::internal::CaptureStderr();
    folder->PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
        "CustomFolder name (StartUp), sub (Boot), replace 0, common 1\n");
}

TEST(CustomFoldersTest, FindAndCount)
{
    CustomFolders folders;
    folders.Insert(MakeFolder("A", B_USER_DIRECTORY, "a", true));
    folders.Insert(MakeFolder("B", B_USER_DIRECTORY, "b", true, true));
    folders.Insert(MakeFolder("C", B_USER_DIRECTORY, "c", true, true));
    EXPECT_TRUE(folders.IsCustom("B"));
    EXPECT_FALSE(folders.IsCustom("b"));
    EXPECT_FALSE(folders.IsCustom(nullptr));
    CustomFolder* c = folders.Find("C");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Str(c->SubFolder()), "c");
    EXPECT_EQ(folders.Find("D"), nullptr);
    EXPECT_EQ(folders.CountCommonCustom(), 2);
}

TEST(CustomFoldersTest, WritePrefWritesOnlyTheChosenKind)
{
    CustomFolders folders;
    folders.Insert(MakeFolder("Own1", B_USER_DIRECTORY, "1", true));
    folders.Insert(MakeFolder("Common", B_COMMON_BOOT_DIRECTORY, "c", true, true));
    folders.Insert(MakeFolder("Own2", B_USER_DIRECTORY, "2", false));

    BMessage own;
    folders.WritePref(own, true);
    int32 quantity = 0;
    ASSERT_EQ(own.FindInt32("custom_folder_qty", &quantity), B_OK);
    EXPECT_EQ(quantity, 2);
    const char* name = nullptr;
    ASSERT_EQ(own.FindString("custom_folder_name_0", &name), B_OK);
    EXPECT_STREQ(name, "Own1");
    ASSERT_EQ(own.FindString("custom_folder_name_1", &name), B_OK);
    EXPECT_STREQ(name, "Own2");
    EXPECT_FALSE(own.HasString("custom_folder_name_2"));

    BMessage common;
    folders.WritePref(common, false);
    ASSERT_EQ(common.FindInt32("custom_folder_qty", &quantity), B_OK);
    EXPECT_EQ(quantity, 1);
    ASSERT_EQ(common.FindString("custom_folder_name_0", &name), B_OK);
    EXPECT_STREQ(name, "Common");
}

TEST(CustomFoldersTest, ReadPrefOfCommonFoldersRenamesAnEarlierFolder)
{
    CustomFolders folders;
    folders.Insert(MakeFolder("StartUp", B_USER_BOOT_DIRECTORY, "mine", true));

    CustomFolders common;
    common.Insert(MakeFolder("StartUp", B_COMMON_BOOT_DIRECTORY, "StartUp", false, true));
    BMessage message;
    common.WritePref(message, false);

    folders.ReadPref(message, false);
    EXPECT_EQ(Names(folders), (Names_t { "StartUp Renamed", "StartUp" }));
    CustomFolder* added = folders.Find("StartUp");
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(added->CommonDef());
    EXPECT_EQ(added->ParentFolder(), B_COMMON_BOOT_DIRECTORY);
    CustomFolder* renamed = folders.Find("StartUp Renamed");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(Str(renamed->SubFolder()), "mine");
}

TEST(CustomFoldersTest, ReadPrefOfOwnFoldersOnlyAppends)
{
    CustomFolders source;
    source.Insert(MakeFolder("X", B_USER_DIRECTORY, "x", true));
    BMessage message;
    source.WritePref(message, true);

    CustomFolders folders;
    folders.Insert(MakeFolder("X", B_APPS_DIRECTORY, "old", true, true));
    folders.ReadPref(message, true);
    EXPECT_EQ(Names(folders), (Names_t { "X", "X" }));
    CustomFolder* added = folders.Get(1);
    ASSERT_NE(added, nullptr);
    EXPECT_FALSE(added->CommonDef());

    BMessage empty;
    folders.ReadPref(empty, false);
    EXPECT_EQ(folders.Size(), 2);
}
