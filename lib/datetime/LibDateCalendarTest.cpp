// The calendar arithmetic of LibDate checked against the C++20 calendar types for
// every day from 1 January 1 to 31 December 9999. std::chrono knows only the
// proleptic Gregorian calendar, so calendar fields are compared from the reform
// of 15 October 1582 on; weekdays, which run on unbroken across the reform, are
// compared for every day, and the Julian days before the reform are checked for
// running on one by one.

#include <chrono>

#include <gtest/gtest.h>

#include "LibDate.h"

namespace {

using namespace std::chrono;

constexpr long kUnixEpochDayNumber = 2440587;
constexpr long kGregorianStart = 2299160;

sys_days ChronoDays(long dayNumber)
{
    return sys_days { days { dayNumber - kUnixEpochDayNumber } };
}

long DayNumberOf(const sys_days& value)
{
    return long(value.time_since_epoch().count()) + kUnixEpochDayNumber;
}

LibDate DateOf(const year_month_day& value)
{
    return LibDate(unsigned(value.day()), unsigned(value.month()), unsigned(int(value.year())));
}

// Whether `next` is the date that follows `date` in the calendar as people
// wrote it: the next day of the month, else the first of the next month,
// skipping the ten days of the 1582 reform and the year 0 that never was.
bool IsSuccessor(const LibDate& date, const LibDate& next)
{
    unsigned day = date.GetDay() + 1;
    unsigned month = date.GetMonth();
    int year = int(date.GetYear());
    if (year == 1582 && month == 10 && day == 5) {
        day = 15;
    } else if (int(day) > date.DaysInMonth()) {
        day = 1;
        if (++month > 12) {
            month = 1;
            year = year == -1 ? 1 : year + 1;
        }
    }
    return next.GetDay() == day && next.GetMonth() == month && int(next.GetYear()) == year;
}

// The day number by the classic astronomical formula with its truncations, an
// independent reference for both calendars from year 1 on.
long AstronomicalDayNumber(long day, long month, long year)
{
    long y = month <= 2 ? year - 1 : year;
    long m = month <= 2 ? month + 12 : month;
    long correction = 0;
    if (y * 10000 + m * 100 + day >= 15821015) {
        long century = y / 100;
        correction = century / 4 - century + 2;
    }
    return correction + long(y * 365.25) + long((m + 1) * 30.6001) + day + 1720994;
}

// Fields and day of the year of one Gregorian day. In 1582 itself the day of
// the year counts the real, shortened year, so it is compared from 1583 on.
bool IsSameDay(const LibDate& date, const sys_days& expected)
{
    year_month_day ymd { expected };
    if (int(date.GetYear()) != int(ymd.year()) || date.GetMonth() != unsigned(ymd.month())
        || date.GetDay() != unsigned(ymd.day())) {
        return false;
    }
    return ymd.year() <= year { 1582 }
    || date.GetDayOfYear() == (expected - sys_days { ymd.year() / January / 1 }).count() + 1;
}

// Every day is checked with plain comparisons, and only a mismatch is reported,
// so that the 3.65 million days stay quick under the sanitizers too.
TEST(LibDateCalendar, AgreesWithChronoOnEveryDayFromYearOneToYear9999)
{
    const long first = LibDate(1u, 1u, 1u).DayNumber();
    const long last = LibDate(31u, 12u, 9999u).DayNumber();
    ASSERT_EQ(first, 1721423);
    ASSERT_EQ(last, DayNumberOf(sys_days { year { 9999 } / December / 31 }));

    LibDate previous(first);
    for (long dayNumber = first; dayNumber <= last; dayNumber++) {
        LibDate date(dayNumber);
        const sys_days days = ChronoDays(dayNumber);
        bool agrees = date.DayNumber() == dayNumber
            && unsigned(date.DayOfWeek(0)) == weekday { days }.c_encoding()
            && AstronomicalDayNumber(date.GetDay(), date.GetMonth(), date.GetYear()) == dayNumber
            // Back from the fields to the same day number, in both calendars.
            && LibDate(date.GetDay(), date.GetMonth(), date.GetYear()).DayNumber() == dayNumber
            && (dayNumber < kGregorianStart || IsSameDay(date, days));
        if (dayNumber > first) {
            agrees = agrees && IsSuccessor(previous, date) && ++LibDate(previous) == date
                && --LibDate(date) == previous;
        }
        if (!agrees) {
            FAIL() << "day number " << dayNumber << ": " << int(date.GetYear()) << "-"
                   << date.GetMonth() << "-" << date.GetDay() << ", weekday " << date.DayOfWeek(0);
        }
        previous = date;
    }
}

TEST(LibDateCalendar, LeapYearsFollowTheJulianRuleBefore1582AndChronoAfter)
{
    LibDate any(1u, 1u, 2000u);
    for (int y = 1; y <= 9999; y++) {
        bool leap = y < 1582 ? y % 4 == 0 : year { y }.is_leap();
        ASSERT_EQ(any.IsLeapYear(unsigned(y)), leap) << y;
        ASSERT_EQ(any.DaysInYear(unsigned(y)), leap ? 366 : 365) << y;
        ASSERT_EQ(any.DaysInMonth(2u, unsigned(y)), leap ? 29 : 28) << y;
        for (unsigned m = 1; m <= 12 && y >= 1583; m++) {
            auto end = year_month_day_last { year { y }, month_day_last { month { m } } };
            ASSERT_EQ(any.DaysInMonth(m, unsigned(y)), int(unsigned(end.day()))) << y << "-" << m;
        }
    }
}

// At the last and first day of every month from 1584 on (so that no step
// reaches back into the Julian calendar), moving by days and by
// months lands where chrono does. A month step that overshoots the end of the
// target month runs on into the next month, as chrono converts such a date to
// days.
TEST(LibDateCalendar, DayAndMonthStepsAtMonthEndsAgreeWithChrono)
{
    const int monthSteps[] = { 1, -1, 2, -2, 11, -11, 13, -13, 120 };
    const int daySteps[] = { 1, -1, 29, -29, 366, -366 };
    for (int y = 1584; y <= 9989; y++) {
        for (unsigned m = 1; m <= 12; m++) {
            year_month_day monthEnd { year_month_day_last {
                year { y }, month_day_last { month { m } } } };
            year_month_day monthStart { year { y } / month { m } / 1 };
            for (const year_month_day& start : { monthEnd, monthStart }) {
                for (int step : daySteps) {
                    LibDate date = DateOf(start);
                    date.AddDays(step);
                    if (date.DayNumber() != DayNumberOf(sys_days { start } + days { step })) {
                        FAIL() << int(start.year()) << "-" << unsigned(start.month()) << "-"
                               << unsigned(start.day()) << " plus " << step << " days";
                    }
                }
                for (int step : monthSteps) {
                    LibDate date = DateOf(start);
                    date.AddMonths(step);
                    if (date.DayNumber() != DayNumberOf(sys_days { start + months { step } })) {
                        FAIL() << int(start.year()) << "-" << unsigned(start.month()) << "-"
                               << unsigned(start.day()) << " plus " << step << " months";
                    }
                }
            }
        }
    }
}

} // namespace
