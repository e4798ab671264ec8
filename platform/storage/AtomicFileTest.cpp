#include "AtomicFile.h"

#include <Errors.h>

#include <TestFiles.h>
#include <TestSandbox.h>

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using brenvik::test::ReadFile;
using brenvik::test::WriteFile;

// The names in a folder, so that a test sees whether anything was left
// beside the file.
int CountEntries(const std::string& folder)
{
    int count = 0;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return -1;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            count++;
    }
    closedir(dir);
    return count;
}

TEST(AtomicFileTest, WritesANewFileWithExactlyItsMode)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    mode_t old = umask(077);
    ASSERT_EQ(BPrivate::WriteFileAtomically(folder + "/new", std::string("text\n"), 0644), B_OK);
    umask(old);
    EXPECT_EQ(ReadFile(folder + "/new"), "text\n");
    struct stat info;
    ASSERT_EQ(stat((folder + "/new").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(CountEntries(folder), 1);
}

TEST(AtomicFileTest, ReplacesAFileWholeAndLeavesNothingBeside)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    ASSERT_TRUE(WriteFile(folder + "/file", "old contents that are longer"));
    ASSERT_EQ(BPrivate::WriteFileAtomically(folder + "/file", std::string("new")), B_OK);
    EXPECT_EQ(ReadFile(folder + "/file"), "new");
    EXPECT_EQ(CountEntries(folder), 1);
}

TEST(AtomicFileTest, AnEmptyContentsMakesAnEmptyFile)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    ASSERT_EQ(BPrivate::WriteFileAtomically(folder + "/empty", nullptr, 0), B_OK);
    EXPECT_EQ(ReadFile(folder + "/empty"), "");
}

TEST(AtomicFileTest, AFailureKeepsTheOldFileAndLeavesNothingBeside)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    ASSERT_EQ(mkdir((folder + "/taken").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(folder + "/taken/inside", "kept"));
    // A folder cannot be replaced by a file.
    EXPECT_NE(BPrivate::WriteFileAtomically(folder + "/taken", std::string("new")), B_OK);
    EXPECT_EQ(ReadFile(folder + "/taken/inside"), "kept");
    EXPECT_EQ(CountEntries(folder), 1);
}

TEST(AtomicFileTest, RefusesAMissingFolderAndBadArguments)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    EXPECT_EQ(
        BPrivate::WriteFileAtomically(folder + "/none/file", std::string("x")), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(BPrivate::WriteFileAtomically("", std::string("x")), B_BAD_VALUE);
    EXPECT_EQ(BPrivate::WriteFileAtomically(folder + "/", std::string("x")), B_BAD_VALUE);
    EXPECT_EQ(BPrivate::WriteFileAtomically(folder + "/file", nullptr, 3), B_BAD_VALUE);
    EXPECT_EQ(CountEntries(folder), 0);
}

TEST(AtomicFileTest, ANewFileNotCommittedIsRemovedAndTheOldOneStays)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    ASSERT_TRUE(WriteFile(folder + "/file", "old"));
    {
        BPrivate::AtomicFile file;
        ASSERT_EQ(file.Open(folder + "/file"), B_OK);
        ASSERT_EQ(write(file.Descriptor(), "half", 4), 4);
        EXPECT_EQ(CountEntries(folder), 2);
    }
    EXPECT_EQ(ReadFile(folder + "/file"), "old");
    EXPECT_EQ(CountEntries(folder), 1);
}

TEST(AtomicFileTest, CommitsWhatWasWrittenPieceByPiece)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    BPrivate::AtomicFile file;
    ASSERT_EQ(file.Open(folder + "/file", 0600), B_OK);
    ASSERT_EQ(write(file.Descriptor(), "one ", 4), 4);
    ASSERT_EQ(write(file.Descriptor(), "two", 3), 3);
    ASSERT_EQ(file.Commit(), B_OK);
    EXPECT_EQ(ReadFile(folder + "/file"), "one two");
    EXPECT_EQ(file.Commit(), B_NO_INIT);
    EXPECT_EQ(CountEntries(folder), 1);
}

} // namespace
