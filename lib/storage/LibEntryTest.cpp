#include "LibEntry.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <Application.h>
#include <Entry.h>
#include <ExecutablePath.h>
#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>
#include <TempFiles.h>

#include "LibStorageTestSupport.h"
#include "LibString.h"
#include "LibStringList.h"

using namespace lib_storage_test;

namespace {

class LibEntryTest : public testing::Test {
protected:
    void SetUp() override { fFolder = brenvik::test::MakeTempFolder("entry"); }
    std::string fFolder;
};

TEST_F(LibEntryTest, ExistsSeesFilesFoldersAndDanglingLinks)
{
    ASSERT_TRUE(WriteFile(fFolder + "/file", "x"));
    ASSERT_EQ(symlink("missing-target", (fFolder + "/dangling").c_str()), 0);
    EXPECT_TRUE(LibExists((fFolder + "/file").c_str()));
    EXPECT_TRUE(LibExists(fFolder.c_str()));
    EXPECT_TRUE(LibExists((fFolder + "/dangling").c_str()));
    EXPECT_FALSE(LibExists((fFolder + "/nothing").c_str()));
    EXPECT_FALSE(LibExists(""));
    EXPECT_FALSE(LibExists(nullptr));
}

TEST_F(LibEntryTest, MkdirOnExistingFolderReturnsFalseAndChangesNothing)
{
    ASSERT_EQ(chmod(fFolder.c_str(), 0750), 0);
    EXPECT_FALSE(Libmkdir(fFolder.c_str()));
    struct stat info;
    ASSERT_EQ(stat(fFolder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0750u);
}

TEST_F(LibEntryTest, MkdirCreatesEveryMissingFolderAndListsThem)
{
    std::string path = fFolder + "/one/two";
    LibStringList created;
    EXPECT_TRUE(Libmkdir(path.c_str(), created));
    EXPECT_TRUE(IsFolder(path));
    ASSERT_EQ(created.Size(), 2);
    EXPECT_STREQ(*created.First(), (fFolder + "/one").c_str());
    EXPECT_STREQ(*created.Next(), path.c_str());
}

TEST_F(LibEntryTest, MkdirReportsAFailedCreation)
{
    ASSERT_TRUE(WriteFile(fFolder + "/file", "x"));
    EXPECT_FALSE(Libmkdir((fFolder + "/file/below").c_str()));
    if (geteuid() != 0) {
        ASSERT_EQ(mkdir((fFolder + "/locked").c_str(), 0555), 0);
        EXPECT_FALSE(Libmkdir((fFolder + "/locked/inner").c_str()));
    }
}

TEST_F(LibEntryTest, ChangeDirectoryOnlyToFolders)
{
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    EXPECT_FALSE(LibChangeDirectory((fFolder + "/missing").c_str()));
    ASSERT_TRUE(LibChangeDirectory(fFolder.c_str()));
    char now[4096];
    ASSERT_NE(getcwd(now, sizeof(now)), nullptr);
    BPath expected(fFolder.c_str(), nullptr, true);
    EXPECT_STREQ(now, expected.Path());
    ASSERT_EQ(chdir(previous), 0);
}

TEST_F(LibEntryTest, UniqueNameReservesAnUnguessableFileWithThePrefix)
{
    BPath path(fFolder.c_str());
    ASSERT_TRUE(LibUniqueName(path, "zip"));
    EXPECT_EQ(std::string(path.Path()).rfind(fFolder + "/zip", 0), 0u);
    struct stat info;
    ASSERT_EQ(lstat(path.Path(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_size, 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Six random characters end the name (mkstemp's), after the counter,
    // the process id and the second.
    std::string leaf = path.Leaf();
    std::string digits = leaf.substr(3, leaf.size() - 3 - 6);
    EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << leaf;
    EXPECT_NE(digits.find(std::to_string(getpid())), std::string::npos) << leaf;
}

TEST_F(LibEntryTest, UniqueNameOfAnEmptyPathIsInThePrivateTemporaryFolder)
{
    BPath path;
    ASSERT_TRUE(LibUniqueName(path, "zip"));
    std::string temp;
    ASSERT_EQ(BPrivate::TempFiles::PrivateFolder(&temp), B_OK);
    BPath parent;
    ASSERT_EQ(path.GetParent(&parent), B_OK);
    EXPECT_STREQ(parent.Path(), temp.c_str());
    struct stat info;
    ASSERT_EQ(stat(temp.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "nobody else may enter the temporary folder";
    unlink(path.Path());
}

TEST_F(LibEntryTest, UniqueNameFailsInAMissingFolderAndUnsetsThePath)
{
    BPath path((fFolder + "/missing").c_str());
    EXPECT_FALSE(LibUniqueName(path, "zip"));
    EXPECT_NE(path.InitCheck(), B_OK);
    BPath other(fFolder.c_str());
    EXPECT_FALSE(LibUniqueName(other, "a/b"));
}

// The counter runs 1 ... 10000 and then starts at 1 again: after the name
// that carries 10000 comes one that carries 1.
TEST_F(LibEntryTest, UniqueNameCounterWrapsAfterTenThousand)
{
    std::string pid = std::to_string(getpid());
    bool sawTop = false;
    for (int i = 0; i < 10001 && !sawTop; i++) {
        BPath path(fFolder.c_str());
        ASSERT_TRUE(LibUniqueName(path, "zip"));
        std::string leaf = path.Leaf();
        unlink(path.Path());
        sawTop = leaf.rfind("zip10000" + pid, 0) == 0;
    }
    ASSERT_TRUE(sawTop);
    BPath next(fFolder.c_str());
    ASSERT_TRUE(LibUniqueName(next, "zip"));
    EXPECT_EQ(std::string(next.Leaf()).rfind("zip1" + pid, 0), 0u) << next.Leaf();
}

TEST_F(LibEntryTest, UniqueNamesFromManyThreadsAreAllDifferent)
{
    constexpr int kThreads = 4;
    constexpr int kNames = 200;
    std::vector<std::vector<std::string>> names(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; t++) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kNames; i++) {
                BPath path(fFolder.c_str());
                if (LibUniqueName(path, "zip"))
                    names[size_t(t)].push_back(path.Path());
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    std::set<std::string> all;
    for (const auto& list : names)
        all.insert(list.begin(), list.end());
    EXPECT_EQ(all.size(), size_t(kThreads * kNames));
}

TEST_F(LibEntryTest, EntryRefOfExistingAndWouldBeEntries)
{
    ASSERT_TRUE(WriteFile(fFolder + "/file", "x"));
    entry_ref ref;
    ASSERT_TRUE(LibGetEntryRef((fFolder + "/file").c_str(), ref));
    LibString full;
    ASSERT_TRUE(LibGetFullPath(ref, full));
    EXPECT_STREQ(full, (fFolder + "/file").c_str());

    entry_ref wouldBe;
    ASSERT_TRUE(LibGetEntryRef((fFolder + "/not yet").c_str(), wouldBe));
    EXPECT_STREQ(wouldBe.name, "not yet");
    EXPECT_EQ(wouldBe.device, ref.device);
    EXPECT_FALSE(LibGetEntryRef((fFolder + "/no folder/leaf").c_str(), wouldBe));
}

TEST_F(LibEntryTest, EntryRefDoesNotFollowAFinalLink)
{
    ASSERT_EQ(mkdir((fFolder + "/real").c_str(), 0755), 0);
    ASSERT_EQ(symlink((fFolder + "/real").c_str(), (fFolder + "/link").c_str()), 0);
    entry_ref ref;
    ASSERT_TRUE(LibGetEntryRef((fFolder + "/link").c_str(), ref));
    EXPECT_STREQ(ref.name, "link");
}

TEST_F(LibEntryTest, ParentRefAndPaths)
{
    ASSERT_EQ(mkdir((fFolder + "/sub").c_str(), 0755), 0);
    entry_ref ref;
    ASSERT_TRUE(LibGetEntryRef((fFolder + "/sub/item").c_str(), ref));
    entry_ref parent = LibGetParentRef(ref);
    BPath parentPath;
    ASSERT_TRUE(LibGetFullPath(parent, parentPath));
    EXPECT_STREQ(parentPath.Path(), (fFolder + "/sub").c_str());

    BPath withLeaf;
    ASSERT_TRUE(LibGetPath(parent, "child", withLeaf));
    EXPECT_STREQ(withLeaf.Path(), (fFolder + "/sub/child").c_str());

    entry_ref empty = LibGetParentRef(entry_ref());
    EXPECT_EQ(empty, entry_ref());
}

TEST_F(LibEntryTest, ParentPathAndChildName)
{
    LibString parent;
    ASSERT_TRUE(LibGetParentPath("/a/b/c", parent));
    EXPECT_STREQ(parent, "/a/b");
    ASSERT_TRUE(LibGetParentPath("/a", parent));
    EXPECT_STREQ(parent, "/");
    EXPECT_FALSE(LibGetParentPath("/", parent));

    char leaf[B_FILE_NAME_LENGTH];
    ASSERT_TRUE(LibGetChildName("/a/b/with \"quote\"", leaf));
    EXPECT_STREQ(leaf, "with \"quote\"");
}

TEST_F(LibEntryTest, ChildNameNeverOverrunsTheCallersBuffer)
{
    char small[8];
    std::memset(small, 'x', sizeof(small));
    EXPECT_FALSE(LibGetChildName("/a/much-too-long-a-name", small, sizeof(small)));
    EXPECT_STREQ(small, "");
    EXPECT_FALSE(LibGetChildName("/a/eight888", small, sizeof(small)));
    EXPECT_TRUE(LibGetChildName("/a/seven77", small, sizeof(small)));
    EXPECT_STREQ(small, "seven77");
}

TEST_F(LibEntryTest, FilePathOfASavePanelReplyStripsTheName)
{
    entry_ref folder;
    ASSERT_TRUE(LibGetEntryRef(fFolder.c_str(), folder));
    BMessage reply('SAVE');
    reply.AddRef("directory", &folder);
    reply.AddString("name", "  my file  ");
    BPath path;
    EXPECT_EQ(LibGetFilePath(reply, path), 7);
    EXPECT_STREQ(path.Path(), (fFolder + "/my file").c_str());

    BMessage blank('SAVE');
    blank.AddRef("directory", &folder);
    blank.AddString("name", "   ");
    EXPECT_EQ(LibGetFilePath(blank, path), 0);
    EXPECT_NE(path.InitCheck(), B_OK);
    EXPECT_EQ(LibGetFilePath(BMessage('SAVE'), path), 0);
}

TEST_F(LibEntryTest, SettingsPathIsTheUserSettingsFolder)
{
    BPath expected;
    ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &expected), B_OK);
    LibString path;
    ASSERT_TRUE(LibGetSettingsPath(path));
    EXPECT_STREQ(path, expected.Path());
    EXPECT_EQ(std::string(path).rfind(brenvik::test::SandboxRoot(), 0), 0u);

    char buffer[B_PATH_NAME_LENGTH];
    ASSERT_TRUE(LibGetSettingsPath(buffer, sizeof(buffer)));
    EXPECT_STREQ(buffer, expected.Path());
    char tiny[4] = "abc";
    EXPECT_FALSE(LibGetSettingsPath(tiny, sizeof(tiny)));
    EXPECT_STREQ(tiny, "");
}

TEST_F(LibEntryTest, WorkingDirectoryIsTheExecutablesFolder)
{
    BPath path;
    EXPECT_FALSE(LibGetWorkingDirectory(path)) << "no application runs yet";
    BApplication app("application/x-vnd.brenvik-lib-entry-test");
    ASSERT_TRUE(LibGetWorkingDirectory(path));
    std::string executable;
    ASSERT_EQ(BPrivate::GetExecutablePath(&executable), B_OK);
    BPath expected(executable.c_str());
    BPath folder;
    ASSERT_EQ(expected.GetParent(&folder), B_OK);
    EXPECT_STREQ(path.Path(), folder.Path());
}

} // namespace
