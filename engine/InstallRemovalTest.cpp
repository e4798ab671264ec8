// InstallRemoval against what users do after installing (edit a file, add
// their own, install a second product beside the first) and against records
// that were damaged or written to do harm.

#include "InstallPassTestSupport.h"

#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <OrdinaryUser.h>

#include <FindDirectory.h>
#include <Node.h>
#include <Path.h>
#include <Sha256.h>

#include "InstallRemoval.h"
#include "InstallerFormat.h"
#include "ScriptEdit.h"
#include "ScriptTargets.h"

namespace {

using namespace pass_test;

std::string Sha256Of(const std::string& bytes)
{
    BPrivate::Sha256 hash;
    hash.Update(bytes.data(), bytes.size());
    return hash.Final();
}

bool Has(const InstallRemoval& removal, InstallRemoval::outcome_kind kind, const std::string& path)
{
    for (const auto& outcome : removal.Outcomes()) {
        if (outcome.kind == kind && outcome.path == path)
            return true;
    }
    return false;
}

class InstallRemovalTest : public PassFixture<> {
protected:
    void SetUp() override
    {
        MakeSandbox("removal");
        fSettings = FindFolder(B_USER_SETTINGS_DIRECTORY);
        // The sandbox is the test program's: start without what earlier
        // tests left in the shared folders.
        fs::remove_all(fSettings + "/Shared");
        fs::remove_all(fSettings + "/Mine");
    }

    // Installs a product of that name (its folder too) with a folder item,
    // a file placed in the settings folder and a link; returns the record.
    std::string Install(const std::string& name, const std::string& payload, bool whole = true)
    {
        std::string source = fRoot + "/" + payload;
        WriteBytes(source + "/" + name + "/bin/tool", "#!/bin/sh\necho " + name + "\n", 0755);
        WriteBytes(source + "/" + name + "/doc/ReadMe", "read me, " + name);
        fs::create_symlink("bin/tool", source + "/" + name + "/tool");
        WriteBytes(source + "/" + name + ".conf", "setting=" + name);
        TestInstaller installer(source);
        installer.config.ReplaceString("app_name", name.c_str());
        installer.config.ReplaceString("opt_created_folder", name.c_str());
        installer.config.AddBool("opt_save_replaced", true);
        installer.AddCustomFolder("Shared", 3006, "Shared", false);
        installer.AddItem(
            { source + "/" + name, "User Selected", "Replace", whole ? "Shared" : "None" });
        if (whole)
            installer.AddItem({ source + "/" + name + ".conf", "Shared", "Rename" });
        InstallConfig config;
        config.SetDialogs(std::make_unique<TestDialogs>());
        config.SetSystemProbe(std::make_unique<TestProbe>());
        installer.Configure(config, fDestination);
        EXPECT_EQ(config.Action(), InstallConfig::kPassDone);
        return config.RecordPath();
    }

    std::string fSettings;
};

TEST_F(InstallRemovalTest, KeepsWhatTheUserChangedOrAddedAndReportsIt)
{
    std::string record = Install("Velk", "payload");
    std::string folder = fDestination + "/Velk/Velk";
    WriteBytes(folder + "/doc/ReadMe", "my own notes");
    WriteBytes(folder + "/bin/plugins/mine.so", "a plug-in of the user's");

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(record), B_OK) << removal.Error();
    std::vector<std::pair<int32, int32>> progress;
    removal.SetProgressHook([&](int32 done, int32 total, const std::string&) {
        progress.push_back({ done, total });
    });
    EXPECT_EQ(removal.Run(), B_ERROR);
    EXPECT_FALSE(removal.Complete());
    // The bar only moves forwards, and ends full.
    ASSERT_FALSE(progress.empty());
    for (size_t i = 1; i < progress.size(); i++) {
        EXPECT_EQ(progress[i].second, progress[0].second);
        EXPECT_GT(progress[i].first, progress[i - 1].first);
    }
    EXPECT_EQ(progress.back().first, progress.back().second);

    EXPECT_EQ(ReadBytes(folder + "/doc/ReadMe"), "my own notes");
    EXPECT_EQ(ReadBytes(folder + "/bin/plugins/mine.so"), "a plug-in of the user's");
    EXPECT_TRUE(Has(removal, InstallRemoval::kOutcomeKept, folder + "/doc/ReadMe"))
        << removal.Report();
    EXPECT_TRUE(Has(removal, InstallRemoval::kOutcomeRemoved, folder + "/bin/tool"));
    EXPECT_TRUE(Has(removal, InstallRemoval::kOutcomeRemoved, folder + "/tool"));
    EXPECT_FALSE(Lexists(folder + "/bin/tool"));
    EXPECT_FALSE(Lexists(fSettings + "/Shared/Velk.conf"));
    EXPECT_FALSE(Lexists(fSettings + "/Shared/Velk"));
    // The user's files are theirs now: the record goes, the log stays.
    EXPECT_TRUE(removal.RecordRemoved());
    EXPECT_NE(
        ReadBytes(removal.LogPath()).find("Kept\t" + folder + "/doc/ReadMe"), std::string::npos);
}

// What the removal may go by without reading a file (its inode, size and
// times, the change time being one no user can set back) and what makes it
// read the file after all.
struct QuietChange {
    const char* name;
    // Changes the installed file at `path`.
    void (*change)(const std::string& path);
    bool removed;
};

class QuietChangeTest : public InstallRemovalTest, public testing::WithParamInterface<QuietChange> {
protected:
    // Installs, changes one installed file, removes.
    void ExpectRemovedAsTheCaseSays()
    {
        std::string record = Install("Velk", "payload");
        std::string file = fDestination + "/Velk/Velk/doc/ReadMe";
        GetParam().change(file);

        InstallRemoval removal;
        ASSERT_EQ(removal.SetTo(record), B_OK) << removal.Error();
        removal.Run();
        EXPECT_EQ(Has(removal, InstallRemoval::kOutcomeRemoved, file), GetParam().removed)
            << removal.Report();
        EXPECT_EQ(Lexists(file), !GetParam().removed);
    }
};

TEST_P(QuietChangeTest, KeepsAFileOnlyWhenItsBytesChanged)
{
    ExpectRemovedAsTheCaseSays();
}

class TagChangeTest : public QuietChangeTest { };

TEST_P(TagChangeTest, KeepsAFileThatDoesNotCarryTheInstallationsTag)
{
    ExpectRemovedAsTheCaseSays();
}

