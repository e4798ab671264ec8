#include "LibString.h"

#include <Font.h>
#include <Rect.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int Width(const BFont& font, const char* text)
{
    return static_cast<int>(font.StringWidth(text));
}

TEST(LibStringTruncateTest, TextThatFitsOrIsEmptyIsLeftAlone)
{
    BFont font(be_plain_font);
    for (const char* text : { "", "Short" }) {
        LibString string(text);
        BRect rect(5, 6, 7, 8);
        EXPECT_EQ(string.Truncate(font, 1000, rect), int(strlen(text)));
        EXPECT_STREQ(static_cast<const char*>(string), text);
        EXPECT_EQ(rect, BRect(5, 6, 7, 8));
    }
}

struct TruncateCase {
    const char* text;
    int width; // 0: a width that keeps about half the text
    const char* expected; // null: just narrower than the width, ending in "..."
};

class LibStringTruncateCases : public testing::TestWithParam<TruncateCase> { };

TEST_P(LibStringTruncateCases, CutsUntilNarrowerAndReportsWhatWasKept)
{
    BFont font(be_plain_font);
    const TruncateCase& test = GetParam();
    int width = test.width != 0 ? test.width : Width(font, test.text) / 2;
    LibString string(test.text);
    BRect rect(3, 4, 50, 60);
    int removed = string.Truncate(font, width, rect);
    std::string result = static_cast<const char*>(string);
    if (test.expected != nullptr) {
        EXPECT_EQ(result, test.expected);
    }
    ASSERT_GE(result.size(), 3u);
    ASSERT_EQ(result.substr(result.size() - 3), "...");
    std::string kept = result.substr(0, result.size() - 3);
    EXPECT_EQ(std::string(test.text).substr(0, kept.size()), kept);
    EXPECT_EQ(removed, int(strlen(test.text) - kept.size()));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, kept.empty() ? 0 : Width(font, kept.c_str()));
    EXPECT_EQ(rect.top, 4);
    EXPECT_EQ(rect.bottom, 60);
    // Narrower than the width, unless only one character is left.
    if (kept.size() > 1 && width > 1) {
        EXPECT_LT(Width(font, result.c_str()), width);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, LibStringTruncateCases,
    testing::Values(TruncateCase { "/boot/home/config/settings/Tarsel/Notes", 0, nullptr },
        TruncateCase { "Installation folder", 1, "I..." }, TruncateCase { "W", 1, "..." },
        // Never a cut inside a character: the text stays valid UTF-8.
        TruncateCase { "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9", 1, "\xc3\xa9..." },
        TruncateCase { "\xe2\x82\xac", 1, "..." },
        TruncateCase { "Gr\xc3\xb6\xc3\x9f\x65 Dateien und Ordner", 0, nullptr }));

} // namespace
