#pragma once

// For tests only: puts the process into a fixed local time zone for the lifetime
// of the object and restores the previous TZ setting afterwards, so that tests
// that depend on local time give the same results on every machine.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace brenvik::test {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* previous = getenv("TZ"))
            fPrevious = previous;
        setenv("TZ", zone, 1);
        tzset();
    }

    ~ScopedTimeZone()
    {
        if (fPrevious)
            setenv("TZ", fPrevious->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> fPrevious;
};

// A clock value for a UTC date and time.
inline time_t UtcClock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    struct tm parts = {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    return timegm(&parts);
}

} // namespace brenvik::test
