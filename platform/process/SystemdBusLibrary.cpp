// The D-Bus client of libsystemd (sd-bus), loaded when the desktop bus is
// first used.
//
// The installer and the de-installer must start on machines without
// libsystemd (other init systems, containers, minimal servers). The sd-bus
// functions DesktopBus uses are defined here under their own names and
// forward to the library, opened at run time. Without it, opening a bus
// fails with ENOSYS, so DesktopBus reports its actions unavailable and the
// pass goes on; the other functions are only called on a bus that opened.

#include <systemd/sd-bus.h>

#include <RuntimeLibrary.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace BPrivate {

namespace {

template <typename F> F Find(const char* name)
{
    static RuntimeLibrary sLibrary("libsystemd.so.0");
    return RuntimeFunction<F>(sLibrary, name);
}

} // namespace

} // namespace BPrivate

#define BRENVIK_SD(result, name, params, args, missing)                                            \
    extern "C" result name params                                                                  \
    {                                                                                              \
        static auto* function = BPrivate::Find<decltype(&::name)>(#name);                          \
        if (function == nullptr)                                                                   \
            return missing;                                                                        \
        return function args;                                                                      \
    }

BRENVIK_SD(int, sd_bus_open_user, (sd_bus * *bus), (bus), -ENOSYS)
BRENVIK_SD(int, sd_bus_open_system, (sd_bus * *bus), (bus), -ENOSYS)
BRENVIK_SD(int, sd_bus_new, (sd_bus * *bus), (bus), -ENOSYS)
BRENVIK_SD(int, sd_bus_set_address, (sd_bus * bus, const char* address), (bus, address), -ENOSYS)
BRENVIK_SD(int, sd_bus_set_bus_client, (sd_bus * bus, int client), (bus, client), -ENOSYS)
BRENVIK_SD(int, sd_bus_start, (sd_bus * bus), (bus), -ENOSYS)
BRENVIK_SD(sd_bus*, sd_bus_unref, (sd_bus * bus), (bus), nullptr)
BRENVIK_SD(sd_bus*, sd_bus_flush_close_unref, (sd_bus * bus), (bus), nullptr)
BRENVIK_SD(int, sd_bus_call,
    (sd_bus * bus, sd_bus_message* message, uint64_t timeout, sd_bus_error* error,
        sd_bus_message** reply),
    (bus, message, timeout, error, reply), -ENOSYS)
BRENVIK_SD(int, sd_bus_message_new_method_call,
    (sd_bus * bus, sd_bus_message** message, const char* destination, const char* path,
        const char* interface, const char* member),
    (bus, message, destination, path, interface, member), -ENOSYS)
BRENVIK_SD(sd_bus_message*, sd_bus_message_unref, (sd_bus_message * message), (message), nullptr)
BRENVIK_SD(int, sd_bus_message_set_allow_interactive_authorization,
    (sd_bus_message * message, int allow), (message, allow), -ENOSYS)
BRENVIK_SD(int, sd_bus_message_appendv, (sd_bus_message * message, const char* types, va_list ap),
    (message, types, ap), -ENOSYS)
BRENVIK_SD(int, sd_bus_message_append_strv, (sd_bus_message * message, char** list),
    (message, list), -ENOSYS)
BRENVIK_SD(int, sd_bus_message_readv, (sd_bus_message * message, const char* types, va_list ap),
    (message, types, ap), -ENOSYS)

extern "C" int sd_bus_message_append(sd_bus_message* message, const char* types, ...)
{
    va_list ap;
    va_start(ap, types);
    int result = sd_bus_message_appendv(message, types, ap);
    va_end(ap);
    return result;
}

extern "C" int sd_bus_message_read(sd_bus_message* message, const char* types, ...)
{
    va_list ap;
    va_start(ap, types);
    int result = sd_bus_message_readv(message, types, ap);
    va_end(ap);
    return result;
}

// The error's fields are public; these two need nothing of the library.
extern "C" int sd_bus_error_is_set(const sd_bus_error* error)
{
    return error != nullptr && error->name != nullptr;
}

extern "C" int sd_bus_error_has_names_sentinel(const sd_bus_error* error, ...)
{
    if (error == nullptr || error->name == nullptr)
        return 0;
    va_list ap;
    va_start(ap, error);
    int found = 0;
    while (const char* name = va_arg(ap, const char*)) {
        if (std::strcmp(name, error->name) == 0) {
            found = 1;
            break;
        }
    }
    va_end(ap);
    return found;
}

extern "C" void sd_bus_error_free(sd_bus_error* error)
{
    static auto* function = BPrivate::Find<decltype(&::sd_bus_error_free)>("sd_bus_error_free");
    // Only the library sets an error, so without it there is nothing to free.
    if (function != nullptr)
        function(error);
}
