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

#include "SdlBackendImpl.h"

#ifdef BRENVIK_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xproto.h>

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
    // Installed again after someone else replaced it, chaining to theirs.
    XErrorHandler current = XSetErrorHandler(FilterError);
    if (current != FilterError)
        sPreviousHandler = current;
}

} // namespace BPrivate

#else

namespace BPrivate {

void IgnoreLateWakeUpErrors() { }

} // namespace BPrivate

#endif
