#include "LibString.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "TestSandbox.h"

namespace {

std::string Str(const LibString& string)
{
    const char* text = string;
    return text != nullptr ? text : "<null>";
}

// Captures what a callable writes to standard error.
template <typename Function> std::string CaptureStderr(Function function)
{
    testing::internal::CaptureStderr();
    function();
    return testing::internal::GetCapturedStderr();
}

std::string WriteFile(const std::string& leaf, const std::string& content)
{
    std::string path = brenvik::test::MakeTempFolder("read") + "/" + leaf;
    FILE* file = fopen(path.c_str(), "w");
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
    return path;
}

} // namespace

// Construction, assignment and the buffer.

TEST(LibStringTest, ConstructorsLeaveABufferOfTheStatedCapacity)
{
    LibString empty;
    EXPECT_EQ(Str(empty), "");
    EXPECT_EQ(empty.PackSize(), 4);
    EXPECT_NE(CaptureStderr([&] { empty.PrintToStream(); }).find("buffer 1"), std::string::npos);

    LibString sized(9L);
    EXPECT_EQ(Str(sized), "");
    EXPECT_EQ(CaptureStderr([&] { sized.PrintToStream(); }), "LibString:: <>, buffer 10\n");

    LibString fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(Str(fromNull), "");

    LibString text("abc");
    EXPECT_EQ(CaptureStderr([&] { text.PrintToStream(); }), "LibString:: <abc>, buffer 4\n");
}

TEST(LibStringTest, AssignmentFromAnotherStringTakesItsCapacity)
{
    LibString source(20L);
    source.Concat("ab");
    LibString copy(source);
    EXPECT_EQ(CaptureStderr([&] { copy.PrintToStream(); }), "LibString:: <ab>, buffer 21\n");
    LibString assigned("x");
    assigned = source;
    EXPECT_EQ(CaptureStderr([&] { assigned.PrintToStream(); }), "LibString:: <ab>, buffer 21\n");
    LibString& alias = assigned;
    assigned = alias;
    EXPECT_EQ(Str(assigned), "ab");
}

TEST(LibStringTest, AssigningTextAllocatesExactlyAndIgnoresNull)
{
    LibString string(50L);
    string = "hello";
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <hello>, buffer 6\n");
    string = static_cast<const char*>(nullptr);
    EXPECT_EQ(Str(string), "hello");
    // Assigning a part of its own text.
    string = static_cast<const char*>(string) + 2;
    EXPECT_EQ(Str(string), "llo");
}

