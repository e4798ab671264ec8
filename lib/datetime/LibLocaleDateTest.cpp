#include <LibStringList.h>
#include <Message.h>
#include <gtest/gtest.h>

#include "LibLocaleDate.h"
#include "TestTimeZone.h"

namespace {

typedef LibLocaleDate::LanguageType Language;

LibLocaleDate Formatter(Language language, LibLocaleDate::ElementFormat weekday,
    LibLocaleDate::ElementFormat month, const char* format = "W, M D Y")
{
    LibLocaleDate formatter;
    formatter.SetLanguage(language).SetWeekdayFormat(weekday).SetMonthFormat(month);
    formatter.SetFormat(format);
    return formatter;
}

TEST(LibLocaleDate, DefaultsAndDocumentedPatterns)
{
    const LibDate date(7u, 12u, 2026u);
    LibLocaleDate formatter;
    EXPECT_STREQ(formatter.Format(date), "7 Dec 2026");
    formatter.SetFormat("W, M D Y");
    EXPECT_STREQ(formatter.Format(date), "Mon, Dec 7 2026");
    formatter.SetFormat("MM/DD/YYYY");
    formatter.SetMonthFormat(LibLocaleDate::kElementMinimal);
    EXPECT_STREQ(formatter.Format(date), "12/7/2026");
    formatter.SetFormat("no letters here, 1-2-3");
    EXPECT_STREQ(formatter.Format(date), "no letters here, 1-2-3");
    formatter.SetFormat("");
    EXPECT_STREQ(formatter.Format(date), "");
}

TEST(LibLocaleDate, PaddingAppliesToDaysAndMonthNumbers)
{
    LibLocaleDate formatter;
    formatter.SetFormat("D/M/Y");
    formatter.SetMonthFormat(LibLocaleDate::kElementMinimal).PadWithZeros(true);
    EXPECT_STREQ(formatter.Format(LibDate(5u, 3u, 2002u)), "05/03/2002");
    EXPECT_STREQ(formatter.Format(LibDate(15u, 11u, 2002u)), "15/11/2002");
    formatter.PadWithZeros(false);
    EXPECT_STREQ(formatter.Format(LibDate(5u, 3u, 2002u)), "5/3/2002");
}

TEST(LibLocaleDate, YearsOfTwoDigitsAndSmallYears)
{
    LibLocaleDate formatter;
    formatter.SetYearFormat(LibLocaleDate::kElementMinimal);
    EXPECT_STREQ(formatter.AddYear(2005), "05");
    formatter.SetYearFormat(LibLocaleDate::kElementShort);
    EXPECT_STREQ(formatter.AddYear(2026), "26");
    formatter.SetYearFormat(LibLocaleDate::kElementLong);
    EXPECT_STREQ(formatter.AddYear(7), "07");
    EXPECT_STREQ(formatter.AddYear(2026), "2026");
}

struct LanguageCase {
    Language language;
    const char* full; // W, M D Y with full names
    const char* shortNames; // with weekday and month names of format 1
    const char* narrow; // weekday format 0, month number
};

class LibLocaleDateLanguage : public testing::TestWithParam<LanguageCase> { };

TEST_P(LibLocaleDateLanguage, FormatsMondayTheSeventhOfDecember)
{
    const LanguageCase& c = GetParam();
    const LibDate date(7u, 12u, 2026u);
    EXPECT_STREQ(Formatter(c.language, LibLocaleDate::kElementLong, LibLocaleDate::kElementLong)
                     .Format(date),
        c.full);
    EXPECT_STREQ(Formatter(c.language, LibLocaleDate::kElementShort, LibLocaleDate::kElementShort)
                     .Format(date),
        c.shortNames);
    EXPECT_STREQ(
        Formatter(c.language, LibLocaleDate::kElementMinimal, LibLocaleDate::kElementMinimal)
            .Format(date),
        c.narrow);
}

INSTANTIATE_TEST_SUITE_P(AllFive, LibLocaleDateLanguage,
    testing::Values(LanguageCase { LibLocaleDate::kEnglish, "Monday, December 7 2026",
                        "Mon, Dec 7 2026", "Mo, 12 7 2026" },
        LanguageCase {
            LibLocaleDate::kFrench, "Lundi, Décembre 7 2026", "Lun, Déc 7 2026", "Lu, 12 7 2026" },
        LanguageCase {
            LibLocaleDate::kGerman, "Montag, Dezember 7 2026", "Mon, Dez 7 2026", "Mo, 12 7 2026" },
        LanguageCase { LibLocaleDate::kSpanish, "Lunes, Diciembre 7 2026", "Lun, Dic 7 2026",
            "Lu, 12 7 2026" },
        // Japanese names are never shortened.
        LanguageCase { LibLocaleDate::kJapanese, "月曜日, １２月 7 2026", "月曜日, １２月 7 2026",
            "月曜日, 12 7 2026" }));

// Every name of the tables, full and as format 1 shortens it.
TEST(LibLocaleDate, AllMonthAndWeekdayNames)
{
    const char* const months[5][12] = {
        { "January", "February", "March", "April", "May", "June", "July", "August", "September",
            "October", "November", "December" },
        { "Janvier", "Février", "Mars", "Avril", "Mai", "Juin", "Juillet", "Août", "Septembre",
            "Octobre", "Novembre", "Décembre" },
        { "Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September",
            "Oktober", "November", "Dezember" },
        { "Enero", "Febrero", "Marcha", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
            "Octubre", "Noviembre", "Diciembre" },
        { "１月", "２月", "３月", "４月", "５月", "６月", "７月", "８月", "９月", "１０月",
            "１１月", "１２月" },
    };
    const char* const weekdays[5][7] = {
        { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" },
        { "Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi" },
        { "Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag" },
        { "Domingo", "Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado" },
        { "日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日" },
    };
    const char* const shortMonths[4][12] = {
        { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" },
        { "Jan", "Fév", "Mar", "Avr", "Mai", "Jui", "Jui", "Aoû", "Sep", "Oct", "Nov", "Déc" },
        { "Jan", "Feb", "Mär", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez" },
        { "Ene", "Feb", "Mar", "Abr", "May", "Jun", "Jul", "Ago", "Sep", "Oct", "Nov", "Dic" },
    };
    for (int language = 0; language < 5; language++) {
        LibLocaleDate full = Formatter(
            Language(language), LibLocaleDate::kElementLong, LibLocaleDate::kElementLong);
        LibLocaleDate cut = Formatter(
            Language(language), LibLocaleDate::kElementShort, LibLocaleDate::kElementShort);
        for (int month = 1; month <= 12; month++) {
            EXPECT_STREQ(full.AddMonth(month), months[language][month - 1]);
            const char* expected
                = language < 4 ? shortMonths[language][month - 1] : months[language][month - 1];
            EXPECT_STREQ(cut.AddMonth(month), expected);
        }
        for (int weekday = 0; weekday < 7; weekday++)
            EXPECT_STREQ(full.AddWeekDay(LibWeekDay(weekday)), weekdays[language][weekday]);
    }
}

TEST(LibLocaleDate, ShortNamesCutWholeCharacters)
{
    LibLocaleDate spanish = Formatter(
        LibLocaleDate::kSpanish, LibLocaleDate::kElementShort, LibLocaleDate::kElementShort);
    EXPECT_STREQ(spanish.AddWeekDay(kWednesday), "Mié");
    EXPECT_STREQ(spanish.AddWeekDay(kSaturday), "Sáb");
    EXPECT_STREQ(spanish.AddMonth(5), "May");
    LibLocaleDate french = Formatter(
        LibLocaleDate::kFrench, LibLocaleDate::kElementShort, LibLocaleDate::kElementShort);
    EXPECT_STREQ(french.AddMonth(5), "Mai");
    LibLocaleDate english = Formatter(
        LibLocaleDate::kEnglish, LibLocaleDate::kElementShort, LibLocaleDate::kElementShort);
    EXPECT_STREQ(english.AddMonth(5), "May");
    EXPECT_STREQ(english.AddWeekDay(LibDate(7u, 12u, 2026u)), "Mon");
    LibString text("day: ");
    english.AddWeekDay(kFriday, text);
    EXPECT_STREQ(text, "Fri") << "the string is set, not appended to";
}

TEST(LibLocaleDate, ValuesOutsideTheTablesGiveNoName)
{
    LibLocaleDate formatter = Formatter(
        LibLocaleDate::kEnglish, LibLocaleDate::kElementLong, LibLocaleDate::kElementLong);
    EXPECT_STREQ(formatter.AddMonth(13), "");
    EXPECT_STREQ(formatter.AddMonth(0), "");
    EXPECT_STREQ(formatter.AddWeekDay(LibWeekDay(9)), "");
    formatter.SetLanguage(Language(17)); // read as English
    EXPECT_STREQ(formatter.AddMonth(1), "January");
    EXPECT_FALSE(formatter.KanjiLaunguage());
    formatter.SetLanguage(LibLocaleDate::kJapanese);
    EXPECT_TRUE(formatter.KanjiLaunguage());
}

TEST(LibLocaleDate, ConvertsForeignNamesToEnglish)
{
    LibLocaleDate formatter;
    EXPECT_STREQ(formatter.ConvertToEnglish("Lundi 5 Janvier 2004"), "Monday 5 January 2004");
    EXPECT_STREQ(formatter.ConvertToEnglish("Dic 5"), "December 5");
    EXPECT_STREQ(formatter.ConvertToEnglish("Mittwoch, 3. März 2004"), "Wednesday, 3. March 2004");
    EXPECT_STREQ(formatter.ConvertToEnglish("Mié, 5 Feb"), "Wednesday, 5 February");
    EXPECT_STREQ(formatter.ConvertToEnglish("月曜日, １２月 7 2026"), "Monday, December 7 2026");
    EXPECT_STREQ(formatter.ConvertToEnglish("January 5 2004"), "January 5 2004");
    EXPECT_STREQ(formatter.ConvertToEnglish(""), "");
    // Only the first foreign month and weekday are converted.
    EXPECT_STREQ(formatter.ConvertToEnglish("Mars Avril"), "March Avril");
}

TEST(LibLocaleDate, SwapTextReplacesOneWordAtItsPlace)
{
    LibLocaleDate formatter;
    LibString text("Marchandise, Mar 5");
    // "Mar" also begins "Marchandise", but only the word "Mar" is the name.
    EXPECT_TRUE(formatter.SwapText(text, "Mars", "March"));
    EXPECT_STREQ(text, "Marchandise, March 5");
    text = "5 Juin";
    EXPECT_FALSE(formatter.SwapText(text, "Janvier", "January"));
    EXPECT_STREQ(text, "5 Juin");
    EXPECT_FALSE(formatter.SwapText(text, "", "x"));
    EXPECT_FALSE(formatter.SwapText(text, nullptr, "x"));
}

TEST(LibLocaleDate, RemovesAnElementWithItsSeparator)
{
    // "D M Y" without M is "DY", without D "M Y", without Y "D M"; a letter that
    // is not in the pattern changes nothing.
    const struct {
        const char* format;
        char letter;
        const char* expected;
    } cases[] = { { "D M Y", 'M', "72026" }, { "D M Y", 'D', "Dec 2026" },
        { "D M Y", 'Y', "7 Dec" }, { "D M Y", 'W', "7 Dec 2026" },
        { "W, M D Y", 'W', "Dec 7 2026" }, { "W, M D Y", 'D', "Mon, Dec2026" } };
    for (const auto& c : cases) {
        LibLocaleDate formatter;
        formatter.SetFormat(c.format);
        formatter.RemoveFormat(c.letter);
        EXPECT_STREQ(formatter.Format(LibDate(7u, 12u, 2026u)), c.expected)
            << c.format << " without " << c.letter;
    }
}

TEST(LibLocaleDate, ReadsDatesBackThroughTheFreeFormReader)
{
    brenvik::test::ScopedTimeZone zone("UTC0");
    LibLocaleDate formatter;
    LibDate date = formatter.GetDate("March 5, 2002");
    EXPECT_EQ(date, LibDate(5u, 3u, 2002u));
    EXPECT_EQ(formatter.GetDate("12/25/99"), LibDate(25u, 12u, 1999u));
    LibDate today(true, true);
    LibDate unknown = formatter.GetDate("not a date");
    LibDate tomorrow = formatter.GetDate("tomorrow");
    LibDate christmas = formatter.GetDate("Dec 24");
    if (LibDate(true, true) != today)
        GTEST_SKIP() << "the date changed while the test ran";
    EXPECT_EQ(unknown, today);
    EXPECT_EQ(tomorrow, today + 1);
    EXPECT_EQ(christmas.GetYear(), today.GetYear());
}

TEST(LibLocaleDate, ListsItsLanguages)
{
    LibStringList list;
    list.Add("first");
    LibLocaleDate().AvailableLanguages(list);
    ASSERT_EQ(list.Size(), 6);
    const char* expected[] = { "first", "English", "French", "German", "Spanish", "Japanese" };
    for (long i = 0; i < 6; i++)
        EXPECT_STREQ(*list.Get(i), expected[i]);
}

TEST(LibLocaleDate, ArchivesEveryField)
{
    LibLocaleDate formatter;
    formatter.SetWeekdayFormat(LibLocaleDate::kElementLong)
        .SetMonthFormat(LibLocaleDate::kElementMinimal)
        .SetDayFormat(LibLocaleDate::kElementShort)
        .SetYearFormat(LibLocaleDate::kElementMinimal)
        .PadWithZeros(true)
        .SetLanguage(LibLocaleDate::kGerman);
    formatter.SetFormat("W D.M.Y");
    BMessage archive;
    ASSERT_EQ(formatter.Archive(archive), B_OK);
    int32 value = -1;
    EXPECT_EQ(archive.FindInt32("language", &value), B_OK);
    EXPECT_EQ(value, 2);

    LibLocaleDate restored;
    ASSERT_EQ(restored.Restore(archive), B_OK);
    EXPECT_STREQ(restored.Format(LibDate(7u, 3u, 2026u)), "Samstag 07.03.26");

    // Missing and out-of-range fields leave the formatter as it was.
    BMessage partial;
    partial.AddInt32("language", 9);
    partial.AddInt32("month", 5);
    partial.AddString("format", "M Y");
    restored.Restore(partial);
    EXPECT_STREQ(restored.Format(LibDate(7u, 3u, 2026u)), "03 26");
}

TEST(LibLocaleDate, CopiesEveryField)
{
    LibLocaleDate formatter = Formatter(
        LibLocaleDate::kFrench, LibLocaleDate::kElementLong, LibLocaleDate::kElementLong);
    LibLocaleDate copy;
    copy = formatter;
    EXPECT_STREQ(copy.Format(LibDate(7u, 12u, 2026u)), "Lundi, Décembre 7 2026");
}

} // namespace
