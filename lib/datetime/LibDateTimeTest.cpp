#include <climits>

#include <LibString.h>
#include <Message.h>
#include <gtest/gtest.h>

#include "LibDateTime.h"
#include "TestTimeZone.h"

namespace {

using brenvik::test::ScopedTimeZone;
using brenvik::test::UtcClock;

LibDateTime At(int year, unsigned month, unsigned day, long hours, long minutes, long seconds)
{
    LibDateTime value(day, month, unsigned(year));
    value.SetTime(hours, minutes, seconds);
    return value;
}

void ExpectDateTime(const LibDateTime& value, int year, unsigned month, unsigned day, long hours,
    long minutes, long seconds)
{
    EXPECT_EQ(int(value.GetYear()), year);
    EXPECT_EQ(value.GetMonth(), month);
    EXPECT_EQ(value.GetDay(), day);
    EXPECT_EQ(value.GetHours(), hours);
    EXPECT_EQ(value.GetMinutes(), minutes);
    EXPECT_EQ(value.LibTime::GetSeconds(), seconds);
}

TEST(LibDateTime, NewDateStartsAtMidnight)
{
    ExpectDateTime(LibDateTime(5u, 3u, 2002u), 2002, 3, 5, 0, 0, 0);
}

TEST(LibDateTime, TimeArithmeticCarriesWholeDaysIntoTheDate)
{
    LibDateTime value = At(2024, 3, 5, 0, 0, 10);
    value.AddSeconds(-20);
    ExpectDateTime(value, 2024, 3, 4, 23, 59, 50);

    value = At(2024, 2, 28, 23, 30, 15);
    value.AddMinutes(60);
    ExpectDateTime(value, 2024, 2, 29, 0, 30, 15);
    value.AddMinutes(-1441);
    ExpectDateTime(value, 2024, 2, 28, 0, 29, 15);

    value.AddHours(-25);
    ExpectDateTime(value, 2024, 2, 26, 23, 29, 15);
    value.AddHours(49);
    ExpectDateTime(value, 2024, 2, 29, 0, 29, 15);

    // Reached through the time part, the operations still carry into the date.
    LibTime& time = value;
    time.AddSeconds(86400 * 2);
    ExpectDateTime(value, 2024, 3, 2, 0, 29, 15);
}

TEST(LibDateTime, SecondsSinceTheEpochAddUpToTheDate)
{
    LibDateTime value(1u, 1u, 1970u);
    value.AddSeconds(long(UtcClock(2026, 12, 7, 15, 7, 9)));
    ExpectDateTime(value, 2026, 12, 7, 15, 7, 9);
}

TEST(LibDateTime, ArithmeticBeyondTheDateRangeChangesNothing)
{
    LibDateTime value = At(2024, 3, 5, 12, 0, 0);
    value.AddSeconds(LONG_MIN);
    value.AddSeconds(LONG_MAX);
    value.AddMinutes(LONG_MAX);
    value.AddHours(LONG_MIN);
    ExpectDateTime(value, 2024, 3, 5, 12, 0, 0);
}

TEST(LibDateTime, MinutesSinceTruncateTowardZero)
{
    LibDateTime later = At(2024, 3, 6, 0, 1, 30);
    LibDateTime earlier = At(2024, 3, 5, 23, 59, 59);
    EXPECT_EQ(later.MinutesSince(earlier), 1);
    EXPECT_EQ(earlier.MinutesSince(later), -1);
    EXPECT_EQ(At(2024, 3, 7, 0, 0, 0).MinutesSince(At(2024, 3, 5, 0, 0, 0)), 2880);
}

TEST(LibDateTime, DifferenceIsTheTimeOfDayDifference)
{
    LibTime difference = At(2024, 3, 9, 10, 0, 0) - At(2024, 3, 5, 11, 0, 0);
    EXPECT_EQ(difference.NumberOfSeconds(), 23 * 3600);
    EXPECT_EQ(At(2024, 3, 9, 10, 0, 0) - LibDate(5u, 3u, 2024u), 4);
}

TEST(LibDateTime, ComparesDateFirstThenTime)
{
    LibDateTime a = At(2024, 3, 5, 23, 0, 0);
    LibDateTime b = At(2024, 3, 6, 1, 0, 0);
    LibDateTime c = At(2024, 3, 6, 2, 0, 0);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b < c);
    EXPECT_TRUE(c > a);
    EXPECT_TRUE(a <= a);
    EXPECT_TRUE(c >= b);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a == At(2024, 3, 5, 23, 0, 0));
}

TEST(LibDateTime, AssignsPartsSeparately)
{
    LibDateTime value = At(2024, 3, 5, 7, 8, 9);
    value = LibDate(1u, 1u, 2000u);
    ExpectDateTime(value, 2000, 1, 1, 7, 8, 9);
    value = LibTime(1l, 2l, 3l);
    ExpectDateTime(value, 2000, 1, 1, 1, 2, 3);
    value = At(2024, 3, 5, 7, 8, 9);
    ExpectDateTime(value, 2024, 3, 5, 7, 8, 9);
}

