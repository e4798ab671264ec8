#include "TestSandbox.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace brenvik::test {

namespace {

std::string sRoot;
std::atomic<int> sCounter { 0 };

void RemoveSandbox()
{
    if (sRoot.empty() || std::getenv("BRENVIK_KEEP_SANDBOX") != nullptr)
        return;
    std::error_code error;
    std::filesystem::remove_all(sRoot, error);
}

void SetFolderVariable(const char* name, const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    setenv(name, path.c_str(), 1);
}

} // namespace

void EnterSandbox()
{
    if (!sRoot.empty())
        return;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern
        = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/brenvik-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("brenvik tests: cannot create the sandbox folder");
        std::_Exit(2);
    }
    sRoot = pattern;
    SetFolderVariable("HOME", sRoot + "/home");
    SetFolderVariable("XDG_CONFIG_HOME", sRoot + "/home/.config");
    SetFolderVariable("XDG_DATA_HOME", sRoot + "/home/.local/share");
    SetFolderVariable("XDG_CACHE_HOME", sRoot + "/home/.cache");
    SetFolderVariable("XDG_STATE_HOME", sRoot + "/home/.local/state");
    SetFolderVariable("XDG_RUNTIME_DIR", sRoot + "/run");
    SetFolderVariable("BRENVIK_ROOT", sRoot + "/root");
    SetFolderVariable("TMPDIR", sRoot + "/tmp");
    setenv("XDG_CONFIG_DIRS", (sRoot + "/root/etc/xdg").c_str(), 1);
    setenv("XDG_DATA_DIRS", (sRoot + "/root/usr/share").c_str(), 1);
    setenv("BRENVIK_ACTIONS_LOG", (sRoot + "/actions.log").c_str(), 1);
    // A root run that sudo started ignores the actions log (Environment.h):
    // tests run with `sudo make check` must still only log theirs.
    unsetenv("SUDO_UID");
    // No test talks to the desktop's buses: the session bus is gone and the
    // system bus is a socket that does not exist. Tests of the D-Bus calls
    // start buses of their own.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + sRoot + "/run/no-system-bus").c_str(), 1);
    // Windows are drawn at scale 1 unless a test asks for another; the
    // desktop's scale settings are not the tests'.
    for (const char* name : { "BRENVIK_SCALE", "GDK_SCALE", "GDK_DPI_SCALE", "QT_SCALE_FACTOR" }) {
        unsetenv(name);
    }
    if (std::getenv("BRENVIK_DISPLAY") == nullptr)
        setenv("BRENVIK_DISPLAY", "headless", 1);
    std::atexit(RemoveSandbox);
}

const std::string& SandboxRoot()
{
    return sRoot;
}

std::string MakeTempFolder(const std::string& hint)
{
    std::string path = sRoot + "/tmp/" + hint + "-" + std::to_string(getpid()) + "-"
        + std::to_string(sCounter.fetch_add(1));
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return path;
}

} // namespace brenvik::test
