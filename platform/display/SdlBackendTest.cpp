#include <SdlBackend.h>

#include <ChildProcess.h>
#include <DrawingContext.h>
#include <OS.h>
#include <WaitUntil.h>
#include <XvfbServer.h>

#include <SDL.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef BRENVIK_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

extern char** environ;

using namespace BPrivate;
using brenvik::test::FindProgram;
using brenvik::test::RunTool;
using brenvik::test::XvfbServer;

namespace {

constexpr bigtime_t kDeadline = 10000000;

// Sets or removes an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : fName(name)
    {
        const char* old = std::getenv(name);
        fHadValue = old != nullptr;
        if (fHadValue)
            fOld = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (fHadValue)
            setenv(fName.c_str(), fOld.c_str(), 1);
        else
            unsetenv(fName.c_str());
    }

private:
    std::string fName;
    std::string fOld;
    bool fHadValue = false;
};

using brenvik::test::WaitUntil;

void DrawSample(DisplayWindow& window)
{
    std::lock_guard<BackingStore> lock(window.Store());
    DrawingContext context(window.Store().Surface());
    context.SetHighColor(make_color(0, 0, 229));
    context.FillRect(BRect(10, 10, 59, 39));
    context.SetHighColor(make_color(255, 0, 0));
    context.StrokeLine(BPoint(0, 0), BPoint(159, 99));
    context.SetHighColor(make_color(0, 0, 0));
    context.DrawString("SDL", -1, BPoint(80, 60));
}

PixelBuffer StorePixels(DisplayWindow& window)
{
    PixelBuffer pixels;
    std::lock_guard<BackingStore> lock(window.Store());
    window.Store().Surface()->CopyTo(&pixels);
    return pixels;
}

bool SamePixels(const PixelBuffer& a, const PixelBuffer& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int32 y = 0; y < a.Height(); y++) {
        for (int32 x = 0; x < a.Width(); x++) {
            rgb_color first = a.PixelAt(x, y);
            rgb_color second = b.PixelAt(x, y);
            if (first.red != second.red || first.green != second.green
                || first.blue != second.blue) {
                return false;
            }
        }
    }
    return true;
}

// Gathers the window's events until one of `type` arrives.
std::vector<DisplayEvent> CollectUntil(DisplayWindow& window, DisplayEventType type)
{
    std::vector<DisplayEvent> events;
    bigtime_t deadline = system_time() + kDeadline;
    while (events.empty() || events.back().type != type) {
        if (window.Events().WaitForEvent(deadline) != B_OK)
            break;
        for (DisplayEvent& event : window.Events().PopAll())
            events.push_back(std::move(event));
    }
    return events;
}

class DummyDriverTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SdlBackend::Create(true, &fBackend), B_OK);
        fSdl = static_cast<SdlBackend*>(fBackend.get());
    }

    ScopedEnv fDriver { "SDL_VIDEODRIVER", "dummy" };
    std::unique_ptr<DisplayBackend> fBackend;
    SdlBackend* fSdl = nullptr;
};

TEST(SdlBackendTest, VirtualDriversDoNotCountAsADisplay)
{
    ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
    std::unique_ptr<DisplayBackend> backend;
    EXPECT_EQ(SdlBackend::Create(false, &backend), B_UNSUPPORTED);
    EXPECT_EQ(backend, nullptr);
    ASSERT_EQ(SdlBackend::Create(true, &backend), B_OK);
    EXPECT_EQ(static_cast<SdlBackend*>(backend.get())->VideoDriver(), "dummy");
    std::unique_ptr<DisplayBackend> second;
    EXPECT_EQ(SdlBackend::Create(true, &second), B_BUSY) << "SDL is one per program";
}

TEST_F(DummyDriverTest, PresentedPixelsReachTheWindowSurface)
{
    DisplayWindowSpec spec;
    spec.frame = BRect(20, 20, 179, 119);
    spec.title = "Presented";
    auto window = fBackend->CreateWindow(spec);
    DrawSample(*window);
    window->Show();
    window->PresentAll();
    ASSERT_EQ(fBackend->Sync(), B_OK);
    PixelBuffer shown;
    ASSERT_EQ(fSdl->ReadWindowPixels(window->Id(), &shown), B_OK);
    EXPECT_TRUE(SamePixels(shown, StorePixels(*window)));

    // A later partial present shows its area. (The rest may be shown too:
    // an expose event from the driver presents the whole store again.)
    {
        std::lock_guard<BackingStore> lock(window->Store());
        window->Store().Surface()->Fill(make_color(9, 9, 9));
    }
    window->Present(ClipRegion(clipping_rect { 0, 0, 4, 4 }));
    ASSERT_EQ(fBackend->Sync(), B_OK);
    ASSERT_EQ(fSdl->ReadWindowPixels(window->Id(), &shown), B_OK);
    EXPECT_EQ(shown.PixelAt(4, 4), make_color(9, 9, 9));
}

