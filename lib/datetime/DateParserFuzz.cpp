// libFuzzer target for the free-form date reader: any input must be read or
// refused without touching memory it must not, and an accepted reading must be a
// sane one. The readers of formatted text (times and foreign names) get the same
// input.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "LibLocaleDate.h"
#include "LibLocaleTime.h"
#include "oParseDate.h"

namespace {

// Wednesday, 4 March 2026, 14:25:36 UTC.
constexpr long kReference = 1772634336;

void CheckReading(const char* text)
{
    int flags = 0, day = 0, month = 0, year = 0, hour = 0, minute = 0, ampm = 0, zone = 0;
    int offset = 0;
    long second = 0;
    int result = o_parsedate_etc(text, kReference, &flags, day, &month, &year, &hour, &minute,
        second, &ampm, &zone, &offset);
    if (result != 1)
        return;
    bool sane = month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 && hour <= 23
        && minute >= 0 && minute <= 59 && (ampm == -1 || ampm == 0 || ampm == 12);
    if (!sane)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The readers take NUL-terminated text; an embedded NUL simply ends it.
    std::string text(reinterpret_cast<const char*>(data), size);
    CheckReading(text.c_str());
    o_parsedate(text.c_str(), kReference);
    LibLocaleTime().GetTime(text.c_str());
    LibLocaleDate().ConvertToEnglish(text.c_str());
    return 0;
}