// Rewrites the installation's tag on `path` as `edit` makes it (the raw
// attribute: its type code, then the text).
void EditTag(const std::string& path, const std::function<void(std::string*)>& edit)
{
    const char* name = "user.haiku.InstallBy";
    std::string value(256, '\0');
    ssize_t size = lgetxattr(path.c_str(), name, value.data(), value.size());
    ASSERT_GT(size, 4);
    value.resize(size_t(size));
    edit(&value);
    if (value.empty())
        ASSERT_EQ(lremovexattr(path.c_str(), name), 0);
    else
        ASSERT_EQ(lsetxattr(path.c_str(), name, value.data(), value.size(), 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Tags, TagChangeTest,
    testing::Values(
        QuietChange { "EndingInANul",
            [](const std::string& path) { EditTag(path, [](std::string* tag) { *tag += '\0'; }); },
            true },
        QuietChange { "LongerThanTheInstallations",
            [](const std::string& path) { EditTag(path, [](std::string* tag) { *tag += "x"; }); },
            false },
        QuietChange { "ShorterThanTheInstallations",
            [](const std::string& path) {
                EditTag(path, [](std::string* tag) { tag->pop_back(); });
            },
            false },
        QuietChange { "Gone",
            [](const std::string& path) { EditTag(path, [](std::string* tag) { tag->clear(); }); },
            false }),
    [](const testing::TestParamInfo<QuietChange>& param) { return std::string(param.param.name); });

// The times a file had, put back after an edit, as `touch -d` would.
void PutTimesBack(const std::string& path, const struct stat& before)
{
    timespec times[2] = { before.st_atim, before.st_mtim };
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Changes, QuietChangeTest,
    testing::Values(QuietChange { "Untouched", [](const std::string&) {}, true },
        // Same length, same times: only the change time and the bytes tell.
        QuietChange { "EditedWithItsTimesPutBack",
            [](const std::string& path) {
                struct stat before;
                ASSERT_EQ(stat(path.c_str(), &before), 0);
                std::string bytes = ReadBytes(path);
                bytes[0] = bytes[0] == 'x' ? 'y' : 'x';
                WriteBytes(path, bytes);
                PutTimesBack(path, before);
            },
            false },
        // A new inode with the same bytes, times and attributes (`cp -a`,
        // a restore from a backup): read, found the same, removed.
        QuietChange { "CopiedOverItsOwnPlace",
            [](const std::string& path) {
                struct stat before;
                ASSERT_EQ(stat(path.c_str(), &before), 0);
                ASSERT_EQ(std::system(("cp -a '" + path + "' '" + path + ".copy' && mv '" + path
                              + ".copy' '" + path + "'")
                                          .c_str()),
                    0);
                struct stat after;
                ASSERT_EQ(stat(path.c_str(), &after), 0);
                ASSERT_NE(after.st_ino, before.st_ino);
            },
            true },
        QuietChange { "OnlyItsTimesChanged",
            [](const std::string& path) {
                timespec times[2] = { { 1000000000, 0 }, { 1000000000, 0 } };
                ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
            },
            true }),
    [](const testing::TestParamInfo<QuietChange>& param) { return std::string(param.param.name); });

TEST_F(InstallRemovalTest, RemovingOneOfTwoProductsLeavesTheOtherWhole)
{
    WriteBytes(fSettings + "/Shared/Velk.conf", "the user's own Velk.conf");
    std::string first = Install("Velk", "payload-a");
    auto before = Snapshot(fDestination);
    auto settingsBefore = Snapshot(fSettings);
    std::string second = Install("Orrin", "payload-b");
    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(second, &report), B_OK) << report;
    EXPECT_EQ(Snapshot(fDestination), before);
    EXPECT_EQ(Snapshot(fSettings), settingsBefore);
    EXPECT_TRUE(Lexists(first));

    EXPECT_EQ(InstallRemoval::RollBack(first, &report), B_OK) << report;
    EXPECT_EQ(ReadBytes(fSettings + "/Shared/Velk.conf"), "the user's own Velk.conf");
    EXPECT_FALSE(Lexists(fDestination + "/Velk"));
    EXPECT_FALSE(Lexists(fSettings + "/Shared/Velk"));
}

// A folder the first installation made (the custom folder "Shared") holds
// the second product's files when the first is removed: it stays, and that
// is no failure of the removal. Once empty, it goes with the installation
// that made it.
TEST_F(InstallRemovalTest, ASharedFolderThatHoldsAnotherProductsFilesIsLeft)
{
    std::string first = Install("Velk", "payload-a");
    std::string second = Install("Orrin", "payload-b");
    auto orrin = Snapshot(fSettings + "/Shared/Orrin");
    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(first), B_OK);
    EXPECT_EQ(removal.Run(), B_OK) << removal.Report();
    EXPECT_TRUE(Has(removal, InstallRemoval::kOutcomeLeft, fSettings + "/Shared"))
        << removal.Report();
    EXPECT_EQ(Snapshot(fSettings + "/Shared/Orrin"), orrin);
    EXPECT_TRUE(Lexists(fSettings + "/Shared/Orrin.conf"));

    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(second, &report), B_OK) << report;
    EXPECT_FALSE(Lexists(fSettings + "/Shared/Orrin.conf")) << report;
}

// What the user had in the item's place may be neither file nor folder: a
// named pipe is moved aside as what it is, and put back.
TEST_F(InstallRemovalTest, ADisplacedNamedPipeComesBack)
{
    std::string pipe = fSettings + "/Shared/Velk.conf";
    fs::create_directories(fSettings + "/Shared");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::string record = Install("Velk", "payload");
    EXPECT_EQ(ReadBytes(pipe), "setting=Velk");
    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(record, &report), B_OK) << report;
    struct stat info;
    ASSERT_EQ(lstat(pipe.c_str(), &info), 0) << report;
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << report;
}

TEST_F(InstallRemovalTest, AFolderMadeForTheInstallationGoesWhenEmpty)
{
    std::string record = Install("Velk", "payload");
    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(record, &report), B_OK) << report;
    EXPECT_FALSE(Lexists(fSettings + "/Shared")) << report;
    // The removal's log is all it leaves, in the state folder.
    EXPECT_FALSE(Lexists(InstallRemoval::LogFolder() + "/log"));
}

// The user's file was renamed aside for the installed one, which the user
// then edited: the edited one stays (it is the user's now) unless the user,
// asked, wants the old one back, and then it goes to the trash, not away.
class TakenPlaceTest : public InstallRemovalTest, public testing::WithParamInterface<bool> { };