TEST_F(DummyDriverTest, WindowOperationsReachSdl)
{
    DisplayWindowSpec spec;
    spec.frame = BRect(0, 0, 99, 49);
    auto window = fBackend->CreateWindow(spec);
    window->SetTitle("Renamed");
    window->ResizeTo(149, 59);
    window->Show();
    ASSERT_EQ(fBackend->Sync(), B_OK);
    PixelBuffer shown;
    ASSERT_EQ(fSdl->ReadWindowPixels(window->Id(), &shown), B_OK);
    EXPECT_EQ(shown.Width(), 150);
    EXPECT_EQ(shown.Height(), 60);
    EXPECT_NE(fSdl->NativeWindowId(window->Id()), 0u);
    window->Close();
    ASSERT_EQ(fBackend->Sync(), B_OK);
    EXPECT_EQ(fSdl->NativeWindowId(window->Id()), 0u) << "closing destroys the SDL window";
}

SDL_Event KeyEvent(uint32 type, uint32 windowId, SDL_Scancode scancode, SDL_Keycode sym, uint16 mod)
{
    SDL_Event event;
    SDL_zero(event);
    event.type = type;
    event.key.windowID = windowId;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    return event;
}

SDL_Event TextEvent(uint32 windowId, const char* text)
{
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_TEXTINPUT;
    event.text.windowID = windowId;
    SDL_strlcpy(event.text.text, text, sizeof(event.text.text));
    return event;
}

// A right double click, "a" typed (a key-down with its text), Return,
// Ctrl+W, "é" from an input method, two files dropped and a close request,
// queued the way SDL queues them.
void PushSampleEvents(uint32 id)
{
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = id;
    event.button.button = SDL_BUTTON_RIGHT;
    event.button.state = SDL_PRESSED;
    event.button.clicks = 2;
    event.button.x = 5;
    event.button.y = 6;
    SDL_PushEvent(&event);
    event.type = SDL_MOUSEBUTTONUP;
    event.button.state = SDL_RELEASED;
    SDL_PushEvent(&event);
    SDL_Event key = KeyEvent(SDL_KEYDOWN, id, SDL_SCANCODE_A, SDLK_a, KMOD_NONE);
    SDL_PushEvent(&key);
    SDL_Event text = TextEvent(id, "a");
    SDL_PushEvent(&text);
    key = KeyEvent(SDL_KEYUP, id, SDL_SCANCODE_A, SDLK_a, KMOD_NONE);
    SDL_PushEvent(&key);
    key = KeyEvent(SDL_KEYDOWN, id, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE);
    SDL_PushEvent(&key);
    key = KeyEvent(SDL_KEYDOWN, id, SDL_SCANCODE_W, SDLK_w, KMOD_LCTRL);
    SDL_PushEvent(&key);
    text = TextEvent(id, "\xc3\xa9");
    SDL_PushEvent(&text);
    SDL_zero(event);
    event.type = SDL_DROPBEGIN;
    event.drop.windowID = id;
    SDL_PushEvent(&event);
    event.type = SDL_DROPFILE;
    event.drop.file = SDL_strdup("/tmp/one.png");
    SDL_PushEvent(&event);
    event.drop.file = SDL_strdup("/tmp/two words.png");
    SDL_PushEvent(&event);
    event.type = SDL_DROPCOMPLETE;
    event.drop.file = nullptr;
    SDL_PushEvent(&event);
    SDL_zero(event);
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = id;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
}

