// End to end: the installer without a window, run as a user would run it over
// SSH: no display, a pseudo-terminal for the wizard, an answer file for the
// unattended run.

#include "E2eSupport.h"

#include <InstallRecord.h>
#include <InstallRecordReader.h>
#include <RollBackOffer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

constexpr const char* kNoDisplay
    = "env -u BRENVIK_DISPLAY -u DISPLAY -u WAYLAND_DISPLAY BRENVIK_SCOPE=user ";

// The tree below folder as relative paths with kinds and sizes, without the
// log (its dates differ between runs).
std::set<std::string> Tree(const std::string& folder)
{
    std::set<std::string> tree;
    std::error_code error;
    for (auto entry = fs::recursive_directory_iterator(folder, error);
         entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        std::string relative = fs::relative(entry->path(), folder).string();
        // What an earlier installation left in the same home (its desktop
        // entry) is saved by the next one, which alone then makes the
        // folder it is saved in.
        if (relative == "Log" || relative == "Saved Files"
            || relative.rfind("Saved Files/", 0) == 0)
            continue;
        // The de-installer holds the installation's own paths.
        bool sized = relative.find("Deinstaller") == std::string::npos;
        std::string kind = entry->is_symlink(error) ? "link"
            : entry->is_directory(error)            ? "folder"
            : sized                                 ? std::to_string(entry->file_size(error))
                                                    : "file";
        tree.insert(relative + " " + kind);
    }
    return tree;
}

// The kinds of a record's steps, in order.
std::vector<std::string> StepKinds(const std::string& installFolder)
{
    std::vector<std::string> kinds;
    for (const std::string& journal : InstallRecordReader::FindRecords(
             InstallRecord::RecordsFolder(), "Tarsel Notes", installFolder)) {
        InstallRecordReader record;
        if (record.ReadFile(journal.c_str()) != B_OK)
            continue;
        for (const InstallRecordReader::Step& step : record.Steps()) {
            if (step.kind != InstallRecord::kKindDisplaced)
                kinds.push_back(step.kind);
        }
    }
    return kinds;
}