TEST_P(TakenPlaceTest, AsksBeforeThePutBackReplacesAnything)
{
    std::string conf = fSettings + "/Shared/Velk.conf";
    WriteBytes(conf, "the user's own Velk.conf");
    std::string record = Install("Velk", "payload");
    ASSERT_EQ(ReadBytes(conf + " copy"), "the user's own Velk.conf");
    WriteBytes(conf, "edited after installing");

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(record), B_OK);
    std::vector<std::string> asked;
    removal.SetTakenHook([&](const std::string& original, const std::string& movedTo) {
        asked.push_back(original + " <- " + movedTo);
        return GetParam();
    });
    removal.Run();
    EXPECT_EQ(asked, std::vector<std::string>({ conf + " <- " + conf + " copy" }));
    if (GetParam()) {
        EXPECT_EQ(ReadBytes(conf), "the user's own Velk.conf");
        EXPECT_FALSE(Lexists(conf + " copy"));
        std::string trashed;
        for (const auto& outcome : removal.Outcomes()) {
            if (outcome.kind == InstallRemoval::kOutcomeLeft)
                trashed = outcome.path;
        }
        EXPECT_EQ(fs::path(trashed).parent_path(), FindFolder(B_TRASH_DIRECTORY));
        EXPECT_EQ(ReadBytes(trashed), "edited after installing") << removal.Report();
    } else {
        EXPECT_EQ(ReadBytes(conf), "edited after installing");
        EXPECT_EQ(ReadBytes(conf + " copy"), "the user's own Velk.conf");
    }
    EXPECT_TRUE(Has(removal, InstallRemoval::kOutcomeKept, conf)) << removal.Report();
}

INSTANTIATE_TEST_SUITE_P(Answers, TakenPlaceTest, testing::Bool());

// A second installation of the product into the same folder supersedes the
// first; removed, it brings the first back whole, whose record then counts
// again.
TEST_F(InstallRemovalTest, RemovingAReinstallationBringsBackTheOneItReplaced)
{
    std::string first = Install("Velk", "payload-1");
    auto settings = Snapshot(fSettings);
    auto destination = Snapshot(fDestination);
    std::string second = Install("Velk", "payload-2");
    InstallRemoval refused;
    EXPECT_EQ(refused.SetTo(first), B_NOT_ALLOWED);

    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(second, &report), B_OK) << report;
    EXPECT_EQ(Snapshot(fSettings), settings) << report;
    EXPECT_EQ(Snapshot(fDestination), destination) << report;
    EXPECT_EQ(InstallRemoval::RollBack(first, &report), B_OK) << report;
    EXPECT_FALSE(Lexists(fDestination + "/Velk"));
}

TEST_F(InstallRemovalTest, RefusesRecordsItCannotTrust)
{
    std::string record = Install("Velk", "payload");
    InstallRemoval removal;
    EXPECT_EQ(removal.SetTo(fRoot + "/no-such-journal"), B_ENTRY_NOT_FOUND);
    chmod(record.c_str(), 0666);
    EXPECT_EQ(removal.SetTo(record), B_NOT_ALLOWED);
    chmod(record.c_str(), 0600);
    // Superseded by a later record that is still there.
    BMessage header;
    header.AddInt32(InstallRecord::kFieldUid, int32(geteuid()));
    InstallRecord later;
    ASSERT_EQ(later.Create(header), B_OK);
    ASSERT_EQ(InstallRecord::MarkSuperseded(record.c_str(), later.Id().c_str()), B_OK);
    EXPECT_EQ(removal.SetTo(record), B_NOT_ALLOWED);
    EXPECT_NE(removal.Error().find(later.Id()), std::string::npos);
    EXPECT_EQ(removal.Run(), B_ERROR);
    EXPECT_TRUE(Lexists(fDestination + "/Velk/Velk/bin/tool"));
}

TEST_F(InstallRemovalTest, FindsUnfinishedInstallationsOfAProduct)
{
    std::string record = Install("Velk", "payload");
    EXPECT_TRUE(InstallRemoval::FindUnfinished("Velk").empty());
    BMessage header;
    header.AddString("app_name", "Velk");
    header.AddInt32(InstallRecord::kFieldUid, int32(geteuid()));
    InstallRecord stopped;
    ASSERT_EQ(stopped.Create(header), B_OK);
    EXPECT_EQ(InstallRemoval::FindUnfinished("Velk"),
        std::vector<std::string>({ stopped.JournalPath() }));
    EXPECT_TRUE(InstallRemoval::FindUnfinished("Orrin").empty());
}

// A record of script edits alone: the product's own block and the shared
// start-up folder block, each as the script editor describes it.
std::string RecordScripts(const std::string& product)
{
    BMessage header;
    header.AddString("app_name", product.c_str());
    header.AddInt32(InstallRecord::kFieldUid, int32(geteuid()));
    InstallRecord record;
    EXPECT_EQ(record.Create(header), B_OK);
    ScriptEdit own;
    EXPECT_EQ(EditScriptFile(B_USER_DIRECTORY, ".profile", product.c_str(),
                  ("export " + product + "_HOME=/opt/" + product).c_str(), &own),
        B_OK);
    ScriptEdit shared;
    EXPECT_EQ(
        EditScriptFile(B_USER_DIRECTORY, ".profile", "StartUpFolder", "run_startup_items", &shared),
        B_OK);
    shared.startUpFolder = true;
    for (const ScriptEdit* edit : { &shared, &own }) {
        BMessage archive;
        EXPECT_EQ(edit->Archive(&archive), B_OK);
        int32 step = record.Begin(InstallRecord::kKindScript, archive);
        EXPECT_EQ(record.Done(step, &archive), B_OK);
    }
    EXPECT_EQ(record.Finish(InstallRecord::kStateFinished, 0), B_OK);
    return record.JournalPath();
}

TEST_F(InstallRemovalTest, ScriptBlocksGoByTagAndTheSharedOneWithItsLastUser)
{
    std::string profile = FindFolder(B_USER_DIRECTORY) + "/.profile";
    WriteBytes(profile, "# the user's own\nexport EDITOR=vi\n");
    std::string velk = RecordScripts("Velk");
    std::string orrin = RecordScripts("Orrin");
    std::string text = ReadBytes(profile);
    ASSERT_NE(text.find("#BEGIN_Velk"), std::string::npos) << text;

    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(velk, &report), B_OK) << report;
    text = ReadBytes(profile);
    EXPECT_EQ(text.find("Velk"), std::string::npos) << text;
    EXPECT_NE(text.find("Orrin_HOME"), std::string::npos) << text;
    EXPECT_NE(text.find("run_startup_items"), std::string::npos) << text;

    EXPECT_EQ(InstallRemoval::RollBack(orrin, &report), B_OK) << report;
    EXPECT_EQ(ReadBytes(profile), "# the user's own\nexport EDITOR=vi\n");
}

