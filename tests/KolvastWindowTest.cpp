// The de-installer's window, driven as a user works it: the sample product is
// installed, its de-installer is started on the headless display, shows what
// it will remove, removes it on Remove and shows its report. Each step is a
// golden picture, in English and in German (the language the installer ran
// in, which the de-installer's "language" attribute keeps).

#include "E2eSupport.h"

#include <filesystem>
#include <fstream>

#include <FindDirectory.h>
#include <Path.h>
#include <Resources.h>

#include <GoldenImage.h>
#include <InstallConfig.h>
#include <InstallPassTestSupport.h>
#include <InstallRecord.h>
#include <InstallerBuilder.h>
#include <InstallerFormat.h>
#include <LibNode.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

struct WindowCase {
    const char* language;
    const char* remove;
    const char* close;
    const char* done;
};

class KolvastWindowTest : public SampleTest<WindowCase> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sStatus, B_OK);
        setenv("BRENVIK_SCOPE", "user", 1);
        BPath apps;
        ASSERT_EQ(find_directory(B_APPS_DIRECTORY, &apps, true, nullptr), B_OK);
        fDestination = apps.Path();
        BPath settings;
        ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &settings, true, nullptr), B_OK);
        fSettings = std::string(settings.Path()) + "/Tarsel";
        BPath menu;
        ASSERT_EQ(find_directory(B_USER_DESKBAR_DIRECTORY, &menu, true, nullptr), B_OK);
        fMenuEntry = std::string(menu.Path()) + "/Notes.app.desktop";
        CleanUp();
        // What the installation replaces, so that the window has something
        // to put back.
        pass_test::WriteBytes(fSettings + "/Notes/Sounds/mine.raw", "the user's sound");
        pass_test::WriteBytes(fMenuEntry, "[Desktop Entry]\nName=Mine\n");
    }

    void TearDown() override
    {
        CleanUp();
        unsetenv("BRENVIK_SCOPE");
    }

    void CleanUp()
    {
        fs::remove_all(fDestination + "/TarselNotes");
        fs::remove_all(fSettings);
        fs::remove(fMenuEntry);
    }

    // Installs the sample product; returns its de-installer.
    std::string Install()
    {
        InstallConfig config;
        EXPECT_TRUE(ConfigureSamplePass(config, sInstaller, fDestination));
        EXPECT_EQ(config.Action(), InstallConfig::kPassDone);
        return fDestination + "/TarselNotes/Tarsel Notes 1.0.2 Deinstaller";
    }

    std::string fDestination;
    std::string fSettings;
    std::string fMenuEntry;
};

TEST_P(KolvastWindowTest, ShowsThePlanRemovesAndReports)
{
    const WindowCase& c = GetParam();
    std::string deinstaller = Install();
    ASSERT_TRUE(fs::exists(deinstaller));
    LibNode(deinstaller.c_str()).WriteStringAttr(InstallerFormat::kLanguageAttribute, c.language);
    std::string folder = brenvik::test::MakeTempFolder("kolvast-window");
    std::string script = folder + "/script";
    std::ofstream(script) << "timeout 30\n"
                          << "wait-window \"Tarsel Notes 1.0.2 Deinstaller\"\n"
                          << "screenshot " << folder << "/plan.png\n"
                          << "click-label " << c.remove << "\n"
                          << "wait-text heading " << c.done << "\n"
                          << "screenshot " << folder << "/report.png\n"
                          << "click-label " << c.close << "\n"
                          << "wait-quit\n";
    auto [status, output] = RunCommand(
        "BRENVIK_DISPLAY=headless BRENVIK_UI_SCRIPT='" + script + "' '" + deinstaller + "'");
    EXPECT_EQ(status, 0) << output;
    EXPECT_FALSE(fs::exists(fDestination + "/TarselNotes"));
    EXPECT_EQ(ReadBytes(fSettings + "/Notes/Sounds/mine.raw"), "the user's sound");
    std::string language = c.language;
    EXPECT_TRUE(brenvik::test::PngMatchesGolden("kolvast/plan-" + language, folder + "/plan.png"));
    EXPECT_TRUE(
        brenvik::test::PngMatchesGolden("kolvast/report-" + language, folder + "/report.png"));
}

