#include <Message.h>
#include <gtest/gtest.h>

#include "LibLocaleDateTime.h"

namespace {

LibDateTime OnDay(
    unsigned day, unsigned month, unsigned year, long hours, long minutes, long seconds)
{
    LibDateTime value(day, month, year);
    value.SetTime(hours, minutes, seconds);
    return value;
}

// The installer's two uses: the log line and the replace dialog.
TEST(LibLocaleDateTime, LogLineAndReplaceDialog)
{
    LibDateTime moment = OnDay(7, 12, 2026, 15, 7, 9);
    LibLocaleDateTime log;
    log.SetShowSeconds(true);
    EXPECT_STREQ(log.Format(moment), "7 Dec 2026 3:07:09 PM");

    LibLocaleDateTime dialog;
    dialog.SetSeperator(", ");
    dialog.SetFormat("W, M D Y");
    dialog.SetShowSeconds(true);
    EXPECT_STREQ(dialog.Format(moment), "Mon, Dec 7 2026, 3:07:09 PM");
    // The parts still format on their own.
    EXPECT_STREQ(dialog.Format(LibDate(7u, 12u, 2026u)), "Mon, Dec 7 2026");
    EXPECT_STREQ(dialog.Format(LibTime(15l, 7l, 9l)), "3:07:09 PM");
}

TEST(LibLocaleDateTime, EveryLanguageWithATwentyFourHourClock)
{
    const char* expected[] = { "Monday 7 December 2026 - 15:07", "Lundi 7 Décembre 2026 - 15:07",
        "Montag 7 Dezember 2026 - 15:07", "Lunes 7 Diciembre 2026 - 15:07",
        "月曜日 7 １２月 2026 - 15:07" };
    for (int language = 0; language < 5; language++) {
        LibLocaleDateTime formatter;
        formatter.SetLanguage(LibLocaleDate::LanguageType(language))
            .SetWeekdayFormat(LibLocaleDate::kElementLong)
            .SetMonthFormat(LibLocaleDate::kElementLong);
        formatter.SetFormat("W D M Y");
        formatter.Set24Clock(true);
        formatter.SetSeperator(" - ");
        EXPECT_STREQ(formatter.Format(OnDay(7, 12, 2026, 15, 7, 9)), expected[language]);
    }
}

TEST(LibLocaleDateTime, ArchivesSeparatorDateAndTime)
{
    LibLocaleDateTime formatter;
    formatter.SetSeperator(" at ");
    formatter.SetFormat("D/M");
    formatter.SetMonthFormat(LibLocaleDate::kElementMinimal);
    formatter.Set24Clock(true);
    formatter.SetShowSuffix(true);
    BMessage archive;
    ASSERT_EQ(formatter.Archive(archive), B_OK);
    for (const char* key : { "field_seperator", "format", "12_hour_after_noon_suffix" })
        EXPECT_TRUE(archive.HasString(key)) << key;

    LibLocaleDateTime restored;
    ASSERT_EQ(restored.Restore(archive), B_OK);
    EXPECT_STREQ(restored.Format(OnDay(7, 12, 2026, 15, 7, 9)), "7/12 at 15:07");

    BMessage withoutSeparator;
    LibLocaleDate().Archive(withoutSeparator);
    LibLocaleTime().Archive(withoutSeparator);
    restored.Restore(withoutSeparator);
    EXPECT_STREQ(restored.Format(OnDay(7, 12, 2026, 15, 7, 9)), "7 Dec 2026 at 3:07 PM");
}

TEST(LibLocaleDateTime, CopiesAllThreeParts)
{
    LibLocaleDateTime formatter;
    formatter.SetSeperator("|");
    formatter.SetFormat("Y");
    formatter.Set24Clock(true);
    LibLocaleDateTime copy;
    copy = formatter;
    EXPECT_STREQ(copy.Format(OnDay(7, 12, 2026, 15, 7, 9)), "2026|15:07");
    LibLocaleDateTime constructed(formatter);
    EXPECT_STREQ(constructed.Format(OnDay(7, 12, 2026, 15, 7, 9)), "2026|15:07");
}

} // namespace
