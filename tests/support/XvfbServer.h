#pragma once

// An X server of a test's own: Xvfb on a display number nobody uses, for the
// tests and benchmarks that need a real display. Header-only, so that test
// programs and benchmark programs can both use it.

#include <ChildProcess.h>
#include <WaitUntil.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace brenvik::test {

// The full path of a program found along PATH; empty when there is none.
inline std::string FindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { Stop(); }

    // Starts Xvfb (the program at `program`, or the one along PATH) on the
    // first free display number from `first` to `last`, and waits until it
    // takes connections. Test programs run side by side, so each uses a
    // range of its own; a number taken meanwhile by another server makes
    // Xvfb end at once, and the next number is tried.
    bool Start(
        int first, int last, const std::string& screen = "1024x768x24", std::string program = "")
    {
        if (program.empty())
            program = FindProgram("Xvfb");
        if (program.empty())
            return false;
        for (int number = first; number <= last; number++) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (Exists(socket) || Exists(lock))
                continue;
            std::vector<std::string> arguments = { program, ":" + std::to_string(number), "-screen",
                "0", screen, "-nolisten", "tcp", "-noreset" };
            fPid = Spawn(arguments, "", true);
            if (fPid < 0)
                return false;
            bool exited = false;
            bool ready = WaitUntil([&] {
                int status;
                if (waitpid(fPid, &status, WNOHANG) == fPid) {
                    exited = true;
                    return true;
                }
                return Exists(socket);
            });
            if (ready && !exited) {
                fDisplay = ":" + std::to_string(number);
                return true;
            }
            if (exited)
                fPid = -1;
            else
                Stop();
        }
        return false;
    }

    void Stop()
    {
        if (fPid <= 0)
            return;
        kill(fPid, SIGTERM);
        int status;
        while (waitpid(fPid, &status, 0) < 0 && errno == EINTR) { }
        fPid = -1;
        fDisplay.clear();
    }

    // ":N", once started.
    const std::string& Display() const { return fDisplay; }

private:
    static bool Exists(const std::string& path)
    {
        struct stat info;
        return stat(path.c_str(), &info) == 0;
    }

    pid_t fPid = -1;
    std::string fDisplay;
};

} // namespace brenvik::test
