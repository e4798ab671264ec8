#include <Directory.h>

#include <gtest/gtest.h>

#include <set>

#include <Entry.h>
#include <File.h>
#include <Path.h>
#include <SymLink.h>

#include "StorageTestUtils.h"

namespace {

using brenvik::test::MakeTempFolder;

std::string RealFolder(const char* hint)
{
    char resolved[4096];
    return realpath(MakeTempFolder(hint).c_str(), resolved) != nullptr ? resolved : "";
}

TEST(DirectoryTest, VisitsEveryEntryOnceWithoutDots)
{
    std::string folder = RealFolder("dir");
    std::set<std::string> expected = { "a", "b", "sub", "\"$(touch x)\"", "-dash", "new\nline" };
    for (const std::string& name : expected) {
        if (name == "sub")
            ASSERT_EQ(mkdir((folder + "/sub").c_str(), 0755), 0);
        else
            ASSERT_TRUE(storage_test::WriteFile(folder + "/" + name, name));
    }
    BDirectory dir(folder.c_str());
    ASSERT_EQ(dir.InitCheck(), B_OK);
    EXPECT_EQ(dir.CountEntries(), int32(expected.size()));

    std::set<std::string> seen;
    BEntry entry;
    while (dir.GetNextEntry(&entry) == B_OK) {
        char name[B_FILE_NAME_LENGTH];
        ASSERT_EQ(entry.GetName(name), B_OK);
        EXPECT_TRUE(seen.insert(name).second) << name;
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(entry.InitCheck(), B_NO_INIT);

    ASSERT_EQ(dir.Rewind(), B_OK);
    entry_ref ref;
    std::set<std::string> paths;
    while (dir.GetNextRef(&ref) == B_OK)
        paths.insert(BPath(&ref).Path());
    EXPECT_EQ(paths.size(), expected.size());
    EXPECT_EQ(paths.count(folder + "/sub"), 1u);
}

TEST(DirectoryTest, CreatesFilesFoldersAndLinks)
{
    std::string folder = RealFolder("dir");
    BDirectory dir(folder.c_str());
    BFile file;
    ASSERT_EQ(dir.CreateFile("made", &file), B_OK);
    EXPECT_EQ(file.Write("abc", 3), 3);
    EXPECT_EQ(dir.CreateFile("made", nullptr, true), B_FILE_EXISTS);

    BDirectory sub;
    ASSERT_EQ(dir.CreateDirectory("sub", &sub), B_OK);
    EXPECT_EQ(sub.PathString(), folder + "/sub");
    EXPECT_EQ(dir.CreateDirectory("sub", nullptr), B_FILE_EXISTS);

    // The installer passes the folder itself to be moved into the new one.
    ASSERT_EQ(dir.CreateDirectory("sub/inner", &dir), B_OK);
    EXPECT_EQ(dir.PathString(), folder + "/sub/inner");

    BSymLink link;
    ASSERT_EQ(dir.CreateSymLink("link", "../../made", &link), B_OK);
    char text[64];
    EXPECT_EQ(link.ReadLink(text, sizeof(text)), 10);
    EXPECT_STREQ(text, "../../made");
    EXPECT_FALSE(link.IsAbsolute());
    BPath target;
    ASSERT_GT(link.MakeLinkedPath(&dir, &target), 0);
    EXPECT_STREQ(target.Path(), (folder + "/made").c_str());
}

TEST(DirectoryTest, ContainsChecksPlaceAndKind)
{
    std::string folder = RealFolder("dir");
    ASSERT_EQ(mkdir((folder + "/sub").c_str(), 0755), 0);
    ASSERT_TRUE(storage_test::WriteFile(folder + "/sub/file", ""));
    BDirectory dir(folder.c_str());
    EXPECT_TRUE(dir.Contains("sub"));
    EXPECT_TRUE(dir.Contains("sub", B_DIRECTORY_NODE));
    EXPECT_FALSE(dir.Contains("sub", B_FILE_NODE));
    EXPECT_TRUE(dir.Contains("sub/file", B_FILE_NODE));
    EXPECT_TRUE(dir.Contains((folder + "/sub/file").c_str()));
    EXPECT_FALSE(dir.Contains("missing"));
    EXPECT_FALSE(dir.Contains("/etc/hostname"));
    BEntry inside((folder + "/sub/file").c_str());
    EXPECT_TRUE(dir.Contains(&inside));
    BEntry self(folder.c_str());
    EXPECT_FALSE(dir.Contains(&self));
}

TEST(DirectoryTest, MissingOrNonFolderFails)
{
    std::string folder = RealFolder("dir");
    ASSERT_TRUE(storage_test::WriteFile(folder + "/file", ""));
    EXPECT_EQ(BDirectory((folder + "/missing").c_str()).InitCheck(), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(BDirectory((folder + "/file").c_str()).InitCheck(), B_NOT_A_DIRECTORY);
    BDirectory unset;
    EXPECT_EQ(unset.CreateDirectory("x", nullptr), B_NO_INIT);
}

TEST(DirectoryTest, LinkToFolderIsFollowed)
{
    std::string folder = RealFolder("dir");
    ASSERT_EQ(mkdir((folder + "/real").c_str(), 0755), 0);
    ASSERT_EQ(symlink("real", (folder + "/link").c_str()), 0);
    BDirectory dir((folder + "/link").c_str());
    ASSERT_EQ(dir.InitCheck(), B_OK);
    EXPECT_EQ(dir.PathString(), folder + "/real");
    BEntry entry;
    ASSERT_EQ(dir.GetEntry(&entry), B_OK);
    EXPECT_EQ(entry.PathString(), folder + "/real");
}

TEST(DirectoryTest, RootFolderIsRoot)
{
    BDirectory root("/");
    EXPECT_TRUE(root.IsRootDirectory());
    BDirectory other(RealFolder("dir").c_str());
    EXPECT_FALSE(other.IsRootDirectory());
}

TEST(CreateDirectoryTest, CreatesEveryMissingParent)
{
    std::string folder = RealFolder("mkdir");
    std::string deep = folder + "/a/b/c";
    ASSERT_EQ(create_directory(deep.c_str(), 0775), B_OK);
    struct stat info;
    ASSERT_EQ(stat(deep.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(create_directory(deep.c_str(), 0775), B_OK);

    ASSERT_TRUE(storage_test::WriteFile(folder + "/file", ""));
    EXPECT_EQ(create_directory((folder + "/file/below").c_str(), 0775), B_NOT_A_DIRECTORY);
}

} // namespace
