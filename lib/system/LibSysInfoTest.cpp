#include "LibSysInfo.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <TestSandbox.h>

namespace {

system_info SampleInfo()
{
    system_info info = {};
    info.cpu_count = 1;
    info.cpu_type = B_CPU_INTEL_PENTIUM_II;
    info.cpu_revision = 5;
    info.cpu_clock_speed = 400000000;
    info.bus_clock_speed = 100000000;
    info.platform_type = B_AT_CLONE_PLATFORM;
    info.max_pages = 32768;
    std::strcpy(info.kernel_build_date, "Jan 4 2024");
    std::strcpy(info.kernel_build_time, "10:05:16");
    return info;
}

std::string ReadWhole(const std::string& path)
{
    std::string text;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof(buffer))) > 0)
        text.append(buffer, size_t(got));
    close(fd);
    return text;
}

TEST(LibSysInfoTest, DescriptionOfASampleMachine)
{
    LibSysInfo info(SampleInfo(), B_RGB32, BRect(0, 0, 639, 479));
    LibString text;
    info.Description(text);
    EXPECT_STREQ(text, "AT Clone (1-Intel Pentium II@400/100MHz) 128MB RAM");
    EXPECT_STREQ(info.KernelBuild(), "Jan 4 2024, 10:05:16");
    EXPECT_EQ(info.CpuRevision(), 5);
    EXPECT_STREQ(info.ScreenDepthStr(), "32 bit color");
}

TEST(LibSysInfoTest, ScreenFrameGivesPixelCounts)
{
    LibSysInfo info(SampleInfo(), B_RGB32, BRect(0, 0, 639, 479));
    EXPECT_EQ(info.ScreenWidth(), 640);
    EXPECT_EQ(info.ScreenHeight(), 480);
    LibSysInfo fractional(SampleInfo(), B_RGB32, BRect(0, 0, 639.2f, 479.5f));
    EXPECT_EQ(fractional.ScreenWidth(), 641);
    EXPECT_EQ(fractional.ScreenHeight(), 481);
}

TEST(LibSysInfoTest, ClockRoundsUpOnlyAboveOneHalf)
{
    EXPECT_EQ(LibSysInfo::ClockToMHz(399500000), 399);
    EXPECT_EQ(LibSysInfo::ClockToMHz(399600000), 400);
    EXPECT_EQ(LibSysInfo::ClockToMHz(0), 0);
    EXPECT_EQ(LibSysInfo::ClockToMHz(int64(4200) * 1000000), 4200);
}

TEST(LibSysInfoTest, MemoryInMegabytesWithoutOverflow)
{
    system_info sample = SampleInfo();
    sample.max_pages = 65536;
    EXPECT_EQ(LibSysInfo(sample, B_RGB32, BRect()).MemoryMB(), 256);
    sample.max_pages = 16 * 1024 * 1024; // 64 GiB
    EXPECT_EQ(LibSysInfo(sample, B_RGB32, BRect()).MemoryMB(), 65536);
}

struct NameCase {
    int32 value;
    const char* name;
};

TEST(LibSysInfoTest, ProcessorNames)
{
    const NameCase cases[] = { { 1, "601" }, { 5, "604e" }, { 6, "Unknown" }, { 12, "Unknown" },
        { 13, "686" }, { 15, "x86" }, { 24, "Sparc" }, { 25, "Unknown" }, { 0, "Unknown" },
        { 0x1000, "Intel x86" }, { 0x1053, "Intel Pentium 486" },
        { 0x1059, "Intel Pentium 75-486" }, { 0x1066, "Intel Pentium Celeron" },
        { 0x1100, "AMD x86" }, { 0x1153, "AMD K5 m3" }, { 0x1154, "Unknown" },
        { 0x1159, "AMD K6 m9" }, { 0x1254, "Cyrix GXm" }, { 0x1260, "Cyrix 6 x86MX" },
        { 0x1300, "Unknown" }, { 0x1354, "IDT WinChip C6" }, { 0x1358, "IDT WinChip 2" },
        { 0x1400, "Rise x86" }, { 0x1450, "Rise mP6" } };
    for (const NameCase& item : cases)
        EXPECT_STREQ(LibSysInfo::CpuNameFor(item.value), item.name) << item.value;
}

