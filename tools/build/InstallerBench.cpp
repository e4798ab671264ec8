// Building and extracting an installer, measured against the stock zip tools
// in the same run: a payload of 200 MB (BRENVIK_BENCH_MB chooses another
// size), either a folder of 2,000 files or one single file.
//
// - build_vs_zip: brenvik-build of the project / `zip -q -r` of the payload
//   (goal: at most 1.0);
// - build_peak_mb: the peak memory of the brenvik-build process (goal: under
//   64 MB whatever the size of the largest item);
// - extract_vs_unzip: extracting the folder's payload entry through the
//   installer's own code / `unzip -q` of the same archive into an empty
//   folder (goal: at most 1.1);
// - extract_peak_mb: the peak memory of a process that does only that
//   extraction (goal: under 64 MB whatever the payload size).

#include <ChildProcess.h>
#include <LibAppResource.h>
#include <TestSandbox.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kFileCount = 2000;

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Text-like bytes, so that deflate has real work to do.
std::string TextBytes(size_t size, uint32* seed)
{
    const char* words[] = { "install ", "folder ", "resource ", "payload ", "entry ", "zip ",
        "attribute ", "language ", "\n", "0123 ", "Brenvik ", "archive " };
    std::string data;
    data.reserve(size + 16);
    while (data.size() < size) {
        *seed = *seed * 1103515245 + 12345;
        data += words[(*seed >> 16) % 12];
        if ((*seed & 0xff) < 8)
            data += std::to_string(*seed);
    }
    data.resize(size);
    return data;
}

void WriteTree(const std::string& folder, size_t totalBytes)
{
    uint32 seed = 12345;
    for (int i = 0; i < kFileCount; i++) {
        std::string sub = folder + "/d" + std::to_string(i / 100);
        fs::create_directories(sub);
        std::ofstream(sub + "/file" + std::to_string(i) + ".txt", std::ios::binary)
            << TextBytes(totalBytes / kFileCount, &seed);
    }
}

// One file of the whole size, written a piece at a time.
void WriteLargeFile(const std::string& path, size_t totalBytes)
{
    uint32 seed = 54321;
    std::ofstream out(path, std::ios::binary);
    const size_t piece = 4 * 1024 * 1024;
    for (size_t done = 0; done < totalBytes; done += piece)
        out << TextBytes(std::min(piece, totalBytes - done), &seed);
}

std::string Project(const std::string& source)
{
    return R"({ "app_name": "Bench", "opt_created_folder": "Bench",
        "install_instructions": [ { "source": ")"
        + source + R"(", "install_meta": {
            "destination": "User Selected", "destination_exists": "Replace",
            "link": "None", "link_exists": "Replace", "deinstallable": "True" } } ] })";
}

struct Fixture {
    std::string root;

