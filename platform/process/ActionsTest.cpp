#include "Actions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include <AppDefs.h>
#include <Entry.h>
#include <Message.h>
#include <Messenger.h>

#include <StorageTestUtils.h>

namespace {

using BPrivate::Actions;
using brenvik::test::MakeTempFolder;

// Points the action log at a fresh file for one test, and back afterwards.
class ActionLog {
public:
    ActionLog()
        : fPath(MakeTempFolder("actions") + "/actions.log")
        , fOld(std::getenv(Actions::kLogVariable))
    {
        setenv(Actions::kLogVariable, fPath.c_str(), 1);
    }
    ~ActionLog() { setenv(Actions::kLogVariable, fOld.c_str(), 1); }

    std::string Text() const { return storage_test::ReadFile(fPath); }
    const std::string& Path() const { return fPath; }

private:
    std::string fPath;
    std::string fOld;
};

TEST(ActionsTest, TheTestHarnessLogsActions)
{
    EXPECT_TRUE(Actions::IsLogging());
}

// Under sudo, root does what it is asked to: a caller who keeps the
// environment (sudo -E) cannot have a root run's actions written to a file
// of hers instead.
TEST(ActionsTest, RootStartedBySudoDoesNotLogItsActions)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "the rule is about root";
    ActionLog log;
    setenv("SUDO_UID", "64123", 1);
    bool logging = Actions::IsLogging();
    // Nothing happens for real here either: root never opens folders.
    status_t opened = Actions::OpenFolder("/opt/App");
    unsetenv("SUDO_UID");
    EXPECT_FALSE(logging);
    EXPECT_EQ(opened, B_NOT_ALLOWED);
    EXPECT_EQ(log.Text(), "");
    EXPECT_TRUE(Actions::IsLogging());
}

