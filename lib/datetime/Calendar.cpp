#include "Calendar.h"

namespace brenvik::calendar {

namespace {

using BPrivate::DayOfMarchYear;

// The astronomical year number (1 BC is 0) and back.
int64 Astronomical(int64 year)
{
    return year < 0 ? year + 1 : year;
}

int64 Historical(int64 astronomicalYear)
{
    return astronomicalYear <= 0 ? astronomicalYear - 1 : astronomicalYear;
}

void MonthAndDayOfMarchYear(int64 dayOfYear, CivilDate& date)
{
    int64 monthIndex = (5 * dayOfYear + 2) / 153;
    date.day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    date.month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
}

// Days of the Gregorian calendar are counted from 1970-01-01 (DaysFromCivil), in
// 400-year eras that start on 1 March.
CivilDate GregorianDate(int64 days)
{
    days += 719468;
    int64 era = FloorDiv(days, 146097);
    int64 dayOfEra = days - era * 146097;
    int64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    CivilDate date;
    MonthAndDayOfMarchYear(dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100), date);
    date.year = yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0);
    return date;
}

// Julian Day Numbers of the Julian calendar, in 4-year cycles that start on
// 1 March of year 0 (Julian Day Number 1721118).
constexpr int64 kJulianCycleStart = 1721118;

int64 JulianDayNumber(int64 year, int64 month, int64 day)
{
    year -= month <= 2 ? 1 : 0;
    int64 cycle = FloorDiv(year, 4);
    int64 yearOfCycle = year - cycle * 4;
    return cycle * 1461 + yearOfCycle * 365 + DayOfMarchYear(month, day) + kJulianCycleStart;
}

CivilDate JulianDate(int64 julianDayNumber)
{
    int64 days = julianDayNumber - kJulianCycleStart;
    int64 cycle = FloorDiv(days, 1461);
    int64 dayOfCycle = days - cycle * 1461;
    int64 yearOfCycle = (dayOfCycle - dayOfCycle / 1460) / 365;
    CivilDate date;
    MonthAndDayOfMarchYear(dayOfCycle - 365 * yearOfCycle, date);
    date.year = yearOfCycle + cycle * 4 + (date.month <= 2 ? 1 : 0);
    return date;
}

bool IsGregorianDate(int64 day, int64 month, int64 year)
{
    if (year != 1582)
        return year > 1582;
    return month > 10 || (month == 10 && day >= 15);
}

} // namespace

bool IsLeapYear(int64 year)
{
    int64 astronomical = Astronomical(year);
    if (year < 1582)
        return FloorMod(astronomical, 4) == 0;
    return BPrivate::IsGregorianLeapYear(year);
}

int MonthLength(int64 month, int64 year)
{
    return BPrivate::DaysInMonth(month, IsLeapYear(year));
}

int64 DayNumberOf(int64 day, int64 month, int64 year)
{
    int64 astronomical = Astronomical(year);
    if (IsGregorianDate(day, month, year))
        return BPrivate::DaysFromCivil(astronomical, month, day) + kUnixEpochDayNumber;
    return JulianDayNumber(astronomical, month, day) - 1;
}

CivilDate DateOf(int64 dayNumber)
{
    CivilDate date = dayNumber >= kGregorianStart ? GregorianDate(dayNumber - kUnixEpochDayNumber)
                                                  : JulianDate(dayNumber + 1);
    date.year = Historical(date.year);
    return date;
}

int64 NormalisedDayNumber(int64 day, int64 month, int64 year)
{
    int64 months = Astronomical(year) * 12 + (month - 1);
    year = Historical(FloorDiv(months, 12));
    month = FloorMod(months, 12) + 1;
    int64 length = MonthLength(month, year);
    if (day < 1)
        return DayNumberOf(1, month, year) + (day - 1);
    if (day > length)
        return DayNumberOf(length, month, year) + (day - length);
    return DayNumberOf(day, month, year);
}

int WeekdayOf(int64 dayNumber)
{
    // Day number 0 (2 January 4713 BC of the Julian calendar) was a Tuesday.
    return int(FloorMod(dayNumber + 2, 7));
}

} // namespace brenvik::calendar
