#include <RenderFont.h>

#include <FontManager.h>

#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>

using namespace BPrivate;

namespace {

constexpr char kEllipsis[] = "\xe2\x80\xa6";

class RenderFontTest : public testing::Test {
protected:
    void SetUp() override
    {
        // The font files are a dependency of the build (fonts-liberation2);
        // without them every text measurement below would be meaningless.
        ASSERT_EQ(FontManager::Default().InitCheck(), B_OK)
            << "fonts missing from " << FontManager::Default().Directory();
    }
};

TEST_F(RenderFontTest, SystemFontsAreTheLiberationFamilies)
{
    RenderFont plain = RenderFont::PlainFont();
    EXPECT_STREQ(plain.FamilyName(), "Liberation Sans");
    EXPECT_STREQ(plain.StyleName(), "Regular");
    EXPECT_EQ(plain.Size(), 10);
    EXPECT_EQ(plain.Face(), B_REGULAR_FACE);
    RenderFont bold = RenderFont::BoldFont();
    EXPECT_STREQ(bold.StyleName(), "Bold");
    EXPECT_EQ(bold.Size(), 12);
    EXPECT_EQ(bold.Face(), B_BOLD_FACE);
    RenderFont fixed = RenderFont::FixedFont();
    EXPECT_STREQ(fixed.FamilyName(), "Liberation Mono");
    EXPECT_EQ(fixed.Size(), 12);
    EXPECT_TRUE(fixed.IsFixed());
    EXPECT_FALSE(plain.IsFixed());
}

TEST_F(RenderFontTest, PlatformFamilyNamesAreAliases)
{
    RenderFont font;
    ASSERT_EQ(font.SetFamilyAndStyle("Swis721 BT", "Roman"), B_OK);
    EXPECT_STREQ(font.FamilyName(), "Liberation Sans");
    EXPECT_STREQ(font.StyleName(), "Regular");
    ASSERT_EQ(font.SetFamilyAndStyle("Courier10 BT", "Bold"), B_OK);
    EXPECT_STREQ(font.FamilyName(), "Liberation Mono");
    EXPECT_STREQ(font.StyleName(), "Bold");
    ASSERT_EQ(font.SetFamilyAndStyle("liberation serif", "italic"), B_OK);
    EXPECT_STREQ(font.FamilyName(), "Liberation Serif");
    EXPECT_EQ(font.Face(), B_ITALIC_FACE);
}

TEST_F(RenderFontTest, UnknownNamesLeaveTheFontUnchanged)
{
    RenderFont font = RenderFont::BoldFont();
    EXPECT_EQ(font.SetFamilyAndStyle("Swiss 911", "Regular"), B_NAME_NOT_FOUND);
    EXPECT_EQ(font.SetFamilyAndStyle("Liberation Sans", "Wide"), B_NAME_NOT_FOUND);
    EXPECT_EQ(font, RenderFont::BoldFont());
    uint32 code = font.FamilyAndStyle();
    font.SetFamilyAndStyle(0xffff0000u);
    EXPECT_EQ(font.FamilyAndStyle(), code);
}

TEST_F(RenderFontTest, FacesChooseTheStyleAndKeepDecorations)
{
    RenderFont font;
    font.SetFace(B_BOLD_FACE | B_ITALIC_FACE | B_UNDERSCORE_FACE);
    EXPECT_STREQ(font.StyleName(), "Bold Italic");
    EXPECT_EQ(font.Face(), B_BOLD_FACE | B_ITALIC_FACE | B_UNDERSCORE_FACE);
    font.SetFace(B_REGULAR_FACE);
    EXPECT_EQ(font.Face(), B_REGULAR_FACE);
    font.SetFamilyAndFace("Liberation Mono", B_BOLD_FACE);
    EXPECT_STREQ(font.FamilyName(), "Liberation Mono");
    EXPECT_STREQ(font.StyleName(), "Bold");
}

TEST_F(RenderFontTest, SizesAndShearAreKeptInRange)
{
    RenderFont font;
    font.SetSize(-3);
    EXPECT_EQ(font.Size(), 0);
    EXPECT_EQ(font.StringWidth("abc"), 0);
    font.SetSize(20000);
    EXPECT_EQ(font.Size(), 10000);
    font.SetShear(10);
    EXPECT_EQ(font.Shear(), 45);
    font.SetShear(170);
    EXPECT_EQ(font.Shear(), 135);
}

TEST_F(RenderFontTest, HeightsOfTheSystemFonts)
{
    font_height height;
    RenderFont::PlainFont().GetHeight(&height);
    EXPECT_EQ(height.ascent, 10);
    EXPECT_EQ(height.descent, 3);
    EXPECT_EQ(height.leading, 0);
    RenderFont::BoldFont().GetHeight(&height);
    EXPECT_EQ(height.ascent, 11);
    EXPECT_EQ(height.descent, 3);
}

TEST_F(RenderFontTest, WidthsAreWholePixelsThatAddUp)
{
    RenderFont font;
    float width = font.StringWidth("The quick brown fox");
    EXPECT_EQ(width, 93);
    EXPECT_EQ(font.StringWidth("The quick "), std::floor(font.StringWidth("The quick ")));
    EXPECT_EQ(font.StringWidth("The quick ") + font.StringWidth("brown fox"), width);
    EXPECT_EQ(font.StringWidth("The quick brown fox", 3), font.StringWidth("The"));
    EXPECT_EQ(font.StringWidth(""), 0);
    EXPECT_EQ(font.StringWidth(nullptr), 0);
    EXPECT_EQ(RenderFont::BoldFont().StringWidth("The quick brown fox"), 114);
}

TEST_F(RenderFontTest, StringSpacingUsesExactAdvances)
{
    RenderFont font;
    font.SetSpacing(B_STRING_SPACING);
    float width = font.StringWidth("The quick brown fox");
    EXPECT_NE(width, std::floor(width));
    EXPECT_NEAR(width, 89.5, 0.5);
}

TEST_F(RenderFontTest, FixedSpacingPutsEveryCharacterOnAGrid)
{
    RenderFont fixed = RenderFont::FixedFont();
    EXPECT_EQ(fixed.StringWidth("iiii"), fixed.StringWidth("MMMM"));
    RenderFont font;
    font.SetSpacing(B_FIXED_SPACING);
    EXPECT_EQ(font.StringWidth("iiii"), 4 * font.StringWidth("M"));
}

TEST_F(RenderFontTest, RotationDoesNotChangeWidths)
{
    RenderFont font;
    float width = font.StringWidth("Upward");
    font.SetRotation(90);
    EXPECT_EQ(font.StringWidth("Upward"), width);
}

TEST_F(RenderFontTest, MalformedAndControlCharactersAreSafe)
{
    RenderFont font;
    EXPECT_EQ(font.StringWidth("a\tb\n"), font.StringWidth("ab"));
    // A stray continuation byte, a truncated sequence and an overlong form
    // each count as one replacement character.
    float replacement = font.StringWidth("\xef\xbf\xbd");
    EXPECT_GT(replacement, 0);
    EXPECT_EQ(font.StringWidth("\x80"), replacement);
    EXPECT_EQ(font.StringWidth("a\xe2\x80"), font.StringWidth("a") + 2 * replacement);
    EXPECT_EQ(font.StringWidth("\xc0\xaf"), 2 * replacement);
    EXPECT_EQ(font.ToUtf8("\xff", 1), "\xef\xbf\xbd");
}

TEST_F(RenderFontTest, LatinOneTextIsConverted)
{
    RenderFont font;
    font.SetEncoding(B_ISO_8859_1);
    EXPECT_EQ(font.ToUtf8("caf\xe9", -1), "caf\xc3\xa9");
    RenderFont utf8;
    EXPECT_EQ(font.StringWidth("caf\xe9"), utf8.StringWidth("caf\xc3\xa9"));
}

struct TruncationCase {
    const char* text;
    uint32 mode;
    float width;
    const char* expected;
};

class TruncationTest : public testing::TestWithParam<TruncationCase> { };

TEST_P(TruncationTest, CutsWithTheEllipsis)
{
    const TruncationCase& truncation = GetParam();
    RenderFont font;
    std::string result = font.TruncateString(truncation.text, truncation.mode, truncation.width);
    EXPECT_EQ(result, truncation.expected);
    EXPECT_LE(font.StringWidth(result.c_str()), truncation.width);
}

INSTANTIATE_TEST_SUITE_P(RenderFontTest, TruncationTest,
    testing::Values(TruncationCase { "/boot/home/apps/Foo/readme.txt", B_TRUNCATE_END, 76,
                        "/boot/home/a\xe2\x80\xa6" },
        TruncationCase { "/boot/home/apps/Foo/readme.txt", B_TRUNCATE_BEGINNING, 76,
            "\xe2\x80\xa6oo/readme.txt" },
        TruncationCase {
            "/boot/home/apps/Foo/readme.txt", B_TRUNCATE_MIDDLE, 76, "/boot/h\xe2\x80\xa6me.txt" },
        TruncationCase {
            "/boot/home/apps/Foo/readme.txt", B_TRUNCATE_SMART, 76, "/\xe2\x80\xa6/readme.txt" },
        TruncationCase { "/boot/home/apps/Foo/readme.txt", B_TRUNCATE_SMART, 106,
            "/boot/\xe2\x80\xa6/readme.txt" },
        TruncationCase { "Installation folder for the application", B_TRUNCATE_END, 82.5f,
            "Installation fold\xe2\x80\xa6" },
        TruncationCase { "Installation folder for the application", B_TRUNCATE_BEGINNING, 82.5f,
            "\xe2\x80\xa6 the application" },
        TruncationCase { "The quick brown fox jumps over the lazy dog", B_TRUNCATE_MIDDLE, 103,
            "The quick\xe2\x80\xa6"
            "e lazy dog" },
        TruncationCase { "The quick brown fox jumps over the lazy dog", B_TRUNCATE_SMART, 103,
            "The quick \xe2\x80\xa6 lazy dog" },
        TruncationCase { "Short", B_TRUNCATE_END, 100, "Short" },
        TruncationCase { "Hello", B_TRUNCATE_END, 5, "" }));

TEST_F(RenderFontTest, TruncationKeepsWholeCharacters)
{
    RenderFont font;
    std::string text = "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9";
    for (float width = 0; width < 60; width += 1) {
        for (uint32 mode = B_TRUNCATE_END; mode <= B_TRUNCATE_SMART; mode++) {
            std::string result = font.TruncateString(text.c_str(), mode, width);
            EXPECT_EQ(font.ToUtf8(result.c_str(), -1), result) << "valid UTF-8";
            EXPECT_LE(font.StringWidth(result.c_str()), width);
            if (!result.empty() && result != text) {
                EXPECT_NE(result.find(kEllipsis), std::string::npos);
            }
        }
    }
}

TEST_F(RenderFontTest, FontsAreSharedSafelyBetweenThreads)
{
    const char* text = "Measured from several threads at once";
    float expected = RenderFont::PlainFont().StringWidth(text);
    std::vector<std::thread> threads;
    std::atomic<int> mismatches { 0 };
    for (int t = 0; t < 4; t++) {
        threads.emplace_back([&, t] {
            RenderFont font;
            for (int i = 0; i < 200; i++) {
                font.SetSize(float(8 + (i + t) % 10));
                font.StringWidth(text);
                font.SetSize(10);
                if (font.StringWidth(text) != expected)
                    mismatches++;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, 0);
}

} // namespace
