// The installer program as a user works it: the sample product built into an
// installer (or a variant of it), run headless in the sandbox with a UI-driver
// script, and judged by what its window shows (the driver's dumps), by what
// it installed and by its exit status.

#include "E2eSupport.h"

#include <GoldenImage.h>
#include <XvfbServer.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <sstream>
#include <unistd.h>

#include <Resources.h>

#include <InstallerBuilder.h>
#include <InstallerFormat.h>
#include <InstallerManifest.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;
using Json = nlohmann::json;

// The de-installer program an installer carries: the one this build made;
// one of a few bytes, which makes the window's totals show the files' own
// sizes (the total counts the de-installer in); or a text that is no program,
// whose record the pass cannot write, so that the pass completes with a
// failure.
enum class Deinstaller { kBuilt, kTiny, kNotAProgram };

// The sample installer, changed by `edit` before it is built.
std::string BuildWindowInstaller(const std::string& name,
    const std::function<void(Json&)>& edit = {}, Deinstaller deinstaller = Deinstaller::kBuilt)
{
    std::string sample = CopySample();
    std::string project = sample + "/project.json";
    if (edit) {
        Json json = Json::parse(ReadBytes(project));
        edit(json);
        std::ofstream(project) << json.dump(2);
    }
    std::string installer = brenvik::test::MakeTempFolder("built") + "/" + name;
    brenvik::BuildOptions options = BuildOptionsFor(project, installer);
    if (deinstaller == Deinstaller::kTiny) {
        // An empty resource file: the pass can still write the
        // de-installer's own record into it.
        options.deinstallerProgram = sample + "/deinstaller";
        std::ofstream(options.deinstallerProgram).close();
        BResources resources;
        EXPECT_EQ(resources.SetTo(options.deinstallerProgram.c_str(), B_READ_WRITE, true), B_OK);
        EXPECT_EQ(resources.Sync(), B_OK);
    } else if (deinstaller == Deinstaller::kNotAProgram) {
        options.deinstallerProgram = sample + "/deinstaller";
        std::ofstream(options.deinstallerProgram) << "not a program\n";
    }
    brenvik::InstallerBuilder builder;
    status_t status = builder.Build(options);
    std::string problems = builder.ErrorText();
    for (const brenvik::ProjectProblem& problem : builder.Problems())
        problems += "\n" + problem.path + ": " + problem.text;
    EXPECT_EQ(status, B_OK) << name << problems;
    return installer;
}

struct Outcome {
    int status = -1;
    std::string output;
};

// Runs the installer headless with the script's lines (and more of the
// environment, given as "NAME='value' ").
Outcome RunInstaller(
    const std::string& installer, const std::string& script, const std::string& environment = "")
{
    std::string scriptFile = brenvik::test::MakeTempFolder("script") + "/script.txt";
    std::ofstream(scriptFile) << "timeout 30\n" << script;
    auto [status, output] = RunCommand("BRENVIK_DISPLAY=headless " + environment
        + "BRENVIK_UI_SCRIPT='" + scriptFile + "' '" + installer + "' 2>&1");
    return { status, output };
}

// The line of a dump that shows the view `name`, without its indentation.
std::string ViewLine(const std::string& dump, const std::string& name)
{
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.compare(start, name.size() + 1, name + " ") == 0)
            return line.substr(start);
    }
    return "";
}

std::string TextOf(const std::string& dump, const std::string& name)
{
    std::string line = ViewLine(dump, name);
    size_t at = line.find(" text=\"");
    if (at == std::string::npos)
        return "";
    size_t end = line.find('"', at + 7);
    return line.substr(at + 7, end - at - 7);
}

std::string SelectedOf(const std::string& dump, const std::string& name)
{
    std::string line = ViewLine(dump, name);
    size_t at = line.find(" selected=");
    return at == std::string::npos ? "" : line.substr(at + 10, line.find(' ', at + 10) - at - 10);
}

std::string WithoutLine(const std::string& dump, const std::string& name)
{
    std::string line = ViewLine(dump, name);
    std::string rest = dump;
    if (!line.empty())
        rest.erase(rest.find(line), line.size());
    return rest;
}

// The dump without its focus marks.
std::string WithoutFocus(std::string dump)
{
    for (size_t at = dump.find(" focus"); at != std::string::npos; at = dump.find(" focus", at))
        dump.erase(at, 6);
    return dump;
}

bool IsHidden(const std::string& dump, const std::string& name)
{
    return ViewLine(dump, name).find(" hidden") != std::string::npos;
}

bool IsDisabled(const std::string& dump, const std::string& name)
{
    return ViewLine(dump, name).find(" disabled") != std::string::npos;
}

class InstallerWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { sSample = BuildWindowInstaller("TarselNotes-Installer"); }

    void SetUp() override
    {
        // A home of its own, so that what one test installed or chose is not
        // in the way of the next.
        fHome = brenvik::test::MakeTempFolder("home");
        fEnvironment = "HOME='" + fHome + "' XDG_CONFIG_HOME='" + fHome
            + "/.config' XDG_DATA_HOME='" + fHome + "/.local/share' XDG_STATE_HOME='" + fHome
            + "/.local/state' XDG_CACHE_HOME='" + fHome + "/.cache' BRENVIK_ROOT='" + fHome
            + "/root' BRENVIK_SCOPE=user ";
        fDumps = brenvik::test::MakeTempFolder("dumps");
        // Each test starts from the installer as it was built.
        fInstaller = brenvik::test::MakeTempFolder("run") + "/TarselNotes-Installer";
        fs::copy_file(sSample, fInstaller);
        fs::permissions(fInstaller, fs::perms::owner_all);
    }

    std::string Dump(const std::string& name) const { return fDumps + "/" + name; }
    Outcome Run(const std::string& installer, const std::string& script,
        const std::string& environment = "") const
    {
        return RunInstaller(installer, script, fEnvironment + environment);
    }

    static std::string sSample;
    std::string fHome;
    std::string fEnvironment;
    std::string fDumps;
    std::string fInstaller;
};

std::string InstallerWindowTest::sSample;

TEST_F(InstallerWindowTest, AnEmptyLicenceOpensAtTheDestinationStep)
{
    std::string installer
        = BuildWindowInstaller("NoLicence", [](Json& project) { project.erase("license_file"); });
    Outcome run = Run(
        installer, "wait-text button Install\ndump " + Dump("start") + "\nkey Ctrl+Q\nwait-quit\n");
    ASSERT_EQ(run.status, 1) << run.output;
    std::string dump = ReadBytes(Dump("start"));
    EXPECT_TRUE(IsHidden(dump, "license_box")) << dump;
    EXPECT_FALSE(IsHidden(dump, "install_box")) << dump;
    EXPECT_EQ(TextOf(dump, "instruction"), "Select destination folder and press Install");
}

struct TypeCase {
    int type;
    const char* files;
    int extraRow;
    const char* filesAfter;
};

class InstallTypeTest : public InstallerWindowTest,
                        public testing::WithParamInterface<TypeCase> { };

