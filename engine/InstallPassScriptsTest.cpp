// The last steps of the install pass: the start-up folder block and the
// product's script blocks, written through the pass with their record steps
// and log lines and taken out again by the de-installer's side; then the
// programs run at the end and the completion message.

#include "InstallPassTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include <FindDirectory.h>
#include <Path.h>

#include "InstallRemoval.h"
#include "ScriptEdit.h"

namespace {

using namespace pass_test;

// The paths that differ between two snapshots (not their bytes, which may
// be whole programs).
std::vector<std::string> Differences(const std::map<std::string, std::string>& before,
    const std::map<std::string, std::string>& after)
{
    std::vector<std::string> paths;
    for (const auto& [path, what] : before) {
        auto found = after.find(path);
        if (found == after.end() || found->second != what)
            paths.push_back(path);
    }
    for (const auto& [path, what] : after) {
        if (before.find(path) == before.end())
            paths.push_back(path);
    }
    return paths;
}

// Each test gets a home of its own, so that no record or block of another
// test is found in it.
class PrivateHome {
public:
    explicit PrivateHome(const std::string& home)
    {
        for (const char* name :
            { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME" }) {
            const char* value = std::getenv(name);
            fSaved.emplace_back(name, value != nullptr ? value : "");
        }
        for (const char* folder : { "/.config", "/.local/share", "/.local/state", "/.cache" })
            fs::create_directories(home + folder);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        setenv("XDG_STATE_HOME", (home + "/.local/state").c_str(), 1);
        setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
        setenv("BRENVIK_ACTIONS_LOG", (home + "/../actions.log").c_str(), 1);
    }
    ~PrivateHome()
    {
        for (const auto& [name, value] : fSaved)
            setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::string>> fSaved;
};

class InstallPassScriptsTest : public PassFixture<> {
protected:
    void SetUp() override
    {
        MakeSandbox("pass-scripts");
        fHome.reset(new PrivateHome(fRoot + "/home"));
        fInstaller.reset(new TestInstaller(fRoot));
        auto dialogs = std::make_unique<TestDialogs>();
        fDialogs = dialogs.get();
        fConfig.SetDialogs(std::move(dialogs));
        fConfig.SetSystemProbe(std::make_unique<TestProbe>());
        WriteBytes(fRoot + "/payload/ReadMe.txt", "Read me\n");
        fInstaller->AddItem({ fRoot + "/payload/ReadMe.txt" });
    }

    void TearDown() override
    {
        fHome.reset();
        PassFixture::TearDown();
    }

    void AskForScripts(bool startUp)
    {
        BMessage& config = fInstaller->config;
        config.AddBool("edit_bootscript", true);
        config.AddString("edit_bootscript_tag", "TARSEL_NOTES");
        config.AddString("edit_bootscript_contents", "notes-daemon --quiet &");
        config.AddBool("edit_setup_env", true);
        config.AddString("edit_setup_env_tag", "TARSEL_NOTES");
        config.AddString("edit_setup_env_contents", "export NOTES_HOME=\"$HOME/Notes\"");
        config.AddBool("edit_profile", true);
        config.AddString("edit_profile_tag", "TARSEL_NOTES");
        config.AddString("edit_profile_contents", "export PATH=\"$PATH:$HOME/Notes/bin\"");
        config.AddBool("opt_create_startup", startUp);
        if (startUp)
            fInstaller->AddCustomFolder("StartUp", B_USER_BOOT_DIRECTORY, "StartUp", false);
    }

    std::string Log() { return ReadBytes(fDestination + "/TarselNotes/Log"); }
    std::string Actions() { return ReadBytes(fRoot + "/actions.log"); }

    std::unique_ptr<PrivateHome> fHome;
    std::unique_ptr<TestInstaller> fInstaller;
    InstallConfig fConfig;
    TestDialogs* fDialogs = nullptr;
};

TEST_F(InstallPassScriptsTest, EditsAreRecordedAndTheDeinstallerRestoresTheFiles)
{
    std::string home = FindFolder(B_USER_DIRECTORY);
    // The user's own .profile, its last line without a newline.
    std::string profileBefore = "# mine\nexport EDITOR=vi";
    WriteBytes(home + "/.profile", profileBefore);
    AskForScripts(true);
    auto before = UserSnapshot(fRoot);

    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    ASSERT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded)
        << (fConfig.Failures().empty() ? "" : fConfig.Failures()[0]);

    std::string boot = home + "/.config/brenvik/boot";
    std::string bootScript = ReadBytes(boot + "/UserBootscript");
    EXPECT_NE(bootScript.find("#BEGIN_StartUpFolder\n"), std::string::npos) << bootScript;
    EXPECT_NE(bootScript.find("#BEGIN_TARSEL_NOTES\nnotes-daemon --quiet &\n#END_TARSEL_NOTES\n"),
        std::string::npos)
        << bootScript;
    // The start-up block comes first: it was written before the items.
    EXPECT_LT(bootScript.find("#BEGIN_StartUpFolder"), bootScript.find("#BEGIN_TARSEL_NOTES"));
    EXPECT_NE(
        ReadBytes(boot + "/UserSetupEnvironment").find("export NOTES_HOME="), std::string::npos);
    std::string profile = ReadBytes(home + "/.profile");
    EXPECT_EQ(profile.rfind(profileBefore, 0), 0u) << profile;
    EXPECT_NE(profile.find("#BEGIN_TARSEL_NOTES\nexport PATH="), std::string::npos) << profile;

    // The log names the real files, in the configuration's order, after the
    // start-up folder.
    std::string log = Log();
    std::string startUp = "\tCreating StartUp folder in " + boot + "/StartUp.\n";
    std::string lines[] = {
        "\tAdded script tab TARSEL_NOTES to " + boot + "/UserBootscript\n",
        "\tAdded script tab TARSEL_NOTES to " + boot + "/UserSetupEnvironment\n",
        "\tAdded script tab TARSEL_NOTES to " + home + "/.profile\n",
    };
    size_t at = log.find(startUp);
    ASSERT_NE(at, std::string::npos) << log;
    for (const std::string& line : lines) {
        size_t next = log.find(line, at);
        ASSERT_NE(next, std::string::npos) << line << " missing or out of order in\n" << log;
        at = next;
    }
    EXPECT_LT(at, log.find("\tInstallation Complete: "));

    // One script step per edit, each with the editor's account of it.
    InstallRecordReader record = RecordOf(fConfig);
    std::vector<ScriptEdit> edits;
    for (const auto& step : record.Steps()) {
        if (step.kind != InstallRecord::kKindScript)
            continue;
        EXPECT_EQ(step.state, InstallRecordReader::kStepDone);
        ScriptEdit edit;
        ASSERT_EQ(edit.Restore(step.result), B_OK);
        EXPECT_EQ(step.begun.GetBool(InstallRecord::kFieldStartupBlock, false), edit.startUpFolder);
        edits.push_back(edit);
    }
    ASSERT_EQ(edits.size(), 4u);
    EXPECT_TRUE(edits[0].startUpFolder);
    EXPECT_EQ(edits[0].tag, "StartUpFolder");
    EXPECT_EQ(edits[3].path, home + "/.profile");
    for (size_t index = 1; index < 4; index++)
        EXPECT_FALSE(edits[index].startUpFolder);

    // Removing the installation takes every block out: the files are as
    // they were, byte for byte, and what Brenvik made for them is gone.
    std::string journal = ReadBytes(fConfig.RecordPath());
    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(fConfig.RecordPath(), &report), B_OK) << report;
    EXPECT_EQ(ReadBytes(home + "/.profile"), profileBefore);
    EXPECT_EQ(Differences(before, UserSnapshot(fRoot)), std::vector<std::string>()) << report;
    ExpectSecondRemovalChangesNothing(fConfig.RecordPath(), journal, fRoot);
}

// The journal cut right after the begun frame of its last script step, as a
// crash in the middle of that edit leaves it.
void CutAfterLastScriptStep(const std::string& journal)
{
    std::string bytes = ReadBytes(journal);
    size_t cut = 0;
    for (size_t at = 8; at + 8 <= bytes.size();) {
        uint32 size = 0;
        std::memcpy(&size, bytes.data() + at, 4);
        BMessage frame;
        ASSERT_EQ(frame.Unflatten(bytes.data() + at + 8), B_OK);
        at += 8 + size;
        if (std::string(frame.GetString(InstallRecord::kFieldKind, ""))
            == InstallRecord::kKindScript)
            cut = at;
    }
    ASSERT_GT(cut, 0u);
    WriteBytes(journal, bytes.substr(0, cut));
}

TEST_F(InstallPassScriptsTest, AnEditInterruptedBeforeItsStepClosedIsStillUndone)
{
    std::string home = FindFolder(B_USER_DIRECTORY);
    WriteBytes(home + "/.profile", "# mine\n");
    AskForScripts(false);
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    ASSERT_NE(ReadBytes(home + "/.profile").find("#BEGIN_TARSEL_NOTES"), std::string::npos);
    CutAfterLastScriptStep(fConfig.RecordPath());

    std::string report;
    InstallRemoval::RollBack(fConfig.RecordPath(), &report);
    EXPECT_EQ(ReadBytes(home + "/.profile"), "# mine\n") << report;
}

TEST_F(InstallPassScriptsTest, InstallingTwiceLeavesOneBlock)
{
    AskForScripts(false);
    for (int pass = 0; pass < 2; pass++) {
        InstallConfig config;
        config.SetDialogs(std::make_unique<TestDialogs>());
        config.SetSystemProbe(std::make_unique<TestProbe>());
        fInstaller->Configure(config, fDestination);
        ASSERT_EQ(config.Action(), InstallConfig::kPassDone);
        EXPECT_EQ(config.Outcome(), InstallConfig::kOutcomeSucceeded);
    }
    std::string profile = ReadBytes(FindFolder(B_USER_DIRECTORY) + "/.profile");
    size_t first = profile.find("#BEGIN_TARSEL_NOTES");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(profile.find("#BEGIN_TARSEL_NOTES", first + 1), std::string::npos) << profile;
}

// A tag the editor refuses: nothing is edited, the log and the failures say
// so, and the pass does not claim success.
TEST_F(InstallPassScriptsTest, ARefusedEditIsAFailureNotASuccess)
{
    BMessage& config = fInstaller->config;
    config.AddBool("edit_profile", true);
    config.AddString("edit_profile_tag", "");
    config.AddString("edit_profile_contents", "export A=1");
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeFailed);
    ASSERT_EQ(fConfig.Failures().size(), 1u);
    EXPECT_NE(fConfig.Failures()[0].find("script tab"), std::string::npos);
    EXPECT_FALSE(Lexists(FindFolder(B_USER_DIRECTORY) + "/.profile"));
    std::string log = Log();
    EXPECT_EQ(log.find("Added script tab"), std::string::npos) << log;
    EXPECT_NE(log.find("\tUnable to add script tab"), std::string::npos) << log;
    // The completion message lists the failure instead of claiming success.
    ASSERT_EQ(fDialogs->infos.size(), 1u);
    EXPECT_EQ(fDialogs->infos[0].rfind("Installation Complete\n\n" + fConfig.Failures()[0], 0), 0u)
        << fDialogs->infos[0];
    EXPECT_EQ(fDialogs->infos[0].find("successfully"), std::string::npos);
    InstallRecordReader record = RecordOf(fConfig);
    for (const auto& step : record.Steps()) {
        if (step.kind == InstallRecord::kKindScript) {
            EXPECT_EQ(step.state, InstallRecordReader::kStepFailed);
        }
    }
}