// A record rewritten frame by frame, so that a test can change what it says
// and still have every checksum right.
struct Frames {
    std::string signature;
    std::vector<BMessage> messages;

    explicit Frames(const std::string& bytes)
    {
        signature = bytes.substr(0, 8);
        size_t at = 8;
        while (at + 8 <= bytes.size()) {
            uint32 size = uint32(uchar(bytes[at])) | uint32(uchar(bytes[at + 1])) << 8
                | uint32(uchar(bytes[at + 2])) << 16 | uint32(uchar(bytes[at + 3])) << 24;
            BMessage message;
            if (at + 8 + size > bytes.size()
                || message.Unflatten(bytes.data() + at + 8, size) != B_OK)
                break;
            messages.push_back(message);
            at += 8 + size;
        }
    }

    std::string Bytes() const
    {
        std::string bytes = signature;
        for (const BMessage& message : messages)
            bytes += InstallRecord::Frame(message);
        return bytes;
    }

    // The frames of one step kind ("what" begun or done).
    std::vector<BMessage*> Of(const char* kind, uint32 what)
    {
        std::vector<int32> steps;
        for (BMessage& message : messages) {
            if (message.what == InstallRecord::kMsgBegun
                && std::string(message.GetString("kind", "")) == kind)
                steps.push_back(message.GetInt32("step", 0));
        }
        std::vector<BMessage*> found;
        for (BMessage& message : messages) {
            if (message.what == what
                && std::find(steps.begin(), steps.end(), message.GetInt32("step", -1))
                    != steps.end())
                found.push_back(&message);
        }
        return found;
    }
};

// A crash right after the last item was renamed into place, before its end
// was recorded: the journal ends with that step begun. The removal still
// takes the item away and puts back what it displaced.
TEST_F(InstallRemovalTest, UndoesAnItemWhoseEndWasNotRecorded)
{
    WriteBytes(fSettings + "/Shared/Velk.conf", "the user's own Velk.conf");
    auto settings = Snapshot(fSettings);
    auto destination = Snapshot(fDestination);
    std::string record = Install("Velk", "payload");
    Frames frames(ReadBytes(record));
    std::vector<BMessage*> done = frames.Of("item", InstallRecord::kMsgDone);
    ASSERT_FALSE(done.empty());
    size_t cut = size_t(done.back() - frames.messages.data());
    frames.messages.resize(cut);
    WriteBytes(record, frames.Bytes(), 0600);

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(record), B_OK);
    EXPECT_EQ(removal.Record().EndState(), "");
    EXPECT_EQ(removal.Run(), B_OK) << removal.Report();
    EXPECT_EQ(Snapshot(fSettings), settings) << removal.Report();
    EXPECT_EQ(Snapshot(fDestination), destination) << removal.Report();
}

// A real crash right after the first item went into its place, before its
// dates, its record entries or anything else: what is there carries the
// installation's tag (it was tagged before it moved), so the removal takes it
// all away.
TEST_F(InstallRemovalTest, UndoesAnInstallationThatCrashedRightAfterPlacingAnItem)
{
    WriteBytes(fSettings + "/Shared/Velk.conf", "the user's own Velk.conf");
    auto settings = Snapshot(fSettings);
    auto destination = Snapshot(fDestination);
    std::string source = fRoot + "/crash";
    WriteBytes(source + "/Velk/bin/tool", "#!/bin/sh\necho Velk\n", 0755);
    WriteBytes(source + "/Velk.conf", "setting=Velk");
    TestInstaller installer(source);
    installer.config.ReplaceString("app_name", "Velk");
    installer.config.ReplaceString("opt_created_folder", "Velk");
    installer.AddCustomFolder("Shared", 3006, "Shared", false);
    installer.AddItem({ source + "/Velk.conf", "Shared", "Replace" });
    installer.AddItem({ source + "/Velk" });
    InstallConfig config;
    config.SetDialogs(std::make_unique<TestDialogs>());
    config.SetSystemProbe(std::make_unique<TestProbe>());
    installer.Configure(config, fDestination);
    config.SetPlacedObserver([](const std::string&) { _exit(0); });
    std::vector<std::string> earlier = InstallRemoval::FindUnfinished("Velk");
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        config.Action();
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(ReadBytes(fSettings + "/Shared/Velk.conf"), "setting=Velk");
    std::vector<std::string> records;
    for (const std::string& record : InstallRemoval::FindUnfinished("Velk")) {
        if (std::find(earlier.begin(), earlier.end(), record) == earlier.end())
            records.push_back(record);
    }
    ASSERT_EQ(records.size(), 1u);

    std::string journal = ReadBytes(records[0]);
    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(records[0]), B_OK) << removal.Error();
    EXPECT_EQ(removal.Run(), B_OK) << removal.Report();
    EXPECT_EQ(Snapshot(fSettings), settings) << removal.Report();
    EXPECT_EQ(Snapshot(fDestination), destination) << removal.Report();
    ExpectSecondRemovalChangesNothing(records[0], journal, fDestination);
}

// The same for a folder item, into which the user put a file of their own
// before the removal: without digests, only what carries the installation's
// tag goes.
TEST_F(InstallRemovalTest, KeepsWhatTheUserAddedToAnItemWhoseEndWasNotRecorded)
{
    std::string record = Install("Velk", "payload", false);
    std::string mine = fDestination + "/Velk/Velk/doc/mine.txt";
    WriteBytes(mine, "the user's own");
    Frames frames(ReadBytes(record));
    std::vector<BMessage*> done = frames.Of("item", InstallRecord::kMsgDone);
    ASSERT_EQ(done.size(), 1u);
    frames.messages.resize(size_t(done.back() - frames.messages.data()));
    WriteBytes(record, frames.Bytes(), 0600);

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(record), B_OK);
    removal.Run();
    EXPECT_EQ(ReadBytes(mine), "the user's own");
    EXPECT_FALSE(Lexists(fDestination + "/Velk/Velk/bin"));
    EXPECT_FALSE(Lexists(fDestination + "/Velk/Velk/doc/ReadMe"));
    if (BNode(mine.c_str()).WriteAttr("probe", B_STRING_TYPE, 0, "x", 2) == 2) {
        EXPECT_TRUE(Has(removal, InstallRemoval::kOutcomeKept, mine)) << removal.Report();
    }
}

