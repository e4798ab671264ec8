#include <climits>
#include <ctime>

#include <Message.h>
#include <gtest/gtest.h>

#include "LibDate.h"
#include "TestTimeZone.h"

namespace {

struct Ymd {
    int year;
    unsigned month;
    unsigned day;
};

void ExpectDate(const LibDate& date, Ymd expected)
{
    EXPECT_EQ(int(date.GetYear()), expected.year);
    EXPECT_EQ(date.GetMonth(), expected.month);
    EXPECT_EQ(date.GetDay(), expected.day);
}

TEST(LibDate, DayNumbersOfKnownDates)
{
    EXPECT_EQ(LibDate(1u, 1u, 2000u).DayNumber(), 2451544);
    EXPECT_EQ(LibDate(1u, 1u, 1970u).DayNumber(), 2440587);
    EXPECT_EQ(LibDate(4u, 10u, 1582u).DayNumber(), 2299159);
    EXPECT_EQ(LibDate(15u, 10u, 1582u).DayNumber(), 2299160);
    EXPECT_EQ(LibDate(1u, 1u, 1u).DayNumber(), 1721423);
    ExpectDate(LibDate(2451544L), { 2000, 1, 1 });
}

TEST(LibDate, IncrementWalksThroughLeapDay)
{
    LibDate date(28u, 2u, 2024u);
    ExpectDate(++date, { 2024, 2, 29 });
    ExpectDate(++date, { 2024, 3, 1 });
    ExpectDate(--date, { 2024, 2, 29 });
}

struct NormaliseCase {
    unsigned day, month, year;
    Ymd expected;
};

class LibDateNormalises : public testing::TestWithParam<NormaliseCase> { };

TEST_P(LibDateNormalises, OutOfRangeFields)
{
    const NormaliseCase& c = GetParam();
    LibDate date(c.day, c.month, c.year);
    ExpectDate(date, c.expected);
    EXPECT_TRUE(date.IsValidDate());
    EXPECT_EQ(date, LibDate(c.expected.day, c.expected.month, unsigned(c.expected.year)));
}

INSTANTIATE_TEST_SUITE_P(Dates, LibDateNormalises,
    testing::Values(NormaliseCase { 30, 2, 2024, { 2024, 3, 1 } },
        NormaliseCase { 29, 2, 1900, { 1900, 3, 1 } }, // 1900 is no Gregorian leap year
        NormaliseCase { 29, 2, 1500, { 1500, 2, 29 } }, // 1500 is a Julian leap year
        NormaliseCase { 0, 3, 2023, { 2023, 2, 28 } },
        NormaliseCase { 15, 0, 2023, { 2022, 12, 15 } },
        NormaliseCase { 15, 13, 2023, { 2024, 1, 15 } },
        NormaliseCase { 400, 1, 2023, { 2024, 2, 4 } },
        // The days that the 1582 reform left out are counted as Julian days.
        NormaliseCase { 10, 10, 1582, { 1582, 10, 20 } }));

TEST(LibDate, YearZeroDoesNotExist)
{
    LibDate date(15u, 6u, 1u);
    date.SetYear(0);
    ExpectDate(date, { 1, 6, 15 });
    date.SetDate(1u, 1u, 0u);
    ExpectDate(date, { 1, 6, 15 });
    date.AddYears(-1);
    ExpectDate(date, { -1, 6, 15 });
    date.AddYears(1);
    ExpectDate(date, { 1, 6, 15 });
    date.SetDate(15u, 1u, 1u);
    date.AddMonths(-1);
    ExpectDate(date, { -1, 12, 15 });
    EXPECT_EQ(LibDate(1u, 1u, 1u) - 1, LibDate(31u, 12u, unsigned(-1)));
}

TEST(LibDate, ArithmeticThatWouldOverflowLeavesTheDateUnchanged)
{
    LibDate date(7u, 12u, 2026u);
    const LibDate before = date;
    date.AddYears(INT_MAX);
    date.AddMonths(INT_MIN);
    date += LONG_MAX;
    date -= LONG_MAX;
    date.SetDate(LONG_MIN);
    EXPECT_EQ(date, before);
    ExpectDate(date, { 2026, 12, 7 });
    date.AddDays(INT_MAX); // past the largest day number
    EXPECT_EQ(date, before);
    date.AddDays(INT_MIN); // about 5.9 million years back still fits
    EXPECT_EQ(date - before, INT_MIN);
    EXPECT_TRUE(date.IsValidDate());
}

TEST(LibDate, DaysMonthsAndYearsAddAtMonthEnds)
{
    LibDate date(31u, 1u, 2023u);
    date.AddMonths(1);
    ExpectDate(date, { 2023, 3, 3 });
    date.SetDate(29u, 2u, 2024u);
    date.AddYears(1);
    ExpectDate(date, { 2025, 3, 1 });
    date.SetDate(1u, 3u, 2024u);
    date.AddDays(-1);
    ExpectDate(date, { 2024, 2, 29 });
    EXPECT_EQ(LibDate(1u, 3u, 2024u) - LibDate(1u, 2u, 2024u), 29);
    EXPECT_EQ(LibDate(1u, 2u, 2024u).DaysSince(LibDate(1u, 3u, 2024u)), -29);
    ExpectDate(LibDate(28u, 2u, 2023u) + 1, { 2023, 3, 1 });
    ExpectDate(LibDate(1u, 3u, 2023u) - 1L, { 2023, 2, 28 });
}

TEST(LibDate, ComparesByDayNumber)
{
    LibDate early(5u, 3u, 2002u);
    LibDate late(6u, 3u, 2002u);
    EXPECT_TRUE(early < late);
    EXPECT_TRUE(early <= late);
    EXPECT_TRUE(late > early);
    EXPECT_TRUE(late >= early);
    EXPECT_TRUE(early != late);
    EXPECT_TRUE(early == LibDate(5u, 3u, 2002u));
}

TEST(LibDate, WeekdaysAndWeekEnds)
{
    LibDate date(7u, 12u, 2026u);
    EXPECT_EQ(date.DayOfWeek(0), kMonday);
    EXPECT_EQ(date.DayOfWeek(5u), kSaturday);
    EXPECT_TRUE(date.IsWeekEnd(5));
    EXPECT_TRUE(date.IsWeekEnd(6));
    EXPECT_FALSE(date.IsWeekEnd(0));
    // The Julian 4 October 1582 was a Thursday, the day before 15 October.
    EXPECT_EQ(LibDate(4u, 10u, 1582u).DayOfWeek(0), kThursday);
}

TEST(LibDate, WeekdayFromNameByFirstLetters)
{
    LibDate date(false, false);
    const std::pair<const char*, int> cases[]
        = { { "Fri", 5 }, { "monday", 1 }, { "SUN", 0 }, { "Sat", 6 }, { "s", 6 }, { "tu", 2 },
              { "Thu", 4 }, { "W", 3 }, { "x", 0 }, { "", 0 }, { nullptr, 0 } };
    for (const auto& [name, weekday] : cases)
        EXPECT_EQ(date.DayOfWeek(name), weekday) << (name ? name : "(null)");
}

TEST(LibDate, NextAndPreviousWeekdayAlwaysMove)
{
    LibDate monday(7u, 12u, 2026u);
    LibDate date = monday;
    date.SetToNext(kMonday);
    EXPECT_EQ(date - monday, 7);
    date = monday;
    date.SetToPrev(kMonday);
    EXPECT_EQ(date - monday, -7);
    date = monday;
    date.SetToNext(kWednesday);
    EXPECT_EQ(date - monday, 2);
    date = monday;
    date.SetToPrev(kSaturday);
    EXPECT_EQ(date - monday, -2);
}

TEST(LibDate, UnformattedDates)
{
    LibDate date(1u, 1u, 2026u);
    EXPECT_TRUE(date.SetUnformattedDate("7/4"));
    ExpectDate(date, { 2026, 7, 4 });
    EXPECT_TRUE(date.SetUnformattedDate("12/25/99"));
    ExpectDate(date, { 2099, 12, 25 });
    EXPECT_TRUE(date.SetUnformattedDate("1-2-2003"));
    ExpectDate(date, { 2003, 1, 2 });
    EXPECT_TRUE(date.SetUnformattedDate("9"));
    ExpectDate(date, { 2003, 9, 1 });
    const LibDate before = date;
    for (const char* bad : { "", "123/1/2000", "1/123/2000", "1//2000", "1/2/3", "1/2/200",
             "1/2/20000", "1/2/2000/12345", static_cast<const char*>(nullptr) }) {
        EXPECT_FALSE(date.SetUnformattedDate(bad)) << (bad ? bad : "(null)");
        EXPECT_EQ(date, before);
    }
}

TEST(LibDate, FixedLayoutAndMonthNames)
{
    LibDate date(false, false);
    date.SetDate("12/07/2026");
    ExpectDate(date, { 2026, 12, 7 });
    date.SetMonth("Jun");
    ExpectDate(date, { 2026, 6, 7 });
    date.SetMonth("Ju"); // June is the first month that begins with "Ju"
    EXPECT_EQ(date.GetMonth(), 6u);
    date.SetMonth("jan"); // case-sensitive: no month
    date.SetMonth("");
    date.SetMonth("Junes");
    EXPECT_EQ(date.GetMonth(), 6u);
    date.SetDate("12/0"); // a text too short for its layout does not read past its end
    ExpectDate(date, { 2026, 6, 7 });
}

TEST(LibDate, TmRecords)
{
    LibDate date(7u, 12u, 2026u);
    struct tm standard = {};
    date.GetDate(standard);
    EXPECT_EQ(standard.tm_year, 126);
    EXPECT_EQ(standard.tm_mon, 11);
    EXPECT_EQ(standard.tm_mday, 7);
    EXPECT_EQ(standard.tm_wday, 1);
    EXPECT_EQ(standard.tm_yday, 340);
    EXPECT_EQ(standard.tm_isdst, -1);

    struct tm windowed = {};
    date.GetDate(&windowed);
    EXPECT_EQ(windowed.tm_year, 126);
    windowed.tm_year = 26; // two-digit years up to 50 are counted from 2000
    date.SetDate(&windowed);
    ExpectDate(date, { 2026, 12, 7 });
    windowed.tm_year = 99;
    date.SetDate(&windowed);
    ExpectDate(date, { 1999, 12, 7 });
}

TEST(LibDate, DayOfYearAndMonthLengths)
{
    EXPECT_EQ(LibDate(1u, 1u, 2024u).GetDayOfYear(), 1);
    EXPECT_EQ(LibDate(31u, 12u, 2024u).GetDayOfYear(), 366);
    LibDate date(15u, 2u, 2024u);
    EXPECT_EQ(date.DaysInMonth(), 29);
    EXPECT_EQ(date.DaysInYear(0), 366);
    EXPECT_EQ(date.DaysInYear(2023), 365);
    EXPECT_EQ(date.DaysInMonth(13u, 2024u), 0);
    EXPECT_TRUE(date.IsLeapYear(1500));
    EXPECT_FALSE(date.IsLeapYear(1900));
    EXPECT_FALSE(LibDate(false, false).IsValidDate());
}

TEST(LibDate, TodayInLocalTimeAndUtc)
{
    brenvik::test::ScopedTimeZone zone("XYZ-14"); // 14 hours east of UTC
    time_t before = time(nullptr);
    LibDate local(true, true);
    LibDate utc(true, false);
    time_t after = time(nullptr);
    auto dayNumberAt = [](time_t clock, long offset) { return 2440587 + (clock + offset) / 86400; };
    EXPECT_GE(local.DayNumber(), dayNumberAt(before, 14 * 3600));
    EXPECT_LE(local.DayNumber(), dayNumberAt(after, 14 * 3600));
    EXPECT_GE(utc.DayNumber(), dayNumberAt(before, 0));
    EXPECT_LE(utc.DayNumber(), dayNumberAt(after, 0));
}

TEST(LibDate, ArchivesItsDayNumber)
{
    BMessage archive;
    ASSERT_EQ(LibDate(5u, 3u, 2002u).Archive(archive), B_OK);
    int32 dayNumber = 0;
    ASSERT_EQ(archive.FindInt32("date", &dayNumber), B_OK);
    EXPECT_EQ(dayNumber, LibDate(5u, 3u, 2002u).DayNumber());

    LibDate restored(1u, 1u, 1999u);
    EXPECT_EQ(restored.Restore(archive), B_OK);
    ExpectDate(restored, { 2002, 3, 5 });
    EXPECT_NE(restored.Restore(BMessage()), B_OK);
    ExpectDate(restored, { 2002, 3, 5 });
}

TEST(LibDate, PrintsMonthDayYearAndDayNumber)
{
    testing::internal::CaptureStderr();
    LibDate(5u, 3u, 2002u).PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "LibDate: 3/5/2002 (2452338)\n");
}

} // namespace
