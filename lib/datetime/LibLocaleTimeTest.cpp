#include <Message.h>
#include <gtest/gtest.h>

#include "LibLocaleTime.h"

namespace {

struct FormatCase {
    long hours, minutes, seconds;
    const char* twelveHour; // the defaults
    const char* twelveHourWithSeconds;
    const char* twentyFourHour; // 24-hour clock, seconds shown
};

class LibLocaleTimeFormat : public testing::TestWithParam<FormatCase> { };

TEST_P(LibLocaleTimeFormat, OnBothClocks)
{
    const FormatCase& c = GetParam();
    LibTime time(c.hours, c.minutes, c.seconds);
    LibLocaleTime formatter;
    EXPECT_STREQ(formatter.Format(time), c.twelveHour);
    formatter.SetShowSeconds(true);
    EXPECT_STREQ(formatter.Format(time), c.twelveHourWithSeconds);
    formatter.Set24Clock(true);
    EXPECT_STREQ(formatter.Format(time), c.twentyFourHour);
}

INSTANTIATE_TEST_SUITE_P(Times, LibLocaleTimeFormat,
    testing::Values(FormatCase { 15, 7, 9, "3:07 PM", "3:07:09 PM", "15:07:09" },
        FormatCase { 0, 5, 0, "12:05 AM", "12:05:00 AM", "00:05:00" },
        FormatCase { 12, 0, 0, "12:00 PM", "12:00:00 PM", "12:00:00" },
        FormatCase { 9, 30, 5, "9:30 AM", "9:30:05 AM", "09:30:05" },
        FormatCase { 23, 59, 59, "11:59 PM", "11:59:59 PM", "23:59:59" }));

TEST(LibLocaleTime, FlagsSeparatorAndSuffixes)
{
    LibTime time(15l, 7l, 9l);
    LibLocaleTime formatter;
    formatter.SetShowMinutes(false).SetShowSeconds(true).SetSeperator('.');
    EXPECT_STREQ(formatter.Format(time), "3.09 PM");
    formatter.SetShowSuffix(false);
    EXPECT_STREQ(formatter.Format(time), "3.09");
    formatter.SetShowSuffix(true).SetShowMinutes(true);
    formatter.Set12ClockAfterNoonSuffix(" pm");
    EXPECT_STREQ(formatter.Format(time), "3.07.09 pm");
    formatter.Set24Clock(true);
    EXPECT_STREQ(formatter.Format(time), "15.07.09");
}

TEST(LibLocaleTime, KnowsWhetherItHasTwelveHourSuffixes)
{
    LibLocaleTime formatter;
    EXPECT_TRUE(formatter.Has12ClockSuffix());
    formatter.Set12ClockBeforeNoonSuffix("");
    EXPECT_TRUE(formatter.Has12ClockSuffix());
    formatter.Set12ClockAfterNoonSuffix("");
    EXPECT_FALSE(formatter.Has12ClockSuffix());
}

struct ReadCase {
    const char* text;
    long hours, minutes, seconds;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << "\"" << c.text << "\"";
}

class LibLocaleTimeRead : public testing::TestWithParam<ReadCase> { };

TEST_P(LibLocaleTimeRead, OnTheTwelveHourClock)
{
    const ReadCase& c = GetParam();
    LibTime time = LibLocaleTime().GetTime(c.text);
    EXPECT_EQ(time.GetHours(), c.hours);
    EXPECT_EQ(time.GetMinutes(), c.minutes);
    EXPECT_EQ(time.GetSeconds(), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(Texts, LibLocaleTimeRead,
    testing::Values(ReadCase { "3:07 PM", 15, 7, 0 }, ReadCase { "12:30 AM", 0, 30, 0 },
        ReadCase { "7", 7, 0, 0 }, ReadCase { "19:45", 7, 45, 0 },
        // Neither " PM" nor a capital P occurs.
        ReadCase { "3:07pm", 3, 7, 0 }, ReadCase { "3:07 P", 15, 7, 0 },
        ReadCase { "3:07:09 pm", 15, 7, 9 }, ReadCase { "12:00 PM", 12, 0, 0 },
        ReadCase { "3::9", 3, 0, 9 }, ReadCase { "1234", 3, 0, 0 }, ReadCase { "10:75", 11, 15, 0 },
        ReadCase { " 3:07 PM", 15, 7, 0 }, ReadCase { "", 0, 0, 0 }, ReadCase { "noon", 0, 0, 0 }));

TEST(LibLocaleTime, ReadsTheTwentyFourHourClock)
{
    LibLocaleTime formatter;
    formatter.Set24Clock(true);
    EXPECT_EQ(formatter.GetTime("19:45").GetHours(), 19);
    EXPECT_EQ(formatter.GetTime("7:45 PM").GetHours(), 19);
}

TEST(LibLocaleTime, EmptySuffixesMarkNoAfternoon)
{
    LibLocaleTime formatter;
    formatter.Set12ClockAfterNoonSuffix("");
    EXPECT_EQ(formatter.GetTime("3:00").GetHours(), 3);
    formatter.Set12ClockAfterNoonSuffix("午後");
    EXPECT_EQ(formatter.GetTime("3:00 午後").GetHours(), 15);
    // A suffix that begins with a byte of 0x80 or above is looked for as "P".
    EXPECT_EQ(formatter.GetTime("3:00 P").GetHours(), 15);
    EXPECT_EQ(formatter.GetTime(nullptr).NumberOfSeconds(), 0);
}

TEST(LibLocaleTime, ArchivesEveryField)
{
    LibLocaleTime formatter;
    formatter.SetShowSeconds(true).SetSeperator('.').Set24Clock(false);
    formatter.Set12ClockBeforeNoonSuffix(" vorm.");
    formatter.Set12ClockAfterNoonSuffix(" nachm.");
    BMessage archive;
    ASSERT_EQ(formatter.Archive(archive), B_OK);
    int16 separator = 0;
    EXPECT_EQ(archive.FindInt16("seperator", &separator), B_OK);
    EXPECT_EQ(separator, '.');

    LibLocaleTime restored;
    ASSERT_EQ(restored.Restore(archive), B_OK);
    EXPECT_STREQ(restored.Format(LibTime(15l, 7l, 9l)), "3.07.09 nachm.");
    EXPECT_STREQ(restored.Format(LibTime(9l, 7l, 9l)), "9.07.09 vorm.");
}

TEST(LibLocaleTime, RestoreReadsMissingFlagsAsFalse)
{
    LibLocaleTime formatter;
    formatter.SetSeperator('.');
    BMessage archive;
    archive.AddBool("show_minutes", true);
    ASSERT_EQ(formatter.Restore(archive), B_OK);
    // No suffix shown (flag missing), the separator and the suffixes kept.
    EXPECT_STREQ(formatter.Format(LibTime(15l, 7l, 9l)), "3.07");
}

TEST(LibLocaleTime, PrintsItsFlags)
{
    testing::internal::CaptureStderr();
    LibLocaleTime().SetShowSeconds(true).PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "show sec 1, min 1\n");
}

} // namespace
