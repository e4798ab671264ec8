#include "LibFileOperations.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Path.h>

#include "LibStorageTestSupport.h"
#include "LibTreeCopy.h"

using namespace lib_storage_test;

namespace {

// Whether a shell ran anything: the odd names hold "touch x".
void ExpectNoCommandRan(const std::string& folder)
{
    EXPECT_FALSE(Exists(folder + "/x"));
    EXPECT_FALSE(Exists("x"));
}

// Every operation on one odd name, in a fresh folder.
class OddNameTest : public testing::TestWithParam<OddName> {
protected:
    void SetUp() override
    {
        fFolder = brenvik::test::MakeTempFolder("odd");
        fName = GetParam().name;
        fItem = fFolder + "/" + fName;
        ASSERT_TRUE(WriteFile(fItem, "payload"));
        fOther = fFolder + "/other";
        ASSERT_EQ(mkdir(fOther.c_str(), 0755), 0);
    }
    void TearDown() override { ExpectNoCommandRan(fFolder); }

    std::string fFolder;
    std::string fName;
    std::string fItem;
    std::string fOther;
};

TEST_P(OddNameTest, CopyToAFolderAndToANewName)
{
    ASSERT_TRUE(LibCopy(fItem.c_str(), fOther.c_str()));
    EXPECT_EQ(ReadFile(fOther + "/" + fName), "payload");
    std::string renamed = fFolder + "/2" + fName.substr(0, 250);
    ASSERT_TRUE(LibCopy(fItem.c_str(), renamed.c_str()));
    EXPECT_EQ(ReadFile(renamed), "payload");
    EXPECT_EQ(ReadFile(fItem), "payload");
}

TEST_P(OddNameTest, MoveIntoAFolder)
{
    ASSERT_TRUE(LibMove(fItem.c_str(), fOther.c_str()));
    EXPECT_FALSE(Exists(fItem));
    EXPECT_EQ(ReadFile(fOther + "/" + fName), "payload");
}

TEST_P(OddNameTest, MoveByCopyAsAcrossVolumes)
{
    LibTreeCopy copy;
    ASSERT_EQ(copy.MoveByCopy(fItem, fOther + "/" + fName), B_OK) << copy.ErrorText();
    EXPECT_FALSE(Exists(fItem));
    EXPECT_EQ(ReadFile(fOther + "/" + fName), "payload");
}

TEST_P(OddNameTest, UnlinkAFileAndAFolder)
{
    ASSERT_TRUE(LibUnlink(fItem.c_str()));
    EXPECT_FALSE(Exists(fItem));
    ASSERT_EQ(mkdir(fItem.c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(fItem + "/" + fName, "inner"));
    ASSERT_TRUE(LibUnlink(fItem.c_str()));
    EXPECT_FALSE(Exists(fItem));
    EXPECT_TRUE(Exists(fOther));
}

TEST_P(OddNameTest, MimesetTypesTheFile)
{
    ASSERT_TRUE(LibCopy(fItem.c_str(), fOther.c_str()));
    EXPECT_TRUE(Libmimeset((fOther + "/" + fName).c_str()));
    EXPECT_TRUE(Libmimeset(fOther.c_str()));
}

TEST_P(OddNameTest, SymLinkToTheItem)
{
    std::string link = fFolder + "/link to " + fName.substr(0, 200);
    ASSERT_TRUE(LibSymLink(fItem.c_str(), link.c_str()));
    EXPECT_TRUE(IsLink(link));
    EXPECT_EQ(ReadFile(link), "payload");
    // Into a folder, under the target's own name.
    ASSERT_TRUE(LibSymLink(fItem.c_str(), fOther.c_str()));
    EXPECT_TRUE(IsLink(fOther + "/" + fName));
}

TEST_P(OddNameTest, ZipAndUnzipRoundTrip)
{
    std::string zip = fFolder + "/" + fName.substr(0, 240) + ".zip";
    ASSERT_TRUE(LibZip(zip.c_str(), BPath(fItem.c_str()), 9));
    ASSERT_TRUE(LibUnlink(fItem.c_str()));
    ASSERT_TRUE(LibUnzip(zip.c_str()));
    EXPECT_EQ(ReadFile(fItem), "payload");
}

TEST_P(OddNameTest, TarArchivesTheItem)
{
    std::string tar = fOther + "/" + fName.substr(0, 240) + ".tar";
    ASSERT_TRUE(LibTar(fItem.c_str(), tar.c_str()));
    struct stat info;
    ASSERT_EQ(stat(tar.c_str(), &info), 0);
    EXPECT_GT(info.st_size, 0);
}

TEST_P(OddNameTest, TrashAndDuplicate)
{
    ASSERT_TRUE(LibCopy(fItem.c_str(), fOther.c_str()));
    ASSERT_TRUE(LibDuplicate(fItem.c_str()));
    EXPECT_FALSE(Exists(fItem));
    ASSERT_TRUE(LibTrash(BPath((fOther + "/" + fName).c_str()), false));
    EXPECT_FALSE(Exists(fOther + "/" + fName));
}

TEST_P(OddNameTest, EntrySize)
{
    EXPECT_EQ(LibEntrySize(fItem.c_str(), false), 7);
}

INSTANTIATE_TEST_SUITE_P(Names, OddNameTest, testing::ValuesIn(OddNames()),
    [](const testing::TestParamInfo<OddName>& param) { return std::string(param.param.label); });

// Paths far longer than any fixed command buffer.
class DeepPathTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string base = brenvik::test::MakeTempFolder("deep");
        fSource = DeepFolder(base + "/s", 0);
        mkdir(fSource.c_str(), 0755);
        fSource = DeepFolder(fSource, 5);
        fTarget = base + "/t";
        mkdir(fTarget.c_str(), 0755);
        fTarget = DeepFolder(fTarget, 5);
        ASSERT_GT(fSource.size(), 1200u);
        ASSERT_TRUE(WriteFile(fSource + "/" + std::string(255, 'f'), "deep"));
    }
    std::string fSource;
    std::string fTarget;
};

