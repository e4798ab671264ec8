#pragma once

// LibTime: a time of day in hours (0..23), minutes and seconds (0..59). Setters
// normalise: seconds and minutes outside 0..59 carry into the next field (-1 s
// borrows a minute), and the hours wrap into 0..23; whole days are dropped.
//
// `LibDateTime` overrides the virtual operations so that time arithmetic carries
// whole days into its date; a LibTime operation reached through a LibDateTime
// uses those overrides.

#include <ctime>

#include <SupportDefs.h>

class BMessage;

class LibTime {
public:
    // (now, local) With now true, the current local or UTC time of day;
    // otherwise 00:00:00.
    LibTime(bool const& now, bool const& local);
    // (hours, minutes, seconds), normalised.
    LibTime(long const& hours, long const& minutes, long const& seconds);
    LibTime(const LibTime& other);
    virtual ~LibTime();

    // Saves "hours", "minutes" and "seconds" (int32); Restore takes the values
    // as they are.
    virtual status_t Archive(BMessage& archive) const;
    virtual status_t Restore(const BMessage& archive);
    virtual void SetNow(const bool& local);
    virtual void AddHours(const long& hours);
    virtual void AddMinutes(const long& minutes);
    virtual void AddSeconds(const long& seconds);
    virtual long GetSeconds() const;

    void SetTime(const long& hours, const long& minutes, const long& seconds);
    void SetHours(const long& hours);
    void SetMinutes(const long& minutes);
    void SetSeconds(const long& seconds);
    void SetTime(tm* time);
    void GetTime(tm& time) const;
    // (clock value, local) The local time of day of a clock value; with local
    // false the UTC time of day (through AddSeconds of minus the local offset).
    void SetTime(const long& clock, const bool& local);
    // Hours with a fraction: 1.5 is 01:30:00.
    void SetTime(const float& hours);
    // Fixed layout HH:MM:SS.
    void SetTime(const char* text);
    // Free numeric hours and minutes ("9", "9:30", "12.30"); the seconds become
    // 0. False and no change for text it cannot read.
    bool SetUnformattedTime(const char* text);

    // The local offset from UTC now: in seconds, or with unit 2 in minutes, with
    // unit 3 in hours.
    double TimeZone(const int& unit) const;
    long NumberOfSeconds() const;
    double NumberOfMinutes() const;
    long GetHours() const { return fHours; }
    long GetMinutes() const { return fMinutes; }

    // The difference as a time of day: 23:59:59 for -1 s.
    LibTime operator-(const LibTime& other) const;
    LibTime& operator=(const LibTime& other);

    bool operator==(const LibTime& other) const;
    bool operator!=(const LibTime& other) const;
    bool operator<(const LibTime& other) const;
    bool operator<=(const LibTime& other) const;
    bool operator>(const LibTime& other) const;
    bool operator>=(const LibTime& other) const;

    // "Time: HH:MM:SS" to standard error.
    void PrintToStream() const;

protected:
    // Stores a time of day given as seconds (any value; whole days drop out).
    void SetSecondsOfDay(std::int64_t seconds);
    // Normalises any hours, minutes and seconds into a time of day.
    void CorrectTime(std::int64_t hours, std::int64_t minutes, std::int64_t seconds);

private:
    int Compare(const LibTime& other) const;

    int32 fHours;
    int32 fMinutes;
    int32 fSeconds;
};