// The kinds of steps in an order of their own, without the folders made
// above the destination (which depend on what was there).
std::vector<std::string> WithoutFolders(std::vector<std::string> kinds)
{
    std::erase(kinds, std::string(InstallRecord::kKindFolder));
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

// The installer on a pseudo-terminal: what it writes is read until a text
// appears (or a deadline passes), and lines are typed as a user would.
class Terminal {
public:
    explicit Terminal(const std::string& installer, std::vector<std::string> arguments = {})
    {
        arguments.insert(arguments.begin(), installer);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        struct winsize size = { 40, 100, 0, 0 };
        fPid = forkpty(&fMaster, nullptr, nullptr, &size);
        if (fPid == 0) {
            unsetenv("BRENVIK_DISPLAY");
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("BRENVIK_SCOPE", "user", 1);
            setenv("LANG", "C", 1);
            execv(installer.c_str(), argv.data());
            _exit(127);
        }
    }
    ~Terminal()
    {
        if (fPid > 0 && fStatus < 0) {
            kill(fPid, SIGKILL);
            waitpid(fPid, nullptr, 0);
        }
        if (fMaster >= 0)
            close(fMaster);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool Started() const { return fPid > 0; }

    // Waits until `text` has been written since the last wait.
    testing::AssertionResult Expect(const std::string& text)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (fOutput.find(text, fSeen) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || !ReadSome())
                return testing::AssertionFailure() << "no \"" << text << "\" in:\n" << fOutput;
        }
        fSeen = fOutput.find(text, fSeen) + text.size();
        return testing::AssertionSuccess();
    }
    void Type(const std::string& line) { Write(line + "\n"); }
    void Write(const std::string& bytes)
    {
        ssize_t written = write(fMaster, bytes.data(), bytes.size());
        (void)written;
    }
    // The exit status, once the program has ended (everything it wrote read).
    int Wait()
    {
        while (ReadSome()) { }
        int status = 0;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (waitpid(fPid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(fPid, SIGKILL);
                waitpid(fPid, &status, 0);
                break;
            }
            poll(nullptr, 0, 50);
        }
        fStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return fStatus;
    }
    const std::string& Output() const { return fOutput; }

private:
    bool ReadSome()
    {
        struct pollfd ready = { fMaster, POLLIN, 0 };
        if (poll(&ready, 1, 20000) <= 0)
            return false;
        char buffer[4096];
        ssize_t n = read(fMaster, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        fOutput.append(buffer, size_t(n));
        return true;
    }

    int fMaster = -1;
    pid_t fPid = -1;
    int fStatus = -1;
    std::string fOutput;
    size_t fSeen = 0;
};

template <class Param> class TerminalTest : public SampleTest<Param> {
protected:
    using SampleTest<Param>::sInstaller;
    using SampleTest<Param>::sSample;
    using SampleTest<Param>::sStatus;

    void SetUp() override
    {
        ASSERT_EQ(sStatus, B_OK);
        fRoot = brenvik::test::MakeTempFolder("terminal");
        fAnswers = fRoot + "/answers.txt";
        // The programs run in the user scope, and so do the passes run here,
        // each test in a home of its own: what one installs (desktop
        // entries, settings) meets no other test.
        setenv("BRENVIK_SCOPE", "user", 1);
        for (auto [name, folder] : kHomeFolders) {
            const char* value = std::getenv(name);
            fSaved.emplace_back(name, value != nullptr ? value : "");
            fs::create_directories(fRoot + "/home" + folder);
            setenv(name, (fRoot + "/home" + folder).c_str(), 1);
        }
    }
    void TearDown() override
    {
        unsetenv("BRENVIK_SCOPE");
        for (const auto& [name, value] : fSaved)
            setenv(name, value.c_str(), 1);
    }

    // The sample with a question for its sounds (their rule "Prompt"), built
    // once, and installed in this test's home so that a second installation
    // meets them.
    std::string AskingInstaller()
    {
        static std::string sAsking;
        if (sAsking.empty()) {
            std::string project = ReadBytes(sSample + "/project.json");
            size_t at = project.find("\"Rename\"");
            EXPECT_NE(at, std::string::npos);
            project.replace(at, 8, "\"Prompt\"");
            std::ofstream(sSample + "/asking.json") << project;
            std::string built = brenvik::test::MakeTempFolder("asking") + "/Asking-Installer";
            if (BuildInstaller(sSample + "/asking.json", built) != B_OK)
                return std::string();
            sAsking = built;
        }
        WriteAnswers(
            "license = accept\ninstall_type = Sounds\ndestination = " + fRoot + "/first\n");
        auto [status, output] = RunCommand(std::string(kNoDisplay) + "'" + sAsking
            + "' --unattended --answers '" + fAnswers + "' </dev/null");
        EXPECT_EQ(status, 0) << output;
        return status == 0 ? sAsking : std::string();
    }

    // Walks the wizard to the replace question of the sounds.
    testing::AssertionResult WalkToTheQuestion(Terminal& terminal, const std::string& destination)
    {
        for (auto [expected, typed] : std::vector<std::pair<std::string, std::string>> {
                 { "[y/n]", "y" }, { "Enter keeps Typical", "2" }, { "Enter goes on", "" },
                 { "Destination (Enter keeps", destination }, { "Install now?", "y" } }) {
            testing::AssertionResult seen = terminal.Expect(expected);
            if (!seen)
                return seen;
            terminal.Type(typed);
        }
        testing::AssertionResult asked = terminal.Expect("Sounds' already exists");
        return asked ? terminal.Expect("Your choice") : asked;
    }

    std::pair<int, std::string> Run(const std::string& arguments)
    {
        return RunCommand(
            std::string(kNoDisplay) + "'" + sInstaller + "' " + arguments + " </dev/null");
    }

    void WriteAnswers(const std::string& text) { std::ofstream(fAnswers) << text; }

    static constexpr std::pair<const char*, const char*> kHomeFolders[]
        = { { "HOME", "" }, { "XDG_CONFIG_HOME", "/.config" }, { "XDG_DATA_HOME", "/.local/share" },
              { "XDG_CACHE_HOME", "/.cache" }, { "XDG_STATE_HOME", "/.local/state" } };

    std::string fRoot;
    std::string fAnswers;
    std::vector<std::pair<const char*, std::string>> fSaved;
};

using TerminalInstallTest = TerminalTest<int>;

TEST_F(TerminalInstallTest, HelpAndVersionAnswerWithoutADisplay)
{
    auto [help, helpText] = Run("--help");
    EXPECT_EQ(help, 0);
    EXPECT_NE(helpText.find("--unattended"), std::string::npos) << helpText;
    auto [version, versionText] = Run("--version");
    EXPECT_EQ(version, 0);
    EXPECT_NE(versionText.find("Tarsel Notes 1.0.2"), std::string::npos) << versionText;
    // --extract makes the folder it is given.
    auto [extracted, extractText] = Run("--extract '" + fRoot + "/new/folder'");
    EXPECT_EQ(extracted, 0) << extractText;
    EXPECT_TRUE(fs::exists(fRoot + "/new/folder/ReadMe.txt")) << extractText;
    auto [wrong, wrongText] = Run("--frobnicate");
    EXPECT_EQ(wrong, 2);
    EXPECT_NE(wrongText.find("--frobnicate"), std::string::npos) << wrongText;
}

TEST_F(TerminalInstallTest, WithNeitherDisplayNorTerminalItSaysHowAndEnds)
{
    auto [status, output] = Run("");
    EXPECT_EQ(status, 2);
    EXPECT_NE(output.find("--unattended --answers"), std::string::npos) << output;
    EXPECT_EQ(output.find("headless"), std::string::npos) << output;
}

struct BadAnswers {
    const char* name;
    const char* text;
    int status;
    const char* said;
};

using TerminalInstallBadAnswersTest = TerminalTest<BadAnswers>;

TEST_P(TerminalInstallBadAnswersTest, EndsWithItsStatusAndWritesNothing)
{
    std::string destination = fRoot + "/dest";
    std::ofstream(fRoot + "/a-file") << "in the way";
    std::string text = GetParam().text;
    for (size_t at = text.find("@"); at != std::string::npos; at = text.find("@"))
        text.replace(at, 1, fRoot);
    WriteAnswers(text);
    std::set<std::string> before = PathsBelow(brenvik::test::SandboxRoot());
    auto [status, output] = Run("--unattended --answers '" + fAnswers + "'");
    EXPECT_EQ(status, GetParam().status) << output;
    EXPECT_NE(output.find(GetParam().said), std::string::npos) << output;
    EXPECT_EQ(PathsBelow(brenvik::test::SandboxRoot()), before);
}

INSTANTIATE_TEST_SUITE_P(Table, TerminalInstallBadAnswersTest,
    testing::Values(BadAnswers { "LicenceNotAccepted", "destination = @/dest\n", 2, "license" },
        BadAnswers { "UnknownKey", "license = accept\ncolour = blue\n", 2, "colour" },
        BadAnswers { "UnknownType", "license = accept\ninstall_type = Full\n", 2, "Full" },
        BadAnswers { "UnknownFile", "license = accept\nfile = Nothing.app\n", 2, "Nothing.app" },
        BadAnswers {
            "DestinationBelowAFile", "license = accept\ndestination = @/a-file/x\n", 1, "a-file" },
        BadAnswers {
            "RelativeDestination", "license = accept\ndestination = dest\n", 2, "destination" }),
    [](const testing::TestParamInfo<BadAnswers>& param) { return std::string(param.param.name); });

TEST_F(TerminalInstallTest, AnUnattendedRunInstallsWhatThePassDoesAndASecondChangesNothing)
{
    // The pass as the window runs it, every file chosen.
    std::string byPass = fRoot + "/pass";
    fs::create_directories(byPass);
    {
        InstallConfig config;
        ASSERT_TRUE(ConfigureSamplePass(config, sInstaller, byPass));
        config.Action();
        ASSERT_EQ(config.Outcome(), InstallConfig::kOutcomeSucceeded);
    }
    WriteAnswers("license = accept\nfile = Notes.app\nfile = ReadMe.txt\nfile = Sounds\n"
                 "file = notes-latest\ndestination = "
        + fRoot + "/unattended/apps\nlaunch = no\n");
    auto [status, output] = Run("--unattended --answers '" + fAnswers + "'");
    ASSERT_EQ(status, 0) << output;
    std::string folder = fRoot + "/unattended/apps/TarselNotes";
    EXPECT_EQ(Tree(folder), Tree(byPass + "/TarselNotes"));
    // The same steps, apart from the folders above the destination that
    // the unattended run made.
    EXPECT_EQ(
        WithoutFolders(StepKinds(folder)), WithoutFolders(StepKinds(byPass + "/TarselNotes")));

    std::set<std::string> before = PathsBelow(brenvik::test::SandboxRoot());
    auto [again, againOutput] = Run("--unattended --answers '" + fAnswers + "' --progress json");
    EXPECT_EQ(again, 0) << againOutput;
    EXPECT_NE(againOutput.find("Already installed"), std::string::npos) << againOutput;
    EXPECT_EQ(PathsBelow(brenvik::test::SandboxRoot()), before);
}

TEST_F(TerminalInstallTest, TheWindowAndTheWizardInstallTheSameTreeAndRecord)
{
    std::string byWindow = fRoot + "/window";
    fs::create_directories(byWindow);
    std::string script = fRoot + "/script.txt";
    std::ofstream(script) << "timeout 30\nclick-label Agree\nclick folder\npanel " << byWindow
                          << "\nclick-label Install\nwait-text instruction Installation Complete\n"
                             "alert OK\nwait-quit\n";
    auto [status, output]
        = RunCommand("BRENVIK_DISPLAY=headless BRENVIK_SCOPE=user BRENVIK_UI_SCRIPT='" + script
            + "' '" + sInstaller + "' 2>&1");
    ASSERT_EQ(status, 0) << output;

    std::string byWizard = fRoot + "/wizard";
    Terminal terminal(sInstaller);
    ASSERT_TRUE(terminal.Started());
    // Who signed it, before the licence.
    ASSERT_TRUE(terminal.Expect("Unsigned"));
    for (auto [expected, typed] : std::vector<std::pair<std::string, std::string>> {
             { "[y/n]", "y" }, { "Enter keeps Typical", "" }, { "Enter goes on", "" },
             { "Destination (Enter keeps", byWizard }, { "Install now?", "y" } }) {
        ASSERT_TRUE(terminal.Expect(expected));
        terminal.Type(typed);
    }
    ASSERT_EQ(terminal.Wait(), 0) << terminal.Output();
    EXPECT_EQ(Tree(byWizard + "/TarselNotes"), Tree(byWindow + "/TarselNotes"));
    EXPECT_EQ(WithoutFolders(StepKinds(byWizard + "/TarselNotes")),
        WithoutFolders(StepKinds(byWindow + "/TarselNotes")));
}

TEST_F(TerminalInstallTest, ProgressAsJsonGivesOneObjectALine)
{
    WriteAnswers("license = accept\ninstall_type = Typical\ndestination = " + fRoot + "/json\n");
    auto [status, output] = Run("--unattended --answers '" + fAnswers + "' --progress json");
    ASSERT_EQ(status, 0) << output;
    std::istringstream lines(output);
    std::string line;
    int items = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(line.front(), '{') << line;
        EXPECT_EQ(line.back(), '}') << line;
        if (line.find("\"step\":\"item\"") != std::string::npos
            && line.find("\"done\":true") != std::string::npos)
            items++;
    }
    EXPECT_EQ(items, 3) << output;
    EXPECT_EQ(output.find("{\"step\":\"signature\",\"signed\":false}"), 0u) << output;
    EXPECT_NE(output.find("{\"step\":\"end\",\"status\":0}"), std::string::npos) << output;
}

