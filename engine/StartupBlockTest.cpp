#include "StartupBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <sstream>

#include <ByteOrder.h>
#include <Node.h>
#include <TypeConstants.h>
#include <WaitUntil.h>

#include "ScriptBlock.h"
#include "ScriptTargets.h"
#include "ScriptTestSupport.h"

namespace {

using namespace script_test;

// A StartUp folder full of awkward names, each a stub program that writes
// its process id and label into a log; process ids grow in the order the
// block starts the stubs.
class StartupBlockTest : public ScriptSandbox {
protected:
    void SetUp() override
    {
        ScriptSandbox::SetUp();
        fFolder = fRoot + "/Start Up 'it's' \"q\" $(touch pwned)";
        fLog = fRoot + "/started.log";
        fWork = fRoot + "/work";
        ASSERT_EQ(mkdir(fFolder.c_str(), 0755), 0);
        ASSERT_EQ(mkdir(fWork.c_str(), 0755), 0);
    }

    void AddStub(const std::string& name, const std::string& label)
    {
        std::string path = fFolder + "/" + name;
        ASSERT_TRUE(WriteFile(
            path, "#!/bin/sh\necho \"$$ " + label + "\" >> " + ShellQuoted(fLog) + "\n", 0755));
    }

    bool SetPriority(const std::string& name, int32_t priority)
    {
        // The script reads the number little-endian, whatever the host.
        uint32 value = B_HOST_TO_LENDIAN_INT32(priority);
        BNode item((fFolder + "/" + name).c_str());
        return item.WriteAttr("run_priority", B_INT32_TYPE, 0, &value, sizeof(value))
            == ssize_t(sizeof(value));
    }

    // Runs the boot script that holds the block, waits for `count` stubs, and
    // gives their labels in the order they were started.
    std::vector<std::string> Run(size_t count, const std::string& path = "/usr/bin:/bin")
    {
        EXPECT_EQ(EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "StartUpFolder",
                      StartupBlock::Build(fFolder, "support@example.org").c_str()),
            B_OK);
        ShellRun run = RunClean(fHome, { "/bin/sh", fConfig + "/brenvik/boot/UserBootscript" },
            { "PATH=" + path }, fWork);
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(run.errors, "");
        EXPECT_TRUE(brenvik::test::WaitUntil(
            [&] { return Lines().size() >= count; }, std::chrono::seconds(60)));
        std::vector<std::pair<long, std::string>> started;
        for (const std::string& line : Lines()) {
            std::istringstream fields(line);
            long pid = 0;
            std::string label;
            fields >> pid >> label;
            started.push_back({ pid, label });
        }
        std::sort(started.begin(), started.end());
        // Process ids wrap around at pid_max: the first one started then
        // follows the widest gap.
        long limit = 32768;
        std::istringstream(ReadFile("/proc/sys/kernel/pid_max")) >> limit;
        for (size_t i = 1; i < started.size(); i++) {
            if (started[i].first - started[i - 1].first > limit / 2) {
                std::rotate(started.begin(), started.begin() + long(i), started.end());
                break;
            }
        }
        std::vector<std::string> labels;
        for (const auto& item : started)
            labels.push_back(item.second);
        return labels;
    }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::istringstream text(ReadFile(fLog));
        std::string line;
        while (std::getline(text, line)) {
            if (!line.empty() && line != "<missing>")
                lines.push_back(line);
        }
        return lines;
    }

    void AddEverythingElse()
    {
        AddStub("a b", "blank");
        AddStub("it's", "quote");
        AddStub("q\"uote", "double");
        AddStub("$(touch pwned)", "substitution");
        AddStub("-n", "dash");
        ASSERT_TRUE(WriteFile(fFolder + "/readme.txt", "not a program\n", 0644));
        ASSERT_EQ(mkdir((fFolder + "/folder").c_str(), 0755), 0);
        ASSERT_TRUE(WriteFile(fRoot + "/outside",
            "#!/bin/sh\necho \"$$ linked\" >> " + ShellQuoted(fLog) + "\n", 0755));
        ASSERT_EQ(symlink((fRoot + "/outside").c_str(), (fFolder + "/link").c_str()), 0);
    }

    void ExpectNothingElseRan()
    {
        EXPECT_FALSE(Exists(fWork + "/pwned"));
        EXPECT_FALSE(Exists(fHome + "/pwned"));
        EXPECT_FALSE(Exists(fFolder + "/pwned"));
        EXPECT_FALSE(Exists(fRoot + "/pwned"));
    }

    std::string fFolder;
    std::string fLog;
    std::string fWork;
};

