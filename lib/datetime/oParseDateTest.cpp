// The free-form date reader: the documented examples, one text for every
// pattern of the table, and the texts it must refuse.

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "DateParserTestSupport.h"

namespace {

using namespace brenvik::test;

constexpr int kPM = 12;
constexpr int kNone = -1;
constexpr int kAbsent = 99999;

DateFields At(int year, int month, int day, int hour = 0, int minute = 0, long second = 0,
    int ampm = kNone, int zone = kAbsent, int offset = kAbsent, int flags = 0)
{
    return DateFields { flags, day, month, year, hour, minute, second, ampm, zone, offset };
}

class DateParser : public testing::Test {
protected:
    ScopedTimeZone fZone { "UTC0" };
};

TEST_F(DateParser, DocumentedExamples)
{
    EXPECT_EQ(ReadFields("March 5, 2002 10:30 PM"), At(2002, 3, 5, 10, 30, 0, kPM));
    EXPECT_EQ(PatternOf("March 5, 2002 10:30 PM"), 3);
    EXPECT_EQ(ReadFields("5.3.02"), At(2002, 3, 5));
    // Years above 37 are not widened.
    EXPECT_EQ(ReadFields("12/25/99"), At(99, 12, 25));
    EXPECT_EQ(ReadFields("2002-03-05 22:30:00"), At(2002, 3, 5, 22, 30));
    EXPECT_EQ(PatternOf("2002-03-05 22:30:00"), 37);
    EXPECT_EQ(
        ReadFields("Tuesday, March 5 2002 10:30 PM EST"), At(2002, 3, 5, 10, 30, 0, kPM, 300));
    EXPECT_EQ(ReadFields("5 Mar 2002 (note) 10:30"), At(2002, 3, 5, 10, 30));
    // A text without a year gives the year counted from 1900.
    EXPECT_EQ(ReadFields("March 5"), At(126, 3, 5));
}

TEST_F(DateParser, WeekdayAloneIsTheComingSuchDay)
{
    // The reference day is a Wednesday: the coming Monday is 9 March.
    EXPECT_EQ(ReadFields("Mon"), At(126, 3, 9));
    EXPECT_EQ(ReadFields("Wednesday"), At(126, 3, 4));
    EXPECT_EQ(ReadFields("fri"), At(126, 3, 6));
    // On a Monday, "Mon" is today; the day wraps into the next month.
    const long monday = kReference + 26 * kDay; // Monday, 30 March 2026
    EXPECT_EQ(ReadFields("Mon", monday), At(126, 3, 30));
    EXPECT_EQ(ReadFields("Sun", monday), At(126, 4, 5));
}

TEST_F(DateParser, RelativeAmountsStayInTheSecondAndMonthFields)
{
    EXPECT_EQ(ReadFields("tomorrow"), At(126, 3, 4, 0, 0, kDay, kNone, kAbsent, kAbsent, 1));
    EXPECT_EQ(o_parsedate("tomorrow", kReference), kReferenceMidnight + kDay);
    EXPECT_EQ(ReadFields("3 hours"), At(126, 3, 4, 14, 25, 36 + 10800, kNone, kAbsent, kAbsent, 1));
    EXPECT_EQ(o_parsedate("3 hours", kReference), kReference + 10800);
    EXPECT_EQ(ReadFields("next monday"), At(126, 3, 4, 0, 0, 5 * kDay, kNone, kAbsent, kAbsent, 1));
    EXPECT_EQ(o_parsedate("next monday", kReference), kReferenceMidnight + 5 * kDay);
}

TEST_F(DateParser, ZoneNamesAndOffsets)
{
    EXPECT_EQ(o_parsedate("10:30 EST", kReference), kReferenceMidnight + 15 * 3600 + 1800);
    EXPECT_EQ(ReadFields("10:30 EST"), At(126, 3, 4, 10, 30, 0, kNone, 300));
    // A daylight name is an hour less west; a standard name followed by a
    // daylight name adds the two.
    EXPECT_EQ(ReadFields("10:30 EDT"), At(126, 3, 4, 10, 30, 0, kNone, 240));
    EXPECT_EQ(ReadFields("10:30 MET DST"), At(126, 3, 4, 10, 30, 0, kNone, -120));
    EXPECT_EQ(o_parsedate("10:30 MET DST", kReference), kReferenceMidnight + 8 * 3600 + 1800);
    // Numbers from -12 to 12 count hours, others are hhmm.
    EXPECT_EQ(ReadFields("10:30 -0500"), At(126, 3, 4, 10, 30, 0, kNone, kAbsent, -300));
    EXPECT_EQ(ReadFields("10:30 +0530"), At(126, 3, 4, 10, 30, 0, kNone, kAbsent, 330));
    EXPECT_EQ(ReadFields("10:30 GMT+2"), At(126, 3, 4, 10, 30, 0, kNone, 0, 120));
    EXPECT_EQ(ReadFields("10:30 -0000"), At(126, 3, 4, 10, 30, 0, kNone, kAbsent, 0));
    EXPECT_EQ(o_parsedate("10:30 -0500", kReference), kReferenceMidnight + 15 * 3600 + 1800);
    EXPECT_EQ(o_parsedate("10:30 GMT+2", kReference), kReferenceMidnight + 8 * 3600 + 1800);
}

TEST_F(DateParser, WordsIgnoreCaseDotsAndAPluralS)
{
    EXPECT_EQ(ReadFields("SEPT. 5th, 2002 10:30 p.m."), At(2002, 9, 5, 10, 30, 0, kPM));
    EXPECT_EQ(ReadFields("tues, jan 1st 2002"), At(2002, 1, 1));
    EXPECT_EQ(
        ReadFields("2 DAYS"), At(126, 3, 4, 14, 25, 36 + 2 * kDay, kNone, kAbsent, kAbsent, 1));
    EXPECT_EQ(ReadFields("5 Mar 2002 (a (nested) comment) 10:30"), At(2002, 3, 5, 10, 30));
}

TEST_F(DateParser, TwoDigitYears)
{
    EXPECT_EQ(ReadFields("1/2/37"), At(2037, 1, 2));
    EXPECT_EQ(ReadFields("1/2/0"), At(2000, 1, 2));
    EXPECT_EQ(ReadFields("1/2/38"), At(38, 1, 2));
    EXPECT_EQ(o_parsedate("1/2/38", kReference), UtcClock(1938, 1, 2));
    EXPECT_EQ(o_parsedate("12/25/99 10:30", kReference), UtcClock(1999, 12, 25, 10, 30));
}

TEST_F(DateParser, LeapDaysByTheCalendarOfTheirYear)
{
    EXPECT_EQ(ReadFields("Feb 29 2000"), At(2000, 2, 29));
    EXPECT_EQ(ReadFields("Feb 29 1700"), At(1700, 2, 29)); // Julian rule before 1752
    EXPECT_FALSE(ReadFields("Feb 29 1900"));
    EXPECT_FALSE(ReadFields("Feb 29 2100"));
    EXPECT_FALSE(ReadFields("Feb 29 2023"));
    EXPECT_FALSE(ReadFields("Feb 29")); // the reference year 2026 has none
}

TEST_F(DateParser, FullYearsBeyondTheTwentiethCenturyConvert)
{
    EXPECT_EQ(o_parsedate("Mar 1 2100", kReference), UtcClock(2100, 3, 1));
    EXPECT_EQ(o_parsedate("Jan 1 1066 12:00", kReference), UtcClock(1066, 1, 1, 12));
    EXPECT_EQ(o_parsedate("Dec 31 9999 23:59:59", kReference), UtcClock(9999, 12, 31, 23, 59, 59));
}

struct PatternCase {
    int pattern;
    const char* text;
    DateFields expected;
    long reference = kReference;
};

// Wednesday, 6 March 2024, 12:00 UTC: a reference in a leap year.
constexpr long kLeapReference = 1709726400;

void PrintTo(const PatternCase& c, std::ostream* out)
{
    *out << c.pattern << " \"" << c.text << "\"";
}

// One text for every pattern that is the first to accept some text. A zone
// element also takes the number after it as an offset, so the year at the end
// of patterns 24 to 27 is never read. Patterns 25 to 27 take a plain number
// as a zone offset only where the earlier patterns read it as a year and fail:
// 29 February 2005 does not exist, while the reference year 2024 has one.
const PatternCase kPatternCases[] = {
    { 1, "Tue Mar 5 22:30:00 2002", At(2002, 3, 5, 22, 30) },
    { 2, "March 5, 2002 22:30:00", At(2002, 3, 5, 22, 30) },
    { 3, "March 5, 2002 10:30 PM", At(2002, 3, 5, 10, 30, 0, kPM) },
    { 4, "March 5 2002 10 PM", At(2002, 3, 5, 10, 0, 0, kPM) },
    { 5, "March 5 10:30 2002", At(2002, 3, 5, 10, 30) },
    { 6, "5 March 2002 10:30", At(2002, 3, 5, 10, 30) },
    { 7, "5 March 2002 10:30:00", At(2002, 3, 5, 10, 30) },
    { 8, "5 March 10:30:00 2002", At(2002, 3, 5, 10, 30) },
    { 9, "5 March 10:30 2002", At(2002, 3, 5, 10, 30) },
    { 10, "5.3.02 10:30:00", At(2002, 3, 5, 10, 30) },
    { 11, "5.3.02 10:30", At(2002, 3, 5, 10, 30) },
    { 12, "5.3.02", At(2002, 3, 5) },
    { 15, "12/25/99", At(99, 12, 25) },
    { 16, "12/25, 10:30", At(126, 12, 25, 10, 30) },
    { 17, "12/25, 10pm", At(126, 12, 25, 10, 0, 0, kPM) },
    { 18, "12/25", At(126, 12, 25) },
    { 19, "March 5, 2002", At(2002, 3, 5) },
    { 20, "10:30", At(126, 3, 4, 10, 30) },
    { 21, "10 pm", At(126, 3, 4, 10, 0, 0, kPM) },
    { 22, "10:30 Tue", At(126, 3, 10, 10, 30) },
    { 23, "10 pm, Tue", At(126, 3, 10, 10, 0, 0, kPM) },
    { 24, "Mar 5 10:30:00 EST", At(126, 3, 5, 10, 30, 0, kNone, 300) },
    { 25, "Feb 29 10:30 5", At(124, 2, 29, 10, 30, 0, kNone, kAbsent, 300), kLeapReference },
    { 26, "29 Feb 10:30:00 5", At(124, 2, 29, 10, 30, 0, kNone, kAbsent, 300), kLeapReference },
    { 27, "29 Feb 10:30 5", At(124, 2, 29, 10, 30, 0, kNone, kAbsent, 300), kLeapReference },
    { 28, "5-Mar-2002 10:30:00", At(2002, 3, 5, 10, 30) },
    { 29, "5-Mar-2002 10:30", At(2002, 3, 5, 10, 30) },
    { 32, "2002-03-05", At(2002, 3, 5) },
    { 33, "25-12-99", At(99, 12, 25) },
    { 35, "5-Mar-02", At(2002, 3, 5) },
    { 37, "2002-03-05 22:30:00", At(2002, 3, 5, 22, 30) },
    { 40, "12-25-99 10:30:00", At(99, 12, 25, 10, 30) },
    { 41, "2002 3 5", At(2002, 3, 5) },
    { 43, "2002 Mar 5", At(2002, 3, 5) },
    { 44, "10pm 12/25/99", At(99, 12, 25, 10, 0, 0, kPM) },
    { 45, "10:30pm 12/25/99", At(99, 12, 25, 10, 30, 0, kPM) },
    { 46, "10:30:00 12/25/99", At(99, 12, 25, 10, 30) },
    { 47, "Tue 10:30:00", At(126, 3, 10, 10, 30) },
    { 48, "Tue 10:30 EST", At(126, 3, 10, 10, 30, 0, kNone, 300) },
    { 49, "10:30:00", At(126, 3, 4, 10, 30) },
    { 50, "10:30 EST", At(126, 3, 4, 10, 30, 0, kNone, 300) },
    { 51, "Mon", At(126, 3, 9) },
    { 52, "Tue 5 Mar 2002", At(2002, 3, 5) },
    { 54, "Mar 5 10pm", At(126, 3, 5, 10, 0, 0, kPM) },
    { 56, "5 Mar 2002 10 pm", At(2002, 3, 5, 10, 0, 0, kPM) },
    { 58, "Mar 5", At(126, 3, 5) },
    { 60, "Mar 5 10 pm 2002", At(2002, 3, 5, 10, 0, 0, kPM) },
    { 61, "5 Mar 2002", At(2002, 3, 5) },
    { 62, "10pm, Mar 5", At(126, 3, 5, 10, 0, 0, kPM) },
    { 63, "10:30pm Mar 5", At(126, 3, 5, 10, 30, 0, kPM) },
    { 64, "tomorrow", At(126, 3, 4, 0, 0, kDay, kNone, kAbsent, kAbsent, 1) },
    { 65, "tomorrow 10:30:00", At(126, 3, 4, 10, 30, kDay, kNone, kAbsent, kAbsent, 1) },
    { 66, "tomorrow 10:30", At(126, 3, 4, 10, 30, kDay, kNone, kAbsent, kAbsent, 1) },
    { 67, "tomorrow 10", At(126, 3, 4, 10, 0, kDay, kNone, kAbsent, kAbsent, 1) },
    { 68, "10:30 tomorrow", At(126, 3, 4, 10, 30, kDay, kNone, kAbsent, kAbsent, 1) },
    { 69, "10 pm tomorrow", At(126, 3, 4, 10, 0, kDay, kPM, kAbsent, kAbsent, 1) },
};

class DateParserPattern : public DateParser, public testing::WithParamInterface<PatternCase> { };

TEST_P(DateParserPattern, AcceptsItsText)
{
    const PatternCase& c = GetParam();
    EXPECT_EQ(PatternOf(c.text, c.reference), c.pattern);
    EXPECT_EQ(ReadFields(c.text, c.reference), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DateParserPattern, testing::ValuesIn(kPatternCases));

struct ShadowedCase {
    int pattern;
    const char* text; // a text of the pattern's shape
    int acceptedBy; // the earlier pattern that reads it, with the same fields
};

// These patterns are never the first to accept a text: an earlier pattern reads
// every text of their shape, to the same fields. Each is shown with such a text.
const ShadowedCase kShadowedCases[] = {
    // A month name after a dot is swallowed by the dot (".MAR" is one lone dot
    // token), so "d.B.y" only ever sees numbers, which "d.m.y" reads first.
    { 13, "5.3.02", 12 },
    { 14, "5.3.2002", 12 },
    { 30, "5 Mar 2002 10:30:00 GMT", 7 },
    { 31, "5 Mar 2002 10:30 GMT", 6 },
    { 34, "25-12-2099", 33 },
    { 36, "5-Mar-2002", 35 },
    { 38, "12-25-99 10pm", 15 },
    { 39, "12-25-99 10:30pm", 15 },
    { 42, "2002 12 25", 41 },
    { 53, "Mar 5, 2002 10pm EST", 4 },
    { 55, "Mar 5 , 10:30 pm", 5 },
    { 57, "5 Mar , 10:30 pm", 9 },
    { 59, "Mar 5 , 10:30 pm, 2002", 5 },
    { 70, "10 pm", 21 },
};

TEST_F(DateParser, ShadowedPatternsTextsAreReadByAnEarlierPattern)
{
    for (const ShadowedCase& c : kShadowedCases) {
        EXPECT_EQ(PatternOf(c.text), c.acceptedBy) << c.pattern << " \"" << c.text << "\"";
        EXPECT_LT(c.acceptedBy, c.pattern);
    }
}

TEST(DateParserTable, EveryPatternIsExercised)
{
    std::set<int> covered;
    for (const PatternCase& c : kPatternCases)
        covered.insert(c.pattern);
    for (const ShadowedCase& c : kShadowedCases)
        covered.insert(c.pattern);
    for (int pattern = 1; pattern <= BPrivate::kDatePatternCount; pattern++)
        EXPECT_EQ(covered.count(pattern), 1u) << pattern;
    EXPECT_EQ(covered.size(), size_t(BPrivate::kDatePatternCount));
    EXPECT_STREQ(BPrivate::date_pattern(1), "[A][,] B d[,] H:M:S [p] Y[,] [Z]");
    EXPECT_STREQ(BPrivate::date_pattern(70), "H [p]");
    EXPECT_EQ(BPrivate::date_pattern(0), nullptr);
    EXPECT_EQ(BPrivate::date_pattern(71), nullptr);
}

// Texts that must fail, and with them every out value must stay as it was.
const char* const kRefused[] = {
    "Sept 31 2002", // no 31st of September
    "Tuesday, foo", // FOO is in no table
    "(comment", // a comment that never ends
    "5 Mar (a\r) 2002", // a comment may not hold a carriage return
    ")", // a byte no pattern accepts
    "10:30 \xc3\xa9",
    "25:00",
    "13 pm",
    "10:60",
    "10:30:60",
    "0 March 2002", // there is no day 0
    "March 0",
    "13/25/2002",
    "",
    "   ",
    "5 5 5 5 5 5 5 5",
    "10 : : 30",
    "next",
    "tomorrow tomorrow tomorrow tomorrow tomorrow tomorrow tomorrow",
    "99999999999999999999 years",
    "5.Mar .02", // ".MAR" is a lone dot, and so is ".": no pattern has two
    "12 last", // LAST is a word, not the number -1 a "-" could take
    "3 this",
};

class DateParserRefuses : public DateParser, public testing::WithParamInterface<const char*> { };

TEST_P(DateParserRefuses, AndFillsNothing)
{
    int flags = 7, month = -5, year = -5, hour = -5, minute = -5, ampm = -5, zone = -5, offset = -5;
    int day = -5;
    long second = -5;
    EXPECT_EQ(o_parsedate_etc(GetParam(), kReference, &flags, day, &month, &year, &hour, &minute,
                  second, &ampm, &zone, &offset),
        -1);
    EXPECT_EQ(flags, 0);
    for (int value : { day, month, year, hour, minute, ampm, zone, offset })
        EXPECT_EQ(value, -5);
    EXPECT_EQ(second, -5);
    EXPECT_EQ(o_parsedate(GetParam(), kReference), -1);
    int m = -5, d = -5, y = -5;
    EXPECT_EQ(o_parsedate(GetParam(), m, d, y), -1);
    EXPECT_EQ(m + d + y, -15);
}

INSTANTIATE_TEST_SUITE_P(Texts, DateParserRefuses, testing::ValuesIn(kRefused));

TEST_F(DateParser, RefusesOverlongAndMissingTexts)
{
    std::string longText(BPrivate::kMaxDateTextLength - 10, ' ');
    longText += "March 5";
    EXPECT_TRUE(ReadFields(longText.c_str()));
    longText.insert(0, 20, ' ');
    EXPECT_FALSE(ReadFields(longText.c_str()));
    EXPECT_FALSE(ReadFields(nullptr));
    std::string manyTokens;
    for (int i = 0; i < 100; i++)
        manyTokens += "1 ";
    EXPECT_FALSE(ReadFields(manyTokens.c_str()));
}

TEST_F(DateParser, ThreeFieldEntryPointReadsAgainstNow)
{
    int month = 0, day = 0, year = 0;
    EXPECT_EQ(o_parsedate("March 5, 2002", month, day, year), 1);
    EXPECT_EQ(month, 3);
    EXPECT_EQ(day, 5);
    EXPECT_EQ(year, 2002);
    struct tm now = {};
    time_t clock = time(nullptr);
    gmtime_r(&clock, &now);
    EXPECT_EQ(o_parsedate("Dec 24", month, day, year), 1);
    EXPECT_EQ(year, now.tm_year);
}

TEST_F(DateParser, FlagsWithoutFields)
{
    int flags = 5;
    int day = 0;
    long second = 0;
    EXPECT_EQ(o_parsedate_etc("tomorrow", kReference, &flags, day, nullptr, nullptr, nullptr,
                  nullptr, second, nullptr, nullptr, nullptr),
        1);
    EXPECT_EQ(flags, 1);
    EXPECT_EQ(day, 4);
    EXPECT_EQ(second, kDay);
    EXPECT_EQ(o_parsedate_etc("March 5", kReference, &flags, day, nullptr, nullptr, nullptr,
                  nullptr, second, nullptr, nullptr, nullptr),
        1);
    EXPECT_EQ(flags, 0);
}

} // namespace
