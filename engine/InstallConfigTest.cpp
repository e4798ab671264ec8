#include "InstallConfig.h"
#include "InstallPassTestSupport.h"

#include <BlockingPoint.h>
#include <Looper.h>

#include <WaitUntil.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace {

using brenvik::test::WaitUntil;

BMessage Item(const char* fileName, int32 size, const char* groups = nullptr)
{
    BMessage item;
    if (fileName != nullptr)
        item.AddString("file_name", fileName);
    item.AddInt8("file_type", 0);
    item.AddInt32("file_size", size);
    item.AddInt32("file_size", size);
    item.AddInt64("file_modified", 977961600);
    if (groups != nullptr)
        item.AddString("groups", groups);
    BMessage meta;
    meta.AddString("destination", "User Selected");
    meta.AddString("destination_exists", "Replace");
    meta.AddString("link", "None");
    meta.AddString("link_exists", "Replace");
    meta.AddString("deinstallable", "True");
    item.AddMessage("install_meta", &meta);
    return item;
}

// A record as the authoring tool stores it: flattened.
std::vector<char> SampleRecord()
{
    BMessage config;
    config.AddString("app_name", "Tarsel Notes");
    config.AddString("opt_created_folder", "TarselNotes");
    BMessage instructions;
    BMessage first = Item("/authoring/disk/Notes", 4096, "Typical;");
    BMessage nameless = Item(nullptr, 1);
    BMessage second = Item("/authoring/disk/Sounds/chime.raw", 70000, "Typical;Sounds;");
    instructions.AddMessage("install_file", &first);
    instructions.AddMessage("install_file", &nameless);
    instructions.AddMessage("install_file", &second);
    config.AddMessage("install_instructions", &instructions);
    std::vector<char> record(size_t(config.FlattenedSize()));
    EXPECT_EQ(config.Flatten(record.data(), ssize_t(record.size())), B_OK);
    return record;
}

TEST(InstallConfigTest, LoadsAFlattenedRecord)
{
    std::vector<char> record = SampleRecord();
    InstallConfig config;
    ASSERT_EQ(config.Load(record.data(), record.size()), B_OK);
    EXPECT_STREQ(config.GetString("app_name", ""), "Tarsel Notes");
    EXPECT_EQ(config.CountInstallFiles(), 3);
    EXPECT_EQ(config.what, 0u);
}

TEST(InstallConfigTest, AnUnreadableRecordLeavesTheConfigurationEmpty)
{
    std::vector<char> record = SampleRecord();
    InstallConfig config;
    ASSERT_EQ(config.Load(record.data(), record.size()), B_OK);
    EXPECT_NE(config.Load(record.data(), record.size() / 2), B_OK);
    EXPECT_TRUE(config.IsEmpty());
    EXPECT_EQ(config.CountInstallFiles(), 0);
}

TEST(InstallConfigTest, FileSizeIsFoundByLeafName)
{
    std::vector<char> record = SampleRecord();
    InstallConfig config;
    config.Load(record.data(), record.size());
    EXPECT_EQ(config.GetFileSize("Notes"), 4096);
    EXPECT_EQ(config.GetFileSize("chime.raw"), 70000);
    // The leaf is compared, not the authoring machine's path.
    EXPECT_EQ(config.GetFileSize("/authoring/disk/Notes"), 0);
    EXPECT_EQ(config.GetFileSize("missing"), 0);
    EXPECT_EQ(config.GetFileSize("notes"), 0);
}

TEST(InstallConfigTest, MarkingAnItemAddsThenReplacesItsFlag)
{
    std::vector<char> record = SampleRecord();
    InstallConfig config;
    config.Load(record.data(), record.size());
    EXPECT_EQ(config.CountSelectedFiles(), 0);

    config.MarkInstallFile("chime.raw", true);
    BMessage item;
    ASSERT_EQ(config.FindInstallFile("chime.raw", &item), 2);
    EXPECT_TRUE(item.GetBool("install_to_system", false));
    EXPECT_EQ(config.CountSelectedFiles(), 1);

    config.MarkInstallFile("chime.raw", false);
    config.FindInstallFile("chime.raw", &item);
    type_code type;
    int32 count = 0;
    ASSERT_EQ(item.GetInfo("install_to_system", &type, &count), B_OK);
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(item.GetBool("install_to_system", true));
    EXPECT_EQ(config.CountSelectedFiles(), 0);

    // Marking a name that is not there changes nothing.
    config.MarkInstallFile("absent", true);
    EXPECT_EQ(config.CountSelectedFiles(), 0);
    EXPECT_EQ(config.CountInstallFiles(), 3);
}

