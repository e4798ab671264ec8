// The X error filter of the SDL backend: a late wake-up message to a window
// that is gone is ignored, every other error still reaches the handler that
// was in place.

#include "SdlBackendImpl.h"

#include <OS.h>

#include <gtest/gtest.h>

#ifdef BRENVIK_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::vector<XErrorEvent> sPassedOn;

int RecordError(Display*, XErrorEvent* error)
{
    sPassedOn.push_back(*error);
    return 0;
}

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// An X server of the test's own on a free display number.
class Server {
public:
    ~Server()
    {
        if (fPid > 0) {
            kill(fPid, SIGTERM);
            int status;
            while (waitpid(fPid, &status, 0) < 0 && errno == EINTR) { }
        }
    }

    bool Start()
    {
        for (int number = 260; number < 330; number++) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (Exists(socket) || Exists("/tmp/.X" + std::to_string(number) + "-lock"))
                continue;
            std::string display = ":" + std::to_string(number);
            const char* argv[] = { "Xvfb", display.c_str(), "-screen", "0", "640x480x24",
                "-nolisten", "tcp", nullptr };
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            int spawned
                = posix_spawnp(&fPid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (spawned != 0) {
                fPid = -1;
                return false;
            }
            bigtime_t deadline = system_time() + 10000000;
            while (system_time() < deadline) {
                int status;
                if (waitpid(fPid, &status, WNOHANG) == fPid) {
                    fPid = -1;
                    break;
                }
                if (Exists(socket)) {
                    fDisplay = display;
                    return true;
                }
                snooze(2000);
            }
            if (fPid > 0)
                return false;
        }
        return false;
    }

    const std::string& Name() const { return fDisplay; }

private:
    pid_t fPid = -1;
    std::string fDisplay;
};

bool HaveXvfb()
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        if (access((folders.substr(start, end - start) + "/Xvfb").c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

TEST(SdlX11ErrorsTest, LateWakeUpIsIgnoredAndOtherErrorsPassOn)
{
    if (!HaveXvfb())
        GTEST_SKIP() << "Xvfb is not installed; the X error filter is not checked";
    Server server;
    ASSERT_TRUE(server.Start()) << "Xvfb did not start";
    Display* display = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(display, nullptr);
    XErrorHandler before = XSetErrorHandler(RecordError);
    BPrivate::IgnoreLateWakeUpErrors();
    sPassedOn.clear();

    // A wake-up sent to a window destroyed before the server got to it.
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(display, window);
    XEvent wake = {};
    wake.xclient.type = ClientMessage;
    wake.xclient.window = window;
    wake.xclient.format = 32;
    XSendEvent(display, window, False, NoEventMask, &wake);
    XSync(display, False);
    EXPECT_TRUE(sPassedOn.empty());

    // Any other error reaches the handler that was there before.
    XDestroyWindow(display, window);
    XSync(display, False);
    ASSERT_EQ(sPassedOn.size(), 1u);
    EXPECT_EQ(sPassedOn[0].error_code, BadWindow);
    EXPECT_EQ(sPassedOn[0].request_code, X_DestroyWindow);

    XSetErrorHandler(before);
    XCloseDisplay(display);
}

#endif
