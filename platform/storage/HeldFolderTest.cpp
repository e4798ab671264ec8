#include "HeldFolder.h"

#include <Errors.h>

#include <TestFiles.h>
#include <TestSandbox.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using BPrivate::Descriptor;
using brenvik::test::Exists;
using brenvik::test::ReadFile;
using brenvik::test::WriteFile;

// Every test runs with the kernel's checked resolution and with the walk
// used where the kernel lacks it.
class HeldFolderTest : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        BPrivate::SetHeldFolderUsesOpenat2(GetParam());
        fRoot = brenvik::test::MakeTempFolder("held");
        ASSERT_EQ(mkdir((fRoot + "/base").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((fRoot + "/base/a").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((fRoot + "/base/a/b").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((fRoot + "/outside").c_str(), 0755), 0);
        ASSERT_TRUE(WriteFile(fRoot + "/outside/secret", "secret\n"));
        ASSERT_TRUE(WriteFile(fRoot + "/base/a/file", "file\n"));
        ASSERT_EQ(symlink((fRoot + "/outside").c_str(), (fRoot + "/base/a/link").c_str()), 0);
        fBase.Reset(open((fRoot + "/base").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        ASSERT_TRUE(fBase.IsValid());
    }
    void TearDown() override { BPrivate::SetHeldFolderUsesOpenat2(true); }

    static ino_t InodeOf(int fd)
    {
        struct stat info;
        return fstat(fd, &info) == 0 ? info.st_ino : 0;
    }
    static ino_t InodeOf(const std::string& path)
    {
        struct stat info;
        return lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
    }

    std::string fRoot;
    Descriptor fBase;
};

TEST_P(HeldFolderTest, OpensAFolderBelowTheHeldOneWithoutFollowingLinks)
{
    Descriptor folder;
    ASSERT_EQ(BPrivate::OpenFolderBeneath(fBase.Get(), "a/b", &folder), B_OK);
    EXPECT_EQ(InodeOf(folder.Get()), InodeOf(fRoot + "/base/a/b"));
    ASSERT_EQ(BPrivate::OpenFolderBeneath(fBase.Get(), "", &folder), B_OK);
    EXPECT_EQ(InodeOf(folder.Get()), InodeOf(fRoot + "/base"));

    struct Refused {
        const char* relative;
        status_t status;
    };
    for (const Refused& refused :
        { Refused { "a/link", B_NOT_ALLOWED }, Refused { "a/file", B_NOT_A_DIRECTORY },
            Refused { "a/missing", B_ENTRY_NOT_FOUND }, Refused { "a/../..", B_BAD_VALUE },
            Refused { "a//b", B_BAD_VALUE }, Refused { "./a", B_BAD_VALUE } }) {
        Descriptor none;
        EXPECT_EQ(BPrivate::OpenFolderBeneath(fBase.Get(), refused.relative, &none), refused.status)
            << refused.relative;
        EXPECT_FALSE(none.IsValid()) << refused.relative;
    }
}

TEST_P(HeldFolderTest, APathIsResolvedOnceAndTheFolderHeldStaysWhenItsNameIsSwapped)
{
    // A link on the way is the caller's choice of place, and is followed.
    ASSERT_EQ(symlink((fRoot + "/base").c_str(), (fRoot + "/via").c_str()), 0);
    Descriptor folder;
    ASSERT_EQ(BPrivate::OpenFolderPath(fRoot + "/via/a", &folder), B_OK);
    EXPECT_EQ(InodeOf(folder.Get()), InodeOf(fRoot + "/base/a"));
    // Swapped for a link afterwards: what is made through the handle still
    // lands in the folder that was named.
    ASSERT_EQ(rename((fRoot + "/base/a").c_str(), (fRoot + "/moved").c_str()), 0);
    ASSERT_EQ(symlink((fRoot + "/outside").c_str(), (fRoot + "/base/a").c_str()), 0);
    int fd = openat(folder.Get(), "new", O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_TRUE(Exists(fRoot + "/moved/new"));
    EXPECT_FALSE(Exists(fRoot + "/outside/new"));
    // Opened again by the name, the link now at the leaf is followed as the
    // caller's choice; below a held folder it is not.
    Descriptor again;
    EXPECT_EQ(BPrivate::OpenFolderBeneath(fBase.Get(), "a", &again), B_NOT_ALLOWED);

    std::string leaf;
    Descriptor parent;
    ASSERT_EQ(BPrivate::OpenParentOf(fRoot + "/moved/new", &parent, &leaf), B_OK);
    EXPECT_EQ(leaf, "new");
    EXPECT_EQ(InodeOf(parent.Get()), InodeOf(fRoot + "/moved"));
    EXPECT_EQ(BPrivate::OpenParentOf("relative/new", &parent, &leaf), B_BAD_VALUE);
}

TEST_P(HeldFolderTest, MakesAFolderAndTellsWhetherItWasThereOrRefusesALink)
{
    Descriptor folder;
    bool made = false;
    ASSERT_EQ(BPrivate::MakeFolderAt(fBase.Get(), "new", 0700, &folder, &made), B_OK);
    EXPECT_TRUE(made);
    EXPECT_EQ(InodeOf(folder.Get()), InodeOf(fRoot + "/base/new"));
    ASSERT_EQ(BPrivate::MakeFolderAt(fBase.Get(), "a", 0700, &folder, &made), B_OK);
    EXPECT_FALSE(made);
    EXPECT_EQ(InodeOf(folder.Get()), InodeOf(fRoot + "/base/a"));
    Descriptor a;
    ASSERT_EQ(BPrivate::OpenFolderBeneath(fBase.Get(), "a", &a), B_OK);
    EXPECT_EQ(BPrivate::MakeFolderAt(a.Get(), "link", 0700, &folder, &made), B_NOT_ALLOWED);
    EXPECT_EQ(BPrivate::MakeFolderAt(a.Get(), "file", 0700, &folder, &made), B_NOT_A_DIRECTORY);
    EXPECT_EQ(BPrivate::MakeFolderAt(a.Get(), "..", 0700, &folder, &made), B_BAD_VALUE);
}

TEST_P(HeldFolderTest, RemovesATreeWithoutFollowingTheLinksInIt)
{
    ASSERT_EQ(BPrivate::RemoveTreeAt(fBase.Get(), "a"), B_OK);
    EXPECT_FALSE(Exists(fRoot + "/base/a"));
    EXPECT_EQ(ReadFile(fRoot + "/outside/secret"), "secret\n");
    EXPECT_EQ(BPrivate::RemoveTreeAt(fBase.Get(), "a"), B_ENTRY_NOT_FOUND);
}

TEST_P(HeldFolderTest, AHeldPathLeadsThroughTheHandle)
{
    Descriptor folder;
    ASSERT_EQ(BPrivate::OpenFolderBeneath(fBase.Get(), "a", &folder), B_OK);
    ASSERT_EQ(rename((fRoot + "/base/a").c_str(), (fRoot + "/moved").c_str()), 0);
    EXPECT_EQ(ReadFile(BPrivate::HeldPath(folder.Get(), "file")), "file\n");
}

TEST_P(HeldFolderTest, APathLeadsToTheHeldFolderOnlyUntilItIsSwapped)
{
    Descriptor folder;
    ASSERT_EQ(BPrivate::OpenFolderBeneath(fBase.Get(), "a", &folder), B_OK);
    // A link above it, as the caller chose it, still leads there.
    ASSERT_EQ(symlink((fRoot + "/base").c_str(), (fRoot + "/via").c_str()), 0);
    EXPECT_TRUE(BPrivate::PathLeadsTo(fRoot + "/via/a", folder.Get()));
    ASSERT_EQ(rename((fRoot + "/base/a").c_str(), (fRoot + "/moved").c_str()), 0);
    ASSERT_EQ(symlink((fRoot + "/moved").c_str(), (fRoot + "/base/a").c_str()), 0);
    // A link at its name that leads to it is no swap; one elsewhere is.
    EXPECT_TRUE(BPrivate::PathLeadsTo(fRoot + "/base/a", folder.Get()));
    ASSERT_EQ(unlink((fRoot + "/base/a").c_str()), 0);
    ASSERT_EQ(symlink((fRoot + "/outside").c_str(), (fRoot + "/base/a").c_str()), 0);
    EXPECT_FALSE(BPrivate::PathLeadsTo(fRoot + "/base/a", folder.Get()));
    ASSERT_EQ(unlink((fRoot + "/base/a").c_str()), 0);
    EXPECT_FALSE(BPrivate::PathLeadsTo(fRoot + "/base/a", folder.Get()));
}

INSTANTIATE_TEST_SUITE_P(Resolution, HeldFolderTest, testing::Bool(),
    [](const testing::TestParamInfo<bool>& param) { return param.param ? "Openat2" : "Walk"; });

} // namespace
