// Removing an installation, measured against `rm -r` of the same tree in the
// same run: a product of 2,000 files, 200 MB in all (BRENVIK_BENCH_MB chooses
// another size), as ten folder items, installed twice by the install pass
// from an installer that brenvik-build made.
//
// - removal_vs_rm: the de-installer (`brenvik-kolvast --unattended`: the
//   record read, every file's SHA-256 checked against it before it goes,
//   folders, log, record) / `rm -r` of the other installation's folder
//   (goal: at most 1.2).

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

namespace {

namespace fs = std::filesystem;

constexpr int kFileCount = 2000;
constexpr int kItemCount = 10;

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void WriteItems(const std::string& folder, size_t totalBytes)
{
    uint32 seed = 4711;
    size_t fileSize = totalBytes / kFileCount;
    for (int i = 0; i < kFileCount; i++) {
        std::string sub
            = folder + "/item" + std::to_string(i % kItemCount) + "/d" + std::to_string(i / 100);
        fs::create_directories(sub);
        std::string data(fileSize, '\0');
        for (char& byte : data) {
            seed = seed * 1103515245 + 12345;
            byte = i % 4 == 3 ? char(seed >> 16) : char('a' + (seed >> 16) % 16);
        }
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
        root = brenvik::test::MakeTempFolder("kolvast-bench");
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
    }

    // Installs the product into `into`/Bench.
    bool Install(const std::string& into) const
    {
        fs::create_directories(into);
        InstallConfig config;
        BResources resources;
        resources.SetTo(installer.c_str(), 0, false);
        if (config.Load(resources) != B_OK)
            return false;
        for (int i = 0; i < kItemCount; i++)
            config.MarkInstallFile(("item" + std::to_string(i)).c_str(), true);
        entry_ref ref;
        get_ref_for_path(into.c_str(), &ref);
        config.SetDestination(ref);
        config.SetInstallerPath(installer.c_str());
        config.SetDialogs(std::make_unique<ConsoleDialogs>());
        return config.Action() == InstallConfig::kPassDone
            && config.Outcome() == InstallConfig::B_PASS_SUCCEEDED;
    }
};

void RemovalVersusRm(benchmark::State& state)
{
    static Fixture fixture;
    if (fixture.status != B_OK) {
        state.SkipWithError("the installer could not be built");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::string plain = fixture.root + "/plain";
        std::string installed = fixture.root + "/installed";
        fs::remove_all(plain);
        fs::remove_all(installed);
        if (!fixture.Install(plain) || !fixture.Install(installed)) {
            state.SkipWithError("the pass failed");
            return;
        }
        std::system("sync");
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        std::system(("rm -r '" + plain + "/Bench'").c_str());
        double rmTime = Seconds(start);
        start = std::chrono::steady_clock::now();
        int status = std::system(("'" + installed
            + "/Bench/Bench 1 Deinstaller' --unattended"
              " > '"
            + fixture.root + "/removal.txt'")
                                     .c_str());
        double removalTime = Seconds(start);
        if (status != 0 || fs::exists(installed + "/Bench"))
            state.SkipWithError("the removal was not complete");
        state.counters["rm_s"] = rmTime;
        state.counters["removal_s"] = removalTime;
        state.counters["removal_vs_rm"] = removalTime / rmTime;
    }
}

BENCHMARK(RemovalVersusRm)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
