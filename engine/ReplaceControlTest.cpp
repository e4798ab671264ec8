#include "InstallPassTestSupport.h"

#include <FindDirectory.h>
#include <Path.h>

namespace {

using namespace pass_test;

enum class Kind { kFile, kFolder, kLink };
enum class Answer { kNone, kReplace, kKeep };

struct Collision {
    const char* rule;
    Answer answer;
    Kind kind;
    bool saving;
};

std::string Name(const testing::TestParamInfo<Collision>& info)
{
    const Collision& c = info.param;
    std::string name = c.rule;
    if (c.answer == Answer::kReplace)
        name += "Replace";
    else if (c.answer == Answer::kKeep)
        name += "Keep";
    name += c.kind == Kind::kFile ? "File" : c.kind == Kind::kFolder ? "Folder" : "Link";
    return name + (c.saving ? "Saving" : "NotSaving");
}

std::string SettingsFolder()
{
    return FindFolder(B_USER_SETTINGS_DIRECTORY);
}

class CollisionTest : public PassFixture<testing::TestWithParam<Collision>> {
protected:
    void SetUp() override
    {
        MakeSandbox("collide");
        fPlace = SettingsFolder() + "/Place" + std::to_string(sCounter++);
        fInstaller.reset(new TestInstaller(fRoot));
        fInstaller->AddCustomFolder("Where", 3006, fs::path(fPlace).filename().c_str(), false);
        auto dialogs = std::make_unique<TestDialogs>();
        fDialogs = dialogs.get();
        fConfig.SetDialogs(std::move(dialogs));
        fConfig.SetSystemProbe(std::make_unique<TestProbe>());
    }

    // What the user had at the place, as a snapshot of its contents.
    std::map<std::string, std::string> MakeExisting(Kind kind, const std::string& path)
    {
        fs::create_directories(fs::path(path).parent_path());
        if (kind == Kind::kFile) {
            WriteBytes(path, "the user's own bytes");
        } else if (kind == Kind::kFolder) {
            WriteBytes(path + "/inner/notes.txt", "user notes");
            fs::create_symlink("/nonexistent/target", path + "/dangling");
        } else {
            fs::create_symlink(fRoot + "/users-target", path);
        }
        return Contents(path);
    }

    static std::map<std::string, std::string> Contents(const std::string& path)
    {
        std::map<std::string, std::string> contents;
        if (fs::is_symlink(path)) {
            contents[""] = "link:" + fs::read_symlink(path).string();
            return contents;
        }
        if (!fs::is_directory(path)) {
            contents[""] = "file:" + ReadBytes(path);
            return contents;
        }
        for (auto& [entry, what] : Snapshot(path))
            contents[entry.substr(path.size())] = what;
        return contents;
    }

    std::string fPlace;
    std::string fElsewhere;
    std::unique_ptr<TestInstaller> fInstaller;
    InstallConfig fConfig;
    TestDialogs* fDialogs = nullptr;
    static int sCounter;
};

int CollisionTest::sCounter = 0;

TEST_P(CollisionTest, WhatTheUserHadIsFoundWhereTheRecordSays)
{
    const Collision& c = GetParam();
    std::string payload = fRoot + "/payload/config";
    if (c.kind == Kind::kFolder)
        WriteBytes(payload + "/new.txt", "new");
    else
        WriteBytes(payload, "new");
    TestItem item { payload, "Where", "Replace" };
    if (c.kind == Kind::kLink) {
        // The item itself goes elsewhere; its link meets the user's link.
        fElsewhere = "Elsewhere" + std::to_string(sCounter);
        fInstaller->AddCustomFolder("Elsewhere", 3006, fElsewhere.c_str(), false);
        item.destination = "Elsewhere";
        item.link = "Where";
        item.linkExists = c.rule;
    } else {
        item.destinationExists = c.rule;
    }
    fInstaller->AddItem(item);
    fInstaller->config.AddBool("opt_save_replaced", c.saving);
    std::string target = fPlace + "/config";
    auto existing = MakeExisting(c.kind, target);
    if (c.answer != Answer::kNone)
        fDialogs->answers.push_back({ c.answer == Answer::kReplace, false });
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);

