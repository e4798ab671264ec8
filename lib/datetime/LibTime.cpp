#include "LibTime.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include <Message.h>

#include "Calendar.h"

using brenvik::calendar::FloorMod;
using brenvik::calendar::int64;

namespace {

constexpr int64 kSecondsPerDay = 86400;

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The two-byte decimal number at text[offset], read like atoi; 0 when the text
// ends before it.
int64 ReadPair(const char* text, size_t offset)
{
    if (strnlen(text, offset + 2) < offset + 1)
        return 0;
    const char* p = text + offset;
    const char* end = p + 2;
    while (p < end && *p == ' ')
        p++;
    bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+'))
        p++;
    int64 value = 0;
    for (; p < end && IsAsciiDigit(*p); p++)
        value = value * 10 + (*p - '0');
    return negative ? -value : value;
}

long LocalOffsetNow()
{
    time_t now = time(nullptr);
    struct tm local;
    return localtime_r(&now, &local) != nullptr ? local.tm_gmtoff : 0;
}

} // namespace

LibTime::LibTime(bool const& now, bool const& local)
    : fHours(0)
    , fMinutes(0)
    , fSeconds(0)
{
    if (now)
        SetNow(local);
}

LibTime::LibTime(long const& hours, long const& minutes, long const& seconds)
    : LibTime(false, false)
{
    SetTime(hours, minutes, seconds);
}

LibTime::LibTime(const LibTime& other) = default;

LibTime::~LibTime() = default;

LibTime& LibTime::operator=(const LibTime& other) = default;

status_t LibTime::Archive(BMessage& archive) const
{
    status_t status = archive.AddInt32("hours", fHours);
    if (status == B_OK)
        status = archive.AddInt32("minutes", fMinutes);
    if (status == B_OK)
        status = archive.AddInt32("seconds", fSeconds);
    return status;
}

status_t LibTime::Restore(const BMessage& archive)
{
    int32 hours;
    int32 minutes;
    int32 seconds;
    status_t status = archive.FindInt32("hours", 0, &hours);
    if (status == B_OK)
        status = archive.FindInt32("minutes", 0, &minutes);
    if (status == B_OK)
        status = archive.FindInt32("seconds", 0, &seconds);
    if (status != B_OK)
        return status;
    fHours = hours;
    fMinutes = minutes;
    fSeconds = seconds;
    return B_OK;
}

void LibTime::SetSecondsOfDay(int64 seconds)
{
    seconds = FloorMod(seconds, kSecondsPerDay);
    fHours = int32(seconds / 3600);
    fMinutes = int32(seconds / 60 % 60);
    fSeconds = int32(seconds % 60);
}

void LibTime::CorrectTime(int64 hours, int64 minutes, int64 seconds)
{
    // Carrying seconds into minutes and minutes into hours and then dropping
    // whole days is arithmetic modulo one day; reducing each field first keeps
    // every value far from overflowing.
    SetSecondsOfDay(FloorMod(hours, 24) * 3600 + FloorMod(minutes, 1440) * 60
        + FloorMod(seconds, kSecondsPerDay));
}

void LibTime::SetNow(const bool& local)
{
    SetTime(long(time(nullptr)), local);
}

void LibTime::AddHours(const long& hours)
{
    CorrectTime(fHours + FloorMod(hours, 24), fMinutes, fSeconds);
}

void LibTime::AddMinutes(const long& minutes)
{
    CorrectTime(fHours, fMinutes + FloorMod(minutes, 1440), fSeconds);
}

void LibTime::AddSeconds(const long& seconds)
{
    CorrectTime(fHours, fMinutes, fSeconds + FloorMod(seconds, kSecondsPerDay));
}

long LibTime::GetSeconds() const
{
    return fSeconds;
}

void LibTime::SetTime(const long& hours, const long& minutes, const long& seconds)
{
    CorrectTime(hours, minutes, seconds);
}

void LibTime::SetHours(const long& hours)
{
    CorrectTime(hours, fMinutes, fSeconds);
}

void LibTime::SetMinutes(const long& minutes)
{
    CorrectTime(fHours, minutes, fSeconds);
}

void LibTime::SetSeconds(const long& seconds)
{
    CorrectTime(fHours, fMinutes, seconds);
}

