#include "StorageScope.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include <FindDirectory.h>
#include <OrdinaryUser.h>
#include <Path.h>
#include <TestSandbox.h>

#include "TempFiles.h"

namespace {

using BPrivate::StorageScope;
using BPrivate::TempFiles;

std::string PasswordHome(uid_t uid)
{
    struct passwd* entry = getpwuid(uid);
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

TEST(StorageScopeTest, TheSandboxSteersTheFolders)
{
    EXPECT_EQ(StorageScope::Home(), brenvik::test::SandboxRoot() + "/home");
    EXPECT_EQ(StorageScope::SystemRoot(), brenvik::test::SandboxRoot() + "/root");
    EXPECT_EQ(TempFiles::SharedFolder(), brenvik::test::SandboxRoot() + "/tmp");
}

// A process whose real user is not its effective one (as a set-user-id
// program's is) takes its folders from the password database, whatever the
// environment says.
TEST(StorageScopeTest, PathsInTheHomeFolderAreShownWithATilde)
{
    setenv("BRENVIK_SCOPE", "user", 1);
    std::string home = StorageScope::Home();
    EXPECT_EQ(StorageScope::ShownPath(home), "~");
    EXPECT_EQ(StorageScope::ShownPath(home + "/.local/opt/Notes"), "~/.local/opt/Notes");
    // Only the home folder itself, not a folder whose name begins alike.
    EXPECT_EQ(StorageScope::ShownPath(home + "2/Notes"), home + "2/Notes");
    EXPECT_EQ(StorageScope::ShownPath("/opt/Notes"), "/opt/Notes");
    // The system's paths are everybody's.
    setenv("BRENVIK_SCOPE", "system", 1);
    EXPECT_EQ(StorageScope::ShownPath(home + "/Notes"), home + "/Notes");
    unsetenv("BRENVIK_SCOPE");
}

TEST(StorageScopeTest, AProcessWhoseIdsDifferIgnoresTheEnvironmentsFolders)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can make its real and effective users differ";
    auto prepare = [] {
        // Real user: an ordinary one; effective: root, as in a set-uid program.
        return setresuid(brenvik::test::kOrdinaryUid, 0, 0) == 0 ? 0 : 2;
    };
    int status = brenvik::test::RunTestInChild(prepare, [] {
        setenv("BRENVIK_SCOPE", "user", 1);
        EXPECT_EQ(StorageScope::Current(), BPrivate::B_SYSTEM_SCOPE);
        EXPECT_EQ(StorageScope::Home(), PasswordHome(0));
        EXPECT_EQ(StorageScope::XdgFolder("XDG_DATA_HOME", ".local/share"),
            PasswordHome(0) + "/.local/share");
        EXPECT_EQ(StorageScope::SystemRoot(), "");
        EXPECT_EQ(StorageScope::StateFolder(), "/var/lib/brenvik");
        EXPECT_EQ(TempFiles::SharedFolder(), "/tmp");
        BPath settings;
        EXPECT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &settings, false, nullptr), B_OK);
        EXPECT_STREQ(settings.Path(), "/etc/xdg");
        unsetenv("BRENVIK_SCOPE");
    });
    EXPECT_EQ(status, 0) << "the child's expectations failed (see its output above)";
}

} // namespace