// What a hostile record may try: each case rewrites the record of a real
// installation to point at the user's files (which carry the product's own
// tag and whose digests the record holds, so that only the rules about
// places protect them).
struct Hostile {
    const char* name;
    std::function<void(Frames&, const std::string& canary, const std::string& canaryFolder,
        const std::string& digest, int64 size)>
        mutate;
    // A leaf name of the user's that the report must name, as what the
    // removal refused (null: not checked).
    const char* reported = nullptr;
};

// The user's own files beside the letter, for the records below to point
// at: an empty dot file, a script, a folder whose name looks like a scratch
// folder, a desktop entry of the kind Brenvik writes, a link, a profile with
// a copy of its own, and an empty folder.
void MakeUsersFiles(const std::string& folder)
{
    WriteBytes(folder + "/.hushlogin", "");
    WriteBytes(folder + "/bin/my-script.sh", "#!/bin/sh\necho mine\n", 0755);
    WriteBytes(folder + "/.brenvik-foo/notes.txt", "the user's notes");
    WriteBytes(folder + "/entry.desktop",
        "[Desktop Entry]\nType=Application\nName=Mine\nExec=mine\nX-Brenvik-Managed=true\n");
    fs::create_symlink("letter.txt", folder + "/tool-link");
    WriteBytes(folder + "/profile", "# mine\n");
    WriteBytes(folder + "/profile.orig", "# my own old profile\n");
    fs::create_directories(folder + "/Empty");
}

// Appends a step to the record, numbered after its last one.
void AppendStep(Frames& f, const char* kind, BMessage begun, const BMessage* done = nullptr)
{
    int32 steps = 0;
    for (const BMessage& message : f.messages)
        steps += message.what == InstallRecord::kMsgBegun ? 1 : 0;
    begun.what = InstallRecord::kMsgBegun;
    begun.RemoveName("step");
    begun.AddInt32("step", steps + 1);
    begun.RemoveName("kind");
    begun.AddString("kind", kind);
    f.messages.push_back(begun);
    if (done != nullptr) {
        BMessage result(*done);
        result.what = InstallRecord::kMsgDone;
        result.RemoveName("step");
        result.AddInt32("step", steps + 1);
        f.messages.push_back(result);
    }
}

// A script change of the product's tag in a file of the user's.
ScriptFileChange ForgedChange(const std::string& path)
{
    ScriptFileChange change;
    change.role = ScriptFileChange::kScript;
    change.path = path;
    change.tag = "Velk";
    change.block = "#BEGIN_Velk\nexport VELK_HOME=/opt/velk\n#END_Velk\n";
    change.changed = true;
    return change;
}

// A script step whose done frame is the editor's account of these changes.
void AppendScriptStep(Frames& f, const std::vector<ScriptFileChange>& changes)
{
    ScriptEdit edit;
    edit.script = ".profile";
    edit.tag = "Velk";
    edit.path = changes.front().path;
    edit.files = changes;
    BMessage begun;
    begun.AddString("path", edit.path.c_str());
    begun.AddString("tag", "Velk");
    begun.AddString("name", ".profile");
    begun.AddString("block", changes.front().block.c_str());
    BMessage done;
    edit.Archive(&done);
    AppendStep(f, "script", begun, &done);
}

void SetString(BMessage* message, const char* field, const std::string& value)
{
    message->RemoveName(field);
    message->AddString(field, value.c_str());
}

void PointEntryAt(
    BMessage* done, int32 index, const std::string& path, const std::string& digest, int64 size)
{
    BMessage entry;
    done->FindMessage("entry", index, &entry);
    SetString(&entry, "path", path);
    SetString(&entry, "type", "file");
    entry.RemoveName("sha256");
    entry.AddData("sha256", B_RAW_TYPE, digest.data(), digest.size());
    entry.RemoveName("size");
    entry.AddInt64("size", size);
    done->ReplaceMessage("entry", index, &entry);
}