void LibTime::SetTime(tm* time)
{
    if (time != nullptr)
        CorrectTime(time->tm_hour, time->tm_min, time->tm_sec);
}

void LibTime::GetTime(tm& time) const
{
    time.tm_hour = fHours;
    time.tm_min = fMinutes;
    time.tm_sec = fSeconds;
}

void LibTime::SetTime(const long& clock, const bool& local)
{
    time_t when = time_t(clock);
    struct tm parts;
    if (localtime_r(&when, &parts) == nullptr)
        return;
    CorrectTime(parts.tm_hour, parts.tm_min, parts.tm_sec);
    if (!local)
        AddSeconds(-parts.tm_gmtoff);
}

void LibTime::SetTime(const float& hours)
{
    // A value that is no number leaves the time alone; whole days drop out
    // before any conversion to an integer. The fractions are taken in float, the
    // precision of the argument, so that 0.7 hours is 00:42:00 and not 00:41:59.
    if (!std::isfinite(hours))
        return;
    float value = std::fmod(hours, 24.0f);
    float whole = std::trunc(value);
    float minutes = (value - whole) * 60.0f;
    float wholeMinutes = std::trunc(minutes);
    float seconds = std::trunc((minutes - wholeMinutes) * 60.0f);
    CorrectTime(int64(whole), int64(wholeMinutes), int64(seconds));
}

void LibTime::SetTime(const char* text)
{
    if (text != nullptr)
        CorrectTime(ReadPair(text, 0), ReadPair(text, 3), ReadPair(text, 6));
}

bool LibTime::SetUnformattedTime(const char* text)
{
    if (text == nullptr)
        return false;
    int64 values[2] = { 0, 0 };
    int lengths[2] = { 0, 0 };
    int groups = 0;
    int length = 0;
    int64 value = 0;
    // Every byte that is no digit ends a group, and so does the implied ":" at
    // the end of the text. Groups after the second are read only to check them.
    for (const char* p = text;; p++) {
        if (IsAsciiDigit(*p)) {
            if (++length > 2)
                return false;
            value = value * 10 + (*p - '0');
            continue;
        }
        if (groups < 2) {
            values[groups] = value;
            lengths[groups] = length;
        }
        groups++;
        value = 0;
        length = 0;
        if (*p == '\0')
            break;
    }
    if (lengths[0] == 0 || (groups >= 2 && lengths[1] == 0))
        return false;
    CorrectTime(values[0], values[1], 0);
    return true;
}

double LibTime::TimeZone(const int& unit) const
{
    double offset = double(LocalOffsetNow());
    if (unit == 2)
        return offset / 60;
    if (unit == 3)
        return offset / 3600;
    return offset;
}

long LibTime::NumberOfSeconds() const
{
    return long(fHours) * 3600 + long(fMinutes) * 60 + fSeconds;
}

double LibTime::NumberOfMinutes() const
{
    return double(NumberOfSeconds()) / 60;
}

LibTime LibTime::operator-(const LibTime& other) const
{
    LibTime difference(false, false);
    difference.SetSecondsOfDay(int64(NumberOfSeconds()) - other.NumberOfSeconds());
    return difference;
}

int LibTime::Compare(const LibTime& other) const
{
    if (fHours != other.fHours)
        return fHours < other.fHours ? -1 : 1;
    if (fMinutes != other.fMinutes)
        return fMinutes < other.fMinutes ? -1 : 1;
    if (fSeconds != other.fSeconds)
        return fSeconds < other.fSeconds ? -1 : 1;
    return 0;
}

bool LibTime::operator==(const LibTime& other) const
{
    return Compare(other) == 0;
}

bool LibTime::operator!=(const LibTime& other) const
{
    return Compare(other) != 0;
}

bool LibTime::operator<(const LibTime& other) const
{
    return Compare(other) < 0;
}

bool LibTime::operator<=(const LibTime& other) const
{
    return Compare(other) <= 0;
}

bool LibTime::operator>(const LibTime& other) const
{
    return Compare(other) > 0;
}

bool LibTime::operator>=(const LibTime& other) const
{
    return Compare(other) >= 0;
}

void LibTime::PrintToStream() const
{
    fprintf(stderr, "Time: %2.2ld:%2.2ld:%2.2ld\n", long(fHours), long(fMinutes), long(fSeconds));
}
