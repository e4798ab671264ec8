#include "InstallCompletion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include <LocalizedTextTable.h>

#include "ScriptTestSupport.h"

namespace {

using namespace script_test;

// Answers questions from a script and writes down everything shown.
class ScriptedDialogs : public CompletionDialogs {
public:
    int32 Ask(const std::string& text, const char* button0, const char* button1,
        button_width width) override
    {
        std::string shown = "ask[" + std::string(button0) + "|"
            + (button1 != nullptr ? button1 : "-") + "|"
            + (width == B_WIDTH_FROM_WIDEST ? "widest" : "usual") + "] " + text;
        fShown.push_back(shown);
        int32 answer = fAnswers.empty() ? 0 : fAnswers.front();
        if (!fAnswers.empty())
            fAnswers.erase(fAnswers.begin());
        return answer;
    }
    void Info(const std::string& text) override { fShown.push_back("info " + text); }
    void Error(const std::string& text) override { fShown.push_back("error " + text); }

    std::vector<int32> fAnswers;
    std::vector<std::string> fShown;
};

class EnglishTexts : public InstallTexts {
public:
    std::string Text(int32 id) override { return LocalizedTextTable::Text("en", id); }
    std::string Format(int32 id) override { return Text(id); }
};

class InstallCompletionTest : public ScriptSandbox {
protected:
    void SetUp() override
    {
        ScriptSandbox::SetUp();
        const char* log = std::getenv("BRENVIK_ACTIONS_LOG");
        fOldLog = log != nullptr ? log : "";
        fActionsLog = fRoot + "/actions.log";
        setenv("BRENVIK_ACTIONS_LOG", fActionsLog.c_str(), 1);
        fFolder = fRoot + "/My App";
        ASSERT_EQ(mkdir(fFolder.c_str(), 0755), 0);
    }

    void TearDown() override
    {
        setenv("BRENVIK_ACTIONS_LOG", fOldLog.c_str(), 1);
        ScriptSandbox::TearDown();
    }

    std::string AddProgram(const std::string& leaf)
    {
        std::string path = fFolder + "/" + leaf;
        EXPECT_TRUE(WriteFile(path, ReadFile("/usr/bin/true"), 0755));
        return path;
    }

    std::string AddFile(const std::string& leaf, const std::string& contents)
    {
        std::string path = fFolder + "/" + leaf;
        EXPECT_TRUE(WriteFile(path, contents));
        return path;
    }

    // An item marked for installation (`installed`) that the pass placed
    // (`placed`), unless they say otherwise.
    void AddItem(const std::string& path, const char* autoLaunch, const char* reason = nullptr,
        bool installed = true, bool placed = true)
    {
        BMessage meta;
        meta.AddString("auto_launch", autoLaunch);
        if (reason != nullptr)
            meta.AddString("auto_launch_reason", reason);
        BMessage item;
        item.AddString("file_name", path.c_str());
        item.AddBool("install_to_system", installed);
        if (installed && placed)
            item.AddBool("placed_by_pass", true);
        item.AddMessage("install_meta", &meta);
        fInstructions.AddMessage("install_file", &item);
    }

    std::vector<InstallCompletion::Launch> AutoLaunch()
    {
        fConfiguration.RemoveName("install_instructions");
        fConfiguration.AddMessage("install_instructions", &fInstructions);
        InstallCompletion completion(
            fConfiguration, fTexts, fDialogs, [this](const std::string& line) { fLog += line; });
        std::vector<InstallCompletion::Launch> launches = completion.AutoLaunch();
        fProblems = completion.Problems();
        return launches;
    }

    bool Complete(const std::vector<std::string>& problems = {})
    {
        InstallCompletion completion(
            fConfiguration, fTexts, fDialogs, [this](const std::string& line) { fLog += line; });
        return completion.Complete(fFolder, problems);
    }

    std::string Actions() const
    {
        std::string text = ReadFile(fActionsLog);
        return text == "<missing>" ? "" : text;
    }

