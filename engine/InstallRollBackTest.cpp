// The install record says enough to undo an installation completely: these
// tests undo one from its record alone with InstallRemoval, as the
// de-installer and the installer's roll-back do, and find every folder as it
// was before, byte for byte, also after an installation that was stopped in
// the middle.

#include "InstallPassTestSupport.h"

#include <cstdio>

#include <FindDirectory.h>
#include <Path.h>

#include "InstallRemoval.h"

namespace {

using namespace pass_test;

std::string StandardFolder(directory_which which)
{
    BPath path;
    find_directory(which, &path, false, nullptr);
    return path.Path();
}

// Everything the user can see: the home folder and the test's own, without
// Brenvik's records and the trash's empty folders.
std::map<std::string, std::string> UserSnapshot(const std::string& root)
{
    auto snapshot = Snapshot(StandardFolder(B_USER_DIRECTORY));
    for (auto& [path, what] : Snapshot(root))
        snapshot[path] = what;
    std::string records = fs::path(InstallRecord::RecordsFolder()).parent_path();
    std::string trash = fs::path(StandardFolder(B_TRASH_DIRECTORY)).parent_path();
    for (auto it = snapshot.begin(); it != snapshot.end();) {
        bool skip = it->first.rfind(records, 0) == 0
            || (it->first.rfind(trash, 0) == 0 && it->second == "folder");
        it = skip ? snapshot.erase(it) : std::next(it);
    }
    return snapshot;
}

class InstallRollBackTest : public testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        setenv("BRENVIK_SCOPE", "user", 1);
        fRoot = brenvik::test::MakeTempFolder("rollback");
        fDestination = fRoot + "/Apps";
        fs::create_directories(fDestination);
        fInstaller.reset(new TestInstaller(fRoot));
        fConfig.SetDialogs(std::make_unique<TestDialogs>());
        fConfig.SetSystemProbe(std::make_unique<TestProbe>());
        fTag = "RollBack" + std::to_string(GetParam());
    }

    void TearDown() override { unsetenv("BRENVIK_SCOPE"); }

    std::string fRoot;
    std::string fDestination;
    std::string fTag;
    std::unique_ptr<TestInstaller> fInstaller;
    InstallConfig fConfig;
};

// Items that meet what the user has in every way: a file replaced and saved,
// a file renamed aside, a folder replaced into the trash (a second pass
// without saving), a custom folder replaced, links over the user's links, and
// new folders.
TEST_P(InstallRollBackTest, TheRecordUndoesEverythingEvenAfterAStop)
{
    int stopAfter = GetParam();
    std::string settings = StandardFolder(B_USER_SETTINGS_DIRECTORY) + "/" + fTag;
    std::string sounds = StandardFolder(B_USER_SOUNDS_DIRECTORY);
    WriteBytes(settings + "/Replaced/old", "the user's config");
    WriteBytes(settings + "/Rules/prefs", "the user's prefs");
    WriteBytes(sounds + "/" + fTag + ".raw", "the user's sound");
    fs::create_directories(settings + "/Links");
    fs::create_symlink("/the/users/target", settings + "/Links/tool");
    WriteBytes(fDestination + "/TarselNotes/left-over", "an earlier installation");
    WriteBytes(fRoot + "/payload/Config/new", "new config");
    WriteBytes(fRoot + "/payload/prefs", "new prefs");
    WriteBytes(fRoot + "/payload/" + fTag + ".raw", "new sound");
    WriteBytes(fRoot + "/payload/tool", "#!/bin/sh\n", 0755);
    fInstaller->AddCustomFolder("Settings", 3006, (fTag + "/Replaced").c_str(), true);
    fInstaller->AddCustomFolder("Rules", 3006, (fTag + "/Rules").c_str(), false);
    fInstaller->AddCustomFolder("Links", 3006, (fTag + "/Links").c_str(), false);
    fInstaller->AddCustomFolder("Fresh", 3006, (fTag + "-new/a/b").c_str(), false);
    fInstaller->AddItem({ fRoot + "/payload/Config", "Settings" });
    fInstaller->AddItem({ fRoot + "/payload/prefs", "Rules", "Rename" });
    fInstaller->AddItem({ fRoot + "/payload/" + fTag + ".raw", "User Sounds" });
    fInstaller->AddItem({ fRoot + "/payload/tool", "Fresh", "Replace", "Links", "Replace" });
    fInstaller->config.AddBool("opt_save_replaced", stopAfter % 2 == 0);
    auto before = UserSnapshot(fRoot);

    fConfig.SetStatusObserver([&](const char* text) {
        if (std::string(text).rfind("Installing " + std::to_string(stopAfter + 1) + " of", 0) == 0)
            fConfig.RequestStop();
    });
    fInstaller->Configure(fConfig, fDestination);
    status_t result = fConfig.Action();
    EXPECT_EQ(result, stopAfter < 4 ? InstallConfig::kPassStopped : InstallConfig::kPassDone);
    InstallRecordReader record = RecordOf(fConfig);
    for (const auto& step : record.Steps())
        EXPECT_NE(step.state, InstallRecordReader::B_STEP_BEGUN) << step.kind;

    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(fConfig.RecordPath(), &report), B_OK) << report;
    EXPECT_EQ(UserSnapshot(fRoot), before) << report;
    EXPECT_FALSE(Lexists(fConfig.RecordPath()));
}

INSTANTIATE_TEST_SUITE_P(StopAfterItem, InstallRollBackTest, testing::Values(0, 1, 2, 3, 4));

} // namespace
