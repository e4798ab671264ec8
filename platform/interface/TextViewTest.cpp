#include <TextView.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace brenvik::test;

TEST(TextViewTest, WrapsAtWordBoundariesInsideTheTextRectangle)
{
    BTextView text(
        BRect(0, 0, 120, 200), "text", BRect(2, 2, 100, 198), B_FOLLOW_NONE, B_WILL_DRAW);
    text.SetText("one two three four five six seven eight nine ten eleven twelve");
    ASSERT_GT(text.CountLines(), 2);
    for (int32 line = 0; line < text.CountLines(); line++) {
        EXPECT_LE(text.LineWidth(line), 99) << "line " << line;
        int32 start = text.OffsetAt(line);
        EXPECT_TRUE(start == 0 || text.Text()[start - 1] == ' ') << "line " << line;
    }
    EXPECT_GT(text.LineHeight(0), 0);
    EXPECT_EQ(text.TextHeight(0, text.CountLines() - 1), text.CountLines() * text.LineHeight(0));

    text.SetWordWrap(false);
    EXPECT_EQ(text.CountLines(), 1);
    text.SetText("first\nsecond\n");
    EXPECT_EQ(text.CountLines(), 3);
    EXPECT_EQ(text.OffsetAt(1), 6);
}

TEST(TextViewTest, AWordWiderThanALineIsCut)
{
    BTextView text(BRect(0, 0, 40, 100), "text", BRect(0, 0, 30, 100), B_FOLLOW_NONE, 0);
    text.SetText("abcdefghijklmnopqrstuvwxyz");
    EXPECT_GT(text.CountLines(), 2);
    EXPECT_EQ(text.OffsetAt(text.CountLines()), text.TextLength());
}

TEST(TextViewTest, InsertAndDeleteMoveTheSelection)
{
    BTextView text(BRect(0, 0, 200, 50), "text", BRect(0, 0, 200, 50), B_FOLLOW_NONE, 0);
    text.SetText("Hello world");
    text.Select(6, 11);
    text.Insert(0, "Oh, ", 4);
    int32 start = 0;
    int32 end = 0;
    text.GetSelection(&start, &end);
    EXPECT_EQ(start, 10);
    EXPECT_EQ(end, 15);
    text.Delete();
    EXPECT_STREQ(text.Text(), "Oh, Hello ");
    text.GetSelection(&start, &end);
    EXPECT_EQ(start, 10);
    EXPECT_EQ(end, 10);
    text.Delete(0, 100);
    EXPECT_EQ(text.TextLength(), 0);
    EXPECT_EQ(text.CountLines(), 1);
}

TEST(TextViewTest, RunsKeepAFontAndColourPerRangeWhenStylable)
{
    BTextView text(BRect(0, 0, 300, 50), "text", BRect(0, 0, 300, 50), B_FOLLOW_NONE, 0);
    text.SetStylable(true);
    text.SetText("plain bold plain");
    rgb_color red = { 255, 0, 0, 255 };
    text.SetFontAndColor(6, 10, be_bold_font, B_FONT_ALL, &red);
    int32 length = 0;
    text_run_array* runs = text.RunArray(0, text.TextLength(), &length);
    ASSERT_NE(runs, nullptr);
    ASSERT_EQ(runs->count, 3);
    EXPECT_EQ(runs->runs[1].offset, 6);
    EXPECT_EQ(runs->runs[1].color, red);
    EXPECT_EQ(runs->runs[1].font.FamilyAndStyle(), be_bold_font->FamilyAndStyle());
    EXPECT_EQ(runs->runs[2].offset, 10);

    BTextView copy(BRect(0, 0, 300, 50), "copy", BRect(0, 0, 300, 50), B_FOLLOW_NONE, 0);
    copy.SetStylable(true);
    copy.SetText(text.Text(), runs);
    BFont font;
    rgb_color color;
    copy.GetFontAndColor(7, &font, &color);
    EXPECT_EQ(color, red);
    copy.GetFontAndColor(12, &font, &color);
    EXPECT_EQ(color, (rgb_color { 0, 0, 0, 255 }));
    BTextView::FreeRunArray(runs);

    // Without styles a change reaches the whole text.
    BTextView flat(BRect(0, 0, 300, 50), "flat", BRect(0, 0, 300, 50), B_FOLLOW_NONE, 0);
    flat.SetText("all of it");
    flat.SetFontAndColor(0, 3, nullptr, 0, &red);
    flat.GetFontAndColor(7, &font, &color);
    EXPECT_EQ(color, red);
}

