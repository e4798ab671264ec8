#include "Environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

using BPrivate::Environment;

Environment::Process Plain(uid_t uid)
{
    Environment::Process process;
    process.realUid = process.effectiveUid = uid;
    process.realGid = process.effectiveGid = gid_t(uid);
    return process;
}

const char* const kSteering[] = { "BRENVIK_ROOT", "BRENVIK_UI_SCRIPT", "BRENVIK_ACTIONS_LOG",
    "BRENVIK_SCOPE", "BRENVIK_DISPLAY", "BRENVIK_SCREEN", "BRENVIK_FONT_DIR", "XDG_CONFIG_HOME",
    "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_DATA_DIRS", "HOME", "TMPDIR", "ZDOTDIR" };

TEST(EnvironmentTest, AnOrdinaryProcessBelievesEveryVariable)
{
    for (uid_t uid : { uid_t(0), uid_t(1000) }) {
        for (const char* name : kSteering)
            EXPECT_TRUE(Environment::Trusts(name, Plain(uid))) << name << " for " << uid;
        EXPECT_TRUE(Environment::Trusts("PATH", Plain(uid)));
        EXPECT_FALSE(Environment::IsSecure(Plain(uid)));
    }
}

TEST(EnvironmentTest, ASetIdProcessIgnoresTheVariablesThatSteerItsFolders)
{
    Environment::Process setUid = Plain(1000);
    setUid.effectiveUid = 0;
    Environment::Process setGid = Plain(1000);
    setGid.effectiveGid = 42;
    Environment::Process marked = Plain(1000);
    marked.secureExecution = true;
    for (const Environment::Process& process : { setUid, setGid, marked }) {
        EXPECT_TRUE(Environment::IsSecure(process));
        for (const char* name : kSteering)
            EXPECT_FALSE(Environment::Trusts(name, process)) << name;
        // Nor which program a name runs.
        EXPECT_FALSE(Environment::Trusts("PATH", process));
        // What does not choose folders or programs is read as it is.
        for (const char* name : { "DISPLAY", "LANG", "SUDO_UID", "HOMEPAGE", "XDG", "PATHS" })
            EXPECT_TRUE(Environment::Trusts(name, process)) << name;
    }
}

TEST(EnvironmentTest, RootStartedBySudoIgnoresTheUiScriptAndTheActionsLog)
{
    Environment::Process sudo = Plain(0);
    sudo.startedBySudo = true;
    EXPECT_FALSE(Environment::Trusts("BRENVIK_UI_SCRIPT", sudo));
    EXPECT_FALSE(Environment::Trusts("BRENVIK_ACTIONS_LOG", sudo));
    // The folders are the system scope's own; sudo's other uses stay open.
    for (const char* name : { "BRENVIK_ROOT", "BRENVIK_SCOPE", "HOME", "TMPDIR", "PATH" })
        EXPECT_TRUE(Environment::Trusts(name, sudo)) << name;
    // sudo to another user than root is no root run.
    Environment::Process user = Plain(1000);
    user.startedBySudo = true;
    EXPECT_TRUE(Environment::Trusts("BRENVIK_UI_SCRIPT", user));
    EXPECT_TRUE(Environment::Trusts("BRENVIK_ACTIONS_LOG", user));
}

TEST(EnvironmentTest, ReadsTheProcessItRunsIn)
{
    Environment::Process current = Environment::Current();
    EXPECT_EQ(current.effectiveUid, geteuid());
    EXPECT_EQ(current.realUid, getuid());
    EXPECT_FALSE(current.secureExecution);
    setenv("BRENVIK_TEST_VALUE", "seen", 1);
    ASSERT_NE(Environment::Get("BRENVIK_TEST_VALUE"), nullptr);
    EXPECT_STREQ(Environment::Get("BRENVIK_TEST_VALUE"), "seen");
    unsetenv("BRENVIK_TEST_VALUE");
    EXPECT_EQ(Environment::Get("BRENVIK_TEST_VALUE"), nullptr);
    EXPECT_EQ(Environment::Get(nullptr), nullptr);
}

TEST(EnvironmentTest, SudoIsSeenInTheEnvironment)
{
    setenv("SUDO_UID", "1000", 1);
    EXPECT_TRUE(Environment::Current().startedBySudo);
    if (geteuid() == 0) {
        EXPECT_EQ(Environment::Get("BRENVIK_ACTIONS_LOG"), nullptr);
    }
    unsetenv("SUDO_UID");
    EXPECT_FALSE(Environment::Current().startedBySudo);
}

} // namespace
