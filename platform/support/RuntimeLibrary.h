#pragma once

// RuntimeLibrary: a shared library that the program loads when it first
// needs it, never at start-up. The installer must start on machines that
// have nothing but the C library, so the libraries that only a desktop has
// (SDL with its display and sound drivers, Xlib, the D-Bus client of
// libsystemd) are opened here, by their sonames, and their functions found
// one by one. A library that is not there is simply unavailable: Symbol()
// answers nullptr, and the callers report the feature as missing.

#include <mutex>
#include <string>

namespace BPrivate {

class RuntimeLibrary {
public:
    // soname is kept by pointer: pass a string literal. With onlyIfLoaded,
    // the library is used only when something else already brought it into
    // the process (it is never loaded for our sake).
    explicit RuntimeLibrary(const char* soname, bool onlyIfLoaded = false);
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

    // Whether the library could be opened. The first call opens it.
    bool Available();
    // The address of a symbol of the library, nullptr when the library or
    // the symbol is missing.
    void* Symbol(const char* name);
    // Why the library is unavailable (empty while it is available).
    std::string ErrorText();

    // BRENVIK_NO_RUNTIME_LIBRARIES, a colon-separated list of sonames, makes
    // those libraries unavailable, as on a machine without them.
    static bool Refused(const char* soname);

private:
    void Open();

    const char* fSoname;
    bool fOnlyIfLoaded;
    std::once_flag fOnce;
    void* fHandle = nullptr;
    std::string fError;
};

// The function of type F named name, from library; nullptr when missing.
template <typename F> F RuntimeFunction(RuntimeLibrary& library, const char* name)
{
    return reinterpret_cast<F>(library.Symbol(name));
}

} // namespace BPrivate
