#include "oParseDate.h"

#include <parsedate.h>

int o_parsedate_etc(const char* text, long reference, int* flags, int& day, int* month, int* year,
    int* hour, int* minute, long& second, int* ampm, int* zone, int* zoneOffset)
{
    if (flags != nullptr)
        *flags = 0;
    BPrivate::ParsedDate date;
    if (BPrivate::parse_date(text, time_t(reference), date) != 1)
        return -1;
    auto fill = [](int* field, int value) {
        if (field != nullptr)
            *field = value;
    };
    fill(flags, date.flags);
    day = date.day;
    fill(month, date.month);
    fill(year, date.year);
    fill(hour, date.hour);
    fill(minute, date.minute);
    second = date.second;
    fill(ampm, date.ampm);
    fill(zone, date.zone);
    fill(zoneOffset, date.zoneOffset);
    return 1;
}

int o_parsedate(const char* text, int& month, int& day, int& year)
{
    BPrivate::ParsedDate date;
    if (BPrivate::parse_date(text, -1, date) != 1)
        return -1;
    month = date.month;
    day = date.day;
    year = date.year;
    return 1;
}

long o_parsedate(const char* text, long reference)
{
    BPrivate::ParsedDate date;
    if (BPrivate::parse_date(text, time_t(reference), date) != 1)
        return -1;
    return long(BPrivate::parsed_date_to_time(date));
}
