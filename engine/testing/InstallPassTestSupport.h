#pragma once

// Helpers of the install pass tests: a small installer file (texts, payload
// entries, a de-installer) made in the sandbox, dialogs that answer from a
// script and remember what they were shown, a system that says what the test
// wants, and snapshots of folders to prove what changed.

#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <linux/fs.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include <TestSandbox.h>

#include <Entry.h>
#include <FindDirectory.h>
#include <Path.h>

#include <LibAppResource.h>
#include <LocalizedTextTable.h>

#include "InstallConfig.h"
#include "InstallRecord.h"
#include "InstallRecordReader.h"
#include "InstallRemoval.h"

namespace pass_test {

namespace fs = std::filesystem;

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes, mode_t mode = 0644)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    chmod(path.c_str(), mode);
}

inline bool Lexists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

struct TestDialogs : public InstallDialogs {
    struct Replace {
        std::string newItem;
        std::string newItemFolder;
        std::string existing;
    };

    void Error(const std::string& text) override { errors.push_back(text); }
    void Info(const std::string& text) override { infos.push_back(text); }
    int32 Choose(
        const std::string& text, const std::vector<std::string>& buttons, alert_kind) override
    {
        questions.push_back(text);
        buttonSets.push_back(buttons);
        if (choices.empty())
            return int32(buttons.size()) - 1;
        int32 choice = choices.front();
        choices.pop_front();
        return choice;
    }
    ReplaceAnswer AskReplace(const std::string& newItem, const std::string& newItemFolder,
        const std::string& existing, bool, const std::string&) override
    {
        replaces.push_back({ newItem, newItemFolder, existing });
        if (answers.empty())
            return ReplaceAnswer();
        ReplaceAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> errors;
    std::vector<std::string> infos;
    std::vector<std::string> questions;
    std::vector<std::vector<std::string>> buttonSets;
    std::deque<int32> choices;
    std::vector<Replace> replaces;
    std::deque<ReplaceAnswer> answers;
};

struct TestProbe : public SystemProbe {
    status_t FreeSpace(const std::string& path, Space* space) override
    {
        // The longest volume prefix of the path; else volume 1 with plenty.
        size_t best = 0;
        *space = Space();
        space->device = 1;
        space->freeBytes = defaultFree;
        space->volumeName = "Sandbox";
        for (auto& [prefix, volume] : volumes) {
            if ((path == prefix || path.rfind(prefix + "/", 0) == 0) && prefix.size() > best) {
                best = prefix.size();
                *space = volume;
            }
        }
        return B_OK;
    }
    uint64 PhysicalMemory() override { return memory; }
    bool FindLibrary(const std::string& name, std::string* path, std::string* how) override
    {
        auto found = libraries.find(name);
        if (found == libraries.end())
            return false;
        *path = found->second;
        *how = "test";
        return true;
    }
    bool FindApplication(const std::string& signature) override
    {
        for (const std::string& known : applications) {
            if (known == signature)
                return true;
        }
        return false;
    }
    std::string Description() override { return "Test Machine (1-Test@1000/100MHz) 512MB RAM"; }

    uint64 defaultFree = uint64(100) << 30;
    std::map<std::string, Space> volumes;
    uint64 memory = uint64(512) << 20;
    std::map<std::string, std::string> libraries;
    std::vector<std::string> applications;
};

// One payload item of a test installer.
struct TestItem {
    TestItem(std::string theSource, std::string theDestination = "User Selected",
        std::string theDestinationExists = "Replace", std::string theLink = "None",
        std::string theLinkExists = "Replace", std::string theDeinstallable = "True",
        bool theSelected = true, std::string theFileName = std::string())
        : source(std::move(theSource))
        , destination(std::move(theDestination))
        , destinationExists(std::move(theDestinationExists))
        , link(std::move(theLink))
        , linkExists(std::move(theLinkExists))
        , deinstallable(std::move(theDeinstallable))
        , selected(theSelected)
        , fileName(std::move(theFileName))
    {
    }

    std::string source;
    std::string destination;
    std::string destinationExists;
    std::string link;
    std::string linkExists;
    std::string deinstallable;
    bool selected;
    // Overrides the recorded "file_name" (its leaf names the item).
    std::string fileName;
    // "auto_launch" and "auto_launch_reason" (left out when empty).
    std::string autoLaunch;
    std::string autoLaunchReason;
};

// An installer file (a resource file, as the pass reads it) and its
// configuration.
class TestInstaller {
public:
    explicit TestInstaller(const std::string& folder)
        : fFolder(folder)
        , fPath(folder + "/installer")
    {
        std::ofstream(fPath).close();
        LibAppResource resources(fPath.c_str(), 2);
        EXPECT_EQ(LocalizedTextTable::AddToResources(resources), B_OK);
        std::string deinstaller = folder + "/Kolvast";
        fs::copy_file("/bin/true", deinstaller, fs::copy_options::overwrite_existing);
        EXPECT_TRUE(resources.AddEntry(deinstaller.c_str(), 2001, "Kolvast", 1))
            << resources.EntryErrorText();
        EXPECT_EQ(resources.Sync(), B_OK);
        config.AddString("app_name", "Tarsel Notes");
        config.AddString("version", "1.0.2");
        config.AddString("release_date", "28 December 2000");
        config.AddString("company", "Tarsel Software");
        config.AddString("support_email", "support@tarsel.example");
        config.AddString("opt_created_folder", "TarselNotes");
        config.AddBool("opt_log", true);
    }