TEST_F(TerminalInstallTest, TheWizardAsksBeforeReplacingAFolderAndAnItem)
{
    const std::string installer = AskingInstaller();
    ASSERT_FALSE(installer.empty());
    std::string destination = fRoot + "/wizard";
    fs::create_directories(destination + "/TarselNotes");
    Terminal terminal(installer);
    ASSERT_TRUE(terminal.Started());
    for (auto [expected, typed] : std::vector<std::pair<std::string, std::string>> {
             { "[y/n]", "y" }, { "Enter keeps Typical", "2" }, { "Enter goes on", "" },
             { "Destination (Enter keeps", destination },
             // The installation folder that is there: Cancel, Replace.
             { "Do you wish to replace?", "" }, { "Your choice", "2" }, { "Install now?", "y" },
             { "Sounds' already exists", "" }, { "Your choice", "2" }, { "[y/n]", "n" } }) {
        ASSERT_TRUE(terminal.Expect(expected));
        if (!typed.empty() || expected == "Enter goes on")
            terminal.Type(typed);
    }
    ASSERT_TRUE(terminal.Expect("Installation successfully completed."));
    EXPECT_EQ(terminal.Wait(), 0) << terminal.Output();
    EXPECT_TRUE(fs::is_directory(destination + "/TarselNotes"));
}

