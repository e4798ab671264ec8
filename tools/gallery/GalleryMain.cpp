// brenvik-gallery [--screenshot FILE | --first-frame-exit]
//
// Shows every control of the interface kit in one window. With --screenshot
// it waits for the window's first frame, writes the window's pixels (its own
// backing store, whichever display shows it) to FILE as a PNG and quits; with
// --first-frame-exit it quits silently as soon as the first frame is on the
// screen, for timing start-up.

#include <Application.h>
#include <DisplayBackend.h>
#include <LibTipManager.h>

#include "FirstFrame.h"
#include "GalleryWindow.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

using brenvik::gallery::GalleryWindow;

constexpr bigtime_t kFirstFrameDeadline = 30000000;

struct Options {
    bool firstFrameExit = false;
    std::string screenshot;
};

void PrintUsage(FILE* stream)
{
    std::fprintf(stream,
        "usage: brenvik-gallery [--screenshot FILE | --first-frame-exit]\n"
        "  --screenshot FILE   write the window's first frame to FILE as PNG, then quit\n"
        "  --first-frame-exit  quit as soon as the first frame is on the screen\n");
}

// 0 to run, otherwise the exit status.
int ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--screenshot") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "brenvik-gallery: --screenshot needs a file\n");
                return 2;
            }
            options->screenshot = argv[++i];
        } else if (std::strcmp(argv[i], "--first-frame-exit") == 0) {
            options->firstFrameExit = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage(stdout);
            return -1;
        } else {
            std::fprintf(stderr, "brenvik-gallery: unknown argument \"%s\"\n", argv[i]);
            PrintUsage(stderr);
            return 2;
        }
    }
    if (options->firstFrameExit && !options->screenshot.empty()) {
        std::fprintf(stderr, "brenvik-gallery: choose --screenshot or --first-frame-exit\n");
        return 2;
    }
    return 0;
}

class GalleryApplication : public BApplication {
public:
    explicit GalleryApplication(const Options& options)
        : BApplication("application/x-vnd.brenvik-gallery")
        , fOptions(options)
    {
    }

    // Tool tips of the toolkit's picture buttons come here.
    void MessageReceived(BMessage* message) override
    {
        if (message->what == LibTipManager::kMsgTipRequest)
            fTips.MessageReceived(message);
        else
            BApplication::MessageReceived(message);
    }

    void Pulse() override { fTips.PostPending(); }

    void ReadyToRun() override
    {
        GalleryWindow* window = new GalleryWindow;
        window->Show();
        if (fOptions.firstFrameExit || !fOptions.screenshot.empty())
            fWatcher = std::thread([this, window] { FinishAfterFirstFrame(window); });
    }

    // Joins the thread that waited for the first frame.
    int Finish()
    {
        if (fWatcher.joinable())
            fWatcher.join();
        return fStatus;
    }

private:
    void FinishAfterFirstFrame(GalleryWindow* window)
    {
        int32 displayId = -1;
        status_t status
            = brenvik::gallery::WaitUntilPresented(window, kFirstFrameDeadline, &displayId);
        if (status != B_OK) {
            std::fprintf(
                stderr, "brenvik-gallery: the first frame did not come: %s\n", strerror(status));
            fStatus = 1;
        } else if (!fOptions.screenshot.empty()) {
            status = BPrivate::DisplayBackend::Default().WriteScreenshot(
                displayId, fOptions.screenshot.c_str());
            if (status != B_OK) {
                std::fprintf(stderr, "brenvik-gallery: cannot write %s: %s\n",
                    fOptions.screenshot.c_str(), strerror(status));
                fStatus = 1;
            }
        }
        PostMessage(B_QUIT_REQUESTED);
    }

    Options fOptions;
    LibTipManager fTips;
    std::thread fWatcher;
    int fStatus = 0;
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    int status = ParseOptions(argc, argv, &options);
    if (status != 0)
        return status < 0 ? 0 : status;
    GalleryApplication application(options);
    if (application.InitCheck() != B_OK) {
        std::fprintf(
            stderr, "brenvik-gallery: cannot start: %s\n", strerror(application.InitCheck()));
        return 1;
    }
    application.Run();
    return application.Finish();
}