const Hostile kHostile[] = {
    { "ItemIsTheUsersFile",
        [](Frames& f, const std::string& canary, const std::string&, const std::string& digest,
            int64 size) {
            for (BMessage* begun : f.Of("item", InstallRecord::kMsgBegun))
                SetString(begun, "path", canary);
            for (BMessage* done : f.Of("item", InstallRecord::kMsgDone)) {
                SetString(done, "path", canary);
                PointEntryAt(done, 0, canary, digest, size);
            }
        } },
    { "EntryOutsideItsItem",
        [](Frames& f, const std::string& canary, const std::string&, const std::string& digest,
            int64 size) {
            for (BMessage* done : f.Of("item", InstallRecord::kMsgDone))
                PointEntryAt(done, 1, canary, digest, size);
        } },
    { "EntryClimbsOut",
        [](Frames& f, const std::string& canary, const std::string&, const std::string& digest,
            int64 size) {
            for (BMessage* done : f.Of("item", InstallRecord::kMsgDone)) {
                std::string item = done->GetString("path", "");
                PointEntryAt(
                    done, 1, item + "/../../../../../../../../../.." + canary, digest, size);
            }
        } },
    { "DisplacedComesBackFromTheUsersFile",
        [](Frames& f, const std::string& canary, const std::string&, const std::string&, int64) {
            for (BMessage* done : f.Of("displaced", InstallRecord::kMsgDone))
                SetString(done, "to", canary);
        } },
    { "ScratchIsTheUsersFolder",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            for (BMessage* begun : f.Of("scratch", InstallRecord::kMsgBegun))
                SetString(begun, "path", folder);
        } },
    { "LogAndDeinstallerAreTheUsersFile",
        [](Frames& f, const std::string& canary, const std::string&, const std::string& digest,
            int64) {
            for (BMessage* begun : f.Of("log", InstallRecord::kMsgBegun))
                SetString(begun, "path", canary);
            for (BMessage* begun : f.Of("deinstaller", InstallRecord::kMsgBegun))
                SetString(begun, "path", canary);
            for (BMessage* done : f.Of("deinstaller", InstallRecord::kMsgDone)) {
                done->RemoveName("sha256");
                done->AddData("sha256", B_RAW_TYPE, digest.data(), digest.size());
            }
        } },
    { "OldInstallationComesFromTheUsersFolder",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            BMessage begun(InstallRecord::kMsgBegun);
            begun.AddInt32("step", 9000);
            begun.AddString("kind", "old_install");
            begun.AddString("path", (folder + "-restored").c_str());
            BMessage done(InstallRecord::kMsgDone);
            done.AddInt32("step", 9000);
            done.AddString("to", folder.c_str());
            // First, so that it is undone last, once the way is clear.
            f.messages.insert(f.messages.begin() + 1, { begun, done });
        } },
    // The record says the installation created the user's empty file for
    // its block, or that the user's script is a file of Brenvik's own that
    // holds nothing but its header: neither holds the block, and neither
    // goes.
    { "ScriptStepDeletesTheUsersEmptyFile",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            ScriptFileChange change = ForgedChange(folder + "/.hushlogin");
            change.created = true;
            change.removeWhenEmpty = true;
            AppendScriptStep(f, { change });
        },
        ".hushlogin" },
    { "ScriptStepDeletesTheUsersScript",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            ScriptFileChange change = ForgedChange(folder + "/bin/my-script.sh");
            change.existed = true;
            change.removeWhenEmpty = true;
            change.emptyText = "#!/bin/sh\necho mine\n";
            AppendScriptStep(f, { change });
        },
        "my-script.sh" },
    { "FlatScriptStepDeletesTheUsersEmptyFile",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            BMessage begun;
            begun.AddString("path", (folder + "/.hushlogin").c_str());
            begun.AddString("tag", "Velk");
            begun.AddString("block", ForgedChange("").block.c_str());
            begun.AddBool("file_created", true);
            begun.AddBool("file_existed", false);
            AppendStep(f, "script", begun);
        },
        ".hushlogin" },
    // The script "goes" (it is not there), and with it what the record
    // names as its autostart entry: the user's entry, and an empty folder of
    // the user's as one the entry needed.
    { "AutostartEntryIsTheUsersEntry",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            ScriptFileChange script = ForgedChange(folder + "/no-such-script");
            script.created = true;
            script.removeWhenEmpty = true;
            ScriptFileChange entry;
            entry.role = ScriptFileChange::kAutostart;
            entry.path = folder + "/entry.desktop";
            entry.created = true;
            entry.removeWhenEmpty = true;
            entry.createdFolders = { folder + "/Empty" };
            AppendScriptStep(f, { script, entry });
        },
        "entry.desktop" },
    // The user's own "<file>.orig", named as the courtesy copy of a file
    // that holds no block of the product's.
    { "CourtesyCopyIsTheUsersOwn",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            ScriptFileChange change = ForgedChange(folder + "/profile");
            change.existed = true;
            change.backup = folder + "/profile.orig";
            change.backupSha256 = BPrivate::Sha256::Hex(Sha256Of("# my own old profile\n"));
            AppendScriptStep(f, { change });
        },
        "profile.orig" },
    // A folder of the user's that looks like a scratch folder, beside
    // nothing the installation placed.
    { "ScratchIsTheUsersBrenvikFolder",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            for (BMessage* begun : f.Of("scratch", InstallRecord::kMsgBegun))
                SetString(begun, "path", folder + "/.brenvik-foo");
        },
        ".brenvik-foo" },
    { "LinkIsTheUsersLink",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            std::vector<BMessage*> links = f.Of("link", InstallRecord::kMsgBegun);
            ASSERT_FALSE(links.empty());
            for (BMessage* begun : links) {
                SetString(begun, "path", folder + "/tool-link");
                SetString(begun, "target", "letter.txt");
            }
        },
        "tool-link" },
    { "DesktopEntryIsTheUsersFile",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            BMessage begun;
            begun.AddString("path", (folder + "/entry.desktop").c_str());
            begun.AddString("target", "mine");
            begun.AddBool("deinstallable", true);
            BMessage done;
            std::string digest = Sha256Of(ReadBytes(folder + "/entry.desktop"));
            done.AddData("sha256", B_RAW_TYPE, digest.data(), digest.size());
            AppendStep(f, "desktop_entry", begun, &done);
        },
        "entry.desktop" },
    // A folder step naming an empty folder of the user's: without the
    // identity of a folder the pass made, or with another folder's.
    { "FolderStepIsTheUsersEmptyFolder",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            BMessage begun;
            begun.AddString("path", (folder + "/Empty").c_str());
            begun.AddBool("existed", false);
            BMessage done;
            AppendStep(f, "folder", begun, &done);
        },
        "Empty" },
    { "FolderStepGivesAnotherFoldersIdentity",
        [](Frames& f, const std::string&, const std::string& folder, const std::string&, int64) {
            struct stat other;
            ASSERT_EQ(lstat(folder.c_str(), &other), 0);
            BMessage begun;
            begun.AddString("path", (folder + "/Empty").c_str());
            begun.AddBool("existed", false);
            BMessage done;
            done.AddInt64("device", int64(other.st_dev));
            done.AddInt64("inode", int64(other.st_ino));
            AppendStep(f, "folder", begun, &done);
        },
        "Empty" },
    { "FolderReplacedByALinkToTheUsersFolder",
        [](Frames& f, const std::string& canary, const std::string& folder,
            const std::string& digest, int64 size) {
            // The item's "doc" folder becomes a link to the user's folder,
            // and the record names the user's file through it.
            for (BMessage* done : f.Of("item", InstallRecord::kMsgDone)) {
                std::string item = done->GetString("path", "");
                if (fs::is_directory(item + "/doc")) {
                    fs::remove_all(item + "/doc");
                    fs::create_symlink(folder, item + "/doc");
                    PointEntryAt(done, 1, item + "/doc/" + fs::path(canary).filename().string(),
                        digest, size);
                }
            }
        } },
};

class HostileRecordTest : public InstallRemovalTest,
                          public testing::WithParamInterface<Hostile> { };

