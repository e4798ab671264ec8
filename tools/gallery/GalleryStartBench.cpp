// Start-up of brenvik-gallery: the wall time from starting the process to
// its first frame on the screen and its exit (--first-frame-exit), on the
// headless display and through SDL on an X server of its own.

#include "GalleryProcess.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace brenvik::gallery::test;

namespace {

void RunUntilFirstFrame(benchmark::State& state, const std::map<std::string, std::string>& env)
{
    for (auto _ : state) {
        RunResult result = RunProgram({ GalleryPath(), "--first-frame-exit" }, env, false);
        if (result.status != std::optional<int>(0)) {
            state.SkipWithError("brenvik-gallery --first-frame-exit failed");
            return;
        }
    }
}

void BM_FirstFrameHeadless(benchmark::State& state)
{
    RunUntilFirstFrame(state, { { "BRENVIK_DISPLAY", "headless" }, { "BRENVIK_UI_SCRIPT", "" } });
    state.SetLabel("process start to first frame and exit, headless");
}
BENCHMARK(BM_FirstFrameHeadless)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FirstFrameOnXvfb(benchmark::State& state)
{
    // One server for all iterations; it is not part of what is timed.
    static std::unique_ptr<XvfbServer> sServer;
    std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) {
        state.SkipWithError("Xvfb is not installed");
        return;
    }
    if (!sServer) {
        sServer = std::make_unique<XvfbServer>();
        if (!sServer->Start(215, 259, "1024x768x24", xvfb)) {
            state.SkipWithError("Xvfb did not start");
            return;
        }
    }
    RunUntilFirstFrame(state,
        { { "BRENVIK_DISPLAY", "sdl" }, { "BRENVIK_UI_SCRIPT", "" }, { "SDL_VIDEODRIVER", "x11" },
            { "DISPLAY", sServer->Display() }, { "WAYLAND_DISPLAY", "" } });
    state.SetLabel("process start to first frame and exit, SDL on Xvfb");
}
BENCHMARK(BM_FirstFrameOnXvfb)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
