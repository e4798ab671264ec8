#pragma once

// LibLocaleTime: formats a time of day on a 12- or 24-hour clock and reads such
// text back. With the defaults (minutes shown, seconds not, separator ":",
// 12-hour clock with the suffixes " AM" and " PM") 15:07:09 is "3:07 PM".

#include <LibString.h>
#include <SupportDefs.h>

#include "LibTime.h"

class BMessage;

class LibLocaleTime {
public:
    LibLocaleTime(void);
    LibLocaleTime(const LibLocaleTime& other);
    virtual ~LibLocaleTime();

    // "show sec %d, min %d" with the two flags, to standard error.
    virtual void PrintToStream() const;

    LibLocaleTime& SetShowSeconds(const bool& show);
    LibLocaleTime& SetShowMinutes(const bool& show);
    LibLocaleTime& Set24Clock(const bool& clock24);
    LibLocaleTime& SetShowSuffix(const bool& show);
    LibLocaleTime& SetSeperator(const char& separator);
    void Set12ClockBeforeNoonSuffix(const char* suffix);
    void Set12ClockAfterNoonSuffix(const char* suffix);
    // True when either 12-hour suffix is not empty.
    bool Has12ClockSuffix() const;

    LibString Format(const LibTime& time) const;
    // Reads hours, minutes and seconds from the groups of digits of the text
    // ("3:07 PM" is 15:07:00, "12:30 AM" 00:30:00); the after-noon suffix, or
    // its first letter, marks the afternoon.
    LibTime GetTime(const char* text) const;

    // "show_seconds", "show_minutes", "24_hour_clock", "show_suffix" (bool),
    // "seperator" (int16), "24_hour_suffix", "12_hour_before_noon_suffix",
    // "12_hour_after_noon_suffix" (string). Restore reads a missing flag as false
    // and leaves the separator and the suffixes unchanged when they are missing.
    status_t Archive(BMessage& archive) const;
    status_t Restore(const BMessage& archive);

    LibLocaleTime& operator=(const LibLocaleTime& other);

private:
    bool IsAfternoon(const char* text) const;

    bool fShowSeconds;
    bool fShowMinutes;
    char fSeparator;
    bool f24Clock;
    bool fShowSuffix;
    LibString f24Suffix;
    LibString fBeforeNoonSuffix;
    LibString fAfterNoonSuffix;
};