    std::string fOldLog;
    std::string fActionsLog;
    std::string fFolder;
    BMessage fConfiguration;
    BMessage fInstructions;
    EnglishTexts fTexts;
    ScriptedDialogs fDialogs;
    std::string fLog;
    std::vector<std::string> fProblems;
};

TEST_F(InstallCompletionTest, OnlyMarkedInstalledItemsRun)
{
    AddItem(AddProgram("Tool"), "False");
    AddItem(AddProgram("Skipped"), "True", nullptr, false);
    AddItem(AddProgram("Lower"), "true");
    // Marked, but not placed: the file it names is not the installed one.
    AddItem(AddProgram("Unplaced"), "True", nullptr, true, false);
    EXPECT_TRUE(AutoLaunch().empty());
    EXPECT_TRUE(fDialogs.fShown.empty());
    EXPECT_EQ(Actions(), "");
}

// An installer names its items by their paths in the author's project; one
// that says it was placed but names no absolute path (a damaged or crafted
// record) is never run from wherever the installer was started.
TEST_F(InstallCompletionTest, APathInTheProjectIsNeverRunFromTheCurrentFolder)
{
    AddProgram("Tool");
    ASSERT_EQ(mkdir((fFolder + "/payload").c_str(), 0755), 0);
    AddProgram("payload/Tool");
    char* previous = getcwd(nullptr, 0);
    ASSERT_NE(previous, nullptr);
    ASSERT_EQ(chdir(fFolder.c_str()), 0);
    for (bool placed : { true, false }) {
        AddItem("Tool", "True", nullptr, true, placed);
        AddItem("payload/Tool", "True", nullptr, true, placed);
    }
    std::vector<InstallCompletion::Launch> launches = AutoLaunch();
    EXPECT_EQ(chdir(previous), 0);
    std::free(previous);
    EXPECT_TRUE(launches.empty());
    EXPECT_TRUE(fDialogs.fShown.empty());
    EXPECT_EQ(Actions(), "");
}

TEST_F(InstallCompletionTest, EachItemIsAskedAboutOnlyForItsOwnReason)
{
    std::string asked = AddProgram("Asked 'one'");
    std::string declined = AddProgram("Declined");
    std::string plain = AddProgram("Plain");
    AddItem(asked, "True", "It sets itself up.");
    AddItem(declined, "True", "Later is fine.");
    AddItem(plain, "True", "");
    fDialogs.fAnswers = { 1, 0 };
    std::vector<InstallCompletion::Launch> launches = AutoLaunch();
    ASSERT_EQ(launches.size(), 3u);
    EXPECT_EQ(launches[0].outcome, InstallCompletion::Launch::kStarted);
    EXPECT_EQ(launches[1].outcome, InstallCompletion::Launch::kDeclined);
    EXPECT_EQ(launches[2].outcome, InstallCompletion::Launch::kStarted);
    EXPECT_EQ(fDialogs.fShown,
        (std::vector<std::string> {
            "ask[Later|Run|usual] Do you wish to run '" + asked + "' now?\n\nIt sets itself up.",
            "ask[Later|Run|usual] Do you wish to run '" + declined + "' now?\n\nLater is fine.",
        }));
    EXPECT_EQ(Actions(), "launch\t" + asked + "\nlaunch\t" + plain + "\n");
    EXPECT_TRUE(fProblems.empty());
}

TEST_F(InstallCompletionTest, ScriptsRunDocumentsOpenAndMissingItemsAreReported)
{
    std::string script = AddFile("set up.sh", "echo set up\n");
    std::string document = AddFile("Guide.png", std::string("\x89PNG\r\n\x1a\n", 8) + "rest");
    std::string missing = fFolder + "/Missing";
    AddItem(script, "True");
    AddItem(document, "True");
    AddItem(missing, "True");
    std::vector<InstallCompletion::Launch> launches = AutoLaunch();
    ASSERT_EQ(launches.size(), 3u);
    EXPECT_EQ(launches[0].outcome, InstallCompletion::Launch::kRan);
    EXPECT_EQ(launches[1].outcome, InstallCompletion::Launch::kStarted);
    EXPECT_EQ(launches[2].outcome, InstallCompletion::Launch::kFailed);
    EXPECT_EQ(Actions(), "run-script\t" + script + "\nopen\t" + document + "\n");
    const std::string failure = "'Missing' was unable to be run at this time.";
    EXPECT_EQ(fDialogs.fShown, (std::vector<std::string> { "error " + failure }));
    EXPECT_EQ(fProblems, (std::vector<std::string> { failure }));
    EXPECT_NE(fLog.find("Unable to run " + missing), std::string::npos);
}

TEST_F(InstallCompletionTest, RootStartsNoProgramInAUsersSession)
{
    UseSystemScope();
    std::string program = AddProgram("Tool");
    std::string script = AddFile("setup", "#!/bin/sh\ntrue\n");
    AddItem(program, "True");
    AddItem(script, "True");
    std::vector<InstallCompletion::Launch> launches = AutoLaunch();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].outcome, InstallCompletion::Launch::kSkipped);
    EXPECT_EQ(Actions(), "run-script\t" + script + "\n");
    EXPECT_EQ(
        fProblems, (std::vector<std::string> { "'Tool' was unable to be run at this time." }));
    EXPECT_NE(fLog.find("Did not start " + program), std::string::npos);
}

