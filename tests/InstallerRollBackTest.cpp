// The installer finds an installation of the same product that was stopped
// and, before it installs again, offers to undo it: undone, the stopped
// installation's record and everything it placed are gone before the new
// pass; left, the new pass supersedes it.

#include "E2eSupport.h"

#include <filesystem>
#include <fstream>

#include <FindDirectory.h>
#include <Path.h>
#include <Resources.h>

#include <InstallConfig.h>
#include <InstallPassTestSupport.h>
#include <InstallRemoval.h>
#include <InstallerBuilder.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

struct OfferCase {
    const char* name;
    const char* answer;
    bool undone;
};

class InstallerRollBackTest : public SampleTest<OfferCase> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sStatus, B_OK);
        setenv("BRENVIK_SCOPE", "user", 1);
        BPath apps;
        ASSERT_EQ(find_directory(B_APPS_DIRECTORY, &apps, true, nullptr), B_OK);
        fFolder = std::string(apps.Path()) + "/TarselNotes";
        fs::remove_all(fFolder);
    }

    void TearDown() override
    {
        // What the new installation placed outside its folder, too.
        BPath settings;
        BPath menu;
        find_directory(B_USER_SETTINGS_DIRECTORY, &settings, false, nullptr);
        find_directory(B_USER_DESKBAR_DIRECTORY, &menu, false, nullptr);
        fs::remove_all(std::string(settings.Path()) + "/Tarsel");
        fs::remove(std::string(menu.Path()) + "/Notes.app.desktop");
        fs::remove_all(fFolder);
        unsetenv("BRENVIK_SCOPE");
    }

    // Installs the sample product and stops after its first item.
    std::string InstallAndStop()
    {
        InstallConfig config;
        EXPECT_TRUE(ConfigureSamplePass(config, sInstaller, fs::path(fFolder).parent_path()));
        config.SetStatusObserver([&config](const char* text) {
            if (std::string(text).rfind("Installing 2 of", 0) == 0)
                config.RequestStop();
        });
        EXPECT_EQ(config.Action(), InstallConfig::kPassStopped);
        return config.RecordPath();
    }

    // Runs a copy of the built installer, headless, walked by the UI driver
    // through `script`; its exit status and what it printed.
    static std::pair<int, std::string> RunInstaller(const std::string& script)
    {
        std::string installer = brenvik::test::MakeTempFolder("run") + "/TarselNotes-Installer";
        fs::copy_file(sInstaller, installer);
        fs::permissions(installer, fs::perms::owner_all);
        std::string file = brenvik::test::MakeTempFolder("script") + "/script.txt";
        std::ofstream(file) << script;
        return RunCommand(
            "BRENVIK_DISPLAY=headless BRENVIK_UI_SCRIPT='" + file + "' '" + installer + "' 2>&1");
    }

    std::string fFolder;
};

TEST_P(InstallerRollBackTest, OffersToUndoAStoppedInstallation)
{
    std::string stopped = InstallAndStop();
    ASSERT_EQ(
        InstallRemoval::FindUnfinished("Tarsel Notes"), std::vector<std::string>({ stopped }));
    auto [status, output] = RunInstaller(std::string("timeout 30\n"
                                                     "click-label Agree\n"
                                                     "alert OK\n"
                                                     "click-label Install\n"
                                                     "alert \"")
        + GetParam().answer
        + "\"\n"
          "wait-text instruction Installation Complete\n"
          "alert OK\n"
          "wait-quit\n");
    EXPECT_EQ(status, 0) << output;
    EXPECT_TRUE(fs::exists(fFolder + "/notes-latest")) << output;
    EXPECT_TRUE(InstallRemoval::FindUnfinished("Tarsel Notes").empty());
    // Undone, the stopped installation's record is gone and its removal
    // logged; left, the new installation superseded it, and it stays.
    EXPECT_EQ(fs::exists(stopped), !GetParam().undone);
    std::string id = fs::path(stopped).parent_path().filename();
    EXPECT_EQ(fs::exists(InstallRemoval::LogFolder() + "/" + id + ".log"), GetParam().undone);
}

using InstallerRollBackQuitTest = InstallerRollBackTest;

// Quitting while the offer is open answers nothing: the stopped installation
// stays as it was, and no new pass starts once the question is gone.
TEST_F(InstallerRollBackQuitTest, QuittingAtTheOfferStartsNoPass)
{
    std::string stopped = InstallAndStop();
    auto [status, output] = RunInstaller("timeout 30\n"
                                         "click-label Agree\n"
                                         "alert OK\n"
                                         "click-label Install\n"
                                         "wait-text _b1_ Undo it\n"
                                         "key Ctrl+Q\n"
                                         "timeout 10\n"
                                         "wait-quit\n");
    EXPECT_EQ(status, 1) << output;
    EXPECT_EQ(
        InstallRemoval::FindUnfinished("Tarsel Notes"), std::vector<std::string>({ stopped }));
    EXPECT_FALSE(fs::exists(fFolder + "/notes-latest")) << output;
}

INSTANTIATE_TEST_SUITE_P(Answers, InstallerRollBackTest,
    testing::Values(
        OfferCase { "Undone", "Undo it", true }, OfferCase { "Left", "Leave it", false }),
    [](const testing::TestParamInfo<OfferCase>& param) { return std::string(param.param.name); });

} // namespace
