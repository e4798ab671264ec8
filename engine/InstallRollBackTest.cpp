// The install record says enough to undo an installation completely: these
// tests undo one from its record alone with InstallRemoval, as the
// de-installer and the installer's roll-back do, and find every folder as it
// was before, byte for byte, also after an installation that was stopped in
// the middle or failed (a full disk, a folder nothing can be written in).

#include "InstallPassTestSupport.h"

#include <OrdinaryUser.h>

#include <csignal>
#include <cstdio>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <FindDirectory.h>
#include <Path.h>

#include "InstallRemoval.h"

namespace {

using namespace pass_test;

class InstallRollBackTest : public PassFixture<testing::TestWithParam<int>> {
protected:
    void SetUp() override
    {
        MakeSandbox("rollback");
        fInstaller.reset(new TestInstaller(fRoot));
        fConfig.SetDialogs(std::make_unique<TestDialogs>());
        fConfig.SetSystemProbe(std::make_unique<TestProbe>());
        fTag = "RollBack" + std::to_string(GetParam());
    }

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
    std::string settings = FindFolder(B_USER_SETTINGS_DIRECTORY) + "/" + fTag;
    std::string sounds = FindFolder(B_USER_SOUNDS_DIRECTORY);
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
        EXPECT_NE(step.state, InstallRecordReader::kStepBegun) << step.kind;

    std::string journal = ReadBytes(fConfig.RecordPath());
    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(fConfig.RecordPath(), &report), B_OK) << report;
    EXPECT_EQ(UserSnapshot(fRoot), before) << report;
    EXPECT_FALSE(Lexists(fConfig.RecordPath()));
    ExpectSecondRemovalChangesNothing(fConfig.RecordPath(), journal, fRoot);
}

INSTANTIATE_TEST_SUITE_P(StopAfterItem, InstallRollBackTest, testing::Values(0, 1, 2, 3, 4));

// How an installation fails: the disk fills in the middle of an item (writes
// past 1 MiB refused, or a real 1 MiB file system), or the destination folder
// takes no new entries.
enum class Fault { kWriteLimit, kSmallFileSystem, kReadOnlyFolder };

std::ostream& operator<<(std::ostream& stream, Fault fault)
{
    switch (fault) {
    case Fault::kWriteLimit:
        return stream << "WriteLimit";
    case Fault::kSmallFileSystem:
        return stream << "SmallFileSystem";
    case Fault::kReadOnlyFolder:
        return stream << "ReadOnlyFolder";
    }
    return stream;
}

constexpr int kNotHere = 77;

// Runs `body` in a child process with mounts of its own, where `folder` is a
// fresh tmpfs of `bytes`. The child's status: 0 when `body` added no failure
// (they are printed as they happen), kNotHere when this machine lets no
// process mount one (no user namespaces).
int RunOnSmallFileSystem(const std::string& folder, size_t bytes, const std::function<void()>& body)
{
    auto mountFolder = [&folder, bytes] {
        // A child that hangs on a lock taken by another thread of the parent
        // ends rather than hold the tests up.
        alarm(60);
        uid_t uid = geteuid();
        gid_t gid = getegid();
        if (unshare(CLONE_NEWNS | (uid != 0 ? CLONE_NEWUSER : 0)) != 0)
            return kNotHere;
        if (uid != 0) {
            std::ofstream("/proc/self/setgroups") << "deny";
            std::ofstream("/proc/self/uid_map") << uid << " " << uid << " 1";
            std::ofstream("/proc/self/gid_map") << gid << " " << gid << " 1";
        }
        std::string options = "size=" + std::to_string(bytes);
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return kNotHere;
        return 0;
    };
    return brenvik::test::RunTestInChild(mountFolder, body);
}

class InstallFaultTest : public PassFixture<testing::TestWithParam<Fault>> {
protected:
    void SetUp() override
    {
        MakeSandbox("fault");
        fSounds = FindFolder(B_USER_SOUNDS_DIRECTORY);
        fs::create_directories(fSounds);
        fInstaller.reset(new TestInstaller(fRoot));
        fConfig.SetDialogs(std::make_unique<TestDialogs>());
        fConfig.SetSystemProbe(std::make_unique<TestProbe>());
        WriteBytes(fRoot + "/payload/small.raw", "a small sound");
        WriteBytes(fRoot + "/payload/big.raw", std::string(2 << 20, 'b'));
        fInstaller->AddItem({ fRoot + "/payload/small.raw", "User Sounds" });
        fInstaller->AddItem({ fRoot + "/payload/big.raw", "User Sounds" });
        fInstaller->config.AddBool("opt_save_replaced", true);
    }