// Script lines that read as a block marker would let this product's block
// open or close another product's block in the user's scripts: the
// configuration is refused before anything is written (no installation
// folder, no record, no script touched), with a message that names the
// script and the line.
TEST_F(InstallPassScriptsTest, ContentsWithABlockMarkerAreRefusedBeforeAnythingIsWritten)
{
    std::string home = FindFolder(B_USER_DIRECTORY);
    WriteBytes(home + "/.profile", "# mine\n");
    AskForScripts(false);
    fInstaller->config.ReplaceString(
        "edit_profile_contents", "export A=1\n\t#BEGIN_OTHER_PRODUCT\nexport B=2");
    fInstaller->Configure(fConfig, fDestination);
    auto before = UserSnapshot(fRoot);
    EXPECT_EQ(fConfig.Action(), InstallConfig::kPassFailed);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeFailed);
    EXPECT_EQ(UserSnapshot(fRoot), before);
    EXPECT_TRUE(fConfig.RecordPath().empty());
    std::error_code error;
    EXPECT_TRUE(fs::is_empty(InstallRecord::RecordsFolder(), error) || error)
        << InstallRecord::RecordsFolder();
    ASSERT_EQ(fDialogs->errors.size(), 1u);
    const std::string& message = fDialogs->errors[0];
    EXPECT_NE(message.find(".profile"), std::string::npos) << message;
    EXPECT_NE(message.find("line 2"), std::string::npos) << message;
    EXPECT_NE(message.find("#BEGIN_OTHER_PRODUCT"), std::string::npos) << message;
}