TEST(LibDateTime, Iso8601RoundTrip)
{
    LibString text;
    At(2024, 3, 5, 7, 8, 9).GetIso8601(text, 0);
    EXPECT_STREQ(text, "20240305T070809");
    LibDateTime value(1u, 1u, 2000u);
    EXPECT_TRUE(value.SetIso8601(text, 0));
    ExpectDateTime(value, 2024, 3, 5, 7, 8, 9);
}

TEST(LibDateTime, Iso8601SetsTheDateAsAWhole)
{
    LibDateTime value = At(2024, 1, 31, 0, 0, 0);
    EXPECT_TRUE(value.SetIso8601("20240205T101112", 0));
    ExpectDateTime(value, 2024, 2, 5, 10, 11, 12);
}

TEST(LibDateTime, Iso8601ZoneHoursMoveTheDateToo)
{
    LibDateTime value = At(2024, 1, 1, 0, 0, 0);
    EXPECT_TRUE(value.SetIso8601("20240305T230000Z", 2));
    ExpectDateTime(value, 2024, 3, 6, 1, 0, 0);

    LibString text;
    At(2024, 3, 5, 23, 0, 0).GetIso8601(text, 2);
    EXPECT_STREQ(text, "20240306T010000Z");
}

TEST(LibDateTime, Iso8601RefusesShortTexts)
{
    LibDateTime value = At(2024, 3, 5, 7, 8, 9);
    EXPECT_FALSE(value.SetIso8601("20240305T07080", 0));
    ExpectDateTime(value, 2024, 3, 5, 7, 8, 9);
    EXPECT_TRUE(value.SetIso8601("2024xx05T07yy09", 0)); // pieces that are no number count 0
    ExpectDateTime(value, 2023, 12, 5, 7, 0, 9);
}

TEST(LibDateTime, ClockValuesAsLocalOrUtc)
{
    ScopedTimeZone zone("XYZ-2");
    const long clock = long(UtcClock(2024, 3, 5, 23, 30, 0));
    LibDateTime value(1u, 1u, 2000u);
    value.SetDateTime(clock, true);
    ExpectDateTime(value, 2024, 3, 6, 1, 30, 0);
    value.SetDateTime(clock, false);
    ExpectDateTime(value, 2024, 3, 5, 23, 30, 0);

    // The time part's UTC conversion carries into the date as well.
    value = At(2024, 3, 6, 12, 0, 0);
    value.SetTime(clock, false);
    ExpectDateTime(value, 2024, 3, 5, 23, 30, 0);
}

TEST(LibDateTime, NowAgreesWithTheClock)
{
    ScopedTimeZone zone("XYZ-2");
    LibDateTime epoch(1u, 1u, 1970u);
    time_t before = time(nullptr);
    LibDateTime utc(false);
    LibDateTime local(true);
    time_t after = time(nullptr);
    long utcSeconds = utc.DaysSince(epoch) * 86400 + utc.NumberOfSeconds();
    long localSeconds = local.DaysSince(epoch) * 86400 + local.NumberOfSeconds() - 7200;
    EXPECT_GE(utcSeconds, before);
    EXPECT_LE(utcSeconds, after);
    EXPECT_GE(localSeconds, before);
    EXPECT_LE(localSeconds, after);
}

TEST(LibDateTime, SetReadsFreeFormTextAsLocalTime)
{
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    LibDateTime value(1u, 1u, 2000u);
    EXPECT_TRUE(value.Set("March 5, 2002 10:30 PM"));
    ExpectDateTime(value, 2002, 3, 5, 22, 30, 0);
    EXPECT_TRUE(value.Set("2002-07-04 12:00:00 GMT"));
    ExpectDateTime(value, 2002, 7, 4, 8, 0, 0);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(value.Set("Tuesday, foo"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error with date time value\n");
    ExpectDateTime(value, 2002, 7, 4, 8, 0, 0);
}

TEST(LibDateTime, TmRecords)
{
    LibDateTime value = At(2026, 12, 7, 15, 7, 9);
    struct tm parts = {};
    value.GetDateTime(&parts);
    EXPECT_EQ(parts.tm_year, 126);
    EXPECT_EQ(parts.tm_hour, 15);
    parts.tm_mday = 8;
    parts.tm_hour = 1;
    LibDateTime copy(1u, 1u, 2000u);
    copy.SetDateTime(&parts);
    ExpectDateTime(copy, 2026, 12, 8, 1, 7, 9);
}

TEST(LibDateTime, ArchivesDateAndTime)
{
    BMessage archive;
    ASSERT_EQ(At(2024, 3, 5, 7, 8, 9).Archive(archive), B_OK);
    for (const char* key : { "date", "hours", "minutes", "seconds" })
        EXPECT_TRUE(archive.HasInt32(key)) << key;
    LibDateTime restored(1u, 1u, 2000u);
    ASSERT_EQ(restored.Restore(archive), B_OK);
    ExpectDateTime(restored, 2024, 3, 5, 7, 8, 9);
}

TEST(LibDateTime, PrintsDateThenTime)
{
    testing::internal::CaptureStderr();
    At(2002, 3, 5, 7, 8, 9).PrintToStream();
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(), "LibDate: 3/5/2002 (2452338)\nTime: 07:08:09\n");
}

} // namespace
