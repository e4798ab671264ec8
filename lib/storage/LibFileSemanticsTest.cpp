// What the file operations keep and how they name things: attributes with
// their types, trees, links, the trash and the renaming sequence, the PATH
// search and entry sizes.

#include "LibFileOperations.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <FindDirectory.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <ProcessRunner.h>
#include <TypeConstants.h>

#include "LibStorageTestSupport.h"
#include "LibTreeCopy.h"

using namespace lib_storage_test;

namespace {

struct TypedAttr {
    const char* name;
    type_code type;
    std::string value;
};

const TypedAttr kAttrs[] = {
    { "InstallBy", B_STRING_TYPE, "App;1.0;2001-01-01;Maker;help@example.org;" },
    { "BEOS:TYPE", B_MIME_STRING_TYPE, std::string("text/x-sample") + '\0' },
    { "run_priority", B_INT32_TYPE, std::string("\x05\x00\x00\x00", 4) },
    { "odd/name%", B_RAW_TYPE, std::string("\x00\x01\x02", 3) },
};

bool WriteAttrs(const std::string& path)
{
    BNode node(path.c_str());
    for (const TypedAttr& attr : kAttrs) {
        if (node.WriteAttr(attr.name, attr.type, 0, attr.value.data(), attr.value.size())
            != ssize_t(attr.value.size()))
            return false;
    }
    return true;
}

void ExpectAttrs(const std::string& path)
{
    BNode node(path.c_str());
    ASSERT_EQ(node.InitCheck(), B_OK) << path;
    for (const TypedAttr& attr : kAttrs) {
        attr_info info;
        ASSERT_EQ(node.GetAttrInfo(attr.name, &info), B_OK) << attr.name << " on " << path;
        EXPECT_EQ(info.type, attr.type) << attr.name;
        std::string value(size_t(info.size), '\0');
        EXPECT_EQ(node.ReadAttr(attr.name, info.type, 0, value.data(), value.size()),
            ssize_t(value.size()));
        EXPECT_EQ(value, attr.value) << attr.name;
    }
}

// The trash of the boot volume in the current scope (without "/files").
std::string TrashFolder()
{
    BPath files;
    BPath trash;
    if (find_directory(B_TRASH_DIRECTORY, &files) != B_OK || files.GetParent(&trash) != B_OK)
        return "<no trash>";
    return trash.Path();
}

class SemanticsTest : public testing::Test {
protected:
    void SetUp() override { fFolder = brenvik::test::MakeTempFolder("sem"); }

    // Skips the test where the sandbox's file system keeps no attributes.
    bool PrepareAttributedFile(const std::string& path)
    {
        if (!WriteFile(path, "with attributes"))
            return false;
        return WriteAttrs(path);
    }

