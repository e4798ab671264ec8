#pragma once

// LibDateTime: a date and a time of day at once. Time arithmetic carries whole
// days into the date, so adding 60 minutes at 23:30 gives 00:30 of the next day.
// Comparisons go by day number, then by time.

#include "LibDate.h"
#include "LibTime.h"

class LibString;

class LibDateTime : public LibDate, public LibTime {
public:
    // (local) Now, as local or UTC date and time.
    explicit LibDateTime(bool const& local);
    // (day, month, year) That date at 00:00:00.
    LibDateTime(unsigned int const& day, unsigned int const& month, unsigned int const& year);
    LibDateTime(const LibDateTime& other);
    ~LibDateTime() override;

    // "date", "hours", "minutes" and "seconds".
    status_t Archive(BMessage& archive) const override;
    status_t Restore(const BMessage& archive) override;
    void SetNow(const bool& local) override;
    void AddHours(const long& hours) override;
    void AddMinutes(const long& minutes) override;
    void AddSeconds(const long& seconds) override;

    // (clock value, local) The local (localtime) or UTC (gmtime) date and time of
    // a clock value.
    void SetDateTime(const long& clock, const bool& local);
    void SetDateTime(tm* time);
    void GetDateTime(tm* time) const;

    LibDateTime& operator=(const LibDate& date);
    LibDateTime& operator=(const LibTime& time);
    LibDateTime& operator=(const LibDateTime& other);

    // Whole minutes from the other date-time to this one, truncated toward zero.
    long MinutesSince(const LibDateTime& other) const;
    // The difference of the times of day as a time of day (whole days drop out).
    LibTime operator-(const LibDateTime& other) const;
    using LibDate::operator-;

    bool operator==(const LibDateTime& other) const;
    bool operator!=(const LibDateTime& other) const;
    bool operator<(const LibDateTime& other) const;
    bool operator<=(const LibDateTime& other) const;
    bool operator>(const LibDateTime& other) const;
    bool operator>=(const LibDateTime& other) const;

    // (text, zone hours) Reads "YYYYMMDDTHHMMSS", optionally followed by "Z",
    // which adds the zone hours. False and no change for a text of 14 bytes or
    // less.
    bool SetIso8601(const LibString& text, const short& zoneHours);
    // (text, zone hours) Writes "YYYYMMDDTHHMMSS" of this date-time moved by the
    // zone hours, with "Z" appended when the zone hours are not 0.
    void GetIso8601(LibString& text, const short& zoneHours) const;
    // Reads free-form text with the platform's parsedate (relative to now) and
    // takes the local date and time of the result. False, with a line on
    // standard error, for text it cannot read.
    bool Set(const LibString& text);

    // The date line, then the time line, to standard error.
    void PrintToStream() const;

private:
    int Compare(const LibDateTime& other) const;
    // Moves by whole days and sets the time of day; no change at all when the
    // date would leave its range.
    void MoveTo(std::int64_t days, std::int64_t secondsOfDay);
};
