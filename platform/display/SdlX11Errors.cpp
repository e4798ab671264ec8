// The X error filter of the SDL backend on X11.
//
// SDL wakes its event wait from other threads (SDL_PushEvent) by sending a
// client message to one of the program's windows over a second X
// connection. The display thread may destroy that window before the X server
// has handled the message; the server then answers the late message with a
// BadWindow error, and Xlib's default handler ends the whole program with
// exit status 1 — often only when SDL closes its connections as the program
// quits. That error says nothing about the program's state (the wake-up is no
// longer needed), so it alone is ignored; every other error goes to the
// handler that was in place before.
//
// Xlib is never linked: it is in the process only when SDL runs on X11 (SDL
// brings it in), and only then is the filter installed, through the library
// already loaded.

#include "SdlBackendImpl.h"

#ifdef BRENVIK_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <dlfcn.h>
#include <mutex>

namespace BPrivate {

namespace {

XErrorHandler sPreviousHandler = nullptr;

int FilterError(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow && error->request_code == X_SendEvent)
        return 0;
    return sPreviousHandler != nullptr ? sPreviousHandler(display, error) : 0;
}

} // namespace

void IgnoreLateWakeUpErrors()
{
    static std::mutex sLock;
    std::lock_guard<std::mutex> lock(sLock);
    // Kept open once found: the filter stays installed in it.
    static void* sXlib = nullptr;
    if (sXlib == nullptr)
        sXlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (sXlib == nullptr)
        return;
    auto setHandler
        = reinterpret_cast<decltype(&XSetErrorHandler)>(dlsym(sXlib, "XSetErrorHandler"));
    if (setHandler == nullptr)
        return;
    // Installed again after someone else replaced it, chaining to theirs.
    XErrorHandler current = setHandler(FilterError);
    if (current != FilterError)
        sPreviousHandler = current;
}

} // namespace BPrivate

#else

namespace BPrivate {

void IgnoreLateWakeUpErrors() { }

} // namespace BPrivate

#endif
