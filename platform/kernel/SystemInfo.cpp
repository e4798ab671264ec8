// get_system_info on Linux.

#include <OS.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

#include "SystemInfoReader.h"

namespace BPrivate {

namespace {

struct CpuFacts {
    int32 count = 0;
    std::string vendor;
    int family = -1;
    int model = -1;
    int stepping = 0;
    double megahertz = 0;
};

std::string Trim(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t\r\n");
    return start == std::string::npos ? std::string() : text.substr(start, end - start + 1);
}

// "key : value" lines of /proc/cpuinfo; the first processor's values count.
CpuFacts ReadCpuInfo(const std::string& path)
{
    CpuFacts facts;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, colon));
        std::string value = Trim(line.substr(colon + 1));
        if (key == "processor")
            facts.count++;
        if (facts.count > 1)
            continue;
        if (key == "vendor_id")
            facts.vendor = value;
        else if (key == "cpu family")
            facts.family = std::atoi(value.c_str());
        else if (key == "model")
            facts.model = std::atoi(value.c_str());
        else if (key == "stepping")
            facts.stepping = std::atoi(value.c_str());
        else if (key == "cpu MHz")
            facts.megahertz = std::atof(value.c_str());
    }
    return facts;
}

// "Key:   1234 kB" lines of /proc/meminfo, in KiB.
std::map<std::string, int64> ReadMemInfo(const std::string& path)
{
    std::map<std::string, int64> values;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        size_t colon = line.find(':');
        if (colon != std::string::npos)
            values[line.substr(0, colon)] = std::atoll(line.c_str() + colon + 1);
    }
    return values;
}

int64 ReadNumber(const std::string& path)
{
    std::ifstream file(path);
    int64 value = 0;
    if (!(file >> value))
        return 0;
    return value;
}

int32 ClampToInt32(int64 value)
{
    return int32(std::clamp<int64>(value, 0, INT32_MAX));
}

// Boot time and per-processor busy time from /proc/stat.
void ReadStat(const std::string& path, system_info* info)
{
    std::ifstream file(path);
    std::string line;
    long ticks = sysconf(_SC_CLK_TCK);
    if (ticks <= 0)
        ticks = 100;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "btime") {
            int64 seconds = 0;
            fields >> seconds;
            info->boot_time = seconds * 1000000;
        } else if (key.size() > 3 && key.compare(0, 3, "cpu") == 0) {
            int index = std::atoi(key.c_str() + 3);
            int64 user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0;
            fields >> user >> nice >> system >> idle >> iowait >> irq >> softirq;
            if (index >= 0 && index < B_MAX_CPU_COUNT) {
                int64 busy = user + nice + system + irq + softirq;
                info->cpu_infos[index].active_time = busy * 1000000 / ticks;
            }
        }
    }
}

void CopyText(char* buffer, size_t size, const std::string& text)
{
    size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

int64 VersionNumber(const std::string& release)
{
    int major = 0, minor = 0, patch = 0;
    std::sscanf(release.c_str(), "%d.%d.%d", &major, &minor, &patch);
    return int64(major) * 1000000 + int64(minor) * 1000 + patch;
}

void FillKernel(const SystemInfoSources& sources, system_info* info, std::string* machine)
{
    struct utsname name;
    std::memset(&name, 0, sizeof(name));
    uname(&name);
    std::string release = sources.release.empty() ? name.release : sources.release;
    std::string version = sources.version.empty() ? name.version : sources.version;
    *machine = sources.machine.empty() ? name.machine : sources.machine;
    std::string date;
    std::string time;
    KernelBuildStamp(release, version, &date, &time);
    CopyText(info->kernel_name, sizeof(info->kernel_name), "linux " + release);
    CopyText(info->kernel_build_date, sizeof(info->kernel_build_date), date);
    CopyText(info->kernel_build_time, sizeof(info->kernel_build_time), time);
    info->kernel_version = VersionNumber(release);
}

void FillMemory(const SystemInfoSources& sources, system_info* info)
{
    std::map<std::string, int64> memory = ReadMemInfo(sources.procRoot + "/meminfo");
    int64 totalKiB = memory["MemTotal"];
    int64 availableKiB
        = memory.count("MemAvailable") != 0 ? memory["MemAvailable"] : memory["MemFree"];
    const int64 kPageKiB = B_PAGE_SIZE / 1024;
    info->max_pages = ClampToInt32(totalKiB / kPageKiB);
    info->used_pages = ClampToInt32((totalKiB - availableKiB) / kPageKiB);
}

} // namespace

