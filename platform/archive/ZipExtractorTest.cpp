// The extractor on hostile archives (built here with libzip), on links
// already on disk, and reading archives in place from larger files.

#include "ZipExtractor.h"
#include "ZipEntryPath.h"
#include "ZipExtraFields.h"
#include "ZipTestSupport.h"

#include "ResourceTestSupport.h"
#include "Resources.h"

#include <ByteOrder.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace BPrivate;
using namespace brenvik::archive::test;

namespace {

// Every test runs once with the kernel's checked resolution (openat2) and once
// with the step-by-step fallback for kernels without it.
class ZipExtractorTest : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        fSandbox = brenvik::test::MakeTempFolder("extract");
        fDestination = fSandbox + "/destination";
        fOutside = fSandbox + "/outside";
        ASSERT_EQ(mkdir(fDestination.c_str(), 0755), 0);
        ASSERT_EQ(mkdir(fOutside.c_str(), 0755), 0);
        fOptions.useOpenat2 = GetParam();
    }

    status_t Extract(const std::vector<uint8>& archive)
    {
        fArchive = archive;
        return fExtractor.Extract(MakeMemorySource(fArchive), fDestination.c_str(), fOptions);
    }

    bool OutsideIsEmpty() const
    {
        struct stat st;
        return stat((fOutside + "/x").c_str(), &st) != 0
            && stat((fSandbox + "/x").c_str(), &st) != 0
            && stat((fOutside + "/file").c_str(), &st) != 0;
    }

    std::string fSandbox;
    std::string fDestination;
    std::string fOutside;
    std::vector<uint8> fArchive;
    ZipExtractOptions fOptions;
    ZipExtractor fExtractor;
};

struct HostileArchive {
    const char* name;
    void (*build)(ZipBuilder&);
};

const HostileArchive kHostileArchives[] = {
    { "ParentComponent", [](ZipBuilder& z) { z.AddFile("../x", "evil"); } },
    { "AbsolutePath", [](ZipBuilder& z) { z.AddFile("/tmp/x", "evil"); } },
    { "ParentInsideName",
        [](ZipBuilder& z) {
            z.AddFolder("a/");
            z.AddFile("a/../../x", "evil");
        } },
    { "DotComponent", [](ZipBuilder& z) { z.AddFile("top/./x", "evil"); } },
    { "EmptyComponent", [](ZipBuilder& z) { z.AddFile("top//x", "evil"); } },
    { "LinkClimbingOut",
        [](ZipBuilder& z) {
            z.AddFolder("top/");
            z.AddLink("top/lnk", "../../outside");
        } },
    { "AbsoluteLink",
        [](ZipBuilder& z) {
            z.AddFolder("top/");
            z.AddLink("top/lnk", "/etc");
        } },
    { "WriteThroughArchiveLink",
        [](ZipBuilder& z) {
            z.AddFolder("top/");
            z.AddLink("top/lnk", "sub");
            z.AddFile("top/lnk/file", "evil");
        } },
    { "LinkOutThenFileThroughIt",
        [](ZipBuilder& z) {
            z.AddFolder("top/");
            z.AddLink("top/lnk", "../../outside");
            z.AddFile("top/lnk/x", "evil");
        } },
    // Each link stays inside on its own; followed through the first one,
    // the second leaves the destination.
    { "ChainedLinksClimbingOut",
        [](ZipBuilder& z) {
            z.AddFolder("top/d1/d2/");
            z.AddLink("top/d1/d2/a", "../../..");
            z.AddLink("top/d1/d2/b", "a/../x");
        } },
    { "TwoItems",
        [](ZipBuilder& z) {
            z.AddFile("one", "1");
            z.AddFile("two", "2");
        } },
    { "FileAndFolderOfOneName",
        [](ZipBuilder& z) {
            z.AddFile("top/x", "file");
            z.AddFolder("top/x/");
        } },
    { "DeviceNode", [](ZipBuilder& z) { z.AddFile("top", "", 020644); } },
    { "Fifo", [](ZipBuilder& z) { z.AddFile("top", "", 010644); } },
};

class HostileArchiveTest : public ZipExtractorTest { };

