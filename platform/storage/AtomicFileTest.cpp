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
    ASSERT_EQ(file.Write("one ", 4), B_OK);
    ASSERT_EQ(file.Write("two", 3), B_OK);
    ASSERT_EQ(file.Commit(), B_OK);
    EXPECT_EQ(ReadFile(folder + "/file"), "one two");
    EXPECT_EQ(file.Commit(), B_NO_INIT);
    EXPECT_EQ(CountEntries(folder), 1);
}

TEST(AtomicFileTest, TheUmaskAppliesWhenAsked)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    mode_t old = umask(027);
    status_t status = BPrivate::WriteFileAtomically(
        folder + "/new", std::string("x"), 0666, BPrivate::AtomicFile::kApplyUmask);
    umask(old);
    ASSERT_EQ(status, B_OK);
    struct stat info;
    ASSERT_EQ(stat((folder + "/new").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(AtomicFileTest, KeepsTheOldFilesModeAndGivesANewOneTheModeAsked)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    const uint32 keep = BPrivate::AtomicFile::kKeepOldMode | BPrivate::AtomicFile::kSyncFolder;
    ASSERT_TRUE(WriteFile(folder + "/old", "old"));
    ASSERT_EQ(chmod((folder + "/old").c_str(), 0751), 0);
    ASSERT_EQ(BPrivate::WriteFileAtomically(folder + "/old", std::string("new"), 0600, keep), B_OK);
    ASSERT_EQ(BPrivate::WriteFileAtomically(folder + "/new", std::string("new"), 0640, keep), B_OK);
    struct stat info;
    ASSERT_EQ(stat((folder + "/old").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0751u);
    EXPECT_EQ(ReadFile(folder + "/old"), "new");
    ASSERT_EQ(stat((folder + "/new").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(CountEntries(folder), 2);
}

TEST(AtomicFileTest, KeepsTheOldFilesOwnerWhenAllowedTo)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file away";
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    ASSERT_TRUE(WriteFile(folder + "/theirs", "old"));
    ASSERT_EQ(chown((folder + "/theirs").c_str(), 4321, 4322), 0);
    ASSERT_EQ(chmod((folder + "/theirs").c_str(), 02755), 0);
    ASSERT_EQ(BPrivate::WriteFileAtomically(
                  folder + "/theirs", std::string("new"), 0644, BPrivate::AtomicFile::kKeepOldMode),
        B_OK);
    struct stat info;
    ASSERT_EQ(stat((folder + "/theirs").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
    // Giving the file away must not cost it its set-id bit.
    EXPECT_EQ(info.st_mode & 07777, 02755u);
}

TEST(AtomicFileTest, AFileWithTheLongestNameCanBeReplaced)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    std::string path = folder + "/" + std::string(255, 'n');
    ASSERT_TRUE(WriteFile(path, "old"));
    ASSERT_EQ(BPrivate::WriteFileAtomically(path, std::string("new")), B_OK);
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(CountEntries(folder), 1);
}

TEST(AtomicFileTest, WhatIsWrittenThroughTheTemporaryPathIsCommitted)
{
    std::string folder = brenvik::test::MakeTempFolder("atomic");
    BPrivate::AtomicFile file;
    ASSERT_EQ(file.Open(folder + "/file", 0755), B_OK);
    ASSERT_EQ(file.TemporaryPath().rfind(folder + "/", 0), 0u);
    ASSERT_TRUE(WriteFile(file.TemporaryPath(), "through the path"));
    ASSERT_EQ(file.Commit(), B_OK);
    EXPECT_EQ(ReadFile(folder + "/file"), "through the path");
    struct stat info;
    ASSERT_EQ(stat((folder + "/file").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);
    EXPECT_EQ(file.Write("late", 4), B_NO_INIT);
    EXPECT_EQ(CountEntries(folder), 1);
}

} // namespace
