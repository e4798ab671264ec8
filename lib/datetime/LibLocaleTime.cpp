#include "LibLocaleTime.h"

#include <cstdio>
#include <cstring>

#include <Message.h>

namespace {

LibString TwoDigits(long value)
{
    LibString text;
    text.Formatted("%2.2ld", value);
    return text;
}

} // namespace

LibLocaleTime::LibLocaleTime(void)
    : fShowSeconds(false)
    , fShowMinutes(true)
    , fSeparator(':')
    , f24Clock(false)
    , fShowSuffix(true)
    , f24Suffix("")
    , fBeforeNoonSuffix(" AM")
    , fAfterNoonSuffix(" PM")
{
}

LibLocaleTime::LibLocaleTime(const LibLocaleTime& other) = default;

LibLocaleTime::~LibLocaleTime() = default;

LibLocaleTime& LibLocaleTime::operator=(const LibLocaleTime& other) = default;

void LibLocaleTime::PrintToStream() const
{
    fprintf(stderr, "show sec %d, min %d\n", int(fShowSeconds), int(fShowMinutes));
}

LibLocaleTime& LibLocaleTime::SetShowSeconds(const bool& show)
{
    fShowSeconds = show;
    return *this;
}

LibLocaleTime& LibLocaleTime::SetShowMinutes(const bool& show)
{
    fShowMinutes = show;
    return *this;
}

LibLocaleTime& LibLocaleTime::Set24Clock(const bool& clock24)
{
    f24Clock = clock24;
    return *this;
}

LibLocaleTime& LibLocaleTime::SetShowSuffix(const bool& show)
{
    fShowSuffix = show;
    return *this;
}

LibLocaleTime& LibLocaleTime::SetSeperator(const char& separator)
{
    fSeparator = separator;
    return *this;
}

void LibLocaleTime::Set12ClockBeforeNoonSuffix(const char* suffix)
{
    fBeforeNoonSuffix = suffix;
}

void LibLocaleTime::Set12ClockAfterNoonSuffix(const char* suffix)
{
    fAfterNoonSuffix = suffix;
}

bool LibLocaleTime::Has12ClockSuffix() const
{
    return fBeforeNoonSuffix.Length() > 0 || fAfterNoonSuffix.Length() > 0;
}

LibString LibLocaleTime::Format(const LibTime& time) const
{
    long hours = time.GetHours();
    LibString text;
    if (f24Clock) {
        text = TwoDigits(hours);
    } else {
        long shown = hours;
        if (shown >= 13 && shown <= 23)
            shown -= 12;
        else if (shown == 0)
            shown = 12;
        text.Formatted("%ld", shown);
    }
    if (fShowMinutes) {
        text.Concat(fSeparator);
        text.Concat(TwoDigits(time.GetMinutes()));
    }
    if (fShowSeconds) {
        text.Concat(fSeparator);
        text.Concat(TwoDigits(time.GetSeconds()));
    }
    if (fShowSuffix) {
        if (f24Clock)
            text.Concat(f24Suffix);
        else
            text.Concat(hours >= 12 && hours <= 23 ? fAfterNoonSuffix : fBeforeNoonSuffix);
    }
    return text;
}

bool LibLocaleTime::IsAfternoon(const char* text) const
{
    // An empty suffix would be found in every text; it marks nothing.
    if (fAfterNoonSuffix.Length() > 0 && LibString(text).Contain(fAfterNoonSuffix, true))
        return true;
    LibString letters(fAfterNoonSuffix);
    letters.StripAllSpaces();
    if (letters.Length() == 0)
        return false;
    char first = static_cast<const char*>(letters)[0];
    if (static_cast<unsigned char>(first) >= 0x80)
        first = 'P';
    return strchr(text, first) != nullptr;
}

LibTime LibLocaleTime::GetTime(const char* text) const
{
    LibTime time(false, false);
    if (text == nullptr)
        return time;
    int field = 0;
    long value = 0;
    int digits = 0;
    bool seenDigit = false;
    // Closes the current group of digits, even an empty one, and gives its value
    // to the next field that is still unset.
    auto close = [&]() {
        if (field == 0)
            time.SetHours(value);
        else if (field == 1)
            time.SetMinutes(value);
        else if (field == 2)
            time.SetSeconds(value);
        field++;
        value = 0;
        digits = 0;
    };
    for (const char* p = text; *p != '\0'; p++) {
        if (*p >= '0' && *p <= '9') {
            seenDigit = true;
            if (digits == 3) {
                // A fourth digit in a row is dropped and closes the group.
                close();
                continue;
            }
            value = value * 10 + (*p - '0');
            digits++;
        } else if (seenDigit) {
            // Bytes before the first digit (" 3:07") close no group: they would
            // otherwise turn the hours into 0.
            close();
        }
    }
    if (digits > 0)
        close();

    bool afternoon = IsAfternoon(text);
    long hours = time.GetHours();
    if (hours >= 12 && !f24Clock && !afternoon)
        time.SetHours(hours - 12);
    else if (hours < 12 && afternoon)
        time.SetHours(hours + 12);
    return time;
}

status_t LibLocaleTime::Archive(BMessage& archive) const
{
    status_t status = archive.AddBool("show_seconds", fShowSeconds);
    if (status == B_OK)
        status = archive.AddBool("show_minutes", fShowMinutes);
    if (status == B_OK)
        status = archive.AddInt16("seperator", fSeparator);
    if (status == B_OK)
        status = archive.AddBool("24_hour_clock", f24Clock);
    if (status == B_OK)
        status = archive.AddBool("show_suffix", fShowSuffix);
    if (status == B_OK)
        status = archive.AddString("24_hour_suffix", static_cast<const char*>(f24Suffix));
    if (status == B_OK) {
        status = archive.AddString(
            "12_hour_before_noon_suffix", static_cast<const char*>(fBeforeNoonSuffix));
    }
    if (status == B_OK) {
        status = archive.AddString(
            "12_hour_after_noon_suffix", static_cast<const char*>(fAfterNoonSuffix));
    }
    return status;
}

status_t LibLocaleTime::Restore(const BMessage& archive)
{
    auto flag = [&archive](const char* key) {
        bool value = false;
        archive.FindBool(key, &value);
        return value;
    };
    fShowSeconds = flag("show_seconds");
    fShowMinutes = flag("show_minutes");
    f24Clock = flag("24_hour_clock");
    fShowSuffix = flag("show_suffix");
    // A missing separator keeps the current one: a zero byte would end every
    // formatted time after its hours.
    int16 separator;
    if (archive.FindInt16("seperator", &separator) == B_OK && separator != 0)
        fSeparator = char(separator);
    const char* suffix;
    if (archive.FindString("24_hour_suffix", &suffix) == B_OK)
        f24Suffix = suffix;
    if (archive.FindString("12_hour_before_noon_suffix", &suffix) == B_OK)
        fBeforeNoonSuffix = suffix;
    if (archive.FindString("12_hour_after_noon_suffix", &suffix) == B_OK)
        fAfterNoonSuffix = suffix;
    return B_OK;
}
