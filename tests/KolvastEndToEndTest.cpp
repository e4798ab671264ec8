// End to end: the sample installer installs into a sandbox that already
// holds what its items collide with under every rule (an earlier
// installation folder, a folder in the way of a "Rename" item, a menu entry
// in the way of a "Replace" link), and the de-installer that the installation
// left in its folder removes it again. Afterwards the sandbox is what it was
// before, to every byte, mode, attribute and link target; also when the
// installation was stopped after some items, and in both scopes.

#include "E2eSupport.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <FindDirectory.h>
#include <Path.h>
#include <Resources.h>

#include <InstallConfig.h>
#include <InstallPassTestSupport.h>
#include <InstallRecord.h>
#include <InstallRemoval.h>
#include <InstallerBuilder.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

std::string Attributes(const std::string& path)
{
    char names[4096];
    ssize_t size = llistxattr(path.c_str(), names, sizeof(names));
    std::map<std::string, std::string> values;
    for (ssize_t at = 0; size > 0 && at < size; at += ssize_t(std::strlen(names + at)) + 1) {
        char value[4096];
        ssize_t length = lgetxattr(path.c_str(), names + at, value, sizeof(value));
        values[names + at] = std::string(value, size_t(std::max<ssize_t>(length, 0)));
    }
    std::string text;
    for (const auto& [name, value] : values)
        text += " " + name + "=" + value;
    return text;
}

// Everything below the sandbox as the user sees it: kind, mode, bytes, date
// of files, link targets and attributes. Brenvik's own state (records and
// removal logs) and the trash's empty folders are left out.
std::map<std::string, std::string> Snapshot()
{
    std::string root = brenvik::test::SandboxRoot();
    std::string state = fs::path(InstallRecord::RecordsFolder()).parent_path();
    std::map<std::string, std::string> tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        std::string path = it->path().string();
        // The test's own files (the sample, the installer) are in tmp/.
        if (path.rfind(state, 0) == 0 || path.rfind(root + "/tmp", 0) == 0
            || path.find("/actions.log") != std::string::npos)
            continue;
        struct stat info;
        lstat(path.c_str(), &info);
        std::string what = std::to_string(info.st_mode) + Attributes(path);
        if (S_ISLNK(info.st_mode)) {
            what += " -> " + fs::read_symlink(path).string();
        } else if (S_ISREG(info.st_mode)) {
            what += " " + std::to_string(info.st_mtime) + " " + ReadBytes(path);
        } else if (S_ISDIR(info.st_mode) && path.find("/Trash/") != std::string::npos) {
            continue;
        }
        tree[path] = what;
    }
    return tree;
}

// The paths whose snapshots differ, with what each side holds (cut short).
std::string Differences(const std::map<std::string, std::string>& before,
    const std::map<std::string, std::string>& after)
{
    std::string text;
    auto shown = [](const std::map<std::string, std::string>& side, const std::string& path) {
        auto found = side.find(path);
        return found == side.end() ? std::string("(none)") : found->second.substr(0, 120);
    };
    std::set<std::string> paths;
    for (const auto& side : { &before, &after }) {
        for (const auto& [path, what] : *side) {
            auto other = (side == &before ? after : before).find(path);
            if (other == (side == &before ? after : before).end() || other->second != what)
                paths.insert(path);
        }
    }
    for (const std::string& path : paths)
        text += path + "\n  before: " + shown(before, path) + "\n  after:  " + shown(after, path)
            + "\n";
    return text;
}

