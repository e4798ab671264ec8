// Start-up of a built installer: the wall time from starting the sample
// installer's process to its window's first frame (the UI driver waits for
// it, takes it, and quits the program), against brenvik-gallery's own first
// frame (--first-frame-exit), both through SDL on the same X server and
// headless. The installer's goal is at most 1.5 times the gallery's. In a
// static build (BRENVIK_STATIC) the same installer is also built on the
// program linked the ordinary way (brenvik-installer-dynamic), so that one
// run compares the two links; the labels give each program's size.

#include <ChildProcess.h>
#include <TestSandbox.h>
#include <XvfbServer.h>

#include <InstallerBuilder.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
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
                                        << "screenshot " << folder << "/frame.png\n"
                                        << "key Ctrl+Q\nwait-quit\n";
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

} // namespace
