// Removing an installation, measured against `rm -r` of the same tree in the
// same run: a product of 2,000 files, 200 MB in all (BRENVIK_BENCH_MB chooses
// another size), as ten folder items, installed twice by the install pass
// from an installer that brenvik-build made.
//
// - removal_vs_rm: the de-installer (`brenvik-kolvast --unattended`: the
//   record read, every file's SHA-256 checked against it before it goes,
//   folders, log, record) / `rm -r` of the other installation's folder
//   (goal: at most 1.2).

#include "BenchProduct.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

using brenvik::bench::Seconds;

std::string FileBytes(int index, size_t size)
{
    static uint32 seed = 4711;
    std::string data(size, '\0');
    for (char& byte : data) {
        seed = seed * 1103515245 + 12345;
        byte = index % 4 == 3 ? char(seed >> 16) : char('a' + (seed >> 16) % 16);
    }
    return data;
}

struct Fixture : brenvik::bench::Product {
    Fixture()
        : Product(brenvik::bench::BuildProduct("kolvast-bench", FileBytes))
    {
    }

    // Installs the product into `into`/Bench.
    bool Install(const std::string& into) const
    {
        return brenvik::bench::InstallAll(installer, into);
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

// The disk's own speed varies from one run to the next by more than the
// difference measured: five runs, and their median.
BENCHMARK(RemovalVersusRm)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kSecond);

} // namespace
