// End to end at the sizes that need the Zip64 extension: an item of 4.5 GB
// (a sparse file: zeros but for a few marks, so it reads fast and packs
// small) and an item of 70,000 tiny files are each built into an installer,
// installed unattended and removed by the de-installer the installation
// left; the sandbox is then as it was. Each case checks first that TMPDIR
// has the room it needs, and is skipped, naming the bytes, when it has not.

#include "E2eSupport.h"

#include <InstallRecord.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

constexpr uint64 kGiB = 1024 * 1024 * 1024;
constexpr uint64 kBigSize = 4 * kGiB + kGiB / 2;
constexpr int kTinyCount = 70000;
constexpr int kTinyPerFolder = 1000;

// A few bytes at places that only a 64-bit size and offset reach.
const std::pair<uint64, std::string> kMarks[] = {
    { 0, "head" },
    { 4 * kGiB + 7, "past 4 GiB" },
    { kBigSize - 4, "tail" },
};

testing::AssertionResult MakeBigFile(const std::string& path)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    bool made = fd >= 0 && ftruncate(fd, off_t(kBigSize)) == 0;
    for (const auto& [offset, text] : kMarks)
        made = made && pwrite(fd, text.data(), text.size(), off_t(offset)) == ssize_t(text.size());
    if (fd >= 0)
        close(fd);
    if (!made)
        return testing::AssertionFailure() << path << ": " << std::strerror(errno);
    return testing::AssertionSuccess();
}

std::string TinyPath(const std::string& item, int i)
{
    return item + "/d" + std::to_string(i / kTinyPerFolder) + "/f" + std::to_string(i);
}

testing::AssertionResult MakeTinyFiles(const std::string& item)
{
    for (int i = 0; i < kTinyCount; i++) {
        if (i % kTinyPerFolder == 0)
            fs::create_directories(item + "/d" + std::to_string(i / kTinyPerFolder));
        std::ofstream file(TinyPath(item, i), std::ios::binary);
        file << i;
        if (!file)
            return testing::AssertionFailure() << "cannot write " << TinyPath(item, i);
    }
    return testing::AssertionSuccess();
}

void ExpectBigFileInstalled(const std::string& path)
{
    std::error_code error;
    ASSERT_EQ(fs::file_size(path, error), kBigSize) << path;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << path;
    for (const auto& [offset, text] : kMarks) {
        std::string read(text.size(), '\0');
        EXPECT_EQ(pread(fd, read.data(), read.size(), off_t(offset)), ssize_t(read.size()));
        EXPECT_EQ(read, text) << "at " << offset;
    }
    close(fd);
}

void ExpectTinyFilesInstalled(const std::string& item)
{
    int count = 0;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(item, error);
         it != fs::recursive_directory_iterator(); it.increment(error))
        count += it->is_regular_file(error) ? 1 : 0;
    EXPECT_EQ(count, kTinyCount);
    for (int i : { 0, 65535, 65536, kTinyCount - 1 })
        EXPECT_EQ(ReadBytes(TinyPath(item, i)), std::to_string(i));
}

struct LargeCase {
    const char* name;
    const char* item;
    // Free bytes and inodes of TMPDIR the case needs: the installed item,
    // for the tiny files also their sources, each in a block of its own.
    uint64 bytesNeeded;
    uint64 inodesNeeded;
    std::function<testing::AssertionResult(const std::string&)> make;
    std::function<void(const std::string&)> check;
    bool big;
};

void PrintTo(const LargeCase& test, std::ostream* out)
{
    *out << test.name;
}

// What the user would see: every path below the sandbox with the size of
// files, less Brenvik's own state (records, removal logs), the log of
// desktop actions and the trash's folders, which an installation may leave
// made.
std::set<std::string> ListSandbox()
{
    std::string state = fs::path(InstallRecord::RecordsFolder()).parent_path();
    // The folders of the system scope's state, which the installer looks at.
    std::string systemState = brenvik::test::SandboxRoot() + "/root/var";
    std::set<std::string> paths;
    for (const std::string& line : PathsBelow(brenvik::test::SandboxRoot())) {
        if (line.rfind(state, 0) != 0 && line.rfind(systemState, 0) != 0
            && line.find("/Trash") == std::string::npos
            && line.find("/actions.log") == std::string::npos)
            paths.insert(line);
    }
    return paths;
}