// With the user's umask at 077, what the pass creates for the user is the
// user's alone, whatever mode it would otherwise get: a created .profile,
// the start-up scripts, their autostart entry and environment.d file, the
// de-installer, the log, and the payload's files and folders.
TEST_F(InstallPassScriptsTest, TheUsersUmaskAppliesToWhatThePassCreates)
{
    WriteBytes(fRoot + "/payload/Tools/bin/tool", "#!/bin/sh\necho tool\n", 0755);
    fInstaller->AddItem({ fRoot + "/payload/Tools" });
    AskForScripts(false);
    fInstaller->Configure(fConfig, fDestination);
    mode_t old = umask(077);
    status_t result = fConfig.Action();
    umask(old);
    ASSERT_EQ(result, InstallConfig::kPassDone);
    ASSERT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded)
        << (fConfig.Failures().empty() ? "" : fConfig.Failures()[0]);
    std::string home = FindFolder(B_USER_DIRECTORY);
    std::string boot = home + "/.config/brenvik/boot";
    std::string folder = fDestination + "/TarselNotes";
    for (const std::string& path :
        { home + "/.profile", boot + "/UserBootscript", boot + "/UserSetupEnvironment",
            home + "/.config/autostart/brenvik-userbootscript.desktop",
            home + "/.config/environment.d/60-brenvik-TARSEL_NOTES.conf",
            folder + "/Tarsel Notes 1.0.2 Deinstaller", folder + "/Log", folder + "/ReadMe.txt",
            folder + "/Tools", folder + "/Tools/bin", folder + "/Tools/bin/tool" }) {
        struct stat info;
        ASSERT_EQ(lstat(path.c_str(), &info), 0) << path;
        EXPECT_EQ(info.st_mode & 077, 0u)
            << path << " has the mode " << std::oct << (info.st_mode & 07777);
    }
    struct stat tool;
    ASSERT_EQ(lstat((folder + "/Tools/bin/tool").c_str(), &tool), 0);
    EXPECT_EQ(tool.st_mode & 0700, 0700u);
}