TEST(InstallConfigTest, PickingAnInstallTypeMarksExactlyItsItems)
{
    std::vector<char> record = SampleRecord();
    InstallConfig config;
    config.Load(record.data(), record.size());
    EXPECT_EQ(config.SelectGroup("Sounds"), 1);
    BMessage item;
    config.FindInstallFile("Notes", &item);
    EXPECT_FALSE(item.GetBool("install_to_system", true));
    config.FindInstallFile("chime.raw", &item);
    EXPECT_TRUE(item.GetBool("install_to_system", false));

    // Another type replaces the marks of the first; the nameless item is
    // marked too (it belongs to no type).
    EXPECT_EQ(config.SelectGroup("Typical"), 2);
    EXPECT_EQ(config.CountSelectedFiles(), 2);
    BMessage instructions;
    config.FindMessage("install_instructions", &instructions);
    ASSERT_EQ(instructions.FindMessage("install_file", 1, &item), B_OK);
    EXPECT_FALSE(item.GetBool("install_to_system", true));
    EXPECT_EQ(config.SelectGroup(nullptr), 0);
    EXPECT_EQ(config.CountSelectedFiles(), 0);
}
struct DeinstallCase {
    const char* name;
    int present; // -1 absent, 0 false, 1 true
    bool expected;
};

class IncludeDeinstallerTest : public testing::TestWithParam<DeinstallCase> { };

TEST_P(IncludeDeinstallerTest, AbsenceMeansYes)
{
    InstallConfig config;
    if (GetParam().present >= 0)
        config.AddBool("opt_include_deinstall", GetParam().present == 1);
    EXPECT_EQ(config.IncludeDeinstaller(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, IncludeDeinstallerTest,
    testing::Values(DeinstallCase { "absent", -1, true }, DeinstallCase { "false", 0, false },
        DeinstallCase { "true", 1, true }),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(InstallConfigTest, KeywordsAreExactAndCaseSensitive)
{
    EXPECT_TRUE(IsKeyword("User Selected", "User Selected"));
    EXPECT_FALSE(IsKeyword("user selected", "User Selected"));
    EXPECT_FALSE(IsKeyword("True ", "True"));
    EXPECT_FALSE(IsKeyword(nullptr, "True"));
    EXPECT_STREQ(LeafOf("/a/b/c"), "c");
    EXPECT_STREQ(LeafOf("c"), "c");
    EXPECT_STREQ(LeafOf("/a/"), "");
}

TEST(InstallConfigTest, PrintsTheWorkerStateThenEveryItem)
{
    std::vector<char> record = SampleRecord();
    InstallConfig config;
    config.Load(record.data(), record.size());
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    config.PrintToStream();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unknown\n");
    EXPECT_NE(out.find("/authoring/disk/Notes"), std::string::npos);
    EXPECT_NE(out.find("chime.raw"), std::string::npos);
    size_t items = 0;
    for (size_t at = out.find("BMessage"); at != std::string::npos;
         at = out.find("BMessage", at + 1))
        items++;
    // Three items, each with its nested install_meta.
    EXPECT_EQ(items, 6u);
}

// Collects what a pass sends.
class Window : public BLooper {
public:
    void MessageReceived(BMessage* message) override
    {
        std::lock_guard guard(fLock);
        if (message->what == InstallConfig::kMsgInstallStatus)
            fStatus.push_back(message->GetString("message", ""));
        else if (message->what == LibThread::kLibThreadDone)
            fResults.push_back(message->GetInt32("status", 12345));
    }
    std::vector<std::string> Status()
    {
        std::lock_guard guard(fLock);
        return fStatus;
    }
    std::vector<int32> Results()
    {
        std::lock_guard guard(fLock);
        return fResults;
    }

private:
    std::mutex fLock;
    std::vector<std::string> fStatus;
    std::vector<int32> fResults;
};

class InstallConfigWorkerTest : public testing::Test {
protected:
    void SetUp() override
    {
        fWindow = new Window;
        fWindow->Run();
    }
    void TearDown() override
    {
        fWindow->Lock();
        fWindow->Quit();
    }
    Window* fWindow = nullptr;
};

TEST_F(InstallConfigWorkerTest, APassReportsOnTheWorkerThreadAndEndsWithItsResult)
{
    setenv("BRENVIK_SCOPE", "user", 1);
    std::string folder = brenvik::test::MakeTempFolder("worker");
    pass_test::TestInstaller installer(folder);
    pass_test::WriteBytes(folder + "/Notes", "notes");
    installer.AddItem({ folder + "/Notes" });
    std::string destination = folder + "/Apps";
    mkdir(destination.c_str(), 0755);
    InstallConfig config;
    installer.Configure(config, destination);
    config.SetDialogs(std::make_unique<pass_test::TestDialogs>());
    config.SetSystemProbe(std::make_unique<pass_test::TestProbe>());
    ASSERT_EQ(config.Go("install", new BMessenger(fWindow), B_NORMAL_PRIORITY, false), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return fWindow->Results().size() == 1; }));
    // A status the window has not shown yet gives way to the next one: the
    // window sees the pass's texts in order, ending with the last.
    std::vector<std::string> all = { "Checking System Resources...", "Creating deinstaller...",
        "Installing 1 of 1 (Notes)", "Installation Complete" };
    std::vector<std::string> seen = fWindow->Status();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "Installation Complete");
    auto next = all.begin();
    for (const std::string& text : seen) {
        next = std::find(next, all.end(), text);
        ASSERT_NE(next, all.end()) << text << " out of order";
    }
    EXPECT_EQ(fWindow->Results()[0], InstallConfig::kPassDone);
    EXPECT_EQ(config.Outcome(), InstallConfig::kOutcomeSucceeded);
    unsetenv("BRENVIK_SCOPE");
}