    InstallRecordReader record = RecordOf(fConfig);
    std::vector<const InstallRecordReader::Step*> displaced;
    for (const auto& step : record.Steps()) {
        if (step.kind == "displaced")
            displaced.push_back(&step);
    }
    bool replaced = c.answer != Answer::kKeep;
    EXPECT_EQ(fDialogs->replaces.size(), std::string(c.rule) == "Prompt" ? 1u : 0u);
    // The dialog shows where the new item comes from, not its scratch folder.
    for (const auto& asked : fDialogs->replaces) {
        EXPECT_EQ(asked.newItemFolder,
            c.kind == Kind::kLink ? SettingsFolder() + "/" + fElsewhere : fRoot + "/payload");
    }
    if (!replaced) {
        EXPECT_TRUE(displaced.empty());
        EXPECT_EQ(Contents(target), existing);
        // Declined means nothing new anywhere: not beside the installation
        // either, and nothing in the record to remove later; a choice of the
        // user's is no failure.
        EXPECT_FALSE(Lexists(fDestination + "/TarselNotes/config"));
        for (const auto& step : record.Steps()) {
            if (c.kind != Kind::kLink)
                EXPECT_NE(step.kind, "item");
            else
                EXPECT_NE(step.kind, "link");
        }
        EXPECT_TRUE(fConfig.Failures().empty());
        EXPECT_NE(ReadBytes(fDestination + "/TarselNotes/Log").find("User desired not to place"),
            std::string::npos);
        return;
    }
    ASSERT_EQ(displaced.size(), 1u);
    const auto& step = *displaced[0];
    EXPECT_EQ(step.state, InstallRecordReader::kStepDone);
    EXPECT_EQ(std::string(step.begun.GetString(InstallRecord::kFieldPath, "")), target);
    std::string action = step.begun.GetString(InstallRecord::kFieldAction, "");
    std::string to = step.result.GetString(InstallRecord::kFieldTo, "");
    if (std::string(c.rule) == "Rename")
        EXPECT_EQ(to, target + " copy");
    else if (c.saving)
        EXPECT_EQ(to, fDestination + "/TarselNotes/Saved Files/config");
    else
        EXPECT_EQ(action, "trashed");
    EXPECT_EQ(Contents(to), existing) << to;
    // The new item (or link) took the place.
    if (c.kind == Kind::kLink)
        EXPECT_EQ(
            fs::read_symlink(target).string(), SettingsFolder() + "/" + fElsewhere + "/config");
    else
        EXPECT_EQ(ReadBytes(c.kind == Kind::kFolder ? target + "/new.txt" : target), "new");
}