// An install type selects exactly its files; a file ticked by hand afterwards
// changes the total and nothing else.
TEST_P(InstallTypeTest, SelectsExactlyItsFilesAndTheTotalFollows)
{
    const TypeCase& test = GetParam();
    std::string script = "click-label Agree\ntick install_type " + std::to_string(test.type)
        + "\ndump " + Dump("type") + "\ntick custom_list " + std::to_string(test.extraRow)
        + "\nwait-enabled button\ndump " + Dump("by-hand") + "\nkey Ctrl+Q\nwait-quit\n";
    Outcome run = Run(BuildWindowInstaller("Small", {}, Deinstaller::kTiny), script);
    ASSERT_EQ(run.status, 1) << run.output;

    std::string type = ReadBytes(Dump("type"));
    std::string byHand = ReadBytes(Dump("by-hand"));
    EXPECT_EQ(SelectedOf(type, "install_type"), std::to_string(test.type)) << type;
    EXPECT_EQ(SelectedOf(type, "custom_list"), test.files) << type;
    EXPECT_EQ(SelectedOf(byHand, "install_type"), std::to_string(test.type)) << byHand;
    EXPECT_EQ(SelectedOf(byHand, "custom_list"), test.filesAfter) << byHand;
    EXPECT_NE(TextOf(type, "install_size"), TextOf(byHand, "install_size"));
    EXPECT_FALSE(IsDisabled(byHand, "button"));
}

INSTANTIATE_TEST_SUITE_P(Types, InstallTypeTest,
    testing::Values(TypeCase { 0, "0,1,3", 2, "0,1,2,3" }, TypeCase { 1, "0,2", 2, "0" }));

// The file list is a check list: a plain click on a file, as a user clicks,
// takes that one file out and leaves the others ticked. Under "Full" the
// installation then places every other file and not that one; and the total
// beside "Files" is what the ticked files take, 0 bytes with none.
TEST_F(InstallerWindowTest, APlainClickLeavesOneFileOutOfTheFullInstallation)
{
    std::string installer = BuildWindowInstaller(
        "Full",
        [](Json& project) {
            project["groups"].insert(project["groups"].begin(),
                Json { { "group_name", "Full" }, { "group_description", "Everything" } });
            for (Json& item : project["install_instructions"])
                item["groups"] = item["groups"].get<std::string>() + "Full;";
        },
        Deinstaller::kTiny);
    std::string script = "click-label Agree\nwait-text button Install\ndump " + Dump("full")
        + "\nclick-row custom_list 1\ndump " + Dump("one-out")
        + "\nclick-row custom_list 0\nclick-row custom_list 2\nclick-row custom_list 3\ndump "
        + Dump("none") + "\nclick-row custom_list 1\ndump " + Dump("read-me")
        + "\nclick-row custom_list 1\nclick-row custom_list 0\nclick-row custom_list 2"
          "\nclick-row custom_list 3\ndump "
        + Dump("again") + "\nclick-label Install\nwait-text instruction Installation Complete"
        + "\nalert OK\nwait-quit\n";
    Outcome run = Run(installer, script);
    ASSERT_EQ(run.status, 0) << run.output;

    std::string full = ReadBytes(Dump("full"));
    std::string oneOut = ReadBytes(Dump("one-out"));
    std::string none = ReadBytes(Dump("none"));
    EXPECT_EQ(SelectedOf(full, "install_type"), "0") << full;
    EXPECT_EQ(SelectedOf(full, "custom_list"), "0,1,2,3") << full;
    EXPECT_EQ(SelectedOf(oneOut, "custom_list"), "0,2,3") << oneOut;
    EXPECT_EQ(SelectedOf(none, "custom_list"), "-") << none;
    EXPECT_EQ(TextOf(none, "install_size"), "0 bytes") << none;
    EXPECT_TRUE(IsDisabled(none, "button")) << none;
    // The read-me alone: its own bytes.
    EXPECT_EQ(TextOf(ReadBytes(Dump("read-me")), "install_size"),
        std::to_string(fs::file_size(CopySample() + "/payload/ReadMe.txt")) + " bytes");
    std::string again = ReadBytes(Dump("again"));
    EXPECT_EQ(SelectedOf(again, "custom_list"), "0,2,3") << again;
    EXPECT_EQ(TextOf(again, "install_size"), TextOf(oneOut, "install_size"));

    std::string folder = fHome + "/.local/opt/TarselNotes";
    EXPECT_TRUE(fs::exists(folder + "/Notes.app/notes")) << run.output;
    EXPECT_TRUE(fs::exists(folder + "/notes-latest"));
    EXPECT_TRUE(fs::exists(fHome + "/.config/Tarsel/Notes/Sounds"));
    EXPECT_FALSE(fs::exists(folder + "/ReadMe.txt"));
}

TEST_F(InstallerWindowTest, ALanguageSwitchChangesEveryTextAndHoldsAtTheNextStart)
{
    Outcome first = Run(fInstaller,
        "wait-text button Agree\ndump " + Dump("english") + "\nchoose options German\n"
            + "wait-text button Zustimmen\ndump " + Dump("switched") + "\nkey Ctrl+Q\nwait-quit\n");
    ASSERT_EQ(first.status, 1) << first.output;
    Outcome second = Run(fInstaller,
        "wait-text button Zustimmen\ndump " + Dump("again") + "\nkey Ctrl+Q\nwait-quit\n");
    ASSERT_EQ(second.status, 1) << second.output;

    std::string english = ReadBytes(Dump("english"));
    std::string switched = ReadBytes(Dump("switched"));
    for (const char* view :
        { "license_box", "install_type_label", "file_label", "instruction", "button" }) {
        EXPECT_NE(TextOf(english, view), TextOf(switched, view)) << view;
        EXPECT_FALSE(TextOf(switched, view).empty()) << view;
    }
    EXPECT_NE(ViewLine(switched, "options").find("Deutsch*"), std::string::npos) << switched;
    // The same window at the next start (but for the free space, which
    // changes as other programs write, and the focus, which the menu chosen
    // from took).
    EXPECT_EQ(WithoutFocus(WithoutLine(switched, "volume_size")),
        WithoutFocus(WithoutLine(ReadBytes(Dump("again")), "volume_size")));
}

// The view shows the destination cut to its width, so what the window
// chose is judged by where the installation then goes.
TEST_F(InstallerWindowTest, AnExistingInstallationFolderIsReplacedOnlyWhenTheUserSaysSo)
{
    std::string taken = brenvik::test::MakeTempFolder("taken");
    fs::create_directories(taken + "/TarselNotes");
    std::string script = "click-label Agree\ndump " + Dump("before") + "\nclick folder\npanel "
        + taken + "\nalert Cancel\ndump " + Dump("cancelled") + "\npanel " + taken
        + "\nalert Replace\ndump " + Dump("replaced")
        + "\nclick-label Install\nwait-text instruction Installation Complete\nalert OK\n"
          "wait-quit\n";
    Outcome run = Run(fInstaller, script);
    ASSERT_EQ(run.status, 0) << run.output;
    // The opening sound, on a machine without a sound card (as here), is
    // silent and says nothing about it.
    EXPECT_EQ(run.output.find("ALSA"), std::string::npos) << run.output;

    std::string before = TextOf(ReadBytes(Dump("before")), "destination");
    std::string cancelled = ReadBytes(Dump("cancelled"));
    EXPECT_EQ(TextOf(cancelled, "destination"), before);
    // The panel is still open for another choice.
    EXPECT_NE(cancelled.find("window \""), cancelled.rfind("window \"")) << cancelled;
    std::string replaced = ReadBytes(Dump("replaced"));
    EXPECT_NE(TextOf(replaced, "destination"), before);
    EXPECT_EQ(replaced.find("window \""), replaced.rfind("window \"")) << replaced;
    EXPECT_TRUE(fs::exists(taken + "/TarselNotes/ReadMe.txt")) << run.output;
    EXPECT_FALSE(fs::exists(fHome + "/.local/opt/TarselNotes"));
}

