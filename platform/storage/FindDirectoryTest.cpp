#include <FindDirectory.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include <Path.h>
#include <Volume.h>
#include <VolumeRoster.h>

#include "PathHelpers.h"
#include "StorageTestUtils.h"
#include "TempFiles.h"

namespace {

using brenvik::test::SandboxRoot;

const directory_which kAllFolders[] = { B_DESKTOP_DIRECTORY, B_TRASH_DIRECTORY, B_BEOS_DIRECTORY,
    B_BEOS_SYSTEM_DIRECTORY, B_BEOS_ADDONS_DIRECTORY, B_BEOS_BOOT_DIRECTORY, B_BEOS_FONTS_DIRECTORY,
    B_BEOS_LIB_DIRECTORY, B_BEOS_SERVERS_DIRECTORY, B_BEOS_APPS_DIRECTORY, B_BEOS_BIN_DIRECTORY,
    B_BEOS_ETC_DIRECTORY, B_BEOS_DOCUMENTATION_DIRECTORY, B_BEOS_PREFERENCES_DIRECTORY,
    B_BEOS_TRANSLATORS_DIRECTORY, B_BEOS_MEDIA_NODES_DIRECTORY, B_BEOS_SOUNDS_DIRECTORY,
    B_COMMON_DIRECTORY, B_COMMON_SYSTEM_DIRECTORY, B_COMMON_ADDONS_DIRECTORY,
    B_COMMON_BOOT_DIRECTORY, B_COMMON_FONTS_DIRECTORY, B_COMMON_LIB_DIRECTORY,
    B_COMMON_SERVERS_DIRECTORY, B_COMMON_BIN_DIRECTORY, B_COMMON_ETC_DIRECTORY,
    B_COMMON_DOCUMENTATION_DIRECTORY, B_COMMON_SETTINGS_DIRECTORY, B_COMMON_DEVELOP_DIRECTORY,
    B_COMMON_LOG_DIRECTORY, B_COMMON_SPOOL_DIRECTORY, B_COMMON_TEMP_DIRECTORY,
    B_COMMON_VAR_DIRECTORY, B_COMMON_TRANSLATORS_DIRECTORY, B_COMMON_MEDIA_NODES_DIRECTORY,
    B_COMMON_SOUNDS_DIRECTORY, B_USER_DIRECTORY, B_USER_CONFIG_DIRECTORY, B_USER_ADDONS_DIRECTORY,
    B_USER_BOOT_DIRECTORY, B_USER_FONTS_DIRECTORY, B_USER_LIB_DIRECTORY, B_USER_SETTINGS_DIRECTORY,
    B_USER_DESKBAR_DIRECTORY, B_USER_PRINTERS_DIRECTORY, B_USER_TRANSLATORS_DIRECTORY,
    B_USER_MEDIA_NODES_DIRECTORY, B_USER_SOUNDS_DIRECTORY, B_APPS_DIRECTORY,
    B_PREFERENCES_DIRECTORY, B_UTILITIES_DIRECTORY };

static_assert(std::size(kAllFolders) == 51);

// Sets BRENVIK_SCOPE for the life of the object.
class ScopeOverride {
public:
    explicit ScopeOverride(const char* scope)
    {
        const char* old = std::getenv("BRENVIK_SCOPE");
        fHadOld = old != nullptr;
        if (fHadOld)
            fOld = old;
        setenv("BRENVIK_SCOPE", scope, 1);
    }
    ~ScopeOverride()
    {
        if (fHadOld)
            setenv("BRENVIK_SCOPE", fOld.c_str(), 1);
        else
            unsetenv("BRENVIK_SCOPE");
    }

private:
    bool fHadOld;
    std::string fOld;
};

std::string Home()
{
    return SandboxRoot() + "/home";
}

std::string Root()
{
    return SandboxRoot() + "/root";
}

std::string Find(directory_which which)
{
    BPath path;
    status_t status = find_directory(which, &path);
    return status == B_OK ? std::string(path.Path()) : "error " + std::to_string(status);
}

class EveryFolder : public testing::TestWithParam<std::tuple<const char*, directory_which>> { };

TEST_P(EveryFolder, ResolvesInsideTheSandbox)
{
    ScopeOverride scope(std::get<0>(GetParam()));
    BPath path;
    ASSERT_EQ(find_directory(std::get<1>(GetParam()), &path), B_OK);
    EXPECT_TRUE(BPrivate::PathIsInside(path.Path(), SandboxRoot())) << path.Path();
}

INSTANTIATE_TEST_SUITE_P(BothScopes, EveryFolder,
    testing::Combine(testing::Values("user", "system"), testing::ValuesIn(kAllFolders)),
    [](const testing::TestParamInfo<std::tuple<const char*, directory_which>>& param) {
        return std::string(std::get<0>(param.param)) + "_"
            + std::to_string(int(std::get<1>(param.param)));
    });

TEST(FindDirectoryTest, UserScopeFollowsXdg)
{
    ScopeOverride scope("user");
    EXPECT_EQ(Find(B_USER_DIRECTORY), Home());
    EXPECT_EQ(Find(B_USER_SETTINGS_DIRECTORY), Home() + "/.config");
    EXPECT_EQ(Find(B_USER_BOOT_DIRECTORY), Home() + "/.config/brenvik/boot");
    EXPECT_EQ(Find(B_USER_DESKBAR_DIRECTORY), Home() + "/.local/share/applications");
    EXPECT_EQ(Find(B_APPS_DIRECTORY), Home() + "/.local/opt");
    EXPECT_EQ(Find(B_BEOS_BIN_DIRECTORY), Home() + "/.local/bin");
    EXPECT_EQ(Find(B_COMMON_LOG_DIRECTORY), Home() + "/.local/state/log");
    EXPECT_EQ(Find(B_TRASH_DIRECTORY), Home() + "/.local/share/Trash/files");
    EXPECT_EQ(Find(B_DESKTOP_DIRECTORY), Home() + "/Desktop");
}

TEST(FindDirectoryTest, SystemScopeFollowsTheFhsBelowTheRoot)
{
    ScopeOverride scope("system");
    EXPECT_EQ(Find(B_APPS_DIRECTORY), Root() + "/opt");
    EXPECT_EQ(Find(B_COMMON_SETTINGS_DIRECTORY), Root() + "/etc/xdg");
    EXPECT_EQ(Find(B_COMMON_BOOT_DIRECTORY), Root() + "/etc/opt/brenvik/boot");
    EXPECT_EQ(Find(B_COMMON_LIB_DIRECTORY), Root() + "/usr/local/lib");
    EXPECT_EQ(Find(B_COMMON_LOG_DIRECTORY), Root() + "/var/log");
    EXPECT_EQ(Find(B_USER_DIRECTORY), Root() + "/root");
}

TEST(FindDirectoryTest, TemporaryFolderIsTheMachinesInBothScopes)
{
    // "Common Temporary" may be a destination: what goes there must not
    // vanish with the process's own private folder.
    std::string own;
    ASSERT_EQ(BPrivate::TempFiles::PrivateFolder(&own), B_OK);
    for (const char* scopeName : { "user", "system" }) {
        ScopeOverride scope(scopeName);
        EXPECT_EQ(Find(B_COMMON_TEMP_DIRECTORY), SandboxRoot() + "/tmp") << scopeName;
        EXPECT_NE(Find(B_COMMON_TEMP_DIRECTORY), own) << scopeName;
    }
}

TEST(FindDirectoryTest, OwnTemporaryFolderIsPrivate)
{
    std::string own;
    ASSERT_EQ(BPrivate::TempFiles::PrivateFolder(&own), B_OK);
    std::string again;
    ASSERT_EQ(BPrivate::TempFiles::PrivateFolder(&again), B_OK);
    EXPECT_EQ(own, again);
    EXPECT_TRUE(BPrivate::PathIsInside(own, SandboxRoot() + "/tmp")) << own;
    struct stat info;
    ASSERT_EQ(stat(own.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(FindDirectoryTest, UnknownConstantFailsCleanly)
{
    BPath path("/unchanged");
    EXPECT_EQ(find_directory(directory_which(12345), &path), B_BAD_VALUE);
    EXPECT_EQ(find_directory(directory_which(-1), &path), B_BAD_VALUE);
    EXPECT_STREQ(path.Path(), "/unchanged");
    EXPECT_EQ(find_directory(B_USER_DIRECTORY, nullptr), B_BAD_VALUE);
}

TEST(FindDirectoryTest, CreateFlagMakesTheFolder)
{
    ScopeOverride scope("system");
    std::string expected = Root() + "/usr/local/share/sounds";
    BPath path;
    ASSERT_EQ(find_directory(B_COMMON_SOUNDS_DIRECTORY, &path, false), B_OK);
    EXPECT_FALSE(storage_test::Exists(expected));
    ASSERT_EQ(find_directory(B_COMMON_SOUNDS_DIRECTORY, &path, true), B_OK);
    EXPECT_TRUE(storage_test::Exists(expected));
}

TEST(FindDirectoryTest, DesktopComesFromUserDirs)
{
    ScopeOverride scope("user");
    std::string file = Home() + "/.config/user-dirs.dirs";
    ASSERT_TRUE(storage_test::WriteFile(
        file, "# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Dl\"\nXDG_DESKTOP_DIR=\"$HOME/Skrivbord\"\n"));
    EXPECT_EQ(Find(B_DESKTOP_DIRECTORY), Home() + "/Skrivbord");
    ASSERT_TRUE(storage_test::WriteFile(file, "XDG_DESKTOP_DIR=\"/elsewhere/desk\"\n"));
    EXPECT_EQ(Find(B_DESKTOP_DIRECTORY), "/elsewhere/desk");
    unlink(file.c_str());
}

TEST(FindDirectoryTest, OtherVolumeGetsTheSameLayoutBelowItsMountPoint)
{
    // Any mounted file system other than the sandbox's will do; nothing is
    // created there (the create flag stays off).
    BVolume boot;
    BVolumeRoster roster;
    ASSERT_EQ(roster.GetBootVolume(&boot), B_OK);
    BVolume other;
    bool found = false;
    for (const char* candidate : { "/proc", "/sys", "/dev", "/run" }) {
        struct stat info;
        if (stat(candidate, &info) == 0 && other.SetTo(info.st_dev) == B_OK && other != boot
            && other.MountPoint() == candidate) {
            found = true;
            break;
        }
    }
    if (!found)
        GTEST_SKIP() << "no second volume mounted";
    ScopeOverride scope("user");
    BPath path;
    ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path, false, &other), B_OK);
    EXPECT_EQ(std::string(path.Path()), other.MountPoint() + "/.config");
    ASSERT_EQ(find_directory(B_TRASH_DIRECTORY, &path, false, &other), B_OK);
    EXPECT_EQ(std::string(path.Path()),
        other.MountPoint() + "/.Trash-" + std::to_string(geteuid()) + "/files");
    ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path, false, &boot), B_OK);
    EXPECT_EQ(std::string(path.Path()), Home() + "/.config");
}

} // namespace