TEST_F(TerminalInstallTest, CtrlCAtAQuestionStopsThePassAsTheStopButtonDoes)
{
    const std::string installer = AskingInstaller();
    ASSERT_FALSE(installer.empty());
    Terminal terminal(installer);
    ASSERT_TRUE(terminal.Started());
    ASSERT_TRUE(WalkToTheQuestion(terminal, fRoot + "/stopped"));
    terminal.Write("\x03");
    EXPECT_EQ(terminal.Wait(), 4) << terminal.Output();
    // The stopped installation is offered for roll-back, as after a stop in
    // the window, and the sounds that were there are still there.
    EXPECT_FALSE(RollBackOffer::Find("Tarsel Notes").empty());
    std::string record;
    for (const std::string& journal : RollBackOffer::Find("Tarsel Notes")) {
        InstallRecordReader reader;
        ASSERT_EQ(reader.ReadFile(journal.c_str()), B_OK);
        EXPECT_EQ(reader.EndState(), InstallRecord::kStateStopped);
    }
    EXPECT_TRUE(RollBackOffer::RollBackAll(RollBackOffer::Find("Tarsel Notes")));
}

TEST_F(TerminalInstallTest, AnswersRecordedInAWalkInstallTheSameTreeUnattended)
{
    std::string walked = fRoot + "/walked";
    std::string recorded = fRoot + "/recorded.txt";
    Terminal terminal(sInstaller, { "--record-answers", recorded });
    ASSERT_TRUE(terminal.Started());
    ASSERT_TRUE(terminal.Expect("[y/n]"));
    terminal.Type("y");
    ASSERT_TRUE(terminal.Expect("Enter keeps Typical"));
    terminal.Type("2");
    ASSERT_TRUE(terminal.Expect("Enter goes on"));
    terminal.Type("1");
    ASSERT_TRUE(terminal.Expect("Enter goes on"));
    terminal.Type("");
    ASSERT_TRUE(terminal.Expect("Destination (Enter keeps"));
    terminal.Type(walked);
    ASSERT_TRUE(terminal.Expect("Install now?"));
    terminal.Type("y");
    ASSERT_EQ(terminal.Wait(), 0) << terminal.Output();

    // The same answers on "another machine": only the destination differs.
    std::string text = ReadBytes(recorded);
    size_t at = text.find(walked);
    ASSERT_NE(at, std::string::npos) << text;
    std::string replayed = fRoot + "/replayed";
    text.replace(at, walked.size(), replayed);
    WriteAnswers(text);
    auto [status, output] = Run("--unattended --answers '" + fAnswers + "'");
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(Tree(replayed + "/TarselNotes"), Tree(walked + "/TarselNotes"));
}

