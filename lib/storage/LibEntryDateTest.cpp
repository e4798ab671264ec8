#include "LibEntryDate.h"

#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <Entry.h>

#include "LibStorageTestSupport.h"

using namespace lib_storage_test;

namespace {

void ExpectUtc(const LibDateTime& date, unsigned day, unsigned month, unsigned year, long hours,
    long minutes, long seconds)
{
    EXPECT_EQ(date.GetDay(), day);
    EXPECT_EQ(date.GetMonth(), month);
    EXPECT_EQ(date.GetYear(), year);
    EXPECT_EQ(date.GetHours(), hours);
    EXPECT_EQ(date.GetMinutes(), minutes);
    EXPECT_EQ(date.GetSeconds(), seconds);
}

class LibEntryDateTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFile = brenvik::test::MakeTempFolder("dates") + "/file";
        ASSERT_TRUE(WriteFile(fFile, "x"));
        // 2001-09-09 01:46:40 UTC for the modification time, 2040-01-02
        // 03:04:05 UTC (past 2038) for the access time.
        timespec times[2] = { { 2209086245, 0 }, { 1000000000, 0 } };
        ASSERT_EQ(utimensat(AT_FDCWD, fFile.c_str(), times, 0), 0);
    }
    std::string fFile;
};

TEST_F(LibEntryDateTest, ModifiedAndAccessedDatesInUtc)
{
    ExpectUtc(LibLastModifiedDate(fFile.c_str(), false), 9, 9, 2001, 1, 46, 40);
    ExpectUtc(LibAccessedDate(fFile.c_str(), false), 2, 1, 2040, 3, 4, 5);
}

TEST_F(LibEntryDateTest, LocalDateIsTheLocalTimeOfTheSameMoment)
{
    time_t when = 1000000000;
    tm local;
    localtime_r(&when, &local);
    ExpectUtc(LibLastModifiedDate(fFile.c_str(), true), unsigned(local.tm_mday),
        unsigned(local.tm_mon + 1), unsigned(local.tm_year + 1900), local.tm_hour, local.tm_min,
        local.tm_sec);
}

TEST_F(LibEntryDateTest, CreationDateIsTheStoredOneWhenSet)
{
    BEntry entry(fFile.c_str());
    if (entry.SetCreationTime(946684800) != B_OK) // 2000-01-01 00:00:00 UTC
        GTEST_SKIP() << "the sandbox keeps no extended attributes";
    ExpectUtc(LibCreationDate(fFile.c_str(), false), 1, 1, 2000, 0, 0, 0);
    entry_ref ref;
    ASSERT_EQ(entry.GetRef(&ref), B_OK);
    ExpectUtc(LibCreationDate(ref, false), 1, 1, 2000, 0, 0, 0);
}

TEST_F(LibEntryDateTest, LinksReportTheirTargetsDates)
{
    std::string link = fFile + "-link";
    ASSERT_EQ(symlink(fFile.c_str(), link.c_str()), 0);
    ExpectUtc(LibLastModifiedDate(link.c_str(), false), 9, 9, 2001, 1, 46, 40);
}

TEST_F(LibEntryDateTest, MissingPathGivesTheStartingPoint)
{
    std::string missing = fFile + "-missing";
    testing::internal::CaptureStderr();
    LibDateTime created = LibCreationDate(missing.c_str(), false);
    std::string errors = testing::internal::GetCapturedStderr();
    ExpectUtc(created, 1, 1, 1970, 0, 0, 0);
    EXPECT_EQ(errors, "LibCreationDate: Unable to set entry <" + missing + ">\n");
    ExpectUtc(LibLastModifiedDate(missing.c_str(), true), 1, 1, 1970, 0, 0, 0);
    ExpectUtc(LibAccessedDate(nullptr, false), 1, 1, 1970, 0, 0, 0);
}

} // namespace
