#include "DateNames.h"

namespace brenvik::datenames {

namespace {

const char* const kLanguages[kLanguageCount]
    = { "English", "French", "German", "Spanish", "Japanese" };

const char* const kMonths[kLanguageCount][12] = {
    { "January", "February", "March", "April", "May", "June", "July", "August", "September",
        "October", "November", "December" },
    { "Janvier", "Février", "Mars", "Avril", "Mai", "Juin", "Juillet", "Août", "Septembre",
        "Octobre", "Novembre", "Décembre" },
    { "Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
        "November", "Dezember" },
    // Deliberately "Marcha" for March: it is the spelling this formatter has
    // always printed, and texts printed with it must still convert back.
    { "Enero", "Febrero", "Marcha", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
        "Octubre", "Noviembre", "Diciembre" },
    // Full-width digits followed by the month kanji.
    { "１月", "２月", "３月", "４月", "５月", "６月", "７月", "８月", "９月", "１０月", "１１月",
        "１２月" },
};

const char* const kWeekdays[kLanguageCount][7] = {
    { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" },
    { "Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi" },
    { "Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag" },
    { "Domingo", "Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado" },
    { "日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日" },
};

bool IsContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

const char* LanguageName(int language)
{
    return language >= 0 && language < kLanguageCount ? kLanguages[language] : nullptr;
}

const char* MonthName(int language, int month)
{
    if (language < 0 || language >= kLanguageCount || month < 1 || month > 12)
        return nullptr;
    return kMonths[language][month - 1];
}

const char* WeekdayName(int language, int weekday)
{
    if (language < 0 || language >= kLanguageCount || weekday < 0 || weekday > 6)
        return nullptr;
    return kWeekdays[language][weekday];
}

long CharacterCount(const char* text, size_t length)
{
    long count = 0;
    for (size_t i = 0; i < length; i++) {
        if (!IsContinuationByte(text[i]))
            count++;
    }
    return count;
}

size_t PrefixBytes(const char* text, long characters)
{
    size_t bytes = 0;
    for (; text[bytes] != '\0'; bytes++) {
        if (!IsContinuationByte(text[bytes]) && characters-- == 0)
            break;
    }
    return bytes;
}

} // namespace brenvik::datenames