TEST_F(InstallerWindowTest, AFailedPassReturnsToTheDestinationStep)
{
    // The install record cannot be written where a file stands in the way, so
    // the pass refuses to install anything.
    std::string data = brenvik::test::MakeTempFolder("data");
    std::ofstream(data + "/brenvik") << "in the way\n";
    Outcome run = Run(fInstaller,
        "click-label Agree\nclick-label Install\nalert OK\nwait-text button Install\n"
        "wait-enabled button\ndump "
            + Dump("after") + "\nkey Ctrl+Q\nwait-quit\n",
        "XDG_DATA_HOME='" + data + "' ");
    ASSERT_EQ(run.status, 1) << run.output;
    std::string after = ReadBytes(Dump("after"));
    EXPECT_FALSE(IsDisabled(after, "folder")) << after;
    EXPECT_FALSE(IsDisabled(after, "volume")) << after;
    EXPECT_FALSE(IsDisabled(after, "button")) << after;
    EXPECT_EQ(TextOf(after, "instruction"), "Select destination folder and press Install");
}

TEST_F(InstallerWindowTest, ACompletedInstallationEndsTheProgramWithSuccess)
{
    Outcome run = Run(fInstaller,
        "click-label Agree\nclick-label Install\nwait-text instruction Installation Complete\n"
        "alert OK\nwait-quit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    std::string folder = fHome + "/.local/opt/TarselNotes";
    EXPECT_TRUE(fs::exists(folder + "/Notes.app/notes")) << run.output;
    EXPECT_TRUE(fs::exists(folder + "/ReadMe.txt"));
    // "Typical" does not take the sounds.
    EXPECT_TRUE(fs::exists(folder + "/notes-latest"));
    EXPECT_FALSE(fs::exists(fHome + "/.config/Tarsel/Notes/Sounds"));
}

// Root installs for every user of the machine, and step 2 says so.
TEST_F(InstallerWindowTest, AnInstallationForEveryUserSaysSoAtTheDestinationStep)
{
    Outcome run = Run(fInstaller,
        "click-label Agree\nwait-text instruction For all users: select a folder and press "
        "Install\nkey Ctrl+Q\nwait-quit\n",
        "BRENVIK_SCOPE=system ");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.output.find("did not happen"), std::string::npos) << run.output;
}

