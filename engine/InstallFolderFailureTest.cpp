// A pass that cannot make its installation folder, in a destination the user
// may not write in: it says which folder stopped it and why, and puts back
// what it made on the way with its record, so that the next pass finds no
// installation that did not finish.

#include <gtest/gtest.h>

#include <OrdinaryUser.h>

#include "InstallPassTestSupport.h"
#include "InstallRemoval.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

using namespace pass_test;

struct FailureCase {
    const char* name;
    // Below the read-only folder, still to be made; "" for the folder
    // itself.
    const char* below;
};

void PrintTo(const FailureCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class InstallFolderFailureTest : public PassFixture<>,
                                 public testing::WithParamInterface<FailureCase> { };

TEST_P(InstallFolderFailureTest, NamesTheFolderAndLeavesNoUnfinishedInstallation)
{
    MakeSandbox("unwritable");
    std::string source = fRoot + "/payload/ReadMe";
    WriteBytes(source, "read me");
    bool ran = brenvik::test::RunAsOrdinaryUser([&] {
        std::string locked = fDestination;
        std::string destination = locked + GetParam().below;
        TestInstaller installer(fRoot);
        installer.config.ReplaceString("app_name", "Unwritable");
        installer.AddItem({ source });
        InstallConfig config;
        auto dialogs = std::make_unique<TestDialogs>();
        TestDialogs* shown = dialogs.get();
        config.SetDialogs(std::move(dialogs));
        config.SetSystemProbe(std::make_unique<TestProbe>());
        installer.Configure(config, locked);
        config.SetDestinationPath(destination);
        config.SetMakeDestination(true);
        ASSERT_EQ(chmod(locked.c_str(), 0555), 0);

        EXPECT_EQ(config.Action(), InstallConfig::kPassFailed);
        ASSERT_EQ(shown->errors.size(), 1u);
        EXPECT_NE(shown->errors[0].find("(" + locked + ": " + std::strerror(EACCES) + ")"),
            std::string::npos)
            << shown->errors[0];
        EXPECT_EQ(InstallRemoval::FindUnfinished("Unwritable"), std::vector<std::string> {});
        chmod(locked.c_str(), 0755);
    });
    if (!ran)
        GTEST_SKIP() << "the sandbox is out of an ordinary user's reach";
}

INSTANTIATE_TEST_SUITE_P(Destinations, InstallFolderFailureTest,
    testing::Values(FailureCase { "TheFolderItself", "" },
        FailureCase { "AFolderStillToBeMade", "/new/place" }),
    [](const testing::TestParamInfo<FailureCase>& param) { return std::string(param.param.name); });

} // namespace