    std::string fFolder;
};

TEST_F(SemanticsTest, AttributesWithTheirTypesSurviveCopyMoveAndZip)
{
    std::string file = fFolder + "/item";
    if (!PrepareAttributedFile(file))
        GTEST_SKIP() << "no extended attributes here";
    ASSERT_TRUE(LibCopy(file.c_str(), (fFolder + "/copy").c_str()));
    ExpectAttrs(fFolder + "/copy");
    ASSERT_TRUE(LibMove((fFolder + "/copy").c_str(), (fFolder + "/moved").c_str()));
    ExpectAttrs(fFolder + "/moved");
    LibTreeCopy copy;
    ASSERT_EQ(copy.MoveByCopy(fFolder + "/moved", fFolder + "/far"), B_OK);
    ExpectAttrs(fFolder + "/far");
    EXPECT_TRUE(copy.Warnings().empty());

    std::string zip = fFolder + "/item.zip";
    ASSERT_TRUE(LibZip(zip.c_str(), BPath(file.c_str()), 9));
    ASSERT_TRUE(LibUnlink(file.c_str()));
    ASSERT_TRUE(LibUnzip(zip.c_str()));
    ExpectAttrs(file);
}

TEST_F(SemanticsTest, CopyOfATreeKeepsDataModesTimesLinksAndFolderAttributes)
{
    std::string tree = fFolder + "/tree";
    ASSERT_EQ(mkdir(tree.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tree + "/empty").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((tree + "/sub").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(tree + "/sub/run", "#!/bin/sh\n", 0755));
    ASSERT_TRUE(WriteFile(tree + "/big", std::string(1 << 20, 'b')));
    ASSERT_EQ(symlink("sub/run", (tree + "/link").c_str()), 0);
    bool attributes = WriteAttrs(tree + "/sub");
    timespec times[2] = { { 1000000000, 0 }, { 1100000000, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, (tree + "/big").c_str(), times, 0), 0);

    ASSERT_TRUE(LibCopy(tree.c_str(), (fFolder + "/copy").c_str()));
    std::string copy = fFolder + "/copy";
    EXPECT_EQ(ReadFile(copy + "/big"), std::string(1 << 20, 'b'));
    EXPECT_TRUE(IsFolder(copy + "/empty"));
    struct stat info;
    ASSERT_EQ(stat((copy + "/sub/run").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    ASSERT_EQ(stat((copy + "/big").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1100000000);
    ASSERT_TRUE(IsLink(copy + "/link"));
    char text[64] = {};
    ASSERT_GT(readlink((copy + "/link").c_str(), text, sizeof(text) - 1), 0);
    EXPECT_STREQ(text, "sub/run");
    if (attributes)
        ExpectAttrs(copy + "/sub");
}

TEST_F(SemanticsTest, CopyIntoAnExistingFolderMergesAndReplacesFiles)
{
    ASSERT_EQ(mkdir((fFolder + "/a").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(fFolder + "/a/new", "new"));
    ASSERT_TRUE(WriteFile(fFolder + "/a/same", "source"));
    ASSERT_EQ(mkdir((fFolder + "/dest").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((fFolder + "/dest/a").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(fFolder + "/dest/a/same", "old"));
    ASSERT_TRUE(WriteFile(fFolder + "/dest/a/kept", "kept"));
    ASSERT_TRUE(LibCopy((fFolder + "/a").c_str(), (fFolder + "/dest").c_str()));
    EXPECT_EQ(ReadFile(fFolder + "/dest/a/new"), "new");
    EXPECT_EQ(ReadFile(fFolder + "/dest/a/same"), "source");
    EXPECT_EQ(ReadFile(fFolder + "/dest/a/kept"), "kept");
}

// A copy replaces a link at the destination; it never writes through it.
TEST_F(SemanticsTest, CopyReplacesALinkInsteadOfWritingThroughIt)
{
    ASSERT_TRUE(WriteFile(fFolder + "/victim", "untouched"));
    ASSERT_TRUE(WriteFile(fFolder + "/source", "new"));
    ASSERT_EQ(symlink((fFolder + "/victim").c_str(), (fFolder + "/dest").c_str()), 0);
    ASSERT_TRUE(LibCopy((fFolder + "/source").c_str(), (fFolder + "/dest").c_str()));
    EXPECT_FALSE(IsLink(fFolder + "/dest"));
    EXPECT_EQ(ReadFile(fFolder + "/dest"), "new");
    EXPECT_EQ(ReadFile(fFolder + "/victim"), "untouched");
}

TEST_F(SemanticsTest, MoveWithinAVolumeKeepsTheNode)
{
    ASSERT_TRUE(WriteFile(fFolder + "/a", "a"));
    struct stat before;
    ASSERT_EQ(stat((fFolder + "/a").c_str(), &before), 0);
    ASSERT_TRUE(LibMove((fFolder + "/a").c_str(), (fFolder + "/b").c_str()));
    struct stat after;
    ASSERT_EQ(stat((fFolder + "/b").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(SemanticsTest, MoveAcrossVolumesKeepsTheTypeAndTypesUntypedFiles)
{
    std::string typed = fFolder + "/typed";
    ASSERT_TRUE(WriteFile(typed, "plain words\n"));
    BNode node(typed.c_str());
    BNodeInfo info(&node);
    if (info.SetType("text/x-source-type") != B_OK)
        GTEST_SKIP() << "no extended attributes here";
    std::string untyped = fFolder + "/untyped.txt";
    ASSERT_TRUE(WriteFile(untyped, "some plain text\n"));

    LibTreeCopy copy;
    ASSERT_EQ(copy.MoveByCopy(typed, fFolder + "/typed-moved"), B_OK);
    ASSERT_EQ(copy.MoveByCopy(untyped, fFolder + "/untyped-moved.txt"), B_OK);
    EXPECT_FALSE(Exists(typed));
    char type[B_MIME_TYPE_LENGTH];
    BNode moved((fFolder + "/typed-moved").c_str());
    ASSERT_EQ(BNodeInfo(&moved).GetType(type), B_OK);
    EXPECT_STREQ(type, "text/x-source-type");
    BNode sniffed((fFolder + "/untyped-moved.txt").c_str());
    ASSERT_EQ(BNodeInfo(&sniffed).GetType(type), B_OK);
    EXPECT_STREQ(type, "text/plain");
}

TEST_F(SemanticsTest, SymLinkReplacesAnExistingLinkEvenToAFolder)
{
    ASSERT_EQ(mkdir((fFolder + "/dir").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(fFolder + "/target", "t"));
    ASSERT_EQ(symlink((fFolder + "/dir").c_str(), (fFolder + "/link").c_str()), 0);
    ASSERT_TRUE(LibSymLink((fFolder + "/target").c_str(), (fFolder + "/link").c_str()));
    char text[4096] = {};
    ASSERT_GT(readlink((fFolder + "/link").c_str(), text, sizeof(text) - 1), 0);
    EXPECT_EQ(std::string(text), fFolder + "/target");
    EXPECT_FALSE(Exists(fFolder + "/dir/target"));
    // A plain file in the way is replaced too.
    ASSERT_TRUE(WriteFile(fFolder + "/file", "f"));
    ASSERT_TRUE(LibSymLink("relative target", (fFolder + "/file").c_str()));
    EXPECT_TRUE(IsLink(fFolder + "/file"));
}

TEST_F(SemanticsTest, TrashUsesTheCopyNameSequenceAndRecordsTheOrigin)
{
    std::string trash = TrashFolder();
    ASSERT_TRUE(LibUnlink(trash.c_str()));
    for (int i = 0; i < 3; i++) {
        std::string notes = fFolder + "/notes";
        ASSERT_TRUE(WriteFile(notes, "version " + std::to_string(i)));
        ASSERT_TRUE(LibTrash(BPath(notes.c_str()), false));
        EXPECT_FALSE(Exists(notes));
    }
    EXPECT_EQ(ReadFile(trash + "/files/notes"), "version 0");
    EXPECT_EQ(ReadFile(trash + "/files/notes copy"), "version 1");
    EXPECT_EQ(ReadFile(trash + "/files/notes copy 1"), "version 2");
    std::string record = ReadFile(trash + "/info/notes copy 1.trashinfo");
    EXPECT_EQ(record.rfind("[Trash Info]\nPath=" + fFolder + "/notes\nDeletionDate=", 0), 0u)
        << record;
    struct stat info;
    ASSERT_EQ(stat((trash + "/files").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(SemanticsTest, TrashWithReplaceTakesTheItemsOwnName)
{
    std::string trash = TrashFolder();
    ASSERT_TRUE(LibUnlink(trash.c_str()));
    for (int i = 0; i < 2; i++) {
        std::string item = fFolder + "/report";
        ASSERT_EQ(mkdir(item.c_str(), 0755), 0);
        ASSERT_TRUE(WriteFile(item + "/page", std::to_string(i)));
        ASSERT_TRUE(LibTrash(BPath(item.c_str()), true));
    }
    EXPECT_EQ(ReadFile(trash + "/files/report/page"), "1");
    EXPECT_FALSE(Exists(trash + "/files/report copy"));
}

TEST_F(SemanticsTest, DuplicateRenamesAsideWithTheNextFreeName)
{
    ASSERT_TRUE(WriteFile(fFolder + "/tips", "new tips"));
    ASSERT_TRUE(WriteFile(fFolder + "/tips copy", "older tips"));
    ASSERT_TRUE(LibDuplicate((fFolder + "/tips").c_str()));
    EXPECT_FALSE(Exists(fFolder + "/tips"));
    EXPECT_EQ(ReadFile(fFolder + "/tips copy"), "older tips");
    EXPECT_EQ(ReadFile(fFolder + "/tips copy 1"), "new tips");
}

TEST_F(SemanticsTest, FindEnvFileNeverSearchesTheFirstFolder)
{
    std::string first = fFolder + "/first";
    std::string second = fFolder + "/second";
    std::string third = fFolder + "/third";
    for (const std::string& folder : { first, second, third })
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    setenv("BRENVIK_TEST_SEARCH", (first + ":" + second + ":" + third).c_str(), 1);
    ASSERT_TRUE(WriteFile(first + "/zip", ""));
    BPath found;
    EXPECT_FALSE(LibFindEnvFile("BRENVIK_TEST_SEARCH", "zip", found));
    ASSERT_TRUE(WriteFile(third + "/zip", ""));
    ASSERT_TRUE(LibFindEnvFile("BRENVIK_TEST_SEARCH", "zip", found));
    EXPECT_STREQ(found.Path(), (third + "/zip").c_str());
    ASSERT_TRUE(WriteFile(second + "/zip", ""));
    ASSERT_TRUE(LibFindEnvFile("BRENVIK_TEST_SEARCH", "zip", found));
    EXPECT_STREQ(found.Path(), (second + "/zip").c_str());
    unsetenv("BRENVIK_TEST_SEARCH");
    EXPECT_FALSE(LibFindEnvFile("BRENVIK_TEST_SEARCH", "zip", found));
}

TEST_F(SemanticsTest, EntrySizeOfAFolderAddsItsFilesAndItsOwnSize)
{
    std::string folder = fFolder + "/two";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(folder + "/a", std::string(100, 'a')));
    ASSERT_TRUE(WriteFile(folder + "/b", std::string(200, 'b')));
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(LibEntrySize(folder.c_str(), false), 300 + info.st_size);
    EXPECT_EQ(LibEntrySize(folder.c_str(), true), 300 + info.st_size);
    BNode node((folder + "/a").c_str());
    if (node.WriteAttr("note", B_STRING_TYPE, 0, "12345", 5) == 5) {
        EXPECT_EQ(LibEntrySize(folder.c_str(), true), 305 + info.st_size);
    }
}

TEST_F(SemanticsTest, EntrySizeIsNotCutToThirtyTwoBits)
{
    std::string sparse = fFolder + "/sparse";
    ASSERT_TRUE(WriteFile(sparse, ""));
    ASSERT_EQ(truncate(sparse.c_str(), off_t(5) << 30), 0);
    EXPECT_EQ(LibEntrySize(sparse.c_str(), false), int64(5) << 30);
}

TEST_F(SemanticsTest, TarArchiveHoldsTheItemUnderItsRelativeName)
{
    ASSERT_EQ(mkdir((fFolder + "/pack").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(fFolder + "/pack/inside", "i"));
    ASSERT_TRUE(LibTar("pack", (fFolder + "/pack.tar").c_str()));
    BPrivate::ProcessOptions options;
    options.captureOutput = true;
    BPrivate::ProcessResult result;
    ASSERT_EQ(BPrivate::ProcessRunner::Run(
                  { "tar", "--list", "--file", fFolder + "/pack.tar" }, options, &result),
        B_OK);
    EXPECT_EQ(result.output, "pack/\npack/inside\n");
}

TEST_F(SemanticsTest, TarArchiveCarriesTheAttributes)
{
    ASSERT_EQ(mkdir((fFolder + "/pack").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(fFolder + "/pack/inside", "i"));
    if (BNode((fFolder + "/pack/inside").c_str()).WriteAttr("note", B_STRING_TYPE, 0, "kept", 4)
        != 4)
        GTEST_SKIP() << "no extended attributes here";
    ASSERT_TRUE(LibTar("pack", (fFolder + "/pack.tar").c_str()));
    std::string out = fFolder + "/out";
    ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
    BPrivate::ProcessOptions options;
    options.captureOutput = true;
    BPrivate::ProcessResult result;
    ASSERT_EQ(BPrivate::ProcessRunner::Run({ "tar", "--extract", "--xattrs", "--xattrs-include=*",
                                               "--file", fFolder + "/pack.tar", "-C", out },
                  options, &result),
        B_OK)
        << result.errors;
    char value[8] = {};
    EXPECT_EQ(
        BNode((out + "/pack/inside").c_str()).ReadAttr("note", B_STRING_TYPE, 0, value, 4), 4);
    EXPECT_STREQ(value, "kept");
}

TEST_F(SemanticsTest, ZipRoundTripRestoresTreeTimesAndModes)
{
    std::string tree = fFolder + "/app";
    ASSERT_EQ(mkdir(tree.c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(tree + "/run", "#!/bin/sh\n", 0750));
    ASSERT_EQ(symlink("run", (tree + "/start").c_str()), 0);
    timespec times[2] = { { 1200000000, 0 }, { 1300000000, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, (tree + "/run").c_str(), times, 0), 0);
    std::string zip = fFolder + "/app.zip";
    ASSERT_TRUE(LibZip(zip.c_str(), BPath(tree.c_str()), 9));
    ASSERT_TRUE(LibUnlink(tree.c_str()));
    ASSERT_TRUE(LibUnzip(zip.c_str()));
    struct stat info;
    ASSERT_EQ(stat((tree + "/run").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1300000000);
    EXPECT_EQ(info.st_mode & 0777, 0750u);
    EXPECT_TRUE(IsLink(tree + "/start"));
    EXPECT_EQ(ReadFile(tree + "/start"), "#!/bin/sh\n");
}

TEST_F(SemanticsTest, UnzipReplacesAnExistingItem)
{
    ASSERT_TRUE(WriteFile(fFolder + "/item", "archived"));
    ASSERT_TRUE(LibZip((fFolder + "/item.zip").c_str(), BPath((fFolder + "/item").c_str()), 0));
    ASSERT_TRUE(WriteFile(fFolder + "/item", "changed since"));
    ASSERT_TRUE(LibUnzip((fFolder + "/item.zip").c_str()));
    EXPECT_EQ(ReadFile(fFolder + "/item"), "archived");
}

} // namespace