// Starting the installer and quitting at the licence leaves the user's home
// as it was: no folder of its own data, no entry in the type store.
TEST_F(InstallerWindowTest, StartingAndQuittingAtTheLicenceLeavesNothingBehind)
{
    auto tree = [&] {
        std::vector<std::string> paths;
        for (const auto& entry : fs::recursive_directory_iterator(fHome))
            paths.push_back(entry.path().string());
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    fs::create_directories(fHome + "/.local/share");
    std::vector<std::string> before = tree();
    Outcome run = Run(fInstaller, "wait-text button Agree\nkey Ctrl+Q\nwait-quit\n");
    ASSERT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(tree(), before);
}

// The second click of a double click on Install arrives once the button has
// become Stop: it is not taken for a stop.
TEST_F(InstallerWindowTest, ADoubleClickOnInstallInstalls)
{
    Outcome run = Run(fInstaller,
        "click-label Agree\ndouble-click-label Install\nwait-text instruction Installation "
        "Complete\ndump "
            + Dump("complete") + "\nalert OK\nwait-quit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(fHome + "/.local/opt/TarselNotes/Notes.app/notes")) << run.output;
    // The pass is complete: nothing left to stop.
    std::string complete = ReadBytes(Dump("complete"));
    EXPECT_EQ(TextOf(complete, "button"), "Done") << complete;
    EXPECT_TRUE(IsDisabled(complete, "button")) << complete;
}

// Installing over an earlier installation asks first and says that the
// earlier folder, with what the user changed in it, goes to the trash. Its
// removal later leaves the earlier copy in the trash, where the user put it.
TEST_F(InstallerWindowTest, AReinstallAsksAndItsRemovalLeavesTheEarlierCopyInTheTrash)
{
    std::string installed = "click-label Agree\nclick-label Install\nwait-text instruction "
                            "Installation Complete\nalert OK\nwait-quit\n";
    Outcome first = Run(fInstaller, installed);
    ASSERT_EQ(first.status, 0) << first.output;
    std::string folder = fHome + "/.local/opt/TarselNotes";
    std::ofstream(folder + "/ReadMe.txt") << "edited by the user\n";

    Outcome second = Run(fInstaller,
        "click-label Agree\nalert OK\nclick-label Install\nwait-text _tv_ \"An earlier "
        "installation is in '~/.local/opt/TarselNotes'. Replace it? The earlier folder goes to "
        "the Trash, with every file in it, also the ones you changed.\"\nalert Cancel\ndump "
            + Dump("cancelled") + "\nclick-label Install\nalert Replace\n"
            + "wait-text instruction Installation Complete\nalert OK\nwait-quit\n");
    ASSERT_EQ(second.status, 0) << second.output;
    std::string cancelled = ReadBytes(Dump("cancelled"));
    EXPECT_EQ(TextOf(cancelled, "button"), "Install") << cancelled;

    std::string trash = fHome + "/.local/share/Trash/files";
    std::string earlier;
    for (const auto& entry : fs::directory_iterator(trash)) {
        if (ReadBytes(entry.path().string() + "/ReadMe.txt") == "edited by the user\n")
            earlier = entry.path();
    }
    ASSERT_FALSE(earlier.empty()) << second.output;
    EXPECT_NE(ReadBytes(folder + "/ReadMe.txt"), "edited by the user\n");

    auto [status, output]
        = RunCommand(fEnvironment + "'" + folder + "/Tarsel Notes 1.0.2 Deinstaller' --unattended");
    EXPECT_EQ(status, 0) << output;
    EXPECT_FALSE(fs::exists(folder)) << output;
    EXPECT_EQ(ReadBytes(earlier + "/ReadMe.txt"), "edited by the user\n") << output;
}

// The question before a reinstall, in English and in German, against golden
// pictures: the installation folder is shown from "~", so the picture is the
// same in every sandbox.
class ReinstallGoldenTest : public InstallerWindowTest,
                            public testing::WithParamInterface<const char*> { };

TEST_P(ReinstallGoldenTest, ShowsTheQuestionAsItShould)
{
    bool german = std::string(GetParam()) == "de";
    fs::create_directories(fHome + "/.local/opt/TarselNotes");
    std::string script = std::string(german ? "choose options German\nclick-label Zustimmen\n"
                                            : "click-label Agree\n")
        + "alert OK\nclick-label " + (german ? "Installieren" : "Install")
        + "\nscreenshot-window \"Tarsel Notes\" " + Dump("question.png") + "\nalert "
        + (german ? "Abbrechen" : "Cancel") + "\nkey Ctrl+Q\nwait-quit\n";
    Outcome run = Run(fInstaller, script);
    ASSERT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(brenvik::test::PngMatchesGolden(
        std::string("installer/reinstall-") + GetParam(), Dump("question.png")));
}

INSTANTIATE_TEST_SUITE_P(Languages, ReinstallGoldenTest, testing::Values("en", "de"));

// A fresh account has no ~/.local yet (its XDG folders elsewhere, as some
// desktops set them): the applications folder under it is still what the
// window offers, the pass makes it, and the removal takes every folder it
// made away again.
TEST_F(InstallerWindowTest, AFreshAccountIsOfferedItsApplicationsFolderAndKeptAsItWas)
{
    std::string fresh = fHome + "/fresh";
    std::string xdg = fHome + "/xdg";
    fs::create_directories(fresh);
    std::string environment = "HOME='" + fresh + "' XDG_CONFIG_HOME='" + xdg
        + "/config' XDG_DATA_HOME='" + xdg + "/data' XDG_STATE_HOME='" + xdg
        + "/state' XDG_CACHE_HOME='" + xdg + "/cache' ";
    std::string offered = fresh + "/.local/opt";
    Outcome run = Run(fInstaller,
        "click-label Agree\nclick-label Install\nwait-text instruction Installation "
        "Complete\nalert OK\nwait-quit\n",
        environment);
    ASSERT_EQ(run.status, 0) << run.output;
    // Where the window's Install put it, untouched by the user.
    std::string folder = offered + "/TarselNotes";
    EXPECT_TRUE(fs::exists(folder + "/ReadMe.txt")) << run.output;

    auto [removed, removal] = RunCommand(environment + "BRENVIK_SCOPE=user BRENVIK_ROOT='" + fHome
        + "/root' env -u DISPLAY -u WAYLAND_DISPLAY '" + folder
        + "/Tarsel Notes 1.0.2 Deinstaller' --unattended </dev/null 2>&1");
    EXPECT_EQ(removed, 0) << removal;
    EXPECT_EQ(PathsBelow(fresh), std::set<std::string>()) << removal;
}

// Under sudo, root's window is clicked by the user at the screen alone: a
// caller who keeps her environment (sudo -E) cannot drive it with a UI
// script. The script that completes an installation above is ignored; the
// window waits until it is ended.
TEST_F(InstallerWindowTest, RootStartedBySudoIgnoresTheUiScript)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "the rule is about root";
    std::string script = brenvik::test::MakeTempFolder("script") + "/script.txt";
    std::ofstream(script) << "timeout 30\nclick-label Agree\nclick-label Install\n"
                             "wait-text instruction Installation Complete\nalert OK\nwait-quit\n";
    auto [status, output] = RunCommand("BRENVIK_DISPLAY=headless " + fEnvironment
        + "SUDO_UID=64123 BRENVIK_UI_SCRIPT='" + script + "' timeout -k 2 4 '" + fInstaller
        + "' 2>&1");
    EXPECT_EQ(status, 124) << output;
    EXPECT_FALSE(fs::exists(fHome + "/.local/opt/TarselNotes")) << output;
}

// The sample with its read-me going to the user's settings folder, where one
// is already: the pass stops at the replace question for it, with Notes.app
// placed and notes-latest still to come.
std::string BuildAskingInstaller(Deinstaller deinstaller = Deinstaller::kBuilt)
{
    return BuildWindowInstaller(
        "Asking",
        [](Json& project) {
            project["install_instructions"][1]["install_meta"]["destination"] = "User Settings";
        },
        deinstaller);
}

// "Don't Replace" keeps the user's file and puts the new one nowhere; the
// questions are titled with the product, and a close box answers as the
// cancel button does.
TEST_F(InstallerWindowTest, DontReplaceKeepsTheExistingFileAndPlacesNothing)
{
    fs::create_directories(fHome + "/.config");
    std::ofstream(fHome + "/.config/ReadMe.txt") << "the user's own\n";
    Outcome run = Run(BuildAskingInstaller(),
        "click-label Agree\nclick-label Install\nwait-text _b1_ Replace\ndump " + Dump("question")
            + "\nalert Don't Replace\nwait-text _b0_ OK\ndump " + Dump("complete")
            + "\nclose Tarsel Notes\nwait-quit\n");
    ASSERT_EQ(run.status, 0) << run.output;

    std::string question = ReadBytes(Dump("question"));
    EXPECT_NE(question.find("window \"Tarsel Notes\" active"), std::string::npos) << question;
    EXPECT_NE(TextOf(question, "_tv_").find("Do you wish to replace existing?"), std::string::npos)
        << question;
    // The files as they are: their data's size, their type.
    EXPECT_EQ(TextOf(question, "to_size"), "15 bytes") << question;
    EXPECT_EQ(TextOf(question, "to_kind"), "text/plain") << question;
    EXPECT_EQ(TextOf(question, "from_kind"), "text/plain") << question;
    EXPECT_EQ(TextOf(question, "from_size"),
        std::to_string(
            fs::file_size(brenvik::test::TestDataPath("../examples/sample/payload/ReadMe.txt")))
            + " bytes")
        << question;
    std::string complete = ReadBytes(Dump("complete"));
    EXPECT_NE(complete.find("window \"Tarsel Notes\""), std::string::npos) << complete;

    std::string folder = fHome + "/.local/opt/TarselNotes";
    EXPECT_EQ(ReadBytes(fHome + "/.config/ReadMe.txt"), "the user's own\n");
    EXPECT_FALSE(fs::exists(folder + "/ReadMe.txt"));
    EXPECT_TRUE(fs::exists(folder + "/Notes.app/notes"));
    std::string log = ReadBytes(folder + "/Log");
    EXPECT_NE(
        log.find("User desired not to place item in " + fHome + "/.config"), std::string::npos)
        << log;
    for (const auto& entry : fs::recursive_directory_iterator(fHome)) {
        EXPECT_EQ(entry.path().filename().string().rfind(".brenvik-", 0), std::string::npos)
            << entry.path();
        if (entry.path().filename() == "ReadMe.txt") {
            EXPECT_EQ(entry.path().string(), fHome + "/.config/ReadMe.txt");
        }
    }
}

// The folder panel speaks the installer's language, opens at the
// destination, makes a new folder, takes a typed path and looks as recorded.
class FolderPanelTest : public InstallerWindowTest,
                        public testing::WithParamInterface<const char*> { };

TEST_P(FolderPanelTest, OpensAtTheDestinationMakesAFolderAndTakesATypedPath)
{
    std::string language = std::string(GetParam()).substr(0, 2);
    bool german = language == "de";
    // Through SDL on an X server the panel must look the same, whole to its
    // bottom edge.
    brenvik::test::XvfbServer server;
    std::string display;
    if (std::string(GetParam()).find("xvfb") != std::string::npos) {
        std::string xvfb = brenvik::test::FindProgram("Xvfb");
        if (xvfb.empty())
            GTEST_SKIP() << "Xvfb is not installed; the panel through SDL is not checked";
        ASSERT_TRUE(server.Start(215, 259, "1024x768x24", xvfb)) << "Xvfb did not start";
        display = "BRENVIK_DISPLAY=sdl SDL_VIDEODRIVER=x11 DISPLAY='" + server.Display()
            + "' WAYLAND_DISPLAY= ";
    }
    std::string title = german ? "Zielordner" : "Destination Folder";
    std::string choose = german ? "Auswählen" : "Choose";
    std::string create = german ? "Erstellen" : "Create";
    fs::create_directories(fHome + "/.local/opt");
    fs::create_directories(fHome + "/.local/share/Existing");
    // Hidden: it sorts first once hidden folders are shown.
    fs::create_directories(fHome + "/.local/share/.secret");
    std::string script = std::string(german ? "choose options German\n" : "") + "click-label "
        + (german ? "Zustimmen" : "Agree") + "\nclick folder\nwait-window " + title + "\ndump "
        + Dump("opened") + "\nscreenshot-window \"" + title + "\" " + Dump("panel.png")
        + "\nclick new-folder\ntype new-folder-name Programme\nalert " + create + "\nclick-label "
        + choose + "\nclick folder\nwait-window " + title + "\ndump " + Dump("made")
        + "\ntype path ~/.local/share\nkey Enter\nkey Enter\nclick folder\n" + "wait-window "
        + title + "\ndump " + Dump("typed") + "\nclick hidden\ntick entries 0\nclick-label "
        + choose + "\nclick folder\nwait-window " + title + "\ndump " + Dump("hidden")
        + "\nkey Escape\nkey Ctrl+Q\nwait-quit\n";
    Outcome run = Run(fInstaller, script, display);
    ASSERT_EQ(run.status, 1) << run.output;
    if (!display.empty()) {
        ASSERT_EQ(run.output.find("running headless"), std::string::npos) << run.output;
    }

    std::string opened = ReadBytes(Dump("opened"));
    EXPECT_NE(opened.find("window \"" + title + "\""), std::string::npos) << opened;
    EXPECT_EQ(TextOf(opened, "default"), choose) << opened;
    EXPECT_EQ(
        TextOf(opened, "hidden"), german ? "Versteckte Ordner anzeigen" : "Show hidden folders");
    // At the destination itself, not above the home folder.
    EXPECT_NE(opened.find("|opt*\""), std::string::npos) << opened;
    EXPECT_TRUE(fs::is_directory(fHome + "/.local/opt/Programme"));
    EXPECT_NE(ReadBytes(Dump("made")).find("|Programme*\""), std::string::npos)
        << ReadBytes(Dump("made"));
    EXPECT_NE(ReadBytes(Dump("typed")).find("|share*\""), std::string::npos)
        << ReadBytes(Dump("typed"));
    EXPECT_EQ(TextOf(ReadBytes(Dump("typed")), "path"), "");
    // A hidden folder, shown and chosen.
    EXPECT_NE(ReadBytes(Dump("hidden")).find("|.secret*\""), std::string::npos)
        << ReadBytes(Dump("hidden"));
    using brenvik::test::RgbaImage;
    RgbaImage image;
    std::string error;
    ASSERT_TRUE(brenvik::test::ReadPng(Dump("panel.png"), &image, &error)) << error;
    EXPECT_TRUE(brenvik::test::MatchesGolden("installer/folder-panel-" + language, image));
}

INSTANTIATE_TEST_SUITE_P(Languages, FolderPanelTest, testing::Values("en", "de", "en-xvfb"),
    [](const testing::TestParamInfo<const char*>& param) {
        std::string name = param.param;
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        return name;
    });

TEST_F(InstallerWindowTest, QuittingDuringThePassStopsItAndSaysSo)
{
    fs::create_directories(fHome + "/.config");
    std::ofstream(fHome + "/.config/ReadMe.txt") << "the user's own\n";
    Outcome run = Run(BuildAskingInstaller(),
        "click-label Agree\nclick-label Install\nwait-text instruction Installing 2 of 3 "
        "(ReadMe.txt)\nkey Ctrl+Q\nwait-text _tv_ Installation was stopped before it could "
        "complete.\nalert OK\nwait-quit\n");
    ASSERT_EQ(run.status, 1) << run.output;

    std::string folder = fHome + "/.local/opt/TarselNotes";
    EXPECT_TRUE(fs::exists(folder + "/Notes.app/notes"));
    EXPECT_FALSE(fs::exists(folder + "/notes-latest"));
    EXPECT_EQ(ReadBytes(fHome + "/.config/ReadMe.txt"), "the user's own\n");
    EXPECT_NE(ReadBytes(folder + "/Log").find("Installation Stopped"), std::string::npos);
    for (const auto& entry : fs::recursive_directory_iterator(fHome))
        EXPECT_EQ(entry.path().filename().string().rfind(".brenvik-", 0), std::string::npos)
            << entry.path();

    // The record names what was done and nothing more.
    std::string journal;
    for (const auto& entry : fs::recursive_directory_iterator(fHome + "/.local/share/brenvik")) {
        if (entry.path().filename() == "journal")
            journal = entry.path();
    }
    auto [status, record]
        = RunCommand("'" + ProgramPath("brenvik-inspect") + "' record '" + journal + "'");
    ASSERT_EQ(status, 0) << record;
    EXPECT_NE(record.find("State: stopped"), std::string::npos) << record;
    EXPECT_NE(record.find(folder + "/Notes.app\""), std::string::npos) << record;
    EXPECT_EQ(record.find("notes-latest"), std::string::npos) << record;
}

// Closing the window while the pass waits on a question asks first; "Stop"
// stops the pass there, and the offer to take away what it placed leaves
// the home as it was before.
TEST_F(InstallerWindowTest, AStoppedPassOffersToTakeAwayWhatItPlaced)
{
    fs::create_directories(fHome + "/.config");
    std::ofstream(fHome + "/.config/ReadMe.txt") << "the user's own\n";
    auto tree = [&] {
        std::vector<std::string> paths;
        for (const auto& entry : fs::recursive_directory_iterator(fHome)) {
            std::string path = entry.path().string();
            // Brenvik's own state: the record of the removal.
            if (path.find("/.local/share/brenvik") == std::string::npos)
                paths.push_back(path);
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    fs::create_directories(fHome + "/.local/share");
    std::vector<std::string> before = tree();
    Outcome run = Run(BuildAskingInstaller(),
        "click-label Agree\nclick-label Install\nwait-text _b1_ Replace\nclose Asking\n"
        "alert Stop\nwait-text _tv_ \"The installation was stopped before it could complete. "
        "What it placed so far is still in '~/.local/opt/TarselNotes'. Remove it?\"\n"
        "alert \"Undo it\"\nwait-quit\n");
    ASSERT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(ReadBytes(fHome + "/.config/ReadMe.txt"), "the user's own\n");
    EXPECT_EQ(tree(), before);
}

// The window asks on its own thread whether to use a folder whose
// installation folder exists; quitting then closes the question unanswered
// and the program ends, instead of waiting for an answer nobody gives.
class QuitAtQuestionTest : public InstallerWindowTest,
                           public testing::WithParamInterface<const char*> { };

TEST_P(QuitAtQuestionTest, EndsTheProgram)
{
    std::string taken = brenvik::test::MakeTempFolder("taken");
    fs::create_directories(taken + "/TarselNotes");
    fs::create_directories(fHome + "/.local/opt/TarselNotes");
    std::string question = GetParam();
    std::string script = question == "notice" ? "click-label Agree\nwait-text _b0_ OK\n"
                                              : "click-label Agree\nalert OK\nclick folder\npanel "
            + taken + "\nwait-text _b1_ Replace\n";
    Outcome run = Run(fInstaller, script + "key Ctrl+Q\ntimeout 10\nwait-quit\n");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_FALSE(fs::exists(taken + "/TarselNotes/ReadMe.txt"));
}

INSTANTIATE_TEST_SUITE_P(Questions, QuitAtQuestionTest, testing::Values("notice", "replace"));

struct CompletionCase {
    const char* name;
    Deinstaller deinstaller;
    int status;
};

void PrintTo(const CompletionCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class QuitAtCompletionTest : public InstallerWindowTest,
                             public testing::WithParamInterface<CompletionCase> { };

// A pass that has done its work and shows its completion message has
// nothing left to stop: quitting there closes the message, tells nothing of
// a stop, and ends the program with the pass's own outcome. (Told of a stop,
// the program would wait for that box and miss the deadline.)
TEST_P(QuitAtCompletionTest, EndsWithThePassOutcomeAndNoWordOfAStop)
{
    Outcome run = Run(BuildAskingInstaller(GetParam().deinstaller),
        "click-label Agree\nclick-label Install\nwait-text instruction Installation Complete\n"
        "wait-text _b0_ OK\nkey Ctrl+Q\ntimeout 10\nwait-quit\n");
    EXPECT_EQ(run.status, GetParam().status) << run.output;
    EXPECT_EQ(run.output.find("UI script"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::exists(fHome + "/.local/opt/TarselNotes/notes-latest")) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Passes, QuitAtCompletionTest,
    testing::Values(CompletionCase { "Completed", Deinstaller::kBuilt, 0 },
        // The de-installer cannot be made.
        CompletionCase { "WithAFailure", Deinstaller::kNotAProgram, 1 }),
    [](const testing::TestParamInfo<CompletionCase>& param) {
        return std::string(param.param.name);
    });

// The whole walk with the keyboard alone: the licence, the file list, the
// disks menu, installing and the replace question, headless and through SDL
// on an X server. The dumps show where the focus is at each step.
struct KeyWalkCase {
    const char* name;
    bool xvfb;
    // How the replace question is answered, and whether that replaces.
    const char* answer;
    bool replaces;
};

void PrintTo(const KeyWalkCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class KeyboardWalkTest : public InstallerWindowTest,
                         public testing::WithParamInterface<KeyWalkCase> {
protected:
    bool HasFocus(const std::string& step, const std::string& view) const
    {
        return ViewLine(ReadBytes(Dump(step)), view).find(" focus") != std::string::npos;
    }
    std::string Line(const std::string& step, const std::string& view) const
    {
        return ViewLine(ReadBytes(Dump(step)), view);
    }
};

TEST_P(KeyboardWalkTest, InstallsAndAnswersTheReplaceQuestionWithKeysAlone)
{
    brenvik::test::XvfbServer server;
    std::string display;
    if (GetParam().xvfb) {
        std::string xvfb = brenvik::test::FindProgram("Xvfb");
        if (xvfb.empty())
            GTEST_SKIP() << "Xvfb is not installed; the walk through SDL is not checked";
        ASSERT_TRUE(server.Start(215, 259, "1024x768x24", xvfb)) << "Xvfb did not start";
        display = "BRENVIK_DISPLAY=sdl SDL_VIDEODRIVER=x11 DISPLAY='" + server.Display()
            + "' WAYLAND_DISPLAY= ";
    }
    fs::create_directories(fHome + "/.config");
    std::ofstream(fHome + "/.config/ReadMe.txt") << "the user's own\n";
    std::string script = "wait-text button Agree\n"
                         "key Tab\ndump "
        + Dump("licence") + "\nkey PageDown\nkey Tab\nkey Tab\ndump " + Dump("options")
        + "\nkey Shift+Tab\nkey Enter\nwait-text button Install\nwait-enabled button\n"
          "key Tab\nkey Tab\ndump "
        + Dump("types") + "\nkey Tab\nkey Down\nkey Down\nkey Down\ndump " + Dump("moved")
        + "\nkey Space\ndump " + Dump("unticked") + "\nkey Space\ndump " + Dump("reticked")
        + "\nkey Tab\nkey Space\ndump " + Dump("menu") + "\nkey Down\nkey Escape\ndump "
        + Dump("closed") + "\nkey Tab\ndump " + Dump("folder")
        + "\nkey Tab\nwait-enabled button\nkey Enter\n" + "wait-text _b1_ Replace\nkey Tab\ndump "
        + Dump("question") + "\nkey " + GetParam().answer
        + "\nwait-text _b0_ OK\nkey Enter\nwait-quit\n";
    Outcome run = Run(BuildAskingInstaller(), script, display);
    ASSERT_EQ(run.status, 0) << run.output;
    if (GetParam().xvfb) {
        ASSERT_EQ(run.output.find("running headless"), std::string::npos) << run.output;
    }

    EXPECT_TRUE(HasFocus("licence", "license_text")) << ReadBytes(Dump("licence"));
    EXPECT_TRUE(HasFocus("options", "options")) << ReadBytes(Dump("options"));
    EXPECT_TRUE(HasFocus("types", "install_type")) << ReadBytes(Dump("types"));
    // The arrows move the current row of the file list, not its selection;
    // Space takes the file out and puts it back.
    std::string moved = ReadBytes(Dump("moved"));
    EXPECT_NE(ViewLine(moved, "custom_list").find(" focus"), std::string::npos) << moved;
    EXPECT_EQ(SelectedOf(moved, "custom_list"), "0,1,3") << moved;
    EXPECT_NE(ViewLine(moved, "custom_list").find(" current=3"), std::string::npos) << moved;
    EXPECT_EQ(SelectedOf(ReadBytes(Dump("unticked")), "custom_list"), "0,1");
    EXPECT_EQ(SelectedOf(ReadBytes(Dump("reticked")), "custom_list"), "0,1,3");
    // The disks menu (the field "menu" of "volume") opened at its chosen
    // disk; Escape closed it unchanged.
    std::string menu = Line("menu", "menu");
    std::string chosen = TextOf(ReadBytes(Dump("menu")), "menu");
    EXPECT_NE(menu.find(" focus"), std::string::npos) << menu;
    EXPECT_NE(menu.find(" open highlight=\"" + chosen + "\""), std::string::npos) << menu;
    std::string closed = Line("closed", "menu");
    EXPECT_EQ(closed.find(" open"), std::string::npos) << closed;
    EXPECT_EQ(TextOf(ReadBytes(Dump("closed")), "menu"), chosen);
    EXPECT_TRUE(HasFocus("folder", "folder")) << ReadBytes(Dump("folder"));
    // In the question, Tab goes first to its check box.
    EXPECT_TRUE(HasFocus("question", "future_collisions")) << ReadBytes(Dump("question"));

    std::string folder = fHome + "/.local/opt/TarselNotes";
    EXPECT_TRUE(fs::exists(folder + "/Notes.app/notes"));
    EXPECT_TRUE(fs::exists(folder + "/notes-latest"));
    EXPECT_EQ(ReadBytes(fHome + "/.config/ReadMe.txt") == "the user's own\n", !GetParam().replaces);
}

INSTANTIATE_TEST_SUITE_P(Walks, KeyboardWalkTest,
    testing::Values(KeyWalkCase { "HeadlessKeeping", false, "Escape", false },
        KeyWalkCase { "HeadlessReplacing", false, "Enter", true },
        KeyWalkCase { "SdlOnXvfbKeeping", true, "Escape", false }),
    [](const testing::TestParamInfo<KeyWalkCase>& param) { return std::string(param.param.name); });

// The window at each step, in English and in German, against golden
// pictures. One part of the window shows the machine (the boot volume's name
// and free space); it is painted over before the comparison, and everything
// else must match exactly, the installation folder too (below the sandbox's
// home, it reads "~/.local/opt/TarselNotes" on every machine).
class InstallerGoldenTest : public InstallerWindowTest,
                            public testing::WithParamInterface<const char*> {
protected:
    // "en", "de", "en-xvfb" (the English walk through the SDL display on an
    // X server, which must draw the same pictures as the headless one), and
    // the same at a scale factor: "en-2x", "de-1.5x", "en-2x-xvfb".
    std::string Language() const { return std::string(GetParam()).substr(0, 2); }
    bool OnXvfb() const { return std::string(GetParam()).find("xvfb") != std::string::npos; }
    std::string ScaleText() const
    {
        std::string param = GetParam();
        size_t x = param.find('x', 3);
        if (param.size() < 4 || x == std::string::npos || param[3] == 'x')
            return "";
        return param.substr(3, x - 3);
    }
    float Scale() const { return ScaleText().empty() ? 1 : std::stof(ScaleText()); }
    // The golden picture's name: the scale's pictures are of their own.
    std::string Golden(const std::string& step) const
    {
        std::string name = "installer/" + step + "-" + Language();
        return ScaleText().empty() ? name : name + "-" + ScaleText() + "x";
    }

    testing::AssertionResult MatchesStep(const std::string& step)
    {
        using brenvik::test::RgbaImage;
        RgbaImage image;
        std::string error;
        std::string file = Dump(step + ".png");
        if (!brenvik::test::ReadPng(file, &image, &error))
            return testing::AssertionFailure() << file << ": " << error;
        struct Mask {
            int left, top, right, bottom;
        };
        std::vector<Mask> masks;
        if (step == "destination" || step == "installing")
            masks = { Mask { 240, 154, 445, 183 } };
        float scale = Scale();
        for (Mask& mask : masks) {
            mask = Mask { int(mask.left * scale), int(mask.top * scale),
                int((mask.right + 1) * scale) - 1, int((mask.bottom + 1) * scale) - 1 };
        }
        for (const Mask& mask : masks) {
            for (int y = mask.top; y <= mask.bottom && y < image.height; y++) {
                for (int x = mask.left; x <= mask.right && x < image.width; x++) {
                    uint8_t* pixel = image.PixelAt(x, y);
                    pixel[0] = 255;
                    pixel[1] = 0;
                    pixel[2] = 255;
                    pixel[3] = 255;
                }
            }
        }
        return brenvik::test::MatchesGolden(Golden(step), image);
    }
};

TEST_P(InstallerGoldenTest, ShowsEachStepAsItShould)
{
    brenvik::test::XvfbServer server;
    std::string display;
    if (OnXvfb()) {
        std::string xvfb = brenvik::test::FindProgram("Xvfb");
        if (xvfb.empty())
            GTEST_SKIP() << "Xvfb is not installed; the SDL display is not compared with headless";
        ASSERT_TRUE(server.Start(215, 259, "1024x768x24", xvfb)) << "Xvfb did not start";
        display = "BRENVIK_DISPLAY=sdl SDL_VIDEODRIVER=x11 DISPLAY='" + server.Display()
            + "' WAYLAND_DISPLAY= ";
    }
    if (!ScaleText().empty())
        display += "BRENVIK_SCALE=" + ScaleText() + " ";
    bool german = Language() == "de";
    std::string agree = german ? "Zustimmen" : "Agree";
    std::string install = german ? "Installieren" : "Install";
    std::string replace = german ? "Ersetzen" : "Replace";
    std::string status
        = german ? "Installiere 2 von 3 (ReadMe.txt)" : "Installing 2 of 3 (ReadMe.txt)";
    fs::create_directories(fHome + "/.config");
    std::ofstream(fHome + "/.config/ReadMe.txt") << "the user's own\n";
    std::string script = std::string(german ? "choose options German\n" : "") + "wait-text button "
        + agree + "\nscreenshot " + Dump("license.png") + "\nclick-label " + agree
        + "\ntick install_type 0\nwait-text button " + install
        + "\nwait-enabled button\nscreenshot " + Dump("destination.png") + "\nclick-label "
        + install + "\nwait-text instruction " + status
        + "\nwait-enabled button\nscreenshot-window Asking " + Dump("installing.png") + "\nalert "
        + replace + "\nwait-text _b0_ OK\nscreenshot " + Dump("complete.png")
        + "\nalert OK\nwait-quit\n";
    // The de-installer of a few bytes keeps the total the same from build to
    // build.
    Outcome run = Run(BuildAskingInstaller(Deinstaller::kTiny), script, display);
    // The user's read-me is replaced (and kept among the saved files).
    ASSERT_EQ(run.status, 0) << run.output;
    if (OnXvfb()) {
        ASSERT_EQ(run.output.find("running headless"), std::string::npos) << run.output;
    }
    for (const char* step : { "license", "destination", "installing", "complete" })
        EXPECT_TRUE(MatchesStep(step)) << step;
}

INSTANTIATE_TEST_SUITE_P(Displays, InstallerGoldenTest,
    testing::Values("en", "de", "en-xvfb", "en-2x", "de-1.5x", "en-2x-xvfb"),
    [](const testing::TestParamInfo<const char*>& param) {
        std::string name = param.param;
        std::replace(name.begin(), name.end(), '.', '_');
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        return name;
    });

// At scale 2 the window is drawn afresh at twice the resolution, not the
// picture of scale 1 made bigger: the edges of its text differ. Its views
// keep their places in points, so the same clicks land on the same controls
// and the walk goes on alike.
TEST_F(InstallerWindowTest, AtTwiceTheScaleTheWindowIsDrawnAfreshAndClickedAlike)
{
    using brenvik::test::RgbaImage;
    auto walk = [&](const std::string& scale) {
        std::string script = "wait-text button Agree\nscreenshot " + Dump(scale + ".png")
            + "\ndump " + Dump(scale + "-licence") + "\nclick-label Agree\nwait-text button "
            + "Install\ndump " + Dump(scale + "-destination") + "\nkey Ctrl+Q\nwait-quit\n";
        Outcome run = Run(fInstaller, script, "BRENVIK_SCALE=" + scale + " ");
        EXPECT_EQ(run.status, 1) << "the script ran to its end\n" << run.output;
    };
    walk("1");
    walk("2");
    // (The free space may change between the runs.)
    for (const char* step : { "-licence", "-destination" }) {
        EXPECT_EQ(WithoutLine(ReadBytes(Dump(std::string("2") + step)), "volume_size"),
            WithoutLine(ReadBytes(Dump(std::string("1") + step)), "volume_size"))
            << step;
    }

    RgbaImage single;
    RgbaImage twice;
    ASSERT_TRUE(brenvik::test::ReadPng(Dump("1.png"), &single));
    ASSERT_TRUE(brenvik::test::ReadPng(Dump("2.png"), &twice));
    ASSERT_EQ(twice.width, 2 * single.width);
    ASSERT_EQ(twice.height, 2 * single.height);
    long differing = 0;
    for (int y = 0; y < twice.height; y++) {
        for (int x = 0; x < twice.width; x++) {
            const uint8_t* a = twice.PixelAt(x, y);
            const uint8_t* b = single.PixelAt(x / 2, y / 2);
            differing += a[0] != b[0] || a[1] != b[1] || a[2] != b[2] ? 1 : 0;
        }
    }
    long all = long(twice.width) * twice.height;
    EXPECT_GT(differing, all / 100) << "the text's edges are drawn at the full resolution";
    EXPECT_LT(differing, all / 4) << "yet it is the same window";
}

// A user's click on an X server at scale 1 and at scale 2: the pointer on
// the middle of the Agree button, in the screen's pixels, agrees at both.
class RealClickTest : public InstallerWindowTest, public testing::WithParamInterface<int> { };

TEST_P(RealClickTest, LandsOnTheSameButtonAtEachScale)
{
    std::string xvfb = brenvik::test::FindProgram("Xvfb");
    std::string xdotool = brenvik::test::FindProgram("xdotool");
    if (xvfb.empty() || xdotool.empty())
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    brenvik::test::XvfbServer server;
    ASSERT_TRUE(server.Start(215, 259, "1024x768x24", xvfb)) << "Xvfb did not start";
    int scale = GetParam();
    std::string display = "DISPLAY='" + server.Display() + "' ";
    std::future<Outcome> run = std::async(std::launch::async, [&] {
        return Run(fInstaller,
            "wait-text button Agree\nwait-text button Install\nkey Ctrl+Q\nwait-quit\n",
            "BRENVIK_DISPLAY=sdl SDL_VIDEODRIVER=x11 WAYLAND_DISPLAY= " + display
                + "BRENVIK_SCALE=" + std::to_string(scale) + " ");
    });
    // Where the window is on the screen, once it is shown.
    auto [found, geometry] = RunCommand(display + "timeout 20 '" + xdotool
        + "' search --sync --onlyvisible --name TarselNotes-Installer getwindowgeometry --shell");
    int left = -1;
    int top = -1;
    size_t at = geometry.find("X=");
    if (at != std::string::npos)
        std::sscanf(geometry.c_str() + at, "X=%d\nY=%d", &left, &top);
    ASSERT_GE(left, 0) << geometry;
    // The Agree button's middle, in points (the golden pictures show it).
    int x = left + 378 * scale;
    int y = top + 234 * scale;
    EXPECT_EQ(RunCommand(display + "'" + xdotool + "' mousemove " + std::to_string(x) + " "
                  + std::to_string(y) + " click 1")
                  .first,
        0);
    Outcome outcome = run.get();
    EXPECT_EQ(outcome.status, 1) << "the click reached the destination step\n" << outcome.output;
}

INSTANTIATE_TEST_SUITE_P(Scales, RealClickTest, testing::Values(1, 2),
    [](const testing::TestParamInfo<int>& param) { return "Scale" + std::to_string(param.param); });

// The statically linked installer in a root that holds, besides the C
// library, only SDL and the display and sound libraries it brings (what a
// desktop has), on an X server outside the root: the window opens, and its
// licence step is the golden picture of the headless display, pixel for
// pixel (its fonts are its own).
TEST_F(InstallerWindowTest, OpensItsWindowInABareRootWithSdlAndAnXServer)
{
#ifndef BRENVIK_STATIC_PROGRAMS
    GTEST_SKIP() << "this build links its programs dynamically (BRENVIK_STATIC=OFF)";
#endif
    std::string xvfb = brenvik::test::FindProgram("Xvfb");
    if (xvfb.empty())
        GTEST_SKIP() << "Xvfb is not installed";
    std::string sdl;
    for (const char* folder :
        { "/usr/lib/x86_64-linux-gnu", "/lib/x86_64-linux-gnu", "/usr/lib64" }) {
        if (sdl.empty() && fs::exists(std::string(folder) + "/libSDL2-2.0.so.0"))
            sdl = std::string(folder) + "/libSDL2-2.0.so.0";
    }
    if (sdl.empty())
        GTEST_SKIP() << "libSDL2-2.0.so.0 is not installed";
    BareRoot root;
    std::string why = root.Prepare(BuildAskingInstaller(Deinstaller::kTiny));
    if (!why.empty())
        GTEST_SKIP() << why << "; the bare-root window is not checked";
    ASSERT_TRUE(root.CopyLibrariesOf(root.Path() + "/installer"));
    ASSERT_TRUE(root.CopyLibrariesOf(sdl));
    fs::create_directories(fs::path(root.Path() + sdl).parent_path());
    fs::copy_file(fs::canonical(sdl), root.Path() + sdl);
    root.Bind("/tmp/.X11-unix");

    brenvik::test::XvfbServer server;
    ASSERT_TRUE(server.Start(215, 259, "1024x768x24", xvfb)) << "Xvfb did not start";
    std::ofstream(root.Path() + "/script.txt")
        << "timeout 30\nwait-text button Agree\nscreenshot /license.png\nkey Ctrl+Q\nwait-quit\n";
    auto [status, output] = root.Run("/installer",
        "BRENVIK_DISPLAY=sdl SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "
        "BRENVIK_UI_SCRIPT=/script.txt "
        "DISPLAY="
            + server.Display());
    // Closed before installing.
    EXPECT_EQ(status, 1) << output;
    EXPECT_EQ(output.find("running headless"), std::string::npos) << output;
    EXPECT_TRUE(
        brenvik::test::PngMatchesGolden("installer/license-en", root.Path() + "/license.png"))
        << output;
}

// An installer whose configuration record cannot be read says so, shows an
// empty window, and ends with a failure, never a crash.
class BrokenRecordTest : public InstallerWindowTest,
                         public testing::WithParamInterface<const char*> { };

TEST_P(BrokenRecordTest, ShowsTheErrorBoxAndExitsWithAFailure)
{
    std::string kind = GetParam();
    {
        BResources resources;
        ASSERT_EQ(resources.SetTo(fInstaller.c_str(), B_READ_WRITE, false), B_OK);
        size_t size = 0;
        const void* data = resources.LoadResource(
            InstallerFormat::kConfigurationType, InstallerFormat::kConfigurationId, &size);
        ASSERT_NE(data, nullptr);
        std::string record(static_cast<const char*>(data), size);
        if (kind == "missing") {
            ASSERT_EQ(resources.RemoveResource(
                          InstallerFormat::kConfigurationType, InstallerFormat::kConfigurationId),
                B_OK);
        } else {
            if (kind == "empty")
                record.clear();
            else if (kind == "header only")
                record.resize(std::min<size_t>(record.size(), 8));
            else if (kind == "truncated")
                record.resize(record.size() / 2);
            else if (kind == "garbage")
                record.assign(record.size(), '\x5a');
            ASSERT_EQ(resources.AddResource(InstallerFormat::kConfigurationType,
                          InstallerFormat::kConfigurationId, record.data(), record.size(),
                          InstallerFormat::kConfigurationName),
                B_OK);
        }
        // Listed anew, as a tool that rewrote the record would: what is
        // tested here is the window's reading of it.
        ASSERT_EQ(InstallerManifest::Write(resources), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    Outcome run = Run(fInstaller,
        "alert OK\nwait-text button Agree\ndump " + Dump("empty") + "\nkey Ctrl+Q\nwait-quit\n");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("resource 2002"), std::string::npos) << run.output;
    std::string dump = ReadBytes(Dump("empty"));
    EXPECT_NE(ViewLine(dump, "custom_list").find(" items=0 "), std::string::npos) << dump;
    // Nothing to agree to.
    EXPECT_TRUE(IsDisabled(dump, "button")) << dump;
}

INSTANTIATE_TEST_SUITE_P(Records, BrokenRecordTest,
    testing::Values("missing", "empty", "header only", "truncated", "garbage"),
    [](const testing::TestParamInfo<const char*>& param) {
        std::string name = param.param;
        for (char& c : name) {
            if (c == ' ')
                c = '_';
        }
        return name;
    });

} // namespace
