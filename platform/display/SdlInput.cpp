// SdlBackend: SDL's events become the windows' display events (on the
// display thread).

#include <SdlBackend.h>

#include "SdlBackendImpl.h"

#include <SdlKeyMap.h>
#include <Utf8.h>

#include <cmath>

namespace BPrivate {

namespace {

uint32 ButtonBit(uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT:
        return kPrimaryButton;
    case SDL_BUTTON_RIGHT:
        return kSecondaryButton;
    case SDL_BUTTON_MIDDLE:
        return kTertiaryButton;
    default:
        return 0;
    }
}

void Deliver(const std::shared_ptr<SdlWindow>& window, DisplayEvent event)
{
    event.window = window->Id();
    event.screenWhere = event.where + window->Frame().LeftTop();
    window->Events().Push(std::move(event));
}

DisplayEvent MakeEvent(DisplayEventType type)
{
    DisplayEvent event;
    event.type = type;
    return event;
}

// Text typed without a key of its own (input methods, composed characters)
// arrives one character at a time, each pressed and released.
void DeliverText(const std::shared_ptr<SdlWindow>& window, const char* text)
{
    std::string utf8 = text;
    std::vector<DecodedChar> chars;
    DecodeUtf8(utf8.data(), int32(utf8.size()), &chars);
    for (const DecodedChar& decoded : chars) {
        DisplayEvent event = MakeEvent(DisplayEventType::kKeyDown);
        event.bytes = utf8.substr(size_t(decoded.byteOffset), size_t(decoded.byteLength));
        event.rawChar = decoded.codePoint;
        event.modifiers = ModifiersFor(uint16(SDL_GetModState()));
        Deliver(window, event);
        event.type = DisplayEventType::kKeyUp;
        Deliver(window, event);
    }
}

} // namespace

void SdlBackend::Handle(const SDL_Event& event)
{
    if (event.type == fImpl->wakeEvent)
        return;
    switch (event.type) {
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event);
        return;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        HandleMouse(event);
        return;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
        HandleKey(event);
        return;
    case SDL_DROPBEGIN:
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
    case SDL_DROPCOMPLETE:
        HandleDrop(event);
        return;
    case SDL_QUIT:
        AppEvents().Push(MakeEvent(DisplayEventType::kQuitRequested));
        return;
    case SDL_DISPLAYEVENT:
        HandleDisplayChange();
        return;
    default:
        return;
    }
}

void SdlBackend::HandleWindowEvent(const SDL_Event& event)
{
    Impl& impl = *fImpl;
    std::shared_ptr<SdlWindow> window = impl.WindowFor(this, event.window.windowID);
    if (!window)
        return;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
        // The backing store holds the whole window: exposed parts are shown
        // again without asking the window to draw.
        impl.Present(this, window->Id(), nullptr);
        break;
    case SDL_WINDOWEVENT_MOVED: {
        int32 x = event.window.data1;
        int32 y = event.window.data2;
        if (Impl::Answered(impl.requestedPositions[window->Id()], x, y))
            break;
        BRect frame = window->Frame();
        frame.OffsetTo(impl.NativeToPoints(x), impl.NativeToPoints(y));
        if (window->UpdateFrame(frame)) {
            DisplayEvent moved = MakeEvent(DisplayEventType::kMoved);
            moved.frame = frame;
            Deliver(window, moved);
        }
        break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        HandleResize(window, event.window.data1, event.window.data2);
        break;
    case SDL_WINDOWEVENT_ENTER:
        Deliver(window, MakeEvent(DisplayEventType::kMouseEntered));
        break;
    case SDL_WINDOWEVENT_LEAVE:
        Deliver(window, MakeEvent(DisplayEventType::kMouseExited));
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST: {
        bool active = event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
        if (window->UpdateActive(active)) {
            Deliver(window,
                MakeEvent(active ? DisplayEventType::kActivated : DisplayEventType::kDeactivated));
        }
        break;
    }
    case SDL_WINDOWEVENT_CLOSE:
        Deliver(window, MakeEvent(DisplayEventType::kCloseRequested));
        break;
    default:
        break;
    }
}

