#include "RuntimeLibrary.h"

#include <dlfcn.h>
#include <string_view>

#include <Environment.h>

namespace BPrivate {

RuntimeLibrary::RuntimeLibrary(const char* soname, bool onlyIfLoaded)
    : fSoname(soname)
    , fOnlyIfLoaded(onlyIfLoaded)
{
}

bool RuntimeLibrary::Refused(const char* soname)
{
    const char* list = Environment::Get("BRENVIK_NO_RUNTIME_LIBRARIES");
    if (list == nullptr)
        return false;
    std::string_view rest(list);
    std::string_view wanted(soname);
    while (!rest.empty()) {
        size_t colon = rest.find(':');
        if (rest.substr(0, colon) == wanted)
            return true;
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    return false;
}

void RuntimeLibrary::Open()
{
    if (Refused(fSoname)) {
        fError = std::string(fSoname) + " is not used here (BRENVIK_NO_RUNTIME_LIBRARIES)";
        return;
    }
    int flags = RTLD_NOW | RTLD_LOCAL | (fOnlyIfLoaded ? RTLD_NOLOAD : 0);
    fHandle = dlopen(fSoname, flags);
    if (fHandle == nullptr) {
        const char* error = dlerror();
        fError = fOnlyIfLoaded ? std::string(fSoname) + " is not loaded"
                               : (error != nullptr ? error : std::string(fSoname) + " is missing");
    }
    // Never closed: functions of the library may be running on other
    // threads until the process ends.
}

bool RuntimeLibrary::Available()
{
    std::call_once(fOnce, [this] { Open(); });
    return fHandle != nullptr;
}

void* RuntimeLibrary::Symbol(const char* name)
{
    if (!Available())
        return nullptr;
    return dlsym(fHandle, name);
}

std::string RuntimeLibrary::ErrorText()
{
    Available();
    return fError;
}

} // namespace BPrivate