TEST_F(DeepPathTest, EveryOperationWorks)
{
    std::string file = fSource + "/" + std::string(255, 'f');
    ASSERT_TRUE(LibCopy(file.c_str(), fTarget.c_str()));
    EXPECT_EQ(ReadFile(fTarget + "/" + std::string(255, 'f')), "deep");
    std::string moved = fTarget + "/" + std::string(254, 'm');
    ASSERT_TRUE(LibMove((fTarget + "/" + std::string(255, 'f')).c_str(), moved.c_str()));
    ASSERT_TRUE(LibSymLink(moved.c_str(), (fTarget + "/" + std::string(255, 'l')).c_str()));
    std::string zip = fTarget + "/" + std::string(250, 'z') + ".zip";
    ASSERT_TRUE(LibZip(zip.c_str(), BPath(moved.c_str()), 6));
    ASSERT_TRUE(LibUnlink(moved.c_str()));
    ASSERT_TRUE(LibUnzip(zip.c_str()));
    EXPECT_EQ(ReadFile(moved), "deep");
    ASSERT_TRUE(LibDuplicate(moved.c_str()));
    EXPECT_EQ(ReadFile(fTarget + "/" + std::string(250, 'm') + " copy"), "deep");
    EXPECT_TRUE(Libmimeset(fTarget.c_str()));
    EXPECT_GT(LibEntrySize(fTarget.c_str(), true), 4);
    ASSERT_TRUE(LibTar(file.c_str(), (fTarget + "/" + std::string(250, 't') + ".tar").c_str()));
    ASSERT_TRUE(LibTrash(BPath(file.c_str()), false));
    EXPECT_FALSE(Exists(file));
}

// A component longer than the file system allows is reported, never cut.
TEST_F(DeepPathTest, TooLongAComponentIsReportedAsFailure)
{
    std::string file = fSource + "/" + std::string(255, 'f');
    std::string tooLong = fTarget + "/" + std::string(300, 'c');
    EXPECT_FALSE(LibCopy(file.c_str(), tooLong.c_str()));
    EXPECT_FALSE(LibMove(file.c_str(), tooLong.c_str()));
    EXPECT_TRUE(Exists(file));
    EXPECT_FALSE(LibSymLink(file.c_str(), tooLong.c_str()));
    EXPECT_FALSE(LibZip(tooLong.c_str(), BPath(file.c_str()), 9));
    EXPECT_FALSE(LibUnzip(tooLong.c_str()));
    EXPECT_FALSE(LibTar(file.c_str(), tooLong.c_str()));
    EXPECT_FALSE(LibDuplicate(tooLong.c_str()));
    EXPECT_EQ(LibEntrySize(tooLong.c_str(), false), 0);
}

// Failures of the underlying work are reported.
class FailureTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFolder = brenvik::test::MakeTempFolder("fail");
        fFile = fFolder + "/file";
        ASSERT_TRUE(WriteFile(fFile, "data"));
        fMissing = fFolder + "/missing";
        // Below a plain file nothing can ever be created, even as root.
        fUnwritable = fFile + "/below";
    }
    std::string fFolder;
    std::string fFile;
    std::string fMissing;
    std::string fUnwritable;
};

TEST_F(FailureTest, MissingSourceFails)
{
    EXPECT_FALSE(LibCopy(fMissing.c_str(), fFolder.c_str()));
    EXPECT_FALSE(LibMove(fMissing.c_str(), (fFolder + "/to").c_str()));
    EXPECT_FALSE(Libmimeset(fMissing.c_str()));
    EXPECT_FALSE(LibZip((fFolder + "/a.zip").c_str(), BPath(fMissing.c_str()), 9));
    EXPECT_FALSE(Exists(fFolder + "/a.zip"));
    EXPECT_FALSE(LibUnzip(fMissing.c_str()));
    EXPECT_FALSE(LibTar(fMissing.c_str(), (fFolder + "/a.tar").c_str()));
    EXPECT_FALSE(LibTrash(BPath(fMissing.c_str()), false));
    EXPECT_FALSE(LibDuplicate(fMissing.c_str()));
    EXPECT_TRUE(LibUnlink(fMissing.c_str())) << "nothing is left, as asked";
}