// A pass that stops in the middle, waiting, as a pass does while it asks the
// user a question.
class StuckConfig : public InstallConfig {
public:
    StuckConfig()
        : fGate(create_sem(0, "question"))
    {
    }
    ~StuckConfig() override
    {
        Kill();
        while (Status() != 0)
            snooze(100);
        delete_sem(fGate);
    }
    status_t Action() override
    {
        UpdateStatus("Checking System Resources...");
        acquire_sem(fGate);
        UpdateStatus("never sent");
        return B_OK;
    }

private:
    sem_id fGate;
};

TEST_F(InstallConfigWorkerTest, AWorkerKilledInTheMiddleOfAPassEndsCleanly)
{
    auto* config = new StuckConfig;
    ASSERT_EQ(config->Go("install", new BMessenger(fWindow), B_NORMAL_PRIORITY, false), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return config->Status() == B_THREAD_WAITING; }));
    EXPECT_EQ(config->Kill(), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return config->Status() == 0; }));
    delete config;

    BMessage probe('prob');
    BMessage reply;
    BMessenger(fWindow).SendMessage(&probe, &reply);
    ASSERT_EQ(fWindow->Status().size(), 1u);
    EXPECT_EQ(fWindow->Status()[0], "Checking System Resources...");
    EXPECT_TRUE(fWindow->Results().empty());
}

// A log whose closing is seen: a pass that writes after it would write to a
// closed file.
std::atomic<bool> sLogClosed { false };

FILE* WatchedLog()
{
    cookie_io_functions_t functions {};
    functions.write = [](void*, const char*, size_t size) -> ssize_t { return ssize_t(size); };
    functions.close = [](void*) -> int {
        sLogClosed = true;
        return 0;
    };
    return fopencookie(nullptr, "w", functions);
}

// A pass that holds its log open and is still running when the
// configuration is destroyed; it notes whether the log was still open when
// it came to its end.
class LoggingConfig : public InstallConfig {
public:
    status_t Action() override
    {
        AdoptLog(WatchedLog());
        fStarted = true;
        // Wait the way a pass waits for an answer, without being unwound by
        // the kill, so that it goes on to write its last line.
        BPrivate::NoUnwindScope noUnwind;
        while (snooze(1000000) == B_OK) { }
        sLogOpenAtEnd = !sLogClosed.load();
        if (sLogOpenAtEnd)
            std::fputs("stopped\n", Log());
        return B_OK;
    }

    std::atomic<bool> fStarted { false };
    static std::atomic<bool> sLogOpenAtEnd;
};

std::atomic<bool> LoggingConfig::sLogOpenAtEnd { false };

TEST(InstallConfigLifeTest, DestroyingAConfigurationEndsThePassBeforeClosingTheLog)
{
    sLogClosed = false;
    auto* config = new LoggingConfig;
    ASSERT_EQ(config->Go("install", nullptr, B_NORMAL_PRIORITY, false), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return config->fStarted.load(); }));
    delete config;
    EXPECT_TRUE(LoggingConfig::sLogOpenAtEnd.load());
    EXPECT_TRUE(sLogClosed.load());
}

} // namespace