// The user added a line of their own to UserSetupEnvironment (outside the
// blocks, where the file says their lines go): removing the product takes
// its block out, and the file stays with the user's line, and with it the
// hook block in ~/.profile that makes login shells read it. The report says
// that the hook block stays, and lists ~/.profile as removed in no way.
TEST_F(InstallPassScriptsTest, TheReportSaysThatTheHookOfAScriptThatStaysIsLeft)
{
    BMessage& config = fInstaller->config;
    config.AddBool("edit_setup_env", true);
    config.AddString("edit_setup_env_tag", "TARSEL_NOTES");
    config.AddString("edit_setup_env_contents", "export NOTES_HOME=\"$HOME/Notes\"");
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    std::string home = FindFolder(B_USER_DIRECTORY);
    std::string profile = home + "/.profile";
    std::string environment = home + "/.config/brenvik/boot/UserSetupEnvironment";
    WriteBytes(environment, ReadBytes(environment) + "export MY_OWN=1\n");
    ASSERT_NE(ReadBytes(profile).find("#BEGIN_BrenvikSetupEnvironment"), std::string::npos);

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(fConfig.RecordPath()), B_OK);
    removal.Run();
    std::string report = removal.Report();
    EXPECT_NE(ReadBytes(environment).find("export MY_OWN=1\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(environment).find("TARSEL_NOTES"), std::string::npos);
    EXPECT_NE(ReadBytes(profile).find("#BEGIN_BrenvikSetupEnvironment"), std::string::npos);
    bool hookLeft = false;
    for (const auto& outcome : removal.Outcomes()) {
        if (outcome.path.rfind(profile, 0) != 0)
            continue;
        EXPECT_NE(outcome.kind, InstallRemoval::kOutcomeRemoved) << report;
        hookLeft = hookLeft
            || (outcome.kind == InstallRemoval::kOutcomeLeft
                && outcome.path == profile + " (BrenvikSetupEnvironment)");
    }
    EXPECT_TRUE(hookLeft) << report;
}

TEST_F(InstallPassScriptsTest, TheCompletionMessageHasTheProductsWordsAndOpensTheFolder)
{
    fInstaller->config.AddString("complete_comments", "Thank you for installing Tarsel Notes.");
    fInstaller->config.AddBool("complete_display_folder", true);
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded);
    EXPECT_EQ(fDialogs->infos,
        std::vector<std::string> { "Installation successfully completed."
                                   "\n\nThank you for installing Tarsel "
                                   "Notes." });
    EXPECT_TRUE(fDialogs->questions.empty());
    EXPECT_FALSE(fConfig.RestartRequested());
    EXPECT_EQ(Actions(), "open-folder\t" + fDestination + "/TarselNotes\n");
}

