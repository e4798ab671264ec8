#include "LibStringList.h"

#include <string>
#include <vector>

#include <Message.h>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(LibStringList& list)
{
    std::vector<std::string> texts;
    for (LibString* item = list.First(); item != nullptr; item = list.Next())
        texts.push_back(static_cast<const char*>(*item));
    return texts;
}

using Texts_t = std::vector<std::string>;

void Fill(LibStringList& list, std::initializer_list<const char*> texts)
{
    for (const char* text : texts)
        list.Add(text);
}

} // namespace

TEST(LibStringListTest, AddAppendsInOrder)
{
    LibStringList list;
    EXPECT_TRUE(list.Add("one"));
    EXPECT_TRUE(list.Add(""));
    EXPECT_FALSE(list.Add(nullptr));
    EXPECT_EQ(Texts(list), (Texts_t { "one", "" }));
}

TEST(LibStringListTest, InListComparesWholeTextCaseSensitively)
{
    LibStringList list;
    Fill(list, { "Alpha", "Beta" });
    EXPECT_TRUE(list.InList("Beta"));
    EXPECT_EQ(list.Position(nullptr), 1);
    EXPECT_FALSE(list.InList("beta"));
    EXPECT_FALSE(list.InList("Bet"));
    EXPECT_FALSE(list.InList(static_cast<const char*>(nullptr)));
    LibString alpha("Alpha");
    EXPECT_TRUE(list.InList(&alpha));
}

struct FindCase {
    const char* text;
    bool ignoreCase;
    int count;
    const char* expected; // null: no item
};

class LibStringListFindTest : public testing::TestWithParam<FindCase> { };

TEST_P(LibStringListFindTest, MatchesTheFirstCountBytes)
{
    LibStringList list;
    Fill(list, { "Applications", "System", "Sys" });
    LibString* found = list.Find(GetParam().text, GetParam().ignoreCase, GetParam().count);
    if (GetParam().expected == nullptr) {
        EXPECT_EQ(found, nullptr);
    } else {
        ASSERT_NE(found, nullptr);
        EXPECT_STREQ(static_cast<const char*>(*found), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LibStringListFindTest,
    testing::Values(FindCase { "Sys", false, 3, "System" }, FindCase { "Sys", false, -1, "Sys" },
        FindCase { "Syst", false, -1, nullptr }, FindCase { "sys", false, 3, nullptr },
        FindCase { "sys", true, 3, "System" }, FindCase { "SYSTEM", true, -1, "System" },
        FindCase { "App", false, 3, "Applications" }, FindCase { "Xyz", false, 3, nullptr }));

TEST(LibStringListTest, RemoveTakesTheFirstEqualItem)
{
    LibStringList list;
    Fill(list, { "a", "b", "a" });
    list.Remove("a");
    EXPECT_EQ(Texts(list), (Texts_t { "b", "a" }));
    list.Remove(LibString("a"));
    EXPECT_EQ(Texts(list), (Texts_t { "b" }));
    list.Remove("missing");
    list.Remove(static_cast<const char*>(nullptr));
    EXPECT_EQ(Texts(list), (Texts_t { "b" }));
}

TEST(LibStringListTest, SetToLeavesTheListWhenTheFieldIsMissing)
{
    LibStringList list;
    Fill(list, { "keep" });
    BMessage message;
    message.AddString("other", "x");
    list.SetTo(message, "names");
    EXPECT_EQ(Texts(list), (Texts_t { "keep" }));
}

TEST(LibStringListTest, SetToReplacesTheListWithTheField)
{
    LibStringList list;
    Fill(list, { "old" });
    BMessage message;
    message.AddString("names", "first");
    message.AddString("names", "second");
    list.SetTo(message, "names");
    EXPECT_EQ(Texts(list), (Texts_t { "first", "second" }));
    list.Append(message, "names");
    EXPECT_EQ(Texts(list), (Texts_t { "first", "second", "first", "second" }));
    list.Append(message, "missing");
    EXPECT_EQ(list.Size(), 4);
}

TEST(LibStringListTest, GetFromAddsEveryItemInOrder)
{
    LibStringList list;
    Fill(list, { "x", "y" });
    BMessage message;
    message.AddString("names", "before");
    list.GetFrom(message, "names");
    const char* text = nullptr;
    ASSERT_EQ(message.FindString("names", 1, &text), B_OK);
    EXPECT_STREQ(text, "x");
    ASSERT_EQ(message.FindString("names", 2, &text), B_OK);
    EXPECT_STREQ(text, "y");
    EXPECT_FALSE(message.HasString("names", 3));
}

TEST(LibStringListTest, AssignmentCopiesTheItems)
{
    LibStringList source;
    Fill(source, { "a", "b" });
    LibStringList copy;
    Fill(copy, { "z" });
    copy = source;
    source.Clear();
    EXPECT_EQ(Texts(copy), (Texts_t { "a", "b" }));
}

TEST(LibStringListTest, PrintToStreamPrintsEachItem)
{
    LibStringList list;
    Fill(list, { "a", "bc" });
    testing::internal::CaptureStderr();
    list.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
        "LibString:: <a>, buffer 2\nLibString:: <bc>, buffer 3\n");
}