TEST_F(FailureTest, UnwritableDestinationFails)
{
    EXPECT_FALSE(LibCopy(fFile.c_str(), fUnwritable.c_str()));
    EXPECT_FALSE(LibMove(fFile.c_str(), fUnwritable.c_str()));
    EXPECT_TRUE(Exists(fFile));
    EXPECT_FALSE(LibSymLink(fFile.c_str(), fUnwritable.c_str()));
    EXPECT_FALSE(LibZip(fUnwritable.c_str(), BPath(fFile.c_str()), 9));
    EXPECT_FALSE(LibTar(fFile.c_str(), fUnwritable.c_str()));
    EXPECT_FALSE(LibUnlink((fUnwritable + "/x").c_str()) && Exists(fFile + "/below"));
}

TEST_F(FailureTest, ReadOnlyFolderRefusesWritesForNormalUsers)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere";
    std::string locked = fFolder + "/locked";
    ASSERT_EQ(mkdir(locked.c_str(), 0555), 0);
    EXPECT_FALSE(LibCopy(fFile.c_str(), locked.c_str()));
    EXPECT_FALSE(LibMove(fFile.c_str(), locked.c_str()));
    EXPECT_FALSE(LibSymLink(fFile.c_str(), locked.c_str()));
    EXPECT_FALSE(LibZip((locked + "/a.zip").c_str(), BPath(fFile.c_str()), 9));
    EXPECT_TRUE(Exists(fFile));
}

TEST_F(FailureTest, BrokenArchiveFailsToUnzip)
{
    std::string zip = fFolder + "/broken.zip";
    ASSERT_TRUE(WriteFile(zip, "PK\x03\x04 this is not really an archive"));
    EXPECT_FALSE(LibUnzip(zip.c_str()));
}

TEST_F(FailureTest, OutOfRangeZipLevelFails)
{
    EXPECT_FALSE(LibZip((fFolder + "/a.zip").c_str(), BPath(fFile.c_str()), 10));
    EXPECT_FALSE(LibZip((fFolder + "/a.zip").c_str(), BPath(fFile.c_str()), -1));
}

TEST_F(FailureTest, CopyOntoItselfOrIntoItselfIsRefused)
{
    EXPECT_FALSE(LibCopy(fFile.c_str(), fFile.c_str()));
    EXPECT_EQ(ReadFile(fFile), "data");
    std::string tree = fFolder + "/tree";
    ASSERT_EQ(mkdir(tree.c_str(), 0755), 0);
    EXPECT_FALSE(LibCopy(tree.c_str(), (tree + "/inside").c_str()));
    EXPECT_FALSE(LibCopy(tree.c_str(), tree.c_str()));
    EXPECT_FALSE(Exists(tree + "/inside"));
    EXPECT_FALSE(LibMove(fFile.c_str(), fFile.c_str()));
    EXPECT_TRUE(Exists(fFile));
}

TEST_F(FailureTest, FailedMoveByCopyKeepsTheSource)
{
    LibTreeCopy copy;
    EXPECT_NE(copy.MoveByCopy(fFile, fUnwritable), B_OK);
    EXPECT_FALSE(copy.ErrorText().empty());
    EXPECT_EQ(ReadFile(fFile), "data");
}

TEST_F(FailureTest, AFailedZipKeepsTheOldArchiveAndLeavesNothingBeside)
{
    std::string zip = fFolder + "/a.zip";
    ASSERT_TRUE(WriteFile(zip, "old archive"));
    EXPECT_FALSE(LibZip(zip.c_str(), BPath(fMissing.c_str()), 9));
    EXPECT_EQ(ReadFile(zip), "old archive");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(fFolder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "a.zip", "file" }));
}

// The archive is a new file like any other, and one written inside the
// folder it packs does not pack itself.
TEST(ZipTest, AnArchiveInsideItsFolderHoldsTheFolderOnlyAndFollowsTheUmask)
{
    std::string base = brenvik::test::MakeTempFolder("zip");
    std::string tree = base + "/tree";
    ASSERT_EQ(mkdir(tree.c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(tree + "/one", "1"));
    mode_t old = umask(027);
    bool zipped = LibZip((tree + "/tree.zip").c_str(), BPath(tree.c_str()), 6);
    umask(old);
    ASSERT_TRUE(zipped);
    struct stat info;
    ASSERT_EQ(stat((tree + "/tree.zip").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    std::string out = base + "/out";
    ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
    ASSERT_EQ(rename((tree + "/tree.zip").c_str(), (out + "/tree.zip").c_str()), 0);
    ASSERT_TRUE(LibUnzip((out + "/tree.zip").c_str()));
    EXPECT_EQ(ReadFile(out + "/tree/one"), "1");
    EXPECT_FALSE(Exists(out + "/tree/tree.zip"));
}

} // namespace
