#include "LibSysInfo.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include <Actions.h>
#include <Screen.h>

namespace {

struct NamedValue {
    int32 value;
    const char* name;
};

// clang-format off
const NamedValue kCpuNames[] = {
    { 1, "601" }, { 2, "603" }, { 3, "603e" }, { 4, "604" }, { 5, "604e" },
    { 13, "686" }, { 14, "AMD 29K" }, { 15, "x86" }, { 16, "MC6502" }, { 17, "Z80" },
    { 18, "Alpha" }, { 19, "Mips" }, { 20, "Hppa" }, { 21, "M68K" }, { 22, "Arm" },
    { 23, "SH" }, { 24, "Sparc" },
    { 0x1000, "Intel x86" },
    { 0x1051, "Intel Pentium" }, { 0x1052, "Intel Pentium 75" },
    { 0x1053, "Intel Pentium 486" }, { 0x1054, "Intel Pentium MMX" },
    { 0x1058, "Intel Pentium MMX Model 8" }, { 0x1059, "Intel Pentium 75-486" },
    { 0x1061, "Intel Pentium Pro" }, { 0x1063, "Intel Pentium II" },
    { 0x1065, "Intel Pentium II m5" }, { 0x1066, "Intel Pentium Celeron" },
    { 0x1067, "Intel Pentium III" },
    { 0x1100, "AMD x86" },
    { 0x1150, "AMD K5 m0" }, { 0x1151, "AMD K5 m1" }, { 0x1152, "AMD K5 m2" },
    { 0x1153, "AMD K5 m3" },
    { 0x1156, "AMD K6 m6" }, { 0x1157, "AMD K6 m7" }, { 0x1158, "AMD K6 m8" },
    { 0x1159, "AMD K6 m9" },
    { 0x1200, "Cyrix x86" }, { 0x1254, "Cyrix GXm" }, { 0x1260, "Cyrix 6 x86MX" },
    { 0x1354, "IDT WinChip C6" }, { 0x1358, "IDT WinChip 2" },
    { 0x1400, "Rise x86" }, { 0x1450, "Rise mP6" },
};

const char* const kMachineNames[] = {
    "BeBox", "Mac", "AT Clone", "Eniac", "Apple II", "Cray", "Lisa", "TI 994A",
    "Timex Sinclair", "Orac 1", "Hal", "Besm 6", "MK 61", "Nintendo 64",
};

const NamedValue kDepthNames[] = {
    { 0, "No color" }, { 1, "1 bit gray" }, { 2, "8 bit gray" }, { 3, "24 bit color" },
    { 4, "8 bit color" }, { 5, "16 bit color" }, { 8, "32 bit color" }, { 16, "15 bit color" },
};
// clang-format on

template <size_t N> const char* Lookup(const NamedValue (&table)[N], int32 value)
{
    for (const NamedValue& row : table) {
        if (row.value == value)
            return row.name;
    }
    return "Unknown";
}

// A frame side in whole pixels: rounded up, plus one (a frame's width is
// one less than its number of pixels).
int32 Pixels(float side)
{
    return int32(std::ceil(side)) + 1;
}

std::string Unquoted(const std::string& value)
{
    if (value.size() < 2 || (value[0] != '"' && value[0] != '\'') || value.back() != value[0])
        return value;
    std::string text;
    for (size_t i = 1; i + 1 < value.size(); i++) {
        if (value[0] == '"' && value[i] == '\\' && i + 2 < value.size())
            i++;
        text += value[i];
    }
    return text;
}

} // namespace

LibSysInfo::LibSysInfo()
{
    system_info info = {};
    get_system_info(&info);
    BScreen screen;
    SetTo(info, screen.ColorSpace(), screen.Frame());
}

LibSysInfo::LibSysInfo(const system_info& info, const color_space& space, const BRect& frame)
{
    SetTo(info, space, frame);
}

LibSysInfo::~LibSysInfo() = default;

void LibSysInfo::SetTo(const system_info& info, const color_space& space, const BRect& frame)
{
    fColorSpace = int32(space);
    fCpuCount = info.cpu_count;
    fCpuName = CpuNameFor(int32(info.cpu_type));
    fMachineName = MachineNameFor(int32(info.platform_type));
    fScreenWidth = frame.IsValid() ? Pixels(frame.Width()) : 0;
    fScreenHeight = frame.IsValid() ? Pixels(frame.Height()) : 0;
    fCpuRevision = info.cpu_revision;
    fCpuMHz = ClockToMHz(info.cpu_clock_speed);
    fBusMHz = ClockToMHz(info.bus_clock_speed);
    fKernelBuild.Formatted("%s, %s", info.kernel_build_date, info.kernel_build_time);
    // In 64 bits: four gigabytes of pages would overflow 32.
    fMemoryMB = int32(int64(info.max_pages) * 4096 / 1048576);
}

void LibSysInfo::Description(LibString& text) const
{
    text.Formatted("%s (%d-%s@%d/%dMHz) %dMB RAM", static_cast<const char*>(fMachineName),
        int(fCpuCount), static_cast<const char*>(fCpuName), int(fCpuMHz), int(fBusMHz),
        int(fMemoryMB));
}

const char* LibSysInfo::ScreenDepthStr() const
{
    return DepthNameFor(fColorSpace);
}

void LibSysInfo::PrintToStream()
{
    LibString description;
    Description(description);
    std::fprintf(stderr, "%s\n", static_cast<const char*>(description));
    std::fprintf(stderr, "%s, %dx%d\n", ScreenDepthStr(), int(fScreenWidth), int(fScreenHeight));
}

const char* LibSysInfo::CpuNameFor(const int32& cpuType)
{
    return Lookup(kCpuNames, cpuType);
}

const char* LibSysInfo::MachineNameFor(const int32& platformType)
{
    if (platformType < 0 || platformType >= int32(std::size(kMachineNames)))
        return "Unknown";
    return kMachineNames[platformType];
}

const char* LibSysInfo::DepthNameFor(const int32& colorSpace)
{
    return Lookup(kDepthNames, colorSpace);
}

int32 LibSysInfo::ClockToMHz(const int64& hertz)
{
    int64 mhz = hertz / 1000000;
    if (hertz % 1000000 > 500000)
        mhz++;
    return int32(mhz);
}

bool LibShutdown(const bool& restart)
{
    status_t status = restart ? BPrivate::Actions::Restart() : BPrivate::Actions::PowerOff();
    return status == B_OK;
}

bool LibGetOSVersion(LibString& version)
{
    // os-release(5): /etc first, the vendor's copy in /usr/lib otherwise.
    return LibGetOSVersion(version, "/etc/os-release")
        || LibGetOSVersion(version, "/usr/lib/os-release");
}

bool LibGetOSVersion(LibString& version, const char* releaseFile)
{
    if (releaseFile == nullptr)
        return false;
    std::ifstream file(releaseFile);
    std::string line;
    const std::string key = "PRETTY_NAME=";
    while (std::getline(file, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = Unquoted(line.substr(key.size()));
        if (value.empty())
            return false;
        version = value.c_str();
        return true;
    }
    return false;
}