class LargeItemTest : public testing::TestWithParam<LargeCase> { };

TEST_P(LargeItemTest, BuildsInstallsAndIsRemoved)
{
    const LargeCase& test = GetParam();
    if (!fs::exists(ProgramPath("brenvik-installer"))
        || !fs::exists(ProgramPath("brenvik-kolvast")))
        GTEST_SKIP() << "the installer and de-installer programs are not built";
    std::string root = brenvik::test::MakeTempFolder("large");
    struct statvfs space = {};
    ASSERT_EQ(statvfs(root.c_str(), &space), 0);
    uint64 freeBytes = uint64(space.f_bavail) * space.f_frsize;
    if (freeBytes < test.bytesNeeded || uint64(space.f_favail) < test.inodesNeeded)
        GTEST_SKIP() << test.name << " needs " << test.bytesNeeded << " bytes and "
                     << test.inodesNeeded << " inodes free in " << root << " (TMPDIR); there are "
                     << freeBytes << " bytes and " << space.f_favail << " inodes";

    fs::create_directories(root + "/payload");
    ASSERT_TRUE(test.make(root + "/payload/" + test.item));
    std::ofstream(root + "/project.json") << R"({ "app_name": "Large", "version": "1",
        "opt_created_folder": "Large", "opt_compression": 1, "install_instructions": [
        { "source": "payload/)" << test.item
                                          << R"(", "install_meta": {
            "destination": "User Selected", "destination_exists": "Replace",
            "link": "None", "link_exists": "Replace", "deinstallable": "True" } } ] })";
    std::string installer = root + "/Installer";
    ASSERT_EQ(BuildInstaller(root + "/project.json", installer), B_OK);
    // The item's data are packed, not the item's size.
    EXPECT_LT(fs::file_size(installer), 64 * 1024 * 1024u);

    std::string destination = root + "/destination";
    fs::create_directories(destination);
    std::ofstream(root + "/answers.txt") << "license = accept\nfile = " << test.item
                                         << "\ndestination = " << destination << "\nlaunch = no\n";
    std::set<std::string> before = ListSandbox();
    auto [installed, said] = RunCommand("'" + installer + "' --unattended --answers '" + root
        + "/answers.txt' --progress json 2>&1");
    ASSERT_EQ(installed, 0) << said.substr(0, 4000);
    test.check(destination + "/Large/" + test.item);
    // The bytes of a large item are reported while it is written.
    size_t within = 0;
    for (size_t at = 0; (at = said.find("\"done\":false,\"bytes\":", at)) != std::string::npos;
         at++)
        within += said.compare(at + 21, 2, "0,") != 0 ? 1 : 0;
    EXPECT_EQ(within > 1, test.big) << said.substr(0, 4000);

    auto [removed, told]
        = RunCommand("'" + destination + "/Large/Large 1 Deinstaller' --unattended");
    EXPECT_EQ(removed, 0) << told;
    std::set<std::string> after = ListSandbox();
    std::string differences;
    for (const auto* side : { &before, &after }) {
        for (const std::string& line : *side) {
            if ((side == &before ? after : before).count(line) == 0)
                differences += (side == &before ? "\n  gone: " : "\n  new:  ") + line;
        }
    }
    EXPECT_TRUE(differences.empty()) << differences;
    // The sources and the installer go now, not with the whole sandbox.
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Items, LargeItemTest,
    testing::Values(LargeCase { "BigFile", "disk.img", kBigSize + kGiB / 2, 1000, MakeBigFile,
                        ExpectBigFileInstalled, true },
        LargeCase { "TinyFiles", "many", 2 * kTinyCount * 4096ULL + kGiB / 4,
            2 * kTinyCount + 1000ULL, MakeTinyFiles, ExpectTinyFilesInstalled, false }),
    [](const testing::TestParamInfo<LargeCase>& param) { return std::string(param.param.name); });

} // namespace
