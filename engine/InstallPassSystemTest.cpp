// System installations (root, the system scope) against folders another
// user could change, and the modes they give the payload.

#include "InstallPassTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <FindDirectory.h>
#include <OrdinaryUser.h>
#include <Path.h>

namespace {

using namespace pass_test;
using brenvik::test::kOrdinaryGid;
using brenvik::test::kOrdinaryUid;

mode_t ModeOf(const std::string& path)
{
    struct stat info = {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class InstallPassSystemTest : public PassRunFixture<> {
protected:
    void SetUp() override
    {
        MakePass("system");
        setenv("BRENVIK_SCOPE", "system", 1);
    }

    // A folder of the test's, mode as given whatever the umask, owned by
    // `owner` (its group the same id) when the test runs as root.
    static std::string MakeFolder(const std::string& path, mode_t mode = 0755, uid_t owner = 0)
    {
        fs::create_directories(path);
        EXPECT_EQ(chmod(path.c_str(), mode), 0);
        if (geteuid() == 0) {
            EXPECT_EQ(lchown(path.c_str(), owner, owner), 0);
        }
        return path;
    }

    // The records folder and the log of the pass: what proves that nothing
    // was written.
    static std::map<std::string, std::string> Records()
    {
        return Snapshot(InstallRecord::RecordsFolder());
    }

    // Expects the pass to have been refused before it wrote anything, with
    // a message that names `component`.
    void ExpectRefused(status_t result, const std::string& component,
        const std::map<std::string, std::string>& recordsBefore)
    {
        EXPECT_EQ(result, InstallConfig::kPassFailed);
        EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeFailed);
        ASSERT_EQ(fDialogs->errors.size(), 1u);
        EXPECT_NE(fDialogs->errors[0].find(component + ": "), std::string::npos)
            << fDialogs->errors[0];
        EXPECT_FALSE(Lexists(InstallFolder()));
        EXPECT_EQ(Records(), recordsBefore);
        EXPECT_TRUE(ScratchLeftovers().empty());
    }

    // Uses the machine's temporary folder ("Common Temporary") for a shared
    // folder with the sticky bit, as /tmp is; each test has its own.
    std::string StickyFolder()
    {
        std::string temporary = FindFolder(B_COMMON_TEMP_DIRECTORY);
        std::string name = fs::path(fRoot).filename().string() + "-shared";
        fStickyName = name;
        return MakeFolder(temporary + "/" + name, 01777);
    }

    std::string fStickyName;
};

// As root, folders are given to another user; an ordinary user cannot.
#define SKIP_UNLESS_ROOT()                                                                         \
    if (geteuid() != 0)                                                                            \
    GTEST_SKIP() << "only root can give folders to another user"

TEST_F(InstallPassSystemTest, ADestinationBelowAFolderOfAnotherUserIsRefused)
{
    SKIP_UNLESS_ROOT();
    std::string theirs = MakeFolder(fRoot + "/eve", 0755, kOrdinaryUid);
    fDestination = MakeFolder(theirs + "/Apps");
    fInstaller->AddItem({ Source("ReadMe.txt", "Read me\n") });
    auto records = Records();
    ExpectRefused(Run(), theirs, records);
    EXPECT_TRUE(
        Snapshot(theirs) == (std::map<std::string, std::string> { { fDestination, "folder" } }));
}

TEST_F(InstallPassSystemTest, ADestinationOthersMayWriteInIsRefused)
{
    fDestination = MakeFolder(fRoot + "/open", 0777);
    fInstaller->AddItem({ Source("ReadMe.txt", "Read me\n") });
    auto records = Records();
    ExpectRefused(Run(), fDestination, records);
    EXPECT_TRUE(Snapshot(fDestination).empty());
}

TEST_F(InstallPassSystemTest, ACustomFolderBelowAStickyFolderOfRootsIsUsed)
{
    std::string sticky = StickyFolder();
    MakeFolder(sticky + "/Tarsel");
    std::string sub = fStickyName + "/Tarsel/Data";
    fInstaller->AddCustomFolder("Drop", B_COMMON_TEMP_DIRECTORY, sub.c_str(), false);
    fInstaller->AddItem({ Source("ReadMe.txt", "Read me\n"), "Drop" });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded);
    EXPECT_TRUE(fDialogs->errors.empty()) << fDialogs->errors[0];
    EXPECT_EQ(ReadBytes(sticky + "/Tarsel/Data/ReadMe.txt"), "Read me\n");
}

// The probe's attack: below the shared temporary folder, a user made the
// custom folder's first sub-folder in advance, with a link inside it to a
// folder only root may write in.
TEST_F(InstallPassSystemTest, AUsersFolderWithALinkBelowAStickyFolderIsRefused)
{
    SKIP_UNLESS_ROOT();
    std::string secret = MakeFolder(fRoot + "/secret", 0700);
    WriteBytes(secret + "/shadow", "root only", 0600);
    std::string sticky = StickyFolder();
    std::string theirs = MakeFolder(sticky + "/Tarsel", 0755, kOrdinaryUid);
    ASSERT_EQ(symlink(secret.c_str(), (theirs + "/Data").c_str()), 0);
    ASSERT_EQ(lchown((theirs + "/Data").c_str(), kOrdinaryUid, kOrdinaryGid), 0);
    std::string sub = fStickyName + "/Tarsel/Data";
    fInstaller->AddCustomFolder("Drop", B_COMMON_TEMP_DIRECTORY, sub.c_str(), false);
    fInstaller->AddItem({ Source("ReadMe.txt", "Read me\n"), "Drop" });
    auto records = Records();
    auto before = Snapshot(secret);
    ExpectRefused(Run(), theirs, records);
    EXPECT_EQ(Snapshot(secret), before);
    EXPECT_EQ(ModeOf(secret), 0700u);
}

TEST_F(InstallPassSystemTest, AStandardFolderOfAnotherUsersIsRefused)
{
    SKIP_UNLESS_ROOT();
    std::string sounds = FindFolder(B_COMMON_SOUNDS_DIRECTORY);
    bool existed = Lexists(sounds);
    MakeFolder(sounds, 0755, kOrdinaryUid);
    fInstaller->AddItem({ Source("chime.raw", "chime"), "Common Sounds" });
    auto records = Records();
    status_t result = Run();
    auto inside = Snapshot(sounds);
    if (existed)
        lchown(sounds.c_str(), 0, 0);
    else
        fs::remove_all(sounds);
    ExpectRefused(result, sounds, records);
    EXPECT_TRUE(inside.empty());
}

// An existing item goes to the trash only when no other user could change
// the trash.
TEST_F(InstallPassSystemTest, AnExistingItemIsNotMovedToATrashOfAnotherUsers)
{
    SKIP_UNLESS_ROOT();
    std::string trash = FindFolder(B_TRASH_DIRECTORY);
    // <root>/root/.local/share/Trash/files: the user gets ".local".
    std::string local = fs::path(trash).parent_path().parent_path().parent_path().string();
    ASSERT_EQ(fs::path(local).filename(), ".local") << trash;
    MakeFolder(fs::path(local).parent_path().string());
    bool existed = Lexists(local);
    MakeFolder(local, 0755, kOrdinaryUid);
    std::string sounds = MakeFolder(FindFolder(B_COMMON_SOUNDS_DIRECTORY));
    WriteBytes(sounds + "/chime.raw", "old chime");
    fInstaller->AddItem({ Source("chime.raw", "new chime"), "Common Sounds", "Replace" });
    status_t result = Run();
    std::string kept = ReadBytes(sounds + "/chime.raw");
    auto trashed = Snapshot(local);
    if (existed)
        lchown(local.c_str(), 0, 0);
    else
        fs::remove_all(local);
    unlink((sounds + "/chime.raw").c_str());
    // The new item stays in the installation folder, as when the user
    // declines to replace the old one.
    EXPECT_EQ(result, InstallConfig::kPassDone);
    EXPECT_EQ(kept, "old chime");
    EXPECT_EQ(ReadBytes(InstallFolder() + "/chime.raw"), "new chime");
    for (const auto& [path, what] : trashed)
        EXPECT_EQ(what, "folder") << path;
    EXPECT_NE(ReadBytes(InstallFolder() + "/Log")
                  .find("The trash " + trash + " is not used: " + local + ": "),
        std::string::npos)
        << ReadBytes(InstallFolder() + "/Log");
}

// A payload item whose folder and file any user could write in, with a
// shared folder inside (sticky, as /tmp is).
std::string OpenItem(const std::string& payload)
{
    WriteBytes(payload + "/Shared/tool", "#!/bin/sh\n", 0777);
    fs::create_directories(payload + "/Shared/drop");
    EXPECT_EQ(chmod((payload + "/Shared/drop").c_str(), 01777), 0);
    EXPECT_EQ(chmod((payload + "/Shared").c_str(), 0777), 0);
    return payload + "/Shared";
}

TEST_F(InstallPassSystemTest, ASystemInstallationTakesTheWriteBitsOfGroupAndOthers)
{
    fInstaller->AddItem({ OpenItem(fPayload) });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded);
    EXPECT_EQ(ModeOf(InstallFolder() + "/Shared"), 0755u);
    EXPECT_EQ(ModeOf(InstallFolder() + "/Shared/tool"), 0755u);
    EXPECT_EQ(ModeOf(InstallFolder() + "/Shared/drop"), 01755u);
}

TEST_F(InstallPassSystemTest, TheProjectMayKeepTheWriteBitsOfGroupAndOthers)
{
    fInstaller->config.AddBool("opt_keep_shared_write", true);
    fInstaller->AddItem({ OpenItem(fPayload) });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded);
    EXPECT_EQ(ModeOf(InstallFolder() + "/Shared"), 0777u);
    EXPECT_EQ(ModeOf(InstallFolder() + "/Shared/tool"), 0777u);
    EXPECT_EQ(ModeOf(InstallFolder() + "/Shared/drop"), 01777u);
}

TEST_F(InstallPassSystemTest, AUserInstallationKeepsTheStickyBit)
{
    setenv("BRENVIK_SCOPE", "user", 1);
    fInstaller->AddItem({ OpenItem(fPayload) });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded);
    EXPECT_EQ(ModeOf(InstallFolder() + "/Shared/drop") & S_ISVTX, mode_t(S_ISVTX));
}

} // namespace
