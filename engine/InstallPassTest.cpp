#include "InstallPassTestSupport.h"

#include <cstdlib>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>

#include <FindDirectory.h>
#include <Node.h>
#include <Path.h>
#include <Resources.h>
#include <TypeConstants.h>

namespace {

using namespace pass_test;

bool KeepsAttributes(const std::string& folder)
{
    std::string probe = folder + "/.attribute-probe";
    WriteBytes(probe, "");
    bool supported = BNode(probe.c_str()).WriteAttr("probe", B_STRING_TYPE, 0, "1", 1) == 1;
    unlink(probe.c_str());
    return supported;
}

// An attribute's type and bytes; an empty string for a missing one.
std::pair<type_code, std::string> Attribute(const std::string& path, const char* name)
{
    BNode node(path.c_str());
    attr_info info;
    if (node.GetAttrInfo(name, &info) != B_OK)
        return { 0, std::string() };
    std::string data(size_t(info.size), '\0');
    ssize_t size = node.ReadAttr(name, info.type, 0, data.data(), data.size());
    data.resize(size < 0 ? 0 : size_t(size));
    return { info.type, data };
}

class InstallPassTest : public PassRunFixture<> {
protected:
    void SetUp() override { MakePass("pass"); }
};

TEST_F(InstallPassTest, PlacesEveryItemWhereItsConfigurationSays)
{
    Source("Notes/notes", "#!/bin/sh\necho notes\n", 0755);
    Source("Notes/Help.txt", "Help\n");
    fInstaller->AddItem({ fPayload + "/Notes", "User Selected", "Replace", "User Deskbar" });
    fInstaller->AddItem({ Source("ReadMe.txt", "Read me\n"), "User Selected", "Prompt", "Docs" });
    fInstaller->AddItem({ Source("chime.raw", std::string(5000, 'c')), "User Sounds" });
    Source("Settings/prefs", "a=1\n");
    fInstaller->AddItem({ fPayload + "/Settings", "NotesSettings", "Rename" });
    fInstaller->AddCustomFolder("NotesSettings", 3006, "Tarsel/Notes", false);
    fInstaller->AddCustomFolder("Docs", 3000, "Documents/Tarsel", false);

    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeSucceeded);
    EXPECT_TRUE(fConfig.Failures().empty()) << fConfig.Failures()[0];
    EXPECT_TRUE(fDialogs->errors.empty());