TEST(LibStringTest, NumberAssignmentsPrintWithTheirFormats)
{
    LibString string;
    string = 42L;
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <42>, buffer 11\n");
    string = -7;
    EXPECT_EQ(Str(string), "-7");
    string = 1.5f;
    EXPECT_EQ(Str(string), "1.500000");
    string = 2.25;
    EXPECT_EQ(
        CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <2.250000>, buffer 16\n");
    string.SetFloat32(3.14159f, 2);
    EXPECT_EQ(Str(string), "3.14");
    string.SetFloat64(2.5, 0);
    EXPECT_EQ(Str(string), "2");
}

TEST(LibStringTest, NumberAssignmentsGrowForLongResults)
{
    LibString string;
    string = -9223372036854775807L;
    EXPECT_EQ(Str(string), "-9223372036854775807");
    string = 1e30;
    EXPECT_EQ(Str(string), "1000000000000000019884624838656.000000");
    string.SetFloat32(1e20f, 3);
    EXPECT_EQ(Str(string), "100000002004087734272.000");
}

TEST(LibStringTest, SetHexGivesTwoUpperCaseDigits)
{
    LibString string;
    string.SetHex(10);
    EXPECT_EQ(Str(string), "0A");
    string.SetHex(255);
    EXPECT_EQ(Str(string), "FF");
    string.SetHex(0);
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <00>, buffer 3\n");
}

TEST(LibStringTest, FormattedAssignsTheResult)
{
    LibString string;
    EXPECT_EQ(Str(string.Formatted("%s-%d", "a", 5)), "a-5");
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <a-5>, buffer 4\n");
}

TEST(LibStringTest, FormattedHandlesResultsFarBeyondFiveHundredBytes)
{
    std::string longText(5000, 'x');
    LibString string;
    string.Formatted("[%s]", longText.c_str());
    EXPECT_EQ(Str(string), "[" + longText + "]");
}

TEST(LibStringTest, FormattedMayUseItsOwnText)
{
    LibString string("base");
    string.Formatted("%s/%s", static_cast<const char*>(string), static_cast<const char*>(string));
    EXPECT_EQ(Str(string), "base/base");
}

TEST(LibStringTest, SetBufferAndClear)
{
    LibString string("text");
    string.SetBuffer(5);
    EXPECT_EQ(Str(string), "");
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <>, buffer 6\n");
    string.SetBuffer(-3);
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <>, buffer 1\n");
    string.Clear();
    EXPECT_EQ(static_cast<const char*>(string), nullptr);
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <>, buffer 0\n");
    string = "again";
    EXPECT_EQ(Str(string), "again");
}

TEST(LibStringTest, OperationsOnAClearedStringActOnAnEmptyText)
{
    LibString string("abc");
    string.Clear();
    EXPECT_EQ(string.Compare(""), 0);
    EXPECT_EQ(string.Index('a'), -1);
    string.Remove(0, 0);
    string.ToIndex(-1);
    string.StripLeadingSpaces();
    string.ToUpperCase();
    EXPECT_EQ(string.Words(), 0);
    string.Concat("x");
    EXPECT_EQ(Str(string), "x");
}

TEST(LibStringTest, ReadAppendsTheWholeFile)
{
    std::string path = WriteFile("lines.txt", "one\ntwo\nthree");
    LibString string("> ");
    string.Read(path.c_str(), 256);
    EXPECT_EQ(Str(string), "> one\ntwo\nthree");
}

TEST(LibStringTest, ReadKeepsLinesLongerThanTheLineSize)
{
    std::string longLine(10000, 'y');
    std::string path = WriteFile("long.txt", longLine + "\nshort\n");
    LibString string;
    string.Read(path.c_str(), 16);
    EXPECT_EQ(Str(string), longLine + "\nshort\n");
}

TEST(LibStringTest, ReadWithAnUnusableLineSizeStillReadsTheFile)
{
    std::string path = WriteFile("tiny.txt", "abc\ndef\n");
    for (long lineSize : { -5L, 0L, 1L }) {
        LibString string;
        string.Read(path.c_str(), lineSize);
        EXPECT_EQ(Str(string), "abc\ndef\n") << lineSize;
    }
}

TEST(LibStringTest, ReadOfAMissingFileChangesNothing)
{
    LibString string("keep");
    string.Read((brenvik::test::MakeTempFolder("read") + "/missing").c_str(), 64);
    EXPECT_EQ(Str(string), "keep");
}

// Appending and inserting.

TEST(LibStringTest, ConcatGrowsToExactlyTheNewLength)
{
    LibString string("ab");
    string.Concat("cde");
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <abcde>, buffer 6\n");
    string.Concat('f');
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <abcdef>, buffer 7\n");
    string.Concat(static_cast<const char*>(nullptr));
    string.Concat(static_cast<const char*>(string));
    EXPECT_EQ(Str(string), "abcdefabcdef");
}

TEST(LibStringTest, ConcatWithinCapacityDoesNotReallocate)
{
    LibString string(10L);
    string.Concat("abc");
    EXPECT_EQ(CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <abc>, buffer 11\n");
}

TEST(LibStringTest, AppendOperatorsPrintNumbers)
{
    LibString string("n=");
    string += 12L;
    string += 3;
    string += 0.5f;
    string += 0.25;
    EXPECT_EQ(Str(string), "n=1230.5000000.250000");
}

TEST(LibStringTest, PrePendFitsTheBufferExactly)
{
    LibString string(30L);
    string.Concat("world");
    string.PrePend("hello ");
    EXPECT_EQ(
        CaptureStderr([&] { string.PrintToStream(); }), "LibString:: <hello world>, buffer 12\n");
}

struct InsertCase {
    const char* text;
    int position;
    const char* expected;
};

class LibStringInsertTest : public testing::TestWithParam<InsertCase> { };

TEST_P(LibStringInsertTest, InsertsAfterTheByteAtPosition)
{
    LibString string(GetParam().text);
    string.Insert(GetParam().position, "x");
    EXPECT_EQ(Str(string), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, LibStringInsertTest,
    testing::Values(InsertCase { "abc", -1, "xabc" }, InsertCase { "abc", 0, "axbc" },
        InsertCase { "abc", 1, "abxc" }, InsertCase { "abc", 2, "abcx" },
        InsertCase { "abc", 3, "abcx" }, InsertCase { "abc", -5, "abcx" },
        InsertCase { "", 0, "x" }, InsertCase { "", -1, "x" }));

// Comparing.

struct CompareCase {
    const char* left;
    const char* right;
    bool ignoreCase;
    int expected;
};

class LibStringCompareTest : public testing::TestWithParam<CompareCase> { };

TEST_P(LibStringCompareTest, GivesTheSignOfTheDifference)
{
    const CompareCase& c = GetParam();
    EXPECT_EQ(LibString(c.left).Compare(c.right, c.ignoreCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LibStringCompareTest,
    testing::Values(CompareCase { "a", nullptr, false, 1 }, CompareCase { "", "", false, 0 },
        CompareCase { "", "a", false, -1 }, CompareCase { "B", "a", true, 1 },
        CompareCase { "B", "a", false, -1 }, CompareCase { "ab", "abc", false, -1 },
        CompareCase { "abc", "ab", false, 1 }, CompareCase { "ABC", "abc", true, 0 },
        // Bytes of 0x80 and above are signed: they sort below ASCII.
        CompareCase { "\xc3\xa9", "a", false, -1 }, CompareCase { "a", "\xc3\xa9", false, 1 }));

TEST(LibStringTest, EqualityAndOrderAreCaseSensitiveWholeText)
{
    EXPECT_TRUE(LibString("Abc") == LibString("Abc"));
    EXPECT_FALSE(LibString("Abc") == LibString("abc"));
    EXPECT_TRUE(LibString("b") > LibString("a"));
    EXPECT_FALSE(LibString("a") > LibString("a"));
    EXPECT_TRUE(LibString("x") == "x");
}

struct CompareSubCase {
    const char* text;
    const char* other;
    bool ignoreCase;
    long count;
    long start;
    int expected;
};

class LibStringCompareSubTest : public testing::TestWithParam<CompareSubCase> { };

TEST_P(LibStringCompareSubTest, ComparesThePartFromStart)
{
    const CompareSubCase& c = GetParam();
    EXPECT_EQ(LibString(c.text).CompareSub(c.other, c.ignoreCase, c.count, c.start), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LibStringCompareSubTest,
    testing::Values(CompareSubCase { "System", "Sys", false, 3, 0, 0 },
        CompareSubCase { "System", "Sys", false, -1, 0, 1 },
        CompareSubCase { "System", "tem", false, -1, 3, 0 },
        CompareSubCase { "System", "SYS", true, 3, 0, 0 },
        CompareSubCase { "Sy", "Sys", true, 3, 0, -1 },
        CompareSubCase { "Sys", "Sy", true, 3, 0, 1 },
        CompareSubCase { "abc", "ABD", true, -1, 0, -1 },
        CompareSubCase { "abc", "abc", true, -1, 0, 0 },
        // A start beyond the text compares an empty part.
        CompareSubCase { "abc", "x", false, -1, 10, -1 },
        CompareSubCase { "abc", nullptr, false, -1, 0, 1 }));

struct AffixCase {
    const char* text;
    const char* affix;
    bool ignoreCase;
    bool begins;
    bool ends;
};

class LibStringAffixTest : public testing::TestWithParam<AffixCase> { };

TEST_P(LibStringAffixTest, BeginsWithAndEndsWith)
{
    const AffixCase& c = GetParam();
    LibString text(c.text);
    EXPECT_EQ(text.BeginsWith(c.affix, c.ignoreCase), c.begins);
    EXPECT_EQ(text.EndsWith(c.affix, c.ignoreCase), c.ends);
    EXPECT_EQ(text.BeginsWith(LibString(c.affix), c.ignoreCase), c.begins);
    EXPECT_EQ(text.EndsWith(LibString(c.affix), c.ignoreCase), c.ends);
}

INSTANTIATE_TEST_SUITE_P(Cases, LibStringAffixTest,
    testing::Values(AffixCase { "abc", "", false, false, true },
        AffixCase { "abc", "abc", false, true, true },
        AffixCase { "abc", "abcd", false, false, false },
        AffixCase { "abc", "ab", false, true, false },
        AffixCase { "abc", "bc", false, false, true }, AffixCase { "abc", "AB", true, true, false },
        AffixCase { "abc", "BC", true, false, true },
        AffixCase { "abc", "AB", false, false, false }, AffixCase { "", "", false, false, true }));

struct WildCardCase {
    const char* text;
    const char* pattern;
    bool matches;
};

class LibStringWildCardTest : public testing::TestWithParam<WildCardCase> { };

TEST_P(LibStringWildCardTest, MatchesTheWholeText)
{
    const WildCardCase& c = GetParam();
    EXPECT_EQ(LibString(c.text).IsWildCard(c.pattern), c.matches);
    EXPECT_EQ(LibString().CompareWildCard(c.text, c.pattern), c.matches);
}

INSTANTIATE_TEST_SUITE_P(Patterns, LibStringWildCardTest,
    testing::Values(WildCardCase { "a.txt", "*.txt", true }, WildCardCase { ".txt", "*.txt", true },
        WildCardCase { "a.txt2", "*.txt", false }, WildCardCase { "abc", "a?c", true },
        WildCardCase { "ac", "a?c", false }, WildCardCase { "", "*", true },
        WildCardCase { "", "", true }, WildCardCase { "a", "", false },
        WildCardCase { "", "?", false }, WildCardCase { "abc", "*?", true },
        WildCardCase { "", "*?", false }, WildCardCase { "abc", "a**c", true },
        WildCardCase { "abcbd", "*b?", true }, WildCardCase { "ABC", "abc", false },
        WildCardCase { "x.tar.gz", "*.*.gz", true }, WildCardCase { "abab", "*ab", true },
        WildCardCase { "aaa", "a*a*a*a", false }));

TEST(LibStringTest, WildCardMatchStaysFastOnManyStars)
{
    // A recursive matcher takes exponential time here; this one must not.
    std::string text(2000, 'a');
    std::string pattern;
    for (int i = 0; i < 40; i++)
        pattern += "*a";
    pattern += "*b";
    EXPECT_FALSE(LibString(text.c_str()).IsWildCard(pattern.c_str()));
    EXPECT_TRUE(LibString((text + "b").c_str()).IsWildCard(pattern.c_str()));
}

// Searching and counting.

TEST(LibStringTest, ContainFindsTextOptionallyIgnoringCase)
{
    LibString string("Hello World");
    EXPECT_TRUE(string.Contain("World"));
    EXPECT_FALSE(string.Contain("world"));
    EXPECT_TRUE(string.Contain("wORLD", true));
    EXPECT_TRUE(string.Contain(""));
    EXPECT_TRUE(string.Contain("", true));
    EXPECT_TRUE(LibString("").Contain("", true));
    EXPECT_FALSE(string.Contain("Worlds", true));
    EXPECT_TRUE(string.Contain(LibString("lo W")));
    EXPECT_FALSE(string.Contain(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(string.Contain('W'));
    EXPECT_FALSE(string.Contain('w'));
    EXPECT_TRUE(string.Contain('\0'));
}

TEST(LibStringTest, IndexGivesFirstOccurrenceOrMinusOne)
{
    LibString string("banana");
    EXPECT_EQ(string.Index('n'), 2);
    EXPECT_EQ(string.Index('x'), -1);
    EXPECT_EQ(LibString("").Index('a'), -1);
    EXPECT_EQ(string.Index("ana"), 1);
    EXPECT_EQ(string.Index("nab"), -1);
    EXPECT_EQ(string.Index(""), 0);
    EXPECT_EQ(LibString("").Index(""), -1);
    EXPECT_EQ(string.Index(LibString("na")), 2);
    EXPECT_EQ(string.IndexOfAny("xyn"), 2);
    EXPECT_EQ(string.IndexOfAny(""), -1);
    EXPECT_EQ(string.IndexOfAny("xyz"), -1);
    EXPECT_EQ(string.Count('a'), 3);
    EXPECT_EQ(string.Count('z'), 0);
}

TEST(LibStringTest, WordsBlankAndNumeric)
{
    EXPECT_EQ(LibString("  one two\tthree\n").Words(), 3);
    EXPECT_EQ(LibString("").Words(), 0);
    EXPECT_TRUE(LibString("").IsBlank());
    EXPECT_TRUE(LibString(" \t\r\n\v\f").IsBlank());
    EXPECT_FALSE(LibString(" x ").IsBlank());
}

struct NumericCase {
    const char* text;
    bool numeric;
};

class LibStringNumericTest : public testing::TestWithParam<NumericCase> { };

TEST_P(LibStringNumericTest, FollowsTheNumberSyntax)
{
    EXPECT_EQ(LibString(GetParam().text).IsNumeric(), GetParam().numeric);
}

INSTANTIATE_TEST_SUITE_P(Syntax, LibStringNumericTest,
    testing::Values(NumericCase { "", true }, NumericCase { "+", true }, NumericCase { "-", true },
        NumericCase { ".", true }, NumericCase { "12", true }, NumericCase { "-12.5", true },
        NumericCase { "+.5", true }, NumericCase { " 12", false }, NumericCase { "12 ", false },
        NumericCase { "1.2.3", false }, NumericCase { "1-2", false }, NumericCase { "+-1", false },
        NumericCase { "1e5", false }, NumericCase { "0x10", false }));

// Cutting.

struct ExtractCase {
    const char* text;
    long first;
    long last;
    const char* expected;
};

class LibStringExtractTest : public testing::TestWithParam<ExtractCase> { };

TEST_P(LibStringExtractTest, CopiesTheInclusiveRange)
{
    const ExtractCase& c = GetParam();
    EXPECT_EQ(Str(LibString(c.text).Extract(c.first, c.last)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Ranges, LibStringExtractTest,
    testing::Values(ExtractCase { "abcdef", 1, 3, "bcd" }, ExtractCase { "abcdef", 0, 5, "abcdef" },
        ExtractCase { "abcdef", 2, 1, "" }, ExtractCase { "abcdef", 4, 99, "ef" },
        ExtractCase { "abcdef", -1, 2, "" }, ExtractCase { "abcdef", 7, 9, "" },
        ExtractCase { "abcdef", 3, 0, "" }, ExtractCase { "", 0, -1, "" }));

TEST(LibStringTest, ExtractBetweenDelimiters)
{
    LibString string("x(ab)c(d)");
    EXPECT_EQ(Str(string.Extract('(', ')', true)), "ab");
    EXPECT_EQ(Str(string.Extract('(', ')', false)), "(ab)");
    EXPECT_EQ(Str(LibString("no delimiters").Extract('(', ')', false)), "");
    EXPECT_EQ(Str(LibString("a(bc").Extract('(', ')', false)), "(bc");
    EXPECT_EQ(Str(LibString("a(bc").Extract('(', ')', true)), "bc");
    EXPECT_EQ(Str(LibString("a()").Extract('(', ')', true)), "");
}

struct CutCase {
    const char* text;
    long argument;
    const char* toIndex;
    const char* fromIndex;
};

class LibStringIndexCutTest : public testing::TestWithParam<CutCase> { };

TEST_P(LibStringIndexCutTest, ToIndexAndFromIndex)
{
    const CutCase& c = GetParam();
    LibString to(c.text);
    to.ToIndex(c.argument);
    EXPECT_EQ(Str(to), c.toIndex);
    LibString from(c.text);
    from.FromIndex(c.argument);
    EXPECT_EQ(Str(from), c.fromIndex);
}

INSTANTIATE_TEST_SUITE_P(Indexes, LibStringIndexCutTest,
    testing::Values(CutCase { "abcde", 2, "abc", "cde" }, CutCase { "abcde", 0, "a", "abcde" },
        CutCase { "abcde", -1, "", "" }, CutCase { "abcde", -2, "abcde", "" },
        CutCase { "abcde", 4, "abcde", "e" }, CutCase { "abcde", 5, "abcde", "" },
        CutCase { "", 0, "", "" }));

TEST(LibStringTest, ToCharAndFromChar)
{
    LibString string("a/b/c/d");
    EXPECT_TRUE(string.ToChar('/', 1, 0));
    EXPECT_EQ(Str(string), "a/b");
    string = "a/b/c/d";
    EXPECT_TRUE(string.ToChar('/', 1, 1));
    EXPECT_EQ(Str(string), "a/b/");
    string = "a/b/c/d";
    EXPECT_FALSE(string.ToChar('/', 3, 0));
    EXPECT_EQ(Str(string), "a/b/c/d");
    EXPECT_FALSE(string.ToChar('/', 0, -5)); // would end before the text
    EXPECT_FALSE(string.ToChar('/', 0, 50)); // would end after it
    EXPECT_EQ(Str(string), "a/b/c/d");

    EXPECT_TRUE(string.FromChar('/', 1, 0));
    EXPECT_EQ(Str(string), "/c/d");
    EXPECT_TRUE(string.FromChar('/', 0, 7));
    EXPECT_EQ(Str(string), "/c/d");
    EXPECT_FALSE(string.FromChar('x', 0, 0));
    EXPECT_EQ(Str(string), "/c/d");
}

struct LastCase {
    const char* text;
    char byte;
    long offset;
    const char* toLast;
    const char* fromLast;
};

class LibStringLastTest : public testing::TestWithParam<LastCase> { };

TEST_P(LibStringLastTest, ToLastAndFromLast)
{
    const LastCase& c = GetParam();
    LibString to(c.text);
    to.ToLast(c.byte, c.offset);
    EXPECT_EQ(Str(to), c.toLast);
    LibString from(c.text);
    from.FromLast(c.byte, c.offset);
    EXPECT_EQ(Str(from), c.fromLast);
}

INSTANTIATE_TEST_SUITE_P(Offsets, LibStringLastTest,
    testing::Values(LastCase { "/boot/home/file", '/', -1, "/boot/home", "e/file" },
        LastCase { "/boot/home/file", '/', 0, "/boot/home/", "/file" },
        LastCase { "/boot/home/file", '/', 1, "/boot/home/f", "file" },
        // A byte that does not occur counts as position 0.
        LastCase { "file", '/', 1, "fi", "ile" }, LastCase { "file", '/', -1, "", "" },
        LastCase { "file", '/', -2, "file", "" }, LastCase { "a/", '/', 1, "a/", "" },
        LastCase { "", '/', 0, "", "" }));

struct RemoveCase {
    const char* text;
    long first;
    long last;
    const char* expected;
};

class LibStringRemoveTest : public testing::TestWithParam<RemoveCase> { };

TEST_P(LibStringRemoveTest, RemovesTheInclusiveRange)
{
    const RemoveCase& c = GetParam();
    LibString string(c.text);
    string.Remove(c.first, c.last);
    EXPECT_EQ(Str(string), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Ranges, LibStringRemoveTest,
    testing::Values(RemoveCase { "abcde", 1, 2, "ade" }, RemoveCase { "abcde", 1, 9, "a" },
        RemoveCase { "abcde", 0, 4, "" }, RemoveCase { "abcde", -1, 2, "abcde" },
        RemoveCase { "abcde", 6, 7, "abcde" }, RemoveCase { "abcde", 2, -1, "abcde" },
        RemoveCase { "abcde", 3, 1, "abcde" }, RemoveCase { "abcde", 4, 4, "abcd" }));

TEST(LibStringTest, RemoveCharAndShiftFrom)
{
    LibString string("abcde");
    string.RemoveChar(0);
    EXPECT_EQ(Str(string), "bcde");
    string.RemoveChar(4);
    string.RemoveChar(-1);
    EXPECT_EQ(Str(string), "bcde");
    string.RemoveChar(3);
    EXPECT_EQ(Str(string), "bcd");
    string.ShiftFrom(1, 2);
    EXPECT_EQ(Str(string), "bd");
    string.ShiftFrom(1, 5); // from beyond the text
    string.ShiftFrom(2, 1); // to after from
    EXPECT_EQ(Str(string), "bd");
    string.ShiftFrom(0, 2);
    EXPECT_EQ(Str(string), "");
}

// Replacing and case.

TEST(LibStringTest, ReplaceSubstitutesTheFirstOccurrence)
{
    LibString string("a-b-c");
    EXPECT_EQ(string.Replace("-", "+"), 1);
    EXPECT_EQ(Str(string), "a+b-c");
    EXPECT_EQ(string.Replace("x", "y"), -1);
    EXPECT_EQ(Str(string), "a+b-c");
    EXPECT_EQ(string.Replace("+b", "long text"), 1);
    EXPECT_EQ(Str(string), "along text-c");

    LibString ab("ab");
    EXPECT_EQ(ab.Replace("", "x"), 0);
    EXPECT_EQ(Str(ab), "xab");
    LibString empty("");
    EXPECT_EQ(empty.Replace("", "x"), -1);
    EXPECT_EQ(Str(empty), "");
}

struct ReplaceAllCase {
    const char* text;
    const char* find;
    const char* with;
    const char* expected;
};

class LibStringReplaceAllTest : public testing::TestWithParam<ReplaceAllCase> { };

TEST_P(LibStringReplaceAllTest, ReplacesEveryOccurrence)
{
    const ReplaceAllCase& c = GetParam();
    LibString string(c.text);
    string.ReplaceAll(c.find, c.with);
    EXPECT_EQ(Str(string), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LibStringReplaceAllTest,
    testing::Values(ReplaceAllCase { "a b c", " ", "_", "a_b_c" },
        ReplaceAllCase { "aaa", "aa", "b", "ba" }, ReplaceAllCase { "x--y", "--", "-", "x-y" },
        // Replacing again from the start: new occurrences made by a replacement count.
        ReplaceAllCase { "aabb", "ab", "a", "aa" }, ReplaceAllCase { "a----b", "--", "-", "a-b" },
        // A replacement that contains find would never end: one pass instead.
        ReplaceAllCase { "say \"hi\"", "\"", "\\\"", "say \\\"hi\\\"" },
        ReplaceAllCase { "aa", "a", "aa", "aaaa" },
        // An empty find changes nothing.
        ReplaceAllCase { "abc", "", "x", "abc" }, ReplaceAllCase { "abc", "b", "", "ac" }));

TEST(LibStringTest, ByteReplacementAndRepeats)
{
    LibString string("a.b.c");
    string.ReplaceAll('.', '/');
    EXPECT_EQ(Str(string), "a/b/c");
    string.SwapChar('/', '-');
    EXPECT_EQ(Str(string), "a-b-c");

    LibString path("a//b///c");
    path.RemoveRepeatingChar('/');
    EXPECT_EQ(Str(path), "a/b/c");
    LibString edges("//a//");
    edges.RemoveRepeatingChar('/');
    EXPECT_EQ(Str(edges), "/a/");
}

TEST(LibStringTest, CaseConversions)
{
    LibString string("MiXeD 1\xc3\xa9");
    string.ToLowerCase();
    EXPECT_EQ(Str(string), "mixed 1\xc3\xa9");
    string.ToUpperCase();
    EXPECT_EQ(Str(string), "MIXED 1\xc3\xa9");
}

struct ProperCase {
    const char* text;
    const char* expected;
};

class LibStringProperCaseTest : public testing::TestWithParam<ProperCase> { };

TEST_P(LibStringProperCaseTest, CapitalisesWords)
{
    LibString string(GetParam().text);
    string.ToProperCase();
    EXPECT_EQ(Str(string), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, LibStringProperCaseTest,
    testing::Values(ProperCase { "o'neil & sons", "O'neil & Sons" },
        ProperCase { "rock 'n' roll", "Rock 'N' Roll" },
        ProperCase { "j.r.r. tolkien", "J.R.R. Tolkien" },
        ProperCase { "HELLO WORLD", "Hello World" }, ProperCase { "'twas", "'Twas" },
        ProperCase { "a&b", "A&B" }, ProperCase { "the 's' rule", "The 's' Rule" },
        ProperCase { "", "" }));

// Whitespace and punctuation.

TEST(LibStringTest, StripOperations)
{
    LibString string(" \t lead and trail \n");
    string.StripLeadingSpaces();
    EXPECT_EQ(Str(string), "lead and trail \n");
    string.StripTrailingSpaces();
    EXPECT_EQ(Str(string), "lead and trail");
    string.StripAllSpaces();
    EXPECT_EQ(Str(string), "leadandtrail");

    LibString blank(" \t ");
    blank.StripLeadingSpaces();
    EXPECT_EQ(Str(blank), "");
    blank = " \t ";
    blank.StripTrailingSpaces();
    EXPECT_EQ(Str(blank), "");

    LibString slashes("//a/b//");
    slashes.StripLeadingChar('/');
    EXPECT_EQ(Str(slashes), "a/b//");
    slashes.StripTrailingChar('/');
    EXPECT_EQ(Str(slashes), "a/b");

    LibString punct("a_b, c! (d)-e.");
    punct.StripPunct();
    EXPECT_EQ(Str(punct), "a_b c de");
}

// Words.

struct WordCase {
    long n;
    bool found;
    const char* word;
};

class LibStringWordTest : public testing::TestWithParam<WordCase> { };

TEST_P(LibStringWordTest, CopiesTheNthWord)
{
    LibString text("  one two  three");
    LibString word("previous");
    EXPECT_EQ(text.Word(GetParam().n, word), GetParam().found);
    EXPECT_EQ(Str(word), GetParam().word);
    EXPECT_EQ(Str(text), "  one two  three");
}

INSTANTIATE_TEST_SUITE_P(Numbers, LibStringWordTest,
    testing::Values(WordCase { 1, true, "one" }, WordCase { 2, true, "two" },
        WordCase { 3, true, "three" }, WordCase { 0, false, "" }, WordCase { 4, false, "" },
        WordCase { -1, false, "" }));

TEST(LibStringTest, WordHandlesAVeryLongWordAndItselfAsTarget)
{
    std::string longWord(5000, 'w');
    LibString text(("a " + longWord + " b").c_str());
    LibString word;
    EXPECT_TRUE(text.Word(2, word));
    EXPECT_EQ(Str(word), longWord);

    LibString self("first second");
    EXPECT_TRUE(self.Word(2, self));
    EXPECT_EQ(Str(self), "second");
}

TEST(LibStringTest, RemoveWordTakesTheSeparatorInFront)
{
    LibString string("alpha beta gamma beta");
    EXPECT_TRUE(string.RemoveWord("beta"));
    EXPECT_EQ(Str(string), "alpha gamma beta");
    EXPECT_FALSE(string.RemoveWord("bet"));
    EXPECT_FALSE(string.RemoveWord(""));
    EXPECT_TRUE(string.RemoveWord("alpha"));
    EXPECT_EQ(Str(string), " gamma beta");

    LibString repeated("x a x b x");
    repeated.RemoveAllWords("x");
    EXPECT_EQ(Str(repeated), " a b");
    LibString whole("xx x xxx");
    whole.RemoveAllWords("x");
    EXPECT_EQ(Str(whole), "xx xxx");
}

// Numbers.

struct Int32Case {
    const char* text;
    bool ok;
    long value;
};

class LibStringInt32Test : public testing::TestWithParam<Int32Case> { };

TEST_P(LibStringInt32Test, ConvertsTextThatFollowsTheSyntax)
{
    long value = 99;
    EXPECT_EQ(LibString(GetParam().text).GetInt32(value), GetParam().ok);
    EXPECT_EQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, LibStringInt32Test,
    testing::Values(Int32Case { "12.7", true, 12 }, Int32Case { " 12", false, 0 },
        Int32Case { "", true, 0 }, Int32Case { "-45", true, -45 }, Int32Case { "+8", true, 8 },
        Int32Case { "-", true, 0 }, Int32Case { ".", true, 0 }, Int32Case { "1e3", false, 0 },
        // Beyond the 32-bit range the value stops at the range's end.
        Int32Case { "4294967297", true, 2147483647 }, Int32Case { "2147483648", true, 2147483647 },
        Int32Case { "2147483647", true, 2147483647 },
        Int32Case { "-2147483649", true, -2147483648L },
        Int32Case { "99999999999999999999999", true, 2147483647 }));

TEST(LibStringTest, NarrowConversionsTruncate)
{
    signed char tiny = 1;
    EXPECT_TRUE(LibString("300").GetInt8(tiny));
    EXPECT_EQ(tiny, 44);
    unsigned char byte = 1;
    EXPECT_TRUE(LibString("257").GetUint8(byte));
    EXPECT_EQ(byte, 1);
    short half = 1;
    EXPECT_TRUE(LibString("70000").GetInt16(half));
    EXPECT_EQ(half, 4464);
    unsigned short word = 1;
    EXPECT_TRUE(LibString("-1").GetUint16(word));
    EXPECT_EQ(word, 65535);
    unsigned long dword = 1;
    EXPECT_TRUE(LibString("-1").GetUint32(dword));
    EXPECT_EQ(dword, 4294967295UL);
    EXPECT_TRUE(LibString("3000000000").GetUint32(dword));
    EXPECT_EQ(dword, 2147483647UL) << "the 32-bit conversion stops at its largest value";
    EXPECT_TRUE(LibString("99999999999").GetInt16(half));
    EXPECT_EQ(half, -1) << "the stopped value 0x7fffffff, cut to 16 bits";
    EXPECT_FALSE(LibString("x").GetUint32(dword));
    EXPECT_EQ(dword, 0UL);
}

TEST(LibStringTest, FloatConversions)
{
    double wide = 1;
    EXPECT_TRUE(LibString("-2.5").GetFloat64(wide));
    EXPECT_DOUBLE_EQ(wide, -2.5);
    EXPECT_FALSE(LibString("2.5e3").GetFloat64(wide));
    EXPECT_EQ(wide, 0.0);
    float narrow = 1;
    EXPECT_TRUE(LibString("0.25").GetFloat32(narrow));
    EXPECT_FLOAT_EQ(narrow, 0.25f);
    EXPECT_FALSE(LibString("abc").GetFloat32(narrow));
    EXPECT_EQ(narrow, 0.0f);
}

struct HexCase {
    const char* text;
    int value;
};

class LibStringHexTest : public testing::TestWithParam<HexCase> { };

TEST_P(LibStringHexTest, ReadsTwoHexDigits)
{
    EXPECT_EQ(LibString(GetParam().text).GetHex(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, LibStringHexTest,
    testing::Values(HexCase { "a", 0 }, HexCase { "1g", 16 }, HexCase { "fF", 255 },
        HexCase { "0A", 10 }, HexCase { "g1", 1 }, HexCase { "abc", 0 }, HexCase { "", 0 }));

TEST(LibStringTest, HexValueOfEachDigit)
{
    LibString string;
    EXPECT_EQ(string.HexValue('0'), 0);
    EXPECT_EQ(string.HexValue('9'), 9);
    EXPECT_EQ(string.HexValue('a'), 10);
    EXPECT_EQ(string.HexValue('F'), 15);
    EXPECT_EQ(string.HexValue('g'), 0);
    EXPECT_EQ(string.HexValue('\0'), 0);
}

// Characters.

TEST(LibStringTest, CharCountStepsOverUtf8)
{
    EXPECT_EQ(LibString("").CharCount(), 0);
    EXPECT_EQ(LibString("a\xc3\xa9").CharCount(), 2);
    EXPECT_EQ(LibString("\xe2\x82\xac!").CharCount(), 2);
    // A stray continuation byte starts a two-byte character.
    EXPECT_EQ(LibString("\x80\x41z").CharCount(), 2);
    // A sequence cut short by the terminator still ends the walk there.
    EXPECT_EQ(LibString("a\xf0\x9f").CharCount(), 2);
}

TEST(LibStringTest, NextCharacterAdvancesByOneCharacter)
{
    LibString string;
    const char* text = "a\xc3\xa9\xe2\x82\xac";
    long long offset = 0;
    unsigned long length = 0;
    string.NextCharacter(text, offset, length);
    EXPECT_EQ(length, 1UL);
    EXPECT_EQ(offset, 1);
    string.NextCharacter(text, offset, length);
    EXPECT_EQ(length, 2UL);
    EXPECT_EQ(offset, 3);
    string.NextCharacter(text, offset, length);
    EXPECT_EQ(length, 3UL);
    EXPECT_EQ(offset, 6);
    // At the end there is no character to step over.
    string.NextCharacter(text, offset, length);
    EXPECT_EQ(length, 0UL);
    EXPECT_EQ(offset, 6);
    string.NextCharacter(nullptr, offset, length);
    EXPECT_EQ(offset, 6);
    // A sequence cut short by the terminator ends at it.
    offset = 0;
    string.NextCharacter("\xe2\x82", offset, length);
    EXPECT_EQ(length, 2UL);
}

TEST(LibStringTest, CharToIndexAndCharFromIndex)
{
    const char* text = "a\xc3\xa9"
                       "b\xe2\x82\xac";
    LibString to(text);
    to.CharToIndex(1);
    EXPECT_EQ(Str(to), "a\xc3\xa9");
    to = text;
    to.CharToIndex(3);
    to.CharToIndex(9);
    to.CharToIndex(-1);
    EXPECT_EQ(Str(to), text);

    LibString from(text);
    from.CharFromIndex(2);
    EXPECT_EQ(Str(from), "b\xe2\x82\xac");
    from = text;
    from.CharFromIndex(4);
    from.CharFromIndex(-1);
    EXPECT_EQ(Str(from), text);
    from.CharFromIndex(3);
    EXPECT_EQ(Str(from), "\xe2\x82\xac");
}

// Diagnostics.

TEST(LibStringTest, PrintDecimalWritesSignedBytes)
{
    LibString string("A\xc3");
    EXPECT_EQ(CaptureStderr([&] { string.PrintDecimalToStream(); }), "65,-61,\n");
    EXPECT_EQ(string.PackSize(), 6);
}