TEST_F(DummyDriverTest, SdlEventsBecomeDisplayEvents)
{
    DisplayWindowSpec spec;
    spec.frame = BRect(100, 100, 299, 199);
    auto window = fBackend->CreateWindow(spec);
    window->Show();
    uint32 id = fSdl->NativeWindowId(window->Id());
    ASSERT_NE(id, 0u);

    // The display thread is held while the events are queued, so that a
    // key-down and its text are seen together, as SDL queues them.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    fSdl->Post([released] { released.wait(); });

    PushSampleEvents(id);
    release.set_value();

    std::vector<DisplayEvent> events = CollectUntil(*window, DisplayEventType::kCloseRequested);
    // Activation may come first when the driver gives the window the focus.
    std::erase_if(events, [](const DisplayEvent& e) {
        return e.type == DisplayEventType::kActivated || e.type == DisplayEventType::kMouseEntered;
    });
    ASSERT_EQ(events.size(), 10u);
    EXPECT_EQ(events[0].type, DisplayEventType::kMouseDown);
    EXPECT_EQ(events[0].buttons, kSecondaryButton);
    EXPECT_EQ(events[0].clicks, 2);
    EXPECT_EQ(events[0].where, BPoint(5, 6));
    EXPECT_EQ(events[0].screenWhere, BPoint(105, 106));
    EXPECT_EQ(events[1].type, DisplayEventType::kMouseUp);
    EXPECT_EQ(events[1].buttons, 0u);
    EXPECT_EQ(events[2].type, DisplayEventType::kKeyDown);
    EXPECT_EQ(events[2].bytes, "a") << "the key and its text are one event";
    EXPECT_EQ(events[2].key, 0x3c);
    EXPECT_EQ(events[3].type, DisplayEventType::kKeyUp);
    EXPECT_EQ(events[3].bytes, "a");
    EXPECT_EQ(events[4].bytes, "\x0a");
    EXPECT_EQ(events[5].bytes, "w");
    EXPECT_EQ(events[5].modifiers & kCommandKey, kCommandKey);
    EXPECT_EQ(events[6].type, DisplayEventType::kKeyDown);
    EXPECT_EQ(events[6].bytes, "\xc3\xa9") << "text after a shortcut is not the shortcut's";
    EXPECT_EQ(events[7].type, DisplayEventType::kKeyUp);
    EXPECT_EQ(events[8].type, DisplayEventType::kFilesDropped);
    EXPECT_EQ(events[8].paths, (std::vector<std::string> { "/tmp/one.png", "/tmp/two words.png" }));
    EXPECT_EQ(events[9].type, DisplayEventType::kCloseRequested);
}

// At a scale of 1.5, SDL's pixels become points and points pixels: the
// window's surface, a click, the user's move and resize.
TEST(SdlBackendTest, ScalesBetweenSdlsPixelsAndPoints)
{
    ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
    ScopedEnv scale("BRENVIK_SCALE", "1.5");
    std::unique_ptr<DisplayBackend> backend;
    ASSERT_EQ(SdlBackend::Create(true, &backend), B_OK);
    SdlBackend* sdl = static_cast<SdlBackend*>(backend.get());
    EXPECT_FLOAT_EQ(backend->Scale(), 1.5f);

    DisplayWindowSpec spec;
    spec.frame = BRect(10, 10, 109, 59);
    auto window = backend->CreateWindow(spec);
    window->Show();
    window->PresentAll();
    ASSERT_EQ(backend->Sync(), B_OK);
    PixelBuffer shown;
    ASSERT_EQ(sdl->ReadWindowPixels(window->Id(), &shown), B_OK);
    EXPECT_EQ(shown.Width(), 150);
    EXPECT_EQ(shown.Height(), 75);
    uint32 id = sdl->NativeWindowId(window->Id());
    ASSERT_NE(id, 0u);

    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = id;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.clicks = 1;
    event.button.x = 30;
    event.button.y = 45;
    SDL_PushEvent(&event);
    SDL_zero(event);
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = id;
    event.window.event = SDL_WINDOWEVENT_MOVED;
    event.window.data1 = 300;
    event.window.data2 = 150;
    SDL_PushEvent(&event);
    event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    event.window.data1 = 301;
    event.window.data2 = 150;
    SDL_PushEvent(&event);

    std::vector<DisplayEvent> events = CollectUntil(*window, DisplayEventType::kResized);
    auto find = [&](DisplayEventType type) {
        return std::find_if(
            events.begin(), events.end(), [type](const DisplayEvent& e) { return e.type == type; });
    };
    auto down = find(DisplayEventType::kMouseDown);
    ASSERT_NE(down, events.end());
    EXPECT_EQ(down->where, BPoint(20, 30));
    ASSERT_NE(find(DisplayEventType::kMoved), events.end());
    EXPECT_EQ(find(DisplayEventType::kMoved)->frame.LeftTop(), BPoint(200, 100));
    // 301 pixels are 200⅔ points: the frame takes in the last point.
    EXPECT_EQ(events.back().frame, BRect(200, 100, 400, 199));
    EXPECT_EQ(window->Store().Width(), 301);
    EXPECT_EQ(window->Store().Height(), 150);
}

