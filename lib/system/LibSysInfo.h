#pragma once

// LibSysInfo: what the installer needs to know about the machine, gathered
// once: processor kind, count and clock, bus clock, machine kind, physical
// memory, the main screen's size and colour depth, and the kernel's build.
// LibShutdown and LibGetOSVersion complete it.

#include <GraphicsDefs.h>
#include <OS.h>
#include <Rect.h>

#include "LibString.h"

class LibSysInfo {
public:
    // Fills everything from get_system_info and the main screen.
    LibSysInfo();
    // Fills everything from the given values (what the default constructor
    // reads), so that other machines can be described too.
    LibSysInfo(const system_info& info, const color_space& space, const BRect& screenFrame);
    LibSysInfo(const LibSysInfo& other) = default;
    virtual ~LibSysInfo();

    LibSysInfo& operator=(const LibSysInfo& other) = default;

    // "%s (%d-%s@%d/%dMHz) %dMB RAM": machine, processor count, processor,
    // processor MHz, bus MHz and memory, for example
    // "AT Clone (1-Intel Pentium II@400/100MHz) 128MB RAM".
    void Description(LibString& text) const;
    // The colour depth's name ("32 bit color", "Unknown", ...). The text is
    // constant; every caller may keep and share it.
    const char* ScreenDepthStr() const;
    // The description, then "<depth>, <width>x<height>", to standard error.
    virtual void PrintToStream();

    int32 ColorSpace() const { return fColorSpace; }
    int32 CpuCount() const { return fCpuCount; }
    const LibString& CpuName() const { return fCpuName; }
    const LibString& MachineName() const { return fMachineName; }
    int32 ScreenWidth() const { return fScreenWidth; }
    int32 ScreenHeight() const { return fScreenHeight; }
    int32 CpuRevision() const { return fCpuRevision; }
    int32 CpuMHz() const { return fCpuMHz; }
    int32 BusMHz() const { return fBusMHz; }
    const LibString& KernelBuild() const { return fKernelBuild; }
    int32 MemoryMB() const { return fMemoryMB; }

    // The names of the tables: "Unknown" for values they do not hold.
    static const char* CpuNameFor(const int32& cpuType);
    static const char* MachineNameFor(const int32& platformType);
    static const char* DepthNameFor(const int32& colorSpace);
    // Hz to whole MHz: truncated, plus one when the rest is above one half.
    static int32 ClockToMHz(const int64& hertz);

private:
    void SetTo(const system_info& info, const color_space& space, const BRect& screenFrame);

    int32 fColorSpace;
    int32 fCpuCount;
    LibString fCpuName;
    LibString fMachineName;
    int32 fScreenWidth;
    int32 fScreenHeight;
    int32 fCpuRevision;
    int32 fCpuMHz;
    int32 fBusMHz;
    LibString fKernelBuild;
    int32 fMemoryMB;
};

// Asks the system to restart (`restart` true) or to power off, through the
// platform's actions service; returns at once. False when the request was
// refused or could not be made: the machine is then not going down, and the
// caller must say so instead of quitting as if it were.
bool LibShutdown(const bool& restart);

// The operating system's name and version ("Debian GNU/Linux 12
// (bookworm)"), from the os-release file. When it cannot be read, `version`
// is left as it was and the result is false.
bool LibGetOSVersion(LibString& version);
// The same from a given os-release file.
bool LibGetOSVersion(LibString& version, const char* releaseFile);