TEST(ActionsTest, EachActionAppendsOneLine)
{
    ActionLog log;
    EXPECT_EQ(Actions::Restart(), B_OK);
    EXPECT_EQ(Actions::PowerOff(), B_OK);
    EXPECT_EQ(Actions::Launch("/opt/App/App", { "--flag", "two words" }), B_OK);
    int exitStatus = 0;
    EXPECT_EQ(Actions::RunScript("/opt/App/set up", &exitStatus), B_OK);
    EXPECT_EQ(exitStatus, -1);
    EXPECT_EQ(Actions::Open("/home/u/read me.txt"), B_OK);
    EXPECT_EQ(Actions::OpenFolder("/opt/App"), B_OK);
    EXPECT_EQ(Actions::ShowInfo("/opt/App/App"), B_OK);
    EXPECT_EQ(log.Text(),
        "restart\n"
        "power-off\n"
        "launch\t/opt/App/App\t--flag\ttwo words\n"
        "run-script\t/opt/App/set up\n"
        "open\t/home/u/read me.txt\n"
        "open-folder\t/opt/App\n"
        "show-info\t/opt/App/App\n");
    struct stat info;
    ASSERT_EQ(stat(log.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(ActionsTest, HostileNamesStayOnOneLine)
{
    ActionLog log;
    EXPECT_EQ(Actions::OpenFolder("/tmp/a\tb\nc\\d\x01\x7f\"$(x)`"), B_OK);
    EXPECT_EQ(log.Text(), "open-folder\t/tmp/a\\tb\\nc\\\\d\\x01\\x7f\"$(x)`\n");
    EXPECT_EQ(Actions::EscapeLogField("\r"), "\\r");
}

TEST(ActionsTest, BadArgumentsAreRefused)
{
    ActionLog log;
    EXPECT_EQ(Actions::Launch(nullptr), B_BAD_VALUE);
    EXPECT_EQ(Actions::OpenFolder(""), B_BAD_VALUE);
    EXPECT_EQ(log.Text(), "");
}

TEST(ActionsTest, UnwritableOrEmptyLogFailsWithoutActing)
{
    ActionLog log;
    setenv(Actions::kLogVariable, "/no/such/folder/log", 1);
    EXPECT_TRUE(Actions::IsLogging());
    EXPECT_EQ(Actions::Restart(), B_ENTRY_NOT_FOUND);
    setenv(Actions::kLogVariable, "", 1);
    EXPECT_TRUE(Actions::IsLogging());
    EXPECT_EQ(Actions::PowerOff(), B_BAD_VALUE);
}

TEST(ActionsTest, FileManagerMessagesOpenFoldersAndShowInfo)
{
    ActionLog log;
    std::string folder = MakeTempFolder("trak");
    std::string file = folder + "/doc";
    ASSERT_TRUE(storage_test::WriteFile(file, "x"));
    entry_ref folderRef;
    entry_ref fileRef;
    ASSERT_EQ(get_ref_for_path(folder.c_str(), &folderRef), B_OK);
    ASSERT_EQ(get_ref_for_path(file.c_str(), &fileRef), B_OK);

    BMessage open(B_REFS_RECEIVED);
    open.AddRef("refs", &folderRef);
    open.AddRef("refs", &fileRef);
    EXPECT_EQ(Actions::HandleFileManagerMessage(&open), B_OK);
    BMessage info('Tinf');
    info.AddRef("refs", &fileRef);
    EXPECT_EQ(Actions::HandleFileManagerMessage(&info), B_OK);
    EXPECT_EQ(
        log.Text(), "open-folder\t" + folder + "\nopen\t" + file + "\nshow-info\t" + file + "\n");

    BMessage empty(B_REFS_RECEIVED);
    entry_ref nothing;
    empty.AddRef("refs", &nothing);
    EXPECT_NE(Actions::HandleFileManagerMessage(&empty), B_OK);
    BMessage other('abcd');
    EXPECT_EQ(Actions::HandleFileManagerMessage(&other), B_BAD_VALUE);
}

// Scripts are the one action whose real side can run in a test: the script
// is the test's own, in the sandbox.
class RealScript {
public:
    RealScript()
        : fOld(std::getenv(Actions::kLogVariable))
    {
        unsetenv(Actions::kLogVariable);
    }
    ~RealScript() { setenv(Actions::kLogVariable, fOld.c_str(), 1); }

private:
    std::string fOld;
};

TEST(ActionsTest, ScriptsRunInTheirFolderWithoutOurVariables)
{
    std::string folder = MakeTempFolder("run 'it' \"$(touch pwned)\"");
    char* real = realpath(folder.c_str(), nullptr);
    ASSERT_NE(real, nullptr);
    folder = real;
    free(real);
    std::string script = folder + "/set up $(touch pwned) 'x'";
    ASSERT_TRUE(storage_test::WriteFile(script,
        "pwd -P > where\n"
        "printf '%s' \"${BRENVIK_ACTIONS_LOG-unset}\" > variable\n"
        "read line && echo got input > input\n"
        "exit 3\n"));
    int exitStatus = -1;
    {
        RealScript unlogged;
        EXPECT_EQ(Actions::RunScript(script.c_str(), &exitStatus), B_OK);
    }
    EXPECT_EQ(exitStatus, 3);
    EXPECT_EQ(storage_test::ReadFile(folder + "/where"), folder + "\n");
    EXPECT_EQ(storage_test::ReadFile(folder + "/variable"), "unset");
    EXPECT_FALSE(storage_test::Exists(folder + "/input"));
    EXPECT_FALSE(storage_test::Exists(folder + "/pwned"));
}

TEST(ActionsTest, ScriptsWithAnInterpreterLineUseIt)
{
    std::string folder = MakeTempFolder("interpreter");
    std::string script = folder + "/tool";
    // Not shell: /bin/sh would find no command "BEGIN".
    ASSERT_TRUE(storage_test::WriteFile(
        script, "#!/usr/bin/awk -f\nBEGIN { print \"awk ran\" > \"out\" }\n"));
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    int exitStatus = -1;
    {
        RealScript unlogged;
        EXPECT_EQ(Actions::RunScript(script.c_str(), &exitStatus), B_OK);
        EXPECT_EQ(Actions::RunScript((folder + "/missing").c_str()), B_ENTRY_NOT_FOUND);
    }
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(storage_test::ReadFile(folder + "/out"), "awk ran\n");
}

TEST(ActionsTest, FileManagerIsReachableBySignature)
{
    ActionLog log;
    Actions::RegisterDesktopServices();
    Actions::RegisterDesktopServices();
    std::string folder = MakeTempFolder("trak");
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path(folder.c_str(), &ref), B_OK);
    BMessenger tracker(Actions::kFileManagerSignature);
    ASSERT_TRUE(tracker.IsValid());
    BMessage message(B_REFS_RECEIVED);
    message.AddRef("refs", &ref);
    EXPECT_EQ(tracker.SendMessage(&message), B_OK);
    EXPECT_EQ(log.Text(), "open-folder\t" + folder + "\n");
}

} // namespace
