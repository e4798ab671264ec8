#pragma once

// The Linux side of get_system_info, reading from a given /proc and /sys
// root, so that tests can feed it sample files.

#include <string>

#include <OS.h>

namespace BPrivate {

struct SystemInfoSources {
    std::string procRoot = "/proc";
    std::string sysRoot = "/sys";
    // uname(2)'s fields; empty means "ask uname".
    std::string machine;
    std::string release;
    std::string version;
};

status_t ReadSystemInfo(const SystemInfoSources& sources, system_info* info);

// The BeOS processor type of an x86 processor from its vendor string,
// family and model; of other machines from uname's machine name.
cpu_type CpuTypeFor(const std::string& vendor, int family, int model, const std::string& machine);

// Splits the build stamp out of uname's version text ("#1 SMP Thu Jan 4
// 10:05:16 UTC 2024" gives "Jan 4 2024" and "10:05:16"; "... (2024-02-01)"
// gives "2024-02-01"). Without a recognisable stamp the release is the date
// and the version text the time.
void KernelBuildStamp(
    const std::string& release, const std::string& version, std::string* date, std::string* time);

} // namespace BPrivate
