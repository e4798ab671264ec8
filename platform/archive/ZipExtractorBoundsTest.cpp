// The extractor's promises beyond path safety: whole items or nothing
// (failures, stops and killed runs leave nothing behind), bounds on size and
// free space, names given twice or cut by a NUL byte, what happens to an item
// already in place, and the folder extracted into keeping its own mode.

#include "ZipExtraFields.h"
#include "ZipExtractor.h"
#include "ZipStaging.h"
#include "ZipTestSupport.h"

#include <ByteOrder.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;
using namespace brenvik::archive::test;

namespace {

namespace fs = std::filesystem;

// Replaces every occurrence of a marker in the archive's bytes (names sit in
// both the local and the central header), to forge what libzip refuses to
// write: names given twice, names with a NUL byte.
void Patch(std::vector<uint8>* bytes, const std::string& from, const std::string& to)
{
    ASSERT_EQ(from.size(), to.size());
    int count = 0;
    for (auto at = bytes->begin();
         (at = std::search(at, bytes->end(), from.begin(), from.end())) != bytes->end(); count++)
        at = std::copy(to.begin(), to.end(), at);
    ASSERT_EQ(count, 2) << from;
}

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ZipBoundsTest : public testing::Test {
protected:
    void SetUp() override
    {
        fSandbox = brenvik::test::MakeTempFolder("bounds");
        fFolder = fSandbox + "/folder";
        ASSERT_EQ(mkdir(fFolder.c_str(), 0755), 0);
    }

    status_t Extract(const std::vector<uint8>& archive)
    {
        fArchive = archive;
        return fExtractor.Extract(MakeMemorySource(fArchive), fFolder.c_str(), fOptions);
    }

    // A folder item whose second file's data are damaged.
    static std::vector<uint8> SecondFileDamaged()
    {
        ZipBuilder builder;
        builder.AddFolder("top/");
        builder.AddFile("top/a", std::string(5000, 'a'));
        builder.AddFile("top/b", std::string(5000, 'b'));
        std::vector<uint8> archive = builder.Finish();
        // The stored CRC of "top/b" in its central record no longer matches.
        const std::string name = "top/b";
        auto central = std::find_end(archive.begin(), archive.end(), name.begin(), name.end());
        archive[size_t(central - archive.begin()) - 46 + 16] ^= 0xFF;
        return archive;
    }

    std::string fSandbox;
    std::string fFolder;
    std::vector<uint8> fArchive;
    ZipExtractOptions fOptions;
    ZipExtractor fExtractor;
};

TEST_F(ZipBoundsTest, AFailureInALaterFileRemovesTheWholeItem)
{
    EXPECT_EQ(Extract(SecondFileDamaged()), B_BAD_DATA);
    EXPECT_NE(fExtractor.ErrorText().find("top/b"), std::string::npos) << fExtractor.ErrorText();
    EXPECT_NE(fExtractor.ErrorText().find("\"top\" was removed again"), std::string::npos)
        << fExtractor.ErrorText();
    EXPECT_TRUE(Listing(fFolder).empty());
}

TEST_F(ZipBoundsTest, AStopRequestRemovesWhatWasWritten)
{
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddFile("top/a", std::string(600000, 'a'));
    builder.AddFile("top/b", "b");
    int asked = 0;
    fOptions.shouldStop = [&asked] { return ++asked > 2; };
    EXPECT_EQ(Extract(builder.Finish()), B_CANCELED);
    EXPECT_GT(asked, 2);
    EXPECT_TRUE(Listing(fFolder).empty());
}

TEST_F(ZipBoundsTest, ProgressCountsTheItemsBytes)
{
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddFile("top/a", std::string(600000, 'a'));
    builder.AddFile("top/b", std::string(1000, 'b'));
    builder.AddLink("top/c", "a");
    std::vector<ZipExtractProgress> reports;
    fOptions.progress = [&reports](const ZipExtractProgress& p) { reports.push_back(p); };
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    // Files are written on threads of their own: chunks written at about the
    // same time may be reported together, but the folder, the first data
    // and the end are reported.
    ASSERT_GE(reports.size(), 2u);
    for (size_t i = 1; i < reports.size(); i++)
        EXPECT_LE(reports[i - 1].bytesDone, reports[i].bytesDone);
    EXPECT_EQ(reports.back().bytesDone, 601000u);
    EXPECT_EQ(reports.back().bytesTotal, 601000u);
    EXPECT_EQ(fExtractor.BytesWritten(), 601000u);
}

// What a killed extraction leaves is the staging folder with its partial
// file; the next extraction into the folder removes it, but never one that
// a live extraction holds.
TEST_F(ZipBoundsTest, RemainsOfAKilledRunAreRemovedByTheNext)
{
    std::string stale = fFolder + "/" + kStagingPrefix + "0123456789abcdef";
    std::string live = fFolder + "/" + kStagingPrefix + "fedcba9876543210";
    ASSERT_EQ(mkdir(stale.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((stale + "/top").c_str(), 0500), 0);
    WriteText(stale + "/.zx0000", std::string(100000, 'p'));
    ASSERT_EQ(mkdir(live.c_str(), 0700), 0);
    int held = open(live.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    ZipBuilder builder;
    builder.AddFile("top", "new");
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    close(held);
    EXPECT_FALSE(Exists(stale));
    EXPECT_TRUE(Exists(live));
    ASSERT_EQ(fExtractor.Warnings().size(), 1u);
    EXPECT_NE(fExtractor.Warnings()[0].find("interrupted"), std::string::npos);
    EXPECT_EQ(ReadText(fFolder + "/top"), "new");
}

TEST_F(ZipBoundsTest, ItemLargerThanItsBoundIsRefusedNamingTheFirstEntryPast)
{
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddFile("top/a", std::string(4000, 'a'));
    builder.AddFile("top/b", std::string(4000, 'b'));
    builder.AddFile("top/c", std::string(4000, 'c'));
    fOptions.maxItemSize = 10000;
    EXPECT_EQ(Extract(builder.Finish()), B_BUFFER_OVERFLOW);
    EXPECT_NE(fExtractor.ErrorText().find("top/c"), std::string::npos) << fExtractor.ErrorText();
    EXPECT_TRUE(Listing(fFolder).empty());
}

// A few kilobytes that unpack to many megabytes, for an item recorded as a
// few bytes.
TEST_F(ZipBoundsTest, ZipBombIsRefusedBeforeAnythingIsWritten)
{
    ZipBuilder builder;
    builder.AddFile("bomb", std::string(64 * 1024 * 1024, '\0'));
    std::vector<uint8> archive = builder.Finish();
    ASSERT_LT(archive.size(), 200000u);
    fOptions.maxItemSize = 6 + kItemSizeMargin;
    EXPECT_EQ(Extract(archive), B_BUFFER_OVERFLOW);
    EXPECT_NE(fExtractor.ErrorText().find("bomb"), std::string::npos);
    EXPECT_TRUE(Listing(fFolder).empty());
}

TEST_F(ZipBoundsTest, ItemThatDoesNotFitTheFreeSpaceIsRefused)
{
    ZipBuilder builder;
    builder.AddFile("top", "small");
    fOptions.keepFree = uint64(1) << 62;
    EXPECT_EQ(Extract(builder.Finish()), B_DEVICE_FULL);
    EXPECT_NE(fExtractor.ErrorText().find("free space"), std::string::npos);
    EXPECT_TRUE(Listing(fFolder).empty());
}

struct ForgedCase {
    const char* name;
    const char* from;
    std::string to;
    status_t status;
    const char* words;
};

class ForgedNameTest : public ZipBoundsTest, public testing::WithParamInterface<ForgedCase> { };

TEST_P(ForgedNameTest, IsRefused)
{
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddFolder("top/abc/");
    builder.AddFile("top/abd", "0");
    builder.AddFile("top/first", "1");
    builder.AddFile("top/other", "2");
    std::vector<uint8> archive = builder.Finish();
    Patch(&archive, GetParam().from, GetParam().to);
    EXPECT_EQ(Extract(archive), GetParam().status);
    EXPECT_NE(fExtractor.ErrorText().find(GetParam().words), std::string::npos)
        << fExtractor.ErrorText();
    EXPECT_TRUE(Listing(fFolder).empty());
}

INSTANTIATE_TEST_SUITE_P(Names, ForgedNameTest,
    testing::Values(
        ForgedCase { "SameFileTwice", "top/other", "top/first", B_NOT_ALLOWED, "given twice" },
        ForgedCase { "FileWhereAFolderIs", "top/abd", "top/abc", B_NOT_ALLOWED, "given twice" },
        ForgedCase {
            "NulInName", "top/other", std::string("top/o\0her", 9), B_BAD_DATA, "NUL byte" }),
    [](const testing::TestParamInfo<ForgedCase>& test) { return test.param.name; });

TEST_F(ZipBoundsTest, AnItemInPlaceIsRefusedReplacedOrMergedAsAsked)
{
    ASSERT_EQ(mkdir((fFolder + "/top").c_str(), 0755), 0);
    WriteText(fFolder + "/top/old", "old");
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddFile("top/new", "new");
    std::vector<uint8> archive = builder.Finish();
    EXPECT_EQ(Extract(archive), B_FILE_EXISTS);
    EXPECT_EQ(ReadText(fFolder + "/top/old"), "old");
    fOptions.existing = ZipExisting::kMerge;
    ASSERT_EQ(Extract(archive), B_OK) << fExtractor.ErrorText();
    EXPECT_EQ(Listing(fFolder + "/top"), (std::vector<std::string> { "new", "old" }));
    fOptions.existing = ZipExisting::kReplace;
    ASSERT_EQ(Extract(archive), B_OK) << fExtractor.ErrorText();
    EXPECT_EQ(Listing(fFolder + "/top"), (std::vector<std::string> { "new" }));
    EXPECT_EQ(Listing(fFolder), (std::vector<std::string> { "top" }));
}

TEST_F(ZipBoundsTest, TheFolderExtractedIntoKeepsItsOwnModeAndTimes)
{
    timespec old[2] = { { 1000000, 0 }, { 1000000, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, fFolder.c_str(), old, 0), 0);
    ZipBuilder builder;
    zip_int64_t index = builder.AddFolder("top/", 040777);
    builder.SetExtraField(index, kTimestampFieldId, { 1, 0x10, 0, 0, 0 }, true);
    builder.AddFile("top/file", "x");
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    struct stat st;
    ASSERT_EQ(stat(fFolder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    EXPECT_NE(st.st_mtim.tv_sec, 16);
    ASSERT_EQ(stat((fFolder + "/top").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0777u);
    EXPECT_EQ(st.st_mtim.tv_sec, 16);
}

TEST_F(ZipBoundsTest, FoldersStoredWithoutPermissionsStayUsableByTheirOwner)
{
    ZipBuilder builder;
    builder.AddFolder("top/", 040000);
    builder.AddFolder("top/locked/", 040000);
    builder.AddFile("top/locked/file", "x", 0100000);
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    struct stat st;
    ASSERT_EQ(stat((fFolder + "/top/locked").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0700, 0700u);
    std::error_code error;
    fs::remove_all(fFolder + "/top", error);
    EXPECT_FALSE(error) << error.message();
    EXPECT_TRUE(Listing(fFolder).empty());
}

struct LinkMessageCase {
    const char* name;
    const char* target;
    const char* words;
};

class LinkMessageTest : public ZipBoundsTest,
                        public testing::WithParamInterface<LinkMessageCase> { };

TEST_P(LinkMessageTest, SaysWhatIsWrong)
{
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddLink("top/a", GetParam().target);
    builder.AddLink("top/b", "a");
    EXPECT_EQ(Extract(builder.Finish()), B_NOT_ALLOWED);
    EXPECT_NE(fExtractor.ErrorText().find(GetParam().words), std::string::npos)
        << fExtractor.ErrorText();
}

INSTANTIATE_TEST_SUITE_P(Links, LinkMessageTest,
    testing::Values(LinkMessageCase { "Loop", "b", "loop" },
        LinkMessageCase { "Absolute", "/top/x", "absolute" },
        LinkMessageCase { "Outside", "../../x", "outside the destination" }),
    [](const testing::TestParamInfo<LinkMessageCase>& test) { return test.param.name; });

// As many links as one lookup may follow: the kernel gives up after 40,
// counting the link itself.
TEST_F(ZipBoundsTest, LinkChainsAreRefusedWhereTheKernelWouldGiveUp)
{
    for (int links : { 40, 41 }) {
        ZipBuilder builder;
        builder.AddFolder("top/");
        builder.AddFile("top/file", "x");
        for (int i = 0; i < links; i++)
            builder.AddLink(
                "top/l" + std::to_string(i), i + 1 < links ? "l" + std::to_string(i + 1) : "file");
        fs::remove_all(fFolder + "/top");
        status_t status = Extract(builder.Finish());
        if (links == 40) {
            ASSERT_EQ(status, B_OK) << fExtractor.ErrorText();
            EXPECT_EQ(ReadText(fFolder + "/top/l0"), "x");
        } else {
            EXPECT_EQ(status, B_NOT_ALLOWED);
            EXPECT_NE(fExtractor.ErrorText().find("loop"), std::string::npos)
                << fExtractor.ErrorText();
        }
    }
}

TEST_F(ZipBoundsTest, AnItemNamedLikeAStagingFolderIsRefused)
{
    ZipBuilder builder;
    builder.AddFile(std::string(kStagingPrefix) + "0000000000000000", "x");
    EXPECT_EQ(Extract(builder.Finish()), B_BAD_VALUE);
    EXPECT_TRUE(Listing(fFolder).empty());
}

} // namespace
