#include <Entry.h>

#include <gtest/gtest.h>

#include <Directory.h>
#include <Path.h>

#include "RefPathCache.h"
#include "StorageTestUtils.h"

namespace {

using brenvik::test::MakeTempFolder;
using storage_test::WriteFile;

std::string RealTempFolder(const char* hint)
{
    char resolved[4096];
    return realpath(MakeTempFolder(hint).c_str(), resolved) != nullptr ? resolved : "";
}

TEST(EntryRefTest, MissingLeafInExistingFolderGivesTheWouldBeReference)
{
    std::string folder = RealTempFolder("ref");
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path((folder + "/not-yet").c_str(), &ref), B_OK);
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(ref.device, info.st_dev);
    EXPECT_EQ(ref.directory, info.st_ino);
    EXPECT_STREQ(ref.name, "not-yet");

    BPath path(&ref);
    ASSERT_EQ(path.InitCheck(), B_OK);
    EXPECT_STREQ(path.Path(), (folder + "/not-yet").c_str());
}

TEST(EntryRefTest, MissingFolderFails)
{
    std::string folder = RealTempFolder("ref");
    entry_ref ref;
    EXPECT_EQ(get_ref_for_path((folder + "/gone/leaf").c_str(), &ref), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(get_ref_for_path(nullptr, &ref), B_BAD_VALUE);
}

TEST(EntryRefTest, FinalLinkIsNotFollowed)
{
    std::string folder = RealTempFolder("ref");
    ASSERT_EQ(mkdir((folder + "/target").c_str(), 0755), 0);
    ASSERT_EQ(symlink("target", (folder + "/link").c_str()), 0);
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path((folder + "/link").c_str(), &ref), B_OK);
    EXPECT_STREQ(ref.name, "link");
}

TEST(EntryRefTest, ReferenceFollowsItsFolderAfterTheFolderMoved)
{
    std::string folder = RealTempFolder("ref");
    ASSERT_EQ(mkdir((folder + "/a").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((folder + "/a/inner").c_str(), 0755), 0);
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path((folder + "/a/inner/file").c_str(), &ref), B_OK);
    ASSERT_EQ(rename((folder + "/a/inner").c_str(), (folder + "/moved").c_str()), 0);

    BPath path(&ref);
    ASSERT_EQ(path.InitCheck(), B_OK);
    EXPECT_STREQ(path.Path(), (folder + "/moved/file").c_str());
}

TEST(EntryRefTest, UnknownFolderIsFoundBySearchingItsVolume)
{
    std::string folder = RealTempFolder("ref");
    ASSERT_EQ(mkdir((folder + "/deep").c_str(), 0755), 0);
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path((folder + "/deep/x").c_str(), &ref), B_OK);
    BPrivate::RefPathCache::Clear();
    // Pretend the folder was only ever seen by another program: the cache
    // is empty, so the whole volume is searched (bounded).
    std::string path;
    status_t status = BPrivate::PathForRef(ref, &path);
    if (status == B_OK)
        EXPECT_EQ(path, folder + "/deep/x");
    else
        EXPECT_EQ(status, B_ENTRY_NOT_FOUND); // a volume too large for the search limit
}

TEST(EntryTest, KindsWithAndWithoutTraverse)
{
    std::string folder = RealTempFolder("entry");
    ASSERT_TRUE(WriteFile(folder + "/file", "data"));
    ASSERT_EQ(symlink("file", (folder + "/link").c_str()), 0);
    ASSERT_EQ(symlink("missing", (folder + "/dangling").c_str()), 0);

    BEntry link((folder + "/link").c_str());
    EXPECT_TRUE(link.Exists());
    EXPECT_TRUE(link.IsSymLink());
    EXPECT_FALSE(link.IsFile());

    BEntry followed((folder + "/link").c_str(), true);
    EXPECT_TRUE(followed.IsFile());
    EXPECT_EQ(followed.PathString(), folder + "/file");

    BEntry dangling((folder + "/dangling").c_str(), true);
    ASSERT_EQ(dangling.InitCheck(), B_OK);
    EXPECT_FALSE(dangling.Exists());
    EXPECT_EQ(dangling.PathString(), folder + "/missing");

    BEntry dir(folder.c_str());
    EXPECT_TRUE(dir.IsDirectory());
    char name[B_FILE_NAME_LENGTH];
    ASSERT_EQ(link.GetName(name), B_OK);
    EXPECT_STREQ(name, "link");
}

TEST(EntryTest, EntryMayNameAMissingFileButNotAMissingFolder)
{
    std::string folder = RealTempFolder("entry");
    BEntry missing((folder + "/nothing").c_str());
    EXPECT_EQ(missing.InitCheck(), B_OK);
    EXPECT_FALSE(missing.Exists());
    BEntry orphan((folder + "/no/nothing").c_str());
    EXPECT_EQ(orphan.InitCheck(), B_ENTRY_NOT_FOUND);
    BEntry unset;
    EXPECT_EQ(unset.InitCheck(), B_NO_INIT);
    EXPECT_FALSE(unset.Exists());
}

