#include <DisplayBackend.h>

#include <DisplayScale.h>
#include <Environment.h>
#include <HeadlessBackend.h>
#include <SdlBackend.h>
#include <Utf8.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace BPrivate {

namespace {

bool IsSet(const char* name)
{
    const char* value = Environment::Get(name);
    return value != nullptr && value[0] != '\0';
}

// Set before the backend is made by a program that handles a missing desktop
// itself.
std::atomic<bool> sQuietFallback { false };
std::atomic<bool> sNoWindows { false };

} // namespace

DisplayBackend::~DisplayBackend() = default;

DisplayBackend& DisplayBackend::Default()
{
    static std::unique_ptr<DisplayBackend> sBackend = [] {
        std::string notice;
        if (sNoWindows.load())
            return std::unique_ptr<DisplayBackend>(std::make_unique<HeadlessBackend>());
        std::unique_ptr<DisplayBackend> backend = Select(Environment::Get("BRENVIK_DISPLAY"),
            IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"), &notice);
        if (!notice.empty() && !sQuietFallback.load())
            std::fprintf(stderr, "%s\n", notice.c_str());
        return backend;
    }();
    return *sBackend;
}

void DisplayBackend::ShowNoWindows()
{
    sNoWindows.store(true);
}

bool DisplayBackend::WindowsCanShow()
{
    if (IsSet("BRENVIK_DISPLAY"))
        return true;
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY"))
        return false;
    sQuietFallback.store(true);
    return std::strcmp(Default().Name(), "headless") != 0;
}

std::unique_ptr<DisplayBackend> DisplayBackend::Select(
    const char* requested, bool desktopVariables, std::string* notice)
{
    std::string unused;
    if (notice == nullptr)
        notice = &unused;
    notice->clear();
    if (requested != nullptr && std::strcmp(requested, "headless") == 0)
        return std::make_unique<HeadlessBackend>();
    bool forced = requested != nullptr && std::strcmp(requested, "sdl") == 0;
    if (requested != nullptr && requested[0] != '\0' && !forced) {
        *notice = std::string("brenvik: unknown BRENVIK_DISPLAY \"") + requested
            + "\" (use sdl or headless)\n";
    }
    if (forced || desktopVariables) {
        std::unique_ptr<DisplayBackend> sdl;
        if (SdlBackend::Create(forced, &sdl) == B_OK) {
            if (!notice->empty())
                notice->pop_back();
            return sdl;
        }
    }
    *notice += "brenvik: no display available, running headless";
    return std::make_unique<HeadlessBackend>();
}

void DisplayBackend::ScaleNewWindows(float scale)
{
    fScale.store(std::clamp(scale, kMinDisplayScale, kMaxDisplayScale));
}

std::shared_ptr<DisplayWindow> DisplayBackend::CreateWindow(const DisplayWindowSpec& spec)
{
    int32 id;
    {
        std::lock_guard<std::mutex> lock(fWindowsLock);
        id = fNextId++;
    }
    std::shared_ptr<DisplayWindow> window = MakeWindow(id, spec);
    std::lock_guard<std::mutex> lock(fWindowsLock);
    // Windows that are gone are forgotten here, so the map stays small.
    for (auto entry = fWindows.begin(); entry != fWindows.end();) {
        if (entry->second.expired())
            entry = fWindows.erase(entry);
        else
            ++entry;
    }
    fWindows[id] = window;
    return window;
}

std::shared_ptr<DisplayWindow> DisplayBackend::FindWindow(int32 id) const
{
    std::lock_guard<std::mutex> lock(fWindowsLock);
    auto found = fWindows.find(id);
    if (found == fWindows.end())
        return nullptr;
    return found->second.lock();
}

std::vector<std::shared_ptr<DisplayWindow>> DisplayBackend::Windows() const
{
    std::vector<std::shared_ptr<DisplayWindow>> windows;
    std::lock_guard<std::mutex> lock(fWindowsLock);
    for (const auto& entry : fWindows) {
        if (std::shared_ptr<DisplayWindow> window = entry.second.lock())
            windows.push_back(window);
    }
    return windows;
}

BPoint DisplayBackend::ToScreen(int32 window, BPoint where) const
{
    std::shared_ptr<DisplayWindow> found = FindWindow(window);
    if (!found)
        return where;
    return where + found->Frame().LeftTop();
}

status_t DisplayBackend::Inject(int32 window, DisplayEvent event)
{
    std::shared_ptr<DisplayWindow> found = FindWindow(window);
    if (!found || found->IsClosed())
        return B_BAD_VALUE;
    event.window = window;
    if (event.screenWhere == B_ORIGIN)
        event.screenWhere = event.where + found->Frame().LeftTop();
    found->Events().Push(std::move(event));
    return B_OK;
}

status_t DisplayBackend::InjectMouseMoved(int32 window, BPoint where, uint32 buttons)
{
    DisplayEvent event;
    event.type = DisplayEventType::kMouseMoved;
    event.where = where;
    {
        std::lock_guard<std::mutex> lock(fWindowsLock);
        event.buttons = buttons == kHeldButtons ? fInjectedButtons : buttons;
    }
    return Inject(window, event);
}

status_t DisplayBackend::InjectMouseDown(
    int32 window, BPoint where, uint32 buttons, int32 clicks, uint32 modifiers)
{
    DisplayEvent event;
    event.type = DisplayEventType::kMouseDown;
    event.where = where;
    event.clicks = clicks;
    event.modifiers = modifiers;
    {
        std::lock_guard<std::mutex> lock(fWindowsLock);
        fInjectedButtons |= buttons;
        event.buttons = fInjectedButtons;
    }
    return Inject(window, event);
}

status_t DisplayBackend::InjectMouseUp(int32 window, BPoint where, uint32 modifiers)
{
    DisplayEvent event;
    event.type = DisplayEventType::kMouseUp;
    event.where = where;
    event.modifiers = modifiers;
    {
        std::lock_guard<std::mutex> lock(fWindowsLock);
        fInjectedButtons = 0;
    }
    return Inject(window, event);
}

status_t DisplayBackend::InjectClick(
    int32 window, BPoint where, uint32 buttons, int32 clicks, uint32 modifiers)
{
    status_t status = InjectMouseDown(window, where, buttons, clicks, modifiers);
    if (status != B_OK)
        return status;
    // As with keys, the press may have closed the window.
    InjectMouseUp(window, where, modifiers);
    return B_OK;
}

status_t DisplayBackend::InjectKey(
    int32 window, const std::string& bytes, int32 key, uint32 modifiers)
{
    DisplayEvent event;
    event.type = DisplayEventType::kKeyDown;
    event.bytes = bytes;
    event.key = key;
    event.modifiers = modifiers;
    std::vector<DecodedChar> chars;
    DecodeUtf8(bytes.data(), int32(bytes.size()), &chars);
    event.rawChar = chars.empty() ? 0 : chars.front().codePoint;
    status_t status = Inject(window, event);
    if (status != B_OK)
        return status;
    // The key may have closed the window (Command+W): its release then has
    // nowhere to go, and the key was still pressed.
    event.type = DisplayEventType::kKeyUp;
    Inject(window, event);
    return B_OK;
}

status_t DisplayBackend::InjectText(int32 window, const std::string& text)
{
    std::vector<DecodedChar> chars;
    DecodeUtf8(text.data(), int32(text.size()), &chars);
    for (const DecodedChar& decoded : chars) {
        status_t status
            = InjectKey(window, text.substr(size_t(decoded.byteOffset), size_t(decoded.byteLength)),
                0, decoded.codePoint >= 'A' && decoded.codePoint <= 'Z' ? kShiftKey : 0);
        if (status != B_OK)
            return status;
    }
    return B_OK;
}

status_t DisplayBackend::InjectDrop(
    int32 window, BPoint where, const std::vector<std::string>& paths)
{
    DisplayEvent event;
    event.type = DisplayEventType::kFilesDropped;
    event.where = where;
    event.paths = paths;
    return Inject(window, event);
}

status_t DisplayBackend::InjectCloseRequest(int32 window)
{
    DisplayEvent event;
    event.type = DisplayEventType::kCloseRequested;
    return Inject(window, event);
}

status_t DisplayBackend::WriteScreenshot(int32 window, const char* path)
{
    std::shared_ptr<DisplayWindow> found = FindWindow(window);
    if (!found)
        return B_BAD_VALUE;
    std::lock_guard<BackingStore> lock(found->Store());
    return found->Store().Surface()->WritePNG(path);
}

} // namespace BPrivate
