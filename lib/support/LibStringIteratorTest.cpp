#include "LibStringIterator.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string AsText(const LibString& string)
{
    const char* text = string;
    return text != nullptr ? text : "<null>";
}

struct Step {
    bool result;
    std::string field;

    bool operator==(const Step& other) const = default;
};

std::ostream& operator<<(std::ostream& stream, const Step& step)
{
    return stream << (step.result ? "true '" : "false '") << step.field << "'";
}

// Reads fields until the first false (included), at most ten.
std::vector<Step> ReadAll(LibStringIterator& iterator, char separator)
{
    std::vector<Step> steps;
    LibString field("stale");
    for (int i = 0; i < 10; i++) {
        bool result = iterator.GetNextField(separator, field);
        steps.push_back({ result, AsText(field) });
        if (!result)
            break;
    }
    return steps;
}

struct FieldCase {
    const char* text;
    std::vector<Step> steps;
};

class LibStringIteratorFieldTest : public testing::TestWithParam<FieldCase> { };

} // namespace

TEST_P(LibStringIteratorFieldTest, HandsOutEachFieldThenFalse)
{
    LibStringIterator iterator(GetParam().text);
    EXPECT_EQ(ReadAll(iterator, ';'), GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(Texts, LibStringIteratorFieldTest,
    testing::Values(FieldCase { "", { { false, "" } } },
        FieldCase { "Typical;Sounds;", { { true, "Typical" }, { true, "Sounds" }, { false, "" } } },
        FieldCase { "Typical;X", { { true, "Typical" }, { true, "X" }, { false, "" } } },
        FieldCase { ";a", { { true, "" }, { true, "a" }, { false, "" } } },
        FieldCase { "x;;y", { { true, "x" }, { true, "" }, { true, "y" }, { false, "" } } },
        FieldCase { ";", { { true, "" }, { false, "" } } }));

TEST(LibStringIteratorTest, GetIndexFieldReadsFromTheStart)
{
    LibStringIterator iterator("x;y;z");
    LibString field("unchanged");
    EXPECT_TRUE(iterator.GetIndexField(';', 1, field));
    EXPECT_EQ(AsText(field), "y");
    EXPECT_EQ(iterator.Position(), 4);
    EXPECT_TRUE(iterator.GetIndexField(';', 0, field));
    EXPECT_EQ(AsText(field), "x");
    field = "unchanged";
    EXPECT_FALSE(iterator.GetIndexField(';', 3, field));
    EXPECT_EQ(AsText(field), "unchanged");
    EXPECT_FALSE(iterator.GetIndexField(';', -1, field));
    EXPECT_EQ(AsText(field), "unchanged");
}

TEST(LibStringIteratorTest, SeparatorSetEndsWithTheLastFieldAndFalse)
{
    LibStringIterator iterator("x,y;z");
    LibString field;
    EXPECT_TRUE(iterator.GetNextField(",;", field));
    EXPECT_EQ(AsText(field), "x");
    EXPECT_TRUE(iterator.GetNextField(",;", field));
    EXPECT_EQ(AsText(field), "y");
    EXPECT_FALSE(iterator.GetNextField(",;", field));
    EXPECT_EQ(AsText(field), "z");
    EXPECT_FALSE(iterator.GetNextField(",;", field));
    EXPECT_EQ(AsText(field), "z");
}

TEST(LibStringIteratorTest, EmptySeparatorSetGivesTheRest)
{
    LibStringIterator iterator("a,b");
    LibString field;
    EXPECT_FALSE(iterator.GetNextField("", field));
    EXPECT_EQ(AsText(field), "a,b");
}

TEST(LibStringIteratorTest, AssignmentResetsThePositionAndCopyKeepsIt)
{
    LibStringIterator iterator("a;b");
    LibString field;
    iterator.GetNextField(';', field);
    EXPECT_EQ(iterator.Position(), 2);

    LibStringIterator copy(iterator);
    EXPECT_EQ(copy.Position(), 2);
    LibStringIterator assigned;
    assigned = iterator;
    EXPECT_EQ(assigned.Position(), 2);
    LibStringIterator& alias = assigned;
    assigned = alias;
    EXPECT_EQ(assigned.Position(), 2);

    iterator = "c;d";
    EXPECT_EQ(iterator.Position(), 0);
    iterator.GetNextField(';', field);
    iterator = LibString("e;f");
    EXPECT_EQ(iterator.Position(), 0);
    EXPECT_TRUE(iterator.GetNextField(';', field));
    EXPECT_EQ(AsText(field), "e");

    LibStringIterator fromString(LibString("g"));
    EXPECT_EQ(fromString.Position(), 0);
    LibStringIterator sized(8);
    EXPECT_EQ(AsText(sized), "");
}

TEST(LibStringIteratorTest, ResetKeepsThePositionInsideTheText)
{
    LibStringIterator iterator("ab;cd");
    LibString field;
    iterator.Reset(3);
    EXPECT_TRUE(iterator.GetNextField(';', field));
    EXPECT_EQ(AsText(field), "cd");
    iterator.Reset(99);
    EXPECT_EQ(iterator.Position(), 5);
    EXPECT_FALSE(iterator.GetNextField(';', field));
    iterator.Reset(-4);
    EXPECT_EQ(iterator.Position(), 0);
}

TEST(LibStringIteratorTest, ShorteningTheTextUnderThePositionIsSafe)
{
    LibStringIterator iterator("abcdef;g");
    LibString field;
    iterator.GetNextField(';', field);
    iterator.ToIndex(1);
    EXPECT_FALSE(iterator.GetNextField(';', field));
    EXPECT_EQ(AsText(field), "");
    EXPECT_FALSE(iterator.GetNextField(",", field));
}

TEST(LibStringIteratorTest, PrintToStreamAddsThePosition)
{
    LibStringIterator iterator("a;b");
    LibString field;
    iterator.GetNextField(';', field);
    testing::internal::CaptureStderr();
    iterator.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "LibString:: <a;b>, buffer 4\nposition 2\n");
}