class KolvastEndToEndTest : public SampleTest<std::tuple<const char*, int>> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sStatus, B_OK);
        setenv("BRENVIK_SCOPE", std::get<0>(GetParam()), 1);
        fDestination = Folder(B_APPS_DIRECTORY);
        fFolder = fDestination + "/TarselNotes";
        fSettings = Folder(B_USER_SETTINGS_DIRECTORY) + "/Tarsel/Notes";
        fDeinstaller = fFolder + "/Tarsel Notes 1.0.2 Deinstaller";
        fs::create_directories(fDestination);
        // As on any system that was used before: the trash and Brenvik's
        // state folder are there.
        fs::create_directories(Folder(B_TRASH_DIRECTORY));
        fs::create_directories(InstallRecord::RecordsFolder());
    }

    void TearDown() override
    {
        // The next test starts from an empty sandbox.
        fs::remove_all(fFolder);
        fs::remove_all(Folder(B_USER_SETTINGS_DIRECTORY) + "/Tarsel");
        fs::remove(Folder(B_USER_DESKBAR_DIRECTORY) + "/Notes.app.desktop");
        unsetenv("BRENVIK_SCOPE");
    }

    // Installs the sample product, stopping before item `stopAfter` + 1.
    void Install(int stopAfter = 4)
    {
        ASSERT_TRUE(ConfigureSamplePass(fConfig, sInstaller, fDestination));
        fConfig.SetStatusObserver([this, stopAfter](const char* text) {
            if (std::string(text).rfind("Installing " + std::to_string(stopAfter + 1) + " of", 0)
                == 0)
                fConfig.RequestStop();
        });
        status_t result = fConfig.Action();
        EXPECT_EQ(result, stopAfter < 4 ? InstallConfig::kPassStopped : InstallConfig::kPassDone);
    }

    std::pair<int, std::string> RunDeinstaller(const std::string& options = "")
    {
        return RunCommand("'" + fDeinstaller + "' --unattended " + options);
    }

    std::string fDestination;
    std::string fFolder;
    std::string fSettings;
    std::string fDeinstaller;
    InstallConfig fConfig;
};

TEST_P(KolvastEndToEndTest, LeavesTheSandboxAsItWas)
{
    // What the items meet: an earlier installation folder (to the trash),
    // the user's "Sounds" folder ("Rename"), and the user's menu entry of the
    // same name ("Replace", saved).
    pass_test::WriteBytes(fFolder + "/left-over", "an earlier installation");
    pass_test::WriteBytes(fSettings + "/Sounds/mine.raw", "the user's sound", 0600);
    pass_test::WriteBytes(
        Folder(B_USER_DESKBAR_DIRECTORY) + "/Notes.app.desktop", "[Desktop Entry]\nName=Mine\n");
    auto before = Snapshot();

    Install(std::get<1>(GetParam()));
    ASSERT_TRUE(fs::exists(fDeinstaller));
    std::string journal = ReadBytes(fConfig.RecordPath());
    // The earlier installation comes back when the user asks for it.
    auto [status, output] = RunDeinstaller("--put-back-earlier");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Removing Tarsel Notes 1.0.2"), std::string::npos) << output;
    auto after = Snapshot();
    EXPECT_TRUE(after == before) << Differences(before, after) << output;
    EXPECT_FALSE(fs::exists(fConfig.RecordPath()));
    EXPECT_TRUE(fs::exists(InstallRemoval::LogFolder()));

    // Run again on the record, as after a removal killed before its end: it
    // finds everything done, changes nothing and succeeds.
    pass_test::WriteBytes(fConfig.RecordPath(), journal, 0600);
    auto [again, secondOutput] = RunCommand("'" + ProgramPath("brenvik-kolvast")
        + "' --unattended --put-back-earlier --record '" + fConfig.RecordPath() + "'");
    EXPECT_EQ(again, 0) << secondOutput;
    after = Snapshot();
    EXPECT_TRUE(after == before) << Differences(before, after) << secondOutput;
}