namespace {

struct EditorFixture {
    TestWindow window { BRect(100, 100, 299, 199) };
    BTextView* text;

    EditorFixture()
    {
        text = new BTextView(BRect(10, 10, 180, 80), "name", BRect(2, 2, 168, 68), B_FOLLOW_NONE,
            B_WILL_DRAW | B_NAVIGABLE);
        window.Add(text);
        window.Show();
        EXPECT_TRUE(WaitUntilSettled(window.Get()));
        WithLock(window.Get(), [&] { text->MakeFocus(true); });
    }

    std::string Text()
    {
        std::string value;
        WaitUntilSettled(window.Get());
        WithLock(window.Get(), [&] { value = text->Text(); });
        return value;
    }
};

} // namespace

TEST(TextViewTest, TypingEditsAtTheCaret)
{
    EditorFixture fixture;
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectText(id, "Helo"), B_OK);
    EXPECT_EQ(fixture.Text(), "Helo");
    ASSERT_EQ(Display().InjectKey(id, "\x1c"), B_OK);
    ASSERT_EQ(Display().InjectText(id, "l"), B_OK);
    EXPECT_EQ(fixture.Text(), "Hello");
    ASSERT_EQ(Display().InjectKey(id, "\x08"), B_OK);
    EXPECT_EQ(fixture.Text(), "Helo");
    // Shift+Home selects to the line's start, and typing replaces it.
    ASSERT_EQ(Display().InjectKey(id, "\x01", 0, kShiftKey), B_OK);
    ASSERT_EQ(Display().InjectText(id, "J"), B_OK);
    EXPECT_EQ(fixture.Text(), "Jo");
}

TEST(TextViewTest, SelectAllCutAndPasteWorkThroughTheShortcuts)
{
    EditorFixture fixture;
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectText(id, "abc"), B_OK);
    ASSERT_EQ(Display().InjectKey(id, "a", 0, kCommandKey), B_OK);
    ASSERT_EQ(Display().InjectKey(id, "x", 0, kCommandKey), B_OK);
    EXPECT_EQ(fixture.Text(), "");
    ASSERT_EQ(Display().InjectKey(id, "v", 0, kCommandKey), B_OK);
    ASSERT_EQ(Display().InjectKey(id, "v", 0, kCommandKey), B_OK);
    EXPECT_EQ(fixture.Text(), "abcabc");
}

TEST(TextViewTest, AReadOnlyTextIgnoresTypingAndPassesTabOn)
{
    EditorFixture fixture;
    WithLock(fixture.window.Get(), [&] {
        fixture.text->SetText("licence");
        fixture.text->MakeEditable(false);
        fixture.text->MakeSelectable(false);
    });
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectText(id, "xyz"), B_OK);
    EXPECT_EQ(fixture.Text(), "licence");
    ASSERT_EQ(Display().InjectKey(id, "\t"), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    bool focused = true;
    WithLock(fixture.window.Get(), [&] { focused = fixture.text->IsFocus(); });
    // The only navigable view keeps the focus after Tab wraps around.
    EXPECT_TRUE(focused);
}

