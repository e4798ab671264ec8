#include "ScriptBlock.h"

#include <gtest/gtest.h>

namespace {

struct InsertCase {
    const char* name;
    std::string before;
    std::string after; // expected text after inserting tag "App" with "X=1"
    bool separatorAdded;
    int32 removed;
};

const std::string kBlock = "#BEGIN_App\nX=1\n#END_App\n";

class ScriptBlockInsertTest : public testing::TestWithParam<InsertCase> { };

TEST_P(ScriptBlockInsertTest, GivesExactBytesAndUndoes)
{
    const InsertCase& test = GetParam();
    std::string text;
    ScriptBlock::Insertion insertion;
    ASSERT_EQ(ScriptBlock::Insert(test.before, "App", "X=1", &text, &insertion), B_OK);
    EXPECT_EQ(text, test.after);
    EXPECT_EQ(insertion.block, kBlock);
    EXPECT_EQ(insertion.separatorAdded, test.separatorAdded);
    EXPECT_EQ(insertion.removed, test.removed);

    // A second installation changes nothing.
    std::string again;
    ASSERT_EQ(ScriptBlock::Insert(text, "App", "X=1", &again), B_OK);
    EXPECT_EQ(again, text);

    // Removing a block that was the only one gives back the text before it.
    if (test.removed == 0) {
        std::string restored;
        ASSERT_EQ(ScriptBlock::Remove(text, "App", insertion.separatorAdded, &restored), B_OK);
        EXPECT_EQ(restored, test.before);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ScriptBlockInsertTest,
    testing::Values(InsertCase { "Empty", "", kBlock, false, 0 },
        InsertCase { "EndsWithNewline", "a\n", "a\n" + kBlock, false, 0 },
        InsertCase { "LastLineWithoutNewline", "a", "a\n" + kBlock, true, 0 },
        InsertCase { "OldBlockMovesToTheEnd", "a\n#BEGIN_App\nX=0\n#END_App\nb\n",
            "a\nb\n" + kBlock, false, 1 },
        InsertCase { "OldBlockWithIndentAndCrlf",
            "a\r\n  #BEGIN_App\r\nX=0\r\n\t#END_App \r\nb\r\n", "a\r\nb\r\n" + kBlock, false, 1 },
        InsertCase { "TwoOldBlocks", "#BEGIN_App\n#END_App\nm\n#BEGIN_App\ny\n#END_App",
            "m\n" + kBlock, false, 2 },
        InsertCase { "PrefixTagIsAnotherProduct", "#BEGIN_AppBar\nY=2\n#END_AppBar\n",
            "#BEGIN_AppBar\nY=2\n#END_AppBar\n" + kBlock, false, 0 },
        InsertCase { "MarkerWithTrailingTextIsNotAMarker", "#BEGIN_App old\nkeep\n#END_App old\n",
            "#BEGIN_App old\nkeep\n#END_App old\n" + kBlock, false, 0 },
        InsertCase {
            "StrayEndLineIsTheUsers", "#END_App\nz\n", "#END_App\nz\n" + kBlock, false, 0 },
        InsertCase { "LongLine", std::string(10000, 'q') + "\n",
            std::string(10000, 'q') + "\n" + kBlock, false, 0 },
        InsertCase { "BinaryBytes", std::string("a\0b\xff\n", 5),
            std::string("a\0b\xff\n", 5) + kBlock, false, 0 }),
    [](const testing::TestParamInfo<InsertCase>& param) { return std::string(param.param.name); });

struct MalformedCase {
    const char* name;
    std::string text;
};

class ScriptBlockMalformedTest : public testing::TestWithParam<MalformedCase> { };

TEST_P(ScriptBlockMalformedTest, IsRefusedAndNothingIsLost)
{
    std::string result = "untouched";
    EXPECT_EQ(ScriptBlock::Insert(GetParam().text, "App", "X=1", &result), B_BAD_DATA);
    EXPECT_EQ(ScriptBlock::Remove(GetParam().text, "App", false, &result), B_BAD_DATA);
    EXPECT_EQ(result, "untouched");
}

INSTANTIATE_TEST_SUITE_P(Texts, ScriptBlockMalformedTest,
    testing::Values(MalformedCase { "BeginWithoutEnd", "a\n#BEGIN_App\nuser line\n" },
        MalformedCase { "ReversedMarkers", "#END_App\nuser line\n#BEGIN_App\nmore\n" },
        MalformedCase { "NestedBegin", "#BEGIN_App\n#BEGIN_App\nx\n#END_App\n" },
        // Another product's lines hold this tag's begin line, a third one's
        // its end line: what lies between them is the user's, not a block.
        MalformedCase { "ForgedMarkersAroundTheUsersLines",
            "#BEGIN_B\n#BEGIN_App\n#END_B\nuser line\n#BEGIN_C\n#END_App\n#END_C\n" }),
    [](const testing::TestParamInfo<MalformedCase>& param) {
        return std::string(param.param.name);
    });

TEST(ScriptBlockTest, TagsThatCannotBeMarkersAreRefused)
{
    for (const std::string& tag : { std::string(), std::string("a\nb"), std::string("a\rb"),
             std::string(" lead"), std::string("trail "), std::string("tab\t"),
             std::string(ScriptBlock::kMaxTagLength + 1, 'x') }) {
        EXPECT_EQ(ScriptBlock::CheckTag(tag), B_BAD_VALUE) << tag;
    }
    EXPECT_EQ(ScriptBlock::CheckTag("My App 2.0 ($HOME)"), B_OK);
}

TEST(ScriptBlockTest, ContentsHoldingTheirOwnMarkersAreRefused)
{
    std::string result;
    EXPECT_EQ(ScriptBlock::Insert("", "App", "a\n #END_App\nb", &result), B_BAD_DATA);
    EXPECT_EQ(ScriptBlock::Insert("", "App", "#BEGIN_App", &result), B_BAD_DATA);
    EXPECT_EQ(ScriptBlock::Insert("", "App", "# END_App\necho '#END_App'", &result), B_OK);
}

// A line that reads as any block's marker would let one product's lines
// open or close another product's block: refused, whatever the tag.
TEST(ScriptBlockTest, ContentsHoldingAnyMarkerAreRefused)
{
    std::string result;
    for (const char* contents : { "#BEGIN_Other", "a\n#END_Other\nb", "  #BEGIN_Other",
             "x=1\n\t#END_Other \r", "#END_App_2", "#BEGIN_", "#END_Other # a comment" }) {
        EXPECT_EQ(ScriptBlock::Insert("", "App", contents, &result), B_BAD_DATA) << contents;
    }
    for (const char* contents : { "# BEGIN_Other", "echo '#BEGIN_Other'", "x=1 #END_Other",
             "#BEGINNING", "#begin_Other" }) {
        EXPECT_EQ(ScriptBlock::Insert("", "App", contents, &result), B_OK) << contents;
    }
}

// A block goes by its recorded bytes only when they are in the text once:
// two copies (one pasted by the user, or written by another program) leave
// nobody able to tell which one is the installation's.
TEST(ScriptBlockTest, ABlockWhoseBytesOccurTwiceStays)
{
    std::string text = "a\n" + kBlock + "b\n" + kBlock + "c\n";
    std::string result = "untouched";
    int32 removed = -1;
    EXPECT_EQ(ScriptBlock::RemoveExact(text, "App", kBlock, false, &result, &removed), B_OK);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(result, text);
}

// Another product's lines that hold this block's begin or end line do not
// keep the installation's own block, which is there once, from going; and
// the lines between them stay.
TEST(ScriptBlockTest, TheRecordedBlockGoesWhateverForgedMarkersSurroundIt)
{
    const std::string forgedBegin = "#BEGIN_B\n#BEGIN_App\n#END_B\n";
    const std::string forgedEnd = "#BEGIN_C\n#END_App\n#END_C\n";
    for (const std::string& text : { forgedBegin + "u1\n" + kBlock + "u2\n" + forgedEnd,
             kBlock + "u1\n" + forgedBegin + "u2\n" + forgedEnd,
             forgedEnd + "u1\n" + forgedBegin + "u2\n" + kBlock }) {
        std::string result;
        int32 removed = 0;
        EXPECT_EQ(ScriptBlock::RemoveExact(text, "App", kBlock, false, &result, &removed), B_OK)
            << text;
        EXPECT_EQ(removed, 1) << text;
        std::string expected = text;
        expected.erase(expected.find(kBlock), kBlock.size());
        EXPECT_EQ(result, expected);
    }
}

TEST(ScriptBlockTest, RemovingLeavesOtherBlocksAndTheSeparatorOfALaterLine)
{
    std::string text = "a\n#BEGIN_App\nX=1\n#END_App\nuser line added later\n";
    std::string result;
    int32 removed = 0;
    ASSERT_EQ(ScriptBlock::Remove(text, "App", true, &result, &removed), B_OK);
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(result, "a\nuser line added later\n");
}

TEST(ScriptBlockTest, ShellQuotingSurvivesQuotes)
{
    EXPECT_EQ(ShellQuoted("it's"), "'it'\\''s'");
    EXPECT_EQ(ShellQuoted(""), "''");
}

} // namespace