TEST_P(HostileArchiveTest, IsRefusedBeforeAnythingIsWritten)
{
    for (const HostileArchive& hostile : kHostileArchives) {
        ZipBuilder builder;
        hostile.build(builder);
        std::string out = fDestination + "/" + hostile.name;
        ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
        fArchive = builder.Finish();
        ASSERT_FALSE(fArchive.empty()) << hostile.name;
        status_t status = fExtractor.Extract(MakeMemorySource(fArchive), out.c_str(), fOptions);
        EXPECT_NE(status, B_OK) << hostile.name;
        EXPECT_FALSE(fExtractor.ErrorText().empty()) << hostile.name;
        EXPECT_TRUE(OutsideIsEmpty()) << hostile.name;
        EXPECT_EQ(rmdir(out.c_str()), 0) << hostile.name << " left something behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Resolution, HostileArchiveTest, testing::Bool());

TEST_P(ZipExtractorTest, LinkAlreadyOnDiskIsNotFollowedOut)
{
    fOptions.existing = ZipExisting::kMerge;
    ASSERT_EQ(symlink(fOutside.c_str(), (fDestination + "/top").c_str()), 0);
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddFile("top/file", "evil");
    EXPECT_EQ(Extract(builder.Finish()), B_NOT_ALLOWED);
    EXPECT_NE(fExtractor.ErrorText().find("top"), std::string::npos);
    EXPECT_TRUE(OutsideIsEmpty());
}

TEST_P(ZipExtractorTest, RelativeLinkOnDiskClimbingOutIsNotFollowed)
{
    fOptions.existing = ZipExisting::kMerge;
    ASSERT_EQ(mkdir((fDestination + "/top").c_str(), 0755), 0);
    ASSERT_EQ(symlink("../../outside", (fDestination + "/top/sub").c_str()), 0);
    ZipBuilder builder;
    builder.AddFile("top/sub/file", "evil");
    EXPECT_EQ(Extract(builder.Finish()), B_NOT_ALLOWED);
    EXPECT_TRUE(OutsideIsEmpty());
}

TEST_P(ZipExtractorTest, LinkOnDiskAtAFilesPlaceIsReplacedNotFollowed)
{
    fOptions.existing = ZipExisting::kMerge;
    std::string victim = fOutside + "/victim";
    WriteText(victim, "precious");
    ASSERT_EQ(mkdir((fDestination + "/top").c_str(), 0755), 0);
    ASSERT_EQ(symlink(victim.c_str(), (fDestination + "/top/file").c_str()), 0);
    ZipBuilder builder;
    builder.AddFile("top/file", "new data");
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    EXPECT_EQ(ReadText(victim), "precious");
    struct stat st;
    ASSERT_EQ(lstat((fDestination + "/top/file").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadText(fDestination + "/top/file"), "new data");
}

TEST_P(ZipExtractorTest, LinkInsideTheDestinationIsKept)
{
    ZipBuilder builder;
    builder.AddFolder("top/lib/");
    builder.AddFile("top/lib/libx.so.1", "library");
    builder.AddLink("top/lib/libx.so", "libx.so.1");
    builder.AddLink("top/current", "lib/../lib");
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    EXPECT_EQ(ReadText(fDestination + "/top/lib/libx.so"), "library");
    EXPECT_EQ(ReadText(fDestination + "/top/current/libx.so.1"), "library");
}

TEST_P(ZipExtractorTest, ExistingFileIsOverwrittenAndFoldersMerged)
{
    fOptions.existing = ZipExisting::kMerge;
    ASSERT_EQ(mkdir((fDestination + "/top").c_str(), 0755), 0);
    WriteText(fDestination + "/top/old", "kept");
    WriteText(fDestination + "/top/file", "old data");
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddFile("top/file", "new data");
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    EXPECT_EQ(ReadText(fDestination + "/top/file"), "new data");
    EXPECT_EQ(ReadText(fDestination + "/top/old"), "kept");
}

TEST_P(ZipExtractorTest, FolderInTheWayOfAFileIsAnError)
{
    fOptions.existing = ZipExisting::kMerge;
    ASSERT_EQ(mkdir((fDestination + "/top").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((fDestination + "/top/file").c_str(), 0755), 0);
    ZipBuilder builder;
    builder.AddFile("top/file", "data");
    EXPECT_NE(Extract(builder.Finish()), B_OK);
    EXPECT_FALSE(fExtractor.ErrorText().empty());
}

TEST_P(ZipExtractorTest, SetIdBitsAreNotRestoredAndTheStickyBitOnlyOnFolders)
{
    ZipBuilder builder;
    builder.AddFolder("top/", 041777);
    builder.AddFolder("top/setid/", 046755);
    builder.AddFile("top/tool", "#!/bin/sh\n", 0106755);
    builder.AddFile("top/sticky", "x", 0101644);
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    struct stat st;
    ASSERT_EQ(stat((fDestination + "/top/tool").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_EQ(stat((fDestination + "/top/sticky").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    ASSERT_EQ(stat((fDestination + "/top/setid").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    // A shared folder keeps each user's entries her own.
    ASSERT_EQ(stat((fDestination + "/top").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01777u);
}

TEST_P(ZipExtractorTest, TheBitsAskedForAreTakenFromEveryMode)
{
    ZipBuilder builder;
    builder.AddFolder("top/", 040777);
    builder.AddFolder("top/drop/", 041777);
    builder.AddFile("top/tool", "#!/bin/sh\n", 0100777);
    builder.AddFile("top/data", "x", 0100664);
    fOptions.removedModeBits = S_IWGRP | S_IWOTH;
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    struct stat st;
    ASSERT_EQ(stat((fDestination + "/top").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_EQ(stat((fDestination + "/top/drop").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01755u);
    ASSERT_EQ(stat((fDestination + "/top/tool").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_EQ(stat((fDestination + "/top/data").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_P(ZipExtractorTest, ImplicitFoldersAreCreated)
{
    ZipBuilder builder;
    builder.AddFile("top/a/b/c.txt", "deep");
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    EXPECT_EQ(ReadText(fDestination + "/top/a/b/c.txt"), "deep");
}

TEST_P(ZipExtractorTest, TopItemIsCheckedAndRenamed)
{
    ZipBuilder builder;
    builder.AddFolder("Kolvast/");
    builder.AddFile("Kolvast/data", "x");
    std::vector<uint8> archive = builder.Finish();
    fOptions.expectedTopName = "Other";
    EXPECT_EQ(Extract(archive), B_BAD_DATA);
    fOptions.expectedTopName = "Kolvast";
    fOptions.targetName = "Sample 1.0 Deinstaller";
    ASSERT_EQ(Extract(archive), B_OK) << fExtractor.ErrorText();
    EXPECT_EQ(fExtractor.TopName(), "Sample 1.0 Deinstaller");
    EXPECT_EQ(ReadText(fDestination + "/Sample 1.0 Deinstaller/data"), "x");
    EXPECT_FALSE(Exists(fDestination + "/Kolvast"));
    fOptions.targetName = "../escape";
    EXPECT_NE(Extract(archive), B_OK);
}

TEST_P(ZipExtractorTest, CorruptDataLeavesNoFileBehind)
{
    ZipBuilder builder;
    builder.AddFile("top", std::string(5000, 'a'));
    std::vector<uint8> archive = builder.Finish();
    // Flip a byte of the deflated data (just after the local header: 30
    // bytes, the name, the extra fields).
    size_t dataStart = 30 + 3 + ReadUnaligned<uint16>(archive.data() + 28);
    archive[dataStart + 2] ^= 0x55;
    EXPECT_NE(Extract(archive), B_OK);
    EXPECT_FALSE(Exists(fDestination + "/top"));
    EXPECT_EQ(rmdir(fDestination.c_str()), 0) << "a temporary file was left behind";
}

TEST_P(ZipExtractorTest, ItemSizeBoundRefusesLargeArchives)
{
    ZipBuilder builder;
    builder.AddFile("top", std::string(100000, 'a'));
    fOptions.maxItemSize = 50000;
    EXPECT_EQ(Extract(builder.Finish()), B_BUFFER_OVERFLOW);
    EXPECT_FALSE(Exists(fDestination + "/top"));
}

TEST_P(ZipExtractorTest, DamagedAttributeFieldIsReportedNotFatal)
{
    ZipBuilder builder;
    zip_int64_t index = builder.AddFile("top", "data");
    builder.SetExtraField(index, kBeAttributesFieldId, { 0x05, 0, 0, 0, 0x01, 'x' }, true);
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    EXPECT_EQ(ReadText(fDestination + "/top"), "data");
    EXPECT_EQ(fExtractor.Warnings().size(), 1u);
}

TEST_P(ZipExtractorTest, NotAnArchiveIsAnError)
{
    std::vector<uint8> junk(1000, 'j');
    EXPECT_EQ(Extract(junk), B_BAD_DATA);
    EXPECT_FALSE(fExtractor.ErrorText().empty());
}

INSTANTIATE_TEST_SUITE_P(Resolution, ZipExtractorTest, testing::Bool());

// Reading in place ----------------------------------------------------------

TEST(ZipSourceTest, ExtractsFromAWindowOfALargerFile)
{
    ZipBuilder builder;
    builder.AddFile("top", "payload inside a larger file");
    std::vector<uint8> archive = builder.Finish();
    std::string folder = brenvik::test::MakeTempFolder("window");
    std::string path = folder + "/installer";
    std::string bytes(10000, 'E');
    bytes.append(archive.begin(), archive.end());
    bytes.append(777, 'T');
    WriteText(path, bytes);
    ZipExtractor extractor;
    status_t status;
    auto source = OpenFileWindowSource(path.c_str(), 10000, off_t(archive.size()), &status);
    ASSERT_EQ(status, B_OK);
    ASSERT_EQ(extractor.Extract(std::move(source), folder.c_str()), B_OK) << extractor.ErrorText();
    EXPECT_EQ(ReadText(folder + "/top"), "payload inside a larger file");
    EXPECT_EQ(OpenFileWindowSource(path.c_str(), 10000, off_t(bytes.size()), &status), nullptr);
    EXPECT_EQ(status, B_BAD_VALUE);
}

TEST(ZipSourceTest, ExtractsAResourceOfAnElfFileInPlace)
{
    ZipBuilder builder;
    builder.AddFolder("tips/");
    builder.AddFile("tips/first", "Read the manual.");
    std::vector<uint8> archive = builder.Finish();
    std::string installer = brenvik::resources::test::CopyOfVector("elf-no-res");
    {
        BResources resources(installer.c_str());
        ASSERT_EQ(
            resources.AddResource('RAWT', 2100, archive.data(), archive.size(), "tips"), B_OK);
    }
    BResources resources;
    ASSERT_EQ(resources.SetTo(installer.c_str(), 0, false), B_OK);
    status_t status;
    auto source = MakeResourceSource(resources, 'RAWT', 2100, &status);
    ASSERT_EQ(status, B_OK);
    std::string out = brenvik::test::MakeTempFolder("fromresource");
    ZipExtractor extractor;
    ZipExtractOptions options;
    options.expectedTopName = "tips";
    ASSERT_EQ(extractor.Extract(std::move(source), out.c_str(), options), B_OK)
        << extractor.ErrorText();
    EXPECT_EQ(ReadText(out + "/tips/first"), "Read the manual.");
    EXPECT_EQ(MakeResourceSource(resources, 'RAWT', 2101, &status), nullptr);
    EXPECT_EQ(status, B_ENTRY_NOT_FOUND);
}

// A resource as the file holds it is read in place, by several threads at
// once; one loaded into memory (it may have been changed there) is read
// through its resources object, one read at a time.
TEST(ZipSourceTest, AResourceInItsFileIsReadInPlaceAndALoadedOneThroughItsObject)
{
    const std::string data = "the resource's bytes";
    std::string installer = brenvik::resources::test::CopyOfVector("elf-no-res");
    {
        BResources resources(installer.c_str());
        ASSERT_EQ(resources.AddResource('RAWT', 2100, data.data(), data.size(), "a"), B_OK);
        ASSERT_EQ(resources.AddResource('RAWT', 2101, data.data(), data.size(), "b"), B_OK);
    }
    BResources resources;
    ASSERT_EQ(resources.SetTo(installer.c_str(), 0, false), B_OK);
    ASSERT_NE(resources.LoadResource('RAWT', 2101, nullptr), nullptr);
    for (int32 id : { 2100, 2101 }) {
        status_t status;
        std::unique_ptr<ZipByteSource> source = MakeResourceSource(resources, 'RAWT', id, &status);
        ASSERT_NE(source, nullptr) << id;
        EXPECT_EQ(source->ReadsConcurrently(), id == 2100);
        std::unique_ptr<ZipByteSource> shared = MakeConcurrentSource(std::move(source));
        EXPECT_TRUE(shared->ReadsConcurrently());
        std::string read(data.size(), '\0');
        ASSERT_EQ(shared->ReadAt(0, read.data(), read.size()), ssize_t(data.size())) << id;
        EXPECT_EQ(read, data) << id;
    }
}

// Link targets ----------------------------------------------------------------

struct LinkCase {
    std::vector<std::string> link;
    const char* target;
    LinkVerdict verdict;
};

class LinkTargetTest : public testing::TestWithParam<LinkCase> { };

TEST_P(LinkTargetTest, FollowsResolution)
{
    std::map<std::string, std::string> links = { { "top/up", "../.." }, { "top/deep", "a/b/c" },
        { "top/loop1", "loop2" }, { "top/loop2", "loop1" }, { "top/root", "/" } };
    EXPECT_EQ(CheckLinkTarget(GetParam().link, GetParam().target, links), GetParam().verdict)
        << GetParam().target;
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkTargetTest,
    testing::Values(LinkCase { { "top", "l" }, "file", LinkVerdict::kInside },
        LinkCase { { "top", "l" }, "../sibling", LinkVerdict::kInside },
        LinkCase { { "top", "l" }, "../../x", LinkVerdict::kOutside },
        LinkCase { { "top", "l" }, "/etc/passwd", LinkVerdict::kAbsolute },
        LinkCase { { "top", "l" }, "", LinkVerdict::kEmpty },
        LinkCase { { "top", "l" }, "./a//b/", LinkVerdict::kInside },
        LinkCase { { "top", "l" }, "deep/../../..", LinkVerdict::kInside },
        LinkCase { { "top", "l" }, "up/x", LinkVerdict::kOutside },
        LinkCase { { "top", "l" }, "up", LinkVerdict::kOutside },
        LinkCase { { "top", "l" }, "loop1", LinkVerdict::kLoop },
        LinkCase { { "top", "l" }, "root/etc", LinkVerdict::kAbsolute },
        LinkCase { { "l" }, "..", LinkVerdict::kOutside }));

TEST(EntryNameTest, SplitsSafeNamesAndRefusesOthers)
{
    std::vector<std::string> parts;
    std::string reason;
    ASSERT_EQ(SplitEntryName("top/a b/c\\d", &parts, &reason), B_OK);
    EXPECT_EQ(parts, (std::vector<std::string> { "top", "a b", "c\\d" }));
    ASSERT_EQ(SplitEntryName("top/", &parts, &reason), B_OK);
    EXPECT_EQ(parts, (std::vector<std::string> { "top" }));
    for (const char* name : { "", "/", "/abs", "..", "a/..", "a/./b", "a//b", "a/../b" })
        EXPECT_EQ(SplitEntryName(name, &parts, &reason), B_BAD_VALUE) << name;
    EXPECT_EQ(SplitEntryName(std::string(256, 'n'), &parts, &reason), B_BAD_VALUE);
    EXPECT_EQ(SplitEntryName(std::string(255, 'n'), &parts, &reason), B_OK);
    std::string deep = "top";
    for (size_t i = 1; i < kMaxEntryDepth; i++)
        deep += "/d";
    EXPECT_EQ(SplitEntryName(deep, &parts, &reason), B_OK);
    EXPECT_EQ(SplitEntryName(deep + "/d", &parts, &reason), B_BAD_VALUE);
}

} // namespace
