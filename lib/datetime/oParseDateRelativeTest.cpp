// Relative items of the free-form date reader, and the conversion of its fields
// to clock values in the local time zone.

#include <gtest/gtest.h>

#include "DateParserTestSupport.h"

namespace {

using namespace brenvik::test;

class DateParserRelative : public testing::Test {
protected:
    ScopedTimeZone fZone { "UTC0" };
};

struct WeekdayCase {
    const char* text;
    int days; // from the reference Wednesday, at 00:00:00
};

void PrintTo(const WeekdayCase& c, std::ostream* out)
{
    *out << "\"" << c.text << "\"";
}

class DateParserWeekday : public DateParserRelative,
                          public testing::WithParamInterface<WeekdayCase> { };

TEST_P(DateParserWeekday, NamesADayOfAnotherWeek)
{
    EXPECT_EQ(
        o_parsedate(GetParam().text, kReference), kReferenceMidnight + GetParam().days * kDay);
    EXPECT_EQ(ReadFields(GetParam().text)->flags, 1);
}

// NEXT and LAST name the weekday of the next or the last week, THIS the next such
// day after today, a lone sign the next or last such day.
INSTANTIATE_TEST_SUITE_P(Wednesday, DateParserWeekday,
    testing::Values(WeekdayCase { "next monday", 5 }, WeekdayCase { "next friday", 9 },
        WeekdayCase { "next wednesday", 7 }, WeekdayCase { "this friday", 2 },
        WeekdayCase { "this monday", 5 }, WeekdayCase { "this wednesday", 7 },
        WeekdayCase { "last monday", -9 }, WeekdayCase { "last friday", -5 },
        WeekdayCase { "last wednesday", -7 }, WeekdayCase { "+ friday", 2 },
        WeekdayCase { "+ monday", 5 }, WeekdayCase { "- monday", -2 },
        WeekdayCase { "- friday", -5 }, WeekdayCase { "-0 friday", -5 },
        WeekdayCase { "-0 monday", -2 },
        // The format's own rules when the weekday is today's: a lone "+" goes
        // two weeks on, a lone "-" stays today and "-0" goes a week on.
        WeekdayCase { "+ wednesday", 14 }, WeekdayCase { "- wednesday", 0 },
        WeekdayCase { "-0 wednesday", 7 },
        // Counts land on the weekday named, also beyond one week.
        WeekdayCase { "+1 friday", 9 }, WeekdayCase { "-1 friday", -5 },
        WeekdayCase { "+2 friday", 16 }, WeekdayCase { "+2 monday", 12 },
        WeekdayCase { "-2 monday", -16 }, WeekdayCase { "-2 friday", -12 }));

struct AmountCase {
    const char* text;
    long expected; // the clock value against kReference
};

void PrintTo(const AmountCase& c, std::ostream* out)
{
    *out << "\"" << c.text << "\"";
}

class DateParserAmount : public DateParserRelative,
                         public testing::WithParamInterface<AmountCase> { };

TEST_P(DateParserAmount, MovesFromTheReference)
{
    EXPECT_EQ(o_parsedate(GetParam().text, kReference), GetParam().expected);
}

// Units counted in seconds keep the reference's time of day; units counted in
// months, and TOMORROW, TODAY, YESTERDAY, start from midnight.
INSTANTIATE_TEST_SUITE_P(Amounts, DateParserAmount,
    testing::Values(AmountCase { "3 hours", kReference + 3 * 3600 },
        AmountCase { "+90 minutes", kReference + 90 * 60 },
        AmountCase { "-1 day", kReference - kDay },
        // Once the amount is negative, later items go on backwards.
        AmountCase { "-1 DAY 2 HOURS", kReference - 26 * 3600 },
        AmountCase { "next week", kReference + 7 * kDay },
        AmountCase { "next monday next week", kReference + 12 * kDay },
        AmountCase { "last week", kReference - 7 * kDay }, AmountCase { "this day", kReference },
        AmountCase { "-0 sec", kReference }, AmountCase { "yesterday", kReferenceMidnight - kDay },
        AmountCase { "today", kReferenceMidnight }, AmountCase { "2 months", UtcClock(2026, 5, 4) },
        AmountCase { "-3 months", UtcClock(2025, 12, 4) },
        AmountCase { "last year", UtcClock(2025, 3, 4) },
        AmountCase { "10 years", UtcClock(2036, 3, 4) },
        AmountCase { "tomorrow 10:30", kReferenceMidnight + kDay + 10 * 3600 + 1800 },
        AmountCase { "10 pm tomorrow", kReferenceMidnight + kDay + 22 * 3600 },
        AmountCase { "yesterday 12 am", kReferenceMidnight - kDay },
        // An hour offset sets the amount, and keeps the time of day.
        AmountCase { "+2:00", kReference + 2 * 3600 }, AmountCase { "-1:30", kReference - 5400 },
        AmountCase { "-0:30", kReference - 1800 }, AmountCase { "+1:00:30", kReference + 3630 },
        AmountCase { "tomorrow +1:00", kReference + 3600 }));

TEST_F(DateParserRelative, MonthAmountsMoveWholeYears)
{
    EXPECT_EQ(ReadFields("-3 months")->month, 12);
    EXPECT_EQ(ReadFields("-3 months")->year, 125);
    EXPECT_EQ(ReadFields("22 months")->month, 1);
    EXPECT_EQ(ReadFields("22 months")->year, 128);
}

TEST_F(DateParserRelative, HugeAmountsStayWithinRange)
{
    // A count saturates; a date that would leave every calendar is refused.
    EXPECT_EQ(o_parsedate("999999999999 seconds", kReference), kReference + 999999999);
    EXPECT_EQ(o_parsedate("99999999 years", kReference), -1);
    EXPECT_NE(o_parsedate("999999 months", kReference), -1);
    EXPECT_NE(o_parsedate("999999999 weeks 999999999 weeks", kReference), -1);
}

TEST_F(DateParserRelative, ReferenceMinusOneIsNow)
{
    time_t before = time(nullptr);
    long value = o_parsedate("+0:00", -1);
    time_t after = time(nullptr);
    EXPECT_GE(value, before);
    EXPECT_LE(value, after);
}

TEST(DateParserLocalTime, TextsWithoutZoneAreLocalTimeWithDaylightSaving)
{
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(o_parsedate("July 4 2002 12:00", kReference), UtcClock(2002, 7, 4, 16));
    EXPECT_EQ(o_parsedate("Jan 4 2002 12:00", kReference), UtcClock(2002, 1, 4, 17));
    EXPECT_EQ(o_parsedate("Jan 4 2002 12:00 GMT", kReference), UtcClock(2002, 1, 4, 12));
}

TEST(DateParserLocalTime, DaylightSavingOfHalfAnHour)
{
    // Lord Howe Island: UTC+10:30, and +11 in the southern summer.
    ScopedTimeZone zone("LHST-10:30LHDT-11,M10.1.0,M4.1.0");
    EXPECT_EQ(o_parsedate("Jan 15 2024 12:00", kReference), UtcClock(2024, 1, 15, 1));
    EXPECT_EQ(o_parsedate("Jul 15 2024 12:00", kReference), UtcClock(2024, 7, 15, 1, 30));
}

TEST(DateParserLocalTime, DefaultsComeFromTheLocalReferenceDay)
{
    // 14:25 UTC on the reference day is already 03:25 of the next day at UTC+13.
    ScopedTimeZone zone("XYZ-13");
    EXPECT_EQ(ReadFields("10:30")->day, 5);
    EXPECT_EQ(o_parsedate("10:30", kReference), UtcClock(2026, 3, 4, 21, 30));
}

TEST(PlatformParseDate, AgreesWithTheLibraryEntryPoint)
{
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    for (const char* text :
        { "March 5, 2002 10:30 PM", "next monday", "10:30 EST", "5.3.02", "Tuesday, foo", "" }) {
        EXPECT_EQ(long(parsedate(text, kReference)), o_parsedate(text, kReference)) << text;
    }
    int flags = -1;
    EXPECT_EQ(parsedate_etc("tomorrow", kReference, &flags), kReferenceMidnight + 5 * 3600 + kDay);
    EXPECT_EQ(flags, PARSEDATE_RELATIVE_TIME);
    EXPECT_NE(parsedate_etc("March 5", kReference, &flags), -1);
    EXPECT_EQ(flags, 0);
    flags = -1;
    EXPECT_EQ(parsedate_etc("foo", kReference, &flags), -1);
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(parsedate_etc("March 5", kReference, nullptr), parsedate("March 5", kReference));
}

} // namespace
