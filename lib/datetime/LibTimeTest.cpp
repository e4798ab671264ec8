#include <climits>
#include <cmath>

#include <Message.h>
#include <gtest/gtest.h>

#include "LibTime.h"
#include "TestTimeZone.h"

namespace {

void ExpectTime(const LibTime& time, long hours, long minutes, long seconds)
{
    EXPECT_EQ(time.GetHours(), hours);
    EXPECT_EQ(time.GetMinutes(), minutes);
    EXPECT_EQ(time.GetSeconds(), seconds);
}

struct CorrectCase {
    long hours, minutes, seconds;
    long expectedHours, expectedMinutes, expectedSeconds;
};

class LibTimeNormalises : public testing::TestWithParam<CorrectCase> { };

TEST_P(LibTimeNormalises, CarriesAndDropsWholeDays)
{
    const CorrectCase& c = GetParam();
    ExpectTime(LibTime(c.hours, c.minutes, c.seconds), c.expectedHours, c.expectedMinutes,
        c.expectedSeconds);
}

INSTANTIATE_TEST_SUITE_P(Times, LibTimeNormalises,
    testing::Values(CorrectCase { 0, 0, -60, 23, 59, 0 }, CorrectCase { 25, 0, 0, 1, 0, 0 },
        CorrectCase { 0, 0, -1, 23, 59, 59 }, CorrectCase { 10, 59, 60, 11, 0, 0 },
        CorrectCase { -1, 0, 0, 23, 0, 0 }, CorrectCase { 0, 1500, 0, 1, 0, 0 },
        CorrectCase { LONG_MAX, LONG_MIN, LONG_MAX, 4, 22, 7 }));

TEST(LibTime, AddingDropsWholeDays)
{
    LibTime time(23l, 30l, 0l);
    time.AddMinutes(60);
    ExpectTime(time, 0, 30, 0);
    time.AddHours(-1);
    ExpectTime(time, 23, 30, 0);
    time.AddSeconds(-86400 * 3 - 1);
    ExpectTime(time, 23, 29, 59);
    time.AddSeconds(LONG_MIN);
    time.AddHours(LONG_MAX);
    EXPECT_LT(time.NumberOfSeconds(), 86400);
}

TEST(LibTime, SettersNormaliseEachField)
{
    LibTime time(10l, 20l, 30l);
    time.SetSeconds(75);
    ExpectTime(time, 10, 21, 15);
    time.SetMinutes(-1);
    ExpectTime(time, 9, 59, 15);
    time.SetHours(24);
    ExpectTime(time, 0, 59, 15);
}

TEST(LibTime, UnformattedTimes)
{
    LibTime time(false, false);
    EXPECT_TRUE(time.SetUnformattedTime("9"));
    ExpectTime(time, 9, 0, 0);
    EXPECT_TRUE(time.SetUnformattedTime("12:30:45"));
    ExpectTime(time, 12, 30, 0);
    EXPECT_TRUE(time.SetUnformattedTime("7.05"));
    ExpectTime(time, 7, 5, 0);
    for (const char* bad :
        { "123", "", ":30", "9::", "1:2:345", static_cast<const char*>(nullptr) }) {
        EXPECT_FALSE(time.SetUnformattedTime(bad)) << (bad ? bad : "(null)");
        ExpectTime(time, 7, 5, 0);
    }
}

TEST(LibTime, FractionalHours)
{
    LibTime time(false, false);
    time.SetTime(1.5f);
    ExpectTime(time, 1, 30, 0);
    time.SetTime(0.7f);
    ExpectTime(time, 0, 42, 0);
    time.SetTime(25.25f); // whole days drop out
    ExpectTime(time, 1, 15, 0);
    time.SetTime(-1.5f);
    ExpectTime(time, 22, 30, 0);
    time.SetTime(NAN);
    time.SetTime(INFINITY);
    ExpectTime(time, 22, 30, 0);
    time.SetTime(1e30f);
    EXPECT_LT(time.NumberOfSeconds(), 86400);
}

TEST(LibTime, FixedLayoutAndTmRecords)
{
    LibTime time(false, false);
    time.SetTime("07:08:09");
    ExpectTime(time, 7, 8, 9);
    time.SetTime("23:5");
    ExpectTime(time, 23, 5, 0);
    struct tm parts = {};
    parts.tm_hour = 13;
    parts.tm_min = 14;
    parts.tm_sec = 75;
    time.SetTime(&parts);
    ExpectTime(time, 13, 15, 15);
    struct tm out = {};
    time.GetTime(out);
    EXPECT_EQ(out.tm_hour, 13);
    EXPECT_EQ(out.tm_min, 15);
    EXPECT_EQ(out.tm_sec, 15);
}

TEST(LibTime, ClockValuesInLocalTimeAndUtc)
{
    brenvik::test::ScopedTimeZone zone("XYZ-5:30");
    const long clock = long(brenvik::test::UtcClock(2024, 3, 5, 22, 10, 5));
    LibTime time(false, false);
    time.SetTime(clock, true);
    ExpectTime(time, 3, 40, 5);
    time.SetTime(clock, false);
    ExpectTime(time, 22, 10, 5);
    EXPECT_DOUBLE_EQ(time.TimeZone(1), 19800);
    EXPECT_DOUBLE_EQ(time.TimeZone(2), 330);
    EXPECT_DOUBLE_EQ(time.TimeZone(3), 5.5);
}

TEST(LibTime, DifferencesAndComparisons)
{
    LibTime early(10l, 0l, 0l);
    LibTime late(10l, 0l, 1l);
    ExpectTime(early - late, 23, 59, 59);
    ExpectTime(late - early, 0, 0, 1);
    EXPECT_TRUE(early < late);
    EXPECT_TRUE(early <= late);
    EXPECT_TRUE(late > early);
    EXPECT_TRUE(late >= early);
    EXPECT_TRUE(early != late);
    EXPECT_TRUE(early == LibTime(10l, 0l, 0l));
    EXPECT_TRUE(LibTime(9l, 59l, 59l) < LibTime(10l, 0l, 0l));
    EXPECT_EQ(late.NumberOfSeconds(), 36001);
    EXPECT_DOUBLE_EQ(late.NumberOfMinutes(), 36001.0 / 60);
}

TEST(LibTime, ArchivesItsFieldsAndRestoresThemAsTheyAre)
{
    BMessage archive;
    ASSERT_EQ(LibTime(7l, 8l, 9l).Archive(archive), B_OK);
    LibTime restored(false, false);
    ASSERT_EQ(restored.Restore(archive), B_OK);
    ExpectTime(restored, 7, 8, 9);

    BMessage unusual;
    unusual.AddInt32("hours", 30);
    unusual.AddInt32("minutes", 0);
    unusual.AddInt32("seconds", 0);
    ASSERT_EQ(restored.Restore(unusual), B_OK);
    EXPECT_EQ(restored.GetHours(), 30);
    EXPECT_NE(restored.Restore(BMessage()), B_OK);
    EXPECT_EQ(restored.GetHours(), 30);
}

TEST(LibTime, PrintsTwoDigitFields)
{
    testing::internal::CaptureStderr();
    LibTime(7l, 8l, 9l).PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Time: 07:08:09\n");
}

} // namespace
