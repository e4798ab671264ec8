// The edited files as real shells and the systemd generators read them.

#include "ScriptTargets.h"

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace {

using namespace script_test;

struct LoginShell {
    const char* name;
    std::vector<std::string> argv; // the command runs after these arguments
    // zsh reads ~/.profile only when emulating sh: its users have a
    // ~/.zprofile (or zsh as their login shell), which gets the blocks.
    bool hasZprofile = false;
};

class ScriptShellsTest : public ScriptSandbox, public testing::WithParamInterface<LoginShell> {
protected:
    // What a login shell of the parameter prints for `command`.
    ShellRun Login(const std::string& command)
    {
        std::vector<std::string> argv = GetParam().argv;
        if (!HasProgram(argv[0]))
            return ShellRun();
        argv.push_back(command);
        return RunClean(fHome, argv);
    }

    void SetUp() override
    {
        ScriptSandbox::SetUp();
        if (!HasProgram(GetParam().argv[0])) {
            GTEST_SKIP() << GetParam().argv[0] << " is not installed";
        }
        if (GetParam().hasZprofile) {
            ASSERT_TRUE(WriteFile(fHome + "/.zprofile", ""));
        }
    }
};

TEST_P(ScriptShellsTest, SeesTheProfileBlock)
{
    ASSERT_TRUE(WriteFile(fHome + "/.profile", "MINE=kept"));
    ASSERT_EQ(
        EditScriptFile(B_USER_DIRECTORY, ".profile", "App", "export APP_VAR='hello world'"), B_OK);
    ShellRun run = Login("printf '%s|%s' \"$APP_VAR\" \"$MINE\"");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "hello world|kept");
    EXPECT_EQ(run.errors, "");
}

TEST_P(ScriptShellsTest, SeesTheBlockWhenBashHasALoginFileOfItsOwn)
{
    ASSERT_TRUE(WriteFile(fHome + "/.bash_profile", "BASH_ONLY=1\n"));
    ASSERT_EQ(EditScriptFile(B_USER_DIRECTORY, ".profile", "App", "export APP_VAR=hello"), B_OK);
    ShellRun run = Login("printf %s \"$APP_VAR\"");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "hello");
    EXPECT_EQ(run.errors, "");
}

TEST_P(ScriptShellsTest, SeesUserSetupEnvironmentThroughTheHook)
{
    ASSERT_EQ(EditScriptFile(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", "App",
                  "APP_HOME=\"$HOME/app\"\nexport APP_HOME"),
        B_OK);
    ShellRun run = Login("printf %s \"$APP_HOME\"");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, fHome + "/app");
    EXPECT_EQ(run.errors, "");
}

TEST_P(ScriptShellsTest, SeesNothingAfterTheDeinstallation)
{
    ScriptEdit profile;
    ScriptEdit environment;
    ASSERT_EQ(
        EditScriptFile(B_USER_DIRECTORY, ".profile", "App", "export APP_VAR=1", &profile), B_OK);
    ASSERT_EQ(EditScriptFile(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", "App",
                  "export APP_HOME=/x", &environment),
        B_OK);
    ASSERT_EQ(RemoveScriptEdit(environment), B_OK);
    ASSERT_EQ(RemoveScriptEdit(profile), B_OK);
    EXPECT_FALSE(Exists(fHome + "/.profile"));
    ShellRun run = Login("printf %s \"$APP_VAR$APP_HOME\"");
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "");
}

INSTANTIATE_TEST_SUITE_P(Shells, ScriptShellsTest,
    testing::Values(LoginShell { "dash", { "/usr/bin/dash", "-l", "-c" } },
        LoginShell { "bash", { "/usr/bin/bash", "--login", "-c" } },
        LoginShell { "zsh", { "/usr/bin/zsh", "--login", "-c" }, true }),
    [](const testing::TestParamInfo<LoginShell>& param) { return std::string(param.param.name); });

class ScriptGeneratorTest : public ScriptSandbox { };

TEST_F(ScriptGeneratorTest, TheSessionEnvironmentHoldsTheVariables)
{
    const std::string generator
        = "/usr/lib/systemd/user-environment-generators/30-systemd-environment-d-generator";
    if (!HasProgram(generator))
        GTEST_SKIP() << "the systemd environment generator is not installed";
    ASSERT_EQ(EditScriptFile(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", "App",
                  "export APP_HOME=\"$HOME/my app\"\nAPP_MODE=fast"),
        B_OK);
    ShellRun run = RunClean(fHome, { generator }, { "XDG_CONFIG_HOME=" + fConfig });
    ASSERT_EQ(run.status, 0) << run.errors;
    // The generator quotes a value with a blank.
    EXPECT_NE(run.output.find("APP_HOME=\"" + fHome + "/my app\"\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("APP_MODE=fast\n"), std::string::npos) << run.output;
}

} // namespace
