#pragma once

// LibLocaleDateTime: a date formatter and a time formatter joined by a separator
// (" " by default). The installer's replace dialog uses the date pattern
// "W, M D Y", the separator ", " and seconds: "Mon, Dec 7 2026, 3:07:09 PM".

#include "LibDateTime.h"
#include "LibLocaleDate.h"
#include "LibLocaleTime.h"

class LibLocaleDateTime : public LibLocaleDate, public LibLocaleTime {
public:
    LibLocaleDateTime(void);
    LibLocaleDateTime(const LibLocaleDateTime& other);
    ~LibLocaleDateTime() override;

    // The date formatter's line (none), then the time formatter's.
    void PrintToStream() const override;

    void SetSeperator(const char* separator);
    // The date, the separator, then the time.
    LibString Format(const LibDateTime& dateTime) const;
    using LibLocaleDate::Format;
    using LibLocaleTime::Format;

    // "field_seperator" (string), then the date keys, then the time keys, in one
    // message. Restore leaves the separator unchanged when it is missing.
    status_t Archive(BMessage& archive) const;
    status_t Restore(const BMessage& archive);

    LibLocaleDateTime& operator=(const LibLocaleDateTime& other);

private:
    LibString fSeparator;
};
