#include <OS.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/stat.h>

#include <TestSandbox.h>

#include "SystemInfoReader.h"

namespace {

using BPrivate::CpuTypeFor;
using BPrivate::KernelBuildStamp;
using BPrivate::ReadSystemInfo;
using BPrivate::SystemInfoSources;

void WriteText(const std::string& path, const std::string& text)
{
    std::string folder = path.substr(0, path.rfind('/'));
    for (size_t slash = 1; slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    std::ofstream(path) << text;
}

SystemInfoSources SampleMachine()
{
    std::string root = brenvik::test::MakeTempFolder("sysinfo");
    SystemInfoSources sources;
    sources.procRoot = root + "/proc";
    sources.sysRoot = root + "/sys";
    sources.machine = "x86_64";
    sources.release = "6.1.0-18-amd64";
    sources.version = "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)";
    WriteText(sources.procRoot + "/cpuinfo",
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 3\n"
        "stepping\t: 2\ncpu MHz\t\t: 399.600\n\nprocessor\t: 1\nvendor_id\t: GenuineIntel\n"
        "cpu MHz\t\t: 800.000\n");
    WriteText(sources.procRoot + "/meminfo",
        "MemTotal:         262144 kB\nMemFree:           1024 kB\nMemAvailable:     131072 kB\n");
    WriteText(sources.procRoot + "/stat",
        "cpu  10 0 10 100 0 0 0\ncpu0 100 0 100 50 0 0 0\ncpu1 0 0 0 50 0 0 0\n"
        "btime 1700000000\n");
    return sources;
}

TEST(SystemInfoTest, ReadsASampleMachine)
{
    SystemInfoSources sources = SampleMachine();
    system_info info;
    ASSERT_EQ(ReadSystemInfo(sources, &info), B_OK);
    EXPECT_EQ(info.cpu_count, 2);
    EXPECT_EQ(info.cpu_type, B_CPU_INTEL_PENTIUM_II);
    EXPECT_EQ(info.platform_type, B_AT_CLONE_PLATFORM);
    EXPECT_EQ(info.cpu_clock_speed, 399600000);
    EXPECT_EQ(info.bus_clock_speed, 0);
    // 256 MiB in 4096-byte pages; half of it available.
    EXPECT_EQ(info.max_pages, 65536);
    EXPECT_EQ(info.used_pages, 32768);
    EXPECT_EQ(info.boot_time, 1700000000LL * 1000000);
    EXPECT_GT(info.cpu_infos[0].active_time, 0);
    EXPECT_STREQ(info.kernel_build_date, "2024-02-01");
    EXPECT_EQ(info.kernel_version, 6001000);
}

TEST(SystemInfoTest, SysfsClockWinsOverCpuinfo)
{
    SystemInfoSources sources = SampleMachine();
    WriteText(sources.sysRoot + "/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "3600000\n");
    system_info info;
    ASSERT_EQ(ReadSystemInfo(sources, &info), B_OK);
    EXPECT_EQ(info.cpu_clock_speed, 3600000000LL);
}

TEST(SystemInfoTest, MemoryBeyondFourGigabytesDoesNotOverflow)
{
    SystemInfoSources sources = SampleMachine();
    WriteText(sources.procRoot + "/meminfo", "MemTotal:       67108864 kB\nMemFree: 0 kB\n");
    system_info info;
    ASSERT_EQ(ReadSystemInfo(sources, &info), B_OK);
    EXPECT_EQ(info.max_pages, 16777216); // 64 GiB
    EXPECT_EQ(info.used_pages, 16777216);
}

struct CpuCase {
    const char* vendor;
    int family;
    int model;
    const char* machine;
    cpu_type expected;
};

class CpuTypes : public testing::TestWithParam<CpuCase> { };

TEST_P(CpuTypes, MapToTheBeOSNumbering)
{
    const CpuCase& item = GetParam();
    EXPECT_EQ(CpuTypeFor(item.vendor, item.family, item.model, item.machine), item.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CpuTypes,
    testing::Values(CpuCase { "GenuineIntel", 5, 1, "i586", B_CPU_INTEL_PENTIUM },
        CpuCase { "GenuineIntel", 6, 7, "i686", B_CPU_INTEL_PENTIUM_III },
        CpuCase { "GenuineIntel", 6, 158, "x86_64", B_CPU_INTEL_X86 },
        CpuCase { "AuthenticAMD", 5, 8, "i586", B_CPU_AMD_K6_MODEL8 },
        CpuCase { "AuthenticAMD", 25, 33, "x86_64", B_CPU_AMD_X86 },
        CpuCase { "HygonGenuine", 24, 1, "x86_64", B_CPU_X86 },
        CpuCase { "", -1, -1, "aarch64", B_CPU_ARM },
        CpuCase { "", -1, -1, "riscv64", B_CPU_UNKNOWN }));

TEST(SystemInfoTest, BuildStampFromUnameVersion)
{
    std::string date;
    std::string time;
    KernelBuildStamp("6.5.0", "#1 SMP PREEMPT_DYNAMIC Thu Jan  4 10:05:16 UTC 2024", &date, &time);
    EXPECT_EQ(date, "Jan 4 2024");
    EXPECT_EQ(time, "10:05:16");
    KernelBuildStamp("6.18.4", "#1 SMP @0", &date, &time);
    EXPECT_EQ(date, "6.18.4");
    EXPECT_EQ(time, "#1 SMP @0");
}

TEST(SystemInfoTest, ThisMachineGivesSaneFigures)
{
    system_info info;
    ASSERT_EQ(get_system_info(&info), B_OK);
    EXPECT_GE(info.cpu_count, 1);
    EXPECT_GT(info.max_pages, 1024); // more than 4 MiB of memory
    EXPECT_LE(info.used_pages, info.max_pages);
    EXPECT_EQ(info.platform_type, B_AT_CLONE_PLATFORM);
    EXPECT_GE(info.cpu_clock_speed, 0);
    EXPECT_NE(info.kernel_build_date[0], '\0');
    EXPECT_EQ(get_system_info(nullptr), B_BAD_VALUE);
}

} // namespace
