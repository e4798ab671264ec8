// A local user who may write beside the installation folder swaps it, just
// after the pass made it or before the removal, for a link or for a folder of
// their own: nothing outside the installation may be written or deleted.

#include <gtest/gtest.h>

#include <FindDirectory.h>
#include <OrdinaryUser.h>

#include "InstallPassTestSupport.h"

namespace {

using namespace pass_test;

enum class Swap { kLink, kOtherUsersFolder, kOwnFolder };

std::string Name(const testing::TestParamInfo<Swap>& info)
{
    switch (info.param) {
    case Swap::kLink:
        return "Link";
    case Swap::kOtherUsersFolder:
        return "OtherUsersFolder";
    case Swap::kOwnFolder:
        return "OwnFolder";
    }
    return "Unknown";
}

// Puts a swap in place of `folder` (moved aside first): a link to `outside`,
// or a copy of it that is another user's or the running user's own.
void SwapIn(const std::string& folder, Swap swap, const std::string& outside)
{
    ASSERT_EQ(rename(folder.c_str(), (folder + ".moved").c_str()), 0);
    if (swap == Swap::kLink) {
        ASSERT_EQ(symlink(outside.c_str(), folder.c_str()), 0);
        return;
    }
    fs::copy(outside, folder, fs::copy_options::recursive);
    if (swap == Swap::kOtherUsersFolder) {
        ASSERT_EQ(chown(folder.c_str(), brenvik::test::kOrdinaryUid, 0), 0);
    }
}

// Whether one of the pass's failures says `text`.
bool Reported(const InstallConfig& config, const std::string& text)
{
    for (const std::string& failure : config.Failures()) {
        if (failure.find(text) != std::string::npos)
            return true;
    }
    return false;
}

class InstallFolderSwapTest : public PassFixture<>, public testing::WithParamInterface<Swap> {
protected:
    void SetUp() override
    {
        MakeSandbox("swap");
        fOutside = fRoot + "/outside";
        // What the swap points at holds files of the installation's names,
        // as a root-only folder might.
        WriteBytes(fOutside + "/Log", "not a log");
        WriteBytes(fOutside + "/Velk/bin/tool", "#!/bin/sh\necho Velk\n", 0755);
        WriteBytes(fOutside + "/Velk/doc/ReadMe", "read me");
        fSource = fRoot + "/payload";
        WriteBytes(fSource + "/Velk/bin/tool", "#!/bin/sh\necho Velk\n", 0755);
        WriteBytes(fSource + "/Velk/doc/ReadMe", "read me");
    }

    // Puts the swap in place of `folder` (moved aside first).
    void SwapIn(const std::string& folder) { ::SwapIn(folder, GetParam(), fOutside); }

    void Prepare(TestInstaller& installer)
    {
        installer.config.ReplaceString("app_name", "Velk");
        installer.config.ReplaceString("opt_created_folder", "Velk");
        installer.AddItem({ fSource + "/Velk" });
    }

    // Installs the product; its record, or "" when the pass failed.
    std::string Install()
    {
        TestInstaller installer(fSource);
        Prepare(installer);
        InstallConfig config;
        config.SetDialogs(std::make_unique<TestDialogs>());
        config.SetSystemProbe(std::make_unique<TestProbe>());
        installer.Configure(config, fDestination);
        return config.Action() == InstallConfig::kPassDone ? config.RecordPath() : std::string();
    }

