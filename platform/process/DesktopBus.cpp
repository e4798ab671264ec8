#include "DesktopBus.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <systemd/sd-bus.h>

#include <Environment.h>

namespace BPrivate {

namespace {

const char* const kLoginService = "org.freedesktop.login1";
const char* const kLoginPath = "/org/freedesktop/login1";
const char* const kLoginInterface = "org.freedesktop.login1.Manager";
const char* const kFileManagerService = "org.freedesktop.FileManager1";
const char* const kFileManagerPath = "/org/freedesktop/FileManager1";
const char* const kFileManagerInterface = "org.freedesktop.FileManager1";

// The status of a failed call, from its D-Bus error or its errno.
status_t StatusOf(const sd_bus_error& error, int result)
{
    if (sd_bus_error_is_set(&error)) {
        if (sd_bus_error_has_names(&error, SD_BUS_ERROR_SERVICE_UNKNOWN,
                SD_BUS_ERROR_NAME_HAS_NO_OWNER, SD_BUS_ERROR_UNKNOWN_OBJECT,
                SD_BUS_ERROR_UNKNOWN_METHOD, SD_BUS_ERROR_UNKNOWN_INTERFACE))
            return B_NAME_NOT_FOUND;
        if (sd_bus_error_has_names(&error, SD_BUS_ERROR_ACCESS_DENIED,
                SD_BUS_ERROR_INTERACTIVE_AUTHORIZATION_REQUIRED, SD_BUS_ERROR_AUTH_FAILED))
            return B_PERMISSION_DENIED;
        if (sd_bus_error_has_names(&error, SD_BUS_ERROR_NO_REPLY, SD_BUS_ERROR_TIMEOUT))
            return B_TIMED_OUT;
        return B_ERROR;
    }
    return result < 0 ? StatusFromErrno(-result) : B_ERROR;
}

const char* StartupId()
{
    const char* token = Environment::Get("XDG_ACTIVATION_TOKEN");
    if (token == nullptr)
        token = Environment::Get("DESKTOP_STARTUP_ID");
    return token != nullptr ? token : "";
}

bool MayGoOn(const std::string& answer)
{
    return answer == "yes" || answer == "challenge";
}

} // namespace

DesktopBus::DesktopBus()
    : fBus(nullptr)
{
}

DesktopBus::~DesktopBus()
{
    if (fBus != nullptr)
        sd_bus_flush_close_unref(fBus);
}

status_t DesktopBus::Connect(bus_kind kind)
{
    if (fBus != nullptr)
        return B_OK;
    int result = kind == B_SYSTEM_BUS ? sd_bus_open_system(&fBus) : sd_bus_open_user(&fBus);
    if (result < 0) {
        fBus = nullptr;
        return B_UNSUPPORTED;
    }
    return B_OK;
}

status_t DesktopBus::ConnectTo(const char* address)
{
    if (address == nullptr || fBus != nullptr)
        return B_BAD_VALUE;
    sd_bus* bus = nullptr;
    int result = sd_bus_new(&bus);
    if (result >= 0)
        result = sd_bus_set_address(bus, address);
    if (result >= 0)
        result = sd_bus_set_bus_client(bus, 1);
    if (result >= 0)
        result = sd_bus_start(bus);
    if (result < 0) {
        sd_bus_unref(bus);
        return B_UNSUPPORTED;
    }
    fBus = bus;
    return B_OK;
}

status_t DesktopBus::CallLogin(
    const char* method, const char* signature, bool flag, bool interactive, std::string* answer)
{
    if (fBus == nullptr)
        return B_NO_INIT;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int result = sd_bus_message_new_method_call(
        fBus, &call, kLoginService, kLoginPath, kLoginInterface, method);
    if (result >= 0 && signature != nullptr)
        result = sd_bus_message_append(call, signature, int(flag));
    if (result >= 0)
        result = sd_bus_message_set_allow_interactive_authorization(call, interactive);
    if (result >= 0) {
        result = sd_bus_call(
            fBus, call, interactive ? kAuthorizationTimeout : kCallTimeout, &error, &reply);
    }
    const char* text = nullptr;
    if (result >= 0 && answer != nullptr) {
        result = sd_bus_message_read(reply, "s", &text);
        if (result >= 0)
            *answer = text;
    }
    status_t status = result >= 0 ? B_OK : StatusOf(error, result);
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    return status;
}

status_t DesktopBus::CanReboot(std::string* answer)
{
    return CallLogin("CanReboot", nullptr, false, false, answer);
}

status_t DesktopBus::Reboot(bool interactive)
{
    return CallLogin("Reboot", "b", interactive, interactive, nullptr);
}

status_t DesktopBus::CanPowerOff(std::string* answer)
{
    return CallLogin("CanPowerOff", nullptr, false, false, answer);
}

status_t DesktopBus::PowerOff(bool interactive)
{
    return CallLogin("PowerOff", "b", interactive, interactive, nullptr);
}

status_t DesktopBus::RestartIfAllowed()
{
    std::string answer;
    status_t status = CanReboot(&answer);
    if (status != B_OK)
        return status;
    return MayGoOn(answer) ? Reboot(true) : B_NOT_ALLOWED;
}

status_t DesktopBus::PowerOffIfAllowed()
{
    std::string answer;
    status_t status = CanPowerOff(&answer);
    if (status != B_OK)
        return status;
    return MayGoOn(answer) ? PowerOff(true) : B_NOT_ALLOWED;
}

status_t DesktopBus::CallFileManager(const char* method, const std::vector<std::string>& paths)
{
    if (fBus == nullptr)
        return B_NO_INIT;
    if (paths.empty())
        return B_BAD_VALUE;
    std::vector<std::string> uris;
    std::vector<char*> list;
    for (const std::string& path : paths)
        uris.push_back(FileUri(path));
    for (std::string& uri : uris)
        list.push_back(uri.data());
    list.push_back(nullptr);
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int result = sd_bus_message_new_method_call(
        fBus, &call, kFileManagerService, kFileManagerPath, kFileManagerInterface, method);
    if (result >= 0)
        result = sd_bus_message_append_strv(call, list.data());
    if (result >= 0)
        result = sd_bus_message_append(call, "s", StartupId());
    if (result >= 0)
        result = sd_bus_call(fBus, call, kCallTimeout, &error, &reply);
    status_t status = result >= 0 ? B_OK : StatusOf(error, result);
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    return status;
}

status_t DesktopBus::ShowFolders(const std::vector<std::string>& paths)
{
    return CallFileManager("ShowFolders", paths);
}

status_t DesktopBus::ShowItems(const std::vector<std::string>& paths)
{
    return CallFileManager("ShowItems", paths);
}

status_t DesktopBus::ShowItemProperties(const std::vector<std::string>& paths)
{
    return CallFileManager("ShowItemProperties", paths);
}

std::string DesktopBus::FileUri(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += char(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

} // namespace BPrivate
