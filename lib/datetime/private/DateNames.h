#pragma once

// The month and weekday names of the five languages that the date formatters
// speak, in UTF-8, and the few UTF-8 helpers they need to shorten names by whole
// characters.

#include <cstddef>

namespace brenvik::datenames {

// In the order of LibLocaleDate::LanguageType: English, French, German, Spanish,
// Japanese.
constexpr int kLanguageCount = 5;
constexpr int kJapanese = 4;

// The language's name in English ("English" .. "Japanese"); null outside the
// table.
const char* LanguageName(int language);
// The name of a month (1 = January); null for a month or language outside the
// tables.
const char* MonthName(int language, int month);
// The name of a weekday (0 = Sunday); null outside the tables.
const char* WeekdayName(int language, int weekday);

// The number of UTF-8 characters in `length` bytes of text (continuation bytes
// do not count).
long CharacterCount(const char* text, size_t length);
// The number of bytes that the first `characters` whole characters of a
// NUL-terminated text take.
size_t PrefixBytes(const char* text, long characters);

} // namespace brenvik::datenames
