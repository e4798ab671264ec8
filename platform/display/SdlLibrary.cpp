// SDL, loaded when the program first asks for a window or for sound.
//
// No program of ours links libSDL2: the installer must start on a machine
// that has nothing but the C library (a server reached over SSH, a fresh
// container), where it walks its steps on the terminal instead. SDL and,
// through it, the display and sound libraries (Xlib, Wayland, ALSA,
// PulseAudio) are opened at run time, the first time one of the functions
// below is called. Each function of SDL that the platform uses is defined
// here under its own name and forwards to the library. Without the library,
// starting a subsystem fails with a reason (SDL_GetError names the missing
// library), so the display layer falls back to no windows and the media kit
// plays silently; every other function does nothing, as it is only ever
// called after a successful start.

#include <SDL.h>

#include <RuntimeLibrary.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace BPrivate {

namespace {

RuntimeLibrary& Sdl()
{
    static RuntimeLibrary sLibrary("libSDL2-2.0.so.0");
    return sLibrary;
}

template <typename F> F Find(const char* name)
{
    return RuntimeFunction<F>(Sdl(), name);
}

} // namespace

} // namespace BPrivate

// Defines SDL's function `name` to call the library's, or to return
// `missing` without it.
#define BRENVIK_SDL(result, name, params, args, missing)                                           \
    extern "C" result SDLCALL name params                                                          \
    {                                                                                              \
        static auto* function = BPrivate::Find<decltype(&::name)>(#name);                          \
        if (function == nullptr)                                                                   \
            return missing;                                                                        \
        return function args;                                                                      \
    }

#define BRENVIK_SDL_VOID(name, params, args)                                                       \
    extern "C" void SDLCALL name params                                                            \
    {                                                                                              \
        static auto* function = BPrivate::Find<decltype(&::name)>(#name);                          \
        if (function != nullptr)                                                                   \
            function args;                                                                         \
    }

extern "C" const char* SDLCALL SDL_GetError(void)
{
    static auto* function = BPrivate::Find<decltype(&::SDL_GetError)>("SDL_GetError");
    if (function != nullptr)
        return function();
    static const std::string sText = BPrivate::Sdl().ErrorText();
    return sText.c_str();
}

BRENVIK_SDL(int, SDL_Init, (Uint32 flags), (flags), -1)
BRENVIK_SDL(int, SDL_InitSubSystem, (Uint32 flags), (flags), -1)
BRENVIK_SDL_VOID(SDL_Quit, (void), ())
BRENVIK_SDL(SDL_bool, SDL_SetHint, (const char* name, const char* value), (name, value), SDL_FALSE)
BRENVIK_SDL(int, SDL_PushEvent, (SDL_Event * event), (event), -1)
BRENVIK_SDL(int, SDL_PeepEvents,
    (SDL_Event * events, int count, SDL_eventaction action, Uint32 minType, Uint32 maxType),
    (events, count, action, minType, maxType), -1)
BRENVIK_SDL(int, SDL_PollEvent, (SDL_Event * event), (event), 0)
BRENVIK_SDL(int, SDL_WaitEventTimeout, (SDL_Event * event, int timeout), (event, timeout), 0)
BRENVIK_SDL(Uint32, SDL_RegisterEvents, (int count), (count), Uint32(-1))
BRENVIK_SDL(Uint8, SDL_EventState, (Uint32 type, int state), (type, state), 0)
BRENVIK_SDL_VOID(SDL_StartTextInput, (void), ())
BRENVIK_SDL(const char*, SDL_GetCurrentVideoDriver, (void), (), nullptr)
BRENVIK_SDL(int, SDL_GetDesktopDisplayMode, (int displayIndex, SDL_DisplayMode* mode),
    (displayIndex, mode), -1)
BRENVIK_SDL(int, SDL_GetDisplayMode, (int displayIndex, int modeIndex, SDL_DisplayMode* mode),
    (displayIndex, modeIndex, mode), -1)
BRENVIK_SDL(int, SDL_GetDisplayBounds, (int displayIndex, SDL_Rect* rect), (displayIndex, rect), -1)
BRENVIK_SDL(SDL_Window*, SDL_CreateWindow,
    (const char* title, int x, int y, int w, int h, Uint32 flags), (title, x, y, w, h, flags),
    nullptr)
BRENVIK_SDL_VOID(SDL_DestroyWindow, (SDL_Window * window), (window))
BRENVIK_SDL(Uint32, SDL_GetWindowID, (SDL_Window * window), (window), 0)
BRENVIK_SDL_VOID(SDL_RaiseWindow, (SDL_Window * window), (window))
BRENVIK_SDL(int, SDL_SetWindowInputFocus, (SDL_Window * window), (window), -1)
BRENVIK_SDL(SDL_Surface*, SDL_GetWindowSurface, (SDL_Window * window), (window), nullptr)
BRENVIK_SDL(int, SDL_UpdateWindowSurfaceRects,
    (SDL_Window * window, const SDL_Rect* rects, int count), (window, rects, count), -1)
BRENVIK_SDL(int, SDL_LockSurface, (SDL_Surface * surface), (surface), -1)
BRENVIK_SDL_VOID(SDL_UnlockSurface, (SDL_Surface * surface), (surface))
BRENVIK_SDL_VOID(SDL_ShowWindow, (SDL_Window * window), (window))
BRENVIK_SDL_VOID(SDL_HideWindow, (SDL_Window * window), (window))
BRENVIK_SDL_VOID(SDL_SetWindowTitle, (SDL_Window * window, const char* title), (window, title))
BRENVIK_SDL_VOID(SDL_SetWindowSize, (SDL_Window * window, int w, int h), (window, w, h))
BRENVIK_SDL_VOID(SDL_SetWindowPosition, (SDL_Window * window, int x, int y), (window, x, y))
BRENVIK_SDL_VOID(SDL_GetWindowPosition, (SDL_Window * window, int* x, int* y), (window, x, y))
BRENVIK_SDL(SDL_Window*, SDL_GetMouseFocus, (void), (), nullptr)
BRENVIK_SDL(SDL_Window*, SDL_GetKeyboardFocus, (void), (), nullptr)
BRENVIK_SDL(Uint32, SDL_GetGlobalMouseState, (int* x, int* y), (x, y), 0)
BRENVIK_SDL(SDL_Keymod, SDL_GetModState, (void), (), KMOD_NONE)
BRENVIK_SDL(int, SDL_ConvertPixels,
    (int width, int height, Uint32 sourceFormat, const void* source, int sourcePitch,
        Uint32 targetFormat, void* target, int targetPitch),
    (width, height, sourceFormat, source, sourcePitch, targetFormat, target, targetPitch), -1)
BRENVIK_SDL(int, SDL_AudioInit, (const char* driver), (driver), -1)
BRENVIK_SDL_VOID(SDL_AudioQuit, (void), ())
BRENVIK_SDL(const char*, SDL_GetCurrentAudioDriver, (void), (), nullptr)
BRENVIK_SDL(SDL_AudioDeviceID, SDL_OpenAudioDevice,
    (const char* device, int capture, const SDL_AudioSpec* desired, SDL_AudioSpec* obtained,
        int allowedChanges),
    (device, capture, desired, obtained, allowedChanges), 0)
BRENVIK_SDL_VOID(SDL_CloseAudioDevice, (SDL_AudioDeviceID device), (device))
BRENVIK_SDL_VOID(SDL_PauseAudioDevice, (SDL_AudioDeviceID device, int pause), (device, pause))
BRENVIK_SDL(SDL_AudioStream*, SDL_NewAudioStream,
    (const SDL_AudioFormat sourceFormat, const Uint8 sourceChannels, const int sourceRate,
        const SDL_AudioFormat targetFormat, const Uint8 targetChannels, const int targetRate),
    (sourceFormat, sourceChannels, sourceRate, targetFormat, targetChannels, targetRate), nullptr)
BRENVIK_SDL_VOID(SDL_FreeAudioStream, (SDL_AudioStream * stream), (stream))
BRENVIK_SDL(int, SDL_AudioStreamPut, (SDL_AudioStream * stream, const void* data, int length),
    (stream, data, length), -1)
BRENVIK_SDL(int, SDL_AudioStreamGet, (SDL_AudioStream * stream, void* data, int length),
    (stream, data, length), -1)
BRENVIK_SDL(int, SDL_AudioStreamFlush, (SDL_AudioStream * stream), (stream), -1)
BRENVIK_SDL(int, SDL_AudioStreamAvailable, (SDL_AudioStream * stream), (stream), 0)

// SDL's memory and string helpers: SDL's own when it is there, so that what
// SDL allocated is freed by it; the C library's otherwise.
BRENVIK_SDL(char*, SDL_strdup, (const char* text), (text), strdup(text))
BRENVIK_SDL(void*, SDL_memset, (void* target, int value, size_t size), (target, value, size),
    memset(target, value, size))

extern "C" void SDLCALL SDL_free(void* memory)
{
    static auto* function = BPrivate::Find<decltype(&::SDL_free)>("SDL_free");
    if (function != nullptr)
        function(memory);
    else
        free(memory);
}

extern "C" size_t SDLCALL SDL_strlcpy(char* target, const char* source, size_t size)
{
    static auto* function = BPrivate::Find<decltype(&::SDL_strlcpy)>("SDL_strlcpy");
    if (function != nullptr)
        return function(target, source, size);
    size_t length = strlen(source);
    if (size > 0) {
        size_t count = length < size - 1 ? length : size - 1;
        memcpy(target, source, count);
        target[count] = '\0';
    }
    return length;
}