TEST_P(HostileRecordTest, RemovesNothingOfTheUsers)
{
    std::string canaryFolder = fSettings + "/Mine";
    std::string canary = canaryFolder + "/letter.txt";
    WriteBytes(canary, "the user's letter");
    MakeUsersFiles(canaryFolder);
    // Something for the installation to move aside, too.
    WriteBytes(fSettings + "/Shared/Velk.conf", "the user's own Velk.conf");
    std::string record = Install("Velk", "payload");
    // The user's file looks like the product's in every way but its place.
    InstallRecordReader reader;
    ASSERT_EQ(reader.ReadFile(record.c_str()), B_OK);
    BNode(canary.c_str())
        .WriteAttr(InstallerFormat::kDeinstallTagAttribute, B_STRING_TYPE, 0,
            reader.Header().GetString(InstallRecord::kFieldInstallBy, ""),
            std::strlen(reader.Header().GetString(InstallRecord::kFieldInstallBy, "")));
    auto mine = Snapshot(canaryFolder);

    Frames frames(ReadBytes(record));
    ASSERT_GT(frames.messages.size(), 5u);
    GetParam().mutate(frames, canary, canaryFolder, Sha256Of("the user's letter"),
        int64(std::string("the user's letter").size()));
    ASSERT_NE(frames.Bytes(), Frames(ReadBytes(record)).Bytes()) << "nothing was changed";
    WriteBytes(record, frames.Bytes(), 0600);

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(record), B_OK) << removal.Error();
    removal.Run();
    EXPECT_EQ(Snapshot(canaryFolder), mine) << removal.Report();
    EXPECT_FALSE(removal.Complete()) << removal.Report();
    if (GetParam().reported != nullptr) {
        bool named = false;
        for (const auto& outcome : removal.Outcomes()) {
            named = named
                || (outcome.kind != InstallRemoval::kOutcomeRemoved
                    && outcome.path.find(canaryFolder + "/") == 0
                    && outcome.path.find(GetParam().reported) != std::string::npos);
        }
        EXPECT_TRUE(named) << removal.Report();
    }
}

INSTANTIATE_TEST_SUITE_P(Records, HostileRecordTest, testing::ValuesIn(kHostile),
    [](const testing::TestParamInfo<Hostile>& param) { return std::string(param.param.name); });

// Records damaged at random: cut anywhere, or a byte changed inside a frame
// whose checksum was then made to match. Whatever the removal makes of them,
// every file the user had before the installation is still somewhere in the
// sandbox, unchanged.
class DamagedRecordTest : public InstallRemovalTest, public testing::WithParamInterface<int> { };

std::multiset<std::string> Contents(const std::map<std::string, std::string>& snapshot)
{
    std::multiset<std::string> contents;
    for (const auto& [path, what] : snapshot) {
        if (what.rfind("file:", 0) == 0)
            contents.insert(what);
    }
    return contents;
}

TEST_P(DamagedRecordTest, LosesNothingOfTheUsers)
{
    WriteBytes(fSettings + "/Shared/Velk.conf", "the user's own Velk.conf");
    WriteBytes(fSettings + "/Mine/letter.txt", "the user's letter");
    auto before = Contents(Snapshot(fSettings));
    std::string record = Install("Velk", "payload");

    std::mt19937 random { uint32(GetParam()) };
    std::string bytes = ReadBytes(record);
    if (GetParam() % 3 == 0) {
        bytes.resize(std::uniform_int_distribution<size_t>(0, bytes.size())(random));
    } else {
        Frames frames(bytes);
        std::string rebuilt = frames.signature;
        size_t victim
            = std::uniform_int_distribution<size_t>(1, frames.messages.size() - 1)(random);
        for (size_t i = 0; i < frames.messages.size(); i++) {
            std::string frame = InstallRecord::Frame(frames.messages[i]);
            if (i == victim) {
                std::string body = frame.substr(8);
                body[std::uniform_int_distribution<size_t>(0, body.size() - 1)(random)]
                    ^= char(1 << std::uniform_int_distribution<int>(0, 7)(random));
                uint32 crc = InstallRecord::Crc32(body.data(), body.size());
                for (int b = 0; b < 4; b++)
                    frame[4 + b] = char(crc >> (8 * b));
                frame = frame.substr(0, 8) + body;
            }
            rebuilt += frame;
        }
        bytes = rebuilt;
    }
    WriteBytes(record, bytes, 0600);

    InstallRemoval removal;
    if (removal.SetTo(record) == B_OK)
        removal.Run();
    auto after = Contents(Snapshot(fSettings));
    auto rest = Contents(Snapshot(fDestination));
    after.insert(rest.begin(), rest.end());
    for (const std::string& content : before)
        EXPECT_GE(after.count(content), 1u) << content << "\n" << removal.Report();
    EXPECT_EQ(ReadBytes(fSettings + "/Mine/letter.txt"), "the user's letter");
}

INSTANTIATE_TEST_SUITE_P(Seeds, DamagedRecordTest, testing::Range(1, 25));

// What an ordinary user meets: the archive gives the product's files
// read-only modes, and the item that takes the place of the user's own file
// moves it aside in one of the three ways. The removal takes everything away
// and puts the user's file back; killed half-way and run again, and run once
// more on a record that was not removed, it ends in the same place, with
// nothing kept and nothing in doubt.
struct ReadOnlyCase {
    mode_t mode;
    // How the user's file is moved aside: "saved", "renamed" or "trashed".
    const char* displaced;
};