namespace {

// A read-only text of 40 lines scrolled by keys, and where the top of the
// view is afterwards: so many lines down, or at the end of the text.
struct ScrollCase {
    const char* name;
    std::vector<const char*> keys;
    float lines;
    bool atEnd;
};

void PrintTo(const ScrollCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class TextViewScrollTest : public testing::TestWithParam<ScrollCase> { };

} // namespace

TEST_P(TextViewScrollTest, AReadOnlyTextScrollsByKeysWithinItsText)
{
    EditorFixture fixture;
    std::string text;
    for (int i = 0; i < 40; i++)
        text += "line " + std::to_string(i) + "\n";
    float line = 0;
    float end = 0;
    WithLock(fixture.window.Get(), [&] {
        fixture.text->SetText(text.c_str());
        fixture.text->MakeEditable(false);
        fixture.text->MakeSelectable(false);
        line = fixture.text->LineHeight(0);
        BRect bounds = fixture.text->Bounds();
        end = fixture.text->TextHeight(0, fixture.text->CountLines() - 1) + 2 * 2 - bounds.Height()
            - 1;
    });
    int32 id = DisplayId(fixture.window.Get());
    for (const char* key : GetParam().keys)
        ASSERT_EQ(Display().InjectKey(id, key), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    float top = -1;
    WithLock(fixture.window.Get(), [&] { top = fixture.text->Bounds().top; });
    if (GetParam().atEnd)
        EXPECT_FLOAT_EQ(top, end);
    else
        EXPECT_FLOAT_EQ(top, GetParam().lines * line);
}

INSTANTIATE_TEST_SUITE_P(Keys, TextViewScrollTest,
    testing::Values(ScrollCase { "DownTwice", { "\x1f", "\x1f" }, 2, false },
        ScrollCase { "UpStopsAtTheTop", { "\x1f", "\x1e", "\x1e" }, 0, false },
        ScrollCase { "EndGoesToTheLastLine", { "\x04" }, 0, true },
        ScrollCase { "DownStopsAtTheEnd", { "\x04", "\x1f" }, 0, true },
        ScrollCase { "PageDownPastTheEndStops", std::vector<const char*>(12, "\x0c"), 0, true },
        ScrollCase { "HomeGoesBack", { "\x0c", "\x01" }, 0, false }),
    [](const testing::TestParamInfo<ScrollCase>& param) { return std::string(param.param.name); });

TEST(TextViewTest, SetTextTakesAPieceOfTheViewsOwnText)
{
    BTextView text(BRect(0, 0, 200, 50), "text", BRect(0, 0, 200, 50), B_FOLLOW_NONE, 0);
    text.SetText("Hello world");
    text.SetText(text.Text());
    EXPECT_STREQ(text.Text(), "Hello world");
    text.SetText(text.Text() + 6);
    EXPECT_STREQ(text.Text(), "world");
    text.SetText(text.Text() + 1, 3);
    EXPECT_STREQ(text.Text(), "orl");
}

namespace {

struct MaxBytesCase {
    const char* name;
    const char* initial;
    int32 maxBytes;
    const char* inserted;
    const char* expected;
};

void PrintTo(const MaxBytesCase& value, std::ostream* out)
{
    *out << value.name;
}

class TextViewMaxBytesTest : public testing::TestWithParam<MaxBytesCase> { };

} // namespace

// What does not fit is left out a whole character at a time, so that the
// text never ends in part of one.
TEST_P(TextViewMaxBytesTest, InsertKeepsWholeCharacters)
{
    const MaxBytesCase& param = GetParam();
    BTextView text(BRect(0, 0, 200, 50), "text", BRect(0, 0, 200, 50), B_FOLLOW_NONE, 0);
    text.SetText(param.initial);
    text.SetMaxBytes(param.maxBytes);
    text.Select(text.TextLength(), text.TextLength());
    text.Insert(param.inserted);
    EXPECT_STREQ(text.Text(), param.expected);
    int32 start = 0;
    int32 end = 0;
    text.GetSelection(&start, &end);
    EXPECT_EQ(start, text.TextLength());
    EXPECT_EQ(end, text.TextLength());
}

INSTANTIATE_TEST_SUITE_P(Cases, TextViewMaxBytesTest,
    testing::Values(MaxBytesCase { "Ascii", "ab", 4, "cdef", "abcd" },
        MaxBytesCase { "TwoByteCharacter", "", 1, "\xC3\xA9", "" },
        MaxBytesCase { "ThreeByteCharacter", "ab", 4, "\xE2\x82\xAC", "ab" },
        MaxBytesCase { "SecondCharacterCut", "a", 4, "\xC3\xA9\xC3\xA9", "a\xC3\xA9" },
        MaxBytesCase { "FourByteCharacter", "", 3, "x\xF0\x9F\x98\x80", "x" }),
    [](const testing::TestParamInfo<MaxBytesCase>& item) { return item.param.name; });

TEST(TextViewTest, LoweringMaxBytesCutsBetweenCharacters)
{
    BTextView text(BRect(0, 0, 200, 50), "text", BRect(0, 0, 200, 50), B_FOLLOW_NONE, 0);
    text.SetText("a\xC3\xA9z");
    text.SetMaxBytes(2);
    EXPECT_STREQ(text.Text(), "a");
    text.SetMaxBytes(-1);
    text.SetText("\xE2\x82\xAC\xE2\x82\xAC");
    text.SetMaxBytes(5);
    EXPECT_STREQ(text.Text(), "\xE2\x82\xAC");
}
