// Start-up of a built installer: the wall time from starting the sample
// installer's process to its window's first frame (the UI driver waits until
// the display shows it, and quits the program), against brenvik-gallery's own first
// frame (--first-frame-exit), both through SDL on the same X server and
// headless. The installer's goal is at most 1.5 times the gallery's. In a
// static build (BRENVIK_STATIC) the same installer is also built on the
// program linked the ordinary way (brenvik-installer-dynamic), so that one
// run compares the two links; the labels give each program's size.
//
// Before its first frame the installer checks every byte of itself against
// its table of contents. StartupCheckVersusSha256sum times a 200 MB
// installer's first frame against `sha256sum` of the same file plus the
// sample installer's first frame, in the same run; the goal is at most 1.1.

#include <ChildProcess.h>
#include <TestSandbox.h>
#include <XvfbServer.h>

#include <InstallerBuilder.h>

#include "BenchProduct.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

using namespace brenvik::test;

namespace {

std::string Program(const char* name)
{
    return std::string(BRENVIK_BINARY_DIR) + "/bin/" + name;
}

// The sample installer and the script that waits for its first frame and
// quits it; made once for each installer program.
struct Installer {
    std::string path;
    std::string script;
    std::string program;
    bool built = false;
};

Installer BuildSampleInstaller(const char* program)
{
    Installer installer;
    installer.program = Program(program);
    std::error_code error;
    if (!std::filesystem::exists(installer.program, error))
        return installer;
    {
        std::string folder = MakeTempFolder("start");
        installer.path = folder + "/TarselNotes-Installer";
        installer.script = folder + "/first-frame.txt";
        std::ofstream(installer.script) << "timeout 30\nwait-window TarselNotes-Installer\n"
                                        << "wait-drawn\nkey Ctrl+Q\nwait-quit\n";
        brenvik::BuildOptions options;
        options.projectFile = std::string(BRENVIK_SOURCE_DIR) + "/examples/sample/project.json";
        options.output = installer.path;
        options.installerProgram = installer.program;
        options.deinstallerProgram = Program("brenvik-kolvast");
        brenvik::InstallerBuilder builder;
        installer.built = builder.Build(options) == B_OK;
    }
    return installer;
}

const Installer& SampleInstaller(bool dynamic = false)
{
    static Installer sStatic = BuildSampleInstaller("brenvik-installer");
    static Installer sDynamic = BuildSampleInstaller("brenvik-installer-dynamic");
    return dynamic ? sDynamic : sStatic;
}

std::string SizeOf(const Installer& installer)
{
    std::error_code error;
    auto size = std::filesystem::file_size(installer.program, error);
    return error ? std::string("?") : std::to_string(size / 1024) + " KiB";
}

XvfbServer* Server(benchmark::State& state)
{
    // One server for every benchmark; it is not part of what is timed.
    static std::unique_ptr<XvfbServer> sServer;
    if (!sServer) {
        std::string xvfb = FindProgram("Xvfb");
        if (xvfb.empty()) {
            state.SkipWithError("Xvfb is not installed");
            return nullptr;
        }
        sServer = std::make_unique<XvfbServer>();
        if (!sServer->Start(260, 299, "1024x768x24", xvfb)) {
            sServer.reset();
            state.SkipWithError("Xvfb did not start");
            return nullptr;
        }
    }
    return sServer.get();
}

void UseDisplay(benchmark::State& state, bool onXvfb)
{
    if (!onXvfb) {
        setenv("BRENVIK_DISPLAY", "headless", 1);
        return;
    }
    XvfbServer* server = Server(state);
    if (server == nullptr)
        return;
    setenv("BRENVIK_DISPLAY", "sdl", 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("DISPLAY", server->Display().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
}

// Closed before installing, the installer ends with status 1.
void RunInstaller(benchmark::State& state, bool onXvfb, bool dynamic = false)
{
    const Installer& installer = SampleInstaller(dynamic);
    if (!installer.built) {
        state.SkipWithError(dynamic ? "no dynamically linked installer program in this build"
                                    : "the sample installer could not be built");
        return;
    }
    UseDisplay(state, onXvfb);
    setenv("BRENVIK_UI_SCRIPT", installer.script.c_str(), 1);
    for (auto _ : state) {
        if (RunTool({ installer.path }) != 1) {
            state.SkipWithError("the installer did not start and quit");
            break;
        }
    }
    unsetenv("BRENVIK_UI_SCRIPT");
}

void RunGallery(benchmark::State& state, bool onXvfb)
{
    UseDisplay(state, onXvfb);
    for (auto _ : state) {
        if (RunTool({ Program("brenvik-gallery"), "--first-frame-exit" }) != 0) {
            state.SkipWithError("brenvik-gallery --first-frame-exit failed");
            break;
        }
    }
}

void BM_InstallerFirstFrameOnXvfb(benchmark::State& state)
{
    RunInstaller(state, true);
    state.SetLabel("sample installer: start to first frame and quit, SDL on Xvfb; program "
        + SizeOf(SampleInstaller()));
}
BENCHMARK(BM_InstallerFirstFrameOnXvfb)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InstallerFirstFrameOnXvfbDynamicLink(benchmark::State& state)
{
    RunInstaller(state, true, true);
    state.SetLabel(
        "the same on the dynamically linked program; program " + SizeOf(SampleInstaller(true)));
}
BENCHMARK(BM_InstallerFirstFrameOnXvfbDynamicLink)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GalleryFirstFrameOnXvfb(benchmark::State& state)
{
    RunGallery(state, true);
    state.SetLabel("gallery: start to first frame and exit, SDL on Xvfb");
}
BENCHMARK(BM_GalleryFirstFrameOnXvfb)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InstallerFirstFrameHeadless(benchmark::State& state)
{
    RunInstaller(state, false);
    state.SetLabel("sample installer: start to first frame and quit, headless");
}
BENCHMARK(BM_InstallerFirstFrameHeadless)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InstallerFirstFrameHeadlessDynamicLink(benchmark::State& state)
{
    RunInstaller(state, false, true);
    state.SetLabel("the same on the dynamically linked program");
}
BENCHMARK(BM_InstallerFirstFrameHeadlessDynamicLink)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GalleryFirstFrameHeadless(benchmark::State& state)
{
    RunGallery(state, false);
    state.SetLabel("gallery: start to first frame and exit, headless");
}
BENCHMARK(BM_GalleryFirstFrameHeadless)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two first frames and the digest, each timed as a whole process, the
// same number of times.
void BM_StartupCheckVersusSha256sum(benchmark::State& state)
{
    using brenvik::bench::Seconds;
    const Installer& small = SampleInstaller();
    static brenvik::bench::Product sLarge
        = brenvik::bench::BuildProduct("startup-check", [](int index, size_t size) {
              // Stored as it is: bytes that do not compress.
              std::mt19937_64 random(uint64_t(index) + 1);
              std::string bytes(size, '\0');
              for (size_t i = 0; i + 8 <= size; i += 8) {
                  uint64_t word = random();
                  std::memcpy(&bytes[i], &word, 8);
              }
              return bytes;
          });
    std::string sha256sum = FindProgram("sha256sum");
    if (!small.built || sLarge.status != B_OK || sha256sum.empty()) {
        state.SkipWithError("the installers could not be built, or sha256sum is missing");
        return;
    }
    std::string script = MakeTempFolder("startup-check") + "/first-frame.txt";
    std::ofstream(script) << "timeout 60\nwait-window Installer\nscreenshot " << script
                          << ".png\nkey Ctrl+Q\nwait-quit\n";
    UseDisplay(state, false);
    double large = 0;
    double digest = 0;
    double smallFrame = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        setenv("BRENVIK_UI_SCRIPT", script.c_str(), 1);
        int largeStatus = RunTool({ sLarge.installer });
        large += Seconds(start);
        start = std::chrono::steady_clock::now();
        int digestStatus = RunTool({ sha256sum, sLarge.installer });
        digest += Seconds(start);
        start = std::chrono::steady_clock::now();
        setenv("BRENVIK_UI_SCRIPT", small.script.c_str(), 1);
        int smallStatus = RunTool({ small.path });
        smallFrame += Seconds(start);
        if (largeStatus != 1 || digestStatus != 0 || smallStatus != 1) {
            state.SkipWithError("an installer or sha256sum did not run as expected");
            break;
        }
    }
    unsetenv("BRENVIK_UI_SCRIPT");
    double runs = double(state.iterations());
    state.counters["large_first_frame_s"] = large / runs;
    state.counters["sha256sum_s"] = digest / runs;
    state.counters["small_first_frame_s"] = smallFrame / runs;
    state.counters["ratio"] = large / (digest + smallFrame);
    state.SetLabel("200 MB installer's first frame / (sha256sum of it + sample's first frame); "
                   "goal <= 1.1");
}
BENCHMARK(BM_StartupCheckVersusSha256sum)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(5);

} // namespace