// The earlier installation that a finished reinstallation sent to the trash
// holds the old version, which the user replaced on purpose: removing the
// new one leaves it there, and says so, unless the user asks for it back. A
// stopped reinstallation is undone as a whole: the earlier one comes back.
TEST_P(KolvastEndToEndTest, TheEarlierInstallationStaysInTheTrashUnlessAskedFor)
{
    pass_test::WriteBytes(fFolder + "/edited.conf", "the user's own settings");
    Install(std::get<1>(GetParam()));
    ASSERT_TRUE(fs::exists(fDeinstaller));
    auto [status, output] = RunDeinstaller();
    EXPECT_EQ(status, 0) << output;
    bool finished = std::get<1>(GetParam()) >= 4;
    std::string trashed;
    for (const auto& entry : fs::directory_iterator(Folder(B_TRASH_DIRECTORY))) {
        if (fs::exists(entry.path() / "edited.conf"))
            trashed = entry.path();
    }
    if (finished) {
        EXPECT_FALSE(fs::exists(fFolder)) << output;
        ASSERT_FALSE(trashed.empty()) << output;
        EXPECT_EQ(ReadBytes(trashed + "/edited.conf"), "the user's own settings");
        EXPECT_NE(output.find(trashed), std::string::npos) << output;
        EXPECT_NE(output.find("stays in the trash"), std::string::npos) << output;
    } else {
        EXPECT_EQ(ReadBytes(fFolder + "/edited.conf"), "the user's own settings") << output;
        EXPECT_TRUE(trashed.empty()) << trashed;
    }
}

// On a fresh account the default folder is not there yet: the installation
// makes it, and the removal takes it away again with the rest.
class KolvastFreshAccountTest : public KolvastEndToEndTest { };

TEST_P(KolvastFreshAccountTest, LeavesAFreshAccountAsItWas)
{
    fs::remove_all(fDestination);
    auto before = Snapshot();
    fConfig.SetMakeDestination(true);
    Install();
    ASSERT_TRUE(fs::exists(fDeinstaller));
    auto [status, output] = RunDeinstaller();
    EXPECT_EQ(status, 0) << output;
    auto after = Snapshot();
    EXPECT_TRUE(after == before) << Differences(before, after) << output;
    EXPECT_FALSE(fs::exists(fDestination)) << output;
}

class KolvastEditedFileTest : public KolvastEndToEndTest { };

TEST_P(KolvastEditedFileTest, KeepsAnEditedFileAndSaysSo)
{
    Install();
    pass_test::WriteBytes(fFolder + "/ReadMe.txt", "my notes");
    auto [status, output] = RunDeinstaller();
    EXPECT_EQ(status, 1) << output;
    EXPECT_NE(output.find("Kept\t" + fFolder + "/ReadMe.txt\t"), std::string::npos) << output;
    EXPECT_EQ(ReadBytes(fFolder + "/ReadMe.txt"), "my notes");
    EXPECT_FALSE(fs::exists(fFolder + "/Notes.app"));
    EXPECT_FALSE(fs::exists(fDeinstaller));
}

INSTANTIATE_TEST_SUITE_P(Scopes, KolvastEndToEndTest,
    testing::Combine(testing::Values("user", "system"), testing::Values(0, 2, 4)),
    [](const testing::TestParamInfo<std::tuple<const char*, int>>& param) {
        int stop = std::get<1>(param.param);
        return std::string(std::get<0>(param.param))
            + (stop == 4 ? "Whole" : "StoppedAfter" + std::to_string(stop));
    });

INSTANTIATE_TEST_SUITE_P(Scopes, KolvastFreshAccountTest,
    testing::Combine(testing::Values("user", "system"), testing::Values(4)));

INSTANTIATE_TEST_SUITE_P(Scopes, KolvastEditedFileTest,
    testing::Combine(testing::Values("user", "system"), testing::Values(4)));

TEST(KolvastProgramTest, SaysWhenItBelongsToNoInstallation)
{
    auto [status, output] = RunCommand("'" + ProgramPath("brenvik-kolvast") + "' --unattended");
    EXPECT_EQ(status, 2) << output;
    EXPECT_NE(output.find("belongs to no installation"), std::string::npos) << output;
    std::tie(status, output)
        = RunCommand("'" + ProgramPath("brenvik-kolvast") + "' --record /nonexistent --unattended");
    EXPECT_EQ(status, 2) << output;
}

} // namespace
