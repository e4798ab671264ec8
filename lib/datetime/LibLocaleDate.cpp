#include "LibLocaleDate.h"

#include <cstring>

#include <LibStringList.h>
#include <Message.h>
#include <parsedate.h>

#include "Calendar.h"
#include "DateNames.h"

using namespace brenvik::datenames;

namespace {

// Character classes of the "C" locale, byte-wise: bytes of 0x80 and above are
// none of these, so UTF-8 letters belong to words.
bool SeparatesWords(unsigned char c)
{
    bool space = c == ' ' || (c >= '\t' && c <= '\r');
    bool punctuation = (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40)
        || (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
    bool digit = c >= '0' && c <= '9';
    return space || punctuation || digit;
}

bool IsElementLetter(char c)
{
    return c == 'W' || c == 'M' || c == 'D' || c == 'Y';
}

// A number with a leading "0" below 10 when asked for.
LibString Number(long value, bool pad)
{
    LibString text;
    text.Formatted(pad && value >= 0 && value <= 9 ? "0%ld" : "%ld", value);
    return text;
}

// The first `characters` whole characters of a name; an unknown name is empty.
LibString Shortened(const char* name, long characters)
{
    if (name == nullptr)
        return LibString();
    LibString text(name);
    text.ToIndex(long(PrefixBytes(name, characters)) - 1);
    return text;
}

bool IsValidFormat(int32 value)
{
    return value >= LibLocaleDate::kElementMinimal && value <= LibLocaleDate::kElementLong;
}

} // namespace

LibLocaleDate::LibLocaleDate(void)
    : fWeekdayFormat(kElementShort)
    , fMonthFormat(kElementShort)
    , fDayFormat(kElementMinimal)
    , fYearFormat(kElementLong)
    , fPad(false)
    , fFormat("D M Y")
    , fLanguage(kEnglish)
{
}

LibLocaleDate::LibLocaleDate(const LibLocaleDate& other) = default;

LibLocaleDate::~LibLocaleDate() = default;

LibLocaleDate& LibLocaleDate::operator=(const LibLocaleDate& other) = default;

void LibLocaleDate::PrintToStream() const { }

void LibLocaleDate::SetFormat(const char* format)
{
    fFormat = format;
}

LibLocaleDate& LibLocaleDate::SetWeekdayFormat(const LibLocaleDate::ElementFormat& format)
{
    fWeekdayFormat = format;
    return *this;
}

LibLocaleDate& LibLocaleDate::SetMonthFormat(const LibLocaleDate::ElementFormat& format)
{
    fMonthFormat = format;
    return *this;
}

LibLocaleDate& LibLocaleDate::SetDayFormat(const LibLocaleDate::ElementFormat& format)
{
    fDayFormat = format;
    return *this;
}

LibLocaleDate& LibLocaleDate::SetYearFormat(const LibLocaleDate::ElementFormat& format)
{
    fYearFormat = format;
    return *this;
}

LibLocaleDate& LibLocaleDate::PadWithZeros(const bool& pad)
{
    fPad = pad;
    return *this;
}

LibLocaleDate& LibLocaleDate::SetLanguage(const LibLocaleDate::LanguageType& language)
{
    fLanguage = language;
    return *this;
}

int LibLocaleDate::Language() const
{
    int language = int(fLanguage);
    return language >= 0 && language < kLanguageCount ? language : kEnglish;
}

bool LibLocaleDate::KanjiLaunguage() const
{
    return fLanguage == kJapanese;
}

void LibLocaleDate::AvailableLanguages(LibStringList& list) const
{
    for (int language = 0; language < kLanguageCount; language++)
        list.Add(LanguageName(language));
}

LibString LibLocaleDate::Format(const LibDate& date) const
{
    LibString result;
    bool done[4] = { false, false, false, false };
    const char* format = fFormat;
    for (const char* p = format; p != nullptr && *p != '\0'; p++) {
        const char* letters = "DMWY";
        const char* letter = strchr(letters, *p);
        if (letter == nullptr) {
            result.Concat(*p);
            continue;
        }
        int which = int(letter - letters);
        if (done[which])
            continue;
        done[which] = true;
        switch (*p) {
        case 'D':
            result.Concat(AddDay(int(date.GetDay())));
            break;
        case 'M':
            result.Concat(AddMonth(int(date.GetMonth())));
            break;
        case 'W':
            result.Concat(AddWeekDay(date));
            break;
        default:
            result.Concat(AddYear(int(date.GetYear())));
            break;
        }
    }
    return result;
}

LibString LibLocaleDate::AddDay(const int& day) const
{
    return Number(day, fPad);
}

LibString LibLocaleDate::AddMonth(const int& month) const
{
    if (fMonthFormat == kElementMinimal)
        return Number(month, fPad);
    const char* name = MonthName(Language(), month);
    if (fMonthFormat == kElementLong || Language() == kJapanese)
        return LibString(name != nullptr ? name : "");
    return Shortened(name, 3);
}

LibString LibLocaleDate::AddYear(const int& year) const
{
    int value = fYearFormat == kElementLong ? year : year % 100;
    return Number(value, true);
}

LibString LibLocaleDate::AddWeekDay(const LibWeekDay& weekday) const
{
    LibString text;
    AddWeekDay(weekday, text);
    return text;
}

LibString LibLocaleDate::AddWeekDay(const LibDate& date) const
{
    return AddWeekDay(LibWeekDay(date.DayOfWeek(0)));
}

void LibLocaleDate::AddWeekDay(const LibWeekDay& weekday, LibString& text) const
{
    const char* name = WeekdayName(Language(), int(weekday));
    long characters;
    if (Language() == kJapanese)
        characters = fWeekdayFormat == kElementMinimal ? 3 : -1;
    else
        characters = fWeekdayFormat == kElementMinimal ? 2
            : fWeekdayFormat == kElementShort          ? 3
                                                       : -1;
    text = characters < 0 ? LibString(name != nullptr ? name : "") : Shortened(name, characters);
}

bool LibLocaleDate::SwapText(LibString& text, const char* name, const char* replacement) const
{
    if (name == nullptr || replacement == nullptr || name[0] == '\0')
        return false;
    const char* bytes = text;
    size_t length = strlen(bytes);
    for (size_t start = 0; start < length;) {
        if (SeparatesWords(static_cast<unsigned char>(bytes[start]))) {
            start++;
            continue;
        }
        size_t end = start;
        while (end < length && !SeparatesWords(static_cast<unsigned char>(bytes[end])))
            end++;
        // The name cut to as many characters as the word has: the word must begin
        // with it, and is then replaced as a whole.
        size_t prefix = PrefixBytes(name, CharacterCount(bytes + start, end - start));
        bool wholeName = name[prefix] == '\0';
        if ((prefix == end - start || (wholeName && prefix < end - start))
            && memcmp(bytes + start, name, prefix) == 0) {
            LibString result(text.Extract(0, long(start) - 1));
            result.Concat(replacement);
            result.Concat(bytes + end);
            text = result;
            return true;
        }
        start = end;
    }
    return false;
}

LibString LibLocaleDate::ConvertToEnglish(const char* text) const
{
    LibString result(text);
    if (result.Length() == 0)
        return result;
    bool swapped = false;
    for (int language = 1; language < kLanguageCount && !swapped; language++) {
        for (int month = 1; month <= 12 && !swapped; month++)
            swapped = SwapText(result, MonthName(language, month), MonthName(kEnglish, month));
    }
    swapped = false;
    for (int language = 1; language < kLanguageCount && !swapped; language++) {
        for (int weekday = 0; weekday < 7 && !swapped; weekday++) {
            swapped
                = SwapText(result, WeekdayName(language, weekday), WeekdayName(kEnglish, weekday));
        }
    }
    return result;
}

LibDate LibLocaleDate::GetDate(const char* text) const
{
    LibDate date(true, true);
    BPrivate::ParsedDate parsed;
    if (BPrivate::parse_date(text, -1, parsed) != 1 || parsed.fullYear == 0)
        return date;
    // The reader leaves relative amounts in its second field ("tomorrow" is
    // today plus 86400 seconds); whole days of it belong to the date.
    long hour = parsed.hour;
    if (parsed.ampm == 0 && hour == 12)
        hour = 0;
    else if (parsed.ampm == 12 && hour != 12)
        hour += 12;
    long seconds = hour * 3600 + long(parsed.minute) * 60 + parsed.second;
    LibDate parsedDate(unsigned(parsed.day), unsigned(parsed.month), unsigned(parsed.fullYear));
    parsedDate += long(brenvik::calendar::FloorDiv(seconds, 86400));
    return parsedDate;
}

void LibLocaleDate::RemoveFormat(const char& letter)
{
    const char* format = fFormat;
    const char* found = strchr(format, letter);
    if (letter == '\0' || found == nullptr)
        return;
    long at = found - format;
    long length = fFormat.Length();
    long first = 0;
    for (long i = at - 1; i >= 0; i--) {
        if (IsElementLetter(format[i]) && format[i] != letter) {
            first = i + 1;
            break;
        }
    }
    long last = length - 1;
    for (long i = at + 1; i < length; i++) {
        if (IsElementLetter(format[i]) && format[i] != letter) {
            last = i - 1;
            break;
        }
    }
    fFormat.Remove(first, last);
}

status_t LibLocaleDate::Archive(BMessage& archive) const
{
    status_t status = archive.AddInt32("weekday", fWeekdayFormat);
    if (status == B_OK)
        status = archive.AddInt32("month", fMonthFormat);
    if (status == B_OK)
        status = archive.AddInt32("day", fDayFormat);
    if (status == B_OK)
        status = archive.AddInt32("year", fYearFormat);
    if (status == B_OK)
        status = archive.AddBool("pad", fPad);
    if (status == B_OK)
        status = archive.AddString("format", static_cast<const char*>(fFormat));
    if (status == B_OK)
        status = archive.AddInt32("language", fLanguage);
    return status;
}

status_t LibLocaleDate::Restore(const BMessage& archive)
{
    // Values outside their tables (from a damaged or foreign message) are
    // ignored like missing ones, so that no formatter reads outside its tables.
    auto restoreFormat = [&archive](const char* key, ElementFormat& field) {
        int32 value;
        if (archive.FindInt32(key, &value) == B_OK && IsValidFormat(value))
            field = ElementFormat(value);
    };
    restoreFormat("weekday", fWeekdayFormat);
    restoreFormat("month", fMonthFormat);
    restoreFormat("day", fDayFormat);
    restoreFormat("year", fYearFormat);
    bool pad;
    if (archive.FindBool("pad", &pad) == B_OK)
        fPad = pad;
    const char* format;
    if (archive.FindString("format", &format) == B_OK)
        fFormat = format;
    int32 language;
    if (archive.FindInt32("language", &language) == B_OK && language >= 0
        && language < kLanguageCount) {
        fLanguage = LanguageType(language);
    }
    return B_OK;
}