TEST(EntryTest, RenameRefusesToReplaceUnlessClobbering)
{
    std::string folder = RealTempFolder("entry");
    ASSERT_TRUE(WriteFile(folder + "/a", "A"));
    ASSERT_TRUE(WriteFile(folder + "/b", "B"));
    BEntry entry((folder + "/a").c_str());
    EXPECT_EQ(entry.Rename("b"), B_FILE_EXISTS);
    EXPECT_EQ(storage_test::ReadFile(folder + "/b"), "B");
    ASSERT_EQ(entry.Rename("b", true), B_OK);
    EXPECT_EQ(storage_test::ReadFile(folder + "/b"), "A");
    EXPECT_EQ(entry.PathString(), folder + "/b");
    ASSERT_EQ(entry.Rename("c"), B_OK);
    EXPECT_TRUE(storage_test::Exists(folder + "/c"));
}

TEST(EntryTest, MoveToPutsTheEntryIntoAFolder)
{
    std::string folder = RealTempFolder("entry");
    ASSERT_TRUE(WriteFile(folder + "/item", "x"));
    ASSERT_EQ(mkdir((folder + "/dest").c_str(), 0755), 0);
    BEntry entry((folder + "/item").c_str());
    BDirectory dest((folder + "/dest").c_str());
    ASSERT_EQ(entry.MoveTo(&dest), B_OK);
    EXPECT_TRUE(storage_test::Exists(folder + "/dest/item"));
    ASSERT_EQ(entry.MoveTo(&dest, "renamed"), B_OK);
    EXPECT_EQ(entry.PathString(), folder + "/dest/renamed");
    BEntry gone((folder + "/none").c_str());
    EXPECT_EQ(gone.MoveTo(&dest), B_ENTRY_NOT_FOUND);
}

TEST(EntryTest, RemoveDeletesFilesLinksAndEmptyFolders)
{
    std::string folder = RealTempFolder("entry");
    ASSERT_TRUE(WriteFile(folder + "/file", "x"));
    ASSERT_EQ(mkdir((folder + "/dir").c_str(), 0755), 0);
    ASSERT_EQ(symlink("dir", (folder + "/link").c_str()), 0);
    for (const char* leaf : { "link", "file", "dir" }) {
        BEntry entry((folder + "/" + leaf).c_str());
        EXPECT_EQ(entry.Remove(), B_OK) << leaf;
        EXPECT_FALSE(entry.Exists()) << leaf;
    }
}

TEST(EntryTest, ParentOfEntryAndOfRoot)
{
    std::string folder = RealTempFolder("entry");
    BEntry entry((folder + "/x").c_str());
    BEntry parent;
    ASSERT_EQ(entry.GetParent(&parent), B_OK);
    EXPECT_EQ(parent.PathString(), folder);
    BEntry root("/");
    EXPECT_EQ(root.GetParent(&parent), B_ENTRY_NOT_FOUND);
}

TEST(StatableTest, CreationTimeIsSettableAndReadBack)
{
    SKIP_WITHOUT_XATTRS();
    std::string folder = RealTempFolder("times");
    ASSERT_TRUE(WriteFile(folder + "/file", "x"));
    BEntry entry((folder + "/file").c_str());
    const time_t created = 946684800; // 2000-01-01
    ASSERT_EQ(entry.SetCreationTime(created), B_OK);
    ASSERT_EQ(entry.SetModificationTime(created + 60), B_OK);
    time_t value = 0;
    ASSERT_EQ(entry.GetCreationTime(&value), B_OK);
    EXPECT_EQ(value, created);
    ASSERT_EQ(entry.GetStoredCreationTime(&value), B_OK);
    EXPECT_EQ(value, created);
    ASSERT_EQ(entry.GetModificationTime(&value), B_OK);
    EXPECT_EQ(value, created + 60);
}

TEST(StatableTest, CreationTimeWithoutStoredValueIsTheBirthOrModificationTime)
{
    std::string folder = RealTempFolder("times");
    ASSERT_TRUE(WriteFile(folder + "/file", "x"));
    BEntry entry((folder + "/file").c_str());
    time_t created = 0;
    ASSERT_EQ(entry.GetCreationTime(&created), B_OK);
    EXPECT_GT(created, time_t(1000000000));
    EXPECT_LE(created, time(nullptr) + 1);
    // The birth time is not a creation time anybody kept.
    EXPECT_EQ(entry.GetStoredCreationTime(&created), B_ENTRY_NOT_FOUND);
}

TEST(StatableTest, TimesOfAMissingEntryFail)
{
    std::string folder = RealTempFolder("times");
    BEntry entry((folder + "/nothing").c_str());
    time_t value;
    EXPECT_EQ(entry.GetModificationTime(&value), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(entry.SetModificationTime(0), B_ENTRY_NOT_FOUND);
}

} // namespace