    std::string fOutside;
    std::string fSource;
};

TEST_P(InstallFolderSwapTest, ThePassNeverWritesThroughASwappedFolder)
{
    if (GetParam() == Swap::kOtherUsersFolder && geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    if (GetParam() == Swap::kOwnFolder)
        GTEST_SKIP() << "a folder of the installing user's own is theirs to write";
    auto outside = Snapshot(fOutside);
    TestInstaller installer(fSource);
    Prepare(installer);
    InstallConfig config;
    auto dialogs = std::make_unique<TestDialogs>();
    TestDialogs* shown = dialogs.get();
    config.SetDialogs(std::move(dialogs));
    config.SetSystemProbe(std::make_unique<TestProbe>());
    installer.Configure(config, fDestination);
    config.SetFolderMadeObserver([&](const std::string& folder) { SwapIn(folder); });

    EXPECT_NE(config.Action(), InstallConfig::kPassDone);
    EXPECT_EQ(Snapshot(fOutside), outside);
    EXPECT_FALSE(shown->errors.empty());
}

// A folder the pass makes on the way to the destination, in a sticky folder
// where any user may make names (as /tmp): a link or another user's folder
// put at its name between the mkdir and the open is never entered.
TEST_P(InstallFolderSwapTest, AFolderMadeInAStickyFolderIsNeverEnteredOnceSwapped)
{
    if (GetParam() == Swap::kOtherUsersFolder && geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    if (GetParam() == Swap::kOwnFolder)
        GTEST_SKIP() << "a folder of the installing user's own is theirs to write";
    std::string sticky = fRoot + "/sticky";
    ASSERT_EQ(mkdir(sticky.c_str(), 0777), 0);
    ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
    std::string made = sticky + "/made";
    auto outside = Snapshot(fOutside);
    TestInstaller installer(fSource);
    Prepare(installer);
    InstallConfig config;
    auto dialogs = std::make_unique<TestDialogs>();
    TestDialogs* shown = dialogs.get();
    config.SetDialogs(std::move(dialogs));
    config.SetSystemProbe(std::make_unique<TestProbe>());
    installer.Configure(config, made);
    config.SetMakeDestination(true);
    bool swapped = false;
    decltype(outside) planted;
    config.SetFolderMadeObserver([&](const std::string& folder) {
        if (folder == made) {
            SwapIn(folder);
            planted = Snapshot(made);
            swapped = true;
        }
    });

    EXPECT_NE(config.Action(), InstallConfig::kPassDone);
    EXPECT_TRUE(swapped);
    EXPECT_EQ(Snapshot(fOutside), outside);
    // Nor what was put at the name.
    EXPECT_EQ(Snapshot(made), planted);
    EXPECT_FALSE(shown->errors.empty());
}

TEST_P(InstallFolderSwapTest, TheRemovalRefusesASwappedFolder)
{
    if (GetParam() == Swap::kOtherUsersFolder && geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    std::string record = Install();
    ASSERT_FALSE(record.empty());
    SwapIn(fDestination + "/Velk");
    auto destination = Snapshot(fDestination);
    auto outside = Snapshot(fOutside);

    InstallRemoval removal;
    EXPECT_EQ(removal.SetTo(record), B_NOT_ALLOWED);
    EXPECT_NE(removal.Error().find(fDestination + "/Velk"), std::string::npos) << removal.Error();
    EXPECT_EQ(Snapshot(fOutside), outside);
    EXPECT_EQ(Snapshot(fDestination), destination);
}

using ForeignFolderRemovalTest = InstallFolderSwapTest;

// As root, a removal whose installation lies in a folder another user may
// change is refused before any step: she could swap what lies below it.
TEST_F(ForeignFolderRemovalTest, AsRootTheRemovalRefusesAFolderAnotherUserCouldChange)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a system installation is root's";
    setenv("BRENVIK_SCOPE", "system", 1);
    std::string record = Install();
    ASSERT_FALSE(record.empty());
    ASSERT_EQ(chown(fDestination.c_str(), brenvik::test::kOrdinaryUid, 0), 0);
    auto destination = Snapshot(fDestination);

    InstallRemoval removal;
    EXPECT_EQ(removal.SetTo(record), B_NOT_ALLOWED);
    EXPECT_NE(removal.Error().find(fDestination), std::string::npos) << removal.Error();
    EXPECT_EQ(Snapshot(fDestination), destination);
}

INSTANTIATE_TEST_SUITE_P(Swaps, InstallFolderSwapTest,
    testing::Values(Swap::kLink, Swap::kOtherUsersFolder, Swap::kOwnFolder), Name);

// An item meets an existing one of its name, after the folder it goes to, or
// "Saved Files", was held and then swapped for a link to a folder that holds
// files of the same names: the existing item is moved aside only within the
// folders held, and a swap that is seen is reported.
enum class Aside {
    kSaveSwapDestination,
    kRenameSwapDestination,
    kTrashSwapDestination,
    kSaveSwapSavedFiles
};

struct AsideCase {
    Aside aside;
    const char* name;
};

class MoveAsideSwapTest : public PassFixture<testing::TestWithParam<AsideCase>> {
protected:
    void SetUp() override
    {
        MakeSandbox("aside");
        fOutside = fRoot + "/outside";
        WriteBytes(fOutside + "/config", "not the installation's");
        WriteBytes(fOutside + "/config copy", "not the installation's either");
        WriteBytes(fOutside + "/Saved Files/config", "kept elsewhere");
    }

    std::string fOutside;
};

TEST_P(MoveAsideSwapTest, NothingOutsideTheDestinationIsMovedAndTheSwapIsReported)
{
    Aside aside = GetParam().aside;
    bool saving = aside == Aside::kSaveSwapDestination || aside == Aside::kSaveSwapSavedFiles;
    // Two items of one name for the installation folder: the second meets
    // the first.
    TestInstaller installer(fRoot);
    WriteBytes(fRoot + "/payload/1/config", "first");
    WriteBytes(fRoot + "/payload/2/config", "second");
    const char* rule = aside == Aside::kRenameSwapDestination ? "Rename" : "Replace";
    installer.AddItem({ fRoot + "/payload/1/config", "User Selected", rule });
    installer.AddItem({ fRoot + "/payload/2/config", "User Selected", rule, "None", "Replace",
        "True", true, "/authoring/2/config" });
    installer.config.AddBool("opt_save_replaced", saving);
    InstallConfig config;
    config.SetDialogs(std::make_unique<TestDialogs>());
    config.SetSystemProbe(std::make_unique<TestProbe>());
    installer.Configure(config, fDestination);
    std::string folder = fDestination + "/TarselNotes";
    std::string swapped = aside == Aside::kSaveSwapSavedFiles ? folder + "/Saved Files" : folder;
    bool done = false;
    config.SetPlacedObserver([&](const std::string&) {
        if (done)
            return;
        done = true;
        // "Saved Files" is made only when the first item is saved into it:
        // the link then stands where it is to be made.
        struct stat info;
        if (lstat(swapped.c_str(), &info) == 0) {
            ASSERT_EQ(rename(swapped.c_str(), (swapped + ".moved").c_str()), 0);
        }
        ASSERT_EQ(symlink(fOutside.c_str(), swapped.c_str()), 0);
    });
    auto outside = Snapshot(fOutside);

    config.Action();
    EXPECT_TRUE(done);
    EXPECT_EQ(Snapshot(fOutside), outside);
    // The first item stays where it was placed, in the folder as held.
    std::string held = aside == Aside::kSaveSwapSavedFiles ? folder : folder + ".moved";
    EXPECT_EQ(ReadBytes(held + "/config"), "first");
    EXPECT_FALSE(Lexists(held + "/config copy"));
    // A link where "Saved Files" is to be made keeps it from being made.
    EXPECT_TRUE(Reported(config,
        swapped + (aside == Aside::kSaveSwapSavedFiles ? " could not be made" : " was replaced")))
        << testing::PrintToString(config.Failures());
    // The record names no move that did not happen.
    InstallRecordReader record = RecordOf(config);
    for (const auto& step : record.Steps())
        EXPECT_FALSE(step.kind == "displaced" && step.state == InstallRecordReader::kStepDone);
}

// The folder an item goes to is swapped for a link just after the check,
// while "Saved Files" makes a numbered folder for a name that is taken: the
// existing item is moved from the folder held, never from where the link
// leads, and the new one is not put there.
TEST_F(MoveAsideSwapTest, AFolderSwappedDuringTheMoveIsNeverFollowed)
{
    // Settings are shared by the tests of the program: folders of its own.
    std::string suffix = fs::path(fRoot).filename().string();
    std::string one = "One-" + suffix;
    std::string two = FindFolder(B_USER_SETTINGS_DIRECTORY) + "/Two-" + suffix;
    WriteBytes(FindFolder(B_USER_SETTINGS_DIRECTORY) + "/" + one + "/config", "first user's");
    WriteBytes(two + "/config", "second user's");
    WriteBytes(fRoot + "/payload/1/config", "new 1");
    WriteBytes(fRoot + "/payload/2/config", "new 2");
    TestInstaller installer(fRoot);
    installer.AddCustomFolder("One", 3006, one.c_str(), false);
    installer.AddCustomFolder("Two", 3006, fs::path(two).filename().c_str(), false);
    installer.AddItem({ fRoot + "/payload/1/config", "One" });
    installer.AddItem({ fRoot + "/payload/2/config", "Two", "Replace", "None", "Replace", "True",
        true, "/authoring/2/config" });
    installer.config.AddBool("opt_save_replaced", true);
    InstallConfig config;
    config.SetDialogs(std::make_unique<TestDialogs>());
    config.SetSystemProbe(std::make_unique<TestProbe>());
    installer.Configure(config, fDestination);
    bool swapped = false;
    config.SetFolderMadeObserver([&](const std::string& folder) {
        if (folder.size() < 14 || folder.compare(folder.size() - 14, 14, "/Saved Files/2") != 0)
            return;
        swapped = true;
        ASSERT_EQ(rename(two.c_str(), (two + ".moved").c_str()), 0);
        ASSERT_EQ(symlink(fOutside.c_str(), two.c_str()), 0);
    });
    auto outside = Snapshot(fOutside);

    config.Action();
    ASSERT_TRUE(swapped);
    EXPECT_EQ(Snapshot(fOutside), outside);
    std::string saved = fDestination + "/TarselNotes/Saved Files";
    EXPECT_EQ(ReadBytes(saved + "/config"), "first user's");
    EXPECT_EQ(ReadBytes(saved + "/2/config"), "second user's");
    EXPECT_FALSE(Lexists(two + ".moved/config"));
    EXPECT_TRUE(Reported(config, two + " was replaced"))
        << testing::PrintToString(config.Failures());
}

INSTANTIATE_TEST_SUITE_P(Swaps, MoveAsideSwapTest,
    testing::Values(AsideCase { Aside::kSaveSwapDestination, "SaveSwapDestination" },
        AsideCase { Aside::kRenameSwapDestination, "RenameSwapDestination" },
        AsideCase { Aside::kTrashSwapDestination, "TrashSwapDestination" },
        AsideCase { Aside::kSaveSwapSavedFiles, "SaveSwapSavedFiles" }),
    [](const testing::TestParamInfo<AsideCase>& param) { return std::string(param.param.name); });

// What the installation saved is put back only from the "Saved Files" it
// made: a link put in its place, or another folder (with a file of the same
// bytes, so that the digest alone would let it through), keeps everything
// where it is and says why.
class PutBackSwapTest : public PassFixture<testing::TestWithParam<Swap>> {
protected:
    void SetUp() override
    {
        MakeSandbox("putback");
        fOutside = fRoot + "/outside";
        WriteBytes(fOutside + "/config", "the user's own bytes");
        // Settings are shared by the tests of the program: a place of its own.
        fPlaceName = "PutBack-" + fs::path(fRoot).filename().string();
        fPlace = FindFolder(B_USER_SETTINGS_DIRECTORY) + "/" + fPlaceName;
        WriteBytes(fPlace + "/config", "the user's own bytes");
        WriteBytes(fRoot + "/payload/config", "new");
    }

    // Installs "config" into the place, where the user's own file is saved
    // aside first.
    void InstallOverPlace(InstallConfig& config)
    {
        TestInstaller installer(fRoot);
        installer.AddCustomFolder("Where", 3006, fPlaceName.c_str(), false);
        installer.AddItem({ fRoot + "/payload/config", "Where" });
        installer.config.AddBool("opt_save_replaced", true);
        config.SetDialogs(std::make_unique<TestDialogs>());
        config.SetSystemProbe(std::make_unique<TestProbe>());
        installer.Configure(config, fDestination);
    }

    std::string fOutside;
    std::string fPlaceName;
    std::string fPlace;
};

TEST_P(PutBackSwapTest, NothingComesBackFromAFolderPutInPlaceOfSavedFiles)
{
    if (GetParam() == Swap::kOtherUsersFolder && geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    InstallConfig config;
    InstallOverPlace(config);
    ASSERT_EQ(config.Action(), InstallConfig::kPassDone);
    std::string saved = fDestination + "/TarselNotes/Saved Files";
    ASSERT_EQ(ReadBytes(saved + "/config"), "the user's own bytes");
    SwapIn(saved, GetParam(), fOutside);
    if (HasFatalFailure())
        return;
    auto outside = Snapshot(fOutside);

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(config.RecordPath()), B_OK) << removal.Error();
    EXPECT_EQ(removal.Run(), B_ERROR);
    EXPECT_EQ(Snapshot(fOutside), outside);
    // The new item went; nothing came back in its place.
    EXPECT_FALSE(Lexists(fPlace + "/config"));
    EXPECT_EQ(ReadBytes(saved + ".moved/config"), "the user's own bytes");
    bool kept = false;
    for (const auto& outcome : removal.Outcomes())
        kept = kept
            || (outcome.kind == InstallRemoval::kOutcomeKept
                && outcome.why == InstallRemoval::kWhyChanged);
    EXPECT_TRUE(kept) << removal.Report();
}

// The folder the user's item was moved out of is replaced before the
// removal: nothing is put back into what took its place.
TEST_P(PutBackSwapTest, NothingIsPutBackIntoAFolderPutInPlaceOfItsOwn)
{
    if (GetParam() == Swap::kOtherUsersFolder && geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    ASSERT_EQ(unlink((fOutside + "/config").c_str()), 0);
    InstallConfig config;
    InstallOverPlace(config);
    ASSERT_EQ(config.Action(), InstallConfig::kPassDone);
    SwapIn(fPlace, GetParam(), fOutside);
    if (HasFatalFailure())
        return;
    auto outside = Snapshot(fOutside);
    auto place = Snapshot(fPlace);

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(config.RecordPath()), B_OK) << removal.Error();
    EXPECT_EQ(removal.Run(), B_ERROR);
    EXPECT_EQ(Snapshot(fOutside), outside);
    EXPECT_EQ(Snapshot(fPlace), place);
    EXPECT_EQ(ReadBytes(fDestination + "/TarselNotes/Saved Files/config"), "the user's own bytes");
    bool kept = false;
    for (const auto& outcome : removal.Outcomes())
        kept = kept
            || (outcome.kind == InstallRemoval::kOutcomeKept
                && outcome.reason.find("not the one it was moved out of") != std::string::npos);
    EXPECT_TRUE(kept) << removal.Report();
}

INSTANTIATE_TEST_SUITE_P(Swaps, PutBackSwapTest,
    testing::Values(Swap::kLink, Swap::kOtherUsersFolder, Swap::kOwnFolder), Name);

} // namespace