    void AddItem(const TestItem& item)
    {
        LibAppResource resources(fPath.c_str(), 2);
        std::string leaf = fs::path(item.source).filename().string();
        int32 id = 2100 + int32(fItems.size());
        EXPECT_TRUE(resources.AddEntry(item.source.c_str(), id, leaf.c_str(), 1))
            << resources.EntryErrorText();
        EXPECT_EQ(resources.Sync(), B_OK);
        fItems.push_back(item);
    }

    void AddCustomFolder(const char* name, int32 root, const char* sub, bool replace)
    {
        BMessage entry;
        entry.AddString("custom_folder_name", name);
        entry.AddInt32("custom_root_dir", root);
        entry.AddString("custom_sub_dir", sub);
        entry.AddBool("custom_replace_existing", replace);
        fCustomFolders.AddMessage("custom_folder", &entry);
    }

    // A configuration ready for a pass into `destination`.
    void Configure(InstallConfig& target, const std::string& destination)
    {
        BMessage record(config);
        BMessage instructions;
        for (const TestItem& item : fItems) {
            BMessage file;
            file.AddString("file_name", item.fileName.empty() ? item.source : item.fileName);
            file.AddInt8("file_type", 0);
            // As the authoring tool records it: a folder's size is what it
            // holds.
            struct stat info = {};
            lstat(item.source.c_str(), &info);
            int64 size = info.st_size;
            if (S_ISDIR(info.st_mode)) {
                size = 0;
                for (const auto& entry : fs::recursive_directory_iterator(item.source)) {
                    if (!entry.is_symlink() && entry.is_regular_file())
                        size += int64(entry.file_size());
                }
            }
            file.AddInt32("file_size", int32(size));
            file.AddInt32("file_size", int32(size));
            file.AddInt64("file_creation", 977961600);
            file.AddInt64("file_modified", 977961600);
            file.AddInt64("file_accessed", 977961660);
            BMessage meta;
            meta.AddString("destination", item.destination.c_str());
            meta.AddString("destination_exists", item.destinationExists.c_str());
            meta.AddString("link", item.link.c_str());
            meta.AddString("link_exists", item.linkExists.c_str());
            meta.AddString("deinstallable", item.deinstallable.c_str());
            if (!item.autoLaunch.empty())
                meta.AddString("auto_launch", item.autoLaunch.c_str());
            if (!item.autoLaunchReason.empty())
                meta.AddString("auto_launch_reason", item.autoLaunchReason.c_str());
            file.AddMessage("install_meta", &meta);
            file.AddBool("install_to_system", item.selected);
            instructions.AddMessage("install_file", &file);
        }
        record.AddMessage("install_instructions", &instructions);
        record.AddMessage("custom_folder", &fCustomFolders);
        std::vector<char> flat(size_t(record.FlattenedSize()));
        record.Flatten(flat.data(), ssize_t(flat.size()));
        ASSERT_EQ(target.Load(flat.data(), flat.size()), B_OK);
        entry_ref ref;
        ASSERT_EQ(get_ref_for_path(destination.c_str(), &ref), B_OK);
        target.SetDestination(ref);
        target.SetInstallerPath(fPath.c_str());
        target.SetClock([] { return time_t(977961600); });
    }

    const std::string& Path() const { return fPath; }

    BMessage config;

private:
    std::string fFolder;
    std::string fPath;
    std::vector<TestItem> fItems;
    BMessage fCustomFolders;
};

// Every path below a folder with what it is (kind, bytes or link target),
// for proving that nothing changed there.
inline std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> tree;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::string path = it->path().string();
        if (it->is_symlink())
            tree[path] = "link:" + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            tree[path] = "folder";
        else
            tree[path] = "file:" + ReadBytes(path);
    }
    return tree;
}

// A folder of the user's or the system's (find_directory's).
inline std::string FindFolder(directory_which which)
{
    BPath path;
    EXPECT_EQ(find_directory(which, &path, false, nullptr), B_OK) << which;
    return path.Path();
}

