#pragma once

// For the parser tests: one reading of a text with all of its fields, against a
// fixed reference moment in a fixed time zone.

#include <optional>
#include <ostream>

#include <parsedate.h>

#include "TestTimeZone.h"
#include "oParseDate.h"

namespace brenvik::test {

// Wednesday, 4 March 2026, 14:25:36 UTC; 2026 is no leap year.
constexpr long kReference = 1772634336;
constexpr long kReferenceMidnight = 1772582400;
constexpr long kDay = 86400;

struct DateFields {
    int flags = 0;
    int day = 0;
    int month = 0;
    int year = 0;
    int hour = 0;
    int minute = 0;
    long second = 0;
    int ampm = -1;
    int zone = 99999;
    int zoneOffset = 99999;

    bool operator==(const DateFields&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const DateFields& f)
{
    return out << "flags " << f.flags << ", " << f.year << "-" << f.month << "-" << f.day << " "
               << f.hour << ":" << f.minute << ":" << f.second << ", ampm " << f.ampm << ", zone "
               << f.zone << ", offset " << f.zoneOffset;
}

inline std::optional<DateFields> ReadFields(const char* text, long reference = kReference)
{
    DateFields f;
    if (o_parsedate_etc(text, reference, &f.flags, f.day, &f.month, &f.year, &f.hour, &f.minute,
            f.second, &f.ampm, &f.zone, &f.zoneOffset)
        != 1) {
        return std::nullopt;
    }
    return f;
}

// The number of the pattern that accepts the text, or 0.
inline int PatternOf(const char* text, long reference = kReference)
{
    BPrivate::ParsedDate date;
    return BPrivate::parse_date(text, reference, date) == 1 ? date.pattern : 0;
}

} // namespace brenvik::test
