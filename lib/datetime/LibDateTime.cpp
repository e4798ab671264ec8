#include "LibDateTime.h"

#include <cstdio>

#include <LibString.h>
#include <parsedate.h>

#include "Calendar.h"

using brenvik::calendar::FloorDiv;
using brenvik::calendar::FloorMod;
using brenvik::calendar::int64;

LibDateTime::LibDateTime(bool const& local)
    : LibDate(false, false)
    , LibTime(false, false)
{
    // One reading of the clock for both parts, so that a date-time made just at
    // midnight cannot take yesterday's date with today's time.
    SetNow(local);
}

LibDateTime::LibDateTime(
    unsigned int const& day, unsigned int const& month, unsigned int const& year)
    : LibDate(day, month, year)
    , LibTime(false, false)
{
}

LibDateTime::LibDateTime(const LibDateTime& other) = default;

LibDateTime::~LibDateTime() = default;

status_t LibDateTime::Archive(BMessage& archive) const
{
    status_t status = LibDate::Archive(archive);
    return status == B_OK ? LibTime::Archive(archive) : status;
}

status_t LibDateTime::Restore(const BMessage& archive)
{
    status_t dateStatus = LibDate::Restore(archive);
    status_t timeStatus = LibTime::Restore(archive);
    return dateStatus != B_OK ? dateStatus : timeStatus;
}

void LibDateTime::SetNow(const bool& local)
{
    SetDateTime(long(time(nullptr)), local);
}

void LibDateTime::MoveTo(int64 days, int64 secondsOfDay)
{
    if (SetDayNumber(DayNumber() + days))
        SetSecondsOfDay(secondsOfDay);
}

void LibDateTime::AddSeconds(const long& seconds)
{
    // The argument is split into whole days and a remainder first, so that no
    // value of it can overflow the sum.
    int64 total = NumberOfSeconds() + FloorMod(seconds, 86400);
    MoveTo(FloorDiv(seconds, 86400) + FloorDiv(total, 86400), total);
}

void LibDateTime::AddMinutes(const long& minutes)
{
    int64 total = int64(GetHours()) * 60 + GetMinutes() + FloorMod(minutes, 1440);
    MoveTo(FloorDiv(minutes, 1440) + FloorDiv(total, 1440),
        FloorMod(total, 1440) * 60 + LibTime::GetSeconds());
}

void LibDateTime::AddHours(const long& hours)
{
    int64 total = int64(GetHours()) + FloorMod(hours, 24);
    MoveTo(FloorDiv(hours, 24) + FloorDiv(total, 24),
        FloorMod(total, 24) * 3600 + GetMinutes() * 60 + LibTime::GetSeconds());
}

void LibDateTime::SetDateTime(const long& clock, const bool& local)
{
    time_t when = time_t(clock);
    struct tm parts;
    bool ok = local ? localtime_r(&when, &parts) != nullptr : gmtime_r(&when, &parts) != nullptr;
    if (!ok)
        return;
    if (SetFields(parts.tm_mday, int64(parts.tm_mon) + 1, int64(parts.tm_year) + 1900))
        CorrectTime(parts.tm_hour, parts.tm_min, parts.tm_sec);
}

void LibDateTime::SetDateTime(tm* time)
{
    LibDate::SetDate(time);
    LibTime::SetTime(time);
}

void LibDateTime::GetDateTime(tm* time) const
{
    if (time == nullptr)
        return;
    LibDate::GetDate(time);
    LibTime::GetTime(*time);
}

LibDateTime& LibDateTime::operator=(const LibDate& date)
{
    LibDate::operator=(date);
    return *this;
}

LibDateTime& LibDateTime::operator=(const LibTime& time)
{
    LibTime::operator=(time);
    return *this;
}

LibDateTime& LibDateTime::operator=(const LibDateTime& other) = default;

long LibDateTime::MinutesSince(const LibDateTime& other) const
{
    int64 seconds = int64(DaysSince(other)) * 86400 + NumberOfSeconds() - other.NumberOfSeconds();
    return long(seconds / 60);
}

LibTime LibDateTime::operator-(const LibDateTime& other) const
{
    return LibTime::operator-(other);
}

int LibDateTime::Compare(const LibDateTime& other) const
{
    if (DayNumber() != other.DayNumber())
        return DayNumber() < other.DayNumber() ? -1 : 1;
    if (LibTime::operator==(other))
        return 0;
    return LibTime::operator<(other) ? -1 : 1;
}

bool LibDateTime::operator==(const LibDateTime& other) const
{
    return Compare(other) == 0;
}

bool LibDateTime::operator!=(const LibDateTime& other) const
{
    return Compare(other) != 0;
}

bool LibDateTime::operator<(const LibDateTime& other) const
{
    return Compare(other) < 0;
}

bool LibDateTime::operator<=(const LibDateTime& other) const
{
    return Compare(other) <= 0;
}

bool LibDateTime::operator>(const LibDateTime& other) const
{
    return Compare(other) > 0;
}

bool LibDateTime::operator>=(const LibDateTime& other) const
{
    return Compare(other) >= 0;
}

bool LibDateTime::SetIso8601(const LibString& text, const short& zoneHours)
{
    long length = text.Length();
    if (length <= 14)
        return false;
    auto piece = [&text](long first, long last) {
        short value = 0;
        text.Extract(first, last).GetInt16(value);
        return value;
    };
    // The date and the time are each set as a whole: setting the month alone
    // first would move 31 January to 2 March before the day is set.
    SetFields(piece(6, 7), piece(4, 5), piece(0, 3));
    CorrectTime(piece(9, 10), piece(11, 12), piece(13, 14));
    const char* bytes = text;
    if (length == 16 && (bytes[15] == 'Z' || bytes[15] == 'z'))
        AddHours(zoneHours);
    return true;
}

void LibDateTime::GetIso8601(LibString& text, const short& zoneHours) const
{
    // The date moves with the time: 23:00 two hours on is the next day.
    LibDateTime shifted(*this);
    if (zoneHours != 0)
        shifted.AddHours(zoneHours);
    text.Formatted("%d%2.2d%2.2dT%2.2ld%2.2ld%2.2ld", int(shifted.GetYear()),
        int(shifted.GetMonth()), int(shifted.GetDay()), shifted.GetHours(), shifted.GetMinutes(),
        shifted.LibTime::GetSeconds());
    if (zoneHours != 0)
        text.Concat("Z");
}

bool LibDateTime::Set(const LibString& text)
{
    time_t clock = parsedate(text, time(nullptr));
    if (clock == -1) {
        fputs("Error with date time value\n", stderr);
        return false;
    }
    SetDateTime(long(clock), true);
    return true;
}

void LibDateTime::PrintToStream() const
{
    LibDate::PrintToStream();
    LibTime::PrintToStream();
}
