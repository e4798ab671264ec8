#include "LibDate.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include <Message.h>

#include "Calendar.h"

using namespace brenvik::calendar;

namespace {

const char* const kMonthNames[12] = { "January", "February", "March", "April", "May", "June",
    "July", "August", "September", "October", "November", "December" };

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The decimal number that starts at text[offset] and runs for at most `count`
// bytes (-1: to the end), read like atoi: leading blanks and one sign allowed,
// nothing after the digits matters. A text that ends before `offset` gives 0.
int64 ReadDecimal(const char* text, size_t offset, int count)
{
    if (strnlen(text, offset) < offset)
        return 0;
    const char* p = text + offset;
    const char* end = count < 0 ? nullptr : p + count;
    auto more = [&]() { return *p != '\0' && (end == nullptr || p < end); };
    while (more() && (*p == ' ' || *p == '\t'))
        p++;
    bool negative = false;
    if (more() && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    int64 value = 0;
    for (; more() && IsDigit(*p); p++) {
        if (value < INT_MAX)
            value = value * 10 + (*p - '0');
    }
    return negative ? -value : value;
}

// The groups of digits of a numeric date: every byte that is not a digit ends a
// group. Fails on a group of more than four digits.
bool ReadDigitGroups(const char* text, int64 values[3], int lengths[3], int& groups)
{
    groups = 0;
    int64 value = 0;
    int length = 0;
    for (const char* p = text;; p++) {
        if (IsDigit(*p)) {
            if (++length > 4)
                return false;
            value = value * 10 + (*p - '0');
            continue;
        }
        // The text ends with an implied "/" that closes its last group.
        if (groups < 3) {
            values[groups] = value;
            lengths[groups] = length;
        }
        groups++;
        value = 0;
        length = 0;
        if (*p == '\0')
            return true;
    }
}

} // namespace

LibDate::LibDate(bool const& today, bool const& local)
    : fDayNumber(0)
    , fDay(0)
    , fMonth(0)
    , fYear(0)
{
    if (today)
        SetToday(local);
}

LibDate::LibDate(unsigned int const& day, unsigned int const& month, unsigned int const& year)
    : LibDate(false, false)
{
    SetDate(day, month, year);
}

LibDate::LibDate(long const& dayNumber)
    : LibDate(false, false)
{
    SetDate(dayNumber);
}

LibDate::LibDate(LibDate const& other) = default;

LibDate::~LibDate() = default;

LibDate& LibDate::operator=(const LibDate& other) = default;

status_t LibDate::Archive(BMessage& archive) const
{
    return archive.AddInt32("date", fDayNumber);
}

status_t LibDate::Restore(const BMessage& archive)
{
    int32 dayNumber;
    status_t status = archive.FindInt32("date", 0, &dayNumber);
    if (status == B_OK)
        SetDayNumber(dayNumber);
    return status;
}

bool LibDate::SetFields(int64 day, int64 month, int64 year)
{
    // There is no year 0; and the arithmetic of the fields cannot overflow in 64
    // bits for any 32-bit input.
    if (year == 0)
        return false;
    return SetDayNumber(NormalisedDayNumber(day, month, year));
}

bool LibDate::SetDayNumber(int64 dayNumber)
{
    if (dayNumber < INT32_MIN || dayNumber > INT32_MAX)
        return false;
    CivilDate date = DateOf(dayNumber);
    fDayNumber = int32(dayNumber);
    fDay = int32(date.day);
    fMonth = int32(date.month);
    fYear = int32(date.year);
    return true;
}

void LibDate::SetDate(const unsigned int& day, const unsigned int& month, const unsigned int& year)
{
    SetFields(int32(day), int32(month), int32(year));
}

void LibDate::SetDate(const long& dayNumber)
{
    SetDayNumber(dayNumber);
}

void LibDate::SetDate(const char* text)
{
    if (text == nullptr)
        return;
    SetFields(ReadDecimal(text, 3, 2), ReadDecimal(text, 0, 2), ReadDecimal(text, 6, -1));
}

void LibDate::SetDate(tm* time)
{
    if (time == nullptr)
        return;
    int64 year = int64(time->tm_year) + (time->tm_year <= 50 ? 2000 : 1900);
    SetFields(time->tm_mday, int64(time->tm_mon) + 1, year);
}

void LibDate::GetDate(tm* time) const
{
    if (time == nullptr)
        return;
    time->tm_mday = fDay;
    time->tm_mon = fMonth - 1;
    time->tm_year = fYear <= 50 ? fYear - 2000 : fYear - 1900;
}

void LibDate::GetDate(tm& time) const
{
    time.tm_mday = fDay;
    time.tm_mon = fMonth - 1;
    time.tm_year = fYear - 1900;
    time.tm_wday = DayOfWeek(0);
    time.tm_yday = GetDayOfYear() - 1;
    time.tm_isdst = -1;
}

void LibDate::SetToday(const bool& local)
{
    time_t now = time(nullptr);
    struct tm parts;
    bool ok = local ? localtime_r(&now, &parts) != nullptr : gmtime_r(&now, &parts) != nullptr;
    if (ok)
        SetFields(parts.tm_mday, int64(parts.tm_mon) + 1, int64(parts.tm_year) + 1900);
}

int LibDate::CurrentYear() const
{
    if (fYear >= 1000 && fYear <= 9999)
        return fYear;
    return LibDate(true, true).fYear;
}

bool LibDate::SetUnformattedDate(const char* text)
{
    if (text == nullptr)
        return false;
    int64 values[3] = { 1, 1, 0 };
    int lengths[3] = { 0, 0, 0 };
    int groups = 0;
    if (!ReadDigitGroups(text, values, lengths, groups))
        return false;
    // Month and day have one or two digits; a missing one is 1.
    for (int i = 0; i < 2 && i < groups; i++) {
        if (lengths[i] < 1 || lengths[i] > 2)
            return false;
    }
    int64 year = CurrentYear();
    if (groups >= 3) {
        if (lengths[2] == 4) {
            year = values[2];
        } else if (lengths[2] == 2) {
            // The century of the current year: 99 in 2026 is 2099.
            year = year / 100 * 100 + values[2];
        } else if (lengths[2] != 0) {
            return false;
        }
    }
    if (groups < 2)
        values[1] = 1;
    return SetFields(values[1], values[0], year);
}

void LibDate::SetDay(const unsigned int& day)
{
    SetFields(int32(day), fMonth, fYear);
}

void LibDate::SetMonth(const unsigned int& month)
{
    SetFields(fDay, int32(month), fYear);
}

void LibDate::SetYear(const unsigned int& year)
{
    SetFields(fDay, fMonth, int32(year));
}

void LibDate::SetMonth(const char* name)
{
    // An empty name would match January; it names no month.
    if (name == nullptr || name[0] == '\0')
        return;
    size_t length = strlen(name);
    for (int i = 0; i < 12; i++) {
        if (strncmp(kMonthNames[i], name, length) == 0) {
            SetFields(fDay, i + 1, fYear);
            return;
        }
    }
}

void LibDate::AddDays(const int& days)
{
    SetFields(int64(fDay) + days, fMonth, fYear);
}

void LibDate::AddMonths(const int& months)
{
    SetFields(fDay, int64(fMonth) + months, fYear);
}

void LibDate::AddYears(const int& years)
{
    // Counted astronomically, so that one year before 1 AD is 1 BC.
    int64 year = fYear;
    int64 target = year + years;
    if (year > 0 && target <= 0)
        target--;
    else if (year < 0 && target >= 0)
        target++;
    SetFields(fDay, fMonth, target);
}

LibDate& LibDate::operator++()
{
    SetDayNumber(int64(fDayNumber) + 1);
    return *this;
}

LibDate& LibDate::operator--()
{
    SetDayNumber(int64(fDayNumber) - 1);
    return *this;
}

LibDate& LibDate::operator+=(const long& days)
{
    if (days <= INT32_MAX && days >= INT32_MIN)
        SetDayNumber(int64(fDayNumber) + days);
    return *this;
}

LibDate& LibDate::operator-=(const long& days)
{
    if (days <= INT32_MAX && days >= INT32_MIN)
        SetDayNumber(int64(fDayNumber) - days);
    return *this;
}

LibDate LibDate::operator+(const int& days) const
{
    return *this + long(days);
}

LibDate LibDate::operator+(const long& days) const
{
    LibDate result(*this);
    result += days;
    return result;
}

LibDate LibDate::operator-(const int& days) const
{
    return *this - long(days);
}

LibDate LibDate::operator-(const long& days) const
{
    LibDate result(*this);
    result -= days;
    return result;
}

long LibDate::operator-(const LibDate& other) const
{
    return long(fDayNumber) - other.fDayNumber;
}

long LibDate::DaysSince(const LibDate& other) const
{
    return *this - other;
}

bool LibDate::IsValidDate() const
{
    if (fMonth < 1 || fMonth > 12 || fDay < 1 || fDay > MonthLength(fMonth, fYear))
        return false;
    // The days that the calendar reform of 1582 left out never existed.
    return !(fYear == 1582 && fMonth == 10 && fDay > 4 && fDay < 15);
}

bool LibDate::IsLeapYear(unsigned int year) const
{
    return brenvik::calendar::IsLeapYear(int32(year));
}

int LibDate::DaysInYear(unsigned int year) const
{
    int32 which = year == 0 ? fYear : int32(year);
    return brenvik::calendar::IsLeapYear(which) ? 366 : 365;
}

int LibDate::DaysInMonth() const
{
    return MonthLength(fMonth, fYear);
}

int LibDate::DaysInMonth(const unsigned int& month, const unsigned int& year) const
{
    return MonthLength(int32(month), int32(year));
}

int LibDate::GetDayOfYear() const
{
    return int(fDayNumber - DayNumberOf(1, 1, fYear == 0 ? 1 : fYear) + 1);
}

int LibDate::DayOfWeek(const unsigned int& day) const
{
    if (day == 0 || fYear == 0)
        return WeekdayOf(fDayNumber);
    // Computed through the day number, so that Julian dates get their true
    // weekday too.
    return WeekdayOf(NormalisedDayNumber(int32(day), fMonth, fYear));
}

int LibDate::DayOfWeek(const int& day) const
{
    return DayOfWeek(unsigned(day));
}

int LibDate::DayOfWeek(const char* name) const
{
    if (name == nullptr)
        return 0;
    auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
    char first = upper(name[0]);
    char second = first != '\0' ? upper(name[1]) : '\0';
    switch (first) {
    case 'F':
        return 5;
    case 'M':
        return 1;
    case 'S':
        return second == 'U' ? 0 : 6;
    case 'T':
        return second == 'U' ? 2 : 4;
    case 'W':
        return 3;
    default:
        return 0;
    }
}

bool LibDate::IsWeekEnd(unsigned int day) const
{
    int weekday = DayOfWeek(day);
    return weekday == kSaturday || weekday == kSunday;
}

void LibDate::SetToNext(const LibWeekDay& weekday)
{
    int64 days = FloorMod(int64(weekday) - DayOfWeek(0), 7);
    *this += long(days == 0 ? 7 : days);
}

void LibDate::SetToPrev(const LibWeekDay& weekday)
{
    int64 days = FloorMod(DayOfWeek(0) - int64(weekday), 7);
    *this -= long(days == 0 ? 7 : days);
}

void LibDate::PrintToStream() const
{
    fprintf(
        stderr, "LibDate: %d/%d/%d (%ld)\n", int(fMonth), int(fDay), int(fYear), long(fDayNumber));
}
