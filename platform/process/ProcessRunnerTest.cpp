#include "ProcessRunner.h"

#include <gtest/gtest.h>

#include <WaitUntil.h>

#include <csignal>
#include <cstdlib>
#include <unistd.h>

#include <OS.h>

#include <StorageTestUtils.h>

namespace {

using BPrivate::ProcessOptions;
using BPrivate::ProcessResult;
using BPrivate::ProcessRunner;
using brenvik::test::MakeTempFolder;

using brenvik::test::WaitUntil;

std::string Realpath(const std::string& path)
{
    char resolved[4096];
    return realpath(path.c_str(), resolved) != nullptr ? resolved : path;
}

class HostileNames : public testing::TestWithParam<std::string> { };

TEST_P(HostileNames, PassThroughToolsUntouched)
{
    std::string folder = Realpath(MakeTempFolder("hostile"));
    std::string source = folder + "/" + GetParam();
    std::string copy = source + ".copy";
    ASSERT_TRUE(storage_test::WriteFile(source, "payload"));
    ProcessOptions options;
    options.workingFolder = folder.c_str();
    options.captureOutput = true;
    ProcessResult result;
    ASSERT_EQ(ProcessRunner::Run({ "cp", "--", source, copy }, options, &result), B_OK)
        << result.errors;
    EXPECT_EQ(storage_test::ReadFile(copy), "payload");
    // Nothing the name might have meant to a shell happened.
    EXPECT_FALSE(storage_test::Exists(folder + "/x"));
    EXPECT_FALSE(storage_test::Exists(folder + "/pwned"));

    // Relative to the working folder, a leading '-' needs the "--".
    ASSERT_EQ(ProcessRunner::Run({ "rm", "--", GetParam() }, options, &result), B_OK);
    EXPECT_FALSE(storage_test::Exists(source));
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNames,
    testing::Values("with \"double\" quote", "$(touch x)", "`touch pwned`", "new\nline",
        "-leading-dash", "; rm -rf .", "'single'", "back\\slash", "tab\tand space",
        std::string(200, 'L')));

TEST(ProcessRunnerTest, LongPathsWork)
{
    std::string path = Realpath(MakeTempFolder("long"));
    while (path.size() < 1500) {
        path += "/" + std::string(100, 'd');
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    }
    ProcessOptions options;
    ProcessResult result;
    ASSERT_EQ(ProcessRunner::Run({ "touch", "--", path + "/file" }, options, &result), B_OK);
    EXPECT_TRUE(storage_test::Exists(path + "/file"));
}

TEST(ProcessRunnerTest, OverlongNameIsReportedAsAFailure)
{
    std::string folder = MakeTempFolder("long");
    ProcessOptions options;
    options.captureOutput = true;
    ProcessResult result;
    // 300 characters are more than one Linux name may hold.
    EXPECT_EQ(ProcessRunner::Run(
                  { "touch", "--", folder + "/" + std::string(300, 'n') }, options, &result),
        B_ERROR);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.errors.find("too long"), std::string::npos) << result.errors;
}

TEST(ProcessRunnerTest, FailingToolReportsFailure)
{
    ProcessOptions options;
    ProcessResult result;
    EXPECT_EQ(ProcessRunner::Run({ "false" }, options, &result), B_ERROR);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(ProcessRunner::Run({ "sh", "-c", "exit 42" }, options, &result), B_ERROR);
    EXPECT_EQ(result.exitCode, 42);
    EXPECT_EQ(ProcessRunner::Run({ "sh", "-c", "kill -TERM $$" }, options, &result), B_ERROR);
    EXPECT_EQ(result.signal, SIGTERM);
    EXPECT_EQ(ProcessRunner::Run({ "true" }, options, &result), B_OK);
    EXPECT_EQ(result.exitCode, 0);
}

TEST(ProcessRunnerTest, MissingProgramOrFolderCannotStart)
{
    ProcessOptions options;
    ProcessResult result;
    EXPECT_EQ(ProcessRunner::Run({ "/no/such/program" }, options, &result), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(
        ProcessRunner::Run({ "no-such-program-anywhere" }, options, &result), B_ENTRY_NOT_FOUND);
    options.workingFolder = "/no/such/folder";
    EXPECT_EQ(ProcessRunner::Run({ "true" }, options, &result), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(ProcessRunner::Run({}, ProcessOptions(), &result), B_BAD_VALUE);
}

TEST(ProcessRunnerTest, WorkingFolderAppliesToTheChildOnly)
{
    std::string folder = Realpath(MakeTempFolder("cwd"));
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof(before)), nullptr);
    ProcessOptions options;
    options.workingFolder = folder.c_str();
    options.captureOutput = true;
    ProcessResult result;
    ASSERT_EQ(ProcessRunner::Run({ "pwd", "-P" }, options, &result), B_OK);
    EXPECT_EQ(result.output, folder + "\n");
    char after[4096];
    ASSERT_NE(getcwd(after, sizeof(after)), nullptr);
    EXPECT_STREQ(before, after);
}

