#pragma once

// The integer arithmetic of the civil calendar that both the date reader of
// this kit (parsedate) and the date classes above it build on. Everything is
// exact 64-bit integer arithmetic, valid for any date whose day count fits.

#include <cstdint>

namespace BPrivate {

// Rounding toward minus infinity, which calendar arithmetic needs for dates
// before any epoch.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t quotient = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b)
{
    // From the remainder, not from the quotient: the product of the floored
    // quotient and b can overflow for the smallest a.
    std::int64_t remainder = a % b;
    return (remainder != 0 && (remainder < 0) != (b < 0)) ? remainder + b : remainder;
}

// The Gregorian rule, on an astronomical year number.
constexpr bool IsGregorianLeapYear(std::int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The length of a month (1..12); 0 for any other month, so that no caller
// reads outside a table.
constexpr int DaysInMonth(std::int64_t month, bool leapYear)
{
    constexpr int kLengths[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && leapYear)
        return 29;
    return kLengths[month - 1];
}

// The day of a year that starts on 1 March, 0..365, for a month and day.
constexpr std::int64_t DayOfMarchYear(std::int64_t month, std::int64_t day)
{
    return (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, on an
// astronomical year number. Counted in 400-year eras that start on 1 March.
constexpr std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day)
{
    year -= month <= 2 ? 1 : 0;
    std::int64_t era = FloorDiv(year, 400);
    std::int64_t yearOfEra = year - era * 400;
    std::int64_t dayOfEra
        = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + DayOfMarchYear(month, day);
    return era * 146097 + dayOfEra - 719468;
}

static_assert(DaysFromCivil(1970, 1, 1) == 0);
static_assert(DaysFromCivil(2000, 3, 1) == 11017);
static_assert(DaysFromCivil(1969, 12, 31) == -1);

} // namespace BPrivate