TEST_F(DummyDriverTest, OnlyResizesByTheUserAreReported)
{
    DisplayWindowSpec spec;
    spec.frame = BRect(10, 10, 109, 59);
    auto window = fBackend->CreateWindow(spec);
    window->Show();
    // SDL confirms each of these later, when the window is already at the
    // last size and place: the confirmations are not the user's doing.
    window->ResizeTo(149, 59);
    window->ResizeTo(199, 79);
    window->MoveTo(BPoint(20, 20));
    window->MoveTo(BPoint(30, 40));
    ASSERT_EQ(fBackend->Sync(), B_OK);
    uint32 id = fSdl->NativeWindowId(window->Id());
    ASSERT_NE(id, 0u);

    // The confirmations as a desktop sends them, late, then the user's own
    // resize.
    auto push = [id](uint8 kind, int32 a, int32 b) {
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = id;
        event.window.event = kind;
        event.window.data1 = a;
        event.window.data2 = b;
        SDL_PushEvent(&event);
    };
    push(SDL_WINDOWEVENT_SIZE_CHANGED, 150, 60);
    push(SDL_WINDOWEVENT_MOVED, 20, 20);
    push(SDL_WINDOWEVENT_SIZE_CHANGED, 200, 80);
    push(SDL_WINDOWEVENT_MOVED, 30, 40);
    push(SDL_WINDOWEVENT_SIZE_CHANGED, 300, 200);
    std::vector<DisplayEvent> events = CollectUntil(*window, DisplayEventType::kResized);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                  [](const DisplayEvent& e) { return e.type == DisplayEventType::kResized; }),
        1);
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                  [](const DisplayEvent& e) { return e.type == DisplayEventType::kMoved; }),
        0);
    EXPECT_EQ(events.back().frame, BRect(30, 40, 329, 239));
    EXPECT_EQ(window->Frame(), BRect(30, 40, 329, 239));
    EXPECT_EQ(window->Store().Width(), 300);
    EXPECT_EQ(window->Store().Height(), 200);
}

// Whether the X server itself shows `expected` at (40, 30): with no window
// manager, windows appear where they ask to be. Waits for the window to be
// mapped and drawn.
bool XServerShows(const std::string& displayName, const PixelBuffer& expected)
{
#ifdef BRENVIK_HAVE_X11
    Display* x = XOpenDisplay(displayName.c_str());
    if (x == nullptr)
        return false;
    bool same = WaitUntil([&] {
        XImage* image = XGetImage(x, DefaultRootWindow(x), 40, 30, uint32(expected.Width()),
            uint32(expected.Height()), AllPlanes, ZPixmap);
        if (image == nullptr)
            return false;
        PixelBuffer screen(expected.Width(), expected.Height(), B_RGB32);
        for (int32 y = 0; y < expected.Height(); y++) {
            for (int32 px = 0; px < expected.Width(); px++) {
                unsigned long pixel = XGetPixel(image, px, y);
                screen.SetPixelAt(
                    px, y, make_color(uint8(pixel >> 16), uint8(pixel >> 8), uint8(pixel)));
            }
        }
        XDestroyImage(image);
        return SamePixels(screen, expected);
    });
    XCloseDisplay(x);
    return same;
#else
    (void)displayName;
    (void)expected;
    return true;
#endif
}

// Clicks and types into the window at (40, 30) through the X server's test
// extension, as a user would, when xdotool is there: the click at (60, 50)
// on the screen lands at `expected` in the window.
void CheckInputFromXdotool(DisplayWindow& window, BPoint expected = BPoint(20, 20))
{
    std::string xdotool = FindProgram("xdotool");
    if (xdotool.empty())
        return;
    window.Events().PopAll();
    ASSERT_EQ(RunTool({ xdotool, "mousemove", "60", "50", "click", "1" }), 0);
    std::vector<DisplayEvent> events;
    bool clicked = WaitUntil([&] {
        for (DisplayEvent& event : window.Events().PopAll())
            events.push_back(event);
        return std::any_of(events.begin(), events.end(),
            [](const DisplayEvent& e) { return e.type == DisplayEventType::kMouseUp; });
    });
    ASSERT_TRUE(clicked);
    auto down = std::find_if(events.begin(), events.end(),
        [](const DisplayEvent& e) { return e.type == DisplayEventType::kMouseDown; });
    ASSERT_NE(down, events.end());
    EXPECT_EQ(down->where, expected);
    EXPECT_EQ(down->buttons, kPrimaryButton);
    EXPECT_EQ(down->clicks, 1);

    ASSERT_EQ(RunTool({ xdotool, "key", "b", "Escape" }), 0);
    std::vector<std::string> typed;
    bool keyed = WaitUntil([&] {
        for (DisplayEvent& event : window.Events().PopAll()) {
            if (event.type == DisplayEventType::kKeyDown)
                typed.push_back(event.bytes);
        }
        return typed.size() >= 2;
    });
    ASSERT_TRUE(keyed);
    EXPECT_EQ(typed[0], "b");
    EXPECT_EQ(typed[1], "\x1b");
}

