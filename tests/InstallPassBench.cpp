// The whole install pass, measured against the stock unzip tool in the same
// run: a payload of 2,000 files, 200 MB in all (BRENVIK_BENCH_MB chooses
// another size), as ten folder items of an installer that brenvik-build made.
//
// - pass_vs_unzip: the pass (requirements, record, log, de-installer, every
//   item extracted, placed, tagged and recorded with its SHA-256) / `unzip -q`
//   of the same archives into an empty folder (goal: at most 1.2);
// - pass_peak_mb: the peak memory of a process that does only the pass (goal:
//   under 64 MB whatever the payload size);
// - unattended_vs_pass: the installer program run `--unattended` from an
//   answer file that names every item / the same pass in a process of its own
//   (goal: at most 1.1: the front end costs nothing).

#include "BenchProduct.h"

#include <InstallerFormat.h>
#include <Resources.h>

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

using brenvik::bench::kItemCount;
using brenvik::bench::Seconds;

// Files of text-like bytes (deflate has real work), every fourth of random
// bytes (stored as they are), as installers carry both.
std::string FileBytes(int index, size_t size)
{
    static const char* words[] = { "install ", "folder ", "resource ", "payload ", "entry ", "zip ",
        "attribute ", "language ", "\n", "0123 ", "Brenvik ", "archive " };
    static uint32 seed = 12345;
    std::string data;
    data.reserve(size + 16);
    while (data.size() < size) {
        seed = seed * 1103515245 + 12345;
        if (index % 4 == 3)
            data += char(seed >> 16);
        else
            data += words[(seed >> 16) % 12];
    }
    data.resize(size);
    return data;
}

struct Fixture : brenvik::bench::Product {
    Fixture()
        : Product(brenvik::bench::BuildProduct("pass-bench", FileBytes))
    {
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
    if (child == 0)
        _exit(brenvik::bench::InstallAll(fixture.installer, into) ? 0 : 1);
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

void UnattendedVersusPass(benchmark::State& state)
{
    Fixture& fixture = Shared();
    if (fixture.status != B_OK) {
        state.SkipWithError("the installer could not be built");
        return;
    }
    std::string answers = fixture.root + "/answers.txt";
    {
        std::ofstream file(answers);
        file << "license = accept\ndestination = " << fixture.root << "/unattended\nlaunch = no\n";
        for (int i = 0; i < kItemCount; i++)
            file << "file = item" << i << "\n";
    }
    for (auto _ : state) {
        fs::remove_all(fixture.root + "/unattended");
        fs::remove_all(fixture.root + "/installed");
        fs::create_directory(fixture.root + "/installed");
        std::system("sync");
        long peakKb = 0;
        double passTime = PassInChild(fixture, fixture.root + "/installed", &peakKb);
        std::system("sync");
        auto start = std::chrono::steady_clock::now();
        int status = std::system(
            ("'" + fixture.installer + "' --unattended --answers '" + answers + "' >/dev/null")
                .c_str());
        double unattendedTime = Seconds(start);
        if (peakKb < 0 || status != 0)
            state.SkipWithError("an installation failed");
        state.counters["pass_s"] = passTime;
        state.counters["unattended_s"] = unattendedTime;
        state.counters["unattended_vs_pass"] = unattendedTime / passTime;
    }
}

BENCHMARK(UnattendedVersusPass)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