    std::string folder = InstallFolder();
    // The configured dates (before anything here reads the file).
    struct stat info;
    ASSERT_EQ(lstat((folder + "/ReadMe.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 977961600);
    EXPECT_EQ(info.st_atime, 977961660);
    ASSERT_EQ(lstat((folder + "/Notes").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 977961600);
    EXPECT_EQ(ReadBytes(folder + "/Notes/notes"), "#!/bin/sh\necho notes\n");
    EXPECT_EQ(ReadBytes(folder + "/ReadMe.txt"), "Read me\n");
    std::string sounds = FindFolder(B_USER_SOUNDS_DIRECTORY);
    EXPECT_EQ(ReadBytes(sounds + "/chime.raw"), std::string(5000, 'c'));
    std::string settings = FindFolder(B_USER_SETTINGS_DIRECTORY) + "/Tarsel/Notes";
    EXPECT_EQ(ReadBytes(settings + "/Settings/prefs"), "a=1\n");

    ASSERT_EQ(stat((folder + "/Notes/notes").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);

    // The link to a document is a symbolic link; the one in the menu a
    // desktop entry.
    std::string documents = FindFolder(B_USER_DIRECTORY) + "/Documents/Tarsel";
    EXPECT_EQ(fs::read_symlink(documents + "/ReadMe.txt").string(), folder + "/ReadMe.txt");
    std::string menu = FindFolder(B_USER_DESKBAR_DIRECTORY);
    std::string entry = ReadBytes(menu + "/Notes.desktop");
    EXPECT_NE(entry.find("Exec=xdg-open " + folder + "/Notes\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Name=Notes\n"), std::string::npos);

    // Each item's "file_name" is now its final path.
    BMessage instructions, item;
    fConfig.FindMessage("install_instructions", &instructions);
    instructions.FindMessage("install_file", 2, &item);
    EXPECT_EQ(std::string(item.GetString("file_name", "")), sounds + "/chime.raw");

    if (KeepsAttributes(folder)) {
        std::string tag = "Tarsel Notes;1.0.2;28 December 2000;Tarsel Software;"
                          "support@tarsel.example;";
        for (const std::string& path : { folder + "/ReadMe.txt", folder + "/Notes",
                 folder + "/Notes/Help.txt", sounds + "/chime.raw" })
            EXPECT_EQ(Attribute(path, "InstallBy"), std::make_pair(type_code(B_STRING_TYPE), tag))
                << path;
    }
    EXPECT_TRUE(ScratchLeftovers().empty()) << ScratchLeftovers()[0];
}

TEST_F(InstallPassTest, TheRecordListsEverythingPlacedAndTheDeinstallerNamesIt)
{
    Source("Notes/notes", "program", 0755);
    fInstaller->AddItem({ fPayload + "/Notes", "User Selected", "Replace", "User Deskbar" });
    fInstaller->AddItem({ Source("ReadMe.txt", "Read me\n"), "User Sounds", "Replace", "Docs" });
    fInstaller->AddCustomFolder("Docs", 3000, "Documents/RecordTest", false);
    std::string sounds = FindFolder(B_USER_SOUNDS_DIRECTORY);
    bool hadSounds = Lexists(sounds);
    ASSERT_EQ(Run(), InstallConfig::kPassDone);

    InstallRecordReader record = RecordOf(fConfig);
    EXPECT_EQ(record.EndState(), "finished");
    std::map<std::string, std::vector<std::string>> placed;
    for (const auto& step : record.Steps()) {
        EXPECT_EQ(step.state, InstallRecordReader::kStepDone) << step.kind;
        placed[step.kind].push_back(step.begun.GetString(InstallRecord::kFieldPath, ""));
    }
    std::string folder = InstallFolder();
    std::string deinstaller = folder + "/Tarsel Notes 1.0.2 Deinstaller";
    EXPECT_EQ(placed["deinstaller"], std::vector<std::string>({ deinstaller }));
    EXPECT_EQ(placed["log"], std::vector<std::string>({ folder + "/Log" }));
    EXPECT_EQ(
        placed["item"], std::vector<std::string>({ folder + "/Notes", sounds + "/ReadMe.txt" }));
    EXPECT_EQ(placed["link"].size(), 1u);
    EXPECT_EQ(placed["desktop_entry"].size(), 1u);
    // The folders it made: the install folder and the missing ones of the
    // destinations.
    EXPECT_NE(std::find(placed["folder"].begin(), placed["folder"].end(), folder),
        placed["folder"].end());
    std::string documents = FindFolder(B_USER_DIRECTORY) + "/Documents/RecordTest";
    EXPECT_NE(std::find(placed["folder"].begin(), placed["folder"].end(), documents),
        placed["folder"].end());
    EXPECT_EQ(std::find(placed["folder"].begin(), placed["folder"].end(), sounds)
            != placed["folder"].end(),
        !hadSounds);

    // Every file of a folder item, with its digest.
    const auto* notes = record.FindStep(0);
    for (const auto& step : record.Steps()) {
        if (step.kind == "item")
            notes = &step;
        if (step.kind == "item")
            break;
    }
    ASSERT_NE(notes, nullptr);
    BMessage entry;
    ASSERT_EQ(notes->result.FindMessage(InstallRecord::kFieldEntry, 1, &entry), B_OK);
    EXPECT_EQ(std::string(entry.GetString(InstallRecord::kFieldPath, "")), folder + "/Notes/notes");
    const void* digest = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(entry.FindData(InstallRecord::kFieldSha256, B_RAW_TYPE, &digest, &size), B_OK);
    EXPECT_EQ(size, 32);

    // The de-installer's configuration names the record.
    BResources resources;
    ASSERT_EQ(resources.SetTo(deinstaller.c_str(), 0, false), B_OK);
    size_t length = 0;
    const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &length);
    ASSERT_NE(data, nullptr);
    BMessage configuration;
    ASSERT_EQ(configuration.Unflatten(data, length), B_OK);
    EXPECT_EQ(std::string(configuration.GetString(InstallRecord::kConfigRecordPath, "")),
        fConfig.RecordPath());
    EXPECT_STREQ(configuration.GetString("app_name", ""), "Tarsel Notes");
    EXPECT_FALSE(configuration.GetBool("edit_profile", true));
    EXPECT_FALSE(configuration.HasString("edit_profile_tag"));
    struct stat info;
    ASSERT_EQ(stat(deinstaller.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
}

TEST_F(InstallPassTest, AnUnknownDestinationKeepsTheItemInTheInstallFolder)
{
    fInstaller->AddItem({ Source("ReadMe.txt", "x"), "No Such Folder" });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_EQ(ReadBytes(InstallFolder() + "/ReadMe.txt"), "x");
    std::string log = ReadBytes(InstallFolder() + "/Log");
    EXPECT_NE(log.find("\t\t\tThere is no folder named No Such Folder.\n"), std::string::npos);
}

TEST_F(InstallPassTest, ACustomFolderIsReplacedOnceAndSavedUnderItsName)
{
    std::string settings = FindFolder(B_USER_SETTINGS_DIRECTORY) + "/Tarsel/Notes";
    WriteBytes(settings + "/old.conf", "user's old settings");
    fInstaller->AddItem({ Source("a.conf", "a"), "NotesSettings" });
    fInstaller->AddItem({ Source("b.conf", "b"), "NotesSettings" });
    fInstaller->AddCustomFolder("NotesSettings", 3006, "Tarsel/Notes", true);
    fInstaller->config.AddBool("opt_save_replaced", true);
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_EQ(ReadBytes(settings + "/a.conf"), "a");
    EXPECT_EQ(ReadBytes(settings + "/b.conf"), "b");
    EXPECT_FALSE(Lexists(settings + "/old.conf"));
    EXPECT_EQ(ReadBytes(InstallFolder() + "/Saved Files/Notes/old.conf"), "user's old settings");
}

TEST_F(InstallPassTest, HostileNamesWriteNothingOutsideTheDestination)
{
    std::string outside = fRoot + "/outside";
    fs::create_directories(outside);
    fInstaller->AddItem({ Source("a", "a"), "Escape", "Replace", "None", "Replace", "True", true,
        "/authoring/../../outside/a" });
    TestItem dotdot { Source("b", "b") };
    dotdot.fileName = "/authoring/..";
    fInstaller->AddItem(dotdot);
    TestItem newline { Source("c", "c") };
    newline.fileName = "/authoring/bad\nname";
    fInstaller->AddItem(newline);
    fInstaller->AddItem({ Source("d", "d"), "Absolute" });
    // A link in the payload that leads out of wherever it is extracted.
    fs::create_symlink("../../../../outside/f", fPayload + "/f");
    fInstaller->AddItem({ fPayload + "/f" });
    fInstaller->AddItem({ Source("e", "e"), "User Selected", "Replace", "Escape" });
    fInstaller->AddCustomFolder("Escape", 3000, "../../outside", false);
    fInstaller->AddCustomFolder("Absolute", 3000, "/etc", false);
    auto before = Snapshot(fRoot);
    std::vector<std::string> statuses;
    fConfig.SetStatusObserver([&](const char* text) { statuses.push_back(text); });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeFailed);
    // Refused items count too: the last item is the sixth of six.
    std::string last;
    for (const std::string& status : statuses) {
        if (status.rfind("Installing ", 0) == 0)
            last = status;
    }
    EXPECT_EQ(last.rfind("Installing 6 of 6", 0), 0u) << last;

    // Only the installation folder (and the record, elsewhere) is new.
    auto after = Snapshot(fRoot);
    for (auto& [path, what] : after) {
        if (before.count(path) == 0) {
            EXPECT_EQ(path.rfind(InstallFolder(), 0), 0u) << path;
        }
    }
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_FALSE(Lexists("/etc/d"));
    // The names that cannot be file names were refused; the others stay in
    // the installation folder.
    EXPECT_EQ(ReadBytes(InstallFolder() + "/a"), "a");
    EXPECT_EQ(ReadBytes(InstallFolder() + "/d"), "d");
    EXPECT_EQ(ReadBytes(InstallFolder() + "/e"), "e");
    EXPECT_FALSE(Lexists(InstallFolder() + "/f"));
    EXPECT_EQ(fConfig.Failures().size(), 3u);
}

TEST_F(InstallPassTest, ABadInstallFolderNameRefusesTheInstallation)
{
    fInstaller->AddItem({ Source("a", "a") });
    for (const char* name : { "../x", "/tmp/x", "a/b", "..", "", "bad\nname" }) {
        fInstaller->config.RemoveName("opt_created_folder");
        fInstaller->config.AddString("opt_created_folder", name);
        auto before = Snapshot(fRoot);
        EXPECT_EQ(Run(), InstallConfig::kPassFailed) << name;
        EXPECT_EQ(Snapshot(fRoot), before) << name;
        ASSERT_FALSE(fDialogs->errors.empty());
        EXPECT_NE(fDialogs->errors.back().find("Unable to create installation folder"),
            std::string::npos);
    }
}

TEST_F(InstallPassTest, AMissingDestinationFolderIsReported)
{
    fInstaller->AddItem({ Source("a", "a") });
    fInstaller->Configure(fConfig, fDestination);
    fs::remove_all(fDestination);
    EXPECT_EQ(fConfig.Action(), InstallConfig::kPassFailed);
    ASSERT_EQ(fDialogs->errors.size(), 1u);
    EXPECT_EQ(fDialogs->errors[0],
        "Failure to find selected installation folder. Unable to install files.");
}

TEST_F(InstallPassTest, AnInstallerWithoutItsTextsStillSaysWhatWentWrong)
{
    fInstaller->AddItem({ Source("a", "a") });
    fInstaller->Configure(fConfig, fDestination);
    std::string bare = fRoot + "/installer-without-texts";
    std::ofstream(bare).close();
    fConfig.SetInstallerPath(bare.c_str());
    fs::remove_all(fDestination);
    EXPECT_EQ(fConfig.Action(), InstallConfig::kPassFailed);
    ASSERT_EQ(fDialogs->errors.size(), 1u);
    EXPECT_EQ(fDialogs->errors[0],
        "Failure to find selected installation folder. Unable to install files.");
}

TEST_F(InstallPassTest, AnOldInstallFolderGoesToTheTrashAndItsRecordIsSuperseded)
{
    fInstaller->AddItem({ Source("a", "first") });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    std::string first = fConfig.RecordPath();
    WriteBytes(InstallFolder() + "/user-note", "mine");
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    EXPECT_FALSE(Lexists(InstallFolder() + "/user-note"));
    InstallRecordReader record = RecordOf(fConfig);
    ASSERT_FALSE(record.Steps().empty());
    const auto& old = record.Steps()[0];
    EXPECT_EQ(old.kind, "old_install");
    std::string trashed = old.result.GetString(InstallRecord::kFieldTo, "");
    EXPECT_EQ(ReadBytes(trashed + "/user-note"), "mine");
    InstallRecordReader previous;
    ASSERT_EQ(previous.ReadFile(first.c_str()), B_OK);
    ASSERT_EQ(previous.SupersededBy().size(), 1u);
    EXPECT_EQ(record.Header().GetString(InstallRecord::kFieldSuperseded, ""),
        std::string(previous.Header().GetString(InstallRecord::kFieldInstallId, "")));
}

TEST_F(InstallPassTest, AStopAfterAnItemLeavesARecordOfExactlyWhatWasDone)
{
    for (const char* name : { "one", "two", "three", "four" })
        fInstaller->AddItem({ Source(name, name), "User Sounds" });
    fConfig.SetStatusObserver([this](const char* text) {
        if (std::string(text).rfind("Installing 3 of 4", 0) == 0)
            fConfig.RequestStop();
    });
    EXPECT_EQ(Run(), InstallConfig::kPassStopped);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeStopped);
    std::string sounds = FindFolder(B_USER_SOUNDS_DIRECTORY);
    EXPECT_TRUE(Lexists(sounds + "/one"));
    EXPECT_TRUE(Lexists(sounds + "/two"));
    EXPECT_FALSE(Lexists(sounds + "/three"));
    InstallRecordReader record = RecordOf(fConfig);
    EXPECT_EQ(record.EndState(), "stopped");
    int items = 0;
    for (const auto& step : record.Steps()) {
        EXPECT_NE(step.state, InstallRecordReader::kStepBegun) << step.kind;
        items += step.kind == "item" ? 1 : 0;
    }
    EXPECT_EQ(items, 2);
    EXPECT_TRUE(ScratchLeftovers().empty());
    EXPECT_NE(
        ReadBytes(InstallFolder() + "/Log").find("\tInstallation Stopped: "), std::string::npos);
}

// A stop asked for while a large item is written ends the item between two
// of its entries: it is not written to its end first, nor placed, and what
// was written of it is taken away.
TEST_F(InstallPassTest, AStopInsideALargeItemEndsItBetweenItsEntries)
{
    fInstaller->AddItem({ Source("small", "small"), "User Sounds" });
    for (int i = 0; i < 100; i++)
        Source("Library/part" + std::to_string(i), std::string(1 << 20, char('a' + i % 26)));
    fInstaller->AddItem({ fPayload + "/Library", "User Sounds" });
    uint64 seen = 0;
    fConfig.SetProgressObserver([&](const InstallProgress& progress) {
        // The first report from inside the library (every 32 MB of it).
        if (progress.item == 2 && !progress.itemDone && progress.bytesDone > 5) {
            seen = progress.bytesDone;
            fConfig.RequestStop();
        }
    });
    EXPECT_EQ(Run(), InstallConfig::kPassStopped);
    EXPECT_GT(seen, 0u);
    std::string sounds = FindFolder(B_USER_SOUNDS_DIRECTORY);
    EXPECT_TRUE(Lexists(sounds + "/small"));
    EXPECT_FALSE(Lexists(sounds + "/Library"));
    EXPECT_TRUE(ScratchLeftovers().empty());
    InstallRecordReader record = RecordOf(fConfig);
    EXPECT_EQ(record.EndState(), "stopped");
}

TEST_F(InstallPassTest, ADiskThatFillsInTheMiddleOfAnItemLosesNothing)
{
    std::string sounds = FindFolder(B_USER_SOUNDS_DIRECTORY);
    WriteBytes(sounds + "/big.raw", "the user's own sound");
    fInstaller->AddItem({ Source("small", "small"), "User Sounds" });
    fInstaller->AddItem({ Source("big.raw", std::string(2 << 20, 'b')), "User Sounds" });
    fInstaller->config.AddBool("opt_save_replaced", false);
    fInstaller->Configure(fConfig, fDestination);
    // Writes past 1 MiB fail as on a full disk (EFBIG instead of ENOSPC).
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit limit = { 1 << 20, old.rlim_max };
    sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    status_t result = fConfig.Action();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeFailed);
    ASSERT_EQ(fConfig.Failures().size(), 1u);
    EXPECT_EQ(fConfig.Failures()[0].rfind("big.raw: ", 0), 0u) << fConfig.Failures()[0];
    EXPECT_EQ(ReadBytes(sounds + "/small"), "small");
    EXPECT_EQ(ReadBytes(sounds + "/big.raw"), "the user's own sound");
    EXPECT_TRUE(ScratchLeftovers().empty());
    InstallRecordReader record = RecordOf(fConfig);
    // The pass went on to its end: finished, with the item that failed.
    EXPECT_EQ(record.EndState(), "finished");
    EXPECT_EQ(record.Failures(), 1);
}

// A few kilobytes of archive that unpack to megabytes, for an item whose
// record says six bytes: refused before anything is written.
TEST_F(InstallPassTest, AnItemLargerThanItsRecordIsRefused)
{
    fInstaller->AddItem({ Source("small", "small") });
    std::string bomb = Source("bomb.raw", std::string(3 << 20, '\0'));
    fInstaller->AddItem({ bomb });
    WriteBytes(bomb, "sixsix");
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    ASSERT_EQ(fConfig.Failures().size(), 1u);
    EXPECT_EQ(fConfig.Failures()[0].rfind("bomb.raw: ", 0), 0u) << fConfig.Failures()[0];
    EXPECT_NE(fConfig.Failures()[0].find("more than the"), std::string::npos)
        << fConfig.Failures()[0];
    EXPECT_FALSE(Lexists(InstallFolder() + "/bomb.raw"));
    EXPECT_EQ(ReadBytes(InstallFolder() + "/small"), "small");
    EXPECT_TRUE(ScratchLeftovers().empty());
}

TEST_F(InstallPassTest, AReadOnlyDestinationFolderIsReportedAndNothingChanges)
{
    std::string sounds = FindFolder(B_USER_SOUNDS_DIRECTORY);
    WriteBytes(sounds + "/existing", "kept");
    fInstaller->AddItem({ Source("new.raw", "new"), "User Sounds" });
    if (!SetReadOnly(sounds, true))
        GTEST_SKIP() << "this user can write in any folder here";
    status_t result = Run();
    SetReadOnly(sounds, false);
    EXPECT_EQ(result, InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeFailed);
    EXPECT_FALSE(Lexists(sounds + "/new.raw"));
    EXPECT_EQ(ReadBytes(sounds + "/existing"), "kept");
    EXPECT_NE(ReadBytes(InstallFolder() + "/Log").find("Nothing can be written in " + sounds),
        std::string::npos);
}

TEST_F(InstallPassTest, ALibraryInTheSystemsLibraryFolderIsFollowedByTheLoadersCache)
{
    setenv("BRENVIK_SCOPE", "system", 1);
    fInstaller->AddItem({ Source("libnotes.so.1",
                              "\x7f"
                              "ELF"),
        "Common Libraries" });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    std::string libraries = FindFolder(B_COMMON_LIB_DIRECTORY);
    EXPECT_TRUE(Lexists(libraries + "/libnotes.so.1"));
    InstallRecordReader record = RecordOf(fConfig);
    const InstallRecordReader::Step* followUp = nullptr;
    for (const auto& step : record.Steps()) {
        if (step.kind == "follow_up")
            followUp = &step;
    }
    ASSERT_NE(followUp, nullptr);
    EXPECT_STREQ(followUp->begun.GetString("action", ""), "ldconfig");
    EXPECT_EQ(std::string(followUp->begun.GetString("path", "")), libraries);
}

} // namespace
