// End to end: brenvik-build turns the sample product of examples/ into an
// installer, and the install pass installs all of it from that file into a
// sandbox, once in each scope: every item, link, date, mode and attribute
// where the configuration puts it, the log as expected, and a record that
// names everything and that the de-installer points to.

#include "E2eSupport.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <FindDirectory.h>
#include <Node.h>
#include <Path.h>
#include <Resources.h>

#include <InstallConfig.h>
#include <InstallPassTestSupport.h>
#include <InstallRecordReader.h>
#include <InstallerBuilder.h>
#include <InstallerFormat.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

// The log with the sandbox's folder written as "$SANDBOX", so that it reads
// the same on every machine.
std::string Portable(std::string text)
{
    const std::string& root = brenvik::test::SandboxRoot();
    for (size_t at = text.find(root); at != std::string::npos; at = text.find(root, at))
        text.replace(at, root.size(), "$SANDBOX");
    return text;
}

void ExpectGolden(const std::string& actual, const std::string& name)
{
    std::string golden = brenvik::test::TestDataPath("golden/install/" + name);
    if (std::getenv("BRENVIK_UPDATE_GOLDEN") != nullptr) {
        fs::create_directories(fs::path(golden).parent_path());
        std::ofstream(golden, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden << " is missing (BRENVIK_UPDATE_GOLDEN=1 makes it)";
    EXPECT_EQ(actual, ReadBytes(golden)) << "differs from " << golden;
}

class InstallPassEndToEndTest : public SampleTest<const char*> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sStatus, B_OK);
        setenv("BRENVIK_SCOPE", GetParam(), 1);
        setenv("TZ", "UTC", 1);
        tzset();
        fDestination = Folder(B_APPS_DIRECTORY);
        fs::create_directories(fDestination);
        ASSERT_TRUE(ConfigureSamplePass(fConfig, sInstaller, fDestination, &fDialogs));
        fConfig.SetClock([] { return time_t(977961600); });
    }

    void TearDown() override { unsetenv("BRENVIK_SCOPE"); }

    std::string fDestination;
    InstallConfig fConfig;
    pass_test::TestDialogs* fDialogs = nullptr;
};

TEST_P(InstallPassEndToEndTest, InstallsTheSampleProductAsConfigured)
{
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded);
    EXPECT_TRUE(fConfig.Failures().empty()) << fConfig.Failures()[0];

    std::string folder = fDestination + "/TarselNotes";
    std::string payload = sSample + "/payload";
    std::string settings = Folder(B_USER_SETTINGS_DIRECTORY) + "/Tarsel/Notes";
    ExpectSameTree(payload + "/Notes.app", folder + "/Notes.app");
    ExpectSameTree(payload + "/ReadMe.txt", folder + "/ReadMe.txt");
    ExpectSameTree(payload + "/notes-latest", folder + "/notes-latest");
    ExpectSameTree(payload + "/Sounds", settings + "/Sounds");
    EXPECT_EQ(ReadBytes(folder + "/notes-latest"), ReadBytes(payload + "/Notes.app/notes"));

    // The application menu gets an entry that opens the program's folder.
    std::string entry = ReadBytes(Folder(B_USER_DESKBAR_DIRECTORY) + "/Notes.app.desktop");
    EXPECT_NE(entry.find("Exec=xdg-open " + folder + "/Notes.app\n"), std::string::npos) << entry;

    if (SupportsAttributes(folder)) {
        BNode readMe((folder + "/ReadMe.txt").c_str());
        char type[64] = "";
        readMe.ReadAttr("BEOS:TYPE", 'MIMS', 0, type, sizeof(type));
        EXPECT_STREQ(type, "text/plain");
        BNode notes((folder + "/Notes.app/notes").c_str());
        int32 priority = 0;
        EXPECT_EQ(notes.ReadAttr("run_priority", B_INT32_TYPE, 0, &priority, 4), 4);
        EXPECT_EQ(priority, 5);
        char tag[256] = "";
        notes.ReadAttr("InstallBy", B_STRING_TYPE, 0, tag, sizeof(tag) - 1);
        EXPECT_STREQ(
            tag, "Tarsel Notes;1.0.2;28 December 2000;Tarsel Software;support@tarsel.example;");
    }

    ExpectGolden(Portable(ReadBytes(folder + "/Log")), std::string("log-") + GetParam() + ".txt");

    // The record lists every placed item, and the de-installer names it.
    InstallRecordReader record;
    ASSERT_EQ(record.ReadFile(fConfig.RecordPath().c_str()), B_OK);
    EXPECT_EQ(record.EndState(), "finished");
    std::vector<std::string> items;
    for (const auto& step : record.Steps()) {
        if (step.kind == "item")
            items.push_back(step.begun.GetString("path", ""));
    }
    EXPECT_EQ(items,
        std::vector<std::string>({ folder + "/Notes.app", folder + "/ReadMe.txt",
            settings + "/Sounds", folder + "/notes-latest" }));
    auto [status, output] = RunCommand(
        ProgramPath("brenvik-inspect") + " record '" + folder + "/Tarsel Notes 1.0.2 Deinstaller'");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("De-installer of the record " + fConfig.RecordPath()), std::string::npos)
        << output;
    EXPECT_NE(output.find("path: \"" + settings + "/Sounds/chime.txt\""), std::string::npos)
        << output;
    EXPECT_NE(output.find("State: finished"), std::string::npos);

    // The completion message, with the product's closing words; the folder
    // is shown, but never by root (the system scope).
    EXPECT_EQ(fDialogs->infos,
        std::vector<std::string> {
            "Installation successfully completed.\n\nThank you for installing Tarsel Notes." });
    std::string actions = ReadBytes(std::getenv("BRENVIK_ACTIONS_LOG"));
    bool shown = actions.find("open-folder\t" + folder + "\n") != std::string::npos;
    EXPECT_EQ(shown, std::string(GetParam()) == "user") << actions;
}

INSTANTIATE_TEST_SUITE_P(Scopes, InstallPassEndToEndTest, testing::Values("user", "system"));

} // namespace
