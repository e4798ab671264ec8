// The free-form date reader behind parsedate(). It works in two stages: a
// tokenizer turns the text into typed tokens with values, and a matcher tries a
// fixed table of patterns in order; the first pattern that consumes every token
// and yields a valid date wins.
//
// This file is longer than most because the reader is one unit: its word and
// pattern tables (about a quarter of the file, one entry a line), the tokenizer,
// the pattern letters, the relative items and the conversion to a clock value
// only make sense together, and the platform's public header exposes only the
// entry points.

#include <parsedate.h>

#include <cstdint>
#include <cstring>

#include "CalendarArithmetic.h"

namespace {

typedef std::int64_t int64;

using BPrivate::DaysFromCivil;
using BPrivate::FloorDiv;
using BPrivate::FloorMod;

enum TokenType {
    kUnknownWord = 0,
    kWeekdayToken = 1,
    kNumberToken = 2,
    kSignedToken = 3, // "+5", "-5", or LAST, THIS, NEXT
    kColonToken = 4,
    kAmPmToken = 5,
    kStandardZoneToken = 6,
    kDaylightZoneToken = 7,
    kMonthToken = 8,
    kSecondsUnitToken = 9,
    kMonthsUnitToken = 10,
    kCommaToken = 11,
    kDotToken = 12,
    kOrdinalToken = 13,
    kDashToken = 14, // "/" or a "-" not followed by a digit
    kPlusToken = 15,
    kRelativeDayToken = 16,
    kMinusZeroToken = 17, // "-0", "-0000"
    kOtherByte = -1
};

struct Token {
    int type;
    int value;
    // A signed token that is the word LAST, THIS or NEXT rather than a number.
    bool isWord;
    // The byte of a dash token, '-' or '/'.
    char byte;
};

// No pattern consumes more than about thirty tokens, so a longer text cannot
// match and is refused before the matcher copies anything.
constexpr int kMaxTokens = 64;
// Numbers saturate here: no field is valid beyond it, and relative amounts stay
// far from overflowing 64-bit arithmetic.
constexpr int64 kMaxNumber = 999999999;
// Words longer than this are in no table (the longest entry, plus a plural S).
constexpr int kMaxWordLength = 15;
// A relative amount may move the date this many years at most.
constexpr int64 kMaxYear = 1000000;

struct WordEntry {
    const char* name;
    int type;
    int value;
};

// Searched with the word as a prefix of the entry, for words of 3 letters or more.
const WordEntry kPrefixWords[] = {
    { "JANUARY", kMonthToken, 1 },
    { "FEBRUARY", kMonthToken, 2 },
    { "MARCH", kMonthToken, 3 },
    { "APRIL", kMonthToken, 4 },
    { "MAY", kMonthToken, 5 },
    { "JUNE", kMonthToken, 6 },
    { "JULY", kMonthToken, 7 },
    { "AUGUST", kMonthToken, 8 },
    { "SEPTEMBER", kMonthToken, 9 },
    { "OCTOBER", kMonthToken, 10 },
    { "NOVEMBER", kMonthToken, 11 },
    { "DECEMBER", kMonthToken, 12 },
    { "SUNDAY", kWeekdayToken, 0 },
    { "MONDAY", kWeekdayToken, 1 },
    { "TUESDAY", kWeekdayToken, 2 },
    { "WEDNESDAY", kWeekdayToken, 3 },
    { "THURSDAY", kWeekdayToken, 4 },
    { "FRIDAY", kWeekdayToken, 5 },
    { "SATURDAY", kWeekdayToken, 6 },
};

// Searched by whole word. Zones are in minutes west of UTC; a daylight zone
// carries the offset of its standard time.
const WordEntry kExactWords[] = {
    { "ST", kOrdinalToken, 0 },
    { "ND", kOrdinalToken, 0 },
    { "RD", kOrdinalToken, 0 },
    { "TH", kOrdinalToken, 0 },
    { "AM", kAmPmToken, 0 },
    { "PM", kAmPmToken, 12 },
    { "LAST", kSignedToken, -1 },
    { "THIS", kSignedToken, 0 },
    { "NEXT", kSignedToken, 1 },
    { "TOMORROW", kRelativeDayToken, 1 },
    { "TODAY", kRelativeDayToken, 0 },
    { "YESTERDAY", kRelativeDayToken, -1 },
    { "YEAR", kMonthsUnitToken, 12 },
    { "MONTH", kMonthsUnitToken, 1 },
    { "WEEK", kSecondsUnitToken, 604800 },
    { "DAY", kSecondsUnitToken, 86400 },
    { "HOUR", kSecondsUnitToken, 3600 },
    { "MINUTE", kSecondsUnitToken, 60 },
    { "MIN", kSecondsUnitToken, 60 },
    { "SECOND", kSecondsUnitToken, 1 },
    { "SEC", kSecondsUnitToken, 1 },
    { "GMT", kStandardZoneToken, 0 },
    { "UT", kStandardZoneToken, 0 },
    { "UTC", kStandardZoneToken, 0 },
    { "CUT", kStandardZoneToken, 0 },
    { "Z", kStandardZoneToken, 0 },
    { "WET", kStandardZoneToken, 0 },
    { "NST", kStandardZoneToken, 210 },
    { "AST", kStandardZoneToken, 240 },
    { "EST", kStandardZoneToken, 300 },
    { "CST", kStandardZoneToken, 360 },
    { "MST", kStandardZoneToken, 420 },
    { "PST", kStandardZoneToken, 480 },
    { "YST", kStandardZoneToken, 540 },
    { "AKST", kStandardZoneToken, 540 },
    { "HST", kStandardZoneToken, 600 },
    { "HAST", kStandardZoneToken, 600 },
    { "MEZ", kStandardZoneToken, -60 },
    { "CET", kStandardZoneToken, -60 },
    { "MET", kStandardZoneToken, -60 },
    { "EET", kStandardZoneToken, -120 },
    { "MSK", kStandardZoneToken, -180 },
    { "WAST", kStandardZoneToken, -480 },
    { "HKT", kStandardZoneToken, -480 },
    { "CCT", kStandardZoneToken, -480 },
    { "JST", kStandardZoneToken, -540 },
    { "KST", kStandardZoneToken, -540 },
    { "KDT", kStandardZoneToken, -540 },
    { "CAST", kStandardZoneToken, -570 },
    { "EAST", kStandardZoneToken, -600 },
    { "NZST", kStandardZoneToken, -720 },
    { "FST", kStandardZoneToken, 120 },
    { "WST", kStandardZoneToken, 240 },
    { "SST", kStandardZoneToken, 660 },
    { "IST", kStandardZoneToken, -120 },
    { "GST", kStandardZoneToken, 180 },
    { "WAT", kStandardZoneToken, -60 },
    { "AT", kStandardZoneToken, 120 },
    { "NFT", kStandardZoneToken, 210 },
    { "IDLW", kStandardZoneToken, 720 },
    { "MEWT", kStandardZoneToken, -60 },
    { "SWT", kStandardZoneToken, -60 },
    { "FWT", kStandardZoneToken, -60 },
    { "BT", kStandardZoneToken, -180 },
    { "IT", kStandardZoneToken, -210 },
    { "JT", kStandardZoneToken, -450 },
    { "NZT", kStandardZoneToken, -720 },
    { "IDLE", kStandardZoneToken, -720 },
    { "CAT", kStandardZoneToken, 600 },
    { "NT", kStandardZoneToken, 660 },
    { "AHST", kStandardZoneToken, 600 },
    { "BST", kDaylightZoneToken, 0 },
    { "NDT", kDaylightZoneToken, 210 },
    { "ADT", kDaylightZoneToken, 240 },
    { "EDT", kDaylightZoneToken, 300 },
    { "CDT", kDaylightZoneToken, 360 },
    { "MDT", kDaylightZoneToken, 420 },
    { "PDT", kDaylightZoneToken, 480 },
    { "YDT", kDaylightZoneToken, 540 },
    { "AKDT", kDaylightZoneToken, 540 },
    { "HADT", kDaylightZoneToken, 600 },
    { "CES", kDaylightZoneToken, -60 },
    { "CEST", kDaylightZoneToken, -60 },
    { "MEZT", kDaylightZoneToken, -60 },
    { "MSD", kDaylightZoneToken, -180 },
    { "WADT", kDaylightZoneToken, -480 },
    { "CADT", kDaylightZoneToken, -570 },
    { "EADT", kDaylightZoneToken, -600 },
    { "NZDT", kDaylightZoneToken, -720 },
    { "FDT", kDaylightZoneToken, 120 },
    { "WDT", kDaylightZoneToken, 240 },
    { "IDT", kDaylightZoneToken, -120 },
    { "MEST", kDaylightZoneToken, -60 },
    { "HDT", kDaylightZoneToken, 600 },
    { "DST", kDaylightZoneToken, -60 },
    { "DDST", kDaylightZoneToken, -60 },
};

// The patterns, tried in this order. Letters: A weekday, B month (name or
// number), m month number, d day, Y/y year, H/I hour, M minute, S second, p am/pm,
// Z zone, T relative item; punctuation matches itself, "-" also splits a signed
// number; [x] makes the element x optional.
const char* const kPatterns[BPrivate::kDatePatternCount] = {
    "[A][,] B d[,] H:M:S [p] Y[,] [Z]",
    "[A][,] B d[,] [Y][,] H:M:S [p] [Z]",
    "[A][,] B d[,] [Y][,] H:M [p][,] [Z]",
    "[A][,] B d[,] [Y][,] H [p][,] [Z]",
    "[A][,] B d[,] H:M [p][,] [Y] [Z]",
    "[A][,] d B[,] [Y][,] H:M [p][,] [Z]",
    "[A][,] d B[,] [Y][,] H:M:S [p][,] [Z]",
    "[A][,] d B[,] H:M:S [Y][,] [p][,] [Z]",
    "[A][,] d B[,] H:M [Y][,] [p][,] [Z]",
    "d.m.y H:M:S [p] [Z]",
    "d.m.y H:M [p] [Z]",
    "d.m.y",
    "d.B.y",
    "d.B.Y",
    "[A][,] m-d-y[,] [H][:][M] [p]",
    "[A][,] m-d[,] H:M [p]",
    "[A][,] m-d[,] H[p]",
    "[A][,] m-d",
    "[A][,] B d[,] Y",
    "[A][,] H:M [p]",
    "[A][,] H [p]",
    "H:M [p][,] [A]",
    "H [p][,] [A]",
    "[A][,] B d[,] H:M:S [p] [Z] [Y]",
    "[A][,] B d[,] H:M [p] [Z] [Y]",
    "[A][,] d B [,] H:M:S [p] [Z] [Y]",
    "[A][,] d B [,] H:M [p] [Z] [Y]",
    "[A][,] d-B-Y H:M:S [p] [Z]",
    "[A][,] d-B-Y H:M [p] [Z]",
    "d B Y H:M:S [Z]",
    "d B Y H:M [Z]",
    "y-m-d",
    "d-m-y",
    "d-m-Y",
    "d-B-y",
    "d-B-Y",
    "y-m-d H:M:S [p] [Z]",
    "m-d-y H[p]",
    "m-d-y H:M[p]",
    "m-d-y H:M:S[p]",
    "y m d",
    "Y m d",
    "Y B d",
    "H[p] m-d-y",
    "H:M[p] m-d-y",
    "H:M:S[p] m-d-y",
    "A[,] H:M:S [p] [Z]",
    "A[,] H:M [p] [Z]",
    "H:M:S [p] [Z]",
    "H:M [p] [Z]",
    "A[,] [B] [d] [Y]",
    "A[,] [d] [B] [Y]",
    "B d[,][Y] H[p][,] [Z]",
    "B d[,] H[p]",
    "B d [,] H:M [p]",
    "d B [,][Y] H [p] [Z]",
    "d B [,] H:M [p]",
    "B d [,][Y]",
    "B d [,] H:M [p][,] [Y]",
    "B d [,] H [p][,] [Y]",
    "d B [,][Y]",
    "H[p] [,] B d",
    "H:M[p] [,] B d",
    "T [T][T][T][T][T]",
    "T H:M:S [p]",
    "T H:M [p]",
    "T H [p]",
    "H:M [p] T",
    "H [p] T",
    "H [p]",
};

// Character classes of the "C" locale, byte-wise, whatever the process locale.
bool IsSpace(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool IsLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The reader counts leap years by the Gregorian rule after 1752 and by the Julian
// rule before, always on the full calendar year.
bool IsLeapYear(int64 year)
{
    if (year > 1752)
        return BPrivate::IsGregorianLeapYear(year);
    return FloorMod(year, 4) == 0;
}

int MonthLength(int month, int64 year)
{
    return BPrivate::DaysInMonth(month, IsLeapYear(year));
}

// --- Tokenizer -------------------------------------------------------------

// Looks an upper-cased word without dots up in the tables.
Token LookUpWord(char* word, int length)
{
    if (length > 0 && word[length - 1] == 'S' && strcmp(word, "THIS") != 0
        && strcmp(word, "CES") != 0) {
        word[--length] = '\0';
    }
    if (length >= 3) {
        for (const WordEntry& entry : kPrefixWords) {
            if (strncmp(entry.name, word, length) == 0)
                return Token { entry.type, entry.value, false, 0 };
        }
    }
    if (length > 0) {
        for (const WordEntry& entry : kExactWords) {
            if (strcmp(entry.name, word) == 0)
                return Token { entry.type, entry.value, entry.type == kSignedToken, 0 };
        }
    }
    return Token { kUnknownWord, 0, false, 0 };
}

// Reads a run of letters and dots starting at text[i], a letter.
Token ReadWord(const char* text, size_t& i)
{
    char word[kMaxWordLength + 1];
    int length = 0;
    bool tooLong = false;
    for (; IsLetter(text[i]) || text[i] == '.'; i++) {
        if (text[i] == '.')
            continue;
        if (length == kMaxWordLength) {
            tooLong = true;
            continue;
        }
        char c = text[i];
        word[length++] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    word[length] = '\0';
    if (tooLong)
        return Token { kUnknownWord, 0, false, 0 };
    return LookUpWord(word, length);
}

int ReadNumber(const char* text, size_t& i)
{
    int64 value = 0;
    for (; IsDigit(text[i]); i++) {
        value = value * 10 + (text[i] - '0');
        if (value > kMaxNumber)
            value = kMaxNumber;
    }
    return int(value);
}

// A "+" or "-": a signed number when digits follow (a second sign byte right
// after the first is skipped), otherwise a lone sign.
Token ReadSign(const char* text, size_t& i)
{
    char sign = text[i++];
    if (text[i] == '+' || text[i] == '-')
        i++;
    if (!IsDigit(text[i]))
        return Token { sign == '-' ? kDashToken : kPlusToken, 0, false, sign };
    int value = ReadNumber(text, i);
    if (sign == '-' && value == 0)
        return Token { kMinusZeroToken, 0, false, 0 };
    return Token { kSignedToken, sign == '-' ? -value : value, false, 0 };
}

// Skips the comment that starts at text[i]; comments nest. False when it runs
// into the end of the text or a carriage return.
bool SkipComment(const char* text, size_t& i)
{
    int depth = 0;
    for (;; i++) {
        char c = text[i];
        if (c == '\0' || c == '\r')
            return false;
        if (c == '(') {
            depth++;
        } else if (c == ')' && --depth == 0) {
            i++;
            return true;
        }
    }
}

// Reads the next token at text[i] (not whitespace, not the end).
Token ReadToken(const char* text, size_t& i)
{
    unsigned char c = text[i];
    if (c == '+' || c == '-')
        return ReadSign(text, i);
    if (IsDigit(c))
        return Token { kNumberToken, ReadNumber(text, i), false, 0 };
    if (IsLetter(c))
        return ReadWord(text, i);
    i++;
    switch (c) {
    case ',':
        return Token { kCommaToken, 0, false, 0 };
    case '/':
        return Token { kDashToken, 0, false, '/' };
    case ':':
        return Token { kColonToken, 0, false, 0 };
    case '.':
        // A dot starts a word of letters and dots like a letter does, and such
        // a word is one lone dot: "5.3.02" has two of them, and ".MAR" is a
        // dot too (the letters go with it, as the format always read them).
        while (IsLetter(text[i]) || text[i] == '.')
            i++;
        return Token { kDotToken, 0, false, 0 };
    default:
        return Token { kOtherByte, c, false, 0 };
    }
}

// False when the text cannot match any pattern: an unterminated comment, a word
// or byte that no pattern accepts, or more tokens than any pattern consumes.
bool Tokenize(const char* text, Token* tokens, int& count)
{
    count = 0;
    size_t i = 0;
    while (true) {
        while (IsSpace(text[i]))
            i++;
        if (text[i] == '\0')
            return true;
        if (text[i] == '(') {
            if (!SkipComment(text, i))
                return false;
            continue;
        }
        Token token = ReadToken(text, i);
        if (token.type == kUnknownWord || token.type == kOtherByte || count == kMaxTokens)
            return false;
        tokens[count++] = token;
    }
}

// --- Matcher ---------------------------------------------------------------

constexpr int kUnset = -1;

struct Match {
    Token tokens[kMaxTokens];
    int count;
    int position;

    int weekday;
    int day;
    int month;
    int year;
    bool yearGiven;
    int hour;
    int minute;
    int second;
    int ampm;
    int zone;
    int zoneOffset;

    int64 relativeSeconds;
    int64 relativeMonths;
    bool relative;

    const struct tm* now;
};

const Token* TokenAt(const Match& match, int offset)
{
    int index = match.position + offset;
    return index < match.count ? &match.tokens[index] : nullptr;
}

bool TypeAt(const Match& match, int offset, int type)
{
    const Token* token = TokenAt(match, offset);
    return token != nullptr && token->type == type;
}

bool IsSignedNumber(const Token& token)
{
    return (token.type == kSignedToken && !token.isWord) || token.type == kMinusZeroToken;
}

// Reads a number token into a field.
bool TakeNumber(Match& match, int& field)
{
    if (!TypeAt(match, 0, kNumberToken))
        return false;
    field = match.tokens[match.position++].value;
    return true;
}

bool TakeToken(Match& match, int type, int* field)
{
    if (!TypeAt(match, 0, type))
        return false;
    if (field != nullptr)
        *field = match.tokens[match.position].value;
    match.position++;
    return true;
}

void ZeroMissingTime(Match& match)
{
    if (match.hour == kUnset)
        match.hour = 0;
    if (match.minute == kUnset)
        match.minute = 0;
    if (match.second == kUnset)
        match.second = 0;
}

bool TakeDay(Match& match)
{
    if (!TakeNumber(match, match.day))
        return false;
    TakeToken(match, kOrdinalToken, nullptr);
    ZeroMissingTime(match);
    return true;
}

bool TakeYear(Match& match)
{
    if (!TakeNumber(match, match.year))
        return false;
    if (match.year <= 37)
        match.year += 2000;
    match.yearGiven = true;
    return true;
}

// "-": a dash or slash is consumed; a signed number of value <= 0 ("-03" in
// "2002-03-05") becomes the unsigned number after the dash and is left for the
// next letter. "+" works the same way for "+" and values >= 0.
bool TakeSign(Match& match, bool minus)
{
    if (match.position >= match.count)
        return false;
    Token& token = match.tokens[match.position];
    if (minus && token.type == kDashToken && token.byte != 0) {
        match.position++;
        return true;
    }
    if (!minus && token.type == kPlusToken) {
        match.position++;
        return true;
    }
    // Only a written signed number turns into the next field: the words LAST,
    // THIS and NEXT are not numbers, and reading "12 last" as the 1st of
    // December (as the format once did) would accept a text that names no
    // date.
    if (!IsSignedNumber(token) || (minus ? token.value > 0 : token.value < 0))
        return false;
    token = Token { kNumberToken, minus ? -token.value : token.value, false, 0 };
    return true;
}

// A zone offset number: -12..12 counts hours, anything else is hhmm.
int ZoneOffsetMinutes(int value)
{
    if (value >= -12 && value <= 12)
        return value * 60;
    int magnitude = value < 0 ? -value : value;
    int minutes = (magnitude / 100) * 60 + magnitude % 100;
    return value < 0 ? -minutes : minutes;
}

// Z: a zone name (a standard name may be followed by a daylight one), a number,
// or a name followed by a number.
bool TakeZone(Match& match)
{
    int offset = 0;
    int zone = BPrivate::kParsedDateAbsent;
    const Token* token = TokenAt(match, 0);
    if (token != nullptr && token->type == kStandardZoneToken) {
        zone = token->value;
        offset++;
        const Token* daylight = TokenAt(match, 1);
        if (daylight != nullptr && daylight->type == kDaylightZoneToken) {
            zone += daylight->value;
            offset++;
        }
    } else if (token != nullptr && token->type == kDaylightZoneToken) {
        zone = token->value - 60;
        offset++;
    }
    int zoneOffset = BPrivate::kParsedDateAbsent;
    const Token* number = TokenAt(match, offset);
    if (number != nullptr && (number->type == kNumberToken || IsSignedNumber(*number))) {
        zoneOffset = ZoneOffsetMinutes(number->value);
        offset++;
    }
    if (offset == 0)
        return false;
    if (zone != BPrivate::kParsedDateAbsent)
        match.zone = zone;
    if (zoneOffset != BPrivate::kParsedDateAbsent)
        match.zoneOffset = zoneOffset;
    match.position += offset;
    return true;
}

// --- Relative items (pattern letter T) ----------------------------------------

void SetTimeToNow(Match& match)
{
    match.hour = match.now->tm_hour;
    match.minute = match.now->tm_min;
    match.second = match.now->tm_sec;
}

// "3 hours", "-1 day", "next week", "last year".
void TakeCountAndUnit(Match& match, const Token& count, const Token& unit)
{
    int64 amount = int64(count.value) * unit.value;
    if (unit.type == kSecondsUnitToken) {
        // Once the amount is negative, later items continue backwards:
        // "-1 day 2 hours" goes back 26 hours.
        match.relativeSeconds += match.relativeSeconds < 0 ? -amount : amount;
        SetTimeToNow(match);
        match.ampm = kUnset;
    } else {
        bool backwards = match.relativeMonths < 0 || match.relativeSeconds < 0;
        match.relativeMonths += backwards ? -amount : amount;
        ZeroMissingTime(match);
    }
}

// The THIS rule: the next weekday w after today, a week on when w is today.
int64 DaysToThisWeekday(int today, int weekday)
{
    return weekday > today ? weekday - today : 7 - (today - weekday);
}

// "next monday", "last friday", "+ sunday": a day of another week. NEXT, THIS
// and the lone signs keep the format's long-standing rules, unusual as some are
// when w is today's weekday ("+ w" is two weeks on, "- w" is today and "-0 w"
// a week on). A count n names weekday w of the week n weeks away; the format
// used to move whole weeks only for counts other than 1, 0 and -1 (and for
// LAST when w lies later in the week), which lands on today's weekday instead
// of w, so here every count moves to w itself.
void TakeWeekdayReference(Match& match, const Token& reference, int weekday)
{
    int today = match.now->tm_wday;
    int64 days;
    if (reference.type == kPlusToken)
        days = DaysToThisWeekday(today, weekday) + (weekday == today ? 7 : 0);
    else if (reference.type == kDashToken)
        days = DaysToThisWeekday(today, weekday) - 7;
    else if (reference.type == kMinusZeroToken)
        days = DaysToThisWeekday(today, weekday) - (weekday != today ? 7 : 0);
    else if (reference.value == 0)
        days = DaysToThisWeekday(today, weekday);
    else
        days = int64(reference.value) * 7 + (weekday - today);
    match.relativeSeconds += days * 86400;
    ZeroMissingTime(match);
}

// "+2:00", "-1:30", "-0:30:15": the relative seconds are set to the offset.
bool TakeHourOffset(Match& match)
{
    const Token& sign = match.tokens[match.position];
    if (!TypeAt(match, 2, kNumberToken))
        return false;
    int64 hours = sign.value;
    int64 minutes = TokenAt(match, 2)->value;
    int64 seconds = 0;
    int used = 3;
    if (TypeAt(match, 3, kColonToken) && TypeAt(match, 4, kNumberToken)) {
        seconds = TokenAt(match, 4)->value;
        used = 5;
    }
    bool negative = hours < 0 || sign.type == kMinusZeroToken;
    int64 rest = minutes * 60 + seconds;
    match.relativeSeconds = hours * 3600 + (negative ? -rest : rest);
    // Deliberately as the format has always behaved: a field that is 0 counts as
    // missing here.
    if (match.hour <= 0)
        match.hour = match.now->tm_hour;
    if (match.minute <= 0)
        match.minute = match.now->tm_min;
    if (match.second <= 0)
        match.second = match.now->tm_sec;
    match.position += used;
    return true;
}

bool TakeRelativeItem(Match& match)
{
    const Token* first = TokenAt(match, 0);
    if (first == nullptr)
        return false;
    if (first->type == kRelativeDayToken) {
        match.relativeSeconds += int64(first->value) * 86400;
        ZeroMissingTime(match);
        match.position++;
        match.relative = true;
        return true;
    }
    const Token* second = TokenAt(match, 1);
    if (second == nullptr)
        return false;
    bool isCount = first->type == kNumberToken || first->type == kSignedToken
        || first->type == kMinusZeroToken;
    bool isReference = first->type == kSignedToken || first->type == kMinusZeroToken
        || first->type == kPlusToken || (first->type == kDashToken && first->byte == '-');
    if (isCount && (second->type == kSecondsUnitToken || second->type == kMonthsUnitToken)) {
        TakeCountAndUnit(match, *first, *second);
        match.position += 2;
    } else if (isReference && second->type == kWeekdayToken) {
        TakeWeekdayReference(match, *first, second->value);
        match.position += 2;
    } else if (!(IsSignedNumber(*first) && second->type == kColonToken && TakeHourOffset(match))) {
        return false;
    }
    match.relative = true;
    return true;
}

bool TakeElement(Match& match, char letter)
{
    switch (letter) {
    case 'A':
    case 'a':
        return TakeToken(match, kWeekdayToken, &match.weekday);
    case 'B':
    case 'b':
        return TakeToken(match, kMonthToken, &match.month) || TakeNumber(match, match.month);
    case 'm':
        return TakeNumber(match, match.month);
    case 'd':
        return TakeDay(match);
    case 'Y':
    case 'y':
        return TakeYear(match);
    case 'H':
    case 'I':
        return TakeNumber(match, match.hour);
    case 'M':
        return TakeNumber(match, match.minute);
    case 'S':
        return TakeNumber(match, match.second);
    case 'p':
        return TakeToken(match, kAmPmToken, &match.ampm);
    case 'Z':
    case 'z':
        return TakeZone(match);
    case 'T':
        return TakeRelativeItem(match);
    case ',':
        return TakeToken(match, kCommaToken, nullptr);
    case '.':
        return TakeToken(match, kDotToken, nullptr);
    case ':':
        return TakeToken(match, kColonToken, nullptr);
    case '-':
        return TakeSign(match, true);
    case '+':
        return TakeSign(match, false);
    default:
        return false;
    }
}

bool ApplyPattern(const char* pattern, Match& match)
{
    for (const char* p = pattern; *p != '\0';) {
        if (*p == ' ') {
            p++;
            continue;
        }
        char letter = *p;
        bool optional = letter == '[';
        if (optional) {
            if (p[1] == '\0' || p[2] != ']')
                return false;
            letter = p[1];
            p += 3;
        } else {
            p++;
        }
        if (!TakeElement(match, letter) && !optional)
            return false;
    }
    return match.position == match.count;
}

// --- Defaults, validation, result -----------------------------------------------

int64 FullYear(const Match& match)
{
    if (match.yearGiven && match.year >= 100)
        return match.year;
    return int64(match.year) + 1900;
}

void ApplyDefaults(Match& match)
{
    const struct tm& now = *match.now;
    ZeroMissingTime(match);
    if (match.month == kUnset)
        match.month = now.tm_mon + 1;
    if (match.year == kUnset) {
        match.year = now.tm_year;
        match.yearGiven = false;
    }
    if (match.weekday == kUnset)
        match.weekday = now.tm_wday;
    if (match.day != kUnset)
        return;
    // A weekday without a day names the next such day, today included.
    match.day = now.tm_mday + (match.weekday - now.tm_wday);
    bool relativeAmount = match.relativeSeconds != 0 || match.relativeMonths != 0;
    if (match.weekday < now.tm_wday && !relativeAmount)
        match.day += 7;
    int length = MonthLength(match.month, FullYear(match));
    if (length > 0 && match.day > length) {
        match.day -= length;
        if (++match.month > 12) {
            match.month = 1;
            match.year++;
        }
    }
}

bool IsValid(const Match& match)
{
    if (match.hour > 23 || (match.ampm != kUnset && match.hour > 12))
        return false;
    if (match.minute > 59 || match.second > 59)
        return false;
    if (match.month < 1 || match.month > 12)
        return false;
    // Day 0 is no date, although the format never checked for it.
    return match.day >= 1 && match.day <= MonthLength(match.month, FullYear(match));
}

void StartMatch(Match& match, const Token* tokens, int count, const struct tm& now)
{
    memcpy(match.tokens, tokens, sizeof(Token) * count);
    match.count = count;
    match.position = 0;
    match.weekday = match.day = match.month = match.year = kUnset;
    match.hour = match.minute = match.second = match.ampm = kUnset;
    match.yearGiven = false;
    match.zone = match.zoneOffset = BPrivate::kParsedDateAbsent;
    match.relativeSeconds = match.relativeMonths = 0;
    match.relative = false;
    match.now = &now;
}

// Adds the relative amounts and fills the result; false when they carry the date
// out of any sensible range.
bool Finish(const Match& match, int pattern, BPrivate::ParsedDate& result)
{
    int64 month = match.month + match.relativeMonths;
    int64 yearShift = FloorDiv(month - 1, 12);
    int64 fullYear = FullYear(match) + yearShift;
    if (fullYear > kMaxYear || fullYear < -kMaxYear)
        return false;
    result.flags = match.relative ? PARSEDATE_RELATIVE_TIME : 0;
    result.day = match.day;
    result.month = int(FloorMod(month - 1, 12) + 1);
    result.year = int(match.year + yearShift);
    result.hour = match.hour;
    result.minute = match.minute;
    result.second = long(match.second + match.relativeSeconds);
    result.ampm = match.ampm;
    result.zone = match.zone;
    result.zoneOffset = match.zoneOffset;
    result.fullYear = int(fullYear);
    result.yearGiven = match.yearGiven;
    result.pattern = pattern;
    return true;
}

// The local offset from UTC, in seconds, in force at a clock value.
long LocalOffsetAt(int64 when, long fallback)
{
    time_t clock = time_t(when);
    struct tm local;
    if (localtime_r(&clock, &local) == nullptr)
        return fallback;
    return local.tm_gmtoff;
}

} // namespace

namespace BPrivate {

int parse_date(const char* text, time_t reference, ParsedDate& result)
{
    if (text == nullptr || strnlen(text, kMaxDateTextLength + 1) > size_t(kMaxDateTextLength))
        return -1;
    Token tokens[kMaxTokens];
    int count = 0;
    if (!Tokenize(text, tokens, count))
        return -1;

    time_t nowClock = reference == -1 ? time(nullptr) : reference;
    struct tm now;
    if (localtime_r(&nowClock, &now) == nullptr)
        return -1;

    Match match;
    for (int i = 0; i < kDatePatternCount; i++) {
        StartMatch(match, tokens, count, now);
        if (!ApplyPattern(kPatterns[i], match))
            continue;
        ApplyDefaults(match);
        if (IsValid(match))
            return Finish(match, i + 1, result) ? 1 : -1;
    }
    return -1;
}

time_t parsed_date_to_time(const ParsedDate& date)
{
    int64 hour = date.hour;
    if (date.ampm == 0 && hour == 12)
        hour = 0;
    else if (date.ampm == 12 && hour != 12)
        hour += 12;
    // Whole-calendar arithmetic: the day and the seconds may run past the end of
    // their month and day after relative amounts.
    int64 days = DaysFromCivil(date.fullYear, date.month, 1) + date.day - 1;
    int64 local = days * 86400 + hour * 3600 + int64(date.minute) * 60 + date.second;

    if (date.zone != kParsedDateAbsent || date.zoneOffset != kParsedDateAbsent) {
        int64 west = date.zone != kParsedDateAbsent ? date.zone : 0;
        int64 east = date.zoneOffset != kParsedDateAbsent ? date.zoneOffset : 0;
        return time_t(local + (west - east) * 60);
    }
    // No zone in the text: the local zone. The offset is looked up at the moment
    // that standard time would give, so daylight saving time is taken off exactly
    // as far as the zone shifts (not always an hour).
    tzset();
    long standard = -timezone;
    return time_t(local - LocalOffsetAt(local - standard, standard));
}

const char* date_pattern(int number)
{
    if (number < 1 || number > kDatePatternCount)
        return nullptr;
    return kPatterns[number - 1];
}

} // namespace BPrivate

time_t parsedate(const char* text, time_t now)
{
    return parsedate_etc(text, now, nullptr);
}

time_t parsedate_etc(const char* text, time_t now, int* flags)
{
    if (flags != nullptr)
        *flags = 0;
    BPrivate::ParsedDate date;
    if (BPrivate::parse_date(text, now, date) != 1)
        return -1;
    if (flags != nullptr)
        *flags = date.flags;
    return BPrivate::parsed_date_to_time(date);
}
