#include <File.h>

#include <gtest/gtest.h>

#include <Directory.h>
#include <Entry.h>

#include "StorageTestUtils.h"

namespace {

using brenvik::test::MakeTempFolder;

TEST(FileTest, CreateWriteSeekRead)
{
    std::string path = MakeTempFolder("file") + "/data";
    BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE);
    ASSERT_EQ(file.InitCheck(), B_OK);
    EXPECT_TRUE(file.IsReadable());
    EXPECT_TRUE(file.IsWritable());
    ASSERT_EQ(file.Write("hello world", 11), 11);
    EXPECT_EQ(file.Position(), 11);
    EXPECT_EQ(file.Seek(6, SEEK_SET), 6);
    char buffer[16] = {};
    ASSERT_EQ(file.Read(buffer, sizeof(buffer)), 5);
    EXPECT_STREQ(buffer, "world");
    ASSERT_EQ(file.WriteAt(0, "H", 1), 1);
    ASSERT_EQ(file.ReadAt(0, buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 5), "Hello");
    off_t size = 0;
    ASSERT_EQ(file.GetSize(&size), B_OK);
    EXPECT_EQ(size, 11);
    ASSERT_EQ(file.SetSize(5), B_OK);
    ASSERT_EQ(file.GetSize(&size), B_OK);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(file.Seek(-1, SEEK_SET), B_BAD_VALUE);
}

TEST(FileTest, OpenModesAreHonoured)
{
    std::string folder = MakeTempFolder("file");
    std::string path = folder + "/data";
    BFile missing(path.c_str(), B_READ_ONLY);
    EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);

    storage_test::WriteFile(path, "old contents");
    BFile exclusive(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
    EXPECT_EQ(exclusive.InitCheck(), B_FILE_EXISTS);

    BFile reader(path.c_str(), B_READ_ONLY);
    ASSERT_EQ(reader.InitCheck(), B_OK);
    EXPECT_EQ(reader.Write("x", 1), B_PERMISSION_DENIED);
    EXPECT_EQ(reader.SetSize(0), B_PERMISSION_DENIED);

    BFile appender(path.c_str(), B_WRITE_ONLY | B_OPEN_AT_END);
    ASSERT_EQ(appender.Write("!", 1), 1);
    EXPECT_EQ(storage_test::ReadFile(path), "old contents!");

    BFile eraser(path.c_str(), B_WRITE_ONLY | B_ERASE_FILE);
    ASSERT_EQ(eraser.InitCheck(), B_OK);
    EXPECT_EQ(storage_test::ReadFile(path), "");
}

TEST(FileTest, FolderIsRefusedAndLinksAreFollowed)
{
    std::string folder = MakeTempFolder("file");
    BFile dir(folder.c_str(), B_READ_ONLY);
    EXPECT_EQ(dir.InitCheck(), B_IS_A_DIRECTORY);

    storage_test::WriteFile(folder + "/target", "through the link");
    ASSERT_EQ(symlink("target", (folder + "/link").c_str()), 0);
    BFile file((folder + "/link").c_str(), B_READ_ONLY);
    ASSERT_EQ(file.InitCheck(), B_OK);
    char buffer[32] = {};
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 16);
    EXPECT_FALSE(file.IsSymLink());
}

TEST(FileTest, UninitialisedFileRefusesEverything)
{
    BFile file;
    EXPECT_EQ(file.InitCheck(), B_NO_INIT);
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), B_NO_INIT);
    EXPECT_EQ(file.Write(buffer, sizeof(buffer)), B_NO_INIT);
    EXPECT_EQ(file.Position(), B_NO_INIT);
    off_t size;
    EXPECT_EQ(file.GetSize(&size), B_NO_INIT);
}

TEST(FileTest, NameTooLongIsReportedAsSuch)
{
    std::string path = MakeTempFolder("file") + "/" + std::string(300, 'n');
    BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
    EXPECT_EQ(file.InitCheck(), B_NAME_TOO_LONG);
}

TEST(FileTest, FileFromReferenceOfANewFile)
{
    std::string folder = MakeTempFolder("file");
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path((folder + "/fresh").c_str(), &ref), B_OK);
    BFile file(&ref, B_WRITE_ONLY | B_CREATE_FILE);
    ASSERT_EQ(file.InitCheck(), B_OK);
    EXPECT_TRUE(storage_test::Exists(folder + "/fresh"));
}

} // namespace