// The fleet example: examples/deploy's playbook against this machine, twice
// (changed, then not), and the de-installer's own unattended run after it.
TEST_F(TerminalInstallTest, ThePlaybookInstallsOnceAndThenReportsNoChange)
{
    if (RunCommand("command -v ansible-playbook").second.empty())
        GTEST_SKIP() << "ansible-playbook is not installed";
    std::string answers = ReadBytes(brenvik::test::TestDataPath("../examples/deploy/answers.txt"));
    size_t at = answers.find("/opt");
    ASSERT_NE(at, std::string::npos);
    answers.replace(at, 4, fRoot + "/fleet");
    WriteAnswers(answers);
    std::string playbook = "cd '" + fRoot + "' && LC_ALL=C.UTF-8 ANSIBLE_NOCOLOR=1 ANSIBLE_HOME='"
        + fRoot + "/ansible' ANSIBLE_LOCAL_TEMP='" + fRoot + "/ansible/tmp' ANSIBLE_REMOTE_TEMP='"
        + fRoot + "/ansible/tmp' ansible-playbook -i '"
        + brenvik::test::TestDataPath("../examples/deploy/inventory.ini") + "' '"
        + brenvik::test::TestDataPath("../examples/deploy/install.yml") + "' -e installer='"
        + sInstaller + "' -e answers='" + fAnswers + "' -e stage='" + fRoot + "/stage'";
    // Asked for a publisher's key, a host refuses the unsigned installer.
    auto [refused, refusal] = RunCommand(playbook + " -e publisher_key=3F2A9C0177BE0D45");
    EXPECT_NE(refused, 0) << refusal;
    EXPECT_NE(refusal.find("not signed with the required key"), std::string::npos) << refusal;
    EXPECT_FALSE(fs::exists(fRoot + "/fleet/TarselNotes"));

    auto [first, firstOutput] = RunCommand(playbook);
    ASSERT_EQ(first, 0) << firstOutput;
    EXPECT_NE(firstOutput.find("failed=0"), std::string::npos) << firstOutput;
    EXPECT_EQ(firstOutput.find(" changed=0 "), std::string::npos) << firstOutput;
    std::string folder = fRoot + "/fleet/TarselNotes";
    EXPECT_TRUE(fs::exists(folder + "/ReadMe.txt"));

    auto [second, secondOutput] = RunCommand(playbook);
    ASSERT_EQ(second, 0) << secondOutput;
    EXPECT_NE(secondOutput.find(" changed=0 "), std::string::npos) << secondOutput;

    auto [removed, removal] = RunCommand(std::string(kNoDisplay) + "'" + folder
        + "/Tarsel Notes 1.0.2 Deinstaller' --unattended </dev/null");
    EXPECT_EQ(removed, 0) << removal;
    EXPECT_FALSE(fs::exists(folder));
}

} // namespace
