// Drawing the whole gallery window once, in-process on the headless display:
// everything invalidated, drawn and presented on the window's own thread.

#include "FirstFrame.h"
#include "GalleryWindow.h"

#include <Messenger.h>
#include <View.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

using brenvik::gallery::GalleryWindow;

constexpr uint32 kMsgRedrawAll = 'gbrd';

// The gallery with one more message: invalidate everything, draw it at once
// and answer.
class RedrawingWindow : public GalleryWindow {
public:
    void MessageReceived(BMessage* message) override
    {
        if (message->what != kMsgRedrawAll) {
            GalleryWindow::MessageReceived(message);
            return;
        }
        if (BView* panel = FindView("gallery"))
            panel->Invalidate();
        UpdateIfNeeded();
        BMessage reply(B_REPLY);
        message->SendReply(&reply);
    }
};

void BM_DrawGalleryWindow(benchmark::State& state)
{
    setenv("BRENVIK_DISPLAY", "headless", 1);
    unsetenv("BRENVIK_UI_SCRIPT");
    RedrawingWindow* window = new RedrawingWindow;
    window->SetQuitsApplication(false);
    window->Show();
    BMessenger messenger(window);
    if (brenvik::gallery::WaitUntilPresented(window, 30000000, nullptr) != B_OK) {
        state.SkipWithError("the gallery's first frame did not come");
        return;
    }
    for (auto _ : state) {
        BMessage reply;
        messenger.SendMessage(kMsgRedrawAll, &reply);
    }
    if (messenger.LockTarget())
        window->Quit();
    state.SetLabel(std::to_string(int(GalleryWindow::kWidth)) + "x"
        + std::to_string(int(GalleryWindow::kHeight)) + ", every control, headless");
}
BENCHMARK(BM_DrawGalleryWindow)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
