#include "LibAppVersion.h"

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <AppFileInfo.h>
#include <Entry.h>
#include <File.h>
#include <OS.h>

#include <TestSandbox.h>

#include "LibStringList.h"

namespace {

bool CopyFile(const std::string& from, const std::string& to)
{
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
    bool ok = in >= 0 && out >= 0;
    char buffer[8192];
    ssize_t got;
    while (ok && (got = read(in, buffer, sizeof(buffer))) > 0)
        ok = write(out, buffer, size_t(got)) == got;
    if (in >= 0)
        close(in);
    if (out >= 0)
        ok = close(out) == 0 && ok;
    return ok;
}

// Works on a copy of a real BeOS ELF file with appended resources.
class LibAppVersionTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFile = brenvik::test::MakeTempFolder("appversion") + "/Sample App";
        ASSERT_TRUE(CopyFile(brenvik::test::TestDataPath("haiku-data/elf"), fFile));
    }
    std::string fFile;
};

TEST_F(LibAppVersionTest, FileWithoutARecordReadsEmpty)
{
    EXPECT_STREQ(LibGetAppVersion(fFile.c_str()), "");
    EXPECT_STREQ(LibGetAppVersion((fFile + "-missing").c_str()), "");
}

struct VersionCase {
    uint32 major, middle, minor, variety, internal;
    const char* text;
};

TEST_F(LibAppVersionTest, RecordsReadAsShortVersions)
{
    const VersionCase cases[] = {
        { 1, 3, 1, 5, 0, "1.3.1" },
        { 1, 0, 0, 0, 7, "1.0.0 Dev 7" },
        { 2, 0, 0, 2, 3, "2.0.0 Beta 3" },
        { 3, 1, 4, 1, 0, "3.1.4 Alpha" },
        { 0, 9, 9, 3, 1, "0.9.9 Gamma 1" },
        { 5, 0, 0, 4, 0, "5.0.0 Gold" },
        { 4000000000u, 0, 1, 9, 2, "4000000000.0.1 2" },
    };
    for (const VersionCase& item : cases) {
        ASSERT_TRUE(LibSetAppVersion(fFile.c_str(), item.major, item.middle, item.minor,
            "Installer", "V1.3.1 Install BeOS applications", item.variety, item.internal));
        EXPECT_STREQ(LibGetAppVersion(fFile.c_str()), item.text);
    }
}

TEST_F(LibAppVersionTest, RecordKeepsItsTextsCutToTheirFields)
{
    std::string longText(400, 'L');
    ASSERT_TRUE(LibSetAppVersion(fFile.c_str(), 1, 2, 3, nullptr, longText.c_str(), 5, 0));
    BFile file(fFile.c_str(), B_READ_ONLY);
    BAppFileInfo info(&file);
    version_info version;
    ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
    EXPECT_STREQ(version.short_info, "");
    EXPECT_EQ(std::string(version.long_info), std::string(255, 'L'));
    EXPECT_EQ(version.variety, 5u);
}

TEST_F(LibAppVersionTest, SignatureOfAnApplicationFile)
{
    {
        BFile file(fFile.c_str(), B_READ_WRITE);
        BAppFileInfo info(&file);
        ASSERT_EQ(info.SetSignature("application/x-vnd.Sample-App"), B_OK);
    }
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path(fFile.c_str(), &ref), B_OK);
    char signature[B_MIME_TYPE_LENGTH] = "junk";
    LibGetAppSignature(ref, signature);
    EXPECT_STREQ(signature, "application/x-vnd.Sample-App");

    std::string text = fFile + ".txt";
    int fd = open(text.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(get_ref_for_path(text.c_str(), &ref), B_OK);
    std::strcpy(signature, "junk");
    LibGetAppSignature(ref, signature);
    EXPECT_STREQ(signature, "") << "not an application";
}

TEST_F(LibAppVersionTest, SupportedTypesRoundTripInOrder)
{
    LibStringList types;
    types.Add("text/x-velk");
    types.Add("text/plain");
    types.Add("application/zip");
    ASSERT_TRUE(LibSetAppSupportedTypes(fFile.c_str(), types));
    LibStringList read;
    ASSERT_EQ(LibGetAppSupportedTypes(fFile.c_str(), read), 3);
    EXPECT_STREQ(*read.First(), "text/x-velk");
    EXPECT_STREQ(*read.Next(), "text/plain");
    EXPECT_STREQ(*read.Next(), "application/zip");

    LibStringList none;
    EXPECT_EQ(
        LibGetAppSupportedTypes(brenvik::test::TestDataPath("haiku-data/elf-no-res").c_str(), none),
        0);
}

TEST(LibAppVersionRunning, WithoutAnApplicationNothingHappens)
{
    EXPECT_STREQ(LibGetAppVersion(nullptr), "");
    EXPECT_FALSE(LibSetAppVersion(1, 3, 1, "Installer", "", 5, 0));
    LibStringList types;
    EXPECT_EQ(LibGetAppSupportedTypes(types), 0);
    EXPECT_FALSE(LibSetAppSupportedTypes(types));
}

} // namespace

namespace {

// A named pipe has no record, and looking for one must not wait for a
// writer. Should the reader ever open the pipe, the test opens the other
// end after its deadline so that it ends, and fails.
TEST(LibAppVersionPipe, ANamedPipeIsNotOpened)
{
    std::string pipe = brenvik::test::MakeTempFolder("pipe") + "/fifo";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    std::atomic<bool> done { false };
    LibString version("not read");
    LibStringList types;
    std::thread reader([&] {
        version = LibGetAppVersion(pipe.c_str());
        LibGetAppSupportedTypes(pipe.c_str(), types);
        done = true;
    });
    bigtime_t deadline = system_time() + 10000000;
    while (!done && system_time() < deadline)
        snooze(1000);
    bool finished = done;
    while (!done) {
        int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            close(fd);
        snooze(1000);
    }
    reader.join();
    EXPECT_TRUE(finished);
    EXPECT_STREQ(version, "");
    EXPECT_EQ(types.Size(), 0);
}

} // namespace