cpu_type CpuTypeFor(const std::string& vendor, int family, int model, const std::string& machine)
{
    static const std::map<std::string, int> kVendors = { { "GenuineIntel", B_CPU_INTEL_X86 },
        { "AuthenticAMD", B_CPU_AMD_X86 }, { "CyrixInstead", B_CPU_CYRIX_X86 },
        { "CentaurHauls", B_CPU_IDT_X86 }, { "RiseRiseRise", B_CPU_RISE_X86 } };
    auto found = kVendors.find(vendor);
    if (found != kVendors.end()) {
        // The old numbering only knew families up to 6 with one-digit
        // models; a newer processor is just "<vendor> x86".
        if (family >= 0 && family <= 6 && model >= 0 && model <= 15)
            return cpu_type(found->second | (family << 4) | model);
        return cpu_type(found->second);
    }
    if (!vendor.empty() || machine == "x86_64" || machine == "i686" || machine == "i386")
        return B_CPU_X86;
    if (machine.rfind("arm", 0) == 0 || machine == "aarch64")
        return B_CPU_ARM;
    if (machine.rfind("mips", 0) == 0)
        return B_CPU_MIPS;
    if (machine.rfind("sparc", 0) == 0)
        return B_CPU_SPARC;
    if (machine == "alpha")
        return B_CPU_ALPHA;
    if (machine == "m68k")
        return B_CPU_M68K;
    if (machine.rfind("sh", 0) == 0)
        return B_CPU_SH;
    if (machine.rfind("parisc", 0) == 0)
        return B_CPU_HPPA;
    return B_CPU_UNKNOWN;
}

void KernelBuildStamp(
    const std::string& release, const std::string& version, std::string* date, std::string* time)
{
    static const std::regex kDateTime(
        "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) +([0-9]{1,2}) "
        "([0-9]{2}:[0-9]{2}:[0-9]{2})(?: [A-Z+0-9-]+)? ([0-9]{4})");
    static const std::regex kIsoDate("([0-9]{4}-[0-9]{2}-[0-9]{2})");
    std::smatch match;
    if (std::regex_search(version, match, kDateTime)) {
        *date = match[1].str() + " " + match[2].str() + " " + match[4].str();
        *time = match[3].str();
    } else if (std::regex_search(version, match, kIsoDate)) {
        *date = match[1].str();
        *time = "";
    } else {
        *date = release;
        *time = version;
    }
}

status_t ReadSystemInfo(const SystemInfoSources& sources, system_info* info)
{
    if (info == nullptr)
        return B_BAD_VALUE;
    std::memset(info, 0, sizeof(*info));

    CpuFacts cpu = ReadCpuInfo(sources.procRoot + "/cpuinfo");
    info->cpu_count
        = cpu.count > 0 ? cpu.count : int32(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
    std::string machine;
    FillKernel(sources, info, &machine);
    info->cpu_type = CpuTypeFor(cpu.vendor, cpu.family, cpu.model, machine);
    info->cpu_revision = cpu.family >= 0
        ? (std::max(cpu.family, 0) << 16) | (std::max(cpu.model, 0) << 8) | cpu.stepping
        : 0;
    int64 maxKHz
        = ReadNumber(sources.sysRoot + "/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
    info->cpu_clock_speed
        = maxKHz > 0 ? maxKHz * 1000 : int64(std::llround(cpu.megahertz * 1000000.0));
    info->bus_clock_speed = 0;
    // BeOS knew no machine kind for anything that is not a BeBox or a Mac;
    // every PC, and so every Linux machine, reports the AT clone.
    info->platform_type = B_AT_CLONE_PLATFORM;
    FillMemory(sources, info);
    ReadStat(sources.procRoot + "/stat", info);
    info->max_threads = ClampToInt32(ReadNumber(sources.procRoot + "/sys/kernel/threads-max"));
    info->max_teams = ClampToInt32(ReadNumber(sources.procRoot + "/sys/kernel/pid_max"));
    team_info team;
    if (get_team_info(B_CURRENT_TEAM, &team) == B_OK)
        info->used_threads = team.thread_count;
    info->used_teams = 1;
    return B_OK;
}

} // namespace BPrivate

status_t get_system_info(system_info* info)
{
    return BPrivate::ReadSystemInfo(BPrivate::SystemInfoSources(), info);
}
