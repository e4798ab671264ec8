#pragma once

// LibDate: a day of the calendar, held as its day number and as day, month and
// year. Before 1582-10-15 the Julian calendar applies, from then on the Gregorian
// one (see Calendar.h). Every setter normalises: 2024-02-30 becomes 2024-03-01,
// day 0 of March the last day of February, month 13 January of the next year.
// Comparisons and differences use the day number alone.
//
// The calendar fields are always derived from the day number, so the two never
// disagree, not even for the ten days that the 1582 reform left out (a date
// given as 1582-10-10 becomes 1582-10-20, the day with that day number). A
// setter whose result would not fit the 32-bit day number, or that names the
// year 0 (there is none), leaves the date unchanged.

#include <ctime>

#include <SupportDefs.h>

class BMessage;

enum LibWeekDay : int {
    kSunday = 0,
    kMonday = 1,
    kTuesday = 2,
    kWednesday = 3,
    kThursday = 4,
    kFriday = 5,
    kSaturday = 6
};

class LibDate {
public:
    // (today, local) With today true, today's local or UTC date; with today false
    // the date is unset (all fields 0) and must be set before use.
    LibDate(bool const& today, bool const& local);
    // (day, month, year)
    LibDate(unsigned int const& day, unsigned int const& month, unsigned int const& year);
    // The date of a day number. Explicit, so that a number is never silently
    // taken for a date.
    explicit LibDate(long const& dayNumber);
    LibDate(LibDate const& other);
    virtual ~LibDate();

    LibDate& operator=(const LibDate& other);

    // Saves the day number under "date" (int32) and restores from it.
    virtual status_t Archive(BMessage& archive) const;
    virtual status_t Restore(const BMessage& archive);

    void SetDate(const unsigned int& day, const unsigned int& month, const unsigned int& year);
    void SetDate(const long& dayNumber);
    // Fixed layout MM/DD/YYYY: month from bytes 0-1, day from bytes 3-4, year
    // from byte 6 on.
    void SetDate(const char* text);
    // From a tm record whose tm_year counts two-digit years from 2000 when it is
    // 50 or less (deliberate: the pair SetDate(tm*)/GetDate(tm*) has always used
    // this window); the day number follows.
    void SetDate(tm* time);
    // tm_mday, tm_mon and tm_year (from 2000 for years up to 50, else from
    // 1900); nothing else.
    void GetDate(tm* time) const;
    // A standard tm record: tm_mday, tm_mon, tm_year from 1900, tm_wday, tm_yday
    // and tm_isdst -1 (unknown).
    void GetDate(tm& time) const;
    void SetToday(const bool& local);
    // A numeric date in the order month, day, year ("7/4", "12/25/99",
    // "1-2-2003"); false and no change for text it cannot read.
    bool SetUnformattedDate(const char* text);

    void SetDay(const unsigned int& day);
    void SetMonth(const unsigned int& month);
    void SetYear(const unsigned int& year);
    // The first English month name that begins with the whole text
    // (case-sensitive: "Jan", "June"); no change when none does.
    void SetMonth(const char* name);
    unsigned int GetDay() const { return unsigned(fDay); }
    unsigned int GetMonth() const { return unsigned(fMonth); }
    unsigned int GetYear() const { return unsigned(fYear); }
    long DayNumber() const { return fDayNumber; }

    void AddDays(const int& days);
    void AddMonths(const int& months);
    void AddYears(const int& years);

    LibDate& operator++();
    LibDate& operator--();
    LibDate& operator+=(const long& days);
    LibDate& operator-=(const long& days);
    LibDate operator+(const int& days) const;
    LibDate operator+(const long& days) const;
    LibDate operator-(const int& days) const;
    LibDate operator-(const long& days) const;
    long operator-(const LibDate& other) const;
    long DaysSince(const LibDate& other) const;

    bool operator==(const LibDate& other) const { return fDayNumber == other.fDayNumber; }
    bool operator!=(const LibDate& other) const { return fDayNumber != other.fDayNumber; }
    bool operator<(const LibDate& other) const { return fDayNumber < other.fDayNumber; }
    bool operator<=(const LibDate& other) const { return fDayNumber <= other.fDayNumber; }
    bool operator>(const LibDate& other) const { return fDayNumber > other.fDayNumber; }
    bool operator>=(const LibDate& other) const { return fDayNumber >= other.fDayNumber; }

    // The fields as they stand form a date of the calendar.
    bool IsValidDate() const;
    bool IsLeapYear(unsigned int year) const;
    // 365 or 366; year 0 means this date's year.
    int DaysInYear(unsigned int year) const;
    int DaysInMonth() const;
    // (month, year); 0 for a month outside 1..12.
    int DaysInMonth(const unsigned int& month, const unsigned int& year) const;
    // 1 for January 1st.
    int GetDayOfYear() const;
    // The weekday (0 Sunday .. 6 Saturday) of a day of this date's month; day 0
    // means this date's own day.
    int DayOfWeek(const unsigned int& day) const;
    // The same for a plain int, so that DayOfWeek(0) is not ambiguous with the
    // name form below.
    int DayOfWeek(const int& day) const;
    // A weekday from its name's first letters, any case: F 5, M 1, SU 0, other
    // S 6, TU 2, other T 4, W 3; anything else 0.
    int DayOfWeek(const char* name) const;
    // (day, 0 = this date's day) Saturday or Sunday.
    bool IsWeekEnd(unsigned int day) const;
    // Moves 1 to 7 days forward (or back) to the next (previous) given weekday.
    void SetToNext(const LibWeekDay& weekday);
    void SetToPrev(const LibWeekDay& weekday);

    // "LibDate: month/day/year (day number)" to standard error.
    void PrintToStream() const;

protected:
    // Normalises and stores a date; false (no change) when the year is 0 or the
    // result leaves the range of the day number.
    bool SetFields(std::int64_t day, std::int64_t month, std::int64_t year);
    // Stores a day number and derives the fields; false (no change) out of range.
    bool SetDayNumber(std::int64_t dayNumber);
    // The current year for readers of two-digit and missing years: this date's
    // year when it has four digits, otherwise today's.
    int CurrentYear() const;

private:
    int32 fDayNumber;
    int32 fDay;
    int32 fMonth;
    int32 fYear;
};