struct MessageCase {
    const char* name;
    const char* comments;
    std::vector<std::string> problems;
    std::string message;
};

class InstallCompletionMessageTest : public InstallCompletionTest,
                                     public testing::WithParamInterface<MessageCase> { };

TEST_P(InstallCompletionMessageTest, NeverClaimsSuccessForFailures)
{
    if (GetParam().comments != nullptr)
        fConfiguration.AddString("complete_comments", GetParam().comments);
    EXPECT_FALSE(Complete(GetParam().problems));
    EXPECT_EQ(fDialogs.fShown, (std::vector<std::string> { "info " + GetParam().message }));
    EXPECT_EQ(Actions(), "");
}

INSTANTIATE_TEST_SUITE_P(Messages, InstallCompletionMessageTest,
    testing::Values(MessageCase { "Plain", nullptr, {}, "Installation successfully completed." },
        MessageCase { "EmptyComments", "", {}, "Installation successfully completed." },
        MessageCase { "Comments", "Enjoy.", {}, "Installation successfully completed.\n\nEnjoy." },
        MessageCase { "Failures", "Enjoy.", { "'a' was not placed.", "'b' failed." },
            "Installation Complete\n\n'a' was not placed.\n'b' failed.\n\nEnjoy." }),
    [](const testing::TestParamInfo<MessageCase>& param) { return std::string(param.param.name); });

TEST_F(InstallCompletionTest, RestartIsOfferedAndOnlyRecordedWhenChosen)
{
    fConfiguration.AddBool("complete_restart", true);
    fConfiguration.AddString("complete_comments", "Thanks.");
    fDialogs.fAnswers = { 1, 0 };
    EXPECT_TRUE(Complete());
    EXPECT_FALSE(Complete());
    const std::string message = "ask[Restart Later|Restart Now|widest] "
                                "Installation successfully completed.\n\nThanks.\n\nThe system "
                                "needs to be restarted for the installation to take effect.";
    EXPECT_EQ(fDialogs.fShown, (std::vector<std::string> { message, message }));
    // The window restarts after the pass, through the actions service.
    EXPECT_EQ(Actions(), "");
}

TEST_F(InstallCompletionTest, TheInstallFolderOpensExceptAsRoot)
{
    fConfiguration.AddBool("complete_display_folder", true);
    Complete();
    EXPECT_EQ(Actions(), "open-folder\t" + fFolder + "\n");
    UseSystemScope();
    Complete();
    EXPECT_EQ(Actions(), "open-folder\t" + fFolder + "\n");
    EXPECT_NE(fLog.find("Did not open " + fFolder), std::string::npos);
}

} // namespace
