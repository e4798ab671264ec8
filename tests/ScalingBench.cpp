// How an installation scales: a product of 200 MB in 2,000 files and one of
// 2 GB in 20,000 files (ten folder items each, data that compress about as
// well as programs do), built by brenvik-build and installed by the
// installer program run `--unattended`, then removed by its de-installer.
//
// - ns_per_byte: the installer's run (start, checks, extraction, record) per
//   byte of the product (goal: the large product within 15 % of the small).
// - large_vs_small: the large product's ns_per_byte / the small one's.
// - peak_rss_mb: the installer process's peak resident memory (getrusage of
//   the waited child; goal: flat, the same for both sizes within a few MB).

#include <ChildProcess.h>
#include <InstallerBuilder.h>
#include <TestSandbox.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kItemCount = 10;

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Text-like bytes with a random quarter: they deflate to about half.
void WriteFile(const std::string& path, size_t size, uint32* seed)
{
    std::string data(size, '\0');
    for (size_t i = 0; i < size; i++) {
        *seed = *seed * 1103515245 + 12345;
        data[i] = i % 4 == 3 ? char(*seed >> 16) : char('a' + (*seed >> 16) % 16);
    }
    std::ofstream(path, std::ios::binary) << data;
}

// The product's files and project in root, built into root/Installer.
status_t BuildProduct(const std::string& root, uint64 bytes, int files)
{
    uint32 seed = 4711;
    for (int i = 0; i < files; i++) {
        std::string folder = root + "/payload/item" + std::to_string(i % kItemCount) + "/d"
            + std::to_string(i / 100);
        fs::create_directories(folder);
        WriteFile(folder + "/file" + std::to_string(i), size_t(bytes / uint64(files)), &seed);
    }
    std::string items;
    for (int i = 0; i < kItemCount; i++) {
        items += std::string(i == 0 ? "" : ",") + R"({ "source": "payload/item)" + std::to_string(i)
            + R"(", "install_meta": { "destination": "User Selected",
                "destination_exists": "Replace", "link": "None", "link_exists": "Replace",
                "deinstallable": "True" } })";
    }
    std::ofstream(root + "/project.json") << R"({ "app_name": "Scale", "version": "1",
        "opt_created_folder": "Scale", "install_instructions": [ )"
                                          << items << "] }";
    brenvik::BuildOptions options;
    options.projectFile = root + "/project.json";
    options.output = root + "/Installer";
    options.installerProgram = std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-installer";
    options.deinstallerProgram = std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-kolvast";
    brenvik::InstallerBuilder builder;
    return builder.Build(options);
}

// Runs the program with its arguments, output to /dev/null; its exit status
// and resource use.
int Run(const std::vector<std::string>& arguments, struct rusage* usage)
{
    pid_t pid = brenvik::test::Spawn(arguments);
    int status = 0;
    if (pid < 0 || wait4(pid, &status, 0, usage) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double sSmallNsPerByte = 0;

void InstallProduct(benchmark::State& state)
{
    uint64 bytes = uint64(state.range(0)) * 1024 * 1024;
    int files = int(state.range(1));
    setenv("BRENVIK_SCOPE", "user", 1);
    std::string root = brenvik::test::MakeTempFolder("scaling");
    if (BuildProduct(root, bytes, files) != B_OK) {
        state.SkipWithError("the installer could not be built");
        return;
    }
    // Only the installer is measured: the sources go before it runs.
    fs::remove_all(root + "/payload");
    std::string answers = "license = accept\ndestination = " + root + "/installed\nlaunch = no\n";
    for (int i = 0; i < kItemCount; i++)
        answers += "file = item" + std::to_string(i) + "\n";
    std::ofstream(root + "/answers.txt") << answers;
    for (auto _ : state) {
        std::system("sync");
        struct rusage usage = {};
        auto start = std::chrono::steady_clock::now();
        int status = Run(
            { root + "/Installer", "--unattended", "--answers", root + "/answers.txt" }, &usage);
        double seconds = Seconds(start);
        if (status != 0) {
            state.SkipWithError("the installation failed");
            break;
        }
        double nsPerByte = seconds * 1e9 / double(bytes);
        if (files == 2000)
            sSmallNsPerByte = nsPerByte;
        state.counters["install_s"] = seconds;
        state.counters["ns_per_byte"] = nsPerByte;
        state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024;
        if (sSmallNsPerByte > 0 && files != 2000)
            state.counters["large_vs_small"] = nsPerByte / sSmallNsPerByte;
        struct rusage removal = {};
        Run({ root + "/installed/Scale/Scale 1 Deinstaller", "--unattended" }, &removal);
    }
    fs::remove_all(root);
}

BENCHMARK(InstallProduct)
    ->Args({ 200, 2000 })
    ->Args({ 2048, 20000 })
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