TEST(SdlBackendTest, ShowsWindowsOnARealXServer)
{
    std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty())
        GTEST_SKIP() << "Xvfb is not installed; the real-display test is skipped";
    XvfbServer server;
    ASSERT_TRUE(server.Start(91, 159, "1024x768x24", xvfb)) << "Xvfb did not start";
    ScopedEnv display("DISPLAY", server.Display().c_str());
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv driver("SDL_VIDEODRIVER", nullptr);

    std::unique_ptr<DisplayBackend> backend;
    ASSERT_EQ(SdlBackend::Create(false, &backend), B_OK);
    SdlBackend* sdl = static_cast<SdlBackend*>(backend.get());
    EXPECT_EQ(sdl->VideoDriver(), "x11");
    EXPECT_EQ(backend->Screen().frame, BRect(0, 0, 1023, 767));

    DisplayWindowSpec spec;
    spec.frame = BRect(40, 30, 199, 129);
    spec.title = "Xvfb";
    auto window = backend->CreateWindow(spec);
    DrawSample(*window);
    window->Show();
    window->PresentAll();
    ASSERT_EQ(backend->Sync(), B_OK);
    PixelBuffer expected = StorePixels(*window);
    PixelBuffer shown;
    ASSERT_EQ(sdl->ReadWindowPixels(window->Id(), &shown), B_OK);
    EXPECT_TRUE(SamePixels(shown, expected));

    EXPECT_TRUE(XServerShows(server.Display(), expected))
        << "the X server shows the backing store's pixels";

    CheckInputFromXdotool(*window);
    window.reset();
    backend.reset();
}

#ifdef BRENVIK_HAVE_X11
// Sets the X server's resources, as xrdb would.
void SetXResources(const std::string& displayName, const std::string& resources)
{
    Display* x = XOpenDisplay(displayName.c_str());
    ASSERT_NE(x, nullptr);
    XChangeProperty(x, DefaultRootWindow(x), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
        reinterpret_cast<const unsigned char*>(resources.data()), int(resources.size()));
    XCloseDisplay(x);
}
#endif

// The desktop's Xft.dpi of 192 makes every point two pixels: the window is
// twice its size on the screen, shows its store there, and a click lands on
// the point under the pointer.
TEST(SdlBackendTest, FollowsTheXServersDpiSetting)
{
#ifndef BRENVIK_HAVE_X11
    GTEST_SKIP() << "built without Xlib";
#else
    std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty())
        GTEST_SKIP() << "Xvfb is not installed; the real-display test is skipped";
    XvfbServer server;
    ASSERT_TRUE(server.Start(92, 159, "1024x768x24", xvfb)) << "Xvfb did not start";
    SetXResources(server.Display(), "Xft.antialias:\t1\nXft.dpi:\t192\n");
    ScopedEnv display("DISPLAY", server.Display().c_str());
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv driver("SDL_VIDEODRIVER", nullptr);

    std::unique_ptr<DisplayBackend> backend;
    ASSERT_EQ(SdlBackend::Create(false, &backend), B_OK);
    SdlBackend* sdl = static_cast<SdlBackend*>(backend.get());
    EXPECT_FLOAT_EQ(backend->Scale(), 2);
    EXPECT_EQ(backend->Screen().frame, BRect(0, 0, 511, 383)) << "the screen in points";

    DisplayWindowSpec spec;
    spec.frame = BRect(20, 15, 99, 64);
    auto window = backend->CreateWindow(spec);
    DrawSample(*window);
    window->Show();
    window->PresentAll();
    ASSERT_EQ(backend->Sync(), B_OK);
    PixelBuffer expected = StorePixels(*window);
    EXPECT_EQ(expected.Width(), 160);
    PixelBuffer shown;
    ASSERT_EQ(sdl->ReadWindowPixels(window->Id(), &shown), B_OK);
    EXPECT_TRUE(SamePixels(shown, expected));
    EXPECT_TRUE(XServerShows(server.Display(), expected));

    CheckInputFromXdotool(*window, BPoint(10, 10));
    window.reset();
    backend.reset();
#endif
}

} // namespace
