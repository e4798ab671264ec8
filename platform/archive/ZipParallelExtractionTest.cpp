// Files written by several threads at once: every file whole and in its
// folder, the first failure in archive order reported, a stop or a failure
// ending every thread's work with nothing left behind; and the queue that
// feeds the threads.

#include "ZipExtractor.h"
#include "ZipTestSupport.h"
#include "ZipWorkQueue.h"

#include <Sha256.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

using namespace BPrivate;
using namespace brenvik::archive::test;

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 12;
constexpr int kFilesPerFolder = 20;

// Data of a given length that deflate cannot shrink much.
std::string Noise(size_t length, uint32 seed)
{
    std::string data(length, '\0');
    for (char& byte : data) {
        seed = seed * 1664525u + 1013904223u;
        byte = char(seed >> 24);
    }
    return data;
}

std::string FileName(int folder, int file)
{
    return "top/f" + std::to_string(folder) + "/n" + std::to_string(file);
}

std::string FileData(int folder, int file)
{
    int number = folder * kFilesPerFolder + file;
    size_t length = size_t(number % 7 == 0 ? 0 : (number * 977) % 70000);
    return number % 2 == 0 ? std::string(length, char('a' + number % 26))
                           : Noise(length, uint32(number));
}

uint32 FileMode(int folder, int file)
{
    return (folder + file) % 3 == 0 ? 0100755 : 0100640;
}

// Folders of files, in archive order; damaged names one file whose stored
// CRC no longer matches its data.
std::vector<uint8> ManyFiles(const std::string& damaged = "")
{
    ZipBuilder builder;
    builder.AddFolder("top/");
    for (int folder = 0; folder < kFolders; folder++) {
        builder.AddFolder("top/f" + std::to_string(folder) + "/");
        for (int file = 0; file < kFilesPerFolder; file++) {
            std::string data = FileData(folder, file);
            if (FileName(folder, file) == damaged)
                data = std::string(40000, 'x');
            builder.AddFile(FileName(folder, file), data, FileMode(folder, file));
        }
    }
    std::vector<uint8> archive = builder.Finish();
    if (!damaged.empty()) {
        auto central
            = std::find_end(archive.begin(), archive.end(), damaged.begin(), damaged.end());
        archive[size_t(central - archive.begin()) - 46 + 16] ^= 0xFF;
    }
    return archive;
}

class ZipParallelTest : public testing::Test {
protected:
    void SetUp() override { fFolder = brenvik::test::MakeTempFolder("parallel"); }

    status_t Extract(const std::vector<uint8>& archive)
    {
        fArchive = archive;
        return fExtractor.Extract(MakeMemorySource(fArchive), fFolder.c_str(), fOptions);
    }

    bool FolderIsEmpty() const { return fs::is_empty(fFolder); }

    std::string fFolder;
    std::vector<uint8> fArchive;
    ZipExtractOptions fOptions;
    ZipExtractor fExtractor;
};

TEST_F(ZipParallelTest, EveryFileIsWrittenWholeInItsFolderWithItsModeAndDigest)
{
    std::vector<ZipExtractProgress> reports;
    fOptions.progress = [&reports](const ZipExtractProgress& p) { reports.push_back(p); };
    fOptions.digestFiles = true;
    ASSERT_EQ(Extract(ManyFiles()), B_OK) << fExtractor.ErrorText();
    const ZipWrittenFiles& written = fExtractor.WrittenFiles();
    EXPECT_EQ(written.size(), size_t(kFolders * kFilesPerFolder));
    uint64 total = 0;
    for (int folder = 0; folder < kFolders; folder++) {
        for (int file = 0; file < kFilesPerFolder; file++) {
            std::string path = fFolder + "/" + FileName(folder, file);
            std::string expected = FileData(folder, file);
            total += expected.size();
            EXPECT_EQ(ReadText(path), expected) << path;
            struct stat st;
            ASSERT_EQ(lstat(path.c_str(), &st), 0) << path;
            EXPECT_EQ(st.st_mode, mode_t(FileMode(folder, file))) << path;
            auto found = written.find(FileName(folder, file).substr(3));
            ASSERT_NE(found, written.end()) << path;
            Sha256 digest;
            digest.Update(expected.data(), expected.size());
            EXPECT_EQ(found->second.sha256, digest.Final()) << path;
            EXPECT_EQ(found->second.inode, uint64(st.st_ino)) << path;
            EXPECT_EQ(found->second.size, uint64(st.st_size)) << path;
        }
    }
    // Nothing else: no temporary names left beside the files.
    size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fFolder))
        count += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(count, size_t(kFolders * kFilesPerFolder));
    ASSERT_FALSE(reports.empty());
    for (size_t i = 1; i < reports.size(); i++)
        EXPECT_LE(reports[i - 1].bytesDone, reports[i].bytesDone);
    EXPECT_EQ(reports.back().bytesDone, total);
    EXPECT_EQ(fExtractor.BytesWritten(), total);
}

