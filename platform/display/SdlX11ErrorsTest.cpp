// The X error filter of the SDL backend: a late wake-up message to a window
// that is gone is ignored, every other error still reaches the handler that
// was in place.

#include "SdlBackendImpl.h"

#include <OS.h>

#include <gtest/gtest.h>

#ifdef BRENVIK_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <XvfbServer.h>

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

} // namespace

TEST(SdlX11ErrorsTest, LateWakeUpIsIgnoredAndOtherErrorsPassOn)
{
    if (brenvik::test::FindProgram("Xvfb").empty())
        GTEST_SKIP() << "Xvfb is not installed; the X error filter is not checked";
    brenvik::test::XvfbServer server;
    ASSERT_TRUE(server.Start(260, 329, "640x480x24")) << "Xvfb did not start";
    Display* display = XOpenDisplay(server.Display().c_str());
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