    // The user's sounds, the installation that fails on them, and its undoing
    // from the record.
    void FailAndRollBack(Fault fault)
    {
        WriteBytes(fSounds + "/big.raw", "the user's own sound");
        WriteBytes(fSounds + "/mine.raw", "another sound of the user's");
        auto before = UserSnapshot(fRoot);
        fInstaller->Configure(fConfig, fDestination);

        status_t result = B_ERROR;
        if (fault == Fault::kWriteLimit) {
            // Writes past 1 MiB fail as on a full disk (EFBIG for ENOSPC).
            struct rlimit old;
            getrlimit(RLIMIT_FSIZE, &old);
            struct rlimit limit = { 1 << 20, old.rlim_max };
            sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
            result = fConfig.Action();
            setrlimit(RLIMIT_FSIZE, &old);
            signal(SIGXFSZ, oldHandler);
        } else if (fault == Fault::kReadOnlyFolder) {
            ASSERT_TRUE(SetReadOnly(fSounds, true));
            result = fConfig.Action();
            SetReadOnly(fSounds, false);
        } else {
            result = fConfig.Action();
        }

        EXPECT_EQ(result, InstallConfig::kPassDone);
        EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeFailed);
        ASSERT_FALSE(fConfig.Failures().empty());
        if (fault != Fault::kReadOnlyFolder) {
            // The item that did not fit is named; the user's file of that
            // name is still there as it was.
            EXPECT_EQ(fConfig.Failures().size(), 1u);
            EXPECT_EQ(fConfig.Failures()[0].rfind("big.raw: ", 0), 0u) << fConfig.Failures()[0];
            EXPECT_EQ(ReadBytes(fSounds + "/small.raw"), "a small sound");
        }
        EXPECT_EQ(ReadBytes(fSounds + "/big.raw"), "the user's own sound");
        EXPECT_EQ(ReadBytes(fSounds + "/mine.raw"), "another sound of the user's");
        EXPECT_TRUE(ScratchLeftovers().empty()) << ScratchLeftovers()[0];
        InstallRecordReader record = RecordOf(fConfig);
        // The pass went on to its end: nothing to offer for undoing at the
        // next start, but the user can still remove it with its record.
        EXPECT_EQ(record.EndState(), "finished");
        EXPECT_EQ(record.Failures(), int32(fConfig.Failures().size()));
        for (const auto& step : record.Steps())
            EXPECT_NE(step.state, InstallRecordReader::kStepBegun) << step.kind;
        std::string journal = ReadBytes(fConfig.RecordPath());
        std::string report;
        EXPECT_EQ(InstallRemoval::RollBack(fConfig.RecordPath(), &report), B_OK) << report;
        EXPECT_EQ(UserSnapshot(fRoot), before) << report;
        ExpectSecondRemovalChangesNothing(fConfig.RecordPath(), journal, fRoot);
    }

    std::string fSounds;
    std::unique_ptr<TestInstaller> fInstaller;
    InstallConfig fConfig;
};

TEST_P(InstallFaultTest, FailsClearlyLosesNothingAndRollsBack)
{
    Fault fault = GetParam();
    if (fault == Fault::kReadOnlyFolder) {
        if (!SetReadOnly(fSounds, true))
            GTEST_SKIP() << "this user can write in any folder here";
        SetReadOnly(fSounds, false);
    }
    if (fault != Fault::kSmallFileSystem) {
        FailAndRollBack(fault);
        return;
    }
    int status = RunOnSmallFileSystem(fSounds, 1 << 20, [&] { FailAndRollBack(fault); });
    if (status == kNotHere)
        GTEST_SKIP() << "no private tmpfs can be mounted here";
    EXPECT_EQ(status, 0) << "the failures of the child process are printed above";
}

INSTANTIATE_TEST_SUITE_P(Faults, InstallFaultTest,
    testing::Values(Fault::kWriteLimit, Fault::kSmallFileSystem, Fault::kReadOnlyFolder),
    [](const testing::TestParamInfo<Fault>& param) {
        std::ostringstream name;
        name << param.param;
        return name.str();
    });

} // namespace
