#include <Path.h>
#include <PathHelpers.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include "StorageTestUtils.h"

namespace {

using brenvik::test::MakeTempFolder;

struct NormalisationCase {
    const char* name;
    const char* path; // "@" stands for the test's own folder
    const char* leaf;
    bool normalize;
    status_t status;
    const char* expected; // "@" stands for the test's own folder
};

std::string Expand(const char* text, const std::string& folder)
{
    std::string result = text;
    size_t at = result.find('@');
    if (at != std::string::npos)
        result.replace(at, 1, folder);
    return result;
}

class PathNormalisation : public testing::TestWithParam<NormalisationCase> { };

TEST_P(PathNormalisation, GivesTheExpectedPathOrError)
{
    const NormalisationCase& item = GetParam();
    // The folder holds real/, real/file and link -> real, so that ".." and
    // links have something to resolve.
    char real[4096];
    ASSERT_NE(realpath(MakeTempFolder("path").c_str(), real), nullptr);
    std::string folder = real;
    ASSERT_EQ(mkdir((folder + "/real").c_str(), 0755), 0);
    ASSERT_TRUE(storage_test::WriteFile(folder + "/real/file", "x"));
    ASSERT_EQ(symlink("real", (folder + "/link").c_str()), 0);

    std::string path = Expand(item.path, folder);
    BPath result(path.c_str(), item.leaf, item.normalize);
    ASSERT_EQ(result.InitCheck(), item.status) << path;
    if (item.status == B_OK)
        EXPECT_STREQ(result.Path(), Expand(item.expected, folder).c_str());
    else
        EXPECT_EQ(result.Path(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, PathNormalisation,
    testing::Values(NormalisationCase { "Root", "/", nullptr, false, B_OK, "/" },
        NormalisationCase { "DoubleSlashes", "//a///b", nullptr, false, B_OK, "/a/b" },
        NormalisationCase { "TrailingSlash", "/a/b/", nullptr, false, B_OK, "/a/b" },
        NormalisationCase { "DotComponents", "/a/./b/.", nullptr, false, B_OK, "/a/b" },
        NormalisationCase { "LeafAppended", "/a", "b/c", false, B_OK, "/a/b/c" },
        NormalisationCase { "EmptyLeafIgnored", "/a", "", false, B_OK, "/a" },
        NormalisationCase { "AbsoluteLeafRefused", "/a", "/b", false, B_BAD_VALUE, "" },
        NormalisationCase { "EmptyPathRefused", "", nullptr, false, B_BAD_VALUE, "" },
        NormalisationCase { "MissingFolderKeptWithoutNormalize", "/no/such/folder/x", nullptr,
            false, B_OK, "/no/such/folder/x" },
        NormalisationCase {
            "ParentResolvedOnDisk", "@/real/../real/file", nullptr, false, B_OK, "@/real/file" },
        NormalisationCase {
            "ParentOfMissingFolderFails", "@/gone/../x", nullptr, false, B_ENTRY_NOT_FOUND, "" },
        NormalisationCase {
            "LinkKeptWithoutNormalize", "@/link/file", nullptr, false, B_OK, "@/link/file" },
        NormalisationCase {
            "LinkResolvedWhenNormalized", "@/link/file", nullptr, true, B_OK, "@/real/file" },
        NormalisationCase {
            "MissingLeafAllowedWhenNormalized", "@/link/new", nullptr, true, B_OK, "@/real/new" },
        NormalisationCase { "MissingFolderFailsWhenNormalized", "@/gone/new", nullptr, true,
            B_ENTRY_NOT_FOUND, "" },
        NormalisationCase { "DotDotLeaf", "@/real/..", nullptr, false, B_OK, "@" },
        NormalisationCase {
            "OddBytesKept", "/a/\"$(x)`\n-y", nullptr, false, B_OK, "/a/\"$(x)`\n-y" }),
    [](const testing::TestParamInfo<NormalisationCase>& param) { return param.param.name; });

TEST(PathTest, RelativePathIsTakenFromTheWorkingFolder)
{
    std::string folder = MakeTempFolder("cwd");
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    BPath path("sub/file");
    char resolved[4096];
    ASSERT_NE(realpath(folder.c_str(), resolved), nullptr);
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_STREQ(path.Path(), (std::string(resolved) + "/sub/file").c_str());
}

TEST(PathTest, LeafAndParent)
{
    BPath path("/boot/home/config");
    EXPECT_STREQ(path.Leaf(), "config");
    BPath parent;
    ASSERT_EQ(path.GetParent(&parent), B_OK);
    EXPECT_STREQ(parent.Path(), "/boot/home");
    ASSERT_EQ(parent.SetTo("/a"), B_OK);
    ASSERT_EQ(parent.GetParent(&parent), B_OK);
    EXPECT_STREQ(parent.Path(), "/");
    EXPECT_STREQ(parent.Leaf(), "");
    EXPECT_EQ(parent.GetParent(&parent), B_ENTRY_NOT_FOUND);
}

TEST(PathTest, AppendAddsRelativeComponentsOnly)
{
    BPath path("/mnt/disk");
    ASSERT_EQ(path.Append("home"), B_OK);
    EXPECT_STREQ(path.Path(), "/mnt/disk/home");
    EXPECT_EQ(path.Append("/abs"), B_BAD_VALUE);
    EXPECT_STREQ(path.Path(), "/mnt/disk/home");

    BPath empty;
    EXPECT_EQ(empty.Append("x"), B_BAD_VALUE);
}

TEST(PathTest, UninitialisedPathHasNoStrings)
{
    BPath path;
    EXPECT_EQ(path.InitCheck(), B_NO_INIT);
    EXPECT_EQ(path.Path(), nullptr);
    EXPECT_EQ(path.Leaf(), nullptr);
    BPath other;
    EXPECT_TRUE(path == other);
    EXPECT_FALSE(path == BPath("/a"));
}

// The path arithmetic beneath BPath: the folder and leaf of clean paths,
// at the root and without any slash, and the folder of paths to be cleaned.
TEST(PathHelpersTest, SplitsAPathIntoFolderAndLeaf)
{
    struct Split {
        const char* path;
        const char* folder;
        const char* leaf;
    };
    const Split cases[] = {
        { "/", "/", "" },
        { "/a", "/", "a" },
        { "/a/b c", "/a", "b c" },
        { "/a/b/..", "/a/b", ".." },
        { "leaf", "", "leaf" },
    };
    for (const Split& split : cases) {
        std::string folder;
        std::string leaf;
        BPrivate::SplitPath(split.path, &folder, &leaf);
        EXPECT_EQ(folder, split.folder) << split.path;
        EXPECT_EQ(leaf, split.leaf) << split.path;
        EXPECT_EQ(BPrivate::LeafOf(split.path), split.leaf) << split.path;
    }
    EXPECT_EQ(BPrivate::FolderOf("/a//b/"), "/a");
    EXPECT_EQ(BPrivate::FolderOf("/a/./b"), "/a");
    EXPECT_EQ(BPrivate::FolderOf("//a"), "/");
    EXPECT_EQ(BPrivate::FolderOf("/"), "/");
}

} // namespace