void SdlBackend::HandleResize(const std::shared_ptr<SdlWindow>& window, int32 width, int32 height)
{
    if (width <= 0 || height <= 0)
        return;
    // A size the window did not ask for comes from the user: the store
    // follows and the window is told, to lay itself out and draw.
    bool requested = Impl::Answered(fImpl->requestedSizes[window->Id()], width, height);
    int32 pixelWidth = fImpl->NativeToPixels(width);
    int32 pixelHeight = fImpl->NativeToPixels(height);
    if (!requested
        && (window->Store().Width() != pixelWidth || window->Store().Height() != pixelHeight)) {
        window->Store().Resize(pixelWidth, pixelHeight);
        // The frame covers every pixel of the store, the last point perhaps
        // only in part.
        BRect frame = window->Frame();
        frame.right = frame.left + std::ceil(fImpl->NativeToPoints(width) - 0.01f) - 1;
        frame.bottom = frame.top + std::ceil(fImpl->NativeToPoints(height) - 0.01f) - 1;
        window->UpdateFrame(frame);
        DisplayEvent resized = MakeEvent(DisplayEventType::kResized);
        resized.frame = frame;
        Deliver(window, resized);
    }
    fImpl->Present(this, window->Id(), nullptr);
}

void SdlBackend::HandleMouse(const SDL_Event& event)
{
    Impl& impl = *fImpl;
    uint32 sdlId = event.type == SDL_MOUSEMOTION ? event.motion.windowID
        : event.type == SDL_MOUSEWHEEL           ? event.wheel.windowID
                                                 : event.button.windowID;
    std::shared_ptr<SdlWindow> window = impl.WindowFor(this, sdlId);
    if (!window)
        return;
    DisplayEvent mouse = MakeEvent(DisplayEventType::kMouseMoved);
    mouse.modifiers = ModifiersFor(uint16(SDL_GetModState()));
    if (event.type == SDL_MOUSEMOTION) {
        mouse.where
            = BPoint(impl.NativeToPoints(event.motion.x), impl.NativeToPoints(event.motion.y));
    } else if (event.type == SDL_MOUSEWHEEL) {
        float sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
        mouse.type = DisplayEventType::kMouseWheel;
        // SDL counts away from the user as positive; the platform scrolls
        // down for positive values.
        mouse.wheelY = -event.wheel.preciseY * sign;
        mouse.wheelX = event.wheel.preciseX * sign;
        mouse.where = BPoint(
            impl.NativeToPoints(event.wheel.mouseX), impl.NativeToPoints(event.wheel.mouseY));
    } else {
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        uint32 bit = ButtonBit(event.button.button);
        if (bit == 0)
            return;
        impl.buttons = down ? impl.buttons | bit : impl.buttons & ~bit;
        if (down)
            TakeFocusOnClick(window);
        mouse.type = down ? DisplayEventType::kMouseDown : DisplayEventType::kMouseUp;
        mouse.where
            = BPoint(impl.NativeToPoints(event.button.x), impl.NativeToPoints(event.button.y));
        mouse.clicks = down ? event.button.clicks : 0;
    }
    mouse.buttons = impl.buttons;
    impl.lastMouse[window->Id()] = mouse.where;
    Deliver(window, mouse);
}

void SdlBackend::TakeFocusOnClick(const std::shared_ptr<SdlWindow>& window)
{
    // Without a window manager (a bare X server) nothing moves the keyboard
    // focus on a click; do it here.
    SDL_Window* native = fImpl->Native(window->Id());
    if (native != nullptr && SDL_GetKeyboardFocus() != native
        && (window->Flags() & (kWindowAvoidFocus | kWindowPopup)) == 0) {
        SDL_RaiseWindow(native);
        SDL_SetWindowInputFocus(native);
    }
}

