#pragma once

// parsedate: the platform's free-form date reader, as BeOS offered it in its C
// library. Linux has no such call, so the whole reader lives here: it turns texts
// such as "Tuesday, March 5 2002 10:30 PM EST", "5.3.02", "2002-03-05 22:30:00" or
// "next monday" into a clock value.
//
// The reader sits in the platform layer (and not in the utility library above it)
// because the platform may never depend on the library: the library's own entry
// points (o_parsedate and o_parsedate_etc) are thin wrappers around the engine
// declared at the end of this header. It needs nothing but the C library.

#include <ctime>

// Set in parsedate_etc's flags when the text held a relative item ("tomorrow",
// "next week", "+2:00", ...).
#define PARSEDATE_RELATIVE_TIME 0x0001

// The clock value (seconds since 1970, UTC) that the text names, resolved against
// `now` (-1 means the current time); -1 when the text cannot be read.
time_t parsedate(const char* text, time_t now);

// The same; `flags`, when given, receives PARSEDATE_RELATIVE_TIME for a text with
// relative items and 0 otherwise (also on failure).
time_t parsedate_etc(const char* text, time_t now, int* flags);

namespace BPrivate {

// Every field that one successful reading yields.
struct ParsedDate {
    int flags; // bit 0: a relative item was read
    int day;
    int month; // 1..12
    // The year as written (0..37 widened to 2000..2037), or, when the text had
    // none, the current year counted from 1900 (126 for 2026).
    int year;
    int hour; // as written; see ampm
    int minute;
    // The seconds as written plus every relative amount counted in seconds, so
    // it may lie far outside 0..59 ("tomorrow" gives 86400).
    long second;
    int ampm; // -1 none, 0 AM, 12 PM
    int zone; // minutes west of UTC, or kParsedDateAbsent
    int zoneOffset; // minutes east of UTC, or kParsedDateAbsent

    // The calendar year that `year` stands for: a written two-digit year 38..99
    // is in the 1900s, a missing year is the current one.
    int fullYear;
    bool yearGiven;
    // The number (1..kDatePatternCount) of the pattern that accepted the text.
    int pattern;
};

constexpr int kParsedDateAbsent = 99999;
constexpr int kDatePatternCount = 70;
// Longer texts are refused without being read.
constexpr long kMaxDateTextLength = 32768;

// Reads `text` against `reference` (a clock value; -1 means now). Returns 1 and
// fills `result`, or -1 and leaves it untouched.
int parse_date(const char* text, time_t reference, ParsedDate& result);

// The clock value of a successful reading: the named zone or offset when the
// text had one, the local time zone otherwise.
time_t parsed_date_to_time(const ParsedDate& date);

// The pattern table in the order it is tried, for tests and tools (1-based
// index; null outside 1..kDatePatternCount).
const char* date_pattern(int number);

} // namespace BPrivate
