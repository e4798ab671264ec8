// brenvik-gallery as a user runs it: its first frame, headless and on an X
// server through SDL, is the recorded golden image, pixel for pixel.

#include <GoldenImage.h>

#include "GalleryProcess.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace brenvik::test;
using namespace brenvik::gallery::test;

namespace {

const std::map<std::string, std::string> kHeadlessEnvironment = {
    { "BRENVIK_DISPLAY", "headless" },
    { "BRENVIK_UI_SCRIPT", "" },
};

// Runs the gallery with --screenshot; the PNG's path, or empty on failure
// (with the reason added to the test's failures).
std::string Screenshot(const std::map<std::string, std::string>& environment, const char* name)
{
    std::string path = MakeTempFolder(name) + "/gallery.png";
    RunResult result = RunProgram({ GalleryPath(), "--screenshot", path }, environment);
    EXPECT_EQ(result.status, std::optional<int>(0)) << result.output;
    // The display was the one asked for: no quiet fall-back.
    EXPECT_EQ(result.output.find("running headless"), std::string::npos) << result.output;
    if (result.status != std::optional<int>(0) || !FileExists(path))
        return std::string();
    return path;
}

bool SamePixels(const RgbaImage& a, const RgbaImage& b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

enum class Backend { kHeadless, kSdlOnXvfb };

class GalleryFirstFrameTest : public testing::TestWithParam<Backend> { };

} // namespace

TEST_P(GalleryFirstFrameTest, IsTheGoldenImage)
{
    std::map<std::string, std::string> environment = kHeadlessEnvironment;
    XvfbServer server;
    if (GetParam() == Backend::kSdlOnXvfb) {
        std::string xvfb = FindProgram("Xvfb");
        if (xvfb.empty())
            GTEST_SKIP() << "Xvfb is not installed; the SDL backend's first frame is not checked";
        ASSERT_TRUE(server.Start(170, 214, "1024x768x24", xvfb)) << "Xvfb did not start";
        environment = {
            { "BRENVIK_DISPLAY", "sdl" },
            { "BRENVIK_UI_SCRIPT", "" },
            { "SDL_VIDEODRIVER", "x11" },
            { "DISPLAY", server.Display() },
            { "WAYLAND_DISPLAY", "" },
        };
    }
    std::string path = Screenshot(environment, "frame");
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(PngMatchesGolden("gallery/gallery", path));

    if (GetParam() == Backend::kSdlOnXvfb) {
        // The same program on the two displays draws the same pixels.
        std::string headless = Screenshot(kHeadlessEnvironment, "headless");
        ASSERT_FALSE(headless.empty());
        RgbaImage onScreen;
        RgbaImage offScreen;
        ASSERT_TRUE(ReadPng(path, &onScreen));
        ASSERT_TRUE(ReadPng(headless, &offScreen));
        EXPECT_TRUE(SamePixels(onScreen, offScreen))
            << "the SDL window's first frame differs from the headless one";
    }
}

INSTANTIATE_TEST_SUITE_P(Displays, GalleryFirstFrameTest,
    testing::Values(Backend::kHeadless, Backend::kSdlOnXvfb),
    [](const testing::TestParamInfo<Backend>& param) {
        return param.param == Backend::kHeadless ? std::string("Headless")
                                                 : std::string("SdlOnXvfb");
    });

namespace {

struct CommandCase {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    // What the whole output must be, or null to only check it is not empty.
    const char* output;
};

std::ostream& operator<<(std::ostream& stream, const CommandCase& command)
{
    return stream << command.name;
}

class GalleryCommandTest : public testing::TestWithParam<CommandCase> { };

} // namespace

TEST_P(GalleryCommandTest, ExitsAsDocumented)
{
    const CommandCase& command = GetParam();
    std::vector<std::string> arguments = { GalleryPath() };
    arguments.insert(arguments.end(), command.arguments.begin(), command.arguments.end());
    RunResult result = RunProgram(arguments, kHeadlessEnvironment);
    EXPECT_EQ(result.status, std::optional<int>(command.status)) << result.output;
    if (command.output != nullptr)
        EXPECT_EQ(result.output, command.output);
    else
        EXPECT_FALSE(result.output.empty());
}

INSTANTIATE_TEST_SUITE_P(Options, GalleryCommandTest,
    testing::Values(
        // Start-up timing counts on a silent exit after the first frame.
        CommandCase { "first_frame_exit", { "--first-frame-exit" }, 0, "" },
        CommandCase { "help", { "--help" }, 0, nullptr },
        CommandCase { "unknown_option", { "--frobnicate" }, 2, nullptr },
        CommandCase { "screenshot_without_file", { "--screenshot" }, 2, nullptr },
        CommandCase { "both_modes", { "--first-frame-exit", "--screenshot", "x.png" }, 2, nullptr },
        CommandCase { "unwritable_screenshot",
            { "--screenshot", "/nonexistent-folder/gallery.png" }, 1, nullptr }),
    [](const testing::TestParamInfo<CommandCase>& param) { return std::string(param.param.name); });

// The gallery in use, driven as a user would work it: each alert opens and is
// answered, the replace dialog hands back its answer in both languages, the
// pop-up and the folder panel open, and Ctrl+Q quits, taking its sample files
// with it.
TEST(GalleryInUseTest, OpensItsAlertsPopUpAndFolderPanelAndQuits)
{
    std::string folder = MakeTempFolder("use");
    std::string script = folder + "/script.txt";
    {
        std::ofstream file(script);
        file << "timeout 20\n"
                "wait-window Brenvik Gallery\n"
                "click-label Info…\n"
                "alert OK\n"
                "click-label Idea…\n"
                "alert OK\n"
                "click-label Warning…\n"
                "alert Replace\n"
                "click-label Stop…\n"
                "alert Retry\n"
                "click-label Empty…\n"
                "alert OK\n"
                "click-label English…\n"
                "click-label Apply to all future collisions\n"
                "alert Replace\n"
                "wait-text replace_answer Answer: Replace, to all\n"
                "click-label Deutsch…\n"
                "alert Ausführen nicht Ersetzen\n"
                "wait-text replace_answer Answer: Keep\n"
                "choose language Deutsch\n"
                "tick list 5\n"
                "choose toolkit_disk Data\n"
                "tick toolkit_types 2\n"
                "click-label Pop-up menu…\n"
                "key Escape\n"
                "click-label Folder…\n"
                "panel "
             << folder
             << "\n"
                "screenshot "
             << folder
             << "/after.png\n"
                "key Ctrl+Q\n"
                "wait-quit\n";
    }
    std::string temporary = MakeTempFolder("use-tmp");
    RunResult result = RunProgram({ GalleryPath() },
        { { "BRENVIK_DISPLAY", "headless" }, { "BRENVIK_UI_SCRIPT", script },
            { "TMPDIR", temporary } });
    EXPECT_EQ(result.status, std::optional<int>(0)) << result.output;
    EXPECT_TRUE(FileExists(folder + "/after.png"));
    EXPECT_TRUE(std::filesystem::is_empty(temporary));
}
