#pragma once

// Descriptor: owns one file descriptor and closes it when it goes, however
// the scope is left (an early return, or a killed thread's unwinding).

#include <unistd.h>
#include <utility>

namespace BPrivate {

class Descriptor {
public:
    explicit Descriptor(int fd = -1)
        : fFd(fd)
    {
    }
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept
        : fFd(other.Release())
    {
    }
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    int Get() const { return fFd; }
    bool IsValid() const { return fFd >= 0; }

    // Closes the descriptor held, if any, and holds `fd` instead.
    void Reset(int fd = -1)
    {
        if (fFd >= 0)
            close(fFd);
        fFd = fd;
    }

    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(fFd, -1); }

private:
    int fFd;
};

} // namespace BPrivate
