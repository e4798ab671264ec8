// brenvik-gallery as a user runs it: its first frame, headless and on an X
// server through SDL, is the recorded golden image, pixel for pixel.

#include <GoldenImage.h>
#include <TestSandbox.h>
#include <WaitUntil.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace brenvik::test;

namespace {

constexpr auto kDeadline = std::chrono::seconds(60);

bool FileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string FindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return std::string();
}

std::string GalleryPath()
{
    return std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-gallery";
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Waits for a child with a deadline; kills it when the deadline passes.
std::optional<int> WaitForExit(pid_t pid, std::chrono::steady_clock::duration timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0 && errno != EINTR)
            return std::nullopt;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

struct RunResult {
    std::optional<int> status;
    std::string output;
};

// Runs a program with changes to this process's environment (an empty
// value removes the variable); standard output and error are gathered.
RunResult RunProgram(
    const std::vector<std::string>& arguments, const std::map<std::string, std::string>& changes)
{
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; entry++) {
        std::string text = *entry;
        size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : changes) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> environment;
    for (const auto& [name, value] : variables)
        environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    std::string outputPath = MakeTempFolder("run") + "/output";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    RunResult result;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0)
        result.status = WaitForExit(pid, kDeadline);
    posix_spawn_file_actions_destroy(&actions);
    result.output = ReadText(outputPath);
    return result;
}

// An X server of the test's own, on a display number nobody uses.
class XvfbServer {
public:
    ~XvfbServer() { Stop(); }

    bool Start(const std::string& program)
    {
        for (int number = 170; number < 260; number++) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (FileExists(socket) || FileExists(lock))
                continue;
            std::vector<std::string> arguments = { program, ":" + std::to_string(number), "-screen",
                "0", "1024x768x24", "-nolisten", "tcp", "-noreset" };
            std::vector<char*> argv;
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            int spawned = posix_spawn(&fPid, argv[0], &actions, nullptr, argv.data(), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (spawned != 0)
                return false;
            bool exited = false;
            bool ready = WaitUntil([&] {
                int status;
                if (waitpid(fPid, &status, WNOHANG) == fPid) {
                    exited = true;
                    return true;
                }
                return FileExists(socket);
            });
            if (ready && !exited) {
                fDisplay = ":" + std::to_string(number);
                return true;
            }
            if (exited)
                fPid = -1;
            else
                Stop();
        }
        return false;
    }

    void Stop()
    {
        if (fPid <= 0)
            return;
        kill(fPid, SIGTERM);
        int status;
        while (waitpid(fPid, &status, 0) < 0 && errno == EINTR) { }
        fPid = -1;
    }

    const std::string& Display() const { return fDisplay; }

private:
    pid_t fPid = -1;
    std::string fDisplay;
};

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
        ASSERT_TRUE(server.Start(xvfb)) << "Xvfb did not start";
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