TEST(LibSysInfoTest, MachineAndDepthNames)
{
    EXPECT_STREQ(LibSysInfo::MachineNameFor(0), "BeBox");
    EXPECT_STREQ(LibSysInfo::MachineNameFor(2), "AT Clone");
    EXPECT_STREQ(LibSysInfo::MachineNameFor(13), "Nintendo 64");
    EXPECT_STREQ(LibSysInfo::MachineNameFor(14), "Unknown");
    EXPECT_STREQ(LibSysInfo::MachineNameFor(-1), "Unknown");
    const NameCase depths[] = { { 0, "No color" }, { 1, "1 bit gray" }, { 2, "8 bit gray" },
        { 3, "24 bit color" }, { 4, "8 bit color" }, { 5, "16 bit color" }, { 8, "32 bit color" },
        { 16, "15 bit color" }, { 6, "Unknown" } };
    for (const NameCase& item : depths)
        EXPECT_STREQ(LibSysInfo::DepthNameFor(item.value), item.name) << item.value;
}

TEST(LibSysInfoTest, PrintToStreamWritesTwoLines)
{
    LibSysInfo info(SampleInfo(), B_CMAP8, BRect(0, 0, 1023, 767));
    testing::internal::CaptureStderr();
    info.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
        "AT Clone (1-Intel Pentium II@400/100MHz) 128MB RAM\n8 bit color, 1024x768\n");
}

TEST(LibSysInfoTest, AssignmentCopiesEverything)
{
    LibSysInfo sample(SampleInfo(), B_RGB16, BRect(0, 0, 799, 599));
    system_info other = SampleInfo();
    other.cpu_count = 8;
    LibSysInfo copy(other, B_RGB32, BRect(0, 0, 9, 9));
    copy = sample;
    LibString a;
    LibString b;
    sample.Description(a);
    copy.Description(b);
    EXPECT_STREQ(a, b);
    EXPECT_EQ(copy.ScreenWidth(), 800);
    EXPECT_STREQ(copy.ScreenDepthStr(), "16 bit color");
}

// This machine, read for real: whatever it is, the values are sane.
TEST(LibSysInfoTest, ThisMachineIsDescribedSanely)
{
    LibSysInfo info;
    EXPECT_GE(info.CpuCount(), 1);
    EXPECT_GT(info.MemoryMB(), 16);
    EXPECT_GE(info.CpuMHz(), 0);
    EXPECT_EQ(info.BusMHz(), 0) << "Linux does not tell the bus clock";
    EXPECT_STRNE(info.KernelBuild(), "");
    LibString text;
    info.Description(text);
    EXPECT_NE(std::string(text).find("MB RAM"), std::string::npos)
        << static_cast<const char*>(text);
}

TEST(LibSysInfoTest, OSVersionFromTheReleaseFile)
{
    std::string folder = brenvik::test::MakeTempFolder("osrel");
    std::string file = folder + "/os-release";
    int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    std::string text = "NAME=\"Sample\"\nPRETTY_NAME=\"Sample OS 7 \\\"Nova\\\"\"\nID=sample\n";
    ASSERT_EQ(write(fd, text.data(), text.size()), ssize_t(text.size()));
    close(fd);
    LibString version("kept");
    ASSERT_TRUE(LibGetOSVersion(version, file.c_str()));
    EXPECT_STREQ(version, "Sample OS 7 \"Nova\"");

    version = "kept";
    EXPECT_FALSE(LibGetOSVersion(version, (folder + "/missing").c_str()));
    EXPECT_STREQ(version, "kept");

    LibString real;
    struct stat info;
    if (stat("/etc/os-release", &info) == 0 || stat("/usr/lib/os-release", &info) == 0) {
        EXPECT_TRUE(LibGetOSVersion(real));
        EXPECT_STRNE(real, "");
    }
}

class LibShutdownTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char* log = std::getenv("BRENVIK_ACTIONS_LOG");
        ASSERT_NE(log, nullptr) << "the test main must keep the machine safe";
        fLog = log;
        unlink(fLog.c_str());
    }
    std::string fLog;
};

TEST_F(LibShutdownTest, RestartIsRecordedAndNothingElseHappens)
{
    ASSERT_TRUE(LibShutdown(true));
    EXPECT_EQ(ReadWhole(fLog), "restart\n");
}

TEST_F(LibShutdownTest, PowerOffIsRecorded)
{
    ASSERT_TRUE(LibShutdown(false));
    ASSERT_TRUE(LibShutdown(true));
    EXPECT_EQ(ReadWhole(fLog), "power-off\nrestart\n");
}

TEST_F(LibShutdownTest, FailureToRecordIsReported)
{
    std::string saved = fLog;
    std::string folder = brenvik::test::MakeTempFolder("nolog");
    // A log that cannot be written: the action fails, and still does not happen.
    setenv("BRENVIK_ACTIONS_LOG", (folder + "/missing/actions.log").c_str(), 1);
    EXPECT_FALSE(LibShutdown(true));
    setenv("BRENVIK_ACTIONS_LOG", saved.c_str(), 1);
}

} // namespace
