// Building and extracting an installer, measured against the stock zip tools
// in the same run: a payload of 2,000 files, 200 MB in all (BRENVIK_BENCH_MB
// chooses another size), as one folder item.
//
// - build_vs_zip: brenvik-build of the project / `zip -q -r` of the tree
//   (goal: at most 1.0);
// - extract_vs_unzip: extracting the payload entry through the installer's
//   own code / `unzip -q` of the same archive into an empty folder (goal: at
//   most 1.1);
// - extract_peak_mb: the peak memory of a process that does only that
//   extraction (goal: under 64 MB whatever the payload size).

#include "InstallerBuilder.h"

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

namespace {

namespace fs = std::filesystem;

constexpr int kFileCount = 2000;

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Text-like bytes, so that deflate has real work to do.
void WriteTree(const std::string& folder, size_t totalBytes)
{
    const char* words[] = { "install ", "folder ", "resource ", "payload ", "entry ", "zip ",
        "attribute ", "language ", "\n", "0123 ", "Brenvik ", "archive " };
    uint32 seed = 12345;
    size_t fileSize = totalBytes / kFileCount;
    for (int i = 0; i < kFileCount; i++) {
        std::string sub = folder + "/d" + std::to_string(i / 100);
        fs::create_directories(sub);
        std::string data;
        data.reserve(fileSize + 16);
        while (data.size() < fileSize) {
            seed = seed * 1103515245 + 12345;
            data += words[(seed >> 16) % 12];
            if ((seed & 0xff) < 8)
                data += std::to_string(seed);
        }
        data.resize(fileSize);
        std::ofstream(sub + "/file" + std::to_string(i) + ".txt", std::ios::binary) << data;
    }
}

struct Fixture {
    std::string root;
    std::string project;

    Fixture()
    {
        const char* megabytes = std::getenv("BRENVIK_BENCH_MB");
        size_t total = size_t(megabytes != nullptr ? std::atoi(megabytes) : 200) * 1024 * 1024;
        root = brenvik::test::MakeTempFolder("installer-bench");
        WriteTree(root + "/tree", total);
        project = root + "/project.json";
        std::ofstream(project) << R"({ "app_name": "Bench", "opt_created_folder": "Bench",
            "install_instructions": [ { "source": "tree", "install_meta": {
                "destination": "User Selected", "destination_exists": "Replace",
                "link": "None", "link_exists": "Replace", "deinstallable": "True" } } ] })";
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

void BuildVersusZip(benchmark::State& state)
{
    Fixture& fixture = Shared();
    for (auto _ : state) {
        fs::remove(fixture.root + "/tree.zip");
        auto start = std::chrono::steady_clock::now();
        Shell("cd '" + fixture.root + "' && zip -q -r tree.zip tree");
        double zipTime = Seconds(start);

        brenvik::BuildOptions options;
        options.projectFile = fixture.project;
        options.output = fixture.root + "/Installer";
        options.installerProgram = std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-installer";
        options.deinstallerProgram = std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-kolvast";
        start = std::chrono::steady_clock::now();
        brenvik::InstallerBuilder builder;
        if (builder.Build(options) != B_OK)
            state.SkipWithError(builder.ErrorText().c_str());
        double buildTime = Seconds(start);
        state.counters["zip_s"] = zipTime;
        state.counters["build_s"] = buildTime;
        state.counters["build_vs_zip"] = buildTime / zipTime;
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
    std::string installer = fixture.root + "/Installer";
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
        state.counters["unzip_s"] = unzipTime;
        state.counters["extract_s"] = extractTime;
        state.counters["extract_vs_unzip"] = extractTime / unzipTime;
        state.counters["extract_peak_mb"] = double(peakKb) / 1024.0;
    }
}

BENCHMARK(BuildVersusZip)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(ExtractVersusUnzip)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