class ReadOnlyRemovalTest : public InstallRemovalTest,
                            public testing::WithParamInterface<ReadOnlyCase> {
protected:
    // Installs the product; returns its record.
    std::string InstallReadOnly()
    {
        const ReadOnlyCase& test = GetParam();
        std::string source = fRoot + "/read-only";
        WriteBytes(source + "/Velk/bin/tool", "#!/bin/sh\necho Velk\n", test.mode);
        WriteBytes(source + "/Velk/doc/ReadMe", "read me", test.mode);
        WriteBytes(source + "/Velk.conf", "setting=Velk", test.mode);
        TestInstaller installer(source);
        installer.config.ReplaceString("app_name", "Velk");
        installer.config.ReplaceString("opt_created_folder", "Velk");
        installer.config.AddBool("opt_save_replaced", std::string(test.displaced) == "saved");
        installer.AddCustomFolder("Shared", 3006, "Shared", false);
        installer.AddItem({ source + "/Velk" });
        installer.AddItem({ source + "/Velk.conf", "Shared",
            std::string(test.displaced) == "renamed" ? "Rename" : "Replace" });
        InstallConfig config;
        config.SetDialogs(std::make_unique<TestDialogs>());
        config.SetSystemProbe(std::make_unique<TestProbe>());
        installer.Configure(config, fDestination);
        EXPECT_EQ(config.Action(), InstallConfig::kPassDone);
        EXPECT_EQ(config.Outcome(), InstallConfig::kOutcomeSucceeded);
        return config.RecordPath();
    }

    // Runs the removal, in a process of its own that ends when half of the
    // steps are done.
    static void RemoveHalfAndDie(const std::string& record)
    {
        pid_t child = fork();
        if (child == 0) {
            InstallRemoval removal;
            if (removal.SetTo(record) != B_OK)
                _exit(1);
            removal.SetProgressHook([](int32 done, int32 total, const std::string&) {
                if (done * 2 >= total)
                    _exit(0);
            });
            removal.Run();
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    static void ExpectCompleteRemoval(const std::string& record, const char* run)
    {
        InstallRemoval removal;
        ASSERT_EQ(removal.SetTo(record), B_OK) << run << ": " << removal.Error();
        EXPECT_EQ(removal.Run(), B_OK) << run << ":\n" << removal.Report();
        EXPECT_TRUE(removal.Complete()) << run << ":\n" << removal.Report();
        EXPECT_TRUE(removal.RecordRemoved()) << run;
    }
};

TEST_P(ReadOnlyRemovalTest, RemovesEverythingAndEndsTheSameWhenRunAgain)
{
    bool ran = brenvik::test::RunAsOrdinaryUser([&] {
        WriteBytes(fSettings + "/Shared/Velk.conf", "the user's own Velk.conf");
        auto before = UserSnapshot(fDestination);
        std::string record = InstallReadOnly();
        struct stat info;
        ASSERT_EQ(lstat((fDestination + "/Velk/Velk/bin/tool").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, GetParam().mode);
        std::string journal = ReadBytes(record);

        RemoveHalfAndDie(record);
        ExpectCompleteRemoval(record, "after a removal that was killed");
        EXPECT_EQ(UserSnapshot(fDestination), before);
        EXPECT_EQ(ReadBytes(fSettings + "/Shared/Velk.conf"), "the user's own Velk.conf");

        // The record of a removal that did everything but remove it.
        WriteBytes(record, journal, 0600);
        ExpectCompleteRemoval(record, "on a record that stayed");
        EXPECT_EQ(UserSnapshot(fDestination), before);
    });
    if (!ran)
        GTEST_SKIP() << "the sandbox is out of an ordinary user's reach";
}

INSTANTIATE_TEST_SUITE_P(ModesAndDisplacements, ReadOnlyRemovalTest,
    testing::Values(ReadOnlyCase { 0444, "saved" }, ReadOnlyCase { 0555, "renamed" },
        ReadOnlyCase { 0400, "trashed" }, ReadOnlyCase { 0444, "trashed" },
        ReadOnlyCase { 0555, "saved" }, ReadOnlyCase { 0400, "renamed" }),
    [](const testing::TestParamInfo<ReadOnlyCase>& test) {
        char mode[8];
        std::snprintf(mode, sizeof(mode), "%04o", unsigned(test.param.mode));
        return std::string("Mode") + mode + "_" + test.param.displaced;
    });

// The same product installed into two folders writes its block (same tag)
// into the same start-up file: removing one installation leaves the other's
// block, whether its bytes are the same or not; a block the user edited
// stays and is reported.
class SideBySideScriptTest : public InstallRemovalTest {
protected:
    std::string InstallWithProfile(const std::string& folder, const std::string& contents)
    {
        std::string source = fRoot + "/side-by-side";
        WriteBytes(source + "/notes", "notes");
        TestInstaller installer(source);
        installer.config.AddBool("edit_profile", true);
        installer.config.AddString("edit_profile_tag", "TARSEL_NOTES");
        installer.config.AddString("edit_profile_contents", contents.c_str());
        installer.AddItem({ source + "/notes" });
        InstallConfig config;
        config.SetDialogs(std::make_unique<TestDialogs>());
        config.SetSystemProbe(std::make_unique<TestProbe>());
        fs::create_directories(folder);
        installer.Configure(config, folder);
        EXPECT_EQ(config.Action(), InstallConfig::kPassDone);
        EXPECT_EQ(config.Outcome(), InstallConfig::kOutcomeSucceeded);
        return config.RecordPath();
    }

    void SetUp() override
    {
        InstallRemovalTest::SetUp();
        fProfile = FindFolder(B_USER_DIRECTORY) + "/.profile";
        WriteBytes(fProfile, kMine);
        fs::remove(fProfile + ".orig");
    }

    static constexpr const char* kMine = "# the user's own\nexport EDITOR=vi\n";
    std::string fProfile;
};

TEST_F(SideBySideScriptTest, EachInstallationKeepsItsBlockUntilItIsRemoved)
{
    for (bool sameBytes : { true, false }) {
        std::string first = InstallWithProfile(fRoot + "/one", "export PATH=\"$PATH:/opt/notes\"");
        std::string second = InstallWithProfile(fRoot + "/two",
            sameBytes ? "export PATH=\"$PATH:/opt/notes\"" : "export PATH=\"$PATH:/opt/two\"");
        std::string both = ReadBytes(fProfile);

        InstallRemoval removal;
        ASSERT_EQ(removal.SetTo(first), B_OK);
        EXPECT_EQ(removal.Run(), B_OK) << removal.Report();
        EXPECT_EQ(ReadBytes(fProfile), both) << removal.Report();

        std::string report;
        EXPECT_EQ(InstallRemoval::RollBack(second, &report), B_OK) << report;
        EXPECT_EQ(ReadBytes(fProfile), kMine) << report;
        EXPECT_FALSE(Lexists(fProfile + ".orig")) << report;
    }
}

TEST_F(SideBySideScriptTest, ABlockTheUserEditedStaysAndIsReported)
{
    std::string record = InstallWithProfile(fRoot + "/one", "export PATH=\"$PATH:/opt/notes\"");
    std::string text = ReadBytes(fProfile);
    size_t at = text.find("/opt/notes");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 10, "/opt/mine");
    WriteBytes(fProfile, text);

    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(record), B_OK);
    EXPECT_EQ(removal.Run(), B_ERROR);
    EXPECT_EQ(ReadBytes(fProfile), text);
    EXPECT_TRUE(Has(removal, InstallRemoval::kOutcomeKept, fProfile + " (TARSEL_NOTES)"))
        << removal.Report();
}

// A courtesy copy of the user's file is made only where no file of that name
// is: a "<file>.orig" of the user's own stays as it is.
TEST_F(SideBySideScriptTest, TheUsersOwnOrigFileIsNeverOverwritten)
{
    WriteBytes(fProfile + ".orig", "the user's own backup");
    std::string record = InstallWithProfile(fRoot + "/one", "export A=1");
    EXPECT_EQ(ReadBytes(fProfile + ".orig"), "the user's own backup");
    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(record, &report), B_OK) << report;
    EXPECT_EQ(ReadBytes(fProfile), kMine);
    EXPECT_EQ(ReadBytes(fProfile + ".orig"), "the user's own backup");
}

} // namespace