// The user edited a file inside the installed "Sounds", which therefore
// stays; the user's own "Sounds", renamed aside by the installation, cannot go
// back to its place then, and the window asks.
TEST_F(KolvastWindowTest, AsksWhenThePlaceOfAReplacedItemIsTaken)
{
    std::string deinstaller = Install();
    pass_test::WriteBytes(fSettings + "/Notes/Sounds/chime.txt", "my own chime");
    std::string folder = brenvik::test::MakeTempFolder("kolvast-taken");
    std::string script = folder + "/script";
    std::ofstream(script) << "timeout 30\n"
                          << "click-label Remove\n"
                          << "alert \"Put back the old one\"\n"
                          << "wait-text heading Some items were kept or could not be removed:\n"
                          << "screenshot " << folder << "/report.png\n"
                          << "click-label Close\n"
                          << "wait-quit\n";
    auto [status, output] = RunCommand(
        "BRENVIK_DISPLAY=headless BRENVIK_UI_SCRIPT='" + script + "' '" + deinstaller + "'");
    EXPECT_EQ(status, 1) << output;
    EXPECT_EQ(ReadBytes(fSettings + "/Notes/Sounds/mine.raw"), "the user's sound");
    EXPECT_FALSE(fs::exists(fSettings + "/Notes/Sounds copy"));
    BPath trash;
    ASSERT_EQ(find_directory(B_TRASH_DIRECTORY, &trash, false, nullptr), B_OK);
    EXPECT_EQ(ReadBytes(std::string(trash.Path()) + "/Sounds/chime.txt"), "my own chime");
    EXPECT_TRUE(brenvik::test::PngMatchesGolden("kolvast/report-kept-en", folder + "/report.png"));
}

// The installation replaced an earlier one, which went to the trash: the plan
// offers to put it back, unticked. Left so, the earlier folder stays in the
// trash and the report says so; ticked, it comes back.
class KolvastEarlierTest : public KolvastWindowTest { };

TEST_P(KolvastEarlierTest, PutsTheEarlierInstallationBackOnlyWhenTicked)
{
    bool tick = std::string(GetParam().language) == "tick";
    // An empty trash, so that the earlier folder keeps its name there.
    BPath trash;
    ASSERT_EQ(find_directory(B_TRASH_DIRECTORY, &trash, false, nullptr), B_OK);
    fs::remove_all(fs::path(trash.Path()).parent_path());
    std::string earlier = fDestination + "/TarselNotes";
    pass_test::WriteBytes(earlier + "/notes.txt", "the earlier version's notes");
    std::string deinstaller = Install();
    std::string folder = brenvik::test::MakeTempFolder("kolvast-earlier");
    std::string script = folder + "/script";
    std::ofstream(script) << "timeout 30\n"
                          << "wait-window \"Tarsel Notes 1.0.2 Deinstaller\"\n"
                          << "screenshot " << folder << "/plan.png\n"
                          << (tick ? "click put_back_earlier\n" : "") << "click-label Remove\n"
                          << "wait-text heading Everything was removed.\n"
                          << "screenshot " << folder << "/report.png\n"
                          << "click-label Close\n"
                          << "wait-quit\n";
    auto [status, output] = RunCommand(
        "BRENVIK_DISPLAY=headless BRENVIK_UI_SCRIPT='" + script + "' '" + deinstaller + "'");
    EXPECT_EQ(status, 0) << output;
    bool inTrash = false;
    for (const auto& entry : fs::directory_iterator(trash.Path()))
        inTrash = inTrash || fs::exists(entry.path() / "notes.txt");
    if (tick) {
        EXPECT_EQ(ReadBytes(earlier + "/notes.txt"), "the earlier version's notes");
        EXPECT_FALSE(inTrash);
    } else {
        EXPECT_FALSE(fs::exists(earlier));
        EXPECT_TRUE(inTrash);
        EXPECT_TRUE(
            brenvik::test::PngMatchesGolden("kolvast/plan-earlier-en", folder + "/plan.png"));
        EXPECT_TRUE(
            brenvik::test::PngMatchesGolden("kolvast/report-earlier-en", folder + "/report.png"));
    }
    fs::remove_all(trash.Path());
}

INSTANTIATE_TEST_SUITE_P(Choices, KolvastEarlierTest,
    testing::Values(WindowCase { "leave", "", "", "" }, WindowCase { "tick", "", "", "" }),
    [](const testing::TestParamInfo<WindowCase>& param) {
        return std::string(param.param.language);
    });

INSTANTIATE_TEST_SUITE_P(Languages, KolvastWindowTest,
    testing::Values(WindowCase { "en", "Remove", "Close", "Everything was removed." },
        WindowCase { "de", "Entfernen", "Schließen", "Alles wurde entfernt." }),
    [](const testing::TestParamInfo<WindowCase>& param) {
        return std::string(param.param.language);
    });

} // namespace