// Everything the user can see: the home folder and the test's own, without
// Brenvik's records and the trash's empty folders.
inline std::map<std::string, std::string> UserSnapshot(const std::string& root)
{
    auto snapshot = Snapshot(FindFolder(B_USER_DIRECTORY));
    for (auto& [path, what] : Snapshot(root))
        snapshot[path] = what;
    std::string records = fs::path(InstallRecord::RecordsFolder()).parent_path();
    std::string trash = fs::path(FindFolder(B_TRASH_DIRECTORY)).parent_path();
    for (auto it = snapshot.begin(); it != snapshot.end();) {
        bool skip = it->first.rfind(records, 0) == 0
            || (it->first.rfind(trash, 0) == 0 && it->second == "folder");
        it = skip ? snapshot.erase(it) : std::next(it);
    }
    return snapshot;
}

// Runs the removal of `record` once more, on the record as it was before the
// first run (`journal`: its bytes then), as after a removal that was killed
// before it could remove its record: everything is done already, so the
// second run changes nothing of what the user sees and succeeds.
inline void ExpectSecondRemovalChangesNothing(
    const std::string& record, const std::string& journal, const std::string& root)
{
    auto before = UserSnapshot(root);
    WriteBytes(record, journal, 0600);
    std::string report;
    EXPECT_EQ(InstallRemoval::RollBack(record, &report), B_OK) << "second run:\n" << report;
    EXPECT_EQ(UserSnapshot(root), before) << "second run:\n" << report;
    EXPECT_FALSE(Lexists(record)) << "second run:\n" << report;
}

// The base of a pass test's fixture: a folder of the test's own (fRoot) with
// the destination folder "Apps" in it (fDestination); passes install for the
// user alone until the test ends.
template <class Base = testing::Test> class PassFixture : public Base {
protected:
    void MakeSandbox(const std::string& name)
    {
        setenv("BRENVIK_SCOPE", "user", 1);
        fRoot = brenvik::test::MakeTempFolder(name);
        fDestination = fRoot + "/Apps";
        fs::create_directories(fDestination);
    }

    void TearDown() override { unsetenv("BRENVIK_SCOPE"); }

    std::string fRoot;
    std::string fDestination;
};

// The fixture of tests that run whole passes: besides the sandbox, a test
// installer whose payload is made below fPayload, and a configuration with
// dialogs and a system that answer as the test says.
template <class Base = testing::Test> class PassRunFixture : public PassFixture<Base> {
protected:
    void MakePass(const std::string& name)
    {
        this->MakeSandbox(name);
        fPayload = this->fRoot + "/payload";
        fInstaller = std::make_unique<TestInstaller>(this->fRoot);
        auto dialogs = std::make_unique<TestDialogs>();
        fDialogs = dialogs.get();
        auto probe = std::make_unique<TestProbe>();
        fProbe = probe.get();
        fConfig.SetDialogs(std::move(dialogs));
        fConfig.SetSystemProbe(std::move(probe));
    }

    // A payload file at `relative` below fPayload, with its folders.
    std::string Source(const std::string& relative, const std::string& bytes, mode_t mode = 0644)
    {
        std::string path = fPayload + "/" + relative;
        WriteBytes(path, bytes, mode);
        return path;
    }

    // Configures the installer's items into the destination and runs the pass.
    status_t Run()
    {
        fInstaller->Configure(fConfig, this->fDestination);
        return fConfig.Action();
    }

    // The folder the test installer creates in the destination.
    std::string InstallFolder() const { return this->fDestination + "/TarselNotes"; }

    std::string fPayload;
    std::unique_ptr<TestInstaller> fInstaller;
    InstallConfig fConfig;
    TestDialogs* fDialogs = nullptr;
    TestProbe* fProbe = nullptr;
};

// The record of the configuration's last pass.
inline InstallRecordReader RecordOf(const InstallConfig& config)
{
    InstallRecordReader reader;
    EXPECT_EQ(reader.ReadFile(config.RecordPath().c_str()), B_OK) << config.RecordPath();
    return reader;
}

// Every path in the sandbox whose leaf starts with the scratch prefix.
inline std::vector<std::string> ScratchLeftovers()
{
    std::vector<std::string> found;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(brenvik::test::SandboxRoot(), error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->path().filename().string().rfind(".brenvik-", 0) == 0)
            found.push_back(it->path().string());
    }
    return found;
}

// Makes a folder one that no new entry can be made in: by its permissions, or,
// for root (whom permissions do not bind), by the file system's immutable
// flag. False when neither works here.
inline bool SetReadOnly(const std::string& folder, bool readOnly)
{
    chmod(folder.c_str(), readOnly ? 0555 : 0755);
    if (geteuid() != 0)
        return !readOnly || access(folder.c_str(), W_OK) != 0;
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = readOnly ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return done;
}

} // namespace pass_test