TEST_F(StartupBlockTest, HeaderAndBodyKeepTheirShape)
{
    std::string block = StartupBlock::Build("/x", "help@example.org");
    std::string header = StartupBlock::Header("help@example.org");
    EXPECT_EQ(std::count(header.begin(), header.end(), '\n'), 17);
    EXPECT_EQ(block.rfind(header, 0), 0u);
    EXPECT_NE(header.find("# please contact help@example.org.\n"), std::string::npos);
    EXPECT_NE(block.find("\nstartup_folder='/x'\n"), std::string::npos);
    EXPECT_EQ(block.back(), '#');
    EXPECT_EQ(block.find("/tmp"), std::string::npos);
    EXPECT_EQ(ScriptBlock::CheckContents(block), B_OK);
}

TEST_F(StartupBlockTest, StartsItemsByPriorityAndNothingElse)
{
    AddStub("late", "p10");
    AddStub("first one", "pminus1");
    AddStub("middle", "p5a");
    AddStub("middle too", "p5b");
    AddEverythingElse();
    if (!SetPriority("late", 10) || !SetPriority("first one", -1) || !SetPriority("middle", 5)
        || !SetPriority("middle too", 5))
        GTEST_SKIP() << "the sandbox's file system keeps no user extended attributes";
    if (!HasProgram("/usr/bin/getfattr"))
        GTEST_SKIP() << "getfattr (package attr) is not installed";

    std::vector<std::string> started = Run(10);
    ASSERT_EQ(started.size(), 10u);
    EXPECT_EQ(started[0], "pminus1");
    std::vector<std::string> middle(started.begin() + 1, started.begin() + 3);
    std::sort(middle.begin(), middle.end());
    EXPECT_EQ(middle, (std::vector<std::string> { "p5a", "p5b" }));
    EXPECT_EQ(started[3], "p10");
    std::vector<std::string> rest(started.begin() + 4, started.end());
    std::sort(rest.begin(), rest.end());
    EXPECT_EQ(rest,
        (std::vector<std::string> {
            "blank", "dash", "double", "linked", "quote", "substitution" }));
    ExpectNothingElseRan();
}

TEST_F(StartupBlockTest, WithoutGetfattrEveryItemStillStarts)
{
    AddStub("late", "p10");
    AddEverythingElse();
    SetPriority("late", 10);
    // A PATH with the tools the block needs, but no getfattr.
    std::string tools = fRoot + "/tools";
    ASSERT_EQ(mkdir(tools.c_str(), 0755), 0);
    for (const char* tool : { "od", "sort", "sleep" })
        ASSERT_EQ(
            symlink((std::string("/usr/bin/") + tool).c_str(), (tools + "/" + tool).c_str()), 0);

    std::vector<std::string> started = Run(7, tools);
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started,
        (std::vector<std::string> {
            "blank", "dash", "double", "linked", "p10", "quote", "substitution" }));
    ExpectNothingElseRan();
}

TEST_F(StartupBlockTest, AMissingFolderStartsNothing)
{
    std::string folder = fFolder;
    fFolder = fRoot + "/no such folder";
    Run(0);
    EXPECT_TRUE(Lines().empty());
    fFolder = folder;
}

} // namespace
