#pragma once

// The few D-Bus calls the installer makes to the desktop: asking logind
// whether the machine may be restarted (or powered off) and doing it, and
// asking the desktop's file manager to show a folder or an item. The calls
// go through sd-bus (libsystemd); the buses are the ones the standard
// variables name (DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus;
// DBUS_SYSTEM_BUS_ADDRESS, else the system's socket), or any address given.
//
// Nothing here waits long: every call has a time-out, and a missing bus or
// service is an error the caller can fall back from. The restart itself is
// asked with interactive authorization allowed, so that polkit may ask for a
// password when other users are logged in.
//
// An object talks to one bus from one thread at a time.

#include <string>
#include <vector>

#include <OS.h>
#include <SupportDefs.h>

struct sd_bus;

namespace BPrivate {

class DesktopBus {
public:
    enum bus_kind { B_SESSION_BUS, B_SYSTEM_BUS };

    // How long a call may take; a restart may wait for a password.
    static constexpr bigtime_t kCallTimeout = 10000000;
    static constexpr bigtime_t kAuthorizationTimeout = 300000000;

    DesktopBus();
    ~DesktopBus();
    DesktopBus(const DesktopBus&) = delete;
    DesktopBus& operator=(const DesktopBus&) = delete;

    // Connects to the bus of that kind, or to the bus at `address`
    // ("unix:path=..."). B_UNSUPPORTED when there is no such bus.
    status_t Connect(bus_kind kind);
    status_t ConnectTo(const char* address);
    bool IsConnected() const { return fBus != nullptr; }

    // logind (org.freedesktop.login1.Manager). The answers of CanReboot and
    // CanPowerOff are "yes", "no", "challenge" or "na".
    status_t CanReboot(std::string* answer);
    status_t Reboot(bool interactive);
    status_t CanPowerOff(std::string* answer);
    status_t PowerOff(bool interactive);

    // Asks first, then restarts (or powers off) when logind says the caller
    // may ("yes", or "challenge": polkit will ask). B_NOT_ALLOWED when it
    // says no.
    status_t RestartIfAllowed();
    status_t PowerOffIfAllowed();

    // The file manager (org.freedesktop.FileManager1): shows folders, shows
    // items selected in their folders, shows items' properties. The start-up
    // id is XDG_ACTIVATION_TOKEN or DESKTOP_STARTUP_ID when set.
    status_t ShowFolders(const std::vector<std::string>& paths);
    status_t ShowItems(const std::vector<std::string>& paths);
    status_t ShowItemProperties(const std::vector<std::string>& paths);

    // A file:// URI with every byte but the unreserved ones and '/'
    // percent-encoded.
    static std::string FileUri(const std::string& path);

private:
    status_t CallLogin(const char* method, const char* signature, bool flag, bool interactive,
        std::string* answer);
    status_t CallFileManager(const char* method, const std::vector<std::string>& paths);

    sd_bus* fBus;
};

} // namespace BPrivate
