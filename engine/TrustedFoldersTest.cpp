#include "TrustedFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <OrdinaryUser.h>
#include <TestSandbox.h>

namespace {

namespace fs = std::filesystem;
using brenvik::test::kOrdinaryGid;
using brenvik::test::kOrdinaryUid;

class TrustedFoldersTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "only root can give folders to another user";
        fRoot = brenvik::test::MakeTempFolder("trusted");
    }

    // A folder of root's, mode 0755 whatever the umask.
    std::string Folder(
        const std::string& relative, mode_t mode = 0755, uid_t owner = 0, gid_t group = 0)
    {
        std::string path = fRoot + "/" + relative;
        fs::create_directories(path);
        EXPECT_EQ(chmod(path.c_str(), mode), 0);
        EXPECT_EQ(lchown(path.c_str(), owner, group), 0);
        return path;
    }

    std::string Link(const std::string& relative, const std::string& target, uid_t owner = 0)
    {
        std::string path = fRoot + "/" + relative;
        EXPECT_EQ(symlink(target.c_str(), path.c_str()), 0);
        EXPECT_EQ(lchown(path.c_str(), owner, owner), 0);
        return path;
    }

    // The component refused, or "" when the path is accepted.
    std::string Refused(const std::string& path)
    {
        std::string component;
        std::string reason;
        status_t status = TrustedFolders::Check(path, &component, &reason);
        EXPECT_EQ(status == B_OK, component.empty()) << component << ": " << reason;
        if (status != B_OK) {
            EXPECT_FALSE(reason.empty()) << component;
        }
        return component;
    }

    std::string fRoot;
};

TEST_F(TrustedFoldersTest, FoldersOfRootsAreAcceptedAndMissingOnesBelowThem)
{
    std::string folder = Folder("opt/Tarsel");
    EXPECT_EQ(Refused(folder), "");
    EXPECT_EQ(Refused(folder + "/not/made/yet"), "");
    EXPECT_EQ(Refused("/"), "");
}

TEST_F(TrustedFoldersTest, AFolderOfAnotherUserIsRefusedWithEverythingBelowIt)
{
    std::string theirs = Folder("home/eve", 0755, kOrdinaryUid, kOrdinaryGid);
    std::string below = Folder("home/eve/Apps");
    EXPECT_EQ(Refused(below), theirs);
    EXPECT_EQ(Refused(theirs + "/missing"), theirs);
    EXPECT_EQ(Refused(theirs), theirs);
}

TEST_F(TrustedFoldersTest, AFolderOthersMayWriteInIsRefused)
{
    std::string open = Folder("open", 0777);
    EXPECT_EQ(Refused(Folder("open/Apps")), open);
    std::string shared = Folder("shared", 0775, 0, kOrdinaryGid);
    EXPECT_EQ(Refused(Folder("shared/Apps")), shared);
    // Root's own group is root's.
    EXPECT_EQ(Refused(Folder("staff/Apps", 0775, 0, 0)), "");
}

TEST_F(TrustedFoldersTest, AStickyFolderOfRootsIsAcceptedWhenWhatIsInItIsRoots)
{
    Folder("tmp", 01777);
    EXPECT_EQ(Refused(Folder("tmp/Tarsel") + "/Data"), "");
    EXPECT_EQ(Refused(fRoot + "/tmp/missing/Data"), "");
    std::string theirs = Folder("tmp/evil", 0755, kOrdinaryUid, kOrdinaryGid);
    EXPECT_EQ(Refused(theirs + "/Data"), theirs);
    // Not sticky: anybody could rename root's folder away.
    std::string open = Folder("open", 0777);
    EXPECT_EQ(Refused(Folder("open/Tarsel")), open);
    // Sticky, but another user's.
    std::string sticky = Folder("sticky", 01777, kOrdinaryUid, kOrdinaryGid);
    EXPECT_EQ(Refused(Folder("sticky/Tarsel")), sticky);
}

TEST_F(TrustedFoldersTest, LinksOfAnotherUserAreRefusedAndRootsAreFollowed)
{
    std::string secret = Folder("secret", 0700);
    Folder("tmp", 01777);
    std::string theirs = Link("tmp/data", secret, kOrdinaryUid);
    EXPECT_EQ(Refused(theirs + "/Tarsel"), theirs);
    Link("tmp/system", secret);
    EXPECT_EQ(Refused(fRoot + "/tmp/system/Tarsel"), "");
    // A link of root's leads to a folder of another user's.
    std::string eve = Folder("eve", 0755, kOrdinaryUid, kOrdinaryGid);
    Link("to-eve", "eve/Apps");
    EXPECT_EQ(Refused(fRoot + "/to-eve/Tarsel"), eve);
    // "..": taken on the followed path, never on the link's own name.
    Link("up", "secret/..");
    EXPECT_EQ(Refused(fRoot + "/up/eve/x"), eve);
    Link("loop", "loop");
    EXPECT_EQ(Refused(fRoot + "/loop/x"), fRoot + "/loop");
}

TEST_F(TrustedFoldersTest, ARelativePathIsRefused)
{
    EXPECT_EQ(Refused("opt/Tarsel"), "opt/Tarsel");
}

} // namespace
