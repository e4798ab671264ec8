#include "ScriptTargets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <Message.h>

#include "ScriptTestSupport.h"

namespace {

using namespace script_test;

class ScriptTargetsTest : public ScriptSandbox {
protected:
    ScriptEdit EditProfile(const char* contents = "export APP_VAR=hello")
    {
        ScriptEdit edit;
        EXPECT_EQ(EditScriptFile(B_USER_DIRECTORY, ".profile", "App", contents, &edit), B_OK);
        return edit;
    }

    std::string Profile() const { return fHome + "/.profile"; }
    std::string BootFolder() const { return fConfig + "/brenvik/boot"; }
};

const std::string kProfileBlock = "#BEGIN_App\nexport APP_VAR=hello\n#END_App\n";

TEST_F(ScriptTargetsTest, ProfileTwiceHoldsOneBlockAndRemovalRestoresEveryByte)
{
    const std::string original = "# mine\nexport MINE=1";
    ASSERT_TRUE(WriteFile(Profile(), original, 0640));
    ScriptTargets::BeginPass();
    ScriptEdit first = EditProfile();
    ScriptEdit second = EditProfile();
    EXPECT_EQ(ReadFile(Profile()), original + "\n" + kProfileBlock);
    EXPECT_EQ(second.path, Profile());
    ASSERT_EQ(second.files.size(), 1u);
    EXPECT_FALSE(second.files[0].changed);
    EXPECT_EQ(ReadFile(Profile() + ".orig"), original);

    // The de-installer works from the first record, which knows about the
    // newline it had to add.
    ASSERT_EQ(RemoveScriptEdit(first), B_OK);
    EXPECT_EQ(ReadFile(Profile()), original);
    struct stat info;
    ASSERT_EQ(stat(Profile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(ScriptTargetsTest, AMissingProfileIsCreatedWithTheBlockAloneAndRemovedWithIt)
{
    ScriptEdit edit = EditProfile();
    EXPECT_EQ(ReadFile(Profile()), kProfileBlock);
    ASSERT_EQ(edit.files.size(), 1u);
    EXPECT_TRUE(edit.files[0].created);
    ASSERT_EQ(RemoveScriptEdit(edit), B_OK);
    EXPECT_FALSE(Exists(Profile()));
}

TEST_F(ScriptTargetsTest, ALinkedProfileStaysALink)
{
    ASSERT_EQ(mkdir((fHome + "/dotfiles").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(fHome + "/dotfiles/profile", "A=1\n"));
    ASSERT_EQ(symlink("dotfiles/profile", Profile().c_str()), 0);
    ScriptEdit edit = EditProfile();
    struct stat info;
    ASSERT_EQ(lstat(Profile().c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(edit.path, fHome + "/dotfiles/profile");
    EXPECT_EQ(ReadFile(fHome + "/dotfiles/profile"), "A=1\n" + kProfileBlock);
}

TEST_F(ScriptTargetsTest, ADamagedBlockLeavesTheFileAlone)
{
    const std::string damaged = "a\n#BEGIN_App\nmy own line\n";
    ASSERT_TRUE(WriteFile(Profile(), damaged));
    ScriptEdit edit;
    EXPECT_EQ(EditScriptFile(B_USER_DIRECTORY, ".profile", "App", "X=1", &edit), B_BAD_DATA);
    EXPECT_EQ(ReadFile(Profile()), damaged);
    ASSERT_FALSE(edit.notes.empty());
    EXPECT_NE(edit.notes[0].find(Profile()), std::string::npos);
}

TEST_F(ScriptTargetsTest, BadTagsAndContentsAreRefused)
{
    EXPECT_EQ(EditScriptFile(B_USER_DIRECTORY, ".profile", "", "X=1"), B_BAD_VALUE);
    EXPECT_EQ(EditScriptFile(B_USER_DIRECTORY, ".profile", "a\nb", "X=1"), B_BAD_VALUE);
    EXPECT_EQ(EditScriptFile(B_USER_DIRECTORY, "../x", "App", "X=1"), B_BAD_VALUE);
    EXPECT_EQ(
        EditScriptFile(B_USER_DIRECTORY, ".profile", "App", "X=1\n#END_App\nrm -rf ~"), B_BAD_DATA);
    EXPECT_FALSE(Exists(Profile()));
}

// Contents with a line that reads as any block's marker could open or close
// another product's block: refused before any file is touched.
TEST_F(ScriptTargetsTest, ContentsWithAnyMarkerLineAreRefusedBeforeAnythingIsWritten)
{
    for (const char* contents : { "X=1\n#BEGIN_Other", "  #END_Other\nX=1" }) {
        ScriptEdit edit;
        EXPECT_EQ(EditScriptFile(B_USER_DIRECTORY, ".profile", "App", contents, &edit), B_BAD_DATA)
            << contents;
        EXPECT_TRUE(edit.files.empty());
        ASSERT_FALSE(edit.notes.empty());
        EXPECT_NE(edit.notes[0].find("marker"), std::string::npos) << edit.notes[0];
        EXPECT_EQ(
            EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "App", contents), B_BAD_DATA);
    }
    EXPECT_FALSE(Exists(Profile()));
    EXPECT_FALSE(Exists(fConfig));
}

// The installation's block is in the file twice (the user pasted a copy, or
// another program wrote one): which one is the installation's cannot be
// told, so the file stays as it is, and the removal says why.
TEST_F(ScriptTargetsTest, ABlockThatIsThereTwiceIsLeftAndReported)
{
    ASSERT_TRUE(WriteFile(Profile(), "# mine\n"));
    ScriptEdit edit = EditProfile();
    std::string twice = ReadFile(Profile()) + "# my copy:\n" + kProfileBlock;
    ASSERT_TRUE(WriteFile(Profile(), twice));
    std::vector<ScriptFileOutcome> outcomes;
    EXPECT_EQ(RemoveScriptEdit(edit, 0, nullptr, &outcomes), B_OK);
    EXPECT_EQ(ReadFile(Profile()), twice);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_NE(outcomes[0].kind, ScriptFileOutcome::kRemoved);
    EXPECT_NE(outcomes[0].kind, ScriptFileOutcome::kDeleted);
    EXPECT_NE(outcomes[0].kind, ScriptFileOutcome::kAbsent);
}

TEST_F(ScriptTargetsTest, BashAndZshLoginFilesGetCopiesUnlessTheyReadProfile)
{
    ASSERT_TRUE(WriteFile(fHome + "/.bash_profile", "PS1=x\n"));
    ASSERT_TRUE(WriteFile(fHome + "/.bash_login", "# never read: .bash_profile exists\n"));
    ASSERT_TRUE(WriteFile(fHome + "/.zprofile", "emulate sh -c '. ~/.profile'\n"));
    ScriptEdit edit = EditProfile();
    EXPECT_EQ(ReadFile(fHome + "/.bash_profile"), "PS1=x\n" + kProfileBlock);
    EXPECT_EQ(ReadFile(fHome + "/.bash_login"), "# never read: .bash_profile exists\n");
    EXPECT_EQ(ReadFile(fHome + "/.zprofile"), "emulate sh -c '. ~/.profile'\n");
    ASSERT_EQ(edit.files.size(), 2u);
    EXPECT_EQ(edit.files[1].role, ScriptFileChange::kCopy);

    ASSERT_TRUE(
        WriteFile(fHome + "/.bash_profile", "[ -f \"$HOME/.profile\" ] && . \"$HOME/.profile\"\n"));
    ASSERT_TRUE(WriteFile(fHome + "/.zprofile", "path+=(~/bin)\n"));
    edit = EditProfile("export APP_VAR=again");
    EXPECT_EQ(
        ReadFile(fHome + "/.bash_profile"), "[ -f \"$HOME/.profile\" ] && . \"$HOME/.profile\"\n");
    EXPECT_EQ(ReadFile(fHome + "/.zprofile"),
        "path+=(~/bin)\n#BEGIN_App\nexport APP_VAR=again\n#END_App\n");
}

TEST_F(ScriptTargetsTest, BootScriptIsManagedAndRunByOneAutostartEntry)
{
    ScriptEdit first;
    ScriptEdit second;
    ASSERT_EQ(
        EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "One", "touch one", &first), B_OK);
    ASSERT_EQ(
        EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "Two", "touch two", &second), B_OK);
    std::string script = BootFolder() + "/UserBootscript";
    std::string entry = fConfig + "/autostart/brenvik-userbootscript.desktop";
    EXPECT_EQ(first.path, script);
    std::string text = ReadFile(script);
    EXPECT_EQ(text.rfind("#!/bin/sh\n", 0), 0u);
    EXPECT_NE(text.find("#BEGIN_One\ntouch one\n#END_One\n#BEGIN_Two\ntouch two\n#END_Two\n"),
        std::string::npos);
    EXPECT_EQ(ReadFile(entry), ScriptTargets::AutostartEntry(script));
    ASSERT_EQ(first.files.size(), 2u);
    EXPECT_EQ(first.files[1].role, ScriptFileChange::kAutostart);
    EXPECT_TRUE(first.files[1].created);
    EXPECT_FALSE(second.files[1].created);

    // A user who turned the entry off keeps it off through later edits.
    std::string disabled = ScriptTargets::AutostartEntry(script) + "Hidden=true\n";
    ASSERT_TRUE(WriteFile(entry, disabled));
    ASSERT_EQ(
        EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "Two", "touch 2", &second), B_OK);
    EXPECT_EQ(ReadFile(entry), disabled);

    ASSERT_EQ(RemoveScriptEdit(first), B_OK);
    EXPECT_TRUE(Exists(script));
    EXPECT_TRUE(Exists(entry));
    ASSERT_EQ(RemoveScriptEdit(second), B_OK);
    EXPECT_FALSE(Exists(script));
    EXPECT_FALSE(Exists(entry));
}

TEST_F(ScriptTargetsTest, TheAutostartGeneratorRunsTheBootScript)
{
    const std::string generator
        = "/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator";
    if (!HasProgram(generator))
        GTEST_SKIP() << "systemd-xdg-autostart-generator is not installed";
    // A configuration folder whose name needs quoting in the entry.
    std::string config = fRoot + "/con fig %u \"$x\"";
    ASSERT_EQ(mkdir(config.c_str(), 0755), 0);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ASSERT_EQ(EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "One", "true"), B_OK);
    std::string out = brenvik::test::MakeTempFolder("generated");
    ShellRun run = RunClean(fHome, { generator, out, out, out },
        { "XDG_CONFIG_HOME=" + config, "XDG_CONFIG_DIRS=" + fSystem + "/etc/xdg" });
    ASSERT_EQ(run.status, 0) << run.errors;
    std::string unit = ReadFile(out + "/app-brenvik\\x2duserbootscript@autostart.service");
    // The unit's own quoting of the same path.
    std::string quoted;
    for (char c : config + "/brenvik/boot/UserBootscript") {
        if (c == '%')
            quoted += '%';
        else if (c == '"' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    EXPECT_NE(unit.find("\nExecStart=:/bin/sh \"" + quoted + "\"\n"), std::string::npos) << unit;
}

TEST_F(ScriptTargetsTest, StartUpFolderBlockStaysWhileOthersUseIt)
{
    ScriptEdit edit;
    ASSERT_EQ(
        EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "StartUpFolder", "true", &edit),
        B_OK);
    EXPECT_TRUE(edit.startUpFolder);
    std::string script = BootFolder() + "/UserBootscript";
    ASSERT_EQ(RemoveScriptEdit(edit, 1), B_OK);
    EXPECT_NE(ReadFile(script).find("#BEGIN_StartUpFolder"), std::string::npos);
    ASSERT_EQ(RemoveScriptEdit(edit, 0), B_OK);
    EXPECT_FALSE(Exists(script));
}

TEST_F(ScriptTargetsTest, RecordedEditsSurviveArchiving)
{
    ASSERT_TRUE(WriteFile(Profile(), "x"));
    ScriptEdit edit = EditProfile();
    BMessage archive;
    ASSERT_EQ(edit.Archive(&archive), B_OK);
    ScriptEdit restored;
    ASSERT_EQ(restored.Restore(archive), B_OK);
    ASSERT_EQ(restored.files.size(), 1u);
    EXPECT_EQ(restored.files[0].block, kProfileBlock);
    EXPECT_TRUE(restored.files[0].separatorAdded);
    ASSERT_EQ(RemoveScriptEdit(restored), B_OK);
    EXPECT_EQ(ReadFile(Profile()), "x");
}

TEST_F(ScriptTargetsTest, FishGetsTheVariablesWhenItIsSetUp)
{
    ASSERT_EQ(mkdir(fConfig.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((fConfig + "/fish").c_str(), 0755), 0);
    ScriptEdit edit = EditProfile("export APP_HOME=\"$HOME/app\"");
    std::string fish = fConfig + "/fish/conf.d/brenvik-App.fish";
    EXPECT_NE(ReadFile(fish).find("#BEGIN_App\nset -gx APP_HOME \"$HOME\"'/app'\n#END_App\n"),
        std::string::npos);
    ASSERT_EQ(RemoveScriptEdit(edit), B_OK);
    EXPECT_FALSE(Exists(fish));

    edit = EditProfile("[ -d ~/bin ] && PATH=~/bin:$PATH");
    EXPECT_FALSE(Exists(fish));
    ASSERT_FALSE(edit.notes.empty());
    EXPECT_NE(edit.notes.back().find("fish"), std::string::npos);
}

TEST_F(ScriptTargetsTest, SystemScopeUsesDropInsAndNeverEtcProfile)
{
    UseSystemScope();
    ASSERT_EQ(mkdir((fSystem + "/etc").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(fSystem + "/etc/profile", "# the system's\n"));
    ScriptEdit profile = EditProfile();
    std::string dropIn = fSystem + "/etc/profile.d/brenvik-App.sh";
    EXPECT_EQ(profile.path, dropIn);
    EXPECT_NE(ReadFile(dropIn).find(kProfileBlock), std::string::npos);
    EXPECT_EQ(ReadFile(fSystem + "/etc/profile"), "# the system's\n");

    ScriptEdit environment;
    ASSERT_EQ(EditScriptFile(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", "App Env",
                  "export APP_ENV=1", &environment),
        B_OK);
    EXPECT_EQ(environment.path, fSystem + "/etc/opt/brenvik/boot/UserSetupEnvironment");
    EXPECT_NE(
        ReadFile(fSystem + "/etc/profile.d/brenvik.sh").find("#BEGIN_BrenvikSetupEnvironment"),
        std::string::npos);
    EXPECT_NE(
        ReadFile(fSystem + "/etc/environment.d/60-brenvik-App%20Env.conf").find("APP_ENV=\"1\""),
        std::string::npos);
    EXPECT_FALSE(Exists(fHome + "/.profile"));

    ASSERT_EQ(RemoveScriptEdit(environment), B_OK);
    ASSERT_EQ(RemoveScriptEdit(profile), B_OK);
    EXPECT_FALSE(Exists(dropIn));
    EXPECT_FALSE(Exists(fSystem + "/etc/profile.d/brenvik.sh"));
    EXPECT_FALSE(Exists(fSystem + "/etc/environment.d/60-brenvik-App%20Env.conf"));
    EXPECT_FALSE(Exists(fSystem + "/etc/opt/brenvik/boot/UserSetupEnvironment"));
}

// Three products write ~/.profile: A through the editor; B and C through an
// installer that did not check their lines (or by hand), B's lines holding
// A's begin line and C's A's end line, with the user's own lines between
// the blocks. In every order of installing and of removing, the user's
// lines stay, and at the end every block is gone.
class ForgedMarkerTest : public ScriptTargetsTest, public testing::WithParamInterface<std::string> {
protected:
    static constexpr int kUserLines = 4;

    static std::string UserLine(int n) { return "echo user line " + std::to_string(n); }

    // Appends a block of B or C as an unchecking installer would have, and
    // the record of it.
    ScriptEdit AppendForged(char product)
    {
        std::string tag(1, product);
        std::string block = "#BEGIN_" + tag + "\n" + (product == 'B' ? "#BEGIN_A" : "#END_A")
            + "\n#END_" + tag + "\n";
        EXPECT_TRUE(WriteFile(Profile(), ReadFile(Profile()) + block));
        ScriptFileChange change;
        change.role = ScriptFileChange::kScript;
        change.path = Profile();
        change.tag = tag;
        change.block = block;
        change.existed = true;
        change.changed = true;
        ScriptEdit edit;
        edit.script = ".profile";
        edit.tag = tag;
        edit.path = Profile();
        edit.files.push_back(change);
        return edit;
    }

    // The user's first `count` lines are each in the text once, as lines.
    void ExpectUserLines(const std::string& text, const std::string& when, int count = kUserLines)
    {
        for (int n = 0; n < count; n++) {
            std::string line = UserLine(n) + "\n";
            size_t at = text.find(line);
            EXPECT_TRUE(at != std::string::npos && (at == 0 || text[at - 1] == '\n')
                && text.find(line, at + 1) == std::string::npos)
                << UserLine(n) << " " << when << ":\n"
                << text;
        }
    }
};

TEST_P(ForgedMarkerTest, TheUsersLinesSurviveEveryRemovalOrder)
{
    const std::string installOrder = GetParam();
    ASSERT_TRUE(WriteFile(Profile(), UserLine(0) + "\n"));
    std::map<char, ScriptEdit> edits;
    int line = 1;
    for (char product : installOrder) {
        if (product == 'A') {
            // Refused when the file already holds a forged marker of its
            // tag; nothing of the user's is changed then.
            EditScriptFile(B_USER_DIRECTORY, ".profile", "A", "export A_HOME=/opt/a", &edits['A']);
        } else {
            edits[product] = AppendForged(product);
        }
        ASSERT_TRUE(WriteFile(Profile(), ReadFile(Profile()) + UserLine(line++) + "\n"));
        ExpectUserLines(ReadFile(Profile()), std::string("after installing ") + product, line);
    }
    const std::string installed = ReadFile(Profile());
    std::string removalOrder = "ABC";
    do {
        ASSERT_TRUE(WriteFile(Profile(), installed));
        for (char product : removalOrder) {
            RemoveScriptEdit(edits[product]);
            ExpectUserLines(ReadFile(Profile()),
                "after removing " + std::string(1, product) + " (order " + removalOrder + ")");
        }
        std::string expected;
        for (int n = 0; n < kUserLines; n++)
            expected += UserLine(n) + "\n";
        EXPECT_EQ(ReadFile(Profile()), expected) << "removal order " << removalOrder;
    } while (std::next_permutation(removalOrder.begin(), removalOrder.end()));
}

INSTANTIATE_TEST_SUITE_P(InstallOrders, ForgedMarkerTest,
    testing::Values("ABC", "ACB", "BAC", "BCA", "CAB", "CBA"),
    [](const testing::TestParamInfo<std::string>& param) { return param.param; });

} // namespace
