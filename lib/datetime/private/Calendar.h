#pragma once

// Calendar arithmetic shared by the date and time classes and their formatters.
//
// Dates are numbered by day: the day number is one less than the astronomical
// Julian Day Number (2000-01-01 is 2451544, 1970-01-01 is 2440587). Dates before
// 1582-10-15 belong to the Julian calendar, dates from then on to the Gregorian
// calendar, so 1582-10-04 and 1582-10-15 are consecutive days. Years are counted
// as people write them: there is no year 0, and the year before 1 is -1.
//
// All conversions are exact integer arithmetic and invert each other for every
// day number; they work in 64 bits so that no input can overflow them.

#include <cstdint>

#include <CalendarArithmetic.h>

namespace brenvik::calendar {

typedef std::int64_t int64;

struct CivilDate {
    int64 day;
    int64 month;
    int64 year; // never 0
};

// Rounding toward minus infinity, which calendar arithmetic needs for dates
// before any epoch.
using BPrivate::FloorDiv;
using BPrivate::FloorMod;

// Before 1582 a leap year is every fourth (the Julian rule); from 1582 on, the
// Gregorian rule. Years before 1 are counted astronomically for the rule, so that
// 1 BC (-1) is a leap year like every Julian year divisible by four.
bool IsLeapYear(int64 year);
// The length of a month (1..12) of a year; 0 for any other month.
int MonthLength(int64 month, int64 year);

// The first day of the Gregorian calendar (1582-10-15).
constexpr int64 kGregorianStart = 2299160;
constexpr int64 kUnixEpochDayNumber = 2440587;

// The day number of a date whose day lies within its month (year not 0). Days of
// October 1582 between the 4th and the 15th are counted in the Julian calendar,
// as if the reform had not happened yet.
int64 DayNumberOf(int64 day, int64 month, int64 year);
// The date of a day number.
CivilDate DateOf(int64 dayNumber);
// Normalises any day, month and year (year not 0): months outside 1..12 move
// whole years, then days outside the month move the date by whole days. The
// result is a day number.
int64 NormalisedDayNumber(int64 day, int64 month, int64 year);

// 0 for Sunday to 6 for Saturday.
int WeekdayOf(int64 dayNumber);

} // namespace brenvik::calendar