TEST(ProcessRunnerTest, CapturesLargeOutputOfBothStreams)
{
    ProcessOptions options;
    options.captureOutput = true;
    ProcessResult result;
    ASSERT_EQ(ProcessRunner::Run(
                  { "sh", "-c", "head -c 300000 /dev/zero; echo oops >&2" }, options, &result),
        B_OK);
    EXPECT_EQ(result.output.size(), 300000u);
    EXPECT_EQ(result.errors, "oops\n");
}

TEST(ProcessRunnerTest, DeadlineStopsTheChild)
{
    ProcessOptions options;
    options.deadline = system_time() + 100000;
    options.killGracePeriod = 100000;
    ProcessResult result;
    EXPECT_EQ(ProcessRunner::Run({ "sleep", "60" }, options, &result), B_TIMED_OUT);
    ASSERT_GT(result.pid, 0);
    EXPECT_NE(kill(result.pid, 0), 0);
}

struct KillCase {
    std::string pidFile;
    bool ignoreTerm;
};

status_t RunLongChild(void* data)
{
    auto* item = static_cast<KillCase*>(data);
    std::string script = std::string(item->ignoreTerm ? "trap '' TERM; " : "") + "echo $$ > '"
        + item->pidFile + "'; while :; do sleep 1; done";
    ProcessOptions options;
    options.killGracePeriod = 200000;
    ProcessResult result;
    return ProcessRunner::Run({ "sh", "-c", script }, options, &result);
}

class KilledWhileWaiting : public testing::TestWithParam<bool> { };

TEST_P(KilledWhileWaiting, TerminatesTheChild)
{
    KillCase item { MakeTempFolder("kill") + "/pid", GetParam() };
    thread_id thread = spawn_thread(RunLongChild, "runner", B_NORMAL_PRIORITY, &item);
    ASSERT_GT(thread, 0);
    ASSERT_EQ(resume_thread(thread), B_OK);
    std::string text;
    ASSERT_TRUE(WaitUntil([&] {
        text = storage_test::ReadFile(item.pidFile);
        return !text.empty() && text.back() == '\n';
    }));
    pid_t child = std::atoi(text.c_str());
    ASSERT_GT(child, 0);
    ASSERT_TRUE(WaitUntil([&] {
        thread_info info;
        return get_thread_info(thread, &info) == B_OK && info.state == B_THREAD_WAITING;
    }));

    ASSERT_EQ(kill_thread(thread), B_OK);
    status_t exitValue = B_OK;
    ASSERT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, B_INTERRUPTED);
    // The child has been ended and reaped before the thread was gone.
    EXPECT_NE(kill(child, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Children, KilledWhileWaiting, testing::Values(false, true),
    [](const testing::TestParamInfo<bool>& param) {
        return param.param ? "IgnoringTerm" : "Plain";
    });

TEST(ProcessRunnerTest, LaunchDetachesAndReportsExecFailures)
{
    std::string folder = Realpath(MakeTempFolder("launch"));
    std::string marker = folder + "/started";
    pid_t pid = -1;
    ASSERT_EQ(
        ProcessRunner::Launch({ "sh", "-c", "pwd -P > started" }, folder.c_str(), nullptr, &pid),
        B_OK);
    EXPECT_GT(pid, 0);
    ASSERT_TRUE(WaitUntil([&] {
        std::string text = storage_test::ReadFile(marker);
        return !text.empty() && text.back() == '\n';
    }));
    EXPECT_EQ(storage_test::ReadFile(marker), folder + "\n");
    EXPECT_EQ(ProcessRunner::Launch({ "/no/such/program" }, nullptr, nullptr), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(ProcessRunner::Launch({ "true" }, "/no/such/folder", nullptr), B_ENTRY_NOT_FOUND);
}

TEST(ProcessRunnerTest, LaunchedProgramsLeadTheirOwnSessionAndLeaveNoZombie)
{
    pid_t pid = -1;
    ASSERT_EQ(ProcessRunner::Launch({ "sleep", "30" }, nullptr, nullptr, &pid), B_OK);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(getsid(pid), pid);
    EXPECT_NE(getsid(pid), getsid(0));
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    // Once reaped, the process id names nothing (a zombie would still be
    // there for kill).
    EXPECT_TRUE(WaitUntil([&] { return kill(pid, 0) != 0; }));
}

TEST(ProcessRunnerTest, EnvironmentWithoutDropsOurControls)
{
    setenv("BRENVIK_TEST_CONTROL", "1", 1);
    std::vector<std::string> environment = ProcessRunner::EnvironmentWithout("BRENVIK_");
    for (const std::string& variable : environment)
        EXPECT_NE(variable.rfind("BRENVIK_", 0), 0u) << variable;
    EXPECT_FALSE(environment.empty());
    unsetenv("BRENVIK_TEST_CONTROL");
}

} // namespace
