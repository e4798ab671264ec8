#pragma once

// The library's free-form date readers: texts such as "Tuesday, March 5 2002
// 10:30 PM EST", "5.3.02", "2002-03-05 22:30:00" or "next monday". They are
// thin wrappers around the platform's reader (parsedate.h), which holds the
// whole engine because the platform layer may not depend on the library.

// (text, reference time, flags, day, month, year, hour, minute, second, am/pm,
// zone, zone offset) Reads the text against a reference clock value (-1: now).
// Returns 1 and fills every out value that is given, or -1 and fills nothing
// but the flags, which are set to 0 first (bit 0: a relative item was read).
// The year is as written (0..37 widened to 2000..2037) or, when the text has
// none, the current year counted from 1900. Relative amounts stay in the second
// and month fields ("tomorrow" gives 86400 seconds). am/pm is -1, 0 or 12; zone
// (minutes west) and zone offset (minutes east) are 99999 when absent.
int o_parsedate_etc(const char* text, long reference, int* flags, int& day, int* month, int* year,
    int* hour, int* minute, long& second, int* ampm, int* zone, int* zoneOffset);

// (text, month, day, year) The date fields, read against now, as
// o_parsedate_etc gives them; 1, or -1 with the fields untouched.
int o_parsedate(const char* text, int& month, int& day, int& year);

// (text, reference time) The moment the text names, in seconds since 1970 UTC,
// or -1.
long o_parsedate(const char* text, long reference);