    Fixture()
    {
        const char* megabytes = std::getenv("BRENVIK_BENCH_MB");
        size_t total = size_t(megabytes != nullptr ? std::atoi(megabytes) : 200) * 1024 * 1024;
        root = brenvik::test::MakeTempFolder("installer-bench");
        WriteTree(root + "/tree", total);
        WriteLargeFile(root + "/large.txt", total);
        std::ofstream(root + "/tree.json") << Project("tree");
        std::ofstream(root + "/large.txt.json") << Project("large.txt");
    }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

int Shell(const std::string& command)
{
    return std::system(command.c_str());
}

std::string Program(const char* name)
{
    return std::string(BRENVIK_BINARY_DIR) + "/bin/" + name;
}

struct ChildRun {
    double seconds = 0;
    // User and system time: on a busy machine a steadier measure than the
    // wall clock.
    double cpuSeconds = 0;
    long peakKb = -1;
};

// Runs a program to its end in a process of its own, so that its time and
// peak memory are its own; peakKb stays -1 when it fails.
ChildRun RunChild(const std::vector<std::string>& arguments, const std::string& folder = "")
{
    ChildRun run;
    auto start = std::chrono::steady_clock::now();
    pid_t child = brenvik::test::Spawn(arguments, folder);
    int status = 0;
    rusage usage = {};
    if (child < 0 || wait4(child, &status, 0, &usage) < 0)
        status = -1;
    run.seconds = Seconds(start);
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        run.peakKb = usage.ru_maxrss;
    return run;
}

// Argument 0: the folder of 2,000 files; 1: the single large file.
void BuildVersusZip(benchmark::State& state)
{
    Fixture& fixture = Shared();
    std::string item = state.range(0) == 0 ? "tree" : "large.txt";
    for (auto _ : state) {
        fs::remove(fixture.root + "/" + item + ".zip");
        ChildRun zip = RunChild({ "/usr/bin/zip", "-q", "-r", item + ".zip", item }, fixture.root);
        ChildRun build = RunChild({ Program("brenvik-build"), fixture.root + "/" + item + ".json",
            "-o", fixture.root + "/Installer-" + item, "--installer", Program("brenvik-installer"),
            "--deinstaller", Program("brenvik-kolvast") });
        if (zip.peakKb < 0 || build.peakKb < 0)
            state.SkipWithError("zip or brenvik-build failed");
        state.counters["zip_s"] = zip.seconds;
        state.counters["build_s"] = build.seconds;
        state.counters["build_vs_zip"] = build.seconds / zip.seconds;
        state.counters["cpu_build_vs_zip"] = build.cpuSeconds / zip.cpuSeconds;
        state.counters["build_peak_mb"] = double(build.peakKb) / 1024.0;
    }
}

// Extracts the payload entry in a child process, so that its peak memory is
// the extraction's alone.
double ExtractInChild(const std::string& installer, const std::string& into, long* peakKb)
{
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        LibAppResource resources(installer.c_str(), 0);
        _exit(resources.ExtractEntry(2100, (into + "/tree").c_str(), true) ? 0 : 1);
    }
    int status = 0;
    rusage usage = {};
    wait4(child, &status, 0, &usage);
    *peakKb = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
    return Seconds(start);
}

void ExtractVersusUnzip(benchmark::State& state)
{
    Fixture& fixture = Shared();
    std::string installer = fixture.root + "/Installer-tree";
    if (!fs::exists(installer) || !fs::exists(fixture.root + "/tree.zip")) {
        state.SkipWithError("run after BuildVersusZip");
        return;
    }
    for (auto _ : state) {
        fs::remove_all(fixture.root + "/unzipped");
        fs::remove_all(fixture.root + "/extracted");
        fs::create_directory(fixture.root + "/unzipped");
        fs::create_directory(fixture.root + "/extracted");
        Shell("sync");
        auto start = std::chrono::steady_clock::now();
        Shell("unzip -q '" + fixture.root + "/tree.zip' -d '" + fixture.root + "/unzipped'");
        double unzipTime = Seconds(start);
        Shell("sync");
        long peakKb = 0;
        double extractTime = ExtractInChild(installer, fixture.root + "/extracted", &peakKb);
        if (peakKb < 0)
            state.SkipWithError("the extraction failed");
        // The floor: copying the unpacked tree, file data and all, with
        // nothing to inflate.
        fs::remove_all(fixture.root + "/copied");
        Shell("sync");
        start = std::chrono::steady_clock::now();
        Shell("cp -a '" + fixture.root + "/unzipped/tree' '" + fixture.root + "/copied'");
        double copyTime = Seconds(start);
        state.counters["unzip_s"] = unzipTime;
        state.counters["extract_s"] = extractTime;
        state.counters["cp_s"] = copyTime;
        state.counters["extract_vs_unzip"] = extractTime / unzipTime;
        state.counters["extract_vs_cp"] = extractTime / copyTime;
        state.counters["extract_peak_mb"] = double(peakKb) / 1024.0;
    }
}

BENCHMARK(BuildVersusZip)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(ExtractVersusUnzip)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
