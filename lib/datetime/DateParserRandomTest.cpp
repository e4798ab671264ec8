// The free-form date reader on 100,000 random sequences of tokens (with a fixed
// seed, so that every run reads the same texts). Run under the sanitizers, this
// shows that no token sequence makes the reader touch memory it must not; every
// reading it accepts must also be a sane one.

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "DateParserTestSupport.h"

namespace {

using namespace brenvik::test;

const char* const kVocabulary[] = { "January", "feb", "Mar.", "Sept", "december", "Mon", "tues",
    "Wednesday", "thu", "sat", "sun", "AM", "pm", "a.m.", "P.M.", "st", "nd", "rd", "th", "last",
    "this", "next", "tomorrow", "today", "yesterday", "year", "months", "week", "days", "hour",
    "min", "minutes", "sec", "second", "GMT", "UT", "Z", "EST", "EDT", "MET", "DST", "CEST", "NZDT",
    "IDLW", "AT", ",", ".", ":", "/", "-", "+", "--", "+-", "(", ")", "(note)", "(a (b) c)", "-0",
    "-0000", "+0100", "-0530", "0", "1", "5", "12", "13", "24", "29", "30", "31", "37", "38", "59",
    "60", "99", "100", "1752", "1900", "2002", "2024", "99999", "2147483648",
    "99999999999999999999", "foo", "\r", "\t", "\xc3\xa9", "^", "'", "" };

std::string RandomText(std::mt19937& random)
{
    std::uniform_int_distribution<size_t> word(0, std::size(kVocabulary) - 1);
    std::uniform_int_distribution<int> length(1, 12);
    std::uniform_int_distribution<int> gap(0, 3);
    std::string text;
    for (int i = length(random); i > 0; i--) {
        text += kVocabulary[word(random)];
        // Mostly a blank between tokens, sometimes none, so that tokens run into
        // each other ("5th", "10pm", "-0530").
        if (gap(random) != 0)
            text += ' ';
    }
    return text;
}

void ExpectSaneReading(const std::string& text, const DateFields& f)
{
    SCOPED_TRACE(text);
    EXPECT_TRUE(f.flags == 0 || f.flags == 1);
    EXPECT_GE(f.month, 1);
    EXPECT_LE(f.month, 12);
    EXPECT_GE(f.day, 1);
    EXPECT_LE(f.day, 31);
    EXPECT_GE(f.hour, 0);
    EXPECT_LE(f.hour, 23);
    EXPECT_GE(f.minute, 0);
    EXPECT_LE(f.minute, 59);
    EXPECT_TRUE(f.ampm == -1 || f.ampm == 0 || f.ampm == 12);
    if (f.ampm != -1) {
        EXPECT_LE(f.hour, 12);
    }
    if (f.flags == 0) {
        EXPECT_LE(f.second, 59);
    }
}

TEST(DateParserRandom, HundredThousandTokenSequences)
{
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    std::mt19937 random(20260304);
    int accepted = 0;
    for (int i = 0; i < 100000; i++) {
        std::string text = RandomText(random);
        std::optional<DateFields> fields = ReadFields(text.c_str());
        if (fields) {
            accepted++;
            ExpectSaneReading(text, *fields);
        }
        // The clock value of the same text exists exactly when its fields do.
        if ((o_parsedate(text.c_str(), kReference) == -1) == fields.has_value())
            ADD_FAILURE() << "\"" << text << "\" converts differently";
        if (HasFailure())
            return;
    }
    // The vocabulary makes a good share of the texts readable, so that the
    // matcher, and not only the tokenizer, sees most of the work.
    EXPECT_GT(accepted, 1000);
}

} // namespace
