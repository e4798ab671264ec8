// The X server's resource string (what xrdb loaded: Xft.dpi and the like),
// read when the SDL backend starts on X11 to learn the desktop's scale.
//
// As with the error filter, Xlib is never linked: SDL has loaded it when it
// runs on X11, and it is looked up in the process. The string comes with the
// connection (Xlib reads the root window's RESOURCE_MANAGER property when it
// opens a display), so reading it costs one short-lived connection.

#include "SdlBackendImpl.h"

#ifdef BRENVIK_HAVE_X11
#include <X11/Xlib.h>

#include <dlfcn.h>

namespace BPrivate {

std::string ReadXResources()
{
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr)
        return "";
    auto open = reinterpret_cast<decltype(&XOpenDisplay)>(dlsym(xlib, "XOpenDisplay"));
    auto close = reinterpret_cast<decltype(&XCloseDisplay)>(dlsym(xlib, "XCloseDisplay"));
    auto resources = reinterpret_cast<decltype(&XResourceManagerString)>(
        dlsym(xlib, "XResourceManagerString"));
    std::string text;
    if (open != nullptr && close != nullptr && resources != nullptr) {
        if (Display* display = open(nullptr)) {
            if (const char* string = resources(display))
                text = string;
            close(display);
        }
    }
    dlclose(xlib);
    return text;
}

} // namespace BPrivate

#else

namespace BPrivate {

std::string ReadXResources()
{
    return "";
}

} // namespace BPrivate

#endif