std::vector<Collision> AllCollisions()
{
    std::vector<Collision> all;
    for (Kind kind : { Kind::kFile, Kind::kFolder, Kind::kLink }) {
        for (bool saving : { false, true }) {
            all.push_back({ "Prompt", Answer::kReplace, kind, saving });
            all.push_back({ "Prompt", Answer::kKeep, kind, saving });
            all.push_back({ "Rename", Answer::kNone, kind, saving });
            all.push_back({ "Replace", Answer::kNone, kind, saving });
        }
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    RulesKindsAnswers, CollisionTest, testing::ValuesIn(AllCollisions()), Name);

class ReplaceControlTest : public CollisionTest { };

TEST_F(ReplaceControlTest, TwoSavedItemsOfTheSameNameBothSurvive)
{
    std::string first = SettingsFolder() + "/One/config";
    std::string second = SettingsFolder() + "/Two/config";
    WriteBytes(first, "first");
    WriteBytes(second, "second");
    WriteBytes(fRoot + "/payload/1/config", "new 1");
    WriteBytes(fRoot + "/payload/2/config", "new 2");
    fInstaller->AddCustomFolder("One", 3006, "One", false);
    fInstaller->AddCustomFolder("Two", 3006, "Two", false);
    fInstaller->AddItem({ fRoot + "/payload/1/config", "One" });
    fInstaller->AddItem({ fRoot + "/payload/2/config", "Two", "Replace", "None", "Replace", "True",
        true, "/authoring/2/config" });
    fInstaller->config.AddBool("opt_save_replaced", true);
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    std::string saved = fDestination + "/TarselNotes/Saved Files";
    EXPECT_EQ(ReadBytes(saved + "/config"), "first");
    EXPECT_EQ(ReadBytes(saved + "/2/config"), "second");
    EXPECT_EQ(ReadBytes(first), "new 1");
    EXPECT_EQ(ReadBytes(second), "new 2");
}

TEST_F(ReplaceControlTest, ApplyToAllForItemsStillAsksAboutLinks)
{
    for (const char* name : { "a", "b" }) {
        WriteBytes(fPlace + "/" + name, "old");
        WriteBytes(SettingsFolder() + "/Links/" + name, "old link place");
        WriteBytes(fRoot + "/payload/" + name, "new");
        fInstaller->AddItem({ fRoot + "/payload/" + name, "Where", "Prompt", "Links", "Prompt" });
    }
    fInstaller->AddCustomFolder("Links", 3006, "Links", false);
    // Items: replace, for all. Links: keep the first, replace the second,
    // asked each time.
    fDialogs->answers = { { true, true }, { false, false }, { true, false } };
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    ASSERT_EQ(fDialogs->replaces.size(), 3u);
    EXPECT_EQ(fDialogs->replaces[0].existing, fPlace + "/a");
    EXPECT_EQ(fDialogs->replaces[1].existing, SettingsFolder() + "/Links/a");
    EXPECT_EQ(fDialogs->replaces[2].existing, SettingsFolder() + "/Links/b");
    EXPECT_EQ(ReadBytes(fPlace + "/a"), "new");
    EXPECT_EQ(ReadBytes(fPlace + "/b"), "new");
    EXPECT_EQ(ReadBytes(SettingsFolder() + "/Links/a"), "old link place");
    EXPECT_EQ(fs::read_symlink(SettingsFolder() + "/Links/b").string(), fPlace + "/b");
}

TEST_F(ReplaceControlTest, AKeptItemRemembersForLaterItemsAndGetsNoLink)
{
    // A link folder of this test's own: the settings folder is shared.
    std::string links = "KeptLinks" + std::to_string(sCounter);
    for (const char* name : { "a", "b" }) {
        WriteBytes(fPlace + "/" + name, "old");
        WriteBytes(fRoot + "/payload/" + name, "new");
        fInstaller->AddItem({ fRoot + "/payload/" + name, "Where", "Prompt", "Links", "Prompt" });
    }
    fInstaller->AddCustomFolder("Links", 3006, links.c_str(), false);
    fDialogs->answers = { { false, true } };
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    // Asked once; neither new item nor a link to it is anywhere.
    ASSERT_EQ(fDialogs->replaces.size(), 1u);
    for (const char* name : { "a", "b" }) {
        EXPECT_EQ(ReadBytes(fPlace + "/" + name), "old");
        EXPECT_FALSE(Lexists(fDestination + "/TarselNotes/" + name)) << name;
        EXPECT_FALSE(Lexists(SettingsFolder() + "/" + links + "/" + name)) << name;
    }
    EXPECT_TRUE(fConfig.Failures().empty());
}

TEST_F(ReplaceControlTest, ADanglingLinkCountsAsExistingAndIsNotFollowed)
{
    std::string outside = fRoot + "/outside-target";
    fs::create_directories(fPlace);
    fs::create_symlink(outside, fPlace + "/config");
    WriteBytes(fRoot + "/payload/config", "new");
    fInstaller->AddItem({ fRoot + "/payload/config", "Where", "Rename" });
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    EXPECT_FALSE(Lexists(outside));
    EXPECT_EQ(fs::read_symlink(fPlace + "/config copy").string(), outside);
    EXPECT_EQ(ReadBytes(fPlace + "/config"), "new");
}

// What the replace dialog names as the new item's folder, by the item's
// recorded name: an installer of ours names it by its path in the author's
// project, which is no folder here, so the item comes from the installer;
// an older one named the author's absolute path, whose folder it shows.
struct OriginCase {
    const char* fileName;
    const char* origin; // nullptr for the installer itself
};

class ItemOriginTest : public PassFixture<testing::TestWithParam<OriginCase>> { };

TEST_P(ItemOriginTest, ComesFromTheInstallerUnlessTheRecordNamesAnAbsoluteFolder)
{
    MakeSandbox("origin");
    InstallConfig config;
    auto dialogs = std::make_unique<TestDialogs>();
    TestDialogs* asked = dialogs.get();
    config.SetDialogs(std::move(dialogs));
    config.SetSystemProbe(std::make_unique<TestProbe>());
    TestInstaller installer(fRoot);
    std::string leaf = fs::path(fRoot).filename().string();
    std::string place = SettingsFolder() + "/" + leaf;
    installer.AddCustomFolder("Where", 3006, leaf.c_str(), false);
    WriteBytes(place + "/config", "the user's own bytes");
    WriteBytes(fRoot + "/payload/config", "new");
    installer.AddItem({ fRoot + "/payload/config", "Where", "Prompt", "None", "Replace", "True",
        true, GetParam().fileName });
    asked->answers.push_back({ true, false });
    installer.Configure(config, fDestination);
    ASSERT_EQ(config.Action(), InstallConfig::kPassDone);
    ASSERT_EQ(asked->replaces.size(), 1u);
    EXPECT_EQ(asked->replaces[0].newItemFolder,
        GetParam().origin != nullptr ? std::string(GetParam().origin) : installer.Path());
    EXPECT_EQ(ReadBytes(place + "/config"), "new");
}

INSTANTIATE_TEST_SUITE_P(RecordedNames, ItemOriginTest,
    testing::Values(OriginCase { "payload/config", nullptr }, OriginCase { "config", nullptr },
        OriginCase { "/home/author/project/payload/config", "/home/author/project/payload" },
        OriginCase { "/config", "/" }));

} // namespace