// Whichever thread meets its damaged file, the one reported is the damaged
// file, and nothing of the item stays.
class ZipParallelFailureTest : public ZipParallelTest,
                               public testing::WithParamInterface<std::string> { };

TEST_P(ZipParallelFailureTest, TheDamagedFileIsNamedAndNothingStays)
{
    EXPECT_EQ(Extract(ManyFiles(GetParam())), B_BAD_DATA);
    EXPECT_NE(fExtractor.ErrorText().find(GetParam()), std::string::npos) << fExtractor.ErrorText();
    EXPECT_TRUE(FolderIsEmpty());
}

INSTANTIATE_TEST_SUITE_P(AnyPlace, ZipParallelFailureTest,
    testing::Values(FileName(0, 1), FileName(kFolders / 2, 3), FileName(kFolders - 1, 19)));

// Zeros may be left as holes: the file still reads byte for byte as
// archived, ending in zeros or not, with its digest taken of every byte.
TEST_F(ZipParallelTest, FilesWithRunsOfZerosReadAsArchived)
{
    const std::string zeros(3 * 256 * 1024 + 5, '\0');
    const std::string middle = zeros + "mark" + zeros;
    const std::string tail = "head" + zeros;
    ZipBuilder builder;
    builder.AddFolder("top/");
    builder.AddFile("top/middle", middle);
    builder.AddFile("top/tail", tail);
    builder.AddFile("top/zeros", zeros);
    fOptions.digestFiles = true;
    ASSERT_EQ(Extract(builder.Finish()), B_OK) << fExtractor.ErrorText();
    for (const auto& [name, data] : { std::pair(std::string("middle"), middle),
             std::pair(std::string("tail"), tail), std::pair(std::string("zeros"), zeros) }) {
        EXPECT_EQ(ReadText(fFolder + "/top/" + name), data) << name;
        Sha256 digest;
        digest.Update(data.data(), data.size());
        EXPECT_EQ(fExtractor.WrittenFiles().at("/" + name).sha256, digest.Final()) << name;
    }
}

TEST_F(ZipParallelTest, AStopWhileFilesAreWrittenLeavesNothing)
{
    ZipBuilder builder;
    builder.AddFolder("top/");
    for (int file = 0; file < 8; file++)
        builder.AddFile("top/big" + std::to_string(file), Noise(3 * 1024 * 1024, uint32(file)));
    std::atomic<uint64> seen = 0;
    fOptions.progress = [&seen](const ZipExtractProgress& p) { seen = p.bytesDone; };
    fOptions.shouldStop = [&seen] { return seen > 0; };
    EXPECT_EQ(Extract(builder.Finish()), B_CANCELED);
    EXPECT_LT(fExtractor.BytesWritten(), uint64(8) * 3 * 1024 * 1024);
    EXPECT_TRUE(FolderIsEmpty());
}

TEST(ZipWorkQueueTest, RunsEveryJobWithNoMoreQueuedThanItHolds)
{
    std::atomic<int> ran = 0;
    std::atomic<int> running = 0;
    std::atomic<int> mostRunning = 0;
    {
        ZipWorkQueue queue(3, 2);
        for (int i = 0; i < 50; i++) {
            ASSERT_TRUE(queue.Push(
                [&] {
                    int now = ++running;
                    int most = mostRunning.load();
                    while (now > most && !mostRunning.compare_exchange_weak(most, now)) { }
                    ran++;
                    running--;
                },
                [] { return true; }));
        }
        queue.Finish([] { return true; });
        EXPECT_EQ(ran.load(), 50);
    }
    EXPECT_LE(mostRunning.load(), 3);
}

TEST(ZipWorkQueueTest, AWatchThatGivesUpDropsTheJobsNotStarted)
{
    std::atomic<bool> release = false;
    std::atomic<int> ran = 0;
    ZipWorkQueue queue(1, 4);
    // The one thread holds the first job until the watch has given up.
    auto job = [&] {
        while (!release)
            std::this_thread::yield();
        ran++;
    };
    for (int i = 0; i < 4; i++)
        ASSERT_TRUE(queue.Push(job, [] { return true; }));
    int watched = 0;
    queue.Finish([&] {
        release = ++watched >= 2;
        return !release;
    });
    // The held job ends; at most the one the thread took as the watch gave
    // up runs after it.
    EXPECT_GE(ran.load(), 1);
    EXPECT_LE(ran.load(), 2);
}

} // namespace