TEST_F(InstallPassScriptsTest, NothingIsOpenedOrRunUnlessAskedFor)
{
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    EXPECT_EQ(fDialogs->infos, std::vector<std::string> { "Installation successfully completed." });
    EXPECT_FALSE(Lexists(fRoot + "/actions.log"));
}

class RestartQuestionTest : public InstallPassScriptsTest,
                            public testing::WithParamInterface<int32> { };

TEST_P(RestartQuestionTest, OnlyRestartNowAsksForARestart)
{
    int32 answer = GetParam();
    fInstaller->config.AddBool("complete_restart", true);
    fDialogs->choices.push_back(answer);
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    ASSERT_EQ(fDialogs->questions.size(), 1u);
    EXPECT_EQ(fDialogs->questions[0],
        "Installation successfully completed.\n\nThe system needs to be restarted for the "
        "installation to take effect.");
    EXPECT_EQ(
        fDialogs->buttonSets[0], (std::vector<std::string> { "Restart Later", "Restart Now" }));
    EXPECT_TRUE(fDialogs->infos.empty());
    EXPECT_EQ(fConfig.RestartRequested(), answer == 1);
    // The restart itself is the window's, once the pass has ended.
    EXPECT_EQ(Actions().find("restart"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Answers, RestartQuestionTest, testing::Values(0, 1));

struct LaunchCase {
    const char* name;
    const char* reason;
    // The answer to "Later" / "Run", when asked.
    int32 answer;
    bool runs;
};

class AutoLaunchTest : public InstallPassScriptsTest,
                       public testing::WithParamInterface<LaunchCase> { };

TEST_P(AutoLaunchTest, MarkedItemsRunBeforeTheLogCloses)
{
    const LaunchCase& launch = GetParam();
    WriteBytes(fRoot + "/payload/setup", "#!/bin/sh\necho set up\n", 0755);
    TestItem item(fRoot + "/payload/setup");
    item.autoLaunch = "True";
    item.autoLaunchReason = launch.reason;
    fInstaller->AddItem(item);
    if (*launch.reason != '\0')
        fDialogs->choices.push_back(launch.answer);
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);

    std::string setup = fDestination + "/TarselNotes/setup";
    if (*launch.reason != '\0') {
        ASSERT_EQ(fDialogs->questions.size(), 1u);
        EXPECT_EQ(fDialogs->questions[0],
            "Do you wish to run '" + setup + "' now?\n\n" + std::string(launch.reason));
        EXPECT_EQ(fDialogs->buttonSets[0], (std::vector<std::string> { "Later", "Run" }));
    } else {
        EXPECT_TRUE(fDialogs->questions.empty());
    }
    EXPECT_EQ(Actions(), launch.runs ? "run-script\t" + setup + "\n" : std::string());
    std::string log = Log();
    size_t line = log.find(launch.runs ? "\tRan " + setup + "\n" : "\tDid not run " + setup);
    ASSERT_NE(line, std::string::npos) << log;
    EXPECT_LT(line, log.find("\tInstallation Complete: "));
    // A script the user put off is no failure of the installation.
    EXPECT_EQ(fDialogs->infos, std::vector<std::string> { "Installation successfully completed." });
}

// An item that could not be placed still names the file it was made from,
// which is not the installed one: it is not launched. The installation is
// complete, its failure listed: nothing is offered for undoing.
TEST_F(InstallPassScriptsTest, OnlyWhatThePassPlacedIsLaunched)
{
    std::string setup = fRoot + "/payload/setup";
    WriteBytes(setup, "#!/bin/sh\n" + std::string(3 << 20, '#') + "\n", 0755);
    TestItem item(setup);
    item.autoLaunch = "True";
    fInstaller->AddItem(item);
    // The record now says fewer bytes than the archive holds: refused.
    WriteBytes(setup, "#!/bin/sh\necho set up\n", 0755);
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeFailed);
    EXPECT_FALSE(Lexists(fDestination + "/TarselNotes/setup"));
    EXPECT_EQ(Actions().find("run-script"), std::string::npos) << Actions();
    EXPECT_EQ(Log().find("Ran "), std::string::npos) << Log();

    InstallRecordReader record = RecordOf(fConfig);
    EXPECT_EQ(record.EndState(), InstallRecord::kStateFinished);
    EXPECT_EQ(record.Failures(), 1);
    EXPECT_TRUE(InstallRemoval::FindUnfinished("Tarsel Notes").empty());
}

// What the completion does after the last item (here: not opening the folder
// for a system installation) reaches the log, which closes after it.
TEST_F(InstallPassScriptsTest, TheCompletionsLinesReachTheLog)
{
    setenv("BRENVIK_SCOPE", "system", 1);
    fInstaller->config.AddBool("complete_display_folder", true);
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    std::string log = Log();
    size_t line = log.find("\tDid not open " + fDestination + "/TarselNotes: ");
    ASSERT_NE(line, std::string::npos) << log;
    EXPECT_GT(line, log.find("\tInstallation Complete: "));
}

INSTANTIATE_TEST_SUITE_P(Cases, AutoLaunchTest,
    testing::Values(LaunchCase { "NoReason", "", 0, true },
        LaunchCase { "ReasonRun", "It sets up your notes folder.", 1, true },
        LaunchCase { "ReasonLater", "It sets up your notes folder.", 0, false }),
    [](const testing::TestParamInfo<LaunchCase>& test) { return std::string(test.param.name); });

} // namespace
