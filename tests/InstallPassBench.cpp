// The whole install pass, measured against the stock unzip tool in the same
// run: a payload of 2,000 files, 200 MB in all (BRENVIK_BENCH_MB chooses
// another size), as ten folder items of an installer that brenvik-build made.
//
// - pass_vs_unzip: the pass (requirements, record, log, de-installer, every
//   item extracted, placed, tagged and recorded with its SHA-256) / `unzip -q`
//   of the same archives into an empty folder (goal: at most 1.2);
// - pass_peak_mb: the peak memory of a process that does only the pass (goal:
//   under 64 MB whatever the payload size).

#include <InstallConfig.h>
#include <InstallerBuilder.h>
#include <InstallerFormat.h>
#include <Resources.h>
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
constexpr int kItemCount = 10;

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Files of text-like bytes (deflate has real work), every fourth of random
// bytes (stored as they are), as installers carry both.
void WriteItems(const std::string& folder, size_t totalBytes)
{
    const char* words[] = { "install ", "folder ", "resource ", "payload ", "entry ", "zip ",
        "attribute ", "language ", "\n", "0123 ", "Brenvik ", "archive " };
    uint32 seed = 12345;
    size_t fileSize = totalBytes / kFileCount;
    for (int i = 0; i < kFileCount; i++) {
        std::string sub
            = folder + "/item" + std::to_string(i % kItemCount) + "/d" + std::to_string(i / 100);
        fs::create_directories(sub);
        std::string data;
        data.reserve(fileSize + 16);
        while (data.size() < fileSize) {
            seed = seed * 1103515245 + 12345;
            if (i % 4 == 3)
                data += char(seed >> 16);
            else
                data += words[(seed >> 16) % 12];
        }
        data.resize(fileSize);
        std::ofstream(sub + "/file" + std::to_string(i), std::ios::binary) << data;
    }
}

struct Fixture {
    std::string root;
    std::string installer;
    status_t status = B_NO_INIT;

    Fixture()
    {
        const char* megabytes = std::getenv("BRENVIK_BENCH_MB");
        size_t total = size_t(megabytes != nullptr ? std::atoi(megabytes) : 200) * 1024 * 1024;
        setenv("BRENVIK_SCOPE", "user", 1);
        root = brenvik::test::MakeTempFolder("pass-bench");
        WriteItems(root + "/payload", total);
        std::string items;
        for (int i = 0; i < kItemCount; i++) {
            items += std::string(i == 0 ? "" : ",") + R"({ "source": "payload/item)"
                + std::to_string(i) + R"(", "install_meta": {
                "destination": "User Selected", "destination_exists": "Replace",
                "link": "None", "link_exists": "Replace", "deinstallable": "True" } })";
        }
        std::ofstream(root + "/project.json") << R"({ "app_name": "Bench", "version": "1",
            "opt_created_folder": "Bench", "opt_log": true, "install_instructions": [ )"
                                              << items << "] }";
        brenvik::BuildOptions options;
        options.projectFile = root + "/project.json";
        installer = root + "/Installer";
        options.output = installer;
        options.installerProgram = std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-installer";
        options.deinstallerProgram = std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-kolvast";
        brenvik::InstallerBuilder builder;
        status = builder.Build(options);
        // The same archives as files of their own, for unzip.
        BResources resources;
        resources.SetTo(installer.c_str(), 0, false);
        for (int i = 0; i < kItemCount && status == B_OK; i++) {
            size_t size = 0;
            const void* data = resources.LoadResource(
                InstallerFormat::kEntryType, InstallerFormat::PayloadId(i), &size);
            std::ofstream(root + "/item" + std::to_string(i) + ".zip", std::ios::binary)
                .write(static_cast<const char*>(data), std::streamsize(size));
        }
    }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

// Runs the pass in a child process, so that its peak memory is the pass's
// alone.
double PassInChild(const Fixture& fixture, const std::string& into, long* peakKb)
{
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        InstallConfig config;
        BResources resources;
        resources.SetTo(fixture.installer.c_str(), 0, false);
        if (config.Load(resources) != B_OK)
            _exit(2);
        for (int i = 0; i < kItemCount; i++)
            config.MarkInstallFile(("item" + std::to_string(i)).c_str(), true);
        entry_ref ref;
        get_ref_for_path(into.c_str(), &ref);
        config.SetDestination(ref);
        config.SetInstallerPath(fixture.installer.c_str());
        config.SetDialogs(std::make_unique<ConsoleDialogs>());
        status_t result = config.Action();
        _exit(result == InstallConfig::kPassDone
                    && config.Outcome() == InstallConfig::B_PASS_SUCCEEDED
                ? 0
                : 1);
    }
    int status = 0;
    rusage usage = {};
    wait4(child, &status, 0, &usage);
    *peakKb = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
    return Seconds(start);
}

void PassVersusUnzip(benchmark::State& state)
{
    Fixture& fixture = Shared();
    if (fixture.status != B_OK) {
        state.SkipWithError("the installer could not be built");
        return;
    }
    for (auto _ : state) {
        fs::remove_all(fixture.root + "/unzipped");
        fs::remove_all(fixture.root + "/installed");
        fs::create_directory(fixture.root + "/unzipped");
        fs::create_directory(fixture.root + "/installed");
        std::system("sync");
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kItemCount; i++) {
            std::system(("unzip -q '" + fixture.root + "/item" + std::to_string(i) + ".zip' -d '"
                + fixture.root + "/unzipped'")
                            .c_str());
        }
        double unzipTime = Seconds(start);
        std::system("sync");
        long peakKb = 0;
        double passTime = PassInChild(fixture, fixture.root + "/installed", &peakKb);
        if (peakKb < 0)
            state.SkipWithError("the pass failed");
        state.counters["unzip_s"] = unzipTime;
        state.counters["pass_s"] = passTime;
        state.counters["pass_vs_unzip"] = passTime / unzipTime;
        state.counters["pass_peak_mb"] = double(peakKb) / 1024.0;
    }
}

BENCHMARK(PassVersusUnzip)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