void SdlBackend::HandleKey(const SDL_Event& event)
{
    Impl& impl = *fImpl;
    if (event.type == SDL_TEXTINPUT) {
        if (std::shared_ptr<SdlWindow> window = impl.WindowFor(this, event.text.windowID))
            DeliverText(window, event.text.text);
        return;
    }
    std::shared_ptr<SdlWindow> window = impl.WindowFor(this, event.key.windowID);
    if (!window)
        return;
    bool down = event.type == SDL_KEYDOWN;
    SDL_Keycode sym = event.key.keysym.sym;
    uint32 modifiers = ModifiersFor(event.key.keysym.mod);
    if (IsModifierKey(sym)) {
        DisplayEvent changed = MakeEvent(DisplayEventType::kModifiersChanged);
        changed.modifiers = modifiers;
        Deliver(window, changed);
        return;
    }
    DisplayEvent key = MakeEvent(down ? DisplayEventType::kKeyDown : DisplayEventType::kKeyUp);
    key.key = KeyCodeFor(event.key.keysym.scancode);
    key.modifiers = modifiers;
    key.repeat = event.key.repeat != 0;
    key.rawChar = RawCharFor(sym);
    if (!down) {
        // A key-up repeats the bytes of its key-down.
        auto held = impl.heldKeys.find(key.key);
        if (held == impl.heldKeys.end())
            return;
        key.bytes = held->second;
        impl.heldKeys.erase(held);
        Deliver(window, key);
        return;
    }
    // The text a key types follows its key-down directly in SDL's queue;
    // both become one event. Keys that type nothing (editing keys, command
    // shortcuts) leave a following text alone: it came from somewhere else,
    // an input method for instance.
    std::string keyBytes = BytesForKey(sym, modifiers);
    bool controlByte
        = keyBytes.size() == 1 && (uint8(keyBytes[0]) < 0x20 || keyBytes[0] == KeyBytes::kDelete);
    SDL_Event next;
    if (!controlByte && (modifiers & kCommandKey) == 0
        && SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1
        && next.type == SDL_TEXTINPUT && next.text.windowID == event.key.windowID) {
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
        key.bytes = next.text.text;
    }
    if (key.bytes.empty())
        key.bytes = keyBytes;
    if (key.bytes.empty())
        return;
    impl.heldKeys[key.key] = key.bytes;
    Deliver(window, key);
}

void SdlBackend::HandleDrop(const SDL_Event& event)
{
    Impl& impl = *fImpl;
    uint32 sdlId = event.drop.windowID;
    if (sdlId == 0 && SDL_GetMouseFocus() != nullptr)
        sdlId = SDL_GetWindowID(SDL_GetMouseFocus());
    std::shared_ptr<SdlWindow> window = impl.WindowFor(this, sdlId);
    if (event.type == SDL_DROPFILE && window && event.drop.file != nullptr)
        impl.drops[window->Id()].push_back(event.drop.file);
    if (event.drop.file != nullptr)
        SDL_free(event.drop.file);
    if (event.type != SDL_DROPCOMPLETE || !window)
        return;
    std::vector<std::string> paths = std::move(impl.drops[window->Id()]);
    impl.drops.erase(window->Id());
    if (paths.empty())
        return;
    // SDL does not say where files were dropped: the pointer is there.
    int x = 0, y = 0, left = 0, top = 0;
    SDL_GetGlobalMouseState(&x, &y);
    if (SDL_Window* native = impl.Native(window->Id()))
        SDL_GetWindowPosition(native, &left, &top);
    DisplayEvent dropped = MakeEvent(DisplayEventType::kFilesDropped);
    dropped.where = BPoint(impl.NativeToPoints(x - left), impl.NativeToPoints(y - top));
    dropped.paths = std::move(paths);
    Deliver(window, dropped);
}

void SdlBackend::HandleDisplayChange()
{
    ScreenInfo screen = ReadSdlScreen(fImpl->scale);
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (screen.frame == fScreen.frame && screen.colorSpace == fScreen.colorSpace)
            return;
        fScreen = screen;
    }
    DisplayEvent changed = MakeEvent(DisplayEventType::kScreenChanged);
    changed.frame = screen.frame;
    AppEvents().Push(changed);
}

} // namespace BPrivate
