// Speed and memory of the zip layer against the stock tools, on a payload of
// 2,000 files and 200 MB (half text-like, half incompressible):
// - building the archive with ZipWriter against `zip -q -r` (ratio ours/zip);
// - extracting it with ZipExtractor against `unzip -q` into an empty folder
//   (ratio ours/unzip), and the peak memory of the extraction, measured in a
//   child process so that nothing else of this program counts.
// The stock tools are found along PATH; without them the comparisons are
// skipped.

#include "ZipByteSource.h"
#include "ZipExtractor.h"
#include "ZipWriter.h"

#include <ChildProcess.h>
#include <TestSandbox.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace BPrivate;
using brenvik::test::RunTool;

namespace {

constexpr int kFileCount = 2000;
constexpr size_t kTotalSize = 200 * 1024 * 1024;
constexpr int kFilesPerFolder = 100;

using Clock = std::chrono::steady_clock;

std::optional<std::string> FindTool(const std::string& name)
{
    const char* path = getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return std::nullopt;
}

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void RemoveTree(const std::string& path)
{
    std::optional<std::string> rm = FindTool("rm");
    if (rm)
        RunTool({ *rm, "-rf", path }, "/");
}

// The payload tree, made once: text-like files (words from a small
// vocabulary) and random ones, of varied sizes averaging 100 KB.
const std::string& PayloadFolder()
{
    static std::string folder;
    if (!folder.empty())
        return folder;
    folder = brenvik::test::MakeTempFolder("zipbench");
    std::string item = folder + "/Payload";
    mkdir(item.c_str(), 0755);
    std::mt19937_64 random(2024);
    const char* words[] = { "install ", "folder ", "package ", "the ", "of ", "version ",
        "attribute ", "BeOS ", "file\n", "and ", "resource ", "zip " };
    size_t average = kTotalSize / kFileCount;
    std::vector<char> buffer;
    for (int i = 0; i < kFileCount; i++) {
        std::string sub = item + "/folder" + std::to_string(i / kFilesPerFolder);
        mkdir(sub.c_str(), 0755);
        size_t size = average / 2 + size_t(random() % average);
        buffer.resize(size);
        if (i % 2 == 0) {
            for (size_t at = 0; at < size;) {
                const char* word = words[random() % 12];
                for (; *word != '\0' && at < size; word++)
                    buffer[at++] = *word;
            }
        } else {
            for (size_t at = 0; at < size; at += 8) {
                uint64_t value = random();
                std::memcpy(buffer.data() + at, &value, std::min<size_t>(8, size - at));
            }
        }
        FILE* file = std::fopen((sub + "/file" + std::to_string(i)).c_str(), "wb");
        std::fwrite(buffer.data(), 1, buffer.size(), file);
        std::fclose(file);
    }
    return folder;
}

void BuildVersusZip(benchmark::State& state)
{
    std::optional<std::string> zip = FindTool("zip");
    if (!zip) {
        state.SkipWithError("the zip tool is not installed");
        return;
    }
    const std::string& folder = PayloadFolder();
    ZipWriteOptions options;
    options.level = int(state.range(0));
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        std::string archive = folder + "/ours.zip";
        Clock::time_point start = Clock::now();
        ZipWriter writer;
        if (writer.WriteArchive((folder + "/Payload").c_str(), archive.c_str(), options) != B_OK) {
            state.SkipWithError(writer.ErrorText().c_str());
            return;
        }
        ours += Seconds(start);
        unlink((folder + "/stock.zip").c_str());
        start = Clock::now();
        if (RunTool({ *zip, "-q", "-r", "stock.zip", "Payload" }, folder) != 0) {
            state.SkipWithError("zip failed");
            return;
        }
        theirs += Seconds(start);
    }
    state.counters["ours_s"] = ours / double(state.iterations());
    state.counters["zip_s"] = theirs / double(state.iterations());
    state.counters["ratio"] = ours / theirs;
    // The sizes show that both did comparable work.
    struct stat st;
    if (stat((folder + "/ours.zip").c_str(), &st) == 0)
        state.counters["ours_MB"] = double(st.st_size) / (1024 * 1024);
    if (stat((folder + "/stock.zip").c_str(), &st) == 0)
        state.counters["zip_MB"] = double(st.st_size) / (1024 * 1024);
}
BENCHMARK(BuildVersusZip)->Arg(kDefaultZipLevel)->Iterations(3)->Unit(benchmark::kSecond);

// Extracts in a child process and returns its peak resident size in bytes.
long ExtractInChild(const std::string& archive, const std::string& destination, double* seconds)
{
    Clock::time_point start = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        status_t status;
        ZipExtractor extractor;
        _exit(extractor.Extract(
                  OpenFileWindowSource(archive.c_str(), 0, -1, &status), destination.c_str())
                    == B_OK
                ? 0
                : 1);
    }
    int result;
    rusage usage;
    while (wait4(pid, &result, 0, &usage) < 0 && errno == EINTR) { }
    *seconds = Seconds(start);
    if (!WIFEXITED(result) || WEXITSTATUS(result) != 0)
        return -1;
    return usage.ru_maxrss * 1024;
}

void ExtractVersusUnzip(benchmark::State& state)
{
    std::optional<std::string> unzip = FindTool("unzip");
    if (!unzip) {
        state.SkipWithError("the unzip tool is not installed");
        return;
    }
    const std::string& folder = PayloadFolder();
    std::string archive = folder + "/payload.zip";
    ZipWriter writer;
    if (access(archive.c_str(), F_OK) != 0
        && writer.WriteArchive((folder + "/Payload").c_str(), archive.c_str()) != B_OK) {
        state.SkipWithError(writer.ErrorText().c_str());
        return;
    }
    double ours = 0, theirs = 0;
    long peak = 0;
    for (auto _ : state) {
        std::string mine = folder + "/out-ours";
        std::string stock = folder + "/out-unzip";
        RemoveTree(mine);
        RemoveTree(stock);
        mkdir(mine.c_str(), 0755);
        mkdir(stock.c_str(), 0755);
        double seconds;
        long rss = ExtractInChild(archive, mine, &seconds);
        if (rss < 0) {
            state.SkipWithError("extraction failed");
            return;
        }
        ours += seconds;
        peak = std::max(peak, rss);
        Clock::time_point start = Clock::now();
        if (RunTool({ *unzip, "-q", archive, "-d", stock }, folder) != 0) {
            state.SkipWithError("unzip failed");
            return;
        }
        theirs += Seconds(start);
    }
    state.counters["ours_s"] = ours / double(state.iterations());
    state.counters["unzip_s"] = theirs / double(state.iterations());
    state.counters["ratio"] = ours / theirs;
    state.counters["peak_MB"] = double(peak) / (1024 * 1024);
}
BENCHMARK(ExtractVersusUnzip)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace
